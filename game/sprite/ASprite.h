#pragma once

// `ASprite`: one sprite resource: modules (rectangles of palette-indexed
// pixels, or drawing primitives), frames made of positioned modules, and
// animations made of timed frames, with the sprite's palettes and the
// encoded pixels of its modules.
//
// `load` reads sprite data (a pack entry's bytes, little-endian): a 2-byte
// header nobody reads, the 32-bit format word, then the sections modules,
// frame-modules, frames, animation frames and animations, and, when format
// bit 0x1000000 is set, the pixel section (palettes, the data encoding and
// every module's encoded pixels). The reader is bounded by the data: a
// sprite whose sections end early is left empty, a module's pixel data that
// reaches past the end is cut to what is there. Nothing is decoded at load;
// `decodeModule` decodes one module through the current palette into the
// shared pixel buffer, and `storeModuleImage` turns the result into an image.
//
// Indexes that the data gives (module of a frame-module, first records of
// frames and animations, box ranges) are checked after the load by
// `structureProblem`, which the sprite loader asks before it hands a sprite
// out. Every query reads through the checked element access as well, so a
// bad index from a caller logs its line and answers 0, and decoding never
// reads or writes outside an array.
//
// Tables are runtime arrays held by the sprite's reference fields; their
// element types are the narrowest this game's layout allows. Threads: the
// game thread only.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <span>
#include <string>

namespace platform {
class javax_microedition_lcdui_Image;
}

namespace game {

class SpriteReader;

// Format word bits this game reads.
namespace sprite_format {
inline constexpr std::int32_t kModuleSizeShorts = 0x10;      // module width, height 16-bit
inline constexpr std::int32_t kModuleDataSizes32 = 0x80;     // pixel data sizes 32-bit
inline constexpr std::int32_t kOffsetShorts = 0x400;         // frame-module offsets and boxes 16-bit
inline constexpr std::int32_t kFrameBoxes = 0x8000;          // frames carry boxes
inline constexpr std::int32_t kAFrameOffsetShorts = 0x40000; // animation-frame offsets 16-bit
inline constexpr std::int32_t kPixelSection = 0x1000000;     // a pixel section follows
// Named for per-palette tables in the pixel section that no writer makes:
// the reader ignores it (one log line) and reads the section without them.
inline constexpr std::int32_t kPaletteTables = 0x2000000;
// Format bits that say a sprite has module pixels to draw.
inline constexpr std::int32_t kHasModulePixels = kPixelSection | 0x8;
} // namespace sprite_format

// The colour bits of a palette entry, below its alpha byte.
inline constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

// The flags of a paint call: mirrored across x, across y, turned a quarter.
namespace paint_flags {
inline constexpr std::int32_t kMirrorX = 1;
inline constexpr std::int32_t kMirrorY = 2;
inline constexpr std::int32_t kTurn = 4;
} // namespace paint_flags

// Module types and the bytes that stand for them in the data.
enum class ModuleType : std::int8_t {
    Image = 0,
    Rect = 1,
    FillRect = 2,
    Arc = 3,
    FillArc = 4,
    Blank = 5,
    Triangle = 6,
    FillTriangle = 7,
};

// Palette formats and data encodings of the pixel section.
namespace pixel_format {
inline constexpr std::int32_t kArgb8888 = 0x8888;
inline constexpr std::int32_t kArgb1555 = 0x5515;
} // namespace pixel_format
namespace pixel_encoding {
inline constexpr std::int32_t kBits1 = 0x0200;
inline constexpr std::int32_t kBits2 = 0x0400;
inline constexpr std::int32_t kBits4 = 0x1600;
inline constexpr std::int32_t kRuns = 0x64F0;
inline constexpr std::int32_t kPixelsOrRuns = 0x27F1;
inline constexpr std::int32_t kRunsOrLiterals = 0x56F2;
inline constexpr std::int32_t kRunsOrLiteralsAlpha = 0xA256;
} // namespace pixel_encoding

class ASprite final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::ASprite;
    // Slots of a palette table at least; a sprite with more palettes gets one
    // slot per palette.
    static constexpr std::int32_t kMinPaletteSlots = 16;
    // The largest module the decoder grows the pixel buffer for (pixels).
    static constexpr std::int32_t kMaxModulePixels = 1 << 20;

    // Every field zero.
    ASprite()
        : Object(kClassId) {}

