// Texts by id: the game's UTF-8 decoder, text tables written by datakit and
// read from a stream, ids across packs, the cache and unloading, and entries
// that must not be installed.

#include "game/framework/Texts.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tools/datakit/TextTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using datakit::ByteOrder;
using datakit::Bytes;

constexpr const char* kMalformed = "<bad text>";
constexpr const char* kNull = "<null>";

// With threads, so that a collection sees the test's stack.
struct TextsTest : ::testing::Test {
    testing_support::LogCapture log;
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 22, 1 << 22, &host.threads, &host.clock}};

    TextsTest() {
        lib::installClassLibrary(runtime);
        game::OrvelLibConfig::staticInit();
        testing_support::installConstantStrings(
            {{rt::constants::kDefaultMessage, kMalformed}, {rt::constants::kTextEncoding, "UTF-8"}});
        game::startupStatics().s_textEncoding =
            rt::getStaticClass().getConstantString(rt::constants::kTextEncoding);
    }

    static void useMultiplePacks() {
        game::config().s_multiTextPacks = 1;
        game::config().s_textIdShift = 10;
    }

    // Reads `entry` from a stream over its bytes into slot `slot`, telling the
    // reader its length or not. With the length told, the stream goes on past
    // the entry, as a pack's stream does into its next entry.
    static bool load(const Bytes& entry, std::int32_t slot = 0, bool lengthKnown = true) {
        Bytes stream = entry;
        if (lengthKnown)
            stream.insert(stream.end(), 64, 'z');
        auto* in = rt::make<lib::java_io_ByteArrayInputStream>(testing_support::byteArray(stream));
        return game::readTextPackEntry(in, slot, lengthKnown ? static_cast<std::int32_t>(entry.size()) : -1);
    }
    static bool load(const std::vector<std::u16string>& texts, datakit::TextTableOptions options = {},
                     std::int32_t slot = 0) {
        return load(datakit::writeTextTable(texts, options), slot);
    }

    // The text as UTF-8, or "<null>".
    static std::string text(std::int32_t id) {
        rt::String* found = game::getString(id);
        return found ? found->toUtf8() : kNull;
    }
};

TEST_F(TextsTest, TheDecoderReadsTheGameFormsAndAnswersTheMalformedTextForABadSequence) {
    struct Case {
        Bytes bytes;
        std::u16string expected; // u"?" stands for the malformed text
    };
    const Case cases[] = {
        {{'O', 'K'}, u"OK"},
        {{0xC3, 0xA9}, u"\u00e9"},
        {{0xE2, 0x82, 0xAC}, u"\u20ac"},
        {{'a', 0x00, 'b'}, std::u16string(u"a\0b", 3)},
        {{0xC0, 0x80}, std::u16string(1, u'\0')},           // not the shortest form, still read
        {{0xF4, 0x81, 0x82}, u"\u4042"},                    // F0..FF lead three bytes
        {{0xED, 0xA0, 0x80}, std::u16string(1, u'\xd800')}, // a surrogate as it is
        {{0xE2, 0x82}, u"\u0082"},                          // too short for three: taken as two
        {{0xC3}, u"?"},                                     // lone lead at the end
        {{'x', 0xC3}, u"?"},
        {{0xE2, 0x41, 0x42}, u"?"},
        {{0x80, 'a'}, u"?"}, // continuation without a lead
        {{0xC3, 0xC3, 0xA9}, u"?"},
    };
    for (const Case& c : cases) {
        // Bytes on both sides of the range that would complete a cut sequence
        // if the decoder read past either end.
        Bytes framed = {0xE2};
        framed.insert(framed.end(), c.bytes.begin(), c.bytes.end());
        framed.insert(framed.end(), {0xA9, 0x82});
        rt::String* decoded = game::decodeText(testing_support::byteArray(framed), 1,
                                               static_cast<std::int32_t>(c.bytes.size()));
        ASSERT_NE(decoded, nullptr);
        if (c.expected == u"?")
            EXPECT_EQ(decoded->toUtf8(), kMalformed) << ::testing::PrintToString(c.bytes);
        else
            EXPECT_EQ(decoded->view(), c.expected) << ::testing::PrintToString(c.bytes);
    }
    EXPECT_EQ(game::decodeText(testing_support::byteArray({'a'}), 0, 0)->length(), 0);
    EXPECT_EQ(game::decodeText(testing_support::byteArray({'a'}), 0, 2)->length(), 0)
        << "a range outside the bytes decodes nothing";
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds"));
}

