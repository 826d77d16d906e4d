#include "game/sprite/ZoomCache.h"

#include "classlib/lang/Integer.h"
#include "classlib/util/Hashtable.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/Paint.h"
#include "game/sprite/PixelDecoder.h"
#include "game/sprite/SpriteStatics.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace game {

namespace {

using lib::java_lang_Integer;
using lib::java_util_Hashtable;
using platform::javax_microedition_lcdui_Image;
using rt::ByteArray;
using rt::IntArray;
using rt::ObjectArray;
using rt::ShortArray;
using namespace zoom_fp;
using namespace paint_flags;

java_util_Hashtable* cacheTable(ZoomCacheKind kind) {
    const ZoomStatics& z = zoomStatics();
    return kind == ZoomCacheKind::Zoomed ? z.s_zoomCache : z.s_preZoomCache;
}

ZoomedSpritePlayer* asEntry(rt::Object* object) {
    if (object && (object->classId() == rt::ClassId::ZoomedSpritePlayer ||
                   object->classId() == rt::ClassId::PreZoomedSpritePlayer))
        return static_cast<ZoomedSpritePlayer*>(object);
    return nullptr;
}

ZoomedSpritePlayer* makeEntry(ZoomCacheKind kind, bool stepped) {
    const rt::ClassId id =
        kind == ZoomCacheKind::Zoomed ? rt::ClassId::ZoomedSpritePlayer : rt::ClassId::PreZoomedSpritePlayer;
    return rt::makeAs<ZoomedSpritePlayer>(id, stepped);
}

void put(ZoomCacheKind kind, java_lang_Integer* key, ZoomedSpritePlayer* entry) {
    java_util_Hashtable* table = cacheTable(kind);
    if (table && key && entry)
        (void)table->put(key, entry);
}

void remove(ZoomCacheKind kind, java_lang_Integer* key) {
    java_util_Hashtable* table = cacheTable(kind);
    if (table && key)
        (void)table->remove(key);
}

ZoomedSpritePlayer* lookup(ZoomCacheKind kind, java_lang_Integer* key) {
    java_util_Hashtable* table = cacheTable(kind);
    if (!table || !key)
        return nullptr;
    return asEntry(table->get(key));
}

// One entry slot per palette of the sprite's data.
std::int32_t paletteSlots(const ASprite* sprite) {
    return std::max(sprite->m_paletteCount, 0);
}

// Calls `each` with every palette number of `palettes`, or of the sprite when null.
template <class Each>
void forEachPalette(const ASprite* sprite, IntArray* palettes, Each each) {
    if (palettes) {
        for (std::int32_t p : IntArray::span(palettes))
            each(p);
        return;
    }
    const std::int32_t count = std::max(sprite->m_paletteCount, 0);
    for (std::int32_t p = 0; p < count; ++p)
        each(p);
}

// The frame's bounding rectangle at the origin: (x0, y0, W, H). A frame
// without modules measures empty, and gives 0 x 0 at the origin.
struct FrameBounds {
    std::int32_t x0 = 0, y0 = 0, w = 0, h = 0;
};

FrameBounds measureFrame(ASprite* sprite, std::int32_t f) {
    IntArray* rect = rt::newIntArray(4);
    getFrameRect(sprite, rect, f, 0, 0, 0);
    const std::int64_t left = IntArray::get(rect, 0), top = IntArray::get(rect, 1);
    const std::int64_t right = IntArray::get(rect, 2), bottom = IntArray::get(rect, 3);
    if (right <= left || bottom <= top)
        return {};
    if ((right - left) * (bottom - top) > ASprite::kMaxModulePixels || right - left > 0xFFFF ||
        bottom - top > 0xFFFF) {
        host::logf(host::LogCategory::Game, "zoom cache: frame %d of %lld x %lld pixels is too large", f,
                   static_cast<long long>(right - left), static_cast<long long>(bottom - top));
        return {};
    }
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
            static_cast<std::int32_t>(right - left), static_cast<std::int32_t>(bottom - top)};
}

