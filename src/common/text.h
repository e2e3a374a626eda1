#pragma once
// Text helpers that count in UTF-16 units, the way the screens and checks count characters.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace common {

std::u16string to_u16(const std::string& utf8);
std::string to_u8(const std::u16string& utf16);

int32_t len(const std::string& s);
// 1-based start; length < 0 means to the end. A start past the end gives "".
std::string mid(const std::string& s, int32_t start, int32_t length = -1);
std::string left(const std::string& s, int32_t length);
std::string right(const std::string& s, int32_t length);
// 1-based position of needle at or after start, 0 when absent.
int32_t instr(const std::string& haystack, const std::string& needle, int32_t start = 1);
bool starts_with(const std::string& s, const std::string& prefix);
std::string replace_all(const std::string& s, const std::string& from, const std::string& to);
std::vector<std::string> split(const std::string& s, const std::string& separator);
std::string join(const std::vector<std::string>& parts, const std::string& separator);
std::string lower(const std::string& s);
std::string upper(const std::string& s);
// Blanks (U+0020) off both ends.
std::string trim(const std::string& s);

// The number at the start of a text: optional sign, digits, decimal point, exponent;
// blanks, tabs and line feeds inside are skipped; 0 when it does not begin with one.
double leading_number(const std::string& s);
// The value of a decimal number already checked to be one, with "." as the decimal mark
// whatever the locale (the program's locale comes from the environment); beyond a double's
// range it is an infinity, as strtod gives it.
double decimal_value(const std::string& number);

// Nearest integer, halves to the even neighbour; throws std::overflow_error when out of range.
int32_t round_to_i32(double v);
int16_t round_to_i16(double v);
// Sum or product that must stay within 16 bits; throws std::overflow_error otherwise.
int16_t checked_add_i16(int16_t a, int32_t b);

// "yyyy/mm/dd hh:nn" and "yyyy/mm/dd hh:nn:ss".
std::string format_minutes(const platform::LocalTime& t);
std::string format_seconds(const platform::LocalTime& t);

inline const char* const CRLF = "\r\n";

}  // namespace common
