#pragma once

// What the lcdui tests share: a small runtime with the test throwables, the
// log, and images read back through getRGB as numbers or as text pictures.

#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lcdui_testing {

using Image = platform::javax_microedition_lcdui_Image;
using Graphics = platform::javax_microedition_lcdui_Graphics;

inline constexpr std::uint32_t kBlack = 0xFF000000;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFF;

struct LcduiTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 23}};

    LcduiTest() { testing_support::installTestThrowables(runtime); }

    // Every pixel of `image` as getRGB gives it, rows top-down.
    static std::vector<std::uint32_t> argb(Image* image) {
        std::int32_t width = image->getWidth();
        std::int32_t height = image->getHeight();
        rt::IntArray* out = rt::newIntArray(width * height);
        image->getRGB(out, 0, width, 0, 0, width, height);
        return std::vector<std::uint32_t>(reinterpret_cast<std::uint32_t*>(out->elements()),
                                          reinterpret_cast<std::uint32_t*>(out->elements()) + width * height);
    }

    static std::uint32_t pixel(Image* image, std::int32_t x, std::int32_t y) {
        rt::IntArray* out = rt::newIntArray(1);
        image->getRGB(out, 0, 1, x, y, 1, 1);
        return static_cast<std::uint32_t>(out->elements()[0]);
    }

    // The image as text, a line per row: '.' black, '#' white, otherwise
    // the character `legend` gives the colour, '?' for one it does not know.
    static std::string picture(Image* image, const std::map<std::uint32_t, char>& legend = {}) {
        std::vector<std::uint32_t> pixels = argb(image);
        std::string text;
        for (std::int32_t y = 0; y < image->getHeight(); ++y) {
            for (std::int32_t x = 0; x < image->getWidth(); ++x) {
                std::uint32_t colour = pixels[static_cast<std::size_t>(y * image->getWidth() + x)];
                auto found = legend.find(colour);
                text += found != legend.end() ? found->second
                        : colour == kBlack    ? '.'
                        : colour == kWhite    ? '#'
                                              : '?';
            }
            text += '\n';
        }
        return text;
    }

    // A black mutable image and a Graphics on it drawing in white.
    static Graphics* whiteOnBlack(std::int32_t width, std::int32_t height) {
        Graphics* graphics = Image::createImage(width, height)->getGraphics();
        graphics->setColor(0xFFFFFF);
        return graphics;
    }
};

// Lines of a text picture joined, for writing expectations readably.
inline std::string rows(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\n";
    return text;
}

} // namespace lcdui_testing
