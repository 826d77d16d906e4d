#include "game/race/StartSequence.h"

#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/cEntity.h"
#include "game/sprite/TextLayout.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The shake of a boosted start.
constexpr std::int32_t kBoostShakeTime = 5000;
// One second of boost on the press.
constexpr std::int32_t kBoostPress = 4096;

void clearBoost() {
    startSequenceStatics().s_startBoostActive = 0;
    drivingStatics().s_raceBoostTimer = 0;
}

// A counting phase's timer: once it has run out (and, while music plays,
// its second timer too) the next phase starts.
void runPhaseTimer(std::int32_t elapsed) {
    StartSequenceStatics& u = startSequenceStatics();
    u.s_startPhaseTimer -= elapsed;
    if (u.s_startPhaseTimer >= 1)
        return;
    u.s_startPhaseTimer = 0;
    u.s_startMusicWait -= elapsed;
    if (!isMusicActive() || u.s_startMusicWait < 0)
        setStartPhase(raceStatics().s_startPhase + 1);
}

void runBoost(cEntity* player, std::int32_t elapsed) {
    StartSequenceStatics& s = startSequenceStatics();
    if (!s.s_startBoostActive)
        return;
    std::int32_t& boost = drivingStatics().s_raceBoostTimer;
    boost += (elapsed << 12) / 1000;
    if (boost > s.s_startBoostMax) {
        boost = s.s_startBoostMax;
        s.s_startBoostActive = 0;
    }
    // The car's boost follows the capped time, so it never passes twice the cap.
    if (player)
        player->m_boostTimer = 2 * boost;
}

bool boostPressed() {
    return isKeyPressed(kSelectKey) || isKeyPressed(kFireKey) || isPointerOnBottomButton();
}

} // namespace

StartSequenceStatics& startSequenceStatics() {
    return rt::getStaticClass().statics<StartSequenceStatics>();
}

void stepState41() {
    RaceStatics& race = raceStatics();
    StartSequenceStatics& s = startSequenceStatics();
    cEntity* player = racerStatics().s_playerCar;
    const std::int32_t elapsed = loopStatics().s_frameMs;
    updateShake(race.s_raceFrameTime);
    runBoost(player, elapsed);
    const std::int32_t before = race.s_startPhase;
    switch (before) {
    case 0:
        clearBoost();
        setStartPhase(1);
        if (hudStatics().s_hudPhase != 2) {
            HudStatics& hud = hudStatics();
            hud.s_hudIntroTime = 800;
            hud.s_hudSlideA = 100;
            hud.s_hudSlideB = 160;
            setHudPhase(1);
        }
        break;
    case 1:
        // A sprint's count starts one phase earlier.
        if (hudStatics().s_hudPhase == 2)
            setStartPhase(currentEventType() == EventType::Sprint ? kFirstCountPhase : kFirstCountPhase + 1);
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        runPhaseTimer(elapsed);
        break;
    case kGoPhase:
        runPhaseTimer(elapsed);
        if (race.s_startPhase == kGoPhase && startSequenceStatics().s_startPhaseTimer >= 1 &&
            !s.s_startBoostActive && drivingStatics().s_raceBoostTimer == 0 && boostPressed()) {
            requestShake(kBoostShakeTime, 0, 1, 1);
            if (player)
                player->m_boostTimer = kBoostPress;
            s.s_startBoostActive = 1;
        }
        break;
    case kRacePhase:
        clearBoost();
        pushState(State::Race);
        break;
    default:
        break;
    }
    const std::int32_t now = race.s_startPhase;
    if (now != before && now >= kFirstCountPhase && now <= kGoPhase)
        playSound(0, now == kGoPhase ? kGoSound : kCountSound, 0, kStartSoundPriority);
    if (player)
        checkSurface(player, elapsed);
}

void setStartPhase(std::int32_t phase) {
    raceStatics().s_startPhase = phase;
    if (phase < 2 || phase > 6)
        return;
    StartSequenceStatics& u = startSequenceStatics();
    u.s_startPhaseTimer = 1000;
    u.s_startCount = (6 - phase) * 1000;
    u.s_startMusicWait = 1000;
}

} // namespace game
