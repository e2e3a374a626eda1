// The databases: one open of the page database, and the question-page build on the
// shipped questions and on 10 and 100 times as many rows. The floor of each is bare
// SQLCipher doing the same on the same file (the same key settings, the same first read,
// the same twelve queries, each column of the first row read), with nothing of ours; the
// build's floor also writes the three pages it wrote, as bare system calls (a temporary
// file, flushed to disk, renamed over the page), since no build can skip that.
#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.h"
#include "common/startup.h"
#include "common/state.h"
#include "main_window/page_builder.h"
#include "platform/backends.h"
#include "platform/database.h"
#include "platform/sqlcipher_key.h"
#include "support/fake_platform.h"

namespace {

namespace fs = std::filesystem;

// Goals: the ratio each figure is held to beside its floor.
constexpr double kGoalOpen = 1.10;   // the open is the engine's: nothing of ours beside it
constexpr double kGoalBuild = 1.50;  // the drawing of the questions and the filling of the pages

double ms_of(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Median of each side, the two measured in turns.
std::pair<double, double> interleaved(int rounds, const std::function<void()>& value,
                                      const std::function<void()>& floor) {
    std::vector<double> a, b;
    value();  // warm the file cache and the code alike
    floor();
    for (int i = 0; i < rounds; ++i) {
        a.push_back(ms_of(value));
        b.push_back(ms_of(floor));
    }
    return {bench::median(a), bench::median(b)};
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw std::runtime_error(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

// Open, key and the first read that tells a wrong key, on the bare engine.
sqlite3* bare_open(const std::string& path) {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
    const std::string key = std::string("PRAGMA key = '") + common::kDbPassword + "'; PRAGMA kdf_iter = " +
                            std::to_string(platform::sqlcipher::kKdfIterations) + ";";
    check(sqlite3_exec(db, key.c_str(), nullptr, nullptr, nullptr), db, "key");
    check(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr), db, "first read");
    return db;
}

// The builder's twelve queries, in its order.
std::vector<std::string> builder_queries() {
    std::vector<std::string> q;
    for (int id = 1; id <= 3; ++id) q.push_back(main_window::skeleton_query(id));
    for (int g = 1; g <= 4; ++g) q.push_back(main_window::question_query(1, g));
    for (int g = 1; g <= 4; ++g) q.push_back(main_window::question_query(3, g));
    q.push_back(main_window::question_query(4, 4));
    return q;
}

void bare_queries(const std::string& path, const std::vector<std::string>& queries) {
    sqlite3* db = bare_open(path);
    size_t bytes = 0;
    for (const std::string& sql : queries) {
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), db, "prepare");
        if (sqlite3_step(st) != SQLITE_ROW) throw std::runtime_error("no row for " + sql);
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const unsigned char* text = sqlite3_column_text(st, i);
            if (text) bytes += std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(st, i)).size();
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    if (bytes == 0) throw std::runtime_error("the queries read nothing");
}

// A whole file replaced as the program must: written beside it, on disk, then renamed.
void bare_replace(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot create a file beside " + path);
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                    ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot write " + path);
    }
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The shipped questions with every row of select_q repeated times times, the copies of a
// group next to each other (q_id 1, 2, ...) as a larger question bank would hold them.
std::string grown_questions_sql(int times) {
    std::string sql = read_text(LEDGRIN_BENCH_SOURCE_DIR "/data/exam.sql");
    if (times <= 1) return sql;
    sql += "\nCREATE TEMP TABLE one AS SELECT * FROM select_q;\nDELETE FROM select_q;\n"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(times) +
           ")\nINSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans, q_id)\n"
           "  SELECT q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans, q_id + i - 1 FROM one, n\n"
           "  ORDER BY q_set, q_g, i;\nDROP TABLE one;\n";
    return sql;
}

}  // namespace

int main() {
    fakes::FakePlatform fp;
    fp.platform.database = platform::make_sqlcipher_engine();
    fp.platform.random = platform::make_std_random(*fp.clock);
    const std::string data = fp.system->program_folder() + "data/";
    common::reset_state();
    common::state().data_path = data;
    common::state().db_password = common::kDbPassword;
    const std::string built = LEDGRIN_BENCH_DATA "/";
    fs::copy_file(built + "qfile.dat", data + "qfile.dat");

    int status = 0;
    try {
        auto& engine = *fp.platform.database;
        bench::progress("database open, 50 rounds");
        const auto [open_ms, open_floor] = interleaved(
            50, [&] { engine.open(data + "qfile.dat", common::kDbPassword); },
            [&] { sqlite3_close(bare_open(data + "qfile.dat")); });
        bench::report("one database open (qfile.dat)", open_ms, open_floor, "ms", kGoalOpen);

        const std::vector<std::string> queries = builder_queries();
        for (int times : {1, 10, 100}) {
            bench::progress("page build at " + std::to_string(times) + " x the rows, 30 rounds");
            if (times == 1)
                fs::copy_file(built + "exam.dat", data + "exam.dat", fs::copy_options::overwrite_existing);
            else
                platform::create_encrypted_database(data + "exam.dat", common::kDbPassword, grown_questions_sql(times));
            auto build = [&] {
                if (!main_window::build_question_pages()) throw std::runtime_error("the page build failed");
            };
            build();
            std::vector<std::pair<std::string, std::string>> pages;
            for (const char* page : {"index.html", "index2.html", "index3.html"})
                pages.emplace_back(data + page, read_text(data + page));
            const auto [build_ms, build_floor] = interleaved(30, build, [&] {
                bare_queries(data + "exam.dat", queries);
                for (const auto& [path, bytes] : pages) bare_replace(path, bytes);
            });
            const std::string figure = times == 1 ? "build_question_pages, shipped questions"
                                                  : "build_question_pages, " + std::to_string(times) + " x the rows";
            bench::report(figure, build_ms, build_floor, "ms", kGoalBuild);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "database_bench: %s\n", e.what());
        status = 1;
    }
    return status;
}
