// The backdrop of each demo track: a panorama standing on the horizon, as
// wide as the screen so that the race's two copies of it close every gap as
// it scrolls, its right edge joining its left (every outline is a sum of
// whole waves over the width). Frame 0 holds the ridges of the track's
// country in three layers, the far ones paler in the haze, lit from the
// left, with clouds and the sun above them; the frames after it are the
// overlays the race cycles through over frame 0: a flock of birds beating
// its wings, a storm's rain with one frame of lightning, or a crater's
// smoke rising. Every edge is blended over the track's sky colour, which the
// race fills behind the backdrop.

#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

using datakit::PaintedFrame;
using datakit::PaintedSprite;

constexpr int kWidth = 640;
constexpr int kHeight = 100;

enum class Country { Dunes, Canyon, Peaks, Hills, Storm, Crater };
constexpr Country kCountries[kDemoTrackCount] = {Country::Dunes, Country::Canyon, Country::Peaks,
                                                 Country::Hills, Country::Storm,  Country::Crater};

// A wave with `k` whole periods across the panorama.
double wave(double x, int k, double phase) {
    return std::sin(kTurn * k * x / kWidth + phase);
}

double smoothstep(double a, double b, double v) {
    const double t = std::clamp((v - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// One ridge layer: its height above the horizon at x, its lit and shaded
// colours, and how far it fades towards the sky.
struct Layer {
    double (*height)(double x);
    std::uint32_t lit, shade;
    double haze;
    // Horizontal bands of rock (canyon walls), 0 for none.
    int strata = 0;
    // Snow above this many pixels below the crest line's top (0 for none).
    double snow = 0;
};

double duneFar(double x) {
    return 52 + 14 * wave(x, 2, 0.3) + 7 * wave(x, 5, 1.1) + 3 * wave(x, 11, 2.0);
}
double duneMid(double x) {
    // Dunes have a gentle windward slope and a steep lee: a sawtooth eased
    // at the crest.
    const double t = std::fmod(x / kWidth * 4 + 0.15 * wave(x, 1, 0.4) + 4, 1.0);
    const double crest = t < 0.78 ? std::pow(t / 0.78, 1.6) : 1 - smoothstep(0.78, 1.0, t);
    return 18 + 26 * crest + 3 * wave(x, 9, 0.7);
}
double duneNear(double x) {
    return 10 + 8 * wave(x, 3, 2.2) + 4 * wave(x, 7, 0.1);
}
double mesa(double x, int k, double phase, double base, double rise) {
    const double v = wave(x, k, phase) + 0.45 * wave(x, 2 * k + 1, phase * 1.7) + 0.2 * wave(x, 13, phase);
    return base + rise * std::clamp(v * 2.2, -1.0, 1.0);
}
double canyonFar(double x) {
    return mesa(x, 3, 0.4, 58, 16);
}
double canyonMid(double x) {
    return mesa(x, 2, 2.1, 36, 20);
}
double canyonNear(double x) {
    return 12 + 5 * wave(x, 6, 0.9) + 2 * wave(x, 17, 0.3);
}
double peaks(double x, int k, double phase, double base, double rise) {
    // Sharp summits: one less the magnitude of a wave, sharpened.
    const double a = 1 - std::fabs(wave(x, k, phase));
    const double b = 1 - std::fabs(wave(x, 2 * k + 1, phase + 1.3));
    return base + rise * (0.75 * a * std::sqrt(a) + 0.25 * b * b) + 1.5 * wave(x, 19, phase);
}
double peaksFar(double x) {
    return peaks(x, 2, 0.2, 30, 58);
}
double peaksMid(double x) {
    return peaks(x, 3, 1.9, 16, 36);
}
double peaksNear(double x) {
    return 6 + 2 * wave(x, 5, 0.5);
}
double hillsFar(double x) {
    return 44 + 12 * wave(x, 2, 1.0) + 6 * wave(x, 5, 0.2);
}
double hillsMid(double x) {
    return 28 + 10 * wave(x, 3, 2.5) + 5 * wave(x, 7, 1.4);
}
double hillsNear(double x) {
    return 14 + 6 * wave(x, 4, 0.6) + 3 * wave(x, 9, 2.9);
}
double stormFar(double x) {
    return mesa(x, 2, 1.3, 50, 18);
}
double stormMid(double x) {
    return mesa(x, 3, 0.2, 30, 16);
}
double stormNear(double x) {
    return 12 + 4 * wave(x, 5, 1.7) + 2 * wave(x, 14, 0.8);
}
// The crater's rim with a cone standing out of it near x = 420.
double craterFar(double x) {
    const double d = std::fabs(x - 420) / 150;
    const double cone = 86 * std::max(0.0, 1 - d) - 16 * std::max(0.0, 1 - std::fabs(x - 420) / 22);
    return std::max(40 + 8 * wave(x, 4, 0.9) + 3 * wave(x, 19, 0.2), cone);
}
double craterMid(double x) {
    return 26 + 10 * std::fabs(wave(x, 5, 0.4)) + 4 * wave(x, 11, 1.2);
}
double craterNear(double x) {
    return 10 + 5 * wave(x, 6, 2.0) + 3 * std::fabs(wave(x, 15, 0.6));
}

std::vector<Layer> layersOf(Country country) {
    switch (country) {
    case Country::Dunes:
        return {{duneFar, 0xE8B27A, 0xC88E62, 0.55},
                {duneMid, 0xF0B860, 0xB87838, 0.25},
                {duneNear, 0xE0A050, 0xA06830, 0.0}};
    case Country::Canyon:
        return {{canyonFar, 0xC86E48, 0x985038, 0.55, 5},
                {canyonMid, 0xB85A34, 0x7A3420, 0.25, 4},
                {canyonNear, 0x8C5A3C, 0x5E3A26, 0.0}};
    case Country::Peaks:
        return {{peaksFar, 0xA8B4C8, 0x7884A0, 0.45, 0, 26},
                {peaksMid, 0x98A0B0, 0x687088, 0.2, 0, 14},
                {peaksNear, 0xE8E8E0, 0xC8C8BE, 0.0}};
    case Country::Hills:
        return {{hillsFar, 0xA8B070, 0x809058, 0.5},
                {hillsMid, 0x80A048, 0x587830, 0.25},
                {hillsNear, 0x5E8C3E, 0x3E6428, 0.0}};
    case Country::Storm:
        return {{stormFar, 0x6A6E7A, 0x4A4E5A, 0.45, 4},
                {stormMid, 0x7A5E4A, 0x4E3A2E, 0.2, 3},
                {stormNear, 0x5A4432, 0x3A2C22, 0.0}};
    case Country::Crater:
        return {{craterFar, 0x8A6A5E, 0x5A423A, 0.4},
                {craterMid, 0x6E5048, 0x44302A, 0.2},
                {craterNear, 0x4A3A34, 0x2C2420, 0.0}};
    }
    return {};
}

// The layers from the farthest, each shaded by its slope (the light comes
// from the upper left) and darkening towards its foot.
ArtCanvas ridges(Country country, std::uint32_t sky) {
    ArtCanvas canvas(kWidth, kHeight);
    for (const Layer& layer : layersOf(country)) {
        // The outline depends on x alone: it is worked out once for each
        // sample across a pixel and for each pixel's centre (one
        // more on either side, for the slope).
        constexpr int samples = kArtSamples;
        std::vector<double> sampled(kWidth * samples), centres(kWidth + 2);
        for (std::size_t i = 0; i < sampled.size(); ++i)
            sampled[i] = layer.height((static_cast<double>(i) + 0.5) / samples);
        for (std::size_t i = 0; i < centres.size(); ++i)
            centres[i] = layer.height(static_cast<double>(i) - 0.5);
        const Coverage mask = shapeCoverage(kWidth, kHeight, [&](double x, double y) {
            return y >= kHeight - sampled[static_cast<std::size_t>(x * samples)];
        });
        canvas.fill(mask, 0, 0, [&](int x, int y) {
            const auto at = static_cast<std::size_t>(x) + 1;
            const double top = kHeight - centres[at];
            const double slope = centres[at + 1] - centres[at - 1];
            double light = std::clamp(0.55 - slope * 0.35, 0.0, 1.0);
            light *= 1 - 0.35 * smoothstep(0, kHeight - top + 1, y - top);
            if (layer.strata > 0 && (y / layer.strata) % 2 == 1)
                light *= 0.82;
            std::uint32_t colour = mixColour(layer.shade, layer.lit, light);
            if (layer.snow > 0 && y - top < layer.snow * (0.6 + 0.4 * std::fabs(wave(x, 29, 0.0))))
                colour = mixColour(0xB8C4D8, 0xF4F8FF, light);
            return mixColour(colour, sky, layer.haze);
        });
    }
    if (country == Country::Hills) {
        // Palms on the near hills: a leaning trunk and a crown of fronds.
        for (int palm = 0; palm < 5; ++palm) {
            const double foot = 40 + palm * 131 + (palm % 2) * 23;
            const double base = kHeight - hillsNear(foot) + 2;
            const double tall = 30 + 6 * (palm % 3);
            const double lean = palm % 2 ? 8 : -7;
            const Coverage trunk = shapeCoverage(kWidth, kHeight, [&](double x, double y) {
                const double t = (base - y) / tall;
                if (t < 0 || t > 1)
                    return false;
                const double centre = foot + lean * t * t;
                return std::fabs(x - centre) < 2.2 - 1.0 * t;
            });
            canvas.fill(trunk, 0, 0, 0x6A4A2A);
            const double cx = foot + lean, cy = base - tall;
            const Coverage crown = shapeCoverage(kWidth, kHeight, [&](double x, double y) {
                const double dx = x - cx, dy = y - cy;
                const double r = std::hypot(dx, dy);
                if (r > 17 || r < 0.5)
                    return false;
                // Seven fronds drooping with distance from the crown.
                const double angle = std::atan2(dy - r * r * 0.02, dx);
                const double frond = std::fabs(std::sin(angle * 3.5));
                return frond < 0.32 * (1 - r / 18) + 0.05;
            });
            canvas.fill(crown, 0, 0, [&](int, int y) { return y < cy ? 0x4E8A34u : 0x2E5C22u; });
        }
    }
    return canvas;
}

// A cumulus of overlapping puffs, lit from above: `seed` fixes its shape.
ArtCanvas cloud(int width, int height, unsigned seed, std::uint32_t lit, std::uint32_t shade) {
    ArtCanvas canvas(width, height);
    struct Puff {
        double x, y, r;
    };
    std::vector<Puff> puffs;
    unsigned state = seed * 2654435761u + 12345u;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    };
    const int count = 4 + static_cast<int>(seed % 3);
    for (int i = 0; i < count; ++i) {
        const double t = (i + 0.5) / count;
        const double r = height * (0.22 + 0.2 * std::sin(t * std::numbers::pi)) * (0.8 + 0.3 * next());
        puffs.push_back({width * (0.12 + 0.76 * t), height - 3 - r * (0.9 + 0.4 * next()), r});
    }
    const Coverage body = shapeCoverage(width, height, [&](double x, double y) {
        if (y > height - 3)
            return false;
        for (const Puff& p : puffs)
            if ((x - p.x) * (x - p.x) + (y - p.y) * (y - p.y) <= p.r * p.r)
                return true;
        return false;
    });
    canvas.fill(body, 0, 0,
                [&](int, int y) { return mixColour(lit, shade, smoothstep(height * 0.3, height, y)); });
    return canvas;
}

ArtCanvas sun(int side, std::uint32_t core, std::uint32_t sky) {
    ArtCanvas canvas(side, side);
    const double c = side / 2.0;
    const Coverage glow =
        shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) <= c; });
    canvas.fill(glow, 0, 0, [&](int x, int y) {
        return mixColour(core, sky, smoothstep(c * 0.4, c, std::hypot(x + 0.5 - c, y + 0.5 - c)));
    });
    const Coverage disc =
        shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) <= c * 0.42; });
    canvas.fill(disc, 0, 0, core);
    return canvas;
}

