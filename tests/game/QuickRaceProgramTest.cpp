// `vorlax --race ROW` as a developer starts it: the race loads behind the
// loading screen and waits for a tap, then passes through the states of a
// race on the demo set (a race of type 0 in game mode 0) and on a set whose
// race row 0 holds a type-1 event; a race that finishes and leaves, the
// pause that coming back from a hide opens once in the countdown and in the
// race, the pause menu's items tapped over the race; every demo track loads
// and races without a runtime check or a loader warning.

#include "game/framework/States.h"
#include "game/race/EventRowLayout.h"
#include "game/race/EventType.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datacheck/DataCheck.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/PackWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using game::State;

struct Trace {
    int status = -1;
    // The states entered, in order, from the log's "state A -> B" lines.
    std::vector<State> states;
    std::string output;
};

Trace runQuickRace(const fs::path& folder, const std::string& arguments, int row = 0) {
    std::string command = std::string("'") + VORLAX_PROGRAM + "' --headless --race " + std::to_string(row) +
                          " " + arguments + " '" + folder.string() + "' 2>&1";
    Trace run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 512> chunk{};
    while (std::size_t read = std::fread(chunk.data(), 1, chunk.size(), pipe))
        run.output.append(chunk.data(), read);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        std::size_t arrow = line.find(" -> ");
        if (line.starts_with("state ") && arrow != std::string::npos)
            run.states.push_back(game::stateFromNumber(std::stoi(line.substr(arrow + 4))));
    }
    return run;
}

// The states from the start to the countdown: the splash, the load, the
// flyover and the racer intro; then `after`.
std::vector<State> trace(std::initializer_list<State> after) {
    std::vector<State> states = {State::Splash, State::Loading, State::TrackFlyover, State::RacerIntro,
                                 State::RaceCountdown};
    states.insert(states.end(), after);
    return states;
}

fs::path script(const fs::path& folder, const std::string& name, const std::string& lines) {
    fs::path path = folder / name;
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fputs(lines.c_str(), file);
    std::fclose(file);
    return path;
}

// The race loads behind the loading screen in about 1.5 s of virtual time;
// its prompt then waits for a tap, given at 2 s. The race's times below
// count from the tap's release.
constexpr int kRaceShownMs = 2040;
std::string at(int ms) {
    return std::to_string(kRaceShownMs + ms);
}
const std::string kAnswerPrompt =
    "0 activate\n0 focus-gained\n2000 stylus-down 240 320\n+40 stylus-up 240 320\n";
// The left soft key (game key 18) then skips the flyover and the racer intro.
const std::string kSkipToCountdown =
    kAnswerPrompt + at(200) + " key-down F1\n+40 key-up F1\n" + at(600) + " key-down F1\n+40 key-up F1\n";
// Frames of the load and the prompt (at least 33 ms a frame).
constexpr int kLoadFrames = 70;

// The demo set with `events` as its event pack, written to `folder`.
bool writeWithEvents(const std::vector<datakit::EventEntry>& events, const fs::path& folder) {
    mkdata::ProgramFolder set = testing_support::demoSet();
    std::vector<datakit::Bytes> payloads;
    for (const datakit::EventEntry& entry : events)
        payloads.push_back(datakit::writeEventEntry(entry));
    std::erase_if(set.archive,
                  [](const datakit::ArchiveEntry& e) { return e.name.starts_with(mkdata::kEventPackFile); });
    mkdata::addPack(set, mkdata::kEventPackFile, payloads);
    return mkdata::writeProgramFolder(set, folder).ok();
}

struct QuickRace : ::testing::Test {
    testing_support::TemporaryFolder root{"vorlax-quick-race"};
    fs::path demo = root.path() / "demo";

    QuickRace() { EXPECT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok()); }
};

