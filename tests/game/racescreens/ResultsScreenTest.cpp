// The results state: rows revealed five slide frames apart, keys before
// ready ignored, where a race leads on, a championship's sub-phases and
// points (a place past the points table scores 0), modes without rows; and
// the panels of modes 1, 4 and 5 with their band, values and place mark.

#include "game/race/RaceResults.h"

#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RaceView.h"
#include "game/racepaint/ResultScreens.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "platform/lcdui/pixels.h"
#include "tests/game/racepaint/HudFixture.h"

#include <cctype>

namespace {

using hud_testing::HudTest;
using testing_support::DrawingLog;

struct ResultsTest : HudTest {
    ResultsTest() {
        game::makeKeyStateArrays();
        game::raceResultsStaticInit();
        game::loopStatics().s_frameMs = 40;
        setRacers(8);
        game::eventSlotStatics().s_eventSlotCount = 2;
        game::eventSlotStatics().s_currentEvent = 0;
        game::initStateMachine();
        game::pushState(game::State::Race);
        game::pushState(game::State::RaceResults);
        game::stateStatics().s_state = game::State::RaceResults;
        game::stateStatics().s_nextState = game::State::Quit;
    }

    // `n` racers, the player last, driver kind i % 6 for racer i.
    void setRacers(std::int32_t n) {
        rt::ObjectArray* racers = rt::newObjectArray(n);
        for (std::int32_t i = 0; i < n; ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(i == n - 1 ? 0 : 1);
            car->m_racePosition = i;
            car->m_racerIndex = i;
            car->m_driverKind = i % 6;
            rt::Array::setRef(racers, i, car);
            player = car;
        }
        game::raceStatics().s_racers = racers;
        game::racerStatics().s_playerCar = player;
        game::raceFrameStatics().s_racerTimes = rt::newIntArray(n);
    }
    static void frame(std::int32_t releasedKey = -1) {
        if (releasedKey >= 0)
            rt::ByteArray::set(game::keyStatics().s_keyState, releasedKey, -2);
        game::stateRaceResults(game::kUpdate);
        if (releasedKey >= 0)
            rt::ByteArray::set(game::keyStatics().s_keyState, releasedKey, 0);
    }
};

TEST_F(ResultsTest, RowsComeInFiveSlideFramesApartAndOnlyThenAKeyLeads) {
    game::RaceResultsStatics& s = game::raceResultsStatics();
    game::stateRaceResults(game::kEnter);
    EXPECT_EQ(s.s_resultsRows, 6) << "eight racers show six rows";
    std::vector<std::int32_t> rowFrames;
    for (std::int32_t f = 1; f <= 60 && !s.s_resultsReady; ++f) {
        const std::int32_t before = s.s_resultsRow;
        // Keys while the rows come in do nothing.
        frame(s.s_resultsRow < 6 ? 5 : -1);
        EXPECT_EQ(game::stateStatics().s_nextState, game::State::Quit) << "a key before ready does nothing";
        if (s.s_resultsRow != before)
            rowFrames.push_back(f);
    }
    EXPECT_EQ(rowFrames, (std::vector<std::int32_t>{6, 12, 18, 24, 30, 36}));
    EXPECT_EQ(s.s_resultsReady, 1);
    // Ready: the next event loads, or the last one opens the after-race menu.
    frame(11);
    EXPECT_EQ(game::stateStatics().s_nextState, game::State::Loading);
    EXPECT_EQ(game::stateStatics().s_loadKind, game::kLoadNextRace);
    EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::TrackFlyover);
    game::eventSlotStatics().s_currentEvent = 1;
    frame(5);
    EXPECT_EQ(game::stateStatics().s_nextState, game::State::RaceEndMenu);

    // Modes with panels, and modes without rows, are ready at once.
    for (game::GameMode mode : {game::GameMode::TimeTrial, game::GameMode::Collection, game::GameMode::Score,
                                game::GameMode::StopAndGo, game::GameMode::Points, game::GameMode::Guided}) {
        game::stateStatics().s_gameMode = mode;
        game::stateRaceResults(game::kEnter);
        frame();
        EXPECT_EQ(s.s_resultsReady, 1) << "mode " << mode;
    }
}