TEST_F(TextsTest, ATableWrittenByDatakitReadsBackTextByText) {
    const std::u16string longText(40, u'\u20ac');
    ASSERT_TRUE(load({u"Start", u"", u"Caf\u00e9", longText, u"Z"}));
    EXPECT_EQ(text(0), "Start");
    EXPECT_EQ(text(1), kNull) << "an empty text is null";
    EXPECT_EQ(text(2), "Caf\u00e9");
    EXPECT_EQ(game::getString(3)->view(), longText);
    EXPECT_EQ(text(4), "Z");
    EXPECT_NE(game::getString(0), game::getString(0)) << "each call makes a new string";

    for (std::int32_t id : {5, -1, 1 << 20}) {
        log.clear();
        EXPECT_EQ(text(id), kNull);
        EXPECT_EQ(log.lines().size(), 1u) << "id " << id;
    }
}

TEST_F(TextsTest, TheRuntimeDecodesWhenTheCharsetIsNotTheLibrarysOwn) {
    const Bytes table = datakit::writeTextTable(std::vector<std::u16string>{u"\u00e9"});
    struct Case {
        const char* charset;
        std::int8_t ownDecoder;
        std::u16string expected;
    };
    const Case cases[] = {
        {"UTF-8", 1, u"\u00e9"},
        {"ISO-8859-1", 1, u"\u00c3\u00a9"},
        {"UTF-8", 0, u"\u00e9"},
        {"ISO-8859-1", 0, u"\u00c3\u00a9"},
    };
    for (const Case& c : cases) {
        game::startupStatics().s_textEncoding = rt::String::newFromCString(c.charset);
        game::config().s_ownTextDecoder = c.ownDecoder;
        ASSERT_TRUE(load(table));
        EXPECT_EQ(game::getString(0)->view(), c.expected) << c.charset << " " << int{c.ownDecoder};
    }
}

TEST_F(TextsTest, IdsAcrossPacksNameThePackAboveTheShiftAndTheIndexBelowIt) {
    useMultiplePacks();
    // Pack 2 into slot 0, pack 0 into slot 5.
    ASSERT_TRUE(load({u"p2 t0", u"p2 t1", u"", u"p2 t3"}, {.packNumber = 2}, 0));
    ASSERT_TRUE(load({u"p0 t0", u"p0 t1", u"p0 t2", u"p0 t3"}, {.packNumber = 0}, 5));
    const game::TextStatics& texts = game::textStatics();
    EXPECT_EQ(rt::IntArray::get(texts.s_slotPack, 0), 2);
    EXPECT_EQ(rt::IntArray::get(texts.s_slotPack, 5), 0);
    EXPECT_EQ(rt::IntArray::get(texts.s_slotPack, 1), -1);

    EXPECT_EQ(text(2051), "p2 t3");
    EXPECT_EQ(text(2048), "p2 t0");
    EXPECT_EQ(text(2050), kNull);
    EXPECT_EQ(text(3), "p0 t3");
    for (std::int32_t id : {2052, 1024, 31 << 10, 32 << 10, -1}) {
        log.clear();
        EXPECT_EQ(text(id), kNull) << id;
        EXPECT_EQ(log.lines().size(), 1u) << id;
    }

    game::unloadTextPack(0);
    EXPECT_EQ(text(2051), kNull);
    EXPECT_EQ(rt::IntArray::get(texts.s_slotPack, 0), -1);
    EXPECT_EQ(rt::ObjectArray::get(texts.s_packBytes, 2), nullptr);
    EXPECT_EQ(text(3), "p0 t3") << "the other slot stays";
    game::unloadTextPack(0); // a free slot
    game::unloadTextPack(99);
    game::unloadAllTexts();
    EXPECT_EQ(text(3), kNull);
    EXPECT_EQ(rt::IntArray::get(texts.s_slotPack, 5), -1);
}

