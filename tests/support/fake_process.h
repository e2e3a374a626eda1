#pragma once
// Records the programs started; ending the program throws ProgramEnded.
#include <set>
#include <string>
#include <vector>

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
    [[noreturn]] void end_program() override {
        ++ends;
        throw ProgramEnded{};
    }

    std::vector<std::string> starts;
    bool fail_all = false;
    std::set<std::string> failing;  // these files cannot be started
    int ends = 0;
};

}  // namespace fakes
