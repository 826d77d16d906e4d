#pragma once

// The zoom caches: sprite frames and animations prepared for drawing at any
// scale by software (Scaler.h). Two tables of one design, the zoomed cache
// and the pre-zoomed cache, each a `java_util_Hashtable` from
// `java_lang_Integer` keys to entries (`ZoomedSpritePlayer` objects, whose
// class id names the cache). An entry is one of:
//
// - a plain frame: the frame composed once at scale 1, either palette
//   indexes with copies of the sprite's palettes or ARGB colours, scaled at
//   paint time;
// - a stepped frame: `count` images of the frame pre-scaled at k / count
//   (k = 1 .. count), one set per palette;
// - an animation: its frame records (time, offset, flags, frame), whose
//   frames are entries of their own.
//
// Keys are id + (sprite << 10), plus 1 << 30 for an animation and 1 << 31
// for a sprite of the second sprite table, wrapping. An id outside 0..1023
// would collide with the sprite bits: it is refused with a log line and the
// operation does nothing.
//
// Builders run while loading; every operation on a table that was not made
// does nothing (readers answer 0 or null). The shared scratch `s_rgbBuffer`
// holds decoded modules and rendered frames and is the scaler's output; its
// contents belong to the latest user. Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace lib {
class java_lang_Integer;
class java_util_Hashtable;
} // namespace lib

namespace platform {
class javax_microedition_lcdui_Image;
}

namespace game {

class ASprite;

// One cache entry. The same C++ class serves both caches: class id
// `ZoomedSpritePlayer` for the zoomed cache, `PreZoomedSpritePlayer` for the
// pre-zoomed one.
class ZoomedSpritePlayer final : public rt::Object {
public:
    ZoomedSpritePlayer(rt::ClassId id, bool stepped)
        : Object(id)
        , m_stepped(stepped ? 1 : 0) {}

    // Palette whose cached module images gave `m_argbPixels`; -1 none.
    std::int32_t m_argbPalette = -1;
    // W x H ARGB pixels row by row (frames composed from module images).
    rt::IntArray* m_argbPixels = nullptr;
    // W x H palette indexes, read unsigned (frames composed from module data).
    rt::ByteArray* m_indexPixels = nullptr;
    // One slot per palette of the sprite: a copy of that palette, on demand.
    rt::ObjectArray* m_palettes = nullptr;
    // Stepped frames: per palette an ObjectArray of `count` images.
    rt::ObjectArray* m_stepImages = nullptr;
    // Plain frames {W, H, x0, y0}; stepped frames {w, h, x, y} per step.
    // Sizes read unsigned, offsets signed (the bounding box's offset from
    // the frame's origin).
    rt::ShortArray* m_rects = nullptr;
    // Animations: {time, x offset, y offset, flags, frame} per frame.
    rt::ShortArray* m_animRecords = nullptr;
    std::int32_t m_animFrameCount = 0;
    std::int8_t m_stepped = 0;

    RT_REFERENCE_FIELDS(ZoomedSpritePlayer, Object, m_argbPixels, m_indexPixels, m_palettes, m_stepImages,
                        m_rects, m_animRecords)
};

struct ZoomStatics {
    lib::java_util_Hashtable* s_zoomCache = nullptr;
    std::int8_t s_zoomStepped = 0;
    lib::java_util_Hashtable* s_preZoomCache = nullptr;
    std::int8_t s_preZoomStepped = 0;
    // The builders' scratch and the scaler's output.
    rt::IntArray* s_rgbBuffer = nullptr;
    // The second sprite table (ASprite entries); null until the game makes it.
    rt::ObjectArray* s_altSprites = nullptr;
    // Painter parameters, set by a caller just before a paint and reset
    // after it: the palette of index pixels (one past the last means 0),
    // whether the next palette gives each colour's alpha, and the global
    // alpha 0..255 (-1 none).
    std::int32_t s_zoomPalette = 0;
    std::int8_t s_zoomAlphaPalette = 0;
    std::int32_t s_zoomAlpha = -1;
    std::int32_t s_preZoomPalette = 0;
    std::int8_t s_preZoomAlphaPalette = 0;
    std::int32_t s_preZoomAlpha = -1;
    // The keys made so far, kept for reuse (Integer[kZoomKeySlots], made on
    // the first lookup): slot value mod the slot count holds the last key
    // of that value, so that a painted frame's lookups make no object.
    rt::ObjectArray* s_keys = nullptr;

