// The racers' cars: one small low-poly model (a body with a raised cabin,
// glass, four wheels with rims, tail and head lights, a bumper, a plate and
// a spoiler) rendered by code with flat shading at every angle the car
// painters draw, seen from behind and a little above. Each face takes one
// shade from its angle to a fixed light; the body has five shades and a
// highlight on its upper edges, the glass two shades and reflection streaks.
//
// The frames, as the painters read them (game/framework/CarFrames.h):
//   the body steering from full left to full right, the straight one in
//             the middle and the turned view of a car in a bend among them;
//             each is drawn from its images 0 (the cabin), 1 (the rest of
//             the body), 2 and 3 (the left and right rear wheels, where the
//             wheel particles go);
//   the glowing tail lights over each body frame;
//   the straight body again;
//   the boost's exhaust flame over the straight body;
//   a whole turn in steps of 30 degrees, for the spin animations;
//   the straight body again, up to the slides;
//   tyre smoke at the outer rear wheel of a hard turn right and then left,
//             one size per kind of slide;
//   the effect layers drawn over the car: coins scattering, stars circling
//             above the roof, a glow streaming round the body, the shield's
//             bubble and a burst of sparks.
// Palette 0 is the racer's own body colour, 1 its flash, 2 a darkened
// copy, 3 the icy look of a slowed car. Everything else keeps its colour in
// every palette, so only the body changes.

#include "game/framework/CarFrames.h"
#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace mkdata {

