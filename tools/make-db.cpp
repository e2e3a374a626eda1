// make-db <out.dat> <in.sql> <password>
// Builds a fresh encrypted database from an SQL file: the build turns data/*.sql into the
// shipped .dat files with it.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/database.h"
#include "platform/error.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make-db <out.dat> <in.sql> <password>\n";
        return 2;
    }
    const std::string out = argv[1];
    const std::string in = argv[2];
    const std::string password = argv[3];

    std::ifstream file(in, std::ios::binary);
    if (!file) {
        std::cerr << "make-db: cannot read " << in << "\n";
        return 1;
    }
    std::string sql((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        std::cerr << "make-db: cannot read " << in << "\n";
        return 1;
    }

    try {
        platform::create_encrypted_database(out, password, sql);
    } catch (const platform::Error& e) {
        std::cerr << "make-db: " << in << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
