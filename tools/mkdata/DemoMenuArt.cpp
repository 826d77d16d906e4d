// The front end's painted parts: the splash's two pictures (drawn from
// their centres on white), the menus' frame pieces (the header and footer
// bar, the name plate, the settings gauge and the emblem) and the menu
// items, answers and soft keys, as glossy bevelled shapes, each in its slot
// and its frames as the game names them (game/framework/MenuFrames.h).
// Sizes and anchors are the ones the menus lay out with: the bar is 640 x
// 48 from its top centre, the plate 120 x 40 from its centre, the emblem a
// 56 px wheel from its hub with lines trailing to its right, the gauge 160 x
// 14 (its fill 158 x 12 inside it) from its top left; an item is 300 x 44,
// an answer 200 x 36 and a soft key 96 x 36, each from its top left.

#include "game/framework/MenuFrames.h"
#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace mkdata {

namespace {

using datakit::PaintedSprite;
using Frame = std::vector<ArtPiece>;

constexpr std::uint32_t kAmber = 0xF0B020;

// A glossy button: a dark outline, a light bevel, a body in a gradient with
// a shine over its upper half.
ArtCanvas glossy(int width, int height, std::uint32_t top, std::uint32_t bottom, double radius) {
    ArtCanvas canvas = tile(width, height, top, bottom, radius);
    const Coverage shine = shapeCoverage(width, height, [&](double x, double y) {
        return insideRoundedRect(x, y, 6, 5, width - 6, height * 0.48, std::max(radius - 6, 2.0));
    });
    canvas.fill(shine, 0, 0, 0xFFFFFF, 0.22f);
    return canvas;
}

// The bar across the screen: gold trim, a navy body with a sheen and a
// chequered trim fading in along the top of its right end. The trim keeps
// to rows 2 to 15: below it the footer's help line runs the whole width
// (from row 20) and the right soft key sits (from row 16).
ArtCanvas bar() {
    constexpr int width = 640, height = 48;
    ArtCanvas canvas(width, height);
    const Coverage all = shapeCoverage(width, height, [](double, double) { return true; });
    canvas.fill(all, 0, 0, [](int, int y) {
        if (y < 2)
            return 0x6A8AC8u;
        if (y >= 42)
            return y >= 46 ? 0x6A4A10u : kAmber;
        return mixColour(0x24448A, 0x0A1430, (y - 2) / 40.0);
    });
    const Coverage chequer = shapeCoverage(width, height, [](double x, double y) {
        const double edge = width - x;
        return y >= 2 && y < 16 && edge < 112 &&
               (static_cast<int>(x / 7) + static_cast<int>((y - 2) / 7)) % 2 == 0;
    });
    canvas.fill(chequer, 0, 0, [](int x, int) {
        const double edge = width - x;
        return mixColour(0xE8ECF4, 0x24448A, std::clamp(edge / 112.0, 0.0, 1.0));
    });
    const Coverage sheen = shapeCoverage(width, height, [](double, double y) { return y >= 3 && y < 16; });
    canvas.fill(sheen, 0, 0, 0xFFFFFF, 0.12f);
    return canvas;
}

// The emblem: a wheel (a treaded tyre, a silver rim with five spokes and a
// gold hub) racing to the left, speed lines trailing from its right side.
// The hub is the frame's origin and the lines reach `kEmblemTrail` px past
// the tyre: the menus place the emblem by the frame's width, W / 2 + width
// / 2 - 35, which puts the wheel's left edge kEmblemTrail / 2 px right of W
// / 2 - 35, clear of the items that end at x 310; the bonus menu puts the
// hub at the screen's centre, under its middle picture.
constexpr int kEmblemSide = 56;
constexpr int kEmblemTrail = 96;

ArtCanvas emblem() {
    constexpr int side = kEmblemSide, width = side + kEmblemTrail;
    constexpr double c = side / 2.0, k = side / 64.0;
    ArtCanvas canvas(width, side);
    // Three lines, each tapering to a point, the middle one the longest.
    const Coverage lines = shapeCoverage(width, side, [&](double x, double y) {
        for (const auto& [dy, length, thickness] :
             {std::array<double, 3>{-12, 0.7, 4.0}, std::array<double, 3>{0, 1.0, 5.0},
              std::array<double, 3>{12, 0.8, 4.0}}) {
            const double t = (x - c) / (kEmblemTrail * length + c);
            if (t >= 0 && t <= 1 && std::fabs(y - c - dy * k) <= thickness / 2 * (1 - t))
                return true;
        }
        return false;
    });
    canvas.fill(grown(lines, 1.f), 0, 0, 0x0A0A10);
    canvas.fill(lines, 0, 0, [&](int x, int) { return mixColour(0xFFE08A, kAmber, (x - c) / kEmblemTrail); });
    const auto ring = [&](double outer, double inner) {
        return shapeCoverage(width, side, [&](double x, double y) {
            const double r = std::hypot(x - c, y - c);
            return r <= outer * k && r >= inner * k;
        });
    };
    canvas.fill(ring(31, 0), 0, 0, 0x0A0A10);
    canvas.fill(ring(29.5, 20), 0, 0, [&](int x, int y) {
        const double a = std::atan2(y + 0.5 - c, x + 0.5 - c);
        return std::fmod(a * 24 / std::numbers::pi + 48, 2.0) < 1.0 ? 0x2A2A30u : 0x3C3C44u;
    });
    canvas.fill(ring(20, 0), 0, 0,
                [&](int, int y) { return mixColour(0xF4F6FA, 0x7A8290, y / double(side)); });
    const Coverage spokes = shapeCoverage(width, side, [&](double x, double y) {
        const double r = std::hypot(x - c, y - c);
        if (r > 17 * k)
            return false;
        if (r < 6 * k)
            return true;
        const double a = std::atan2(y - c, x - c) + std::numbers::pi / 2;
        return std::fabs(std::remainder(a, 2 * std::numbers::pi / 5)) < 0.22;
    });
    canvas.fill(ring(17, 6), 0, 0, 0x1A2030);
    canvas.fill(spokes, 0, 0, [&](int, int y) { return mixColour(0xF4F6FA, 0x8A92A0, y / double(side)); });
    paintShape(
        canvas, [&](double x, double y) { return std::hypot(x - c, y - c) < 6.5 * k; }, kAmber, 1.f);
    return canvas;
}

PaintedSprite menuBar() {
    std::vector<Frame> frames(game::kMenuEmblemFrame + 1);
    frames[game::kMenuBarFrame] = {{bar(), -320, 0}};
    frames[game::kNamePlateFrame] = {centred(glossy(120, 40, 0xFFD060, 0xD07810, 12))};
    ArtCanvas track(160, 14);
    track.fill(roundedCoverage(160, 14, 0, 5), 0, 0, 0xA0A8B8);
    track.fill(roundedCoverage(160, 14, 1, 4), 0, 0,
               [](int, int y) { return mixColour(0x080C18, 0x1E2840, y / 14.0); });
    frames[game::kGaugeFrame] = {{std::move(track), 0, 0}};
    ArtCanvas fill(158, 12);
    fill.fill(roundedCoverage(158, 12, 0, 4), 0, 0, [](int x, int y) {
        const std::uint32_t c = mixColour(0xE07810, 0xFFD040, x / 158.0);
        return y < 5 ? mixColour(c, 0xFFFFFF, 0.4 * (1 - y / 5.0)) : c;
    });
    frames[game::kGaugeFillFrame] = {{std::move(fill), 1, 1}};
    ArtCanvas notch(2, 14);
    notch.fill(shapeCoverage(2, 14, [](double, double) { return true; }), 0, 0, 0xA0A8B8);
    frames[game::kGaugeNotchFrame] = {{std::move(notch), 0, 0}};
    ArtCanvas mark(3, 18);
    mark.fill(shapeCoverage(3, 18, [](double, double) { return true; }), 0, 0,
              [](int x, int) { return x == 1 ? 0xFFFFFFu : 0xC8D0DCu; });
    frames[game::kGaugeEndFrame] = {{std::move(mark), -1, -2}};
    frames[game::kMenuEmblemFrame] = {{emblem(), -kEmblemSide / 2, -kEmblemSide / 2}};
    return artSprite(frames);
}

// A soft key: a 96 x 36 frame whose button shows wholly in either bottom
// corner. The left key is placed 8 px past the screen's left edge, the right
// one 4 px past its right edge, both 4 px past its bottom: the button covers
// the frame's columns 8 to 91 and its top 32 rows, the rest is transparent.
ArtCanvas softKey(std::uint32_t top, std::uint32_t bottom) {
    constexpr int width = 96, height = 36, left = 8, right = 92, visible = 32;
    ArtCanvas canvas(width, height);
    stamp(canvas, glossy(right - left, visible, top, bottom, 10), left, 0);
    return canvas;
}

// The race's pause button: a square glossy key with the two bars of a
// pause sign, its face amber while pressed. Square because the race's touch
// zone for it is as high as the frame is wide.
ArtCanvas pauseButton(std::uint32_t top, std::uint32_t bottom) {
    constexpr int side = 44;
    ArtCanvas canvas = glossy(side, side, top, bottom, 11);
    const auto bars = [](double x, double y) {
        return y > 12 && y < 32 && ((x > 14 && x < 20) || (x > 25 && x < 31));
    };
    canvas.fill(shapeCoverage(side, side, [&](double x, double y) { return bars(x - 1, y - 1); }), 0, 0,
                0x0A1020, 0.6f);
    canvas.fill(shapeCoverage(side, side, bars), 0, 0, 0xF8F8F8);
    return canvas;
}

// A menu item highlighted and plain, an answer highlighted and plain, the
// soft keys pressed and plain, every frame from them to the pause button's a
// soft key, and the pause button pressed and plain. The palette is the
// menus' own, made from the items and the soft keys, so the pause button
// changes no menu's colours.
PaintedSprite menuItems() {
    constexpr std::uint32_t kOnTop = 0xFFD868, kOnBottom = 0xD88A10;
    constexpr std::uint32_t kOffTop = 0x4A6A9C, kOffBottom = 0x1A2A4C;
    constexpr std::uint32_t kPressedTop = 0x7A9ADC, kPressedBottom = 0x2A4A8C;
    std::vector<ArtCanvas> canvases;
    canvases.push_back(glossy(300, 44, kOnTop, kOnBottom, 12));
    canvases.push_back(glossy(300, 44, kOffTop, kOffBottom, 12));
    canvases.push_back(glossy(200, 36, kOnTop, kOnBottom, 10));
    canvases.push_back(glossy(200, 36, kOffTop, kOffBottom, 10));
    for (int key = game::kSoftKeyFrame; key <= game::kPauseFrameOff; ++key)
        canvases.push_back(glossy(96, 36, kOffTop, kOffBottom, 10));
    canvases[game::kSoftKeyFrame] = softKey(kPressedTop, kPressedBottom);
    canvases[game::kSoftKeyFrameOff] = softKey(kOffTop, kOffBottom);
    std::vector<const ArtCanvas*> menuCanvases;
    for (const ArtCanvas& canvas : canvases)
        menuCanvases.push_back(&canvas);
    const std::vector<std::uint32_t> palette = artPalette(menuCanvases);
    canvases[game::kPauseFrame] = pauseButton(kOnTop, kOnBottom);
    canvases[game::kPauseFrameOff] = pauseButton(kOffTop, kOffBottom);
    PaintedSprite s;
    s.palettes = {palette, palette};
    for (const ArtCanvas& canvas : canvases) {
        datakit::PaintedFrame frame;
        frame.images.push_back(artImage(canvas, palette, 0, 0));
        s.frames.push_back(std::move(frame));
    }
    return s;
}

// The splash's first picture: the studio's logo, a bevelled shield of deep
// blue with a gold rim, its initial under a gold star and speed lines
// across it, and the studio's name under it on a gold rule.
ArtCanvas studioBadge() {
    constexpr int width = 300, height = 262, shieldLeft = (width - 220) / 2;
    ArtCanvas canvas(width, height);
    const auto shield = [](double inset) {
        return [inset](double x, double y) {
            x -= shieldLeft;
            const double left = 20 + inset, right = 200 - inset, top = 4 + inset;
            if (y < top || x < left || x > right)
                return false;
            if (y < 96)
                return insideRoundedRect(x, y, left, top, right, 140, 26 - inset);
            // The lower part narrows to a point.
            const double bottom = 186 - inset;
            const double half = (right - left) / 2 * std::sqrt(std::max(0.0, 1 - (y - 96) / (bottom - 96)));
            return std::fabs(x - 110) <= half;
        };
    };
    canvas.fill(shapeCoverage(width, height, [&](double x, double y) { return shield(0)(x - 4, y - 4); }), 0,
                0, 0x000000, 0.25f);
    canvas.fill(shapeCoverage(width, height, shield(0)), 0, 0, 0x101018);
    canvas.fill(shapeCoverage(width, height, shield(3)), 0, 0,
                [](int, int y) { return mixColour(0xFFE68A, 0xB87810, y / 190.0); });
    canvas.fill(shapeCoverage(width, height, shield(8)), 0, 0,
                [](int, int y) { return mixColour(0x3A68C8, 0x0A1A50, y / 190.0); });
    // Speed lines sweeping across the shield behind the initial.
    const auto inner = shield(8);
    canvas.fill(shapeCoverage(width, height,
                              [&](double x, double y) {
                                  const double u = y + (x - shieldLeft) * 0.18;
                                  return inner(x, y) && y > 60 && y < 150 &&
                                         std::fmod(u, 22) < 5 + (x - shieldLeft) / 60;
                              }),
                0, 0, 0x6A98F0, 0.45f);
    // A sheen over the upper half of the shield.
    canvas.fill(shapeCoverage(width, height, [&](double x, double y) { return inner(x, y) && y < 58; }), 0, 0,
                0xFFFFFF, 0.14f);
    paintShape(
        canvas,
        [](double x, double y) {
            return std::hypot(x - 150, y - 30) <= 17 && insideStar(x, y, 150, 30, 17, 7);
        },
        0xF0B020, 1.5f);
    const ArtCanvas initial = lettering(u"B", 100, 0xFFF4C0, 0xE09018, 4, 4);
    stamp(canvas, initial, width / 2 - initial.width() / 2 - 4, 24);
    // The name on a gold rule.
    canvas.fill(
        shapeCoverage(width, height,
                      [](double x, double y) { return insideRoundedRect(x, y, 16, 246, 284, 251, 2.5); }),
        0, 0, [](int x, int) { return mixColour(0xFFE68A, 0xB87810, std::fabs(x - 150) / 140.0); });
    const ArtCanvas name = lettering(u"BRIVANTA", 34, 0x3A68C8, 0x0A1A50, 2, 2);
    stamp(canvas, name, width / 2 - name.width() / 2, 194);
    return canvas;
}

// One chequered flag waving on its pole, the cloth shaded along its folds.
ArtCanvas flag() {
    constexpr int width = 240, height = 170;
    ArtCanvas canvas(width, height);
    const auto fold = [](double x) { return 9 * std::sin((x - 30) / 200 * 2.6 * std::numbers::pi); };
    const Coverage cloth = shapeCoverage(width, height, [&](double x, double y) {
        const double lift = fold(x);
        return x >= 30 && x <= 232 && y >= 16 + lift && y <= 130 + lift * 0.8;
    });
    canvas.fill(grown(cloth, 2.5f), 0, 0, 0x101018);
    canvas.fill(cloth, 0, 0, [&](int x, int y) {
        const double lift = fold(x + 0.5);
        const double v = (y + 0.5 - 16 - lift) / (114 - lift * 0.2);
        const bool white = (static_cast<int>((x - 30) / 25.25) + static_cast<int>(v * 6)) % 2 == 0;
        // Light falls on the folds that face up.
        const double slope = fold(x + 1.5) - fold(x - 0.5);
        const double light = std::clamp(0.55 - slope * 0.35, 0.1, 1.0);
        return white ? mixColour(0x9098A8, 0xFFFFFF, light) : mixColour(0x000000, 0x383840, light);
    });
    paintShape(
        canvas, [](double x, double y) { return x >= 20 && x <= 29 && y >= 8 && y <= 168; }, 0xC8D0DC, 2.f);
    paintShape(
        canvas, [](double x, double y) { return std::hypot(x - 24.5, y - 8) < 7; }, 0xF0B020, 2.f);
    return canvas;
}

// `part` laid over `canvas` turned by `angle` radians (clockwise) about its
// point (px, py), which lands on (x, y); mirrored left to right first when
// `mirror` is set. Each pixel averages 2 x 2 samples of the part.
void stampTurned(ArtCanvas& canvas, const ArtCanvas& part, double px, double py, double x, double y,
                 double angle, bool mirror) {
    const double c = std::cos(angle), s = std::sin(angle);
    for (int ty = 0; ty < canvas.height(); ++ty)
        for (int tx = 0; tx < canvas.width(); ++tx) {
            float a = 0, r = 0, g = 0, b = 0;
            for (int sample = 0; sample < 4; ++sample) {
                const double dx = tx + 0.25 + 0.5 * (sample % 2) - x, dy = ty + 0.25 + 0.5 * (sample / 2) - y;
                double sx = px + c * dx + s * dy;
                const double sy = py - s * dx + c * dy;
                if (mirror)
                    sx = part.width() - sx;
                const int ix = static_cast<int>(std::floor(sx)), iy = static_cast<int>(std::floor(sy));
                if (ix < 0 || iy < 0 || ix >= part.width() || iy >= part.height())
                    continue;
                const Rgba& p = part.at(ix, iy);
                a += p.a / 4;
                r += p.r * p.a / 4;
                g += p.g * p.a / 4;
                b += p.b * p.a / 4;
            }
            if (a > 0)
                canvas.fill(Coverage{1, 1, {a}}, tx, ty,
                            (static_cast<std::uint32_t>(std::lround(r / a)) << 16) |
                                (static_cast<std::uint32_t>(std::lround(g / a)) << 8) |
                                static_cast<std::uint32_t>(std::lround(b / a)));
        }
}

// The splash's second picture: two chequered flags waving from crossed
// poles, a gold laurel round their feet. The turned cloths reach 40 px below
// the poles' feet and the knobs 158 px above them: the canvas keeps an equal
// margin above and below.
ArtCanvas waving() {
    constexpr int width = 470, height = 226;
    constexpr double pivotX = width / 2.0, pivotY = 172, foot = 28;
    ArtCanvas canvas(width, height);
    const ArtCanvas one = flag();
    stampTurned(canvas, one, 240 - 24.5, 168, pivotX + foot, pivotY, -0.36, true);
    stampTurned(canvas, one, 24.5, 168, pivotX - foot, pivotY, 0.36, false);
    // The laurel round the poles' feet: leaves along a circle's two sides,
    // each pointing up the circle and a little outwards.
    struct Leaf {
        double x, y, ux, uy;
    };
    std::vector<Leaf> leaves;
    for (int side = -1; side <= 1; side += 2)
        for (int leaf = 0; leaf < 6; ++leaf) {
            constexpr double cx = width / 2.0, cy = 150, radius = 40;
            const double t = (30 + 18 * leaf) * std::numbers::pi / 180, tilt = t - 0.6;
            leaves.push_back({cx + side * radius * std::sin(t), cy + radius * std::cos(t),
                              side * std::cos(tilt), -std::sin(tilt)});
        }
    paintShape(
        canvas,
        [&leaves](double x, double y) {
            return std::any_of(leaves.begin(), leaves.end(), [&](const Leaf& leaf) {
                const double along = (x - leaf.x) * leaf.ux + (y - leaf.y) * leaf.uy;
                const double across = (x - leaf.x) * -leaf.uy + (y - leaf.y) * leaf.ux;
                return along * along / 100 + across * across / 18 <= 1;
            });
        },
        0xE8B030, 1.5f);
    return canvas;
}

PaintedSprite splash() {
    std::vector<Frame> frames(game::kSplashPictureFrame + 1);
    frames[game::kStudioLogoFrame] = {centred(studioBadge())};
    frames[game::kSplashPictureFrame] = {centred(waving())};
    // Drawn on white: edges are blended over it.
    std::vector<const ArtCanvas*> all = {&frames[game::kStudioLogoFrame][0].canvas,
                                         &frames[game::kSplashPictureFrame][0].canvas};
    PaintedSprite s;
    s.palettes = {artPalette(all, 15, 0xFFFFFF)};
    for (const Frame& frame : frames)
        s.frames.push_back(
            {.fills = {},
             .images = {artImage(frame[0].canvas, s.palettes[0], frame[0].x, frame[0].y, 0xFFFFFF)},
             .boxes = {}});
    return s;
}

// The menus' backdrop, under every menu and list: a navy ramp with speed
// stripes, and low down on the right (where the menus leave room) a rev
// counter in the backdrop's own dim blues, its needle in the red. The
// overlay frame holds only rectangles: the backdrop's pixels are dropped
// once the picture's cache image is made, and only frame 0 gets one.
constexpr int kBackdropWidth = 640, kBackdropHeight = 480;
constexpr int kDialSide = 236, kDialLeft = 398, kDialTop = 214;

std::uint32_t backdropColourAt(int y) {
    return mixColour(0x0A1830, 0x203C60, y / double(kBackdropHeight));
}

ArtCanvas revCounter() {
    constexpr int side = kDialSide;
    constexpr double c = side / 2.0, rim = c - 1, face = rim - 8;
    // The scale turns 270 degrees clockwise from the lower left: 0 to 8
    // (thousands), red from 7.
    constexpr double kFrom = 0.75 * std::numbers::pi, kSweep = 1.5 * std::numbers::pi;
    const auto angleOf = [&](double value) { return kFrom + kSweep * value / 8; };
    const auto polar = [&](double x, double y, double& r, double& value) {
        r = std::hypot(x - c, y - c);
        double a = std::atan2(y - c, x - c) - kFrom;
        while (a < 0)
            a += 2 * std::numbers::pi;
        value = a / kSweep * 8;
    };
    ArtCanvas canvas(side, side);
    canvas.fill(
        shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) <= rim; }), 0, 0,
        [&](int, int y) { return mixColour(0x4A6A9C, 0x162846, y / double(side)); });
    canvas.fill(
        shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) <= face; }), 0, 0,
        [&](int, int y) { return mixColour(0x0C1A34, 0x14284C, y / double(side)); });
    // The red band from 7 to 8, then the ticks: every half thousand, long
    // and bold at each thousand.
    canvas.fill(shapeCoverage(side, side,
                              [&](double x, double y) {
                                  double r, v;
                                  polar(x, y, r, v);
                                  return r >= face - 14 && r <= face - 4 && v >= 7 && v <= 8;
                              }),
                0, 0, 0x7A2232);
    canvas.fill(shapeCoverage(side, side,
                              [&](double x, double y) {
                                  double r, v;
                                  polar(x, y, r, v);
                                  if (v > 8.02 || r > face - 4)
                                      return false;
                                  const double step = std::round(v * 2) / 2;
                                  const bool major = std::fmod(step, 1.0) == 0;
                                  const double off = std::fabs(v - step) * kSweep / 8 * r;
                                  return r >= face - (major ? 20 : 12) && off <= (major ? 1.6 : 0.8);
                              }),
                0, 0, 0x7A9ACC);
    for (int value = 0; value <= 8; ++value) {
        const char16_t digit = static_cast<char16_t>(u'0' + value);
        const Coverage number = textCoverage(std::u16string_view(&digit, 1), 17, 0, 0);
        const double a = angleOf(value), r = face - 34;
        canvas.fill(number, static_cast<int>(std::lround(c + r * std::cos(a) - number.width / 2.0)),
                    static_cast<int>(std::lround(c + r * std::sin(a) - number.height / 2.0)),
                    value >= 7 ? 0xA84050u : 0x5A7AAC);
    }
    const Coverage unit = textCoverage(u"x1000 RPM", 11, 0, 0);
    canvas.fill(unit, static_cast<int>(c - unit.width / 2.0), static_cast<int>(c + 30), 0x3A5A8C);
    // The needle, near the red, and its cap.
    const double needle = angleOf(6.4);
    const double ux = std::cos(needle), uy = std::sin(needle);
    canvas.fill(shapeCoverage(side, side,
                              [&](double x, double y) {
                                  const double along = (x - c) * ux + (y - c) * uy;
                                  const double across = std::fabs(-(x - c) * uy + (y - c) * ux);
                                  return along >= -14 && along <= face - 10 &&
                                         across <= 3.5 * (1 - (along + 14) / (face + 4));
                              }),
                0, 0, 0xB83A2A);
    paintShape(
        canvas, [&](double x, double y) { return std::hypot(x - c, y - c) <= 11; }, 0x2A3A5A, 1.5f);
    return canvas;
}

