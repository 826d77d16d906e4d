// The demo set's text pack: the game's texts in English, one table per entry
// the game loads. Ids the game does not ask for stay empty (an empty text
// reads as null, as in any table).

#include "tools/datakit/PackWriter.h"
#include "tools/datakit/TextTable.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace mkdata {

namespace {

using Text = std::pair<int, std::u16string_view>;

// The soft-key labels (texts 1, 0, 2 and 5 in label order) are the same in
// every table that the front end or the race reads them from.
constexpr Text kSoftKeys[] = {
    {0, u"Select"},
    {1, u"Continue"},
    {2, u"Back"},
    {5, u"Restart"},
};

// What the splash shows once the front end's first table is in.
constexpr Text kStart[] = {
    {9, u"Brivanta presents"},
    {10, u"Vorlax Rally: race the dunes of Vorlax"},
};

// The loading screen keeps texts 0 and 1 of its own table.
constexpr Text kLoading[] = {
    {0, u"Loading"},
    {1, u"Tip: boost out of a bend, never into it"},
};

// The menus, the pause menu, the sound question and the race goals.
constexpr Text kMenusAndRace[] = {
    // Pause menu.
    {3, u"Help"},
    {6, u"Quit Race"},
    {8, u"Exit Game"},
    {59, u"Options"},
    // The sound question, the answers of every question and the title's prompt.
    {9, u"Switch the sound on?"},
    {11, u"Yes"},
    {12, u"No"},
    {22, u"Tap the screen to continue"},
    // Screen titles, the reset question and the first race question.
    {27, u"Main Menu"},
    {46, u"Bonus Cups"},
    {16, u"Options"},
    {25, u"Erase all saved progress?"},
    {270, u"Cups, records and unlocked cars will be lost."},
    {26, u"New here? Try the Desert Sprint first?"},
    // The notice before the promotion screen.
    {186, u"More games from Brivanta open in a new screen. Come back to Vorlax any time."},
    // Main menu, with a line on each item.
    {150, u"Play"},
    {35, u"More Games"},
    {33, u"Options"},
    {34, u"Help"},
    {82, u"About"},
    {41, u"Exit"},
    {158, u"Start your rally career"},
    {160, u"Find more games from Brivanta"},
    {268, u"Sound, vibration and saved progress"},
    {162, u"How to steer, boost and win"},
    {163, u"Who made Vorlax Rally"},
    {164, u"Leave the game"},
    // Challenge modes.
    {194, u"Time Attack"},
    {195, u"Knockout"},
    {196, u"Checkpoint Run"},
    {198, u"Overtake Challenge"},
    {170, u"Beat the clock on an empty track"},
    {171, u"The last car of each lap is out"},
    {172, u"Reach every gate before time runs out"},
    {173, u"Pass as many rivals as you can"},
    // Play menu.
    {197, u"Career"},
    {30, u"Championship"},
    {193, u"Single Race"},
    {192, u"Challenges"},
    {157, u"Quick Race"},
    {166, u"Climb from rookie to dune legend"},
    {165, u"Four races, one trophy"},
    {167, u"Any track, any car"},
    {168, u"A special goal on every track"},
    {169, u"Straight to the start line"},
    // Cups.
    {47, u"Rookie Cup"},
    {48, u"Pro Cup"},
    {49, u"Legend Cup"},
    {68, u"Three races in the foothills"},
    {69, u"Four races across the salt flats"},
    {70, u"Five races through the great dunes"},
    // Race types by number (151 onward; 157 is the quick race above) and
    // what each asks of the player (177 onward).
    {151, u"Rally"},
    {152, u"Time Attack"},
    {153, u"Knockout"},
    {154, u"Duel"},
    {155, u"Checkpoint Run"},
    {156, u"Overtake Challenge"},
    {177, u"Finish ahead of the pack"},
    {178, u"Beat the target time"},
    {179, u"Stay out of last place"},
    {180, u"Beat your rival to the line"},
    {181, u"Reach every gate in time"},
    {182, u"Pass the rivals asked for"},
    {183, u"One race, no strings"},
    // Race goals: the target time, the number to reach, and the
    // thousands separator of that number.
    {174, u"Target time"},
    {175, u"Cars to pass"},
    {176, u","},
};

// The race's prompt under the flyover and the racer intro, and the racers'
// names (text 200 + racer id: the player's eight cars, then the six
// computer drivers).
constexpr Text kRace[] = {
    {50, u"Tap to continue"}, {200, u"Sandpiper"},   {201, u"Kestrel"},   {202, u"Ironback"},
    {203, u"Wisp"},           {204, u"Goliath"},     {205, u"Marauder"},  {206, u"Scarab"},
    {207, u"Tempest"},        {208, u"Rook Halden"}, {209, u"Mira Sol"},  {210, u"Dax Verro"},
    {211, u"Nell Ashby"},     {212, u"Ty Corran"},   {213, u"Juno Pike"},
};

std::vector<std::u16string> table(std::initializer_list<std::span<const Text>> groups) {
    std::vector<std::u16string> texts;
    for (std::span<const Text> group : groups) {
        for (const auto& [id, text] : group) {
            if (static_cast<std::size_t>(id) >= texts.size())
                texts.resize(static_cast<std::size_t>(id) + 1);
            texts[static_cast<std::size_t>(id)] = text;
        }
    }
    return texts;
}

} // namespace

std::vector<std::u16string> demoTexts(int entry) {
    switch (entry) {
    case kStartTexts:
        return table({kSoftKeys, kStart});
    case kLoadingTexts:
        return table({kLoading});
    case kMenuTexts:
    case kRaceTexts:
        return table({kSoftKeys, kMenusAndRace, kRace});
    default:
        return {};
    }
}

void produceTextPack(ProgramFolder& folder) {
    std::vector<datakit::Bytes> entries;
    for (int entry = 0; entry < kTextEntryCount; ++entry)
        entries.push_back(datakit::packEntry(0, datakit::writeTextTable(demoTexts(entry))));
    for (datakit::ArchiveEntry& file :
         datakit::packArchiveEntries(kTextPackFile, kPackPartSeparatorText, datakit::writePack(entries)))
        folder.archive.push_back(std::move(file));
}

} // namespace mkdata
