#include "runtime/constantStrings.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/ByteWriter.h"
#include "tools/datakit/Constants.h"
#include "tools/datakit/FontWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/PaintedSprite.h"
#include "tools/datakit/RecordStore.h"
#include "tools/datakit/SaveRecords.h"
#include "tools/datakit/TextTable.h"
#include "tools/datakit/TypedArrayWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <algorithm>

namespace {

using datakit::Bytes;

Bytes bytesOf(std::initializer_list<int> values) {
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

// Each width in both byte orders, with values whose bytes all differ and
// whose sign bit is set, so a swapped, dropped or sign-extended byte shows.
TEST(Datakit, WriterPutsEachValueInTheByteOrderItIsGiven) {
    using enum datakit::ByteOrder;
    struct Case {
        const char* what;
        void (*write)(datakit::ByteWriter&);
        Bytes expected;
    };
    const Case cases[] = {
        {"u16 big", [](auto& w) { w.u16(Big, 0x8102); }, bytesOf({0x81, 0x02})},
        {"u16 little", [](auto& w) { w.u16(Little, 0x8102); }, bytesOf({0x02, 0x81})},
        {"i16 little", [](auto& w) { w.i16(Little, -2); }, bytesOf({0xFE, 0xFF})},
        {"u32 little", [](auto& w) { w.u32(Little, 0x81020304); }, bytesOf({0x04, 0x03, 0x02, 0x81})},
        {"i32 big", [](auto& w) { w.i32(Big, -0x7EFDFCFC); }, bytesOf({0x81, 0x02, 0x03, 0x04})},
        {"i32 little", [](auto& w) { w.i32(Little, -0x7EFDFCFC); }, bytesOf({0x04, 0x03, 0x02, 0x81})},
        {"i64 big", [](auto& w) { w.i64(Big, static_cast<std::int64_t>(0x8102030405060708)); },
         bytesOf({0x81, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08})},
        {"i64 little", [](auto& w) { w.i64(Little, static_cast<std::int64_t>(0x8102030405060708)); },
         bytesOf({0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x81})},
        {"i8 and a tag", [](auto& w) { w.i8(-1), w.tag("RIFF"); }, bytesOf({0xFF, 'R', 'I', 'F', 'F'})},
        {"patch little in place",
         [](auto& w) {
             w.u8(9);
             w.i32(Big, 0);
             w.u8(9);
             w.patchI32(Little, 1, 0x01020384);
         },
         bytesOf({9, 0x84, 0x03, 0x02, 0x01, 9})},
        {"patch big in place",
         [](auto& w) {
             w.i32(Little, 0);
             w.patchI32(Big, 0, -2);
         },
         bytesOf({0xFF, 0xFF, 0xFF, 0xFE})},
    };
    for (const Case& c : cases) {
        datakit::ByteWriter writer;
        c.write(writer);
        EXPECT_EQ(writer.bytes(), c.expected) << c.what;
    }
}

// The exact bytes of each format, worked out by hand from the format.
TEST(Datakit, ArchiveIndexIsBigEndianWithOffsetsFromTheFileStart) {
    Bytes archive = datakit::writeArchive(
        {datakit::archiveEntry("constants.bin", "AB"), datakit::archiveEntry("Img.png", "")});
    Bytes expected = concat({
        bytesOf({0x00, 0x02}),
        bytesOf({0x00, 0x0D}),
        text("constants.bin"),
        bytesOf({0, 0, 0, 42}),
        bytesOf({0, 0, 0, 2}),
        bytesOf({0x00, 0x07}),
        text("Img.png"),
        bytesOf({0, 0, 0, 44}),
        bytesOf({0, 0, 0, 0}),
        text("AB"),
    });
    EXPECT_EQ(archive, expected);
}

TEST(Datakit, PacksLayTheirHeaderAndTablesBeforeTheEntries) {
    std::vector<Bytes> parts =
        datakit::writePack({datakit::packEntry(7, bytesOf({1, 2})), Bytes{}, datakit::packEntry(9, {}),
                            datakit::packEntry(0xFF, bytesOf({3}))},
                           {0, 2});
    ASSERT_EQ(parts.size(), 2u);
    // Part 0: E, P, the first entries, a table of 3 offsets from the file start.
    EXPECT_EQ(parts[0], bytesOf({4, 0, 2, 0, 0, 0, 2, 0, 20, 0, 0, 0, 23, 0, 0, 0, 23, 0, 0, 0, 7, 1, 2}));
    // Part 1: its table alone, then its entries.
    EXPECT_EQ(parts[1], bytesOf({12, 0, 0, 0, 13, 0, 0, 0, 15, 0, 0, 0, 9, 0xFF, 3}));
    std::vector<datakit::ArchiveEntry> files = datakit::packArchiveEntries(u"x.pak", u"_", parts);
    EXPECT_EQ(files[0].name, u"x.pak");
    EXPECT_EQ(files[1].name, u"x.pak_1");
    EXPECT_EQ(datakit::packArchiveEntries(u"x", u"_", std::vector<Bytes>(13))[12].name, u"x_12");

    // Parts cut by size: a part ends before an entry that would take it past
    // the limit; an entry larger than the limit stands alone.
    std::vector<Bytes> sized;
    for (std::size_t size : {60, 68, 1, 200, 5, 5})
        sized.push_back(Bytes(size));
    EXPECT_EQ(datakit::partsOfAtMost(sized, 128), (std::vector<std::uint16_t>{0, 2, 3, 4}));
    EXPECT_EQ(datakit::partsOfAtMost({}, 128), std::vector<std::uint16_t>{0});
}

TEST(Datakit, APaintedImageRepeatedAcrossFramesIsStoredOnceAndPlacedByEachFrame) {
    auto wheel = [](std::int16_t x, std::int16_t y) {
        return datakit::paintImage(x, y, 3, 2, [](int px, int py) { return px + py; });
    };
    datakit::PaintedSprite sprite;
    sprite.palettes = {{0u, 0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u}};
    sprite.frames = {{.fills = {}, .images = {wheel(0, 0), wheel(5, -1)}, .boxes = {}},
                     {.fills = {},
                      .images = {wheel(-2, 4), datakit::paintImage(0, 0, 3, 2, [](int, int) { return 4; })},
                      .boxes = {}}};
    const datakit::SpriteModel model = datakit::paintedSpriteModel(sprite);
    ASSERT_EQ(model.modules.size(), 2u);
    ASSERT_EQ(model.pixels->indexes.size(), 2u);
    ASSERT_EQ(model.fmodules.size(), 4u);
    const std::int16_t places[4][3] = {{0, 0, 0}, {0, 5, -1}, {0, -2, 4}, {1, 0, 0}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(model.fmodules[i].module, places[i][0]) << i;
        EXPECT_EQ(model.fmodules[i].x, places[i][1]) << i;
        EXPECT_EQ(model.fmodules[i].y, places[i][2]) << i;
    }
}

TEST(Datakit, APaintedImageLargerThanTheDecodersBufferIsStoredAsBandsOfRows) {
    datakit::PaintedSprite sprite;
    sprite.palettes = {{0u, 0xFF000001u, 0xFF000002u}};
    sprite.frames = {
        {.fills = {},
         .images = {datakit::paintImage(-3, 5, 400, 450, [](int x, int y) { return (x + y) % 3; })},
         .boxes = {}}};
    const datakit::SpriteModel model = datakit::paintedSpriteModel(sprite);
    // 200 rows of 400 pixels fit 80100: bands of 200, 200 and 50 rows.
    ASSERT_EQ(model.frames.at(0).fmoduleCount, 3);
    const int tops[] = {5, 205, 405};
    const int heights[] = {200, 200, 50};
    for (std::size_t band = 0; band < 3; ++band) {
        const datakit::SpriteFModule& placed = model.fmodules[band];
        const datakit::SpriteModule& module = model.modules[placed.module];
        EXPECT_EQ(placed.x, -3) << band;
        EXPECT_EQ(placed.y, tops[band]) << band;
        EXPECT_EQ(module.width, 400) << band;
        EXPECT_EQ(module.height, heights[band]) << band;
        // Its first pixel is the picture's pixel at the band's top row.
        EXPECT_EQ(model.pixels->indexes[placed.module][0], (tops[band] - 5) % 3) << band;
    }
}

// Module numbers and a frame's module count are bytes: a sprite past them
// is refused rather than written with its modules' numbers wrapped.
TEST(Datakit, APaintedSpritePastTheFormatsModuleLimitsIsRefused) {
    auto fills = [](int count) {
        std::vector<datakit::PaintedRect> rects;
        for (int i = 0; i < count; ++i)
            rects.push_back(
                {.colour = static_cast<std::uint32_t>(i), .x = 0, .y = 0, .width = 1, .height = 1});
        return rects;
    };
    datakit::PaintedSprite sprite;
    sprite.frames = {{.fills = fills(255), .images = {}, .boxes = {}}};
    EXPECT_EQ(datakit::paintedSpriteModel(sprite).modules.size(), 255u);
    sprite.frames = {{.fills = fills(256), .images = {}, .boxes = {}}};
    EXPECT_THROW(datakit::paintedSpriteModel(sprite), std::length_error);
    sprite.frames = {{.fills = fills(200), .images = {}, .boxes = {}},
                     {.fills = fills(56), .images = {}, .boxes = {}}};
    EXPECT_THROW(datakit::paintedSpriteModel(sprite), std::length_error) << "256 modules over two frames";
}

// Glyphs from a face: the same levels on every run, anti-aliased (levels
// between blank and full ink), each glyph inside the table's rows, and the
// table no taller than its glyphs need.
TEST(Datakit, FaceGlyphsAreRepeatableGreyLevelsInsideTheirTable) {
    const std::string path = mkdata::demoSansFace();
    const std::u16string codes = u" Agj|";
    const datakit::GlyphTable table = datakit::renderFaceGlyphs(path, 12, codes, 3);
    const datakit::GlyphTable again = datakit::renderFaceGlyphs(path, 12, codes, 3);
    ASSERT_EQ(table.glyphs.size(), codes.size());
    EXPECT_EQ(table.levels, 3);
    EXPECT_EQ(table.glyphs[0].width, 0) << "the space draws nothing";
    EXPECT_EQ(table.spaceAdvance, table.glyphs[0].advance);
    std::array<int, 4> levelCounts{};
    bool topRowInked = false, bottomRowInked = false;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const datakit::GlyphBitmap& glyph = table.glyphs[k];
        EXPECT_EQ(glyph.shades, again.glyphs[k].shades) << k;
        EXPECT_EQ(glyph.shades.size(), static_cast<std::size_t>(glyph.width) * table.height) << k;
        EXPECT_GT(glyph.advance, 0) << k;
        for (int y = 0; y < table.height; ++y)
            for (int x = 0; x < glyph.width; ++x) {
                const std::uint8_t level = datakit::glyphLevel(glyph, x, y);
                ASSERT_LE(level, 3);
                ++levelCounts[level];
                topRowInked |= y == 0 && level > 0;
                bottomRowInked |= y == table.height - 1 && level > 0;
            }
    }
    EXPECT_GT(levelCounts[1] + levelCounts[2], 0) << "no grey edge pixels";
    EXPECT_GT(levelCounts[3], 0) << "no full ink";
    EXPECT_TRUE(topRowInked && bottomRowInked) << "the table has rows no glyph reaches";
    EXPECT_THROW(datakit::renderFaceGlyphs("/nonexistent/face.ttf", 12, codes, 3), std::runtime_error);
}

// The palette's levels blend the ink over the shadow colour, and a font
// whose levels and shadow need more colours than its encoding packs is
// refused rather than drawn with cut indexes.
TEST(Datakit, FontLevelsAreInkBlendsThatMustFitTheEncoding) {
    struct Case {
        int level, levels;
        std::uint32_t want;
    };
    for (const Case& c : std::initializer_list<Case>{{0, 3, 0xFF102030u},
                                                     {3, 3, 0xFFF0E0D0u},
                                                     {1, 3, 0xFF5B6065u},
                                                     {2, 3, 0xFFA5A09Bu},
                                                     {1, 1, 0xFFF0E0D0u}})
        EXPECT_EQ(datakit::inkShade(0xFFF0E0D0u, 0xFF102030u, c.level, c.levels), c.want)
            << c.level << "/" << c.levels;

    datakit::GlyphTable table{
        .height = 1, .ascent = 1, .levels = 3, .spaceAdvance = 1, .missing = {}, .glyphs = {}};
    table.glyphs.push_back({.code = u'x', .width = 2, .rows = {}, .shades = {1, 3}, .left = 0, .advance = 0});
    datakit::FontStyle style;
    style.shadow = true;
    EXPECT_THROW(datakit::buildFont(table, style), std::invalid_argument) << "5 colours in a 2-bit encoding";
    style.encoding = 0x1600;
    const datakit::FontData font = datakit::buildFont(table, style);
    ASSERT_TRUE(font.sprite.pixels.has_value());
    EXPECT_EQ(font.sprite.pixels->colourCount, 5);
    EXPECT_EQ(font.sprite.pixels->palettes[0][4], 0xFF000000u) << "the shadow follows the levels";
    EXPECT_EQ(font.sprite.pixels->indexes.back(), (std::vector<std::uint8_t>{1, 3, 0, 0, 0, 4}))
        << "levels as indexes, the shadow under full ink only";
}

TEST(Datakit, TypedArraysTakeTheSmallestWidthThatHoldsEveryElement) {
    struct Case {
        datakit::TypedArray array;
        Bytes bytes;
    };
    const Case cases[] = {
        {datakit::byteArray({-1, 127}), bytesOf({0x00, 2, 0xFF, 0x7F})},
        {datakit::shortArray({-128, 127}), bytesOf({0x01, 2, 0x80, 0x7F})},
        {datakit::shortArray({128}), bytesOf({0x11, 1, 0x80, 0x00})},
        {datakit::shortArray({-129}), bytesOf({0x11, 1, 0x7F, 0xFF})},
        {datakit::intArray({-128, 127}), bytesOf({0x02, 2, 0x80, 0x7F})},
        {datakit::intArray({-32768, 32767}), bytesOf({0x12, 2, 0x00, 0x80, 0xFF, 0x7F})},
        {datakit::intArray({32768}), bytesOf({0x22, 1, 0x00, 0x80, 0x00, 0x00})},
        {datakit::intArray({}), bytesOf({0x02, 0})},
        {datakit::nestedArray({datakit::byteArray({5}), datakit::nestedArray({})}),
         bytesOf({0x03, 2, 0x00, 1, 5, 0x03, 0})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(datakit::writeTypedArray(c.array), c.bytes);
    // 256 elements take a 2-byte count.
    Bytes wide = datakit::writeTypedArray(datakit::byteArray(std::vector<std::int8_t>(256)));
    EXPECT_EQ(Bytes(wide.begin(), wide.begin() + 3), bytesOf({0x08, 0x00, 0x01}));
    EXPECT_EQ(wide.size(), 3u + 256u);
}

TEST(Datakit, BrokenArchivesSayWhatIsWrong) {
    datakit::ArchiveEntry beyond = datakit::archiveEntry("late", "xyz");
    beyond.indexedSize = 1000;
    Bytes archive = datakit::writeArchive({beyond}, {.indexedCount = -1, .truncateTo = 17});
    ASSERT_EQ(archive.size(), 17u);
    EXPECT_EQ(archive[0], 0xFF);
    EXPECT_EQ(archive[1], 0xFF);
    EXPECT_EQ(Bytes(archive.begin() + 8, archive.begin() + 12), bytesOf({0, 0, 0, 16})) << "the true offset";
    EXPECT_EQ(Bytes(archive.begin() + 12, archive.begin() + 16), bytesOf({0, 0, 0x03, 0xE8}))
        << "the indexed size";
    EXPECT_EQ(archive[16], 'x') << "only the first byte of the data is left";
}

TEST(Datakit, ConstantsAreACountAndModifiedUtf8Strings) {
    EXPECT_EQ(datakit::writeConstants({}), bytesOf({0, 0, 0, 0}));
    EXPECT_EQ(datakit::writeConstants({u"ab", u""}), bytesOf({0, 0, 0, 2, 0, 2, 'a', 'b', 0, 0}));
    EXPECT_EQ(datakit::writeConstants({std::u16string(1, u'\0'), u"\u00e9\u20ac"}),
              bytesOf({0, 0, 0, 2, 0, 2, 0xC0, 0x80, 0, 5, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
}

TEST(Datakit, TextTablesAreLittleEndianEndOffsetsAndTheGameUtf8Forms) {
    // Every width of form, the unit 0 as one byte and a lone surrogate as three.
    EXPECT_EQ(
        datakit::encodeGameText(std::u16string(u"A\0\u00e9\u07ff\u0800\u20ac", 6) + u'\xd800'),
        bytesOf({'A', 0, 0xC3, 0xA9, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xE2, 0x82, 0xAC, 0xED, 0xA0, 0x80}));

    const std::u16string texts[] = {u"ab", u"", u"\u00e9"};
    EXPECT_EQ(datakit::writeTextTable(texts),
              bytesOf({3, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 0xC3, 0xA9}));
    EXPECT_EQ(datakit::writeTextTable({}, {.packNumber = 7, .count = 0x01020304}), bytesOf({7, 4, 3, 2, 1}));
}

TEST(Datakit, ConstantTablesPutEachTextAtItsCatalogueNumber) {
    using namespace rt::constants;
    const datakit::ConstantText texts[] = {
        {kFalse, u"no"}, {kDefaultMessage, u"oops"}, {kMonthNames + 11, u"Dec"}};
    std::vector<std::u16string> strings = datakit::layOutConstants(texts);
    ASSERT_EQ(strings.size(), static_cast<std::size_t>(tableLength()));
    EXPECT_EQ(strings[14], u"oops");
    EXPECT_EQ(strings[220], u"Dec");
    EXPECT_EQ(strings[242], u"no");
    EXPECT_EQ(strings[15], u"") << "a number without a text holds the empty string";
    EXPECT_EQ(datakit::writeConstantTable(texts), datakit::writeConstants(strings));

    std::vector<std::int32_t> missing = datakit::missingConstants(texts);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), 14), 0);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), 219), 1);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), 220), 0);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), 15), 0) << "not catalogued, so not missing";
}

