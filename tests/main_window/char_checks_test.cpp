// The four character sets of the registration form and its date check.
#include "main_window/char_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/text.h"

namespace {

using namespace main_window;

const std::string kHiragana =
    "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    "ぁぃぅぇぉっゃゅょゎがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽー";

struct SetCase {
    const char* name;
    std::function<bool(const std::string&)> check;
    std::string members;  // every member, once
    std::vector<std::string> outsiders;
};

void PrintTo(const SetCase& c, std::ostream* os) { *os << c.name; }

class CharacterSets : public ::testing::TestWithParam<SetCase> {};

TEST_P(CharacterSets, EveryMemberAloneAndAllTogetherPass) {
    const SetCase& c = GetParam();
    EXPECT_TRUE(c.check(c.members));
    EXPECT_TRUE(c.check(""));  // the empty text
    const std::u16string wide = common::to_u16(c.members);
    for (char16_t ch : wide) {
        const std::string one = common::to_u8(std::u16string(1, ch));
        EXPECT_TRUE(c.check(one)) << one;
    }
}

TEST_P(CharacterSets, OneOutsiderAnywhereFails) {
    const SetCase& c = GetParam();
    for (const auto& o : c.outsiders) {
        EXPECT_FALSE(c.check(o)) << o;
        EXPECT_FALSE(c.check(o + c.members)) << o;
        EXPECT_FALSE(c.check(c.members + o)) << o;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, CharacterSets,
    ::testing::Values(
        SetCase{"letters_only", letters_only, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ",
                {"　", "Ａ", "ａ", "'", "-", "0", ".", "é", "\t", "あ"}},
        SetCase{"mail_chars_only", mail_chars_only,
                "'0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.",
                {" ", "　", "@", "+", "!", "ａ", "０", "＇", "\"", "~"}},
        SetCase{"digits_only", digits_only, "'0123456789", {" ", "　", "０", "-", "+", ".", "a", "＇", "１"}},
        SetCase{"hiragana_only", hiragana_only, kHiragana,
                {" ", "　", "ア", "カ", "ァ", "ｰ", "ｱ", "ゐ", "ゑ", "ゔ", "ゝ", "・", "a", "'", "～", "一"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharacterSetSizes, AsManyMembersAsListed) {
    EXPECT_EQ(common::len(kHiragana), 82);
    // The long-vowel mark is the katakana one; its half-width form is not a member.
    EXPECT_TRUE(hiragana_only("ー"));
    EXPECT_TRUE(hiragana_only("らーめん"));
    EXPECT_FALSE(hiragana_only("らｰめん"));
    // The apostrophe belongs to the e-mail and digit sets only.
    EXPECT_TRUE(digits_only("12'3"));
    EXPECT_TRUE(mail_chars_only("o'neil"));
    EXPECT_FALSE(letters_only("O'Neil"));
}

TEST(CharacterSetSizes, TextsBeyondTheCounterFail) {
    EXPECT_TRUE(digits_only(std::string(32767, '1')));
    EXPECT_FALSE(digits_only(std::string(32768, '1')));
    std::string kana;
    for (int i = 0; i < 32767; ++i) kana += "あ";
    EXPECT_TRUE(hiragana_only(kana));
    EXPECT_FALSE(hiragana_only(kana + "あ"));
}

TEST(BirthDates, RealDaysOnly) {
    struct Case {
        const char* date;
        bool valid;
    } cases[] = {
        {"1999/06/06", true},  {"1999/6/6", true},    {"1999/02/30", false}, {"2000/02/29", true},
        {"1900/02/29", false}, {"2004/02/29", true},  {"2003/02/29", false}, {"2024/12/31", true},
        {"2024/04/31", false}, {"1999/13/01", false}, {"1999/00/10", false}, {"1999/01/00", false},
        {"1999/01/32", false}, {"99/06/06", true},    {"00/02/29", true},    {"0099/06/06", false},
        {"1999//06", false},   {"1999/06", false},    {"1999/06/06/01", false}, {"//", false},
        {"1999/0６/06", false}, {"1999/ 6/06", false}, {"-1999/06/06", false}, {"19999/06/06", false},
        {"1999/006/06", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_valid_date(c.date), c.valid) << c.date;
    }
}

}  // namespace
