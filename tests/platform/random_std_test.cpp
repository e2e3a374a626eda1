// Draws of the standard random backend and its reseeding.
#include <gtest/gtest.h>

#include <vector>

#include "platform/backends.h"
#include "support/fake_clock.h"

namespace {

std::vector<float> draws(platform::Random& r, int n) {
    std::vector<float> out;
    for (int i = 0; i < n; ++i) out.push_back(r.next());
    return out;
}

bool contains_run(const std::vector<float>& all, const std::vector<float>& run) {
    for (size_t i = 0; i + run.size() <= all.size(); ++i)
        if (std::equal(run.begin(), run.end(), all.begin() + static_cast<long>(i))) return true;
    return false;
}

TEST(StdRandom, DrawsLieInHalfOpenUnitInterval) {
    fakes::FakeClock clock;
    auto r = platform::make_std_random(clock);
    float low = 1, high = 0;
    for (int i = 0; i < 200000; ++i) {
        float v = r->next();
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_LT(low, 0.001f);
    EXPECT_GT(high, 0.999f);
}

TEST(StdRandom, ReseedAtTheSameTickNeverRestartsAnEarlierSequence) {
    fakes::FakeClock clock;  // the tick never moves: only the reseed itself can make a difference
    auto r = platform::make_std_random(clock);
    std::vector<float> history = draws(*r, 20);
    for (int round = 0; round < 50; ++round) {
        r->reseed();
        std::vector<float> head = draws(*r, 3);
        EXPECT_FALSE(contains_run(history, head)) << "round " << round;
        history.insert(history.end(), head.begin(), head.end());
        std::vector<float> more = draws(*r, round % 5);
        history.insert(history.end(), more.begin(), more.end());
    }
}

}  // namespace
