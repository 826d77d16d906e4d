#include "platform/shell/input.h"
#include "platform/shell/ShellMessages.h"

#include <gtest/gtest.h>

namespace {

TEST(Input, VirtualKeysBecomeMidpKeyCodes) {
    struct Case {
        std::int32_t virtualKey;
        std::int32_t keyCode;
    };
    const Case cases[] = {
        {13, -999},  {37, -999}, {38, -999}, {39, -999}, {40, -999}, {48, -999}, {57, -999}, {119, -999},
        {120, -999}, {112, -6},  {113, -7},  {65, 65},   {90, 90},   {12, 12},   {121, 121}, {114, 114},
        {117, 117},  {118, 118}, {36, 36},   {41, 41},   {47, 47},   {58, 58},   {0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::mapVirtualKey(c.virtualKey), c.keyCode) << "virtual key " << c.virtualKey;
}

TEST(Input, StylusPointsScaleToTheLogicalScreenRoundedToNearest) {
    struct Case {
        int screenWidth;
        int screenHeight;
        std::int32_t x;
        std::int32_t y;
        std::int32_t scaledX;
        std::int32_t scaledY;
    };
    const Case cases[] = {
        {240, 320, 120, 160, 240, 320}, {480, 640, 479, 639, 479, 639},
        {480, 800, 100, 400, 100, 320}, {960, 1280, 3, 5, 2, 3}, // 1.5 and 2.5 round up
        {240, 320, -1, 0, -2, 0},
    };
    for (const Case& c : cases) {
        platform::StylusScale scale{480.0f / static_cast<float>(c.screenWidth),
                                    640.0f / static_cast<float>(c.screenHeight)};
        std::int32_t x = c.x;
        std::int32_t y = c.y;
        platform::scaleStylusPoint(scale, x, y);
        EXPECT_EQ(x, c.scaledX) << c.screenWidth << " x " << c.screenHeight;
        EXPECT_EQ(y, c.scaledY) << c.screenWidth << " x " << c.screenHeight;
    }
}

TEST(ShellMessages, TheShownTextsFollowTheLanguage) {
    struct Case {
        std::uint16_t language;
        std::u16string_view pleaseWait;
        std::u16string_view question;
    };
    const Case cases[] = {
        {9, u"Please wait", u"Do you want to connect to the Internet?"},
        {5, u"Please wait", u"Do you want to connect to the Internet?"},
        {7, u"Bitte warten", u"Möchtest du eine Internetverbindung herstellen?"},
        {10, u"Aguarde", u"¿Quieres conectarte a internet"},
        {12, u"Merci de patienter", u"Voulez-vous vous connecter à Internet?"},
        {22, u"Aguarde", u"Queres ligar-te à Internet?"},
        {25, u"Please wait", u"Do you want to connect to the Internet?"},
    };
    for (const Case& c : cases) {
        platform::ShellMessages messages;
        messages.select(c.language);
        EXPECT_EQ(messages.get(platform::kPleaseWaitMessage), c.pleaseWait) << "language " << c.language;
        EXPECT_EQ(messages.get(platform::kConnectQuestionMessage), c.question) << "language " << c.language;
    }
}

TEST(ShellMessages, EverySlotIsFilledAndOtherIndexesAnswerNull) {
    platform::ShellMessages messages;
    EXPECT_EQ(messages.get(6), u"NULL") << "nothing selected yet";
    messages.select(7);
    for (int i = 0; i < platform::kShellMessageCount; ++i)
        EXPECT_NE(messages.get(i), u"NULL") << "slot " << i;
    EXPECT_EQ(messages.get(9), u"NULL");
    EXPECT_EQ(messages.get(-1), u"NULL");
    EXPECT_EQ(messages.get(7), u"Cannot install the game. You need at least %.2f of free storage space.");
    messages.select(10);
    EXPECT_EQ(messages.get(7),
              u"Cannot install the game. You need at least %.2f MB of free storage space on the "
              u"device to install the game.");
}

} // namespace
