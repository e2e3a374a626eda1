#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "exam_window/q2_marking.h"
#include "support/fake_browser.h"

using exam_window::AnswerFields;
using exam_window::FieldReadError;

namespace {

using Routine = void (*)(const AnswerFields&, int16_t&);
using Page = std::vector<std::string>;

// The correct answer of each key, written into 58 fields.
Page correct(int variant) {
    static const std::map<int, std::map<int, std::string>> filled = {
        {1,
         {{0, "商品"},       {1, "3"},         {2, "500000"},  {7, "買掛金"},  {6, "250000"},  {8, "12"},
          {10, "250000"},    {11, "現金"},     {13, "300000"}, {15, "商品"},   {19, "商品売買益"}, {16, "3"},
          {18, "200000"},    {21, "100000"},   {29, "諸口"},   {27, "4"},      {28, "6"},      {30, "2"},
          {31, "500000"},    {44, "商品"},     {42, "4"},      {43, "6"},      {45, "2"},      {46, "250000"},
          {54, "現金"},      {52, "4"},        {53, "10"},     {55, "2"},      {56, "100000"}}},
        {2,
         {{0, "商品"},   {1, "5"},       {2, "400000"},  {4, "当座預金"}, {6, "買掛金"},     {8, "150000"},
          {9, "現金"},   {10, "260000"}, {12, "商品"},   {14, "200000"},  {15, "商品売買益"}, {16, "31"},
          {18, "60000"}, {19, "諸口"},   {20, "1"},      {21, "400000"},  {23, "借"},         {24, "700000"},
          {25, "現金"},  {26, "1"},      {28, "200000"}, {29, "借"},      {30, "500000"},     {31, "現金"},
          {32, "1"},     {34, "60000"},  {35, "貸"},     {36, "60000"}}},
        {3,
         {{0, "商品"},   {2, "400000"}, {4, "現金"},   {5, "1"},      {7, "200000"},  {8, "買掛金"},
          {9, "7"},      {11, "200000"}, {12, "現金"},  {13, "1"},     {14, "500000"}, {16, "売掛金"},
          {19, "500000"}, {20, "給料"},  {22, "80000"}, {24, "現金"},  {25, "1"},      {27, "80000"},
          {28, "5"},     {29, "21"},     {30, "売掛金"}, {31, "5"},     {32, "500000"}, {53, "5"},
          {54, "8"},     {55, "商品"},   {56, "5"},     {57, "200000"}}},
    };
    Page p(58);
    for (const auto& [i, v] : filled.at(variant)) p[static_cast<size_t>(i)] = v;
    return p;
}

Routine routine(int variant) {
    switch (variant) {
        case 1: return exam_window::score_q2_variant1;
        case 2: return exam_window::score_q2_variant2;
        default: return exam_window::score_q2_variant3;
    }
}

int16_t mark(int variant, const Page& p, int16_t start = 0) {
    int16_t score = start;
    routine(variant)(AnswerFields(p), score);
    return score;
}

// The fields that each key reads; every other field may hold anything.
std::set<int> fields_read(int variant) {
    std::set<int> s;
    for (int i = 0; i <= 57; ++i) s.insert(i);
    auto drop = [&](int from, int to) {
        for (int i = from; i <= to; ++i) s.erase(i);
    };
    if (variant == 1) {
        drop(22, 26), drop(32, 36), drop(38, 38), drop(40, 41), drop(49, 51), drop(57, 57);
    } else if (variant == 2) {
        drop(37, 57);
    } else {
        drop(33, 52);
    }
    return s;
}

class Q2Marking : public ::testing::TestWithParam<int> {};

TEST_P(Q2Marking, CorrectPageGainsTwentyEmptyPageNothing) {
    EXPECT_EQ(mark(GetParam(), correct(GetParam())), 20);
    EXPECT_EQ(mark(GetParam(), Page(58)), 0);
    EXPECT_EQ(mark(GetParam(), Page(200)), 0);
}

TEST_P(Q2Marking, EveryItemCountsExactlyAsManyPassesAsItsThreshold) {
    // An item whose threshold differs from what its members can give could never score,
    // or could score with a member failing.
    const exam_window::MarkingKey& key = GetParam() == 1   ? exam_window::q2_key_variant1()
                                         : GetParam() == 2 ? exam_window::q2_key_variant2()
                                                           : exam_window::q2_key_variant3();
    ASSERT_EQ(key.size(), 5u);
    for (const auto& item : key) {
        int possible = 0;
        for (const auto& m : item.members)
            possible += m.kind == exam_window::Member::Kind::RememberedRows ? 2 * static_cast<int>(m.rows.size()) : 1;
        EXPECT_EQ(item.kind, exam_window::Item::Kind::Counted);
        EXPECT_EQ(item.threshold, possible);
    }
}

TEST_P(Q2Marking, AnyOneWrongFieldCostsItsItemAndUnreadFieldsCostNothing) {
    const int v = GetParam();
    const std::set<int> read = fields_read(v);
    for (int i = 0; i <= 57; ++i) {
        SCOPED_TRACE("field " + std::to_string(i));
        Page p = correct(v);
        std::string& f = p[static_cast<size_t>(i)];
        f = f.empty() ? "x" : f + "0";
        EXPECT_EQ(mark(v, p), read.count(i) ? 16 : 20);
    }
}

TEST_P(Q2Marking, ASecondCallMarksAgain) {
    int16_t score = 0;
    routine(GetParam())(AnswerFields(correct(GetParam())), score);
    routine(GetParam())(AnswerFields(correct(GetParam())), score);
    EXPECT_EQ(score, 40);
}

TEST_P(Q2Marking, OverflowEndsTheRoutineKeepingTheScoreBeforeIt) {
    int16_t score = 32760;
    EXPECT_THROW(routine(GetParam())(AnswerFields(correct(GetParam())), score), std::overflow_error);
    EXPECT_EQ(score, 32764);
}

INSTANTIATE_TEST_SUITE_P(Variants, Q2Marking, ::testing::Values(1, 2, 3));

TEST(Q2MarkingRules, NameFieldsIgnoreSpacesExactFieldsDoNot) {
    struct Case {
        int field;
        std::string text;
        bool scores;
    };
    // Variant 2: field 9 is a name ("現金"), 10 an amount, 23 the mark "借".
    const Case cases[] = {
        {9, "現 金", true},       {9, "　現金 ", true},     {9, "現金　", true},       {9, " 現　金 ", true},
        {9, "ｹﾞﾝｷﾝ", false},      {9, "現金。", false},     {10, " 260000", false},    {10, "260,000", false},
        {10, "２６００００", false}, {10, "260000 ", false}, {23, " 借", false},        {23, "借 ", false},
        {23, "貸", false},        {10, "260000", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " [" + c.text + "]");
        Page p = correct(2);
        p[static_cast<size_t>(c.field)] = c.text;
        EXPECT_EQ(mark(2, p), c.scores ? 20 : 16);
    }
}

TEST(Q2MarkingRules, Variant1Field8MustBeTwelveForTheGroup) {
    for (const char* text : {"12", "１２", " 12", "12 ", "13", ""}) {
        SCOPED_TRACE(text);
        Page p = correct(1);
        p[8] = text;
        EXPECT_EQ(mark(1, p), std::string(text) == "12" ? 20 : 16);
    }
}

TEST(Q2MarkingRules, Variant3PairInEitherOrderEachNameWithItsOwnNumber) {
    struct Case {
        const char *name4, *number5, *name8, *number9;
        bool scores;
    };
    const Case cases[] = {
        {"現金", "1", "買掛金", "7", true},
        {"買掛金", "7", "現金", "1", true},
        {"現 金", "1", "　買掛金", "7", true},
        {"現金", "7", "買掛金", "1", false},   // numbers swapped
        {"買掛金", "1", "現金", "7", false},
        {"現金", "1", "現金", "1", false},     // the same row twice stands for one row only
        {"買掛金", "7", "買掛金", "7", false},
        {"売掛金", "1", "買掛金", "7", false},  // neither name in field 4
        {"現金", "1", "売掛金", "7", false},
        {"現金", " 1", "買掛金", "7", false},
        {"", "", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name4) + "/" + c.number5 + " " + c.name8 + "/" + c.number9);
        Page p = correct(3);
        p[4] = c.name4, p[5] = c.number5, p[8] = c.name8, p[9] = c.number9;
        EXPECT_EQ(mark(3, p), c.scores ? 20 : 16);
    }
}

