// Reads the input as one text-pack entry over a table already loaded, then
// asks for every text of it. The first byte picks the switches (bit 0
// multi-pack, bit 1 the length is told, bit 2 the cache, bit 3 the own
// decoder), the second the slot; the rest is the entry. Checked: no read
// outside any array (the sanitizers watch an exactly sized copy), nothing left
// pending; a refused entry leaves the loaded table answering as before; an
// installed table has a count not above what the entry could hold, rising
// offsets from 0 and exactly as many bytes as its last offset says; every
// text is null, the malformed text or a string no longer than its bytes, and
// a text the own decoder made comes back unchanged through datakit's writer.
// The decoder also runs over the whole entry.

#include "classlib/ClassLibrary.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Texts.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tools/datakit/TextTable.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzzing::check;

// Bounds the strings one input makes.
constexpr std::int32_t kMaxTextsAsked = 2048;

rt::ByteArray* guestBytes(const std::uint8_t* data, std::size_t size) {
    rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(size));
    std::copy(data, data + size, reinterpret_cast<std::uint8_t*>(bytes->elements()));
    return bytes;
}

bool load(rt::ByteArray* entry, std::int32_t slot, bool lengthKnown) {
    auto* in = rt::make<lib::java_io_ByteArrayInputStream>(entry);
    return game::readTextPackEntry(in, slot, lengthKnown ? entry->length() : -1);
}

// A decoded text: the malformed text, or units that the game's writer and
// decoder give back unchanged (each unit came from at least one byte).
void checkDecoded(rt::String* text, std::int32_t byteCount) {
    check(text != nullptr);
    if (text == rt::getStaticClass().getConstantString(rt::constants::kDefaultMessage))
        return;
    check(text->length() <= byteCount);
    std::u16string units(text->view());
    datakit::Bytes encoded = datakit::encodeGameText(units);
    rt::String* again = game::decodeText(guestBytes(encoded.data(), encoded.size()), 0,
                                         static_cast<std::int32_t>(encoded.size()));
    check(again->view() == units);
}

void checkInstalled(std::int32_t count, rt::IntArray* offsets, rt::ByteArray* bytes, std::size_t entrySize) {
    check(count >= 0 && static_cast<std::size_t>(count) * 4 + 4 <= entrySize);
    check(offsets && offsets->length() == count + 1 && offsets->elements()[0] == 0);
    for (std::int32_t i = 0; i < count; ++i)
        check(offsets->elements()[i] <= offsets->elements()[i + 1]);
    check(bytes && bytes->length() == offsets->elements()[count]);
}

rt::ObjectArray* textConstants() {
    rt::ObjectArray* constants = rt::newObjectArray(rt::constants::kTextEncoding + 1);
    rt::Array::setRef(constants, rt::constants::kDefaultMessage, rt::String::newFromCString("<bad text>"));
    rt::Array::setRef(constants, rt::constants::kTextEncoding, rt::String::newFromCString("UTF-8"));
    return constants;
}

fuzzing::KeptRuntime& textRuntime() {
    static fuzzing::KeptRuntime s_kept{rt::RuntimeOptions{8 << 20, 1 << 20},
                                       &fuzzing::installClassLibraryWithoutCollections};
    return s_kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)textRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > (1u << 16))
        return 0;
    fuzzing::QuietLog quiet;
    fuzzing::KeptRuntimeInput input(textRuntime());
    rt::getStaticClass().setConstantStrings(textRuntime().constants(&textConstants));

    game::OrvelLibConfig::staticInit();
    game::OrvelLibConfig& settings = game::config();
    const std::uint8_t flags = data[0];
    const bool multi = flags & 1;
    const bool lengthKnown = flags & 2;
    settings.s_multiTextPacks = multi;
    settings.s_cacheTexts = (flags & 4) != 0;
    settings.s_ownTextDecoder = (flags & 8) != 0;
    settings.s_gcAfterUnload = 0;
    game::startupStatics().s_textEncoding =
        rt::getStaticClass().getConstantString(rt::constants::kTextEncoding);
    const std::int32_t slot = data[1] % 40;

    // The table loaded before: pack 0 in slot `slot`'s neighbour.
    const std::vector<std::u16string> before = {u"before"};
    datakit::TextTableOptions beforeOptions;
    if (multi)
        beforeOptions.packNumber = 0;
    datakit::Bytes beforeEntry = datakit::writeTextTable(before, beforeOptions);
    check(load(guestBytes(beforeEntry.data(), beforeEntry.size()), (slot + 1) % 32, true));

    const std::size_t entrySize = size - 2;
    rt::ByteArray* entry = guestBytes(data + 2, entrySize);
    const bool loaded = load(entry, slot, lengthKnown);
    check(!rt::exceptionPending());
    if (!loaded) {
        rt::String* kept = game::getString(0);
        check(kept && kept->view() == before[0]);
    } else {
        const game::TextStatics& texts = game::textStatics();
        std::int32_t count = texts.s_textCount;
        std::int32_t first = 0;
        if (multi) {
            const std::int32_t pack = data[2];
            check(pack < 32 && rt::IntArray::get(texts.s_slotPack, slot) == pack);
            count = rt::IntArray::get(texts.s_packCounts, pack);
            check(count <= 1 << 10);
            first = pack << 10;
            if (!settings.s_cacheTexts)
                checkInstalled(count,
                               static_cast<rt::IntArray*>(rt::ObjectArray::get(texts.s_packOffsets, pack)),
                               static_cast<rt::ByteArray*>(rt::ObjectArray::get(texts.s_packBytes, pack)),
                               entrySize - 1);
        } else if (!settings.s_cacheTexts) {
            checkInstalled(count, texts.s_textOffsets, texts.s_textBytes, entrySize);
        }
        for (std::int32_t i = 0; i < std::min(count, kMaxTextsAsked); ++i) {
            if (rt::String* text = game::getString(first + i); text && settings.s_ownTextDecoder)
                checkDecoded(text, static_cast<std::int32_t>(entrySize));
        }
        check(game::getString(first + count) == nullptr);
        game::unloadAllTexts();
        check(game::getString(first) == nullptr);
    }
    checkDecoded(game::decodeText(entry, 0, entry->length()), entry->length());
    return 0;
}
