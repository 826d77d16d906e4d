#include "tools/mkdata/DemoArt.h"

#include "host/text/FreeTypeText.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

constexpr int kSamples = kArtSamples;
// A 4 x 4 ordered-dither matrix, and how far (in colour steps) it moves a
// colour before the nearest palette colour is taken.
constexpr std::array<int, 16> kBayer = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
constexpr float kDitherSpread = 22.f;

float channel(std::uint32_t colour, int shift) {
    return static_cast<float>((colour >> shift) & 0xFF);
}

std::uint32_t packed(float r, float g, float b) {
    const auto c = [](float v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
    return (c(r) << 16) | (c(g) << 8) | c(b);
}

// The pixel's colour as it will show: blended over the matte when there is
// one, else its own colour.
std::array<float, 3> shown(const Rgba& p, std::optional<std::uint32_t> matte) {
    if (!matte)
        return {p.r, p.g, p.b};
    const float a = p.a;
    return {p.r * a + channel(*matte, 16) * (1 - a), p.g * a + channel(*matte, 8) * (1 - a),
            p.b * a + channel(*matte, 0) * (1 - a)};
}

bool opaqueEnough(const Rgba& p, std::optional<std::uint32_t> matte) {
    return matte ? p.a > 0.02f : p.a >= 0.5f;
}

} // namespace

Coverage shapeCoverage(int width, int height, const std::function<bool(double, double)>& inside) {
    Coverage mask{width, height, std::vector<float>(static_cast<std::size_t>(width * height))};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) ? 1 : 0;
            mask.values[static_cast<std::size_t>(y * width + x)] =
                static_cast<float>(hits) / (kSamples * kSamples);
        }
    return mask;
}

Coverage textCoverage(std::u16string_view text, int pixels, int lean, int pad) {
    host::FreeTypeText face(demoSansBoldFace(), pixels);
    const int width = std::max(face.measure(text), 1);
    const int height = face.metrics() ? face.metrics()->height : pixels;
    std::vector<std::uint32_t> glyphs(static_cast<std::size_t>(width * height));
    face.render(text, 0xFFFFFF, 0, glyphs, width, height);
    const int slant = lean > 0 ? height / lean : 0;
    Coverage mask{width + slant + 2 * pad, height + 2 * pad, {}};
    mask.values.assign(static_cast<std::size_t>(mask.width * mask.height), 0.f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int shift = lean > 0 ? (height - y) / lean : 0;
            mask.values[static_cast<std::size_t>((y + pad) * mask.width + x + pad + shift)] =
                static_cast<float>(glyphs[static_cast<std::size_t>(y * width + x)] & 0xFF) / 255.f;
        }
    return mask;
}

Coverage grown(const Coverage& mask, float radius) {
    Coverage out{mask.width, mask.height, std::vector<float>(mask.values.size())};
    const int reach = static_cast<int>(std::ceil(radius));
    const int side = 2 * reach + 1;
    // Each neighbour's weight, by its offset: neighbours at the rim count in
    // part, which keeps the grown edge smooth.
    std::vector<float> weights(static_cast<std::size_t>(side * side));
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            weights[static_cast<std::size_t>((dy + reach) * side + dx + reach)] =
                std::clamp(radius + 0.5f - d, 0.f, 1.f);
        }
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float best = 0;
            for (int dy = -reach; dy <= reach && best < 1; ++dy) {
                const float* row = &weights[static_cast<std::size_t>((dy + reach) * side)];
                for (int dx = -reach; dx <= reach; ++dx)
                    best = std::max(best, mask.at(x + dx, y + dy) * row[dx + reach]);
            }
            out.values[static_cast<std::size_t>(y * mask.width + x)] = best;
        }
    return out;
}

bool insideRoundedRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
    const double cx = std::max({x0 + r - x, x - (x1 - r), 0.0});
    const double cy = std::max({y0 + r - y, y - (y1 - r), 0.0});
    return x >= x0 && x <= x1 && y >= y0 && y <= y1 && cx * cx + cy * cy <= r * r;
}

