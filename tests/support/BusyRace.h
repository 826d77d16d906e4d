#pragma once

// A busy race for the whole-frame tests, the benchmark and the roadside
// fuzz harness, made from datakit's bytes read through the game's loaders:
// a ring of 36 segments with bends both ways and a crest, walls on both
// sides over both bends and banks on the last straight, section models (an obstacle, a sign, a
// timing board), scenery strips beside the road, lane objects, an item box,
// and ten computer cars in one colour spread over the road ahead. The race
// presentation is set up as the race loader sets it up.
//
// Call `setUpRaceScene` (RaceSceneSetup.h) first, on a runtime with the
// platform installed and a screen Graphics in the loop statics.

#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/race/EntryReader.h"
#include "game/race/RaceImages.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RacePresentation.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadImages.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "platform/lcdui/Image.h"
#include "tests/support/RaceSceneSetup.h"
#include "tools/datakit/RacePictures.h"
#include "tools/datakit/TrackRing.h"
#include "tools/datakit/TrackRoadside.h"

#include <cstdint>
#include <vector>

namespace testing_support {

inline constexpr std::int32_t kBusyCars = 10;
// Segments 0..29 carry walls: the left bend (6..11) and the right (24..29).
inline constexpr std::int32_t kBusyWalledSegments = 30;
inline constexpr std::int32_t kBusyCarSet = 45;
inline constexpr std::int32_t kBusyBackdropSlot = 60;
inline constexpr std::uint32_t kBusySky = 0x5090E0;
inline constexpr std::uint32_t kBusyCarColour = 0x20C0C0;
inline constexpr std::uint32_t kBusyWallEven = 0xC03030;
inline constexpr std::uint32_t kBusyWallOdd = 0x902060;
inline constexpr std::uint32_t kBusyVergeEven = 0x208020;
inline constexpr std::uint32_t kBusyVergeOdd = 0x30A030;
// The item box's lane and its entry: value 1, every lap.
inline constexpr std::int32_t kBusyItemBoxLane = 4;
inline constexpr std::int32_t kBusyItemBoxEntry = static_cast<std::int32_t>(0xFF048001u);

// Reads `model` through the track loader as the race's track; false when
// the loader refuses it.
inline bool loadTrackModel(const datakit::TrackModel& model) {
    game::startupStatics().s_objectFlags = rt::newObjectArray(92);
    lib::java_util_Random::seedSharedRandom(1);
    game::EntryReader reader(datakit::writeTrack(model), "track pack");
    reader.skip(game::kWireModelBytes);
    return game::loadTrackEntry(reader, 1);
}

// A model that stands beside the road: a coloured post and a panel.
inline std::vector<datakit::SectionPrimitive> postModel(std::uint8_t red, std::uint8_t green,
                                                        std::uint8_t blue) {
    return {datakit::colourPrimitive(red, green, blue),
            datakit::rectanglePrimitive(100, 200, 0, 140, 200, 500),
            datakit::linePrimitive(100, 200, 500, 400, 200, 500),
            datakit::polygonPrimitive(datakit::section_bits::kAnchoredOnEdge, {100, 200, 500},
                                      {400, 200, 500}, {400, 200, 700})};
}

// The busy ring: bends of 60 degrees both ways, a crest, four lanes; the
// roadside described above. Codes: lane objects on every third segment,
// an obstacle (model 4) on segment 7, a sign on 5, a timing board on 10 and
// the item box on 4.
inline datakit::TrackModel busyTrackModel() {
    datakit::TrackRing ring;
    ring.straight(6).left(60, 6).slope(6, 3).slope(-8, 3).straight(6).right(60, 6).straight(6);
    datakit::TrackModel model = ring.model(600, 400, 4);
    model.styleColours[0] = kBusySky;
    model.styleColours[2] = 0xB0B8C0; // ground fog
    model.styleColours[4] = 0xA0A8B0; // wall fog
    model.sideProfiles.front().colours = {kBusyVergeEven, kBusyVergeOdd, 0x806040};
    const auto segments = static_cast<std::int32_t>(model.segments.size());
    for (std::int32_t s = 0; s < segments; ++s) {
        std::vector<std::int16_t>& codes = model.segments[static_cast<std::size_t>(s)].triggers;
        codes.assign(2, 0);
        if (s % 3 == 0)
            codes[0] = static_cast<std::int16_t>(s % 2 ? 0x4001 : 0xA001);
    }
    model.segments[7].triggers[1] = 0x1004;
    model.segments[5].triggers[1] = 0x5003;
    model.segments[10].triggers[1] = 0x7003;
    model.segments[4].triggers[1] = 0x2001;

    datakit::TrackRoadside roadside;
    roadside.fogStart = 12000;
    roadside.wallKinds = {{.sides = datakit::wall_bits::kLeft | datakit::wall_bits::kRight,
                           .height = 300,
                           .evenColour = kBusyWallEven,
                           .oddColour = kBusyWallOdd}};
    roadside.walls.assign(static_cast<std::size_t>(segments), 0);
    std::vector<std::int8_t> banks(static_cast<std::size_t>(segments), 0);
    for (std::int32_t s = 0; s < segments; ++s) {
        if (s < kBusyWalledSegments)
            roadside.walls[static_cast<std::size_t>(s)] = datakit::wallByte(0);
        else
            banks[static_cast<std::size_t>(s)] = datakit::bankByte(24, s % 2 == 0);
    }
    roadside.banks = banks;
    roadside.sectionModels.assign(9, {});
    roadside.sectionModels[4] = postModel(200, 200, 40);
    roadside.sectionModels[7] = postModel(240, 240, 240);
    roadside.sectionModels[8] = postModel(40, 40, 200);
    for (std::int32_t s = 0; s < segments; ++s)
        roadside.strips.push_back(
            {.segment = static_cast<std::int16_t>(s), .slot = 0, .lateral = 1400, .position = 0, .link = 0});
    datakit::putRoadside(model, roadside);
    return model;
}

// A car body: a 40 x 20 box standing on its origin, in `kBusyCarColour`,
// as every one of the 30 frames the car painters draw from.
inline datakit::SpriteModel busyCarSprite() {
    datakit::SpriteModel model;
    model.format = datakit::sprite_bits::kPixelSection | datakit::sprite_bits::kModuleSizeShorts |
                   datakit::sprite_bits::kOffsetShorts | datakit::sprite_bits::kAFrameOffsetShorts;
    datakit::SpritePixels pixels;
    pixels.colourCount = 2;
    pixels.palettes = {{0x00000000u, 0xFF000000u | kBusyCarColour}};
    pixels.encoding = 0x56F2;
    pixels.indexes.emplace_back(std::size_t{40} * 20, 1);
    model.pixels = std::move(pixels);
    model.modules.push_back({.type = 0, .width = 40, .height = 20, .params = {}});
    model.fmodules.push_back({.module = 0, .x = -20, .y = -20, .flags = 0});
    for (int f = 0; f < 30; ++f)
        model.frames.push_back({.fmoduleCount = 1, .firstFModule = 0});
    return model;
}

// Where car `i` stands in frame `frame`: ahead of the camera, which moves
// 37 units a frame, spread over the next eight segments and three lanes.
inline void placeBusyCar(game::cEntity* car, std::int32_t i, std::int32_t frame) {
    const std::int32_t ring = game::trackStatics().s_segmentCount * 1024;
    const std::int32_t at = (frame * 37 + 700 + i * 640 + (frame * (i % 4)) % 300) % ring;
    car->m_segment = at / 1024;
    car->m_segmentPos = at % 1024;
    car->m_lateral = (i % 3 - 1) * 350;
}

// Ten new computer cars of the car set as the racers, placed for frame 0,
// no race objects.
inline void makeBusyCars() {
    game::RaceStatics& r = game::raceStatics();
    r.s_racers = rt::newObjectArray(kBusyCars);
    r.s_raceObjects = rt::newObjectArray(0);
    for (std::int32_t i = 0; i < kBusyCars; ++i) {
        game::cEntity* car = game::cEntity::cEntityWithType(1);
        car->m_active = 1;
        car->m_spriteSet = kBusyCarSet;
        car->m_heldItem = -1;
        car->m_racerIndex = i;
        car->m_racePosition = i + 1;
        placeBusyCar(car, i, 0);
        rt::ObjectArray::set(r.s_racers, i, car);
    }
}

// The event, players, pictures, backdrop, haze and cars of the busy race on
// `track` (the busy track unless given), then the race presentation's
// set-up. False when the track does not load.
inline bool setUpBusyRace(const datakit::TrackModel& track = busyTrackModel()) {
    if (!loadTrackModel(track))
        return false;
    game::EventSlotStatics& slots = game::eventSlotStatics();
    slots.s_eventTrack = rt::newByteArray(1);
    slots.s_eventVariant = rt::newByteArray(1);
    slots.s_eventType = rt::newByteArray(1);
    rt::IntArray* entries = rt::newIntArray(2);
    rt::IntArray::set(entries, 1, kBusyItemBoxEntry);
    rt::ObjectArray* variants = rt::newObjectArray(1);
    rt::ObjectArray::set(variants, 0, entries);
    game::eventStatics().s_dynamicTriggers = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, variants);
    game::createAnimPlayers();
    game::resetTrackTriggers();

