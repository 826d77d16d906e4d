#include "game/frontend/RaceLoader.h"

#include "classlib/lang/System.h"
#include "game/data/EventSlots.h"
#include "game/data/PackReader.h"
#include "game/data/TextPacks.h"
#include "game/framework/CarFrames.h"
#include "game/framework/FixedPoint.h"
#include "game/framework/HudFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/Seams.h"
#include "game/framework/SlotTables.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/frontend/Championship.h"
#include "game/frontend/Loading.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventRowLayout.h"
#include "game/race/Impacts.h"
#include "game/race/RaceImages.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/CarPainting.h"
#include "game/racepaint/RaceAtmosphere.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadImages.h"
#include "game/racepaint/RoadsideTrack.h"
#include "game/racepaint/SceneryBuffer.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/ImageCaches.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteLoading.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "platform/lcdui/Image.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace game {

namespace {

// The sprites that step 27 turns into zoomed caches and then frees.
constexpr std::int32_t kZoomedEffectSprites[] = {kTrackEffectSprite, kCoinSprite,        kItemBoxSprite,
                                                 kHeldItemSprite,    kRaceEffectSpriteE, kStrikeSprite,
                                                 kRaceEffectSpriteA, kRaceEffectSpriteC, kNitroFlameSprite,
                                                 kRaceEffectSpriteD, kRaceEffectSpriteB, kPathMarkerSprite};
// A collection runs after every this many of them.
constexpr std::int32_t kZoomedGroup = 4;
// The strike's translucency: its palette's alpha.
constexpr std::int32_t kStrikeAlpha = 187;
constexpr std::int32_t kZoomSteps = 3;
// The alpha of the cars' blended palette.
constexpr std::int32_t kCarBlendAlpha = 127;
// The race object pool.
constexpr std::int32_t kRaceObjectPool = 10;
constexpr std::int32_t kRaceObjectType = 2;
// The gate of track 3 carries five players under the car.
constexpr std::int32_t kUnderCarTrack = 3;
// A pass of the player's race effects, ms.
constexpr std::int32_t kPlayerEffectDuration = 600;
constexpr std::int32_t kGateDuration = 1000;
constexpr std::int32_t kLongGateTrack = 5;
constexpr std::int32_t kLongGateDuration = 7000;
constexpr std::int32_t kGateKinds[kTrackCount] = {2, 5, 4, 3, 6, 13};
constexpr std::int32_t kMovingObjectStep = 20;
constexpr std::int32_t kMovingObjectId = 6;
// Haze: 40 rows at 20 % cover.
constexpr std::int32_t kHazeRows = 40;
constexpr std::int32_t kHazeStrength = 20;

ASprite* asSprite(rt::Object* object) {
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object) : nullptr;
}

// The step cannot go on without `resource`.
void missing(const std::string& resource) {
    failLoadStep(resource, "cannot be loaded");
}

std::int32_t currentSlotByte(rt::ByteArray* table) {
    const EventSlotStatics& slots = eventSlotStatics();
    if (!table || slots.s_currentEvent < 0 || slots.s_currentEvent >= table->length())
        return -1;
    return rt::ByteArray::get(table, slots.s_currentEvent);
}

std::int32_t eventTrack() {
    return currentSlotByte(eventSlotStatics().s_eventTrack);
}

EventType eventType() {
    return eventTypeFromNumber(currentSlotByte(eventSlotStatics().s_eventType));
}

std::int32_t weatherMode() {
    return trackStatics().s_trackAmbience;
}

void collect() {
    lib::java_lang_System::gc();
}

// Text table `entry` of the text pack in place of every loaded one; the
// step cannot go on without it.
void loadStepTexts(std::int32_t entry) {
    unloadAllTexts();
    rt::String* pack = startupStatics().s_textPackName;
    if (!loadTextPack(pack, entry))
        missing("text table " + std::to_string(entry) + " of " + (pack ? pack->toUtf8() : "(no pack)"));
}

// A pack whose header or first offset table is broken cannot give the
// step what it needs.
void openStepPack(std::int32_t pack) {
    packOpen(constantString(pack));
    const PackStatics& packs = packStatics();
    if (!packs.s_packHeaderRead || !packs.s_packOffsets) {
        rt::String* name = constantString(pack);
        failLoadStep(name ? name->toUtf8() : std::string("(no pack)"),
                     "cannot be read: its header or offset table is broken");
    }
}

