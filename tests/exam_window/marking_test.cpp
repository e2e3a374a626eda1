#include <gtest/gtest.h>

#include "exam_window/marking.h"
#include "support/answers.h"

using exam_window::AnswerFields;
using exam_window::FieldReadError;

namespace {

int16_t mark4(const std::vector<std::string>& f, int16_t group = 4) {
    int16_t score = 0;
    exam_window::score_q4(group, AnswerFields(f), score);
    return score;
}

TEST(Q4Marking, CorrectAnswerGivesFullPointsEmptyGivesNone) {
    EXPECT_EQ(mark4(fakes::correct_q4_group4()), 27);
    EXPECT_EQ(mark4(fakes::correct_q4_group4(), 3), 27);
    EXPECT_EQ(mark4(std::vector<std::string>(81)), 0);
    EXPECT_EQ(mark4(std::vector<std::string>(120)), 0);
}

TEST(Q4Marking, OtherGroupsMarkNothing) {
    EXPECT_EQ(mark4(fakes::correct_q4_group4(), 0), 0);
    EXPECT_EQ(mark4(fakes::correct_q4_group4(), 5), 0);
}

TEST(Q4Marking, NameAndExactRules) {
    struct Case {
        std::string name_field, amount_field;
        bool scores;
    };
    // Item 3 of the key: field 43 "支払" by name, field 44 "3000" exactly.
    const Case cases[] = {
        {"支払", "3000", true},       {"支 払", "3000", true},      {"　支払 ", "3000", true},
        {"支払", "3,000", false},     {"支払", " 3000", false},     {"支払", "３０００", false},
        {"支払", "3000 ", false},     {"ｼﾊﾗｲ", "3000", false},      {"", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name_field + "|" + c.amount_field);
        auto f = fakes::correct_q4_group4();
        f[43] = c.name_field;
        f[44] = c.amount_field;
        EXPECT_EQ(mark4(f), c.scores ? 27 : 24);
    }
    EXPECT_TRUE(exam_window::name_matches("給 料", "給料"));
    EXPECT_TRUE(exam_window::name_matches("　給料 ", "給料"));
    EXPECT_FALSE(exam_window::exact_matches("320,000", "320000"));
    EXPECT_FALSE(exam_window::exact_matches(" 320000", "320000"));
    EXPECT_FALSE(exam_window::exact_matches("３２００００", "320000"));
}

TEST(Q4Marking, SlotRowsMayStandInAnyFourSlots) {
    auto f = fakes::correct_q4_group4();
    // Move 給料 from slot 2 to slot 18.
    f[18] = f[2], f[19] = f[3];
    f[2].clear(), f[3].clear();
    EXPECT_EQ(mark4(f), 27);
}

TEST(Q4Marking, ARepeatedRowInACountedSlotLoopFailsItsItem) {
    struct Case {
        const char* what;
        const char* field0;
        const char* field1;
        int16_t points;
    };
    // 給料 written again in the fifth slot: a journal line twice is an error, whatever
    // fields 0 and 1 hold; the other eight items still score.
    const Case cases[] = {
        {"fields 0 and 1 correct plus a repeat: adds nothing", "損益", "364000", 24},
        {"field 0 wrong plus a repeat: adds nothing", "利益", "364000", 24},
        {"field 1 wrong plus a repeat: adds nothing", "損益", "1", 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto f = fakes::correct_q4_group4();
        f[0] = c.field0, f[1] = c.field1;
        f[18] = "給料", f[19] = "320000";
        EXPECT_EQ(mark4(f), c.points);
    }
    // The same row with another amount in the fifth slot is no repeat: the item stands.
    auto f = fakes::correct_q4_group4();
    f[18] = "給料", f[19] = "32000";
    EXPECT_EQ(mark4(f), 27);
}

TEST(Q4Marking, Item2NeedsAllThreeFigures) {
    for (const char* day : {"１２", "12 ", " 12", "12"}) {
        SCOPED_TRACE(day);
        auto f = fakes::correct_q4_group4();
        f[20] = day;
        EXPECT_EQ(mark4(f), std::string(day) == "12" ? 27 : 24);
    }
}

TEST(Q4Marking, AShortPageStopsTheRoutineKeepingItsPoints) {
    auto f = fakes::correct_q4_group4();
    f.resize(50);  // field 50 is missing: items 1 to 3 are marked, item 4 fails to read
    int16_t score = 5;
    EXPECT_THROW(exam_window::score_q4(4, AnswerFields(f), score), FieldReadError);
    EXPECT_EQ(score, 5 + 9);
    // No page fields at all: nothing added, the read fails at once.
    score = 0;
    EXPECT_THROW(exam_window::score_q4(4, AnswerFields(), score), FieldReadError);
    EXPECT_EQ(score, 0);
}

TEST(Q4Marking, OverflowIsAnErrorNotAWrap) {
    int16_t score = 32766;
    EXPECT_THROW(exam_window::score_q4(4, AnswerFields(fakes::correct_q4_group4()), score), std::overflow_error);
    EXPECT_EQ(score, 32766);
}

std::vector<std::string> correct_group1() {
    std::vector<std::string> f(122);
    f[8] = "63000", f[15] = "100000", f[34] = "500000", f[42] = "700000", f[51] = "862000", f[59] = "77000",
    f[79] = "57000";
    f[106] = "商品売買益", f[107] = "394000";
    f[110] = "受取手数料", f[111] = "77000";
    f[114] = "受取利息", f[115] = "4000";
    f[108] = "損益", f[109] = "475000";
    f[118] = "損益", f[120] = "資本金", f[119] = "15000", f[121] = "15000";
    return f;
}

TEST(Q4Marking, Group1UnorderedRows) {
    auto f = correct_group1();
    EXPECT_EQ(mark4(f, 1), 27);
    std::swap(f[106], f[114]);
    std::swap(f[107], f[115]);
    EXPECT_EQ(mark4(f, 1), 27);
    // The same name in two rows makes that row count for nothing: the item fails.
    f[110] = f[106];
    EXPECT_EQ(mark4(f, 1), 24);
}

std::vector<std::string> correct_group2() {
    std::vector<std::string> f(29);
    f[0] = "商品売買益", f[1] = "904000", f[4] = "受取手数料", f[5] = "24000";
    f[2] = "損益", f[3] = "928000";
    f[8] = "損益", f[10] = "資本金", f[9] = "160000", f[11] = "160000";
    f[13] = "現金", f[14] = "1012000";
    f[17] = "当座預金", f[18] = "2400000";
    f[20] = "売掛金", f[21] = "728000";
    f[24] = "備品", f[25] = "800000";
    f[15] = "買掛金", f[16] = "640000";
    f[22] = "当期純利益", f[23] = "160000";
    f[19] = "4700000";
    return f;
}

TEST(Q4Marking, Group2PairInEitherOrderAndEmptyFields) {
    auto f = correct_group2();
    EXPECT_EQ(mark4(f, 2), 27);
    std::swap(f[0], f[4]);
    std::swap(f[1], f[5]);
    EXPECT_EQ(mark4(f, 2), 27);
    f[6] = "x";
    EXPECT_EQ(mark4(f, 2), 24);
}

TEST(Q4Marking, Group2RepeatedRowCannotPassTheMaximum) {
    auto f = correct_group2();
    f.resize(29);
    f[27] = "現金", f[28] = "1012000";
    EXPECT_EQ(mark4(f, 2), 27);
}

TEST(PageMarking, FirstPageThreePointsPerMatchingField) {
    std::vector<std::string> key(51);
    for (int i = 0; i < 10; ++i) key[i] = std::to_string(i % 4 + 1);
    std::vector<std::string> answers(10);
    answers[0] = "1", answers[1] = "9", answers[2] = "3";
    int16_t score = 0;
    exam_window::score_page1(AnswerFields(answers), key, score);
    EXPECT_EQ(score, 6);
}

TEST(PageMarking, SecondPageRowsOnEitherSide) {
    std::vector<std::string> key(51);
    key[10] = "現金,1000,売上,1000";
    std::vector<std::string> answers(80);
    answers[0] = "現金", answers[1] = "1000", answers[2] = "売上", answers[3] = "1000";
    int16_t score = 0;
    exam_window::score_page2(AnswerFields(answers), key, score);
    EXPECT_EQ(score, 4);
    // The same four parts in the right half with the left half empty also score.
    std::vector<std::string> right(80);
    right[4] = "現金", right[5] = "1000", right[6] = "売上", right[7] = "1000";
    score = 0;
    exam_window::score_page2(AnswerFields(right), key, score);
    EXPECT_EQ(score, 4);
}

}  // namespace
