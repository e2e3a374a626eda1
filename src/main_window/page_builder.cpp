#include "page_builder.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "common/forms.h"
#include "common/state.h"
#include "common/text.h"
#include "platform/platform.h"

namespace main_window {

const std::array<std::array<int, 6>, 15> kSixChoiceOrders = {{
    {1, 2, 3, 4, 5, 6},
    {2, 3, 4, 5, 6, 1},
    {3, 4, 5, 6, 1, 2},
    {4, 5, 6, 1, 2, 3},
    {5, 6, 1, 2, 3, 4},
    {6, 1, 2, 3, 4, 5},
    {1, 3, 5, 2, 4, 6},
    {2, 4, 6, 1, 3, 5},
    {4, 5, 6, 3, 2, 1},
    {6, 5, 4, 1, 2, 3},
    {1, 6, 2, 5, 3, 4},
    {3, 1, 5, 4, 6, 2},
    {5, 2, 3, 4, 1, 6},
    {3, 2, 6, 1, 4, 5},
    {2, 5, 1, 6, 4, 3},
}};

std::string skeleton_query(int page_id) { return "select * from exam_doc where id =" + std::to_string(page_id); }

std::string question_query(int q_set, int q_group) {
    return "select * from select_q where q_set=" + std::to_string(q_set) + " and q_g=" + std::to_string(q_group);
}

int take_down(float r, int n) {
    if (!(r >= 0.0f && r < 1.0f)) throw platform::Error("random draw outside [0, 1)");
    // In double the product of a float below 1 and a small count is exact, so it stays below n.
    return static_cast<int>(std::floor(static_cast<double>(r) * n));
}

std::array<int, 4> shuffle_slots(platform::Random& random) {
    std::array<int, 4> order = {0, 1, 2, 3};
    for (int j = 0; j <= 2; ++j) {
        int k = take_down(random.next(), j + 1);
        std::swap(order[j], order[k]);
    }
    return order;
}

std::array<int, 4> shuffle_choices(platform::Random& random) {
    std::array<int, 4> order = {1, 2, 3, 4};
    for (int j = 1; j <= 3; ++j) {
        int k = take_down(random.next(), j + 1);
        std::swap(order[j], order[k]);
    }
    return order;
}

int draw_six_choice_row(platform::Random& random) {
    return take_down(random.next(), static_cast<int>(kSixChoiceOrders.size()));
}

std::string choice_placeholder(int digit) { return "選択肢" + std::to_string(digit); }

std::string full_width_digit(int digit) {
    if (digit < 0 || digit > 9) throw platform::Error("not a decimal digit");
    return common::to_u8(std::u16string(1, static_cast<char16_t>(u'０' + digit)));
}

std::string slot_placeholder(int q_set, int slot) {
    return (q_set == 1 ? "問題１－" : "問題３－") + full_width_digit(slot);
}

std::string fill_choices(const std::string& fragment, const std::vector<int>& digits,
                         const std::vector<std::string>& texts) {
    std::string out = fragment;
    for (size_t n = 0; n < digits.size() && n < texts.size(); ++n)
        out = common::replace_all(out, choice_placeholder(digits[n]), texts[n]);
    return out;
}

platform::Row first_row(platform::Database& db, const std::string& sql) {
    std::optional<platform::Row> row = db.query_first(sql);
    if (!row) throw platform::Error("no record for: " + sql);
    return std::move(*row);
}

std::string text_field(const platform::Row& row, const std::string& name, const std::string& sql) {
    const std::optional<std::string>& value = row.field(name);
    if (!value) throw platform::Error("NULL in " + name + " for: " + sql);
    return *value;
}

std::vector<std::string> choice_texts(const platform::Row& row, int count, const std::string& sql) {
    std::vector<std::string> texts;
    for (int n = 1; n <= count; ++n) texts.push_back(text_field(row, "sel" + std::to_string(n), sql));
    return texts;
}

std::unique_ptr<platform::Database> open_question_database(const std::string& file_name) {
    const common::Module1& st = common::state();
    return platform::current().database->open(st.data_path + file_name, st.db_password);
}

std::array<std::string, 3> read_skeletons(platform::Database& db) {
    std::array<std::string, 3> pages;
    for (int id = 1; id <= 3; ++id) {
        const std::string sql = skeleton_query(id);
        pages[id - 1] = text_field(first_row(db, sql), "q_doc", sql);
    }
    return pages;
}

void write_page(int index, const std::string& text, std::vector<std::string>& written) {
    const std::string path = common::state().data_path + kPageFiles.at(index);
    platform::current().files->write_utf8_bom(path, text);
    written.push_back(path);
}

void finish_with_page_3(std::unique_ptr<platform::Database> db, std::string page3, std::vector<std::string>& written) {
    common::state().q4_group = 4;
    const std::string sql = question_query(4, 4);
    page3 = common::replace_all(page3, kQuestion4Placeholder, text_field(first_row(*db, sql), "q_doc", sql));
    db.reset();
    write_page(2, page3, written);
}

bool run_page_build(const char* name, const std::function<void(std::vector<std::string>& written)>& build) noexcept {
    std::vector<std::string> written;
    try {
        build(written);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: unknown failure\n", name);
    }
    // A set of pages half from this build and half from an earlier one must never be shown.
    for (const std::string& path : written) common::ignore_errors([&] { platform::current().files->remove_file(path); });
    return false;
}

namespace {

// The build proper; throws on the first failure. Every page it has written is listed in
// written, so the caller can take them back.
void build(std::vector<std::string>& written) {
    common::Module1& st = common::state();
    platform::Random& random = *platform::current().random;

    std::unique_ptr<platform::Database> db = open_question_database(kQuestionDatabase);
    std::array<std::string, 3> pages = read_skeletons(*db);

    st.answer_key.assign(51, std::string());

    // Page 1: groups 1 to 3 over slots 0 to 2, group 4 on slot 3; each question its own
    // order of four choices.
    random.reseed();
    const std::array<int, 4> slots1 = shuffle_slots(random);
    for (int g = 1; g <= 4; ++g) {
        random.reseed();
        const std::array<int, 4> order = shuffle_choices(random);
        const std::string sql = question_query(1, g);
        const platform::Row row = first_row(*db, sql);
        const std::string fragment = fill_choices(text_field(row, "q_doc", sql), std::vector<int>(order.begin(), order.end()),
                                                  choice_texts(row, 4, sql));
        const int slot = slots1[g - 1];
        pages[0] = common::replace_all(pages[0], slot_placeholder(1, slot), fragment);
        st.answer_key[slot] = text_field(row, "ans", sql);
    }
    write_page(0, pages[0], written);

    // Page 2: the slot shuffle goes on from where the last set-1 question left the
    // generator; each question then draws one row of the six-choice table.
    const std::array<int, 4> slots3 = shuffle_slots(random);
    for (int g = 1; g <= 4; ++g) {
        random.reseed();
        const std::array<int, 6>& order = kSixChoiceOrders[draw_six_choice_row(random)];
        const std::string sql = question_query(3, g);
        const platform::Row row = first_row(*db, sql);
        const std::string fragment = fill_choices(text_field(row, "q_doc", sql), std::vector<int>(order.begin(), order.end()),
                                                  choice_texts(row, 6, sql));
        const int slot = slots3[g - 1];
        pages[1] = common::replace_all(pages[1], slot_placeholder(3, slot), fragment);
        st.answer_key[10 + slot] = text_field(row, "ans", sql);
    }
    write_page(1, pages[1], written);

    finish_with_page_3(std::move(db), pages[2], written);
}

}  // namespace

bool build_question_pages() noexcept { return run_page_build("build_question_pages", build); }

}  // namespace main_window