    RT_REFERENCE_FIELDS(ZoomStatics, rt::NoReferenceBase, s_zoomCache, s_preZoomCache, s_rgbBuffer,
                        s_altSprites, s_keys)
};

ZoomStatics& zoomStatics();

// Which of the two caches an operation works on.
enum class ZoomCacheKind : std::uint8_t { Zoomed, PreZoomed };

// The zoom code's fixed point: 4096 stands for 1.0, and a product is
// rounded by adding half of it before the shift.
namespace zoom_fp {
inline constexpr std::int32_t kShift = 12;
inline constexpr std::int32_t kOne = 1 << kShift;
inline constexpr std::int32_t kHalf = kOne / 2;
} // namespace zoom_fp

inline constexpr std::int32_t kZoomIdLimit = 1024;
// How many made keys the caches keep for reuse.
inline constexpr std::int32_t kZoomKeySlots = 512;
inline constexpr std::int32_t kZoomAnimBit = 1 << 30;

// The key's value: id + (sprite << 10) + (anim ? 1 << 30) + (bank ? 1 << 31),
// wrapping.
std::int32_t zoomKeyValue(std::int32_t sprite, std::int32_t id, bool anim, bool bank);
// The key as an Integer, the one made before for the same value where the
// kept keys still hold it; null, after a log line, for an id outside 0..1023.
lib::java_lang_Integer* makeCacheKey(std::int32_t sprite, std::int32_t id, bool anim, bool bank);

// Sprite `s` of the sprite table, or of the second table with `bank`; null
// (reported) when the slot holds no sprite.
ASprite* zoomSprite(std::int32_t s, bool bank);

// The scratch with at least `entries` entries (made with the pixel buffer's
// configured size, or grown); null past `ASprite::kMaxModulePixels`.
rt::IntArray* ensureRgbBuffer(std::int32_t entries);

// Set-up and direct access.
void initZoomCache(bool stepped);
void initPreZoomCache(bool stepped);
// What the start-up makes: the zoomed cache with plain entries by default,
// the pre-zoomed cache with stepped ones.
void initZoomCaches();
// Files a ready entry under `key`: the tests of the race's release fill the
// caches with them.
void putZoomed(lib::java_lang_Integer* key, ZoomedSpritePlayer* entry);
void removeZoomed(std::int32_t s, std::int32_t f, bool bank = false);
void putPreZoomed(lib::java_lang_Integer* key, ZoomedSpritePlayer* entry);
void removePreZoomed(std::int32_t s, std::int32_t f, bool bank = false);
// The entry of (s, id) in `kind`'s cache, null when the table or the entry
// is missing or the id is refused.
ZoomedSpritePlayer* findZoomEntry(ZoomCacheKind kind, std::int32_t s, std::int32_t id, bool anim, bool bank);

// Removes the animation entry and the frame entry of each of its records.
void uncacheZoomedAnim(std::int32_t s, std::int32_t a, bool bank);
inline void uncacheZoomedAnim2(std::int32_t s, std::int32_t a) {
    uncacheZoomedAnim(s, a, false);
}
void uncachePreZoomedAnim(std::int32_t s, std::int32_t a, bool bank);

// Value i (0 width, 1 height, 2 x, 3 y) of the frame entry's rectangle at
// `scale` (4096 = 1.0); 0 without the entry. A stepped entry answers the
// step that the scale reaches (at least the first, at most the last); a
// plain one its rectangle scaled and rounded.
std::int32_t getZoomedFrameRect(std::int32_t s, std::int32_t f, std::int32_t i, std::int32_t scale,
                                bool bank);
inline std::int32_t getZoomedFrameRect4(std::int32_t s, std::int32_t f, std::int32_t i, std::int32_t scale) {
    return getZoomedFrameRect(s, f, i, scale, false);
}

// Building. `palettes` lists palette numbers (null: every palette of the
// sprite); `count` is the number of steps of a stepped build.
void cacheZoomedFrame(std::int32_t s, std::int32_t f, rt::IntArray* palettes, std::int32_t count, bool bank,
                      bool stepped);
void cacheZoomedAnim(std::int32_t s, std::int32_t a, rt::IntArray* palettes, std::int32_t count, bool bank,
                     bool stepped);
void cachePreZoomedFrame(std::int32_t s, std::int32_t f, rt::IntArray* palettes, std::int32_t count,
                         bool bank, bool stepped);
void cachePreZoomedAnim(std::int32_t s, std::int32_t a, rt::IntArray* palettes, std::int32_t count, bool bank,
                        bool stepped);
// The short forms are named by their argument counts: they build from the
// first sprite table for every palette, stepped as the cache's default, with
// the count -1 where it is not given.
void cacheZoomedFrame2(std::int32_t s, std::int32_t f);
void cacheZoomedFrame3(std::int32_t s, std::int32_t f, std::int32_t count);
void cacheZoomedAnim3(std::int32_t s, std::int32_t a, std::int32_t count);
void cachePreZoomedAnim3(std::int32_t s, std::int32_t a, std::int32_t count);

// The plain build: frame f composed at scale 1 into the entry (s, f, bank),
// which is made when missing; a rebuild keeps existing index pixels and adds
// missing palette copies. Frame-modules are placed as `paintFModule` places
// them (mirrors and the quarter turn inside the module's rectangle) and
// every write is cut to the entry's W x H.
void buildZoomedFrame(std::int32_t s, std::int32_t f, rt::IntArray* palettes, bool bank, bool stepped);
void buildPreZoomedFrame(std::int32_t s, std::int32_t f, rt::IntArray* palettes, bool bank, bool stepped);
// The stepped build for one palette (`palettes`[0], else the current one);
// the pre-zoomed twin builds every palette in turn up to the first one
// already built.
void buildZoomedFrameSteps(std::int32_t s, std::int32_t f, rt::IntArray* palettes, std::int32_t count,
                           bool bank, bool stepped);
void buildPreZoomedFrameSteps(std::int32_t s, std::int32_t f, rt::IntArray* palettes, std::int32_t count,
                              bool bank, bool stepped);

// Copies palette p of `sprite` into the entry (once) and answers the first
// index of alpha 0 in it; 0 when p is no palette, the copy exists already or
// no colour is transparent.
std::int32_t copyPalette(ZoomedSpritePlayer* entry, ASprite* sprite, std::int32_t p);
// Decodes module m's data into `s_rgbBuffer` as one palette index per entry
// (w x h, row by row), growing the buffer for a large module. False, after
// a log line, for an unknown encoding, a module past the size limit or a
// sprite without module data.
bool decodeModuleIndexes(ASprite* sprite, std::int32_t m);
// The w x h pixels at the top left of `image` into `argb`, row r from r x
// `scanLength`; cut to the image's size.
void getRGBRows(platform::javax_microedition_lcdui_Image* image, rt::IntArray* argb, std::int32_t scanLength,
                std::int32_t w, std::int32_t h);

} // namespace game
