#pragma once
// What the driving tests share: a track ring built by datakit's ring
// builder and loaded through the track loader, the driving tables, a car
// with given speed steps and gear times, and game keys held or pressed.

#include "game/framework/Keys.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntryReader.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"
#include "tools/datakit/TrackRing.h"

#include <initializer_list>
#include <vector>

namespace race_testing {

struct DrivingTest : RaceDataTest {
    DrivingTest() {
        game::initDrivingTables();
        game::config().s_keyCounters = 0;
        keys({}, {});
    }
    ~DrivingTest() override { keys({}, {}); }

    // Loads `ring` as the current track.
    static void loadRing(const datakit::TrackRing& ring, std::uint16_t halfWidth = 1000,
                         std::uint16_t margin = 400) {
        Bytes entry = datakit::writeTrack(ring.model(halfWidth, margin));
        game::EntryReader reader(std::move(entry), "track pack");
        reader.skip(game::kWireModelBytes);
        ASSERT_TRUE(game::loadTrackEntry(reader, 1));
    }

    static rt::IntArray* ints(std::initializer_list<std::int32_t> values) {
        rt::IntArray* a = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        std::int32_t i = 0;
        for (std::int32_t v : values)
            rt::IntArray::set(a, i++, v);
        return a;
    }

    // A car of `type` with speed steps (km/h, step 0 first) and one gear
    // time for every gear, in first gear at rest on segment 0, half-width
    // 150, braking 40000.
    static game::cEntity* makeCar(std::int32_t type, std::initializer_list<std::int32_t> kmh,
                                  std::int32_t gearTime) {
        game::cEntity* car = game::cEntity::cEntityWithType(type);
        car->m_stats = rt::newIntArray(static_cast<std::int32_t>(kmh.size()));
        car->m_gearTable = rt::newIntArray(static_cast<std::int32_t>(kmh.size()));
        std::int32_t i = 0;
        for (std::int32_t v : kmh) {
            rt::IntArray::set(car->m_stats, i, game::kmhToSpeed(v));
            rt::IntArray::set(car->m_gearTable, i++, gearTime);
        }
        car->m_widthProfile = ints({150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150});
        car->m_defValues[1] = 40000;
        car->m_gear = 1;
        car->m_aiTuning[1] = 100;
        car->m_aiTuning[2] = 100;
        car->m_lap = 1;
        return car;
    }

    // A player's script: steer towards a heading that brings the car back
    // to the centre line, brake while the car points well off the road or
    // runs near an edge too fast, shift up when the gear is pulled out.
    static void steerScript(const game::cEntity* car) {
        const std::int32_t want = -car->m_lateral / 6;
        const std::int32_t error = want - car->m_heading;
        std::vector<std::int32_t> held;
        if (error < -6)
            held.push_back(3);
        else if (error > 6)
            held.push_back(4);
        const std::int32_t off = car->m_heading < 0 ? -car->m_heading : car->m_heading;
        const std::int32_t wide = car->m_lateral < 0 ? -car->m_lateral : car->m_lateral;
        if ((off > 80 || wide > 650) && car->m_speed > game::kmhToSpeed(100))
            held.push_back(16);
        keys(held, {});
    }

    // This frame's game keys: those held and those pressed (pressed keys
    // are held too).
    static void keys(const std::vector<std::int32_t>& held, const std::vector<std::int32_t>& pressed) {
        game::KeyStatics& k = game::keyStatics();
        k.s_keysHeld = 0;
        k.s_keysPressed = 0;
        k.s_keysReleased = 0;
        for (std::int32_t key : held)
            k.s_keysHeld |= 1 << key;
        for (std::int32_t key : pressed) {
            k.s_keysHeld |= 1 << key;
            k.s_keysPressed |= 1 << key;
        }
    }
};

} // namespace race_testing
