#include "game/racepaint/CarEffectLayers.h"

#include "game/framework/CarFrames.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/race/CarViewPass.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/TrackQueries.h"
#include "game/race/cEntity.h"
#include "game/racepaint/CarPainting.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"

#include <algorithm>
#include <iterator>

namespace game {

namespace {

constexpr std::int32_t kZoomTolerance = 128;
constexpr std::int32_t kFlashColour = static_cast<std::int32_t>(0x80000000u);
// The head-up overlay at this priority or above is drawn over the screen's
// top, away from the car.
constexpr std::int32_t kFarOverlayPriority = 999;
constexpr std::int32_t kPlayerHeldItem = 4;
// The layers' smallest scale: a quarter.
constexpr std::int32_t kLayerMinScale = 1024;

ZoomedAnimPlayer* layer(const cEntity* car, std::int32_t n) {
    return asAnimPlayer(car->m_layerPlayers[n - 1]);
}

void paintLayer(const cEntity* car, std::int32_t n, std::int32_t scale) {
    if (ZoomedAnimPlayer* player = layer(car, n))
        player->paint5(car->m_screenX, car->m_screenY, scale, 0);
}

bool isRunning(const cEntity* car, std::int32_t n) {
    const ZoomedAnimPlayer* player = layer(car, n);
    return player && !player->m_stopped;
}

// The picture of a held item at (x, y): the player of item 4, else the held
// item's picture or, for items 2 and 5, its icon.
void paintItemPicture(const cEntity* car, std::int32_t x, std::int32_t y) {
    const std::int32_t scale = car->m_screenScale;
    if (car->m_heldItem == kPlayerHeldItem) {
        if (ZoomedAnimPlayer* player = carPaintStatics().s_heldItemPlayer)
            player->paint5(x, y, scale, 0);
        return;
    }
    if (car->m_heldItem == 2 || car->m_heldItem == 5)
        paintPreZoomedCached(kRaceIconSprite, kHeldItemIconFrame, scale, x, y, 0, false);
    else
        paintPreZoomedCached(kHeldItemSprite, kHeldItemFrame, scale, x, y, 0, false);
}

// The nitro flames at the two exhaust modules of the body frame.
void paintFlames(const cEntity* car) {
    const ASprite* body = tableSprite(car->m_spriteSet);
    if (!body)
        return;
    const std::int32_t s = drivingStatics().s_steerInput;
    const std::int32_t scale = car->m_screenScale;
    const std::int32_t ax = car->m_screenX + scaledOffset(body->getFModuleX(kStraightCarFrame + s, 6), scale);
    const std::int32_t ay = car->m_screenY + scaledOffset(body->getFModuleY(kStraightCarFrame + s, 6), scale);
    const std::int32_t bx = car->m_screenX + scaledOffset(body->getFModuleX(kStraightCarFrame + s, 7), scale);
    const std::int32_t by = car->m_screenY + scaledOffset(body->getFModuleY(kStraightCarFrame + s, 7), scale);
    const std::int32_t flags = s > 0 ? paint_flags::kMirrorX : 0;
    const std::int32_t anim = (s < 0 ? -s : s) / 2;
    const std::int32_t count = loopStatics().s_frameCount;
    ZoomStatics& z = zoomStatics();
    if (car->m_state == CarState::RecolouredNitro)
        z.s_zoomPalette = 1;
    paintZoomedFaded(kNitroFlameSprite, anim, -1, count - 5, scale, bx, by, flags, false, false, 0);
    paintZoomedFaded(kNitroFlameSprite, anim, -1, count - 5, scale, ax, ay, flags, false, false, 0);
    paintZoomedFaded(kNitroFlameSprite, anim, -1, count, scale, bx, by, flags, false, false, 0);
    paintZoomedFaded(kNitroFlameSprite, anim, -1, count, scale, ax, ay, flags, false, false, 0);
    z.s_zoomPalette = 0;
}

// The body frame of the player's car: the steering frame, a frame of the
// ghost animation, or a frame of the spin.
std::int32_t playerBodyFrame(const cEntity* car) {
    const DrivingStatics& d = drivingStatics();
    std::int32_t frame = kStraightCarFrame + d.s_steerInput;
    if (car->m_state == CarState::Ghost) {
        std::int32_t index = d.s_steerInput2;
        if (car->m_stateAnim == 1)
            index = d.s_steerInput >= 2 ? 3 : (d.s_steerInput < -1 ? 2 : 0);
        frame = bodyAnimFrame(car->m_stateAnim, index);
    }
    if (isShakeEffect(car->m_effect)) {
        const bool player = car == racerStatics().s_playerCar;
        const std::int32_t* table = player ? kSpinFramesPlayer : kSpinFramesOther;
        const auto length =
            static_cast<std::int32_t>(player ? std::size(kSpinFramesPlayer) : std::size(kSpinFramesOther));
        const std::int32_t i = d.s_steerInput2 % length;
        frame = table[i < 0 ? i + length : i];
    }
    return frame;
}

} // namespace

std::int32_t scaledOffset(std::int32_t offset, std::int32_t scale) {
    return static_cast<std::int32_t>((std::int64_t{offset} * scale + 2048) >> 12);
}

bool needsZoom(const cEntity* car) {
    return car->m_screenScale < zoom_fp::kOne - kZoomTolerance ||
           car->m_screenScale > zoom_fp::kOne + kZoomTolerance;
}

std::int32_t getSteerFrame(const cEntity* car) {
    if (car->m_state == CarState::Ghost)
        return -1;
    const std::int32_t steer = drivingStatics().s_steerInput;
    // The smoke of a hard turn: one of its side's three frames by the way
    // the car slides.
    const std::int32_t slide = car->m_steerDir == -1 ? 0 : (car->m_steerDir == 1 ? 2 : 1);
    std::int32_t frame = -1;
    if (steer == -4)
        frame = kLastSlideFrame - slide;
    else if (steer == 4)
        frame = kFirstSlideFrame + slide;
    if (steer == 0 && car->m_driveMode == 1 && car->m_effect != CarEffect::KnockOut)
        frame = kCarFlameFrame;
    return frame;
}

bool isFlashShown() {
    const CarPaintStatics& c = carPaintStatics();
    if (c.s_flashTimer <= 0)
        return false;
    // Without a blink phase the flash stays on rather than dividing by zero.
    return c.s_flashTimer < c.s_flashSteady || c.s_flashBlink <= 0 ||
           ((c.s_flashTimer / c.s_flashBlink) & 1) != 0;
}

void paintPlayerCar(const cEntity* car, std::int32_t x, std::int32_t y) {
    const CarPaintStatics& c = carPaintStatics();
    const DrivingStatics& d = drivingStatics();
    if (d.s_playerAuxTimer > 0) {
        if (ASprite* aux = tableSprite(c.s_playerAuxSprite))
            paintAFrameByRatio(aux, c.s_playerAuxAnim, x + c.s_playerAuxOffsetX, y, 0,
                               c.s_playerAuxDuration - d.s_playerAuxTimer, c.s_playerAuxDuration);
    }
    if (isFlashShown()) {
        setFillColor(kFlashColour);
        fillRectAlpha(loopStatics().s_graphics, 0, 0, config().s_gameScreenWidth,
                      config().s_gameScreenHeight);
    }
    const std::int32_t carY = y + c.s_carYOffset;
    if (car->m_height == 0 && car->m_state != CarState::Ghost &&
        (d.s_brakeTimer >= 1 || car->m_sideContact != 0) && car->m_speed > 0)
        paintCarOverlays(car, 2, 0);
    paintCarBody(car, x, carY, playerBodyFrame(car));
    // The player's race effects at its wheels, each while it plays.
    const RaceResourceStatics& r = raceResourceStatics();
    for (ZoomedAnimPlayer* effect : {r.s_raceFxPlayerA, r.s_raceFxPlayerB})
        if (effect)
            effect->paint5(x, carY, car->m_screenScale, 0);
    if (raceStatics().s_raceFinished)
        return;
    paintCarOverlays(car, car->m_height == 0 ? 1 : 0, c.s_carYOffset);
    if (car->m_carFlags[2] && !car->m_knocked)
        paintCarOverlays(car, 4, c.s_carYOffset);
    if (d.s_hudFlashAnim >= 0) {
        if (d.s_hudFlashPriority >= kFarOverlayPriority) {
            const cEntity* player = racerStatics().s_playerCar;
            if (c.s_hudFlashFarSprite && player)
                paintAFrameByRatio(c.s_hudFlashFarSprite, d.s_hudFlashAnim, player->m_screenX,
                                   player->m_screenY + 30, 0, d.s_hudFlashTime, d.s_hudFlashDuration);
        } else if (c.s_hudFlashSprite && c.s_playerCarSprite) {
            const std::int32_t module = d.s_hudFlashAnim != 0 ? 1 : 0;
            std::int32_t dx = c.s_playerCarSprite->getFModuleX(kStraightCarFrame + d.s_steerInput, module);
            std::int32_t dy = c.s_playerCarSprite->getFModuleY(kStraightCarFrame + d.s_steerInput, module);
            if (needsZoom(car)) {
                dx = scaledOffset(dx, car->m_screenScale);
                dy = scaledOffset(dy, car->m_screenScale);
            }
            paintAFrameByRatio(c.s_hudFlashSprite, d.s_hudFlashAnim, x + dx, carY + dy, 0, d.s_hudFlashTime,
                               d.s_hudFlashDuration);
        }
    }
    paintStateEffects(car);
}

void paintStateEffects(const cEntity* car) {
    if (raceTouchStatics().s_raceControlsOff)
        return;
    const std::int32_t scale = car->m_screenScale;
    if (car->m_state == CarState::Swapped)
        paintLayer(car, 1, scale);
    if (car->m_state == CarState::Strike)
        paintZoomedCached(kStrikeSprite, car->m_animCounter, scale, car->m_screenX, car->m_screenY, 0, false,
                          0, false);
    if ((car->m_state == CarState::Nitro || car->m_state == CarState::RecolouredNitro) &&
        car == racerStatics().s_playerCar && car->m_effect != CarEffect::KnockOut)
        paintFlames(car);
    for (std::int32_t n : {2, 3})
        if (isRunning(car, n))
            paintLayer(car, n, scale);
    paintLayer(car, 4, scale);
    paintLayer(car, 5, scale);
    if (car->m_targeted)
        paintLayer(car, 6, std::max(scale, kLayerMinScale));
    if (isRunning(car, 7))
        paintLayer(car, 7, scale);
}

void paintHeldItem(const cEntity* car) {
    const std::int32_t scale = car->m_screenScale;
    const std::int32_t x = car->m_screenX + scaledOffset(-8 * drivingStatics().s_steerInput, scale);
    for (std::int32_t i = 0; i < car->m_itemCharges; ++i)
        paintItemPicture(car, x, car->m_screenY + scaledOffset(33 + 8 * i, scale));
}

void paintAiHeldItem(const cEntity* car) {
    std::int32_t dx = -10;
    const std::int32_t sum = getCurveSum(car->m_segment);
    // In a sharp bend the item moves with the car's turned body: further
    // left in a bend to the left (positive curvature), less in one to the
    // right.
    if (sum > kSharpBendCurveSum || sum < -kSharpBendCurveSum)
        dx = sum > 0 ? -18 : -2;
    const std::int32_t scale = car->m_screenScale;
    paintItemPicture(car, car->m_screenX + scaledOffset(dx, scale), car->m_screenY + scaledOffset(23, scale));
}

void paintCarAnim(const cEntity* car, std::int32_t x, std::int32_t y) {
    const rt::ObjectArray* anims = impactStatics().s_crashAnims;
    const std::int32_t flags = car->m_noMirror ? 0 : paint_flags::kMirrorX;
    for (std::int32_t i = 0; i < 2; ++i) {
        ZoomedAnimPlayer* player = animPlayerAt(anims, i);
        if (!player)
            continue;
        if (i == 0)
            player->m_palette = car->m_bodyPalette;
        player->paint5(x, y, car->m_screenScale, flags);
    }
}

} // namespace game
