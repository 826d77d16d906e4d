// The demo set's sprite pack: the sprites the splash, the title, the menus
// and the loading of the menus draw, and a car for each racer's sprite set,
// all painted here. Large areas are filled rectangles (sky bands, the road,
// panels); emblems, buttons, icons and cars are palette images, index 0
// being the transparent colour key. Every sprite has colours of its own, so
// that a test can tell from a pixel which sprite and frame it sees.

#include "host/text/FreeTypeText.h"
#include "tools/datakit/PackWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace mkdata {

namespace {

using datakit::PaintedFrame;
using datakit::PaintedImage;
using datakit::PaintedRect;
using datakit::PaintedSprite;

constexpr std::uint32_t kKey = 0x00FF00FFu;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

std::vector<std::uint32_t> palette(std::initializer_list<std::uint32_t> rgb) {
    std::vector<std::uint32_t> colours = {kKey};
    for (std::uint32_t c : rgb)
        colours.push_back(0xFF000000u | c);
    return colours;
}

// Index 1 inside a rounded rectangle with a border of index 2, index 3 on
// its upper half (the shine of a button).
PaintedImage button(std::uint16_t width, std::uint16_t height, std::int16_t x = 0, std::int16_t y = 0) {
    const int r = height / 4;
    return datakit::paintImage(x, y, width, height, [&](int px, int py) {
        const int cx = std::max({r - px, px - (width - 1 - r), 0});
        const int cy = std::max({r - py, py - (height - 1 - r), 0});
        if (cx * cx + cy * cy > r * r)
            return 0;
        const bool edge = px < 2 || py < 2 || px >= width - 2 || py >= height - 2 ||
                          (cx * cx + cy * cy) > (r - 2) * (r - 2);
        return edge ? 2 : (py < height / 2 ? 3 : 1);
    });
}

// A disc of index 1 ringed with index 2, centred on the image.
PaintedImage disc(std::uint16_t side, std::int16_t x = 0, std::int16_t y = 0) {
    const int c = side / 2;
    return datakit::paintImage(x, y, side, side, [&](int px, int py) {
        const int d = (px - c) * (px - c) + (py - c) * (py - c);
        if (d > c * c)
            return 0;
        return d > (c - 3) * (c - 3) ? 2 : 1;
    });
}

// A five-pointed star of index 1 (points up) with an outline of index 2.
PaintedImage star(std::uint16_t side, std::int16_t x = 0, std::int16_t y = 0) {
    const double c = side / 2.0;
    auto inside = [&](double px, double py) {
        // Inside when the point is inside the pentagram's polygon: test by
        // the star's radius at the point's angle.
        const double dx = px - c, dy = py - c;
        const double angle = std::atan2(dx, -dy);
        const double sector =
            std::fmod(std::fabs(angle) + 3.14159265 / 5, 2 * 3.14159265 / 5) - 3.14159265 / 5;
        const double radius = c * 0.95 * (0.45 + 0.55 * (1 - std::fabs(sector) / (3.14159265 / 5)));
        return dx * dx + dy * dy <= radius * radius;
    };
    return datakit::paintImage(x, y, side, side, [&](int px, int py) {
        if (!inside(px + 0.5, py + 0.5))
            return 0;
        const bool edge = !inside(px - 1.5, py + 0.5) || !inside(px + 2.5, py + 0.5) ||
                          !inside(px + 0.5, py - 1.5) || !inside(px + 0.5, py + 2.5);
        return edge ? 2 : 1;
    });
}

// An arrow of index 1 pointing left (or right), outlined with index 2.
PaintedImage arrow(std::uint16_t side, bool right) {
    return datakit::paintImage(0, 0, side, side, [&](int px, int py) {
        const int x = right ? side - 1 - px : px;
        const int half = side / 2;
        const int reach = std::abs(py - half);
        if (x < reach || x > side - 4)
            return 0;
        return (x == reach || x == reach + 1) ? 2 : 1;
    });
}

// A checkerboard of indexes 1 and 2 in squares of `cell`.
PaintedImage checker(std::uint16_t width, std::uint16_t height, int cell, std::int16_t x, std::int16_t y) {
    return datakit::paintImage(x, y, width, height,
                               [&](int px, int py) { return ((px / cell + py / cell) % 2) == 0 ? 1 : 2; });
}

PaintedFrame frameOf(std::vector<PaintedRect> fills, std::vector<PaintedImage> images = {}) {
    return PaintedFrame{.fills = std::move(fills), .images = std::move(images), .boxes = {}};
}

// Horizontal bands from `top` to `bottom` blending from colour `a` to `b`.
std::vector<PaintedRect> bands(int top, int bottom, std::uint32_t a, std::uint32_t b, int count) {
    std::vector<PaintedRect> out;
    const int step = (bottom - top + count - 1) / count;
    for (int i = 0; i < count; ++i) {
        auto mix = [&](int shift) {
            const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
            return static_cast<std::uint32_t>(ca + (cb - ca) * i / std::max(count - 1, 1)) << shift;
        };
        const int y = top + i * step;
        out.push_back({mix(16) | mix(8) | mix(0), 0, static_cast<std::int16_t>(y), kScreenWidth,
                       static_cast<std::uint16_t>(std::min(step, bottom - y))});
    }
    return out;
}

// A road to the horizon: a trapezoid of narrowing rectangles with kerbs
// and a dashed centre line.
void addRoad(std::vector<PaintedRect>& fills, int horizon) {
    constexpr int rows = 12;
    const int depth = kScreenHeight - horizon;
    for (int i = 0; i < rows; ++i) {
        const int y = horizon + depth * i / rows;
        const int h = depth / rows + 1;
        const int half = 30 + (kScreenWidth / 2 + 40) * (i + 1) / rows;
        const int x = kScreenWidth / 2 - half;
        const auto kerb = static_cast<std::uint16_t>(4 + i);
        fills.push_back({(i % 2) ? 0xD02020u : 0xF0F0F0u, static_cast<std::int16_t>(x - kerb),
                         static_cast<std::int16_t>(y), static_cast<std::uint16_t>(2 * half + 2 * kerb),
                         static_cast<std::uint16_t>(h)});
        fills.push_back({0x404448, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                         static_cast<std::uint16_t>(2 * half), static_cast<std::uint16_t>(h)});
        if (i % 2 == 0)
            fills.push_back({0xF0E060, static_cast<std::int16_t>(kScreenWidth / 2 - 1 - i / 3),
                             static_cast<std::int16_t>(y), static_cast<std::uint16_t>(2 + 2 * (i / 3)),
                             static_cast<std::uint16_t>(h)});
    }
}

// Two rows of ridges standing on `horizon` in columns of `step` pixels: the
// far row pale, the near one darker, their outlines sums of sines with
// fixed phases, so every run paints the same hills.
void addRidges(std::vector<PaintedRect>& fills, int horizon, int step) {
    auto ridge = [](int x, double a, double b, double c) {
        return a * std::sin(x * 0.011 + 0.7) + b * std::sin(x * 0.029 + 2.1) + c * std::sin(x * 0.071 + 4.0);
    };
    for (auto [base, colour, weight] : {std::tuple{46.0, 0x6A78A8u, 1.5}, std::tuple{22.0, 0x2E5A38u, 1.0}})
        for (int x = 0; x < kScreenWidth; x += step) {
            const int height = static_cast<int>(base + weight * ridge(x + step / 2, 12, 6, 2));
            fills.push_back({colour, static_cast<std::int16_t>(x),
                             static_cast<std::int16_t>(horizon - height), static_cast<std::uint16_t>(step),
                             static_cast<std::uint16_t>(height)});
        }
}

// The title: a sky at dusk over ridges, the road running to the horizon
// and a racer's car on it, turned a little towards the bend.
PaintedSprite titleBackground() {
    constexpr int horizon = 200;
    PaintedSprite s;
    s.palettes = {demoCarPalette(0xC01818)};
    std::vector<PaintedRect> fills = bands(0, horizon, 0x1A3C8C, 0xF0A060, 25);
    addRidges(fills, horizon, 10);
    fills.push_back({0x3A7A30, 0, horizon, kScreenWidth, kScreenHeight - horizon});
    addRoad(fills, horizon);
    s.frames = {frameOf(std::move(fills), {demoCarPicture(-18, 76, kScreenWidth / 2 + 10, 418)})};
    return s;
}

// A word in DejaVu Sans Bold at `pixels`, as a mask of the pixels its
// glyphs cover at least half of, leaning forwards by one column in `lean`
// rows.
struct Mask {
    int width = 0, height = 0;
    std::vector<bool> set;
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && set[static_cast<std::size_t>(y * width + x)];
    }
};
Mask wordMask(std::u16string_view word, int pixels, int lean) {
    host::FreeTypeText face(host::FreeTypeText::kSystemFontPath, pixels);
    const int width = std::max(face.measure(word), 1);
    const int height = face.metrics() ? face.metrics()->height : pixels;
    std::vector<std::uint32_t> coverage(static_cast<std::size_t>(width * height));
    face.render(word, 0xFFFFFF, 0, coverage, width, height);
    Mask mask{width + height / lean, height, {}};
    mask.set.assign(static_cast<std::size_t>(mask.width * height), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((coverage[static_cast<std::size_t>(y * width + x)] & 0xFF) >= 0x80)
                mask.set[static_cast<std::size_t>(y * mask.width + x + (height - y) / lean)] = true;
    return mask;
}

// A word of the logo as an image centred on `cx` with its top at `top`:
// the letters in bands of `fills` from top to bottom, an outline of index
// 2 `outline` pixels wide and a shadow of index 1 below and right.
PaintedImage logoWord(std::u16string_view word, int pixels, int cx, int top, const std::vector<int>& fills,
                      int outline) {
    const Mask mask = wordMask(word, pixels, 4);
    const int shadow = outline + 2, pad = outline + shadow;
    auto near = [&](int x, int y, int reach) {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (dx * dx + dy * dy <= reach * reach + 1 && mask.at(x + dx, y + dy))
                    return true;
        return false;
    };
    const int width = mask.width + 2 * pad, height = mask.height + 2 * pad;
    const int bands = static_cast<int>(fills.size());
    return datakit::paintImage(
        static_cast<std::int16_t>(cx - width / 2), static_cast<std::int16_t>(top - pad),
        static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), [&](int px, int py) {
            const int x = px - pad, y = py - pad;
            if (mask.at(x, y))
                return fills[static_cast<std::size_t>(std::clamp(y * bands / mask.height, 0, bands - 1))];
            if (near(x, y, outline))
                return 2;
            if (near(x - shadow, y - shadow, outline))
                return 1;
            return 0;
        });
}

