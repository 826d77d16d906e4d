#pragma once
// What the opponent tests share: a field of cars placed by hand on a ring
// of a given segment count (list order is race order), and the device
// clock that the race's interval decisions read (`raceNowMs`), held by the
// test from 0.

#include "game/race/ComputerDriver.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "runtime/Runtime.h"
#include "tests/game/race/DrivingFixture.h"
#include "tests/support/SettableClock.h"

#include <vector>

namespace race_testing {

// The runtime's clock, whose tick the device clock reads.
inline testing_support::SettableClock& deviceClock() {
    return dynamic_cast<testing_support::SettableClock&>(*rt::Runtime::current().clock());
}

struct Place {
    std::int32_t lap, segment, position = 512, lateral = 0;
};

struct OpponentsTest : DrivingTest {
    OpponentsTest() { deviceClock().setTick(0); }

    // A ring of `segments` segments for a race of `laps` laps (no track
    // data beyond the count).
    static void ring(std::int32_t segments, std::int32_t laps) {
        game::trackStatics().s_segmentCount = segments;
        game::raceStatics().s_laps = laps;
        game::raceStatics().s_totalSegments = segments * laps;
    }

    // Cars in race order at the given places; car `player` is the player's.
    static std::vector<game::cEntity*> field(const std::vector<Place>& places, std::size_t player) {
        std::vector<game::cEntity*> cars;
        auto n = static_cast<std::int32_t>(places.size());
        game::raceStatics().s_racers = rt::newObjectArray(n);
        for (std::int32_t i = 0; i < n; ++i) {
            const Place& p = places[static_cast<std::size_t>(i)];
            game::cEntity* car = makeCar(static_cast<std::size_t>(i) == player ? 0 : 1, {0, 100, 200}, 4096);
            car->m_racerIndex = i;
            car->m_racePosition = i;
            car->m_lap = car->m_prevLap = p.lap;
            car->m_segment = car->m_prevSegment = p.segment;
            car->m_segmentPos = car->m_prevSegmentPos = p.position;
            car->m_lateral = car->m_prevLateral = p.lateral;
            car->m_active = 1;
            rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
            cars.push_back(car);
        }
        game::racerStatics().s_playerCar = cars[player];
        return cars;
    }

    // The computer cars of `cars` take the tuning rows of their places.
    static void tune(const std::vector<game::cEntity*>& cars) {
        for (std::size_t i = 0; i < cars.size(); ++i)
            if (cars[i]->m_type == 1)
                game::setAiTuning(cars[i], static_cast<std::int32_t>(i));
    }
};

} // namespace race_testing
