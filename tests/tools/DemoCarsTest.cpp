// The racers' cars as their painters read them: the rear wheels where the
// wheel particles go, shaded views rather than flat shapes, the lights over
// their body, animations within the frames, and one body colour per racer.

#include "tests/tools/PaintedBoxes.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

using datakit::PaintedFrame;
using datakit::PaintedImage;
using datakit::PaintedSprite;
using tools_testing::Box;
using tools_testing::boxOf;

constexpr int kSteerFrames = 11;
constexpr int kLightOffset = 11;

std::vector<PaintedSprite> cars() {
    std::vector<PaintedSprite> out;
    std::vector<std::optional<PaintedSprite>> sprites = mkdata::demoSprites();
    for (int set = game::kCarSprite0; set <= game::kCarSprite9; ++set)
        out.push_back(*sprites[static_cast<std::size_t>(set)]);
    return out;
}

TEST(DemoCars, EachSteeringFrameHasItsRearWheelsAsModulesTwoAndThreeLowOnEitherSide) {
    const PaintedSprite car = cars().front();
    for (int f = 0; f < kSteerFrames; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        const PaintedFrame& frame = car.frames[static_cast<std::size_t>(f)];
        ASSERT_GE(frame.images.size(), 4u);
        const Box body = boxOf(frame);
        const PaintedImage& left = frame.images[2];
        const PaintedImage& right = frame.images[3];
        EXPECT_LT(left.x + left.width / 2, right.x + right.width / 2);
        // Both wheels lie in the car's lower half and inside its box; the
        // nearer one (the far one hides behind the body in a turn) stands
        // on the ground line at the origin.
        for (const PaintedImage* wheel : {&left, &right}) {
            EXPECT_GT(2 * (wheel->y + wheel->height), body.top + body.bottom);
            EXPECT_GE(wheel->x, body.left);
            EXPECT_LE(wheel->x + wheel->width, body.right);
        }
        const PaintedImage& nearer = left.width * left.height > right.width * right.height ? left : right;
        EXPECT_GT(nearer.width, 4);
        EXPECT_LE(std::abs(nearer.y + nearer.height), 4);
    }
    // Seen straight from behind the wheels mirror each other about the origin.
    const PaintedFrame& straight = car.frames[5];
    EXPECT_NEAR(straight.images[2].x + straight.images[2].width, -straight.images[3].x, 2);
}

TEST(DemoCars, AreShadedLightsSitOnTheirBodyAndAnimationsStayWithinTheFrames) {
    const PaintedSprite car = cars().front();
    std::set<std::uint8_t> shades;
    for (const PaintedImage& image : car.frames[5].images)
        shades.insert(image.indexes.begin(), image.indexes.end());
    shades.erase(0);
    EXPECT_GE(shades.size(), 8u);
    for (int f = 0; f < kSteerFrames; ++f) {
        const Box body = boxOf(car.frames[static_cast<std::size_t>(f)]);
        const Box light = boxOf(car.frames[static_cast<std::size_t>(f + kLightOffset)]);
        EXPECT_LT(light.left, light.right) << "light frame " << f + kLightOffset << " is empty";
        EXPECT_GE(light.left, body.left - 1);
        EXPECT_LE(light.right, body.right + 1);
        EXPECT_GE(light.top, body.top - 1);
        EXPECT_LE(light.bottom, body.bottom + 1);
    }
    for (const std::vector<std::uint8_t>& anim : car.anims) {
        EXPECT_FALSE(anim.empty());
        for (std::uint8_t frame : anim)
            EXPECT_LT(frame, car.frames.size());
    }
}

TEST(DemoCars, OnlyTheBodyColourDiffersBetweenRacers) {
    const std::vector<PaintedSprite> all = cars();
    std::set<std::uint32_t> bodies;
    for (const PaintedSprite& car : all) {
        ASSERT_EQ(car.palettes.size(), 4u);
        bodies.insert(car.palettes[0][5]);
        // Glass, tyres, rims and trim keep their colours.
        for (std::size_t i : {6u, 7u, 9u, 10u, 13u})
            EXPECT_EQ(car.palettes[0][i], all.front().palettes[0][i]);
        EXPECT_EQ(car.frames.size(), all.front().frames.size());
    }
    EXPECT_EQ(bodies.size(), all.size());
}

TEST(DemoCars, EachSteeringFrameHasAShadowUnderItAndEverySurfaceItsParticles) {
    const PaintedSprite car = cars().front();
    const PaintedSprite shadows = mkdata::demoCarShadows();
    ASSERT_EQ(shadows.frames.size(), 45u);
    for (int f = 0; f < kSteerFrames; ++f)
        for (int column = 0; column < 4; ++column) {
            SCOPED_TRACE("frame " + std::to_string(f) + " column " + std::to_string(column));
            const Box body = boxOf(car.frames[static_cast<std::size_t>(f)]);
            const Box shadow = boxOf(shadows.frames[static_cast<std::size_t>(4 * f + column)]);
            // Under the car: across its middle and reaching at least its
            // lowest row, within a few pixels.
            EXPECT_LT(shadow.left, (body.left + body.right) / 2);
            EXPECT_GT(shadow.right, (body.left + body.right) / 2);
            EXPECT_GE(shadow.bottom, body.bottom - 2);
            EXPECT_LE(shadow.bottom, body.bottom + 6);
        }
    // Two phases for each of the seven surfaces and the smoke, all drawn.
    const PaintedSprite particles = mkdata::demoWheelParticles();
    ASSERT_EQ(particles.frames.size(), 16u);
    for (const PaintedFrame& frame : particles.frames) {
        const Box box = boxOf(frame);
        EXPECT_LT(box.left, box.right);
    }
}

} // namespace
