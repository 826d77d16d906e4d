#include "game/racepaint/RaceAtmosphere.h"

#include "game/framework/GameGraphics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RaceScene.h"

#include <algorithm>

namespace game {

namespace {

constexpr std::int32_t kFullCover = 255;

// The sky colour, as the race scene paints it.
std::int32_t skyColour() {
    return trackStyle(TrackStyleSlot::SkyColour) & 0xFFFFFF;
}

} // namespace

void buildHazeImage(std::int32_t /*event*/, std::int32_t height, std::int32_t strength) {
    RaceSceneStatics& scene = raceSceneStatics();
    scene.s_hazeImage = nullptr;
    const std::int32_t width = config().s_gameScreenWidth;
    if (height < 1 || width < 1)
        return;
    const std::int32_t cover = std::clamp(strength, 0, 100) * kFullCover / 100;
    const std::int32_t colour = skyColour();
    rt::IntArray* pixels = rt::newIntArray(width * height);
    for (std::int32_t row = 0; row < height; ++row) {
        const std::int32_t alpha = height > 1 ? cover * row / (height - 1) : cover;
        std::fill_n(rt::IntArray::span(pixels).begin() + row * width, width,
                    static_cast<std::int32_t>(static_cast<std::uint32_t>(alpha) << 24) | colour);
    }
    scene.s_hazeImage = createRGBImage(pixels, width, height, true);
}

} // namespace game