TEST_F(ResultsTest, AChampionshipWalksItsSubPhasesAndCountsThePointsUp) {
    setRacers(9);
    game::raceResultsStatics().s_championship = 1;
    game::RaceResultsStatics& s = game::raceResultsStatics();
    game::stateRaceResults(game::kEnter);
    // Kinds 0..5 then 0..2 again: places 0..8 give 10, 8, 6, 5, 4, 3, 2, 1, 0.
    EXPECT_EQ(sprite_testing::ints(s.s_cupPoints, 6), (std::vector<std::int32_t>{12, 9, 6, 5, 4, 3}));
    EXPECT_EQ(sprite_testing::ints(s.s_cupStandings, 6), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(s.s_cupPlayerStanding, 2) << "the player drives kind 2";
    while (!s.s_resultsReady)
        frame();
    frame(5);
    EXPECT_EQ(s.s_resultsPhase, 1);
    std::vector<std::int32_t> phases;
    for (std::int32_t f = 0; f < 12; ++f) {
        frame();
        phases.push_back(s.s_resultsPhase);
    }
    EXPECT_EQ(phases, (std::vector<std::int32_t>{1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3}));
    // Shown points start from the totals before the race and grow one a
    // frame per racer: kind 0 (two racers) by two.
    game::stateRaceResults(game::kEnter);
    s.s_resultsPhase = 3;
    const std::vector<std::int32_t> before = sprite_testing::ints(s.s_cupShownPoints, 6);
    frame();
    const std::vector<std::int32_t> after = sprite_testing::ints(s.s_cupShownPoints, 6);
    EXPECT_EQ(after[0], before[0] + 2);
    EXPECT_EQ(after[5], before[5] + 1);
    frame(5);
    EXPECT_EQ(s.s_resultsPhase, 3) << "not ready while counting";
    while (!s.s_resultsReady)
        frame();
    frame(5);
    EXPECT_EQ(s.s_resultsPhase, 4);
    frame(5);
    EXPECT_EQ(game::stateStatics().s_loadKind, game::kLoadNextRace);
    EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::TrackFlyover);
    // The championship's last race leads to its end screen.
    s.s_cupRace = 2;
    frame(5);
    EXPECT_EQ(game::stateStatics().s_loadKind, game::kLoadMenus);
    EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::RewardScreen);
    EXPECT_EQ(game::stateStatics().s_nextState, game::State::Loading);
}

TEST_F(ResultsTest, TheNextChampionshipCountsFromNothingAfterOneEnded) {
    game::raceResultsStatics().s_championship = 1;
    game::RaceResultsStatics& s = game::raceResultsStatics();
    // Eight racers of kinds 0..5, 0, 1: places 0..7 give 10, 8, 6, 5, 4,
    // 3, 2, 1.
    const std::vector<std::int32_t> onceRaced{12, 9, 6, 5, 4, 3};
    game::stateRaceResults(game::kEnter);
    ASSERT_EQ(sprite_testing::ints(s.s_cupPoints, 6), onceRaced);
    // Its last race over, the end screen loads with the points kept.
    s.s_cupRace = 2;
    s.s_resultsPhase = 4;
    frame(5);
    EXPECT_EQ(game::stateStatics().s_loadingNextState, game::State::RewardScreen);
    EXPECT_EQ(sprite_testing::ints(s.s_cupPoints, 6), onceRaced) << "the end screen reads them";
    // The first race of the next championship.
    game::stateRaceResults(game::kEnter);
    EXPECT_EQ(sprite_testing::ints(s.s_cupPoints, 6), onceRaced);
    EXPECT_EQ(s.s_cupRace, 0);
}

struct PanelTest : ResultsTest {
    // Stand-in sprite 4: frame 3 is 15 wide; its box 0 (2, 4, 300, 153).
    static constexpr std::int32_t kX = (640 - 15) / 2;
    static constexpr std::int32_t kY = (480 - 153) / 2;