// Copies the mw x mh block `source` into the W x H `target` at (mx, my),
// placed as `paintFModule` draws a module under `flags`: mirrors first, then
// the quarter turn clockwise, which makes the block mh wide and mw tall.
// Pixels equal to `skipIndex` (index mode) or of alpha 0 (ARGB mode) are left
// out; every write lands inside the target.
void copyModule(std::span<const std::int32_t> source, std::int32_t mw, std::int32_t mh,
                std::span<std::int32_t> target, std::int32_t W, std::int32_t H, std::int32_t mx,
                std::int32_t my, std::int32_t flags, bool indexes, std::int32_t skipIndex) {
    const bool turned = (flags & kTurn) != 0;
    const std::int32_t dw = turned ? mh : mw;
    const std::int32_t dh = turned ? mw : mh;
    const std::int32_t x0 = std::max(0, -mx), x1 = std::min(dw, W - mx);
    const std::int32_t y0 = std::max(0, -my), y1 = std::min(dh, H - my);
    for (std::int32_t dy = y0; dy < y1; ++dy) {
        std::int32_t* out = target.data() + static_cast<std::ptrdiff_t>(my + dy) * W + mx;
        for (std::int32_t dx = x0; dx < x1; ++dx) {
            // Column and row of the module after its mirrors.
            std::int32_t c = turned ? dy : dx;
            std::int32_t r = turned ? dw - 1 - dx : dy;
            if (flags & kMirrorX)
                c = mw - 1 - c;
            if (flags & kMirrorY)
                r = mh - 1 - r;
            const std::int32_t pixel = source[static_cast<std::size_t>(r) * mw + c];
            if (indexes ? pixel == skipIndex : (static_cast<std::uint32_t>(pixel) >> 24) == 0)
                continue;
            out[dx] = pixel;
        }
    }
}

void buildFrame(ZoomCacheKind kind, std::int32_t s, std::int32_t f, IntArray* palettes, bool bank,
                bool stepped) {
    java_lang_Integer* key = makeCacheKey(s, f, false, bank);
    if (!key || !cacheTable(kind))
        return;
    ASprite* sprite = zoomSprite(s, bank);
    if (!sprite)
        return;
    ZoomedSpritePlayer* entry = lookup(kind, key);
    if (!entry) {
        entry = makeEntry(kind, stepped);
        entry->m_argbPalette = -1;
    }
    const bool encoded = sprite->hasModuleData(0);
    std::int32_t transparent = 0;
    if (encoded)
        forEachPalette(sprite, palettes,
                       [&](std::int32_t p) { transparent = copyPalette(entry, sprite, p); });
    const FrameBounds bounds = measureFrame(sprite, f);
    collectIfAsked();
    IntArray* buffer = rt::newIntArray(bounds.w * bounds.h);
    std::ranges::fill(IntArray::span(buffer), transparent);
    bool indexes = false;
    const std::int32_t count = sprite->getFModuleCount(f);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t m = sprite->getFModuleModule(f, i);
        if (sprite->m_moduleTypes && sprite->getModuleType(m) != static_cast<std::int32_t>(ModuleType::Image))
            continue;
        const std::int32_t mw = sprite->getModuleWidth(m), mh = sprite->getModuleHeight(m);
        const std::int32_t flags = sprite->getFModuleFlags(f, i);
        if (encoded) {
            if (!decodeModuleIndexes(sprite, m))
                continue;
            indexes = true;
        } else if (javax_microedition_lcdui_Image* image =
                       sprite->getModuleImage(m, sprite->getCurrentPalette())) {
            if (!ensureRgbBuffer(mw * mh))
                continue;
            getRGBRows(image, zoomStatics().s_rgbBuffer, mw, mw, mh);
            entry->m_argbPalette = sprite->getCurrentPalette();
            indexes = false;
        } else {
            // Nothing to copy: the scratch would hold another module's pixels.
            host::logf(host::LogCategory::Game, "zoom cache: module %d of sprite %d has no pixels; skipped",
                       m, s);
            continue;
        }
        const auto source = IntArray::span(zoomStatics().s_rgbBuffer, 0, mw * mh);
        if (source.size() != static_cast<std::size_t>(mw) * mh)
            continue;
        copyModule(source, mw, mh, IntArray::span(buffer), bounds.w, bounds.h,
                   sprite->getFModuleX(f, i) - bounds.x0, sprite->getFModuleY(f, i) - bounds.y0, flags,
                   indexes, transparent);
    }
    if (indexes) {
        if (!entry->m_indexPixels) {
            ByteArray* copy = rt::newByteArray(bounds.w * bounds.h);
            std::ranges::transform(IntArray::span(buffer), ByteArray::span(copy).begin(),
                                   [](std::int32_t v) { return static_cast<std::int8_t>(v); });
            entry->m_indexPixels = copy;
        }
        forEachPalette(sprite, palettes, [&](std::int32_t p) { (void)copyPalette(entry, sprite, p); });
    } else {
        entry->m_argbPixels = buffer;
    }
    ShortArray* rects = rt::newShortArray(4);
    rt::Array::fill16(rects, {bounds.w, bounds.h, bounds.x0, bounds.y0});
    entry->m_rects = rects;
    put(kind, key, entry);
}

