#include "host/headless/HeadlessHost.h"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::unique_ptr<host::HeadlessHost> hostWithScript(const char* text, std::uint32_t quitAfterFrames = 0) {
    host::HeadlessOptions options;
    auto script = host::parseScript(text);
    EXPECT_TRUE(script.ok());
    options.script = std::move(script).value();
    options.quitAfterFrames = quitAfterFrames;
    return host::makeHeadlessHost(std::move(options));
}

std::vector<host::WindowEventType> drain(host::Window& window) {
    std::vector<host::WindowEventType> types;
    host::WindowEvent event;
    while (window.pollEvent(event))
        types.push_back(event.type);
    return types;
}

TEST(HeadlessWindow, EventsArriveOnceTheirTimeHasComeAndFocusFollowsThem) {
    auto h = hostWithScript("0 focus-gained\n100 focus-lost\n100 key-down A\n250 focus-gained\n");
    host::Window& window = h->window();
    EXPECT_TRUE(drain(window).empty()) << "nothing arrives before the window is open";
    EXPECT_FALSE(window.isForeground());
    ASSERT_TRUE(window.open("BrivantaClass", "Brivanta - Vorlax Rally").ok());
    EXPECT_FALSE(window.open("BrivantaClass", "again").ok());

    using T = host::WindowEventType;
    EXPECT_EQ(drain(window), (std::vector<T>{T::FocusGained}));
    EXPECT_TRUE(window.isForeground());
    h->clock().sleep(99);
    EXPECT_TRUE(drain(window).empty());
    h->clock().sleep(1);
    EXPECT_EQ(drain(window), (std::vector<T>{T::FocusLost, T::KeyDown}));
    EXPECT_FALSE(window.isForeground());
    window.bringToFront();
    EXPECT_TRUE(window.isForeground());
    window.minimize();
    EXPECT_FALSE(window.isForeground());
    h->clock().sleep(200);
    EXPECT_EQ(drain(window), (std::vector<T>{T::FocusGained}));
    EXPECT_TRUE(window.isForeground());
}

TEST(HeadlessFrames, EachFrameSeesItsLinesTimeAndTakesItsLinesEvents) {
    auto h = hostWithScript(
        "seed -7\n0 activate\nframe 10\nframe 20 key-down A, stylus-down 3 4\nframe 30 quit\n");
    host::Window& window = h->window();
    ASSERT_TRUE(window.open("BrivantaClass", "Vorlax Rally").ok());
    EXPECT_EQ(h->clock().randomSeed(), -7);

    using T = host::WindowEventType;
    EXPECT_EQ(h->clock().tickCount(), 10u);
    EXPECT_EQ(drain(window), (std::vector<T>{T::Activate})) << "frame 1's events wait for frame 0";
    h->clock().sleep(500);
    EXPECT_EQ(h->clock().tickCount(), 10u) << "the virtual time does not move the frame clock";
    h->screen().present();
    EXPECT_EQ(h->clock().tickCount(), 30u);
    EXPECT_EQ(drain(window), (std::vector<T>{T::KeyDown, T::StylusDown}));
    h->screen().present();
    EXPECT_EQ(h->clock().tickCount(), 60u);
    EXPECT_EQ(drain(window), (std::vector<T>{T::Quit}));
    h->screen().present();
    EXPECT_EQ(h->clock().tickCount(), 90u) << "past the last line, frames keep its milliseconds";

    // No frame for longer than the stall limit: the tick follows the virtual time again.
    h->clock().sleep(static_cast<std::uint32_t>(host::HeadlessFrames::kStallMs) + 250);
    EXPECT_EQ(h->clock().tickCount(), 340u);
    h->screen().present();
    EXPECT_EQ(h->clock().tickCount(), 370u) << "the tick never goes back";

    h.reset();
    auto plain = hostWithScript("0 activate\n");
    plain->clock().sleep(25);
    EXPECT_EQ(plain->clock().tickCount(), 25u);
    EXPECT_EQ(plain->clock().randomSeed(), 25) << "without a seed the tick seeds";
}

