#include "game/sprite/ASprite.h"

#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/SpriteReader.h"
#include "game/sprite/SpriteStatics.h"
#include "host/Log.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <vector>

namespace game {

namespace {

using rt::ByteArray;
using rt::IntArray;
using rt::ObjectArray;
using rt::ShortArray;

struct ModuleLayout {
    ModuleType type = ModuleType::Image;
    bool colour = false;
    bool size = false;
    std::int32_t params = 0;
};

// The layout of a module type byte; false for a byte that names no type.
bool moduleLayout(std::int32_t typeByte, ModuleLayout& layout) {
    switch (typeByte) {
    case 0x00:
        layout = {ModuleType::Image, false, true, 0};
        return true;
    case 0xFF:
        layout = {ModuleType::Rect, true, true, 0};
        return true;
    case 0xFE:
        layout = {ModuleType::FillRect, true, true, 0};
        return true;
    case 0xFC:
        layout = {ModuleType::Arc, true, true, 2};
        return true;
    case 0xFB:
        layout = {ModuleType::FillArc, true, true, 2};
        return true;
    case 0xFD:
        layout = {ModuleType::Blank, false, true, 0};
        return true;
    case 0xFA:
        layout = {ModuleType::Triangle, true, false, 4};
        return true;
    case 0xF9:
        layout = {ModuleType::FillTriangle, true, false, 4};
        return true;
    default:
        return false;
    }
}

std::span<const std::uint8_t> bytesOf(ByteArray* data) {
    std::span<std::int8_t> bytes = ByteArray::span(data);
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

} // namespace

// The five sections in their row layout. Each reads its count and, for a
// count of 1 or more, makes its tables first and fills them after, so no
// element pointer is held across an allocation.
class SpriteLoader {
public:
    SpriteLoader(ASprite& sprite, SpriteReader& reader)
        : m_sprite(sprite)
        , m_in(reader) {}

    void modules() {
        std::int32_t count = m_in.s16();
        m_sprite.m_moduleCount = count;
        if (count < 1 || m_in.cutShort())
            return;
        m_sprite.m_moduleTypes = rt::newByteArray(count);
        m_sprite.m_moduleColours = rt::newIntArray(count);
        m_sprite.m_moduleWidths = rt::newShortArray(count);
        m_sprite.m_moduleHeights = rt::newShortArray(count);
        auto types = ByteArray::span(m_sprite.m_moduleTypes);
        auto colours = IntArray::span(m_sprite.m_moduleColours);
        auto widths = ShortArray::span(m_sprite.m_moduleWidths);
        auto heights = ShortArray::span(m_sprite.m_moduleHeights);
        bool sizeShorts = (m_sprite.m_format & sprite_format::kModuleSizeShorts) != 0;
        // Parameters gathered per module, then laid out in module order.
        std::vector<std::int16_t> params;
        std::vector<std::int16_t> index;
        ModuleLayout layout;
        layout.size = false;
        for (std::int32_t m = 0; m < count && !m_in.cutShort(); ++m) {
            std::int32_t typeByte = m_in.has(1) ? m_in.u8() : 0;
            ModuleLayout known;
            if (moduleLayout(typeByte, known)) {
                layout = known;
            } else {
                // A byte that names no type is not consumed: the module takes
                // type 0 and the field layout of the module before it.
                m_in.skip(-1);
                layout.type = ModuleType::Image;
                layout.params = 0;
            }
            types[static_cast<std::size_t>(m)] = static_cast<std::int8_t>(layout.type);
            if (layout.colour)
                colours[static_cast<std::size_t>(m)] = m_in.s32();
            if (layout.size) {
                widths[static_cast<std::size_t>(m)] =
                    static_cast<std::int16_t>(sizeShorts ? m_in.s16() : m_in.u8());
                heights[static_cast<std::size_t>(m)] =
                    static_cast<std::int16_t>(sizeShorts ? m_in.s16() : m_in.u8());
            }
            if (layout.params > 0) {
                index.push_back(static_cast<std::int16_t>(m));
                index.push_back(static_cast<std::int16_t>(params.size()));
                for (std::int32_t k = 0; k < layout.params; ++k)
                    params.push_back(static_cast<std::int16_t>(m_in.s16()));
            }
        }
        if (index.empty() || m_in.cutShort())
            return;
        m_sprite.m_moduleParams = rt::newShortArray(static_cast<std::int32_t>(params.size()));
        m_sprite.m_moduleParamIndex = rt::newShortArray(static_cast<std::int32_t>(index.size()));
        std::ranges::copy(params, ShortArray::span(m_sprite.m_moduleParams).begin());
        std::ranges::copy(index, ShortArray::span(m_sprite.m_moduleParamIndex).begin());
    }

