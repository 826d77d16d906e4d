#pragma once

// What the race painting tests share: the sprite fixture with a 640 x 480
// canvas as the frame's Graphics, the track statics of a small track, and
// the drawing log.

#include "game/framework/LoopStatics.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadImages.h"
#include "tests/game/sprite/PaintFixture.h"
#include "tests/support/DrawingLog.h"
#include "tests/support/RaceSceneSetup.h"
#include "tools/datakit/RacePictures.h"

#include <vector>

namespace racepaint_testing {

using namespace sprite_testing;

inline constexpr std::int32_t kScreenWidth = 640;
inline constexpr std::int32_t kScreenHeight = 480;

struct RacePaintTest : SpriteTest {
    Canvas screen{kScreenWidth, kScreenHeight};

    RacePaintTest() {
        game::loopStatics().s_graphics = screen.graphics;
        game::TrackStatics& t = game::trackStatics();
        t.s_trackStyle = rt::newIntArray(14);
        t.s_laneCount = 4;
        game::roadImageStaticInit();
    }
    ~RacePaintTest() override { game::loopStatics().s_graphics = nullptr; }
};

inline rt::IntArray* intArray(const std::vector<std::int32_t>& values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::ranges::copy(values, rt::IntArray::span(array).begin());
    return array;
}

// A flat, straight ring of `segments` road segments 600 wide in four lanes,
// two trigger codes a segment, all 0.
inline void installFlatRing(std::int32_t segments) {
    testing_support::makeTrackRing(segments, 2);
    game::TrackStatics& t = game::trackStatics();
    t.s_roadHalfWidth = 300;
    t.s_laneWidth = 150;
}

// Surface k's road images in `colours`[k] throughout (kerb, lines and
// marks too), without shading, and the lane widths of surface 0's images.
inline void installFlatRoadSurfaces(const std::vector<std::uint32_t>& colours) {
    game::RoadImageStatics& s = game::roadImageStatics();
    s.s_backgroundRows = rt::newObjectArray(static_cast<std::int32_t>(colours.size()));
    for (std::size_t k = 0; k < colours.size(); ++k) {
        const std::uint32_t c = colours[k];
        datakit::RoadLook look{
            .tarmac = c, .edgeLine = c, .laneMark = c, .centreLine = c, .kerb = {c, c}, .lanes = 4};
        const datakit::Picture picture = datakit::roadSurfacePicture(look, 64, 8);
        rt::IntArray* pixels = rt::newIntArray(64 * 8);
        for (std::size_t i = 0; i < picture.pixels.size(); ++i)
            rt::IntArray::set(pixels, static_cast<std::int32_t>(i),
                              static_cast<std::int32_t>(picture.pixels[i]));
        rt::ObjectArray::set(s.s_backgroundRows, static_cast<std::int32_t>(k),
                             game::buildGradientImage(pixels, 64, 8, 0, 0, 0, 0, 0));
    }
    game::computeRoadImageLaneWidths();
}

} // namespace racepaint_testing