TEST(Datakit, CatalogueFindsEveryNumberOfARange) {
    using namespace rt::constants;
    EXPECT_EQ(find(kMonthNames)->first, kMonthNames);
    EXPECT_EQ(find(kMonthNames + kMonthNameCount - 1)->first, kMonthNames);
    EXPECT_EQ(find(kEndRuleMessages + 4)->first, kEndRuleMessages);
    EXPECT_EQ(find(kMonthNames + kMonthNameCount)->first, kDayNames);
    EXPECT_EQ(find(15), nullptr);
    EXPECT_EQ(find(-1), nullptr);
    EXPECT_EQ(find(tableLength()), nullptr);
}

TEST(Datakit, AppJadIsOneKeyValueLinePerProperty) {
    EXPECT_EQ(datakit::writeAppJad({{"MIDlet-Name", "Vorlax Rally"}, {"Orientation", "0"}}),
              text("MIDlet-Name: Vorlax Rally\r\nOrientation: 0\r\n"));
    EXPECT_EQ(datakit::writeAppJad({{"A", "\xE9"}}, datakit::LineEnding::Lf), text("A: \xE9\n"));
}

TEST(Datakit, RecordStoresAreABigEndianIndexAndOneFilePerRecord) {
    EXPECT_EQ(datakit::writeRecordStoreIndex(3, {1, 3}),
              bytesOf({0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 3}));
    EXPECT_EQ(datakit::writeRecordStoreIndex(-1, {}, {.indexedCount = 5, .truncateTo = 6}),
              bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));

    datakit::RecordStoreNames names{"Rms_", ".DAT", "#"};
    auto files = datakit::writeRecordStore({"Save?1", 7, {{7, text("xy")}, {-2, {}}}}, names);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].first, "rms_save_1.dat");
    EXPECT_EQ(files[0].second, datakit::writeRecordStoreIndex(7, {7, -2}));
    EXPECT_EQ(files[1], std::make_pair(std::string("rms_save_1.dat#7.dat"), text("xy")));
    EXPECT_EQ(files[2].first, "rms_save_1.dat#-2.dat");
    EXPECT_EQ(datakit::recordStoreIndexName("a/b:c*d?e<f>g|h", names), "rms_a_b_c_d_e_f_g_h.dat");
}