namespace {

using datakit::PaintedFrame;
using datakit::PaintedImage;
using datakit::PaintedSprite;

// Palette indexes.
constexpr std::uint8_t kKeyIndex = 0;
constexpr std::uint8_t kBodyDark = 1; // 1 to 5: the body's shades, darkest first
constexpr std::uint8_t kGlassDark = 6;
constexpr std::uint8_t kGlassLit = 7;
constexpr std::uint8_t kGlassShine = 8;
constexpr std::uint8_t kTyre = 9;
constexpr std::uint8_t kRim = 10;
constexpr std::uint8_t kTailLight = 11;
constexpr std::uint8_t kHighlight = 12;
constexpr std::uint8_t kTrim = 13;
constexpr std::uint8_t kPale = 14;
constexpr std::uint8_t kGlow = 15;
constexpr std::uint8_t kGold = 16;
constexpr std::uint8_t kGoldDark = 17;
constexpr std::uint8_t kStarShade = 18;
constexpr std::uint8_t kShieldShade = 19;
constexpr std::uint8_t kShieldRim = 20;
constexpr std::uint8_t kViolet = 21;
constexpr std::uint8_t kSpark = 22;
constexpr int kBodyShades = 5;

enum class Material : std::uint8_t { Body, Glass, Tyre, Rim, TailLight, HeadLight, Trim, Plate };
// The image of a body frame a face lands in.
enum Part : std::uint8_t { kCabin = 0, kBody = 1, kRearLeft = 2, kRearRight = 3, kPartCount = 4 };

struct Vec {
    double x = 0, y = 0, z = 0;
};
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator*(Vec a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec unit(Vec a) {
    const double length = std::sqrt(dot(a, a));
    return length > 0 ? a * (1 / length) : a;
}

// A flat convex polygon; its normal points away from `centre`, the middle
// of the solid it bounds.
struct Face {
    std::vector<Vec> corners;
    Vec centre;
    Material material;
    Part part;
};

// The model in metres: x to the car's right, y up, z forward, the ground
// at y = 0 under the middle of the car.
class Model {
public:
    // A box whose top is narrowed by `inset` on the sides and by `front`
    // and `back` at the ends: the sloping faces take `slope`, the top
    // `top`, the rest `material`.
    void slopedBox(Vec low, Vec high, double inset, double front, double back, Material material,
                   Material slope, Material top, Part part) {
        const Vec b[4] = {
            {low.x, low.y, low.z}, {high.x, low.y, low.z}, {high.x, low.y, high.z}, {low.x, low.y, high.z}};
        const Vec t[4] = {{low.x + inset, high.y, low.z + back},
                          {high.x - inset, high.y, low.z + back},
                          {high.x - inset, high.y, high.z - front},
                          {low.x + inset, high.y, high.z - front}};
        const Vec centre = (low + high) * 0.5;
        const bool sloped[4] = {back > 0, inset > 0, front > 0, inset > 0};
        faces_.push_back({{b[0], b[1], b[2], b[3]}, centre, material, part});
        faces_.push_back({{t[0], t[1], t[2], t[3]}, centre, top, part});
        for (int side = 0; side < 4; ++side) {
            const int next = (side + 1) % 4;
            faces_.push_back(
                {{b[side], b[next], t[next], t[side]}, centre, sloped[side] ? slope : material, part});
        }
    }
    void box(Vec low, Vec high, Material material, Part part) {
        slopedBox(low, high, 0, 0, 0, material, material, material, part);
    }
    // A wheel: an octagonal tyre turning about the x axis with a rim on
    // its outer side.
    void wheel(Vec hub, double radius, double width, Part part) {
        const double outer = hub.x < 0 ? -1 : 1;
        auto ring = [&](double x, double r) {
            std::vector<Vec> points;
            for (int i = 0; i < 8; ++i) {
                const double a = (i + 0.5) * 3.14159265358979 / 4;
                points.push_back({x, hub.y + r * std::sin(a), hub.z + r * std::cos(a)});
            }
            return points;
        };
        const std::vector<Vec> in = ring(hub.x - outer * width / 2, radius);
        const std::vector<Vec> out = ring(hub.x + outer * width / 2, radius);
        for (int i = 0; i < 8; ++i)
            faces_.push_back({{in[i], in[(i + 1) % 8], out[(i + 1) % 8], out[i]}, hub, Material::Tyre, part});
        faces_.push_back({in, hub, Material::Tyre, part});
        faces_.push_back({out, hub, Material::Tyre, part});
        faces_.push_back({ring(hub.x + outer * (width / 2 + 0.01), radius * 0.6), hub, Material::Rim, part});
    }
    // A thin plate across the car at `z` (its back or its front), facing
    // out of the car.
    void panel(double left, double right, double low, double high, double z, Material material) {
        faces_.push_back({{{left, low, z}, {right, low, z}, {right, high, z}, {left, high, z}},
                          {0, 0.5, 0},
                          material,
                          kBody});
    }
    const std::vector<Face>& faces() const { return faces_; }

private:
    std::vector<Face> faces_;
};

// Pixels per metre, the camera's downward tilt and the light (towards it,
// in the camera's space: from above, left and behind the camera).
constexpr double kRaceScale = 30;
constexpr double kPitch = 0.32;
const Vec kLight = unit({-0.45, 0.8, -0.4});
const Vec kExhaust{0.53, 0.24, -2.22};
const Vec kRearAxle{0, 0.34, -1.3};

const Model& carModel() {
    static const Model model = [] {
        Model m;
        constexpr double kLength = 2.1, kHalf = 0.88;
        // The lower body, its top edges bevelled, the nose sloping down.
        m.slopedBox({-kHalf, 0.22, -kLength}, {kHalf, 0.72, kLength}, 0.08, 0.45, 0.06, Material::Body,
                    Material::Body, Material::Body, kBody);
        // The cabin: glass all round under a body-coloured roof.
        m.slopedBox({-0.74, 0.72, -1.05}, {0.74, 1.22, 0.75}, 0.14, 0.5, 0.32, Material::Glass,
                    Material::Glass, Material::Body, kCabin);
        // The spoiler on two posts.
        m.box({-0.86, 0.92, -2.08}, {0.86, 0.98, -1.78}, Material::Body, kBody);
        m.box({-0.5, 0.72, -1.98}, {-0.42, 0.92, -1.88}, Material::Trim, kBody);
        m.box({0.42, 0.72, -1.98}, {0.5, 0.92, -1.88}, Material::Trim, kBody);
        // The rear bumper, the lights, the plate and the exhaust.
        m.box({-0.84, 0.18, -2.16}, {0.84, 0.34, -1.95}, Material::Trim, kBody);
        m.panel(-0.8, -0.5, 0.5, 0.64, -kLength - 0.005, Material::TailLight);
        m.panel(0.5, 0.8, 0.5, 0.64, -kLength - 0.005, Material::TailLight);
        m.panel(-0.22, 0.22, 0.38, 0.52, -kLength - 0.005, Material::Plate);
        m.box(kExhaust + Vec{-0.07, -0.04, 0}, kExhaust + Vec{0.07, 0.04, 0.12}, Material::Trim, kBody);
        m.panel(-0.78, -0.48, 0.44, 0.56, kLength + 0.005, Material::HeadLight);
        m.panel(0.48, 0.78, 0.44, 0.56, kLength + 0.005, Material::HeadLight);
        // The wheels stand a little out of the body.
        m.wheel({-0.86, 0.34, -1.3}, 0.34, 0.26, kRearLeft);
        m.wheel({0.86, 0.34, -1.3}, 0.34, 0.26, kRearRight);
        m.wheel({-0.86, 0.34, 1.3}, 0.34, 0.26, kBody);
        m.wheel({0.86, 0.34, 1.3}, 0.34, 0.26, kBody);
        return m;
    }();
    return model;
}

// A rendered view: per pixel the palette index, the part and the face.
struct Render {
    int width = 0, height = 0;
    int originX = 0, originY = 0;   // the car's ground point in the image
    int exhaustX = 0, exhaustY = 0; // the exhaust's end in the image
    std::vector<std::uint8_t> index, part;
    std::vector<int> face;
    std::vector<double> depth;
    int at(int x, int y) const { return y * width + x; }
};

// A point of the model turned by `yaw`, in the camera's space: x right, y
// up on the screen, z away.
Vec toCamera(Vec p, double yaw) {
    const double c = std::cos(yaw), s = std::sin(yaw), cp = std::cos(kPitch), sp = std::sin(kPitch);
    const Vec r{p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
    return Vec{r.x, r.y * cp + r.z * sp, -r.y * sp + r.z * cp};
}

// The height on the screen, in metres, of the frames' origin: the ground
// under the rear axle seen straight from behind.
double groundLine() {
    return kRearAxle.z * std::sin(kPitch);
}

Render render(double yaw, double scale = kRaceScale) {
    auto view = [&](Vec p) { return toCamera(p, yaw); };
    const std::vector<Face>& faces = carModel().faces();
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const Face& f : faces)
        for (Vec p : f.corners) {
            const Vec v = view(p);
            minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
        }
    Render out;
    out.originX = static_cast<int>(std::ceil(-minX * scale)) + 1;
    // The ground under the rear axle, seen straight from behind, is the
    // frame's origin row at every angle: a steering car turns about its
    // middle, but stays on the same ground line.
    const double ground = groundLine();
    out.originY = static_cast<int>(std::ceil((maxY - ground) * scale)) + 1;
    out.width = out.originX + static_cast<int>(std::ceil(maxX * scale)) + 2;
    out.height = out.originY + static_cast<int>(std::ceil((ground - minY) * scale)) + 2;
    const auto size = static_cast<std::size_t>(out.width) * out.height;
    out.index.assign(size, kKeyIndex);
    out.part.assign(size, kPartCount);
    out.face.assign(size, -1);
    out.depth.assign(size, 1e9);
    const Vec exhaust = view(kExhaust);
    out.exhaustX = out.originX + static_cast<int>(exhaust.x * scale);
    out.exhaustY = out.originY - static_cast<int>((exhaust.y - ground) * scale);

    for (std::size_t n = 0; n < faces.size(); ++n) {
        const Face& f = faces[n];
        std::vector<Vec> v;
        for (Vec p : f.corners)
            v.push_back(view(p));
        Vec normal = unit(cross(v[1] - v[0], v[2] - v[0]));
        if (dot(normal, v[0] - view(f.centre)) < 0)
            normal = normal * -1;
        const double light = std::max(0.0, dot(normal, kLight));
        auto shadeOf = [&]() -> std::uint8_t {
            switch (f.material) {
            case Material::Body:
                return static_cast<std::uint8_t>(
                    kBodyDark +
                    std::min(kBodyShades - 1, static_cast<int>((0.15 + 0.85 * light) * kBodyShades)));
            case Material::Glass:
                return light > 0.45 ? kGlassLit : kGlassDark;
            case Material::Tyre:
                return kTyre;
            case Material::Rim:
                return kRim;
            case Material::TailLight:
                return kTailLight;
            case Material::HeadLight:
            case Material::Plate:
                return kPale;
            case Material::Trim:
                return kTrim;
            }
            return kTrim;
        };
        const std::uint8_t shade = shadeOf();
        // Triangles fanned from the first corner, filled at pixel centres.
        for (std::size_t k = 1; k + 1 < v.size(); ++k) {
            const Vec a = v[0], b = v[k], d = v[k + 1];
            auto sx = [&](Vec p) { return out.originX + p.x * scale; };
            auto sy = [&](Vec p) { return out.originY - (p.y - ground) * scale; };
            const double ax = sx(a), ay = sy(a), bx = sx(b), by = sy(b), dx = sx(d), dy = sy(d);
            const double area = (bx - ax) * (dy - ay) - (by - ay) * (dx - ax);
            if (std::fabs(area) < 1e-9)
                continue;
            const int x0 = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, dx}))));
            const int x1 = std::min(out.width - 1, static_cast<int>(std::ceil(std::max({ax, bx, dx}))));
            const int y0 = std::max(0, static_cast<int>(std::floor(std::min({ay, by, dy}))));
            const int y1 = std::min(out.height - 1, static_cast<int>(std::ceil(std::max({ay, by, dy}))));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const double px = x + 0.5, py = y + 0.5;
                    const double wa = ((bx - px) * (dy - py) - (by - py) * (dx - px)) / area;
                    const double wb = ((dx - px) * (ay - py) - (dy - py) * (ax - px)) / area;
                    const double wd = 1 - wa - wb;
                    if (wa < 0 || wb < 0 || wd < 0)
                        continue;
                    const double z = wa * a.z + wb * b.z + wd * d.z;
                    const int i = out.at(x, y);
                    if (z >= out.depth[static_cast<std::size_t>(i)])
                        continue;
                    out.depth[static_cast<std::size_t>(i)] = z;
                    out.index[static_cast<std::size_t>(i)] = shade;
                    out.part[static_cast<std::size_t>(i)] = f.part;
                    out.face[static_cast<std::size_t>(i)] = static_cast<int>(n);
                }
        }
    }
    // Highlights: the top pixel of each bright body face, and streaks of
    // reflected sky across the lit glass.
    for (int y = out.height - 1; y >= 0; --y)
        for (int x = 0; x < out.width; ++x) {
            const auto i = static_cast<std::size_t>(out.at(x, y));
            const int above = y > 0 ? out.face[static_cast<std::size_t>(out.at(x, y - 1))] : -1;
            if (out.index[i] >= kBodyDark + kBodyShades - 2 && out.index[i] < kBodyDark + kBodyShades &&
                above != out.face[i])
                out.index[i] = kHighlight;
            else if (out.index[i] == kGlassLit && (x + y) % 12 < 2)
                out.index[i] = kGlassShine;
        }
    return out;
}

