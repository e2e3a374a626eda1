// The question-page builder: shuffles and placeholders on their own, then whole builds
// from a small encrypted question database with scripted draws.
#include "main_window/page_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "common/state.h"
#include "platform/backends.h"
#include "platform/database.h"
#include "platform/error.h"
#include "support/build_trace.h"
#include "support/db_fixture.h"
#include "support/fake_platform.h"
#include "support/fake_random.h"

namespace {

using main_window::build_question_pages;

const std::string kBom = "\xEF\xBB\xBF";

// ---------------------------------------------------------------------------------------
// Pure parts

TEST(TakeDown, FloorsNeverRounds) {
    struct Case {
        float r;
        int n;
        int k;
    };
    const Case cases[] = {
        {0.0f, 1, 0},   {0.999f, 1, 0}, {0.45f, 2, 0},  // 0.9 would round up to 1
        {0.5f, 2, 1},   {0.6f, 3, 1},                    // 1.8 would round up to 2
        {0.5f, 15, 7},                                   // 7.5
        {std::nextafter(1.0f, 0.0f), 15, 14}, {std::nextafter(1.0f, 0.0f), 4, 3},
        {std::nextafter(1.0f, 0.0f), 3, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(main_window::take_down(c.r, c.n), c.k) << c.r << " x " << c.n;
}

TEST(TakeDown, RefusesADrawOutsideTheUnitInterval) {
    for (float r : {1.0f, -0.0001f, 2.0f, std::nanf("")})
        EXPECT_THROW(main_window::take_down(r, 4), platform::Error) << r;
}

// Draws for the slot shuffle that give k = 0 at pass 1 or k = 0, 1, 2 at pass 2; values close
// to the next integer up show that the product is taken down.
constexpr float kPass1[2] = {0.49f, 0.75f};
constexpr float kPass2[3] = {0.3f, 0.6f, 0.9f};

struct Arrangement {
    int k1, k2;
    std::array<int, 4> slots;  // slot of group 1, 2, 3, 4
};
// Worked out by hand from the exchanges: (j=1, k1), then (j=2, k2).
const Arrangement kArrangements[6] = {
    {1, 2, {0, 1, 2, 3}}, {1, 1, {0, 2, 1, 3}}, {1, 0, {2, 1, 0, 3}},
    {0, 2, {1, 0, 2, 3}}, {0, 1, {1, 2, 0, 3}}, {0, 0, {2, 0, 1, 3}},
};

TEST(ShuffleSlots, ThreePassesGiveEverySixArrangementsAndNeverMoveSlot3) {
    std::set<std::array<int, 4>> seen;
    for (const Arrangement& a : kArrangements) {
        fakes::FakeRandom random;
        random.script({0.99f, kPass1[a.k1], kPass2[a.k2], 0.99f});
        EXPECT_EQ(main_window::shuffle_slots(random), a.slots) << a.k1 << a.k2;
        EXPECT_EQ(random.left(), 1u) << "exactly three draws";
        EXPECT_EQ(random.trace, (std::vector<std::string>{"draw", "draw", "draw"}));
        seen.insert(a.slots);
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST(ShuffleChoices, AllTwentyFourOrdersOccur) {
    std::set<std::array<int, 4>> seen;
    for (int k1 = 0; k1 < 2; ++k1)
        for (int k2 = 0; k2 < 3; ++k2)
            for (int k3 = 0; k3 < 4; ++k3) {
                fakes::FakeRandom random;
                // Middle of each interval: (k + 0.5) / n.
                random.script({(k1 + 0.5f) / 2, (k2 + 0.5f) / 3, (k3 + 0.5f) / 4});
                seen.insert(main_window::shuffle_choices(random));
                EXPECT_EQ(random.left(), 0u);
            }
    EXPECT_EQ(seen.size(), 24u);
    EXPECT_TRUE(seen.count({1, 2, 3, 4}));
}

TEST(ShuffleChoices, OrderNamesThePlaceholderThatReceivesEachColumn) {
    // Exchanges (1,0), (2,1), (3,2) make the cycle 2, 3, 4, 1, which is not its own
    // inverse (4, 1, 2, 3): reading the order the wrong way round shows.
    fakes::FakeRandom random;
    random.script({0.4f, 0.6f, 0.74f});
    const std::array<int, 4> order = main_window::shuffle_choices(random);
    ASSERT_EQ(order, (std::array<int, 4>{2, 3, 4, 1}));
    const std::string filled = main_window::fill_choices("A:選択肢1 B:選択肢2 C:選択肢3 D:選択肢4",
                                                         {order.begin(), order.end()}, {"s1", "s2", "s3", "s4"});
    EXPECT_EQ(filled, "A:s4 B:s1 C:s2 D:s3");
}

TEST(SixChoiceOrders, FifteenDistinctPermutationsRowZeroUnchanged) {
    std::set<std::array<int, 6>> rows;
    for (const auto& row : main_window::kSixChoiceOrders) {
        std::array<int, 6> sorted = row;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::array<int, 6>{1, 2, 3, 4, 5, 6}));
        rows.insert(row);
    }
    EXPECT_EQ(rows.size(), 15u);
    EXPECT_EQ(main_window::kSixChoiceOrders[0], (std::array<int, 6>{1, 2, 3, 4, 5, 6}));
    // Row 1: sel1 goes to digit 2, ..., sel6 to digit 1.
    const auto& r1 = main_window::kSixChoiceOrders[1];
    EXPECT_EQ(main_window::fill_choices("1=選択肢1 2=選択肢2 3=選択肢3 4=選択肢4 5=選択肢5 6=選択肢6", {r1.begin(), r1.end()},
                                        {"a", "b", "c", "d", "e", "f"}),
              "1=f 2=a 3=b 4=c 5=d 6=e");
}

TEST(SixChoiceOrders, OneDrawTakenDownPicksTheRow) {
    struct Case {
        float r;
        int row;
    };
    for (const Case& c : {Case{0.0f, 0}, Case{0.0666f, 0}, Case{0.13f, 1}, Case{0.5f, 7}, Case{0.999f, 14}}) {
        fakes::FakeRandom random;
        random.script({c.r});
        EXPECT_EQ(main_window::draw_six_choice_row(random), c.row) << c.r;
        EXPECT_EQ(random.trace, (std::vector<std::string>{"draw"}));
    }
}

TEST(Placeholders, ExactCodePoints) {
    EXPECT_EQ(main_window::choice_placeholder(3), "\u9078\u629E\u80A23");
    EXPECT_EQ(main_window::slot_placeholder(1, 0), "\u554F\u984C\uFF11\uFF0D\uFF10");
    EXPECT_EQ(main_window::slot_placeholder(1, 3), "\u554F\u984C\uFF11\uFF0D\uFF13");
    EXPECT_EQ(main_window::slot_placeholder(3, 2), "\u554F\u984C\uFF13\uFF0D\uFF12");
    EXPECT_EQ(std::string(main_window::kQuestion4Placeholder), "\u554F\u984C\uFF14");
}

TEST(FillChoices, EveryOccurrenceAndInOrderOverTheGrowingText) {
    // Both places of a doubled placeholder; a choice text carrying a later placeholder is
    // rewritten by that later replacement; an earlier one is not revisited.
    EXPECT_EQ(main_window::fill_choices("選択肢1/選択肢2/選択肢1", {1, 2}, {"x選択肢2", "y"}), "xy/y/xy");
    EXPECT_EQ(main_window::fill_choices("選択肢1/選択肢2", {1, 2}, {"p", "q選択肢1"}), "p/q選択肢1");
    // Case and width matter: a full-width digit is not the ASCII placeholder.
    EXPECT_EQ(main_window::fill_choices("選択肢１", {1}, {"z"}), "選択肢１");
}

TEST(Queries, ExactTexts) {
    EXPECT_EQ(main_window::skeleton_query(2), "select * from exam_doc where id =2");
    EXPECT_EQ(main_window::question_query(3, 1), "select * from select_q where q_set=3 and q_g=1");
    EXPECT_EQ(main_window::question_query(4, 4), "select * from select_q where q_set=4 and q_g=4");
}

// ---------------------------------------------------------------------------------------
// Whole builds

// The question database of these tests: three skeletons with one slot placeholder each,
// set-1 fragments "[g<group>:...]" with choices "a<group><n>" and answers "A<group>", set-3
// fragments "[h<group>:...]" with choices "b<group><n>" and answers "B<group>,x".
std::string question_sql() {
    std::string sql =
        "CREATE TABLE exam_doc (id INTEGER, q_doc TEXT);\n"
        "CREATE TABLE select_q (q_set INTEGER, q_g INTEGER, q_id INTEGER, q_doc TEXT, sel1 TEXT, sel2 TEXT,"
        " sel3 TEXT, sel4 TEXT, sel5 TEXT, sel6 TEXT, ans TEXT);\n"
        "INSERT INTO exam_doc VALUES (1, '<p>問題１－０</p><p>問題１－１</p><p>問題１－２</p><p>問題１－３</p>');\n"
        "INSERT INTO exam_doc VALUES (2, '<div>問題３－０|問題３－１|問題３－２|問題３－３</div>');\n"
        "INSERT INTO exam_doc VALUES (3, '<h1>問題４</h1>');\n";
    for (int g = 1; g <= 4; ++g) {
        const std::string G = std::to_string(g);
        sql += "INSERT INTO select_q VALUES (1, " + G + ", 1, '[g" + G + ":選択肢1,選択肢2,選択肢3,選択肢4]'";
        for (int n = 1; n <= 4; ++n) sql += ", 'a" + G + std::to_string(n) + "'";
        sql += ", NULL, NULL, 'A" + G + "');\n";
        sql += "INSERT INTO select_q VALUES (3, " + G + ", 1, '[h" + G + ":選択肢1,選択肢2,選択肢3,選択肢4,選択肢5,選択肢6]'";
        for (int n = 1; n <= 6; ++n) sql += ", 'b" + G + std::to_string(n) + "'";
        sql += ", 'B" + G + ",x');\n";
    }
    sql += "INSERT INTO select_q VALUES (4, 4, 1, 'Q4 body', NULL, NULL, NULL, NULL, NULL, NULL, NULL);\n";
    return sql;
}

// Draws of a whole build (22): page-1 slots, four set-1 choice orders, page-2 slots, four
// set-3 rows. Page 1: groups 1, 2, 3, 4 on slots 1, 2, 0, 3; choice orders identity,
// (2 3 4 1), identity, (4 1 2 3). Page 2: groups 1, 2, 3, 4 on slots 2, 1, 0, 3; rows 0, 1, 14, 7.
const std::vector<float> kWholeBuildDraws = {
    0.9f, 0.3f, 0.5f,                             // page-1 slots
    0.99f, 0.99f, 0.99f, 0.4f, 0.6f, 0.74f,       // set 1, groups 1 and 2
    0.5f, 0.7f, 0.8f, 0.0f, 0.0f, 0.0f,           // set 1, groups 3 and 4
    0.1f, 0.9f, 0.0f,                             // page-2 slots
    0.0f, 0.07f, 0.999f, 0.5f,                    // set 3, groups 1 to 4
};

// The first count draws of a whole build (all of them by default).
void script_whole_build(fakes::FakeRandom& random, size_t count = kWholeBuildDraws.size()) {
    for (size_t i = 0; i < count; ++i) random.script({kWholeBuildDraws[i]});
}

const std::string kPage1 =
    "<p>[g3:a31,a32,a33,a34]</p><p>[g1:a11,a12,a13,a14]</p><p>[g2:a24,a21,a22,a23]</p><p>[g4:a42,a43,a44,a41]</p>";
const std::string kPage2 =
    "<div>[h3:b33,b31,b36,b35,b32,b34]|[h2:b26,b21,b22,b23,b24,b25]|[h1:b11,b12,b13,b14,b15,b16]|"
    "[h4:b44,b41,b45,b42,b46,b43]</div>";
const std::string kPage3 = "<h1>Q4 body</h1>";

class PageBuilder : public ::testing::Test {
protected:
    void SetUp() override {
        common::reset_state();
        data = folder.path();
        common::state().data_path = data;
        common::state().db_password = fakes::kDbPassword;
        log.random = fake.random;
        fake.platform.database = std::make_unique<fakes::TracingEngine>(log);
        fake.platform.files = std::make_unique<fakes::TracingFiles>(*real_files, log);
    }
    void TearDown() override { common::reset_state(); }

    // The fixture database with these statements run after the standard content.
    void make_db(const std::string& extra_sql = "") {
        folder.add("exam.dat", question_sql() + extra_sql);
    }
    void put(const std::string& name, const std::string& bytes) {
        std::ofstream out(data + name, std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good()) << name;
    }
    std::string read(const std::string& name) { return real_files->read_all(data + name); }
    // The folder's entries by name, exam.dat aside; a folder shows with a trailing '/'.
    std::set<std::string> entries() {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(data)) {
            std::string name = e.path().filename().string();
            if (name == "exam.dat") continue;
            out.insert(e.is_directory() ? name + "/" : name);
        }
        return out;
    }

    fakes::FakePlatform fake;
    fakes::DbFolder folder;
    std::unique_ptr<platform::Files> real_files = platform::make_posix_files();
    fakes::BuildTrace log;
    std::string data;
};

TEST_F(PageBuilder, TraceOfAWholeBuild) {
    make_db();
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages());
    log.sync();

    std::vector<std::string> expected = {"open exam.dat", "query select * from exam_doc where id =1",
                                         "query select * from exam_doc where id =2",
                                         "query select * from exam_doc where id =3", "reseed", "draw", "draw", "draw"};
    for (int g = 1; g <= 4; ++g) {
        for (const char* e : {"reseed", "draw", "draw", "draw"}) expected.push_back(e);
        expected.push_back("query select * from select_q where q_set=1 and q_g=" + std::to_string(g));
    }
    expected.push_back("write index.html");
    // The page-2 slot shuffle goes on without a reseed of its own.
    for (const char* e : {"draw", "draw", "draw"}) expected.push_back(e);
    for (int g = 1; g <= 4; ++g) {
        for (const char* e : {"reseed", "draw"}) expected.push_back(e);
        expected.push_back("query select * from select_q where q_set=3 and q_g=" + std::to_string(g));
    }
    expected.push_back("write index2.html");
    expected.push_back("query select * from select_q where q_set=4 and q_g=4");
    expected.push_back("close");
    expected.push_back("write index3.html");
    EXPECT_EQ(log.events, expected);
    EXPECT_EQ(fake.random->left(), 0u);
}

TEST_F(PageBuilder, ExactBytesOfTheThreePagesOverLongerOldOnes) {
    make_db();
    const std::string old(5000, 'o');
    for (const char* name : {"index.html", "index2.html", "index3.html"}) put(name, old);
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages());

