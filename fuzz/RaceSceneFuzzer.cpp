// Paints 200 race frames of a track whose painted bytes come from the input:
// the segment ring (curves, slopes, edge flags, surfaces, attributes,
// trigger codes), the lane byte and road width, the backdrop, the haze, the
// road pictures and lane-object blocks, the cars, the moving object and the
// dynamic roadside objects. The screen is an image over a guarded block:
// guard rows above and below it and wider rows than the screen, all of a
// pattern no painter writes through the screen. No painter may write outside
// the screen, and the view pass and painter must never fail.
//
// Input, bytes taken in order (0 once the input is spent):
//   segments - 1 (mod 48), lane byte (lanes in the high nibble), half-width
//   step, codes per segment (mod 5), backdrop frames (mod 4), scroll, weather
//   (mod 3), haze width / 4, eye height step, yaw, speed; per segment: curve,
//   slope, edge flags, surface, attribute, then each code (2 bytes); road
//   surfaces (mod 3) + 1, picture width, picture height, lane block side;
//   cars (mod 12), each segment, position (2), lateral (2), type; moving
//   object id, its step; roadside objects (mod 4), each 4 x 2 bytes.

#include "fuzz/Harness.h"
#include "fuzz/PaintHarness.h"
#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/race/RaceState.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadImages.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "platform/Platform.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "tests/support/RaceSceneSetup.h"
#include "tools/datakit/RacePictures.h"

#include <cstdint>
#include <vector>

