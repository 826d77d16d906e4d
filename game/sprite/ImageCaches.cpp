#include "game/sprite/ImageCaches.h"

#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "host/Log.h"
#include "runtime/checks.h"

#include <algorithm>

namespace game {

namespace {

rt::ObjectArray* imageRow(const ASprite* sprite, std::int32_t palette) {
    if (palette < 0 || palette >= sprite->m_moduleImages->length())
        return nullptr;
    return static_cast<rt::ObjectArray*>(rt::ObjectArray::get(sprite->m_moduleImages, palette));
}

// Entry n of the sprite table as a sprite; null (reported) for an empty
// slot or an object of another class.
ASprite* tableSprite(std::int32_t n) {
    rt::Object* entry = rt::ObjectArray::get(startupStatics().s_sprites, n);
    if (entry && entry->classId() == ASprite::kClassId)
        return static_cast<ASprite*>(entry);
    rt::reportNullPointer();
    return nullptr;
}

} // namespace

void buildCacheImages(ASprite* sprite, std::int32_t palette, std::int32_t first, std::int32_t last,
                      std::int32_t sourcePalette) {
    if (!sprite) {
        rt::reportNullPointer();
        return;
    }
    sprite->ensureImageTables(palette);
    rt::ObjectArray* row = imageRow(sprite, palette);
    if (!row) {
        host::logf(host::LogCategory::Game, "buildCacheImages: palette %d has no image row", palette);
        return;
    }
    const std::int32_t count = sprite->m_moduleCount;
    if (count <= 0)
        return;
    if (last == -1)
        last = count - 1;
    // Modules outside the sprite have nothing to cache.
    first = std::max(first, 0);
    last = std::min(last, std::min(count, row->length()) - 1);
    if ((sprite->m_format & sprite_format::kHasModulePixels) != 0) {
        if (sourcePalette >= 0) {
            rt::ObjectArray* source = imageRow(sprite, sourcePalette);
            if (!source) {
                host::logf(host::LogCategory::Game, "buildCacheImages: palette %d has no images to share",
                           sourcePalette);
                return;
            }
            for (std::int32_t m = first; m <= last; ++m)
                rt::ObjectArray::set(row, m, rt::ObjectArray::get(source, m));
        } else {
            const std::int32_t saved = sprite->m_currentPalette;
            sprite->m_currentPalette = palette;
            collectIfAsked();
            for (std::int32_t m = first; m <= last; ++m) {
                const std::int32_t w = sprite->getModuleWidth(m);
                const std::int32_t h = sprite->getModuleHeight(m);
                if ((sprite->m_moduleTypes && sprite->getModuleType(m) != 0) || w < 1 || h < 1)
                    continue;
                if (rt::IntArray* pixels = sprite->decodeModule(m))
                    sprite->storeModuleImage(pixels, w, h, palette, m);
            }
            collectIfAsked();
            sprite->m_currentPalette = saved;
        }
    }
    collectIfAsked();
}

void buildFrameCacheImages(ASprite* sprite, std::int32_t palette, std::int32_t frame, std::int32_t) {
    if (!sprite) {
        rt::reportNullPointer();
        return;
    }
    SpriteStatics& statics = spriteStatics();
    const std::int8_t saved = statics.s_gcOnLoad;
    collectIfAsked();
    statics.s_gcOnLoad = 0;
    const std::int32_t count = sprite->getFModuleCount(frame);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t module = sprite->getFModuleModule(frame, i);
        if (!sprite->getModuleImage(module, palette))
            buildCacheImages(sprite, palette, module, module, -1);
    }
    statics.s_gcOnLoad = saved;
    collectIfAsked();
}

void buildSpriteCache(std::int32_t n) {
    if (n < 0)
        return;
    ASprite* sprite = tableSprite(n);
    if (!sprite)
        return;
    const std::int32_t spec = rt::IntArray::get(startupStatics().s_spriteCacheSpecs, n);
    const bool build = (spec & cache_spec::kBuild) != 0;
    const bool drop = (spec & cache_spec::kDropPixels) != 0;
    const std::int32_t mask = spec & cache_spec::kPaletteMask;
    if (!build)
        return;
    for (std::int32_t p = 0; (mask >> p) != 0; ++p)
        if (mask & (1 << p))
            buildCacheImages(sprite, p, 0, -1, -1);
    if (mask == 0)
        buildCacheImages(sprite, 0, 0, -1, -1);
    if (drop)
        sprite->freePixelData();
}

void buildSpriteFrameCache(std::int32_t n, std::int32_t frame) {
    ASprite* sprite = tableSprite(n);
    if (!sprite)
        return;
    buildFrameCacheImages(sprite, 0, frame, -1);
    sprite->freePixelData();
}

} // namespace game