    EXPECT_EQ(read("index.html"), kBom + kPage1);
    EXPECT_EQ(read("index2.html"), kBom + kPage2);
    EXPECT_EQ(read("index3.html"), kBom + kPage3);
    EXPECT_EQ(entries(), (std::set<std::string>{"index.html", "index2.html", "index3.html"})) << "no temporary file left";
}

TEST_F(PageBuilder, AnswerKeyCreatedAnewOnlyEightEntriesAndQ4Group) {
    make_db();
    common::state().answer_key.assign(60, "stale");
    common::state().q4_group = 0;
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages());

    std::vector<std::string> expected(51);
    expected[0] = "A3";
    expected[1] = "A1";
    expected[2] = "A2";
    expected[3] = "A4";
    expected[10] = "B3,x";
    expected[11] = "B2,x";
    expected[12] = "B1,x";
    expected[13] = "B4,x";
    EXPECT_EQ(common::state().answer_key, expected);
    EXPECT_EQ(common::state().q4_group, 4);
}

// Where each group's fragment landed on a page: the marker "[g<group>" or "[h<group>" in
// document order gives the slot.
std::array<int, 4> slots_on_page(const std::string& page, char marker) {
    std::vector<std::pair<size_t, int>> found;
    for (int g = 1; g <= 4; ++g) {
        size_t at = page.find(std::string("[") + marker + std::to_string(g));
        EXPECT_NE(at, std::string::npos) << marker << g;
        found.push_back({at, g});
    }
    std::sort(found.begin(), found.end());
    std::array<int, 4> slot_of_group{};
    for (int s = 0; s < 4; ++s) slot_of_group[found[s].second - 1] = s;
    return slot_of_group;
}