Coverage roundedCoverage(int width, int height, double inset, double radius) {
    return shapeCoverage(width, height, [&](double x, double y) {
        return insideRoundedRect(x, y, inset, inset, width - inset, height - inset, radius);
    });
}

Rgba rgb(std::uint32_t colour, float alpha) {
    return {channel(colour, 16), channel(colour, 8), channel(colour, 0), alpha};
}

std::uint32_t mixColour(std::uint32_t a, std::uint32_t b, double t) {
    const auto mix = [&](int shift) {
        return static_cast<float>(channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t);
    };
    return packed(mix(16), mix(8), mix(0));
}

void ArtCanvas::fill(const Coverage& mask, int dx, int dy,
                     const std::function<std::uint32_t(int, int)>& colour, float alpha) {
    for (int y = std::max(dy, 0); y < std::min(dy + mask.height, m_height); ++y)
        for (int x = std::max(dx, 0); x < std::min(dx + mask.width, m_width); ++x) {
            const float cover = mask.at(x - dx, y - dy) * alpha;
            if (cover <= 0)
                continue;
            const Rgba top = rgb(colour(x, y), cover);
            Rgba& p = m_pixels[static_cast<std::size_t>(y * m_width + x)];
            // "Over" compositing, kept unpremultiplied.
            const float a = top.a + p.a * (1 - top.a);
            const auto blend = [&](float t, float b) { return (t * top.a + b * p.a * (1 - top.a)) / a; };
            p = {blend(top.r, p.r), blend(top.g, p.g), blend(top.b, p.b), a};
        }
}

std::vector<std::uint32_t> artPalette(const std::vector<const ArtCanvas*>& canvases, int colours,
                                      std::optional<std::uint32_t> matte) {
    using Colour = std::array<int, 3>;
    std::vector<Colour> all;
    for (const ArtCanvas* canvas : canvases)
        for (int y = 0; y < canvas->height(); ++y)
            for (int x = 0; x < canvas->width(); ++x)
                if (const Rgba& p = canvas->at(x, y); opaqueEnough(p, matte)) {
                    const auto c = shown(p, matte);
                    all.push_back({static_cast<int>(std::lround(c[0])), static_cast<int>(std::lround(c[1])),
                                   static_cast<int>(std::lround(c[2]))});
                }
    // Median cut: split the box of the widest channel range at its median
    // until there are enough boxes; each box gives its mean.
    struct Box {
        std::size_t begin, end;
    };
    const auto range = [&](const Box& box, int& widest) {
        int best = -1;
        for (int c = 0; c < 3; ++c) {
            int lo = 255, hi = 0;
            for (std::size_t i = box.begin; i < box.end; ++i) {
                lo = std::min(lo, all[i][static_cast<std::size_t>(c)]);
                hi = std::max(hi, all[i][static_cast<std::size_t>(c)]);
            }
            if (hi - lo > best) {
                best = hi - lo;
                widest = c;
            }
        }
        return best;
    };
    std::vector<Box> boxes;
    if (!all.empty())
        boxes.push_back({0, all.size()});
    while (static_cast<int>(boxes.size()) < colours) {
        std::size_t pick = boxes.size();
        long bestScore = 0;
        int bestChannel = 0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            int c = 0;
            const long score =
                static_cast<long>(range(boxes[b], c)) * static_cast<long>(boxes[b].end - boxes[b].begin);
            if (boxes[b].end - boxes[b].begin > 1 && score > bestScore) {
                bestScore = score;
                pick = b;
                bestChannel = c;
            }
        }
        if (pick == boxes.size())
            break;
        const Box box = boxes[pick];
        const auto c = static_cast<std::size_t>(bestChannel);
        std::stable_sort(all.begin() + static_cast<long>(box.begin), all.begin() + static_cast<long>(box.end),
                         [c](const Colour& a, const Colour& b) { return a[c] < b[c]; });
        const std::size_t middle = box.begin + (box.end - box.begin) / 2;
        boxes[pick] = {box.begin, middle};
        boxes.push_back({middle, box.end});
    }
    std::vector<std::uint32_t> palette = {kKey};
    for (const Box& box : boxes) {
        std::array<double, 3> sum{};
        for (std::size_t i = box.begin; i < box.end; ++i)
            for (std::size_t c = 0; c < 3; ++c)
                sum[c] += all[i][c];
        const auto n = static_cast<double>(box.end - box.begin);
        palette.push_back(0xFF000000u | packed(static_cast<float>(sum[0] / n), static_cast<float>(sum[1] / n),
                                               static_cast<float>(sum[2] / n)));
    }
    return palette;
}