TEST(Q2MarkingRules, ShortPagesEndTheRoutineWithThePointsBefore) {
    struct Case {
        int variant;
        size_t fields;
        int16_t gained;
    };
    const Case cases[] = {{1, 30, 8}, {2, 30, 12}, {3, 30, 12}, {3, 57, 16}, {1, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.variant) + " with " + std::to_string(c.fields));
        Page p = correct(c.variant);
        p.resize(c.fields);
        int16_t score = 100;
        EXPECT_THROW(routine(c.variant)(AnswerFields(p), score), FieldReadError);
        EXPECT_EQ(score, 100 + c.gained);
    }
}

TEST(Q2MarkingPane, ReadsTheAnswer2FieldsOfThePaneInOneRoundTrip) {
    fakes::FakeBrowserPane pane;
    for (const auto& v : correct(1)) pane.add_text_field("answer2", v);
    pane.add_text_field("answer4", "other question");
    const AnswerFields f = exam_window::q2_answer_fields(pane);
    EXPECT_EQ(pane.reads, 1);
    ASSERT_EQ(f.size(), 58u);
    int16_t score = 0;
    exam_window::score_q2_variant1(f, score);
    EXPECT_EQ(score, 20);
}

TEST(Q2MarkingPane, APageWithoutTheFieldsOrAPaneThatCannotBeReadMarksNothing) {
    fakes::FakeBrowserPane without;
    without.add_text_field("answer", "商品");
    int16_t score = 7;
    EXPECT_THROW(exam_window::score_q2_variant2(exam_window::q2_answer_fields(without), score), FieldReadError);
    EXPECT_EQ(score, 7);

    fakes::FakeBrowserPane broken;
    broken.fail_bridge = true;
    EXPECT_ANY_THROW(exam_window::q2_answer_fields(broken));
}

}  // namespace
