// The promotion data file read back through the game's readers, the page
// table built from app.jad, and the string checks behind it.

#include "tests/game/promo/PromoFixture.h"

#include <random>

namespace {

using datakit::Bytes;
using promo_testing::dot;
using promo_testing::PromoTest;
namespace promo = game::promo;

std::vector<std::string> names(std::mt19937& random, const char* prefix, int most) {
    std::vector<std::string> out;
    int count = std::uniform_int_distribution<int>(0, most)(random);
    for (int i = 0; i < count; ++i)
        out.push_back(prefix + std::to_string(i) + std::string(static_cast<std::size_t>(random() % 4), 'x'));
    return out;
}

datakit::PromoModel randomModel(std::mt19937& random) {
    datakit::PromoModel model;
    model.headerText = "demo";
    int languages = std::uniform_int_distribution<int>(1, 3)(random);
    for (int i = 0; i < languages; ++i)
        model.languages.push_back({"L" + std::to_string(i), {"A", "", "B\xC3\xA9"}, dot(0xFF000000u + i)});
    model.pageNames = names(random, "page", 4);
    model.list0Names = names(random, "row", 5);
    model.list1Names = names(random, "item", 5);
    model.extraNames = names(random, "extra", 2);
    model.extraPage = random() % 2 == 0;
    model.wideGlyphRows = random() % 2 == 0;
    model.fontVariant = model.wideGlyphRows ? "WIDE" : "";
    model.font = {dot(0xFFFFFFFF), {{32, 0, 0, 1, 1}}, 32};
    model.screenImages.assign(14, dot(0xFF00FF00));
    for (std::size_t i = 0; i < model.pageNames.size(); ++i)
        model.pagePictures.push_back(dot(0xFF0000FFu + static_cast<std::uint32_t>(i)));
    model.propertyPicture = dot(0xFF112233);
    model.portalPicture = dot(0xFF445566);
    model.extraPicture = dot(0xFF778899);
    return model;
}

// The archive's index is read once per run, so each model gets a test of its own.
struct PromoModels : PromoTest, ::testing::WithParamInterface<int> {};

TEST_P(PromoModels, ReadBackEqual) {
    std::mt19937 random(static_cast<std::uint32_t>(GetParam()));
    {
        int round = GetParam();
        datakit::PromoModel model = randomModel(random);
        setUp(datakit::writePromo(model));
        game::PromoStatics& statics = game::promoStatics();
        std::vector<std::string> codes;
        for (const datakit::PromoLanguage& language : model.languages)
            codes.push_back(language.code);
        EXPECT_EQ(strings(statics.s_langCodes), codes);
        EXPECT_EQ(strings(statics.s_pageNames), model.pageNames);
        EXPECT_EQ(strings(statics.s_listNames0), model.list0Names);
        EXPECT_EQ(strings(statics.s_listNames1), model.list1Names);
        EXPECT_EQ(strings(statics.s_extraNames), model.extraNames);
        EXPECT_EQ(rt::BoolArray::get(statics.s_dataFlags, 0), model.extraPage);
        EXPECT_EQ(statics.s_glyphRowWide, model.wideGlyphRows ? 2 : 0);
        EXPECT_EQ(statics.s_glyphColH, model.wideGlyphRows ? 5 : 3);
        EXPECT_EQ(statics.s_fontLineStep, model.wideGlyphRows ? 12 : 6);
        std::int32_t n = static_cast<std::int32_t>(model.pageNames.size());
        EXPECT_EQ(statics.s_pageCount, n + 4 + (model.extraPage ? 1 : 0));
        EXPECT_EQ(statics.s_extraPageStep, model.extraPage ? 9 : -2);
        EXPECT_EQ(statics.s_closeStep, model.extraPage ? 10 : 9);
        // The table is dropped after the header; every entry reads back as written.
        EXPECT_EQ(statics.s_dataOffsets, nullptr);
        ASSERT_TRUE(promo::openDataFile());
        std::vector<Bytes> entries = datakit::promoEntries(model);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            std::span<std::int8_t> read =
                rt::ByteArray::span(promo::readDataEntry(static_cast<std::int32_t>(i)));
            EXPECT_EQ(Bytes(read.begin(), read.end()), entries[i]) << "entry " << i << " of round " << round;
        }
        EXPECT_EQ(promo::readDataEntry(static_cast<std::int32_t>(entries.size())), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, PromoModels, ::testing::Range(0, 16));

// The file of raw offsets `offsets` (each relative to the table's end) over
// `data`.
Bytes rawFile(const std::vector<std::uint32_t>& offsets, const Bytes& data) {
    datakit::ByteWriter out;
    out.u16(datakit::ByteOrder::Little, static_cast<std::uint16_t>(offsets.size()));
    for (std::uint32_t offset : offsets)
        out.u32(datakit::ByteOrder::Little, offset);
    out.bytes(data);
    return std::move(out).take();
}

struct EntryCase {
    const char* name;
    std::vector<std::uint32_t> offsets;
    std::int32_t entry;
    Bytes expected; // empty: missing
};

struct PromoEntries : PromoTest, ::testing::WithParamInterface<EntryCase> {};

TEST_P(PromoEntries, OnlyEntriesInsideTheFileAreRead) {
    const EntryCase& c = GetParam();
    putArchive({datakit::archiveEntry("promo.bin", rawFile(c.offsets, {10, 11, 12, 13, 14, 15, 16, 17}))});
    ASSERT_TRUE(promo::openDataFile());
    std::span<std::int8_t> read = rt::ByteArray::span(promo::readDataEntry(c.entry));
    EXPECT_EQ(Bytes(read.begin(), read.end()), c.expected);
}

const EntryCase kEntryCases[] = {
    {"entry 0 of three offsets starts at byte 14 + offset 0", {2, 5, 8}, 0, {12, 13, 14}},
    {"the last offset closes the last entry", {2, 5, 8}, 1, {15, 16, 17}},
    {"N offsets close N - 1 entries", {2, 5, 8}, 2, {}},
    {"a count of 1 has no entry", {0}, 0, {}},
    {"equal offsets are an empty entry", {3, 3, 8}, 0, {}},
    {"falling offsets", {5, 2, 8}, 0, {}},
    {"an end past the file", {0, 9}, 0, {}},
    {"an offset beyond 31 bits", {0, 0x80000000u}, 0, {}},
    {"a negative index", {0, 4}, -1, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PromoEntries, ::testing::ValuesIn(kEntryCases));

TEST_F(PromoTest, AFileCutInsideItsTableDoesNotOpen) {
    putArchive({datakit::archiveEntry("promo.bin", Bytes{3, 0, 1, 0, 0})});
    EXPECT_FALSE(promo::openDataFile());
}

// A table of `count` offsets (offset i is i * 3 + 1) cut after `bytes` of its
// bytes keeps the whole offsets before the cut; the table is read in chunks,
// so the cuts fall in the first chunk, in a later one and at a chunk's end.
struct TableCut {
    std::int32_t count;
    std::int32_t bytes;
};

class PromoTableCuts : public PromoTest, public ::testing::WithParamInterface<TableCut> {};

TEST_P(PromoTableCuts, KeepTheWholeOffsetsBeforeTheCut) {
    const TableCut c = GetParam();
    std::vector<std::uint32_t> offsets;
    for (std::int32_t i = 0; i < c.count; ++i)
        offsets.push_back(static_cast<std::uint32_t>(i * 3 + 1));
    Bytes file = rawFile(offsets, {});
    file.resize(static_cast<std::size_t>(2 + c.bytes));
    putArchive({datakit::archiveEntry("promo.bin", file)});
    EXPECT_EQ(promo::openDataFile(), c.bytes == 4 * c.count);
    game::PromoStatics& statics = game::promoStatics();
    ASSERT_EQ(promo::arrayLength(statics.s_dataOffsets), c.count);
    for (std::int32_t i = 0; i < c.count; ++i)
        ASSERT_EQ(rt::IntArray::get(statics.s_dataOffsets, i), i < c.bytes / 4 ? i * 3 + 1 : 0) << i;
}

INSTANTIATE_TEST_SUITE_P(Cuts, PromoTableCuts,
                         ::testing::Values(TableCut{5, 14}, TableCut{600, 2050}, TableCut{600, 2048},
                                           TableCut{600, 2400}));

TEST_F(PromoTest, ACutHeaderLeavesThePromotionOff) {
    datakit::PromoModel model;
    model.languages.push_back({"EN", {}, dot(0xFF000000)});
    model.pageNames = {"DUNE"};
    std::vector<Bytes> entries = datakit::promoEntries(model);
    // Page names counted beyond the entry's end.
    entries[0][2 + 2 + 2 + 2 + 2] = 0x7F;
    setUp(datakit::writePromoEntries(entries),
          {{"Vorlax-Promo-Base", "https://a.example/%s"}, {"Vorlax-Promo-Pages", "DUNE=dune"}});
    EXPECT_EQ(game::promoStatics().s_enabled, 0);
    EXPECT_FALSE(promo::isAvailable());
    EXPECT_EQ(promo::availability(), -1);
}

datakit::PromoModel tableModel(bool withLanguages = true) {
    datakit::PromoModel model;
    if (withLanguages)
        model.languages.push_back({"EN", {}, dot(0xFF000000)});
    model.pageNames = {"DUNE", "REEF", "PEAK"};
    model.list0Names = {"KART", "BIKE", "PORTAL", "MORE"};
    model.list1Names = {"SOLO"};
    return model;
}

// Pages: 0..2 regular, 3 property, 4 list 0, 5 list 1, 6 portal.
struct TableCase {
    const char* name;
    std::vector<datakit::Property> properties;
    std::vector<std::string> links; // per page, "" unavailable
    std::vector<std::string> list0Links;
};

const std::string kBase = "https://offers.example/%s";
const std::string kLangBase = "https://offers.example/%s?lang=xx";
const std::string kPortal = "https://portal.example/";

const TableCase kTableCases[] = {
    {"no properties", {}, {"", "", "", "", "", "", ""}, {}},
    {"fields into the base; zero and off words switch pages off",
     {{"Vorlax-Promo-Base", "  " + kBase + " "}, {"Vorlax-Promo-Pages", "DUNE=dune;REEF=0;PEAK= off "}},
     {"https://offers.example/dune", "", "", "", "", "", ""},
     {}},
    {"a base with the language marker numbers the linked pages",
     {{"Vorlax-Promo-Base", kLangBase}, {"Vorlax-Promo-Pages", "DUNE=dune;REEF=;PEAK=peak"}},
     {"https://offers.example/dune?lang=xx&page=01", "", "https://offers.example/peak?lang=xx&page=02", "",
      "", "", ""},
     {}},
    {"the property page and the none word",
     {{"Vorlax-Promo-Featured", "https://featured.example/"},
      {"Vorlax-Promo-Base", kBase},
      {"Vorlax-Promo-Pages", "DUNE=none"}},
     {"", "", "", "https://featured.example/", "", "", ""},
     {}},
    {"the portal page needs both the portal address and its field",
     {{"Vorlax-Promo-Portal-Url", kPortal}, {"Vorlax-Promo-Portal", "PORTAL=https://portal.example/here"}},
     {"", "", "", "", "https://portal.example/", "", "https://portal.example/here"},
     {"https://portal.example/"}},
    {"list rows: fields, the portal row, the last row from the portal property",
     {{"Vorlax-Promo-Base", kBase},
      {"Vorlax-Promo-Portal-Url", kPortal},
      {"Vorlax-Promo-List-1", "KART=kart;BIKE=OFF"},
      {"Vorlax-Promo-List-2", "SOLO=solo"},
      {"Vorlax-Promo-Portal", "MORE=x"}},
     {"", "", "", "", "https://offers.example/kart", "", ""},
     {"https://offers.example/kart", "https://portal.example/", "https://portal.example/"}},
};

struct PromoAppJad : PromoTest, ::testing::WithParamInterface<TableCase> {};

TEST_P(PromoAppJad, GivesPagesAndAddresses) {
    {
        const TableCase& c = GetParam();
        setUp(datakit::writePromo(tableModel()), c.properties);
        game::PromoStatics& statics = game::promoStatics();
        ASSERT_EQ(statics.s_pageCount, 7) << c.name;
        std::vector<std::string> links;
        std::int32_t available = 0;
        for (std::int32_t page = 0; page < statics.s_pageCount; ++page) {
            bool on = rt::ByteArray::get(statics.s_pageAvailable, page) != 0;
            available += on;
            rt::ObjectArray* list =
                page == statics.s_listPage0
                    ? static_cast<rt::ObjectArray*>(rt::ObjectArray::get(statics.s_listLinks, 0))
                    : nullptr;
            std::string link =
                list && on ? text(static_cast<rt::String*>(rt::ObjectArray::get(list, 0)))
                : on       ? text(static_cast<rt::String*>(rt::ObjectArray::get(statics.s_pageLinks, page)))
                           : "";
            links.push_back(link);
        }
        EXPECT_EQ(links, c.links) << c.name;
        std::vector<std::string> rows =
            strings(static_cast<rt::ObjectArray*>(rt::ObjectArray::get(statics.s_listLinks, 0)));
        rows.resize(static_cast<std::size_t>(rt::IntArray::get(statics.s_listRowCounts, 0)));
        EXPECT_EQ(rows, c.list0Links) << c.name;
        EXPECT_EQ(statics.s_availablePageCount, available) << c.name;
        EXPECT_EQ(promo::isAvailable(), available > 0) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PromoAppJad, ::testing::ValuesIn(kTableCases));

TEST_F(PromoTest, ListRowsKeepTheirDataRowAndTextIndex) {
    setUp(datakit::writePromo(tableModel()),
          {{"Vorlax-Promo-Base", "https://offers.example/%s"}, {"Vorlax-Promo-List-1", "BIKE=bike"}});
    game::PromoStatics& statics = game::promoStatics();
    // Three pages: b = 2 + 4; list 0's four rows from b + 14; list 1's one row after it.
    EXPECT_EQ(statics.s_fixedTextBase, 6);
    EXPECT_EQ(statics.s_list0FirstText, 20);
    EXPECT_EQ(statics.s_list0LastText, 23);
    EXPECT_EQ(statics.s_list1FirstText, 24);
    EXPECT_EQ(statics.s_list1LastText, 24);
    EXPECT_EQ(statics.s_textTableLength, 27);
    auto ints = [](rt::Object* array) {
        std::span<std::int32_t> values = rt::IntArray::span(static_cast<rt::IntArray*>(array));
        return std::vector<std::int32_t>(values.begin(), values.end());
    };
    EXPECT_EQ(rt::IntArray::get(statics.s_listRowCounts, 0), 1);
    EXPECT_EQ(ints(rt::ObjectArray::get(statics.s_listTexts, 0))[0], 1); // the shown row is data row 1
    EXPECT_EQ(ints(rt::ObjectArray::get(statics.s_listImages, 0)),
              (std::vector<std::int32_t>{20, 21, 22, 23}));
}

TEST_F(PromoTest, WithoutLanguagesThePromotionStaysOff) {
    setUp(datakit::writePromo(tableModel(false)),
          {{"Vorlax-Promo-Base", "https://offers.example/%s"}, {"Vorlax-Promo-Pages", "DUNE=dune"}});
    EXPECT_EQ(game::promoStatics().s_availablePageCount, 1);
    EXPECT_FALSE(promo::isAvailable());
}

// --- The pure string checks ---

const std::u16string kWords[] = {u"NONE", u"OFF", u"0", u"=", u";", u"PORTAL", u"%s"};
const promo::PromoWords kPromoWords{kWords[0], kWords[1], kWords[2], kWords[3],
                                    kWords[4], kWords[5], kWords[6]};

TEST(PromoStrings, CheckValueFlags) {
    struct Case {
        std::optional<std::u16string_view> value;
        std::int32_t flags;
        bool passes;
    };
    const Case cases[] = {
        {std::nullopt, 6, true}, {std::nullopt, 7, false}, {u"   ", 1, false}, {u"   ", 6, true},
        {u" none ", 2, false},   {u"None", 5, true},       {u"off", 4, false}, {u" 0", 4, false},
        {u"0", 3, true},         {u"x", 7, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(promo::checkValue(c.value, c.flags, kPromoWords), c.passes)
            << (c.value ? std::string(c.value->begin(), c.value->end()) : "null") << " flags " << c.flags;
    }
}

TEST(PromoStrings, LookupFieldCases) {
    struct Case {
        std::u16string_view text;
        std::u16string_view key;
        std::u16string_view pattern;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"A=a;B=b", u"B", u"http://x.example/%s", u"http://x.example/b"},
        {u"A=a;B= b ;C=c", u"B", u"  p/%s/%s ", u"p/b/%s"},
        {u"A=a", u"A", u"no slot", u"no slot"},
        {u"A a;B=b", u"A", u"p/%s", u""},
        {u"A a;A=b", u"A", u"p/%s", u"p/b"},
        {u"BA=x;A=a", u"A", u"p/%s", u"p/x"},
        {u"A=", u"A", u"p/%s", u""},
        {u"A=0", u"A", u"p/%s", u""},
        {u"A=Off", u"A", u"p/%s", u""},
        {u"A=none", u"A", u"p/%s", u"none"},
        {u"A=NoNe", u"A", u"p/%s", u"NoNe"},
        {u"PORTAL=http://p.example", u"PORTAL", u"base", u"http://p.example"},
        {u"A=a", u"A", u"   ", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(promo::lookupField(c.text, c.key, c.pattern, kPromoWords), c.expected)
            << std::string(c.text.begin(), c.text.end());
    }
    EXPECT_EQ(promo::lookupField(std::nullopt, u"A", u"p", kPromoWords), u"");
}

TEST(PromoStrings, LanguageGoesIntoTheAddress) {
    struct Case {
        std::u16string_view address;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"https://a.example/x?lang=xx&page=01", u"https://a.example/x?lang=EN&page=01"},
        {u"https://a.example/x?lang=x", u"https://a.example/x?lang=EN"},
        {u"https://a.example/x?lang=", u"https://a.example/x?lang=EN"},
        {u"https://a.example/x", u"https://a.example/xlang=EN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(promo::putLanguage(c.address, u"lang=", u"EN"), c.expected);
}

} // namespace

namespace {

// The demo set's offers: PEAK is switched off; the two other pages, the
// featured page, both lists and the portal are on, all under ".example".
TEST_F(PromoTest, TheDemoOffersItsPages) {
    setUp(datakit::writePromo(mkdata::demoPromoModel()), mkdata::demoPromoProperties());
    game::PromoStatics& statics = game::promoStatics();
    std::vector<int> available;
    for (std::int32_t page = 0; page < statics.s_pageCount; ++page)
        available.push_back(rt::ByteArray::get(statics.s_pageAvailable, page));
    EXPECT_EQ(available, (std::vector<int>{1, 1, 0, 1, 1, 1, 1}));
    for (std::int32_t page : {0, 1, 3, 6}) {
        std::string link = text(static_cast<rt::String*>(rt::ObjectArray::get(statics.s_pageLinks, page)));
        EXPECT_NE(link.find(".example/"), std::string::npos) << link;
    }
    EXPECT_TRUE(promo::isAvailable());
}

} // namespace