datakit::PaintedImage artImage(const ArtCanvas& canvas, const std::vector<std::uint32_t>& palette,
                               std::int16_t x, std::int16_t y, std::optional<std::uint32_t> matte) {
    return datakit::paintImage(
        x, y, static_cast<std::uint16_t>(canvas.width()), static_cast<std::uint16_t>(canvas.height()),
        [&](int px, int py) -> std::uint8_t {
            const Rgba& p = canvas.at(px, py);
            if (!opaqueEnough(p, matte) || palette.size() < 2)
                return 0;
            const float nudge =
                (static_cast<float>(kBayer[static_cast<std::size_t>((py % 4) * 4 + px % 4)]) - 7.5f) / 16.f *
                kDitherSpread;
            const auto c = shown(p, matte);
            std::size_t best = 1;
            float bestDistance = 1e30f;
            for (std::size_t i = 1; i < palette.size(); ++i) {
                const float dr = c[0] + nudge - channel(palette[i], 16);
                const float dg = c[1] + nudge - channel(palette[i], 8);
                const float db = c[2] + nudge - channel(palette[i], 0);
                const float d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            return static_cast<std::uint8_t>(best);
        });
}

namespace {

bool insideRing(double x, double y, const std::array<double, 2>* points, std::size_t count) {
    bool inside = false;
    for (std::size_t i = 0, j = count - 1; i < count; j = i++) {
        const auto& a = points[i];
        const auto& b = points[j];
        if ((a[1] > y) != (b[1] > y) && x < (b[0] - a[0]) * (y - a[1]) / (b[1] - a[1]) + a[0])
            inside = !inside;
    }
    return inside;
}

// A star's ten corners as directions from its centre, the top first, then
// clockwise: outer and inner corners alternate.
constexpr int kStarCorners = 10;
const std::array<std::array<double, 2>, kStarCorners>& starDirections() {
    static const std::array<std::array<double, 2>, kStarCorners> directions = [] {
        std::array<std::array<double, 2>, kStarCorners> all{};
        for (int k = 0; k < kStarCorners; ++k) {
            const double a = -std::numbers::pi / 2 + k * std::numbers::pi / 5;
            all[static_cast<std::size_t>(k)] = {std::cos(a), std::sin(a)};
        }
        return all;
    }();
    return directions;
}

} // namespace

bool insidePolygon(double x, double y, const std::vector<std::array<double, 2>>& points) {
    return insideRing(x, y, points.data(), points.size());
}

bool insidePolygon(double x, double y, std::initializer_list<std::array<double, 2>> points) {
    return insideRing(x, y, points.begin(), points.size());
}

bool insideStar(double x, double y, double cx, double cy, double outer, double inner) {
    const auto& directions = starDirections();
    std::array<std::array<double, 2>, kStarCorners> points;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double r = k % 2 ? inner : outer;
        points[k] = {cx + r * directions[k][0], cy + r * directions[k][1]};
    }
    return insideRing(x, y, points.data(), points.size());
}

