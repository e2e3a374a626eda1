#pragma once
// The trace of a question-page build: database opens, queries and close, the draws and
// reseeds of a scripted generator and the page writes and removals, in the order they
// happened. Wraps the real SQLCipher engine and the files the test hands in.
#include <memory>
#include <string>
#include <vector>

#include "platform/database.h"
#include "platform/files.h"
#include "support/fake_random.h"

namespace fakes {

struct BuildTrace {
    FakeRandom* random = nullptr;
    size_t seen = 0;
    // "open <file name>", "query <sql>", "execute <sql>", "close", "draw", "reseed",
    // "write <file name>", "remove <file name>".
    std::vector<std::string> events;
    // Takes in the generator's trace so far.
    void sync();
    void add(const std::string& event);
    // The file names of the "remove" events, in order.
    std::vector<std::string> removed();
};

// The real engine, each open and the databases' queries and close recorded.
class TracingEngine : public platform::DatabaseEngine {
public:
    explicit TracingEngine(BuildTrace& trace);
    std::unique_ptr<platform::Database> open(const std::string& path, const std::string& password) override;

private:
    std::unique_ptr<platform::DatabaseEngine> inner_;
    BuildTrace& trace_;
};

// Forwards to inner and records page writes and removals.
class TracingFiles : public platform::Files {
public:
    TracingFiles(platform::Files& inner, BuildTrace& trace) : inner_(inner), trace_(trace) {}
    bool folder_exists(const std::string& p) override { return inner_.folder_exists(p); }
    void create_folder(const std::string& p) override { inner_.create_folder(p); }
    bool folder_is_trusted(const std::string& p) override { return inner_.folder_is_trusted(p); }
    std::shared_ptr<platform::HeldFolder> hold_trusted_folder(const std::string& p) override {
        return inner_.hold_trusted_folder(p);
    }
    bool file_exists(const std::string& p) override { return inner_.file_exists(p); }
    int delete_files(const std::string& p) override { return inner_.delete_files(p); }
    void write_utf8_bom(const std::string& p, const std::string& t) override;
    std::string read_all(const std::string& p) override { return inner_.read_all(p); }
    void remove_file(const std::string& p) override;

private:
    platform::Files& inner_;
    BuildTrace& trace_;
};

}  // namespace fakes
