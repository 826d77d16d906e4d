// Loads a race whose data holds the input: the input's first byte picks an
// entry of the race set (merged over the demo set) and the race, the rest of
// the input replaces that entry's bytes (its header byte included). The
// game starts headless, the splash runs the menus' load, the main menu
// starts the race, the loading state
// runs the race load behind its bar, a tap answers the prompt, and 50 frames
// of the race's first states follow.
//
// Byte 0 names the entry and the race (RaceLoadInput.h).
//
// Checked: start-up takes the set or refuses it as broken (it reads the
// racers, and its load the events); the load ends within its frame budget (40 steps and one frame
// per slot of the second table's walk), and either it completes, no line
// says a load was abandoned and a race state follows; or it is abandoned
// with exactly one line naming kind 2, the menus load, the notice that
// the race could not be loaded waits for a tap and the main menu comes back
// as deep in the state stack as before, without a race state entered. Every frame returns, the state stack
// stays within its bound, and no runtime check reports anything: what the
// loaders take, the race can index.

#include "fuzz/DemoSetApart.h"
#include "fuzz/Harness.h"
#include "fuzz/RaceLoadInput.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/frontend/RaceLoader.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/frontend/RaceSetFolder.h"
#include "tests/game/frontend/RaceStart.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzzing::check;

constexpr std::size_t kMaxInput = 1 << 16;
constexpr int kRaceFrames = 50;
// Frames of the race load: one per step, one per slot the second table's
// walk passes (its marked slots take a step's frame of their own), and the
// frame that enters the loading state.
constexpr int kLoadFrameBudget = game::kRaceLoadSteps + game::kObjectSpriteSlots + 1;
// Frames to the main menu after an abandoned load: the menus' load behind
// the same bar, and a frame to leave it.
constexpr int kMenuFrameBudget = game::kMenuLoadSteps + 2;
// Frames from the splash to the race load: the menus' load, whose two walks
// over the sprite table take a frame per marked slot, and the screens around it.
constexpr int kStartFrameBudget = game::kMenuLoadSteps + 2 * game::kSpriteCount + 20;
// The prompt after the load waits for the tap, given on the frame after.
constexpr int kPromptFrames = 3;

// The states a race runs in.
constexpr std::array<game::State, 9> kRaceStates = {
    game::State::PauseMenu,     game::State::RaceOptions, game::State::RaceHelp,
    game::State::RaceEndMenu,   game::State::RacerIntro,  game::State::TrackFlyover,
    game::State::RaceCountdown, game::State::Race,        game::State::RaceResults};

// The input's run, for the state handlers (plain functions).
struct Run {
    std::int32_t track = 0;
    game::GameMode mode = game::GameMode::LapRace;
    bool menusAsked = false;
    int menuEntries = 0;
    std::vector<std::int32_t> menuDepths;
    bool raceEntered = false;
    std::array<game::StateHandler, kRaceStates.size()> raceHandlers{};
};
Run s_run;

// The main menu's first update starts the race; it records each entry.
void mainMenu(std::int32_t message) {
    game::StateStatics& states = game::stateStatics();
    if (message == game::kEnter) {
        ++s_run.menuEntries;
        s_run.menuDepths.push_back(states.s_stateStackDepth);
        return;
    }
    if (message != game::kUpdate || states.s_stateFrames != 0 || s_run.menuEntries != 1)
        return;
    frontend_testing::startRaceLoad(s_run.track, s_run.mode);
}

// Every race state's handler: notes the race, then runs the game's own.
void raceState(std::int32_t message) {
    s_run.raceEntered = true;
    const game::State state = game::stateStatics().s_state;
    for (std::size_t i = 0; i < kRaceStates.size(); ++i)
        if (kRaceStates[i] == state && s_run.raceHandlers[i])
            s_run.raceHandlers[i](message);
}

void registerHandlers() {
    // The splash starts the menus' load, which loads what every screen and
    // the race take from it (the fonts among them), and the main menu follows.
    game::setStateHandler(game::State::Splash, [](std::int32_t message) {
        if (message != game::kUpdate || s_run.menusAsked)
            return;
        s_run.menusAsked = true;
        game::startLoading(game::kLoadMenus, game::State::MainMenu);
    });
    game::setStateHandler(game::State::MainMenu, mainMenu);
    for (std::size_t i = 0; i < kRaceStates.size(); ++i) {
        s_run.raceHandlers[i] = game::stateHandler(kRaceStates[i]);
        game::setStateHandler(kRaceStates[i], raceState);
    }
}

// The demo set with the race set, and the race set's packs, made once.
struct Base {
    mkdata::ProgramFolder folder;
    std::vector<frontend_testing::RaceSetPackFile> packs;
};

// The base as bytes: the folder as the demo set goes (DemoSetApart.h), then
// the packs' count and each pack's constant string, file name and entries.
datakit::Bytes serialized(const Base& base) {
    datakit::Bytes out = fuzzing::detail::serialized(base.folder);
    fuzzing::detail::appendU32(out, base.packs.size());
    for (const frontend_testing::RaceSetPackFile& pack : base.packs) {
        fuzzing::detail::appendU32(out, static_cast<std::size_t>(pack.constantString));
        fuzzing::detail::appendUnits(out, pack.file);
        fuzzing::detail::appendU32(out, pack.entries.size());
        for (const datakit::Bytes& entry : pack.entries)
            fuzzing::detail::appendText(out, entry);
    }
    return out;
}

