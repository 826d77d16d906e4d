#include "host/headless/HeadlessHost.h"
#include "platform/display/DisplayDriverDDraw.h"
#include "platform/display/DisplayDriverGDI.h"
#include "platform/display/openDisplay.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The log takes one trailing newline off each line; the leading one stays.

using host::DisplayFault;

constexpr int kWidth = platform::kLogicalScreenWidth;
constexpr int kHeight = platform::kLogicalScreenHeight;

// A pattern that tells every pixel and every frame apart.
std::uint16_t patternPixel(int x, int y, int frame) {
    return static_cast<std::uint16_t>((x * 7 + y * 13 + frame * 101) ^ (y << 5));
}

void drawPattern(std::uint16_t* surface, int pitchBytes, int frame) {
    for (int y = 0; y < kHeight; ++y) {
        auto* row =
            reinterpret_cast<std::uint16_t*>(reinterpret_cast<std::uint8_t*>(surface) + y * pitchBytes);
        for (int x = 0; x < kWidth; ++x)
            row[x] = patternPixel(x, y, frame);
    }
}

std::vector<std::uint16_t> expectedFrame(int frame) {
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    drawPattern(pixels.data(), kWidth * 2, frame);
    return pixels;
}

struct Display {
    explicit Display(const std::string& script = "", host::ScreenSize size = {}) {
        host::HeadlessOptions options;
        auto parsed = host::parseScript(script);
        EXPECT_TRUE(parsed.ok());
        options.script = std::move(parsed).value();
        options.screenSize = size;
        options.hashFrames = true;
        host = host::makeHeadlessHost(std::move(options));
        EXPECT_TRUE(host->window().open("BrivantaClass", "Brivanta - Vorlax Rally").ok());
    }

    int open(std::u16string_view type) { return platform::openDisplay(type, *host, &host->window(), driver); }

    std::unique_ptr<host::HeadlessHost> host;
    std::unique_ptr<platform::DisplayDriver> driver;
};

TEST(OpenDisplay, AutoFallsBackToGdiAndPresentsWhatWasDrawn) {
    testing_support::LogCapture log;
    Display display("fault no-ddraw-library\n");
    ASSERT_EQ(display.open(u"AUTO"), 1);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "\nApplicationImpl::openDisplay(AUTO): Could not create a DDRAW display type.",
                               "\nApplicationImpl::openDisplay(AUTO): Using GDI display type.",
                           }));
    ASSERT_NE(dynamic_cast<platform::DisplayDriverGDI*>(display.driver.get()), nullptr);

    platform::DisplayDriver& driver = *display.driver;
    std::uint16_t* surface = driver.surfacePixels();
    ASSERT_NE(surface, nullptr);
    constexpr int kFrames = 5;
    std::vector<std::uint64_t> expected;
    for (int frame = 0; frame < kFrames; ++frame) {
        drawPattern(surface, driver.surfacePitch(), frame);
        EXPECT_EQ(driver.present(), 1);
        expected.push_back(host::hashFrame(expectedFrame(frame)));
    }
    EXPECT_EQ(driver.surfacePixels(), surface);
    EXPECT_EQ(display.host->headlessScreen().frameHashes(), expected);
}

// Each failing step of a back-end, with the type asked for and what is logged.
struct FailureCase {
    DisplayFault fault;
    const char16_t* type;
    int result;
    std::vector<std::string> lines;
};

class OpenDisplayFailures : public testing::TestWithParam<FailureCase> {};

const std::vector<std::string> kDDrawFails = {"openDisplay(DDRAW): Could not create a DDRAW display type."};
const std::vector<std::string> kGdiFails = {
    "\nApplicationImpl::openDisplay(GDI): Could not create a GDI display type."};
const std::vector<std::string> kAutoFallsBack = {
    "\nApplicationImpl::openDisplay(AUTO): Could not create a DDRAW display type.",
    "\nApplicationImpl::openDisplay(AUTO): Using GDI display type."};
