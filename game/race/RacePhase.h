#pragma once
// The race phase: as the player's progress passes the start, the first,
// second and last third of the race, the computer drivers' catch-up modes
// (`m_aiMode`, ComputerDriver.h) are changed at a fixed interval by whether
// the player gained or lost places since the last decision. The interval
// is read on the device clock (`raceNowMs`), not on race time: a decision
// acts once strictly more than its interval has passed.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kAiModeRecovered = 1;
inline constexpr std::int32_t kAiModeHeld = 2;
inline constexpr std::int32_t kAiModePushed = 3;
inline constexpr std::int32_t kAiModeRacePace = 4;
// Progress in segments below which the race stays at its start phase.
inline constexpr std::int32_t kPhaseStartSegments = 21;
// The track distance a held or pushed car must lie from the player.
inline constexpr std::int32_t kPhaseModeGap = 8192;

struct RacePhaseStatics {
    // 0 start, 1 first third, 2 second third, 3 last third.
    std::int32_t s_racePhase = 0;
    // Device milliseconds of the last decision; -1 not yet stamped.
    std::int64_t s_phaseStamp = -1;
    // The player's place at the last decision.
    std::int32_t s_phasePosition = 0;
    // Milliseconds between decisions in phases 0 to 3.
    std::int32_t s_phaseInterval[4] = {3500, 3500, 2500, 1500};

    RT_NO_REFERENCE_FIELDS(RacePhaseStatics, rt::NoReferenceBase)
};

RacePhaseStatics& racePhaseStatics();

class cEntity;

// The car whose place is `place`, null when none is.
cEntity* carAtPlace(std::int32_t place);
// The phase of the race by the player's progress: 0 below 21 segments
// (or before the start line), then 1 to 3 for the thirds of the race.
std::int32_t phaseOfProgress(const cEntity* player);
// The device clock in milliseconds (the race's seam, RaceEntity.h, when a
// test installs one).
std::int64_t raceNowMs();
// Back to phase 0, not stamped.
void resetRacePhase();
// One decision step, after the player's car has moved.
void updateRacePhase();
// The first car behind the player, walking back from the next place, not
// yet pushed and more than 8191 track units behind, is pushed (mode 3).
void setModeBehindPlayer();
// The first car ahead, walking up to the leader, not yet held and at least
// 8192 units ahead, is held (mode 2).
void setModeAheadOfPlayer();

} // namespace game