// Replaces both shared pixel buffers by one array of `entries` when the
// scratch is shorter (the stepped builders render whole frames into it).
bool growSharedBuffers(std::int32_t entries) {
    ZoomStatics& z = zoomStatics();
    if (z.s_rgbBuffer && z.s_rgbBuffer->length() >= entries)
        return true;
    z.s_rgbBuffer = nullptr;
    spriteStatics().s_pixelBuffer = nullptr;
    collectIfAsked();
    IntArray* buffer = rt::newIntArray(std::max(entries, config().s_pixelBufferSize));
    z.s_rgbBuffer = buffer;
    spriteStatics().s_pixelBuffer = buffer;
    return buffer != nullptr;
}

// The stepped build of one palette p (selected on the sprite first when
// `select`). False when the entry's images of p existed already.
bool buildSteps(ZoomCacheKind kind, std::int32_t s, std::int32_t f, std::int32_t p, bool select,
                std::int32_t count, bool bank, bool stepped) {
    java_lang_Integer* key = makeCacheKey(s, f, false, bank);
    if (!key || !cacheTable(kind) || count < 1)
        return false;
    ASprite* sprite = zoomSprite(s, bank);
    if (!sprite)
        return false;
    ZoomedSpritePlayer* entry = lookup(kind, key);
    if (!entry) {
        entry = makeEntry(kind, stepped);
        entry->m_rects = rt::newShortArray(4 * count);
        entry->m_stepImages = rt::newObjectArray(paletteSlots(sprite));
    }
    if (p < 0 || !entry->m_stepImages || p >= entry->m_stepImages->length()) {
        host::logf(host::LogCategory::Game, "zoom cache: sprite %d has no palette %d to step", s, p);
        return false;
    }
    if (ObjectArray::get(entry->m_stepImages, p))
        return false;
    const FrameBounds b = measureFrame(sprite, f);
    if (b.w < 1 || b.h < 1 || !growSharedBuffers(b.w * b.h))
        return false;
    javax_microedition_lcdui_Image* image = javax_microedition_lcdui_Image::createImage(b.w, b.h);
    platform::javax_microedition_lcdui_Graphics* g = image->getGraphics();
    const std::int32_t keyColour = g->getDisplayColor(0xFF00FF) & 0xFFFFFF;
    g->setColor(0xFF00FF);
    g->fillRect(0, 0, b.w, b.h);
    if (select)
        sprite->setCurrentPalette(p);
    paintFrame(sprite, g, f, -b.x0, -b.y0, 0, 0, 0);
    image->getRGB(zoomStatics().s_rgbBuffer, 0, b.w, 0, 0, b.w, b.h);
    collectIfAsked();
    IntArray* out = rt::newIntArray(b.w * b.h);
    ObjectArray* images = rt::newObjectArray(count);
    ObjectArray::set(entry->m_stepImages, p, images);
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t sc = ((k + 1) << kShift) / count;
        const std::int32_t sw = std::max(1, (sc * b.w + kHalf) >> kShift);
        const std::int32_t sh = std::max(1, (sc * b.h + kHalf) >> kShift);
        for (std::int32_t i = 0; i < 4; ++i) {
            const std::int32_t values[4] = {sw, sh, (b.x0 * sc + kHalf) >> kShift,
                                            (b.y0 * sc + kHalf) >> kShift};
            ShortArray::set(entry->m_rects, 4 * k + i, static_cast<std::int16_t>(values[i]));
        }
        {
            const auto from = IntArray::span(zoomStatics().s_rgbBuffer, 0, b.w * b.h);
            const auto to = IntArray::span(out, 0, sw * sh);
            for (std::int32_t j = 0; j < sh; ++j) {
                const std::int32_t sy =
                    std::clamp((((j - (sh >> 1)) << kShift) / sc) + (b.h >> 1), 0, b.h - 1);
                for (std::int32_t i = 0; i < sw; ++i) {
                    const std::int32_t sx =
                        std::clamp((((i - (sw >> 1)) << kShift) / sc) + (b.w >> 1), 0, b.w - 1);
                    std::int32_t pixel = from[static_cast<std::size_t>(sy) * b.w + sx];
                    if ((pixel & 0xFFFFFF) == keyColour)
                        pixel = 0x00FF00FF;
                    to[static_cast<std::size_t>(j) * sw + i] = pixel;
                }
            }
        }
        ObjectArray::set(images, k, javax_microedition_lcdui_Image::createRGBImage(out, sw, sh, true));
    }
    collectIfAsked();
    put(kind, key, entry);
    return true;
}

