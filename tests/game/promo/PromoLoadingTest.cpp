// The promotion screen's step loading over files that datakit writes: the
// texts, the font with its recoloured sheets and glyph table, the pictures,
// and the portal text's check.

#include "game/promo/PromoLoading.h"
#include "platform/lcdui/Image.h"
#include "tests/game/promo/PromoFixture.h"

#include <zlib.h>

namespace {

constexpr char kPlte[] = "PLTE";

using datakit::Bytes;
using promo_testing::dot;
using promo_testing::PromoTest;
namespace promo = game::promo;
using Image = platform::javax_microedition_lcdui_Image;

std::int32_t rgb565(std::int32_t rgb) {
    return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}

std::int32_t pixel(rt::Object* image, std::int32_t x, std::int32_t y) {
    rt::IntArray* out = rt::newIntArray(1);
    static_cast<Image*>(image)->getRGB(out, 0, 1, x, y, 1, 1);
    return rt::IntArray::get(out, 0);
}

// A 2 x 1 sheet: pixel 0 palette entry 0 (transparent), pixel 1 entry 1.
Bytes twoPixelSheet() {
    return datakit::writePalettePng(2, 1, {0x00000000, 0xFFFFFFFF}, {0, 1});
}

TEST_F(PromoTest, TwoRecolouringsOfOneCopyDecodeWithValidCrcs) {
    Bytes sheet = twoPixelSheet();
    rt::ByteArray* copy = rt::newByteArray(static_cast<std::int32_t>(sheet.size()) + 2);
    for (std::size_t i = 0; i < sheet.size(); ++i)
        rt::ByteArray::set(copy, static_cast<std::int32_t>(i) + 2, static_cast<std::int8_t>(sheet[i]));
    std::int32_t length = static_cast<std::int32_t>(sheet.size());
    for (std::int32_t colour : {game::kPromoInkBlue, game::kPromoInkRed}) {
        Image* image = promo::rewritePalette(copy, 2, length, 1, colour);
        ASSERT_NE(image, nullptr) << std::hex << colour;
        EXPECT_EQ(rgb565(pixel(image, 1, 0)), rgb565(colour));
        // The chunk's CRC as zlib computes it.
        std::span<std::int8_t> bytes = rt::ByteArray::span(copy);
        const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const std::uint8_t* plte = std::search(raw, raw + bytes.size(), kPlte, kPlte + 4);
        std::uint32_t dataLength = (plte[-4] << 24) | (plte[-3] << 16) | (plte[-2] << 8) | plte[-1];
        std::uint32_t stored = (plte[4 + dataLength] << 24) | (plte[5 + dataLength] << 16) |
                               (plte[6 + dataLength] << 8) | plte[7 + dataLength];
        EXPECT_EQ(stored, static_cast<std::uint32_t>(crc32(0, plte, dataLength + 4)));
        EXPECT_EQ(stored, promo::crc32(std::span(plte, dataLength + 4)));
    }
}

TEST(PromoPalette, RewritesOnlyInsideTheBytes) {
    Bytes sheet = twoPixelSheet();
    std::size_t plte =
        static_cast<std::size_t>(std::search(sheet.begin(), sheet.end(), kPlte, kPlte + 4) - sheet.begin());
    struct Case {
        const char* name;
        Bytes png;
        std::int32_t offset;
        std::int32_t length;
        std::int32_t index;
        bool rewritten;
    };
    auto withLength = [&](std::uint32_t length) {
        Bytes png = sheet;
        for (int k = 0; k < 4; ++k)
            png[plte - 4 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(length >> (24 - 8 * k));
        return png;
    };
    std::int32_t size = static_cast<std::int32_t>(sheet.size());
    const Case cases[] = {
        {"a whole sheet", sheet, 0, size, 1, true},
        {"no PLTE", Bytes{0, 0, 0, 3, 'P', 'L', 'T', 0, 1, 2, 3}, 0, 11, 0, false},
        {"PLTE at the start has no length before it", Bytes{'P', 'L', 'T', 'E', 0, 0, 0}, 0, 7, 0, false},
        {"a range that starts after the chunk's length", sheet, static_cast<std::int32_t>(plte) - 2,
         size - static_cast<std::int32_t>(plte) + 2, 1, false},
        {"an index past the chunk", sheet, 0, size, 2, false},
        {"a negative index", sheet, 0, size, -1, false},
        {"a chunk length past the bytes", withLength(0xFFFFFFF0u), 0, size, 1, false},
        {"a range past the bytes", sheet, 0, size + 1, 1, false},
    };
    for (const Case& c : cases) {
        Bytes png = c.png;
        EXPECT_EQ(promo::rewritePaletteBytes(png, c.offset, c.length, c.index, 0x123456), c.rewritten)
            << c.name;
        if (!c.rewritten) {
            EXPECT_EQ(png, c.png) << c.name;
        }
    }
}

TEST(PromoTextDecoding, Utf8OfOneToThreeBytes) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::u16string_view text;
        bool complete;
    };
    const Case cases[] = {
        {{'a', 'Z', '1'}, u"AZ1", true},       {{0xC3, 0xA9, 'b'}, u"\u00E9B", true},
        {{0xE2, 0x82, 0xAC}, u"\u20AC", true}, {{'a', 0xC3}, u"A", false},
        {{'a', 0xE2, 0x82}, u"A", false},      {{'a', 0x80, 'b'}, u"A", false},
        {{'a', 0xC3, 'b'}, u"A", false},       {{'a', 0xF0, 0x9F, 0x98, 0x80}, u"A", false},
    };
    for (const Case& c : cases) {
        bool complete = true;
        EXPECT_EQ(promo::decodeText(c.bytes, &complete), c.text);
        EXPECT_EQ(complete, c.complete);
    }
}

