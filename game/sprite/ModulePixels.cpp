// The pixel section of a sprite (palettes, data encoding, encoded module
// pixels), module decoding into the shared pixel buffer, and module images.

#include "game/sprite/ASprite.h"
#include "game/sprite/PixelDecoder.h"
#include "game/sprite/SpriteReader.h"
#include "game/sprite/SpriteStatics.h"
#include "host/Log.h"
#include "platform/lcdui/Image.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace game {

namespace {

using rt::ByteArray;
using rt::IntArray;
using rt::ObjectArray;

// Bytes of one palette colour; 0 for a palette format this game does not read.
std::int32_t colourBytes(std::int32_t format) {
    switch (format) {
    case pixel_format::kArgb8888:
        return 4;
    case pixel_format::kArgb1555:
        return 2;
    default:
        return 0;
    }
}

} // namespace

void ASprite::readPixelSection(SpriteReader& in) {
    std::int32_t format = in.u16();
    std::int32_t palettes = in.u8();
    std::int32_t colours = in.u8();
    if (colours == 0)
        colours = 256;
    std::int32_t size = colourBytes(format);
    if (!in.has(static_cast<std::int64_t>(palettes) * colours * size + 2))
        return;
    m_paletteCount = palettes;
    m_colourCount = colours;

    // One slot per palette, at least the usual 16: the game files palette
    // variants past the data's count.
    std::int32_t slots = std::max(kMinPaletteSlots, palettes);
    if (!m_palettes || m_palettes->length() < slots) {
        ObjectArray* table = rt::newObjectArray(slots);
        if (m_palettes)
            rt::Array::copy(m_palettes, 0, table, 0, m_palettes->length());
        m_palettes = table;
    }
    for (std::int32_t p = 0; p < palettes; ++p) {
        IntArray* palette = rt::newIntArray(colours);
        ObjectArray::set(m_palettes, p, palette);
        if (size == 0)
            continue;
        for (std::int32_t& colour : IntArray::span(palette)) {
            if (size == 4) {
                colour = in.s32();
                std::uint32_t alpha = static_cast<std::uint32_t>(colour) >> 24;
                if (alpha != 0xFF)
                    m_hasTransparency = 1;
                if (alpha != 0 && alpha != 0xFF)
                    m_hasTranslucency = 1;
            } else {
                std::int32_t value = in.u16();
                colour = colourFrom1555(static_cast<std::uint16_t>(value));
                if ((value & 0x8000) == 0)
                    m_hasTransparency = 1;
            }
        }
    }

    m_dataEncoding = static_cast<std::uint16_t>(in.u16());
    if (m_dataEncoding == pixel_encoding::kRunsOrLiteralsAlpha)
        m_hasTransparency = m_hasTranslucency = 1;
    RunIndexLayout runs = runIndexLayout(colours);
    m_runIndexMask = runs.mask;
    m_runIndexBits = runs.bits;
    if ((m_format & sprite_format::kPaletteTables) != 0)
        host::logf(host::LogCategory::Game, "ASprite::load: format bit 0x2000000 is not defined; ignored");
    if (m_moduleCount <= 0)
        return;

    // Each module: its size (16- or 32-bit), then its bytes. A size that
    // reaches past the data is cut to what is left; modules after the end of
    // the data have no bytes.
    bool sizes32 = (m_format & sprite_format::kModuleDataSizes32) != 0;
    std::int64_t sizeBytes = sizes32 ? 4 : 2;
    std::vector<std::int32_t> sources(static_cast<std::size_t>(m_moduleCount));
    std::vector<std::int32_t> sizes(static_cast<std::size_t>(m_moduleCount));
    std::int64_t total = 0;
    for (std::size_t m = 0; m < sizes.size(); ++m) {
        if (in.remaining() < sizeBytes)
            break;
        std::int64_t n = sizes32 ? static_cast<std::uint32_t>(in.s32()) : in.u16();
        n = std::min(n, in.remaining());
        sources[m] = in.position();
        sizes[m] = static_cast<std::int32_t>(n);
        in.skip(n);
        total += n;
    }
    m_moduleDataOffsets = rt::newIntArray(m_moduleCount);
    m_moduleData = rt::newByteArray(static_cast<std::int32_t>(total));
    auto offsets = IntArray::span(m_moduleDataOffsets);
    auto target = ByteArray::span(m_moduleData);
    std::int32_t at = 0;
    for (std::size_t m = 0; m < sizes.size(); ++m) {
        offsets[m] = at;
        if (sizes[m] > 0)
            std::memcpy(target.data() + at, in.bytesAt(sources[m]), static_cast<std::size_t>(sizes[m]));
        at += sizes[m];
    }
}

