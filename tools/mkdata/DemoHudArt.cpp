// The race's head-up display and start, painted: the big numbers of the
// place and the lap, the places' endings and the finishing banners, the
// item icons, their slot and the player's markers, the collected-coins
// gauge, the racers' helmets, the countdown with the racers' name tags and
// the touch buttons, each in its slot and its frames as the game names
// them (game/framework/HudFrames.h, RaceIconFrames.h). Lettering is DejaVu
// Sans Bold through FreeType, filled with a gradient, outlined and
// shadowed; icons are shapes on shaded tiles. Each sprite has one palette
// made from all its frames, repeated as palette 1 for the loads that take
// palette 0's alpha from it.

#include "game/framework/HudFrames.h"
#include "game/framework/RaceIconFrames.h"
#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace mkdata {

namespace {

using datakit::PaintedFrame;
using datakit::PaintedSprite;

constexpr double kPi = std::numbers::pi;

using Frame = std::vector<ArtPiece>;

// The big numbers 1 to 10 of the place and the lap.
constexpr int kNumberPixels = 44;
ArtCanvas bigNumber(int n) {
    return lettering(std::u16string(std::u16string_view(u"12345678910").substr(n - 1, n < 10 ? 1 : 2)),
                     kNumberPixels, 0xFFF4B0, 0xF08A10);
}

// Numbers drawn from their bottom centre, 1 to 10 in order: the whole
// lettering, its shadow too, above the point, so a number drawn at the
// display's y stays inside the screen and the lap counter's boxes, centred
// half the frame's height above that y, stand level with it.
PaintedSprite numbers() {
    static_assert(game::hudNumberFrame(1) == 0);
    std::vector<Frame> frames;
    for (int n = 1; n <= 10; ++n) {
        ArtCanvas digits = bigNumber(n);
        Frame frame;
        const auto x = static_cast<std::int16_t>(-digits.width() / 2);
        const auto y = static_cast<std::int16_t>(-digits.height());
        frame.push_back({std::move(digits), x, y});
        frames.push_back(std::move(frame));
    }
    return artSprite(frames);
}

// The places: the finishing banners "1st" to "6th" drawn from their
// centre, the results' mark, the medals of the first three, and the
// endings that stand against the right side of the place's number (its
// frame of `numbers`, drawn at the same point) at the number's top.
// The frames between the banners and the mark are the medals again.
PaintedSprite places() {
    constexpr int kPlaces = 6;
    static const std::u16string_view endings[kPlaces] = {u"st", u"nd", u"rd", u"th", u"th", u"th"};
    constexpr std::uint32_t kMedals[3][2] = {
        {0xFFE680, 0xC88A10}, {0xF4F4F8, 0x8A92A0}, {0xF0B080, 0x9A5A2A}};
    std::vector<Frame> frames(game::kFirstPlaceEndingFrame + kPlaces);
    for (int place = 0; place < kPlaces; ++place) {
        std::u16string text(1, static_cast<char16_t>(u'1' + place));
        text.append(endings[place]);
        const std::uint32_t top = place == 0 ? 0xFFF0A0 : 0xF8F8FF;
        const std::uint32_t bottom = place == 0 ? 0xE08A10 : place < 3 ? 0x98A8C8 : 0xC05030;
        frames[static_cast<std::size_t>(game::kFirstPlaceBannerFrame + place)].push_back(
            centred(lettering(text, 72, top, bottom, 4, 4)));
        ArtCanvas ending = lettering(endings[place], 18, 0xFFF4B0, 0xF08A10, 2, 2);
        const ArtCanvas number = bigNumber(place + 1);
        frames[static_cast<std::size_t>(game::kFirstPlaceEndingFrame + place)].push_back(
            {std::move(ending), static_cast<std::int16_t>(number.width() / 2 - 10),
             static_cast<std::int16_t>(-number.height() + 4)});
    }
    for (int medal = 0; medal < 3; ++medal) {
        ArtCanvas disc(64, 76);
        // A ribbon, then the medal with its number.
        paintShape(
            disc,
            [](double x, double y) { return y < 34 && std::fabs(x - 32 - (y - 17) * 0.0) < 10 - y * 0.1; },
            medal == 0   ? 0xD02828
            : medal == 1 ? 0x2850C8
                         : 0x289040);
        paintShape(
            disc, [](double x, double y) { return std::hypot(x - 32, y - 48) < 24; }, kMedals[medal][0]);
        const Coverage rim = shapeCoverage(64, 76, [](double x, double y) {
            const double r = std::hypot(x - 32, y - 48);
            return r < 19 && r > 17;
        });
        disc.fill(rim, 0, 0, kMedals[medal][1]);
        const ArtCanvas digit = lettering(std::u16string(1, static_cast<char16_t>(u'1' + medal)), 24,
                                          kMedals[medal][1], 0x402808, 1, 0);
        for (int y = 0; y < digit.height(); ++y)
            for (int x = 0; x < digit.width(); ++x)
                if (const Rgba& p = digit.at(x, y); p.a > 0) {
                    Coverage dot{1, 1, {p.a}};
                    disc.fill(dot, 32 - digit.width() / 2 + x + 2, 48 - digit.height() / 2 + y,
                              (static_cast<std::uint32_t>(p.r) << 16) |
                                  (static_cast<std::uint32_t>(p.g) << 8) | static_cast<std::uint32_t>(p.b));
                }
        frames[static_cast<std::size_t>(game::kFirstMedalFrame + medal)].push_back(centred(std::move(disc)));
    }
    // The results' mark: a chequered flag on a pole.
    ArtCanvas flag(56, 56);
    paintShape(
        flag, [](double x, double y) { return x > 8 && x < 12 && y > 4 && y < 54; }, 0xC0C8D0);
    const Coverage cloth = shapeCoverage(56, 56, [](double x, double y) {
        const double wave = 3 * std::sin((x - 12) / 40 * 2 * kPi);
        return x > 12 && x < 52 && y > 6 + wave && y < 32 + wave;
    });
    flag.fill(grown(cloth, 1.5f), 0, 0, 0x141018);
    flag.fill(cloth, 0, 0, [](int x, int y) {
        const int wave = static_cast<int>(3 * std::sin((x - 12) / 40.0 * 2 * kPi));
        return ((x - 12) / 8 + (y - 6 - wave) / 8) % 2 ? 0x181818u : 0xF8F8F8u;
    });
    frames[game::kPlaceMarkFrame].push_back(centred(std::move(flag)));
    for (int f = game::kFirstPlaceBannerFrame + kPlaces; f < game::kPlaceMarkFrame; ++f)
        frames[static_cast<std::size_t>(f)] = {
            centred(ArtCanvas(frames[static_cast<std::size_t>(game::kFirstMedalFrame + f % 3)][0].canvas))};
    return artSprite(frames);
}

// The items, in the order of their numbers.
enum Item : int { kBoost, kShield, kRocket, kOil, kJump, kMagnet, kCoin, kRepair, kStar };

// The item icons, 50 px tiles drawn from their top left: a boost, a shield,
// a rocket, oil, a jump, a magnet, a coin, a repair cross and a star, which
// the icons of the driver colours show again in each driver's colour; the
// slot around an icon, the markers over the player's car, and the frames
// between the icons and the slot the star again.
PaintedSprite items() {
    constexpr int side = 50;
    const auto icon = [&](std::uint32_t symbolColour, const std::function<bool(double, double)>& symbol) {
        ArtCanvas t = tile(side, side, 0x3A5AA0, 0x142850, 10);
        paintShape(t, symbol, symbolColour);
        return t;
    };
    using P = std::vector<std::array<double, 2>>;
    const P bolt = {{29, 6}, {13, 28}, {24, 28}, {19, 44}, {37, 20}, {26, 20}, {31, 6}};
    const P shield = {{25, 8}, {39, 13}, {38, 28}, {25, 43}, {12, 28}, {11, 13}};
    const P rocket = {{25, 6}, {31, 16}, {31, 34}, {37, 42}, {13, 42}, {19, 34}, {19, 16}};
    const P jump = {{25, 7}, {40, 24}, {31, 24}, {31, 43}, {19, 43}, {19, 24}, {10, 24}};
    constexpr std::uint32_t kDriverColours[] = {0xFFD020, 0xF05030, 0x40A0F0, 0x60D040, 0xC060F0, 0xF0F0F0};
    constexpr int kDriverKinds = static_cast<int>(std::size(kDriverColours));
    std::vector<Frame> frames(game::kFirstDriverColourFrame + kDriverKinds - 1);
    const auto put = [&](int frame, ArtCanvas canvas) {
        frames[static_cast<std::size_t>(frame)] = {{std::move(canvas), 0, 0}};
    };
    const auto putItem = [&](int item, ArtCanvas canvas) {
        put(game::kFirstItemIconFrame + item, std::move(canvas));
    };
    putItem(kBoost, icon(0xFFD020, [&](double x, double y) { return insidePolygon(x, y, bolt); }));
    putItem(kShield, icon(0x40C8F0, [&](double x, double y) { return insidePolygon(x, y, shield); }));
    putItem(kRocket, icon(0xF04030, [&](double x, double y) { return insidePolygon(x, y, rocket); }));
    putItem(kOil, icon(0x303038, [](double x, double y) {
                return std::hypot(x - 25, y - 30) < 11 ||
                       (y > 8 && y < 30 && std::fabs(x - 25) < (y - 8) * 0.5);
            }));
    putItem(kJump, icon(0x60E040, [&](double x, double y) { return insidePolygon(x, y, jump); }));
    putItem(kMagnet, icon(0xE03030, [](double x, double y) {
                const double r = std::hypot(x - 25, y - 22);
                return (y <= 22 && r < 15 && r > 7) ||
                       (y > 22 && y < 40 && (std::fabs(x - 14) < 4 || std::fabs(x - 36) < 4));
            }));
    putItem(kCoin, icon(0xFFC830, [](double x, double y) {
                const double r = std::hypot(x - 25, y - 25);
                return r < 16 && !(r < 11 && r > 9);
            }));
    putItem(kRepair, icon(0xF8F8F8, [](double x, double y) {
                return (std::fabs(x - 25) < 5 && std::fabs(y - 25) < 16) ||
                       (std::fabs(y - 25) < 5 && std::fabs(x - 25) < 16);
            }));
    const auto starIcon = [&](std::uint32_t colour) {
        return icon(colour, [](double x, double y) { return insideStar(x, y, 25, 26, 18, 7.5); });
    };
    static_assert(kStar == game::kDriverItemIconFrame - game::kFirstItemIconFrame);
    putItem(kStar, starIcon(kDriverColours[0]));
    for (int kind = 1; kind < kDriverKinds; ++kind)
        put(game::kFirstDriverColourFrame + kind - 1, starIcon(kDriverColours[kind]));
    for (int f = game::kDriverItemIconFrame + 1; f < game::kItemSlotFrame; ++f)
        put(f, starIcon(kDriverColours[0]));
    // The slot: a chrome frame around a dark well, 80 px.
    ArtCanvas slot(80, 80);
    slot.fill(roundedCoverage(80, 80, 0, 16), 0, 0, 0x101018);
    slot.fill(roundedCoverage(80, 80, 2, 14), 0, 0,
              [](int, int y) { return mixColour(0xF4F8FF, 0x6A7280, y / 80.0); });
    slot.fill(roundedCoverage(80, 80, 8, 10), 0, 0,
              [](int, int y) { return mixColour(0x0A1020, 0x28344C, y / 80.0); });
    put(game::kItemSlotFrame, std::move(slot));
    // The markers: an arrow pointing down at the car, amber (plain) and red
    // (alert).
    static_assert(game::kAlertMarkerFrame == game::kPlayerMarkerFrame + 1);
    for (int m = 0; m < 2; ++m) {
        ArtCanvas arrow(28, 24);
        paintShape(
            arrow,
            [](double x, double y) {
                return insidePolygon(x, y, {{3, 3}, {25, 3}, {14, 21}});
            },
            m == 0 ? 0xFFC020 : 0xF03020);
        frames[static_cast<std::size_t>(game::kPlayerMarkerFrame + m)] = {{std::move(arrow), -14, -24}};
    }
    PaintedSprite s = artSprite(frames);
    for (std::size_t f = 0; f < frames.size(); ++f)
        s.anims.push_back({static_cast<std::uint8_t>(f)});
    return s;
}

// The collected gauge, drawn from its top left: its trough and its fill
// (both 100 x 10; the display clips the fill to the count), and the coin
// plate beside the count. The other frames are sparkles of a pick-up,
// growing and fading, which the race zooms as an effect, an animation each.
PaintedSprite gauge() {
    std::vector<Frame> frames(game::kCoinPlateFrame + 1);
    for (int f = 0; f < game::kCoinPlateFrame; ++f) {
        if (f == game::kCollectedGaugeFrame || f == game::kCollectedFillFrame)
            continue;
        const int phase = f % 6;
        ArtCanvas spark(32, 32);
        const double outer = 5 + 2.2 * phase, inner = outer * 0.35;
        paintShape(
            spark, [&](double x, double y) { return insideStar(x, y, 16, 16, outer, inner); },
            phase < 4 ? 0xFFE060 : 0xFFF4C0, 1.f, 0xA06010);
        frames[static_cast<std::size_t>(f)] = {centred(std::move(spark))};
    }
    ArtCanvas trough(100, 10);
    trough.fill(roundedCoverage(100, 10, 0, 4), 0, 0, 0x101018);
    trough.fill(roundedCoverage(100, 10, 1, 3), 0, 0,
                [](int, int y) { return mixColour(0x202838, 0x3A4860, y / 10.0); });
    frames[game::kCollectedGaugeFrame] = {{std::move(trough), 0, 0}};
    ArtCanvas fill(100, 10);
    fill.fill(roundedCoverage(100, 10, 1, 3), 0, 0, [](int x, int y) {
        const std::uint32_t c = mixColour(0xF0A010, 0xFFE040, x / 100.0);
        return y < 4 ? mixColour(c, 0xFFFFFF, 0.45) : c;
    });
    frames[game::kCollectedFillFrame] = {{std::move(fill), 0, 0}};
    ArtCanvas plate(34, 30);
    paintShape(
        plate, [](double x, double y) { return std::hypot(x - 17, y - 15) < 12; }, 0xFFC830);
    const Coverage rim = shapeCoverage(34, 30, [](double x, double y) {
        const double r = std::hypot(x - 17, y - 15);
        return r < 8.5 && r > 7;
    });
    plate.fill(rim, 0, 0, 0xB87810);
    frames[game::kCoinPlateFrame] = {{std::move(plate), 0, 0}};
    PaintedSprite s = artSprite(frames);
    for (std::size_t f = 0; f < frames.size(); ++f)
        s.anims.push_back({static_cast<std::uint8_t>(f)});
    return s;
}

// The start: the count's animations "3", "2", "1" and "GO!", each shown
// from its last frame (the moment its number comes up) to its first, so a
// number lands large and settles; the zoomed frame is "GO!" once more,
// which the race zooms down onto the count. The racers' name tag has its
// shaded panel, the rule under it and where the name goes as its boxes,
// around a pointer down at the car.
PaintedSprite raceStart() {
    constexpr int kLabels = game::kCountAnims;
    static const std::u16string_view labels[kLabels] = {u"3", u"2", u"1", u"GO!"};
    constexpr int kSizes = 3;
    constexpr int sizes[kSizes] = {96, 118, 144};
    // Label l in size s is frame kSizes l + s, but for the larger sizes of
    // "GO!", which follow the name tag that follows its smallest.
    const auto frameOf = [](int label, int size) {
        return label == kLabels - 1 && size > 0 ? game::kNameTagFrame + size : kSizes * label + size;
    };
    static_assert(kSizes * (kLabels - 1) + 1 == game::kNameTagFrame);
    std::vector<Frame> frames(game::kStartZoomFrame + 1);
    for (int label = 0; label < kLabels; ++label)
        for (int size = 0; size < kSizes; ++size) {
            const bool go = label == kLabels - 1;
            const int frame = frameOf(label, size);
            frames[static_cast<std::size_t>(frame)].push_back(
                centred(lettering(labels[label], sizes[size] * (go ? 3 : 4) / 4, go ? 0xD8FF90 : 0xFFF8B0,
                                  go ? 0x20A020 : 0xF04010, 4 + size, 4 + size)));
        }
    ArtCanvas pointer(20, 12);
    paintShape(
        pointer,
        [](double x, double y) {
            return insidePolygon(x, y, {{2, 1}, {18, 1}, {10, 11}});
        },
        0xFFC020, 1.5f);
    frames[game::kNameTagFrame] = {{std::move(pointer), -10, -6}};
    const auto smallGo = static_cast<std::size_t>(frameOf(kLabels - 1, 0));
    for (int f = frameOf(kLabels - 1, kSizes - 1) + 1; f < game::kStartZoomFrame; ++f)
        frames[static_cast<std::size_t>(f)] = {centred(ArtCanvas(frames[smallGo][0].canvas))};
    frames[game::kStartZoomFrame] = {centred(ArtCanvas(frames[smallGo][0].canvas))};
    PaintedSprite s = artSprite(frames);
    // The boxes in the order of `game::RaceStartBox`: the shade, the rule,
    // the text.
    s.frames[game::kNameTagFrame].boxes = {{-80, -36, 160, 28}, {-80, -8, 160, 2}, {-76, -33, 152, 22}};
    static_assert(game::kFirstCountAnim == 0);
    for (int label = 0; label < kLabels; ++label) {
        const int small = frameOf(label, 0);
        const int medium = frameOf(label, 1);
        const int large = frameOf(label, 2);
        std::vector<std::uint8_t> anim(8, static_cast<std::uint8_t>(small));
        anim.push_back(static_cast<std::uint8_t>(medium));
        anim.push_back(static_cast<std::uint8_t>(large));
        anim.push_back(static_cast<std::uint8_t>(large));
        s.anims.push_back(anim);
    }
    return s;
}

// The touch buttons, drawn from their top left, each plain and pressed:
// steer left, steer right and the action button, in the order of
// `game::RaceTouchFrame`.
PaintedSprite touchButtons() {
    static_assert(game::kLeftButtonFrame == 0 && game::kRightButtonFrame == 2 &&
                  game::kActionButtonFrame == 4);
    std::vector<Frame> frames;
    const auto button = [](int side, bool pressed, std::uint32_t top, std::uint32_t bottom,
                           const std::function<bool(double, double)>& symbol) {
        ArtCanvas b(side, side);
        const double c = side / 2.0;
        b.fill(shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) < c; }), 0,
               0, 0x101018);
        b.fill(
            shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) < c - 2; }),
            0, 0, [&](int, int y) { return mixColour(0xE8EEF8, 0x505864, y / double(side)); });
        b.fill(
            shapeCoverage(side, side, [&](double x, double y) { return std::hypot(x - c, y - c) < c - 5; }),
            0, 0, [&](int, int y) {
                const double t = y / double(side);
                return pressed ? mixColour(bottom, top, t) : mixColour(top, bottom, t);
            });
        const Coverage mark = shapeCoverage(side, side, symbol);
        b.fill(grown(mark, 2), 0, 0, 0x101018);
        b.fill(mark, 0, 0, pressed ? 0xFFE060u : 0xF8F8F8u);
        return b;
    };
    constexpr int side = 80;
    for (int direction = 0; direction < 2; ++direction)
        for (int pressed = 0; pressed < 2; ++pressed)
            frames.push_back(
                {{button(side, pressed, 0x5A7AB8, 0x1A2C58,
                         [direction](double x, double y) {
                             const double u = direction == 0 ? x : side - x;
                             return insidePolygon(
                                 u, y,
                                 {{18, 40}, {44, 18}, {44, 31}, {62, 31}, {62, 49}, {44, 49}, {44, 62}});
                         }),
                  0, 0}});
    for (int pressed = 0; pressed < 2; ++pressed)
        frames.push_back({{button(96, pressed, 0xF06848, 0x901818,
                                  [](double x, double y) { return insideStar(x, y, 48, 50, 28, 12); }),
                           0, 0}});
    return artSprite(frames);
}

