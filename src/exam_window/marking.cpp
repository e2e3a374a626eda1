#include "marking.h"

#include "common/text.h"

namespace exam_window {

const std::string& AnswerFields::at(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= values_.size())
        throw FieldReadError("no answer field " + std::to_string(i));
    return values_[static_cast<size_t>(i)];
}

bool name_matches(const std::string& field_text, const std::string& expected) {
    std::string squeezed = common::replace_all(field_text, " ", "");
    squeezed = common::replace_all(squeezed, "\u3000", "");
    return squeezed == expected;
}

namespace {

using common::checked_add_i16;

bool passes(const Check& c, const AnswerFields& f) {
    const std::string& text = f.at(c.field);
    return c.name_rule ? name_matches(text, c.expected) : exact_matches(text, c.expected);
}

// Every check is evaluated, and its field read, even after one has failed.
bool all_pass(const std::vector<Check>& checks, const AnswerFields& f) {
    bool all = true;
    for (const auto& c : checks) all = passes(c, f) && all;
    return all;
}

bool row_holds(int name_field, const ExpectedRow& row, const AnswerFields& f) {
    const bool name = name_matches(f.at(name_field), row.name);
    const bool amount = exact_matches(f.at(name_field + 1), row.amount);
    return name && amount;
}

// For each slot in order, the index of the expected row it holds (the first in key order),
// or -1. Every slot is read for every row, as the checks of an item all are.
std::vector<int> rows_in_slots(const std::vector<int>& slot_fields, const std::vector<ExpectedRow>& expected,
                               const AnswerFields& f) {
    std::vector<int> held;
    for (int slot : slot_fields) {
        int row = -1;
        for (size_t j = 0; j < expected.size(); ++j)
            if (row_holds(slot, expected[j], f) && row < 0) row = static_cast<int>(j);
        held.push_back(row);
    }
    return held;
}

// What one member adds to its counted item. A journal line written twice is a bookkeeping
// error: an expected row standing in two slots of a slot loop spoils the whole item.
int16_t count_member(const Member& m, const AnswerFields& f, bool& spoiled) {
    int16_t count = 0;
    switch (m.kind) {
        case Member::Kind::Exact:
        case Member::Kind::AllOf:
            if (all_pass(m.checks, f)) count = checked_add_i16(count, 1);
            break;
        case Member::Kind::UnorderedRows:
            for (const auto& e : m.expected) {
                for (size_t k = 0; k < m.rows.size(); ++k) {
                    bool here = name_matches(f.at(m.rows[k]), e.name);
                    bool elsewhere = false;
                    for (size_t o = 0; o < m.rows.size(); ++o)
                        if (o != k && name_matches(f.at(m.rows[o]), e.name)) elsewhere = true;
                    bool amount = exact_matches(f.at(m.rows[k] + 1), e.amount);
                    if (here && !elsewhere && amount) count = checked_add_i16(count, 1);
                }
            }
            break;
        case Member::Kind::SlotLoop: {
            std::vector<bool> seen(m.expected.size(), false);
            for (int row : rows_in_slots(m.rows, m.expected, f)) {
                if (row < 0) continue;
                if (seen[static_cast<size_t>(row)]) spoiled = true;
                seen[static_cast<size_t>(row)] = true;
                count = checked_add_i16(count, 1);
            }
            break;
        }
        case Member::Kind::RememberedRows: {
            // A name already taken by an earlier row fails its name here, so writing one
            // expected row twice can never stand in for the other.
            std::vector<bool> taken(m.expected.size(), false);
            for (int row : m.rows) {
                const std::string& text = f.at(row);
                size_t j = 0;
                while (j < m.expected.size() && !name_matches(text, m.expected[j].name)) ++j;
                if (j == m.expected.size()) continue;  // names none of them: its number is not read
                if (!taken[j]) {
                    taken[j] = true;
                    count = checked_add_i16(count, 1);
                }
                if (exact_matches(f.at(row + 1), m.expected[j].amount)) count = checked_add_i16(count, 1);
            }
            break;
        }
    }
    return count;
}

Check name(int field, const char* text) { return {field, text, true}; }
Check exact(int field, const char* text) { return {field, text, false}; }

Item single(Check c) { return Item{Item::Kind::Single, {std::move(c)}, {}, 0, {}, {}}; }
Item all_of(std::vector<Check> checks) { return Item{Item::Kind::AllOf, std::move(checks), {}, 0, {}, {}}; }
Item counted(int threshold, std::vector<Member> members) {
    return Item{Item::Kind::Counted, {}, std::move(members), threshold, {}, {}};
}
Item scoring_loop(std::vector<int> slot_fields, std::vector<ExpectedRow> rows) {
    return Item{Item::Kind::ScoringSlotLoop, {}, {}, 0, std::move(slot_fields), std::move(rows)};
}
Member m_exact(Check c) { return Member{Member::Kind::Exact, {std::move(c)}, {}, {}}; }
Member m_all(std::vector<Check> checks) { return Member{Member::Kind::AllOf, std::move(checks), {}, {}}; }
Member m_rows(std::vector<int> rows, std::vector<ExpectedRow> e) {
    return Member{Member::Kind::UnorderedRows, {}, std::move(rows), std::move(e)};
}
Member m_slots(std::vector<int> slot_fields, std::vector<ExpectedRow> e) {
    return Member{Member::Kind::SlotLoop, {}, std::move(slot_fields), std::move(e)};
}

}  // namespace

