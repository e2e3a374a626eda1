#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "platform/database.h"
#include "platform/error.h"
#include "support/build_paths.h"
#include "support/db_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A database file without any key, as a plain SQLite program would write it.
void write_plain_sqlite(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE gamen (id INTEGER, gamen TEXT); INSERT INTO gamen VALUES (1, 'x');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

std::vector<std::string> folder_entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
}

// The message with the file's path taken out, so that failures of two files compare.
std::string common_path_free(std::string message, const std::string& path) {
    for (size_t at; (at = message.find(path)) != std::string::npos;) message.replace(at, path.size(), "<file>");
    return message;
}

const char* kSmallSql =
    "CREATE TABLE t (id INTEGER, Name TEXT, note TEXT);"
    "INSERT INTO t VALUES (7, '簿記', NULL);"
    "INSERT INTO t VALUES (8, '', '');";

class SqlcipherOpen : public ::testing::Test {
protected:
    fakes::DbFolder folder;
    std::unique_ptr<platform::DatabaseEngine> engine = platform::make_sqlcipher_engine();
};

TEST_F(SqlcipherOpen, RefusesWhatIsNoDatabaseOfOursAndCreatesNothing) {
    const std::string dir = folder.path();
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;  // builds the file (or nothing)
        const char* password;
    };
    const std::vector<Case> cases = {
        {"missing.dat", [](const std::string&) {}, fakes::kDbPassword},
        {"empty.dat", [](const std::string& p) { write_bytes(p, ""); }, fakes::kDbPassword},
        {"text.dat", [](const std::string& p) { write_bytes(p, "これはデータベースではありません。\r\n"); },
         fakes::kDbPassword},
        {"plain.dat", [](const std::string& p) { write_plain_sqlite(p); }, fakes::kDbPassword},
        {"wrongpw.dat",
         [&](const std::string&) { folder.add("wrongpw.dat", kSmallSql, "another-password"); },
         fakes::kDbPassword},
        {"rightpw_wrong_case.dat", [&](const std::string&) { folder.add("rightpw_wrong_case.dat", kSmallSql); },
         "vtrqmdla_--_kpwe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + c.name;
        c.make(path);
        const bool existed = fs::exists(path);
        const std::string before = existed ? read_bytes(path) : "";
        const auto entries_before = folder_entries(dir);

        EXPECT_THROW(engine->open(path, c.password), platform::Error);

        EXPECT_EQ(fs::exists(path), existed);
        if (existed) {
            EXPECT_EQ(read_bytes(path), before);
        }
        EXPECT_EQ(folder_entries(dir).size(), entries_before.size());  // no journal or other file left
    }
}

TEST_F(SqlcipherOpen, RefusesAFolderAndAnEmptyPath) {
    EXPECT_THROW(engine->open(folder.path(), fakes::kDbPassword), platform::Error);
    EXPECT_THROW(engine->open("", fakes::kDbPassword), platform::Error);
}

TEST_F(SqlcipherOpen, RowsHoldEveryColumnByNameWithoutRegardToCase) {
    auto db = engine->open(folder.add("t.dat", kSmallSql), fakes::kDbPassword);
    auto rows = db->query("select * from t order by id");
    ASSERT_EQ(rows.size(), 2u);

    EXPECT_EQ(rows[0].field("ID"), std::optional<std::string>("7"));  // numbers come as their text
    EXPECT_EQ(rows[0].field("name"), std::optional<std::string>("簿記"));
    EXPECT_EQ(rows[0].field("NAME"), std::optional<std::string>("簿記"));
    EXPECT_TRUE(rows[0].has("Note"));
    EXPECT_THROW(rows[0].field("q_doc"), platform::Error);

    // NULL and the empty text stay apart.
    EXPECT_EQ(rows[0].field("note"), std::nullopt);
    EXPECT_EQ(rows[1].field("note"), std::optional<std::string>(""));
    EXPECT_EQ(rows[1].field("name"), std::optional<std::string>(""));
}

TEST_F(SqlcipherOpen, ColumnNamesAreTheOnesTheStatementGives) {
    auto db = engine->open(folder.add("t.dat", kSmallSql), fakes::kDbPassword);
    auto rows = db->query("SELECT id AS Kingaku, Name || '!' AS Tekiyo, note FROM t WHERE id = 7");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].field("kingaku"), std::optional<std::string>("7"));
    EXPECT_EQ(rows[0].field("TEKIYO"), std::optional<std::string>("簿記!"));
    EXPECT_FALSE(rows[0].has("id"));
}

