#include "game/promo/PromoData.h"

#include "classlib/io/InputStream.h"
#include "classlib/lang/System.h"
#include "host/Log.h"
#include "platform/io/Class.h"
#include "platform/lcdui/Image.h"
#include "platform/midlet/MIDlet.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>
#include <string>

namespace game {

PromoStatics& promoStatics() {
    return rt::getStaticClass().statics<PromoStatics>();
}

} // namespace game

namespace game::promo {

namespace {

using namespace rt::constants;

// The offset table follows the u16 count.
constexpr std::int64_t kTableStart = 2;
// The text numbering: fixed texts 1 to 13 after the base, lists from 14 on.
constexpr std::int32_t kFixedTextCount = 13;
constexpr std::int32_t kClosingTextCount = 2;
// The offset table is read this many offsets at a time.
constexpr std::int32_t kOffsetsPerRead = 256;

// Reads one byte of `in`; -1 at the end or when the read raised.
std::int32_t readByte(lib::java_io_InputStream* in) {
    std::int32_t value = in->read();
    if (rt::catchException(rt::ClassId::java_lang_Exception))
        return -1;
    return value;
}

// Skips `count` bytes of `in`, in as many calls as the stream needs; false
// when it stops short.
bool skipFully(lib::java_io_InputStream* in, std::int64_t count) {
    while (count > 0) {
        std::int64_t skipped = in->skip(count);
        if (rt::catchException(rt::ClassId::java_lang_Exception) || skipped <= 0)
            return false;
        count -= skipped;
    }
    return true;
}

// Reads up to `length` bytes of `in` into `bytes` from its start, in as many
// calls as the stream needs; the count read, short at the end of the stream
// or where a read raised.
std::int32_t readUpTo(lib::java_io_InputStream* in, rt::ByteArray* bytes, std::int32_t length) {
    std::int32_t done = 0;
    while (done < length) {
        std::int32_t got = in->read(bytes, done, length - done);
        if (rt::catchException(rt::ClassId::java_lang_Exception) || got <= 0)
            break;
        done += got;
    }
    return done;
}

rt::String* stringAt(rt::ObjectArray* strings, std::int32_t i) {
    return static_cast<rt::String*>(rt::ObjectArray::get(strings, i));
}

// The units of `text` in place, none for null, for a call that makes no
// object meanwhile.
std::u16string_view unitsIn(rt::String* text) {
    return text ? text->view() : std::u16string_view();
}

// `base` followed by `tail`.
rt::String* concat(rt::String* base, rt::String* tail) {
    std::u16string units(unitsIn(base));
    units += unitsIn(tail);
    return makeString(units);
}

bool equalsConstant(rt::String* text, std::int32_t number) {
    if (!text)
        return false;
    rt::String* word = constant(number);
    return text->view() == word->view();
}

} // namespace

rt::String* constant(std::int32_t number) {
    rt::String* text = rt::getStaticClass().getConstantString(number);
    return text ? text : rt::make<rt::String>();
}

std::optional<std::u16string> unitsOf(rt::String* text) {
    if (!text)
        return std::nullopt;
    return std::u16string(text->view());
}

rt::String* makeString(std::u16string_view units) {
    return rt::make<rt::String>(units);
}

GuestWords::GuestWords() {
    auto word = [](std::int32_t number) {
        rt::String* text = rt::getStaticClass().getConstantString(number);
        return text ? text->view() : std::u16string_view();
    };
    words = {word(kPromoNoneWord),     word(kPromoOffWord),        word(kZeroDigit),
             word(kHashtableKeyValue), word(kPromoFieldSeparator), word(kPromoPortalKey),
             word(kPromoTemplateSlot)};
}

// --- The entry cursor ---

std::int32_t EntryCursor::remaining() const {
    return std::max(arrayLength(data) - position, 0);
}

std::int32_t EntryCursor::readU16() {
    if (cut || remaining() < 2) {
        cut = true;
        return 0;
    }
    std::span<std::int8_t> bytes = rt::ByteArray::span(data);
    std::int32_t value = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(position)]) |
                         (static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(position) + 1]) << 8);
    position += 2;
    return value;
}

