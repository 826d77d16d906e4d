#include "game/race/HudState.h"

#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/cEntity.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/OrvelLibPlayer.h"
#include "game/sprite/TextLayout.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The intro's length in ms and the two offsets it starts from.
constexpr std::int32_t kIntroTime = 800;
constexpr std::int32_t kIntroSlideA = 100;
constexpr std::int32_t kIntroSlideB = 160;

constexpr std::int32_t kRaceOnlyBits = hud_bits::kStopZoneTime | hud_bits::kSectionTime |
                                       hud_bits::kSecondSectionTime | hud_bits::kEventTimes |
                                       hud_bits::kScore | hud_bits::kStopGo | hud_bits::kPoints;
constexpr std::int32_t kNotInGuideBits =
    hud_bits::kRacerStrip | hud_bits::kLapCounter | hud_bits::kCollectedGauge;

// The finish overlay's sprite, and the outro's step of its animation in ms.
constexpr std::int32_t kFinishSprite = 15;
constexpr std::int32_t kFinishAnimationStep = 50;

OrvelLibPlayer* finishPlayer() {
    rt::Object* object = hudStateStatics().s_finishPlayer;
    return object && object->classId() == OrvelLibPlayer::kClassId ? static_cast<OrvelLibPlayer*>(object)
                                                                   : nullptr;
}

// One more paint of a split on show; after its last it leaves.
void countSplitPaint(std::int32_t& timer) {
    if (timer < 0)
        return;
    ++timer;
    if (timer >= kSplitShownPaints)
        timer = -1;
}

} // namespace

HudStateStatics& hudStateStatics() {
    return rt::getStaticClass().statics<HudStateStatics>();
}

void setHudPhase(std::int32_t phase) {
    hudStatics().s_hudPhase = phase;
}

void updateHudIntro(std::int32_t dt) {
    HudStatics& h = hudStatics();
    if (h.s_hudPhase == 1) {
        h.s_hudIntroTime -= dt;
        h.s_hudSlideA = h.s_hudIntroTime * kIntroSlideA / kIntroTime;
        h.s_hudSlideB = h.s_hudIntroTime * kIntroSlideB / kIntroTime;
        if (h.s_hudIntroTime < 1) {
            h.s_hudIntroTime = 0;
            h.s_hudSlideA = 0;
            h.s_hudSlideB = 0;
            h.s_hudPhase = 2;
        }
    } else if (h.s_hudPhase == 2 && (h.s_hudElements & hud_bits::kLapDisplay) != 0) {
        std::int32_t& shown = raceFrameStatics().s_lapShowTimer;
        if (shown > 0)
            shown = shown - dt < 0 ? 0 : shown - dt;
    }
}

bool isHudElementShown(std::int32_t bit) {
    const HudStatics& h = hudStatics();
    if (h.s_hudPhase == 0 || (h.s_hudElements & bit) == 0)
        return false;
    if ((bit & kRaceOnlyBits) != 0 && stateStatics().s_state != State::Race)
        return false;
    return (bit & kNotInGuideBits) == 0 || stateStatics().s_gameMode != GameMode::Guided;
}

std::int32_t hudItemSlot() {
    const cEntity* player = racerStatics().s_playerCar;
    if (eventGoalStatics().s_guideStep == 6)
        return 3;
    return player ? player->m_itemSlot : -1;
}

void hudViewPass() {
    cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return;
    if (isHudElementShown(hud_bits::kCollectedGauge)) {
        std::int32_t& shown = hudStateStatics().s_collectedShown;
        if (shown < player->m_collected)
            ++shown;
        else if (shown > player->m_collected)
            --shown;
    }
    if (isHudElementShown(hud_bits::kItemPanel)) {
        const std::int32_t slot = player->m_itemSlot;
        if ((slot == 0 || slot == 3 || slot == 6) && player->m_heldItem == -1 && player->m_itemTimer < 1)
            player->m_itemSlot = -1;
    }
}

void hudClosingPass() {
    setShakeOffset(0, 0);
    if (isHudElementShown(hud_bits::kSplitTimes)) {
        RaceEntityStatics& e = raceEntityStatics();
        countSplitPaint(e.s_splitShownTimer);
        countSplitPaint(e.s_splitDeltaTimer);
    }
    cEntity* player = racerStatics().s_playerCar;
    if (player && isHudElementShown(hud_bits::kItemPanel) && hudItemSlot() == -1 &&
        player->m_offeredItem != -1 && player->m_offerTimer >= 1)
        player->m_offerTimer -= raceStatics().s_raceFrameTime;
}

void startFinishAnimation() {
    HudStateStatics& s = hudStateStatics();
    auto* player = rt::make<OrvelLibPlayer>();
    rt::Object* sprite = spriteAt(kFinishSprite);
    player->initWithSprite(sprite && sprite->classId() == ASprite::kClassId ? static_cast<ASprite*>(sprite)
                                                                            : nullptr,
                           s.s_finishX, s.s_finishY);
    if (player->getAFrameCount() > 0) {
        player->m_aframe = 0;
        player->m_time = 0;
    }
    s.s_finishPlayer = player;
}

bool advanceFinishAnimation() {
    OrvelLibPlayer* player = finishPlayer();
    if (!player)
        return true;
    player->update(kFinishAnimationStep);
    return player->isOver();
}

} // namespace game