datakit::PromoModel loadingModel() {
    datakit::PromoModel model;
    model.languages.push_back({"EN", {"skip"}, dot(0xFF0000AA)});
    // Texts: a plain one, a malformed sequence after "ok", an empty one.
    model.languages.push_back({"JA", {"page one", "ok\xC3", "", "\xE2\x82\xAC uro"}, dot(0xFF0000BB)});
    model.pageNames = {"DUNE"};
    model.list0Names = {"KART", "BIKE", "MORE"};
    model.font = promo_testing::upperCaseFont();
    for (int i = 0; i < 14; ++i)
        model.screenImages.push_back(
            datakit::writePng(static_cast<std::uint32_t>(i + 1), 1,
                              std::vector<std::uint32_t>(static_cast<std::size_t>(i + 1), 0xFF00FF00u)));
    model.pagePictures = {dot(0xFF111111)};
    model.propertyPicture = dot(0xFF222222);
    model.list0Pictures = {dot(0xFF333333), dot(0xFF444444)};
    model.portalPicture = dot(0xFF555555);
    model.portalLanguagePicture = dot(0xFF666666);
    return model;
}

TEST_F(PromoTest, StepsLoadTextsFontAndPictures) {
    datakit::PromoModel model = loadingModel();
    setUp(datakit::writePromo(model));
    game::PromoStatics& statics = game::promoStatics();
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    screen.s_langIndex = 1;
    ASSERT_EQ(statics.s_pageCount, 5);
    // One regular page: steps -1 to 8; the closing step 9 is past the last.
    for (std::int32_t step = -1; step < statics.s_pageCount + 4; ++step)
        promo::loadResources(step);
    EXPECT_NE(statics.s_dataOffsets, nullptr);
    promo::loadResources(statics.s_closeStep);
    EXPECT_EQ(statics.s_dataOffsets, nullptr);

    EXPECT_EQ(text(promo::getText(0)), "PAGE ONE");
    EXPECT_EQ(text(promo::getText(1)), "OK");
    EXPECT_EQ(text(promo::getText(2)), "");
    EXPECT_EQ(text(promo::getText(3)), "\xE2\x82\xAC URO");
    EXPECT_EQ(text(promo::getText(99)), "");

    // The glyph table: 'A' has its rendered box; the font's three sheets decode.
    const datakit::PromoGlyph& a = model.font.glyphs['A' - 32];
    EXPECT_EQ(promo::getTableByte('A', statics.s_glyphColW), a.width);
    EXPECT_EQ(promo::getTableByte('A', statics.s_glyphColX), a.x);
    EXPECT_EQ(screen.s_fontHeight, model.font.glyphs[0].height);
    EXPECT_EQ(screen.s_charSpacing, screen.s_fontHeight == 13 ? 0 : -1);
    for (std::int32_t sheet = 0; sheet < game::kPromoFontSheets; ++sheet)
        EXPECT_NE(rt::ObjectArray::get(screen.s_fontImages, sheet), nullptr) << sheet;

    auto width = [](rt::Object* image) { return image ? static_cast<Image*>(image)->getWidth() : -1; };
    EXPECT_EQ(width(rt::ObjectArray::get(screen.s_screenImages, 13)), 14);
    auto colourOf = [](rt::Object* image) { return image ? pixel(image, 0, 0) & 0xFFFFFF : -1; };
    EXPECT_EQ(colourOf(rt::ObjectArray::get(screen.s_pageImages, 0)), 0x111111);
    EXPECT_EQ(colourOf(rt::ObjectArray::get(screen.s_pageImages, statics.s_propertyPage)), 0x222222);
    EXPECT_EQ(colourOf(screen.s_languageImage), 0x0000BB);
    EXPECT_EQ(colourOf(rt::ObjectArray::get(screen.s_pageImages, statics.s_portalPage)), 0x555555);
    EXPECT_EQ(colourOf(screen.s_languageExtraImage), 0x666666);
    auto* rows = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(screen.s_listRowImages, 0));
    EXPECT_EQ(colourOf(rt::ObjectArray::get(rows, 1)), 0x444444);
    EXPECT_EQ(rt::ObjectArray::get(rows, 2), rt::ObjectArray::get(screen.s_screenImages, 11));
    EXPECT_EQ(rt::ObjectArray::get(screen.s_pageImages, statics.s_listPage0),
              rt::ObjectArray::get(screen.s_screenImages, 10));
}