const std::vector<std::string> kAutoFails = {
    "\nApplicationImpl::openDisplay(AUTO): Could not create a DDRAW display type.",
    "\nApplicationImpl::openDisplay(AUTO): Could not create a GDI display type."};

TEST_P(OpenDisplayFailures, LogTheFailureAndReleaseWhatWasTaken) {
    const FailureCase& failure = GetParam();
    testing_support::LogCapture log;
    Display display;
    display.host->displayFaults().set(failure.fault);
    EXPECT_EQ(display.open(failure.type), failure.result);
    EXPECT_EQ(log.lines(), failure.lines);
    ASSERT_TRUE(display.driver);
    if (failure.result == 0) {
        EXPECT_EQ(display.driver->surfacePixels(), nullptr);
        EXPECT_EQ(display.driver->present(), 0);
    }
    EXPECT_EQ(display.host->headlessScreen().frameCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, OpenDisplayFailures,
    testing::Values(FailureCase{DisplayFault::NoDirectDrawLibrary, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::NoDirectDrawCreate, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::DirectDrawCreateFails, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::CooperationFails, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::NoPrimarySurface, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::PrimaryLockFails, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::NoBackSurface, u"DDRAW", 0, kDDrawFails},
                    FailureCase{DisplayFault::BackLockFails, u"AUTO", 1, kAutoFallsBack},
                    FailureCase{DisplayFault::NoWindowDc, u"GDI", 0, kGdiFails},
                    FailureCase{DisplayFault::NoDibSection, u"GDI", 0, kGdiFails},
                    FailureCase{DisplayFault::NoMemoryDc, u"GDI", 0, kGdiFails},
                    FailureCase{DisplayFault::NoMemoryDc,
                                u"DDRAW",
                                1,
                                {"openDisplay(DDRAW): Using DDRAW display type."}}));

TEST(OpenDisplay, AutoWithBothBackEndsFailingLogsBoth) {
    testing_support::LogCapture log;
    Display display("fault no-primary-surface\nfault no-dib-section\n");
    EXPECT_EQ(display.open(u"AUTO"), 0);
    EXPECT_EQ(log.lines(), kAutoFails);
}

TEST(OpenDisplay, AutoPrefersDirectDraw) {
    testing_support::LogCapture log;
    Display display;
    EXPECT_EQ(display.open(u"AUTO"), 1);
    EXPECT_TRUE(log.contains("openDisplay(AUTO): Using DDRAW display type."));
    EXPECT_NE(dynamic_cast<platform::DisplayDriverDDraw*>(display.driver.get()), nullptr);
}

TEST(OpenDisplay, UnknownTypesAreRefusedWithCaseMattering) {
    for (const char16_t* type : {u"gdi", u"Auto", u"", u"OPENGL"}) {
        testing_support::LogCapture log;
        Display display;
        EXPECT_EQ(display.open(type), 0);
        EXPECT_FALSE(display.driver);
        EXPECT_EQ(log.lines(),
                  (std::vector<std::string>{"\nApplicationImpl::openDisplay(): Display type invalid."}));
    }
}

TEST(OpenDisplay, WithoutAnOpenWindowNeitherBackEndOpens) {
    Display display;
    std::unique_ptr<platform::DisplayDriver> driver;
    EXPECT_EQ(platform::openDisplay(u"DDRAW", *display.host, nullptr, driver), 0);
    EXPECT_EQ(platform::openDisplay(u"GDI", *display.host, nullptr, driver), 0);
}

// What an open back-end reports on a screen of the logical size.
void expectFullScreenShape(platform::DisplayDriver& driver) {
    EXPECT_EQ(driver.screenWidth(), 480);
    EXPECT_EQ(driver.screenHeight(), 640);
    EXPECT_EQ(driver.bitsPerPixel(), 16);
    EXPECT_EQ(driver.bytesPerPixel(), 2);
    EXPECT_EQ(driver.screenPitch(), 960);
    EXPECT_EQ(driver.surfacePitch(), 960);
}

TEST(DisplayDriverGDI, OpenDescribesTheSectionAndTheScreen) {
    Display display;
    ASSERT_EQ(display.open(u"GDI"), 1);
    auto& driver = static_cast<platform::DisplayDriverGDI&>(*display.driver);
    expectFullScreenShape(driver);
    EXPECT_EQ(driver.presentMode(), 3u);
    EXPECT_TRUE(driver.lock() && driver.unlock() && driver.setNormalCooperation());
    const auto& bitmap = driver.bitmap();
    EXPECT_EQ(bitmap.width, 480);
    EXPECT_EQ(bitmap.height, 640);
    EXPECT_EQ(bitmap.bitsPerPixel, 16);
    EXPECT_EQ(bitmap.bits, driver.surfacePixels());
    driver.useSecondScalingMode();
    EXPECT_EQ(driver.presentMode(), 5u);
    driver.close();
    EXPECT_EQ(driver.present(), 0);
    driver.close();
}

// On a screen of half the logical size, the colour-on-colour mode keeps every
// second pixel of every second row; the bilinear mode blends each 2 x 2 block.
TEST(DisplayDriverGDI, StretchesOntoASmallerScreenByItsMode) {
    Display display("", {240, 320});
    ASSERT_EQ(display.open(u"GDI"), 1);
    platform::DisplayDriver& driver = *display.driver;
    EXPECT_EQ(driver.screenPitch(), 480);
    std::uint16_t* surface = driver.surfacePixels();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            surface[y * kWidth + x] = static_cast<std::uint16_t>(((x % 2) * 0x1F) | ((y % 2) * 0xF800));
    }
    ASSERT_EQ(driver.present(), 1);
    std::vector<std::uint16_t> shown = display.host->headlessScreen().lastFrame();
    ASSERT_EQ(shown.size(), 240u * 320u);
    // Every kept pixel has even coordinates, so none carries red or blue.
    EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](std::uint16_t pixel) { return pixel == 0; }));

    driver.useSecondScalingMode();
    ASSERT_EQ(driver.present(), 1);
    shown = display.host->headlessScreen().lastFrame();
    // Half of 0x1F and half of 0xF800 (red 31): both round to 16.
    EXPECT_EQ(shown[100 * 240 + 100], (16 << 11) | 16);
}

