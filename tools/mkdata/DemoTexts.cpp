// The demo set's text pack: the game's texts in English, one table per entry
// the game loads. Ids the game does not ask for stay empty (an empty text
// reads as null, as in any table).

#include "game/frontend/MenuScreens.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/TextTable.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace mkdata {

namespace {

using Text = std::pair<int, std::u16string_view>;

// The soft-key labels (texts 1, 0, 2 and 5 in label order), in every table
// that the front end or the race reads them from; the race's table gives
// text 0 its pause menu's title in their place. Text 5 is also the pause
// menu's restart item; the guided race's key has its own text (78).
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

// The loading screen keeps texts 0 to 2 of its own table: its title, the
// tip under the bar while it fills and the prompt once a race is loaded.
constexpr Text kLoading[] = {
    {0, u"Loading"},
    {1, u"Tip: boost out of a bend, never into it"},
    {2, u"Tap the screen to start"},
};

// The answers of every question, in the front end and in the race.
constexpr Text kAnswers[] = {
    {11, u"Yes"},
    {12, u"No"},
};

// The menus, the sound question and the race goals.
constexpr Text kMenus[] = {
    // The sound question and the title's prompt.
    {9, u"Switch the sound on?"},
    {22, u"Tap the screen to continue"},
    // Screen titles, the reset and exit questions and the first race
    // question. Text 25 is the title of both the reset and the exit
    // question, so it names neither; the reset question's header says what
    // is lost.
    {27, u"Main Menu"},
    {46, u"Career"},
    {16, u"Options"},
    {25, u"Are you sure?"},
    {270, u"Reset: cups, records and cars are lost"},
    // The one-off event's title on its loading screen, the championship's
    // title (also a custom event's), the event and car choices' titles.
    {59, u"Desert Sprint"},
    {199, u"Championship"},
    {31, u"Choose Your Event"},
    {32, u"Choose Your Car"},
    // The cup's end: its heading and the words for first, second, third
    // and any other place.
    {204, u"Cup over"},
    {205, u"Gold! The cup is yours and a new car waits in the garage."},
    {206, u"Silver! Second overall: the next cup is open."},
    {207, u"Bronze! On the podium, and the next cup is open."},
    {208, u"Off the podium this time. Try the cup again."},
    {26, u"New here? Try the Desert Sprint first?"},
    // The notice before the promotion screen.
    {game::kPromotionNoticeText,
     u"More games from Brivanta open in a new screen. Come back to Vorlax any time."},
    // The notice after a race that could not be loaded.
    {game::kRaceLoadFailedText,
     u"This race could not be loaded: some of its files are damaged. Choose another race, or install "
     u"the game again to repair them."},
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
    // Challenge modes, in the order of their game modes.
    {194, u"Coin Rush"},
    {195, u"Side Swipe"},
    {196, u"Stop and Go"},
    {198, u"Hold the Lead"},
    {170, u"Collect coins and boxes before the flag"},
    {171, u"Score while you rub a rival's side"},
    {172, u"Stop and go when told, against the clock"},
    {173, u"Points every second for the place you hold"},
    // Play menu: the career's cups, a race over laps, a lap against the
    // clock, the challenge modes and the guided Desert Sprint.
    {197, u"Career"},
    {30, u"Single Race"},
    {193, u"Time Trial"},
    {192, u"Challenges"},
    {157, u"Quick Race"},
    {166, u"Climb from rookie to dune legend"},
    {165, u"Any track, any car, up to five laps"},
    {167, u"One lap alone against the clock"},
    {168, u"A special goal on every track"},
    {169, u"The Desert Sprint, with a guide car"},
    // The career's cups (the fourth is reached from the championship
    // screen), what each one runs, and the championship screen's goal,
    // instruction and the word for a cup still locked.
    {47, u"Rookie Cup"},
    {48, u"Pro Cup"},
    {49, u"Legend Cup"},
    {50, u"Master Cup"},
    {68, u"Dune Loop, Oasis Ridge, Crater Rim"},
    {69, u"Glass Canyon, Salt Flats, Storm Mesa"},
    {70, u"Dune Loop, Glass Canyon, Salt Flats"},
    {71, u"Oasis Ridge, Storm Mesa, Crater Rim"},
    {209, u"Win the most points over three races"},
    {210, u"Tap the cup to start, the arrows to change cup"},
    {211, u"Win the cup before it to open this one"},
    {200, u"Locked"},
    // Race types by number (151 onward; 157, the guided race's, is the
    // quick race above) and what each asks of the player (177 onward).
    {151, u"Rally"},
    {152, u"Time Trial"},
    {153, u"Coin Rush"},
    {154, u"Side Swipe"},
    {155, u"Stop and Go"},
    {156, u"Hold the Lead"},
    {177, u"Finish in the top three"},
    {178, u"Beat the target time"},
    {179, u"Collect the coins asked for"},
    {180, u"Rub the rivals' sides to score"},
    {181, u"Stop and go when told, in time"},
    {182, u"Hold a high place to score"},
    {183, u"Follow the guide car"},
    // Race goals: the target time, the points to reach, and the
    // thousands separator of that number.
    {174, u"Target time"},
    {175, u"Points to beat"},
    {176, u","},
};

// The options screen: the sound item in its two states, the reset item,
// and the line under each.
constexpr Text kOptions[] = {
    {300, u"Sound: On"},
    {301, u"Sound: Off"},
    {302, u"Reset Progress"},
    {303, u"Tap to switch music and sound effects"},
    {304, u"Start over: every cup, record and car is lost"},
};

// The reference list: a title (even id) and a text (the odd id after it)
// per entry, 21 entries from text 104 on.
constexpr Text kReference[] = {
    {104, u"Steering"},
    {105, u"Touch the round arrow buttons at the left and right of the screen to steer. Hold one longer "
          u"for a sharper turn."},
    {106, u"Braking"},
    {107, u"Touch the middle of the screen's bottom edge to brake. Brake before a bend, not in it."},
    {108, u"Star button"},
    {109, u"The red star button at the bottom left makes the car hop. Gears change by themselves; a hop "
          u"at speed also shifts up early."},
    {110, u"Nitro"},
    {111, u"Every coin you drive over adds to the counter at the top left. Touch the counter to burn "
          u"them all as nitro; keep it for the straights."},
    {112, u"Boost pads"},
    {113, u"Drive over a glowing pad for a short burst of speed."},
    {114, u"Item boxes"},
    {115, u"Crash through a box to take an item, then press the centre key to use it."},
    {116, u"Shield"},
    {117, u"A shield keeps off one hit from a rival or an obstacle."},
    {118, u"Oil slick"},
    {119, u"Drop oil behind you; a rival who drives through it spins."},
    {120, u"Magnet"},
    {121, u"The magnet pulls you towards the car ahead."},
    {122, u"Shockwave"},
    {123, u"A shockwave slows every car close to yours."},
    {124, u"Walls and banks"},
    {125, u"Touching a wall costs speed. Banks hold you in a fast bend."},
    {126, u"Laps"},
    {127, u"The counter shows your lap and the laps of the race."},
    {128, u"Position"},
    {129, u"Your place in the field shows beside the lap counter."},
    {130, u"Time attack"},
    {131, u"Race alone against the clock. Beat the target time to win."},
    {132, u"Knockout"},
    {133, u"The last car at the end of each lap is out. Be the last one left."},
    {134, u"Checkpoint run"},
    {135, u"Reach each gate before the clock runs out; every gate adds time."},
    {136, u"Overtake challenge"},
    {137, u"Pass as many rivals as the goal asks before the finish."},
    {138, u"Championship"},
    {139, u"Race every track of a cup. Points from each race decide the winner."},
    {140, u"Unlocking cars"},
    {141, u"Win a cup to unlock a new car in the garage."},
    {142, u"Pausing"},
    {143, u"Touch the pause button at the top right to stop the race and see the pause menu."},
    {144, u"Saving"},
    {145, u"Your cups, records and cars are saved after every race."},
};

// The text screen's lines, one a line, from text 216 on.
constexpr Text kPages[] = {
    {216, u"Vorlax Rally"},
    {217, u" "},
    {218, u"Six tracks across the planet Vorlax:"},
    {219, u"dunes, salt flats, canyons and craters."},
    {220, u" "},
    {221, u"Game design"},
    {222, u"The Brivanta racing team"},
    {223, u" "},
    {224, u"Programming"},
    {225, u"The Brivanta engine crew"},
    {226, u" "},
    {227, u"Cars and tracks"},
    {228, u"The Brivanta art desk"},
    {229, u" "},
    {230, u"Music and sound"},
    {231, u"The Brivanta sound garage"},
    {232, u" "},
    {233, u"Testing"},
    {234, u"Every driver who ever"},
    {235, u"took a dune too fast"},
    {236, u" "},
    {237, u"Thanks for racing!"},
    {238, u"The tracks"},
    {239, u"Dune Loop"},
    {240, u"Glass Canyon"},
    {241, u"Salt Flats"},
    {242, u"Oasis Ridge"},
    {243, u"Storm Mesa"},
    {244, u"Crater Rim"},
    {245, u" "},
    {246, u"The racing rules"},
    {247, u" "},
    {248, u"Stay on the road,"},
    {249, u"take every box you can,"},
    {250, u"keep the nitro for the straights"},
    {251, u" "},
    {252, u"and never lift in the last bend."},
    {253, u" "},
    {254, u"Vorlax Rally is a work of fiction."},
    {255, u" "},
    {256, u"Brivanta"},
    {257, u" "},
    {258, u"Touch the screen to go back."},
    {259, u" "},
    // The racer list's gauges (285 to 287) and its note on a locked car.
    {285, u"Top Speed"},
    {286, u"Acceleration"},
    {287, u"Handling"},
    {288, u"Locked: win races to unlock"},
};

// Comments on the player's choice of car, and the loading screen's tips,
// from text 261 on.
constexpr Text kComments[] = {
    {261, u"Good choice: that one corners like it is on rails."},
    {262, u"Fast on the straights; mind the bends."},
    {263, u"Heavy, but nothing pushes it around."},
    {264, u"Light and quick off the line."},
    {265, u"Keep your nitro for the last straight."},
    {266, u"Item boxes sit on the racing line."},
    {267, u"A clean lap beats a fast crash."},
};

// The racers' names (text kFirstRacerNameText + racer id: the player's eight cars, then the
// six computer drivers), read while the race's cars are made.
constexpr Text kRacers[] = {
    {kFirstRacerNameText + 0, u"Sandpiper"},  {kFirstRacerNameText + 1, u"Kestrel"},
    {kFirstRacerNameText + 2, u"Ironback"},   {kFirstRacerNameText + 3, u"Wisp"},
    {kFirstRacerNameText + 4, u"Goliath"},    {kFirstRacerNameText + 5, u"Marauder"},
    {kFirstRacerNameText + 6, u"Scarab"},     {kFirstRacerNameText + 7, u"Tempest"},
    {kFirstRacerNameText + 8, u"Rook Hale"},  {kFirstRacerNameText + 9, u"Mira Sol"},
    {kFirstRacerNameText + 10, u"Dax Verro"}, {kFirstRacerNameText + 11, u"Nell Ashby"},
    {kFirstRacerNameText + 12, u"Ty Corran"}, {kFirstRacerNameText + 13, u"Juno Pike"},
};

// What the race draws once its own table is in: the pause menu and its
// questions, help and options, the head-up display, the item names, the
// results and the after-race menu.
constexpr Text kRace[] = {
    // Pause menu. Its title is text 0, which is also the left soft key's
    // label; the race draws that label only in the guided race, the title
    // in every race.
    {0, u"Paused"},
    {3, u"Help"},
    {6, u"Quit Race"},
    {8, u"Exit Game"},
    {59, u"Sound"},
    {60, u"Vibration"},
    // What the pause menu's sound item adds to its label, sound on and off.
    {63, u": On"},
    {64, u": Off"},
    // Questions over the race: quitting (title 7, line 14), leaving the
    // game (title 14), restarting and retrying after a lost race (15).
    {7, u"Quit this race?"},
    {14, u"Are you sure?"},
    {15, u"Race again?"},
    {62, u"How to race"},
    {25, u"Steer with the round arrow buttons at the sides; touch the middle of the bottom edge to "
         u"brake. The star button makes the car hop. Touch the coin counter at the top left to burn "
         u"your coins as nitro."},
    // Head-up display and results.
    {30, u"Lap"},
    {45, u"Boxes"},
    {46, u"Best"},
    {47, u"Time"},
    {48, u"+"},
    {49, u"Score"},
    {50, u"Tap to continue"},
    {54, u"Results"},
    // The guided race: its explanation before the start, and what it says
    // each time a step is done.
    {79, u"Your first drive: touch the arrows to steer, the star button to boost. Do what each flashing "
         u"button shows; the guide car joins you on the way."},
    {80, u"Well done!"},
    // The guided race's brake hint and its left soft key, which leaves the
    // guide.
    {77, u"Brake"},
    {78, u"Exit"},
    {81, u","},
    // Item names by item number.
    {82, u"Nitro"},
    {83, u"Shield"},
    {84, u"Oil Slick"},
    {85, u"Magnet"},
    {86, u"Shockwave"},
    {87, u"Spikes"},
    {88, u"Turbo"},
    {89, u"Smoke"},
    {90, u"Driver's Trick"},
    // The after-race menu and its answers.
    {91, u"Race over"},
    {92, u"Next Race"},
    {93, u"Retry"},
    {94, u"Leave"},
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
        return table({kSoftKeys, kAnswers, kMenus, kOptions, kReference, kPages, kComments, kRacers});
    case kRaceTexts:
        return table({kSoftKeys, kAnswers, kRace});
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