TEST_F(TextsTest, APackLoadedIntoASecondSlotLeavesTheFirst) {
    useMultiplePacks();
    ASSERT_TRUE(load({u"old"}, {.packNumber = 3}, 1));
    ASSERT_TRUE(load({u"new"}, {.packNumber = 3}, 2));
    EXPECT_EQ(rt::IntArray::get(game::textStatics().s_slotPack, 1), -1);
    game::unloadTextPack(1);
    EXPECT_EQ(text(3 << 10), "new") << "unloading the old slot keeps the pack's new texts";
}

TEST_F(TextsTest, APackCountAboveOneShiftLeftShiftIsCut) {
    useMultiplePacks();
    std::vector<std::u16string> texts;
    for (int i = 0; i < 1024; ++i)
        texts.push_back(u"t" + datakit::widen(std::to_string(i)));
    ASSERT_TRUE(load(texts, {.packNumber = 1, .count = 2000}));
    EXPECT_EQ(rt::IntArray::get(game::textStatics().s_packCounts, 1), 1024);
    EXPECT_EQ(text((1 << 10) + 1023), "t1023");
    EXPECT_EQ(text((1 << 10) + 1024), kNull) << "the index 1024 is pack 2's";
}

TEST_F(TextsTest, TheCacheAnswersOnceTheBytesAreDropped) {
    for (std::int8_t multi : {0, 1}) {
        SCOPED_TRACE(multi ? "multi-pack" : "single pack");
        game::config().s_multiTextPacks = multi;
        game::config().s_cacheTexts = 1;
        ASSERT_TRUE(load({u"one", u"", u"\u20ac3"},
                         multi ? datakit::TextTableOptions{.packNumber = 4} : datakit::TextTableOptions{}));
        const std::int32_t first = multi ? 4 << 10 : 0;
        const game::TextStatics& texts = game::textStatics();
        if (multi) {
            EXPECT_EQ(rt::ObjectArray::get(texts.s_packOffsets, 4), nullptr);
            EXPECT_EQ(rt::ObjectArray::get(texts.s_packBytes, 4), nullptr);
        } else {
            EXPECT_EQ(texts.s_textOffsets, nullptr);
            EXPECT_EQ(texts.s_textBytes, nullptr);
        }
        EXPECT_EQ(text(first), "one");
        EXPECT_EQ(text(first + 1), kNull);
        EXPECT_EQ(text(first + 2), "\u20ac3");
        EXPECT_EQ(game::getString(first), game::getString(first)) << "the cached string itself";
        EXPECT_EQ(text(first + 3), kNull);

        game::unloadAllTexts();
        EXPECT_EQ(text(first), kNull);
        EXPECT_EQ(multi ? rt::ObjectArray::get(texts.s_packCache, 4) : texts.s_textCache, nullptr);
    }
}

TEST_F(TextsTest, CachingAPackAnswersItsLastTextAndSkipsAnEmptyPack) {
    useMultiplePacks();
    ASSERT_TRUE(load({u"a", u"b"}, {.packNumber = 6}));
    ASSERT_TRUE(load(std::vector<std::u16string>{}, {.packNumber = 7}, 1));
    EXPECT_EQ(game::cacheTextPack(6)->toUtf8(), "b");
    EXPECT_EQ(game::cacheTextPack(7), nullptr);
    EXPECT_EQ(rt::ObjectArray::get(game::textStatics().s_packCache, 7), nullptr);
    EXPECT_EQ(text((6 << 10) + 1), "b");
}