void EntryCursor::skip(std::int32_t count) {
    if (cut || count < 0 || remaining() < count) {
        cut = true;
        return;
    }
    position += count;
}

rt::ByteArray* EntryCursor::readBytes() {
    std::int32_t length = readU16();
    if (cut || remaining() < length) {
        cut = true;
        return nullptr;
    }
    rt::ByteArray* bytes = rt::newByteArray(length);
    rt::Array::copy(data, position, bytes, 0, length);
    position += length;
    return bytes;
}

platform::javax_microedition_lcdui_Image* EntryCursor::readImage() {
    std::int32_t length = readU16();
    if (cut || remaining() < length) {
        cut = true;
        return nullptr;
    }
    std::int32_t at = position;
    position += length;
    platform::javax_microedition_lcdui_Image* image =
        platform::javax_microedition_lcdui_Image::createImage(data, at, length);
    rt::catchException(rt::ClassId::java_lang_Exception);
    return image;
}

rt::ObjectArray* EntryCursor::readStringTable() {
    std::int32_t count = readU16();
    // Every string takes at least its length word.
    if (cut || remaining() / 2 < count) {
        cut = true;
        return nullptr;
    }
    rt::ObjectArray* strings = rt::newObjectArray(count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t length = readU16();
        if (cut || remaining() < length) {
            cut = true;
            return nullptr;
        }
        rt::Array::setRef(strings, i, rt::make<rt::String>(data, position, length));
        position += length;
    }
    return strings;
}

// --- The data file ---

bool openDataFile() {
    lib::java_lang_System::gc();
    PromoStatics& promo = promoStatics();
    promo.s_dataEntryCount = 0;
    promo.s_dataOffsets = nullptr;
    promo.s_dataFileLength = 0;
    lib::java_io_InputStream* in = platform::Class::getResourceAsStream(constant(kPromoDataFile));
    if (!in || rt::catchException(rt::ClassId::java_lang_Exception))
        return false;
    std::int64_t length = in->available();
    std::int32_t low = readByte(in);
    std::int32_t high = readByte(in);
    bool ok = low >= 0 && high >= 0;
    if (ok) {
        std::int32_t count = low | (high << 8);
        promo.s_dataEntryCount = count;
        promo.s_dataOffsets = rt::newIntArray(count);
        // The offsets a chunk at a time; those of a cut chunk as far as
        // they are whole.
        rt::ByteArray* chunk = rt::newByteArray(4 * std::min(count, kOffsetsPerRead));
        for (std::int32_t i = 0; ok && i < count;) {
            std::int32_t want = 4 * std::min(count - i, kOffsetsPerRead);
            std::int32_t got = readUpTo(in, chunk, want);
            ok = got == want;
            std::span<std::int8_t> bytes = rt::ByteArray::span(chunk);
            for (std::int32_t at = 0; at + 4 <= got; at += 4, ++i) {
                std::uint32_t offset = 0;
                for (std::int32_t k = 3; k >= 0; --k)
                    offset =
                        (offset << 8) | static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(at + k)]);
                rt::IntArray::set(promo.s_dataOffsets, i, static_cast<std::int32_t>(offset));
            }
        }
        promo.s_dataFileLength = length;
    }
    in->close();
    rt::catchException(rt::ClassId::java_lang_Exception);
    if (!ok)
        host::logf(host::LogCategory::Game, "promotion data: the file ends inside its offset table");
    return ok;
}

