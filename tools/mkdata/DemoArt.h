#pragma once

// Painting in full colour for the demo's art, and turning the painting into
// a sprite's palette images. Shapes are coverage masks (anti-aliased by
// sampling each pixel 4 x 4 times, text through FreeType), laid on an RGBA
// canvas with gradients; the finished canvases of a sprite share one palette
// of at most 15 colours (median cut over every opaque pixel, index 0 staying
// the transparent key) and are mapped onto it with an ordered dither, so
// gradients stay smooth in few colours. Everything is arithmetic on fixed
// inputs: the same calls give the same bytes.

#include "tools/datakit/PaintedSprite.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <string_view>
#include <vector>

namespace mkdata {

// The colour key of the sprites' palettes: index 0, drawn as nothing.
inline constexpr std::uint32_t kKey = 0x00FF00FFu;
// A whole turn, in radians.
inline constexpr double kTurn = 2 * std::numbers::pi;

// A mask of coverage values from 0 to 1.
struct Coverage {
    int width = 0, height = 0;
    std::vector<float> values;
    float at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? values[static_cast<std::size_t>(y * width + x)]
                                                           : 0.f;
    }
};

// The pixels of a width x height grid that `inside(x, y)` covers, (x, y)
// being continuous coordinates (pixel (i, j) spans i..i+1, j..j+1), asked
// at kArtSamples x kArtSamples points in each pixel: at i + (s + 0.5) /
// kArtSamples across for s = 0 .. kArtSamples - 1, and the same down.
inline constexpr int kArtSamples = 4;
Coverage shapeCoverage(int width, int height, const std::function<bool(double, double)>& inside);
// `text` in DejaVu Sans Bold at `pixels` pixels, slanted forwards by one
// column every `lean` rows (0: upright), with `pad` empty pixels around it.
Coverage textCoverage(std::u16string_view text, int pixels, int lean, int pad);
// The mask grown by `radius` pixels (an outline's area), same size.
Coverage grown(const Coverage& mask, float radius);

// A width x height rounded rectangle inset by `inset` on every side, its
// corners of radius `radius`.
Coverage roundedCoverage(int width, int height, double inset, double radius);

// Signed distance helpers for shapes: inside a rounded rectangle from (x0,
// y0) to (x1, y1) with corner radius r.
bool insideRoundedRect(double x, double y, double x0, double y0, double x1, double y1, double r);

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};
Rgba rgb(std::uint32_t colour, float alpha = 1.f);
// `a` mixed towards `b` by t in 0..1 (0xRRGGBB).
std::uint32_t mixColour(std::uint32_t a, std::uint32_t b, double t);

class ArtCanvas {
public:
    ArtCanvas(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_pixels(std::size_t(width * height)) {}
    int width() const { return m_width; }
    int height() const { return m_height; }
    const Rgba& at(int x, int y) const { return m_pixels[static_cast<std::size_t>(y * m_width + x)]; }

    // Lays `colour(x, y)` (0xRRGGBB) over the canvas where `mask`, placed
    // with its top left at (dx, dy), covers it, at `alpha`.
    void fill(const Coverage& mask, int dx, int dy, const std::function<std::uint32_t(int, int)>& colour,
              float alpha = 1.f);
    void fill(const Coverage& mask, int dx, int dy, std::uint32_t colour, float alpha = 1.f) {
        fill(
            mask, dx, dy, [colour](int, int) { return colour; }, alpha);
    }

private:
    int m_width, m_height;
    std::vector<Rgba> m_pixels;
};

// A palette for `canvases`: the transparent key, then at most `colours`
// colours (0xFFRRGGBB) that the canvases' opaque pixels cluster into. With
// `matte`, partly covered pixels count as blended over it.
std::vector<std::uint32_t> artPalette(const std::vector<const ArtCanvas*>& canvases, int colours = 15,
                                      std::optional<std::uint32_t> matte = std::nullopt);
// The canvas as an image of `palette`'s indexes placed at (x, y): a pixel
// less than half covered is transparent (index 0) unless `matte` is given,
// over which partly covered pixels are blended (a backdrop knows its sky).
datakit::PaintedImage artImage(const ArtCanvas& canvas, const std::vector<std::uint32_t>& palette,
                               std::int16_t x, std::int16_t y,
                               std::optional<std::uint32_t> matte = std::nullopt);

// Shapes for `shapeCoverage`: inside a polygon (even-odd), inside a
// five-pointed star (point up) centred on (cx, cy).
bool insidePolygon(double x, double y, const std::vector<std::array<double, 2>>& points);
// The same for a list written in place, without making a vector of it on
// every sample.
bool insidePolygon(double x, double y, std::initializer_list<std::array<double, 2>> points);
bool insideStar(double x, double y, double cx, double cy, double outer, double inner);

// Lettering: `text` at `pixels`, slanted, in a gradient from `top` to
// `bottom` with a shine on its upper part, an outline `outline` pixels wide
// in `ink` and a drop shadow `shadow` pixels down and right.
ArtCanvas lettering(std::u16string_view text, int pixels, std::uint32_t top, std::uint32_t bottom,
                    int outline = 3, int shadow = 3, std::uint32_t ink = 0x141018);
// A shape in `fill`, lighter at the top, with an outline in `ink`.
void paintShape(ArtCanvas& canvas, const std::function<bool(double, double)>& inside, std::uint32_t fill,
                float outline = 2.f, std::uint32_t ink = 0x141018);
// A rounded tile with a bevel (light rim above, dark below) and a body in a
// vertical gradient from `top` to `bottom`.
ArtCanvas tile(int width, int height, std::uint32_t top, std::uint32_t bottom, double radius);

// The colour of `p` (0xRRGGBB), its coverage left aside.
std::uint32_t colourOf(const Rgba& p);
// `part` laid over `canvas` with its top left at (left, top), mirrored left
// to right when `mirror` is set.
void stamp(ArtCanvas& canvas, const ArtCanvas& part, int left, int top, bool mirror = false);

// A canvas placed in a frame at its offset from the frame's origin.
struct ArtPiece {
    ArtCanvas canvas;
    std::int16_t x = 0, y = 0;
};
// The canvas centred on the frame's origin (moved by dx, dy).
ArtPiece centred(ArtCanvas canvas, int dx = 0, int dy = 0);
// A sprite of `frames`, each a list of pieces, in one palette of at most
// `colours` colours made from all of them and repeated as palette 1 (the
// loads that restore palette 0's alpha read it there).
datakit::PaintedSprite artSprite(const std::vector<std::vector<ArtPiece>>& frames, int colours = 15);

} // namespace mkdata
