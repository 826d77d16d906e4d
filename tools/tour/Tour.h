#pragma once

// The screen tour: the real program (the platform's start-up, the game's
// thread, the headless host on its virtual clock) driven by what it shows.
// After every presented frame the tour looks at the game's state and at the
// frame's drawing log, and acts as a player would: it waits for a screen,
// takes its picture (turned to landscape, as the player holds the phone),
// taps a label where the label is drawn or presses a soft key. A step that
// cannot be done (a screen that never comes, a label that is not drawn)
// ends the run and says why, with a picture of what was on the screen.
//
// Threads: the steps run on the game's thread, between a present and the
// next frame, so they read the game's statics as the game left them.

#include "game/framework/DrawingTap.h"
#include "game/framework/States.h"
#include "host/Window.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tour {

// The game's screen, landscape, as 0x00RRGGBB pixels, rows top first.
inline constexpr std::int32_t kGameWidth = 640;
inline constexpr std::int32_t kGameHeight = 480;

struct Picture {
    std::string name;
    std::vector<std::uint16_t> pixels; // RGB 565, kGameWidth x kGameHeight
    // The texts on the screen that its edges cut (a text that scrolls, drawn
    // at more than one place in the state, is not cut but moving).
    std::vector<std::string> cutTexts;
    std::vector<std::string> cutFrames; // as `Frame::cutFrames`
};

// What one frame showed: the state the game was in and the calls it drew.
struct Frame {
    game::State state = game::State::StartupLoad;
    std::uint64_t now = 0;      // the virtual time of its present, in ms
    std::int32_t stateTime = 0; // ms in that state
    std::int32_t stackDepth = 0;
    // What the screen shows: every call drawn since the state began, the
    // latest last (screens draw what changes only).
    std::span<const game::DrawRecord> draws;
    // The texts drawn in this state and the ones before it (up to a bound).
    std::span<const game::DrawRecord> textHistory;
    // The presented frame as the device holds it (portrait).
    std::span<const std::uint16_t> portrait;

    // The frame landscape, as `Picture` holds it.
    std::vector<std::uint16_t> landscape() const;

    // The first text drawn that equals `text`, or null.
    const game::DrawRecord* findText(std::u16string_view text) const;
    // Every text drawn, in order, joined by " | " (for messages).
    std::string texts() const;
    // The texts the screen's edges cut, as `Picture::cutTexts`.
    std::vector<std::string> cutTexts() const;
    // The sprite frames (controls, panels, arrows) the screen's edges cut,
    // as "frame F of sprite S at (x, y)"; only on the front end's screens
    // (a race's scenery runs off the screen by design).
    std::vector<std::string> cutFrames() const;
};

enum class SoftKey { Left, Right };

// One step: wait until `ready` holds for a frame (up to `timeoutMs` of
// virtual time), then take the picture named `shot` (when set) and do
// `act`. `act` answers false with a reason in `problem` when it cannot act.
struct Step {
    std::string what; // a player's words for the step, for messages
    std::function<bool(const Frame&)> ready;
    std::string shot;
    std::function<bool(const Frame&, class Player&, std::string& problem)> act;
    std::int32_t timeoutMs = 20000;
    // Called on every frame while the step waits for `ready`: a player who
    // plays (holds the stylus, lets go) until the screen is ready.
    std::function<void(const Frame&, class Player&)> during;
};

// The player's hands: taps and keys, delivered over the next frames.
class Player {
public:
    // A stylus press at the game-space point (x, y), released two frames on.
    void tap(std::int32_t x, std::int32_t y);
    // A stylus press at (x, y) kept down for `frames` frames (a brake held).
    void hold(std::int32_t x, std::int32_t y, std::int32_t frames);
    void press(SoftKey key);
    // The stylus held down at the game-space point (x, y) from the next
    // frame on, until `letGo`; holding it elsewhere lifts it first.
    void hold(std::int32_t x, std::int32_t y);
    void letGo();
    void quit();

private:
    friend class TourRun;
    struct Timed {
        std::int32_t afterFrames;
        std::vector<std::int32_t> event; // type, key, x, y
        std::size_t step = 0;            // the step that gave it
    };
    void give(std::int32_t afterFrames, std::vector<std::int32_t> event) {
        m_pending.push_back({afterFrames, std::move(event), m_step});
    }
    std::vector<Timed> m_pending;
    std::size_t m_step = 0; // the step acting or waiting
    bool m_holding = false;
    std::int32_t m_heldX = 0, m_heldY = 0;
};