rt::ByteArray* readDataEntry(std::int32_t i) {
    PromoStatics& promo = promoStatics();
    if (i < 0 || i >= promo.s_dataEntryCount - 1 || arrayLength(promo.s_dataOffsets) < promo.s_dataEntryCount)
        return nullptr;
    if (promo.s_dataCache)
        return i < arrayLength(promo.s_dataCache)
                   ? static_cast<rt::ByteArray*>(rt::ObjectArray::get(promo.s_dataCache, i))
                   : nullptr;
    auto offsetAt = [&](std::int32_t k) {
        return static_cast<std::int64_t>(
            static_cast<std::uint32_t>(rt::IntArray::get(promo.s_dataOffsets, k)));
    };
    std::int64_t begin = offsetAt(i);
    std::int64_t end = offsetAt(i + 1);
    std::int64_t dataStart = kTableStart + 4 * static_cast<std::int64_t>(promo.s_dataEntryCount);
    if (end == begin)
        return nullptr;
    if (end < begin || dataStart + end > promo.s_dataFileLength) {
        host::logf(host::LogCategory::Game, "promotion data: entry %d lies outside the file", i);
        return nullptr;
    }
    std::int32_t length = static_cast<std::int32_t>(end - begin);
    lib::java_io_InputStream* in = platform::Class::getResourceAsStream(constant(kPromoDataFile));
    if (!in || rt::catchException(rt::ClassId::java_lang_Exception))
        return nullptr;
    rt::ByteArray* bytes = nullptr;
    if (skipFully(in, dataStart + begin)) {
        bytes = rt::newByteArray(length);
        if (readUpTo(in, bytes, length) < length)
            bytes = nullptr;
    }
    in->close();
    rt::catchException(rt::ClassId::java_lang_Exception);
    return bytes;
}

void closeDataFile() {
    PromoStatics& promo = promoStatics();
    promo.s_dataEntryCount = 0;
    promo.s_dataOffsets = nullptr;
    promo.s_dataCache = nullptr;
    promo.s_dataFileLength = 0;
}

// --- Strings and properties ---

rt::String* getAppProperty(rt::String* key) {
    platform::javax_microedition_midlet_MIDlet* midlet = promoStatics().s_midlet;
    if (!midlet || !key)
        return nullptr;
    rt::String* value = midlet->getAppProperty(key);
    rt::catchException(rt::ClassId::java_lang_Exception);
    // The platform answers a missing property with a marker text, which as
    // an address would pass every check and switch its page on.
    if (value && value->equalsCString(lib::java_lang_System::kPropertyValueEmpty))
        return nullptr;
    return value;
}

namespace {

// The units of `text` in place, for a call that makes no object meanwhile.
std::optional<std::u16string_view> viewOf(rt::String* text) {
    if (!text)
        return std::nullopt;
    return text->view();
}

} // namespace

bool checkValue(rt::String* value, std::int32_t flags) {
    GuestWords words;
    return promo::checkValue(viewOf(value), flags, words.words);
}

rt::String* lookupField(rt::String* text, rt::String* key, rt::String* pattern) {
    GuestWords words;
    return makeString(promo::lookupField(viewOf(text), viewOf(key), viewOf(pattern), words.words));
}

// --- Availability ---

bool extraFlag() {
    rt::BoolArray* flags = promoStatics().s_dataFlags;
    return arrayLength(flags) > 0 && rt::BoolArray::get(flags, 0);
}

std::int32_t countAvailablePages() {
    std::int32_t count = 0;
    for (std::int8_t flag : rt::ByteArray::span(promoStatics().s_pageAvailable))
        count += flag != 0 ? 1 : 0;
    return count;
}

std::int32_t firstAvailablePage() {
    std::span<std::int8_t> flags = rt::ByteArray::span(promoStatics().s_pageAvailable);
    auto found = std::find_if(flags.begin(), flags.end(), [](std::int8_t flag) { return flag != 0; });
    return found == flags.end() ? -1 : static_cast<std::int32_t>(found - flags.begin());
}

bool isAvailable() {
    return promoStatics().s_enabled != 0 && countAvailablePages() > 0;
}

std::int32_t availability() {
    return isAvailable() ? 0 : -1;
}