TEST(HeadlessScreen, CountsHashesAndWritesFramesAndQuitsAfterTheLastOne) {
    auto folder = std::filesystem::temp_directory_path() / ("vorlax-frames-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    host::HeadlessOptions options;
    options.frameFolder = folder.string();
    options.hashFrames = true;
    options.quitAfterFrames = 2;
    options.screenSize = {4, 2};
    auto h = host::makeHeadlessHost(std::move(options));
    ASSERT_TRUE(h->window().open("c", "t").ok());
    auto& screen = h->headlessScreen();
    EXPECT_FALSE(screen.writeLastFrame((folder / "none.png").string()).ok());

    std::span<std::uint16_t> pixels = screen.pixels();
    ASSERT_EQ(pixels.size(), 8u);
    pixels[0] = 0xF800;
    screen.present();
    EXPECT_TRUE(drain(h->window()).empty());
    pixels[7] = 0x001F;
    screen.present();
    EXPECT_EQ(drain(h->window()), (std::vector<host::WindowEventType>{host::WindowEventType::Quit}));

    std::vector<std::uint16_t> second = {0xF800, 0, 0, 0, 0, 0, 0, 0x001F};
    EXPECT_EQ(screen.frameCount(), 2u);
    EXPECT_EQ(screen.lastFrame(), second);
    EXPECT_EQ(screen.frameHashes().back(), host::hashFrame(second));
    EXPECT_NE(screen.frameHashes().front(), screen.frameHashes().back());

    // A PNG file of the screen's size: the signature, then the header chunk.
    std::ifstream file(folder / "frame-000002.png", std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 8),
              (std::vector<unsigned char>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    EXPECT_EQ(bytes[19], 4);
    EXPECT_EQ(bytes[23], 2);
    EXPECT_TRUE(std::filesystem::exists(folder / "frame-000001.png"));
    EXPECT_TRUE(screen.writeLastFrame((folder / "last.png").string()).ok());
    std::filesystem::remove_all(folder);
}

// A driver that answers after each present: its events arrive at the next
// poll, before a scripted event already due, and it sees each frame once.
TEST(HeadlessHost, EventsAnsweredAfterAPresentArriveBeforeScriptedOnes) {
    host::HeadlessOptions options;
    auto script = host::parseScript("0 key-down A\n");
    ASSERT_TRUE(script.ok());
    options.script = std::move(script).value();
    options.screenSize = {2, 2};
    int presents = 0;
    std::vector<std::uint16_t> seen;
    options.afterPresent = [&presents, &seen](std::span<const std::uint16_t> frame, std::uint64_t) {
        seen.assign(frame.begin(), frame.end());
        host::WindowEvent tap;
        tap.type = host::WindowEventType::StylusDown;
        tap.x = ++presents;
        return std::vector<host::WindowEvent>{tap};
    };
    auto h = host::makeHeadlessHost(std::move(options));
    ASSERT_TRUE(h->window().open("c", "t").ok());
    h->screen().present();
    h->screen().pixels()[3] = 0xF800;
    h->screen().present();
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{0, 0, 0, 0xF800})) << "the driver sees the frame presented";
    using T = host::WindowEventType;
    host::WindowEvent event;
    std::vector<std::pair<T, int>> arrived;
    while (h->window().pollEvent(event))
        arrived.emplace_back(event.type, event.x);
    EXPECT_EQ(arrived,
              (std::vector<std::pair<T, int>>{{T::StylusDown, 1}, {T::StylusDown, 2}, {T::KeyDown, 0}}));
}

TEST(HeadlessScreen, WritesAShotOfTheFirstFrameAndOfTheFirstFrameInEachPeriodOfVirtualTime) {
    auto folder = std::filesystem::temp_directory_path() / ("vorlax-shots-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    host::HeadlessOptions options;
    options.shotFolder = folder.string();
    options.shotPeriod = 5000;
    options.screenSize = {4, 2};
    auto h = host::makeHeadlessHost(std::move(options));
    auto& screen = h->headlessScreen();
    // (virtual ms slept before the frame) for each presented frame: shots at
    // 0 ms, 5.5 s (the period of 5 s) and 17.5 s (named after 15 s, the
    // last period it passed; one shot however many periods went by).
    for (std::uint32_t sleep : {0u, 3000u, 2500u, 100u, 12000u, 1000u}) {
        h->clock().sleep(sleep);
        screen.present();
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"shot-0000000.png", "shot-0005000.png", "shot-0015000.png"}));
    std::filesystem::remove_all(folder);
}

TEST(HeadlessScreen, HashesFramesOnlyWhenTheRunAsksForThem) {
    // Without asking, frames are counted and the last one kept, but not hashed.
    for (const char* script : {"", "hash-frames\n"}) {
        SCOPED_TRACE(script);
        auto h = hostWithScript(script);
        auto& screen = h->headlessScreen();
        std::span<std::uint16_t> pixels = screen.pixels();
        pixels[0] = 0x1234;
        screen.present();
        pixels[0] = 0x5678;
        screen.present();
        EXPECT_EQ(screen.frameCount(), 2u);
        EXPECT_EQ(screen.lastFrame()[0], 0x5678);
        EXPECT_EQ(screen.frameHashes().size(), *script ? 2u : 0u);
    }
}

TEST(HeadlessScreen, AFrameHashIsXxh3OfTheLittleEndianPixelBytes) {
    // The same bytes on every machine: each pixel low byte first.
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x1F, 0xF8};
    const std::uint16_t pixels[] = {0x0201, 0x0403, 0xF81F};
    EXPECT_EQ(host::hashFrame(pixels), XXH3_64bits(bytes, sizeof bytes));
    std::vector<std::uint16_t> frame(480 * 640, 0xF81F);
    EXPECT_EQ(host::hashFrame(frame), host::hashFrame(std::vector<std::uint16_t>(frame)));
    frame[480 * 640 - 1] = 0xF81E;
    EXPECT_NE(host::hashFrame(frame), host::hashFrame(std::vector<std::uint16_t>(480 * 640, 0xF81F)));
}

