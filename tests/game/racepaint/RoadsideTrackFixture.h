#pragma once

// What the verge, wall and section model tests share: a plain straight ring
// written by datakit and read by the track loader, and a view of it from
// `kEyeHeight` above the road centre, the slices projected in double
// precision (the test's own model of the camera).

#include "classlib/util/Random.h"
#include "game/framework/StartupLoad.h"
#include "game/race/EntryReader.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideTrack.h"
#include "game/racepaint/RoadsideView.h"
#include "tests/game/racepaint/RoadsideFixture.h"
#include "tools/datakit/TrackRoadside.h"

#include <cmath>

namespace roadside_testing {

inline constexpr std::int32_t kHalfWidth = 400;
inline constexpr std::int32_t kEyeHeight = 700;
// Verge colours of the one side profile: even, odd segments and the cap.
inline constexpr std::uint32_t kVergeEven = 0x208020;
inline constexpr std::uint32_t kVergeOdd = 0x30A030;
inline constexpr std::uint32_t kCapColour = 0x806040;

struct RoadsideTrackTest : RoadsideTest {
    RoadsideTrackTest() {
        game::startupStatics().s_objectFlags = rt::newObjectArray(92);
        lib::java_util_Random::seedSharedRandom(1);
    }

    // `segments` straight, level segments of a two-lane road.
    static datakit::TrackModel plainRing(int segments) {
        datakit::TrackModel t;
        t.roadHalfWidth = kHalfWidth;
        t.laneByte = 0x20;
        datakit::SideProfile profile;
        profile.colours = {kVergeEven, kVergeOdd, kCapColour};
        t.sideProfiles = {profile};
        t.segments.resize(static_cast<std::size_t>(segments));
        return t;
    }

    // Loads `model` with `roadside` put into it, and sets the roadside up.
    void load(datakit::TrackModel model, const datakit::TrackRoadside& roadside) {
        datakit::putRoadside(model, roadside);
        game::EntryReader reader(datakit::writeTrack(model), "track pack");
        reader.skip(game::kWireModelBytes);
        ASSERT_TRUE(game::loadTrackEntry(reader, 1));
        game::setupRoadside();
    }

    static double depthOf(std::int32_t slice) { return 512.0 + 1024.0 * slice; }

    // The camera at segment 0 looking along the road, whose centre line lies
    // `centre` to its right.
    static void straightView(std::int32_t centre = 0) {
        game::RoadsideViewStatics& v = game::roadsideView();
        for (std::int32_t i = 0; i < game::kRoadSlices; ++i) {
            const double z = depthOf(i);
            v.s_sliceSegment[i] = i;
            v.s_sliceX[i] = centre;
            v.s_sliceDepth[i] = static_cast<std::int32_t>(z);
            v.s_sliceHeight[i] = -kEyeHeight;
            v.s_sliceScale[i] = static_cast<std::int32_t>(std::floor(v.s_cameraFocal * 4096.0 / z));
            v.s_sliceScreenX[i] = static_cast<std::int32_t>(std::floor(screenX(centre - kHalfWidth, z)));
            v.s_sliceScreenWidth[i] =
                static_cast<std::int32_t>(std::floor(2.0 * v.s_cameraFocal * kHalfWidth / z));
            v.s_sliceScreenY[i] = static_cast<std::int32_t>(std::floor(screenY(-kEyeHeight, z)));
            v.s_sliceRoadLeft[i] = -kHalfWidth;
            v.s_sliceRoadRight[i] = kHalfWidth;
        }
    }

    static double screenX(double x, double z) {
        const game::RoadsideViewStatics& v = game::roadsideView();
        return v.s_screenCenterX + v.s_cameraFocal * x / z;
    }
    static double screenY(double y, double z) {
        const game::RoadsideViewStatics& v = game::roadsideView();
        return v.s_viewHorizonY - v.s_cameraFocal * y / z;
    }

    void clearScreen() const {
        screen.graphics->setColor(0);
        screen.graphics->fillRect(0, 0, 640, 480);
    }
};

} // namespace roadside_testing
