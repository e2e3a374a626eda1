// The database facility on SQLCipher through the sqlite3 API.
#include <sqlite3.h>
#include <sys/stat.h>

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backends.h"
#include "database.h"
#include "error.h"
#include "sqlcipher_key.h"

namespace platform {

namespace {

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

struct ConnectionCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

Statement prepare(sqlite3* db, const char* sql, int size, const char** tail) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, size, &raw, tail);
    Statement statement(raw);
    if (rc != SQLITE_OK) throw Error(std::string("database: ") + sqlite3_errmsg(db));
    return statement;
}

class SqlcipherDatabase final : public Database {
public:
    explicit SqlcipherDatabase(Connection db) : db_(std::move(db)) {}

    std::vector<Row> query(const std::string& sql) override {
        Statement statement = prepare_one(sql);
        std::vector<Row> rows;
        while (std::optional<Row> row = next_row(statement.get())) rows.push_back(std::move(*row));
        return rows;
    }

    std::optional<Row> query_first(const std::string& sql) override {
        Statement statement = prepare_one(sql);
        return next_row(statement.get());
    }

    void execute(const std::string& sql) override { sqlcipher::exec(db_.get(), sql); }

private:
    Statement prepare_one(const std::string& sql) {
        if (sql.size() > INT_MAX || sql.find('\0') != std::string::npos) throw Error("bad SQL text");
        const char* tail = nullptr;
        Statement statement = prepare(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &tail);
        if (!statement) throw Error("database: empty query");
        // A second statement after the first would be silently dropped; refuse it instead.
        const char* end = sql.c_str() + sql.size();
        if (tail && tail < end) {
            const char* rest_tail = nullptr;
            Statement rest = prepare(db_.get(), tail, static_cast<int>(end - tail), &rest_tail);
            if (rest) throw Error("database: a query takes one statement");
        }
        return statement;
    }

    // The statement's next row, nothing once it is done.
    std::optional<Row> next_row(sqlite3_stmt* statement) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE) return std::nullopt;
        if (rc != SQLITE_ROW) throw Error(std::string("database: ") + sqlite3_errmsg(db_.get()));
        Row row;
        const int columns = sqlite3_column_count(statement);
        for (int i = 0; i < columns; ++i) {
            const char* name = sqlite3_column_name(statement, i);
            if (!name) throw Error("database: out of memory");
            // With two columns of one name, the first is the one found by name.
            if (row.has(name)) continue;
            if (sqlite3_column_type(statement, i) == SQLITE_NULL) {
                row.set(name, std::nullopt);
                continue;
            }
            const unsigned char* text = sqlite3_column_text(statement, i);
            const int bytes = sqlite3_column_bytes(statement, i);
            if (!text) throw Error("database: out of memory");
            row.set(name, std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes)));
        }
        return row;
    }

    Connection db_;
};

class SqlcipherEngine final : public DatabaseEngine {
public:
    std::unique_ptr<Database> open(const std::string& path, const std::string& password) override {
        if (path.empty() || path.find('\0') != std::string::npos) throw Error("bad database path");
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) throw Error("database file not found: " + path);
        // An empty file would be taken as an empty database and could become one at a write.
        if (!S_ISREG(info.st_mode) || info.st_size == 0) throw Error("not a database: " + path);

        sqlite3* raw = nullptr;
        // Never SQLITE_OPEN_CREATE: a missing file is an error, not a new database.
        int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        Connection db(raw);
        if (rc != SQLITE_OK)
            throw Error("cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
        sqlcipher::set_key(db.get(), password);
        // SQLCipher decrypts nothing until the first read, so a wrong key or a file that is
        // no database only shows here.
        try {
            sqlcipher::exec(db.get(), "SELECT count(*) FROM sqlite_master;");
        } catch (const Error& e) {
            throw Error("wrong password or not a database: " + path + " (" + e.what() + ")");
        }
        return std::make_unique<SqlcipherDatabase>(std::move(db));
    }
};

}  // namespace

std::unique_ptr<DatabaseEngine> make_sqlcipher_engine() { return std::make_unique<SqlcipherEngine>(); }

}  // namespace platform
