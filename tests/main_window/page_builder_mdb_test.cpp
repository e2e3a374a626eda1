// The builder on the older question database: its own shuffles, draws and queries, then
// whole builds from a small encrypted "exam.mdb" with scripted draws.
#include "main_window/page_builder_mdb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "common/state.h"
#include "main_window/page_builder.h"
#include "platform/backends.h"
#include "platform/error.h"
#include "support/build_trace.h"
#include "support/db_fixture.h"
#include "support/fake_platform.h"
#include "support/fake_random.h"

namespace {

using main_window::build_question_pages_mdb;

const std::string kBom = "\xEF\xBB\xBF";
const float kJustBelowOne = std::nextafter(1.0f, 0.0f);

// ---------------------------------------------------------------------------------------
// Pure parts

TEST(ShuffleAllSlots, HandWorkedExchangesAndEveryPositionTakesPart) {
    struct Case {
        int n;
        std::vector<float> draws;
        std::vector<int> order;
    };
    const Case cases[] = {
        // (1,0) (2,2) (3,1) (4,4) (5,0) (6,3)
        {7, {0.0f, 0.9f, 0.3f, 0.99f, 0.0f, 0.5f}, {6, 4, 3, 7, 5, 2, 1}},
        // (1,1) (2,0) (3,2) (4,1) (5,5) (6,3) (7,0)
        {8, {0.9f, 0.0f, 0.6f, 0.3f, 0.99f, 0.5f, 0.0f}, {8, 5, 4, 7, 2, 6, 1, 3}},
        // Each draw just below j / (j + 1): rounded, every slot would stay; taken down, each
        // pass exchanges with the position before and slot 1 travels to the end.
        {7, {0.49f, 0.66f, 0.74f, 0.79f, 0.83f, 0.857f}, {2, 3, 4, 5, 6, 7, 1}},
    };
    for (const Case& c : cases) {
        fakes::FakeRandom random;
        for (float r : c.draws) random.script({r});
        random.script({0.5f});
        EXPECT_EQ(main_window::shuffle_all_slots(c.n, random), c.order) << c.n;
        EXPECT_EQ(random.left(), 1u) << "n - 1 draws";
        EXPECT_EQ(random.trace, std::vector<std::string>(c.n - 1, "draw")) << "no reseed of its own";
    }
}

TEST(ShuffleAllSlots, FirstAndLastSlotCanLandAnywhere) {
    // Slot 1 goes to position p by the draws that exchange it along; slot n reaches every
    // position p at the last pass.
    for (int n : {7, 8}) {
        std::set<int> first_at, last_at;
        for (int p = 0; p < n; ++p) {
            fakes::FakeRandom a;  // slot n ends at position p: only the last pass exchanges
            for (int j = 1; j < n - 1; ++j) a.script({kJustBelowOne});
            a.script({(p + 0.5f) / n});
            const std::vector<int> order_a = main_window::shuffle_all_slots(n, a);
            for (int i = 0; i < n; ++i)
                if (order_a[i] == n) last_at.insert(i);
            fakes::FakeRandom b;  // slot 1 carried along to position p (k = j - 1), then left there
            for (int j = 1; j < n; ++j) b.script({j <= p ? (j - 0.5f) / (j + 1) : kJustBelowOne});
            const std::vector<int> order_b = main_window::shuffle_all_slots(n, b);
            for (int i = 0; i < n; ++i)
                if (order_b[i] == 1) first_at.insert(i);
        }
        EXPECT_EQ(static_cast<int>(first_at.size()), n);
        EXPECT_EQ(static_cast<int>(last_at.size()), n);
    }
}

TEST(QuestionDraws, EachRowStaysInItsOwnNumberRange) {
    struct Case {
        int row;  // 1 to 7
        int lowest, highest;
    };
    const Case cases[] = {{1, 1, 3}, {2, 1, 3}, {3, 1, 6}, {4, 1, 3}, {5, 4, 6}, {6, 1, 3}, {7, 4, 6}};
    for (const Case& c : cases) {
        const main_window::Set1PlanRow& plan = main_window::kSet1Plan[c.row - 1];
        fakes::FakeRandom random;
        random.script({0.0f, kJustBelowOne});
        EXPECT_EQ(main_window::draw_set1_question(plan, random), c.lowest) << c.row;
        EXPECT_EQ(main_window::draw_set1_question(plan, random), c.highest) << c.row;
    }
    // Rows 4 and 5 share group 4, rows 6 and 7 group 5.
    EXPECT_EQ(main_window::kSet1Plan[3].q_g, 4);
    EXPECT_EQ(main_window::kSet1Plan[4].q_g, 4);
    EXPECT_EQ(main_window::kSet1Plan[5].q_g, 5);
    EXPECT_EQ(main_window::kSet1Plan[6].q_g, 5);

    const int set3_highest[8] = {3, 3, 4, 3, 3, 6, 3, 3};
    for (int g = 1; g <= 8; ++g) {
        fakes::FakeRandom random;
        random.script({0.0f, kJustBelowOne, 0.5f});
        EXPECT_EQ(main_window::draw_set3_question(g, random), 1) << g;
        EXPECT_EQ(main_window::draw_set3_question(g, random), set3_highest[g - 1]) << g;
        EXPECT_EQ(main_window::draw_set3_question(g, random), 1 + set3_highest[g - 1] / 2) << g;
    }
}

TEST(TwoChoiceOrders, RowZeroKeepsRowOneExchanges) {
    struct Case {
        float r;
        const char* filled;
    };
    for (const Case& c : {Case{0.0f, "L:p R:q"}, Case{0.49f, "L:p R:q"}, Case{0.5f, "L:q R:p"},
                          Case{kJustBelowOne, "L:q R:p"}}) {
        fakes::FakeRandom random;
        random.script({c.r});
        const auto& order = main_window::kTwoChoiceOrders[main_window::draw_two_choice_row(random)];
        EXPECT_EQ(main_window::fill_choices("L:選択肢1 R:選択肢2", {order.begin(), order.end()}, {"p", "q"}), c.filled)
            << c.r;
    }
}

TEST(OldQueries, ExactTexts) {
    EXPECT_EQ(main_window::old_set1_query(4, 5), "select * from select_q where q_set=1 and q_g=4 and q_id=5 order by q_id");
    EXPECT_EQ(main_window::old_set3_query(1, 2), "select * from select_q where q_set=3 and q_g=1 and q_id=2");
    EXPECT_EQ(main_window::old_set3_query(8, 3), "select * from select_q where q_set=3 and q_g=8 and q_id=3");
    EXPECT_THROW(main_window::old_set3_query(0, 1), platform::Error);
    EXPECT_THROW(main_window::old_set3_query(9, 1), platform::Error);
}

// ---------------------------------------------------------------------------------------
// Whole builds

// The question numbers each group holds: set 1 by the plan, set 3 by its counts.
const int kSet1Ids[5] = {3, 3, 6, 6, 6};             // groups 1 to 5
const int kSet3Ids[8] = {3, 3, 4, 3, 3, 6, 3, 3};    // groups 1 to 8

// Skeletons with slots 1 to 7 and 1 to 8, and a slot-0 placeholder that no question takes.
// Set-1 fragments "[g<group>.<id>:...]" with choices p and q and answers "A<group>.<id>";
// set-3 fragments "[h<group>.<id>:...]" with choices a to f and answers "B<group>.<id>".
// Records go in with the highest number first, so a query that did not select by number
// would get another record than the drawn one.
std::string question_sql() {
    std::string sql =
        "CREATE TABLE exam_doc (id INTEGER, q_doc TEXT);\n"
        "CREATE TABLE select_q (q_set INTEGER, q_g INTEGER, q_id INTEGER, q_doc TEXT, sel1 TEXT, sel2 TEXT,"
        " sel3 TEXT, sel4 TEXT, sel5 TEXT, sel6 TEXT, ans TEXT);\n"
        "INSERT INTO exam_doc VALUES (1, '<s>問題１－０</s><p>問題１－１</p><p>問題１－２</p><p>問題１－３</p>"
        "<p>問題１－４</p><p>問題１－５</p><p>問題１－６</p><p>問題１－７</p>');\n"
        "INSERT INTO exam_doc VALUES (2, '<div>問題３－０|問題３－１|問題３－２|問題３－３|問題３－４|問題３－５|"
        "問題３－６|問題３－７|問題３－８</div>');\n"
        "INSERT INTO exam_doc VALUES (3, '<h1>問題４</h1>');\n";
    for (int g = 1; g <= 5; ++g)
        for (int id = kSet1Ids[g - 1]; id >= 1; --id) {
            const std::string tag = std::to_string(g) + "." + std::to_string(id);
            sql += "INSERT INTO select_q VALUES (1, " + std::to_string(g) + ", " + std::to_string(id) + ", '[g" + tag +
                   ":選択肢1/選択肢2]', 'p', 'q', NULL, NULL, NULL, NULL, 'A" + tag + "');\n";
        }
    for (int g = 1; g <= 8; ++g)
        for (int id = kSet3Ids[g - 1]; id >= 1; --id) {
            const std::string tag = std::to_string(g) + "." + std::to_string(id);
            sql += "INSERT INTO select_q VALUES (3, " + std::to_string(g) + ", " + std::to_string(id) + ", '[h" + tag +
                   ":選択肢1,選択肢2,選択肢3,選択肢4,選択肢5,選択肢6]', 'a', 'b', 'c', 'd', 'e', 'f', 'B" + tag + "');\n";
        }
    sql += "INSERT INTO select_q VALUES (4, 4, 1, 'Q4 body', NULL, NULL, NULL, NULL, NULL, NULL, NULL);\n";
    return sql;
}

// The 43 draws of a whole build.
//   page-1 slots: rows 1 to 7 on slots 6, 4, 3, 7, 5, 2, 1;
//   rows 1 to 7: questions 1.1, 2.3, 3.4, 4.2, 4.4, 5.3, 5.6; choice orders 0, 1, 0, 1, 0, 1, 0;
//   page-2 slots: groups 1 to 8 on slots 8, 5, 4, 7, 2, 6, 1, 3;
//   groups 1 to 8: questions 1, 2, 4, 2, 3, 6, 1, 3; six-choice rows 0, 1, 14, 7, 0, 0, 0, 0.
const std::vector<float> kWholeBuildDraws = {
    0.0f, 0.9f, 0.3f, 0.99f, 0.0f, 0.5f,                         // page-1 slots
    0.0f, 0.0f,   0.999f, 0.5f,  0.5f, 0.49f, 0.34f, 0.99f,      // rows 1 to 4
    0.0f, 0.0f,   0.7f, 0.6f,    0.9f, 0.2f,                     // rows 5 to 7
    0.9f, 0.0f, 0.6f, 0.3f, 0.99f, 0.5f, 0.0f,                   // page-2 slots
    0.0f, 0.0f,   0.5f, 0.07f,   0.999f, 0.999f, 0.4f, 0.5f,     // groups 1 to 4
    0.9f, 0.0f,   0.999f, 0.0f,  0.0f, 0.0f,     0.67f, 0.0f,    // groups 5 to 8
};

void script_whole_build(fakes::FakeRandom& random) {
    for (float r : kWholeBuildDraws) random.script({r});
}

const std::string kPage1 =
    "<s>問題１－０</s><p>[g5.6:p/q]</p><p>[g5.3:q/p]</p><p>[g3.4:p/q]</p><p>[g2.3:q/p]</p><p>[g4.4:p/q]</p>"
    "<p>[g1.1:p/q]</p><p>[g4.2:q/p]</p>";
const std::string kPage2 =
    "<div>問題３－０|[h7.1:a,b,c,d,e,f]|[h5.3:a,b,c,d,e,f]|[h8.3:a,b,c,d,e,f]|[h3.4:c,a,f,e,b,d]|"
    "[h2.2:f,a,b,c,d,e]|[h6.6:a,b,c,d,e,f]|[h4.2:d,a,e,b,f,c]|[h1.1:a,b,c,d,e,f]</div>";
const std::string kPage3 = "<h1>Q4 body</h1>";

class PageBuilderMdb : public ::testing::Test {
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

