// Single-precision draws from a standard engine, reseeded from the clock.
#include <cstdint>
#include <memory>
#include <random>

#include "backends.h"
#include "clock.h"
#include "random.h"

namespace platform {

namespace {

class StdRandom : public Random {
public:
    explicit StdRandom(Clock& clock) : clock_(clock) { reseed(); }

    float next() override {
        // 24 random bits fill a float's mantissa exactly, so 1.0 can never come out.
        return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
    }

    // Two reseeds within the same millisecond still differ: the counter and the
    // engine's own state go into the new seed next to the tick.
    void reseed() override {
        uint32_t tick = clock_.tick_count();
        ++reseeds_;
        std::seed_seq seq{tick, static_cast<uint32_t>(reseeds_), static_cast<uint32_t>(reseeds_ >> 32),
                          static_cast<uint32_t>(engine_()), static_cast<uint32_t>(engine_())};
        engine_.seed(seq);
    }

private:
    Clock& clock_;
    std::mt19937 engine_;
    uint64_t reseeds_ = 0;
};

}  // namespace

std::unique_ptr<Random> make_std_random(Clock& clock) { return std::make_unique<StdRandom>(clock); }

}  // namespace platform
