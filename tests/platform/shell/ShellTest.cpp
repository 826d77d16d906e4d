// Whole runs of the shell (the process's start, run loop and cleanup) on the
// headless host with the test MIDlet, driven by scripts.

#include "platform/shell/Shell.h"

#include "host/headless/HeadlessHost.h"
#include "host/system/SystemInstanceLock.h"
#include "platform/app/Application.h"
#include "platform/io/Connector.h"
#include "runtime/Runtime.h"
#include "tests/support/GuestTask.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StartedApplication.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestMidlet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using testing_support::MidletRecord;
using testing_support::TestMidlet;
using Calls = std::vector<std::string>;

struct Run {
    std::unique_ptr<host::HeadlessHost> host;
    int result = 0;
};

host::HeadlessOptions optionsWithScript(const char* script) {
    host::HeadlessOptions options;
    auto parsed = host::parseScript(script);
    EXPECT_TRUE(parsed.ok()) << parsed.error().message;
    options.script = std::move(parsed).value();
    options.hashFrames = true;
    return options;
}

// Runs the shell to its end; the host stays for the test to look at.
Run runShell(host::HeadlessOptions options, MidletRecord& record) {
    Run run;
    run.host = host::makeHeadlessHost(std::move(options));
    platform::Shell shell(*run.host, testing_support::midletHooks(record));
    run.result = platform::exitCode(shell.run().status());
    return run;
}

std::vector<std::uint64_t> expectedFrameHashes(int frames, int width = 480, int height = 640) {
    std::vector<std::uint64_t> hashes;
    for (int frame = 0; frame < frames; ++frame) {
        std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width * height),
                                          testing_support::rgb565(testing_support::frameColour(frame)));
        hashes.push_back(host::hashFrame(pixels));
    }
    return hashes;
}

TEST(Shell, PaintsFramesDeliversKeysAndEndsCleanlyWhenTheMidletIsDestroyed) {
    MidletRecord record;
    auto run = runShell(optionsWithScript(R"(
0 activate
0 focus-gained
100 key-down F1
+0 key-up F1
+0 key-down F2
+0 key-down LEFT
+0 key-down A
+0 key-up A
+0 key-down F7
+0 key-up F7
+0 key-up F7
+0 key-down F6
+0 key-up F6
300 key-up Q
)"),
                        record);
    EXPECT_EQ(run.result, 0);
    Calls expected = {
        "startApp",       "startApp",       "showNotify",      "keyPressed -6",
        "keyReleased -6", "keyPressed -7",  "keyPressed -999", "keyPressed 65",
        "keyReleased 65", "keyReleased 81", "destroyApp true",
    };
    EXPECT_EQ(record.calls(), expected);
    // The host's master volume, two steps down from full and one up: the left
    // level is 65535 - 6553, and the right channel follows it.
    EXPECT_EQ(run.host->audio().masterVolume(), (65535u - 6553u) | (65535u - 6553u) << 16);

    int painted = record.painted;
    EXPECT_GE(painted, 7) << "a frame every 40 ms for 300 ms";
    EXPECT_EQ(run.host->headlessScreen().frameHashes(), expectedFrameHashes(painted));
    EXPECT_EQ(record.made, record.freed) << "the final collection frees every object";
    EXPECT_EQ(rt::Runtime::currentOrNull(), nullptr) << "the runtime and its heaps are gone";
    EXPECT_EQ(platform::ApplicationImpl::current(), nullptr);
}

TEST(Shell, FocusLossPausesTheMidletAndSwallowsTheNextStylusRelease) {
    MidletRecord record;
    host::HeadlessOptions options = optionsWithScript(R"(
0 activate
0 focus-gained
100 stylus-down 120 160
+10 stylus-move 130 170
+10 stylus-up 130 170
150 power suspend
+0 power idle
+40 power on
200 deactivate
+0 focus-lost
+10 stylus-move 5 5
+10 stylus-up 5 5
300 activate
+0 focus-gained
+10 stylus-down 30 40
+10 stylus-up 30 40
400 key-up Q
)");
    options.screenSize = {240, 320};
    auto run = runShell(std::move(options), record);
    ASSERT_EQ(run.result, 0);
    Calls expected = {
        "startApp",
        "startApp",
        "showNotify",
        "pointerPressed 240 320",
        "pointerDragged 260 340",
        "pointerReleased 260 340",
        // Two power transitions away pause once; the next turn's orientation
        // test finds the display upright and resumes.
        "pauseApp",
        "hideNotify",
        "startApp",
        "showNotify",
        "pauseApp",
        "hideNotify",
        "startApp",
        "showNotify",
        "pointerPressed 60 80",
        "pointerReleased 60 80",
        "keyReleased 81",
        "destroyApp true",
    };
    EXPECT_EQ(record.calls(), expected);
    for (std::uint32_t time : record.paintTimes)
        EXPECT_FALSE(time > 200 && time < 300) << "painted at " << time << " while the window was inactive";
}