void buildStepsOf(ZoomCacheKind kind, std::int32_t s, std::int32_t f, IntArray* palettes, std::int32_t count,
                  bool bank, bool stepped) {
    if (palettes) {
        (void)buildSteps(kind, s, f, IntArray::get(palettes, 0), true, count, bank, stepped);
        return;
    }
    if (kind == ZoomCacheKind::Zoomed) {
        ASprite* sprite = zoomSprite(s, bank);
        if (sprite)
            (void)buildSteps(kind, s, f, sprite->getCurrentPalette(), false, count, bank, stepped);
        return;
    }
    ASprite* sprite = zoomSprite(s, bank);
    const std::int32_t palettesOfSprite = sprite ? sprite->m_paletteCount : 0;
    for (std::int32_t p = 0; p < palettesOfSprite; ++p)
        if (!buildSteps(kind, s, f, p, true, count, bank, stepped))
            return;
}

void cacheAnim(ZoomCacheKind kind, std::int32_t s, std::int32_t a, IntArray* palettes, std::int32_t count,
               bool bank, bool stepped) {
    java_lang_Integer* key = makeCacheKey(s, a, true, bank);
    ASprite* sprite = key ? zoomSprite(s, bank) : nullptr;
    if (!sprite)
        return;
    ZoomedSpritePlayer* entry = makeEntry(kind, stepped);
    const std::int32_t n = sprite->getAFrameCount(a);
    entry->m_animFrameCount = n;
    entry->m_animRecords = rt::newShortArray(5 * n);
    const std::int32_t first = ShortArray::get(sprite->m_animFirstFrame, a);
    for (std::int32_t k = 0; k < n; ++k) {
        const std::int32_t frame = sprite->getAFrameFrame(a, k);
        if (kind == ZoomCacheKind::Zoomed)
            cacheZoomedFrame(s, frame, palettes, count, bank, stepped);
        else
            cachePreZoomedFrame(s, frame, palettes, count, bank, stepped);
        const std::int32_t record[5] = {sprite->getAFrameTime(a, k), sprite->getAFrameOffsetX(first + k),
                                        sprite->getAFrameOffsetY(first + k), sprite->getAFrameFlags(a, k),
                                        frame};
        for (std::int32_t i = 0; i < 5; ++i)
            ShortArray::set(entry->m_animRecords, 5 * k + i, static_cast<std::int16_t>(record[i]));
    }
    put(kind, key, entry);
}

void uncacheAnim(ZoomCacheKind kind, std::int32_t s, std::int32_t a, bool bank) {
    java_lang_Integer* key = makeCacheKey(s, a, true, bank);
    ZoomedSpritePlayer* entry = lookup(kind, key);
    if (!entry)
        return;
    const std::int32_t records = entry->m_animRecords ? entry->m_animRecords->length() / 5 : 0;
    for (std::int32_t k = 0; k < records; ++k)
        remove(kind, makeCacheKey(s, ShortArray::get(entry->m_animRecords, 5 * k + 4), false, bank));
    remove(kind, key);
}

} // namespace