    void frameModules() {
        std::int32_t count = m_in.s16();
        if (count < 1 || m_in.cutShort())
            return;
        m_sprite.m_fmoduleModules = rt::newByteArray(count);
        m_sprite.m_fmoduleX = rt::newShortArray(count);
        m_sprite.m_fmoduleY = rt::newShortArray(count);
        m_sprite.m_fmoduleFlags = rt::newByteArray(count);
        auto modules = ByteArray::span(m_sprite.m_fmoduleModules);
        auto xs = ShortArray::span(m_sprite.m_fmoduleX);
        auto ys = ShortArray::span(m_sprite.m_fmoduleY);
        auto flags = ByteArray::span(m_sprite.m_fmoduleFlags);
        bool shorts = (m_sprite.m_format & sprite_format::kOffsetShorts) != 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count) && !m_in.cutShort(); ++i) {
            modules[i] = static_cast<std::int8_t>(m_in.u8());
            xs[i] = static_cast<std::int16_t>(shorts ? m_in.s16() : m_in.s8());
            ys[i] = static_cast<std::int16_t>(shorts ? m_in.s16() : m_in.s8());
            flags[i] = static_cast<std::int8_t>(m_in.u8());
        }
    }

    void frames() {
        bool hasBoxes = (m_sprite.m_format & sprite_format::kFrameBoxes) != 0;
        bool shorts = (m_sprite.m_format & sprite_format::kOffsetShorts) != 0;
        if (hasBoxes) {
            std::int32_t boxes = m_in.s16();
            if (boxes >= 1 && !m_in.cutShort()) {
                std::int32_t values = boxes * 4;
                if (shorts) {
                    m_sprite.m_boxesShort = rt::newShortArray(values);
                    for (std::int16_t& v : ShortArray::span(m_sprite.m_boxesShort))
                        v = static_cast<std::int16_t>(m_in.s16());
                } else {
                    m_sprite.m_boxes = rt::newByteArray(values);
                    for (std::int8_t& v : ByteArray::span(m_sprite.m_boxes))
                        v = static_cast<std::int8_t>(m_in.s8());
                }
            }
        }
        std::int32_t count = m_in.s16();
        if (count < 1 || m_in.cutShort())
            return;
        m_sprite.m_frameModuleCounts = rt::newByteArray(count);
        m_sprite.m_frameFirstModule = rt::newShortArray(count);
        if (hasBoxes)
            m_sprite.m_frameFirstBox = rt::newShortArray(count + 1);
        auto counts = ByteArray::span(m_sprite.m_frameModuleCounts);
        auto firsts = ShortArray::span(m_sprite.m_frameFirstModule);
        std::span<std::int16_t> firstBoxes;
        if (hasBoxes)
            firstBoxes = ShortArray::span(m_sprite.m_frameFirstBox);
        std::int32_t boxTotal = 0;
        for (std::size_t f = 0; f < static_cast<std::size_t>(count) && !m_in.cutShort(); ++f) {
            counts[f] = static_cast<std::int8_t>(m_in.u8());
            firsts[f] = static_cast<std::int16_t>(m_in.s16());
            if (hasBoxes) {
                firstBoxes[f] = static_cast<std::int16_t>(boxTotal);
                boxTotal += m_in.s8();
            }
        }
        if (hasBoxes)
            firstBoxes[static_cast<std::size_t>(count)] = static_cast<std::int16_t>(boxTotal);
    }