// Every field holds bytes of its own, so a field written at the wrong place,
// in the wrong order or over another shows.
TEST(Datakit, SavedRecordsAreLittleEndianBehindTheirCountOrLength) {
    EXPECT_EQ(datakit::writeCountRecord({0x04030201, -2}), bytesOf({2, 1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(datakit::writeCountRecord(std::vector<std::int32_t>(300, 0)).front(), 300 & 0xFF);

    datakit::UnlockRecord unlocks;
    unlocks.savedByteA = -3;
    unlocks.maskA = 0x13121110;
    unlocks.maskB = 0x17161514;
    unlocks.maskC = 0x1B1A1918;
    unlocks.savedByteB = 0x1C;
    unlocks.savedByteC = 0x1D;
    unlocks.rewardGrid = 0x23222120;
    unlocks.promotionPending = true;
    unlocks.gridA = 0x27262524;
    unlocks.progressValues = {0x30, 0x31, 0x32, 0x33, 0x34, 0x35};
    unlocks.triplets = {0x40};
    unlocks.gridB = 0x53525150;
    unlocks.vibrationOn = true;
    Bytes head =
        bytesOf({0xFD, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D});
    Bytes values =
        bytesOf({0x30, 0, 0, 0, 0x31, 0, 0, 0, 0x32, 0, 0, 0, 0x33, 0, 0, 0, 0x34, 0, 0, 0, 0x35, 0, 0, 0});
    Bytes tail = bytesOf({0x40, 0, 0, 0, 0x50, 0x51, 0x52, 0x53, 1});
    EXPECT_EQ(datakit::writeUnlockRecord(unlocks),
              concat({bytesOf({58}), head, bytesOf({0x20, 0x21, 0x22, 0x23, 1, 0x24, 0x25, 0x26, 0x27}),
                      values, tail}));
    EXPECT_EQ(datakit::writeUnlockRecord(unlocks, datakit::UnlockLayout::Older),
              concat({bytesOf({56}), head, bytesOf({0x20, 1, 0x22, 0x24, 0x25, 0x26, 0x27}), values, tail}));
}

} // namespace
