// The promotion screen's pictures and font, painted for the 640 x 480
// screen the game gives it. The screen lays its pages out on white: a
// regular page shows its poster (320 x 100) above the middle of the screen,
// where the blinking "get it" button sits, and its text below; the featured
// and portal pages and the lists hang under a "more games" banner. The
// page arrows, the back key and the row icons are glossy navy and amber
// like the game's own menus, and the text is outlined in deep navy, so that
// it reads in each of the three inks the screen gives it (its own white,
// cyan and red) over white and over the pictures alike.

#include "tools/datakit/PngWriter.h"
#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

constexpr std::uint32_t kNavy = 0x101828;
constexpr std::uint32_t kGoldInk = 0xF0B020;

// The canvas as a deflated palette PNG of at most `colours` colours, index
// 0 transparent; partly covered pixels are blended over `matte` when given.
datakit::Bytes png(const ArtCanvas& canvas, int colours = 48, std::optional<std::uint32_t> matte = 0xFFFFFF) {
    std::vector<std::uint32_t> palette = artPalette({&canvas}, colours, matte);
    const datakit::PaintedImage image = artImage(canvas, palette, 0, 0, matte);
    palette[0] = 0x00000000;
    return datakit::writePalettePng(static_cast<std::uint32_t>(canvas.width()),
                                    static_cast<std::uint32_t>(canvas.height()), palette, image.indexes,
                                    datakit::PngData::Deflated);
}

Coverage everywhere(int width, int height) {
    return shapeCoverage(width, height, [](double, double) { return true; });
}

// A poster: a scene in a rounded frame with a dark rim, its title in
// slanted gold lettering at its top left.
using Scene = std::function<void(ArtCanvas&)>;
ArtCanvas poster(int width, int height, const Scene& scene, std::u16string_view title, std::uint32_t top,
                 std::uint32_t bottom) {
    ArtCanvas art(width, height);
    scene(art);
    const ArtCanvas name = lettering(title, 28, top, bottom, 2, 2);
    stamp(art, name, 10, 6);
    // Cut to the rounded frame and ringed.
    ArtCanvas out(width, height);
    const Coverage inside = roundedCoverage(width, height, 2, 12);
    out.fill(roundedCoverage(width, height, 0, 14), 0, 0, kNavy);
    out.fill(inside, 0, 0, [&](int x, int y) { return colourOf(art.at(x, y)); });
    return out;
}

void sky(ArtCanvas& art, std::uint32_t top, std::uint32_t bottom) {
    art.fill(everywhere(art.width(), art.height()), 0, 0,
             [&](int, int y) { return mixColour(top, bottom, y / double(art.height())); });
}

// Night over the desert: stars, a low moon, dunes in three ranks and a
// buggy's lights on the nearest crest.
void duneScene(ArtCanvas& art) {
    const int w = art.width(), h = art.height();
    sky(art, 0x0A0E2A, 0x4A2A5A);
    for (int i = 0; i < 40; ++i) {
        const double sx = std::fmod(i * 73.1, w), sy = std::fmod(i * 37.7, h * 0.55);
        art.fill(shapeCoverage(w, h, [&](double x, double y) { return std::hypot(x - sx, y - sy) < 0.9; }), 0,
                 0, 0xFFF8E0);
    }
    paintShape(
        art, [&](double x, double y) { return std::hypot(x - w * 0.8, y - h * 0.32) < 16; }, 0xFFF0C0, 0.f);
    const struct {
        double base, amplitude, period, phase;
        std::uint32_t light, dark;
    } ranks[] = {{0.62, 8, 140, 0.5, 0x8A5A48, 0x4A2A30},
                 {0.74, 10, 110, 2.0, 0xC07838, 0x6A3A20},
                 {0.86, 9, 170, 4.0, 0xE0A050, 0x8A5020}};
    for (const auto& rank : ranks)
        art.fill(
            shapeCoverage(w, h,
                          [&](double x, double y) {
                              return y > h * rank.base -
                                             rank.amplitude * std::sin(x / rank.period * 6.28 + rank.phase);
                          }),
            0, 0,
            [&](int, int y) { return mixColour(rank.light, rank.dark, (y - h * rank.base + 12) / 40.0); });
    // The buggy: a dark body on two wheels, its headlights reaching left.
    const double bx = w * 0.3, by = h * 0.78;
    art.fill(shapeCoverage(
                 w, h,
                 [&](double x, double y) {
                     return insidePolygon(x, y, {{bx - 60, by - 6}, {bx - 14, by - 12}, {bx - 14, by + 2}});
                 }),
             0, 0, 0xFFF4B0, 0.55f);
    paintShape(
        art,
        [&](double x, double y) {
            return insideRoundedRect(x, y, bx - 14, by - 14, bx + 22, by + 2, 4) ||
                   insidePolygon(
                       x, y, {{bx - 6, by - 14}, {bx + 2, by - 24}, {bx + 16, by - 24}, {bx + 18, by - 14}});
        },
        0x2A2A38, 1.f, 0x05050A);
    for (double wx : {bx - 8, bx + 16})
        paintShape(
            art, [&](double x, double y) { return std::hypot(x - wx, y - by - 2) < 6; }, 0x181820, 1.f,
            0x05050A);
}

