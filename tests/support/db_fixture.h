#pragma once
// Builds encrypted database files for tests through the code that make-db uses, so what a
// test opens is what the program would open. Each test passes its own SQL.
#include <optional>
#include <string>
#include <vector>

namespace fakes {

// The program's database password.
inline constexpr const char* kDbPassword = "VtRqmdla_--_KpWe";

// A fresh temporary folder, removed with everything in it when the object goes.
class DbFolder {
public:
    DbFolder();
    ~DbFolder();
    DbFolder(const DbFolder&) = delete;
    DbFolder& operator=(const DbFolder&) = delete;

    // The folder, ending in '/'.
    const std::string& path() const { return path_; }

    // Builds file_name in the folder from sql (replacing an older one) and returns its full path.
    std::string add(const std::string& file_name, const std::string& sql,
                    const std::string& password = kDbPassword) const;

private:
    std::string path_;
};

// The text of a shipped SQL source, data/<name>.sql, e.g. to append a test's own changes to it.
std::string shipped_sql(const std::string& name);

// The folder holding the built qfile.dat, exam.dat and images, ending in '/'.
std::string shipped_data_folder();

// An SQL literal: the text quoted, or NULL.
std::string sql_literal(const std::optional<std::string>& value);

// SQL that creates the page table gamen with one row per page, ids 1, 2, ... in order.
std::string gamen_sql(const std::vector<std::optional<std::string>>& pages);

}  // namespace fakes
