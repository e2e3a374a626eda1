#pragma once
// While a facility call waits inside a nested event loop (the browser bridge), none of
// our own handlers may run: the window layer's timers and clicks check this gate.

namespace platform {

bool dispatch_blocked();

class DispatchBlock {
public:
    DispatchBlock();
    ~DispatchBlock();
    DispatchBlock(const DispatchBlock&) = delete;
    DispatchBlock& operator=(const DispatchBlock&) = delete;
};

}  // namespace platform