std::int32_t getTableByte(std::int32_t row, std::int32_t column) {
    const PromoStatics& promo = promoStatics();
    std::int32_t width = promo.s_glyphRowWide + 4;
    std::int32_t length = arrayLength(promo.s_glyphTable);
    if (row < 0 || column < 0 || column >= width || static_cast<std::int64_t>(row + 1) * width > length)
        return 0;
    std::span<std::int8_t> table = rt::ByteArray::span(promo.s_glyphTable);
    std::size_t at = static_cast<std::size_t>(row * width + column);
    bool wideValue =
        promo.s_glyphRowWide != 0 && (column == promo.s_glyphColX || column == promo.s_glyphColY);
    if (wideValue && column + 1 < width)
        return static_cast<std::uint8_t>(table[at]) | (static_cast<std::uint8_t>(table[at + 1]) << 8);
    return static_cast<std::uint8_t>(table[at]);
}

// --- Set-up and the page table ---

void setup(platform::javax_microedition_midlet_MIDlet* midlet, rt::Object* display, std::int32_t screenWidth,
           std::int32_t screenHeight, bool useCommands) {
    PromoStatics& promo = promoStatics();
    promo.s_screenWidth = screenWidth;
    promo.s_screenHeight = screenHeight;
    promo.s_centreX = screenWidth / 2;
    promo.s_centreY = screenHeight / 2;
    promo.s_height5Percent = screenHeight * 5 / 100;
    promo.s_height93Percent = screenHeight * 93 / 100;
    promo.s_halfHeight = screenHeight / 2;
    if (promo.s_midlet || !display)
        return;
    // FIXME: the commands' listener object comes with the screen's class.
    promo.s_useCommands = useCommands ? 1 : 0;
    promo.s_midlet = midlet;
    buildPageTable();
}

void assignTextIndexes(rt::ObjectArray* pageNames) {
    PromoStatics& promo = promoStatics();
    std::int32_t names = arrayLength(pageNames);
    promo.s_regularPageCount = names;
    promo.s_fixedTextBase = std::max(names - 1, 0) + 4;
    auto listSpan = [](rt::ObjectArray* rows, std::int32_t first) {
        std::int32_t count = arrayLength(rows);
        return count >= 2 ? first + count - 1 : first;
    };
    promo.s_list0FirstText = promo.s_fixedTextBase + kFixedTextCount + 1;
    promo.s_list0LastText = listSpan(promo.s_listNames0, promo.s_list0FirstText);
    promo.s_list1FirstText = promo.s_list0LastText + 1;
    promo.s_list1LastText = listSpan(promo.s_listNames1, promo.s_list1FirstText);
    promo.s_textTableLength = promo.s_list1LastText + 1 + kClosingTextCount;
}