// The first animation of `played` that `s` lacks or holds no frame of, as a
// problem; empty when it has them all.
std::string unplayable(const ASprite* s, const std::vector<std::int32_t>& played) {
    for (std::int32_t a : played)
        if (a >= s->getAnimCount() || s->getAFrameCount(a) < 1)
            return "animation " + std::to_string(a) + " has no frame; the race plays it";
    return {};
}

// What the race draws from the sprite in `slot` and `s` lacks: a car's
// frames, an animation of the track effects or the wheel particles that has
// no frame, the particles' frames, or the first palette of a sprite the race
// recolours. The last car slot holds the flash overlays in a race.
std::string raceSpriteShortfall(std::int32_t slot, const ASprite* s) {
    if (slot == kHudFlashSprite)
        return {};
    // The shadow's and the strike's first palette take the race's alpha.
    if ((slot == kCarShadowSprite || slot == kStrikeSprite) && !s->getPalette(0))
        return "has no palette; the race recolours its first";
    if (slot == kWheelParticleSprite) {
        if (s->getFrameCount() < kZoomedParticleFrames)
            return std::to_string(s->getFrameCount()) + " frames; the race draws " +
                   std::to_string(kZoomedParticleFrames);
        return unplayable(s, {kCrashSmokeAnim});
    }
    if (slot != kTrackEffectSprite)
        return carSpriteShortfall(slot, s);
    std::vector<std::int32_t> played = {kTimedGateAnim, kNitroBurstAnim, kKnockSparksAnim};
    for (std::int32_t a = kFirstGateAnim; a <= kLastPulseGateAnim; ++a)
        played.push_back(a);
    for (std::int32_t i = 0; i < kUnderCarAnims; ++i)
        played.push_back(kFirstUnderCarAnim + i);
    return unplayable(s, played);
}

// Slot `slot` of the sprite table loaded from the open pack; a failed load
// abandons the race load.
ASprite* loadNeededSprite(std::int32_t slot, std::int32_t pack) {
    ASprite* loaded = loadSpriteToTable(slot, 0);
    if (!loaded)
        missing(packEntryName(pack, slot));
    return loaded;
}

// The sprite keeps only its palette-0 images.
void keepImagesOnly(ASprite* s) {
    if (!s)
        return;
    buildCacheImages(s, 0, 0, -1, -1);
    s->freePixelData();
}

// Step 0's start: the first race frees the menus' sprites, the next race
// releases the finished one; then the zones, and the loading screen's
// sprites and texts with the item sprite's grey palette made again.
void startRaceLoad(std::int32_t next) {
    if (next == 0) {
        freeRacerSpriteSets();
    } else {
        prepareRace(false);
        if (rt::exceptionPending())
            return;
    }
    if (std::string problem = loadTablesFromPack161(); !problem.empty()) {
        rt::String* zones = constantString(rt::constants::kZonePack);
        failLoadStep(zones ? zones->toUtf8() : std::string("(no pack)"), problem);
        return;
    }
    if (next != 0) {
        loadStepTexts(kMenuTextEntry);
        setupNextRaceEvent();
    }
    startLoad(true);
}

void createRaceObjects() {
    RaceStatics& race = raceStatics();
    race.s_raceObjects = rt::newObjectArray(kRaceObjectPool);
    for (std::int32_t i = 0; i < kRaceObjectPool; ++i)
        rt::ObjectArray::set(race.s_raceObjects, i, cEntity::cEntityWithType(kRaceObjectType));
}

// The player's car takes the racer list's last slot.
void placePlayerCar() {
    RaceStatics& race = raceStatics();
    cEntity* player = racerStatics().s_playerCar;
    if (!race.s_racers || !player)
        return;
    const std::int32_t last = race.s_racers->length() - 1;
    player->m_racerIndex = last;
    rt::ObjectArray::set(race.s_racers, last, player);
}

