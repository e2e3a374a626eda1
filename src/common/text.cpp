#include "text.h"

#include <locale.h>
#include <stdlib.h>

#include <QString>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace common {

std::u16string to_u16(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

std::string to_u8(const std::u16string& utf16) {
    return QString::fromStdU16String(utf16).toStdString();
}

int32_t len(const std::string& s) { return static_cast<int32_t>(to_u16(s).size()); }

std::string mid(const std::string& s, int32_t start, int32_t length) {
    if (start < 1) throw std::invalid_argument("mid: start must be 1 or more");
    std::u16string w = to_u16(s);
    size_t from = static_cast<size_t>(start - 1);
    if (from >= w.size()) return {};
    size_t count = length < 0 ? std::u16string::npos : static_cast<size_t>(length);
    return to_u8(w.substr(from, count));
}

std::string left(const std::string& s, int32_t length) {
    if (length <= 0) return {};
    return to_u8(to_u16(s).substr(0, static_cast<size_t>(length)));
}

std::string right(const std::string& s, int32_t length) {
    if (length <= 0) return {};
    std::u16string w = to_u16(s);
    if (static_cast<size_t>(length) >= w.size()) return s;
    return to_u8(w.substr(w.size() - static_cast<size_t>(length)));
}

int32_t instr(const std::string& haystack, const std::string& needle, int32_t start) {
    std::u16string h = to_u16(haystack), n = to_u16(needle);
    if (start < 1) start = 1;
    size_t from = static_cast<size_t>(start - 1);
    if (from > h.size()) return 0;
    size_t pos = h.find(n, from);
    return pos == std::u16string::npos ? 0 : static_cast<int32_t>(pos + 1);
}

bool starts_with(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::string replace_all(const std::string& s, const std::string& from, const std::string& to) {
    if (from.empty()) return s;
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = s.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(s, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(s, pos, std::string::npos);
    return out;
}

std::vector<std::string> split(const std::string& s, const std::string& separator) {
    std::vector<std::string> parts;
    if (separator.empty()) return {s};
    size_t pos = 0;
    for (;;) {
        size_t hit = s.find(separator, pos);
        if (hit == std::string::npos) {
            parts.push_back(s.substr(pos));
            return parts;
        }
        parts.push_back(s.substr(pos, hit - pos));
        pos = hit + separator.size();
    }
}

std::string join(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += separator;
        out += parts[i];
    }
    return out;
}

std::string lower(const std::string& s) { return QString::fromStdString(s).toLower().toStdString(); }
std::string upper(const std::string& s) { return QString::fromStdString(s).toUpper().toStdString(); }

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

double leading_number(const std::string& s) {
    // Collect the characters of the number, skipping blanks inside it, and stop at the
    // first character that cannot continue it.
    std::string digits;
    size_t i = 0;
    auto skip_blanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    };
    skip_blanks();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) digits += s[i++];
    bool seen_digit = false, seen_point = false;
    for (;;) {
        skip_blanks();
        if (i >= s.size()) break;
        char c = s[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            seen_digit = true;
            ++i;
        } else if (c == '.' && !seen_point) {
            digits += c;
            seen_point = true;
            ++i;
        } else {
            break;
        }
    }
    if (!seen_digit) return 0.0;
    skip_blanks();
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::string exponent = "e";
        size_t j = i + 1;
        while (j < s.size() && s[j] == ' ') ++j;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        bool exp_digit = false;
        while (j < s.size() && ((s[j] >= '0' && s[j] <= '9') || s[j] == ' ')) {
            if (s[j] != ' ') {
                exponent += s[j];
                exp_digit = true;
            }
            ++j;
        }
        if (exp_digit) digits += exponent;
    }
    return decimal_value(digits);
}

double decimal_value(const std::string& number) {
    static const locale_t c_numbers = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    if (!c_numbers) throw std::runtime_error("the C locale is not available");
    return ::strtod_l(number.c_str(), nullptr, c_numbers);
}

int32_t round_to_i32(double v) {
    if (!std::isfinite(v)) throw std::overflow_error("not a finite number");
    double r = std::nearbyint(v);  // default rounding mode: halves to even
    if (r < -2147483648.0 || r > 2147483647.0) throw std::overflow_error("out of 32-bit range");
    return static_cast<int32_t>(r);
}

int16_t round_to_i16(double v) {
    if (!std::isfinite(v)) throw std::overflow_error("not a finite number");
    double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0) throw std::overflow_error("out of 16-bit range");
    return static_cast<int16_t>(r);
}

int16_t checked_add_i16(int16_t a, int32_t b) {
    int64_t sum = static_cast<int64_t>(a) + b;
    if (sum < -32768 || sum > 32767) throw std::overflow_error("16-bit overflow");
    return static_cast<int16_t>(sum);
}

std::string format_minutes(const platform::LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return buf;
}

std::string format_seconds(const platform::LocalTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buf;
}

}  // namespace common