TEST_F(PageBuilder, EverySlotArrangementOnBothPagesGroup4OnSlot3) {
    make_db();
    for (int i = 0; i < 6; ++i) {
        const Arrangement& a1 = kArrangements[i];
        const Arrangement& a3 = kArrangements[5 - i];
        fakes::FakeRandom& random = *fake.random;
        random.script({0.2f, kPass1[a1.k1], kPass2[a1.k2]});
        for (int g = 0; g < 4; ++g) random.script({0.99f, 0.99f, 0.99f});
        random.script({0.2f, kPass1[a3.k1], kPass2[a3.k2]});
        random.script({0.0f, 0.0f, 0.0f, 0.0f});
        ASSERT_TRUE(build_question_pages()) << i;
        ASSERT_EQ(random.left(), 0u);

        EXPECT_EQ(slots_on_page(read("index.html"), 'g'), a1.slots) << i;
        EXPECT_EQ(slots_on_page(read("index2.html"), 'h'), a3.slots) << i;
        const auto& key = common::state().answer_key;
        for (int g = 1; g <= 4; ++g) {
            EXPECT_EQ(key[a1.slots[g - 1]], "A" + std::to_string(g)) << i;
            EXPECT_EQ(key[10 + a3.slots[g - 1]], "B" + std::to_string(g) + ",x") << i;
        }
    }
}