ArtCanvas lettering(std::u16string_view text, int pixels, std::uint32_t top, std::uint32_t bottom,
                    int outline, int shadow, std::uint32_t ink) {
    const int pad = outline + shadow + 1;
    const Coverage glyphs = textCoverage(text, pixels, 6, pad);
    const Coverage rim = grown(glyphs, static_cast<float>(outline));
    ArtCanvas canvas(glyphs.width, glyphs.height);
    canvas.fill(rim, shadow, shadow, 0x000000, 0.9f);
    canvas.fill(rim, 0, 0, ink);
    // The ink of a glyph runs from about a fifth of the face's height to its
    // baseline; the gradient spans that.
    const double from = pad + pixels * 0.2, to = pad + pixels * 1.05;
    canvas.fill(glyphs, 0, 0, [&](int, int y) {
        const double t = std::clamp((y - from) / (to - from), 0.0, 1.0);
        const std::uint32_t c = mixColour(top, bottom, t);
        return t < 0.38 ? mixColour(c, 0xFFFFFF, 0.35 * (1 - t / 0.38)) : c;
    });
    return canvas;
}

void paintShape(ArtCanvas& canvas, const std::function<bool(double, double)>& inside, std::uint32_t fill,
                float outline, std::uint32_t ink) {
    const Coverage shape = shapeCoverage(canvas.width(), canvas.height(), inside);
    canvas.fill(grown(shape, outline), 0, 0, ink);
    const int h = canvas.height();
    canvas.fill(shape, 0, 0,
                [&](int, int y) { return mixColour(mixColour(fill, 0xFFFFFF, 0.45), fill, y / (0.7 * h)); });
}

ArtCanvas tile(int width, int height, std::uint32_t top, std::uint32_t bottom, double radius) {
    ArtCanvas canvas(width, height);
    const auto body = [&](double inset) { return roundedCoverage(width, height, inset, radius - inset); };
    canvas.fill(body(0), 0, 0, 0x101018);
    canvas.fill(body(2), 0, 0, [&](int, int y) { return mixColour(0xE8EEF8, 0x58606C, y / double(height)); });
    canvas.fill(body(4), 0, 0, [&](int, int y) { return mixColour(top, bottom, y / double(height)); });
    return canvas;
}

std::uint32_t colourOf(const Rgba& p) {
    return (static_cast<std::uint32_t>(std::lround(p.r)) << 16) |
           (static_cast<std::uint32_t>(std::lround(p.g)) << 8) | static_cast<std::uint32_t>(std::lround(p.b));
}

void stamp(ArtCanvas& canvas, const ArtCanvas& part, int left, int top, bool mirror) {
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            if (const Rgba& p = part.at(mirror ? part.width() - 1 - x : x, y); p.a > 0)
                canvas.fill(Coverage{1, 1, {p.a}}, left + x, top + y, colourOf(p));
}

ArtPiece centred(ArtCanvas canvas, int dx, int dy) {
    const auto x = static_cast<std::int16_t>(-canvas.width() / 2 + dx);
    const auto y = static_cast<std::int16_t>(-canvas.height() / 2 + dy);
    return {std::move(canvas), x, y};
}

datakit::PaintedSprite artSprite(const std::vector<std::vector<ArtPiece>>& frames, int colours) {
    std::vector<const ArtCanvas*> all;
    for (const auto& frame : frames)
        for (const ArtPiece& piece : frame)
            all.push_back(&piece.canvas);
    datakit::PaintedSprite s;
    const std::vector<std::uint32_t> palette = artPalette(all, colours);
    s.palettes = {palette, palette};
    for (const auto& frame : frames) {
        datakit::PaintedFrame out;
        for (const ArtPiece& piece : frame)
            out.images.push_back(artImage(piece.canvas, palette, piece.x, piece.y));
        s.frames.push_back(std::move(out));
    }
    return s;
}

} // namespace mkdata