    void make_db(const std::string& extra_sql = "") { folder.add("exam.mdb", question_sql() + extra_sql); }
    void put(const std::string& name, const std::string& bytes) {
        std::ofstream out(data + name, std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good()) << name;
    }
    std::string read(const std::string& name) { return real_files->read_all(data + name); }
    // The folder's entries by name, the databases aside; a folder shows with a trailing '/'.
    std::set<std::string> entries() {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(data)) {
            std::string name = e.path().filename().string();
            if (name == "exam.mdb" || name == "exam.dat") continue;
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

TEST_F(PageBuilderMdb, TraceOfAWholeBuild) {
    make_db();
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages_mdb());
    log.sync();

    std::vector<std::string> expected = {"open exam.mdb", "query select * from exam_doc where id =1",
                                         "query select * from exam_doc where id =2",
                                         "query select * from exam_doc where id =3"};
    // The page-1 slot shuffle takes no seed of its own.
    for (int j = 0; j < 6; ++j) expected.push_back("draw");
    const int set1[7][2] = {{1, 1}, {2, 3}, {3, 4}, {4, 2}, {4, 4}, {5, 3}, {5, 6}};
    for (const auto& q : set1) {
        for (const char* e : {"reseed", "draw", "reseed", "draw"}) expected.push_back(e);
        expected.push_back("query select * from select_q where q_set=1 and q_g=" + std::to_string(q[0]) +
                           " and q_id=" + std::to_string(q[1]) + " order by q_id");
    }
    expected.push_back("write index.html");
    for (int j = 0; j < 7; ++j) expected.push_back("draw");
    const int set3_ids[8] = {1, 2, 4, 2, 3, 6, 1, 3};
    for (int g = 1; g <= 8; ++g) {
        for (const char* e : {"reseed", "draw", "reseed", "draw"}) expected.push_back(e);
        expected.push_back("query select * from select_q where q_set=3 and q_g=" + std::to_string(g) +
                           " and q_id=" + std::to_string(set3_ids[g - 1]));
    }
    expected.push_back("write index2.html");
    expected.push_back("query select * from select_q where q_set=4 and q_g=4");
    expected.push_back("close");
    expected.push_back("write index3.html");
    EXPECT_EQ(log.events, expected);
    EXPECT_EQ(fake.random->left(), 0u);
}

TEST_F(PageBuilderMdb, ExactBytesOfTheThreePagesOverLongerOldOnes) {
    make_db();
    for (const char* name : {"index.html", "index2.html", "index3.html"}) put(name, std::string(5000, 'o'));
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages_mdb());

