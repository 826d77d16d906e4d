#pragma once

// The game started as the shell starts it, on a data set that mkdata makes,
// without the platform's run loop and without the game thread: the test's
// thread drives frames through `OrvelLib::runFrame`. Also the game run whole
// in-process (`runWholeGame`), with its thread, on the headless host.

#include "game/Game.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/framework/cGame.h"
#include "game/frontend/Loading.h"
#include "game/frontend/QuickRace.h"
#include "host/headless/HeadlessHost.h"
#include "platform/app/Application.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/lcdui/Image.h"
#include "platform/shell/Program.h"
#include "platform/shell/Shell.h"
#include "tests/support/DemoSet.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/AppJad.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace framework_testing {

// A change a test makes to the demo set before it is written; cleared with
// the registries' change below.
inline void (*s_editDemoSet)(mkdata::ProgramFolder& demo) = nullptr;
// A program folder made beforehand, written in place of a new demo set (a
// caller that starts many games saves making the set each time); cleared
// with the registries' change below.
inline const mkdata::ProgramFolder* s_programFolder = nullptr;

// Writes the demo set to `folder`, with `properties` as its app.jad when given.
inline void writeDemoSet(const std::filesystem::path& folder,
                         const std::vector<datakit::Property>& properties = {}) {
    mkdata::ProgramFolder demo = s_programFolder ? *s_programFolder : testing_support::demoSet();
    if (s_editDemoSet)
        s_editDemoSet(demo);
    if (!properties.empty()) {
        for (datakit::ArchiveEntry& entry : demo.archive) {
            if (entry.name == u"app.jad")
                entry = datakit::archiveEntry("app.jad", datakit::writeAppJad(properties));
        }
    }
    ASSERT_TRUE(mkdata::writeProgramFolder(demo, folder).ok());
}

// The answers to the yes/no questions a started game asks, in order;
// cleared with the registries' change below.
inline std::vector<bool> s_answers;

// The registries a test changes, on top of the game's; applied after
// `registerGame` at start-up.
inline void (*s_register)() = nullptr;

inline platform::StartupHooks testHooks(bool ownLoop) {
    platform::StartupHooks hooks = game::startupHooks();
    if (s_register)
        s_register();
    auto statics = hooks.initializeStatics;
    hooks.initializeStatics = [statics, ownLoop] {
        platform::StartupResult result = statics();
        if (ownLoop)
            game::config().s_noLoopThread = 1;
        return result;
    };
    return hooks;
}

struct StartedGame {
    explicit StartedGame(const std::vector<datakit::Property>& properties = {}) {
        writeDemoSet(folder.path(), properties);
        host::HeadlessOptions options;
        options.script.answers = s_answers;
        options.folders.programFolder = folder.path().string();
        host = host::makeHeadlessHost(std::move(options));
        shell = std::make_unique<platform::Shell>(*host, testHooks(true));
        started = host->window().open(platform::kWindowClass, platform::kWindowTitle).ok() &&
                  impl().openDisplay(u"GDI");
        if (started) {
            startup = impl().init();
            started = startup.ok();
        }
        impl().setActive(true);
    }
    ~StartedGame() {
        shell->cleanup();
        s_register = nullptr;
        s_editDemoSet = nullptr;
        s_programFolder = nullptr;
        s_answers.clear();
    }

    platform::ApplicationImpl& impl() { return shell->applicationImpl(); }
    platform::Application& application() { return *impl().getApplication(); }
    game::cGame* canvas() { return game::loopStatics().s_gameInstance; }
    bool frame() { return canvas()->runFrame(); }

    testing_support::LogCapture log;
    testing_support::TemporaryFolder folder{"vorlax-game"};
    std::unique_ptr<host::HeadlessHost> host;
    std::unique_ptr<platform::Shell> shell;
    bool started = false;
    // What the application's start-up answered (ready when it did not run).
    platform::StartupResult startup = platform::StartupResult::ready();
};

// Runs the frames of a race's load in the loading state (a quick race's, or
// one `startQuickRace` asked for) and taps the screen once the load is done
// and its prompt waits; true when the race's first state is entered within
// `maxFrames` frames.
inline bool runRaceLoad(StartedGame& game, int maxFrames = 600) {
    bool loading = false;
    for (int f = 0; f < maxFrames; ++f) {
        const game::State state = game::stateStatics().s_state;
        loading = loading || state == game::State::Loading;
        if (loading && (state == game::State::TrackFlyover || state == game::State::RaceCountdown))
            return true;
        if (!game.frame())
            return false;
        if (game::stateStatics().s_state == game::State::Loading && game::loadingStatics().s_loadingDone) {
            game::pointerPressed(10, 10);
            if (!game.frame())
                return false;
            game::pointerReleased(10, 10);
        }
    }
    return false;
}

// Every pixel of `image` as getRGB gives it, rows top-down.
inline std::vector<std::int32_t> pixels(platform::javax_microedition_lcdui_Image* image) {
    std::int32_t width = image->getWidth();
    std::int32_t height = image->getHeight();
    rt::IntArray* out = rt::newIntArray(width * height);
    image->getRGB(out, 0, width, 0, 0, width, height);
    return std::vector<std::int32_t>(out->elements(), out->elements() + width * height);
}

// Runs `vorlax --headless --race ROW --script SCRIPT --hashes FOLDER/hashes.txt
// EXTRA... FOLDER` in this process, with the game thread, `watch` called at
// every painted frame (as the state hash); the registries' change in
// `s_register` applies. Answers the exit status.
inline int runQuickRaceProgram(const std::filesystem::path& folder, std::int32_t row,
                               const std::filesystem::path& script, std::uint64_t (*watch)(),
                               const std::vector<std::string>& extra = {}) {
    platform::ProgramParts parts;
    parts.startup = testHooks(false);
    parts.startup.stateHash = watch;
    const std::vector<std::string> words = [&] {
        std::vector<std::string> w = {
            "vorlax",   "--headless",    "--race",   std::to_string(row),
            "--script", script.string(), "--hashes", (folder / "hashes.txt").string()};
        w.insert(w.end(), extra.begin(), extra.end());
        w.push_back(folder.string());
        return w;
    }();
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    const int status = platform::runProgram(argv, parts);
    s_register = nullptr;
    return status;
}

// Runs the game as `vorlax --headless --script` does, in this process, with
// the game thread; answers the exit status.
inline int runWholeGame(const std::filesystem::path& folder, const std::string& script) {
    std::filesystem::path scriptPath = folder / "script.txt";
    std::ofstream(scriptPath) << script;
    platform::ProgramParts parts;
    parts.startup = testHooks(false);
    std::string program = "vorlax";
    std::string scriptFile = scriptPath.string();
    std::string folderName = folder.string();
    const char* argv[] = {program.c_str(), "--headless", "--script", scriptFile.c_str(), folderName.c_str()};
    int status = platform::runProgram(argv, parts);
    s_register = nullptr;
    s_editDemoSet = nullptr;
    return status;
}

} // namespace framework_testing