    // A new sprite as the game makes one: paint state -1, no text scale, the
    // shared character table and its own rectangle buffer.
    static ASprite* initDefaults();

    // Own virtual operations, after `Object`'s.
    // Makes `palette` current when 0 <= palette < palette count; else nothing.
    virtual void setCurrentPalette(std::int32_t palette);

    // Reads the sprite data at `offset` of `data`. `paletteMask`,
    // `decodeArg` and `sourceImage` belong to image paths this game does not
    // use. Null data does nothing; data that ends inside a section leaves the
    // sprite empty (no modules, frames or animations) with one log line, and
    // answers false (true otherwise).
    bool load(rt::ByteArray* data, std::int32_t offset, std::int32_t paletteMask, std::int32_t decodeArg,
              rt::Object* sourceImage);
    bool loadDefault(rt::ByteArray* data, std::int32_t offset) {
        return load(data, offset, 0xFFFFFF, 1, nullptr);
    }

    // What in the loaded tables points outside them, empty when nothing
    // does: a frame's module records past the frame-module table, a
    // frame-module's module past the module count, a frame's boxes past the
    // box table, an animation's frame records past the animation-frame table
    // or a frame past the frame count, and a pixel section without a palette
    // or without its module data. A sprite that answers empty can be painted
    // and queried by every frame, module and animation it counts without a
    // runtime check failing.
    std::string structureProblem() const;

    // Geometry. Indexes come from the caller or the data and go through the
    // checked element access: one outside its table logs and answers 0.
    std::int32_t getModuleCount() const { return m_moduleCount; }
    std::int32_t getModuleType(std::int32_t module) const;
    std::int32_t getModuleWidth(std::int32_t module) const;
    std::int32_t getModuleHeight(std::int32_t module) const;
    std::int32_t getModuleColour(std::int32_t module) const;
    // Parameters of a primitive module (arc angles, triangle corners): its
    // first parameter's index in `m_moduleParams`, -1 when it has none.
    std::int32_t getModuleParamStart(std::int32_t module) const;
    std::int32_t getFrameCount() const;
    std::int32_t getFModuleCount(std::int32_t frame) const;
    std::int32_t getFModuleModule(std::int32_t frame, std::int32_t fmodule) const;
    std::int32_t getFModuleFlags(std::int32_t frame, std::int32_t fmodule) const;
    std::int32_t getFModuleX(std::int32_t frame, std::int32_t fmodule) const;
    std::int32_t getFModuleY(std::int32_t frame, std::int32_t fmodule) const;
    std::int32_t getFModuleOffsetX(std::int32_t record) const;
    std::int32_t getFModuleOffsetY(std::int32_t record) const;
    std::int32_t getAnimCount() const;
    std::int32_t getAFrameCount(std::int32_t anim) const;
    std::int32_t getAFrameFrame(std::int32_t anim, std::int32_t aframe) const;
    std::int32_t getAFrameTime(std::int32_t anim, std::int32_t aframe) const;
    std::int32_t getAFrameOffsetX(std::int32_t record) const;
    std::int32_t getAFrameOffsetY(std::int32_t record) const;
    std::int32_t getAFrameFlags(std::int32_t anim, std::int32_t aframe) const;
    // Box `box` of `frame` into out[0..3] (x, y, width, height), mirrored by
    // flags bits 0 (x) and 1 (y); (0, 0, 0, 0) for a box the frame does not
    // have. Writes nothing without boxes or without `out`.
    void getFrameBox(std::int32_t frame, std::int32_t box, rt::IntArray* out, std::int32_t flags) const;
    // The image of `module` in `palette`, null when none was built.
    platform::javax_microedition_lcdui_Image* getModuleImage(std::int32_t module, std::int32_t palette) const;
    bool hasModuleData(std::int32_t module) const;
    rt::ByteArray* getModuleData(std::int32_t) const { return m_moduleData; }
    std::int32_t getModuleDataOffset(std::int32_t module) const;
    // Module mappings are off in this game: nothing is stored, -1 answers.
    void setModuleMapping(std::int32_t) {}
    std::int32_t getModuleMapping() const { return -1; }
    std::int32_t getFontHeight() const { return m_lineHeight; }
    std::int32_t getLineSpacing() const { return m_lineSpacing; }