const MarkingKey& q4_key_group3_and_4() {
    static const MarkingKey key = {
        counted(5, {m_all({name(0, "損益"), exact(1, "364000")}),
                    m_slots({2, 6, 10, 14, 18}, {{"給料", "320000"},
                                                 {"支払地代", "30000"},
                                                 {"広告宣伝費", "11000"},
                                                 {"支払利息", "3000"}})}),
        counted(3, {m_exact(exact(20, "12")), m_exact(exact(21, "31")),
                    m_all({name(22, "給料"), exact(23, "320000")})}),
        all_of({name(43, "支払"), exact(44, "3000")}),
        all_of({name(49, "資本金"), exact(50, "50000")}),
        all_of({name(39, "受取"), exact(40, "4000")}),
        single(exact(61, "78000")),
        single(exact(65, "420000")),
        all_of({exact(79, "1250000"), exact(80, "1250000")}),
        single(exact(78, "500000")),
    };
    return key;
}

const MarkingKey& q4_key_group1() {
    static const MarkingKey key = {
        single(exact(8, "63000")),
        single(exact(15, "100000")),
        single(exact(34, "500000")),
        single(exact(42, "700000")),
        single(exact(51, "862000")),
        single(exact(59, "77000")),
        single(exact(79, "57000")),
        counted(4, {m_rows({106, 110, 114}, {{"商品売買益", "394000"}, {"受取手数料", "77000"}, {"受取利息", "4000"}}),
                    m_all({name(108, "損益"), exact(109, "475000")})}),
        all_of({name(118, "損益"), name(120, "資本金"), exact(119, "15000"), exact(121, "15000")}),
    };
    return key;
}

const MarkingKey& q4_key_group2() {
    static const MarkingKey key = {
        counted(2, {m_all({name(0, "商品売買益"), name(4, "受取手数料"), exact(1, "904000"), exact(5, "24000")}),
                    m_all({name(0, "受取手数料"), name(4, "商品売買益"), exact(1, "24000"), exact(5, "904000")}),
                    m_all({name(2, "損益"), exact(3, "928000"), exact(6, ""), exact(7, "")})}),
        all_of({name(8, "損益"), name(10, "資本金"), exact(9, "160000"), exact(11, "160000")}),
        scoring_loop({13, 17, 20, 24, 27},
                     {{"現金", "1012000"}, {"当座預金", "2400000"}, {"売掛金", "728000"}, {"備品", "800000"}}),
        scoring_loop({15, 22}, {{"買掛金", "640000"}, {"当期純利益", "160000"}}),
        single(exact(19, "4700000")),
    };
    return key;
}

