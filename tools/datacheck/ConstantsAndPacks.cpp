// The constant strings and the packs and resources they name.

#include "game/data/PackReader.h"
#include "game/data/SoundData.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Streams.h"
#include "game/race/TrackData.h"
#include "platform/io/Class.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tools/datacheck/Rules.h"

namespace datacheck {

namespace {

using namespace rt::constants;

std::string name(std::int32_t number) {
    return "constant string " + std::to_string(number);
}

// A pack the game opens by the constant string that names it, and the
// fewest entries its readers take from it.
struct NamedPack {
    std::int32_t number;
    std::int32_t entries;
};
constexpr NamedPack kPacks[] = {
    {kFixedPointPack, 1},
    {kTextPack, 4},
    {kSpritePack, game::kSpriteCount},
    {kFontPack, 6},
    {kRacerPack, 1},
    {kRaceImagePack, 1},
    {kObjectSpritePack, 1},
    {kGameTablesPack, 1},
    {kTrackPack, game::kTrackCount},
    {kEventPack, game::kTrackCount},
    {kZonePack, game::kTrackCount},
    {kSoundPack, game::kSoundCount},
};
// Resources the game opens whole by their constant string.
constexpr std::int32_t kResources[] = {kSoundContentTypesResource, kPromoDataFile};
// Constant strings whose text the game's code depends on, not only shows.
struct PinnedText {
    std::int32_t number;
    std::u16string_view text;
};
constexpr PinnedText kPinned[] = {{kZeroDigit, u"0"}, {kLineSeparator, u"\n"}, {kTextEncoding, u"UTF-8"}};

} // namespace

void checkConstantsAndPacks(Findings& findings) {
    const rt::ObjectArray* table = rt::getStaticClass().constantStrings();
    std::int32_t length = table ? table->length() : 0;
    if (length < tableLength())
        addFinding(findings, "constants.bin", "constant-strings",
                   "holds " + std::to_string(length) + " strings; the game reads " +
                       std::to_string(tableLength()));
    auto text = [&](std::int32_t number) -> const rt::String* {
        return number < length ? static_cast<const rt::String*>(table->elements()[number]) : nullptr;
    };
    for (const PinnedText& pinned : kPinned) {
        const rt::String* found = text(pinned.number);
        if (!found || found->view() != pinned.text)
            addFinding(findings, name(pinned.number), "constant-value",
                       "the game's code needs its fixed text here");
    }
    for (const NamedPack& pack : kPacks) {
        rt::String* packName = const_cast<rt::String*>(text(pack.number));
        if (!packName || packName->view().empty()) {
            addFinding(findings, name(pack.number), "named-pack", "names no pack");
            continue;
        }
        game::closeStream();
        game::packStatics().s_packName = nullptr;
        game::packOpen(packName);
        std::int32_t entries = game::packStatics().s_packOffsets ? game::packStatics().s_packEntryCount : 0;
        if (entries < pack.entries)
            addFinding(findings, printable(packName), "pack-entries",
                       "holds " + std::to_string(entries) + " entries; the game reads " +
                           std::to_string(pack.entries));
    }
    game::closeStream();
    game::packStatics().s_packName = nullptr;
    for (std::int32_t number : kResources) {
        rt::String* resource = const_cast<rt::String*>(text(number));
        lib::java_io_InputStream* in =
            resource && !resource->view().empty() ? platform::Class::getResourceAsStream(resource) : nullptr;
        if (!in)
            addFinding(findings, name(number), "named-resource",
                       resource ? "no resource " + printable(resource) : "names no resource");
    }
}

} // namespace datacheck