// The game's name over the title: "VORLAX" in a sunset of yellow to red,
// "RALLY" in white on a red band between chequered flags, both outlined and shadowed.
PaintedSprite titleLogo() {
    constexpr int bandWidth = 336, bandTop = 124, bandHeight = 32;
    PaintedSprite s;
    s.palettes = {palette({0x101018, 0x1A1E3A, 0xFFE060, 0xFFB030, 0xF07020, 0xD02818, 0xF8F8F8, 0x303030})};
    PaintedImage band =
        datakit::paintImage((kScreenWidth - bandWidth) / 2, bandTop, bandWidth, bandHeight, [](int x, int y) {
            if (y < 2 || y >= bandHeight - 2)
                return 2;
            // Chequered flags at the ends of a red band.
            if (x < 64 || x >= bandWidth - 64)
                return (x / 8 + y / 8) % 2 ? 7 : 8;
            return 6;
        });
    s.frames = {
        frameOf({}, {std::move(band), logoWord(u"VORLAX", 84, kScreenWidth / 2, 14, {3, 3, 4, 4, 5, 6}, 3),
                     logoWord(u"RALLY", 34, kScreenWidth / 2, bandTop - 6, {7}, 2)})};
    return s;
}

PaintedSprite header() {
    PaintedSprite s;
    s.frames = {frameOf({{0x10204A, 0, 0, kScreenWidth, 56},
                         {0xF0B020, 0, 52, kScreenWidth, 4},
                         {0x2A4A8A, 0, 0, kScreenWidth, 6}})};
    return s;
}

