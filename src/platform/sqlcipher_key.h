#pragma once
// Helpers shared by the SQLCipher engine and the database builder (make-db compiles
// encrypted_database.cpp on its own, without the rest of the platform layer).
#include <string>

struct sqlite3;

namespace platform::sqlcipher {

// Rounds of the key derivation in our files. The password is built into the program, so
// the engine's default (tens of thousands of rounds, most of the time of every open)
// would guard nothing that these do not. A file built with other settings derives
// another key and reads as no database at all.
inline constexpr int kKdfIterations = 64;

// Sets the key of a freshly opened connection, with the derivation settings of our files.
// SQLCipher only checks it at the first read.
void set_key(sqlite3* db, const std::string& password);

// Runs one or more statements; throws Error with the engine's message.
void exec(sqlite3* db, const std::string& sql);

}  // namespace platform::sqlcipher