    EXPECT_EQ(read("index.html"), kBom + kPage1);
    EXPECT_EQ(read("index2.html"), kBom + kPage2);
    EXPECT_EQ(read("index3.html"), kBom + kPage3);
    EXPECT_EQ(entries(), (std::set<std::string>{"index.html", "index2.html", "index3.html"})) << "no temporary file left";
}

TEST_F(PageBuilderMdb, AnswerKeyCreatedAnewEntriesOneToFifteenAndQ4Group) {
    make_db();
    common::state().answer_key.assign(60, "stale");
    common::state().q4_group = 0;
    script_whole_build(*fake.random);
    ASSERT_TRUE(build_question_pages_mdb());

    std::vector<std::string> expected(51);
    const char* page1[8] = {"", "A5.6", "A5.3", "A3.4", "A2.3", "A4.4", "A1.1", "A4.2"};
    for (int s = 1; s <= 7; ++s) expected[s] = page1[s];
    const char* page2[9] = {"", "B7.1", "B5.3", "B8.3", "B3.4", "B2.2", "B6.6", "B4.2", "B1.1"};
    for (int s = 1; s <= 8; ++s) expected[7 + s] = page2[s];
    EXPECT_EQ(common::state().answer_key, expected);
    EXPECT_EQ(common::state().q4_group, 4);
}

TEST_F(PageBuilderMdb, EveryQuestionNumberOfEveryGroupIsPickedAsDrawn) {
    // Six builds; in build k each page-1 row draws its k-th number (modulo its count) and
    // each set-3 group likewise. Slots stay in place, so row i is on slot i and group g on
    // slot g, and every choice order stays as it is.
    make_db();
    for (int k = 0; k < 6; ++k) {
        fakes::FakeRandom& random = *fake.random;
        for (int j = 1; j < 7; ++j) random.script({kJustBelowOne});
        std::vector<int> set1_ids;
        for (const main_window::Set1PlanRow& plan : main_window::kSet1Plan) {
            const int step = k % plan.count;
            set1_ids.push_back(plan.first + step);
            random.script({(step + 0.5f) / plan.count, 0.0f});
        }
        for (int j = 1; j < 8; ++j) random.script({kJustBelowOne});
        std::vector<int> set3_ids;
        for (int g = 1; g <= 8; ++g) {
            const int step = k % kSet3Ids[g - 1];
            set3_ids.push_back(1 + step);
            random.script({(step + 0.5f) / kSet3Ids[g - 1], 0.0f});
        }
        ASSERT_TRUE(build_question_pages_mdb()) << k;
        ASSERT_EQ(random.left(), 0u);

        std::string page1 = "<s>問題１－０</s>";
        const auto& key = common::state().answer_key;
        for (int i = 1; i <= 7; ++i) {
            const std::string tag = std::to_string(main_window::kSet1Plan[i - 1].q_g) + "." + std::to_string(set1_ids[i - 1]);
            page1 += "<p>[g" + tag + ":p/q]</p>";
            EXPECT_EQ(key[i], "A" + tag) << k;
        }
        EXPECT_EQ(read("index.html"), kBom + page1) << k;
        std::string page2 = "<div>問題３－０";
        for (int g = 1; g <= 8; ++g) {
            const std::string tag = std::to_string(g) + "." + std::to_string(set3_ids[g - 1]);
            page2 += "|[h" + tag + ":a,b,c,d,e,f]";
            EXPECT_EQ(key[7 + g], "B" + tag) << k;
        }
        EXPECT_EQ(read("index2.html"), kBom + page2 + "</div>") << k;
        // Rows 4 and 5 (group 4) and rows 6 and 7 (group 5) never share a record.
        EXPECT_NE(key[4], key[5]);
        EXPECT_NE(key[6], key[7]);
    }
}

TEST_F(PageBuilderMdb, DoesNotFallBackToTheOtherQuestionDatabase) {
    // Only exam.dat is there: the build fails at the open and creates no exam.mdb.
    folder.add("exam.dat", question_sql());
    script_whole_build(*fake.random);
    EXPECT_FALSE(build_question_pages_mdb());
    log.sync();
    EXPECT_EQ(log.events, (std::vector<std::string>{"open exam.mdb"}));
    EXPECT_FALSE(std::filesystem::exists(data + "exam.mdb"));
    EXPECT_EQ(entries(), std::set<std::string>{});
}

// A failed build reports false, takes back the pages it had written and never creates
// or changes the database file.
struct FailureCase {
    const char* name;
    enum Db { Fixture, Missing, NotADatabase, WrongPassword } db;
    const char* extra_sql;
    const char* blocked_page;  // a folder where this page would go, so its write fails
    std::vector<std::string> taken_back;
    bool q4_group_set;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class PageBuilderMdbFailure : public PageBuilderMdb, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PageBuilderMdbFailure, ReportsFailureTakesBackItsPagesCreatesNoDatabase) {
    const FailureCase& c = GetParam();
    switch (c.db) {
    case FailureCase::Fixture:
        make_db(c.extra_sql);
        break;
    case FailureCase::Missing:
        break;
    case FailureCase::NotADatabase:
        put("exam.mdb", std::string(4096, 'x'));
        break;
    case FailureCase::WrongPassword:
        make_db();
        common::state().db_password = "not-the-password";
        break;
    }
    const bool had_db = std::filesystem::exists(data + "exam.mdb");
    const std::string db_before = had_db ? read("exam.mdb") : std::string();
    std::set<std::string> expected_after;
    if (c.blocked_page) {
        std::filesystem::create_directory(data + c.blocked_page);
        expected_after.insert(std::string(c.blocked_page) + "/");
    }
    common::state().q4_group = -1;
    script_whole_build(*fake.random);

    EXPECT_FALSE(build_question_pages_mdb());

    EXPECT_EQ(entries(), expected_after);
    EXPECT_EQ(std::filesystem::exists(data + "exam.mdb"), had_db) << "the database file is never created";
    if (had_db) {
        EXPECT_EQ(read("exam.mdb"), db_before);
    }
    EXPECT_EQ(log.removed(), c.taken_back);
    EXPECT_EQ(common::state().q4_group, c.q4_group_set ? 4 : -1);
}

// With the whole-build draws: row 3 draws question 3.4, row 7 question 5.6, set-3 group 6
// question 6, group 8 question 3.
INSTANTIATE_TEST_SUITE_P(
    Table, PageBuilderMdbFailure,
    ::testing::Values(
        FailureCase{"MissingDatabase", FailureCase::Missing, "", nullptr, {}, false},
        FailureCase{"NotADatabase", FailureCase::NotADatabase, "", nullptr, {}, false},
        FailureCase{"WrongPassword", FailureCase::WrongPassword, "", nullptr, {}, false},
        FailureCase{"NoSkeletonRow", FailureCase::Fixture, "DELETE FROM exam_doc WHERE id = 2;", nullptr, {}, false},
        FailureCase{"DrawnSet1NumberWithoutRecord", FailureCase::Fixture,
                    "DELETE FROM select_q WHERE q_set = 1 AND q_g = 3 AND q_id = 4;", nullptr, {}, false},
        FailureCase{"NullSecondChoiceOfSet1", FailureCase::Fixture,
                    "UPDATE select_q SET sel2 = NULL WHERE q_set = 1 AND q_g = 5 AND q_id = 6;", nullptr, {}, false},
        FailureCase{"DrawnSet3NumberWithoutRecord", FailureCase::Fixture,
                    "DELETE FROM select_q WHERE q_set = 3 AND q_g = 6 AND q_id = 6;", nullptr, {"index.html"}, false},
        FailureCase{"NullSixthChoiceOfSet3", FailureCase::Fixture,
                    "UPDATE select_q SET sel6 = NULL WHERE q_set = 3 AND q_g = 8 AND q_id = 3;", nullptr,
                    {"index.html"}, false},
        FailureCase{"NoSet4Row", FailureCase::Fixture, "DELETE FROM select_q WHERE q_set = 4;", nullptr,
                    {"index.html", "index2.html"}, true},
        FailureCase{"FirstWriteFails", FailureCase::Fixture, "", "index.html", {}, false},
        FailureCase{"SecondWriteFails", FailureCase::Fixture, "", "index2.html", {"index.html"}, false},
        FailureCase{"LastWriteFails", FailureCase::Fixture, "", "index3.html", {"index.html", "index2.html"}, true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(PageBuilderMdb, FailedBuildLeavesPagesItNeverReachedAlone) {
    make_db("DELETE FROM select_q WHERE q_set = 3 AND q_g = 6 AND q_id = 6;");
    put("index2.html", "earlier run");
    put("index3.html", "earlier run");
    script_whole_build(*fake.random);
    EXPECT_FALSE(build_question_pages_mdb());
    EXPECT_EQ(entries(), (std::set<std::string>{"index2.html", "index3.html"}));
    EXPECT_EQ(read("index2.html"), "earlier run");
}

}  // namespace