// The question box, drawn from its centre: frame n fits n answers (frame 0
// none); box point 0 is where the first answer's top edge goes, box point 1
// the top centre of the title.
PaintedSprite questionBox(int answerHeight) {
    PaintedSprite s;
    for (int answers = 0; answers <= 6; ++answers) {
        const int height = 52 + answers * answerHeight + 12;
        const auto top = static_cast<std::int16_t>(-height / 2);
        // A shadow, a dark outline and a light rim around a body that darkens
        // downwards, under a title band shaded from light to deep amber.
        std::vector<PaintedRect> fills = {
            {0x050A14, -176, static_cast<std::int16_t>(top + 4), 368, static_cast<std::uint16_t>(height + 6)},
            {0x0A0A10, -184, static_cast<std::int16_t>(top - 4), 368, static_cast<std::uint16_t>(height + 8)},
            {0xE0E8F0, -182, static_cast<std::int16_t>(top - 2), 364,
             static_cast<std::uint16_t>(height + 4)}};
        for (const PaintedRect& band : bands(top, top + height, 0x22386A, 0x0E1A34, 8)) {
            fills.push_back(band);
            fills.back().x = -180;
            fills.back().width = 360;
        }
        for (const PaintedRect& band : bands(top, top + 34, 0xFFD468, 0xD88A10, 6)) {
            fills.push_back(band);
            fills.back().x = -180;
            fills.back().width = 360;
        }
        fills.push_back({0x6A4A10, -180, static_cast<std::int16_t>(top + 34), 360, 2});
        PaintedFrame frame = frameOf(std::move(fills));
        frame.boxes = {{0, static_cast<std::int16_t>(top + 48), 0, 0},
                       {0, static_cast<std::int16_t>(top + 8), 0, 0}};
        s.frames.push_back(std::move(frame));
    }
    return s;
}

