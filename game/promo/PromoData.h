#pragma once

// The promotion data file and the page table built from it and from the
// application properties (the file's format: tools/datakit/PromoWriter.h).
//
// Reads never go past what they were given: an entry whose offsets fall,
// or reach past the file, is missing; a value read past its entry marks the
// cursor cut, and the caller then treats the whole entry as missing.

#include "game/promo/PromoStatics.h"
#include "game/promo/PromoStrings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {
class javax_microedition_lcdui_Image;
}

namespace game::promo {

// The length of `array`; 0 for null.
inline std::int32_t arrayLength(rt::Array* array) {
    return array ? array->length() : 0;
}

// Element i of `array`; null for a null array or an i outside it.
inline rt::Object* elementAt(rt::ObjectArray* array, std::int32_t i) {
    return array && i >= 0 && i < array->length() ? rt::ObjectArray::get(array, i) : nullptr;
}

// A read cursor over one entry's bytes.
struct EntryCursor {
    rt::ByteArray* data = nullptr;
    std::int32_t position = 0;
    bool cut = false;

    std::int32_t remaining() const;
    // Unsigned 16-bit little-endian; 0 and cut when it does not fit.
    std::int32_t readU16();
    // A u16 length and a new byte[length]; null and cut when it does not fit.
    rt::ByteArray* readBytes();
    // A u16 length and that many bytes of PNG decoded; null when they do not
    // fit (cut) or do not decode.
    platform::javax_microedition_lcdui_Image* readImage();
    // A u16 count and as many strings of a u16 length and one unit per byte;
    // null and cut when they do not fit.
    rt::ObjectArray* readStringTable();
    void skip(std::int32_t count);
};

// The constant strings the string checks compare with, viewed in place: for
// the length of one call that makes no object meanwhile (a constant string
// is never collected, and a buffer that a stack word points into stays put).
struct GuestWords {
    GuestWords();
    PromoWords words;
};

// Reads the count and the offset table of the data file; false when it
// cannot be opened or is shorter than its table (the table then stays as
// read so far).
bool openDataFile();
// Entry i of the open file, null when i is outside 0 .. N - 2, the entry is
// empty, its offsets fall or reach past the file, or it cannot be read.
rt::ByteArray* readDataEntry(std::int32_t i);
// Drops the open file's table and cache.
void closeDataFile();

// The layout values from the screen size on every call; the first time (no
// MIDlet yet) with a display, also the MIDlet, the command option and the
// page table.
void setup(platform::javax_microedition_midlet_MIDlet* midlet, rt::Object* display, std::int32_t screenWidth,
           std::int32_t screenHeight, bool useCommands = false);
void buildPageTable();
// The text numbering from the page names (String[], may be null).
void assignTextIndexes(rt::ObjectArray* pageNames);
// List `list`'s shown rows and their addresses from property `propertyKey`.
void readListLinks(std::int32_t list, rt::ObjectArray* rowNames, std::int32_t page,
                   std::int32_t lastTextIndex, rt::String* propertyKey);

// The MIDlet's application property `key`; null without a MIDlet.
rt::String* getAppProperty(rt::String* key);
// `checkValue` and `lookupField` over guest strings (null for missing).
bool checkValue(rt::String* value, std::int32_t flags);
rt::String* lookupField(rt::String* text, rt::String* key, rt::String* pattern);

// Flag 0 of the header: the extra page exists.
bool extraFlag();

std::int32_t countAvailablePages();
std::int32_t firstAvailablePage();
bool isAvailable();
std::int32_t availability();

// Byte `column` of glyph row `row`, or the 16-bit x or y of a wide row; 0
// for a row or column outside the glyph table.
std::int32_t getTableByte(std::int32_t row, std::int32_t column);

// Constant string `number`, never null (the empty string when missing).
rt::String* constant(std::int32_t number);
// A copy of `text`'s units; nullopt for null.
std::optional<std::u16string> unitsOf(rt::String* text);
rt::String* makeString(std::u16string_view units);

} // namespace game::promo
