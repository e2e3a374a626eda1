#pragma once
// The narrow and wide forms of the Japanese locale: full-width ASCII and the ideographic
// blank against ASCII, full-width katakana against half-width katakana.
#include <string>

namespace common {

// Full-width ASCII (U+FF01 to U+FF5E) and the ideographic blank become ASCII, full-width
// katakana and their punctuation become half-width katakana (a voiced kana turns into two
// characters: the kana and its voicing mark); every other character stays as it is.
std::string to_narrow(const std::string& utf8);

// Printable ASCII, the blank included, becomes full-width (the blank the ideographic
// blank), half-width katakana become full-width katakana, a half-width kana followed by a
// voicing mark it can take becomes the one voiced kana; every other character stays.
std::string to_wide(const std::string& utf8);

}  // namespace common