void apply_key(const MarkingKey& key, const AnswerFields& f, int16_t& score, int16_t points) {
    for (const Item& item : key) {
        switch (item.kind) {
            case Item::Kind::Single:
            case Item::Kind::AllOf:
                if (all_pass(item.checks, f)) score = checked_add_i16(score, points);
                break;
            case Item::Kind::Counted: {
                int16_t count = 0;
                bool spoiled = false;
                for (const Member& m : item.members) count = checked_add_i16(count, count_member(m, f, spoiled));
                if (count == item.threshold && !spoiled) score = checked_add_i16(score, points);
                break;
            }
            case Item::Kind::ScoringSlotLoop: {
                // Each expected row scores once, in the first slot that holds it, so a repeat
                // can never carry the loop beyond full marks.
                std::vector<bool> scored(item.expected.size(), false);
                for (int row : rows_in_slots(item.slot_fields, item.expected, f)) {
                    if (row < 0 || scored[static_cast<size_t>(row)]) continue;
                    scored[static_cast<size_t>(row)] = true;
                    score = checked_add_i16(score, points);
                }
                break;
            }
        }
    }
}

void score_q4(int16_t group, const AnswerFields& answer4, int16_t& score) {
    switch (group) {
        case 1: apply_key(q4_key_group1(), answer4, score); break;
        case 2: apply_key(q4_key_group2(), answer4, score); break;
        case 3:
        case 4: apply_key(q4_key_group3_and_4(), answer4, score); break;
        default: break;
    }
}

namespace {

// Whether the page holds a field. On the first page a field it lacks counts as a match,
// as a test that cannot be evaluated does there; on the second it reads as empty. Both
// only move points that the result page replaces by its fixed ones.
struct Probe {
    const AnswerFields& f;
    bool ok(int i) const { return static_cast<size_t>(i) < f.size() && i >= 0; }
};

// The page marks run with errors ignored: an addition that would overflow is skipped.
void add_ignoring_overflow(int16_t& score, int points) {
    try {
        score = common::checked_add_i16(score, points);
    } catch (const std::overflow_error&) {
    }
}

std::string key_at(const std::vector<std::string>& key, size_t i) { return i < key.size() ? key[i] : std::string(); }

}  // namespace

void score_page1(const AnswerFields& answer, const std::vector<std::string>& answer_key, int16_t& score) {
    Probe p{answer};
    for (int j = 0; j <= 9; ++j) {
        if (!p.ok(j) || (!answer.at(j).empty() && answer.at(j) == key_at(answer_key, static_cast<size_t>(j))))
            add_ignoring_overflow(score, 3);
    }
}

void score_page2(const AnswerFields& answer3, const std::vector<std::string>& answer_key, int16_t& score) {
    Probe p{answer3};
    for (int r = 0; r <= 9; ++r) {
        auto a = [&](int k) -> std::string {
            const int i = 8 * r + k;
            return p.ok(i) ? answer3.at(i) : std::string();
        };
        if (a(0).empty() && a(4).empty()) continue;
        const std::vector<std::string> parts = common::split(key_at(answer_key, static_cast<size_t>(10 + r)), ",");
        auto part = [&](size_t i) -> std::string { return i < parts.size() ? parts[i] : std::string(); };
        if (parts.size() == 4) {
            int first = 0, second = 0;
            for (int k = 0; k < 4; ++k) {
                if (a(k) == part(static_cast<size_t>(k)) && a(k + 4).empty()) ++first;
                if (a(k + 4) == part(static_cast<size_t>(k)) && a(k).empty()) ++second;
            }
            if ((first == 4 && second == 0) || (first == 0 && second == 4)) add_ignoring_overflow(score, 4);
        } else {
            const bool left = (a(0) == part(0) && a(1) == part(1) && a(4) == part(4) && a(5) == part(5)) ||
                              (a(0) == part(4) && a(1) == part(5) && a(4) == part(0) && a(5) == part(1));
            const bool right = (a(2) == part(2) && a(3) == part(3) && a(6) == part(6) && a(7) == part(7)) ||
                               (a(2) == part(6) && a(3) == part(7) && a(6) == part(2) && a(7) == part(3));
            if (left && right) add_ignoring_overflow(score, 4);
        }
    }
}

}  // namespace exam_window
