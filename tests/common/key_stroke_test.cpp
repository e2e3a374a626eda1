#include "common/key_stroke.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/fake_platform.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SendKeyStroke, SingleKeyIsPressedThenReleased) {
    fakes::FakePlatform fp;
    common::send_key_stroke(27);
    EXPECT_THAT(fp.keys->trace(), ElementsAre("down 27", "up 27"));
}

TEST(SendKeyStroke, SecondKeyIsTypedWhileTheFirstIsHeld) {
    fakes::FakePlatform fp;
    common::send_key_stroke(18, 0x46);
    EXPECT_THAT(fp.keys->trace(), ElementsAre("down 18", "down 70", "up 70", "up 18"));
}

TEST(SendKeyStroke, BoundaryCodesAreSent) {
    fakes::FakePlatform fp;
    common::send_key_stroke(0, 255);
    EXPECT_THAT(fp.keys->trace(), ElementsAre("down 0", "down 255", "up 255", "up 0"));
}

TEST(SendKeyStroke, CodeOutsideAByteFailsBeforeAnyEvent) {
    struct Case {
        int16_t key;
        std::optional<int32_t> key2;
    };
    for (const Case& c : {Case{256, std::nullopt}, Case{-1, std::nullopt}, Case{27, 256}, Case{27, -5}}) {
        fakes::FakePlatform fp;
        EXPECT_THROW(common::send_key_stroke(c.key, c.key2), std::out_of_range) << c.key;
        // Nothing is left held down when the second code is the bad one.
        EXPECT_THAT(fp.keys->trace(), IsEmpty()) << c.key;
    }
}

}  // namespace