    void animationFrames() {
        std::int32_t count = m_in.s16();
        if (count < 1 || m_in.cutShort())
            return;
        m_sprite.m_aframeFrames = rt::newByteArray(count);
        m_sprite.m_aframeTimes = rt::newByteArray(count);
        m_sprite.m_aframeX = rt::newShortArray(count);
        m_sprite.m_aframeY = rt::newShortArray(count);
        m_sprite.m_aframeFlags = rt::newByteArray(count);
        auto frames = ByteArray::span(m_sprite.m_aframeFrames);
        auto times = ByteArray::span(m_sprite.m_aframeTimes);
        auto xs = ShortArray::span(m_sprite.m_aframeX);
        auto ys = ShortArray::span(m_sprite.m_aframeY);
        auto flags = ByteArray::span(m_sprite.m_aframeFlags);
        bool shorts = (m_sprite.m_format & sprite_format::kAFrameOffsetShorts) != 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count) && !m_in.cutShort(); ++i) {
            frames[i] = static_cast<std::int8_t>(m_in.u8());
            times[i] = static_cast<std::int8_t>(m_in.u8());
            xs[i] = static_cast<std::int16_t>(shorts ? m_in.s16() : m_in.s8());
            ys[i] = static_cast<std::int16_t>(shorts ? m_in.s16() : m_in.s8());
            flags[i] = static_cast<std::int8_t>(m_in.u8());
        }
    }

    void animations() {
        std::int32_t count = m_in.s16();
        if (count < 1 || m_in.cutShort())
            return;
        m_sprite.m_animFrameCounts = rt::newByteArray(count);
        m_sprite.m_animFirstFrame = rt::newShortArray(count);
        auto counts = ByteArray::span(m_sprite.m_animFrameCounts);
        auto firsts = ShortArray::span(m_sprite.m_animFirstFrame);
        for (std::size_t a = 0; a < static_cast<std::size_t>(count) && !m_in.cutShort(); ++a) {
            counts[a] = static_cast<std::int8_t>(m_in.u8());
            firsts[a] = static_cast<std::int16_t>(m_in.s16());
        }
    }

private:
    ASprite& m_sprite;
    SpriteReader& m_in;
};

ASprite* ASprite::initDefaults() {
    ASprite* sprite = rt::make<ASprite>();
    std::fill(std::begin(sprite->m_paintState), std::end(sprite->m_paintState), -1);
    sprite->m_textScale = -1;
    sprite->m_sharedCharTable = spriteStatics().s_sharedCharTable;
    sprite->m_rect = rt::newIntArray(4);
    return sprite;
}

bool ASprite::load(rt::ByteArray* data, std::int32_t offset, std::int32_t, std::int32_t, rt::Object*) {
    if (!data)
        return true;
    collectIfAsked();
    // The span pins the data's block for as long as the load runs.
    SpriteReader in(bytesOf(data), offset);
    in.skip(2);
    m_format = in.s32();
    SpriteLoader sections(*this, in);
    sections.modules();
    sections.frameModules();
    sections.frames();
    sections.animationFrames();
    sections.animations();
    if (!in.cutShort() && m_moduleCount > 0 && config().s_useModulePixels &&
        (m_format & sprite_format::kPixelSection) != 0)
        readPixelSection(in);
    if (in.cutShort()) {
        host::logf(host::LogCategory::Game,
                   "ASprite::load: the sprite data ends inside a section; the sprite is empty");
        clearLoadedTables();
    }
    collectIfAsked();
    return !in.cutShort();
}

namespace {

// "<what> <n> names <target> <value> of <count>" for the first byte of
// `table` at or above `count`; empty when there is none.
std::string firstOutside(rt::ByteArray* table, std::int32_t count, const char* what, const char* names) {
    const std::int32_t length = table ? table->length() : 0;
    for (std::int32_t i = 0; i < length; ++i)
        if (const std::int32_t value = static_cast<std::uint8_t>(ByteArray::get(table, i)); value >= count)
            return std::string(what) + " " + std::to_string(i) + " " + names + " " + std::to_string(value) +
                   " of " + std::to_string(count);
    return {};
}

// "<what> <n> takes <records> <first> to <last> of <count>" when the records
// [first, first + taken) do not lie in [0, count); empty when they do.
std::string rangeOutside(const char* what, std::int32_t n, const char* records, std::int32_t first,
                         std::int32_t taken, std::int32_t count) {
    if (first >= 0 && taken >= 0 && first + taken <= count)
        return {};
    return std::string(what) + " " + std::to_string(n) + " takes " + records + " " + std::to_string(first) +
           " to " + std::to_string(first + taken - 1) + " of " + std::to_string(count);
}

} // namespace

