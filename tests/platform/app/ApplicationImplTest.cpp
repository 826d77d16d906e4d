#include "platform/app/ApplicationImpl.h"

#include <gtest/gtest.h>

namespace {

TEST(ApplicationImpl, VolumeStepsMoveTheLeftLevelAndTheRightFollows) {
    struct Case {
        std::uint32_t volume;
        std::uint32_t raised;
        std::uint32_t lowered;
    };
    auto both = [](std::uint32_t left) { return left | left << 16; };
    const Case cases[] = {
        {0x00000000, both(6553), both(0)},
        {0xFFFF0000, both(6553), both(0)}, // the right level read is not kept
        {0x0000FFFF, both(65535), both(65535 - 6553)},
        {both(58980), both(65533), both(52427)},
        {both(58981), both(65535), both(52428)},
        {both(6553), both(13106), both(0)},
        {both(6554), both(13107), both(1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ApplicationImpl::raisedVolume(c.volume), c.raised) << std::hex << c.volume;
        EXPECT_EQ(platform::ApplicationImpl::loweredVolume(c.volume), c.lowered) << std::hex << c.volume;
    }
}

} // namespace