// The pixels of `render` that `keep` selects, as an image placed against
// the car's ground point; a 1 x 1 transparent image when none is.
template <typename Keep>
PaintedImage cut(const Render& r, Keep keep) {
    int x0 = r.width, y0 = r.height, x1 = -1, y1 = -1;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (keep(r.at(x, y)))
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    if (x1 < 0)
        return datakit::paintImage(0, 0, 1, 1, [](int, int) { return kKeyIndex; });
    return datakit::paintImage(
        static_cast<std::int16_t>(x0 - r.originX), static_cast<std::int16_t>(y0 - r.originY),
        static_cast<std::uint16_t>(x1 - x0 + 1), static_cast<std::uint16_t>(y1 - y0 + 1), [&](int x, int y) {
            const int i = r.at(x0 + x, y0 + y);
            return keep(i) ? r.index[static_cast<std::size_t>(i)] : kKeyIndex;
        });
}

PaintedFrame bodyFrame(const Render& r) {
    PaintedFrame frame;
    for (std::uint8_t part = 0; part < kPartCount; ++part)
        frame.images.push_back(cut(r, [&](int i) { return r.part[static_cast<std::size_t>(i)] == part; }));
    return frame;
}

PaintedFrame wholeFrame(const Render& r) {
    PaintedFrame frame;
    frame.images.push_back(cut(r, [&](int i) { return r.index[static_cast<std::size_t>(i)] != kKeyIndex; }));
    return frame;
}

