// Milliseconds since boot, counting suspended time too, and the local date and time.
#include <time.h>

#include <memory>

#include "backends.h"
#include "clock.h"

namespace platform {

namespace {

class BoottimeClock : public Clock {
public:
    uint32_t tick_count() override {
        timespec ts{};
        ::clock_gettime(CLOCK_BOOTTIME, &ts);
        uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);  // wraps like the 32-bit count the callers expect
    }

    LocalTime now() override {
        time_t t = ::time(nullptr);
        tm parts{};
        ::localtime_r(&t, &parts);
        LocalTime out;
        out.year = parts.tm_year + 1900;
        out.month = parts.tm_mon + 1;
        out.day = parts.tm_mday;
        out.hour = parts.tm_hour;
        out.minute = parts.tm_min;
        out.second = parts.tm_sec;
        return out;
    }
};

}  // namespace

std::unique_ptr<Clock> make_boottime_clock() { return std::make_unique<BoottimeClock>(); }

}  // namespace platform