// An input the player gave: the virtual time of the present after which it
// was handed to the window, the event, and the index of the step that gave
// it (the number of steps for the closing quit).
struct GivenInput {
    std::uint64_t time = 0;
    host::WindowEvent event;
    std::size_t step = 0;
};

struct TourResult {
    bool finished = false; // every step was done
    std::string problem;   // why not
    int exitStatus = -1;   // the program's
    std::vector<Picture> pictures;
    std::vector<game::State> states; // every state entered, in order
    std::int64_t raceFrames = 0;     // frames painted in the race state
    std::vector<GivenInput> inputs;  // every input, the closing quit last
};

// Which player the program meets: one who has never played (a copy of the
// folder without the record stores of earlier runs), or the one whose
// progress the folder holds (the program runs in it and saves there, so a
// second run goes on where the first left).
enum class TourPlayer { FirstTime, Returning };

// Runs the program on the data set in `programFolder` with `seed` and does
// `steps` in order; the program quits after the last one. A `raceRow` of 0
// or more starts the program on that race row's quick race (its `--race`).
TourResult runTour(const std::filesystem::path& programFolder, const std::vector<Step>& steps,
                   std::int64_t seed = 1, TourPlayer player = TourPlayer::FirstTime,
                   std::int32_t raceRow = -1);

// Writes `picture` as PNG at `path`.
bool writePicture(const Picture& picture, const std::filesystem::path& path, std::string& problem);

// Steps the tours are made of.
namespace steps {
// Waits for `state` to have lasted `settleMs` (its entering animation done).
std::function<bool(const Frame&)> inState(game::State state, std::int32_t settleMs = 900);
// Waits until `text` is drawn in `state`.
std::function<bool(const Frame&)> showing(game::State state, std::u16string text,
                                          std::int32_t settleMs = 300);
// Acts: tap the centre of the drawn `text`.
std::function<bool(const Frame&, Player&, std::string&)> tapText(std::u16string text);
// Acts: press the centre of the drawn `text` and keep it down for `frames`.
std::function<bool(const Frame&, Player&, std::string&)> holdText(std::u16string text, std::int32_t frames);
// Acts: tap the centre of the latest `frame` of the sprite in `slot` drawn
// (the screen's controls drawn as sprite frames: the pause button).
std::function<bool(const Frame&, Player&, std::string&)> tapFrame(std::int32_t slot, std::int32_t frame);
// Acts: press the centre of that frame and keep it down for `frames` frames.
std::function<bool(const Frame&, Player&, std::string&)> holdFrame(std::int32_t slot, std::int32_t frame,
                                                                   std::int32_t frames);
// Acts: tap the centre of the latest of the promotion screen's own images
// `images` drawn (its page arrows, its back key), named `name` in messages.
std::function<bool(const Frame&, Player&, std::string&)> tapPromoImage(std::vector<std::int32_t> images,
                                                                       std::string name);
// Acts: tap the game-space point.
std::function<bool(const Frame&, Player&, std::string&)> tapAt(std::int32_t x, std::int32_t y);
std::function<bool(const Frame&, Player&, std::string&)> press(SoftKey key);
std::function<bool(const Frame&, Player&, std::string&)> nothing();
// A step without a picture: when `ready` holds, `act`.
inline Step step(std::string what, std::function<bool(const Frame&)> ready,
                 std::function<bool(const Frame&, Player&, std::string&)> act) {
    Step made;
    made.what = std::move(what);
    made.ready = std::move(ready);
    made.act = std::move(act);
    return made;
}
} // namespace steps

} // namespace tour