ZoomStatics& zoomStatics() {
    return rt::getStaticClass().statics<ZoomStatics>();
}

std::int32_t zoomKeyValue(std::int32_t sprite, std::int32_t id, bool anim, bool bank) {
    std::uint32_t value = static_cast<std::uint32_t>(id) + (static_cast<std::uint32_t>(sprite) << 10);
    if (anim)
        value += 1u << 30;
    if (bank)
        value += 1u << 31;
    return static_cast<std::int32_t>(value);
}

java_lang_Integer* makeCacheKey(std::int32_t sprite, std::int32_t id, bool anim, bool bank) {
    if (id < 0 || id >= kZoomIdLimit) {
        host::logf(host::LogCategory::Game, "zoom cache: id %d of sprite %d is outside 0..1023; refused", id,
                   sprite);
        return nullptr;
    }
    // An Integer never changes its value, so one key serves every lookup and
    // every entry of that value.
    const std::int32_t value = zoomKeyValue(sprite, id, anim, bank);
    ZoomStatics& z = zoomStatics();
    if (!z.s_keys)
        z.s_keys = rt::newObjectArray(kZoomKeySlots);
    const auto slot = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) % kZoomKeySlots);
    rt::Object* kept = z.s_keys ? ObjectArray::get(z.s_keys, slot) : nullptr;
    if (kept && kept->classId() == java_lang_Integer::kClassId &&
        static_cast<java_lang_Integer*>(kept)->intValue() == value)
        return static_cast<java_lang_Integer*>(kept);
    java_lang_Integer* key = rt::make<java_lang_Integer>(value);
    if (z.s_keys)
        ObjectArray::set(z.s_keys, slot, key);
    return key;
}

ASprite* zoomSprite(std::int32_t s, bool bank) {
    ObjectArray* table = bank ? zoomStatics().s_altSprites : startupStatics().s_sprites;
    rt::Object* entry = ObjectArray::get(table, s);
    if (entry && entry->classId() == ASprite::kClassId)
        return static_cast<ASprite*>(entry);
    rt::reportNullPointer();
    return nullptr;
}

rt::IntArray* ensureRgbBuffer(std::int32_t entries) {
    ZoomStatics& z = zoomStatics();
    if (z.s_rgbBuffer && z.s_rgbBuffer->length() >= entries)
        return z.s_rgbBuffer;
    if (entries > ASprite::kMaxModulePixels)
        return nullptr;
    z.s_rgbBuffer = rt::newIntArray(std::max(entries, config().s_pixelBufferSize));
    return z.s_rgbBuffer;
}

void initZoomCache(bool stepped) {
    ZoomStatics& z = zoomStatics();
    if (z.s_zoomCache)
        return;
    z.s_zoomCache = rt::make<java_util_Hashtable>();
    z.s_zoomStepped = stepped ? 1 : 0;
}

void initPreZoomCache(bool stepped) {
    ZoomStatics& z = zoomStatics();
    if (z.s_preZoomCache)
        return;
    z.s_preZoomCache = rt::make<java_util_Hashtable>();
    z.s_preZoomStepped = stepped ? 1 : 0;
}

void initZoomCaches() {
    initZoomCache(false);
    initPreZoomCache(true);
}

void putZoomed(java_lang_Integer* key, ZoomedSpritePlayer* entry) {
    put(ZoomCacheKind::Zoomed, key, entry);
}

void removeZoomed(std::int32_t s, std::int32_t f, bool bank) {
    remove(ZoomCacheKind::Zoomed, makeCacheKey(s, f, false, bank));
}

void putPreZoomed(java_lang_Integer* key, ZoomedSpritePlayer* entry) {
    put(ZoomCacheKind::PreZoomed, key, entry);
}

void removePreZoomed(std::int32_t s, std::int32_t f, bool bank) {
    remove(ZoomCacheKind::PreZoomed, makeCacheKey(s, f, false, bank));
}

ZoomedSpritePlayer* findZoomEntry(ZoomCacheKind kind, std::int32_t s, std::int32_t id, bool anim, bool bank) {
    if (!cacheTable(kind))
        return nullptr;
    return lookup(kind, makeCacheKey(s, id, anim, bank));
}

