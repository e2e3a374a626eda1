#pragma once
#include <string>

#include "files.h"

namespace platform {

class SettingsReader {
public:
    virtual ~SettingsReader() = default;
    // Private-profile lookup: section and key without regard to case, first match wins,
    // blanks trimmed, a pair of matching quotes dropped, ';' lines are comments.
    // A missing file, section or key gives "", and so does anything in the file's place
    // that is not a plain file of the user's own (HeldFolder::read_own_file). The value is
    // cut to 1023 bytes of the CP932 file (never inside a character) and returned as UTF-8.
    virtual std::string read(const std::string& section, const std::string& key, HeldFolder& folder,
                             const std::string& file_name) = 0;
};

}  // namespace platform
