#pragma once
// The question-page builder: nine questions from the question database "exam.dat",
// arranged at random into the three pages index.html, index2.html and index3.html of the
// data folder, with the expected answers left in state().answer_key and the group of the
// page-3 question in state().q4_group.
//
// The pieces that do not touch the platform (shuffles, table, placeholders, replacements)
// are public so they can be exercised on their own.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/database.h"

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

// ---------------------------------------------------------------------------------------
// Steps every question-page build shares. Each throws on failure; run_page_build turns
// that into the builders' false.

// The first record of a query; throws platform::Error when there is none.
platform::Row first_row(platform::Database& db, const std::string& sql);
// A field that must exist and hold text; throws platform::Error for a NULL (and, through
// the row, for a missing column). sql names the query in the message.
std::string text_field(const platform::Row& row, const std::string& name, const std::string& sql);
// sel1 to sel<count>, each as text_field.
std::vector<std::string> choice_texts(const platform::Row& row, int count, const std::string& sql);

// Opens file_name in the data folder with the program's database password. The engine
// never creates a file, so a missing database fails here.
std::unique_ptr<platform::Database> open_question_database(const std::string& file_name);
// The page skeletons of ids 1, 2 and 3, queried in this order.
std::array<std::string, 3> read_skeletons(platform::Database& db);
// Writes page index (0 to 2) as kPageFiles[index] in the data folder and lists its path
// in written once it is on disk.
void write_page(int index, const std::string& text, std::vector<std::string>& written);
// The end of every build: q4_group := 4, the set-4 question into page 3, the database
// closed, page 3 written.
void finish_with_page_3(std::unique_ptr<platform::Database> db, std::string page3, std::vector<std::string>& written);

// Runs one build. True when it completes. On any failure: the cause to stderr under name,
// every page listed in written removed again, false. Never throws.
bool run_page_build(const char* name, const std::function<void(std::vector<std::string>& written)>& build) noexcept;

}  // namespace main_window
