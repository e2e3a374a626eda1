#pragma once

namespace platform {

class Random {
public:
    virtual ~Random() = default;
    virtual float next() = 0;   // [0, 1)
    // A new seed from the timer; never restarts a sequence drawn before.
    virtual void reseed() = 0;
};

}  // namespace platform
