#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One row of a query; fields by name without regard to case. A NULL is std::nullopt.
class Row {
public:
    void set(const std::string& name, std::optional<std::string> value);
    bool has(const std::string& name) const;
    // Throws Error for a field the row does not have.
    const std::optional<std::string>& field(const std::string& name) const;

private:
    std::map<std::string, std::optional<std::string>> fields_;  // keys in lower case
};

class Database {
public:
    virtual ~Database() = default;
    virtual std::vector<Row> query(const std::string& sql) = 0;  // throws Error
    // The first row the query gives, nothing when it gives none; the rest is never read.
    virtual std::optional<Row> query_first(const std::string& sql) = 0;  // throws Error
    virtual void execute(const std::string& sql) = 0;            // throws Error
};

class DatabaseEngine {
public:
    virtual ~DatabaseEngine() = default;
    // Never creates a file. Throws Error for a missing file, a file that is not a
    // database and a wrong password.
    virtual std::unique_ptr<Database> open(const std::string& path, const std::string& password) = 0;
};

// Builds a fresh encrypted database at path from SQL, replacing any older file there.
// Used by the make-db tool and by the tests' fixture builder, so both produce files the
// real engine opens. Throws Error; on failure no file is left at path.
void create_encrypted_database(const std::string& path, const std::string& password, const std::string& sql);

}  // namespace platform