void uncacheZoomedAnim(std::int32_t s, std::int32_t a, bool bank) {
    uncacheAnim(ZoomCacheKind::Zoomed, s, a, bank);
}

void uncachePreZoomedAnim(std::int32_t s, std::int32_t a, bool bank) {
    uncacheAnim(ZoomCacheKind::PreZoomed, s, a, bank);
}

std::int32_t getZoomedFrameRect(std::int32_t s, std::int32_t f, std::int32_t i, std::int32_t scale,
                                bool bank) {
    ZoomedSpritePlayer* entry = findZoomEntry(ZoomCacheKind::Zoomed, s, f, false, bank);
    // Another i would read a value of the next step's rectangle.
    if (!entry || !entry->m_rects || i < 0 || i > 3)
        return 0;
    if (entry->m_stepped) {
        const std::int32_t steps = entry->m_rects->length() / 4;
        if (steps < 1)
            return 0;
        // A scale of 0 or below would reach step -1: the first step answers.
        const std::int32_t k = std::clamp((steps * std::min(scale, kOne) - 1) >> kShift, 0, steps - 1);
        return ShortArray::get(entry->m_rects, i + 4 * k);
    }
    const std::int64_t value = ShortArray::get(entry->m_rects, i);
    return static_cast<std::int32_t>((value * scale + kHalf) >> kShift);
}

void cacheZoomedFrame(std::int32_t s, std::int32_t f, IntArray* palettes, std::int32_t count, bool bank,
                      bool stepped) {
    ZoomedSpritePlayer* existing = findZoomEntry(ZoomCacheKind::Zoomed, s, f, false, bank);
    if (existing && !existing->m_stepImages) {
        buildZoomedFrame(s, f, palettes, bank, stepped);
    } else if (stepped) {
        if (count >= 1)
            buildZoomedFrameSteps(s, f, palettes, count, bank, true);
        return;
    } else {
        buildZoomedFrame(s, f, palettes, bank, false);
    }
}

void cacheZoomedAnim(std::int32_t s, std::int32_t a, IntArray* palettes, std::int32_t count, bool bank,
                     bool stepped) {
    cacheAnim(ZoomCacheKind::Zoomed, s, a, palettes, count, bank, stepped);
}

void cachePreZoomedFrame(std::int32_t s, std::int32_t f, IntArray* palettes, std::int32_t count, bool bank,
                         bool stepped) {
    if (stepped) {
        if (count >= 1)
            buildPreZoomedFrameSteps(s, f, palettes, count, bank, true);
        return;
    }
    buildPreZoomedFrame(s, f, palettes, bank, false);
}

void cachePreZoomedAnim(std::int32_t s, std::int32_t a, IntArray* palettes, std::int32_t count, bool bank,
                        bool stepped) {
    cacheAnim(ZoomCacheKind::PreZoomed, s, a, palettes, count, bank, stepped);
}

void cacheZoomedFrame2(std::int32_t s, std::int32_t f) {
    cacheZoomedFrame(s, f, nullptr, -1, false, zoomStatics().s_zoomStepped != 0);
}

void cacheZoomedFrame3(std::int32_t s, std::int32_t f, std::int32_t count) {
    cacheZoomedFrame(s, f, nullptr, count, false, zoomStatics().s_zoomStepped != 0);
}

void cacheZoomedAnim3(std::int32_t s, std::int32_t a, std::int32_t count) {
    cacheZoomedAnim(s, a, nullptr, count, false, zoomStatics().s_zoomStepped != 0);
}

void cachePreZoomedAnim3(std::int32_t s, std::int32_t a, std::int32_t count) {
    cachePreZoomedAnim(s, a, nullptr, count, false, zoomStatics().s_preZoomStepped != 0);
}

void buildZoomedFrame(std::int32_t s, std::int32_t f, IntArray* palettes, bool bank, bool stepped) {
    buildFrame(ZoomCacheKind::Zoomed, s, f, palettes, bank, stepped);
}

void buildPreZoomedFrame(std::int32_t s, std::int32_t f, IntArray* palettes, bool bank, bool stepped) {
    buildFrame(ZoomCacheKind::PreZoomed, s, f, palettes, bank, stepped);
}