TEST(HeadlessHost, QuestionsBrowserAndDeviceAnswerAsToldAndAreRecorded) {
    auto h = hostWithScript("answer yes\n");
    EXPECT_TRUE(h->dialogs().askYesNo("Vorlax Rally", "Do you want to connect to the Internet?"));
    EXPECT_FALSE(h->dialogs().askYesNo("Vorlax Rally", "again?")) << "without a scripted answer: no";
    auto asked = h->headlessDialogs().asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "Do you want to connect to the Internet?");
    EXPECT_TRUE(asked[0].answer);

    EXPECT_TRUE(h->browser().open("http://example.invalid/").ok());
    EXPECT_EQ(h->headlessBrowser().opened(), (std::vector<std::string>{"http://example.invalid/"}));

    host::Device& device = h->device();
    EXPECT_EQ(device.uiLanguage(), host::kEnglishUs);
    device.setUiLanguage(host::makeLanguageId(7));
    EXPECT_EQ(device.uiLanguage() & 0x3FF, 7);
    EXPECT_EQ(device.memoryStatus().totalPhysical, 64u << 20);
    EXPECT_EQ(device.displayOrientation(), host::kOrientation0);
    EXPECT_TRUE(device.setDisplayOrientation(host::kOrientation0));
    EXPECT_FALSE(device.setDisplayOrientation(host::kOrientation90));
    EXPECT_FALSE(device.isPocketPC());
    EXPECT_EQ(h->instanceLock().acquire("BrivantaClass", "Brivanta - Vorlax Rally").value(),
              host::InstanceState::Only);
}

TEST(HeadlessDevice, AScriptHoldsTheDisplayTurnedForAWhile) {
    auto h = hostWithScript("100 orientation 4\n200 orientation 0\n");
    host::Device& device = h->device();
    EXPECT_EQ(device.displayOrientation(), host::kOrientation0);
    h->clock().sleep(100);
    EXPECT_EQ(device.displayOrientation(), host::kOrientation270);
    EXPECT_FALSE(device.setDisplayOrientation(host::kOrientation0)) << "held turned, it cannot be set back";
    EXPECT_TRUE(device.setDisplayOrientation(host::kOrientation270));
    h->clock().sleep(100);
    EXPECT_EQ(device.displayOrientation(), host::kOrientation0);
    EXPECT_TRUE(device.setDisplayOrientation(host::kOrientation0));
}

// A small program in the shape of the real one: the window thread pumps
// events every 5 ms; a game thread paints from the latest stylus position and
// the time, presents and sleeps 40 ms, until a quit arrives. Its frames
// depend only on the script.
std::vector<std::uint64_t> runProgram(const char* script) {
    auto h = hostWithScript((std::string("hash-frames\n") + script).c_str(), 30);
    EXPECT_TRUE(h->window().open("BrivantaClass", "Brivanta - Vorlax Rally").ok());
    auto lock = h->threads().createMutex();
    int stylusX = 0;
    int stylusY = 0;
    bool running = true;

    auto game = h->threads().create([&] {
        for (;;) {
            lock->lock();
            bool go = running;
            int x = stylusX;
            int y = stylusY;
            lock->unlock();
            if (!go)
                break;
            std::span<std::uint16_t> pixels = h->screen().pixels();
            std::uint32_t now = h->clock().tickCount();
            for (std::size_t i = 0; i < pixels.size(); i += 97)
                pixels[i] = static_cast<std::uint16_t>(now + x * 3 + y * 5 + i);
            h->screen().present();
            h->clock().sleep(40);
        }
    });
    EXPECT_TRUE(game.ok());
    game.value()->resume();

    for (bool quit = false; !quit;) {
        host::WindowEvent event;
        while (h->window().pollEvent(event)) {
            lock->lock();
            if (event.type == host::WindowEventType::Quit) {
                running = false;
                quit = true;
            } else if (event.type == host::WindowEventType::StylusDown ||
                       event.type == host::WindowEventType::StylusMove) {
                stylusX = event.x;
                stylusY = event.y;
            }
            lock->unlock();
        }
        h->clock().sleep(5);
    }
    game.value()->join();
    return h->headlessScreen().frameHashes();
}

TEST(HeadlessHost, TheSameScriptGivesTheSameFrames) {
    const char* script = "100 stylus-down 10 20\n+33 stylus-move 40 50\n+200 stylus-move 7 9\n";
    std::vector<std::uint64_t> first = runProgram(script);
    EXPECT_EQ(first.size(), 30u);
    EXPECT_EQ(runProgram(script), first);
    EXPECT_NE(runProgram("100 stylus-down 10 21\n"), first);
}

} // namespace
