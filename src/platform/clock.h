#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since boot, as a 32-bit count that wraps.
    virtual uint32_t tick_count() = 0;
    // Blocks the calling thread, dispatching nothing, until the tick count has reached
    // deadline: a count less than 2^31 ms ahead of now. One already reached (a count up to
    // 2^31 ms behind) returns at once.
    virtual void sleep_until(uint32_t deadline) = 0;
    virtual LocalTime now() = 0;
};

// Unsigned difference, so a wrap of the tick count never looks like time running backwards.
inline uint32_t elapsed_ms(uint32_t start, uint32_t now) { return now - start; }

}  // namespace platform
