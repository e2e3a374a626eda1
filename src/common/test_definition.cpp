#include "test_definition.h"

#include <stdexcept>

#include "state.h"
#include "text.h"

namespace common {

std::string rehearsal_definition(const platform::LocalTime& now) {
    return "TEST TYPE = 8,試験実施日時 = " + format_minutes(now) +
           ",試験名 = Ledgrin,試験ファイル = tarvo,課題ファイル = dummy.doc,試験機関名 = Orvane,id=rehearsal";
}

std::string field_value(const std::vector<std::string>& fields, size_t index, int position, int max_chars) {
    if (index >= fields.size()) return {};
    return mid(fields[index], position, max_chars);
}

void take_test_definition_fields() {
    Module1& s = state();
    const auto& f = s.test_definition;
    const std::string id = field_value(f, 6, 4, 20);
    s.rehearsal_mode = lower(id) == "rehearsal";
    s.test_name = "Orvane" + field_value(f, 2, 7, 100);
    s.test_center = field_value(f, 5, 9, 100);
    // An id that is no number, or one beyond 32 bits once rounded, gives 0 rather than a failure.
    s.exe_id = 0;
    try {
        s.exe_id = round_to_i32(leading_number(id));
    } catch (const std::overflow_error&) {
        s.exe_id = 0;
    }
}

}  // namespace common
