#pragma once
// Records the programs started; ending the program throws ProgramEnded.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "platform/process.h"

namespace fakes {

// Thrown by FakeProcess::end_program. Deliberately no std::exception, so code that
// swallows errors does not swallow the end of the program.
struct ProgramEnded {};

class FakeProcess : public platform::Process {
public:
    bool start(const std::string& program_file) override {
        starts.push_back(program_file);
        return !fail_all && failing.count(program_file) == 0;
    }
    // Recorded as a start of its path.
    bool start_held(const platform::HeldFile& program) override { return start(program.path()); }
    [[noreturn]] void end_program() override {
        ++ends;
        throw ProgramEnded{};
    }

    std::vector<std::string> starts;
    bool fail_all = false;
    std::set<std::string> failing;  // these files cannot be started
    int ends = 0;
};

// Starts for real through the POSIX backend and records each start; ending the program is
// left to the test, as with the fake.
class RealProcess : public platform::Process {
public:
    bool start(const std::string& program_file) override {
        starts.push_back(program_file);
        return real_->start(program_file);
    }
    bool start_held(const platform::HeldFile& program) override {
        starts.push_back(program.path());
        return real_->start_held(program);
    }
    [[noreturn]] void end_program() override {
        ++ends;
        throw ProgramEnded{};
    }
    std::vector<std::string> starts;
    int ends = 0;

private:
    std::unique_ptr<platform::Process> real_ = platform::make_posix_process();
};

}  // namespace fakes