TEST_F(SqlcipherOpen, QueryWithoutRowsAndFailingQueries) {
    auto db = engine->open(folder.add("t.dat", kSmallSql), fakes::kDbPassword);
    EXPECT_TRUE(db->query("select * from t where id = 99").empty());
    EXPECT_THROW(db->query("select * from gamen"), platform::Error);
    EXPECT_THROW(db->query("selec * from t"), platform::Error);
    EXPECT_THROW(db->query(""), platform::Error);
    // A second statement would silently not run: refused.
    EXPECT_THROW(db->query("select * from t; delete from t"), platform::Error);
    EXPECT_EQ(db->query("select * from t").size(), 2u);
    // A trailing semicolon or comment is no second statement.
    EXPECT_EQ(db->query("select * from t; -- all\n").size(), 2u);
}

TEST_F(SqlcipherOpen, QueryFirstStepsOnceAndFailsAsQueryDoes) {
    auto db = engine->open(folder.add("t.dat", kSmallSql), fakes::kDbPassword);
    const auto first = db->query_first("select * from t order by id desc");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->field("id"), std::optional<std::string>("8"));
    EXPECT_EQ(first->field("note"), std::optional<std::string>(""));
    EXPECT_EQ(db->query_first("select * from t where id = 99"), std::nullopt);

    // The second row (in the order of the table) fails when it is computed; only a read of
    // all rows gets that far.
    const std::string second_fails =
        "select case when id = 8 then abs(-9223372036854775800 - id) else id end as v from t";
    EXPECT_THROW(db->query(second_fails), platform::Error);
    EXPECT_EQ(db->query_first(second_fails)->field("v"), std::optional<std::string>("7"));

    for (const char* bad : {"select * from gamen", "selec * from t", "", "select * from t; delete from t"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(db->query_first(bad), platform::Error);
    }
    EXPECT_EQ(db->query("select * from t").size(), 2u);
}

// A file keyed with the engine's own derivation settings, as the tool built them before.
void write_with_default_key_settings(const std::string& path, const std::string& password) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
    const std::string sql = "PRAGMA key = '" + password + "';" + kSmallSql;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

std::string open_failure(platform::DatabaseEngine& engine, const std::string& path) {
    try {
        engine.open(path, fakes::kDbPassword);
    } catch (const platform::Error& e) {
        return common_path_free(e.what(), path);
    }
    return "opened";
}

TEST_F(SqlcipherOpen, AFileKeyedTheOldWayFailsLikeAWrongPassword) {
    const std::string old_way = folder.path() + "old.dat";
    write_with_default_key_settings(old_way, fakes::kDbPassword);
    const std::string wrong = folder.add("wrong.dat", kSmallSql, "another-password");
    const std::string failure = open_failure(*engine, old_way);
    EXPECT_NE(failure, "opened");
    EXPECT_EQ(failure, open_failure(*engine, wrong));
}

TEST_F(SqlcipherOpen, ExecuteWritesThroughTheKeySoALaterOpenReadsIt) {
    const std::string path = folder.add("t.dat", kSmallSql);
    {
        auto db = engine->open(path, fakes::kDbPassword);
        db->execute("INSERT INTO t VALUES (9, 'O''Brien', 'x'); UPDATE t SET note = NULL WHERE id = 8;");
        EXPECT_THROW(db->execute("INSERT INTO nowhere VALUES (1)"), platform::Error);
    }
    auto db = engine->open(path, fakes::kDbPassword);
    auto rows = db->query("select * from t order by id");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].field("note"), std::nullopt);
    EXPECT_EQ(rows[2].field("name"), std::optional<std::string>("O'Brien"));
}

TEST(EncryptedDatabaseBuilder, FileIsEncryptedAndReplacesAnOlderOne) {
    fakes::DbFolder folder;
    const std::string path = folder.path() + "q.dat";
    write_bytes(path, std::string(100000, 'x'));
    folder.add("q.dat", "CREATE TABLE gamen (id INTEGER, gamen TEXT); INSERT INTO gamen VALUES (1, 'PLAINWORD');");

    const std::string bytes = read_bytes(path);
    EXPECT_LT(bytes.size(), 100000u);
    EXPECT_EQ(bytes.find("SQLite format 3"), std::string::npos);
    EXPECT_EQ(bytes.find("PLAINWORD"), std::string::npos);
    EXPECT_EQ(bytes.find("gamen"), std::string::npos);

    auto db = platform::make_sqlcipher_engine()->open(path, fakes::kDbPassword);
    auto rows = db->query("select * from gamen");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].field("gamen"), std::optional<std::string>("PLAINWORD"));
}