void loadMarkedSprites() {
    StartupStatics& startup = startupStatics();
    for (std::int32_t slot = 0; slot < kSpriteCount; ++slot) {
        if (!rt::BoolArray::get(startup.s_spriteLoadFlags, slot))
            continue;
        rt::BoolArray::set(startup.s_spriteLoadFlags, slot, 0);
        ASprite* s = spriteInSlot(slot);
        if (!s && !(s = loadNeededSprite(slot, rt::constants::kSpritePack)))
            return;
        if (const std::string lack = raceSpriteShortfall(slot, s); !lack.empty()) {
            failLoadStep(packEntryName(rt::constants::kSpritePack, slot), lack);
            return;
        }
    }
}

void restoreAlpha(std::int32_t slot) {
    if (ASprite* s = spriteInSlot(slot))
        s->restorePaletteAlpha(0, 1);
}

// Steps 19 to 26: the race sprites' palettes and images.
void prepareRaceSprite(std::int32_t step) {
    switch (step) {
    case 19:
        cacheZoomedFrame2(kStartSprite, kStartZoomFrame);
        break;
    case 20:
        keepImagesOnly(spriteInSlot(kHudNumberSprite));
        break;
    case 22:
        if (ASprite* surface = spriteInSlot(kWheelParticleSprite)) {
            surface->restorePaletteAlpha(0, 1);
            keepImagesOnly(surface);
        }
        if (ASprite* strike = spriteInSlot(kStrikeSprite))
            strike->applyPaletteAlpha(0, kStrikeAlpha);
        break;
    case 23:
        if (weatherMode() == kParticleWeather) {
            restoreAlpha(kSnowflakeSprite);
            restoreAlpha(kRaindropSprite);
        }
        restoreAlpha(kWeatherStripSprite);
        break;
    case 24:
        if (ASprite* shadow = spriteInSlot(kCarShadowSprite)) {
            // The track colour less 0x34 in its top byte: the shadow's alpha
            // is that byte, 0xCC (the subtraction wraps). The sprite's own
            // flags keep its colour key transparent: rewritten with the
            // rest, the key would paint the frame's box around the shadow.
            const auto level =
                static_cast<std::uint32_t>((trackStatics().s_trackColourA & 0xFFFFFF) - 0x34000000);
            shadow->applyPaletteAlpha(0, static_cast<std::int32_t>(level >> 24));
        }
        keepImagesOnly(spriteInSlot(kRaceTouchSprite));
        break;
    case 25:
        if (ASprite* icons = spriteInSlot(kRaceIconSprite)) {
            buildFrameCacheImages(icons, 0, kItemSlotFrame, -1);
            for (std::int32_t f = 0; f < kItemSlotFrame; ++f)
                buildFrameCacheImages(icons, 0, f, -1);
        }
        break;
    default:
        break;
    }
}

void cacheEveryFrame(std::int32_t slot) {
    ASprite* s = spriteInSlot(slot);
    const std::int32_t frames = s ? s->getFrameCount() : 0;
    for (std::int32_t f = 0; f < frames; ++f)
        cacheZoomedFrame3(slot, f, kZoomSteps);
}

// Step 27: the players, the effects' zoomed caches and the track's gate.
// The track effects' sprite stays until the gate's animations are cached
// from it, and for good when it is the track's backdrop.
void cacheEffectSprites() {
    // The effects' sprite may have come in before the race's marks (the
    // menus' reference picture): it is checked where the race takes it.
    if (const ASprite* effects = spriteInSlot(kTrackEffectSprite)) {
        if (const std::string lack = raceSpriteShortfall(kTrackEffectSprite, effects); !lack.empty()) {
            failLoadStep(packEntryName(rt::constants::kSpritePack, kTrackEffectSprite), lack);
            return;
        }
    }
    createAnimPlayers();
    // The race's extra effect player, free until the race starts it.
    raceResourceStatics().s_carAnimPlayer = rt::make<ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
    std::int32_t done = 0;
    for (std::int32_t slot : kZoomedEffectSprites) {
        cacheEveryFrame(slot);
        // The head-up display paints the collected gauge from the coins'
        // sprite itself.
        if (slot != kTrackEffectSprite && slot != kCoinSprite)
            unloadSprite(slot);
        if (++done % kZoomedGroup == 0)
            collect();
    }
    cacheZoomedFrame3(kRaceIconSprite, kHeldItemIconFrame, kZoomSteps);
    setupTrackObjects(eventTrack());
    // A track may take the effects' sprite for its backdrop: the hand-over
    // keeps that one.
    const TrackStatics& track = trackStatics();
    if (track.s_backdropSprite != kTrackEffectSprite && track.s_backdropSprite2 != kTrackEffectSprite)
        unloadSprite(kTrackEffectSprite);
    collect();
}

