// The narrow and wide forms of the Japanese locale, as the sign-in and registration values
// go through them before they are checked and counted.
#include "common/japanese.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace {

using common::to_narrow;
using common::to_wide;

TEST(Narrowing, FullWidthLettersAndKana) {
    EXPECT_EQ(to_narrow("ＡＢＣＤＥＦＧＨＩＪ"), "ABCDEFGHIJ");
    EXPECT_EQ(to_narrow("１２３！～"), "123!~");
    EXPECT_EQ(to_narrow("　"), " ");
    EXPECT_EQ(to_narrow("アイウ"), "ｱｲｳ");
    EXPECT_EQ(to_narrow("ガパヴー。「」、・"), "ｶﾞﾊﾟｳﾞｰ｡｢｣､･");
    // Characters without a narrow form stay.
    EXPECT_EQ(to_narrow("漢字かなabc"), "漢字かなabc");
    // Six voiced kana become twelve characters.
    EXPECT_EQ(common::len(to_narrow("ガギグゲゴザ")), 12);
}

TEST(Narrowing, EdgesOfTheFullWidthBlockAndKanaWithoutAHalfForm) {
    EXPECT_EQ(to_narrow("！～＇＼"), "!~'\\");
    // Just outside the block: the full-width cent sign and the fullwidth white parenthesis.
    EXPECT_EQ(to_narrow("￠｟"), "￠｟");
    // Small wa, wi, we and small ka, ke have no half-width form.
    EXPECT_EQ(to_narrow("ヮヰヱヵヶ"), "ヮヰヱヵヶ");
    EXPECT_EQ(to_narrow("ヲァッ"), "ｦｧｯ");
}

TEST(Widening, TableOfCases) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"Orvane", "Ｏｒｖａｎｅ"},
        {"a b", "ａ　ｂ"},  // the blank becomes the ideographic blank
        {"!~'\"\\", "！～＇＂＼"},
        {"0129", "０１２９"},
        {"ｱｲｳ", "アイウ"},
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞ", "ガギグゲゴ"},  // a kana and its voicing mark become one character
        {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ"},
        {"ｳﾞ", "ヴ"},
        {"ｱﾞ", "ア゛"},     // a kana that takes no mark keeps it beside it
        {"ｶﾟ", "カ゜"},
        {"ﾞﾟ", "゛゜"},     // marks alone
        {"ｰ｡｢｣､･", "ー。「」、・"},
        {"漢字かなＡ", "漢字かなＡ"},  // no wide form, or wide already
        {"\t\n", "\t\n"},              // control characters are not printable ASCII
    };
    for (const auto& c : cases) {
        EXPECT_EQ(to_wide(c.in), c.out) << c.in;
    }
}

TEST(Widening, NarrowingUndoesIt) {
    for (const char* text : {"Orvane Taro 1999!", "ｶﾞｯｺｳ ﾊﾟﾝ", "ｳﾞｧｲｵﾘﾝ"}) {
        EXPECT_EQ(to_narrow(to_wide(text)), text);
    }
}

}  // namespace
