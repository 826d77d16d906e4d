#pragma once

// Touch input: the stylus points that the canvas's pointer callbacks store,
// the per-frame latch that gives every state's update one consistent pair
// (the point and the press), hit tests of that pair against rectangles, the
// zone tables built from sprite frame sizes, the soft keys and the menu
// selection that touches change.
//
// All positions are in the game's 640 x 480 space: with the screen turned a
// quarter a stylus point (x, y) is stored as (y, touch width - x) before
// anything else sees it. A point of (-1, -1) is no point and hits nothing.
//
// A rectangle (`TouchRect`) is an int[4] {x, y, w, h} whose edges are all
// inside: it covers w + 1 by h + 1 points. Zone tables are int[n][4]; an
// empty zone is {0, 0, 0, 0}.
//
// Threads: the pointer callbacks run on the window thread and write only
// the current point, the press point and the pressed flag, each an atomic
// of its own; the latch and everything else run on the game thread. A point
// can be torn by an event that lands during the latch; the next event
// repairs it.

#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <atomic>
#include <cstdint>

namespace game {

inline constexpr std::int32_t kNoPoint = -1;
inline constexpr std::int32_t kSoftKeyLabelCount = 4;
// The left label index that stands for the pause button.
inline constexpr std::int32_t kPauseButtonLabel = 4;
// The label whose presence gives the guided race its own left soft key, and
// the text that key shows: the key leaves the guide, which label 3 (the
// pause menu's restart text) does not say.
inline constexpr std::int32_t kGuidedRaceSoftKeyLabel = 3;
inline constexpr std::int32_t kGuidedRaceSoftKeyText = 78;
inline constexpr std::int32_t kMenuItemCapacity = 32;

struct TouchStatics {
    // Written by the pointer callbacks (window thread).
    std::atomic<std::int32_t> s_pointX{kNoPoint};
    std::atomic<std::int32_t> s_pointY{kNoPoint};
    std::atomic<std::int32_t> s_pressX{kNoPoint};
    std::atomic<std::int32_t> s_pressY{kNoPoint};
    std::atomic<std::int8_t> s_pressed{0};
    // Where the stylus is while it touches the screen: set by a press or a
    // drag, cleared by the release.
    std::atomic<std::int32_t> s_heldX{kNoPoint};
    std::atomic<std::int32_t> s_heldY{kNoPoint};
    // The frame's copies, made by the latch.
    std::int32_t s_latchedX = kNoPoint;
    std::int32_t s_latchedY = kNoPoint;
    std::int32_t s_latchedHeldX = kNoPoint;
    std::int32_t s_latchedHeldY = kNoPoint;
    std::int32_t s_latchedPressX = kNoPoint;
    std::int32_t s_latchedPressY = kNoPoint;
    // The point was left by a stylus that last went down on an earlier
    // screen: it is latched as no point until the next press. The state of
    // the last latch tells a new screen.
    std::int8_t s_pointFromEarlierScreen = 0;
    State s_latchState = State::Quit;

    // Menu and list state that touches change.
    std::int8_t s_listHover = 0;
    std::int8_t s_listTap = 0;
    std::int32_t s_selection = 0;
    // Tell the menu code that a touch chose the item.
    std::int8_t s_touchUsed = 0;
    std::int8_t s_touchUsed2 = 0;
    // The current list: its zone table (int[n][4]) and item count.
    rt::ObjectArray* s_list = nullptr;
    std::int32_t s_listCount = 0;
    // The menu's items (short[32]), their count and its copy, the scroll
    // and the menu's value.
    rt::ShortArray* s_menuItems = nullptr;
    std::int32_t s_menuCount = 0;
    std::int32_t s_menuCountCopy = 0;
    std::int32_t s_menuScroll = 0;
    std::int32_t s_menuValue = 0;

    // The zone a screen tests, int[4].
    rt::IntArray* s_activeZone = nullptr;
    // Zone tables built once by their builders.
    rt::ObjectArray* s_rowZones = nullptr;
    rt::ObjectArray* s_menuZones = nullptr;
    rt::IntArray* s_centerZone = nullptr;
    rt::IntArray* s_hudButtonZone = nullptr;
    std::int8_t s_hudButtonHeld = 0;