void cacheSurfaceSprite() {
    for (std::int32_t f = 0; f < kZoomedParticleFrames; ++f)
        cacheZoomedFrame3(kWheelParticleSprite, f, kZoomSteps);
    cacheZoomedAnim3(kWheelParticleSprite, kCrashSmokeAnim, kZoomSteps);
    unloadSprite(kWheelParticleSprite);
}

std::int32_t animFrames(ASprite* s, std::int32_t anim) {
    return s && anim < s->getAnimCount() ? s->getAFrameCount(anim) : 0;
}

// The car's effect layers, and the zoom caches of the animations they play
// from its sprite set (a set shared by several cars is cached once; a set
// without them leaves its layers with nothing to draw).
void prepareEffectLayers(cEntity* car, ASprite* s) {
    makeEffectLayers(car);
    if (!s || findZoomEntry(ZoomCacheKind::Zoomed, car->m_spriteSet, kCollectDropAnim, true, false))
        return;
    for (std::int32_t anim = kCollectDropAnim; anim < kCarAnimCount && anim < s->getAnimCount(); ++anim)
        cacheZoomedAnim3(car->m_spriteSet, anim, kZoomSteps);
}

// A car's sprite takes its blended palette 1 and its roll animation's
// length; the car gets its effect layers.
void prepareCarSprite(cEntity* car, ASprite* s) {
    car->m_bodyPalette = kCarBodyPalette;
    car->m_animFrameCount = animFrames(s, kCarStateAnim);
    car->m_animFrameModulo = 1;
    if (s)
        s->copyPaletteAlpha(kCarBodyPalette, kCarBlendPalette, kCarBlendAlpha);
    prepareEffectLayers(car, s);
}

void prepareOpponentCars() {
    RaceStatics& race = raceStatics();
    const std::int32_t playerSet = racerStatics().s_playerSpriteSet;
    const std::int32_t count = race.s_racers ? race.s_racers->length() : 0;
    for (std::int32_t i = 0; i < count; ++i) {
        auto* car = static_cast<cEntity*>(rt::ObjectArray::get(race.s_racers, i));
        if (!car || car->m_spriteSet == playerSet)
            continue;
        prepareCarSprite(car, spriteInSlot(car->m_spriteSet));
        cacheZoomedFrame3(car->m_spriteSet, kStraightCarFrame, kZoomSteps);
        cacheZoomedFrame3(car->m_spriteSet, kTurnedCarFrame, kZoomSteps);
    }
    for (std::int32_t id = 0, n = managedRacerCount(); id < n; ++id)
        if (const std::int32_t set = racerField(id, 1); set >= 0 && set != playerSet)
            unloadSprite(set);
}