std::string ASprite::structureProblem() const {
    auto length = [](const rt::Array* array) { return array ? array->length() : 0; };
    const std::int32_t fmodules = length(m_fmoduleModules);
    const std::int32_t frames = getFrameCount();
    const std::int32_t aframes = length(m_aframeFrames);
    const std::int32_t boxes = (length(m_boxesShort) + length(m_boxes)) / 4;
    std::string problem = firstOutside(m_fmoduleModules, m_moduleCount, "frame-module", "names module");
    for (std::int32_t f = 0; f < frames && problem.empty(); ++f) {
        problem = rangeOutside("frame", f, "frame-modules", ShortArray::get(m_frameFirstModule, f),
                               getFModuleCount(f), fmodules);
        if (problem.empty() && m_frameFirstBox) {
            const std::int32_t first = ShortArray::get(m_frameFirstBox, f);
            problem = rangeOutside("frame", f, "boxes", first,
                                   ShortArray::get(m_frameFirstBox, f + 1) - first, boxes);
        }
    }
    if (problem.empty())
        problem = firstOutside(m_aframeFrames, frames, "animation frame", "shows frame");
    for (std::int32_t a = 0; a < getAnimCount() && problem.empty(); ++a)
        problem = rangeOutside("animation", a, "animation frames", ShortArray::get(m_animFirstFrame, a),
                               getAFrameCount(a), aframes);
    if (!problem.empty())
        return problem;
    const bool pixels =
        m_moduleCount > 0 && config().s_useModulePixels && (m_format & sprite_format::kPixelSection) != 0;
    if (pixels && m_paletteCount < 1)
        return "the pixel section holds no palette";
    if (pixels && !m_moduleDataOffsets)
        return "the pixel section holds no module data";
    return {};
}

void ASprite::clearLoadedTables() {
    m_moduleCount = 0;
    m_format = 0;
    m_moduleTypes = nullptr;
    m_moduleColours = nullptr;
    m_moduleWidths = m_moduleHeights = nullptr;
    m_moduleParams = m_moduleParamIndex = nullptr;
    m_fmoduleModules = m_fmoduleFlags = nullptr;
    m_fmoduleX = m_fmoduleY = nullptr;
    m_frameModuleCounts = nullptr;
    m_frameFirstModule = nullptr;
    m_boxes = nullptr;
    m_boxesShort = m_frameFirstBox = nullptr;
    m_aframeFrames = m_aframeTimes = m_aframeFlags = nullptr;
    m_aframeX = m_aframeY = nullptr;
    m_animFrameCounts = nullptr;
    m_animFirstFrame = nullptr;
    m_moduleData = nullptr;
    m_moduleDataOffsets = nullptr;
    m_palettes = nullptr;
    m_paletteCount = m_colourCount = 0;
    m_dataEncoding = 0;
}

std::int32_t ASprite::getModuleType(std::int32_t module) const {
    return ByteArray::get(m_moduleTypes, module);
}

std::int32_t ASprite::getModuleWidth(std::int32_t module) const {
    return static_cast<std::uint16_t>(ShortArray::get(m_moduleWidths, module));
}

std::int32_t ASprite::getModuleHeight(std::int32_t module) const {
    return static_cast<std::uint16_t>(ShortArray::get(m_moduleHeights, module));
}

std::int32_t ASprite::getModuleColour(std::int32_t module) const {
    return IntArray::get(m_moduleColours, module);
}

std::int32_t ASprite::getModuleParamStart(std::int32_t module) const {
    std::int32_t entries = m_moduleParamIndex ? m_moduleParamIndex->length() : 0;
    for (std::int32_t i = 0; i + 1 < entries; i += 2)
        if (ShortArray::get(m_moduleParamIndex, i) == module)
            return ShortArray::get(m_moduleParamIndex, i + 1);
    return -1;
}

std::int32_t ASprite::getFrameCount() const {
    return m_frameModuleCounts ? m_frameModuleCounts->length() : 0;
}

std::int32_t ASprite::getFModuleCount(std::int32_t frame) const {
    return static_cast<std::uint8_t>(ByteArray::get(m_frameModuleCounts, frame));
}

std::int32_t ASprite::getFModuleModule(std::int32_t frame, std::int32_t fmodule) const {
    std::int32_t record = ShortArray::get(m_frameFirstModule, frame) + fmodule;
    return static_cast<std::uint8_t>(ByteArray::get(m_fmoduleModules, record));
}

std::int32_t ASprite::getFModuleFlags(std::int32_t frame, std::int32_t fmodule) const {
    std::int32_t record = ShortArray::get(m_frameFirstModule, frame) + fmodule;
    return static_cast<std::uint8_t>(ByteArray::get(m_fmoduleFlags, record));
}

