#include "char_checks.h"

#include <cstdint>
#include <vector>

#include "common/text.h"

namespace main_window {

namespace {

// Positions are counted in a signed 16-bit number: a longer text cannot be checked.
constexpr size_t kLongestCheckable = 32767;

bool only(const std::string& text, const std::u16string& set) {
    const std::u16string t = common::to_u16(text);
    if (t.size() > kLongestCheckable) return false;
    for (char16_t c : t) {
        if (set.find(c) == std::u16string::npos) return false;
    }
    return true;
}

bool all_digits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// At most a few digits, so no overflow.
int number_of(const std::string& digits) {
    int v = 0;
    for (char c : digits) v = v * 10 + (c - '0');
    return v;
}

bool leap_year(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

bool letters_only(const std::string& text) {
    static const std::u16string set = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    return only(text, set);
}

bool mail_chars_only(const std::string& text) {
    static const std::u16string set = u"'0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.";
    return only(text, set);
}

bool digits_only(const std::string& text) {
    static const std::u16string set = u"'0123456789";
    return only(text, set);
}

bool hiragana_only(const std::string& text) {
    static const std::u16string set =
        u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
        u"ぁぃぅぇぉっゃゅょゎがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽー";
    return only(text, set);
}

bool is_valid_date(const std::string& text) {
    const std::vector<std::string> parts = common::split(text, "/");
    if (parts.size() != 3) return false;
    const std::string& y = parts[0];
    const std::string& m = parts[1];
    const std::string& d = parts[2];
    if (!all_digits(y) || !all_digits(m) || !all_digits(d)) return false;
    if (y.size() > 4 || m.size() > 2 || d.size() > 2) return false;
    int year = number_of(y);
    if (y.size() <= 2) {
        year += year < 30 ? 2000 : 1900;
    } else if (year < 100) {
        return false;
    }
    const int month = number_of(m);
    const int day = number_of(d);
    if (month < 1 || month > 12 || day < 1) return false;
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = month == 2 && leap_year(year) ? 29 : kDays[month - 1];
    return day <= last;
}

}  // namespace main_window
