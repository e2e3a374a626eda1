#pragma once
// The question-page builder on the older question database "exam.mdb": the same three
// pages as build_question_pages, but seven two-choice questions on page 1 and eight
// six-choice questions on page 2, each drawn among several questions of its group by
// its number q_id. Page 3 is built as by build_question_pages. Nothing in the program
// calls it; the registration stage uses build_question_pages.
//
// Its answer_key layout is the older one: entries 1 to 7 for the page-1 slots 1 to 7,
// entries 8 to 15 for the page-2 slots 1 to 8. The end sequence reads the layout of
// build_question_pages (0 to 9 and 10 upwards), so pages built here are not marked
// correctly by it.
#include <array>
#include <string>
#include <vector>

namespace platform {
class Random;
}

namespace main_window {

// Builds the three pages from data_path + kOldQuestionDatabase. Never throws: true when
// all three pages are written.
//
// Same failure contract as build_question_pages: false on any failure (database missing,
// not a database or wrong password, a query without a record - a drawn question number
// the database does not hold included -, a missing or NULL field, a page that cannot be
// written); the pages this build had written are removed again; the database file is
// never created. answer_key keeps what was filled before the failure, q4_group is only
// set once the page-3 question is reached. The cause goes to stderr.
[[nodiscard]] bool build_question_pages_mdb() noexcept;

inline const char* const kOldQuestionDatabase = "exam.mdb";

// One row of the page-1 plan: the question is drawn from group q_g among the numbers
// first to first + count - 1.
struct Set1PlanRow {
    int q_g;
    int first;
    int count;
};
// Rows 1 to 7 (index 0 to 6). Rows 4 and 5 share group 4, rows 6 and 7 group 5, each
// pair over disjoint number ranges, so neither pair can pick the same question twice.
extern const std::array<Set1PlanRow, 7> kSet1Plan;

// How many questions group g (1 to 8) of set 3 offers; its numbers are 1 to that count.
extern const std::array<int, 8> kSet3QuestionCounts;

// The two orders of a two-choice question: row[N - 1] is the placeholder digit that
// receives choice column N. Row 0 keeps the order, row 1 exchanges the two.
extern const std::array<std::array<int, 2>, 2> kTwoChoiceOrders;

// The query texts, exactly as the database is asked.
std::string old_set1_query(int q_group, int q_id);
// Group 1 to 8; throws platform::Error for any other.
std::string old_set3_query(int q_group, int q_id);

// Slot numbers 1 to n shuffled with n - 1 draws (passes j = 1 to n - 1, position j
// exchanged with floor(r * (j + 1))); every position takes part. Does not reseed.
std::vector<int> shuffle_all_slots(int n, platform::Random& random);

// One draw: the question number of a page-1 plan row.
int draw_set1_question(const Set1PlanRow& row, platform::Random& random);
// One draw: the question number for group g (1 to 8) of set 3.
int draw_set3_question(int q_group, platform::Random& random);
// One draw: the row of kTwoChoiceOrders.
int draw_two_choice_row(platform::Random& random);

}  // namespace main_window