void preparePlayerCar() {
    cEntity* player = racerStatics().s_playerCar;
    const std::int32_t set = racerStatics().s_playerSpriteSet;
    ASprite* s = spriteInSlot(set);
    if (!player || !s) {
        missing(packEntryName(rt::constants::kSpritePack, set));
        return;
    }
    prepareCarSprite(player, s);
    // The computer cars that share the player's set.
    for (std::int32_t i = 0, n = racerCount(); i < n; ++i)
        if (cEntity* car = racerAt(i); car && car != player && car->m_spriteSet == set)
            prepareEffectLayers(car, s);
    for (std::int32_t f = 0; f <= 9; ++f)
        cacheZoomedFrame3(set, f, kZoomSteps);
    cacheZoomedAnim3(set, kCarStateHoldAnim, kZoomSteps);
    for (std::int32_t f = kFirstSlideFrame; f <= kLastSlideFrame; ++f)
        cacheZoomedFrame3(set, f, kZoomSteps);
    cacheZoomedFrame3(set, kCarFlameFrame, kZoomSteps);
    cacheZoomedAnim3(set, kCarSpinAnim, kZoomSteps);
    cacheZoomedAnim3(set, kCarFallAnim, kZoomSteps);
    CarPaintStatics& cars = carPaintStatics();
    cars.s_playerCarSprite = s;
    cars.s_hudFlashSprite = spriteInSlot(kHudFlashSprite);
    cars.s_hudFlashFarSprite = spriteInSlot(kHudFlashFarSprite);
    drivingStatics().s_spinFrameLimit = animFrames(s, kCarSpinAnim);
    ImpactStatics& impacts = impactStatics();
    impacts.s_crashAnims = rt::newObjectArray(2);
    const std::int32_t crashTime = impacts.s_crashTime;
    const std::pair<std::int32_t, std::int32_t> crash[] = {{set, kCarSpinAnim},
                                                           {kWheelParticleSprite, kCrashSmokeAnim}};
    for (std::int32_t i = 0; i < 2; ++i) {
        auto* crashPlayer = rt::make<ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
        crashPlayer->start(crash[i].first, crash[i].second, crashTime, 0);
        rt::ObjectArray::set(impacts.s_crashAnims, i, crashPlayer);
    }
}

rt::ByteArray* objectMark(std::int32_t slot) {
    rt::ObjectArray* table = startupStatics().s_objectFlags;
    if (!table || slot >= table->length())
        return nullptr;
    return static_cast<rt::ByteArray*>(rt::ObjectArray::get(table, slot));
}

std::int32_t markByte(std::int32_t slot, std::int32_t index) {
    rt::ByteArray* mark = objectMark(slot);
    return mark ? rt::ByteArray::get(mark, index) : 0;
}

// Step 32: one marked slot of the second table a frame; the step stays
// until the walk has passed every slot.
void loadObjectSprite() {
    LoadingStatics& overlay = loadingStatics();
    ZoomStatics& zoom = zoomStatics();
    if (!zoom.s_altSprites)
        zoom.s_altSprites = rt::newObjectArray(kObjectSpriteSlots);
    while (overlay.s_loadingSubStep < kObjectSpriteSlots) {
        const std::int32_t slot = overlay.s_loadingSubStep++;
        if (markByte(slot, 0) == 0) {
            overlay.s_loadingProgress += 1;
            continue;
        }
        ASprite* loaded = loadSpritePlain(slot, 0);
        if (!loaded) {
            missing(packEntryName(rt::constants::kObjectSpritePack, slot));
            return;
        }
        // A slot marked animated plays its first animation.
        if (markByte(slot, 1) != 0 && (loaded->getAnimCount() < 1 || loaded->getAFrameCount(0) < 1)) {
            failLoadStep(packEntryName(rt::constants::kObjectSpritePack, slot),
                         "has no first animation; the race plays it");
            return;
        }
        rt::ObjectArray::set(zoom.s_altSprites, slot, loaded);
        overlay.s_loadingStep -= 1;
        return;
    }
    overlay.s_loadingSubStep = 0;
    closeStream();
}

void cacheObjectSprites() {
    ZoomStatics& zoom = zoomStatics();
    const bool stepped = zoom.s_zoomStepped != 0;
    for (std::int32_t slot = 0; slot < kObjectSpriteSlots; ++slot) {
        if (markByte(slot, 0) == 0 || !zoom.s_altSprites)
            continue;
        ASprite* s = asSprite(rt::ObjectArray::get(zoom.s_altSprites, slot));
        const std::int32_t frames = s ? s->getFrameCount() : 0;
        if (markByte(slot, 1) != 0) {
            cacheZoomedAnim(slot, 0, nullptr, kZoomSteps, true, stepped);
        } else if (markByte(slot, 2) != 0) {
            for (std::int32_t f = 0; f < frames; ++f)
                cacheZoomedFrame(slot, f, nullptr, -1, true, false);
        } else {
            for (std::int32_t f = 0; f < frames; ++f)
                cacheZoomedFrame(slot, f, nullptr, kZoomSteps, true, stepped);
        }
        // Its frames are composed: the second table's sprite keeps no pixel data.
        if (s)
            s->freePixelData();
    }
}

