#pragma once
#include <string>

namespace platform {

class SettingsReader {
public:
    virtual ~SettingsReader() = default;
    // Private-profile lookup: section and key without regard to case, first match wins,
    // blanks trimmed, a pair of matching quotes dropped, ';' lines are comments.
    // A missing file, section or key gives "". The value is cut to 1023 bytes of the
    // CP932 file (never inside a character) and returned as UTF-8.
    virtual std::string read(const std::string& section, const std::string& key,
                             const std::string& file_path) = 0;
};

}  // namespace platform