    game::RoadImageStatics& images = game::roadImageStatics();
    const auto surfaces = datakit::kerbSurfacePictures({}, 64, 32);
    images.s_backgroundRows = rt::newObjectArray(2);
    for (std::int32_t k = 0; k < 2; ++k)
        rt::ObjectArray::set(images.s_backgroundRows, k,
                             game::buildGradientImage(argbPixels(surfaces[static_cast<std::size_t>(k)]), 64,
                                                      32, 96, 100, 900, 0x101015, 0));
    game::computeRoadImageLaneWidths();
    images.s_backgroundWidth = images.s_backgroundHeight = 32;
    images.s_sliceObjectPixels = rt::newObjectArray(3);
    const auto blocks = datakit::laneObjectPictures(32);
    for (std::int32_t i = 0; i < 3; ++i)
        rt::ObjectArray::set(images.s_sliceObjectPixels, i, argbPixels(blocks[static_cast<std::size_t>(i)]));
    game::RaceImageStatics& race = game::raceImageStatics();
    race.s_sceneryWidth = race.s_sceneryHeight = 8;
    race.s_sceneryPixels = rt::newIntArray(64);
    for (std::int32_t i = 0; i < 64; ++i)
        rt::IntArray::set(race.s_sceneryPixels, i,
                          static_cast<std::int32_t>(i % 3 ? 0x70806040u : 0x70C0A080u));