// Step 7: the question box (with the palettes the questions over the race
// draw it in), the track's backdrop and its second sprite.
void loadEventSprites() {
    openStepPack(rt::constants::kSpritePack);
    ASprite* box = loadSpriteWithPalettes(kQuestionBoxSprite, 1, 255, 0, 0);
    if (!box) {
        missing(packEntryName(rt::constants::kSpritePack, kQuestionBoxSprite));
        return;
    }
    rt::ObjectArray::set(startupStatics().s_sprites, kQuestionBoxSprite, box);
    const TrackStatics& track = trackStatics();
    for (std::int32_t slot : {track.s_backdropSprite, track.s_backdropSprite2})
        if (slot > 0 && slot < kSpriteCount && !loadNeededSprite(slot, rt::constants::kSpritePack))
            return;
    closeStream();
    openStepPack(rt::constants::kRaceImagePack);
}

// Step 9: the road's pictures, one per image id of the track.
void loadRoadPictures() {
    rt::ShortArray* ids = trackStatics().s_trackImageIds;
    const std::int32_t count = ids ? ids->length() : 0;
    RoadImageStatics& road = roadImageStatics();
    road.s_backgroundImages = rt::newObjectArray(count);
    road.s_backgroundRows = nullptr;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t entry = rt::ShortArray::get(ids, i);
        platform::javax_microedition_lcdui_Image* image = loadImageFromPack(entry);
        if (!image) {
            missing(packEntryName(rt::constants::kRaceImagePack, entry));
            return;
        }
        rt::ObjectArray::set(road.s_backgroundImages, i, image);
    }
}

void buildRoadImages() {
    RoadImageStatics& road = roadImageStatics();
    const std::int32_t count = road.s_backgroundImages ? road.s_backgroundImages->length() : 0;
    for (std::int32_t i = 0; i < count; ++i)
        buildRaceBackground(i);
    computeRoadImageLaneWidths();
}

void setupSceneryBuffer() {
    const RaceImageStatics& images = raceImageStatics();
    setupScenery(images.s_sceneryPixels, images.s_sceneryWidth, images.s_sceneryHeight,
                 config().s_gameScreenWidth, config().s_gameScreenHeight);
}

void loadTrackOfEvent() {
    const std::int32_t track = eventTrack();
    trackStatics().s_trackLoaded = 0;
    if (track >= 0)
        loadTrack(track);
    if (!trackStatics().s_trackLoaded) {
        missing(packEntryName(rt::constants::kTrackPack, track));
        return;
    }
    setupRoadside();
}

} // namespace

RaceLoaderStatics& raceLoaderStatics() {
    return rt::getStaticClass().statics<RaceLoaderStatics>();
}

void freeRacerSpriteSets() {
    for (std::int32_t slot : {kTitleBackgroundSprite, kTitleLogoSprite, kMenuHeaderSprite,
                              kBonusPictureSprite, kMenuSymbolSprite})
        unloadSprite(slot);
    for (std::int32_t id = 0, n = managedRacerCount(); id < n; ++id) {
        if (const std::int32_t first = racerField(id, 1); first >= 0)
            unloadSprite(first);
        if (const std::int32_t second = racerField(id, 3);
            second >= 0 && id != racerStatics().s_playerRacerId)
            unloadSprite(second);
    }
    if (rt::ObjectArray* images = startupStatics().s_interfaceImages; images && images->length() > 5)
        rt::ObjectArray::set(images, 5, nullptr);
    collectAfterUnload();
}

