#pragma once
// What a race shows over its world besides the head-up display: the
// weather layer (a strip of layered sprites, or a field of falling
// particles), the touch buttons, the finish overlay, the guided race's
// explanations, the blinking text of the pre-race states and the racer
// intro's name labels; and `paintRace`, the race state's whole paint in
// its order.
//
// Painters only read the race; the weather particles, which are the
// presentation's own and touch nothing the race reads, move here by the
// frame's milliseconds.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

class cEntity;

// The particle field: `kWeatherParticles` particles of `kParticleInts`
// ints each, in 1/256 pixel: x, y, the speed across and down in pixels a
// second, and the kind (0 a raindrop, 1 a snowflake).
inline constexpr std::int32_t kWeatherParticles = 32;
inline constexpr std::int32_t kParticleInts = 5;
namespace particle {
inline constexpr std::int32_t kX = 0;
inline constexpr std::int32_t kY = 1;
inline constexpr std::int32_t kSpeedX = 2;
inline constexpr std::int32_t kSpeedY = 3;
inline constexpr std::int32_t kKind = 4;
} // namespace particle

// The text that blinks in the pre-race states and over the finish.
inline constexpr std::int32_t kContinueText = 50;

struct WeatherStatics {
    // A weather layer is drawn (weather modes 1 and 2), and the strip is
    // (mode 1); both follow the scene's weather mode at each paint.
    std::int8_t s_weatherActive = 0;
    std::int8_t s_weatherLayersOn = 0;
    // y of each layer of the strip, its x origin, y offset and spread.
    rt::IntArray* s_weatherLayerY = nullptr;
    std::int32_t s_weatherOffsetX = 0;
    std::int32_t s_weatherOffsetY = 0;
    std::int32_t s_weatherSpread = 24;
    // The layer table whose two first layers at one height were reported
    // (each table once).
    rt::IntArray* s_weatherReported = nullptr;
    // The particle field (int[kWeatherParticles * kParticleInts]).
    rt::IntArray* s_weatherParticles = nullptr;

    RT_REFERENCE_FIELDS(WeatherStatics, rt::NoReferenceBase, s_weatherLayerY, s_weatherReported,
                        s_weatherParticles)
};

WeatherStatics& weatherStatics();

// The debug frame-rate display's counters: device ticks of the last frame
// and of the start, frames counted, and the display's two switches (no
// shipped data sets them).
struct FpsCounterStatics {
    std::int64_t s_fpsLastTick = 0;
    std::int64_t s_fpsStartTick = 0;
    std::int32_t s_fpsFrames = 0;
    std::int8_t s_fpsShown = 0;
    std::int8_t s_fpsBackground = 0;

    RT_NO_REFERENCE_FIELDS(FpsCounterStatics, rt::NoReferenceBase)
};

FpsCounterStatics& fpsCounterStatics();
void resetFpsCounter();
// The debug frame-rate display: counts the frame and draws, at the top left
// in white, the rate of this frame since the last, the average rate since
// `resetFpsCounter` (both in frames a second with two decimals, "25.00") and
// the player's speed in km/h, each behind its label (constant strings 140 to
// 142); with the background switch on a black band as high as the font.
// Frames less than 1 ms apart count as 1 ms. Answers the text; it is drawn
// only while the game has a Graphics.
rt::String* paintFpsCounter();

// Makes the layer table and the particle field. Runs once at start-up.
void weatherStaticInit();
// Places the particles over the screen, drops and flakes by turns, without
// drawing from the race's random numbers.
void initParticleField();

// The weather layer over the scene: the strip in mode 1, the particles in
// mode 2, nothing otherwise.
void paintRaceNotice();
// Frame i of `kWeatherStripSprite` for layer i, moved left by the spread that the
// layers' heights give it. Two first layers at one height give no spread
// (one log line per layer table).
void paintWeatherStrip();
// Moves the particles by the frame's milliseconds and draws them, holding
// the monitor of `g` meanwhile.
void paintWeatherParticles(platform::javax_microedition_lcdui_Graphics* g);

// The finish overlay: the blinking text and, by event type, the finish
// animation and the player's place.
void paintFinishOverlay();
// The guided race's explanation of its current step.
void paintGuideOverlay();
// The left, right and action buttons of `kRaceTouchSprite`, lit while
// touched.
void paintTouchControls();
// The race state's paint: the scene, the touch buttons, the weather, the
// HUD and the guide while the race runs, the finish overlay after it, and
// the frame-rate display when it is switched on.
void paintRace();

// The painter of the race's paint seam: the picture of the race state
// that `pictureState` names (the flyover and the racer intro with their
// text, the countdown, the race, the results' scene).
void paintRacePicture();

// Text 50 blinking at the bottom of the flyover (y = height - height / 8)
// and of the racer intro (y = height - 45).
void paintFlyoverText();
void paintRacerIntroText();
// The racer intro's labels while the camera dwells on a pair: the racer
// before `racerIndex` in the list, then the one at it.
void paintRacerIntroLabels(bool dwelling, std::int32_t racerIndex);
// One name label over `car`, widened for a long name and kept on screen.
void paintRacerLabel(const cEntity* car);

} // namespace game
