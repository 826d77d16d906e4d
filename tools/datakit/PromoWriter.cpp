#include "tools/datakit/PromoWriter.h"

#include "host/text/FreeTypeText.h"
#include "tools/datakit/PngWriter.h"

#include <algorithm>

namespace datakit {

namespace {

void u16(ByteWriter& out, std::size_t value) {
    out.u16(ByteOrder::Little, static_cast<std::uint16_t>(value));
}

void byteString(ByteWriter& out, const std::string& text) {
    u16(out, text.size());
    out.bytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void stringTable(ByteWriter& out, const std::vector<std::string>& strings) {
    u16(out, strings.size());
    for (const std::string& text : strings)
        byteString(out, text);
}

void image(ByteWriter& out, const Bytes& png) {
    u16(out, png.size());
    out.bytes(png);
}

Bytes header(const PromoModel& model) {
    ByteWriter out;
    u16(out, model.version);
    byteString(out, model.headerText);
    std::vector<std::string> codes;
    for (const PromoLanguage& language : model.languages)
        codes.push_back(language.code);
    stringTable(out, codes);
    stringTable(out, model.pageNames);
    stringTable(out, model.list0Names);
    stringTable(out, model.list1Names);
    stringTable(out, model.extraNames);
    u16(out, model.extraPage ? 1 : 0);
    byteString(out, model.fontVariant);
    return std::move(out).take();
}

// One block per language: its length, then the text bytes with their count,
// an unused word, the text count and the end of every text but the last.
Bytes texts(const PromoModel& model) {
    ByteWriter out;
    for (const PromoLanguage& language : model.languages) {
        ByteWriter block;
        std::string joined;
        std::vector<std::size_t> ends;
        for (const std::string& text : language.texts) {
            joined += text;
            ends.push_back(joined.size());
        }
        byteString(block, joined);
        u16(block, 0);
        u16(block, language.texts.size());
        for (std::size_t i = 0; i + 1 < ends.size(); ++i)
            u16(block, ends[i]);
        u16(out, block.bytes().size());
        out.bytes(block.bytes());
    }
    return std::move(out).take();
}

Bytes font(const PromoModel& model) {
    ByteWriter out;
    image(out, model.font.sheet);
    std::size_t recordBytes = model.wideGlyphRows ? 8 : 6;
    u16(out, recordBytes * model.font.glyphs.size());
    u16(out, model.font.highestCode);
    for (const PromoGlyph& glyph : model.font.glyphs) {
        u16(out, glyph.code);
        if (model.wideGlyphRows) {
            u16(out, glyph.x);
            u16(out, glyph.y);
        } else {
            out.u8(static_cast<std::uint8_t>(glyph.x));
            out.u8(static_cast<std::uint8_t>(glyph.y));
        }
        out.u8(glyph.width);
        out.u8(glyph.height);
    }
    return std::move(out).take();
}

Bytes images(std::initializer_list<const Bytes*> firsts, const std::vector<Bytes>& rest = {}) {
    ByteWriter out;
    for (const Bytes* png : firsts)
        image(out, *png);
    for (const Bytes& png : rest)
        image(out, png);
    return std::move(out).take();
}

} // namespace

std::vector<Bytes> promoEntries(const PromoModel& model) {
    std::vector<Bytes> entries;
    entries.push_back(header(model));
    entries.push_back(texts(model));
    entries.push_back(font(model));
    entries.push_back(images({}, model.screenImages));
    entries.push_back(images({}, model.pagePictures));
    std::vector<Bytes> languagePictures;
    for (const PromoLanguage& language : model.languages)
        languagePictures.push_back(language.picture);
    entries.push_back(images({&model.propertyPicture}, languagePictures));
    entries.push_back(images({}, model.list0Pictures));
    entries.push_back(images({}, model.list1Pictures));
    if (model.portalLanguagePicture.empty())
        entries.push_back(images({&model.portalPicture}));
    else
        entries.push_back(images({&model.portalPicture, &model.portalLanguagePicture}));
    if (model.extraPage)
        entries.push_back(images({&model.extraPicture}));
    return entries;
}

Bytes writePromoEntries(const std::vector<Bytes>& entries) {
    ByteWriter out;
    u16(out, entries.size() + 1);
    std::uint32_t offset = 0;
    out.u32(ByteOrder::Little, offset);
    for (const Bytes& entry : entries) {
        offset += static_cast<std::uint32_t>(entry.size());
        out.u32(ByteOrder::Little, offset);
    }
    for (const Bytes& entry : entries)
        out.bytes(entry);
    return std::move(out).take();
}

Bytes writePromo(const PromoModel& model) {
    return writePromoEntries(promoEntries(model));
}

PromoFont renderPromoFont(const std::string& facePath, const std::vector<std::uint16_t>& codes, int pixelSize,
                          std::optional<std::uint32_t> outline) {
    host::FreeTypeText face(facePath, pixelSize);
    const int rim = outline ? 1 : 0;
    int height = (face.metrics() ? face.metrics()->height : pixelSize) + 2 * rim;
    // Rows of at most 255 pixels keep every box within a narrow glyph row.
    constexpr int kSheetWidth = 255;
    PromoFont font;
    std::vector<std::vector<std::uint8_t>> glyphInk;
    int x = 0;
    int y = 0;
    for (std::uint16_t code : codes) {
        char16_t unit = static_cast<char16_t>(code);
        int inked = std::clamp(face.measure(std::u16string_view(&unit, 1)), 1, kSheetWidth - 2 * rim);
        int width = inked + 2 * rim;
        if (x + width > kSheetWidth) {
            x = 0;
            y += height;
        }
        const int faceHeight = height - 2 * rim;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(inked * faceHeight));
        face.render(std::u16string_view(&unit, 1), 0xFFFFFF, 0, pixels, inked, faceHeight);
        std::vector<std::uint8_t> ink(static_cast<std::size_t>(width * height), 0);
        auto inkAt = [&](int column, int row) {
            column -= rim;
            row -= rim;
            return column >= 0 && row >= 0 && column < inked && row < faceHeight &&
                   (pixels[static_cast<std::size_t>(row * inked + column)] & 0xFF) >= 0x80;
        };
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                bool near = false;
                for (int dy = -rim; dy <= rim; ++dy)
                    for (int dx = -rim; dx <= rim; ++dx)
                        near = near || inkAt(column + dx, row + dy);
                ink[static_cast<std::size_t>(row * width + column)] = inkAt(column, row) ? 1 : (near ? 2 : 0);
            }
        glyphInk.push_back(std::move(ink));
        font.glyphs.push_back({code, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                               static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height)});
        font.highestCode = std::max(font.highestCode, code);
        x += width;
    }
    int sheetHeight = std::max(y + height, 1);
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(kSheetWidth * sheetHeight), 0);
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        const PromoGlyph& glyph = font.glyphs[i];
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                indexes[static_cast<std::size_t>((glyph.y + row) * kSheetWidth + glyph.x + column)] =
                    glyphInk[i][static_cast<std::size_t>(row * glyph.width + column)];
            }
        }
    }
    std::vector<std::uint32_t> palette = {0x00000000, 0xFFFFFFFF};
    if (outline)
        palette.push_back(0xFF000000u | *outline);
    font.sheet = writePalettePng(kSheetWidth, static_cast<std::uint32_t>(sheetHeight), palette, indexes);
    return font;
}

} // namespace datakit