// The tail lights lit: the light's pixels and a one-pixel glow around them.
PaintedFrame lightFrame(const Render& r) {
    auto isLight = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < r.width && y < r.height &&
               r.index[static_cast<std::size_t>(r.at(x, y))] == kTailLight;
    };
    Render glow = r;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const bool lit = isLight(x, y);
            const bool near =
                isLight(x - 1, y) || isLight(x + 1, y) || isLight(x, y - 1) || isLight(x, y + 1);
            glow.index[static_cast<std::size_t>(r.at(x, y))] = lit ? kGlow : near ? kTailLight : kKeyIndex;
        }
    return wholeFrame(glow);
}

// A round puff of `radius` centred at (`cx`, `cy`) from the ground point:
// pale, shaded at its lower right.
PaintedImage puff(int cx, int cy, int radius, std::uint8_t light, std::uint8_t shade) {
    const int side = 2 * radius + 1;
    return datakit::paintImage(static_cast<std::int16_t>(cx - radius), static_cast<std::int16_t>(cy - radius),
                               static_cast<std::uint16_t>(side), static_cast<std::uint16_t>(side),
                               [&](int x, int y) {
                                   const int dx = x - radius, dy = y - radius;
                                   if (dx * dx + dy * dy > radius * radius)
                                       return kKeyIndex;
                                   return dx + dy > radius / 2 ? shade : light;
                               });
}

// Smoke from the outer rear wheel of body frame `body`: three puffs
// trailing outwards, bigger for a harder slide.
PaintedFrame smokeFrame(const PaintedFrame& body, bool right, int size) {
    const PaintedImage& wheel = body.images[right ? kRearLeft : kRearRight];
    const int cx = wheel.x + wheel.width / 2, cy = wheel.y + wheel.height - 2;
    const int out = right ? -1 : 1;
    PaintedFrame frame;
    for (int p = 0; p < 3; ++p)
        frame.images.push_back(puff(cx + out * p * (4 + size), cy - p * 3, 4 + 2 * size + p, kPale, kRim));
    return frame;
}

// The boost's flame from the exhaust of the straight body.
PaintedFrame flameFrame(const Render& straight) {
    const int ex = straight.exhaustX, ey = straight.exhaustY;
    const int length = 12;
    PaintedFrame frame;
    frame.images.push_back(
        datakit::paintImage(static_cast<std::int16_t>(ex - straight.originX - 4),
                            static_cast<std::int16_t>(ey - straight.originY - 2), 9,
                            static_cast<std::uint16_t>(length), [&](int x, int y) {
                                const int reach = 4 - y * 4 / length;
                                const int dx = std::abs(x - 4);
                                if (dx > reach)
                                    return kKeyIndex;
                                return dx < reach / 2 ? kPale : dx < reach ? kGlow : kTailLight;
                            }));
    return frame;
}