// A lagoon in the sun: sea with wave crests, a palm island and a speedboat
// throwing spray.
void reefScene(ArtCanvas& art) {
    const int w = art.width(), h = art.height();
    sky(art, 0x3A9AE0, 0xC8ECFF);
    paintShape(
        art, [&](double x, double y) { return std::hypot(x - w * 0.84, y - h * 0.26) < 14; }, 0xFFE060, 0.f);
    const double sea = h * 0.56;
    art.fill(shapeCoverage(w, h, [&](double, double y) { return y >= sea; }), 0, 0,
             [&](int, int y) { return mixColour(0x1A8AC8, 0x0A3A78, (y - sea) / (h - sea)); });
    for (int row = 0; row < 5; ++row) {
        const double y0 = sea + 8 + row * 11;
        art.fill(shapeCoverage(w, h,
                               [&](double x, double y) {
                                   const double crest = y0 + 2 * std::sin(x / 18 + row * 1.7);
                                   return std::fabs(y - crest) < 0.9 && std::fmod(x + row * 40, 70) < 38;
                               }),
                 0, 0, 0xE8F8FF);
    }
    // The island and its palm.
    paintShape(
        art,
        [&](double x, double y) {
            return y < sea + 2 && std::pow((x - w * 0.62) / 46, 2) + std::pow((y - sea - 2) / 12, 2) < 1;
        },
        0xE8D090, 1.f, 0x6A5A30);
    paintShape(
        art,
        [&](double x, double y) {
            const double t = (sea - 4 - y) / 40;
            return t >= 0 && t <= 1 && std::fabs(x - (w * 0.62 + 10 * t * t)) < 2.2;
        },
        0x7A5030, 0.5f, 0x3A2010);
    for (double angle : {-2.6, -2.0, -1.2, -0.5, 0.2})
        paintShape(
            art,
            [&](double x, double y) {
                const double cx = w * 0.62 + 10, cy = sea - 44;
                const double along = (x - cx) * std::cos(angle) + (y - cy) * std::sin(angle);
                const double across = -(x - cx) * std::sin(angle) + (y - cy) * std::cos(angle);
                return along > 0 && along < 26 &&
                       std::fabs(across - along * along / 90) < 4 * (1 - along / 26);
            },
            0x2A9A3A, 0.5f, 0x104A18);
    // The boat, heading left, with its wake.
    const double bx = w * 0.26, by = h * 0.8;
    art.fill(shapeCoverage(w, h,
                           [&](double x, double y) {
                               return x > bx + 20 && x < bx + 110 &&
                                      std::fabs(y - by - 2) < (x - bx - 20) / 14;
                           }),
             0, 0, 0xF4FCFF, 0.85f);
    paintShape(
        art,
        [&](double x, double y) {
            return insidePolygon(
                x, y, {{bx - 26, by - 6}, {bx + 28, by - 8}, {bx + 24, by + 6}, {bx - 14, by + 6}});
        },
        0xE04030, 1.f, 0x300808);
    paintShape(
        art,
        [&](double x, double y) {
            return insidePolygon(
                x, y, {{bx - 2, by - 7}, {bx + 6, by - 18}, {bx + 20, by - 18}, {bx + 20, by - 8}});
        },
        0xF4F8FF, 1.f, 0x300808);
}