PaintedSprite arrows() {
    PaintedSprite s;
    s.palettes = {palette({0xF0F0F0, 0x202020}), palette({0xF0B020, 0x402000})};
    s.frames = {frameOf({}, {arrow(24, false)}), frameOf({}, {arrow(24, true)})};
    return s;
}

PaintedSprite menuBackground() {
    PaintedSprite s;
    s.palettes = {palette({0x284870, 0x98B8E0, 0xC8D8F0})};
    std::vector<PaintedRect> fills = bands(0, kScreenHeight, 0x0A1830, 0x203C60, 40);
    // Speed stripes across the screen.
    for (int i = 0; i < 6; ++i)
        fills.push_back({0x18305A, static_cast<std::int16_t>(i * 40), static_cast<std::int16_t>(300 + i * 24),
                         static_cast<std::uint16_t>(kScreenWidth - i * 40), 10});
    // Frame 0 carries the one image (the emblem), frame 1 only rectangles:
    // frame 1 still draws once frame 0's modules alone keep images.
    s.frames = {frameOf(std::move(fills), {disc(96, 520, 360)}),
                frameOf({{0x0E1E3A, 0, 456, kScreenWidth, 24},
                         {0xF0B020, 0, 456, kScreenWidth, 2},
                         {0x16305C, 0, 64, 6, 380}})};
    return s;
}

PaintedSprite highlight() {
    PaintedSprite s;
    s.frames = {frameOf({{0xF0B020, 0, 0, 320, 40}, {0x6A4A10, 0, 36, 320, 4}})};
    return s;
}

PaintedSprite menuItem() {
    PaintedSprite s;
    s.palettes = {palette({0x203860, 0xA0B8D8, 0x2C4C7C})};
    s.frames = {frameOf({}, {button(300, 44)})};
    return s;
}