    installSpriteModel(datakit::panoramaSprite(320, {0x607080, 0x305030, 0x404048}), kBusyBackdropSlot);
    game::setBackdrop(kBusyBackdropSlot);
    const datakit::Picture haze = datakit::hazePicture(160, 24, 0xC0C8D8);
    game::raceSceneStatics().s_hazeImage =
        platform::javax_microedition_lcdui_Image::createRGBImage(argbPixels(haze), 160, 24, true);

    installSpriteModel(busyCarSprite(), kBusyCarSet);
    for (std::int32_t f : {2, 5, 13, 16})
        game::cacheZoomedFrame2(kBusyCarSet, f);
    makeBusyCars();
    game::stateStatics().s_state = game::State::Race;
    game::setupRacePresentation();
    return true;
}

// One frame further: the camera 37 units on, the cars placed anew.
inline void stepBusyRace(std::int32_t frame) {
    game::ViewPassStatics& v = game::viewPassStatics();
    const std::int32_t at = frame * 37 % (game::trackStatics().s_segmentCount * 1024);
    v.s_cameraSegment = at / 1024;
    v.s_cameraSegmentPos = at % 1024;
    for (std::int32_t i = 0; i < kBusyCars; ++i)
        placeBusyCar(game::racerAt(i), i, frame);
    game::stateStatics().s_messageCount += 2;
}

} // namespace testing_support