    // Soft keys: labels (String[4]), the label index of each key (-1 none;
    // the left index 4 is the pause button), their zones (int[2][4]: 0 left,
    // 1 right) and frames (4 on the key, else 5).
    rt::ObjectArray* s_softKeyLabels = nullptr;
    std::int32_t s_leftSoftKey = -1;
    std::int32_t s_rightSoftKey = -1;
    rt::ObjectArray* s_softKeyZones = nullptr;
    std::int32_t s_leftSoftKeyFrame = kSoftKeyFrameOff;
    std::int32_t s_rightSoftKeyFrame = kSoftKeyFrameOff;
    // The pause button of the race start and the race: zone, frame (7 on
    // it, else 8), and whether a press on it led to the pause menu.
    rt::IntArray* s_pauseZone = nullptr;
    std::int32_t s_pauseFrame = kPauseFrameOff;
    std::int8_t s_pauseButtonUsed = 0;

    RT_REFERENCE_FIELDS(TouchStatics, rt::NoReferenceBase, s_list, s_menuItems, s_activeZone, s_rowZones,
                        s_menuZones, s_centerZone, s_hudButtonZone, s_softKeyLabels, s_softKeyZones,
                        s_pauseZone)
};

TouchStatics& touchStatics();

// The sprite in slot `number` of the sprite table; null before the table
// exists or while the slot is empty.
rt::Object* spriteAt(std::int32_t number);
// A frame's size in pixels; 0 while the sprite is not loaded.
std::int32_t spriteFrameWidth(std::int32_t sprite, std::int32_t frame);
std::int32_t spriteFrameHeight(std::int32_t sprite, std::int32_t frame);

// The canvas's pointer callbacks (window thread), (x, y) on the logical
// screen. Each turns the point, stores it and hands it to the promotion
// screen's hit test.
void pointerPressed(std::int32_t x, std::int32_t y);
void pointerDragged(std::int32_t x, std::int32_t y);
void pointerReleased(std::int32_t x, std::int32_t y);

// Once per frame, after the overlay and the sound service: the latched
// point becomes the current point, the latched press the press point; a
// press is cleared as it is latched, so it is seen in exactly one frame.
// A lifted stylus leaves its point behind until the next press; once the
// state has changed that point belongs to a screen no longer shown, so from
// the first latch in another state on it is latched as no point, until the
// next press. Otherwise the tap that opened a screen would hover (and
// select) whatever the new screen draws under it.
void latchPointer();

// Hit tests, each 1 or 0. `pointInRect` never hits the point (-1, -1).
bool pointInRect(std::int32_t px, std::int32_t py, std::int32_t x, std::int32_t y, std::int32_t w,
                 std::int32_t h);
bool isPointerInRectArray(rt::IntArray* rect);
bool isPressInRectArray(rt::IntArray* rect);
bool isPressInRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
bool isLatchedPointInRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
// The stylus held in the rectangle this frame: it touches the screen there,
// or it was put down there since the last frame (a tap shorter than a frame).
// The race's controls are held this way: the latched point of a held stylus
// is gone after the press's frame unless it moves, and a lifted one's stays
// until the next press, so a car steered by it would stop while the stylus
// is held still and steer on after it is lifted.
bool isHeldPointInRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
bool isHeldPointInRectArray(rt::IntArray* rect);
bool isPressOnScreen();
// Copies the four values of `rect` into the active zone (made anew when it
// is missing or short).
void setTouchZone(rt::IntArray* rect);
// A new rectangle {x, y, w, h}.
rt::IntArray* makeRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
// A zone table of `n` empty zones (int[n][4]), and zone `i` of `table` set
// to {x, y, w, h} (a missing zone is reported by the checked access).
rt::ObjectArray* makeZoneTable(std::int32_t n);
void setZone(rt::ObjectArray* table, std::int32_t i, std::int32_t x, std::int32_t y, std::int32_t w,
             std::int32_t h);

// Zone builders of the menu screens.
rt::ObjectArray* buildRowZones(std::int32_t n);
rt::ObjectArray* buildMenuZones(std::int32_t n, std::int32_t x, std::int32_t y);
void initCenterZone();
// Hover and tap over the current list's zones.
void touchList();

// Soft keys.
void buildSoftKeyLabels();
void buildSoftKeyZones();
void setSoftKeys(std::int32_t left, std::int32_t right);
// Label `i` for 0 <= i < 4, else null.
rt::String* getSoftKeyLabel(std::int32_t i);
// The race of game mode 6: rebuilds the zones, chooses the left key's frame
// and answers whether the latched press is on it.
bool touchSoftKeys();
// The soft-key menu states: the same for the right key.
bool touchMenuSoftKeys();

// The menu state that touches and keys share.
void resetMenu(std::int32_t n);
// The value of menu item `i` (`s_menuItems`), and setting it.
std::int32_t menuItemValue(std::int32_t i);
void setMenuItemValue(std::int32_t i, std::int32_t value);
void setList(std::int32_t n, rt::ObjectArray* list);

} // namespace game
