#include "page_builder_mdb.h"

#include <memory>
#include <utility>

#include "common/state.h"
#include "common/text.h"
#include "page_builder.h"
#include "platform/error.h"
#include "platform/platform.h"
#include "platform/random.h"

namespace main_window {

const std::array<Set1PlanRow, 7> kSet1Plan = {{
    {1, 1, 3},
    {2, 1, 3},
    {3, 1, 6},
    {4, 1, 3},
    {4, 4, 3},
    {5, 1, 3},
    {5, 4, 3},
}};

const std::array<int, 8> kSet3QuestionCounts = {3, 3, 4, 3, 3, 6, 3, 3};

const std::array<std::array<int, 2>, 2> kTwoChoiceOrders = {{{1, 2}, {2, 1}}};

std::string old_set1_query(int q_group, int q_id) {
    return question_query(1, q_group) + " and q_id=" + std::to_string(q_id) + " order by q_id";
}

std::string old_set3_query(int q_group, int q_id) {
    if (q_group < 1 || q_group > static_cast<int>(kSet3QuestionCounts.size()))
        throw platform::Error("set 3 has no group " + std::to_string(q_group));
    return question_query(3, q_group) + " and q_id=" + std::to_string(q_id);
}

std::vector<int> shuffle_all_slots(int n, platform::Random& random) {
    std::vector<int> order;
    for (int s = 1; s <= n; ++s) order.push_back(s);
    for (int j = 1; j < n; ++j) {
        const int k = take_down(random.next(), j + 1);
        std::swap(order[j], order[k]);
    }
    return order;
}

int draw_set1_question(const Set1PlanRow& row, platform::Random& random) {
    return row.first + take_down(random.next(), row.count);
}

int draw_set3_question(int q_group, platform::Random& random) {
    return 1 + take_down(random.next(), kSet3QuestionCounts.at(q_group - 1));
}

int draw_two_choice_row(platform::Random& random) {
    return take_down(random.next(), static_cast<int>(kTwoChoiceOrders.size()));
}

namespace {

std::vector<int> digits_of(const auto& order) { return std::vector<int>(order.begin(), order.end()); }

void build(std::vector<std::string>& written) {
    common::Module1& st = common::state();
    platform::Random& random = *platform::current().random;

    std::unique_ptr<platform::Database> db = open_question_database(kOldQuestionDatabase);
    std::array<std::string, 3> pages = read_skeletons(*db);

    st.answer_key.assign(51, std::string());

    // Page 1: seven slots, 1 to 7. The question number and the choice order each get a
    // fresh seed of their own.
    const std::vector<int> slots1 = shuffle_all_slots(7, random);
    for (size_t i = 0; i < kSet1Plan.size(); ++i) {
        const Set1PlanRow& plan = kSet1Plan[i];
        random.reseed();
        const int q_id = draw_set1_question(plan, random);
        random.reseed();
        const auto& order = kTwoChoiceOrders[draw_two_choice_row(random)];
        const std::string sql = old_set1_query(plan.q_g, q_id);
        const platform::Row row = first_row(*db, sql);
        const std::string fragment = fill_choices(text_field(row, "q_doc", sql), digits_of(order), choice_texts(row, 2, sql));
        const int slot = slots1[i];
        pages[0] = common::replace_all(pages[0], slot_placeholder(1, slot), fragment);
        st.answer_key[slot] = text_field(row, "ans", sql);
    }
    write_page(0, pages[0], written);

    // Page 2: eight slots, 1 to 8, one question of each group of set 3.
    const std::vector<int> slots3 = shuffle_all_slots(8, random);
    for (int g = 1; g <= 8; ++g) {
        random.reseed();
        const int q_id = draw_set3_question(g, random);
        random.reseed();
        const auto& order = kSixChoiceOrders[draw_six_choice_row(random)];
        const std::string sql = old_set3_query(g, q_id);
        const platform::Row row = first_row(*db, sql);
        const std::string fragment = fill_choices(text_field(row, "q_doc", sql), digits_of(order), choice_texts(row, 6, sql));
        const int slot = slots3[g - 1];
        pages[1] = common::replace_all(pages[1], slot_placeholder(3, slot), fragment);
        st.answer_key[7 + slot] = text_field(row, "ans", sql);
    }
    write_page(1, pages[1], written);

    finish_with_page_3(std::move(db), pages[2], written);
}

}  // namespace

bool build_question_pages_mdb() noexcept { return run_page_build("build_question_pages_mdb", build); }

}  // namespace main_window
