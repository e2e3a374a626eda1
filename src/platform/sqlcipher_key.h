#pragma once
// Helpers shared by the SQLCipher engine and the database builder (make-db compiles
// encrypted_database.cpp on its own, without the rest of the platform layer).
#include <string>

struct sqlite3;

namespace platform::sqlcipher {

// Sets the key of a freshly opened connection. SQLCipher only checks it at the first read.
void set_key(sqlite3* db, const std::string& password);

// Runs one or more statements; throws Error with the engine's message.
void exec(sqlite3* db, const std::string& sql);

}  // namespace platform::sqlcipher
