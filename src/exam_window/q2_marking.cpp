#include "q2_marking.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/browser.h"

namespace exam_window {

namespace {

constexpr int16_t kItemPoints = 4;

Check name(int field, const char* text) { return {field, text, true}; }
Check exact(int field, const char* text) { return {field, text, false}; }
Check empty(int field) { return {field, "", false}; }

Member one(Check c) { return Member{Member::Kind::Exact, {std::move(c)}, {}, {}}; }
Member group(std::vector<Check> checks) { return Member{Member::Kind::AllOf, std::move(checks), {}, {}}; }
Member pair(std::vector<int> rows, std::vector<ExpectedRow> expected) {
    return Member{Member::Kind::RememberedRows, {}, std::move(rows), std::move(expected)};
}

Item counted(int threshold, std::vector<Member> members) {
    return Item{Item::Kind::Counted, {}, std::move(members), threshold, {}, {}};
}

}  // namespace

const MarkingKey& q2_key_variant1() {
    static const MarkingKey key = {
        counted(5, {one(name(0, "商品")), one(exact(1, "3")), one(exact(2, "500000")), one(empty(3)),
                     group({name(7, "買掛金"), empty(4), empty(5), exact(6, "250000"), exact(8, "12"), empty(9),
                            exact(10, "250000")})}),
        counted(5, {one(name(11, "現金")), one(empty(12)), one(exact(13, "300000")), one(empty(14)),
                     group({name(15, "商品"), name(19, "商品売買益"), exact(16, "3"), empty(17),
                            exact(18, "200000"), empty(20), exact(21, "100000")})}),
        counted(5, {one(name(29, "諸口")), one(exact(27, "4")), one(exact(28, "6")), one(exact(30, "2")),
                     one(exact(31, "500000"))}),
        counted(7, {one(name(44, "商品")), one(empty(37)), one(empty(39)), one(exact(42, "4")), one(exact(43, "6")),
                     one(exact(45, "2")), one(exact(46, "250000"))}),
        counted(7, {one(name(54, "現金")), one(exact(52, "4")), one(exact(53, "10")), one(exact(55, "2")),
                     one(exact(56, "100000")), one(empty(47)), one(empty(48))}),
    };
    return key;
}

const MarkingKey& q2_key_variant2() {
    static const MarkingKey key = {
        counted(9, {one(name(0, "商品")), one(exact(1, "5")), one(exact(2, "400000")), one(empty(3)),
                     one(name(4, "当座預金")), one(empty(5)), one(name(6, "買掛金")), one(empty(7)),
                     one(exact(8, "150000"))}),
        counted(10, {one(name(9, "現金")), one(exact(10, "260000")), one(empty(11)), one(name(12, "商品")),
                     one(empty(13)), one(exact(14, "200000")), one(name(15, "商品売買益")), one(exact(16, "31")),
                     one(empty(17)), one(exact(18, "60000"))}),
        counted(6, {one(name(19, "諸口")), one(exact(20, "1")), one(exact(21, "400000")), one(empty(22)),
                     one(exact(23, "借")), one(exact(24, "700000"))}),
        counted(6, {one(name(25, "現金")), one(exact(26, "1")), one(empty(27)), one(exact(28, "200000")),
                     one(exact(29, "借")), one(exact(30, "500000"))}),
        counted(6, {one(name(31, "現金")), one(exact(32, "1")), one(empty(33)), one(exact(34, "60000")),
                     one(exact(35, "貸")), one(exact(36, "60000"))}),
    };
    return key;
}

const MarkingKey& q2_key_variant3() {
    static const MarkingKey key = {
        // The two rows 4/5 and 8/9 take 現金 1 and 買掛金 7 in either order. The pair is
        // marked as one member where its first row stands; fields 6 and 7 come after it,
        // which changes no result, since any failed read of an item loses the whole item.
        counted(12, {one(name(0, "商品")), one(empty(1)), one(exact(2, "400000")), one(empty(3)),
                     pair({4, 8}, {{"現金", "1"}, {"買掛金", "7"}}), one(empty(6)), one(exact(7, "200000")),
                     one(empty(10)), one(exact(11, "200000"))}),
        counted(8, {one(name(12, "現金")), one(exact(13, "1")), one(exact(14, "500000")), one(empty(15)),
                     one(name(16, "売掛金")), one(empty(17)), one(empty(18)), one(exact(19, "500000"))}),
        counted(8, {one(name(20, "給料")), one(empty(21)), one(exact(22, "80000")), one(empty(23)),
                     one(name(24, "現金")), one(exact(25, "1")), one(empty(26)), one(exact(27, "80000"))}),
        counted(5, {one(exact(28, "5")), one(exact(29, "21")), one(name(30, "売掛金")), one(exact(31, "5")),
                     one(exact(32, "500000"))}),
        counted(5, {one(exact(53, "5")), one(exact(54, "8")), one(name(55, "商品")), one(exact(56, "5")),
                     one(exact(57, "200000"))}),
    };
    return key;
}

AnswerFields q2_answer_fields(platform::BrowserPane& wbQuestion) {
    std::vector<std::string> values;
    const std::vector<platform::FieldLookup> found = wbQuestion.read_fields({"answer2"});
    if (!found.empty())
        for (const auto& e : found.front().elements) values.push_back(e.value);
    return AnswerFields(std::move(values));
}

void score_q2_variant1(const AnswerFields& answer2, int16_t& score) {
    apply_key(q2_key_variant1(), answer2, score, kItemPoints);
}

void score_q2_variant2(const AnswerFields& answer2, int16_t& score) {
    apply_key(q2_key_variant2(), answer2, score, kItemPoints);
}

void score_q2_variant3(const AnswerFields& answer2, int16_t& score) {
    apply_key(q2_key_variant3(), answer2, score, kItemPoints);
}

}  // namespace exam_window
