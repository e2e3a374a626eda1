#include "support/build_trace.h"

#include <filesystem>
#include <utility>

#include "platform/backends.h"

namespace fakes {

namespace {

std::string file_name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

class TracingDatabase : public platform::Database {
public:
    TracingDatabase(std::unique_ptr<platform::Database> inner, BuildTrace& trace)
        : inner_(std::move(inner)), trace_(trace) {}
    ~TracingDatabase() override { trace_.add("close"); }
    std::vector<platform::Row> query(const std::string& sql) override {
        trace_.add("query " + sql);
        return inner_->query(sql);
    }
    std::optional<platform::Row> query_first(const std::string& sql) override {
        trace_.add("query " + sql);
        return inner_->query_first(sql);
    }
    void execute(const std::string& sql) override {
        trace_.add("execute " + sql);
        inner_->execute(sql);
    }

private:
    std::unique_ptr<platform::Database> inner_;
    BuildTrace& trace_;
};

}  // namespace

void BuildTrace::sync() {
    if (!random) return;
    for (; seen < random->trace.size(); ++seen) events.push_back(random->trace[seen]);
}

void BuildTrace::add(const std::string& event) {
    sync();
    events.push_back(event);
}

std::vector<std::string> BuildTrace::removed() {
    sync();
    std::vector<std::string> out;
    for (const std::string& e : events)
        if (e.rfind("remove ", 0) == 0) out.push_back(e.substr(7));
    return out;
}

TracingEngine::TracingEngine(BuildTrace& trace) : inner_(platform::make_sqlcipher_engine()), trace_(trace) {}

std::unique_ptr<platform::Database> TracingEngine::open(const std::string& path, const std::string& password) {
    trace_.add("open " + file_name(path));
    return std::make_unique<TracingDatabase>(inner_->open(path, password), trace_);
}

void TracingFiles::write_utf8_bom(const std::string& p, const std::string& t) {
    trace_.add("write " + file_name(p));
    inner_.write_utf8_bom(p, t);
}

void TracingFiles::remove_file(const std::string& p) {
    trace_.add("remove " + file_name(p));
    inner_.remove_file(p);
}

}  // namespace fakes