void selectRaceSpriteSets() {
    const RacerStatics& racers = racerStatics();
    if (racers.s_playerSpriteSet >= 0)
        setSlotValue(racers.s_playerSpriteSet, 0);
    for (std::int32_t slot :
         {kCarShadowSprite, kHudFlashSprite, kHudFlashFarSprite, kRaceEffectSpriteE, kHeldItemSprite,
          kStrikeSprite, kRaceEffectSpriteC, kRaceEffectSpriteD, kRaceEffectSpriteB, kStartSprite,
          kHudPanelSprite, kPlaceSprite, kHudNumberSprite})
        setSlotValue(slot, 0);
    if (stateStatics().s_gameMode == GameMode::Guided)
        setSlotValue(kGuideSprite, 0);
    for (std::int32_t slot : {kCoinSprite, kRaceIconSprite})
        setSlotValue(slot, 0);
    if (!spriteInSlot(kTrackEffectSprite))
        setSlotValue(kTrackEffectSprite, 0);
    for (std::int32_t slot : {kItemBoxSprite, kRaceEffectSpriteA, kNitroFlameSprite, kPathMarkerSprite})
        setSlotValue(slot, 0);
    if (rt::IntArray* ids = raceResourceStatics().s_raceSpriteIds)
        for (std::int32_t id : rt::IntArray::span(ids))
            if (id >= 0)
                setSlotValue(id, 0);
    if (eventType() == EventType::StopAndGo)
        setSlotValue(kStopGoSprite, 0);
    for (std::int32_t id = 0, n = managedRacerCount(); id < n; ++id)
        setSlotValue(racerField(id, 1), 1);
    setSlotValue(kWheelParticleSprite, 1);
    if (weatherMode() == kParticleWeather) {
        setSlotValue(kSnowflakeSprite, 0);
        setSlotValue(kRaindropSprite, 0);
    }
    setSlotValue(kWeatherStripSprite, 0);
    setSlotValue(kRaceTouchSprite, 0);
}

void selectRaceMusic() {
    static constexpr std::int32_t kMusicByTheme[] = {0, 1, 2, 3, 2, 3};
    const std::int32_t theme = currentSlotByte(eventSlotStatics().s_eventRaceRow);
    if (theme >= 0 && theme < static_cast<std::int32_t>(std::size(kMusicByTheme)))
        raceStateStatics().s_raceMusic = kMusicByTheme[theme];
}

// The player's two race effects from the track effects' sprite, stopped:
// each plays once when the race restarts it (the nitro's burst, the
// knock-out's sparks).
void makePlayerEffects() {
    RaceResourceStatics& r = raceResourceStatics();
    r.s_raceFxAnim = kNitroBurstAnim;
    cachePreZoomedAnim3(kTrackEffectSprite, kNitroBurstAnim, kZoomSteps);
    r.s_raceFxPlayerA = rt::make<ZoomedAnimPlayer>(rt::ClassId::PreZoomedAnimPlayer);
    r.s_raceFxPlayerA->start(kTrackEffectSprite, kNitroBurstAnim, kPlayerEffectDuration, 0);
    r.s_raceFxPlayerA->stop();
    cacheZoomedAnim3(kTrackEffectSprite, kKnockSparksAnim, kZoomSteps);
    r.s_raceFxPlayerB = rt::make<ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
    r.s_raceFxPlayerB->start(kTrackEffectSprite, kKnockSparksAnim, kPlayerEffectDuration, 0);
    r.s_raceFxPlayerB->stop();
}

void setupTrackObjects(std::int32_t track) {
    ViewPassStatics& view = viewPassStatics();
    TriggerStatics& triggers = triggerStatics();
    const std::int32_t halfWidth = trackStatics().s_roadHalfWidth;
    view.s_movingObjectDX[0] = kMovingObjectStep;
    view.s_movingObjectDX[1] = -kMovingObjectStep;
    view.s_movingObjectId = triggers.s_movingObjectId = kMovingObjectId;
    view.s_movingObjectX[0] = triggers.s_movingObjectX = -halfWidth;
    view.s_movingObjectX[1] = triggers.s_movingObjectX2 = halfWidth;
    triggers.s_gateKind = track >= 0 && track < kTrackCount ? kGateKinds[track] : -1;
    triggers.s_underCarPlayers = nullptr;
    if (track == kUnderCarTrack) {
        triggers.s_underCarPlayers = rt::newObjectArray(kUnderCarAnims);
        for (std::int32_t i = 0; i < kUnderCarAnims; ++i) {
            const std::int32_t anim = kFirstUnderCarAnim + i;
            cacheZoomedAnim3(kTrackEffectSprite, anim, kZoomSteps);
            auto* player = rt::make<ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
            player->start(kTrackEffectSprite, anim, kGateDuration, 0);
            rt::ObjectArray::set(triggers.s_underCarPlayers, i, player);
        }
        view.s_movingObjectDX[0] /= 2;
        view.s_movingObjectDX[1] /= 2;
    }
    makePlayerEffects();
    triggers.s_movingObjectPlayer = nullptr;
    triggers.s_movingObjectProgress = 0;
    if (triggers.s_gateKind < 0)
        return;
    cachePreZoomedAnim3(kTrackEffectSprite, triggers.s_gateKind, kZoomSteps);
    auto* gate = rt::make<ZoomedAnimPlayer>(rt::ClassId::PreZoomedAnimPlayer);
    gate->start(kTrackEffectSprite, triggers.s_gateKind,
                track == kLongGateTrack ? kLongGateDuration : kGateDuration, -1);
    triggers.s_movingObjectPlayer = gate;
}

