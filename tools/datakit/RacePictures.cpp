#include "tools/datakit/RacePictures.h"

#include <algorithm>

namespace datakit {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

Picture blank(std::uint32_t width, std::uint32_t height, std::uint32_t argb) {
    return {width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb)};
}

void column(Picture& picture, std::uint32_t x, std::uint32_t rgb) {
    for (std::uint32_t y = 0; y < picture.height; ++y)
        picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = kOpaque | rgb;
}

} // namespace

std::vector<std::uint32_t> laneMarkColumns(const RoadLook& look, std::uint32_t width) {
    // The half holds lanes / 2 lanes; with an odd count the middle lane is
    // split by the centre line. Boundary k lies at 2 k / lanes of the road,
    // that is at column width x 2 k / lanes of the half.
    std::vector<std::uint32_t> columns;
    const std::uint32_t lanes = std::max<std::uint32_t>(look.lanes, 1);
    for (std::uint32_t k = 1; 2 * k < lanes; ++k)
        columns.push_back(width * 2 * k / lanes);
    return columns;
}

Picture roadSurfacePicture(const RoadLook& look, std::uint32_t width, std::uint32_t height,
                           std::uint32_t kerbPhase) {
    Picture picture = blank(width, height, kOpaque | look.tarmac);
    const std::uint32_t strip = std::max<std::uint32_t>(width / 16, 1);
    for (std::uint32_t x = 0; x < std::min(strip, width); ++x)
        column(picture, x, look.kerb[kerbPhase & 1]);
    for (std::uint32_t x = strip; x < std::min(2 * strip, width); ++x)
        column(picture, x, look.edgeLine);
    for (std::uint32_t x : laneMarkColumns(look, width))
        if (x < width)
            column(picture, x, look.laneMark);
    if (width > 0)
        column(picture, width - 1, look.centreLine);
    return picture;
}

std::array<Picture, 2> kerbSurfacePictures(const RoadLook& look, std::uint32_t width, std::uint32_t height) {
    return {roadSurfacePicture(look, width, height, 0), roadSurfacePicture(look, width, height, 1)};
}

std::array<Picture, 3> laneObjectPictures(std::uint32_t side) {
    std::array<Picture, 3> pictures;
    const std::uint32_t arrowColours[2] = {0x20C0F0, 0xF0F040};
    for (std::uint32_t frame = 0; frame < 2; ++frame) {
        Picture& p = pictures[frame];
        p = blank(side, side, 0);
        // A chevron pointing up the road: rows whose distance from the
        // middle column stays within a band that widens down the picture.
        for (std::uint32_t y = 0; y < side; ++y)
            for (std::uint32_t x = 0; x < side; ++x) {
                const std::uint32_t dx = x > side / 2 ? x - side / 2 : side / 2 - x;
                if (dx <= y && y < dx + side / 3)
                    p.pixels[static_cast<std::size_t>(y) * side + x] = kOpaque | arrowColours[frame];
            }
    }
    Picture& pad = pictures[2];
    pad = blank(side, side, 0);
    const std::uint32_t square = std::max<std::uint32_t>(side / 4, 1);
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x)
            pad.pixels[static_cast<std::size_t>(y) * side + x] =
                kOpaque | ((x / square + y / square) % 2 ? 0x101010 : 0xF0F0F0);
    return pictures;
}

Picture hazePicture(std::uint32_t width, std::uint32_t height, std::uint32_t colour) {
    Picture picture = blank(width, height, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t alpha = height > 1 ? 255 * y / (height - 1) : 255;
        std::fill_n(picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, width,
                    (alpha << 24) | (colour & 0xFFFFFF));
    }
    return picture;
}

SpriteModel panoramaSprite(std::uint16_t width, const std::array<std::uint32_t, 3>& colours) {
    SpriteModel model;
    model.format =
        sprite_bits::kModuleSizeShorts | sprite_bits::kOffsetShorts | sprite_bits::kAFrameOffsetShorts;
    auto addModule = [&](std::uint32_t colour, std::uint16_t w, std::uint16_t h) {
        model.modules.push_back(
            {.type = 2, .colour = 0xFF000000 | colour, .width = w, .height = h, .params = {}});
        return static_cast<std::uint8_t>(model.modules.size() - 1);
    };
    auto addFrame = [&](std::vector<SpriteFModule> fmodules) {
        model.frames.push_back({.fmoduleCount = static_cast<std::uint8_t>(fmodules.size()),
                                .firstFModule = static_cast<std::int16_t>(model.fmodules.size())});
        model.fmodules.insert(model.fmodules.end(), fmodules.begin(), fmodules.end());
    };
    // Frame 0: a band of far hills, near hills in steps, a skyline block.
    const std::uint16_t step = std::max<std::uint16_t>(width / 8, 1);
    std::vector<SpriteFModule> panorama;
    const std::uint8_t farHills = addModule(colours[0], width, 24);
    panorama.push_back({.module = farHills, .x = 0, .y = -24});
    for (std::uint16_t i = 0; i < 8; ++i) {
        const std::uint16_t rise = static_cast<std::uint16_t>(8 + (i * 5) % 17);
        const std::uint8_t hill = addModule(colours[1], step, rise);
        panorama.push_back({.module = hill,
                            .x = static_cast<std::int16_t>(i * step),
                            .y = static_cast<std::int16_t>(-rise)});
    }
    const std::uint8_t skyline = addModule(colours[2], static_cast<std::uint16_t>(step / 2 + 1), 36);
    panorama.push_back({.module = skyline, .x = static_cast<std::int16_t>(3 * step), .y = -36});
    addFrame(panorama);
    // Frames 1 and 2: clouds at two places, high above the hills.
    const std::uint8_t cloud = addModule(0xF0F0F0, static_cast<std::uint16_t>(step + 2), 6);
    addFrame({{.module = cloud, .x = static_cast<std::int16_t>(step), .y = -60},
              {.module = cloud, .x = static_cast<std::int16_t>(5 * step), .y = -52}});
    addFrame({{.module = cloud, .x = static_cast<std::int16_t>(2 * step), .y = -56},
              {.module = cloud, .x = static_cast<std::int16_t>(6 * step), .y = -64}});
    return model;
}

void setSkyAndFog(TrackModel& track, std::uint32_t sky, std::uint32_t groundFog, std::uint32_t wallFog) {
    // styleColours holds style [5] to [12].
    track.styleColours[0] = sky;
    track.styleColours[2] = groundFog;
    track.styleColours[4] = wallFog;
}

} // namespace datakit
