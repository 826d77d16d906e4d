#include "game/ui/MenuInput.h"

#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/ui/ListZones.h"
#include "game/ui/MenuStatics.h"
#include "host/Clock.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"

#include <array>

namespace game {

namespace {

// The x of a plain menu.
constexpr std::int32_t kMenuX = 10;
constexpr std::int32_t kPlainMenuRows = 6;
// The options list sits this far below the centre of its rows.
constexpr std::int32_t kOptionsTopOffset = 22;
constexpr std::int64_t kChoicePauseMs = 200;

bool isUp(std::int32_t key) {
    return key == kUpKey || key == kSecondUpKey;
}
bool isDown(std::int32_t key) {
    return key == kDownKey || key == kSecondDownKey;
}
bool isLeft(std::int32_t key) {
    return key == kLeftKey || key == kSecondLeftKey;
}
bool isRight(std::int32_t key) {
    return key == kRightKey || key == kSecondRightKey;
}
bool isSelect(std::int32_t key) {
    return key == kLeftSoftKey || key == kFireKey || key == kSelectKey;
}

State currentState() {
    return stateStatics().s_state;
}

// The key of this frame and whether a select key holds the selection.
struct KeyRead {
    std::int32_t key = -1;
    bool leftSoftTapped = false;
    bool selectHeld = false;
};

KeyRead readKeys(bool rotate) {
    KeyRead read;
    read.key = getReleasedKey();
    if (rotate)
        read.key = turnedKey(read.key);
    read.leftSoftTapped = touchSoftKeys();
    read.selectHeld =
        isKeyHeld(kLeftSoftKey) || isKeyHeld(kFireKey) || isKeyHeld(kSelectKey) || read.leftSoftTapped;
    return read;
}

// x mod n in 0..n-1 for n > 0, whatever the sign of x.
std::int32_t wrap(std::int32_t x, std::int32_t n) {
    std::int32_t r = x % n;
    return r < 0 ? r + n : r;
}

// Walks the selection by `step` (+1 or -1) over the items the mask lets
// through. At most one lap: a mask that lets nothing else through (or
// nothing at all, with the selection outside the menu) leaves the selection
// where it was. Answers whether it moved.
bool walkSelection(std::int32_t step, std::int32_t itemMask) {
    TouchStatics& touch = touchStatics();
    std::int32_t n = touch.s_menuCount;
    if (n <= 0)
        return false;
    std::int32_t start = touch.s_selection;
    std::int32_t index = start;
    for (std::int32_t i = 0; i < n; ++i) {
        index = wrap(index + step, n);
        if (index == start)
            return false;
        if (((itemMask >> (index & 31)) & 1) != 0) {
            touch.s_selection = index;
            return true;
        }
    }
    return false;
}

// Steps the highlighted item's value by `step` through `valueCount` values;
// nothing when no item of the menu's value table is highlighted.
bool stepValue(std::int32_t step, std::int32_t valueCount) {
    TouchStatics& touch = touchStatics();
    std::int32_t selection = touch.s_selection;
    if (valueCount < 2 || !touch.s_menuItems || selection < 0 || selection >= touch.s_menuItems->length())
        return false;
    std::int32_t value = rt::ShortArray::get(touch.s_menuItems, selection);
    rt::ShortArray::set(touch.s_menuItems, selection,
                        static_cast<std::int16_t>(wrap(value + step, valueCount)));
    return true;
}

// The selection walk of the list screens' arrows: the whole menu, no mask.
void stepSelection(std::int32_t step) {
    TouchStatics& touch = touchStatics();
    if (touch.s_menuCount > 0)
        touch.s_selection = wrap(touch.s_selection + step, touch.s_menuCount);
}

void playSound(std::int32_t sound) {
    requestSound(sound);
}

// A short pause lets the click and the highlighted answer be seen before
// the next screen. A runtime without threads serves only its own thread, so
// it waits on its clock directly (and not at all without one).
void pauseAfterChoice() {
    rt::Runtime& runtime = rt::Runtime::current();
    if (runtime.threadTable())
        rt::java_lang_Thread::sleep(kChoicePauseMs);
    else if (host::Clock* clock = runtime.clock())
        clock->sleep(static_cast<std::uint32_t>(kChoicePauseMs));
}

bool clicksInState(State state) {
    return state != State::Options && state != State::RaceOptions;
}

} // namespace

rt::ObjectArray* menuItemZones(std::int32_t count) {
    const State state = currentState();
    switch (state) {
    case State::MainMenu:
        return buildMenuZones(count, kMenuX, menuTop(promotionItemShown() ? count : count - 1));
    case State::ModeMenu:
    case State::RaceMenu:
        return buildMenuZones(count, kMenuX, menuTop(count));
    case State::Options: {
        std::int32_t w = spriteFrameWidth(kMenuItemSprite, kWideItemFrame);
        std::int32_t h = spriteFrameHeight(kMenuItemSprite, kWideItemFrame);
        return buildMenuZones(count, screenWidth() / 2 - w / 2,
                              (screenHeight() - count * h) / 2 + kOptionsTopOffset);
    }
    case State::RaceOptions:
        return touchStatics().s_list;
    default:
        return buildMenuZones(count, kMenuX, menuTop(kPlainMenuRows));
    }
}

namespace {

bool testsOwnZones(State state) {
    return state == State::PreRaceSelect || state == State::RacerList || state == State::CupSelect ||
           state == State::PauseMenu;
}

bool isEmptyZone(rt::IntArray* zone) {
    return rt::IntArray::get(zone, 2) == 0 && rt::IntArray::get(zone, 3) == 0 &&
           rt::IntArray::get(zone, 0) == 0 && rt::IntArray::get(zone, 1) == 0;
}

void goBackIfAsked(std::int32_t flags, std::int32_t key) {
    // The race menu leaves by its own rule on the right soft key (two pops
    // and the main menu); a pop here as well would unwind one state too many.
    bool rightSoftTapped = currentState() != State::RaceMenu && touchMenuSoftKeys();
    if (((flags & kMenuBack) != 0 && key == kRightSoftKey) || rightSoftTapped) {
        popState();
        menuStatics().s_labelScroll = 0;
    }
}

} // namespace

std::int32_t turnedKey(std::int32_t key) {
    switch (key) {
    case 1:
    case 8:
        return 3;
    case 2:
    case 14:
        return 4;
    case 3:
    case 10:
        return 1;
    case 4:
    case 12:
        return 2;
    default:
        return key;
    }
}

bool handleMenuInput(std::int32_t valueCount, std::int32_t itemMask, std::int32_t flags,
                     std::int32_t soundFlags, bool rotate) {
    touchMenu();
    KeyRead read = readKeys(rotate);
    MenuStatics& menu = menuStatics();
    TouchStatics& touch = touchStatics();
    const State state = currentState();

    if ((flags & kMenuMove) != 0) {
        bool moved = false;
        if (!read.selectHeld) {
            if (isUp(read.key))
                moved = walkSelection(-1, itemMask);
            else if (isDown(read.key) && touch.s_menuCount > 1)
                moved = walkSelection(1, itemMask);
            else if (isLeft(read.key) || menu.s_menuTouchTapped != 0)
                moved = stepValue(-1, valueCount);
            else if (isRight(read.key))
                moved = stepValue(1, valueCount);
        }
        if (moved || menu.s_menuTouchPressed != 0) {
            menu.s_redraw = 1;
            if (state != State::MainMenu && state != State::ModeMenu && state != State::RaceMenu &&
                state != State::PauseMenu) {
                menu.s_helpLineX = screenWidth();
                menu.s_labelScroll = 0;
            }
            menu.s_scrollTextY = kScrollTextStart;
        }
    }

    bool choose = isSelect(read.key) || menu.s_menuTouchTapped != 0 || read.leftSoftTapped;
    if ((flags & kMenuChoose) != 0 && choose && touch.s_menuCount > 0) {
        if (isPauseSoundItem(touch.s_selection)) {
            switchPauseSound();
            return false;
        }
        bool resumingMusic = state == State::PauseMenu && touch.s_selection == 0 && menu.s_resumeMusic != 0;
        if ((soundFlags & kMenuChooseSound) != 0 && clicksInState(state) && !resumingMusic)
            playSound(kChooseSound);
        menu.s_labelScroll = 0;
        return true;
    }
    goBackIfAsked(flags, read.key);
    return false;
}

bool handleMenuInput(std::int32_t valueCount, std::int32_t flags, std::int32_t soundFlags) {
    return handleMenuInput(valueCount, -1, flags, soundFlags, false);
}

bool handleMenuInput(std::int32_t valueCount, std::int32_t flags, std::int32_t soundFlags,
                     std::int32_t rotateFlag) {
    return handleMenuInput(valueCount, -1, flags, soundFlags, rotateFlag != 0);
}

bool handleQuestionInput(std::int32_t flags, std::int32_t soundFlags, bool rotate) {
    TouchStatics& touch = touchStatics();
    MenuStatics& menu = menuStatics();
    // The list's flags say what the stylus did this frame, so each test
    // starts them anew; the answer follows the item the stylus is on.
    touch.s_listHover = 0;
    touch.s_listTap = 0;
    touchList();
    if (touch.s_listHover != 0 || touch.s_listTap != 0)
        menu.s_questionAnswer = touch.s_selection;
    KeyRead read = readKeys(rotate);
    std::int32_t count = menu.s_questionAnswerCount;

    if ((flags & kMenuMove) != 0 && !read.selectHeld) {
        bool moved = false;
        if (isUp(read.key) && count > 1) {
            menu.s_questionAnswer = wrap(menu.s_questionAnswer - 1, count);
            moved = true;
        } else if (isDown(read.key) && count >= 2) {
            menu.s_questionAnswer = wrap(menu.s_questionAnswer + 1, count);
            moved = true;
        }
        if (moved || touch.s_listHover != 0)
            menu.s_redraw = 1;
    }

    bool choose = isSelect(read.key) || touch.s_listTap != 0 || read.leftSoftTapped;
    if ((flags & kMenuChoose) != 0 && choose) {
        if ((soundFlags & kMenuChooseSound) != 0 && clicksInState(currentState()))
            playSound(kChooseSound);
        pauseAfterChoice();
        return true;
    }
    bool rightSoftTapped = touchMenuSoftKeys();
    if (((flags & kMenuBack) != 0 && read.key == kRightSoftKey) || rightSoftTapped)
        popState();
    return false;
}

bool handleQuestionInput(std::int32_t flags, std::int32_t soundFlags) {
    return handleQuestionInput(flags, soundFlags, false);
}

void touchMenu() {
    MenuStatics& menu = menuStatics();
    TouchStatics& touch = touchStatics();
    const State state = currentState();
    if (state == State::BonusMenu || state == State::TextScreen) {
        menu.s_menuTouchPressed = 0;
        menu.s_menuTouchTapped = 0;
        return;
    }
    if (state == State::ReferenceList) {
        touchOptionArrows(touch.s_menuCount);
        menu.s_arrowZones = nullptr;
        return;
    }
    rt::ObjectArray* zones = menuItemZones(touch.s_menuCount);
    menu.s_menuTouchPressed = 0;
    menu.s_menuTouchTapped = 0;
    if (!zones || testsOwnZones(state))
        return;
    for (std::int32_t i = 0; i < zones->length(); ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        // A hidden item keeps an empty zone, which must not catch a tap in
        // the screen's corner.
        if (!zone || isEmptyZone(zone))
            continue;
        bool pressed = isPointerInRectArray(zone);
        bool tapped = isPressInRectArray(zone);
        if (pressed)
            menu.s_menuTouchPressed = 1;
        if (tapped)
            menu.s_menuTouchTapped = 1;
        if (pressed || tapped) {
            touch.s_touchUsed = 1;
            menu.s_redraw = 1;
            touch.s_selection = i;
        }
    }
}

bool touchOptionArrows(std::int32_t valueCount) {
    MenuStatics& menu = menuStatics();
    TouchStatics& touch = touchStatics();
    const State state = currentState();
    initCenterZone();
    rt::ObjectArray* zones = menu.s_arrowZones;
    std::int32_t zoneCount = zones ? zones->length() : 0;
    bool steppingSelection = state == State::BonusMenu || state == State::ReferenceList;
    for (std::int32_t i = 0; i < zoneCount; ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, i));
        if (isPointerInRectArray(zone)) {
            setTouchZone(zone);
            menu.s_pressedArrow = i;
            if (zoneCount == 4)
                touch.s_selection = i / 2;
        }
        if (!isPressInRectArray(zone) || valueCount < 2 || i > 5)
            continue;
        if (i <= 1 && steppingSelection) {
            stepSelection(i == 0 ? -1 : 1);
            menu.s_menuTouchPressed = 1;
        } else {
            stepValue(i % 2 == 0 ? -1 : 1, valueCount);
        }
    }
    if (state == State::ReferenceList)
        return false;
    if (touchSoftKeys())
        return true;
    if (state != State::PreRaceSelect && state != State::CupSelect)
        return false;
    if (zoneCount < 2)
        return false;
    auto* left = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, 0));
    auto* right = static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, 1));
    std::int32_t bandX = rt::IntArray::get(left, 0) + rt::IntArray::get(left, 2);
    std::int32_t bandW = rt::IntArray::get(right, 0) - bandX;
    return isPressInRect(bandX, 0, bandW, screenHeight()) && !touchMenuSoftKeys();
}

} // namespace game
