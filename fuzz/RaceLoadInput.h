#pragma once

// How the race load harness reads its input's first byte, shared with the
// writer of its seeds: byte 0 = target + 5 * (race + 3 * choice). Target 0
// is the race's track entry, 1 its event entry, 2 a racer's entry, 3 a
// marked slot of the second sprite table, 4 a sprite of the race's sprite
// table; race 0, 1, 2 is the race set's race on track 0, 3 or 5 (game modes
// 0, 1 and 6); `choice` picks the racer or the sprite. The rest of the
// input replaces the named entry's bytes, header byte included.

#include "game/framework/States.h"
#include "runtime/constantStrings.h"
#include "tools/datakit/RaceSet.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace fuzzing {

inline constexpr int kRaceLoadTargets = 5;
inline constexpr std::array<std::int32_t, 3> kRaceLoadTracks = {0, 3, 5};
inline constexpr std::array<game::GameMode, 3> kRaceLoadModes = {
    game::GameMode::LapRace, game::GameMode::TimeTrial, game::GameMode::Guided};
// Sprites of the race's sprite table: the gate's, the marker, the surface,
// the shadow and two cars (the player's first).
inline constexpr std::array<std::int32_t, 6> kRaceLoadSprites = {
    25, 26, 53, 55, datakit::kRaceSetFirstCar, datakit::kRaceSetFirstCar + 1};

struct RaceLoadTarget {
    // The constant string that names the pack, and the entry.
    std::int32_t pack = 0;
    std::size_t entry = 0;
    std::int32_t track = 0;
    game::GameMode mode = game::GameMode::LapRace;
};

inline RaceLoadTarget raceLoadTarget(std::uint8_t selector) {
    const int target = selector % kRaceLoadTargets;
    const std::size_t race = selector / kRaceLoadTargets % kRaceLoadTracks.size();
    const int choice = selector / (kRaceLoadTargets * static_cast<int>(kRaceLoadTracks.size()));
    RaceLoadTarget t;
    t.track = kRaceLoadTracks[race];
    t.mode = kRaceLoadModes[race];
    switch (target) {
    case 0:
        t.pack = rt::constants::kTrackPack;
        t.entry = static_cast<std::size_t>(t.track);
        break;
    case 1:
        t.pack = rt::constants::kEventPack;
        t.entry = static_cast<std::size_t>(t.track);
        break;
    case 2:
        t.pack = rt::constants::kRacerPack;
        t.entry = static_cast<std::size_t>(choice % datakit::kRaceSetRacers);
        break;
    case 3:
        t.pack = rt::constants::kObjectSpritePack;
        t.entry = static_cast<std::size_t>(datakit::kRaceSetMarkedSlots[static_cast<std::size_t>(choice) %
                                                                        datakit::kRaceSetMarkedSlots.size()]);
        break;
    default:
        t.pack = rt::constants::kSpritePack;
        t.entry = static_cast<std::size_t>(
            kRaceLoadSprites[static_cast<std::size_t>(choice) % kRaceLoadSprites.size()]);
        break;
    }
    return t;
}

inline std::uint8_t raceLoadSelector(int target, int race, int choice) {
    return static_cast<std::uint8_t>(target + kRaceLoadTargets *
                                                  (race + static_cast<int>(kRaceLoadTracks.size()) * choice));
}

} // namespace fuzzing
