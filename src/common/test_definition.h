#pragma once
#include <string>
#include <vector>

#include "platform/clock.h"

namespace common {

// The line used when the program is started without an argument string.
std::string rehearsal_definition(const platform::LocalTime& now);

// The value of a field: up to max_chars characters from a fixed 1-based position; a field
// that is missing or shorter than the position gives "".
std::string field_value(const std::vector<std::string>& fields, size_t index, int position, int max_chars);

// Takes rehearsal_mode, test_name, test_center and exe_id from state().test_definition.
void take_test_definition_fields();

}  // namespace common
