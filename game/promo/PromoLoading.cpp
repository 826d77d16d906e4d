#include "game/promo/PromoLoading.h"

#include "classlib/lang/System.h"
#include "game/promo/PromoData.h"
#include "host/Log.h"
#include "platform/lcdui/Command.h"
#include "platform/lcdui/Image.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>
#include <array>

namespace game {

PromoScreenStatics& promoScreenStatics() {
    return rt::getStaticClass().statics<PromoScreenStatics>();
}

} // namespace game

namespace game::promo {

namespace {

using namespace rt::constants;
using Image = platform::javax_microedition_lcdui_Image;

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

// The fixed texts the layout treats alike: two-line texts across the page.
constexpr std::int32_t kNarrowFixedTexts[] = {3, 5, 9};
// The commands' types (OK, BACK) and priority.
constexpr std::int32_t kCommandOk = 4;
constexpr std::int32_t kCommandBack = 2;
constexpr std::int32_t kCommandPriority = 1;
// The portal text may take no more lines than this.
constexpr std::int32_t kPortalTextLines = 3;

std::int32_t imageWidth(rt::Object* image) {
    return image ? static_cast<Image*>(image)->getWidth() : 0;
}

void setImage(rt::ObjectArray* images, std::int32_t i, rt::Object* image) {
    if (images && i >= 0 && i < images->length())
        rt::Array::setRef(images, i, image);
}

// Skips one stored picture (its length and bytes) without decoding it.
void skipImage(EntryCursor& cursor) {
    cursor.skip(cursor.readU16());
}

void loadTexts() {
    PromoScreenStatics& screen = promoScreenStatics();
    EntryCursor cursor{readDataEntry(1)};
    if (!cursor.data)
        return;
    for (std::int32_t language = 0; language < screen.s_langIndex && !cursor.cut; ++language)
        cursor.skip(cursor.readU16());
    cursor.readU16();
    std::int32_t length = cursor.readU16();
    std::int32_t textStart = cursor.position;
    cursor.skip(length);
    cursor.readU16();
    std::int32_t count = cursor.readU16();
    if (!cursor.cut && (count > length || cursor.remaining() / 2 < count - 1))
        cursor.cut = true;
    if (cursor.cut) {
        host::logf(host::LogCategory::Game,
                   "promotion data: the text block is cut or counts more texts than bytes");
        return;
    }
    screen.s_texts = rt::newObjectArray(count);
    screen.s_textEnds = rt::newShortArray(count);
    std::int32_t start = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        // An end past the bytes or before the previous end cuts the text there.
        std::int32_t end = std::clamp(i + 1 < count ? cursor.readU16() : length, start, length);
        rt::ShortArray::set(screen.s_textEnds, i, static_cast<std::int16_t>(end));
        if (end > start) {
            std::span<std::int8_t> bytes = rt::ByteArray::span(cursor.data, textStart + start, end - start);
            std::u16string text =
                decodeText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
            rt::Array::setRef(screen.s_texts, i, makeString(text));
        }
        start = end;
    }
    if (promoStatics().s_useCommands)
        makeCommands();
}

void loadFont() {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    EntryCursor cursor{readDataEntry(2)};
    if (!cursor.data)
        return;
    screen.s_fontImages = rt::newObjectArray(kPromoFontSheets);
    std::int32_t size = cursor.data->length();
    rt::ByteArray* copy = rt::newByteArray(size);
    rt::Array::copy(cursor.data, 0, copy, 0, size);
    std::int32_t sheetLength = cursor.readU16();
    cursor.position = 0;
    Image* stored = cursor.readImage();
    if (cursor.cut)
        return;
    rt::Array::setRef(screen.s_fontImages, 0, stored);
    rt::Array::setRef(screen.s_fontImages, 1, rewritePalette(copy, 2, sheetLength, 1, kPromoInkBlue));
    rt::Array::setRef(screen.s_fontImages, 2, rewritePalette(copy, 2, sheetLength, 1, kPromoInkRed));
    std::int32_t recordBytes = cursor.readU16();
    std::int32_t highest = cursor.readU16();
    std::int32_t rowWidth = promo.s_glyphRowWide + 4;
    std::int32_t recordWidth = promo.s_glyphRowWide + 6;
    std::int32_t records = recordBytes / recordWidth;
    if (cursor.cut || cursor.remaining() / recordWidth < records) {
        host::logf(host::LogCategory::Game, "promotion data: the glyph records run past the font entry");
        return;
    }
    rt::ByteArray* table = rt::newByteArray(rowWidth * (highest + 1));
    std::int32_t dropped = 0;
    for (std::int32_t r = 0; r < records; ++r) {
        std::int32_t code = cursor.readU16();
        if (code > highest) {
            ++dropped;
        } else {
            rt::Array::copy(cursor.data, cursor.position, table, code * rowWidth, rowWidth);
        }
        cursor.skip(rowWidth);
    }
    if (dropped > 0)
        host::logf(host::LogCategory::Game, "promotion data: %d glyph records above the highest code dropped",
                   dropped);
    promo.s_glyphTable = table;
    screen.s_fontHeight = getTableByte(32, promo.s_glyphColH);
    screen.s_charSpacing = screen.s_fontHeight == 13 ? 0 : -1;
    parseTexts();
}

// Reads pictures of `cursor` into `images` from index `first`, `count` of them.
void readImages(EntryCursor& cursor, rt::ObjectArray* images, std::int32_t first, std::int32_t count) {
    for (std::int32_t i = 0; i < count && !cursor.cut; ++i) {
        Image* image = cursor.readImage();
        setImage(images, first + i, image);
    }
}

void loadList(std::int32_t list) {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    rt::ObjectArray* names = list == 0 ? promo.s_listNames0 : promo.s_listNames1;
    std::int32_t rows = arrayLength(names);
    auto* rowImages = static_cast<rt::ObjectArray*>(elementAt(screen.s_listRowImages, list));
    setImage(rowImages, rows - 1, elementAt(screen.s_screenImages, 11));
    setImage(screen.s_pageImages, list == 0 ? promo.s_listPage0 : promo.s_listPage1,
             elementAt(screen.s_screenImages, 10));
    EntryCursor cursor{readDataEntry(6 + list)};
    if (cursor.data)
        readImages(cursor, rowImages, 0, rows - 1);
}

// The code of the visit's language; nullopt when the index is outside the codes.
std::optional<std::u16string> currentLanguageCode() {
    PromoStatics& promo = promoStatics();
    std::int32_t index = promoScreenStatics().s_langIndex;
    if (index < 0 || index >= arrayLength(promo.s_langCodes))
        return std::nullopt;
    return unitsOf(static_cast<rt::String*>(rt::ObjectArray::get(promo.s_langCodes, index)));
}

bool inPortalLanguage() {
    std::optional<std::u16string> code = currentLanguageCode();
    for (std::int32_t k = 0; code && k < kPromoPortalLanguageCount; ++k) {
        if (code == unitsOf(constant(kPromoPortalLanguages + k)))
            return true;
    }
    return false;
}

bool inUnspacedLanguage() {
    std::optional<std::u16string> code = currentLanguageCode();
    return code && code == unitsOf(constant(kPromoUnspacedLanguage));
}

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t byte : bytes)
        c = kCrcTable[(c ^ byte) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::u16string decodeText(std::span<const std::uint8_t> bytes, bool* complete) {
    std::u16string text;
    text.reserve(bytes.size());
    if (complete)
        *complete = true;
    auto continuation = [&](std::size_t at) { return at < bytes.size() && (bytes[at] & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < bytes.size();) {
        std::uint8_t first = bytes[i];
        char16_t unit = 0;
        if (first < 0x80) {
            unit = first >= 'a' && first <= 'z' ? static_cast<char16_t>(first - 'a' + 'A') : first;
            i += 1;
        } else if ((first & 0xE0) == 0xC0 && continuation(i + 1)) {
            unit = static_cast<char16_t>(((first & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
            i += 2;
        } else if ((first & 0xF0) == 0xE0 && continuation(i + 1) && continuation(i + 2)) {
            unit = static_cast<char16_t>(((first & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) |
                                         (bytes[i + 2] & 0x3F));
            i += 3;
        } else {
            if (complete)
                *complete = false;
            break;
        }
        text += unit;
    }
    return text;
}

bool rewritePaletteBytes(std::span<std::uint8_t> png, std::int32_t offset, std::int32_t length,
                         std::int32_t index, std::int32_t rgb) {
    if (offset < 0 || length < 0 || index < 0 || static_cast<std::int64_t>(offset) + length > std::ssize(png))
        return false;
    std::span<std::uint8_t> range =
        png.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    static constexpr std::uint8_t kTag[] = {'P', 'L', 'T', 'E'};
    auto found = std::search(range.begin(), range.end(), std::begin(kTag), std::end(kTag));
    std::int64_t p = found - range.begin();
    // The chunk's length stands in the four bytes before its type.
    if (found == range.end() || p < 4)
        return false;
    std::uint32_t dataLength = 0;
    for (std::int64_t k = p - 4; k < p; ++k)
        dataLength = (dataLength << 8) | range[static_cast<std::size_t>(k)];
    std::int64_t data = p + 4;
    std::int64_t entry = data + 3 * static_cast<std::int64_t>(index);
    std::int64_t crcAt = data + dataLength;
    if (entry + 3 > crcAt || crcAt + 4 > std::ssize(range))
        return false;
    range[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(rgb >> 16);
    range[static_cast<std::size_t>(entry) + 1] = static_cast<std::uint8_t>(rgb >> 8);
    range[static_cast<std::size_t>(entry) + 2] = static_cast<std::uint8_t>(rgb);
    std::uint32_t crc =
        crc32(range.subspan(static_cast<std::size_t>(p), static_cast<std::size_t>(dataLength) + 4));
    for (int k = 0; k < 4; ++k)
        range[static_cast<std::size_t>(crcAt) + static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * k));
    return true;
}

Image* rewritePalette(rt::ByteArray* png, std::int32_t offset, std::int32_t length, std::int32_t index,
                      std::int32_t rgb) {
    std::span<std::int8_t> bytes = rt::ByteArray::span(png);
    if (!rewritePaletteBytes(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()), offset,
                             length, index, rgb))
        host::logf(host::LogCategory::Game,
                   "promotion font: no palette to recolour; the stored colours stay");
    lib::java_lang_System::gc();
    if (!png || offset < 0 || length < 0 || static_cast<std::int64_t>(offset) + length > png->length())
        return nullptr;
    Image* image = Image::createImage(png, offset, length);
    rt::catchException(rt::ClassId::java_lang_Exception);
    return image;
}

void loadResources(std::int32_t step) {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    switch (step) {
    case -1: {
        screen.s_screenImages = rt::newObjectArray(kPromoScreenImageCount);
        screen.s_pageImages = rt::newObjectArray(promo.s_pageCount);
        screen.s_listRowImages = rt::newObjectArray(3);
        rt::ObjectArray* names[] = {promo.s_listNames0, promo.s_listNames1, promo.s_extraNames};
        for (std::int32_t list = 0; list < 3; ++list)
            rt::Array::setRef(screen.s_listRowImages, list, rt::newObjectArray(arrayLength(names[list])));
        return;
    }
    case 0:
        openDataFile();
        return;
    case 1:
        loadTexts();
        return;
    case 2:
        loadFont();
        return;
    case 3: {
        EntryCursor cursor{readDataEntry(3)};
        if (cursor.data)
            readImages(cursor, screen.s_screenImages, 0, kPromoScreenImageCount);
        return;
    }
    case 4: {
        // One read of the entry for every picture.
        EntryCursor cursor{readDataEntry(4)};
        if (cursor.data)
            readImages(cursor, screen.s_pageImages, 0, promo.s_regularPageCount);
        return;
    }
    case 5: {
        EntryCursor cursor{readDataEntry(5)};
        if (!cursor.data)
            return;
        setImage(screen.s_pageImages, promo.s_propertyPage, cursor.readImage());
        for (std::int32_t language = 0; language < screen.s_langIndex && !cursor.cut; ++language)
            skipImage(cursor);
        if (!cursor.cut)
            screen.s_languageImage = cursor.readImage();
        return;
    }
    case 6:
    case 7:
        loadList(step - 6);
        return;
    case 8: {
        EntryCursor cursor{readDataEntry(8)};
        if (!cursor.data)
            return;
        setImage(screen.s_pageImages, promo.s_portalPage, cursor.readImage());
        if (!cursor.cut && inPortalLanguage() && !screen.s_languageExtraImage)
            screen.s_languageExtraImage = cursor.readImage();
        return;
    }
    default:
        break;
    }
    if (step == promo.s_extraPageStep) {
        EntryCursor cursor{readDataEntry(step)};
        if (cursor.data)
            setImage(screen.s_pageImages, promo.s_extraPage, cursor.readImage());
    } else if (step == promo.s_closeStep) {
        closeDataFile();
        lib::java_lang_System::gc();
    }
}

void makeCommands() {
    PromoScreenStatics& screen = promoScreenStatics();
    std::int32_t base = promoStatics().s_fixedTextBase;
    screen.s_selectCommand =
        rt::make<platform::javax_microedition_lcdui_Command>(getText(base + 7), kCommandOk, kCommandPriority);
    screen.s_backCommand = rt::make<platform::javax_microedition_lcdui_Command>(
        getText(base + 8), kCommandBack, kCommandPriority);
}

LineMetrics lineMetrics() {
    const PromoStatics& promo = promoStatics();
    return {[column = promo.s_glyphColW](char16_t unit) { return getTableByte(unit, column); },
            promoScreenStatics().s_charSpacing};
}

rt::String* getText(std::int32_t i) {
    rt::ObjectArray* texts = promoScreenStatics().s_texts;
    rt::Object* text = elementAt(texts, i);
    return text ? static_cast<rt::String*>(text) : constant(kDefaultMessage);
}

rt::String* wrapText(rt::String* text, std::int32_t maxWidth, std::int32_t maxLines, bool hintFirst) {
    std::u16string units = unitsOf(text).value_or(u"");
    std::u16string separator = unitsOf(constant(kLineSeparator)).value_or(u"\n");
    std::u16string middle = unitsOf(constant(kPromoMiddleBreak)).value_or(u"");
    return makeString(promo::wrapText(units, maxWidth, maxLines, hintFirst, lineMetrics(), separator,
                                      inUnspacedLanguage(), middle));
}

void parseTexts() {
    PromoStatics& promo = promoStatics();
    if (!promo.s_extraText)
        return;
    if (promo.s_extraText->length() == 0) {
        promo.s_extraText = nullptr;
        return;
    }
    std::u16string text = upperAscii(unitsOf(promo.s_extraText).value_or(u""));
    std::u16string separator = unitsOf(constant(kLineSeparator)).value_or(u"\n");
    LineMetrics metrics = lineMetrics();
    std::u16string result;
    std::int32_t lines = 1;
    std::int32_t w = 0;
    // The last space of the line in `result` and the width up to it; -1 none.
    std::int64_t space = -1;
    std::int32_t widthAtSpace = 0;
    bool refused = false;
    for (std::size_t i = 0; i < text.size() && !refused; ++i) {
        char16_t c = text[i];
        if ((c < 32 || c > 122) && c != 10 && c != 130) {
            refused = true;
            break;
        }
        bool escape = c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'N');
        if (c == 10 || escape) {
            i += escape ? 1 : 0;
            if (!result.empty()) {
                if (++lines >= kPortalTextLines) {
                    refused = true;
                    break;
                }
                result += u'\n';
                w = 0;
                space = -1;
            }
            continue;
        }
        result += c;
        w += metrics.width(c);
        if (c == u' ') {
            space = std::ssize(result) - 1;
            widthAtSpace = w;
        }
        if (w < promo.s_screenWidth)
            continue;
        if (lines >= kPortalTextLines || space < 0) {
            refused = true;
        } else if (space == std::ssize(result) - 1) {
            result += separator;
            w = 0;
            space = -1;
        } else {
            result.replace(static_cast<std::size_t>(space), 1, separator);
            w -= widthAtSpace;
            space = -1;
        }
        ++lines;
    }
    rt::String* checked = refused ? nullptr : makeString(result);
    promo.s_extraText = checked && checkValue(checked, 7) ? checked : nullptr;
}

void layoutTexts() {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    rt::ObjectArray* texts = screen.s_texts;
    std::int32_t width = promo.s_screenWidth;
    std::int32_t arrows = imageWidth(elementAt(screen.s_screenImages, 5));
    auto* rowImages = static_cast<rt::ObjectArray*>(elementAt(screen.s_listRowImages, screen.s_listIndex));
    std::int32_t listWidth = width - 3 * arrows - (width > promo.s_screenHeight ? arrows / 2 : 0) -
                             imageWidth(elementAt(rowImages, 0)) - 2 * (width / 100);
    std::int32_t narrowWidth = width - 2 * imageWidth(elementAt(screen.s_screenImages, 12)) - 8;
    rt::Object* portal = elementAt(screen.s_pageImages, promo.s_portalPage);
    std::int32_t base = promo.s_fixedTextBase;
    auto inList = [](std::int32_t t, rt::ObjectArray* names, std::int32_t first) {
        std::int32_t rows = arrayLength(names);
        return rows >= 2 && t >= first && t < first + rows;
    };
    for (std::int32_t t = 0; t < arrayLength(texts); ++t) {
        auto* text = static_cast<rt::String*>(rt::ObjectArray::get(texts, t));
        if (!text)
            continue;
        std::int32_t fixed = t - base;
        std::int32_t boxWidth = width;
        std::int32_t lines = 3;
        if (std::find(std::begin(kNarrowFixedTexts), std::end(kNarrowFixedTexts), fixed) !=
            std::end(kNarrowFixedTexts)) {
            boxWidth = narrowWidth;
            lines = 2;
        } else if ((fixed >= 1 && t < promo.s_list0FirstText) || t > promo.s_list1LastText) {
            // The other fixed texts and the closing ones keep their lines.
            continue;
        } else if (inList(t, promo.s_listNames0, promo.s_list0FirstText) ||
                   inList(t, promo.s_listNames1, promo.s_list1FirstText)) {
            boxWidth = listWidth;
        } else if (t == base) {
            boxWidth = portal ? imageWidth(portal) / 2 : width;
        }
        rt::String* wrapped = wrapText(text, boxWidth, lines, true);
        rt::Array::setRef(texts, t, makeString(stripSeparators(unitsOf(wrapped).value_or(u""))));
    }
}

} // namespace game::promo