// Dawn on a mountain pass: ranges of peaks with snow, a road winding up the
// nearest.
void peakScene(ArtCanvas& art) {
    const int w = art.width(), h = art.height();
    sky(art, 0x6A7AC8, 0xF8B070);
    const auto ridge = [&](double x, double base, double scale, double phase) {
        return base - scale * (0.6 * std::fabs(std::sin(x / 70 + phase)) +
                               0.4 * std::fabs(std::sin(x / 31 + phase)));
    };
    art.fill(shapeCoverage(w, h, [&](double x, double y) { return y > ridge(x, h * 0.6, 46, 0.3); }), 0, 0,
             0x6A6A9A);
    art.fill(shapeCoverage(w, h,
                           [&](double x, double y) {
                               const double r = ridge(x, h * 0.6, 46, 0.3);
                               return y > r && y < r + 8 && r < h * 0.6 - 30;
                           }),
             0, 0, 0xF4F4FF);
    art.fill(shapeCoverage(w, h, [&](double x, double y) { return y > ridge(x, h * 0.9, 40, 1.7); }), 0, 0,
             [&](int, int y) { return mixColour(0x4A7A4A, 0x1A3A2A, y / double(h)); });
    // The road: a pale band zig-zagging up the near slope.
    art.fill(shapeCoverage(w, h,
                           [&](double x, double y) {
                               if (y < ridge(x, h * 0.9, 40, 1.7) + 4)
                                   return false;
                               const double t = y / h;
                               const double centre = w * 0.5 + std::sin(t * 14) * 70 * t;
                               return std::fabs(x - centre) < 3 + 5 * t;
                           }),
             0, 0, 0xD8D0C0);
}

// The featured game: a gold cup on a dark red burst, stars round it.
void featuredScene(ArtCanvas& art) {
    const int w = art.width(), h = art.height();
    const double cx = w * 0.72, cy = h * 0.6;
    art.fill(everywhere(w, h), 0, 0, [&](int x, int y) {
        const double a = std::atan2(y - cy, x - cx);
        const bool ray = std::fmod(a * 12 / std::numbers::pi + 24, 2.0) < 1.0;
        const double d = std::hypot(x - cx, y - cy) / w;
        return mixColour(ray ? 0xB02830u : 0x801828u, 0x300810, std::min(1.0, d * 1.6));
    });
    paintShape(
        art,
        [&](double x, double y) {
            const double dx = x - cx, dy = y - cy;
            const bool bowl =
                dy > -34 && dy < 4 && std::fabs(dx) < 26 * (1 - std::pow((dy + 34) / 40, 3) * 0.6);
            const bool handles =
                std::fabs(std::hypot(std::fabs(dx) - 26, dy + 20) - 9) < 3 && std::fabs(dx) > 24;
            const bool stem = dy >= 4 && dy < 20 && std::fabs(dx) < 5;
            const bool foot = dy >= 20 && dy < 30 && std::fabs(dx) < 20;
            return bowl || handles || stem || foot;
        },
        kGoldInk, 1.5f);
    // The star's place as plain values: clang 14 captures no structured binding.
    for (const std::array<double, 2>& at :
         {std::array<double, 2>{0.52, 0.34}, {0.9, 0.3}, {0.58, 0.82}, {0.92, 0.8}}) {
        const double cx = w * at[0];
        const double cy = h * at[1];
        paintShape(
            art, [&](double x, double y) { return insideStar(x, y, cx, cy, 8, 3.5); }, 0xFFE890, 1.f);
    }
}

// A rounded glossy tile in a gradient, a highlight on its upper half.
ArtCanvas glossyTile(int width, int height, std::uint32_t top, std::uint32_t bottom, double radius) {
    ArtCanvas canvas = tile(width, height, top, bottom, radius);
    canvas.fill(shapeCoverage(width, height,
                              [&](double x, double y) {
                                  return insideRoundedRect(x, y, 5, 4, width - 5, height * 0.48,
                                                           std::max(radius - 5, 2.0));
                              }),
                0, 0, 0xFFFFFF, 0.22f);
    return canvas;
}