Bytes entry(std::initializer_list<std::int32_t> ints, std::initializer_list<std::uint8_t> tail = {},
            std::optional<std::uint8_t> pack = std::nullopt) {
    datakit::ByteWriter out;
    if (pack)
        out.u8(*pack);
    for (std::int32_t value : ints)
        out.i32(ByteOrder::Little, value);
    out.bytes(std::vector<std::uint8_t>(tail));
    return std::move(out).take();
}

TEST_F(TextsTest, ABrokenEntryLogsAndLeavesTheLoadedTextsAlone) {
    struct Case {
        const char* name;
        bool multi;
        Bytes bytes;
        bool lengthKnown = true;
        std::int32_t slot = 0;
    };
    const Case cases[] = {
        {"empty", false, {}},
        {"cut in the count", false, {1, 0}},
        {"negative count", false, entry({-1})},
        {"count beyond the entry", false, entry({3, 1, 2}, {'a', 'b'})},
        {"count beyond the data", false, entry({3, 1, 2}, {'a', 'b'}), false},
        {"count of every int", false, entry({0x7FFFFFFF}), false},
        {"a lying count without a length", false, entry({0x7FFFFFF0, 1}), false},
        {"falling end offsets", false, entry({2, 2, 1}, {'a', 'b'})},
        {"negative first end", false, entry({1, -1})},
        {"texts beyond the entry", false, entry({1, 5}, {'a', 'b'})},
        {"texts beyond the data", false, entry({1, 5}, {'a', 'b'}), false},
        {"huge texts without a length", false, entry({1, 0x7FFFFFFF}, {'a'}), false},
        {"no pack number", true, {}},
        {"pack number past the slots", true, entry({1, 1}, {'a'}, 32)},
        {"slot past the slots", true, entry({1, 1}, {'a'}, 0), true, 32},
        {"negative slot", true, entry({1, 1}, {'a'}, 0), true, -1},
        {"negative count in a pack", true, entry({-5}, {}, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        game::config().s_multiTextPacks = c.multi;
        ASSERT_TRUE(load({u"kept"},
                         c.multi ? datakit::TextTableOptions{.packNumber = 0} : datakit::TextTableOptions{}));
        log.clear();
        EXPECT_FALSE(load(c.bytes, c.slot, c.lengthKnown));
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(text(0), "kept");
        game::unloadAllTexts();
    }
}

TEST_F(TextsTest, AStreamExceptionFailsTheReadAndIsCleared) {
    ASSERT_TRUE(load({u"kept"}));
    const Bytes table = datakit::writeTextTable(std::vector<std::u16string>{u"abc", u"de"});
    for (int failAt = 1; failAt <= static_cast<int>(table.size()); ++failAt) {
        auto* in = rt::make<testing_support::ScriptedInputStream>(table);
        in->m_failAt = failAt;
        EXPECT_FALSE(game::readTextPackEntry(in, 0, static_cast<std::int32_t>(table.size()))) << failAt;
        EXPECT_FALSE(rt::exceptionPending());
    }
    EXPECT_EQ(text(0), "kept");
}

TEST_F(TextsTest, AnEntryOfUnknownLengthGrowsItsTablesAsTheDataArrives) {
    std::vector<std::u16string> texts;
    for (int i = 0; i < 20000; ++i)
        texts.push_back(datakit::widen(std::to_string(i)));
    ASSERT_TRUE(load(datakit::writeTextTable(texts), 0, false));
    const game::TextStatics& statics = game::textStatics();
    EXPECT_EQ(statics.s_textCount, 20000);
    EXPECT_EQ(statics.s_textOffsets->length(), 20001);
    EXPECT_EQ(rt::IntArray::get(statics.s_textOffsets, 20000), statics.s_textBytes->length());
    for (std::int32_t id : {0, 16383, 16384, 19999})
        EXPECT_EQ(text(id), std::to_string(id));
}

} // namespace