// The racers' icons, 40 px helmets drawn from their top left: frame n for
// racer n (and the player's driver kind), seven colours with and without a
// white stripe, a dark visor with a glint.
PaintedSprite racerIcons() {
    constexpr int side = 40, racers = 14;
    constexpr std::uint32_t kShells[7] = {0xD82020, 0x2060D8, 0xF0C020, 0x20A048,
                                          0xF07010, 0x9030C8, 0x20B8C8};
    std::vector<Frame> frames;
    for (int racer = 0; racer < racers; ++racer) {
        ArtCanvas helmet(side, side);
        const auto shell = [](double x, double y) {
            // A dome over a chin guard that sweeps back.
            const double dome = std::hypot((x - 20) / 17, (y - 21) / 17);
            return (dome <= 1 && y < 30) || (y >= 26 && y <= 36 && x >= 5 && x <= 33 - (y - 26) * 0.6);
        };
        const Coverage body = shapeCoverage(side, side, shell);
        helmet.fill(grown(body, 2), 0, 0, 0x101018);
        const std::uint32_t colour = kShells[racer % 7];
        helmet.fill(body, 0, 0, [&](int x, int y) {
            const bool glint = std::hypot(x + 0.5 - 14, y + 0.5 - 11) < 5;
            return glint ? mixColour(colour, 0xFFFFFF, 0.55) : colour;
        });
        if (racer >= 7) {
            const Coverage stripe = shapeCoverage(
                side, side, [&](double x, double y) { return shell(x, y) && std::fabs(x - 20) < 3; });
            helmet.fill(stripe, 0, 0, 0xF8F8F8);
        }
        const Coverage visor = shapeCoverage(
            side, side, [](double x, double y) { return insideRoundedRect(x, y, 16, 17, 39, 27, 4); });
        helmet.fill(grown(visor, 1.5f), 0, 0, 0x101018);
        helmet.fill(visor, 0, 0, [](int x, int y) { return y < 20 && x > 24 ? 0xA8C8E8u : 0x283848u; });
        frames.push_back({{std::move(helmet), 0, 0}});
    }
    PaintedSprite s = artSprite(frames);
    for (int f = 0; f < racers; ++f)
        s.anims.push_back({static_cast<std::uint8_t>(f)});
    return s;
}

} // namespace

void addDemoHudArt(std::vector<std::optional<PaintedSprite>>& sprites) {
    sprites[game::kHudNumberSprite] = numbers();
    sprites[game::kPlaceSprite] = places();
    sprites[game::kRaceIconSprite] = items();
    sprites[game::kCoinSprite] = gauge();
    sprites[game::kRacerBadgeSprite] = racerIcons();
    sprites[game::kStartSprite] = raceStart();
    sprites[game::kRaceTouchSprite] = touchButtons();
}

} // namespace mkdata