// The page arrow, pointing left or right: a glossy triangle, white-rimmed.
ArtCanvas pageArrow(bool right, std::uint32_t top, std::uint32_t bottom) {
    constexpr int width = 30, height = 48;
    ArtCanvas canvas(width, height);
    const auto inside = [&](double inset) {
        return shapeCoverage(width, height, [=](double x, double y) {
            if (right)
                x = width - x;
            return insidePolygon(x, y,
                                 {{2 + inset * 1.8, height / 2.0},
                                  {width - 2 - inset, 2 + inset * 1.8},
                                  {width - 2 - inset, height - 2 - inset * 1.8}});
        });
    };
    canvas.fill(inside(0), 0, 0, kNavy);
    canvas.fill(inside(1.5), 0, 0, 0xF4F8FF);
    canvas.fill(inside(3.5), 0, 0, [&](int, int y) { return mixColour(top, bottom, y / double(height)); });
    return canvas;
}

// A white icon of `inside` over nothing, outlined in navy.
ArtCanvas icon(int width, int height, const std::function<bool(double, double)>& inside) {
    ArtCanvas canvas(width, height);
    const Coverage shape = shapeCoverage(width, height, inside);
    canvas.fill(grown(shape, 1.2f), 0, 0, kNavy);
    canvas.fill(shape, 0, 0, 0xFFFFFF);
    return canvas;
}

// The back key's icon: an arrow turning back to the left.
ArtCanvas backIcon() {
    return icon(26, 20, [](double x, double y) {
        const double r = std::hypot(x - 14, y - 11);
        const bool arc = r > 4.5 && r < 8 && (x > 14 || y < 11);
        const bool shaft = x > 7 && x < 14 && y > 3 && y < 6.5;
        const bool head = insidePolygon(x, y, {{2, 4.75}, {9, -0.5}, {9, 10}});
        return arc || shaft || head;
    });
}

// A list row's icon: a tile in its colour bearing an initial.
ArtCanvas rowIcon(std::u16string_view initial, std::uint32_t top, std::uint32_t bottom) {
    ArtCanvas canvas = glossyTile(40, 40, top, bottom, 9);
    const ArtCanvas letter = lettering(initial, 22, 0xFFFFFF, 0xE8E8F0, 2, 1);
    stamp(canvas, letter, (40 - letter.width()) / 2, (40 - letter.height()) / 2);
    return canvas;
}

// The banner over the featured, portal and list pages.
ArtCanvas banner() {
    ArtCanvas canvas = glossyTile(300, 52, 0x2A4A8C, 0x0E1E44, 16);
    const ArtCanvas name = lettering(u"MORE GAMES", 26, 0xFFE68A, 0xD08010, 2, 2);
    stamp(canvas, name, (300 - name.width()) / 2, (52 - name.height()) / 2);
    return canvas;
}

// The portal: a chequered frame round a window left open, through which the
// screen's gradient box shows, the portal's text drawn over it.
ArtCanvas portal() {
    constexpr int width = 340, height = 184, frameX = 64, frameY = 52;
    ArtCanvas canvas(width, height);
    const auto outer = [](double x, double y) {
        return insideRoundedRect(x, y, 1, 1, width - 1, height - 1, 20);
    };
    const auto window = [](double x, double y) {
        return insideRoundedRect(x, y, frameX, frameY, width - frameX, height - frameY, 10);
    };
    canvas.fill(
        shapeCoverage(width, height, [&](double x, double y) { return outer(x, y) && !window(x, y); }), 0, 0,
        [](int x, int y) { return (x / 12 + y / 12) % 2 ? 0xF4F4F8u : 0x1A1A22u; });
    const auto ring = [&](double inset, double thickness) {
        return shapeCoverage(width, height, [=](double x, double y) {
            const bool in = insideRoundedRect(x, y, frameX - inset - thickness, frameY - inset - thickness,
                                              width - frameX + inset + thickness,
                                              height - frameY + inset + thickness, 10 + inset + thickness);
            const bool core = insideRoundedRect(x, y, frameX - inset, frameY - inset, width - frameX + inset,
                                                height - frameY + inset, 10 + inset);
            return in && !core;
        });
    };
    canvas.fill(ring(0, 6), 0, 0,
                [](int, int y) { return mixColour(0xFFE68A, 0xB87810, y / double(height)); });
    canvas.fill(ring(6, 2), 0, 0, kNavy);
    canvas.fill(shapeCoverage(width, height,
                              [&](double x, double y) {
                                  return outer(x, y) &&
                                         !insideRoundedRect(x, y, 4, 4, width - 4, height - 4, 17);
                              }),
                0, 0, kNavy);
    return canvas;
}