    // Palettes.
    // Palette `palette`, null when it is not one of the sprite's.
    rt::IntArray* getPalette(std::int32_t palette) const;
    // Stores `colours` as palette `palette`, a slot of the table; a slot
    // outside it (or no table) logs and stores nothing.
    void setPalette(std::int32_t palette, rt::IntArray* colours);
    std::int32_t getCurrentPalette() const { return m_currentPalette; }
    std::int32_t getFModulePalette(std::int32_t, std::int32_t) const { return m_currentPalette; }
    // Recolours `source` into `target` by `mode`: source for mode < 0, null
    // for 0, else target (recoloured only for an available mode: 4, grey).
    static rt::IntArray* transformPalette(std::int32_t mode, rt::IntArray* source, rt::IntArray* target);
    static rt::IntArray* transformPaletteCopy(std::int32_t mode, rt::IntArray* source);
    // `transformPalette` into palette slot `palette` of this sprite. Meant for the menu loading's
    // grey bonus pictures, which get a new palette instead (Loading.cpp): their data has no second
    // palette to write into.
    rt::IntArray* setPaletteVariant(std::int32_t mode, rt::IntArray* source, std::int32_t palette);
    // Alpha rewrites. A palette that does not exist logs and changes nothing.
    void setPaletteAlpha(std::int32_t palette, std::int32_t level, bool hasTransparency,
                         bool hasTranslucency);
    void applyPaletteAlpha(std::int32_t palette, std::int32_t level) {
        setPaletteAlpha(palette, level, m_hasTransparency != 0, m_hasTranslucency != 0);
    }
    void restorePaletteAlpha(std::int32_t palette, std::int32_t alphaSource);
    void setPaletteAlphaARGB(std::int32_t source, std::int32_t target, std::int32_t level,
                             bool hasTransparency, bool hasTranslucency);
    void copyPaletteAlpha(std::int32_t source, std::int32_t target, std::int32_t level) {
        setPaletteAlphaARGB(source, target, level, m_hasTransparency != 0, m_hasTranslucency != 0);
    }

    // Pixels and images.
    // Decodes `module` through the current palette into the shared pixel
    // buffer (width x height entries, row by row) and answers the buffer;
    // null when the sprite has no pixel data, the palette is missing, the
    // encoding is unknown or the module is larger than `kMaxModulePixels`.
    rt::IntArray* decodeModule(std::int32_t module);
    // Decodes width x height pixels of the module data at `offset` into the
    // shared buffer, reading no byte at or past `end` (the module's own data
    // ends there); false when nothing could be decoded. `decodeModule` decodes
    // through it.
    bool decodeModulePixels(rt::ByteArray* data, std::int32_t offset, std::int32_t width, std::int32_t height,
                            std::int32_t end);
    // Makes the image of the first width x height entries of `argb` (with
    // alpha processing when one of them is not opaque) and files it as
    // `module` of `palette`.
    void storeModuleImage(rt::IntArray* argb, std::int32_t width, std::int32_t height, std::int32_t palette,
                          std::int32_t module);
    // Makes the per-palette image table and the image array of `palette`
    // when missing (what the cache builder does before filing images).
    void ensureImageTables(std::int32_t palette);

    // Release.
    // Drops the palettes and the module pixel data (images stay usable).
    void freePixelData();
    // Drops the tables, palettes and images; the sprite is not used after.
    void freeModuleData();
    void freeImageCaches();
    // Palettes are freed with the pixel data in this game: nothing.
    void freePalettes() {}
    // The last painted module is never reused in this game.
    static bool canReuseLastModule() { return false; }

    // Font and paint fields (Font.h: metrics, the character map and the
    // switches that text codes toggle).
    std::int32_t m_paintState[5] = {};
    std::int8_t m_fontByte = 0;
    rt::Object* m_glyphBuffer = nullptr;
    rt::Object* m_systemFont = nullptr;
    // Added to the y of every drawn string: minus the top of a line.
    std::int32_t m_textTopOffset = 0;
    std::int32_t m_fontValue = 0;
    std::int8_t m_usesSystemFont = 0;
    std::int32_t m_lineHeight = 0;
    std::int32_t m_lineSpacing = 0;
    std::int32_t m_charSpacing = 0;
    std::int32_t m_spaceWidth = 0;
    std::int8_t m_underline = 0;
    std::int8_t m_bold = 0;
    std::int8_t m_fontBytes[4] = {};
    rt::Object* m_sharedCharTable = nullptr;
    // ShortArray buckets of (character code, glyph frame) pairs; null when
    // the sprite has no usable map (every character is then glyph 1).
    rt::ObjectArray* m_charMap = nullptr;
    std::int16_t m_charMapSize = 0;
    std::int32_t m_textScale = 0;
    rt::IntArray* m_rect = nullptr;
    rt::IntArray* m_systemFontColours = nullptr;

