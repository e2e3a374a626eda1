#include "support/fake_clock.h"

#include <chrono>

namespace fakes {

uint32_t FakeClock::tick_count() {
    ++reads;
    uint32_t t = tick;
    tick += step_per_read;
    return t;
}

void FakeClock::sleep_until(uint32_t deadline) {
    ++sleeps;
    const uint32_t ahead = deadline - tick;
    if (ahead != 0 && ahead <= 0x80000000u) advance(ahead);
}

void FakeClock::advance(uint32_t ms) {
    using namespace std::chrono;
    tick += ms;
    uint64_t total = uint64_t(pending_ms_) + ms;
    pending_ms_ = static_cast<uint32_t>(total % 1000);
    auto day = sys_days(year_month_day(year(local.year), month(static_cast<unsigned>(local.month)),
                                       std::chrono::day(static_cast<unsigned>(local.day))));
    auto t = day + hours(local.hour) + minutes(local.minute) + seconds(local.second) +
             seconds(static_cast<int64_t>(total / 1000));
    auto new_day = floor<days>(t);
    year_month_day ymd(new_day);
    hh_mm_ss<seconds> hms(t - new_day);
    local.year = static_cast<int>(ymd.year());
    local.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    local.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    local.hour = static_cast<int>(hms.hours().count());
    local.minute = static_cast<int>(hms.minutes().count());
    local.second = static_cast<int>(hms.seconds().count());
}

}  // namespace fakes