std::uint32_t scaled(std::uint32_t rgb, double k) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double channel = ((rgb >> shift) & 0xFF) * k;
        out |= static_cast<std::uint32_t>(std::clamp(channel, 0.0, 255.0)) << shift;
    }
    return out;
}

std::uint32_t blend(std::uint32_t a, std::uint32_t b, int weight) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(ca + (cb - ca) * weight / 256) << shift;
    }
    return out;
}

std::vector<std::uint32_t> carPalette(std::uint32_t body) {
    constexpr double kShadeFactors[kBodyShades] = {0.38, 0.56, 0.74, 0.9, 1.06};
    std::vector<std::uint32_t> colours = {kKey};
    for (double k : kShadeFactors)
        colours.push_back(scaled(body, k));
    const std::uint32_t fixed[] = {0x1C2A3C,
                                   0x40607C,
                                   0xB8D8F0,
                                   0x181818,
                                   0x9098A4,
                                   blend(0xB01010, body, 40),
                                   blend(body, 0xFFFFFF, 190),
                                   0x26262C,
                                   0xE8E8DC,
                                   0xFF7040,
                                   0xFFC83C,
                                   0xA86E14,
                                   0xFFF6B0,
                                   0x58B8FF,
                                   0xD8F4FF,
                                   0xB078FF,
                                   0xFF9C30};
    colours.insert(colours.end(), std::begin(fixed), std::end(fixed));
    for (std::size_t i = 1; i < colours.size(); ++i)
        colours[i] |= 0xFF000000u;
    return colours;
}

// The shadow of the car turned by `yaw`: its footprint on the ground in
// every other pixel of index 1, so the road shows through.
PaintedFrame shadowFrame(double yaw) {
    constexpr double kHalfWidth = 1.0, kHalfLength = 2.15;
    std::vector<std::pair<double, double>> corner;
    for (Vec p : {Vec{-kHalfWidth, 0, -kHalfLength}, Vec{kHalfWidth, 0, -kHalfLength},
                  Vec{kHalfWidth, 0, kHalfLength}, Vec{-kHalfWidth, 0, kHalfLength}}) {
        const Vec v = toCamera(p, yaw);
        corner.emplace_back(v.x * kRaceScale, -(v.y - groundLine()) * kRaceScale);
    }
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (auto [x, y] : corner)
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    const int left = static_cast<int>(std::floor(x0)), top = static_cast<int>(std::floor(y0));
    // Inside a convex quad: on the same side of all four edges.
    auto inside = [&](double px, double py) {
        int sign = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const auto [ax, ay] = corner[i];
            const auto [bx, by] = corner[(i + 1) % 4];
            const double side = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
            const int s = side > 0 ? 1 : -1;
            if (sign != 0 && s != sign)
                return false;
            sign = s;
        }
        return true;
    };
    PaintedFrame frame;
    frame.images.push_back(datakit::paintImage(
        static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
        static_cast<std::uint16_t>(std::ceil(x1) - left + 1),
        static_cast<std::uint16_t>(std::ceil(y1) - top + 1), [&](int x, int y) {
            return inside(left + x + 0.5, top + y + 0.5) && (left + x + top + y) % 2 == 0 ? 1 : 0;
        }));
    return frame;
}

} // namespace

PaintedSprite demoCarShadows() {
    constexpr double kDegree = 3.14159265358979 / 180;
    PaintedSprite s;
    s.palettes = {{kKey, 0xFF141418u}};
    // One per steering frame for each column of sprite sets (the cars share
    // one shape), then one under a car in its animated state.
    for (int f = 0; f < game::kCarSteerFrames; ++f)
        for (int column = 0; column < game::kShadowColumns; ++column)
            s.frames.push_back(shadowFrame((f - game::kStraightCarFrame) * 5 * kDegree));
    static_assert(game::kAnimatedCarShadowFrame == game::kCarSteerFrames * int{game::kShadowColumns});
    s.frames.push_back(shadowFrame(0));
    return s;
}

