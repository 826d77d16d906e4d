#include "game/sprite/SpriteLoading.h"

#include "game/data/PackReader.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/ImageCaches.h"
#include "host/Log.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace game {

namespace {

// The pack entries whose sprites keep only their images: they are rendered
// once as they load and their pixel data is freed.
constexpr std::int32_t kImagesOnlyEntries[] = {4, 65};

// Null when the entry could not be read (the pack reader said why) or holds
// no sound sprite (logged with what is wrong).
ASprite* loadFromEntry(std::int32_t entry) {
    rt::ByteArray* bytes = packReadEntry(entry);
    if (!bytes)
        return nullptr;
    if (bytes->length() == 0) {
        rt::String* pack = packStatics().s_packName;
        host::logf(host::LogCategory::Game, "pack %s: entry %d holds no sprite",
                   pack ? pack->toUtf8().c_str() : "(none)", entry);
        return nullptr;
    }
    ASprite* sprite = ASprite::initDefaults();
    std::string problem =
        sprite->loadDefault(bytes, 0) ? sprite->structureProblem() : "the data ends inside a section";
    if (!problem.empty()) {
        rt::String* pack = packStatics().s_packName;
        host::logf(host::LogCategory::Game, "pack %s: entry %d: %s", pack ? pack->toUtf8().c_str() : "(none)",
                   entry, problem.c_str());
        return nullptr;
    }
    return sprite;
}

void tint(rt::IntArray* palette, std::int32_t alpha) {
    const std::uint32_t top = static_cast<std::uint32_t>(alpha) << 24;
    for (std::int32_t& entry : rt::IntArray::span(palette)) {
        const auto colour = static_cast<std::uint32_t>(entry);
        if ((colour >> 24) == 0 || (colour & kRgbMask) == static_cast<std::uint32_t>(kUntintedColour))
            continue;
        entry = static_cast<std::int32_t>((colour & kRgbMask) | top);
    }
}

} // namespace

ASprite* loadSprite(std::int32_t, std::int32_t entry, std::int32_t paletteMask, std::int32_t alpha) {
    ASprite* sprite = loadFromEntry(entry);
    if (!sprite)
        return nullptr;
    const bool preRender = std::ranges::find(kImagesOnlyEntries, entry) != std::end(kImagesOnlyEntries);
    for (std::int32_t p = 0; p < sprite->m_paletteCount && p < 32; ++p) {
        if ((paletteMask & (1 << p)) == 0)
            continue;
        if (alpha != 255)
            tint(sprite->getPalette(p), alpha);
        if (preRender)
            buildCacheImages(sprite, p, 0, -1, -1);
    }
    if (preRender) {
        if (paletteMask == 0)
            buildCacheImages(sprite, 0, 0, -1, -1);
        sprite->freePixelData();
    }
    return sprite;
}

ASprite* loadSpriteWithPalettes(std::int32_t entry, std::int32_t paletteMask, std::int32_t alpha,
                                std::int32_t, std::int32_t) {
    return loadSprite(0, entry, paletteMask, alpha);
}

ASprite* loadSpritePlain(std::int32_t entry, std::int32_t) {
    return loadFromEntry(entry);
}

ASprite* loadSpriteToTable(std::int32_t slot, std::int32_t flag) {
    ASprite* sprite = loadSpritePlain(slot, flag);
    rt::ObjectArray::set(startupStatics().s_sprites, slot, sprite);
    return sprite;
}

void unloadSprite(std::int32_t slot) {
    rt::ObjectArray* table = startupStatics().s_sprites;
    if (slot < 0 || !table)
        return;
    rt::Object* object = rt::ObjectArray::get(table, slot);
    if (object && object->classId() == ASprite::kClassId)
        static_cast<ASprite*>(object)->freeModuleData();
    rt::Array::setRef(table, slot, nullptr);
}

} // namespace game
