#include "game/framework/Texts.h"

#include "classlib/io/InputStream.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Streams.h"
#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

namespace game {

namespace {

// Where an id points: a pack number (multi-pack mode) and an index in it.
struct TextRef {
    std::int32_t pack;
    std::int32_t index;
};

// A shift of 32 or more leaves the pack as the id's sign (0 or -1) and the
// index as the whole id; below that the shift counts as Java's does.
TextRef splitId(std::int32_t id, std::int32_t shift) {
    if (shift >= 32)
        return {id >> 31, id};
    shift &= 31;
    return {id >> shift, static_cast<std::int32_t>(static_cast<std::uint32_t>(id) & ((1u << shift) - 1u))};
}

// The most texts one pack may hold in multi-pack mode: 1 << shift, without a
// cut where that is no positive int.
std::int32_t packCountLimit(std::int32_t shift) {
    return shift >= 0 && shift < 31 ? 1 << shift : std::numeric_limits<std::int32_t>::max();
}

bool inRange(std::int32_t index, std::int32_t length) {
    return index >= 0 && index < length;
}

rt::String* missingText(std::int32_t id) {
    host::logf(host::LogCategory::Game, "getString: no loaded text has id %d", id);
    return nullptr;
}

template <class A>
A* elementAs(rt::ObjectArray* array, std::int32_t index) {
    return static_cast<A*>(rt::Array::getRef(array, index));
}

// The one-, two- and three-byte forms of the game's texts into `units`;
// false at the first malformed sequence.
bool decodeForms(std::span<const std::int8_t> bytes, std::u16string& units) {
    auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    auto continues = [&](std::size_t i) { return (byteAt(i) & 0xC0) == 0x80; };
    const std::size_t end = bytes.size();
    std::size_t i = 0;
    while (i < end) {
        const std::uint8_t b = byteAt(i);
        if (b < 0x80) {
            units.push_back(b);
            i += 1;
        } else if ((b & 0xE0) == 0xE0 && i + 2 < end && continues(i + 1) && continues(i + 2)) {
            units.push_back(static_cast<char16_t>((b & 0x0F) << 12 | (byteAt(i + 1) & 0x3F) << 6 |
                                                  (byteAt(i + 2) & 0x3F)));
            i += 3;
        } else if ((b & 0xC0) == 0xC0 && i + 1 < end && continues(i + 1)) {
            units.push_back(static_cast<char16_t>((b & 0x1F) << 6 | (byteAt(i + 1) & 0x3F)));
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Text bytes into a `String`: the own decoder for the library's own charset
// name, the runtime's charsets otherwise.
rt::String* decodeStored(rt::ByteArray* bytes, std::int32_t start, std::int32_t length) {
    rt::String* charset = startupStatics().s_textEncoding;
    if (config().s_ownTextDecoder && charset &&
        charset->equals(rt::getStaticClass().getConstantString(rt::constants::kTextEncoding)))
        return decodeText(bytes, start, length);
    return rt::make<rt::String>(bytes, start, length, charset);
}

// Text `index` of one table: from its cache when it has one, else decoded.
rt::String* textOf(rt::ObjectArray* cache, rt::IntArray* offsets, rt::ByteArray* bytes, std::int32_t count,
                   std::int32_t index, std::int32_t id) {
    if (cache) {
        if (!inRange(index, cache->length()))
            return missingText(id);
        return static_cast<rt::String*>(cache->elements()[index]);
    }
    if (!offsets || !inRange(index, count))
        return missingText(id);
    const std::int32_t start = offsets->elements()[index];
    const std::int32_t end = offsets->elements()[index + 1];
    if (start == end)
        return nullptr;
    return decodeStored(bytes, start, end - start);
}

// How many slots the by-pack tables have (or will have when first made).
std::int32_t slotCount() {
    const TextStatics& texts = textStatics();
    return texts.s_slotPack ? texts.s_slotPack->length() : config().s_textPackSlots;
}

void ensurePackTables() {
    TextStatics& texts = textStatics();
    if (texts.s_slotPack)
        return;
    const std::int32_t slots = config().s_textPackSlots;
    texts.s_packOffsets = rt::newObjectArray(slots);
    texts.s_packBytes = rt::newObjectArray(slots);
    texts.s_packCounts = rt::newIntArray(slots);
    if (config().s_cacheTexts)
        texts.s_packCache = rt::newObjectArray(slots);
    rt::IntArray* slotPack = rt::newIntArray(slots);
    std::ranges::fill(rt::IntArray::span(slotPack), -1);
    texts.s_slotPack = slotPack;
}

// Clears every entry of a cache, so that nothing holding the array keeps the
// strings alive.
void clearCache(rt::ObjectArray* cache) {
    if (cache)
        std::ranges::fill(rt::ObjectArray::span(cache), nullptr);
}

// A table read from an entry, not yet installed.
struct ReadTable {
    std::int32_t pack = 0;
    std::int32_t count = 0;
    rt::IntArray* offsets = nullptr;
    rt::ByteArray* bytes = nullptr;
};

// Reading an entry of unknown length allocates no more than this many
// elements ahead of the data actually read, so a count that lies cannot ask
// for a huge array before the stream runs dry.
constexpr std::int32_t kUnknownLengthStep = 1 << 14;

std::int32_t firstCapacity(std::int32_t total, bool lengthKnown) {
    return lengthKnown ? total : std::min(total, kUnknownLengthStep);
}

// A copy of `array` with room for up to twice its elements, never beyond `total`.
template <class A>
A* grown(A* array, std::int32_t total, A* (*make)(std::int32_t)) {
    auto capacity =
        static_cast<std::int32_t>(std::min<std::int64_t>(total, 2 * std::int64_t{array->length()}));
    A* bigger = make(capacity);
    rt::Array::copy(array, 0, bigger, 0, array->length());
    return bigger;
}

// The framework's readers over `in`, checked: the end of the data, a read
// that makes no progress and a pending exception each end a read as a
// failure (the readers themselves would go on with 0xFF or zero bytes).
std::optional<std::int32_t> readCheckedInt(lib::java_io_InputStream* in) {
    StreamStatics& streams = streamStatics();
    const std::int32_t before = streams.s_arrayBytesRead;
    const std::int32_t value = streamReadInt(in);
    if (rt::exceptionPending() || streams.s_arrayBytesRead - before != 4)
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> readCheckedByte(lib::java_io_InputStream* in) {
    const std::int32_t value = streamReadByte(in);
    if (rt::exceptionPending() || value < 0)
        return std::nullopt;
    return value;
}

bool readCheckedBytes(lib::java_io_InputStream* in, rt::ByteArray* into, std::int32_t offset,
                      std::int32_t count) {
    (void)streamReadFully(in, into, offset, count);
    return streamStatics().s_streamShortfall == 0;
}

// Reads the entry into `table`; the reason for a failure, or null.
const char* readTable(lib::java_io_InputStream* in, std::int32_t entry, std::int32_t length,
                      ReadTable& table) {
    if (!in)
        return "there is no stream";
    const bool multi = config().s_multiTextPacks != 0;
    const bool lengthKnown = length >= 0;
    std::int64_t left = length;
    if (multi) {
        if (!inRange(entry, slotCount()))
            return "no such slot";
        const std::optional<std::int32_t> pack = readCheckedByte(in);
        if (!pack)
            return "the data ends in the pack number";
        if (!inRange(*pack, slotCount()))
            return "the pack number is outside the slots";
        table.pack = *pack;
        left -= 1;
    }
    const std::optional<std::int32_t> count = readCheckedInt(in);
    if (!count)
        return "the data ends in the count";
    table.count = *count;
    if (table.count < 0 || table.count == std::numeric_limits<std::int32_t>::max())
        return "the count is out of range";
    if (multi)
        table.count = std::min(table.count, packCountLimit(config().s_textIdShift));
    left -= 4 + 4 * std::int64_t{table.count};
    if (lengthKnown && left < 0)
        return "the count is more than the entry holds";

    table.offsets = rt::newIntArray(firstCapacity(table.count + 1, lengthKnown));
    std::int32_t end = 0;
    for (std::int32_t i = 1; i <= table.count; ++i) {
        const std::optional<std::int32_t> next = readCheckedInt(in);
        if (!next)
            return "the data ends in the offsets";
        if (*next < end)
            return "an end offset falls";
        end = *next;
        if (i == table.offsets->length())
            table.offsets = grown(table.offsets, table.count + 1, &rt::newIntArray);
        table.offsets->elements()[i] = end;
    }
    if (lengthKnown && end > left)
        return "the texts are longer than the entry";

    table.bytes = rt::newByteArray(firstCapacity(end, lengthKnown));
    for (std::int32_t filled = 0; filled < end;) {
        if (filled == table.bytes->length())
            table.bytes = grown(table.bytes, end, &rt::newByteArray);
        const std::int32_t chunk = table.bytes->length() - filled;
        if (!readCheckedBytes(in, table.bytes, filled, chunk))
            return "the data ends in the texts";
        filled += chunk;
    }
    return nullptr;
}

void installPack(std::int32_t slot, const ReadTable& table) {
    ensurePackTables();
    TextStatics& texts = textStatics();
    unloadTextPack(slot);
    // A pack number lives in one slot: another slot that held it loses it.
    for (std::int32_t other = 0; other < texts.s_slotPack->length(); ++other) {
        if (texts.s_slotPack->elements()[other] == table.pack)
            unloadTextPack(other);
    }
    rt::Array::setRef(texts.s_packOffsets, table.pack, table.offsets);
    rt::Array::setRef(texts.s_packBytes, table.pack, table.bytes);
    texts.s_packCounts->elements()[table.pack] = table.count;
    texts.s_slotPack->elements()[slot] = table.pack;
    if (config().s_cacheTexts)
        cacheTextPack(table.pack);
}

void installSingle(const ReadTable& table) {
    unloadAllTexts();
    TextStatics& texts = textStatics();
    texts.s_textCount = table.count;
    texts.s_textOffsets = table.offsets;
    texts.s_textBytes = table.bytes;
    if (config().s_cacheTexts)
        cacheAllTexts();
}

} // namespace

TextStatics& textStatics() {
    return rt::getStaticClass().statics<TextStatics>();
}

rt::String* getString(std::int32_t id) {
    const TextStatics& texts = textStatics();
    if (!config().s_multiTextPacks)
        return textOf(texts.s_textCache, texts.s_textOffsets, texts.s_textBytes, texts.s_textCount, id, id);
    const TextRef ref = splitId(id, config().s_textIdShift);
    if (!texts.s_slotPack || !inRange(ref.pack, texts.s_packCounts->length()))
        return missingText(id);
    rt::ObjectArray* cache =
        texts.s_packCache ? elementAs<rt::ObjectArray>(texts.s_packCache, ref.pack) : nullptr;
    return textOf(cache, elementAs<rt::IntArray>(texts.s_packOffsets, ref.pack),
                  elementAs<rt::ByteArray>(texts.s_packBytes, ref.pack),
                  texts.s_packCounts->elements()[ref.pack], ref.index, id);
}

rt::String* decodeText(rt::ByteArray* bytes, std::int32_t start, std::int32_t length) {
    std::u16string units;
    // The span pins the bytes until the units are copied out; the string is
    // made only after that.
    if (std::span<std::int8_t> in = rt::ByteArray::span(bytes, start, length); !decodeForms(in, units))
        return rt::getStaticClass().getConstantString(rt::constants::kDefaultMessage);
    return rt::make<rt::String>(std::u16string_view(units));
}

bool readTextPackEntry(lib::java_io_InputStream* in, std::int32_t entry, std::int32_t length) {
    ReadTable table;
    if (const char* why = readTable(in, entry, length, table)) {
        if (rt::exceptionPending())
            rt::clearPendingException();
        host::logf(host::LogCategory::Game, "text pack entry %d not loaded: %s", entry, why);
        return false;
    }
    if (config().s_multiTextPacks)
        installPack(entry, table);
    else
        installSingle(table);
    return true;
}

rt::String* cacheTextPack(std::int32_t pack) {
    TextStatics& texts = textStatics();
    const OrvelLibConfig& settings = config();
    if (!settings.s_multiTextPacks || !texts.s_slotPack || !inRange(pack, texts.s_packCounts->length()))
        return nullptr;
    const std::int32_t count = texts.s_packCounts->elements()[pack];
    if (count == 0)
        return nullptr;
    const std::int32_t first = settings.s_textIdShift >= 32 ? 0 : pack << (settings.s_textIdShift & 31);
    rt::ObjectArray* strings = rt::newObjectArray(count);
    rt::String* last = nullptr;
    for (std::int32_t i = 0; i < count; ++i) {
        last = getString(first + i);
        rt::Array::setRef(strings, i, last);
    }
    if (!texts.s_packCache)
        texts.s_packCache = rt::newObjectArray(texts.s_slotPack->length());
    rt::Array::setRef(texts.s_packCache, pack, strings);
    rt::Array::setRef(texts.s_packOffsets, pack, nullptr);
    rt::Array::setRef(texts.s_packBytes, pack, nullptr);
    collectAfterUnload();
    return last;
}

void cacheAllTexts() {
    TextStatics& texts = textStatics();
    if (config().s_multiTextPacks) {
        for (std::int32_t pack = 0; pack < config().s_textPackSlots; ++pack)
            cacheTextPack(pack);
        return;
    }
    rt::ObjectArray* strings = rt::newObjectArray(texts.s_textCount);
    for (std::int32_t i = 0; i < texts.s_textCount; ++i)
        rt::Array::setRef(strings, i, getString(i));
    texts.s_textCache = strings;
    texts.s_textOffsets = nullptr;
    texts.s_textBytes = nullptr;
    collectAfterUnload();
}

void unloadTextPack(std::int32_t slot) {
    TextStatics& texts = textStatics();
    if (!config().s_multiTextPacks || !texts.s_slotPack || !inRange(slot, texts.s_slotPack->length()))
        return;
    const std::int32_t pack = texts.s_slotPack->elements()[slot];
    if (pack < 0)
        return;
    if (texts.s_packCache) {
        clearCache(elementAs<rt::ObjectArray>(texts.s_packCache, pack));
        rt::Array::setRef(texts.s_packCache, pack, nullptr);
    }
    rt::Array::setRef(texts.s_packOffsets, pack, nullptr);
    rt::Array::setRef(texts.s_packBytes, pack, nullptr);
    texts.s_packCounts->elements()[pack] = 0;
    texts.s_slotPack->elements()[slot] = -1;
}

void unloadAllTexts() {
    TextStatics& texts = textStatics();
    if (config().s_multiTextPacks) {
        for (std::int32_t slot = 0; slot < slotCount(); ++slot)
            unloadTextPack(slot);
        return;
    }
    clearCache(texts.s_textCache);
    texts.s_textCache = nullptr;
    texts.s_textOffsets = nullptr;
    texts.s_textBytes = nullptr;
    texts.s_textCount = 0;
}

} // namespace game
