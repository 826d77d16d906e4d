#include "game/race/RaceRelease.h"

#include "game/data/EventSlots.h"
#include "game/framework/CarFrames.h"
#include "game/framework/HudFrames.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/EventRowLayout.h"
#include "game/race/Impacts.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceImages.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteLoading.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"

#include <algorithm>
#include <initializer_list>

namespace game {

namespace {

// Texts of the event slot set-up.
constexpr std::int32_t kFirstTitleText = 151;
constexpr std::int32_t kCustomTitleText = 199;
constexpr std::int32_t kRaceLabelText = 174;

// A cache removal of the release's lists.
enum class Cached : std::uint8_t {
    Frame,    // the zoomed frame entry
    Anim,     // every zoomed entry of the animation
    PreAnim,  // every pre-zoomed entry of the animation
    PreFrame, // the pre-zoomed frame entry
};

struct Removal {
    Cached kind;
    std::int32_t sprite;
    std::int32_t id;
};

void uncache(const Removal& removal) {
    switch (removal.kind) {
    case Cached::Frame:
        removeZoomed(removal.sprite, removal.id);
        break;
    case Cached::Anim:
        uncacheZoomedAnim(removal.sprite, removal.id, false);
        break;
    case Cached::PreAnim:
        uncachePreZoomedAnim(removal.sprite, removal.id, false);
        break;
    case Cached::PreFrame:
        removePreZoomed(removal.sprite, removal.id);
        break;
    }
}

void uncacheAll(std::initializer_list<Removal> removals) {
    for (const Removal& removal : removals)
        uncache(removal);
}

void unloadAll(std::initializer_list<std::int32_t> sprites) {
    for (std::int32_t sprite : sprites)
        unloadSprite(sprite);
}

void freeSpriteModules(ASprite* sprite) {
    if (sprite)
        sprite->freeModuleData();
}

// Clears every element of `array` (when there is one).
void clearElements(rt::ObjectArray* array) {
    if (!array)
        return;
    for (std::int32_t i = 0; i < array->length(); ++i)
        rt::Array::setRef(array, i, nullptr);
}

rt::Object* objectAt(rt::ObjectArray* array, std::int32_t index) {
    if (!array || index < 0 || index >= array->length())
        return nullptr;
    return rt::ObjectArray::get(array, index);
}

std::int32_t intOrFallback(const rt::IntArray* array, std::int32_t index, std::int32_t fallback = 0) {
    if (!array || index < 0 || index >= array->length())
        return fallback;
    return rt::IntArray::get(array, index);
}

} // namespace

RaceResourceStatics& raceResourceStatics() {
    return rt::getStaticClass().statics<RaceResourceStatics>();
}

void freeRaceSprites() {
    RaceResourceStatics& s = raceResourceStatics();
    if (s.s_raceFxAnim >= 0)
        uncachePreZoomedAnim(kTrackEffectSprite, s.s_raceFxAnim, false);
    s.s_raceFxPlayerA = nullptr;
    for (std::int32_t i = 0; i < kUnderCarAnims; ++i)
        uncacheZoomedAnim(kTrackEffectSprite, kFirstUnderCarAnim + i, false);
    uncacheZoomedAnim(kTrackEffectSprite, kKnockSparksAnim, false);
    s.s_raceFxPlayerB = nullptr;
    uncacheAll({{Cached::Anim, kTrackEffectSprite, kTrackEffectAnim},
                {Cached::PreAnim, kItemBoxSprite, kItemBoxAnim},
                {Cached::Anim, kCoinSprite, kSpareCoinAnim},
                {Cached::PreAnim, kCoinSprite, kRoadCoinAnim}});
    ZoomPoolStatics& pool = zoomPoolStatics();
    clearElements(pool.s_zoomAnimPool);
    pool.s_zoomAnimPool = nullptr;
    pool.s_fxPlayerA = nullptr;
    pool.s_fxPlayerB = nullptr;
    pool.s_fxPlayerC = nullptr;
    pool.s_fxPlayerD = nullptr;
    pool.s_fxPlayerE = nullptr;
}

void unloadRaceSprites() {
    RaceResourceStatics& s = raceResourceStatics();
    s.s_raceOverlay = nullptr;
    s.s_raceOverlayValue = 0;
    s.s_carAnimPlayer = nullptr;
    s.s_carAnimSpriteA = nullptr;
    s.s_carAnimSpriteB = nullptr;

    unloadSprite(racerStatics().s_playerSpriteSet);
    unloadAll({kCarShadowSprite, kHudFlashSprite, kHudFlashFarSprite, kNitroFlameSprite, kRaceEffectSpriteE,
               kHeldItemSprite, kStrikeSprite, kRaceEffectSpriteC, kRaceEffectSpriteD, kRaceEffectSpriteB,
               kHudPanelSprite, kStartSprite});
    if (zoomStatics().s_zoomCache)
        removeZoomed(kStartSprite, kStartZoomFrame);
    unloadAll({kHudNumberSprite, kGuideSprite, kPlaceSprite, kRaceIconSprite, kCoinSprite, kTrackEffectSprite,
               kItemBoxSprite, kRaceEffectSpriteA, kPathMarkerSprite});
    if (rt::IntArray* ids = s.s_raceSpriteIds) {
        rt::ObjectArray* sprites = startupStatics().s_sprites;
        for (std::int32_t id : rt::IntArray::span(ids)) {
            if (id < 0 || !sprites || id >= sprites->length())
                continue;
            freeSpriteModules(static_cast<ASprite*>(rt::ObjectArray::get(sprites, id)));
            rt::Array::setRef(sprites, id, nullptr);
        }
    }
    unloadAll({kWheelParticleSprite, kSnowflakeSprite, kRaindropSprite, kWeatherStripSprite});
    if (s.s_raceSpriteHolder) {
        freeSpriteModules(s.s_raceSpriteHolder);
        s.s_raceSpriteHolder = nullptr;
    }
    if (rt::ObjectArray* extra = s.s_extraSprites; extra && extra->length() > 6) {
        freeSpriteModules(static_cast<ASprite*>(rt::ObjectArray::get(extra, 6)));
        rt::Array::setRef(extra, 6, nullptr);
    }
    unloadSprite(kRaceTouchSprite);
}

void uncacheRaceZooms() {
    for (std::int32_t f = 0; f < kZoomedParticleFrames; ++f)
        removeZoomed(kWheelParticleSprite, f);
    uncacheZoomedAnim(kWheelParticleSprite, kCrashSmokeAnim, false);
    freeRaceSprites();
    if (std::int32_t anim = raceResourceStatics().s_raceFxAnim; anim >= 0)
        uncacheZoomedAnim(kTrackEffectSprite, anim, false);
    uncacheAll({{Cached::Anim, kRaceEffectSpriteE, 0}, {Cached::Anim, kHeldItemSprite, 0}});

    if (rt::ObjectArray* flags = startupStatics().s_objectFlags) {
        for (std::int32_t e = 0; e < flags->length(); ++e) {
            auto* record = static_cast<rt::ByteArray*>(rt::ObjectArray::get(flags, e));
            if (!record || record->length() < 2 || rt::ByteArray::get(record, 0) == 0)
                continue;
            rt::ByteArray::set(record, 0, 0);
            if (rt::ByteArray::get(record, 1) != 0) {
                rt::ByteArray::set(record, 1, 0);
                uncacheZoomedAnim(e, 0, true);
            } else {
                removeZoomed(e, 0, true);
            }
        }
    }

    if (racerStatics().s_playerCar) {
        std::int32_t set = racerStatics().s_playerSpriteSet;
        for (std::int32_t f = 0; f <= 9; ++f)
            removeZoomed(set, f);
        for (std::int32_t f = kFirstSlideFrame; f <= kLastSlideFrame; ++f)
            removeZoomed(set, f);
        removeZoomed(set, kCarFlameFrame);
        uncacheZoomedAnim(set, kCarSpinAnim, false);
        uncacheZoomedAnim(set, kCarFallAnim, false);
    }
    for (std::int32_t i = 0, n = racerCount(); i < n; ++i)
        if (cEntity* racer = racerAt(i))
            for (std::int32_t anim = kCollectDropAnim; anim < kCarAnimCount; ++anim)
                uncacheZoomedAnim(racer->m_spriteSet, anim, false);
    if (rt::ObjectArray* racers = raceStatics().s_racers) {
        for (std::int32_t i = 0; i + 1 < racers->length(); ++i) {
            auto* racer = static_cast<cEntity*>(rt::ObjectArray::get(racers, i));
            if (!racer)
                continue;
            for (std::int32_t f : std::initializer_list<std::int32_t>{kStraightCarFrame, kTurnedCarFrame,
                                                                      kTurnedCarFrame + kCarLightFrames,
                                                                      kStraightCarFrame + kCarLightFrames})
                removeZoomed(racer->m_spriteSet, f);
        }
    }

    uncacheAll({{Cached::Anim, kTrackEffectSprite, kTrackEffectAnim},
                {Cached::PreAnim, kCoinSprite, kRoadCoinAnim},
                {Cached::Anim, kCoinSprite, kSpareCoinAnim},
                {Cached::Anim, kCoinSprite, kRoadCoinStackAnim},
                {Cached::Anim, kCoinSprite, 2},
                {Cached::PreAnim, kItemBoxSprite, kItemBoxAnim},
                {Cached::PreAnim, kHeldItemSprite, kHeldItemAnim},
                {Cached::PreAnim, kHeldItemSprite, 3},
                {Cached::Anim, kHeldItemSprite, 6},
                {Cached::PreFrame, kHeldItemSprite, kHeldItemFrame},
                {Cached::Anim, kHeldItemSprite, 0},
                {Cached::Anim, kHeldItemSprite, 1},
                {Cached::Anim, kHeldItemSprite, 8},
                {Cached::Anim, kHeldItemSprite, 2},
                {Cached::Anim, kRaceEffectSpriteE, 0},
                {Cached::Anim, kStrikeSprite, 0},
                {Cached::Anim, kStrikeSprite, 1},
                {Cached::Anim, kRaceEffectSpriteA, 0},
                {Cached::Anim, kRaceEffectSpriteC, 0},
                {Cached::Anim, kNitroFlameSprite, 0},
                {Cached::Anim, kNitroFlameSprite, 1},
                {Cached::Anim, kNitroFlameSprite, 2},
                {Cached::Anim, kRaceEffectSpriteD, 0},
                {Cached::Anim, kRaceEffectSpriteB, 0},
                {Cached::Frame, kPathMarkerSprite, 0},
                {Cached::Frame, kPathMarkerSprite, 1},
                {Cached::Frame, kPathMarkerSprite, 2},
                {Cached::PreFrame, kRaceIconSprite, kHeldItemIconFrame}});
    collectAfterUnload();
}

void releaseRacers(bool full) {
    RaceStatics& race = raceStatics();
    race.s_raceObjects = nullptr;
    race.s_gridOrder = nullptr;
    race.s_raceSetUp = 0;
    if (!full)
        return;
    race.s_racers = nullptr;
    racerStatics().s_playerCar = nullptr;
}

void releaseTrackData() {
    TrackStatics& t = trackStatics();
    // Every table of the loaded track; the wire models belong to the run.
    rt::ObjectArray* wireModels = t.s_wireModels;
    std::int32_t wireSize = t.s_wireModelSize;
    std::int32_t wireUnit = t.s_wireModelUnit;
    t = TrackStatics{};
    t.s_wireModels = wireModels;
    t.s_wireModelSize = wireSize;
    t.s_wireModelUnit = wireUnit;
    // No backdrop until a track names one: a later release must not unload slot 0.
    t.s_backdropSprite = -1;
    t.s_backdropSprite2 = -1;
}

void prepareRace(bool full) {
    RaceResourceStatics& s = raceResourceStatics();
    if (full) {
        s.s_roadSlices = nullptr;
        paintStatics().s_spanRect = nullptr;
        s.s_sliceWork = nullptr;
        s.s_sliceWorkCount = 0;
        eventStatics().s_trackZones = nullptr;
    }
    unloadRaceSprites();
    uncacheRaceZooms();
    releaseRacers(full);

    TrackStatics& t = trackStatics();
    if (t.s_backdropSprite >= 0)
        unloadSprite(t.s_backdropSprite);
    if (t.s_backdropSprite2 >= 0)
        unloadSprite(t.s_backdropSprite2);

    RaceImageStatics& images = raceImageStatics();
    images.s_sceneryPixels = nullptr;
    releaseTrackData();
    s.s_raceBackground = nullptr;
    s.s_trackImageListArray = nullptr;
    clearElements(images.s_roadsideImages2);
    clearElements(images.s_roadsideImages);
    s.s_roadsideImageCount = 0;
    if (rt::ObjectArray* lists = s.s_trackImageLists) {
        for (std::int32_t i = 0; i < lists->length(); ++i)
            clearElements(static_cast<rt::ObjectArray*>(objectAt(lists, i)));
        clearElements(lists);
        s.s_trackImageLists = nullptr;
    }

    eventStatics().s_trackZones = nullptr;
    eventStatics().s_trackZoneCount = 0;
    // The marks per segment are as long as the released track: kept, they
    // would make the heap after a release depend on which race it was.
    releaseTrackTriggers();
    impactStatics().s_crashAnims = nullptr;
    for (std::int32_t i = 0, n = racerCount(); i < n; ++i)
        if (cEntity* racer = racerAt(i))
            dropEffectLayers(racer);
    clearElements(s.s_entityPool);
    s.s_entityPool = nullptr;

    releaseCamPath();
    shakeStatics().s_shakeDuration = 0;
    setShakeOffset(0, 0);
    collectAfterUnload();
}

void setupEventSlots(std::int32_t raceRow, bool customTitle) {
    if (raceRow < 0 || raceRow >= kRaceRows) {
        host::logf(host::LogCategory::Game, "event slots: race row %d is outside 0..5, nothing is set up",
                   static_cast<int>(raceRow));
        return;
    }
    stateStatics().s_gameMode = GameMode::LapRace;
    initEventSlots();
    freeRaceSprites();

    EventSlotStatics& slots = eventSlotStatics();
    std::int32_t slot = slots.s_currentEvent;
    std::int32_t track = raceRow;
    // An event's variant is its game mode's number.
    std::int32_t variant = gameModeNumber(stateStatics().s_gameMode);
    rt::ByteArray::set(slots.s_eventRaceRow, slot, static_cast<std::int8_t>(raceRow));
    rt::ByteArray::set(slots.s_eventTrack, slot, static_cast<std::int8_t>(track));
    rt::ByteArray::set(slots.s_eventVariant, slot, static_cast<std::int8_t>(variant));

    // The texts follow the type of the event being set up: it is stored first.
    rt::IntArray* row = eventRow(track, variant);
    std::int32_t type = intOrFallback(row, kEventTypeField);
    rt::ByteArray::set(slots.s_eventType, slot, static_cast<std::int8_t>(type));
    type = rt::ByteArray::get(slots.s_eventType, slot);
    rt::Array::setRef(slots.s_eventTitle, slot,
                      getString(customTitle ? kCustomTitleText : kFirstTitleText + type));
    rt::Array::setRef(slots.s_eventTypeText, slot, getString(kFirstEventTypeText + type));

    RaceResourceStatics& s = raceResourceStatics();
    s.s_raceOptionFlag = 1;
    rt::ByteArray::set(slots.s_eventIcon, slot,
                       static_cast<std::int8_t>(raceRowValue(raceRow, kRaceRowIconField)));
    rt::ByteArray::set(slots.s_eventIcon2, slot,
                       static_cast<std::int8_t>(raceRowValue(raceRow, kRaceRowIcon2Field)));
    auto* names = static_cast<rt::IntArray*>(objectAt(eventStatics().s_pathFields[0], track));
    rt::Array::setRef(slots.s_eventName, slot,
                      getString(intOrFallback(names, intOrFallback(row, kEventNameField))));

    s.s_raceLabel = getString(kRaceLabelText);
    s.s_raceTip = getString(kFirstTipText + raceRandom(kTipTexts));
}

} // namespace game