void buildZoomedFrameSteps(std::int32_t s, std::int32_t f, IntArray* palettes, std::int32_t count, bool bank,
                           bool stepped) {
    buildStepsOf(ZoomCacheKind::Zoomed, s, f, palettes, count, bank, stepped);
}

void buildPreZoomedFrameSteps(std::int32_t s, std::int32_t f, IntArray* palettes, std::int32_t count,
                              bool bank, bool stepped) {
    buildStepsOf(ZoomCacheKind::PreZoomed, s, f, palettes, count, bank, stepped);
}

std::int32_t copyPalette(ZoomedSpritePlayer* entry, ASprite* sprite, std::int32_t p) {
    if (!entry || !sprite) {
        rt::reportNullPointer();
        return 0;
    }
    if (!entry->m_palettes)
        entry->m_palettes = rt::newObjectArray(paletteSlots(sprite));
    if (p < 0 || p >= entry->m_palettes->length() || ObjectArray::get(entry->m_palettes, p))
        return 0;
    IntArray* palette = sprite->getPalette(p);
    if (!palette)
        return 0;
    IntArray* copy = rt::newIntArray(palette->length());
    std::ranges::copy(IntArray::span(palette), IntArray::span(copy).begin());
    ObjectArray::set(entry->m_palettes, p, copy);
    const auto colours = IntArray::span(copy);
    const auto clear = std::ranges::find_if(
        colours, [](std::int32_t c) { return (static_cast<std::uint32_t>(c) >> 24) == 0; });
    return clear == colours.end() ? 0 : static_cast<std::int32_t>(clear - colours.begin());
}

bool decodeModuleIndexes(ASprite* sprite, std::int32_t m) {
    if (!sprite || !sprite->hasModuleData(m))
        return false;
    const std::int32_t w = sprite->getModuleWidth(m), h = sprite->getModuleHeight(m);
    const std::int64_t pixels = static_cast<std::int64_t>(w) * h;
    const std::int32_t encoding = sprite->m_dataEncoding;
    if (!isKnownEncoding(encoding) || encoding == pixel_encoding::kRunsOrLiteralsAlpha) {
        host::logf(host::LogCategory::Game, "zoom cache: encoding 0x%04X is not decoded", encoding);
        return false;
    }
    IntArray* buffer =
        pixels <= ASprite::kMaxModulePixels ? ensureRgbBuffer(static_cast<std::int32_t>(pixels)) : nullptr;
    if (!buffer) {
        const ZoomStatics& z = zoomStatics();
        host::logf(host::LogCategory::Game,
                   "zoom cache: module %d x %d (%lld pixels) exceeds the buffer of %d", w, h,
                   static_cast<long long>(pixels), z.s_rgbBuffer ? z.s_rgbBuffer->length() : 0);
        return false;
    }
    const std::int32_t length = sprite->m_moduleData->length();
    const std::int32_t offsets = sprite->m_moduleDataOffsets->length();
    const std::int32_t offset = std::clamp(IntArray::get(sprite->m_moduleDataOffsets, m), 0, length);
    const std::int32_t end = std::clamp(
        m + 1 < offsets ? IntArray::get(sprite->m_moduleDataOffsets, m + 1) : length, offset, length);
    // Decoding through the identity palette leaves the indexes themselves.
    std::array<std::int32_t, 256> identity{};
    std::iota(identity.begin(), identity.end(), 0);
    const auto data = ByteArray::span(sprite->m_moduleData, offset, end - offset);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.data()),
                                              data.size());
    const RunIndexLayout runs{sprite->m_runIndexMask, sprite->m_runIndexBits};
    const auto out = IntArray::span(buffer, 0, static_cast<std::int32_t>(pixels));
    std::ranges::fill(out, 0);
    return decodePixels(encoding, runs, bytes, identity, out);
}

void getRGBRows(javax_microedition_lcdui_Image* image, IntArray* argb, std::int32_t scanLength,
                std::int32_t w, std::int32_t h) {
    if (!image) {
        rt::reportNullPointer();
        return;
    }
    w = std::min(w, image->getWidth());
    h = std::min(h, image->getHeight());
    if (w > 0 && h > 0)
        image->getRGB(argb, 0, scanLength, 0, 0, w, h);
}

} // namespace game
