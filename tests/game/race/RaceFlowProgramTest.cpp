// The screens over a race as a player meets them in the program: `vorlax
// --headless --race ROW` on the demo set, its races of one lap, with a
// script. The pause key opens the pause menu of six items, whose resume
// goes back to the race and whose questions, answered yes, restart from
// the flyover, load the menus into the main menu, or end the program with
// status 0; a finished race shows its results and then the after-race menu,
// which offers the next race first when the next track is unlocked (three
// answers) and the retry first when it is not (two).
//
// Each test keeps its script's times in one table. The way into the race
// is walked by taps on a free spot of the screen every half second from the
// start: they skip the flyover and the racer intro (or answer a prompt
// shown before them) and do nothing in the loading, the countdown or the
// race, so only the table needs new times when that way changes. Traces
// are compared from the race (state 42) on.

#include "game/framework/States.h"
#include "game/race/EventRowLayout.h"
#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using game::State;

struct RaceRun {
    int status = -1;
    // The states entered from the race on, from the log's "state A -> B" lines.
    std::vector<State> fromRace;
    std::string output;
};

RaceRun race(const fs::path& folder, int row, const std::string& script) {
    const fs::path scriptFile = folder / "flow.script";
    std::ofstream(scriptFile) << script;
    const std::string command = std::string("'") + VORLAX_PROGRAM + "' --headless --seed 1 --race " +
                                std::to_string(row) + " --script '" + scriptFile.string() + "' '" +
                                (folder / "demo").string() + "' 2>&1";
    const testing_support::CommandResult result = testing_support::runCommand(command);
    RaceRun run;
    run.status = result.status;
    run.output = result.output;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t arrow = line.find(" -> ");
        if (!line.starts_with("state ") || arrow == std::string::npos)
            continue;
        const State state = game::stateFromNumber(std::stoi(line.substr(arrow + 4)));
        if (state == State::Race || !run.fromRace.empty())
            run.fromRace.push_back(state);
    }
    return run;
}

// Script lines. The game's screen is the phone's turned: game (x, y) is the
// stylus point (480 - y, x).
std::string tap(int time, int gameX, int gameY) {
    const std::string at = std::to_string(480 - gameY) + " " + std::to_string(gameX) + "\n";
    return std::to_string(time) + " stylus-down " + at + "+80 stylus-up " + at;
}
std::string softKey(int time) {
    return std::to_string(time) + " key-down F1\n+40 key-up F1\n";
}

// A spot no button, band or answer of the race's screens covers.
constexpr int kFreeX = 320;
constexpr int kFreeY = 150;

// Taps on the free spot every `every` ms from `from` to `to`.
std::string taps(int from, int to, int every) {
    std::string script;
    for (int time = from; time <= to; time += every)
        script += tap(time, kFreeX, kFreeY);
    return script;
}

// The way into the race: taps every half second, from the first moments
// until after the countdown would have begun by either way in.
std::string walkIntoRace(int until) {
    return "0 activate\n0 focus-gained\n" + taps(200, until, 500);
}

bool startsWith(const std::vector<State>& trace, const std::vector<State>& head) {
    return trace.size() >= head.size() && std::equal(head.begin(), head.end(), trace.begin());
}

std::string text(const std::vector<State>& states) {
    std::string out;
    for (State s : states)
        out += std::to_string(game::stateNumber(s)) + " ";
    return out;
}

struct RaceFlow : ::testing::Test {
    testing_support::TemporaryFolder root{"vorlax-race-flow"};

    // The demo set with races of one lap, so that a race left to itself
    // finishes within minutes.
    RaceFlow() {
        mkdata::ProgramFolder set = testing_support::demoSet();
        std::vector<datakit::Bytes> events;
        for (int track = 0; track < mkdata::kDemoTrackCount; ++track) {
            datakit::EventEntry entry = mkdata::demoEvent(track);
            entry.variants.at(0).row[game::kEventLapsField] = 1;
            events.push_back(datakit::writeEventEntry(entry));
        }
        std::erase_if(set.archive, [](const datakit::ArchiveEntry& e) {
            return e.name.starts_with(mkdata::kEventPackFile);
        });
        mkdata::addPack(set, mkdata::kEventPackFile, events);
        EXPECT_TRUE(mkdata::writeProgramFolder(set, root.path() / "demo").ok());
    }
};