TEST(Shell, AWrongOrientationHoldsPaintingAndShowsPleaseWait) {
    MidletRecord record;
    auto run = runShell(optionsWithScript(R"(
0 activate
0 focus-gained
200 orientation 1
300 key-up Q
400 orientation 0
)"),
                        record);
    ASSERT_EQ(run.result, 0);
    Calls expected = {"startApp",   "startApp",       "showNotify",     "pauseApp",
                      "hideNotify", "keyReleased 81", "destroyApp true"};
    EXPECT_EQ(record.calls(), expected);
    ASSERT_FALSE(record.paintTimes.empty());
    EXPECT_LE(record.paintTimes.back(), 210u) << "nothing is painted while the display is turned";

    // The run ended while the display was turned: the last frame is the
    // "Please wait" screen, black but for red text from the middle down.
    std::vector<std::uint16_t> last = run.host->headlessScreen().lastFrame();
    ASSERT_EQ(last.size(), 480u * 640u);
    EXPECT_TRUE(std::all_of(last.begin(), last.begin() + 480 * 320, [](std::uint16_t p) { return p == 0; }));
    auto lit = std::count_if(last.begin() + 480 * 320, last.end(), [](std::uint16_t p) { return p != 0; });
    auto red =
        std::count_if(last.begin() + 480 * 320, last.end(), [](std::uint16_t p) { return p == 0xF800; });
    EXPECT_GT(red, 20) << "the text's solid pixels are red";
    EXPECT_TRUE(
        std::all_of(last.begin() + 480 * 320, last.end(), [](std::uint16_t p) { return (p & 0x07FF) == 0; }))
        << "text edges mix red into black, nothing else: " << lit << " lit pixels";
}

TEST(Shell, ThePlatformRequestAsksBeforeTheBrowserGetsTheAddress) {
    MidletRecord record;
    // 'W' asks from the window thread, 'G' from the game thread.
    std::atomic<bool> askFromGame{false};
    record.onKeyReleased = [&](TestMidlet& midlet, std::int32_t key) {
        if (key == 'W') {
            EXPECT_FALSE(midlet.platformRequest(rt::String::newFromCString("http://yes.example/")));
        }
        if (key == 'G')
            askFromGame = true;
    };
    record.afterFrame = [&](TestMidlet& midlet) {
        if (askFromGame.exchange(false)) {
            EXPECT_FALSE(midlet.platformRequest(rt::String::newFromCString("http://no.example/")));
        }
    };
    auto run = runShell(optionsWithScript(R"(
answer yes
answer no
0 activate
0 focus-gained
100 key-up W
200 key-up G
400 key-up Q
)"),
                        record);
    ASSERT_EQ(run.result, 0);
    auto asked = run.host->headlessDialogs().asked();
    ASSERT_EQ(asked.size(), 2u);
    for (const auto& question : asked) {
        EXPECT_EQ(question.caption, "Vorlax Rally");
        EXPECT_EQ(question.text, "Do you want to connect to the Internet?");
    }
    EXPECT_EQ(run.host->headlessBrowser().opened(), std::vector<std::string>{"http://yes.example/"});
}

// The caller's characters may move while it waits (a string's units in the
// buffer heap, compacted meanwhile): the window thread must not read them.
// Here they are overwritten while the call waits, as a move would leave them.
TEST(Shell, ThePlatformRequestCopiesTheAddressBeforeTheCallerWaits) {
    testing_support::StartedApplication app(false, {}, "answer yes\n");
    ASSERT_TRUE(app.started);
    std::u16string address = u"http://original.example/";
    std::atomic<bool> calling{false};
    std::atomic<bool> returned{false};
    testing_support::startGuestTask([&] {
        calling = true;
        app.shell->platformRequest(address);
        returned = true;
    });
    testing_support::awaitAsGuest([&] { return calling.load(); });
    rt::java_lang_Thread::sleep(50); // the caller queues its call and waits
    ASSERT_FALSE(returned);
    std::fill(address.begin(), address.end(), u'x');
    app.shell->pumpMessages();
    testing_support::awaitAsGuest([&] { return returned.load(); });
    EXPECT_EQ(app.host->headlessBrowser().opened(), std::vector<std::string>{"http://original.example/"});
}

TEST(Shell, ConnectionErrorsShowTheirBoxOnTheWindowThread) {
    MidletRecord record;
    // An empty host is not an address: the socket shows its error box at once.
    auto openSocket = [] {
        EXPECT_NE(
            platform::javax_microedition_io_Connector::open(rt::String::newFromCString("socket://:5000")),
            nullptr);
    };
    std::atomic<bool> openFromGame{false};
    record.onKeyReleased = [&](TestMidlet&, std::int32_t key) {
        if (key == 'W')
            openSocket();
        if (key == 'G')
            openFromGame = true;
    };
    record.afterFrame = [&](TestMidlet&) {
        if (openFromGame.exchange(false))
            openSocket();
    };
    auto run = runShell(
        optionsWithScript("0 activate\n0 focus-gained\n100 key-up W\n200 key-up G\n400 key-up Q\n"), record);
    ASSERT_EQ(run.result, 0);
    using Message = host::HeadlessDialogs::Message;
    std::vector<Message> expected(2, Message{"WinSocketClient::Connect-> Invalid address", ""});
    EXPECT_EQ(run.host->headlessDialogs().errorsShown(), expected);
}

