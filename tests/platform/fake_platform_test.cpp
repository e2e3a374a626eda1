// The shared fakes that carry logic of their own: the clock's calendar and the platform's wiring.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/fake_platform.h"

namespace {

TEST(FakeClock, AdvanceMovesTickAndLocalTimeAcrossDayMonthAndYear) {
    fakes::FakeClock clock;
    clock.tick = 0xFFFFFF00u;
    clock.local = {2024, 12, 31, 23, 59, 59};
    clock.advance(600);
    EXPECT_EQ(clock.local.second, 59);  // part of a second is carried, not rounded
    clock.advance(400);
    EXPECT_EQ(clock.tick, 0xFFFFFF00u + 1000u);  // wrapped
    platform::LocalTime want{2025, 1, 1, 0, 0, 0};
    EXPECT_EQ(clock.local.year, want.year);
    EXPECT_EQ(clock.local.month, want.month);
    EXPECT_EQ(clock.local.day, want.day);
    EXPECT_EQ(clock.local.hour, 0);
    EXPECT_EQ(clock.local.second, 0);

    clock.local = {2024, 2, 28, 12, 0, 0};
    clock.advance(24u * 3600u * 1000u);
    EXPECT_EQ(clock.local.month, 2);
    EXPECT_EQ(clock.local.day, 29);  // leap year
}

TEST(FakeClock, StepPerReadLetsABusyWaitEnd) {
    fakes::FakeClock clock;
    clock.step_per_read = 10;
    uint32_t start = clock.tick_count();
    int spins = 0;
    while (platform::elapsed_ms(start, clock.tick_count()) < 100) ++spins;
    EXPECT_EQ(spins, 9);
}

TEST(FakePlatform, IsCurrentWhileAliveWithItsFoldersMade) {
    {
        fakes::FakePlatform fp;
        EXPECT_EQ(&platform::current(), &fp.platform);
        EXPECT_EQ(platform::current().clock.get(), fp.clock);
        EXPECT_TRUE(fp.files->folder_exists(fp.system->temp_path()));
        EXPECT_TRUE(fp.files->folder_exists(fp.system->program_folder() + "data"));
        EXPECT_EQ(fp.system->temp_path().back(), '/');
        EXPECT_THROW(fp.process->end_program(), fakes::ProgramEnded);
        EXPECT_THROW(fp.random->next(), std::logic_error);
    }
    EXPECT_THROW(platform::current(), platform::Error);
}

}  // namespace
