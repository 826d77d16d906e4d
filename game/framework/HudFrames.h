#pragma once

// The frames, boxes and animations the race's head-up display, its start
// and its touch controls draw and measure in their sprites (SpriteSlots.h),
// a type per sprite. Plain enums with a fixed type, as SpriteSlots.h says
// why.

#include <cstdint>

namespace game {

// `kHudNumberSprite`: frame n shows the number n + 1 (1 to 10), drawn from
// its bottom centre.
inline constexpr std::int32_t hudNumberFrame(std::int32_t number) {
    return number - 1;
}
enum HudNumberFrame : std::int32_t {
    // The number the display panel's touch zone is measured by.
    kHudPanelSizeFrame = 6,
    // The number the guided race shows at its step 8.
    kGuideStepNumberFrame = 8,
};

// `kPlaceSprite`. A place p counts from 0 for the first.
enum PlaceFrame : std::int32_t {
    // Frame p: the finishing banner of place p, from its centre.
    kFirstPlaceBannerFrame = 0,
    // The mark shown instead of a place (a race without a result; the
    // results of a mode where the player does not lead), from its centre.
    kPlaceMarkFrame = 13,
    // Frame 14 + p: the medal of the first three places, from its centre.
    kFirstMedalFrame = 14,
    // Frame 17 + p: the ending drawn at the place number ("st", "nd", ...).
    kFirstPlaceEndingFrame = 17,
};

// `kHudPanelSprite`, from the top left.
enum HudPanelFrame : std::int32_t {
    // Frame 6 + r behind target row r (three rows).
    kFirstTargetRowFrame = 6,
    // Behind the big time.
    kBigTimeFrame = 9,
};

// `kCoinSprite`: the collected gauge, from its top left, and the coins on
// the road, animations that the zoomed players draw.
enum CoinFrame : std::int32_t {
    // The gauge's trough and its fill, clipped to the count collected.
    kCollectedGaugeFrame = 6,
    kCollectedFillFrame = 7,
    // The plate beside the count, above the gauge.
    kCoinPlateFrame = 17,
};
enum CoinAnim : std::int32_t {
    // A coin, and a stack of ten, on the road.
    kRoadCoinAnim = 0,
    kRoadCoinStackAnim = 1,
    // Kept running by a fixed player that no painter draws.
    kSpareCoinAnim = 3,
};

// `kHudFlashSprite`: the flash over the player's car where it is struck,
// anchored at a module of its body frame, the first for animation 0 and
// the second for the others. `kHudFlashFarSprite`: the boost's flash over
// the car.
enum HudFlashAnim : std::int32_t {
    kLeftImpactFlashAnim = 0,
    kRightImpactFlashAnim = 1,
};
enum HudFlashFarAnim : std::int32_t {
    kBoostFlashAnim = 0,
};

// `kSnowflakeSprite` and `kRaindropSprite`: the one frame of a particle.
// `kWeatherStripSprite` has a frame per layer of the strip.
enum WeatherFrame : std::int32_t {
    kWeatherParticleFrame = 0,
};

// `kRacerBadgeSprite`: frame n is racer n's badge, from its top left, all
// of one size; the first six also stand for the six driver kinds.
enum RacerBadgeFrame : std::int32_t {
    kFirstRacerBadgeFrame = 0,
    kDriverBadgeFrames = 6,
};

// `kStartSprite`.
enum RaceStartFrame : std::int32_t {
    // The racers' name tag: a pointer down at the car, from its centre,
    // and three boxes around it (`RaceStartBox`).
    kNameTagFrame = 10,
    // "Go" once more, which the start zooms down onto the count.
    kStartZoomFrame = 22,
};
enum RaceStartBox : std::int32_t {
    // The tag's shaded panel, the rule under it and the text's box.
    kNameTagShadeBox = 0,
    kNameTagRuleBox = 1,
    kNameTagTextBox = 2,
};
enum RaceStartAnim : std::int32_t {
    // Animations 0 to 3 count "3", "2", "1" and "go", drawn from the
    // count's centre.
    kFirstCountAnim = 0,
    kCountAnims = 4,
};

// `kRaceTouchSprite`, every frame from its top left: each button plain and
// pressed.
enum RaceTouchFrame : std::int32_t {
    kLeftButtonFrame = 0,
    kLeftButtonPressedFrame = 1,
    kRightButtonFrame = 2,
    kRightButtonPressedFrame = 3,
    kActionButtonFrame = 4,
    kActionButtonPressedFrame = 5,
};

} // namespace game
