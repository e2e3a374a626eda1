#pragma once
// Marking of the answer fields. The fields of one element name are read from a pane in
// one round trip and marked here; a field number beyond what the page holds is a failed
// read, which ends a question-4 routine with the points it already added.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace exam_window {

class FieldReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The answer fields of one element name, in document order.
class AnswerFields {
public:
    AnswerFields() = default;
    explicit AnswerFields(std::vector<std::string> values) : values_(std::move(values)) {}
    // Throws FieldReadError when the page holds no field i.
    const std::string& at(int i) const;
    size_t size() const { return values_.size(); }

private:
    std::vector<std::string> values_;
};

// Account names: every U+0020 and U+3000 removed, the rest compared exactly.
bool name_matches(const std::string& field_text, const std::string& expected);
// Amounts and the rest: compared exactly, nothing trimmed or converted.
inline bool exact_matches(const std::string& field_text, const std::string& expected) {
    return field_text == expected;
}

struct Check {
    int field;
    std::string expected;
    bool name_rule;
};

struct ExpectedRow {
    std::string name;
    std::string amount;
};

// A member of a counted item.
//   Exact: one check (by either rule); AllOf: several checks that add 1 together.
//   SlotLoop: listed slots (name fields, amounts in the next field); each slot that holds an
//   expected row adds 1, and an expected row that stands in two slots fails the whole item.
//   RememberedRows: listed rows that must hold the expected rows in any order. Per row in
//   list order, its name adds 1 when it is one of the expected names that no earlier row
//   has taken; its number field is read only when the row names one of them, and adds 1
//   when it equals that name's amount.
struct Member {
    enum class Kind { Exact, AllOf, UnorderedRows, SlotLoop, RememberedRows };
    Kind kind;
    std::vector<Check> checks;       // Exact (one check), AllOf
    std::vector<int> rows;           // UnorderedRows, SlotLoop, RememberedRows: name-field numbers
    std::vector<ExpectedRow> expected;  // UnorderedRows, SlotLoop, RememberedRows
};

struct Item {
    enum class Kind { Single, AllOf, Counted, ScoringSlotLoop };
    Kind kind;
    std::vector<Check> checks;    // Single, AllOf
    std::vector<Member> members;  // Counted
    int threshold = 0;            // Counted
    std::vector<int> slot_fields;  // ScoringSlotLoop: name-field numbers
    std::vector<ExpectedRow> expected;  // ScoringSlotLoop
};

using MarkingKey = std::vector<Item>;

const MarkingKey& q4_key_group1();
const MarkingKey& q4_key_group2();
const MarkingKey& q4_key_group3_and_4();

// Adds points (3 for question 4) to score for every item of the key that scores. A failed
// read ends the routine: the points added so far stay and FieldReadError goes to the
// caller. A 16-bit overflow throws std::overflow_error the same way.
void apply_key(const MarkingKey& key, const AnswerFields& fields, int16_t& score, int16_t points = 3);

// The question-4 routine of a group (1 to 4; any other group marks nothing).
void score_q4(int16_t group, const AnswerFields& answer4, int16_t& score);

// First page: 3 for each of fields 0 to 9 of "answer" that is not empty and equals its key.
void score_page1(const AnswerFields& answer, const std::vector<std::string>& answer_key, int16_t& score);
// Second page: 4 for each row of eight "answer3" fields that holds its key (answer_key 10 + row).
void score_page2(const AnswerFields& answer3, const std::vector<std::string>& answer_key, int16_t& score);

}  // namespace exam_window