PaintedSprite demoWheelParticles() {
    // Each surface's colour and its shade are indexes 1 + 2 s and 2 + 2 s;
    // the smoke takes the pale grey of the asphalt's dust.
    constexpr std::uint32_t kSurfaceColours[7][2] = {
        {0xB8B8B0, 0x707070}, {0xA07040, 0x604020}, {0x60B040, 0x306020}, {0xE0C880, 0xA08850},
        {0xF8F8FF, 0xB0C0D8}, {0x80C0F0, 0x3070C0}, {0x9A9A90, 0x505050}};
    PaintedSprite s;
    std::vector<std::uint32_t> colours = {kKey};
    for (const auto& pair : kSurfaceColours)
        for (std::uint32_t c : pair)
            colours.push_back(0xFF000000u | c);
    // Palette 1 is the alpha map the race load restores palette 0's alpha
    // from (its red is the alpha): the specks are opaque.
    std::vector<std::uint32_t> alphaMap(colours.size(), 0xFFFFFFFFu);
    alphaMap[0] = kKey;
    s.palettes = {colours, alphaMap};
    // Specks thrown back from under the wheel (the wheel module's corner is
    // the frame's origin), in two phases that alternate as the car moves.
    auto specks = [](std::uint8_t light, std::uint8_t shade, int phase, int size) {
        return datakit::paintImage(-4, 14, 14, 12, [&](int x, int y) -> std::uint8_t {
            for (int k = 0; k < 4; ++k) {
                const int cx = 2 + ((k * 5 + phase * 3) % 10), cy = 2 + ((k * 7 + phase * 4) % 8);
                const int dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy <= size * size)
                    return dx + dy > 0 ? shade : light;
            }
            return kKeyIndex;
        });
    };
    for (std::uint8_t surface = 0; surface < 7; ++surface)
        for (int phase = 0; phase < 2; ++phase)
            s.frames.push_back({.fills = {},
                                .images = {specks(static_cast<std::uint8_t>(1 + 2 * surface),
                                                  static_cast<std::uint8_t>(2 + 2 * surface), phase, 2)},
                                .boxes = {}});
    static_assert(static_cast<std::size_t>(game::kTyreSmokeFrame) == 2 * std::size(kSurfaceColours));
    for (int phase = 0; phase < 2; ++phase)
        s.frames.push_back({.fills = {}, .images = {specks(1, 2, phase, 3)}, .boxes = {}});
    // The smoke of a crash: the two smoke frames in turn.
    constexpr std::uint8_t kSmoke = game::kTyreSmokeFrame, kSmokeB = game::kTyreSmokeFrame + 1;
    static_assert(game::kCrashSmokeAnim == 0);
    s.anims = {{kSmoke, kSmokeB, kSmoke, kSmokeB}};
    return s;
}

ArtPiece demoCarArt(std::uint32_t body, double yawDegrees, double pixelsPerMetre) {
    // Rendered kFine times larger, each pixel then the mean of kFine x
    // kFine: the edges come out smooth and the shades blend.
    constexpr int kFine = 3;
    const Render r = render(yawDegrees * 3.14159265358979 / 180, pixelsPerMetre * kFine);
    const std::vector<std::uint32_t> colours = carPalette(body);
    // The small image's ground point, and where its pixel 0 starts in the
    // fine render (at most kFine fine pixels before it).
    const int ox = r.originX / kFine + 1, oy = r.originY / kFine + 1;
    const int shiftX = r.originX - kFine * ox, shiftY = r.originY - kFine * oy;
    ArtCanvas canvas((r.width - shiftX) / kFine + 1, (r.height - shiftY) / kFine + 1);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            float a = 0, red = 0, green = 0, blue = 0;
            for (int j = 0; j < kFine; ++j)
                for (int i = 0; i < kFine; ++i) {
                    const int fx = kFine * x + i + shiftX, fy = kFine * y + j + shiftY;
                    if (fx < 0 || fy < 0 || fx >= r.width || fy >= r.height)
                        continue;
                    const std::uint8_t index = r.index[static_cast<std::size_t>(r.at(fx, fy))];
                    if (index == kKeyIndex)
                        continue;
                    std::uint32_t c = colours[index] & 0xFFFFFFu;
                    // Paint and glass catch the dusk sky: lighter and warmer
                    // towards the top of the car.
                    const double up = std::clamp(1 - 1.6 * fy / r.height, 0.0, 1.0);
                    if (index >= kBodyDark && index < kBodyDark + kBodyShades)
                        c = blend(c, 0xFFD8C0, static_cast<int>(70 * up));
                    else if (index >= kGlassDark && index <= kGlassShine)
                        c = blend(c, blend(0x4A3CA0, 0xFF9A60, static_cast<int>(256 * up)), 120);
                    a += 1;
                    red += static_cast<float>((c >> 16) & 0xFF);
                    green += static_cast<float>((c >> 8) & 0xFF);
                    blue += static_cast<float>(c & 0xFF);
                }
            if (a == 0)
                continue;
            // Streaks of reflected light across the glass, a pixel wide.
            const std::uint8_t middle = r.index[static_cast<std::size_t>(
                r.at(std::clamp(kFine * x + kFine / 2 + shiftX, 0, r.width - 1),
                     std::clamp(kFine * y + kFine / 2 + shiftY, 0, r.height - 1)))];
            if ((middle == kGlassLit || middle == kGlassShine) && (x + y) % 9 < 2) {
                red = red * 0.4f + 0.6f * a * 0xFF;
                green = green * 0.4f + 0.6f * a * 0xF0;
                blue = blue * 0.4f + 0.6f * a * 0xE0;
            }
            canvas.fill(Coverage{1, 1, {a / (kFine * kFine)}}, x, y,
                        (static_cast<std::uint32_t>(std::lround(red / a)) << 16) |
                            (static_cast<std::uint32_t>(std::lround(green / a)) << 8) |
                            static_cast<std::uint32_t>(std::lround(blue / a)));
        }
    return {std::move(canvas), static_cast<std::int16_t>(-ox), static_cast<std::int16_t>(-oy)};
}

