// The boot-time clock and the Qt screen.
#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <thread>

#include "platform/backends.h"

namespace {

TEST(ElapsedMs, SurvivesTheWrapOfTheTickCount) {
    EXPECT_EQ(platform::elapsed_ms(0xFFFFFFF0u, 0x10u), 0x20u);
    EXPECT_EQ(platform::elapsed_ms(100u, 350u), 250u);
}

TEST(BoottimeClock, TicksInMilliseconds) {
    auto clock = platform::make_boottime_clock();
    uint32_t start = clock->tick_count();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    uint32_t passed = platform::elapsed_ms(start, clock->tick_count());
    EXPECT_GE(passed, 115u);
    EXPECT_LT(passed, 2000u);
}

TEST(BoottimeClock, SleepUntilReturnsOnceTheCountHasReachedTheDeadline) {
    auto clock = platform::make_boottime_clock();
    for (uint32_t ahead : {1u, 30u, 250u}) {
        SCOPED_TRACE(ahead);
        const uint32_t deadline = clock->tick_count() + ahead;
        clock->sleep_until(deadline);
        EXPECT_GE(static_cast<int32_t>(clock->tick_count() - deadline), 0);
    }
    // Deadlines already reached, just now or long ago, return without sleeping for the
    // wrapped-around distance.
    const uint32_t now = clock->tick_count();
    for (uint32_t behind : {0u, 1u, 1000u, 0x7FFFFFFFu}) clock->sleep_until(now - behind);
}

TEST(BoottimeClock, LocalTimeIsNow) {
    auto clock = platform::make_boottime_clock();
    time_t t = ::time(nullptr);
    platform::LocalTime now = clock->now();
    tm parts{};
    ::localtime_r(&t, &parts);
    EXPECT_EQ(now.year, parts.tm_year + 1900);
    EXPECT_EQ(now.month, parts.tm_mon + 1);
    EXPECT_EQ(now.day, parts.tm_mday);
    int got = now.hour * 3600 + now.minute * 60 + now.second;
    int want = parts.tm_hour * 3600 + parts.tm_min * 60 + parts.tm_sec;
    EXPECT_LE(std::abs(got - want), 2);
}

TEST(QtScreen, OffscreenScreenIsAt96Dpi) {
    auto screen = platform::make_qt_screen();
    platform::Rect r;
    ASSERT_TRUE(screen->work_area(r));
    EXPECT_GT(r.right, r.left);
    EXPECT_GT(r.bottom, r.top);
    EXPECT_DOUBLE_EQ(screen->twips_per_pixel_x(), 15.0);
    EXPECT_DOUBLE_EQ(screen->twips_per_pixel_y(), 15.0);
}

}  // namespace
