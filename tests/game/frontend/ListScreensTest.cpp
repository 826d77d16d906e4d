// The racer list: where a choice leads, what a locked racer allows, the
// comment drawn from the seeded generator and the grid's colours; the
// reference list: browsing and its pictures.

#include "game/frontend/ListScreens.h"
#include "classlib/util/Random.h"
#include "game/data/Progress.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/GameRandom.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/FrontEndFixture.h"
#include "tests/support/ConstantStrings.h"

#include <set>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace list_screens_test {

namespace {

using framework_testing::recordMessage;

constexpr std::int32_t kFireKey = 11;
constexpr std::int32_t kRacers = 4;

struct ListScreensTest : frontend_testing::FrontEndTest {
    ListScreensTest() {
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""}});
        game::initializeGameStatics();
        game::loopStatics().s_rotated = 0;
        game::initProgressStatics();
        game::registerListScreens();
        game::setStateHandler(game::State::PreRaceSelect, recordMessage<game::State::PreRaceSelect>);
        game::setStateHandler(game::State::CupSelect, recordMessage<game::State::CupSelect>);
        // One block of four racers; the last entry is the total.
        rt::ShortArray* sizes = rt::newShortArray(2);
        rt::ShortArray::set(sizes, 0, kRacers);
        rt::ShortArray::set(sizes, 1, kRacers);
        game::raceTableStatics().s_racerBlockSizes = sizes;
        // Texts "T0" .. "T299".
        rt::ObjectArray* texts = rt::newObjectArray(300);
        for (std::int32_t i = 0; i < 300; ++i)
            rt::Array::setRef(texts, i, rt::String::newFromCString(("T" + std::to_string(i)).c_str()));
        game::textStatics().s_textCache = texts;
        game::textStatics().s_textCount = 300;
    }
    // Opens the racer list on `entry`, chooses with the fire key and
    // answers the state that follows (the list itself when nothing was
    // chosen), leaving only the start-up state on the stack.
    static game::State chooseRacer(std::int32_t entry) {
        game::rememberSelection(game::State::RacerList, entry);
        open(game::State::RacerList);
        frame(kFireKey);
        const game::State next = state();
        while (game::stateStatics().s_stateStackDepth > 1)
            game::popState(), (void)game::applyStateChange();
        return next;
    }
};

TEST_F(ListScreensTest, AnUnlockedRacerBecomesThePlayersAndLeadsOnByTheChampionship) {
    struct Case {
        const char* what;
        std::int8_t championship;
        std::int32_t maskA, entry;
        game::State next; // the list's own state: nothing chosen
    } cases[] = {
        {"a single race goes to the pre-race selection", 0, 0b1111, 1, game::State::PreRaceSelect},
        {"a championship goes to the cup selection", 1, 0b1111, 2, game::State::CupSelect},
        {"a remembered entry past the list starts on the first", 0, 0b1111, 9, game::State::PreRaceSelect},
        {"a locked racer is shown but not chosen", 0, 0b1011, 2, game::State::RacerList},
    };
    for (const Case& c : cases) {
        game::raceResultsStatics().s_championship = c.championship;
        game::progressStatics().s_progressMaskA = c.maskA;
        game::racerStatics().s_playerRacerId = -1;
        EXPECT_EQ(chooseRacer(c.entry), c.next) << c.what;
        const bool chosen = c.next != game::State::RacerList;
        EXPECT_EQ(game::racerStatics().s_playerRacerId, chosen ? (c.entry < kRacers ? c.entry : 0) : -1)
            << c.what;
        if (!chosen) {
            EXPECT_EQ(game::touchStatics().s_leftSoftKey, -1) << c.what;
        }
    }
}

TEST_F(ListScreensTest, TheCommentIsOneOfTheEightTextsDrawnFromTheSeededGenerator) {
    game::progressStatics().s_progressMaskA = 0b1111;
    std::set<std::int32_t> seen;
    for (std::int64_t seed = 0; seed < 40; ++seed) {
        lib::java_util_Random::seedSharedRandom(seed);
        ASSERT_EQ(chooseRacer(0), game::State::PreRaceSelect);
        const std::int32_t comment = game::listScreenStatics().s_commentText;
        EXPECT_GE(comment, game::kFirstCommentText);
        EXPECT_LT(comment, game::kFirstCommentText + game::kCommentTexts);
        seen.insert(comment);
        // The same seed gives the same comment.
        lib::java_util_Random::seedSharedRandom(seed);
        EXPECT_EQ(comment, game::kFirstCommentText + game::getRandom(0, game::kCommentTexts)) << seed;
    }
    EXPECT_GT(seen.size(), 4u);
}

TEST_F(ListScreensTest, TheGridShowsTheHighlightedRacerOnRedAndCoversTheLockedOnes) {
    platform::javax_microedition_lcdui_Image* image = whiteScreen();
    // Racer 1 highlighted, racers 2 and 3 locked.
    game::progressStatics().s_progressMaskA = 0b0011;
    game::rememberSelection(game::State::RacerList, 1);
    open(game::State::RacerList);
    const std::vector<std::int32_t> argb = framework_testing::pixels(image);
    auto cellCentre = [&](std::int32_t entry) {
        const std::int32_t x = game::kRacerCellX + game::kRacerCellStepX * (entry % game::kRacerGridColumns) +
                               game::kRacerCellSize / 2;
        const std::int32_t y = game::kRacerCellY + game::kRacerCellStepY * (entry / game::kRacerGridColumns) +
                               game::kRacerCellSize / 2;
        return argb[static_cast<std::size_t>(y * 640 + x)] & 0xFFFFFF;
    };
    auto blue = [](std::int32_t rgb) { return rgb & 0xFF; };
    // A cell is filled in the cell colour, the highlighted one in red; a
    // locked one is dimmed by its cover, not blacked out.
    const std::int32_t unlocked = cellCentre(0);
    const std::int32_t locked = cellCentre(2);
    EXPECT_EQ(cellCentre(1) & 0xF8F8F8, 0xF80000) << std::hex << cellCentre(1);
    EXPECT_EQ(unlocked & 0xF8F8F8, game::kCellColour & 0xF8F8F8) << std::hex << unlocked;
    EXPECT_LT(blue(locked), blue(unlocked)) << std::hex << locked;
    EXPECT_GT(blue(locked), 0) << "translucent, not black";
}

TEST_F(ListScreensTest, TheReferenceListBrowsesItsEntriesAndOnlySomeBodiesCarryAPicture) {
    whiteScreen();
    open(game::State::ReferenceList);
    EXPECT_EQ(game::touchStatics().s_menuCount, game::kReferenceEntries);
    // The screen reads its keys turned: right moves down the list.
    frame(12);
    EXPECT_EQ(game::touchStatics().s_selection, 1);
    EXPECT_TRUE(painted("text 'T106'")) << "title (1 + 52) x 2";
    frame(kFireKey);
    EXPECT_EQ(state(), game::State::ReferenceList) << "nothing to choose";

    const std::pair<std::int32_t, std::int32_t> pictures[] = {{111, -1}, {112, -1}, {113, 2}, {115, 3},
                                                              {117, 6},  {119, 7},  {121, 1}, {123, 0},
                                                              {125, 4},  {127, 5},  {129, 8}, {131, -1}};
    for (auto [body, frame] : pictures)
        EXPECT_EQ(game::referencePictureFrame(body), frame) << body;
}

} // namespace

} // namespace list_screens_test
