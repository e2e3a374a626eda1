#pragma once
// The question-page builder: nine questions from the question database "exam.dat",
// arranged at random into the three pages index.html, index2.html and index3.html of the
// data folder, with the expected answers left in state().answer_key and the group of the
// page-3 question in state().q4_group.
//
// The pieces that do not touch the platform (shuffles, table, placeholders, replacements)
// are public so they can be exercised on their own.
#include <array>
#include <string>
#include <vector>

namespace platform {
class Random;
}

namespace main_window {

// Builds the three pages. Never throws: true when all three pages are written.
//
// False on any failure (database missing, not a database or wrong password, a query
// without a record, a missing or NULL field, a page that cannot be written). Then the
// pages this build had written are removed again, so no half-built set stays behind,
// and the database file is never created. answer_key keeps what was filled before the
// failure and q4_group is only set once the page-3 question is reached; neither is
// meant to be used after a failed build. The cause goes to stderr.
//
// The caller must not go on to the examination after false: it shows the failure
// dialog with the reason kPageBuildFailedReason instead of the start page.
[[nodiscard]] bool build_question_pages() noexcept;

// The reason the caller shows when the build fails.
inline const char* const kPageBuildFailedReason =
    "データファイルの取得に失敗しました。インターネット環境の確認をお願いいたします。";

// File names in the data folder.
inline const char* const kQuestionDatabase = "exam.dat";
inline const std::array<const char*, 3> kPageFiles = {"index.html", "index2.html", "index3.html"};

// The query texts, exactly as the database is asked.
std::string skeleton_query(int page_id);             // page 1 to 3
std::string question_query(int q_set, int q_group);  // set 1, 3 or 4

// floor(r * n) for a draw r in [0, 1): taken down, never rounded, so 0 to n - 1.
// Throws platform::Error for a draw outside [0, 1).
int take_down(float r, int n);

// Slot order of pages 1 and 2: 0, 1, 2, 3 shuffled with three draws (passes j = 0 to 2,
// position j exchanged with floor(r * (j + 1))). Position 3 never moves, so the group-4
// question always lands on slot 3. Does not reseed.
std::array<int, 4> shuffle_slots(platform::Random& random);

// Choice order of a set-1 question: digits 1, 2, 3, 4 shuffled with three draws (passes
// j = 1 to 3). Position N - 1 holds the placeholder digit that receives choice column N.
// Does not reseed.
std::array<int, 4> shuffle_choices(platform::Random& random);

// The fixed orderings of six choices: row[N - 1] is the placeholder digit that receives
// choice column N.
extern const std::array<std::array<int, 6>, 15> kSixChoiceOrders;

// One draw: the row of kSixChoiceOrders for a set-3 question.
int draw_six_choice_row(platform::Random& random);

// "選択肢" followed by the ASCII digit.
std::string choice_placeholder(int digit);
// The full-width form of a decimal digit (U+FF10 to U+FF19).
std::string full_width_digit(int digit);
// "問題１－" (set 1) or "問題３－" (set 3) followed by the slot's full-width digit.
std::string slot_placeholder(int q_set, int slot);
// The placeholder of the page-3 question.
inline const char* const kQuestion4Placeholder = "問題４";

// Puts choice texts into a fragment: for N = 1, 2, ... in this order, every occurrence of
// the placeholder with digit digits[N - 1] becomes texts[N - 1]. Each replacement works on
// the text left by the ones before it.
std::string fill_choices(const std::string& fragment, const std::vector<int>& digits,
                         const std::vector<std::string>& texts);

}  // namespace main_window