namespace {

// Reads the header entry into the statics; false when it is missing or cut.
bool readHeader() {
    PromoStatics& promo = promoStatics();
    EntryCursor cursor{readDataEntry(0)};
    if (!cursor.data)
        return false;
    cursor.readU16();
    rt::ByteArray* headerText = cursor.readBytes();
    if (!cursor.cut)
        promo.s_dataHeaderText = rt::make<rt::String>(headerText);
    rt::ObjectArray* langCodes = cursor.readStringTable();
    rt::ObjectArray* pageNames = cursor.readStringTable();
    rt::ObjectArray* list0 = cursor.readStringTable();
    rt::ObjectArray* list1 = cursor.readStringTable();
    rt::ObjectArray* extra = cursor.readStringTable();
    std::int32_t flag = cursor.readU16();
    rt::ByteArray* variant = cursor.readBytes();
    if (cursor.cut)
        return false;
    promo.s_langCodes = langCodes;
    promo.s_pageNames = pageNames;
    promo.s_listNames0 = list0;
    promo.s_listNames1 = list1;
    promo.s_extraNames = extra;
    promo.s_dataFlags = rt::newBoolArray(1);
    rt::BoolArray::set(promo.s_dataFlags, 0, flag == 1);
    promo.s_fontVariant = rt::make<rt::String>(variant);
    bool wide = equalsConstant(promo.s_fontVariant, kPromoWideFontVariant);
    promo.s_glyphRowWide = wide ? 2 : 0;
    promo.s_glyphColX = 0;
    promo.s_glyphColY = wide ? 2 : 1;
    promo.s_glyphColW = wide ? 4 : 2;
    promo.s_glyphColH = wide ? 5 : 3;
    promo.s_fontLineStep = wide ? 12 : 6;
    promo.s_fontGap = wide ? 6 : 3;
    promo.s_lastFixedStep = 8 + (flag == 1 ? 1 : 0);
    promo.s_extraPageStep = flag == 1 ? 9 : -2;
    promo.s_closeStep = promo.s_lastFixedStep + 1;
    return true;
}

void setPage(std::int32_t page, rt::String* address, std::int32_t kind) {
    PromoStatics& promo = promoStatics();
    rt::Array::setRef(promo.s_pageLinks, page, address);
    rt::ByteArray::set(promo.s_pageAvailable, page, 1);
    if (kind != 0)
        rt::IntArray::set(promo.s_pageKinds, page, kind);
}

// `address` with the two-digit page number after it: the page-number prefix,
// and the zero digit before numbers below 10.
rt::String* withPageNumber(rt::String* address, std::int32_t number) {
    std::u16string units(unitsIn(address));
    units += constant(kPromoPageNumberPrefix)->view();
    if (number < 10)
        units += constant(kZeroDigit)->view();
    for (char digit : std::to_string(number))
        units += static_cast<char16_t>(digit);
    return makeString(units);
}

void readPageLinks() {
    PromoStatics& promo = promoStatics();
    rt::String* fields = getAppProperty(constant(kPromoPagesProperty));
    for (std::int32_t i = 0; i < promo.s_regularPageCount; ++i) {
        rt::String* name = stringAt(promo.s_pageNames, i);
        rt::String* address = promo.s_fieldsInProperty
                                  ? lookupField(fields, name, promo.s_addressBase)
                                  : getAppProperty(concat(constant(kPromoPagePropertyPrefix), name));
        if (!checkValue(address, 7))
            continue;
        promo.s_linkPageNumber += 1;
        if (promo.s_langInAddress)
            address = withPageNumber(address, promo.s_linkPageNumber);
        setPage(i, address, kPromoKindRegular);
    }
}

} // namespace

void readListLinks(std::int32_t list, rt::ObjectArray* rowNames, std::int32_t page,
                   std::int32_t lastTextIndex, rt::String* propertyKey) {
    PromoStatics& promo = promoStatics();
    std::int32_t rows = arrayLength(rowNames);
    rt::ObjectArray* links = rt::newObjectArray(rows);
    rt::Array::setRef(promo.s_listLinks, list, links);
    rt::IntArray* dataRows = rt::newIntArray(rows);
    rt::Array::setRef(promo.s_listTexts, list, dataRows);
    rt::IntArray* textIndexes = rt::newIntArray(rows);
    rt::Array::setRef(promo.s_listImages, list, textIndexes);
    if (extraFlag())
        return;
    rt::String* fields = getAppProperty(propertyKey);
    std::int32_t shown = 0;
    for (std::int32_t r = 0; r < rows; ++r) {
        rt::String* name = stringAt(rowNames, r);
        rt::String* address = nullptr;
        if (r + 1 < rows) {
            address = equalsConstant(name, kPromoPortalRowName)
                          ? promo.s_extraAddress
                          : lookupField(fields, name, promo.s_addressBase);
        } else if (promo.s_extraAddress && promo.s_extraAddress->length() > 0) {
            rt::String* pattern = promo.s_langInAddress
                                      ? concat(promo.s_extraAddress, constant(kPromoPortalRowSuffix))
                                      : promo.s_extraAddress;
            address = lookupField(getAppProperty(constant(kPromoPortalProperty)), name, pattern);
        }
        rt::IntArray::set(textIndexes, r, lastTextIndex - rows + 1 + r);
        if (!checkValue(address, 7))
            continue;
        rt::Array::setRef(links, shown, address);
        rt::IntArray::set(dataRows, shown, r);
        ++shown;
    }
    if (shown > 0) {
        rt::ByteArray::set(promo.s_pageAvailable, page, 1);
        rt::IntArray::set(promo.s_listRowCounts, list, shown);
    }
}