// The effect layers' frames, each one image over the car from its ground
// point (x right, y down; the roof stands about 45 pixels up).
using Painter = std::function<std::uint8_t(int, int)>;
PaintedFrame effectFrame(int left, int top, int width, int height, const Painter& paint) {
    PaintedFrame frame;
    frame.images.push_back(datakit::paintImage(
        static_cast<std::int16_t>(left), static_cast<std::int16_t>(top), static_cast<std::uint16_t>(width),
        static_cast<std::uint16_t>(height), [&](int x, int y) { return paint(x + left, y + top); }));
    return frame;
}

constexpr int kEffectPhases = 6;
// A whole turn as the effect frames were drawn with it: with
// std::numbers::pi some of their pixels would move.
constexpr double kEffectTurn = 2 * 3.14159265358979;

// Five coins thrown up from the roof, spinning as they fall away to both
// sides; phase p of kEffectPhases.
PaintedFrame coinFrame(int phase) {
    const double t = (phase + 1.0) / kEffectPhases;
    struct Coin {
        double x, y, w;
    };
    std::vector<Coin> coins;
    for (int k = 0; k < 5; ++k) {
        const double vx = (k - 2) * 22.0, vy = 70.0 - std::abs(k - 2) * 8;
        coins.push_back({vx * t, -44 - (vy * t - 80 * t * t), 4 * std::abs(std::cos((phase + k) * 0.9)) + 1});
    }
    return effectFrame(-60, -90, 121, 90, [&](int x, int y) {
        for (const Coin& c : coins) {
            const double dx = (x - c.x) / c.w, dy = (y - c.y) / 4.5;
            const double r = dx * dx + dy * dy;
            if (r <= 1)
                return r > 0.55 ? kGoldDark : (dx < -0.2 && dy < 0 ? kStarShade : kGold);
        }
        return kKeyIndex;
    });
}

// A four-pointed star of `size` at (cx, cy).
std::uint8_t starAt(double x, double y, double cx, double cy, double size) {
    const double dx = std::abs(x - cx), dy = std::abs(y - cy);
    if (dx + dy > size || (dx > size / 4 && dy > size / 4))
        return kKeyIndex;
    return dx + dy < size / 2 ? kStarShade : kGold;
}

// Four stars circling above the roof; the nearer ones larger.
PaintedFrame starFrame(int phase) {
    return effectFrame(-40, -72, 81, 30, [&](int x, int y) {
        for (int k = 0; k < 4; ++k) {
            const double a = kEffectTurn * (phase / double(kEffectPhases * 4) + k / 4.0);
            const double depth = std::sin(a);
            const auto ink = starAt(x, y, 30 * std::cos(a), -57 + 8 * depth, 5 + 2 * depth);
            if (ink != kKeyIndex)
                return ink;
        }
        return kKeyIndex;
    });
}

// A ring of dashes round the body, running backwards.
PaintedFrame glowFrame(int phase) {
    return effectFrame(-42, -56, 85, 60, [&](int x, int y) {
        const double dx = x / 40.0, dy = (y + 26) / 28.0, r = std::sqrt(dx * dx + dy * dy);
        if (r < 0.86 || r > 1)
            return kKeyIndex;
        const double a = std::atan2(dy, dx) / kEffectTurn * 24 + phase;
        if (std::fmod(a + 48, 2.0) > 1.2)
            return kKeyIndex;
        return r > 0.93 ? kViolet : kPale;
    });
}

// The shield's bubble: every other pixel tinted so the car shows through,
// a bright rim and a highlight that travels round it.
PaintedFrame shieldFrame(int phase) {
    return effectFrame(-44, -66, 89, 70, [&](int x, int y) {
        const double dx = x / 43.0, dy = (y + 31) / 34.0, r = std::sqrt(dx * dx + dy * dy);
        if (r > 1)
            return kKeyIndex;
        if (r > 0.92)
            return kShieldRim;
        const double a = std::atan2(dy, dx), shine = -kEffectTurn * (3 + phase) / 16;
        if (r > 0.78 && std::abs(std::remainder(a - shine, kEffectTurn)) < 0.35)
            return kShieldRim;
        return ((x + y + phase) & 1) == 0 && r > 0.35 ? kShieldShade : kKeyIndex;
    });
}