std::int32_t ASprite::getFModuleX(std::int32_t frame, std::int32_t fmodule) const {
    return getFModuleOffsetX(ShortArray::get(m_frameFirstModule, frame) + fmodule);
}

std::int32_t ASprite::getFModuleY(std::int32_t frame, std::int32_t fmodule) const {
    return getFModuleOffsetY(ShortArray::get(m_frameFirstModule, frame) + fmodule);
}

std::int32_t ASprite::getFModuleOffsetX(std::int32_t record) const {
    return ShortArray::get(m_fmoduleX, record);
}

std::int32_t ASprite::getFModuleOffsetY(std::int32_t record) const {
    return ShortArray::get(m_fmoduleY, record);
}

std::int32_t ASprite::getAnimCount() const {
    return m_animFrameCounts ? m_animFrameCounts->length() : 0;
}

std::int32_t ASprite::getAFrameCount(std::int32_t anim) const {
    return static_cast<std::uint8_t>(ByteArray::get(m_animFrameCounts, anim));
}

std::int32_t ASprite::getAFrameFrame(std::int32_t anim, std::int32_t aframe) const {
    std::int32_t record = ShortArray::get(m_animFirstFrame, anim) + aframe;
    return static_cast<std::uint8_t>(ByteArray::get(m_aframeFrames, record));
}

std::int32_t ASprite::getAFrameTime(std::int32_t anim, std::int32_t aframe) const {
    std::int32_t record = ShortArray::get(m_animFirstFrame, anim) + aframe;
    return static_cast<std::uint8_t>(ByteArray::get(m_aframeTimes, record));
}

std::int32_t ASprite::getAFrameFlags(std::int32_t anim, std::int32_t aframe) const {
    std::int32_t record = ShortArray::get(m_animFirstFrame, anim) + aframe;
    return static_cast<std::uint8_t>(ByteArray::get(m_aframeFlags, record));
}

std::int32_t ASprite::getAFrameOffsetX(std::int32_t record) const {
    return ShortArray::get(m_aframeX, record);
}

std::int32_t ASprite::getAFrameOffsetY(std::int32_t record) const {
    return ShortArray::get(m_aframeY, record);
}

void ASprite::getFrameBox(std::int32_t frame, std::int32_t box, rt::IntArray* out, std::int32_t flags) const {
    if (!m_frameFirstBox || !out)
        return;
    std::int32_t first = ShortArray::get(m_frameFirstBox, frame);
    std::int32_t count = ShortArray::get(m_frameFirstBox, frame + 1) - first;
    if (count < 1 || box >= count || box < 0) {
        rt::Array::fill32(out, {0, 0, 0, 0});
        return;
    }
    std::int32_t k = 4 * (first + box);
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
    if ((m_format & sprite_format::kOffsetShorts) != 0) {
        if (!m_boxesShort)
            return;
        x = ShortArray::get(m_boxesShort, k);
        y = ShortArray::get(m_boxesShort, k + 1);
        w = static_cast<std::uint16_t>(ShortArray::get(m_boxesShort, k + 2));
        h = static_cast<std::uint16_t>(ShortArray::get(m_boxesShort, k + 3));
    } else {
        if (!m_boxes)
            return;
        x = ByteArray::get(m_boxes, k);
        y = ByteArray::get(m_boxes, k + 1);
        w = static_cast<std::uint8_t>(ByteArray::get(m_boxes, k + 2));
        h = static_cast<std::uint8_t>(ByteArray::get(m_boxes, k + 3));
    }
    if (flags & 1)
        x = -(x + w);
    if (flags & 2)
        y = -(y + h);
    rt::Array::fill32(out, {x, y, w, h});
}

platform::javax_microedition_lcdui_Image* ASprite::getModuleImage(std::int32_t module,
                                                                  std::int32_t palette) const {
    if (!m_moduleImages || palette < 0 || palette >= m_moduleImages->length())
        return nullptr;
    auto* images = static_cast<ObjectArray*>(ObjectArray::get(m_moduleImages, palette));
    if (!images || module < 0 || module >= images->length())
        return nullptr;
    return static_cast<platform::javax_microedition_lcdui_Image*>(ObjectArray::get(images, module));
}

bool ASprite::hasModuleData(std::int32_t) const {
    return m_moduleData && m_moduleDataOffsets;
}

std::int32_t ASprite::getModuleDataOffset(std::int32_t module) const {
    return IntArray::get(m_moduleDataOffsets, module);
}

} // namespace game
