// Runs a race on data from the input. The input is three parts, each a
// little-endian u16 length and its bytes: a track entry (wire model
// included), event entry 0 of that track and its zones; the bytes left are
// the game keys held, one byte a step, repeated. Six cars race for 2000
// steps of 0.1 s on that data; when the first key byte has its top bit set
// the race is the guided one instead (game mode 6, two cars), its guide
// moving one step every 200 race steps. After every step each car's place
// is its index in the racer list, its segment lies in the ring and its
// position in the segment in 0..1023.

#include "fuzz/RaceDataHarness.h"
#include "game/data/EventSlots.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/support/CosTable.h"

namespace {

constexpr std::int32_t kCars = 6;
constexpr std::int32_t kGuidedCars = 2;
constexpr std::int32_t kStepsPerGuideStep = 200;
constexpr std::int32_t kSteps = 2000;
constexpr std::int32_t kObjects = 10;

struct Parts {
    std::vector<std::uint8_t> track, event, zones, keys;
};

bool split(const std::uint8_t* data, std::size_t size, Parts& parts) {
    std::size_t at = 0;
    for (std::vector<std::uint8_t>* part : {&parts.track, &parts.event, &parts.zones}) {
        if (size - at < 2)
            return false;
        const std::size_t n = data[at] | data[at + 1] << 8;
        at += 2;
        if (size - at < n)
            return false;
        part->assign(data + at, data + at + n);
        at += n;
    }
    parts.keys.assign(data + at, data + size);
    return true;
}

rt::IntArray* intsOf(std::initializer_list<std::int32_t> values) {
    rt::IntArray* a = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (std::int32_t v : values)
        rt::IntArray::set(a, i++, v);
    return a;
}

std::vector<game::cEntity*> makeField(std::int32_t n) {
    const std::int32_t count = game::trackStatics().s_segmentCount;
    game::raceStatics().s_racers = rt::newObjectArray(n);
    std::vector<game::cEntity*> cars;
    for (std::int32_t i = 0; i < n; ++i) {
        game::cEntity* car = game::cEntity::cEntityWithType(i == n - 1 ? 0 : 1);
        car->m_racerIndex = car->m_racePosition = i;
        car->m_segment = car->m_prevSegment = ((count - 1 - i) % count + count) % count;
        car->m_segmentPos = 512;
        car->m_lateral = i % 2 == 0 ? 250 : -250;
        car->m_active = 1;
        car->m_gear = 1;
        car->m_stats =
            intsOf({0, game::kmhToSpeed(60), game::kmhToSpeed(120), game::kmhToSpeed(200 + 5 * i)});
        car->m_gearTable = intsOf({6144, 6144, 6144, 6144});
        car->m_widthProfile = intsOf({150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 400});
        car->m_defValues[1] = 120000;
        game::setAiTuning(car, i);
        rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
        cars.push_back(car);
    }
    game::racerStatics().s_playerCar = cars.back();
    return cars;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Parts parts;
    if (size > fuzzing::kMaxRaceEntry || !split(data, size, parts) ||
        parts.track.size() < game::kWireModelBytes)
        return 0;
    return fuzzing::runRaceReader(parts.track.data(), parts.track.size(), [&](game::EntryReader& reader) {
        reader.skip(game::kWireModelBytes);
        if (!game::loadTrackEntry(reader, 0) || game::trackStatics().s_segmentCount < 1)
            return;
        game::initEventSlots();
        game::EntryReader event(parts.event, "event pack");
        game::readEventEntry(event, 0, 0);
        game::EntryReader zones(parts.zones, "zone pack");
        game::readZones(zones, 0);

        // The camera turns through the fixed-point pack's cosine table, which
        // start-up always loads.
        testing_support::installCosTable();
        game::initDrivingTables();
        game::initDriverTables();
        game::initZoomAnimPool();
        // The keys come as masks, latched by the harness.
        game::config().s_keyCounters = 0;
        game::stateStatics().s_state = game::State::Race;
        const bool guided = !parts.keys.empty() && (parts.keys[0] & 0x80) != 0;
        game::stateStatics().s_gameMode = guided ? game::GameMode::Guided : game::GameMode::LapRace;
        game::eventGoalStatics().s_guideStep = 0;
        const std::int32_t count = game::trackStatics().s_segmentCount;
        game::RaceStatics& race = game::raceStatics();
        race.s_laps = 3;
        race.s_totalSegments = 3 * count;
        const std::vector<game::cEntity*> cars = makeField(guided ? kGuidedCars : kCars);
        race.s_raceObjects = rt::newObjectArray(kObjects);
        for (std::int32_t i = 0; i < kObjects; ++i)
            rt::ObjectArray::set(race.s_raceObjects, i, game::cEntity::cEntityWithType(2));
        game::resetRaceRun();
        for (std::int32_t step = 0; step < kSteps; ++step) {
            if (guided)
                game::eventGoalStatics().s_guideStep = step / kStepsPerGuideStep;
            game::KeyStatics& k = game::keyStatics();
            const std::int32_t bits =
                parts.keys.empty() ? 0 : parts.keys[static_cast<std::size_t>(step) % parts.keys.size()];
            k.s_keysHeld = bits << (bits & 7);
            k.s_keysPressed = step % 8 == 0 ? k.s_keysHeld : 0;
            game::loopStatics().s_frameMs = 100;
            game::updateRace();
            fuzzing::check(game::racersInRaceOrder());
            for (const game::cEntity* car : cars) {
                fuzzing::check(car->m_segment >= 0 && car->m_segment < count);
                fuzzing::check(car->m_segmentPos >= 0 && car->m_segmentPos < game::kSegmentLength);
            }
        }
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
    });
}