void loadStep(std::int32_t step, std::int32_t next) {
    loadingStatics().s_raceStepRan = 1;
    switch (step) {
    case 0:
        startRaceLoad(next);
        break;
    case 6:
        loadTrackOfEvent();
        break;
    case 7:
        loadEventSprites();
        break;
    case 8:
        loadImageVariant();
        loadImageArray();
        setupSceneryBuffer();
        break;
    case 9:
        loadRoadPictures();
        break;
    case 10:
        buildRoadImages();
        break;
    case 11:
        grabImagePixels();
        buildHazeImage(eventSlotStatics().s_currentEvent, kHazeRows, kHazeStrength);
        closeStream();
        break;
    case 12:
        loadStepTexts(kMenuTextEntry);
        openStepPack(rt::constants::kRacerPack);
        createRacers();
        createPlayerCar();
        placePlayerCar();
        createRaceObjects();
        break;
    case 13:
        setupRacers();
        closeStream();
        collect();
        break;
    case 14:
        loadStepTexts(kRaceTextEntry);
        break;
    case 15:
    case 18:
        collect();
        break;
    case 16:
        selectRaceSpriteSets();
        openStepPack(rt::constants::kSpritePack);
        break;
    case 17:
        loadMarkedSprites();
        closeStream();
        break;
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
        prepareRaceSprite(step);
        break;
    case 27:
        cacheEffectSprites();
        break;
    case 28:
        cacheSurfaceSprite();
        break;
    case 29:
        prepareOpponentCars();
        break;
    case 30:
        preparePlayerCar();
        collect();
        break;
    case 31:
        loadingStatics().s_loadingSubStep = 0;
        openStepPack(rt::constants::kObjectSpritePack);
        break;
    case kObjectSpriteStep:
        loadObjectSprite();
        break;
    case 33:
        cacheObjectSprites();
        break;
    case 34:
        releaseSpriteSlot(kSplashSprite);
        break;
    case 35:
        selectRaceMusic();
        break;
    case 38:
        (void)atan2(0, 100);
        sceneryStatics().s_spanTargetDrawn = false;
        if (weatherMode() == kParticleWeather)
            initParticleField();
        break;
    case 39:
        raceStatics().s_raceSetUp = 0;
        break;
    default:
        break;
    }
}

void startRace(State /*nextState*/) {
    for (std::int32_t slot : {kMenuBackgroundSprite, kMenuFrameSprite, kCupPictureSprite})
        unloadSprite(slot);
    const TrackStatics& track = trackStatics();
    RaceLoaderStatics& loader = raceLoaderStatics();
    loader.s_backdropWidth = config().s_gameScreenWidth / 2;
    loader.s_backdropHeight = config().s_gameScreenHeight * 2;
    if (ASprite* backdrop = track.s_backdropSprite > 0 ? spriteInSlot(track.s_backdropSprite) : nullptr) {
        keepImagesOnly(backdrop);
        loader.s_backdropWidth = getFrameWidth(backdrop, kBackdropFrame);
        loader.s_backdropHeight = getFrameHeight(backdrop, kBackdropFrame);
        setBackdrop(track.s_backdropSprite);
    } else {
        setBackdrop(-1);
    }
    if (track.s_backdropSprite2 > 0)
        keepImagesOnly(spriteInSlot(track.s_backdropSprite2));
    collectAfterUnload();
}

} // namespace game