Base deserialized(const datakit::Bytes& bytes) {
    fuzzing::detail::Reader in(bytes);
    Base base;
    base.folder = fuzzing::detail::readFolder(in);
    base.packs.resize(in.u32());
    for (frontend_testing::RaceSetPackFile& pack : base.packs) {
        pack.constantString = static_cast<std::int32_t>(in.u32());
        pack.file = in.units();
        pack.entries.resize(in.u32());
        for (datakit::Bytes& entry : pack.entries)
            entry = in.text();
    }
    return base;
}

// Made in a child process (DemoSetApart.h): the race set's sprites are
// painted as the demo set's are, and what that frees would stay resident
// here.
Base madeBase() {
    return deserialized(fuzzing::detail::bytesMadeApart([] {
        Base base{mkdata::makeDemoSet(), frontend_testing::raceSetPackFiles()};
        for (const frontend_testing::RaceSetPackFile& pack : base.packs)
            frontend_testing::putPack(base.folder, pack);
        return serialized(base);
    }));
}

bool raceLoading() {
    return game::stateStatics().s_state == game::State::Loading &&
           (game::stateStatics().s_loadKind & game::kLoadRace) != 0;
}

bool isAbandonLine(const std::string& line) {
    return line.find(" abandoned at step ") != std::string::npos;
}

const Base& base() {
    static const Base made = madeBase();
    return made;
}

} // namespace

// The demo set is made before the first input: it takes seconds under the
// sanitizers, which would count against that input's time limit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)base();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > kMaxInput)
        return 0;
    const Base& made = base();
    const fuzzing::RaceLoadTarget target = fuzzing::raceLoadTarget(data[0]);
    s_run = Run{};
    s_run.track = target.track;
    s_run.mode = target.mode;

    mkdata::ProgramFolder folder = made.folder;
    for (const frontend_testing::RaceSetPackFile& pack : made.packs) {
        if (pack.constantString != target.pack)
            continue;
        check(target.entry < pack.entries.size());
        frontend_testing::RaceSetPackFile changed = pack;
        changed.entries[target.entry].assign(data + 1, data + size);
        frontend_testing::putPack(folder, changed);
    }

    framework_testing::s_programFolder = &folder;
    framework_testing::s_register = registerHandlers;
    // Declared before the game: a runtime check report anywhere in the run,
    // start-up and the game's own teardown included, fails the input.
    fuzzing::FailOnRuntimeReport reports;
    framework_testing::StartedGame game;
    // The racers are read at start-up, which refuses a racer it cannot
    // drive: a broken data set, with its line.
    if (!game.started) {
        check(game.startup.status() == platform::ExitStatus::BrokenDataSet &&
              !game.startup.message().empty());
        return 0;
    }

    // Through the menus' load up to the race load's loading state. The
    // event entries are read by the start-up load, which ends the run on one
    // it cannot use: a broken data set, with its line.
    int frames = 0;
    while (!raceLoading() && frames < kStartFrameBudget) {
        const bool running = game.frame();
        if (const platform::StartupResult verdict = game.impl().runVerdict(); !verdict.ok()) {
            check(verdict.status() == platform::ExitStatus::BrokenDataSet && !verdict.message().empty());
            return 0;
        }
        check(running);
        ++frames;
    }
    check(raceLoading());
    // The first frame enters the loading state, which starts the race's
    // bar (the menus' load left its own finished).
    int loadFrames = 0;
    do {
        check(loadFrames++ < kLoadFrameBudget);
        check(game.frame());
        check(game::stateStatics().s_stateStackDepth <= game::kStateStackSize);
    } while (!game::loadingStatics().s_loadingDone && s_run.menuEntries < 2);

    std::vector<std::string> abandoned;
    for (const std::string& line : game.log.lines())
        if (isAbandonLine(line))
            abandoned.push_back(line);
    if (game::loadingStatics().s_loadingDone && abandoned.empty() && s_run.menuEntries == 1) {
        // The load completed: the prompt, a tap, and the race's first frames.
        for (int f = 0; f < kPromptFrames && !s_run.raceEntered; ++f) {
            game::pointerPressed(10, 10);
            check(game.frame());
            game::pointerReleased(10, 10);
            check(game.frame());
        }
        check(s_run.raceEntered);
        for (int f = 0; f < kRaceFrames; ++f) {
            check(game.frame());
            check(game::stateStatics().s_stateStackDepth <= game::kStateStackSize);
        }
        for (const std::string& line : game.log.lines())
            check(!isAbandonLine(line));
        return 0;
    }

    // The load was abandoned: one line for kind 2, then the menus' load,
    // the notice that the race could not be loaded, which waits for a tap,
    // and the main menu, without a race.
    for (int f = 0; f < kMenuFrameBudget && !game::loadingStatics().s_loadingDone; ++f)
        check(game.frame());
    for (int f = 0; f < kPromptFrames; ++f)
        check(game.frame());
    check(game::stateStatics().s_state == game::State::Loading && game::loadingStatics().s_raceLoadFailed);
    game::pointerPressed(10, 10);
    for (int f = 0; f < kPromptFrames && s_run.menuEntries < 2; ++f)
        check(game.frame());
    game::pointerReleased(10, 10);
    abandoned.clear();
    for (const std::string& line : game.log.lines())
        if (isAbandonLine(line))
            abandoned.push_back(line);
    check(abandoned.size() == 1);
    check(abandoned[0].starts_with("load of kind 2 abandoned at step "));
    check(s_run.menuEntries == 2);
    check(game::stateStatics().s_state == game::State::MainMenu);
    check(s_run.menuDepths.size() == 2 && s_run.menuDepths[1] == s_run.menuDepths[0]);
    check(!s_run.raceEntered);
    return 0;
}
