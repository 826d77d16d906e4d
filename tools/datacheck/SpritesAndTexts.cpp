// The sprite slots, the fonts and the texts they draw.

#include "game/data/PackReader.h"
#include "game/data/TextPacks.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tools/datacheck/Rules.h"

namespace datacheck {

namespace {

// What the painters of a run of sprite slots ask of each: the fewest frames,
// animations and palettes, and the box points of frames `boxFrom` on. The
// splash shows frames 0 and 1; the question box frame n for n answers (1 to
// 6) with its answers' and its title's points; the menu background frames 0
// and 1; the header frame 0, the gauge's 2, 3 and 5 and the emblem 6; the
// menu items frames 0 to 3; the other front-end slots at least one frame. A
// racer's sprite set shows steering frames 0 to 9, the player's car layers
// 23 and 43 to 48, and animations 2 to 5, in its racer's palette.
struct SlotNeed {
    std::int32_t first, last;
    std::int32_t frames, anims, palettes;
    const char* rule;
    std::int32_t boxFrom = 0, boxes = 0;
};
constexpr SlotNeed kSlotNeeds[] = {
    {0, 0, 2, 0, 0, "front-end-sprite"},   {1, 2, 1, 0, 0, "front-end-sprite"},
    {4, 4, 7, 0, 0, "question-box", 1, 2}, {5, 5, 2, 0, 0, "front-end-sprite"},
    {7, 7, 1, 0, 0, "front-end-sprite"},   {8, 8, 7, 0, 0, "front-end-sprite"},
    {10, 11, 1, 0, 0, "front-end-sprite"}, {14, 14, 1, 0, 0, "front-end-sprite"},
    {25, 26, 1, 0, 0, "front-end-sprite"}, {30, 30, 1, 0, 0, "front-end-sprite"},
    {43, 52, 49, 6, 1, "car-frames"},      {62, 63, 1, 0, 0, "front-end-sprite"},
    {65, 65, 4, 0, 0, "front-end-sprite"},
};
constexpr std::int32_t kFontCount = 3;
constexpr std::int32_t kFirstCharMap = 3;
// Fonts are drawn in palettes 0 to 3 and need frame 0 (metrics), frame 1
// (the missing glyph) and at least one glyph.
constexpr std::int32_t kFontPalettes = 4;
constexpr std::int32_t kTextTables = 4;

rt::String* constant(std::int32_t number) {
    return rt::getStaticClass().getConstantString(number);
}

game::ASprite* loadEntry(std::int32_t entry) {
    rt::ByteArray* bytes = game::packReadEntry(entry);
    if (!bytes || bytes->length() == 0)
        return nullptr;
    game::ASprite* sprite = game::ASprite::initDefaults();
    sprite->loadDefault(bytes, 0);
    return sprite;
}

// Image modules are decoded whole into the shared pixel buffer: one larger than
// its configured size only draws because the decoder grows the buffer.
void checkModuleSizes(Findings& findings, const std::string& resource, const game::ASprite* sprite) {
    const std::int32_t buffer = game::config().s_pixelBufferSize;
    for (std::int32_t m = 0; sprite && m < sprite->getModuleCount(); ++m) {
        // Rectangles and arcs are drawn, not decoded.
        if (sprite->m_moduleTypes && sprite->getModuleType(m) != 0)
            continue;
        const std::int64_t w = sprite->getModuleWidth(m), h = sprite->getModuleHeight(m);
        if (w * h > buffer)
            addFinding(findings, resource + " module " + std::to_string(m), "module-size",
                       std::to_string(w) + " x " + std::to_string(h) + " pixels; the pixel buffer holds " +
                           std::to_string(buffer));
    }
}

game::ASprite* font(std::int32_t f) {
    return static_cast<game::ASprite*>(rt::ObjectArray::get(game::startupStatics().s_fonts, f));
}

} // namespace

void checkSprites(Findings& findings) {
    game::spriteStatics().s_gcOnLoad = 0;
    openPack(rt::constants::kSpritePack);
    for (const SlotNeed& need : kSlotNeeds) {
        for (std::int32_t slot = need.first; slot <= need.last; ++slot) {
            game::ASprite* sprite = loadEntry(slot);
            std::string resource = "sprite " + std::to_string(slot);
            if (!sprite) {
                addFinding(findings, resource, need.rule, "the slot is empty");
                continue;
            }
            auto below = [&](const char* what, std::int32_t has, std::int32_t wanted) {
                if (has < wanted)
                    addFinding(findings, resource, need.rule,
                               std::to_string(has) + " " + what + "; its painters draw " +
                                   std::to_string(wanted));
            };
            below("frames", sprite->getFrameCount(), need.frames);
            below("animations", sprite->getAnimCount(), need.anims);
            below("palettes", sprite->m_paletteCount, need.palettes);
            for (std::int32_t frame = need.boxFrom; need.boxes > 0 && frame < sprite->getFrameCount();
                 ++frame) {
                const rt::ShortArray* first = sprite->m_frameFirstBox;
                std::int32_t boxes =
                    first && frame + 1 < first->length()
                        ? rt::ShortArray::get(first, frame + 1) - rt::ShortArray::get(first, frame)
                        : 0;
                if (boxes < need.boxes)
                    addFinding(findings, resource + " frame " + std::to_string(frame), need.rule,
                               std::to_string(boxes) + " box points; its painter reads " +
                                   std::to_string(need.boxes));
            }
        }
    }
    openPack(rt::constants::kSpritePack);
    for (std::int32_t slot = 0; slot < game::kSpriteCount; ++slot)
        checkModuleSizes(findings, "sprite " + std::to_string(slot), loadEntry(slot));
    openPack(rt::constants::kFontPack);
    if (!game::startupStatics().s_fonts)
        game::startupStatics().s_fonts = rt::newObjectArray(6);
    for (std::int32_t f = 0; f < kFontCount; ++f) {
        game::ASprite* sprite = loadEntry(f);
        rt::ObjectArray::set(game::startupStatics().s_fonts, f, sprite);
        std::string resource = "font " + std::to_string(f);
        if (!sprite) {
            addFinding(findings, resource, "font", "the font's entry is empty");
            continue;
        }
        checkModuleSizes(findings, resource, sprite);
        game::loadCharMap(f, kFirstCharMap + f);
        if (sprite->getFrameCount() < 3)
            addFinding(findings, resource, "font", "has no glyph frames");
        if (sprite->m_paletteCount < kFontPalettes)
            addFinding(findings, resource, "font",
                       std::to_string(sprite->m_paletteCount) + " palettes; texts are drawn in 4");
    }
    game::closeStream();
}

void checkTexts(Findings& findings) {
    rt::String* pack = constant(rt::constants::kTextPack);
    for (std::int32_t table = 0; table < kTextTables; ++table) {
        if (!game::loadTextPack(pack, table))
            continue; // the loader has logged why
        for (std::int32_t id = 0; id < game::textStatics().s_textCount; ++id) {
            const rt::String* text = game::getString(id);
            if (!text)
                continue;
            std::u16string_view chars = text->view();
            for (std::size_t i = 0; i < chars.size(); ++i) {
                char16_t c = chars[i];
                if (c == u'\\' && i + 1 < chars.size()) {
                    ++i; // a style or palette code and its letter
                    continue;
                }
                if (c <= u' ')
                    continue;
                for (std::int32_t f = 0; f < kFontCount; ++f) {
                    if (font(f) && game::getCharIndex(font(f), c) == 1)
                        addFinding(findings,
                                   "text table " + std::to_string(table) + " text " + std::to_string(id),
                                   "font-coverage",
                                   "character " + std::to_string(static_cast<int>(c)) +
                                       " has no glyph in font " + std::to_string(f));
                }
            }
        }
    }
}

} // namespace datacheck