TEST_F(RaceFlow, ThePauseKeyOpensTheMenuWhoseItemsResumeRestartQuitOrLeave) {
    // When, in virtual ms: the end of the taps into the race, the pause key
    // (the left soft key, game key 18), the tap on the item, the tap on the
    // answer, the end of the run.
    struct Times {
        int walkUntil, pause, item, answer, quit;
    };
    const Times at{7700, 10000, 11000, 12000, 16000};
    // The pause list draws its items 36 px high from 92 px above its centre,
    // 40 px above the screen's (PauseMenuTourTest finds them by their
    // texts); a question's two answers (no, yes) start 20 px above the
    // screen's centre.
    auto itemY = [](int item) { return 240 - 40 - 92 + 36 * item + 18; };
    auto answerY = [](int answer) { return 240 - 20 + 36 * answer + 18; };
    struct Row {
        const char* flow;
        int item, answer;
        std::vector<State> trace;
        bool ends;
    };
    const Row rows[] = {
        {"resume", 0, -1, {State::Race, State::PauseMenu, State::Race}, false},
        {"restart, yes: back to the flyover",
         1,
         1,
         {State::Race, State::PauseMenu, State::RestartQuestion, State::TrackFlyover},
         false},
        {"quit the race, yes: the menus load into the main menu",
         4,
         1,
         {State::Race, State::PauseMenu, State::QuitRaceQuestion, State::Loading, State::MainMenu},
         false},
        {"leave the game, yes: the sixth item; the program ends",
         5,
         1,
         {State::Race, State::PauseMenu, State::ExitQuestion, State::Quit},
         true},
    };
    for (const Row& row : rows) {
        std::string script =
            walkIntoRace(at.walkUntil) + softKey(at.pause) + tap(at.item, kFreeX, itemY(row.item));
        if (row.answer >= 0)
            script += tap(at.answer, kFreeX, answerY(row.answer));
        script += std::to_string(at.quit) + " quit\n";
        const RaceRun run = race(root.path(), 0, script);
        EXPECT_EQ(run.status, 0) << row.flow << "\n" << run.output;
        EXPECT_TRUE(startsWith(run.fromRace, row.trace)) << row.flow << ": " << text(run.fromRace);
        if (row.ends) {
            EXPECT_EQ(run.fromRace, row.trace) << row.flow << ": nothing after the end";
        }
    }
}

TEST_F(RaceFlow, AFinishedRaceShowsItsResultsThenOffersTheNextRaceOnlyWhenItsTrackIsUnlocked) {
    // When, in virtual ms: the end of the taps into the race; taps on the
    // free spot from after the finish (the demo races of rows 1 and 2 end
    // between 220 and 240 s, and the results wait for a tap once their rows
    // are shown); the left soft key, which takes the after-race menu's first
    // answer; the end of the run.
    struct Times {
        int walkUntil, tapsFrom, tapsTo, tapEvery, choose, quit;
    };
    const Times at{7700, 250000, 280000, 2000, 285000, 290000};
    struct Row {
        const char* flow;
        int raceRow;
        std::vector<State> trace;
    };
    const Row rows[] = {
        {"the next track is unlocked: the first of three answers loads the next race",
         1,
         {State::Race, State::RaceResults, State::RaceEndMenu, State::Loading}},
        {"the next track is locked: the first of two answers restarts the race",
         2,
         {State::Race, State::RaceResults, State::RaceEndMenu, State::TrackFlyover}},
    };
    for (const Row& row : rows) {
        std::string script = walkIntoRace(at.walkUntil) + taps(at.tapsFrom, at.tapsTo, at.tapEvery) +
                             softKey(at.choose) + std::to_string(at.quit) + " quit\n";
        const RaceRun run = race(root.path(), row.raceRow, script);
        EXPECT_EQ(run.status, 0) << row.flow << "\n" << run.output;
        EXPECT_TRUE(startsWith(run.fromRace, row.trace)) << row.flow << ": " << text(run.fromRace);
    }
}

} // namespace