void buildPageTable() {
    PromoStatics& promo = promoStatics();
    promo.s_enabled = 0;
    promo.s_availablePageCount = 0;
    if (!openDataFile())
        return;
    bool header = readHeader();
    closeDataFile();
    lib::java_lang_System::gc();
    if (!header) {
        host::logf(host::LogCategory::Game, "promotion data: the header entry is missing or cut");
        return;
    }
    assignTextIndexes(promo.s_pageNames);
    std::int32_t n = promo.s_regularPageCount;
    promo.s_regularPageImages = rt::newObjectArray(n);
    promo.s_pageCount = n + 4 + (extraFlag() ? 1 : 0);
    promo.s_pageLinks = rt::newObjectArray(promo.s_pageCount);
    promo.s_pageAvailable = rt::newByteArray(promo.s_pageCount);
    promo.s_pageKinds = rt::newIntArray(promo.s_pageCount);
    promo.s_propertyPage = n + kPromoPropertyPage;
    promo.s_listPage0 = n + kPromoListPage0;
    promo.s_listPage1 = n + kPromoListPage1;
    promo.s_portalPage = n + kPromoPortalPage;
    promo.s_extraPage = n + kPromoExtraPage;
    promo.s_listLinks = rt::newObjectArray(3);
    promo.s_listTexts = rt::newObjectArray(3);
    promo.s_listImages = rt::newObjectArray(3);
    promo.s_listRowCounts = rt::newIntArray(3);

    rt::String* base = getAppProperty(constant(kPromoAddressBaseProperty));
    promo.s_addressBase = base ? base->trim() : nullptr;
    std::optional<std::u16string> baseUnits = unitsOf(promo.s_addressBase);
    std::optional<std::u16string> marker = unitsOf(constant(kPromoLanguageMarker));
    promo.s_langInAddress = baseUnits && baseUnits->find(*marker) != std::u16string::npos ? 1 : 0;

    promo.s_fieldsInProperty = 1;
    promo.s_linkPageNumber = 0;
    readPageLinks();

    rt::String* extraAddress = getAppProperty(constant(kPromoPortalAddressProperty));
    promo.s_extraAddress = checkValue(extraAddress, 7) ? extraAddress : constant(kDefaultMessage);
    promo.s_extraText = getAppProperty(constant(kPromoPortalTextProperty));

    if (!extraFlag()) {
        rt::String* featured = getAppProperty(constant(kPromoFeaturedProperty));
        if (checkValue(featured, 7))
            setPage(promo.s_propertyPage, featured, kPromoKindProperty);
    }
    readListLinks(0, promo.s_listNames0, promo.s_listPage0, promo.s_list0LastText,
                  constant(kPromoList0Property));
    readListLinks(1, promo.s_listNames1, promo.s_listPage1, promo.s_list1LastText,
                  constant(kPromoList1Property));
    if (!extraFlag()) {
        rt::String* portal = lookupField(getAppProperty(constant(kPromoPortalProperty)),
                                         constant(kPromoPortalKey), promo.s_extraAddress);
        if (checkValue(portal, 7) && checkValue(promo.s_extraAddress, 7))
            setPage(promo.s_portalPage, portal, 0);
    } else if (checkValue(promo.s_extraAddress, 7)) {
        setPage(promo.s_extraPage, promo.s_extraAddress, 0);
    }
    promo.s_availablePageCount = countAvailablePages();
    promo.s_enabled = promo.s_availablePageCount > 0 ? 1 : 0;
    // The screen starts only in a language of the file: without one it
    // would open and never load.
    if (arrayLength(promo.s_langCodes) == 0 && promo.s_enabled) {
        host::logf(host::LogCategory::Game, "promotion data: no languages; the promotion stays off");
        promo.s_enabled = 0;
    }
}

} // namespace game::promo
