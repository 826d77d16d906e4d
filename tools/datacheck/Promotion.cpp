// The promotion file's limits: what its loading and its screen rely on.

#include "game/promo/PromoData.h"
#include "game/promo/PromoText.h"
#include "runtime/constantStrings.h"
#include "tools/datacheck/Rules.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace datacheck {

namespace {

constexpr std::int32_t kHeaderEntry = 0;
constexpr std::int32_t kTextEntry = 1;
constexpr std::int32_t kFontEntry = 2;
// The space glyph's height is the screen's line step. Its metrics are made
// for lines of 13 px (characters set edge to edge) and take taller ones set
// a pixel closer (an outlined face's rims overlap); its layouts keep three
// lines of up to 24 px clear of one another.
constexpr std::int32_t kSpaceHeight = 13;
constexpr std::int32_t kTallestSpace = 24;
// A text drawn at once holds at most this many line ends.
constexpr std::int32_t kMaxLineEnds = 9;
const std::string kResource = "promotion file";

// A little-endian reader over one entry that stops at its end.
struct Cursor {
    const rt::ByteArray* bytes;
    std::int32_t at = 0;
    bool cut = false;

    std::int32_t u8() {
        if (!bytes || at >= bytes->length()) {
            cut = true;
            return 0;
        }
        return rt::ByteArray::get(bytes, at++) & 0xFF;
    }
    std::int32_t u16() { return u8() | (u8() << 8); }
    std::string_view span(std::int32_t count) {
        if (!bytes || count < 0 || count > bytes->length() - at) {
            cut = true;
            return {};
        }
        std::string_view view(reinterpret_cast<const char*>(bytes->elements()) + at,
                              static_cast<std::size_t>(count));
        at += count;
        return view;
    }
};

void checkPromoFont(Findings& findings, bool wideRows) {
    Cursor in{game::promo::readDataEntry(kFontEntry)};
    std::string_view sheet = in.span(in.u16());
    if (sheet.find("PLTE") == std::string_view::npos)
        addFinding(findings, kResource, "glyph-sheet-palette", "the glyph sheet has no PLTE chunk");
    std::int32_t recordBytes = in.u16();
    std::int32_t highest = in.u16();
    std::int32_t rowBytes = wideRows ? 8 : 6;
    bool space = false;
    for (std::int32_t r = 0; r < recordBytes / rowBytes && !in.cut; ++r) {
        std::int32_t code = in.u16();
        in.span(rowBytes - 4);
        in.u8();
        std::int32_t height = in.u8();
        if (code > highest)
            addFinding(findings, kResource, "glyph-code",
                       "glyph " + std::to_string(code) + " above the highest code " +
                           std::to_string(highest));
        if (code == ' ') {
            space = true;
            if (height < kSpaceHeight || height > kTallestSpace)
                addFinding(findings, kResource, "space-glyph",
                           "the space is " + std::to_string(height) + " px high, not 13 to 24");
        }
    }
    if (!space)
        addFinding(findings, kResource, "space-glyph", "no space glyph");
    if (in.cut)
        addFinding(findings, kResource, "font-entry", "the font entry is cut");
}

// Each language block: the text bytes (L of them), a word, the text count M,
// the ends of every text but the last.
void checkPromoTexts(Findings& findings) {
    Cursor in{game::promo::readDataEntry(kTextEntry)};
    for (std::int32_t block = 0; in.bytes && in.at < in.bytes->length() && !in.cut; ++block) {
        std::int32_t blockLength = in.u16();
        std::int32_t end = in.at + blockLength;
        std::string_view texts = in.span(in.u16());
        in.u16();
        std::int32_t count = in.u16();
        std::string where = kResource + " language " + std::to_string(block);
        if (count > static_cast<std::int32_t>(texts.size()))
            addFinding(findings, where, "text-count",
                       std::to_string(count) + " texts in " + std::to_string(texts.size()) + " bytes");
        std::int32_t start = 0;
        for (std::int32_t t = 0; t < count && !in.cut; ++t) {
            std::int32_t stop = t + 1 < count ? in.u16() : static_cast<std::int32_t>(texts.size());
            stop = std::clamp(stop, start, static_cast<std::int32_t>(texts.size()));
            std::string_view text =
                texts.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(stop - start));
            auto lineEnds = static_cast<std::int32_t>(std::count(text.begin(), text.end(), '\n'));
            if (lineEnds > kMaxLineEnds || lineEnds + 1 > game::promo::kMaxLines)
                addFinding(findings, where + " text " + std::to_string(t), "text-lines",
                           std::to_string(lineEnds) + " line ends; a text holds at most 9");
            start = stop;
        }
        in.at = std::max(in.at, end);
    }
    if (in.cut)
        addFinding(findings, kResource, "text-entry", "the text entry is cut");
}

} // namespace

void checkPromotion(Findings& findings) {
    if (!game::promo::openDataFile()) {
        addFinding(findings, kResource, "promotion-file", "the file does not open");
        return;
    }
    // The header's last field names the font variant; the wide variant has
    // wide glyph rows.
    Cursor header{game::promo::readDataEntry(kHeaderEntry)};
    header.u16();
    header.span(header.u16());
    for (int table = 0; table < 5; ++table) {
        std::int32_t count = header.u16();
        for (std::int32_t i = 0; i < count && !header.cut; ++i)
            header.span(header.u16());
    }
    header.u16();
    std::string_view variant = header.span(header.u16());
    std::u16string_view wideName = game::promo::constant(rt::constants::kPromoWideFontVariant)->view();
    bool wide =
        !variant.empty() && std::equal(variant.begin(), variant.end(), wideName.begin(), wideName.end());
    if (header.cut)
        addFinding(findings, kResource, "header-entry", "the header entry is cut");
    checkPromoFont(findings, wide);
    checkPromoTexts(findings);
    game::promo::closeDataFile();
}

} // namespace datacheck
