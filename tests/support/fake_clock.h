#pragma once
// A clock that moves only when a test moves it.
#include <cstdint>

#include "platform/clock.h"

namespace fakes {

class FakeClock : public platform::Clock {
public:
    uint32_t tick_count() override;
    // Moves the clock on to the deadline at once (advance), so a wait on it ends.
    void sleep_until(uint32_t deadline) override;
    platform::LocalTime now() override { return local; }

    // Moves the tick count (wrapping as the real one does) and the local time together.
    void advance(uint32_t ms);

    uint32_t tick = 100000;
    platform::LocalTime local{2024, 4, 1, 10, 0, 0};
    // Added to the tick after each read, so a busy wait on the clock comes to an end.
    uint32_t step_per_read = 0;
    int reads = 0;
    int sleeps = 0;

private:
    uint32_t pending_ms_ = 0;  // part of a second not yet carried into the local time
};

}  // namespace fakes
