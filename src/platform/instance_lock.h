#pragma once
#include <string>

namespace platform {

class InstanceLock {
public:
    enum class Outcome {
        Taken,          // this process holds the lock now
        HeldByAnother,  // another instance of the program holds it
        Unusable,       // the lock file cannot be used: see reason
    };
    struct Attempt {
        Outcome outcome = Outcome::Unusable;
        std::string path;    // the lock file
        std::string reason;  // why it cannot be used, in words for the person at the machine
    };

    virtual ~InstanceLock() = default;
    // Takes the per-user lock of the named program for the rest of the process. Never
    // blocks, whatever lies under the lock's name.
    virtual Attempt acquire(const std::string& program) = 0;
};

}  // namespace platform