// Three birds, their wings at `phase` of a beat (0 to 3).
ArtCanvas birds(int phase, std::uint32_t ink) {
    ArtCanvas canvas(48, 20);
    constexpr double lift[4] = {-4, -1.5, 2, -1.5};
    const double spots[3][2] = {{8, 10}, {24, 5}, {38, 13}};
    for (int b = 0; b < 3; ++b) {
        const double bx = spots[b][0], by = spots[b][1];
        const double tip = lift[(phase + b) % 4];
        const Coverage wings = shapeCoverage(48, 20, [&](double x, double y) {
            const double dx = std::fabs(x - bx);
            if (dx > 6)
                return false;
            // Each wing bends from the body up (or down) to its tip.
            const double t = dx / 6;
            const double line = by + tip * t * (2 - t) - 0.8 * t;
            return std::fabs(y - line) < 0.9 - 0.3 * t;
        });
        canvas.fill(wings, 0, 0, ink);
    }
    return canvas;
}

// A fork of lightning down from the cloud base.
ArtCanvas lightning() {
    ArtCanvas canvas(40, 150);
    constexpr double bends[][2] = {{20, 0}, {14, 28}, {24, 52}, {12, 86}, {22, 112}, {16, 150}};
    auto near = [&](double x, double y, double width) {
        for (std::size_t i = 0; i + 1 < std::size(bends); ++i) {
            const double ax = bends[i][0], ay = bends[i][1], bx = bends[i + 1][0], by = bends[i + 1][1];
            const double t = std::clamp(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) /
                                            ((bx - ax) * (bx - ax) + (by - ay) * (by - ay)),
                                        0.0, 1.0);
            if (std::hypot(x - ax - t * (bx - ax), y - ay - t * (by - ay)) < width)
                return true;
        }
        return false;
    };
    canvas.fill(shapeCoverage(40, 150, [&](double x, double y) { return near(x, y, 4.5); }), 0, 0, 0xB8C8F8,
                0.45f);
    canvas.fill(shapeCoverage(40, 150, [&](double x, double y) { return near(x, y, 1.4); }), 0, 0, 0xFFFFFF);
    return canvas;
}

