// The demo set's race image pack, painted by code: a striped crash barrier,
// a tree and a bend sign for the roadside, and for each track a scenery
// strip of sky fading to the horizon behind two rows of hills in the
// track's own colours. The strips repeat seamlessly across their width, so
// the scenery layer can tile them. Integer arithmetic only: every run paints
// the same pixels.
//
// The game keeps an image with an alpha channel in 4 bits per channel, so
// every colour is painted in steps of 17 (0x00, 0x11, ... 0xFF): a loaded
// image then has exactly the painted pixels.

#include "tools/datakit/PngWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <cstdlib>

namespace mkdata {

namespace {

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kOpaque = 0xFF000000;

// The colour `weight`/256 of the way from `from` to `to` (0xRRGGBB each).
std::uint32_t mix(std::uint32_t from, std::uint32_t to, std::uint32_t weight) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        std::uint32_t a = (from >> shift) & 0xFF;
        std::uint32_t b = (to >> shift) & 0xFF;
        out |= ((a * (256 - weight) + b * weight) / 256) << shift;
    }
    return out;
}

DemoImage blank(std::uint32_t width, std::uint32_t height) {
    return {width, height, std::vector<std::uint32_t>(width * height, kClear)};
}

// `rgb` (0xRRGGBB) with each channel cut to its top four bits, spread.
std::uint32_t fourBits(std::uint32_t rgb) {
    return ((rgb >> 4) & 0x0F0F0F) * 0x11;
}

void fillRect(DemoImage& image, int left, int top, int right, int bottom, std::uint32_t rgb) {
    rgb = fourBits(rgb);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            image.pixels[static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)] =
                kOpaque | rgb;
}

// Three dark posts carrying a board of red and white diagonal stripes.
DemoImage barrier() {
    DemoImage image = blank(32, 12);
    fillRect(image, 2, 0, 5, 12, 0x303030);
    fillRect(image, 14, 0, 18, 12, 0x303030);
    fillRect(image, 27, 0, 30, 12, 0x303030);
    for (int y = 1; y < 8; ++y)
        for (int x = 0; x < 32; ++x)
            fillRect(image, x, y, x + 1, y + 1, ((x + y) / 4) % 2 ? 0xF0F0F0 : 0xD02020);
    return image;
}

// A leaning trunk under a broad crown of leaves.
DemoImage tree() {
    DemoImage image = blank(24, 40);
    for (int y = 14; y < 40; ++y) {
        int x = 11 + (40 - y) * (40 - y) / 300;
        fillRect(image, x - 1, y, x + 2, y + 1, y % 3 ? 0x8A5A2B : 0x6B4423);
    }
    for (int y = 2; y < 22; ++y)
        for (int x = 0; x < 24; ++x) {
            int dx = x - 12, dy = y - 10;
            // An ellipse widened by drooping sides, speckled with gaps
            // along diagonals so the leaves show; lit on the upper half.
            bool inside =
                dx * dx * 16 + dy * dy * 36 <= 12 * 12 * 16 ||
                (std::abs(dx) > 4 && dy >= 0 && dy <= std::abs(dx) / 2 + 2 && dy >= std::abs(dx) / 3 - 1);
            if (inside && (dx + 2 * dy + 40) % 5 != 0)
                fillRect(image, x, y, x + 1, y + 1, dy < 0 ? 0x3FA34D : 0x2E7D32);
        }
    return image;
}

// A yellow board with clipped corners and a black chevron pointing right,
// on a grey post.
DemoImage bendSign() {
    DemoImage image = blank(20, 28);
    fillRect(image, 9, 12, 11, 28, 0x909090);
    fillRect(image, 1, 0, 19, 14, 0x202020);
    fillRect(image, 0, 1, 20, 13, 0x202020);
    fillRect(image, 1, 1, 19, 13, 0xF2C200);
    for (int y = 2; y < 12; ++y) {
        int x = 5 + (y < 7 ? y - 2 : 11 - y) * 2;
        fillRect(image, x, y, x + 4, y + 1, 0x101010);
    }
    return image;
}

// A hill line: the sum of two triangle waves whose periods divide the
// strip's width, so the strip joins up with itself.
int hillTop(int x, int base, int period, int rise, int phase) {
    int t = (x + phase) % period;
    int tri = t < period / 2 ? t : period - t;
    return base - tri * rise / (period / 2);
}

DemoImage scenery(int track) {
    TrackColours colours = demoTrackColours(track);
    const int width = static_cast<int>(kSceneryWidth);
    const int height = static_cast<int>(kSceneryHeight);
    DemoImage image = blank(kSceneryWidth, kSceneryHeight);
    std::uint32_t zenith = mix(colours.sky, 0x203060, 110);
    std::uint32_t haze = mix(colours.sky, 0xFFFFFF, 90);
    std::uint32_t farHills = mix(colours.ground, colours.sky, 140);
    std::uint32_t nearHills = mix(colours.ground, 0x000000, 40);
    for (int x = 0; x < width; ++x) {
        int far = hillTop(x, 22, 64, 10 + track, track * 11) + hillTop(x, 0, 16, 2, track);
        int near = hillTop(x, height - 2, 128, 8, track * 23) + hillTop(x, 0, 32, 3, track * 5);
        for (int y = 0; y < height; ++y) {
            std::uint32_t rgb = mix(zenith, haze, static_cast<std::uint32_t>(y * 256 / height));
            if (y >= near)
                rgb = mix(nearHills, colours.ground, static_cast<std::uint32_t>((y - near) * 256 / height));
            else if (y >= far)
                rgb = farHills;
            fillRect(image, x, y, x + 1, y + 1, rgb);
        }
    }
    return image;
}

} // namespace

std::vector<DemoImage> demoRaceImages() {
    std::vector<DemoImage> images = {barrier(), tree(), bendSign()};
    for (int track = 0; track < kDemoTrackCount; ++track)
        images.push_back(scenery(track));
    return images;
}

void produceRaceImages(ProgramFolder& folder) {
    std::vector<datakit::Bytes> payloads;
    for (const DemoImage& image : demoRaceImages())
        payloads.push_back(datakit::writePng(image.width, image.height, image.pixels));
    addPack(folder, kRaceImagePackFile, payloads);
}

} // namespace mkdata