rt::IntArray* ASprite::decodeModule(std::int32_t module) {
    if (!hasModuleData(module) || module < 0 || module >= m_moduleDataOffsets->length())
        return nullptr;
    std::int32_t offset = getModuleDataOffset(module);
    std::int32_t end = module + 1 < m_moduleDataOffsets->length()
                           ? IntArray::get(m_moduleDataOffsets, module + 1)
                           : m_moduleData->length();
    if (!decodeModulePixels(m_moduleData, offset, getModuleWidth(module), getModuleHeight(module), end))
        return nullptr;
    return spriteStatics().s_pixelBuffer;
}

bool ASprite::decodeModulePixels(rt::ByteArray* data, std::int32_t offset, std::int32_t width,
                                 std::int32_t height, std::int32_t end) {
    if (!m_palettes || m_currentPalette < 0 || m_currentPalette >= m_palettes->length())
        return false;
    auto* palette = static_cast<IntArray*>(ObjectArray::get(m_palettes, m_currentPalette));
    if (!palette)
        return false;
    if (!isKnownEncoding(m_dataEncoding)) {
        host::logf(host::LogCategory::Game, "ASprite::decodeModule: encoding 0x%04X is not decoded",
                   m_dataEncoding);
        return false;
    }
    std::int64_t pixels = static_cast<std::int64_t>(std::max(width, 0)) * std::max(height, 0);
    if (pixels > kMaxModulePixels) {
        host::logf(host::LogCategory::Game, "ASprite::decodeModule: a module of %d x %d pixels is too large",
                   width, height);
        return false;
    }
    IntArray* buffer = ensurePixelBuffer(static_cast<std::int32_t>(pixels));
    if (!buffer)
        return false;
    if (pixels == 0)
        return true;
    std::int32_t length = data ? data->length() : 0;
    end = std::clamp(end, 0, length);
    offset = std::clamp(offset, 0, end);
    // Spans taken after the last allocation; they pin their blocks.
    std::span<std::int8_t> source = ByteArray::span(data, offset, end - offset);
    std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(source.data()), source.size());
    return decodePixels(m_dataEncoding, RunIndexLayout{m_runIndexMask, m_runIndexBits}, bytes,
                        IntArray::span(palette),
                        IntArray::span(buffer, 0, static_cast<std::int32_t>(pixels)));
}

void ASprite::storeModuleImage(rt::IntArray* argb, std::int32_t width, std::int32_t height,
                               std::int32_t palette, std::int32_t module) {
    bool processAlpha = false;
    if (argb) {
        std::int64_t pixels = static_cast<std::int64_t>(std::max(width, 0)) * std::max(height, 0);
        auto scanned = IntArray::span(
            argb, 0, static_cast<std::int32_t>(std::min<std::int64_t>(pixels, argb->length())));
        processAlpha = std::ranges::any_of(
            scanned, [](std::int32_t c) { return static_cast<std::uint32_t>(c) < 0xFF000000u; });
    }
    auto* image = platform::javax_microedition_lcdui_Image::createRGBImage(argb, width, height, processAlpha);
    auto* images = static_cast<ObjectArray*>(ObjectArray::get(m_moduleImages, palette));
    ObjectArray::set(images, module, image);
}

void ASprite::ensureImageTables(std::int32_t palette) {
    if (!m_moduleImages)
        m_moduleImages = rt::newObjectArray(std::max(kMinPaletteSlots, m_paletteCount));
    if (palette < 0 || palette >= m_moduleImages->length() || ObjectArray::get(m_moduleImages, palette))
        return;
    ObjectArray* images = rt::newObjectArray(std::max(m_moduleCount, 0));
    ObjectArray::set(m_moduleImages, palette, images);
}

} // namespace game
