#pragma once
#include <string>

namespace platform::cp932 {

// UTF-8 to code page 932. A character the code page lacks becomes "?".
std::string encode(const std::string& utf8);
// Code page 932 to UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string decode(const std::string& bytes);

}  // namespace platform::cp932