TEST(Shell, APaintThatThrowsLeavesThePaintingFlagsFree) {
    MidletRecord record;
    record.onPaint = [](platform::javax_microedition_lcdui_Graphics*, int frame) {
        if (frame == 1)
            rt::raise(rt::ClassId::java_lang_IllegalStateException);
    };
    int caught = 0;
    record.afterFrame = [&](TestMidlet&) {
        if (rt::catchException(rt::ClassId::java_lang_IllegalStateException))
            ++caught;
    };
    auto run = runShell(optionsWithScript("0 activate\n0 focus-gained\n300 key-up Q\n"), record);
    ASSERT_EQ(run.result, 0);
    EXPECT_EQ(caught, 1) << "the exception reaches the game loop";
    EXPECT_GE(record.painted, 5) << "frames go on after the one that threw";
}

TEST(Shell, ASecondInstanceExitsAtOnce) {
    testing_support::TemporaryFolder folder("vorlax-instance");
    host::SystemInstanceLock first(folder.path().string());
    ASSERT_EQ(first.acquire(platform::kWindowClass, platform::kWindowTitle).value(),
              host::InstanceState::Only);

    MidletRecord record;
    host::HeadlessOptions options = optionsWithScript("0 activate\n0 focus-gained\n");
    options.instanceLockFolder = folder.path().string();
    testing_support::LogCapture log;
    auto run = runShell(std::move(options), record);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(record.calls().empty()) << "no MIDlet was started";
    EXPECT_FALSE(run.host->window().isOpen());
    EXPECT_TRUE(log.contains("vorlax: Vorlax Rally is already running."));
}

// The log switch sends the log to "log.txt" in the program folder. Where
// that file cannot be written (a folder holds its name), the start ends
// before the window opens or the MIDlet starts, saying why.
TEST(Shell, TheLogSwitchWritesLogTxtInTheProgramFolderOrEndsTheStart) {
    for (const bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "writable" : "a folder named log.txt");
        testing_support::TemporaryFolder folder("vorlax-log");
        const std::filesystem::path logFile = folder.path() / "log.txt";
        if (!writable)
            std::filesystem::create_directory(logFile);
        MidletRecord record;
        host::HeadlessOptions options = optionsWithScript("0 activate\n0 focus-gained\n200 quit\n");
        options.folders.programFolder = folder.path().string();
        auto host = host::makeHeadlessHost(std::move(options));
        platform::ShellOptions shellOptions;
        shellOptions.logToFile = true;
        testing_support::LogCapture log;
        platform::StartupResult result =
            platform::Shell(*host, testing_support::midletHooks(record), shellOptions).run();
        host::logLine(host::LogCategory::Platform, "after the run");
        EXPECT_EQ(log.lines(), std::vector<std::string>{"after the run"})
            << "the log is put back after the run";
        if (writable) {
            EXPECT_TRUE(result.ok()) << result.message();
            std::ifstream file(logFile);
            const std::string text{std::istreambuf_iterator<char>(file), {}};
            EXPECT_NE(text.find("InitInstance: SHFullscreen returned 1."), std::string::npos) << text;
            EXPECT_EQ(record.count("destroyApp true"), 1);
        } else {
            EXPECT_EQ(result.status(), platform::ExitStatus::CannotStart);
            EXPECT_EQ(result.message(), "cannot write the log to " + logFile.string() + ": Is a directory");
            EXPECT_TRUE(record.calls().empty());
            EXPECT_FALSE(host->window().isOpen());
        }
    }
}

TEST(Shell, ADisplayThatCannotOpenEndsTheStart) {
    MidletRecord record;
    auto run = runShell(optionsWithScript("fault no-dib-section\n"), record);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(record.calls().empty());
    EXPECT_EQ(platform::ApplicationImpl::current(), nullptr);
}

// A thread that never ends cannot stop the shutdown: it is held for good and
// the heaps are kept. The process then ends (here a child process) without a
// hang.
TEST(Shell, AThreadThatNeverEndsIsHeldAtShutdown) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto runWithAStraggler = [] {
        MidletRecord record;
        record.onStart = [](TestMidlet&) {
            rt::make<testing_support::GuestTask>([] {
                for (;;)
                    rt::java_lang_Thread::sleep(10);
            })->start();
        };
        testing_support::LogCapture log;
        auto run = runShell(optionsWithScript("0 activate\n0 focus-gained\n100 key-up Q\n"), record);
        bool said =
            log.contains("Application::close: 1 runtime thread(s) did not end; they are held and the heaps "
                         "are kept");
        std::_Exit(run.result == 0 && said && record.count("destroyApp true") == 1 ? 0 : 1);
    };
    EXPECT_EXIT(runWithAStraggler(), testing::ExitedWithCode(0), "");
}

} // namespace
