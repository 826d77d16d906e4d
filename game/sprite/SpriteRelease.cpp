// Release of a sprite's memory: the pixel data once its images are built,
// everything when the sprite is unloaded. A table of references is cleared
// slot by slot before its field, so that its elements can go even while
// another reference to the table lives.

#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"

namespace game {

namespace {

void clearSlots(rt::ObjectArray*& table) {
    if (!table)
        return;
    for (rt::Object*& slot : rt::ObjectArray::span(table))
        slot = nullptr;
    table = nullptr;
}

} // namespace

void ASprite::freePixelData() {
    m_palettes = nullptr;
    m_moduleData = nullptr;
    m_moduleDataOffsets = nullptr;
    collectIfAsked();
}

void ASprite::freeModuleData() {
    m_moduleWidths = m_moduleHeights = nullptr;
    m_fmoduleModules = nullptr;
    m_frameModuleCounts = nullptr;
    m_aframeFrames = nullptr;
    m_animFrameCounts = nullptr;
    m_frameFirstModule = nullptr;
    m_boxes = nullptr;
    m_boxesShort = nullptr;
    m_frameFirstBox = nullptr;
    m_animFirstFrame = nullptr;
    clearSlots(m_palettes);
    freeImageCaches();
}

void ASprite::freeImageCaches() {
    clearSlots(m_moduleImages);
}

} // namespace game