// Slanting streaks of rain under the storm clouds.
ArtCanvas rain(std::uint32_t colour) {
    ArtCanvas canvas(120, 70);
    const Coverage streaks = shapeCoverage(120, 70, [](double x, double y) {
        const double u = x + y * 0.35;
        return std::fmod(u, 9.0) < 1.0 && std::fmod(y + std::floor(u / 9.0) * 23, 17.0) < 11;
    });
    canvas.fill(streaks, 0, 0, colour, 0.8f);
    return canvas;
}

// A column of smoke puffs rising from the crater, in `phase` of its rise.
ArtCanvas smoke(int phase) {
    ArtCanvas canvas(90, 120);
    for (int puff = 0; puff < 5; ++puff) {
        const double rise = (puff + phase / 4.0) / 5.0;
        const double cx = 30 + 40 * rise * rise + 3 * std::sin(puff * 1.7);
        const double cy = 116 - 100 * rise;
        const double r = 9 + 16 * rise;
        const Coverage body =
            shapeCoverage(90, 120, [&](double x, double y) { return std::hypot(x - cx, y - cy) <= r; });
        canvas.fill(
            body, 0, 0,
            [&](int, int y) { return mixColour(0x8A7A74, 0x4A3E3A, smoothstep(cy - r, cy + r, y)); },
            static_cast<float>(0.8 - 0.55 * rise));
    }
    return canvas;
}