// Pictures of the race menus: a track outline on grass for each picture.
PaintedSprite pictures(std::uint32_t ground) {
    PaintedSprite s;
    s.palettes = {palette({ground, 0x505458, 0xF0F0F0, 0xD02020})};
    for (int p = 0; p < 3; ++p) {
        s.frames.push_back(frameOf({}, {datakit::paintImage(0, 0, 160, 100, [&](int x, int y) {
                                       const int dx = x - 80, dy = (y - 50) * (2 + p);
                                       const int d = dx * dx + dy * dy / 2;
                                       if (d > 60 * 60 - 400 && d < 60 * 60 + 400)
                                           return (x / 6) % 2 ? 3 : 4;
                                       if (d > 60 * 60 - 900 && d < 60 * 60 + 900)
                                           return 2;
                                       return 1;
                                   })}));
    }
    return s;
}

// Small square icons of `count` frames, each a disc, a star or a checker.
PaintedSprite icons(int count, std::uint32_t a, std::uint32_t b, std::uint16_t side) {
    PaintedSprite s;
    s.palettes = {palette({a, b})};
    for (int i = 0; i < count; ++i) {
        switch (i % 3) {
        case 0:
            s.frames.push_back(frameOf({}, {disc(side)}));
            break;
        case 1:
            s.frames.push_back(frameOf({}, {star(side)}));
            break;
        default:
            s.frames.push_back(frameOf({}, {checker(side, side, side / 4, 0, 0)}));
            break;
        }
    }
    for (int i = 0; i < count; ++i)
        s.anims.push_back({static_cast<std::uint8_t>(i)});
    return s;
}

// The height of an answer of the question box (the answers are painted
// with the menu items, see `addDemoMenuArt`).
constexpr std::uint16_t kAnswerHeight = 36;

constexpr std::uint32_t kRacerColours[] = {0xC01818, 0x1850C0, 0xE0C020, 0x18A040, 0xE06010,
                                           0x8020B0, 0x20B0C0, 0xF0F0F0, 0x303030, 0xC04080};

} // namespace

std::vector<std::optional<datakit::PaintedSprite>> demoSprites() {
    std::vector<std::optional<PaintedSprite>> sprites(kDemoSpriteCount);
    sprites[1] = titleBackground();
    sprites[2] = titleLogo();
    sprites[3] = header();
    sprites[4] = questionBox(kAnswerHeight);
    sprites[5] = menuBackground();
    sprites[6] = highlight();
    sprites[7] = arrows();
    sprites[9] = menuItem();
    sprites[10] = pictures(0x3A8A3A);
    sprites[11] = pictures(0xC8B070);
    sprites[14] = icons(4, 0xF0B020, 0x402000, 48);
    sprites[25] = icons(14, 0xF0F0F0, 0xD02020, 32);
    sprites[62] = icons(3, 0xA0A0A0, 0x202020, 40);
    sprites[53] = demoWheelParticles();
    sprites[55] = demoCarShadows();
    for (int set = kFirstRacerSprite; set < kFirstRacerSprite + 10; ++set)
        sprites[static_cast<std::size_t>(set)] = demoCar(kRacerColours[set - kFirstRacerSprite]);
    addDemoMenuArt(sprites);
    addDemoHudArt(sprites);
    addDemoRaceSprites(sprites);
    return sprites;
}

void produceSpritePack(ProgramFolder& folder) {
    // A part file is read whole into the game's heap: a new part starts
    // before the entries so far would pass 128 KB, so that no single read
    // needs a large free block.
    constexpr std::size_t kPartBytes = 128 * 1024;
    const std::vector<datakit::Bytes> entries = datakit::spritePackEntries(demoSprites());
    for (datakit::ArchiveEntry& part : datakit::packArchiveEntries(
             kSpritePackFile, kPackPartSeparatorText,
             datakit::writePack(entries, datakit::partsOfAtMost(entries, kPartBytes))))
        folder.archive.push_back(std::move(part));
}

} // namespace mkdata