TEST(EncryptedDatabaseBuilder, FailingSqlOrEmptyPasswordLeavesNoFile) {
    fakes::DbFolder folder;
    const std::string path = folder.path() + "bad.dat";
    write_bytes(path, "old");
    EXPECT_THROW(folder.add("bad.dat", "CREATE TABLE a (x); INSERT INTO b VALUES (1);"), platform::Error);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_THROW(folder.add("bad.dat", "CREATE TABLE a (x);", ""), platform::Error);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(folder_entries(folder.path()).empty());
}

TEST(MakeDbTool, BuildsAnOpenableFileAndFailsWithoutOne) {
    const std::string tool = fakes::built_make_db();
    ASSERT_TRUE(fs::exists(tool));
    fakes::DbFolder folder;
    const std::string sql = folder.path() + "in.sql";
    const std::string out = folder.path() + "out.dat";
    write_bytes(sql, fakes::gamen_sql({"<p>一</p>", std::nullopt}));

    EXPECT_EQ(std::system(("'" + tool + "' '" + out + "' '" + sql + "' VtRqmdla_--_KpWe").c_str()), 0);
    auto rows = platform::make_sqlcipher_engine()->open(out, fakes::kDbPassword)->query(
        "select * from gamen order by id asc");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].field("gamen"), std::optional<std::string>("<p>一</p>"));
    EXPECT_EQ(rows[1].field("gamen"), std::nullopt);

    const std::string missing_out = folder.path() + "none.dat";
    EXPECT_NE(std::system(("'" + tool + "' '" + missing_out + "' '" + folder.path() + "nosuch.sql' pw 2>/dev/null").c_str()),
              0);
    EXPECT_NE(std::system(("'" + tool + "' '" + missing_out + "' 2>/dev/null").c_str()), 0);
    EXPECT_FALSE(fs::exists(missing_out));
}

// The files the build ships.
class ShippedDatabases : public ::testing::Test {
protected:
    std::unique_ptr<platform::DatabaseEngine> engine = platform::make_sqlcipher_engine();
    std::string folder = fakes::shipped_data_folder();
};

TEST_F(ShippedDatabases, PageDatabaseOpensWithTheProgramPasswordAndHoldsSixPages) {
    auto db = engine->open(folder + "qfile.dat", fakes::kDbPassword);
    auto rows = db->query("select * from gamen order by id asc");
    ASSERT_EQ(rows.size(), 6u);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].field("id"), std::optional<std::string>(std::to_string(i + 1)));
        ASSERT_TRUE(rows[i].field("gamen").has_value());
        EXPECT_NE(rows[i].field("gamen")->find("</html>"), std::string::npos);
    }
    EXPECT_THROW(engine->open(folder + "qfile.dat", "VtRqmdla_--_KpWf"), platform::Error);
}

TEST_F(ShippedDatabases, QuestionDatabaseAnswersEveryQueryOfTheBuilder) {
    auto db = engine->open(folder + "exam.dat", fakes::kDbPassword);
    struct Query {
        std::string sql;
        std::vector<std::string> fields;
    };
    const std::vector<std::string> set1 = {"q_doc", "sel1", "sel2", "sel3", "sel4", "ans"};
    const std::vector<std::string> set3 = {"q_doc", "sel1", "sel2", "sel3", "sel4", "sel5", "sel6", "ans"};
    std::vector<Query> queries;
    for (int id = 1; id <= 3; ++id) queries.push_back({"select * from exam_doc where id =" + std::to_string(id), {"q_doc"}});
    for (int g = 1; g <= 4; ++g) queries.push_back({"select * from select_q where q_set=1 and q_g=" + std::to_string(g), set1});
    for (int g = 1; g <= 4; ++g) queries.push_back({"select * from select_q where q_set=3 and q_g=" + std::to_string(g), set3});
    queries.push_back({"select * from select_q where q_set=4 and q_g=4", {"q_doc"}});
    ASSERT_EQ(queries.size(), 12u);

    for (const auto& q : queries) {
        SCOPED_TRACE(q.sql);
        // Each lookup goes through a key or an index, whatever the number of questions.
        for (const auto& step : db->query("EXPLAIN QUERY PLAN " + q.sql)) {
            const std::string detail = step.field("detail").value_or("");
            EXPECT_EQ(detail.rfind("SCAN", 0), std::string::npos) << detail;
        }
        auto rows = db->query(q.sql);
        ASSERT_FALSE(rows.empty());
        for (const auto& f : q.fields) {
            ASSERT_TRUE(rows[0].has(f)) << f;
            EXPECT_TRUE(rows[0].field(f).has_value()) << f;
            EXPECT_FALSE(rows[0].field(f)->empty()) << f;
        }
    }
}

}  // namespace