struct Placed {
    ArtCanvas canvas;
    std::int16_t x, y;
};

PaintedFrame backdropFrame(const std::vector<const Placed*>& parts, const std::vector<std::uint32_t>& palette,
                           std::uint32_t sky) {
    PaintedFrame frame;
    for (const Placed* part : parts)
        frame.images.push_back(artImage(part->canvas, palette, part->x, part->y, sky));
    return frame;
}

} // namespace

int demoBackdropSlot(int track) {
    // The free slots just below the reference pictures' (the track
    // effects' in a race), which the demo leaves to them: the first five
    // tracks take them from the second on, the sixth the first.
    constexpr int kFirst = game::kTrackEffectSprite - kDemoTrackCount;
    static_assert(kFirst >= game::kFirstFreeSprite && game::kTrackEffectSprite - 1 == game::kLastFreeSprite);
    return kFirst + (track + 1) % kDemoTrackCount;
}

PaintedSprite demoBackdrop(int track) {
    const Country country = kCountries[track];
    const std::uint32_t sky = demoTrackColours(track).sky;
    const bool dark = country == Country::Storm;
    std::vector<Placed> still;
    still.push_back({ridges(country, sky), 0, -kHeight});
    if (country == Country::Dunes || country == Country::Hills)
        still.push_back({sun(56, country == Country::Dunes ? 0xFFF0C8 : 0xFFF8E0, sky), 470, -210});
    const std::uint32_t lit = dark ? 0x8A909C : country == Country::Crater ? 0xF4C8A8 : 0xFFFFFF;
    const std::uint32_t shade = dark ? 0x3E4450 : country == Country::Crater ? 0xA87868 : 0xC8D0DC;
    const int clouds = country == Country::Peaks ? 2 : dark ? 5 : 3;
    for (int c = 0; c < clouds; ++c) {
        const int width = dark ? 150 : 90 + 20 * (c % 2);
        still.push_back({cloud(width, dark ? 50 : 34, static_cast<unsigned>(track * 7 + c), lit, shade),
                         static_cast<std::int16_t>((c * 640 / clouds + track * 37) % (kWidth - width)),
                         static_cast<std::int16_t>(dark ? -230 + 12 * (c % 2) : -190 + 26 * (c % 3))});
    }
    // The overlays the race cycles through.
    std::vector<Placed> moving;
    if (country == Country::Storm) {
        moving.push_back({rain(0x8890A0), 120, -185});
        moving.push_back({lightning(), 196, -178});
    } else if (country == Country::Crater) {
        for (int phase = 0; phase < 4; ++phase)
            moving.push_back({smoke(phase), 405, -196});
    } else {
        const std::uint32_t ink = mixColour(0x202020, sky, 0.25);
        for (int phase = 0; phase < 4; ++phase)
            moving.push_back({birds(phase, ink), static_cast<std::int16_t>(150 + track * 60), -150});
    }
    std::vector<const ArtCanvas*> all;
    for (const Placed& p : still)
        all.push_back(&p.canvas);
    for (const Placed& p : moving)
        all.push_back(&p.canvas);
    PaintedSprite s;
    s.palettes = {artPalette(all, 15, sky)};
    std::vector<const Placed*> first;
    for (const Placed& p : still)
        first.push_back(&p);
    s.frames.push_back(backdropFrame(first, s.palettes[0], sky));
    if (country == Country::Storm) {
        // Rain in every overlay, the lightning in one of eight.
        for (int f = 0; f < 8; ++f)
            s.frames.push_back(f == 5 ? backdropFrame({&moving[0], &moving[1]}, s.palettes[0], sky)
                                      : backdropFrame({&moving[0]}, s.palettes[0], sky));
    } else {
        for (const Placed& p : moving)
            s.frames.push_back(backdropFrame({&p}, s.palettes[0], sky));
    }
    return s;
}

} // namespace mkdata
