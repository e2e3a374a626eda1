// The wait of the start and end buttons: over at the first tick reading more than ms past
// its start, with the thread asleep in between and nothing dispatched.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <vector>

#include "common/forms.h"
#include "support/fake_platform.h"

namespace {

TEST(WaitTicks, EndsPastTheDeadlineAfterOneSleepWhateverTheClockDoesPerRead) {
    struct Case {
        uint32_t start;
        int32_t ms;
        uint32_t step_per_read;
    };
    // A clock that stands still between readings would have kept a spinning wait for ever.
    const Case cases[] = {{100000, 3000, 0}, {100000, 500, 7}, {0xFFFFFFFFu - 100, 3000, 0}, {0xFFFFFFF0u, 500, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.ms << ", step " << c.step_per_read);
        fakes::FakePlatform fp;
        fp.clock->tick = c.start;
        fp.clock->step_per_read = c.step_per_read;
        common::wait_ticks(c.ms);
        const uint32_t waited = fp.clock->tick - c.start;
        EXPECT_GT(waited, static_cast<uint32_t>(c.ms));
        EXPECT_LT(waited, static_cast<uint32_t>(c.ms) + 50u);
        EXPECT_EQ(fp.clock->sleeps, 1);
        EXPECT_LE(fp.clock->reads, 3);
    }
}

TEST(WaitTicks, NothingToWaitReadsNothing) {
    fakes::FakePlatform fp;
    for (int32_t ms : {0, -1, -3000}) common::wait_ticks(ms);
    EXPECT_EQ(fp.clock->reads, 0);
    EXPECT_EQ(fp.clock->sleeps, 0);
}

// Wakes after a fraction of what was asked, as a signal would wake the real sleep.
class EarlyWakingClock : public fakes::FakeClock {
public:
    void sleep_until(uint32_t deadline) override {
        deadlines.push_back(deadline);
        advance(120);
    }
    std::vector<uint32_t> deadlines;
};

TEST(WaitTicks, AnEarlyWakeSleepsOnToTheSameDeadlineAndDispatchesNothing) {
    fakes::FakePlatform fp;
    auto clock = std::make_unique<EarlyWakingClock>();
    EarlyWakingClock& early = *clock;
    fp.platform.clock = std::move(clock);
    early.tick = 5000;

    bool queued_ran = false;
    QObject context;
    QTimer::singleShot(0, &context, [&] { queued_ran = true; });
    common::wait_ticks(500);

    EXPECT_GT(early.tick - 5000u, 500u);
    ASSERT_EQ(early.deadlines.size(), 5u);  // 120, 240, 360, 480, 600
    for (uint32_t d : early.deadlines) EXPECT_EQ(d, 5501u);
    EXPECT_FALSE(queued_ran);
    QCoreApplication::processEvents();
    EXPECT_TRUE(queued_ran);
}

}  // namespace