TEST_F(PageBuilder, PlaceholderStandingTwiceIsReplacedAtBothPlaces) {
    make_db(
        "UPDATE exam_doc SET q_doc = '<p>問題１－０</p><p>問題１－１</p><p>問題１－２</p><p>問題１－３</p><i>問題１－３</i>' WHERE id = 1;\n"
        "UPDATE exam_doc SET q_doc = '<h1>問題４</h1><h2>問題４</h2>' WHERE id = 3;\n"
        "UPDATE select_q SET q_doc = '[h3:選択肢1,選択肢2,選択肢3,選択肢4,選択肢5,選択肢6,選択肢6]' WHERE q_set = 3 AND q_g = 3;\n");
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages());

    EXPECT_EQ(read("index.html"), kBom + kPage1 + "<i>[g4:a42,a43,a44,a41]</i>");
    // Group 3 of set 3 drew row 14, which puts sel4 into placeholder 6.
    EXPECT_EQ(read("index2.html"),
              kBom + "<div>[h3:b33,b31,b36,b35,b32,b34,b34]|[h2:b26,b21,b22,b23,b24,b25]|[h1:b11,b12,b13,b14,b15,b16]|"
                     "[h4:b44,b41,b45,b42,b46,b43]</div>");
    EXPECT_EQ(read("index3.html"), kBom + "<h1>Q4 body</h1><h2>Q4 body</h2>");
}

