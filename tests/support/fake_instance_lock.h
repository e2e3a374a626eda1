#pragma once
// An instance lock whose answer a test chooses.
#include <set>
#include <string>
#include <vector>

#include "platform/instance_lock.h"

namespace fakes {

class FakeInstanceLock : public platform::InstanceLock {
public:
    bool acquire(const std::string& program) override {
        asked.push_back(program);
        return running_elsewhere.count(program) == 0;
    }

    // Programs of which another instance runs: acquiring their lock fails.
    std::set<std::string> running_elsewhere;
    std::vector<std::string> asked;
};

}  // namespace fakes