    std::vector<std::string> drawn(void (*paint)()) {
        DrawingLog log;
        paint();
        return described(log);
    }
    static bool has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(PanelTest, TheBandDarkensTheLightenedScene) {
    screen.graphics->setColor(0x204060);
    screen.graphics->fillRect(0, 0, 640, 480);
    game::paintResultsMode1(4096);
    // 0x80FFFFFF over the scene, then 0x99111111 over that, per 8-bit channel.
    auto over = [](std::uint32_t argb, std::uint32_t rgb) {
        const std::uint32_t a = argb >> 24;
        std::uint32_t out = 0;
        for (std::int32_t shift : {0, 8, 16}) {
            const std::uint32_t src = (argb >> shift) & 0xFF, dst = (rgb >> shift) & 0xFF;
            out |= ((src * a + dst * (255 - a)) / 255) << shift;
        }
        return out;
    };
    const std::uint32_t expected = over(0x99111111u, over(0x80FFFFFFu, 0x204060u));
    const std::uint16_t pixel = screen.at(kX + 2 + 150, kY + 4 + 70 + 30);
    const std::uint16_t want = sprite_testing::on565(expected);
    EXPECT_NEAR(pixel >> 11, want >> 11, 1);
    EXPECT_NEAR((pixel >> 5) & 63, (want >> 5) & 63, 2);
    EXPECT_NEAR(pixel & 31, want & 31, 1);
    // Outside the odd band the scene stays.
    EXPECT_EQ(screen.at(kX + 2 + 150, kY + 4 + 30), sprite_testing::on565(0x204060));
}

TEST_F(PanelTest, ValuesStandInTheirColumnAndMode5DimsBehindTheLeader) {
    game::eventGoalStatics().s_eventBestTime = 8192;
    std::vector<std::string> lines;
    {
        DrawingLog log;
        game::paintResultsMode1(4096);
        lines = described(log);
    }
    const std::string x = std::to_string(kX + 150 + 10);
    EXPECT_TRUE(has(lines, "text '0:01.000' @" + x + "," + std::to_string(kY + 50) + " a20 p3"));
    EXPECT_TRUE(has(lines, "text '0:02.000' @" + x + "," + std::to_string(kY + 124) + " a20 p3"));
    EXPECT_TRUE(
        has(lines, "text 'T46' @" + std::to_string(kX + 4) + "," + std::to_string(kY + 122) + " a20 p0"));

    game::EventGoalStatics& g = game::eventGoalStatics();
    g.s_points = 12345;
    g.s_pointsReference = 2000;
    for (std::int32_t place : {0, 3}) {
        player->m_racePosition = place;
        DrawingLog log;
        game::paintResultsMode5();
        lines = described(log);
        const std::string x5 = std::to_string(kX + 120 + 10);
        EXPECT_TRUE(has(lines, "text '12,345' @" + x5 + "," + std::to_string(kY + 50) + " a20 p3"));
        EXPECT_TRUE(has(lines, "text '2000' @" + x5 + "," + std::to_string(kY + 124) + " a20 p3"));
        EXPECT_TRUE(
            has(lines, "text 'T49' @" + std::to_string(kX + 4) + "," + std::to_string(kY + 126) + " a20 p0"));
        EXPECT_EQ(has(lines, "fillRectAlpha 0 0 640 480"), place != 0);
        EXPECT_EQ(has(lines, "frame 15:13 @470,40"), place != 0);
    }
}

TEST_F(PanelTest, TheMode0TableShowsAtMostItsRowsInRaceOrderOnItsPanel) {
    // The table's panel: its left, its first row's top and the rows' pitch;
    // a badge stands 56 px into its row, centred on the row's 42 px.
    constexpr std::int32_t kLeft = 60, kFirstRow = 80, kPitch = 46;
    const std::int32_t badgeY = kFirstRow + (42 - hud_testing::standInHeight(0)) / 2;
    game::RaceResultsStatics& s = game::raceResultsStatics();
    s.s_resultsRows = 6;
    s.s_resultsRow = 6;
    s.s_resultsSlide = 140;
    std::vector<std::string> lines = drawn(game::paintResultsMode0);
    std::vector<std::string> icons, places;
    for (const std::string& line : lines) {
        if (line.starts_with("frame 63:"))
            icons.push_back(line);
        if (line.starts_with("text '") && line.size() > 8 && line[7] == '\'' && std::isdigit(line[6]))
            places.push_back(line.substr(6, 1));
    }
    std::vector<std::string> want;
    for (std::int32_t i = 0; i < 6; ++i)
        want.push_back("frame 63:0 @" + std::to_string(kLeft + 56) + "," +
                       std::to_string(badgeY + kPitch * i));
    EXPECT_EQ(icons, want);
    EXPECT_EQ(places, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    // The row coming in stands right by its slide.
    s.s_resultsRow = 2;
    s.s_resultsSlide = 30;
    lines = drawn(game::paintResultsMode0);
    const auto badgeAt = [](std::int32_t x, std::int32_t y) {
        return "frame 63:0 @" + std::to_string(x) + "," + std::to_string(y);
    };
    EXPECT_TRUE(has(lines, badgeAt(kLeft + 56, badgeY)));
    EXPECT_TRUE(has(lines, badgeAt(kLeft + (140 - 30) * 4 + 56, badgeY + kPitch)));
}

TEST_F(PanelTest, TheMode0TableMarksThePlayersRow) {
    // Four racers, the player last: its row's band is the marked one.
    setRacers(4);
    game::RaceResultsStatics& s = game::raceResultsStatics();
    s.s_resultsRows = 4;
    s.s_resultsRow = 4;
    s.s_resultsSlide = 140;
    DrawingLog log;
    game::paintResultsMode0();
    std::vector<std::int32_t> bandColours;
    for (const game::DrawRecord& r : log.outer(game::DrawCall::FillRect))
        if (r.args[2] == 520 - 12 && r.args[3] == 42)
            bandColours.push_back(r.colour & 0xFFFFFF);
    ASSERT_EQ(bandColours.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NE(bandColours[i], bandColours[3]) << i;
    EXPECT_EQ(bandColours[0], bandColours[2]);
}

} // namespace