// Sparks flying out from the body, further and fewer each phase.
PaintedFrame sparkFrame(int phase) {
    const double reach = 12 + 9 * phase;
    return effectFrame(-64, -84, 129, 88, [&](int x, int y) {
        const double dx = x, dy = y + 24, r = std::sqrt(dx * dx + dy * dy);
        if (r < reach - 10 - phase || r > reach)
            return kKeyIndex;
        const double a = std::atan2(dy, dx) / kEffectTurn * 10;
        const double off = std::abs(a - std::round(a));
        if (off > 0.06 + 0.02 * (reach - r) / 10)
            return kKeyIndex;
        return r > reach - 3 ? kStarShade : kSpark;
    });
}

PaintedSprite demoCar(std::uint32_t body) {
    constexpr double kDegree = 3.14159265358979 / 180;
    constexpr int kStraight = game::kStraightCarFrame;
    // The steering of a hard turn, whose body frames the slides' smoke
    // stands at; the whole turn's steps.
    constexpr int kHardTurn = 4, kTurnSteps = 12;
    PaintedSprite s;
    s.palettes = {carPalette(body), carPalette(blend(body, 0xFFFFFF, 150)), carPalette(scaled(body, 0.5)),
                  carPalette(blend(body, 0x70B8FF, 170))};
    std::vector<Render> steer;
    for (int f = 0; f < game::kCarSteerFrames; ++f)
        steer.push_back(render((f - kStraight) * 5 * kDegree));
    for (const Render& r : steer)
        s.frames.push_back(bodyFrame(r));
    static_assert(game::kCarLightFrames == game::kCarSteerFrames);
    for (const Render& r : steer)
        s.frames.push_back(lightFrame(r));
    s.frames.push_back(bodyFrame(steer[kStraight]));
    static_assert(game::kCarFlameFrame == 2 * game::kCarSteerFrames + 1);
    s.frames.push_back(flameFrame(steer[kStraight]));
    constexpr int kFirstTurnFrame = game::kCarFlameFrame + 1;
    for (int turn = 0; turn < kTurnSteps; ++turn)
        s.frames.push_back(wholeFrame(render(turn * 30 * kDegree)));
    while (s.frames.size() < static_cast<std::size_t>(game::kFirstSlideFrame))
        s.frames.push_back(bodyFrame(steer[kStraight]));
    for (int side = 0; side < 2; ++side)
        for (int size = 0; size < 3; ++size)
            s.frames.push_back(
                smokeFrame(s.frames[kStraight + (side == 0 ? kHardTurn : -kHardTurn)], side == 0, size));
    // The effect layers' frames, each animation's phases in a row.
    using FramePainter = PaintedFrame (*)(int);
    constexpr FramePainter kEffects[] = {coinFrame, starFrame, glowFrame, shieldFrame, sparkFrame};
    std::vector<std::vector<std::uint8_t>> effects;
    for (FramePainter paint : kEffects) {
        effects.emplace_back();
        for (int phase = 0; phase < kEffectPhases; ++phase) {
            effects.back().push_back(static_cast<std::uint8_t>(s.frames.size()));
            s.frames.push_back(paint(phase));
        }
    }
    // Animations: parked, a wobble, a whole spin twice (the spin and the
    // animated state), the animated state's held views (straight, straight,
    // turned left, turned right), a shake; parked again up to the effect
    // layers' animations.
    std::vector<std::uint8_t> spin;
    for (int f = kFirstTurnFrame; f < kFirstTurnFrame + kTurnSteps; ++f)
        spin.push_back(static_cast<std::uint8_t>(f));
    static_assert(game::kCarSpinAnim == 2 && game::kCarStateAnim == 3 && game::kCarStateHoldAnim == 4);
    s.anims = {{kStraight},
               {kStraight - 1, kStraight, kStraight + 1, kStraight},
               spin,
               spin,
               {kStraight, kStraight, kStraight - 3, kStraight + 3},
               {kStraight, kStraight - 2, kStraight, kStraight + 2}};
    while (s.anims.size() < static_cast<std::size_t>(game::kCollectDropAnim))
        s.anims.push_back({kStraight});
    static_assert(game::kStarRingAnim == game::kCollectDropAnim + 1 &&
                  game::kSpeedGlowAnim == game::kStarRingAnim + 1 &&
                  game::kShieldAnim == game::kSpeedGlowAnim + 1 &&
                  game::kKnockOutBurstAnim == game::kShieldAnim + 1 &&
                  game::kCarAnimCount == game::kKnockOutBurstAnim + 1);
    s.anims.insert(s.anims.end(), effects.begin(), effects.end());
    return s;
}

} // namespace mkdata
