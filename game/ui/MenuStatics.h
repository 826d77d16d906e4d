#pragma once

// The statics that menu and question-box input and painting share beyond
// the framework's menu model. The menu's item count, selection and values
// and the list's hover and tap flags are the framework's (Touch.h:
// `s_menuCount`, `s_selection`, `s_menuItems`, `s_listHover`, `s_listTap`,
// `s_touchUsed`); everything else a menu screen reads or writes lives here.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The start of the help line's scroll after a change of selection, and the
// text screen's scroll start.
inline constexpr std::int32_t kScrollTextStart = 310;

struct MenuStatics {
    // The question box: the highlighted answer, the number of answers and
    // their text ids (int[]; the pause menu keeps its items here too, and
    // its length of 5 or 6 tells its layouts apart).
    std::int32_t s_questionAnswer = 0;
    std::int32_t s_questionAnswerCount = 0;
    rt::IntArray* s_questionAnswerTexts = nullptr;
    // The question box's title (text id; negative none), second text and
    // the number of answers painted.
    std::int32_t s_questionTitleText = -1;
    std::int32_t s_questionSecondText = -1;
    std::int32_t s_questionPaintCount = 0;

    // Written by the menu touch test each frame: the stylus is on an item,
    // an item was tapped.
    std::int8_t s_menuTouchPressed = 0;
    std::int8_t s_menuTouchTapped = 0;
    // The screen must be repainted; and the request to repaint everything
    // that a resume or a state change leaves (cleared by whoever acts on it).
    std::int8_t s_redraw = 0;
    std::int8_t s_fullRepaint = 0;

    // Scroll positions that a change of selection restarts.
    std::int32_t s_helpLineX = 0;
    std::int32_t s_helpLineY = 0;
    std::int32_t s_labelScroll = 0;
    std::int32_t s_scrollTextY = 0;

    // The option-arrow zones of the current screen (int[n][4], a left and
    // a right zone per item) and the one the stylus is on (-1 none).
    rt::ObjectArray* s_arrowZones = nullptr;
    std::int32_t s_pressedArrow = -1;

    // The current screen's title, and the help texts of its items (text ids,
    // one per item) that the help line shows for the highlighted one.
    rt::String* s_titleText = nullptr;
    rt::IntArray* s_helpTexts = nullptr;

    // The sliding menus: pixels still to slide in; the x of the item leaving
    // (10 to -330); whether the menu leaves after a choice; the items still
    // to leave (down to 1); frames of blinking of the chosen item.
    std::int32_t s_menuSlideIn = 0;
    std::int32_t s_menuSlideOut = 10;
    std::int8_t s_menuLeaving = 0;
    std::int32_t s_menuSlideCount = 0;
    std::int32_t s_menuChoiceBlink = 0;

    // The pause list's zones and the list they were built for.
    rt::ObjectArray* s_pauseZones = nullptr;
    rt::IntArray* s_pauseZoneList = nullptr;

    // Set when the pause state was entered while music played.
    std::int8_t s_resumeMusic = 0;

    // The question box's frame box that `questionBoxPoint` answers in
    // (int[4]), made once so that a painted box makes no object.
    rt::IntArray* s_boxPoint = nullptr;

    // Menu layout from the screen height, made on first use. The help line's
    // y (`s_helpLineY`) is made with it.
    std::int32_t s_menuAreaHeight = 0;
    std::int32_t s_menuItemPitch = 0;

    RT_REFERENCE_FIELDS(MenuStatics, rt::NoReferenceBase, s_questionAnswerTexts, s_arrowZones, s_titleText,
                        s_helpTexts, s_pauseZones, s_pauseZoneList, s_boxPoint)
};

MenuStatics& menuStatics();

// The bar the menu screens draw along the bottom of the screen
// (`kMenuBarFrame` of `kMenuFrameSprite`, from its top centre), and where in it the help line's
// text starts: the running-text font's 8 pixels sit in its middle.
inline constexpr std::int32_t kMenuBarHeight = 48;
inline constexpr std::int32_t kHelpLineInBar = 20;

// Fills the menu layout constants and the help line's y from the configured
// screen height when they are not made yet.
void initMenuLayout();

// The y of the first item of a menu that shows `shown` items.
std::int32_t menuTop(std::int32_t shown);

// Whether the main menu shows its promotion item.
bool promotionItemShown();

} // namespace game
