#pragma once
#include <string>

namespace platform {

class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // Takes the per-user lock of the named program for the rest of the process.
    // False when another process already holds it.
    virtual bool acquire(const std::string& program) = 0;
};

}  // namespace platform