TEST_F(PageBuilder, MissingSlotPlaceholderLeavesTheQuestionOutButFillsItsAnswer) {
    // Slot 0 of page 1 (group 3 with the scripted draws) has no placeholder.
    make_db("UPDATE exam_doc SET q_doc = '<p>問題１－１</p><p>問題１－２</p><p>問題１－３</p>' WHERE id = 1;\n");
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages());
    EXPECT_EQ(read("index.html"), kBom + "<p>[g1:a11,a12,a13,a14]</p><p>[g2:a24,a21,a22,a23]</p><p>[g4:a42,a43,a44,a41]</p>");
    EXPECT_EQ(common::state().answer_key[0], "A3");
}

// A failed build reports false, takes back the pages it had written and never creates
// or changes the database file.
struct FailureCase {
    const char* name;
    enum Db { Fixture, Missing, NotADatabase, WrongPassword } db;
    const char* extra_sql;
    // A folder where this page would go, so its write fails.
    const char* blocked_page;
    // Pages written before the failure, each removed again.
    std::vector<std::string> taken_back;
    bool q4_group_set;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class PageBuilderFailure : public PageBuilder, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PageBuilderFailure, ReportsFailureTakesBackItsPagesCreatesNoDatabase) {
    const FailureCase& c = GetParam();
    switch (c.db) {
    case FailureCase::Fixture:
        make_db(c.extra_sql);
        break;
    case FailureCase::Missing:
        break;
    case FailureCase::NotADatabase:
        put("exam.dat", std::string(4096, 'x'));
        break;
    case FailureCase::WrongPassword:
        make_db();
        common::state().db_password = "not-the-password";
        break;
    }
    const bool had_db = std::filesystem::exists(data + "exam.dat");
    const std::string db_before = had_db ? read("exam.dat") : std::string();
    std::set<std::string> expected_after;
    if (c.blocked_page) {
        std::filesystem::create_directory(data + c.blocked_page);
        expected_after.insert(std::string(c.blocked_page) + "/");
    }
    common::state().q4_group = -1;
    script_whole_build(*fake.random);

    EXPECT_FALSE(build_question_pages());
    log.sync();

    EXPECT_EQ(entries(), expected_after);
    EXPECT_EQ(std::filesystem::exists(data + "exam.dat"), had_db) << "the database file is never created";
    if (had_db) {
        EXPECT_EQ(read("exam.dat"), db_before);
    }
    EXPECT_EQ(log.removed(), c.taken_back);
    EXPECT_EQ(common::state().q4_group, c.q4_group_set ? 4 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PageBuilderFailure,
    ::testing::Values(
        FailureCase{"MissingDatabase", FailureCase::Missing, "", nullptr, {}, false},
        FailureCase{"NotADatabase", FailureCase::NotADatabase, "", nullptr, {}, false},
        FailureCase{"WrongPassword", FailureCase::WrongPassword, "", nullptr, {}, false},
        FailureCase{"NoSkeletonRow", FailureCase::Fixture, "DELETE FROM exam_doc WHERE id = 3;", nullptr, {}, false},
        FailureCase{"NullSkeleton", FailureCase::Fixture, "UPDATE exam_doc SET q_doc = NULL WHERE id = 2;", nullptr, {}, false},
        FailureCase{"NullChoiceOfSet1", FailureCase::Fixture,
                    "UPDATE select_q SET sel3 = NULL WHERE q_set = 1 AND q_g = 4;", nullptr, {}, false},
        FailureCase{"NoRowSet3Group2", FailureCase::Fixture, "DELETE FROM select_q WHERE q_set = 3 AND q_g = 2;",
                    nullptr, {"index.html"}, false},
        FailureCase{"NullAnswerOfSet3", FailureCase::Fixture,
                    "UPDATE select_q SET ans = NULL WHERE q_set = 3 AND q_g = 4;", nullptr, {"index.html"}, false},
        FailureCase{"NoSet4Row", FailureCase::Fixture, "DELETE FROM select_q WHERE q_set = 4;", nullptr,
                    {"index.html", "index2.html"}, true},
        FailureCase{"NullSet4Fragment", FailureCase::Fixture, "UPDATE select_q SET q_doc = NULL WHERE q_set = 4;",
                    nullptr, {"index.html", "index2.html"}, true},
        FailureCase{"MissingColumn", FailureCase::Fixture, "CREATE TABLE t AS SELECT q_set, q_g, q_id, q_doc, sel1, sel2, sel3, sel4, sel5, ans FROM select_q;"
                    " DROP TABLE select_q; ALTER TABLE t RENAME TO select_q;", nullptr,
                    {"index.html"}, false},
        FailureCase{"FirstWriteFails", FailureCase::Fixture, "", "index.html", {}, false},
        FailureCase{"LastWriteFails", FailureCase::Fixture, "", "index3.html", {"index.html", "index2.html"}, true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(PageBuilder, FailedBuildKeepsEarlierPagesItDidNotReach) {
    // Only what this build wrote is taken back; a page it never got to is left alone
    // (the caller does not go on to the examination either way).
    make_db("DELETE FROM select_q WHERE q_set = 4;");
    put("index3.html", "earlier run");
    script_whole_build(*fake.random);
    EXPECT_FALSE(build_question_pages());
    EXPECT_EQ(entries(), (std::set<std::string>{"index3.html"}));
    EXPECT_EQ(read("index3.html"), "earlier run");
}

TEST_F(PageBuilder, SecondBuildAfterAFailureSucceeds) {
    make_db("DELETE FROM select_q WHERE q_set = 3 AND q_g = 2;");
    // Everything up to the row draw of set 3, group 2, just before its query.
    script_whole_build(*fake.random, 20);
    EXPECT_FALSE(build_question_pages());
    ASSERT_EQ(fake.random->left(), 0u);
    make_db();
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages());
    EXPECT_EQ(read("index.html"), kBom + kPage1);
}

}  // namespace