TEST_F(PromoTest, BadFontRecordsAndTextEndsAreBounded) {
    datakit::PromoModel model = loadingModel();
    // A glyph above the highest code, and a highest code below the space.
    model.font.glyphs.push_back({200, 0, 0, 9, 9});
    model.font.highestCode = 31;
    std::vector<Bytes> entries = datakit::promoEntries(model);
    // Language 1's second end offset falls below its first.
    Bytes& texts = entries[1];
    std::size_t second = 2 + (texts[0] | (texts[1] << 8)); // language 1's block
    std::size_t ends = second + 2 + 2 + 18 + 2 + 2;        // block length, L, the bytes, a word, M
    texts[ends + 2] = 1;
    texts[ends + 3] = 0;
    setUp(datakit::writePromoEntries(entries));
    game::promoScreenStatics().s_langIndex = 1;
    for (std::int32_t step = -1; step <= 2; ++step)
        promo::loadResources(step);
    EXPECT_EQ(text(promo::getText(0)), "PAGE ONE");
    // The falling end empties text 1; text 2 starts where text 0 ended.
    EXPECT_EQ(text(promo::getText(1)), "");
    EXPECT_EQ(text(promo::getText(2)), "OK");
    EXPECT_EQ(promo::getTableByte('A', game::promoStatics().s_glyphColW), 0);
    EXPECT_EQ(game::promoScreenStatics().s_fontHeight, 0);
}