// The language badge beside the featured picture.
ArtCanvas languageBadge(std::u16string_view code) {
    ArtCanvas canvas = glossyTile(46, 28, 0xFFD868, 0xD88A10, 8);
    const ArtCanvas letters = lettering(code, 15, 0x1A2A5A, 0x0A1430, 0, 0, 0x0A1430);
    stamp(canvas, letters, (46 - letters.width()) / 2, (28 - letters.height()) / 2);
    return canvas;
}

} // namespace

void paintPromoArt(datakit::PromoModel& model) {
    std::vector<std::uint16_t> codes;
    for (std::uint16_t code = 32; code < 127; ++code)
        codes.push_back(code);
    for (std::uint16_t code : {0xC0, 0xC9, 0xD4})
        codes.push_back(code);
    model.font = datakit::renderPromoFont(demoSansBoldFace(), codes, 15, kNavy);

    // Images 0 to 3 (the small list arrows, which this screen draws itself)
    // and 9 (the select key's icon) stand for keys the game does not show.
    const ArtCanvas up = icon(20, 14, [](double x, double y) {
        return insidePolygon(x, y, {{10, 1}, {19, 13}, {1, 13}});
    });
    const ArtCanvas down = icon(20, 14, [](double x, double y) {
        return insidePolygon(x, y, {{1, 1}, {19, 1}, {10, 13}});
    });
    const ArtCanvas tick = icon(26, 20, [](double x, double y) {
        return (std::fabs((y - 14) + (x - 9)) < 2.6 && x > 3 && x < 10) ||
               (std::fabs((y - 14) - (x - 9) * 0.9) < 2.6 && x >= 8 && x < 23);
    });
    const ArtCanvas keyPlain = glossyTile(96, 36, 0x4A6A9C, 0x1A2A4C, 10);
    const ArtCanvas keyPressed = glossyTile(96, 36, 0x7A9ADC, 0x2A4A8C, 10);
    model.screenImages = {png(up),
                          png(down),
                          png(up),
                          png(down),
                          png(pageArrow(false, 0xFFD868, 0xD88A10)),
                          png(pageArrow(false, 0x5A8AD8, 0x1A3A7A)),
                          png(pageArrow(true, 0xFFD868, 0xD88A10)),
                          png(pageArrow(true, 0x5A8AD8, 0x1A3A7A)),
                          png(backIcon()),
                          png(tick),
                          png(banner()),
                          png(rowIcon(u"+", 0xFFD868, 0xD88A10)),
                          png(keyPlain),
                          png(keyPressed)};

    model.pagePictures = {png(poster(320, 100, duneScene, u"DUNE RALLY", 0xFFE68A, 0xD08010)),
                          png(poster(320, 100, reefScene, u"REEF RUN", 0xFFFFFF, 0x40B0F0)),
                          png(poster(320, 100, peakScene, u"PEAK CLIMB", 0xFFFFFF, 0xF0A040))};
    model.propertyPicture = png(poster(280, 136, featuredScene, u"RALLY LEGENDS", 0xFFE68A, 0xD08010));
    model.languages[0].picture = png(languageBadge(u"EN"));
    model.languages[1].picture = png(languageBadge(u"FR"));
    model.list0Pictures = {png(rowIcon(u"K", 0x60D060, 0x1A7A2A)), png(rowIcon(u"B", 0xF08040, 0xA03010))};
    model.list1Pictures = {png(rowIcon(u"S", 0xC070E0, 0x6A2090))};
    model.portalPicture = png(portal(), 48, std::nullopt);
}

} // namespace mkdata