PaintedSprite menuBackground() {
    constexpr int kBands = 40, kBandHeight = kBackdropHeight / kBands;
    std::vector<datakit::PaintedRect> fills;
    for (int band = 0; band < kBands; ++band)
        fills.push_back({mixColour(0x0A1830, 0x203C60, band / double(kBands - 1)), 0,
                         static_cast<std::int16_t>(band * kBandHeight), kBackdropWidth, kBandHeight});
    for (int i = 0; i < 6; ++i)
        fills.push_back({0x18305A, static_cast<std::int16_t>(i * 40), static_cast<std::int16_t>(300 + i * 24),
                         static_cast<std::uint16_t>(kBackdropWidth - i * 40), 10});
    const ArtCanvas dial = revCounter();
    // The dial's rim is blended over the backdrop at its middle height.
    const std::uint32_t matte = backdropColourAt(kDialTop + kDialSide / 2);
    PaintedSprite s;
    s.palettes = {artPalette({&dial}, 15, matte)};
    s.frames.resize(game::kBackgroundOverlayFrame + 1);
    s.frames[game::kBackgroundFrame] = {.fills = std::move(fills),
                                        .images = {artImage(dial, s.palettes[0], kDialLeft, kDialTop, matte)},
                                        .boxes = {}};
    s.frames[game::kBackgroundOverlayFrame] = {.fills = {{0x0E1E3A, 0, 456, kBackdropWidth, 24},
                                                         {0xF0B020, 0, 456, kBackdropWidth, 2},
                                                         {0x16305C, 0, 64, 6, 380}},
                                               .images = {},
                                               .boxes = {}};
    return s;
}

} // namespace

void addDemoMenuArt(std::vector<std::optional<PaintedSprite>>& sprites) {
    sprites[game::kSplashSprite] = splash();
    sprites[game::kMenuBackgroundSprite] = menuBackground();
    sprites[game::kMenuFrameSprite] = menuBar();
    sprites[game::kMenuItemSprite] = menuItems();
}

} // namespace mkdata
