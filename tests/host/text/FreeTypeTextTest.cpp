#include "host/text/FreeTypeText.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t kBackground = 0x00F81F;

struct FreeTypeTextTest : ::testing::Test {
    host::FreeTypeText text;

    // Renders `line` black on the background into a buffer as wide as it
    // measures and as tall as a line.
    std::vector<std::uint32_t> render(std::u16string_view line, std::uint32_t foreground = 0) {
        int width = text.measure(line);
        int height = text.metrics()->height;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), 0xDEADBEEF);
        EXPECT_TRUE(text.render(line, foreground, kBackground, pixels, width, height));
        return pixels;
    }
};

TEST_F(FreeTypeTextTest, TheSystemFontHasLineMetrics) {
    std::optional<host::FontMetrics> metrics = text.metrics();
    ASSERT_TRUE(metrics);
    EXPECT_GT(metrics->ascent, 0);
    EXPECT_GT(metrics->height, metrics->ascent);
    EXPECT_LT(metrics->height, 40);
}

TEST_F(FreeTypeTextTest, WidthsAddUpCharacterByCharacter) {
    EXPECT_EQ(text.measure(u""), 0);
    int h = text.measure(u"H");
    int i = text.measure(u"i");
    EXPECT_GT(h, i);
    EXPECT_GT(i, 0);
    EXPECT_EQ(text.measure(u"HiH"), 2 * h + i);
    // Line breaks and other controls take no room; a surrogate pair is one character.
    EXPECT_EQ(text.measure(u"H\nH\t"), 2 * h);
    EXPECT_EQ(text.measure(u"\xD800"), text.measure(u"\xFFFD"));
    EXPECT_EQ(text.measure(u"\U0001F600"), text.measure(u"\U0001F600\x0001"));
}

TEST_F(FreeTypeTextTest, RenderingFillsTheBackgroundAndMixesEdges) {
    std::vector<std::uint32_t> pixels = render(u"Wave");
    auto count = [&](auto predicate) { return std::count_if(pixels.begin(), pixels.end(), predicate); };
    EXPECT_EQ(count([](std::uint32_t p) { return p == 0xDEADBEEF; }), 0);
    EXPECT_GT(count([](std::uint32_t p) { return p == kBackground; }), 0);
    EXPECT_GT(count([](std::uint32_t p) { return p == 0; }), 0);
    // Anti-aliased edges lie between the two colours, channel by channel.
    auto between = [](std::uint32_t p) {
        return p != 0 && p != kBackground && (p >> 16) == 0 && ((p >> 8) & 0xFF) <= 0xF8 &&
               (p & 0xFF) <= 0x1F;
    };
    EXPECT_GT(count(between), 0);
    EXPECT_EQ(count([&](std::uint32_t p) { return p != 0 && p != kBackground && !between(p); }), 0);

    // The same text renders the same pixels, whatever its colour.
    EXPECT_EQ(render(u"Wave"), pixels);
    std::vector<std::uint32_t> white = render(u"Wave", 0xFFFFFF);
    for (std::size_t at = 0; at < pixels.size(); ++at)
        EXPECT_EQ(white[at] == kBackground, pixels[at] == kBackground);
}

TEST_F(FreeTypeTextTest, RenderingRefusesABufferTooSmall) {
    std::vector<std::uint32_t> pixels(10, 7);
    EXPECT_FALSE(text.render(u"A", 0, kBackground, pixels, 4, 3));
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p == 7; }));
    // A buffer narrower than the text cuts it.
    EXPECT_TRUE(text.render(u"AAAA", 0, kBackground, pixels, 5, 2));
}

TEST(FreeTypeTextMissingFont, LogsOnceAndDrawsNothing) {
    testing_support::LogCapture log;
    host::FreeTypeText text("/nonexistent/font.ttf");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("cannot load the system font /nonexistent/font.ttf"));
    EXPECT_FALSE(text.metrics());
    EXPECT_EQ(text.measure(u"abc"), 0);
    std::vector<std::uint32_t> pixels(4);
    EXPECT_FALSE(text.render(u"a", 0, 0, pixels, 2, 2));
}

} // namespace
