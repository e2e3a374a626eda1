#pragma once
// The lookup behind the INI settings reader, kept apart from the file so it can be
// exercised on bytes.
#include <cstddef>
#include <string>

namespace platform::ini {

// The longest value handed back, in bytes of the file: what fits a 1024-byte buffer
// with its terminating NUL.
constexpr std::size_t max_value_bytes = 1023;

// Finds key in section of an INI text in code page 932 and returns the value's bytes
// (still CP932): trimmed, without a pair of matching quotes, cut at a NUL byte and to
// max_value_bytes without splitting a double-byte character. "" when absent.
std::string lookup(const std::string& file_bytes, const std::string& section, const std::string& key);

}  // namespace platform::ini
