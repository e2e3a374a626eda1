#pragma once
#include <string>

#include "files.h"

namespace platform {

class Process {
public:
    virtual ~Process() = default;
    // Starts a program file with no arguments and no shell, in its own session, with
    // our descriptors closed. False when it cannot be started.
    virtual bool start(const std::string& program_file) = 0;
    // The same for exactly this file, through the descriptor held since it was written, not
    // whatever its path leads to by now.
    virtual bool start_held(const HeldFile& program) = 0;
    // Ends this program at once; nothing after the call runs.
    [[noreturn]] virtual void end_program() = 0;
};

}  // namespace platform
