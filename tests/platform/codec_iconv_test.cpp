// Code page 932 conversion at the byte boundaries.
#include <gtest/gtest.h>

#include "platform/codec.h"

namespace {

using platform::cp932::decode;
using platform::cp932::encode;

TEST(Cp932, KnownBytesBothWays) {
    struct Case {
        std::string utf8, cp932;
    } cases[] = {
        {"abc 123", "abc 123"},
        {"試験", "\x8E\x8E\x8C\xB1"},
        {"ソ表", "\x83\x5C\x95\x5C"},       // trail byte 0x5C
        {"①髙", "\x87\x40\xFB\xFC"},       // vendor extensions of the code page
        {"ｱｲ", "\xB1\xB2"},                 // half-width kana are single bytes
        {"\r\n", "\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encode(c.utf8), c.cp932) << c.utf8;
        EXPECT_EQ(decode(c.cp932), c.utf8) << c.utf8;
    }
}

TEST(Cp932, RoundTripOfMixedText) {
    std::string text = "受験者 山田太郎 (ﾔﾏﾀﾞ) 第1問＝１００点、合格！\r\n";
    EXPECT_EQ(decode(encode(text)), text);
}

TEST(Cp932, CharacterTheCodePageLacksBecomesQuestionMarkAndTheRestSurvives) {
    EXPECT_EQ(encode("a€b"), "a?b");
    EXPECT_EQ(encode("試😀験"), "\x8E\x8E?\x8C\xB1");  // a four-byte character is one "?"
    EXPECT_EQ(encode("€€"), "??");
    // Long text with a gap far in, past any internal buffer.
    std::string head(5000, 'x');
    EXPECT_EQ(encode(head + "€" + head), head + "?" + head);
}

TEST(Cp932, BrokenUtf8CostsOneQuestionMarkPerBadByte) {
    EXPECT_EQ(encode("a\xFF" "b"), "a?b");
    EXPECT_EQ(encode("a\xE8\xA9"), "a?");  // cut short at the end
}

TEST(Cp932, InvalidBytesDecodeToReplacementCharacter) {
    EXPECT_EQ(decode("a\x80" "b"), "a\uFFFD" "b");
    EXPECT_EQ(decode("a\x8E"), "a\uFFFD");               // lead byte at the end
    EXPECT_EQ(decode("\x8E" " a"), "\uFFFD" " a");       // a byte that cannot follow a lead byte survives
    EXPECT_EQ(decode("\x85\x40" "x"), "\uFFFD" "x");     // a well-formed pair without a character
    std::string head(5000, 'y');
    EXPECT_EQ(decode(head + "\x80" + head), head + "\uFFFD" + head);
}

}  // namespace
