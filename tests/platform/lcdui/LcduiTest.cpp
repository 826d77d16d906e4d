// Display, Command and GameCanvas, in a started application.

#include "platform/lcdui/Command.h"
#include "platform/lcdui/Display.h"
#include "platform/lcdui/GameCanvas.h"

#include "tests/support/StartedApplication.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/Archive.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using platform::javax_microedition_lcdui_Command;
using platform::javax_microedition_lcdui_Display;
using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;

struct Lcdui : ::testing::Test {
    testing_support::StartedApplication app;

    void SetUp() override { ASSERT_TRUE(app.started); }
};

TEST_F(Lcdui, SetCurrentChangesWhatIsPaintedWithoutTellingTheDisplayable) {
    EXPECT_NE(javax_microedition_lcdui_Display::getDisplay(&app.midlet()),
              javax_microedition_lcdui_Display::getDisplay(&app.midlet()))
        << "a new Display every time";
    auto* display = javax_microedition_lcdui_Display::getDisplay(&app.midlet());
    EXPECT_FALSE(display->vibrate(100));

    auto* other = rt::make<testing_support::TestCanvas>(&app.midlet());
    display->setCurrent(other);
    EXPECT_EQ(app.application().currentDisplayable(), other);
    EXPECT_EQ(app.record.count("showNotify"), 0);
    EXPECT_EQ(app.record.painted, 0) << "nothing is painted at once";
    EXPECT_EQ(other->getWidth(), 480);
    EXPECT_EQ(other->getHeight(), 640);
    other->serviceRepaints();
    EXPECT_EQ(app.record.painted, 1);
    display->setCurrent(nullptr);
    other->serviceRepaints();
    EXPECT_EQ(app.record.painted, 1) << "without a Displayable nothing is painted";
    EXPECT_EQ(app.host->headlessScreen().frameCount(), 2u) << "but the frame is presented";
}

TEST_F(Lcdui, FramesAreDroppedWhileInactiveHeldOrInTheBackground) {
    auto* canvas = app.midlet().canvas();
    app.impl().setActive(false);
    canvas->serviceRepaints();
    app.impl().setActive(true);
    app.impl().holdPaint();
    canvas->serviceRepaints();
    app.host->window().minimize();
    app.impl().setActive(true);
    canvas->serviceRepaints();
    EXPECT_EQ(app.host->headlessScreen().frameCount(), 0u);
}

TEST_F(Lcdui, PauseAndResumeHappenOnce) {
    platform::Application& application = app.application();
    application.resume();
    application.pause();
    application.pause();
    EXPECT_TRUE(application.isPaused());
    application.resume();
    application.resume();
    std::vector<std::string> expected = {"startApp", "pauseApp", "hideNotify", "startApp", "showNotify"};
    EXPECT_EQ(app.record.calls(), expected);
}

struct Flushing final : platform::javax_microedition_lcdui_game_GameCanvas {
    RT_NO_REFERENCE_FIELDS(Flushing, javax_microedition_lcdui_game_GameCanvas)
};

TEST_F(Lcdui, FlushGraphicsCopiesTheOffscreenImageWithinTheRectangle) {
    auto* canvas = rt::make<Flushing>();
    javax_microedition_lcdui_Image* offscreen = canvas->offscreen();
    ASSERT_NE(offscreen, nullptr);
    ASSERT_EQ(offscreen->getWidth(), 480);
    javax_microedition_lcdui_Graphics* drawing = offscreen->getGraphics();
    drawing->setColor(0xFF0000);
    drawing->fillRect(0, 0, 480, 640);

    javax_microedition_lcdui_Graphics* screen = app.application().screenGraphics();
    screen->setClip(1, 2, 3, 4);
    canvas->flushGraphics(10, 20, 30, 40);
    EXPECT_EQ(screen->getClipX(), 1);
    EXPECT_EQ(screen->getClipY(), 2);
    EXPECT_EQ(screen->getClipWidth(), 3);
    EXPECT_EQ(screen->getClipHeight(), 4);

    platform::Surface16 pixels = app.application().screenImage()->surface();
    EXPECT_EQ(pixels.row(20)[10], 0xF800);
    EXPECT_EQ(pixels.row(59)[39], 0xF800);
    EXPECT_EQ(pixels.row(19)[10], 0);
    EXPECT_EQ(pixels.row(60)[39], 0);
    EXPECT_EQ(pixels.row(20)[40], 0);
    canvas->flushGraphics();
    EXPECT_EQ(pixels.row(639)[479], 0xF800);
}

TEST_F(Lcdui, ACommandRefusesANullLabelAndAnUnknownType) {
    rt::String* label = rt::String::newFromCString("Back");
    auto* command = rt::make<javax_microedition_lcdui_Command>(label, 2, 7);
    ASSERT_FALSE(rt::exceptionPending());
    EXPECT_EQ(command->getPriority(), 7);
    EXPECT_EQ(command->commandType(), 2);
    EXPECT_EQ(command->label(), label);
    EXPECT_EQ(command->longLabel(), nullptr);

    struct Case {
        rt::String* label;
        std::int32_t type;
        rt::ClassId exception;
    };
    const Case cases[] = {
        {nullptr, 4, rt::ClassId::java_lang_NullPointerException},
        {label, 0, rt::ClassId::java_lang_IllegalArgumentException},
        {label, 9, rt::ClassId::java_lang_IllegalArgumentException},
    };
    for (const Case& c : cases) {
        auto* refused = rt::make<javax_microedition_lcdui_Command>(c.label, label, c.type, 5);
        EXPECT_NE(rt::catchException(c.exception), nullptr) << "type " << c.type;
        EXPECT_FALSE(rt::exceptionPending());
        EXPECT_EQ(refused->label(), nullptr);
        EXPECT_EQ(refused->longLabel(), nullptr);
    }
    command->setTypeAndPriority(9, 1);
    EXPECT_NE(rt::catchException(rt::ClassId::java_lang_IllegalArgumentException), nullptr);
    EXPECT_EQ(command->getPriority(), 7) << "nothing stored";
    EXPECT_EQ(command->commandType(), 2);
}

// The MIDlet reads "app.jad" from the archive in the program folder when it is made.
TEST(Midlet, AnswersItsApplicationPropertiesAndTheEmptyValueForOthers) {
    testing_support::TemporaryFolder folder("vorlax-midlet");
    datakit::Bytes archive = datakit::writeArchive(
        {datakit::archiveEntry("app.jad", datakit::writeAppJad({{"MIDlet-Name", "Vorlax Rally"}}))});
    std::ofstream(folder.path() / "data.bar", std::ios::binary)
        .write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));

    testing_support::StartedApplication app(false, folder.path().string());
    ASSERT_TRUE(app.started);
    auto property = [&](const char* key) {
        rt::String* value = app.midlet().getAppProperty(rt::String::newFromCString(key));
        return value ? std::u16string(value->view()) : u"(null)";
    };
    EXPECT_EQ(property("MIDlet-Name"), u"Vorlax Rally");
    EXPECT_EQ(property("MIDlet-Vendor"), u"PROPERTY VALUE EMPTY");
    EXPECT_EQ(platform::javax_microedition_midlet_MIDlet::currentMidlet(), &app.midlet());
}

} // namespace