namespace {

constexpr int kFrames = 200;
constexpr std::int32_t kBackdropSlot = 60;

using Bytes = fuzzing::InputBytes;

void loadRing(Bytes& in, std::int32_t segments) {
    game::TrackStatics& t = game::trackStatics();
    testing_support::makeTrackRing(segments, t.s_triggersPerSegment);
    for (std::int32_t s = 0; s < segments; ++s) {
        rt::IntArray::set(t.s_segmentCurve, s, in.nextSigned());
        rt::IntArray::set(t.s_segmentHeight, s, in.nextSigned());
        rt::ByteArray::set(t.s_segmentEdgeFlags, s, in.nextSigned());
        rt::ByteArray::set(t.s_segmentAttributes, 2 * s, in.nextSigned());
        rt::ByteArray::set(t.s_segmentAttributes, 2 * s + 1, in.nextSigned());
        for (std::int32_t j = 0; j < t.s_triggersPerSegment; ++j)
            rt::ShortArray::set(t.s_triggerCodes, s * t.s_triggersPerSegment + j, in.nextShort());
    }
}

void loadPictures(Bytes& in) {
    game::RoadImageStatics& images = game::roadImageStatics();
    const std::int32_t surfaces = 1 + in.next() % 3;
    const std::uint32_t width = 1 + in.next() % 64;
    const std::uint32_t height = 1 + in.next() % 16;
    images.s_backgroundRows = rt::newObjectArray(surfaces);
    for (std::int32_t k = 0; k < surfaces; ++k) {
        const datakit::Picture picture =
            datakit::roadSurfacePicture({}, width, height, static_cast<std::uint32_t>(k));
        rt::ObjectArray::set(
            images.s_backgroundRows, k,
            game::buildGradientImage(testing_support::argbPixels(picture), static_cast<std::int32_t>(width),
                                     static_cast<std::int32_t>(height), 64, 100, 900, 0x101015, k * 40));
    }
    game::computeRoadImageLaneWidths();
    const std::uint32_t side = 1 + in.next() % 40;
    images.s_backgroundWidth = images.s_backgroundHeight = static_cast<std::int32_t>(side);
    images.s_sliceObjectPixels = rt::newObjectArray(3);
    const auto blocks = datakit::laneObjectPictures(side);
    for (std::int32_t i = 0; i < 3; ++i)
        rt::ObjectArray::set(images.s_sliceObjectPixels, i,
                             testing_support::argbPixels(blocks[static_cast<std::size_t>(i)]));
}

void loadCars(Bytes& in) {
    const std::int32_t count = in.next() % 12;
    game::RaceStatics& race = game::raceStatics();
    race.s_racers = rt::newObjectArray(count);
    race.s_raceObjects = rt::newObjectArray(0);
    for (std::int32_t i = 0; i < count; ++i) {
        game::cEntity* car = game::cEntity::cEntityWithType(1);
        car->m_active = 1;
        car->m_segment = in.next() % game::trackStatics().s_segmentCount;
        car->m_segmentPos = static_cast<std::uint16_t>(in.nextShort()) % 1024;
        car->m_lateral = in.nextShort();
        car->m_type = in.next() % 3;
        rt::ObjectArray::set(race.s_racers, i, car);
    }
}

void loadObjects(Bytes& in) {
    game::ViewPassStatics& v = game::viewPassStatics();
    v.s_movingObjectId = in.next();
    v.s_movingObjectDX[0] = v.s_movingObjectDX[1] = in.nextSigned();
    v.s_gateDone = rt::newByteArray(game::trackStatics().s_segmentCount);
    const std::int32_t effects = in.next() % 4;
    game::zoomPoolStatics().s_poolRecordList = rt::newIntArray(4 * effects);
    for (std::int32_t i = 0; i < 4 * effects; ++i)
        rt::IntArray::set(game::zoomPoolStatics().s_poolRecordList, i, in.nextShort() * 4099);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    fuzzing::QuietLog quiet;
    fuzzing::GuardedScreen guarded;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 23, 1 << 25}};
    platform::installPlatform(runtime);
    testing_support::setUpRaceScene();
    // The event slots a race always has: event 0, track 0, variant 0.
    game::EventSlotStatics& slots = game::eventSlotStatics();
    slots.s_currentEvent = 0;
    slots.s_eventTrack = rt::newByteArray(game::kEventSlots);
    slots.s_eventVariant = rt::newByteArray(game::kEventSlots);
    game::loopStatics().s_graphics = guarded.makeImage()->getGraphics();

    Bytes in(data, size);
    game::TrackStatics& t = game::trackStatics();
    const std::int32_t segments = 1 + in.next() % 48;
    const std::uint8_t laneByte = in.next();
    t.s_laneCount = laneByte >> 4;
    t.s_roadHalfWidth = 50 + in.next() * 8;
    t.s_laneWidth = 2 * t.s_roadHalfWidth / (t.s_laneCount > 0 ? t.s_laneCount : 1);
    t.s_triggersPerSegment = in.next() % 5;
    const std::int32_t backdropFrames = in.next() % 4;
    const std::int32_t scroll = in.nextSigned() * 4;
    t.s_trackAmbience = in.next() % 3;
    const std::int32_t hazeWidth = in.next() * 4;
    game::ViewPassStatics& v = game::viewPassStatics();
    v.s_cameraHeight = 40 + in.next() * 8;
    v.s_cameraYaw = in.nextSigned() * 4;
    const std::int32_t speed = in.next() * 2;
    loadRing(in, segments);
    t.s_trackStyle = rt::newIntArray(14);
    rt::IntArray::set(t.s_trackStyle, 5, 0x5090E0);
    loadPictures(in);
    loadCars(in);
    loadObjects(in);
    if (backdropFrames > 0) {
        datakit::SpriteModel model = datakit::panoramaSprite(320, {0x607080, 0x305030, 0x404048});
        model.frames.resize(static_cast<std::size_t>(backdropFrames));
        testing_support::installSpriteModel(model, kBackdropSlot);
        game::setBackdrop(kBackdropSlot);
        game::raceSceneStatics().s_backdropScrollX = scroll;
    }
    if (hazeWidth > 0)
        game::raceSceneStatics().s_hazeImage =
            platform::javax_microedition_lcdui_Image::createImage(hazeWidth, 8);

    for (int frame = 0; frame < kFrames; ++frame) {
        std::int32_t pos = v.s_cameraSegmentPos + speed;
        v.s_cameraSegment = (v.s_cameraSegment + pos / 1024) % segments;
        v.s_cameraSegmentPos = pos % 1024;
        game::stateStatics().s_messageCount += 2;
        game::runViewPass(true);
        if (frame % 50 == 49) {
            game::raceStatics().s_startPhase = 6;
            game::startSequenceStatics().s_startPhaseTimer = 650;
            game::paintRaceStart();
        } else {
            game::paintRaceScene();
        }
    }
    fuzzing::check(guarded.guardsHold());
    game::loopStatics().s_graphics = nullptr;
    return 0;
}
