#include "game/racepaint/CarPainting.h"

#include "game/framework/CarFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/CarViewPass.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackQueries.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/racepaint/CarEffectLayers.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/Paint.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"

#include <algorithm>

namespace game {

namespace {

// The skid lines: dark grey, at least 4 px long, a pixel longer per 32768
// units of speed, at most 16 px.
constexpr std::int32_t kSkidColour = 0x303030;
constexpr std::int32_t kSkidMinLength = 4;
constexpr std::int32_t kSkidMaxLength = 16;
// The body frame's modules at the rear wheels.
constexpr std::int32_t kWheelModules[] = {2, 3};
// The wheel particles have two frames per surface (alternating every other
// painted frame), the smoke pair after the surfaces.
static_assert(kTyreSmokeFrame == 2 * kSurfaceCount);

// A falling car shrinks with each step of its fall; a step below 1 counts
// as 1.
std::int32_t fallScale(std::int32_t scale, std::int32_t step) {
    return step > 1 ? scale / step : scale;
}

// The state at the top of the state stack.
State topStackedState() {
    return getStackedState(stateStatics().s_stateStackDepth);
}

// The shadow under the player's car: one per body frame in the column of
// its sprite set; one frame for the ghost animation; the straight body's
// while the car rises with the steering near straight.
std::int32_t shadowFrame(const cEntity* car, std::int32_t steerFrame) {
    const std::int32_t column = car->m_spriteSet == kCarSprite0   ? 2
                                : car->m_spriteSet == kCarSprite4 ? 1
                                : car->m_spriteSet == kCarSprite8 ? 3
                                                                  : 0;
    const std::int32_t columns = kShadowColumns;
    if (car->m_vSpeed > 0 && drivingStatics().s_steerInput > -3 && drivingStatics().s_steerInput < 3)
        return kStraightCarFrame * columns + column;
    if (car->m_state == CarState::Ghost)
        return kAnimatedCarShadowFrame;
    return steerFrame * columns + column;
}

} // namespace

CarPaintStatics& carPaintStatics() {
    return rt::getStaticClass().statics<CarPaintStatics>();
}

ASprite* tableSprite(std::int32_t n) {
    const rt::ObjectArray* table = startupStatics().s_sprites;
    if (!table || n < 0 || n >= table->length())
        return nullptr;
    rt::Object* entry = rt::ObjectArray::get(table, n);
    return entry && entry->classId() == ASprite::kClassId ? static_cast<ASprite*>(entry) : nullptr;
}

ZoomedAnimPlayer* asAnimPlayer(rt::Object* object) {
    if (object && (object->classId() == rt::ClassId::ZoomedAnimPlayer ||
                   object->classId() == rt::ClassId::PreZoomedAnimPlayer))
        return static_cast<ZoomedAnimPlayer*>(object);
    return nullptr;
}

ZoomedAnimPlayer* animPlayerAt(const rt::ObjectArray* players, std::int32_t i) {
    if (!players || i < 0 || i >= players->length())
        return nullptr;
    return asAnimPlayer(rt::ObjectArray::get(players, i));
}

void resetZoomPainter() {
    ZoomStatics& z = zoomStatics();
    z.s_zoomPalette = 0;
    z.s_zoomAlphaPalette = 0;
    z.s_zoomAlpha = -1;
}

std::int32_t bodyAnimFrame(std::int32_t stateAnim, std::int32_t index) {
    const ASprite* sprite = carPaintStatics().s_playerCarSprite;
    const std::int32_t anim = stateAnim == 1 ? kCarStateHoldAnim : kCarStateAnim;
    if (!sprite || anim >= sprite->getAnimCount() || index < 0 || index >= sprite->getAFrameCount(anim))
        return kStraightCarFrame;
    return sprite->getAFrameFrame(anim, index);
}

std::int32_t pathMarkerFrame() {
    return (stateStatics().s_messageCount / 8) % kPathMarkerFrames;
}

void setupCarPainting() {
    CarPaintStatics& c = carPaintStatics();
    c.s_flashBlink = c.s_flashSteady / 2;
    c.s_flashTimer = 0;
}

CarBodyView computerCarView(const cEntity* car) {
    CarBodyView view;
    if (!isInSharpBend(car))
        return view;
    if (car->m_roadSlice < 0) {
        view.shown = false;
        return view;
    }
    const CarPaintStatics& c = carPaintStatics();
    const cEntity* player = racerStatics().s_playerCar;
    const std::int32_t slice = car->m_roadSlice;
    if (slice < kRoadSlices) {
        const std::int32_t a = roadsideView().s_sliceAngle[slice] - c.s_cameraYaw - c.s_cameraHeading;
        const std::int64_t gap = std::int64_t{car->m_lateral} - (player ? player->m_lateral : 0);
        if ((a < 0 ? -std::int64_t{a} : a) < c.s_carTurnAngleLimit &&
            (gap < 0 ? -gap : gap) < std::int64_t{slice + 5} * 10)
            return view;
    }
    view.frame = kTurnedCarFrame;
    view.mirrored = getCurveSum(car->m_segment) < 0;
    return view;
}

void paintEntity(const cEntity* entity) {
    if (!entity)
        return;
    const bool finished = raceStatics().s_raceFinished != 0;
    switch (entity->m_type) {
    case 0:
        if (carViewStatics().s_hidePlayerCar)
            return;
        paintPlayerCar(entity, entity->m_screenX, entity->m_screenY);
        if (!finished && entity->m_heldItem != -1)
            paintHeldItem(entity);
        return;
    case 1:
        if (isCarOutOfView(entity))
            return;
        paintCar(entity, entity->m_screenX, entity->m_screenY, entity->m_screenScale);
        if (!finished && entity->m_heldItem != -1)
            paintAiHeldItem(entity);
        return;
    case 2:
        paintRaceObject(entity);
        return;
    default:
        return;
    }
}

void paintCar(const cEntity* car, std::int32_t x, std::int32_t y, std::int32_t scale) {
    const CarPaintStatics& c = carPaintStatics();
    if (car->m_knocked && car->m_state != CarState::Ghost) {
        paintCarAnim(car, x, y);
    } else {
        const CarBodyView view = computerCarView(car);
        if (!view.shown)
            return;
        const std::int32_t flags = view.mirrored ? paint_flags::kMirrorX : 0;
        const cEntity* player = racerStatics().s_playerCar;
        if (player && player->m_carFlags[3] && car->m_racePosition == player->m_racePosition - 1 &&
            c.s_slipstreamAnim)
            c.s_slipstreamAnim->paint5(x, y, scale, 0);
        ZoomStatics& z = zoomStatics();
        z.s_zoomPalette = car->m_bodyPalette;
        if (car->m_fallen) {
            scale = fallScale(scale, car->m_fallStep);
            y += 8;
        }
        const std::int32_t s = car->m_spriteSet;
        // A car without contacts shows in its blended palette for its body frame
        // only.
        auto paintBody = [&](std::int32_t frame) {
            if (car->m_state == CarState::NoContact)
                z.s_zoomPalette = kCarBlendPalette;
            paintZoomedCached(s, frame, scale, x, y, flags, false, 0, false);
            if (car->m_state == CarState::NoContact)
                z.s_zoomPalette = 0;
        };
        if (isShakeEffect(car->m_effect)) {
            const std::int32_t frame = (car->m_animCounter & 1) == 0 ? kTurnedCarFrame : kStraightCarFrame;
            if (car->m_effect == CarEffect::Shake || car->m_effect == CarEffect::FlaggedSpin) {
                z.s_zoomAlphaPalette = 0;
                paintZoomedCached(s, frame, scale, x, y, flags, false, -1, false);
            } else {
                paintBody(frame);
            }
        } else if (car->m_state == CarState::Ghost) {
            paintBody(bodyAnimFrame(car->m_stateAnim, car->m_animCounter));
        } else {
            paintBody(view.frame);
        }
        if (stateStatics().s_state == State::Race && (stateStatics().s_messageCount & 2) == 0)
            paintZoomedCached(s, view.frame + kCarLightFrames, scale, x, y, flags, false, 0, false);
        resetZoomPainter();
        paintPositionMarker(car, x, y, view.frame, scale);
    }
    paintStateEffects(car);
    if (car->m_onPath)
        paintZoomedCached(kPathMarkerSprite, pathMarkerFrame(), scale, x, y - 10, 0, false, 0, false);
    else if (car->m_fallLateral > 0 && !car->m_fallen)
        paintZoomedCached(kPathMarkerSprite, pathMarkerFrame(), scale, x, car->m_fallLateral, 0, false, 0,
                          false);
}

void paintPositionMarker(const cEntity* car, std::int32_t x, std::int32_t y, std::int32_t bodyFrame,
                         std::int32_t scale) {
    const cEntity* player = racerStatics().s_playerCar;
    ASprite* marker = carPaintStatics().s_positionMarkerSprite;
    if (raceStatics().s_raceFinished || !marker || (player && car->m_racePosition > player->m_racePosition))
        return;
    const std::int32_t top = getZoomedFrameRect(car->m_spriteSet, bodyFrame, 1, scale, false);
    paintFrameAligned(marker, car->m_racePosition, 0, x - getFrameWidth(marker, car->m_racePosition) / 2,
                      y - getFrameHeight(marker, 0) - top);
}

void paintCarBody(const cEntity* car, std::int32_t x, std::int32_t y, std::int32_t steerFrame) {
    const CarPaintStatics& c = carPaintStatics();
    const StateStatics& states = stateStatics();
    const std::int32_t light =
        steerFrame >= 0 && steerFrame < kCarSteerFrames ? steerFrame + kCarLightFrames : -1;
    const bool lightShown =
        states.s_state == State::Race && (states.s_messageCount & 2) == 0 && light >= 1 && car->m_speed > 0;
    std::int32_t palette = car->m_state == CarState::Slowed ? kCarSlowedPalette : car->m_bodyPalette;
    const std::int32_t scale = car->m_screenScale;

    if (!car->m_fallen && !car->m_onPath) {
        if (c.s_underCarLayerA && c.s_underCarPlayerA)
            c.s_underCarPlayerA->paint5(x, y, scale, 0);
        if (c.s_underCarLayerB && c.s_underCarPlayerB)
            c.s_underCarPlayerB->paint5(x, y, scale, 0);
    }
    if (c.s_underCarLayers)
        for (std::int32_t i = 0; i < 5; ++i)
            if (ZoomedAnimPlayer* player = animPlayerAt(triggerStatics().s_underCarPlayers, i))
                player->paint5(x, y, scale, 0);

    if (car->m_knocked && car->m_state != CarState::Ghost) {
        paintCarAnim(car, x, y + c.s_carYOffset);
    } else {
        const std::int32_t groundY = car->m_screenGroundY + c.s_carYOffset;
        const bool zoomed = needsZoom(car) || car->m_fallen || car->m_effect == CarEffect::KnockOut;
        const State top = topStackedState();
        if (!car->m_fallen && car->m_state != CarState::NoContact && car->m_effect != CarEffect::Shake &&
            top != State::RacerIntro && top != State::TrackFlyover && !raceStatics().s_raceFinished &&
            !car->m_hasTarget) {
            if (ASprite* shadows = tableSprite(kCarShadowSprite))
                paintFrame(shadows, loopStatics().s_graphics, shadowFrame(car, steerFrame), x, groundY, 0, 0,
                           0);
        }
        const std::int32_t overlay = getSteerFrame(car);
        ZoomStatics& z = zoomStatics();
        if (zoomed || car->m_state == CarState::NoContact) {
            std::int32_t bodyScale = scale;
            std::int32_t bodyY = y;
            if (zoomed && car->m_fallen) {
                bodyScale = fallScale(bodyScale, car->m_fallStep);
                bodyY += 8;
            }
            if (car->m_state == CarState::NoContact)
                palette = kCarBlendPalette;
            z.s_zoomPalette = palette;
            const std::int32_t s = car->m_spriteSet;
            paintZoomedCached(s, steerFrame, bodyScale, x, bodyY, 0, false, 0, false);
            if (overlay >= 0)
                paintZoomedCached(s, overlay, bodyScale, x, bodyY, 0, false, 0, false);
            if (lightShown)
                paintZoomedCached(s, light, bodyScale, x, bodyY, 0, false, 0, false);
            resetZoomPainter();
        } else if (ASprite* sprite = c.s_playerCarSprite) {
            const State state = states.s_state;
            if (car->m_state == CarState::Strike && state != State::PauseMenu && state != State::RaceOptions)
                palette = loopStatics().s_frameCount & 1;
            sprite->setCurrentPalette(palette);
            platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
            paintFrame(sprite, g, steerFrame, x, y, 0, 0, 0);
            if (overlay >= 0)
                paintFrame(sprite, g, overlay, x, y, 0, 0, 0);
            if (lightShown)
                paintFrame(sprite, g, light, x, y, 0, 0, 0);
        }
    }

    if (car->m_onPath) {
        const std::int32_t lift =
            c.s_playerCarSprite ? getFrameHeight(c.s_playerCarSprite, kStraightCarFrame) / 2 : 0;
        paintZoomedCached(kPathMarkerSprite, pathMarkerFrame(), scale, car->m_screenX, car->m_screenY - lift,
                          0, false, 0, false);
    } else if (car->m_fallLateral > 0 && !car->m_fallen) {
        paintZoomedCached(kPathMarkerSprite, pathMarkerFrame(), scale, car->m_screenX, car->m_fallLateral, 0,
                          false, 0, false);
    }
}

void paintCarOverlays(const cEntity* car, std::int32_t layer, std::int32_t offset) {
    const CarPaintStatics& c = carPaintStatics();
    if (layer == 0 || !c.s_playerCarSprite ||
        (car->m_spriteSet == kLagSpriteSet && raceEntityStatics().s_topSpeedLag > 15))
        return;
    const std::int32_t frame = kStraightCarFrame + drivingStatics().s_steerInput;
    const bool zoomed = needsZoom(car);
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    ASprite* particles = tableSprite(kWheelParticleSprite);
    const std::int32_t phase = (loopStatics().s_frameCount >> 1) & 1;
    for (std::int32_t module : kWheelModules) {
        std::int32_t dx = c.s_playerCarSprite->getFModuleX(frame, module);
        std::int32_t dy = c.s_playerCarSprite->getFModuleY(frame, module);
        if (zoomed) {
            dx = scaledOffset(dx, car->m_screenScale);
            dy = scaledOffset(dy, car->m_screenScale);
        }
        const std::int32_t wx = car->m_screenX + dx;
        const std::int32_t wy = car->m_screenY + offset + dy;
        switch (layer) {
        case 1:
            if (particles && car->m_speed > 0) {
                const std::int32_t surface = getCellSurface(car, car->m_segment, true);
                const std::int32_t p = 2 * surface + phase;
                if (surface >= 0 && p < particles->getFrameCount())
                    paintFrame(particles, g, p, wx, wy, 0, 0, 0);
            }
            break;
        case 2:
            if (g) {
                // The Graphics' colour is shared with other painters of the
                // screen; the lines keep it for their whole draw.
                const rt::MonitorScope lock(g);
                g->setColor(kSkidColour);
                const std::int32_t length =
                    std::min(kSkidMaxLength, kSkidMinLength + std::max(0, car->m_speed >> 15));
                drawLine(wx, wy, wx, wy + length);
            }
            break;
        case 4:
            if (particles && kTyreSmokeFrame + phase < particles->getFrameCount())
                paintFrame(particles, g, kTyreSmokeFrame + phase, wx, wy, 0, 0, 0);
            break;
        default:
            return;
        }
    }
}

void paintRaceObject(const cEntity* object) {
    if (object->m_itemSlot < 0)
        return;
    paintZoomedCached(object->m_spriteSet, object->m_itemSlot, object->m_screenScale, object->m_screenX,
                      object->m_screenY, 0, false, 0, false);
}

} // namespace game
