// The demo set's sprite pack: the sprites the splash, the title, the menus
// and the loading of the menus draw, and a car for each racer's sprite set,
// all painted here. Large areas are filled rectangles (sky bands, the road,
// panels); emblems, buttons, icons and cars are palette images, index 0
// being the transparent colour key. Every sprite has colours of its own, so
// that a test can tell from a pixel which sprite and frame it sees.

#include "game/framework/MenuFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "tools/datakit/PackWriter.h"
#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mkdata {

namespace {

using datakit::PaintedFrame;
using datakit::PaintedImage;
using datakit::PaintedRect;
using datakit::PaintedSprite;

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

// The title's landscape is made of filled rectangles, each of its own
// exact colour, so the sky, the hills and the ground shade smoothly without
// spending the sprite's one palette, which the car's colours take.
constexpr int kTitleHorizon = 200;

// `stops` as a gradient over t in 0..1, the stops spread evenly.
std::uint32_t gradient(std::initializer_list<std::uint32_t> stops, double t) {
    const std::vector<std::uint32_t> c(stops);
    const double at = std::clamp(t, 0.0, 1.0) * static_cast<double>(c.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(at), c.size() - 2);
    return mixColour(c[i], c[i + 1], at - static_cast<double>(i));
}

std::int16_t i16(int v) {
    return static_cast<std::int16_t>(v);
}
std::uint16_t u16(int v) {
    return static_cast<std::uint16_t>(std::max(v, 0));
}

// A dusk sky in bands of three pixels, night blue at the top through
// violet and rose to a glowing orange on the horizon, and a sun setting
// behind the hills, drawn in rows of two pixels that whiten towards its top.
void addDuskSky(std::vector<PaintedRect>& fills) {
    constexpr int band = 3;
    for (int y = 0; y < kTitleHorizon; y += band)
        fills.push_back({gradient({0x0E1238, 0x2A2466, 0x6A3C8C, 0xC85A84, 0xF08A5A, 0xFFC070},
                                  (y + band / 2.0) / kTitleHorizon),
                         0, i16(y), kScreenWidth, u16(std::min(band, kTitleHorizon - y))});
    constexpr int sunX = 566, sunY = 156, radius = 30;
    for (int y = sunY - radius; y < kTitleHorizon - 40; y += 2) {
        const double dy = y + 1 - sunY;
        const int half = static_cast<int>(std::lround(std::sqrt(std::max(0.0, radius * radius - dy * dy))));
        fills.push_back({gradient({0xFFF8D8, 0xFFE08A, 0xFFA040}, (dy + radius) / (2.0 * radius)),
                         i16(sunX - half), i16(y), u16(2 * half), 2});
    }
}

// Two rows of hills standing on the horizon in columns of `step` pixels,
// their outlines sums of sines with fixed phases (every run paints the same
// hills). Each column is lit by its slope towards the low sun on the right:
// the far row violet in the haze, the near one dark green. The title's frame
// holds about 220 rectangles of the 255 modules a sprite may have.
void addHills(std::vector<PaintedRect>& fills, int step) {
    auto ridge = [](double x, double a, double b, double c) {
        return a * std::sin(x * 0.011 + 0.7) + b * std::sin(x * 0.029 + 2.1) + c * std::sin(x * 0.071 + 4.0);
    };
    struct Row {
        double base, weight, phase;
        std::uint32_t shade, lit;
    };
    for (const Row& row : {Row{50.0, 1.5, 0.0, 0x4A3C78, 0x9C80B0}, Row{24.0, 1.0, 90.0, 0x12301E, 0x3E6A34}})
        for (int x = 0; x < kScreenWidth; x += step) {
            const auto heightAt = [&](double at) {
                return row.base + row.weight * ridge(at + row.phase, 12, 6, 2);
            };
            const double mid = x + step / 2.0;
            const int height = static_cast<int>(heightAt(mid));
            // Rising to the right faces the sun; the light is kept in
            // eight steps, so neighbouring columns of a slope match.
            const double slope = heightAt(mid + 4) - heightAt(mid - 4);
            const double light = std::round(std::clamp(0.45 - slope * 0.08, 0.0, 1.0) * 8) / 8;
            fills.push_back({mixColour(row.shade, row.lit, light), i16(x), i16(kTitleHorizon - height),
                             u16(step), u16(height)});
        }
}

// The ground in rows that thin towards the horizon: grass striped light and
// dark as a track's verges are, a road with kerbs of red and white and a
// dashed centre line, everything hazier with distance.
void addGround(std::vector<PaintedRect>& fills) {
    constexpr int rows = 16;
    const int depth = kScreenHeight - kTitleHorizon;
    const auto rowTop = [&](int k) {
        return kTitleHorizon + static_cast<int>(std::lround(depth * std::pow(k / double(rows), 1.7)));
    };
    constexpr std::uint32_t kHaze = 0xB89498;
    for (int k = 0; k < rows; ++k) {
        const int y = rowTop(k), h = rowTop(k + 1) - y;
        const double near = (y + h / 2.0 - kTitleHorizon) / depth;
        const double haze = 0.4 * (1 - near) * (1 - near);
        const auto hazy = [&](std::uint32_t c) { return mixColour(c, kHaze, haze); };
        const bool odd = k % 2 != 0;
        const int half = 24 + static_cast<int>((kScreenWidth / 2 + 60) * near);
        const int kerb = 2 + static_cast<int>(18 * near);
        fills.push_back({hazy(odd ? 0x2E6A28 : 0x3C8232), 0, i16(y), kScreenWidth, u16(h)});
        fills.push_back({hazy(odd ? 0xC81E1E : 0xF0F0EC), i16(kScreenWidth / 2 - half - kerb), i16(y),
                         u16(2 * (half + kerb)), u16(h)});
        fills.push_back({hazy(mixColour(odd ? 0x3A3E44 : 0x44484E, 0x5A5E66, 1 - near)),
                         i16(kScreenWidth / 2 - half), i16(y), u16(2 * half), u16(h)});
        if (!odd) {
            const int line = 1 + static_cast<int>(5 * near);
            fills.push_back({hazy(0xF0E060), i16(kScreenWidth / 2 - line), i16(y), u16(2 * line), u16(h)});
        }
    }
}

// The title: a sky at dusk over hills, the road running to the horizon
// and a racer's car on it, turned a little towards the bend, its edges
// blended over the asphalt under it. The car's image takes the sprite's
// one palette.
PaintedSprite titleBackground() {
    constexpr int carX = kScreenWidth / 2 + 10, carY = 418;
    constexpr std::uint32_t kAsphalt = 0x3E4248;
    const ArtPiece car = demoCarArt(0xC01818, -18, 76);
    PaintedSprite s;
    s.palettes = {artPalette({&car.canvas}, 15, kAsphalt)};
    std::vector<PaintedRect> fills;
    addDuskSky(fills);
    addHills(fills, 16);
    addGround(fills);
    s.frames = {frameOf(std::move(fills),
                        {artImage(car.canvas, s.palettes[0], static_cast<std::int16_t>(carX + car.x),
                                  static_cast<std::int16_t>(carY + car.y), kAsphalt)})};
    return s;
}

// The game's name over the title: "VORLAX" in a sunset of yellow to red
// with a shine, "RALLY" in white to ice blue on a red band between
// chequered flags, both outlined and shadowed, in one palette.
PaintedSprite titleLogo() {
    constexpr int bandWidth = 336, bandTop = 124, bandHeight = 34;
    ArtCanvas band(bandWidth, bandHeight);
    band.fill(roundedCoverage(bandWidth, bandHeight, 0, 6), 0, 0, 0x101018);
    band.fill(roundedCoverage(bandWidth, bandHeight, 2, 4), 0, 0, [](int x, int y) {
        // Chequered flags at the ends of a red band that darkens downwards.
        if (x < 66 || x >= bandWidth - 66)
            return ((x - 2) / 8 + (y - 1) / 8) % 2 ? 0x18181Cu : 0xF4F4F0u;
        return mixColour(0xF04030, 0x8A1010, y / double(bandHeight));
    });
    band.fill(shapeCoverage(bandWidth, bandHeight, [](double, double y) { return y >= 3 && y < 13; }), 0, 0,
              0xFFFFFF, 0.18f);
    ArtCanvas name = lettering(u"VORLAX", 84, 0xFFE870, 0xD02818, 4, 4);
    ArtCanvas rally = lettering(u"RALLY", 32, 0xFFFFFF, 0x98C0F0, 2, 2);
    std::vector<ArtPiece> frame;
    frame.push_back({std::move(band), (kScreenWidth - bandWidth) / 2, bandTop});
    frame.push_back(centred(std::move(name), kScreenWidth / 2, 64));
    frame.push_back(centred(std::move(rally), kScreenWidth / 2, bandTop + bandHeight / 2 - 1));
    return artSprite({frame});
}

PaintedSprite header() {
    PaintedSprite s;
    s.frames = {frameOf({{0x10204A, 0, 0, kScreenWidth, 56},
                         {0xF0B020, 0, 52, kScreenWidth, 4},
                         {0x2A4A8A, 0, 0, kScreenWidth, 6}})};
    return s;
}

// The question box, drawn from its centre: frame n fits n answers (frame 0
// none), with its box points where the game looks for them.
PaintedSprite questionBox(int answerHeight) {
    PaintedSprite s;
    for (int answers = 0; answers <= 6; ++answers) {
        const int height = 52 + answers * answerHeight + 12;
        const auto top = static_cast<std::int16_t>(-height / 2);
        // A shadow, a dark outline and a light rim around a body that darkens
        // downwards, under a title band of dark bronze over an amber line:
        // the title's amber letters need a dark ground to be read.
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
        for (const PaintedRect& band : bands(top, top + 34, 0x4A3212, 0x1E1408, 6)) {
            fills.push_back(band);
            fills.back().x = -180;
            fills.back().width = 360;
        }
        fills.push_back({0xF0B020, -180, static_cast<std::int16_t>(top + 34), 360, 2});
        PaintedFrame frame = frameOf(std::move(fills));
        frame.boxes.resize(game::kBoxTitlePoint + 1);
        frame.boxes[game::kAnswerPoint] = {0, static_cast<std::int16_t>(top + 48), 0, 0};
        frame.boxes[game::kBoxTitlePoint] = {0, static_cast<std::int16_t>(top + 8), 0, 0};
        s.frames.push_back(std::move(frame));
    }
    return s;
}

PaintedSprite arrows() {
    PaintedSprite s;
    s.palettes = {palette({0xF0F0F0, 0x202020}), palette({0xF0B020, 0x402000})};
    s.frames.resize(game::kRightArrowFrame + 1);
    s.frames[game::kLeftArrowFrame] = frameOf({}, {arrow(24, false)});
    s.frames[game::kRightArrowFrame] = frameOf({}, {arrow(24, true)});
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

// The track effects' sprite, which the menus' reference list shares: its
// first 14 frames are the list's pictures (white and red icons, as
// `icons` paints them), the race's effects follow, no wider than those
// pictures so that the list's text keeps its room. The race's animations
// (RaceSceneFrames.h): the gates' post with its beam across the lane
// pulsing, the timed gate's lamp green and its beam off while it is open,
// then red with the beam flickering; dust thrown up and sparks for the
// animations under the car; the nitro's blue burst behind the car; the
// sparks of a knock-out, white-hot at their heart. Each drawn from the
// effect's ground point, up.
PaintedSprite trackEffects() {
    constexpr std::uint16_t kSide = 32;
    PaintedSprite s = icons(14, 0xF0F0F0, 0xD02020, kSide);
    enum Ink : int {
        kDustLight = 3,
        kDust,
        kDustDark,
        kSparkYellow,
        kSparkOrange,
        kFlameBlue,
        kBeamRed,
        kBeamPink,
        kPost,
        kLampGreen,
        kPostDark,
        kWhiteHot,
        kFlameDeep,
    };
    s.palettes = {palette({0xF0F0F0, 0xD02020, 0xD8C490, 0xB09870, 0x7A6648, 0xFFE040, 0xFF8A20, 0x70C8FF,
                           0xFF2A2A, 0xFF9A9A, 0x6A7282, 0x40E060, 0x343A46, 0xFFFFE8, 0x2860D0})};
    const auto add = [&](PaintedImage image) {
        s.frames.push_back(frameOf({}, {std::move(image)}));
        return static_cast<std::uint8_t>(s.frames.size() - 1);
    };
    constexpr int kHalf = kSide / 2;
    // A post 48 px high with a lamp on top and, `beam` 0 none to 3 brightest,
    // a beam across from the post at lamp height.
    const auto gate = [&](int beam, int lamp) {
        return add(datakit::paintImage(-kHalf, -48, kSide, 48, [&](int x, int y) {
            const int dx = x - 6;
            if (y < 8 && dx * dx + (y - 4) * (y - 4) <= 12)
                return lamp;
            if (x >= 4 && x < 9 && y >= 8)
                return x == 4 ? static_cast<int>(kPostDark) : static_cast<int>(kPost);
            if (beam > 0 && x >= 9 && y >= 14 && y < 20) {
                const bool core = y >= 16 && y < 18;
                if (((x + beam * 3) % 7) < beam + 3)
                    return core ? static_cast<int>(kWhiteHot) : (beam > 1 ? kBeamRed : kBeamPink);
            }
            return 0;
        }));
    };
    std::vector<std::uint8_t> pulse;
    for (int b = 1; b <= 3; ++b)
        pulse.push_back(gate(b, kBeamRed));
    pulse.push_back(gate(2, kSparkYellow));
    const std::uint8_t open = gate(0, kLampGreen);
    const std::uint8_t shutA = gate(3, kBeamRed), shutB = gate(2, kBeamRed);
    // Dust: a puff growing and thinning, dithered in three shades.
    std::vector<std::uint8_t> dust, sparks, burst, knock;
    for (int f = 0; f < 4; ++f) {
        const int r = 5 + 3 * f;
        dust.push_back(add(datakit::paintImage(-kHalf, -24, kSide, 24, [&](int x, int y) {
            const int dx = x - kHalf, dy = (y - 16) * 3 / 2;
            const int d = dx * dx + dy * dy;
            if (d > r * r || (x * 7 + y * 5 + f) % (f + 2) == 0)
                return 0;
            return d < r * r / 4 ? static_cast<int>(kDustLight) : (d < r * r / 2 ? kDust : kDustDark);
        })));
        // Sparks: streaks from the centre along eight directions, longer and
        // redder as they fly.
        const int reach = 4 + 4 * f;
        const auto spark = [&, f](bool hot) {
            return datakit::paintImage(-kHalf, -kSide, kSide, kSide, [=](int x, int y) {
                const int dx = x - kHalf, dy = y - kHalf;
                const int ax = std::abs(dx), ay = std::abs(dy);
                const bool ray = (ax == 0 || ay == 0 || ax == ay) && ax + ay > f && std::max(ax, ay) <= reach;
                if (hot && ax + ay <= 3 - f / 2)
                    return static_cast<int>(kWhiteHot);
                if (!ray)
                    return 0;
                const int along = std::max(ax, ay);
                return along > reach - 2 ? static_cast<int>(kSparkOrange)
                                         : (hot && along < 3 ? kWhiteHot : kSparkYellow);
            });
        };
        sparks.push_back(add(spark(false)));
        knock.push_back(add(spark(true)));
        // The nitro's burst: a blue flame cone from the car's rear, its
        // white core shrinking as the flame grows.
        burst.push_back(add(datakit::paintImage(-kHalf, -20, kSide, 20, [&](int x, int y) {
            const int dx = std::abs(x - kHalf), depth = y;
            const int width = 3 + depth * (2 + f) / 4;
            if (dx > width || depth < 4 - f)
                return 0;
            if (dx < width / 3 && depth < 10 - 2 * f)
                return static_cast<int>(kWhiteHot);
            return dx < width * 2 / 3 ? static_cast<int>(kFlameBlue) : static_cast<int>(kFlameDeep);
        })));
    }
    for (int a = game::kFirstGateAnim; a <= game::kLastPulseGateAnim; ++a) {
        std::vector<std::uint8_t> frames;
        for (std::size_t k = 0; k < pulse.size(); ++k)
            frames.push_back(pulse[(k + static_cast<std::size_t>(a)) % pulse.size()]);
        s.anims[static_cast<std::size_t>(a)] = frames;
    }
    std::vector<std::uint8_t> timed(game::kTimedGateOpenFrames, open);
    while (timed.size() < game::kTimedGateFrames)
        timed.push_back(timed.size() % 2 ? shutA : shutB);
    s.anims[game::kTimedGateAnim] = timed;
    const std::vector<std::uint8_t> underCar[game::kUnderCarAnims] = {
        dust, sparks, {dust[1], dust[2], dust[3], dust[3]}, {sparks[1], sparks[2], sparks[3]}, burst};
    for (int i = 0; i < game::kUnderCarAnims; ++i)
        s.anims[static_cast<std::size_t>(game::kFirstUnderCarAnim + i)] = underCar[i];
    s.anims.resize(game::kTrackEffectAnims);
    s.anims[game::kNitroBurstAnim] = burst;
    s.anims[game::kKnockSparksAnim] = knock;
    return s;
}

// The height of an answer of the question box (the answers are painted
// with the menu items, see `addDemoMenuArt`).
constexpr std::uint16_t kAnswerHeight = 36;

// The body colours of the cars, `game::kCarSprite0` first.
constexpr std::uint32_t kRacerColours[] = {0xC01818, 0x1850C0, 0xE0C020, 0x18A040, 0xE06010,
                                           0x8020B0, 0x20B0C0, 0xF0F0F0, 0x303030, 0xC04080};
static_assert(std::size(kRacerColours) == game::kCarSprite9 - game::kCarSprite0 + 1);

} // namespace

std::vector<std::optional<datakit::PaintedSprite>> demoSprites() {
    std::vector<std::optional<PaintedSprite>> sprites(game::kSpriteCount);
    sprites[game::kTitleBackgroundSprite] = titleBackground();
    sprites[game::kTitleLogoSprite] = titleLogo();
    sprites[game::kMenuHeaderSprite] = header();
    sprites[game::kQuestionBoxSprite] = questionBox(kAnswerHeight);
    sprites[game::kMenuHighlightSprite] = highlight();
    sprites[game::kMenuArrowSprite] = arrows();
    sprites[game::kMenuItemPlateSprite] = menuItem();
    sprites[game::kCupPictureSprite] = pictures(0x3A8A3A);
    sprites[game::kBonusPictureSprite] = pictures(0xC8B070);
    sprites[game::kMenuIconSprite] = icons(4, 0xF0B020, 0x402000, 48);
    sprites[game::kReferencePictureSprite] = trackEffects();
    sprites[game::kMenuSymbolSprite] = icons(3, 0xA0A0A0, 0x202020, 40);
    sprites[game::kWheelParticleSprite] = demoWheelParticles();
    sprites[game::kCarShadowSprite] = demoCarShadows();
    for (std::size_t car = 0; car < std::size(kRacerColours); ++car)
        sprites[game::kCarSprite0 + car] = demoCar(kRacerColours[car]);
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
