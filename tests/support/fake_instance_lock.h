#pragma once
// An instance lock whose answer a test chooses.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/instance_lock.h"

namespace fakes {

class FakeInstanceLock : public platform::InstanceLock {
public:
    Attempt acquire(const std::string& program) override {
        asked.push_back(program);
        const std::string path = "/run/user/1000/.ledgrin-" + program + "-1000.lock";
        if (auto it = unusable.find(program); it != unusable.end()) return {Outcome::Unusable, path, it->second};
        if (running_elsewhere.count(program)) return {Outcome::HeldByAnother, path, ""};
        return {Outcome::Taken, path, ""};
    }

    // Programs of which another instance runs: acquiring their lock fails.
    std::set<std::string> running_elsewhere;
    // Programs whose lock file cannot be used, with the reason given.
    std::map<std::string, std::string> unusable;
    std::vector<std::string> asked;
};

}  // namespace fakes
