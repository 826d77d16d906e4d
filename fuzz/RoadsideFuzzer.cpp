// Paints 300 frames of the busy race (tests/support/BusyRace.h) whose
// roadside comes from the input, written by datakit and read through the
// track loader and the race presentation's set-up: the fog start, the wall
// kinds, each segment's wall and bank bytes, section models of every
// primitive type with raw fields, scenery strip records and the event's
// dynamic trigger entries and codes, on a guarded screen (PaintHarness.h):
// no painter may write outside the screen, and the view pass and painters
// must never fail.
//
// Input, bytes taken in order (0 once the input is spent):
//   fog start (2), wall kinds (mod 18, some past the nibble's reach of the
//   colour pairs), each kind's sides, height (2), two colours (3 each);
//   whether there are banks; per segment: wall byte, bank byte, a dynamic
//   code (2); models (mod 10), each primitives (mod 6), each type (mod 8)
//   and 12 fields (2 each); strips (mod 40), each six fields (2 each);
//   dynamic entries (mod 12), each 4 bytes; the game mode's byte and the
//   guide step.

#include "fuzz/Harness.h"
#include "fuzz/PaintHarness.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceTables.h"
#include "game/race/ViewPass.h"
#include "game/racepaint/RacePresentation.h"
#include "game/racepaint/RaceScene.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "tests/support/BusyRace.h"

#include <cstdint>
#include <vector>

namespace {

constexpr int kFrames = 300;

using fuzzing::InputBytes;

datakit::TrackModel roadsideTrack(InputBytes& in, std::vector<std::int16_t>& codes) {
    datakit::TrackModel model = testing_support::busyTrackModel();
    const auto segments = model.segments.size();
    datakit::TrackRoadside roadside;
    roadside.fogStart = static_cast<std::uint16_t>(in.nextShort());
    const int kinds = in.next() % 18;
    for (int k = 0; k < kinds; ++k) {
        datakit::WallKind kind;
        kind.sides = in.next();
        kind.height = in.nextShort();
        kind.evenColour = in.nextColour();
        kind.oddColour = in.nextColour();
        roadside.wallKinds.push_back(kind);
    }
    const bool banks = (in.next() & 1) != 0;
    std::vector<std::int8_t> bankBytes;
    for (std::size_t s = 0; s < segments; ++s) {
        roadside.walls.push_back(static_cast<std::int8_t>(in.next()));
        bankBytes.push_back(static_cast<std::int8_t>(in.next()));
        codes.push_back(in.nextShort());
    }
    if (banks)
        roadside.banks = bankBytes;
    const int models = in.next() % 10;
    for (int m = 0; m < models; ++m) {
        std::vector<datakit::SectionPrimitive> primitives;
        const int count = in.next() % 6;
        for (int p = 0; p < count; ++p) {
            datakit::SectionPrimitive primitive;
            primitive.fields[0] = static_cast<std::int16_t>(in.next() % 8);
            for (std::size_t f = 1; f < primitive.fields.size(); ++f)
                primitive.fields[f] = in.nextShort();
            primitives.push_back(primitive);
        }
        roadside.sectionModels.push_back(primitives);
    }
    const int strips = in.next() % 40;
    for (int s = 0; s < strips; ++s)
        roadside.strips.push_back({.segment = in.nextShort(),
                                   .slot = in.nextShort(),
                                   .lateral = in.nextShort(),
                                   .position = in.nextShort(),
                                   .link = in.nextShort(),
                                   .spare = in.nextShort()});
    datakit::putRoadside(model, roadside);
    return model;
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
    game::loopStatics().s_graphics = guarded.makeImage()->getGraphics();

    InputBytes in(data, size);
    std::vector<std::int16_t> codes;
    const datakit::TrackModel model = roadsideTrack(in, codes);
    if (!testing_support::setUpBusyRace(model)) {
        game::loopStatics().s_graphics = nullptr;
        return 0;
    }
    game::TrackStatics& t = game::trackStatics();
    // A code of 0 keeps the busy track's own; the variant is the event's.
    for (std::size_t s = 0; s < codes.size() && t.s_triggerCodes; ++s)
        if (codes[s] != 0)
            rt::ShortArray::set(t.s_triggerCodes, static_cast<std::int32_t>(s * 2 + 1),
                                static_cast<std::int16_t>(0x2000 | (codes[s] & 0xFF)));
    const std::int32_t entries = in.next() % 12;
    rt::IntArray* table = rt::newIntArray(entries);
    for (std::int32_t i = 0; i < entries; ++i) {
        const std::uint32_t low = static_cast<std::uint16_t>(in.nextShort());
        rt::IntArray::set(table, i,
                          static_cast<std::int32_t>(low | static_cast<std::uint32_t>(in.nextShort()) << 16));
    }
    rt::ObjectArray* variants = rt::newObjectArray(1);
    rt::ObjectArray::set(variants, 0, table);
    rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, variants);
    game::stateStatics().s_gameMode = game::gameModeFromNumber(in.next() % 8);
    game::eventGoalStatics().s_guideStep = in.next() % 11;
    game::setupRacePresentation();

    for (int frame = 0; frame < kFrames; ++frame) {
        testing_support::stepBusyRace(frame);
        game::runViewPass(true);
        game::paintRaceScene();
        game::finishViewPass();
    }
    fuzzing::check(guarded.guardsHold());
    game::loopStatics().s_graphics = nullptr;
    return 0;
}
