#include "support/db_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/database.h"
#include "support/build_paths.h"

namespace fakes {

DbFolder::DbFolder() {
    std::string base = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp && tmp[0] == '/') base = tmp;
    std::string pattern = base + "/ledgrin-db-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder in " + base);
    path_ = pattern + "/";
}

DbFolder::~DbFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string DbFolder::add(const std::string& file_name, const std::string& sql, const std::string& password) const {
    const std::string file = path_ + file_name;
    platform::create_encrypted_database(file, password, sql);
    return file;
}

std::string shipped_sql(const std::string& name) {
    const std::string path = source_dir() + "/data/" + name + ".sql";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string shipped_data_folder() { return built_data_dir() + "/"; }

std::string sql_literal(const std::optional<std::string>& value) {
    if (!value) return "NULL";
    std::string out = "'";
    for (char c : *value) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

std::string gamen_sql(const std::vector<std::optional<std::string>>& pages) {
    std::string sql = "CREATE TABLE gamen (id INTEGER PRIMARY KEY, gamen TEXT);\n";
    for (size_t i = 0; i < pages.size(); ++i)
        sql += "INSERT INTO gamen (id, gamen) VALUES (" + std::to_string(i + 1) + ", " + sql_literal(pages[i]) + ");\n";
    return sql;
}

}  // namespace fakes
