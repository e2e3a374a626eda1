// Settings read with private-profile rules: sections and keys without regard to case, first match wins.
#include "settings_ini.h"

#include <memory>
#include <string_view>

#include "backends.h"
#include "codec.h"

namespace platform {

namespace ini {

namespace {

bool is_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

// Position of the first c that is a character of its own, not the second byte of a
// double-byte character (']' and '\\' can be either in code page 932).
size_t find_char(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == c) return i;
        if (is_lead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ++i;
    }
    return std::string_view::npos;
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names are compared as text, so only whole characters fold, never a trail byte that
// happens to look like a letter.
bool same_name(std::string_view file_name_cp932, const std::string& wanted_utf8) {
    std::string name = cp932::decode(std::string(file_name_cp932));
    if (name.size() != wanted_utf8.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (ascii_lower(name[i]) != ascii_lower(wanted_utf8[i])) return false;
    return true;
}

std::string_view drop_quotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v.remove_prefix(1);
        v.remove_suffix(1);
    }
    return v;
}

std::string cut(std::string_view v) {
    size_t nul = v.find('\0');
    if (nul != std::string_view::npos) v = v.substr(0, nul);
    size_t end = 0;
    while (end < v.size()) {
        size_t width = (is_lead(static_cast<unsigned char>(v[end])) && end + 1 < v.size()) ? 2 : 1;
        if (end + width > max_value_bytes) break;
        end += width;
    }
    return std::string(v.substr(0, end));
}

}  // namespace

std::string lookup(const std::string& file_bytes, const std::string& section, const std::string& key) {
    std::string_view rest(file_bytes);
    bool in_section = false;
    while (!rest.empty()) {
        // A line ends at CR LF, LF or a lone CR: files saved by other editors use each.
        size_t end = rest.find_first_of("\r\n");
        std::string_view line = trim(rest.substr(0, end));
        if (end == std::string_view::npos) {
            rest = std::string_view();
        } else {
            const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
            rest = rest.substr(end + (crlf ? 2 : 1));
        }

        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = find_char(line.substr(1), ']');
            // A line that opens a bracket and never closes it names no section.
            if (close == std::string_view::npos) continue;
            in_section = same_name(trim(line.substr(1, close)), section);
            continue;
        }
        if (!in_section) continue;
        size_t eq = line.find('=');  // '=' is never a trail byte
        std::string_view name = trim(line.substr(0, eq));
        if (!same_name(name, key)) continue;
        // A key without '=' is there with an empty value and still wins over later lines.
        if (eq == std::string_view::npos) return std::string();
        return cut(drop_quotes(trim(line.substr(eq + 1))));
    }
    return std::string();
}

}  // namespace ini

namespace {

class IniSettingsReader : public SettingsReader {
public:
    std::string read(const std::string& section, const std::string& key, HeldFolder& folder,
                     const std::string& file_name) override {
        if (section.empty() || key.empty()) return std::string();
        std::string bytes;
        // A file that cannot be read counts as a missing one: the callers fall back
        // to their defaults.
        if (!folder.read_own_file(file_name, bytes)) return std::string();
        return cp932::decode(ini::lookup(bytes, section, key));
    }
};

}  // namespace

std::unique_ptr<SettingsReader> make_ini_settings_reader() { return std::make_unique<IniSettingsReader>(); }

}  // namespace platform
