// Milliseconds since boot, counting suspended time too, and the local date and time.
#include <time.h>

#include <cerrno>
#include <memory>

#include "backends.h"
#include "clock.h"

namespace platform {

namespace {

timespec boottime() {
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    return ts;
}

uint32_t tick_of(const timespec& ts) {
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps like the 32-bit count the callers expect
}

class BoottimeClock : public Clock {
public:
    uint32_t tick_count() override { return tick_of(boottime()); }

    void sleep_until(uint32_t deadline) override {
        const timespec now = boottime();
        const uint32_t ahead = deadline - tick_of(now);
        if (ahead == 0 || ahead > 0x80000000u) return;  // reached already
        // The count turns at whole milliseconds of the same clock: sleep to the start of
        // the deadline's millisecond, as an absolute time, so that a signal waking us
        // early sleeps on to the same moment instead of adding up.
        const uint64_t ns = static_cast<uint64_t>(now.tv_nsec) / 1000000u * 1000000u + uint64_t(ahead) * 1000000u;
        timespec until{};
        until.tv_sec = now.tv_sec + static_cast<time_t>(ns / 1000000000u);
        until.tv_nsec = static_cast<long>(ns % 1000000000u);
        int rc;
        while ((rc = ::clock_nanosleep(CLOCK_BOOTTIME, TIMER_ABSTIME, &until, nullptr)) == EINTR) {
        }
        if (rc == 0) return;
        // A kernel that cannot sleep on this clock: sleep the same span on the monotonic one.
        timespec span{static_cast<time_t>(ahead / 1000u), static_cast<long>(ahead % 1000u) * 1000000L};
        while (::nanosleep(&span, &span) != 0 && errno == EINTR) {
        }
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