    // Modules.
    std::int32_t m_moduleCount = 0;
    rt::ByteArray* m_moduleTypes = nullptr;
    rt::IntArray* m_moduleColours = nullptr;
    rt::ShortArray* m_moduleWidths = nullptr;
    rt::ShortArray* m_moduleHeights = nullptr;
    rt::ShortArray* m_moduleParams = nullptr;
    rt::ShortArray* m_moduleParamIndex = nullptr;
    // Frame-modules.
    rt::ByteArray* m_fmoduleModules = nullptr;
    rt::ShortArray* m_fmoduleX = nullptr;
    rt::ShortArray* m_fmoduleY = nullptr;
    rt::ByteArray* m_fmoduleFlags = nullptr;
    // Frames.
    rt::ByteArray* m_frameModuleCounts = nullptr;
    rt::ShortArray* m_frameFirstModule = nullptr;
    rt::ByteArray* m_boxes = nullptr;
    rt::ShortArray* m_boxesShort = nullptr;
    rt::ShortArray* m_frameFirstBox = nullptr;
    // Animation frames and animations.
    rt::ByteArray* m_aframeFrames = nullptr;
    rt::ByteArray* m_aframeTimes = nullptr;
    rt::ShortArray* m_aframeX = nullptr;
    rt::ShortArray* m_aframeY = nullptr;
    rt::ByteArray* m_aframeFlags = nullptr;
    rt::ByteArray* m_animFrameCounts = nullptr;
    rt::ShortArray* m_animFirstFrame = nullptr;
    std::int32_t m_currentMapping = 0;

    // Pixel section.
    std::int32_t m_format = 0;
    rt::ByteArray* m_moduleData = nullptr;
    rt::IntArray* m_moduleDataOffsets = nullptr;
    rt::ObjectArray* m_palettes = nullptr; // of IntArray
    std::int32_t m_paletteCount = 0;
    std::int32_t m_colourCount = 0;
    std::int32_t m_currentPalette = 0;
    std::int8_t m_hasTransparency = 0;
    std::int8_t m_hasTranslucency = 0;
    std::int32_t m_flags = 0;
    std::uint16_t m_dataEncoding = 0;
    std::int32_t m_runIndexMask = 0;
    std::int32_t m_runIndexBits = 0;

    // Images: per palette an ObjectArray of one image per module; the frame
    // image cache's two tables.
    rt::ObjectArray* m_moduleImages = nullptr;
    rt::Object* m_frameImageCache = nullptr;
    rt::Object* m_frameImageKeys = nullptr;

    RT_REFERENCE_FIELDS(ASprite, Object, m_glyphBuffer, m_systemFont, m_sharedCharTable, m_charMap, m_rect,
                        m_systemFontColours, m_moduleTypes, m_moduleColours, m_moduleWidths, m_moduleHeights,
                        m_moduleParams, m_moduleParamIndex, m_fmoduleModules, m_fmoduleX, m_fmoduleY,
                        m_fmoduleFlags, m_frameModuleCounts, m_frameFirstModule, m_boxes, m_boxesShort,
                        m_frameFirstBox, m_aframeFrames, m_aframeTimes, m_aframeX, m_aframeY, m_aframeFlags,
                        m_animFrameCounts, m_animFirstFrame, m_moduleData, m_moduleDataOffsets, m_palettes,
                        m_moduleImages, m_frameImageCache, m_frameImageKeys)

private:
    friend class SpriteLoader;
    // Nulls every table the load fills (a load that found its data cut short).
    void clearLoadedTables();
    // Reads the palettes, the data encoding and the modules' encoded pixels.
    void readPixelSection(SpriteReader& in);
};

// Sets up the sprite engine's shared statics (transform tables, rectangle,
// collection flags). Runs once at start-up after the configuration.
void spriteStaticInit();

} // namespace game