TEST_F(QuickRace, ARaceOfTypeZeroPassesFlyoverIntroCountdownRaceAndReachesTheResults) {
    // Row 0's event cut to one lap: left alone, the player's car takes five
    // and a half minutes a lap (some 9,500 frames), and the states are those
    // of the three-lap race. The run ends 2,500 frames after that.
    std::vector<datakit::EventEntry> events;
    for (int track = 0; track < mkdata::kDemoTrackCount; ++track)
        events.push_back(mkdata::demoEvent(track));
    events[0].variants[0].row[game::kEventLapsField] = 1;
    fs::path oneLap = root.path() / "one-lap";
    ASSERT_TRUE(writeWithEvents(events, oneLap));
    fs::path lines = script(root.path(), "prompt.txt", kAnswerPrompt);
    Trace run = runQuickRace(oneLap, "--script '" + lines.string() + "' --frames 12000");
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_GE(run.states.size(), 7u) << run.output;
    EXPECT_EQ(std::vector<State>(run.states.begin(), run.states.begin() + 7),
              trace({State::Race, State::RaceResults}))
        << run.output;
    // The whole run, load, race and results, passes no runtime check and
    // gives no loader warning: every line is a progress line.
    std::istringstream output(run.output);
    for (std::string line; std::getline(output, line);)
        EXPECT_TRUE(datacheck::isProgressLine(line)) << line;
}

TEST_F(QuickRace, ARaceOfAnotherTypeSkipsTheRacerIntro) {
    std::vector<datakit::EventEntry> events;
    for (int track = 0; track < mkdata::kDemoTrackCount; ++track) {
        datakit::EventEntry entry;
        for (std::uint16_t p = 0; p < 4; ++p)
            entry.path.push_back(
                {static_cast<std::uint16_t>(p * 40), 0, 300, static_cast<std::uint8_t>(p), 4096});
        datakit::EventVariant variant;
        variant.row[0] =
            game::eventTypeNumber(track == 0 ? game::EventType::Distance : game::EventType::Laps);
        variant.row[1] = variant.row[2] = variant.row[3] = 90000;
        variant.row[5] = 3;
        variant.row[16] = 6;
        variant.shorts = {0, 1, 2};
        entry.variants = {variant};
        events.push_back(entry);
    }
    fs::path typeOne = root.path() / "type1";
    ASSERT_TRUE(writeWithEvents(events, typeOne));
    fs::path lines = script(root.path(), "prompt.txt", kAnswerPrompt);
    Trace run = runQuickRace(typeOne, "--script '" + lines.string() + "' --frames " +
                                          std::to_string(kLoadFrames + 600));
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_GE(run.states.size(), 5u) << run.output;
    EXPECT_EQ(std::vector<State>(run.states.begin(), run.states.begin() + 5),
              (std::vector<State>{State::Splash, State::Loading, State::TrackFlyover, State::RaceCountdown,
                                  State::Race}))
        << run.output;
}

TEST_F(QuickRace, AHideInTheCountdownOrTheRaceOpensThePauseOnce) {
    struct Row {
        std::string hide;
        std::vector<State> want;
    };
    // The countdown runs from about 0.7 s for four seconds; the race lasts
    // far beyond 20 s. The canvas is hidden and shown again twice.
    const auto hideTwice = [](int from) {
        return at(from) + " deactivate\n+0 focus-lost\n" + at(from + 200) + " activate\n+0 focus-gained\n" +
               at(from + 600) + " deactivate\n+0 focus-lost\n" + at(from + 800) +
               " activate\n+0 focus-gained\n";
    };
    for (const Row& row : {Row{hideTwice(2000), trace({State::PauseMenu})},
                           Row{hideTwice(20000), trace({State::Race, State::PauseMenu})}}) {
        fs::path lines = script(root.path(), "hide.txt", kSkipToCountdown + row.hide + at(30000) + " quit\n");
        Trace run = runQuickRace(demo, "--script '" + lines.string() + "'");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.states, row.want) << run.output;
    }
}

