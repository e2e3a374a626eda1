#include "japanese.h"

#include <map>

#include "text.h"

namespace common {

namespace {

// Full-width katakana and punctuation, in the order of the half-width block from U+FF61.
const char16_t kWideOfHalf[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
constexpr char16_t kFirstHalf = 0xFF61;
constexpr char16_t kLastHalf = 0xFF9F;
constexpr char16_t kVoicedMark = 0xFF9E;
constexpr char16_t kSemiVoicedMark = 0xFF9F;

// Kana that take a voicing mark: the voiced kana is its plain kana's code + 1, a
// semi-voiced one + 2; ウ is the exception, its voiced form lies elsewhere.
const std::u16string kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
const std::u16string kSemiVoiceable = u"ハヒフヘホ";

char16_t wide_of_half(char16_t c) { return kWideOfHalf[c - kFirstHalf]; }

// Full-width katakana to their half-width spelling.
const std::map<char16_t, std::u16string>& narrow_kana() {
    static const std::map<char16_t, std::u16string> map = [] {
        std::map<char16_t, std::u16string> m;
        for (char16_t h = kFirstHalf; h <= kLastHalf; ++h) m[wide_of_half(h)] = std::u16string(1, h);
        for (char16_t plain : kVoiceable) m[static_cast<char16_t>(plain + 1)] = m[plain] + kVoicedMark;
        for (char16_t plain : kSemiVoiceable) m[static_cast<char16_t>(plain + 2)] = m[plain] + kSemiVoicedMark;
        m[u'ヴ'] = m[u'ウ'] + kVoicedMark;
        return m;
    }();
    return map;
}

}  // namespace

std::string to_narrow(const std::string& utf8) {
    const std::u16string in = to_u16(utf8);
    std::u16string out;
    out.reserve(in.size());
    const auto& kana = narrow_kana();
    for (char16_t c : in) {
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char16_t>(c - 0xFF01 + 0x21);
        } else if (c == 0x3000) {
            out += u' ';
        } else if (auto it = kana.find(c); it != kana.end()) {
            out += it->second;
        } else {
            out += c;
        }
    }
    return to_u8(out);
}

std::string to_wide(const std::string& utf8) {
    const std::u16string in = to_u16(utf8);
    std::u16string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const char16_t c = in[i];
        if (c == u' ') {
            out += char16_t{0x3000};
        } else if (c >= 0x21 && c <= 0x7E) {
            out += static_cast<char16_t>(c - 0x21 + 0xFF01);
        } else if (c >= kFirstHalf && c <= kLastHalf) {
            const char16_t wide = wide_of_half(c);
            const char16_t next = i + 1 < in.size() ? in[i + 1] : char16_t{0};
            if (next == kVoicedMark && kVoiceable.find(wide) != std::u16string::npos) {
                out += static_cast<char16_t>(wide + 1);
                ++i;
            } else if (next == kVoicedMark && wide == u'ウ') {
                out += u'ヴ';
                ++i;
            } else if (next == kSemiVoicedMark && kSemiVoiceable.find(wide) != std::u16string::npos) {
                out += static_cast<char16_t>(wide + 2);
                ++i;
            } else {
                out += wide;
            }
        } else {
            out += c;
        }
    }
    return to_u8(out);
}

}  // namespace common
