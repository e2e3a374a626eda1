#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

#include "database.h"
#include "error.h"
#include "sqlcipher_key.h"

namespace platform {

namespace sqlcipher {

namespace {
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}
}  // namespace

void set_key(sqlite3* db, const std::string& password) {
    // An empty key would leave the file unencrypted (or accept a plain file on open).
    if (password.empty()) throw Error("database password is empty");
    if (password.find('\0') != std::string::npos) throw Error("database password holds a NUL");
    exec(db, "PRAGMA key = " + quoted(password) + "; PRAGMA kdf_iter = " + std::to_string(kKdfIterations) + ";");
}

void exec(sqlite3* db, const std::string& sql) {
    if (sql.find('\0') != std::string::npos) throw Error("SQL text holds a NUL");
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw Error("database: " + text);
    }
}

}  // namespace sqlcipher

namespace {
void remove_if_there(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw Error("cannot remove " + path + ": " + std::strerror(errno));
}

void remove_database_files(const std::string& path) {
    remove_if_there(path);
    remove_if_there(path + "-journal");
    remove_if_there(path + "-wal");
    remove_if_there(path + "-shm");
}
}  // namespace

void create_encrypted_database(const std::string& path, const std::string& password, const std::string& sql) {
    if (path.empty() || path.find('\0') != std::string::npos) throw Error("bad database path");
    remove_database_files(path);

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw Error("cannot create " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlcipher::set_key(db, password);
        sqlcipher::exec(db, sql);
        rc = sqlite3_close(db);
        db = nullptr;
        if (rc != SQLITE_OK) throw Error("cannot finish " + path + ": " + sqlite3_errstr(rc));
    } catch (...) {
        if (db) sqlite3_close_v2(db);
        // A half-built file must not pass for a database.
        try {
            remove_database_files(path);
        } catch (const Error&) {
        }
        throw;
    }
}

}  // namespace platform
