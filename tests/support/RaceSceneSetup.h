#pragma once

// What the race scene's benchmark and fuzz harness share: the statics a
// race scene paints from, set up as start-up sets them on a runtime with the
// platform installed, and datakit's pictures and sprite models turned into
// the game's arrays and sprites.

#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadImages.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/support/CosTable.h"
#include "tools/datakit/RacePictures.h"

namespace testing_support {

// The configuration, the sprite engine (no collection per load), the cosine
// table, the zoom caches and the effect pool, the road painter's, view
// pass's and scene's statics, and an empty sprite table.
inline void setUpRaceScene() {
    game::OrvelLibConfig::staticInit();
    game::spriteStaticInit();
    game::spriteStatics().s_gcOnLoad = 0;
    installCosTable();
    game::initZoomCaches();
    game::initZoomAnimPool();
    game::roadImageStaticInit();
    game::roadBandStaticInit();
    game::viewPassStaticInit();
    game::raceSceneStaticInit();
    game::startupStatics().s_sprites = rt::newObjectArray(game::kSpriteCount);
}

// The track's ring of `segments` segments, every value 0: curves, heights,
// edge flags, attributes and `triggersPerSegment` trigger codes a segment.
inline void makeTrackRing(std::int32_t segments, std::int32_t triggersPerSegment) {
    game::TrackStatics& t = game::trackStatics();
    t.s_segmentCount = segments;
    t.s_segmentCurve = rt::newIntArray(segments);
    t.s_segmentHeight = rt::newIntArray(segments);
    t.s_segmentEdgeFlags = rt::newByteArray(segments);
    t.s_segmentAttributes = rt::newByteArray(2 * segments);
    t.s_triggersPerSegment = triggersPerSegment;
    t.s_triggerCodes = rt::newShortArray(segments * triggersPerSegment);
}

inline rt::IntArray* argbPixels(const datakit::Picture& picture) {
    rt::IntArray* pixels = rt::newIntArray(static_cast<std::int32_t>(picture.pixels.size()));
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        rt::IntArray::set(pixels, static_cast<std::int32_t>(i), static_cast<std::int32_t>(picture.pixels[i]));
    return pixels;
}

// The model written and loaded, put into sprite table slot `slot`.
inline game::ASprite* installSpriteModel(const datakit::SpriteModel& model, std::int32_t slot) {
    const std::vector<std::uint8_t> bytes = datakit::writeSprite(model);
    rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        rt::ByteArray::set(array, static_cast<std::int32_t>(i), static_cast<std::int8_t>(bytes[i]));
    game::ASprite* sprite = game::ASprite::initDefaults();
    sprite->loadDefault(array, 0);
    rt::ObjectArray::set(game::startupStatics().s_sprites, slot, sprite);
    return sprite;
}

} // namespace testing_support