TEST_F(PromoTest, PortalTextIsCheckedAndBroken) {
    datakit::PromoModel model = loadingModel();
    setUp(datakit::writePromo(model));
    for (std::int32_t step = -1; step <= 1; ++step)
        promo::loadResources(step);
    std::int32_t glyph = model.font.glyphs['A' - 32].width;
    std::int32_t space = model.font.glyphs[0].width;
    struct Case {
        const char* text;
        std::int32_t screenWidth;
        const char* expected; // null: refused
    };
    const Case cases[] = {
        {"hello", 640, "HELLO"},
        {"\\nhi\\nthere", 640, "HI\nTHERE"},
        {"\nhi", 640, "HI"},
        {"a\\nb\\nc", 640, nullptr},
        {"tab\there", 640, nullptr},
        {"", 640, nullptr},
        {"aaa aaa", 4 * glyph + space, "AAA\nAAA"},
        {"aaaaaaaa", 4 * glyph, nullptr},
        {"off", 640, nullptr},
    };
    for (const Case& c : cases) {
        game::promoStatics().s_extraText = rt::String::newFromCString(c.text);
        game::promoStatics().s_screenWidth = c.screenWidth;
        promo::loadResources(2);
        rt::String* result = game::promoStatics().s_extraText;
        if (c.expected) {
            EXPECT_EQ(text(result), c.expected) << c.text;
        } else {
            EXPECT_EQ(result, nullptr) << c.text;
        }
    }
}

} // namespace

namespace {

// On a narrow screen the page texts wrap to at most three lines without break
// signs; the fixed texts other than 3, 5 and 9 keep their lines.
TEST_F(PromoTest, LayoutWrapsTextsToTheirBoxes) {
    setUp(datakit::writePromo(mkdata::demoPromoModel()), mkdata::demoPromoProperties());
    game::PromoStatics& statics = game::promoStatics();
    for (std::int32_t step = -1; step <= 3; ++step)
        promo::loadResources(step);
    std::string fixedOne = text(promo::getText(statics.s_fixedTextBase + 1));
    statics.s_screenWidth = 120;
    promo::layoutTexts();
    std::string page = text(promo::getText(0));
    EXPECT_NE(page.find('\n'), std::string::npos) << page;
    EXPECT_LE(std::count(page.begin(), page.end(), '\n'), 2) << page;
    EXPECT_EQ(page.find('|'), std::string::npos);
    EXPECT_EQ(text(promo::getText(statics.s_fixedTextBase + 1)), fixedOne);
    std::string fixedThree = text(promo::getText(statics.s_fixedTextBase + 3));
    EXPECT_LE(std::count(fixedThree.begin(), fixedThree.end(), '\n'), 1) << fixedThree;
}

// The demo set's texts sit where the screen looks for them: the portal text
// just below fixed text 1, the commands' and the link button's labels, and
// each list row's own text.
TEST_F(PromoTest, TheDemoTextsSitAtTheirIndexes) {
    setUp(datakit::writePromo(mkdata::demoPromoModel()), mkdata::demoPromoProperties());
    game::PromoStatics& statics = game::promoStatics();
    for (std::int32_t step = -1; step <= 1; ++step)
        promo::loadResources(step);
    const std::int32_t b = statics.s_fixedTextBase;
    EXPECT_EQ(text(promo::getText(b)), "ALL OUR GAMES IN ONE PLACE");
    EXPECT_EQ(text(promo::getText(b + 1)), "MORE GAMES");
    EXPECT_EQ(text(promo::getText(b + 7)), "SELECT");
    EXPECT_EQ(text(promo::getText(b + 8)), "BACK");
    EXPECT_EQ(text(promo::getText(b + 9)), "VISIT");
    auto rowText = [&](std::int32_t list, std::int32_t row) {
        auto* indexes = static_cast<rt::IntArray*>(rt::ObjectArray::get(statics.s_listImages, list));
        return text(promo::getText(rt::IntArray::get(indexes, row)));
    };
    EXPECT_EQ(rowText(0, 0), "KART CUP");
    EXPECT_EQ(rowText(0, 2), "MORE RACES");
    EXPECT_EQ(rowText(1, 0), "SOLO SPRINT");
}

} // namespace