TEST(DisplayDriverDDraw, PresentsTheBackSurfaceAndRestoresLostSurfaces) {
    Display display;
    ASSERT_EQ(display.open(u"DDRAW"), 1);
    platform::DisplayDriver& driver = *display.driver;
    expectFullScreenShape(driver);
    EXPECT_TRUE(driver.setFullScreenCooperation());
    std::uint16_t* surface = driver.surfacePixels();
    ASSERT_NE(surface, nullptr);

    drawPattern(surface, driver.surfacePitch(), 0);
    EXPECT_EQ(driver.present(), 0);
    display.host->displayFaults().loseSurfaces();
    drawPattern(surface, driver.surfacePitch(), 1);
    EXPECT_EQ(driver.present(), 0);
    EXPECT_EQ(driver.surfacePixels(), surface);
    EXPECT_EQ(
        display.host->headlessScreen().frameHashes(),
        (std::vector<std::uint64_t>{host::hashFrame(expectedFrame(0)), host::hashFrame(expectedFrame(1))}));

    // A surface that cannot be restored is not shown, and nothing is reported.
    display.host->displayFaults().set(DisplayFault::RestoreFails);
    display.host->displayFaults().loseSurfaces();
    EXPECT_EQ(driver.present(), 0);
    EXPECT_FALSE(driver.lock());
    EXPECT_EQ(display.host->headlessScreen().frameCount(), 2u);
}

} // namespace
