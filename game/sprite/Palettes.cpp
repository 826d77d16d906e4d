// Palettes of a sprite and the variants the game derives from them: the
// grey transform and the alpha rewrites. Colours are 0xAARRGGBB; a colour
// whose RGB is 0xFF00FF is the colour key, which the alpha rewrites leave
// transparent.

#include "game/sprite/ASprite.h"
#include "host/Log.h"

#include <algorithm>

namespace game {

namespace {

using rt::IntArray;
using rt::ObjectArray;

// Transform modes available in this game: bit (1 << mode); only grey (4).
constexpr std::int32_t kAvailableTransforms = 1 << 4;

constexpr std::uint32_t kColourKey = 0x00FF00FFu;

std::uint32_t withAlpha(std::uint32_t colour, std::int32_t alpha) {
    return (colour & kRgbMask) | (static_cast<std::uint32_t>(alpha) << 24);
}

std::uint32_t grey(std::uint32_t colour) {
    std::uint32_t red = (colour >> 16) & 0xFF;
    std::uint32_t green = (colour >> 8) & 0xFF;
    std::uint32_t blue = colour & 0xFF;
    std::uint32_t g = (red + green + blue) / 3;
    return (colour & 0xFF000000u) | (g << 16) | (g << 8) | g;
}

// Slot `palette` of the table, also past the data's palette count (where
// the game files variants); null when there is no such slot.
IntArray* paletteSlot(const ASprite& sprite, std::int32_t palette) {
    ObjectArray* table = sprite.m_palettes;
    if (!table || palette < 0 || palette >= table->length())
        return nullptr;
    return static_cast<IntArray*>(ObjectArray::get(table, palette));
}

} // namespace

rt::IntArray* ASprite::getPalette(std::int32_t palette) const {
    if (!m_palettes || palette < 0 || palette >= m_paletteCount || palette >= m_palettes->length())
        return nullptr;
    return static_cast<IntArray*>(ObjectArray::get(m_palettes, palette));
}

void ASprite::setPalette(std::int32_t palette, rt::IntArray* colours) {
    ObjectArray::set(m_palettes, palette, colours);
}

void ASprite::setCurrentPalette(std::int32_t palette) {
    if (palette >= 0 && palette < m_paletteCount)
        m_currentPalette = palette;
}

rt::IntArray* ASprite::transformPalette(std::int32_t mode, rt::IntArray* source, rt::IntArray* target) {
    if (mode < 0)
        return source;
    if (mode == 0)
        return nullptr;
    if (mode > 5 || (kAvailableTransforms & (1 << mode)) == 0 || !source || source->length() < 1)
        return target;
    if (!target || target->length() < source->length()) {
        host::logf(host::LogCategory::Game,
                   "ASprite::transformPalette: the target is shorter than the source");
        return target;
    }
    auto from = IntArray::span(source);
    auto to = IntArray::span(target);
    std::ranges::transform(from, to.begin(), [](std::int32_t c) {
        return static_cast<std::int32_t>(grey(static_cast<std::uint32_t>(c)));
    });
    return target;
}

rt::IntArray* ASprite::transformPaletteCopy(std::int32_t mode, rt::IntArray* source) {
    return transformPalette(mode, source, rt::newIntArray(source ? source->length() : 0));
}

rt::IntArray* ASprite::setPaletteVariant(std::int32_t mode, rt::IntArray* source, std::int32_t palette) {
    return transformPalette(mode, source, paletteSlot(*this, palette));
}

void ASprite::setPaletteAlpha(std::int32_t palette, std::int32_t level, bool hasTransparency,
                              bool hasTranslucency) {
    for (std::int32_t& entry : IntArray::span(paletteSlot(*this, palette))) {
        auto c = static_cast<std::uint32_t>(entry);
        std::uint32_t alpha = c >> 24;
        if (hasTranslucency)
            c = withAlpha(c,
                          static_cast<std::int32_t>((alpha * static_cast<std::uint32_t>(level)) >> 8) & 0xFF);
        else if (!hasTransparency || ((c & kRgbMask) != 0xFF00FFu && alpha != 0))
            c = withAlpha(c, level & 0xFF);
        entry = static_cast<std::int32_t>(c);
    }
}

void ASprite::restorePaletteAlpha(std::int32_t palette, std::int32_t alphaSource) {
    m_hasTransparency = m_hasTranslucency = 1;
    auto target = IntArray::span(paletteSlot(*this, palette));
    auto source = IntArray::span(paletteSlot(*this, alphaSource));
    std::size_t count = std::min(target.size(), source.size());
    for (std::size_t i = 0; i < count; ++i) {
        auto c = static_cast<std::uint32_t>(target[i]);
        if ((c & kRgbMask) == 0xFF00FFu || (c >> 24) == 0)
            continue;
        std::int32_t red = (source[i] >> 16) & 0xFF;
        target[i] = static_cast<std::int32_t>(withAlpha(c, red));
    }
}

void ASprite::setPaletteAlphaARGB(std::int32_t source, std::int32_t target, std::int32_t level,
                                  bool hasTransparency, bool hasTranslucency) {
    auto from = IntArray::span(paletteSlot(*this, source));
    auto to = IntArray::span(paletteSlot(*this, target));
    std::size_t count =
        std::min({from.size(), to.size(), static_cast<std::size_t>(std::max(m_colourCount, 0))});
    for (std::size_t i = count; i-- > 0;) {
        auto c = static_cast<std::uint32_t>(from[i]);
        std::uint32_t result = 0;
        if ((hasTranslucency || hasTransparency) && (c & kRgbMask) == 0xFF00FFu)
            result = kColourKey;
        else if (hasTranslucency)
            result = withAlpha(
                c, static_cast<std::int32_t>(((c >> 24) * static_cast<std::uint32_t>(level)) >> 8) & 0xFF);
        else
            result = withAlpha(c, level & 0xFF);
        to[i] = static_cast<std::int32_t>(result);
    }
}

} // namespace game