TEST_F(QuickRace, ThePauseMenusItemsLeadToTheirStates) {
    // The pause menu draws its six items 36 px high from 92 px above the
    // menu's centre, which is 40 px above the screen's; each tap lands in the
    // middle of an item as drawn (PauseMenuTourTest finds them by their
    // texts). The game's (x, y) is the turned screen's (480 - y, x).
    struct Row {
        int item;
        std::vector<State> want;
    };
    for (const Row& row : {Row{0, trace({State::Race, State::PauseMenu, State::Race})},
                           Row{1, trace({State::Race, State::PauseMenu, State::RestartQuestion})},
                           Row{3, trace({State::Race, State::PauseMenu, State::RaceHelp})},
                           Row{4, trace({State::Race, State::PauseMenu, State::QuitRaceQuestion})},
                           Row{5, trace({State::Race, State::PauseMenu, State::ExitQuestion})}}) {
        const int gameY = 240 - 40 - 92 + 36 * row.item + 18;
        const std::string point = std::to_string(480 - gameY) + " 320\n";
        fs::path lines =
            script(root.path(), "pause.txt",
                   kSkipToCountdown + at(8000) + " key-down F1\n+40 key-up F1\n" + at(9000) +
                       " stylus-down " + point + "+80 stylus-up " + point + at(10000) + " quit\n");
        Trace run = runQuickRace(demo, "--script '" + lines.string() + "'");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.states, row.want) << row.item;
    }
}

TEST_F(QuickRace, TheQuestionsOverTheRaceAnswerATap) {
    // Item 1 restarts (back to the flyover), 4 quits the race (to the loading
    // state, which loads the menus), 5 leaves the game (the quit state, -1);
    // each asks first, and "no" goes back to the pause menu.
    // The two answers ("no", "yes") start 20 px above the screen's centre.
    struct Row {
        int item, answer;
        std::vector<State> want;
    };
    for (const Row& row :
         {Row{1, 1, trace({State::Race, State::PauseMenu, State::RestartQuestion, State::TrackFlyover})},
          Row{4, 0, trace({State::Race, State::PauseMenu, State::QuitRaceQuestion, State::PauseMenu})},
          Row{4, 1, trace({State::Race, State::PauseMenu, State::QuitRaceQuestion, State::Loading})},
          Row{5, 1, trace({State::Race, State::PauseMenu, State::ExitQuestion, State::Quit})}}) {
        const std::string item = std::to_string(480 - (240 - 40 - 92 + 36 * row.item + 18)) + " 320\n";
        const std::string answer = std::to_string(480 - (240 - 20 + 36 * row.answer + 18)) + " 320\n";
        fs::path lines =
            script(root.path(), "question.txt",
                   kSkipToCountdown + at(8000) + " key-down F1\n+40 key-up F1\n" + at(9000) +
                       " stylus-down " + item + "+80 stylus-up " + item + at(10000) + " stylus-down " +
                       answer + "+80 stylus-up " + answer + at(10500) + " quit\n");
        Trace run = runQuickRace(demo, "--script '" + lines.string() + "'");
        EXPECT_EQ(run.status, 0) << run.output;
        ASSERT_GE(run.states.size(), row.want.size()) << row.item << " " << row.answer << "\n" << run.output;
        EXPECT_EQ(std::vector<State>(run.states.begin(), run.states.begin() + row.want.size()), row.want)
            << row.item << " " << row.answer;
    }
}

// The race's load and its prompt, past the flyover and the racer intro,
// then 300 frames of the race after the countdown's four seconds (at most
// 40 ms a frame): no line that is not a progress line, so no runtime check
// and no loader warning (the road is made into road images, so the road
// painter has none to give either).
TEST_F(QuickRace, EveryDemoTrackRacesWithoutARuntimeCheckOrALoaderWarning) {
    constexpr int kCountdownFrames = 120;
    fs::path lines = script(root.path(), "skip.txt", kSkipToCountdown);
    for (int row = 0; row < mkdata::kDemoTrackCount; ++row) {
        Trace run = runQuickRace(demo,
                                 "--script '" + lines.string() + "' --frames " +
                                     std::to_string(kLoadFrames + kCountdownFrames + 300),
                                 row);
        EXPECT_EQ(run.status, 0) << "row " << row << "\n" << run.output;
        EXPECT_NE(std::find(run.states.begin(), run.states.end(), State::Race), run.states.end())
            << "row " << row << " never raced\n"
            << run.output;
        std::istringstream output(run.output);
        std::string faults;
        for (std::string line; std::getline(output, line);)
            if (!datacheck::isProgressLine(line) && faults.size() < 2000)
                faults += line + "\n";
        EXPECT_EQ(faults, "") << "row " << row;
    }
}

} // namespace
