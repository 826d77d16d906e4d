#pragma once

// The game's static initialisation, run once on the first thread after the
// runtime has cleared the statics and loaded the constant strings, before
// the MIDlet exists: the library configuration, the screen buffer, the
// library's own statics, the layout and tuning values and `cGame`'s
// constant tables, then the initialisers that later subsystems register.
//
// Screen positions are written for a 240 x 320 design and scaled once to
// the configured screen; tuning values are written in thousandths and
// angles in degrees, and converted once to fixed point.

#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace game {

// The menus whose tables `cGame::staticInit` builds, and the three rows of
// each: item text ids, target states, and a third id per item.
enum MenuTable : std::int32_t {
    kMainMenu,
    kModeMenu,
    kRaceMenu,
    kBonusMenu,
    kPauseMenu,
    kPauseMenuShort,
    kMenuTableCount,
};
enum MenuRow : std::int32_t { kMenuTexts, kMenuTargets, kMenuThird, kMenuRowCount };

struct GameTables {
    // [menu][row]: an int array per row.
    rt::ObjectArray* s_menus = nullptr;
    RT_REFERENCE_FIELDS(GameTables, rt::NoReferenceBase, s_menus)
};

GameTables& gameTables();
// Row `row` of menu `menu`; null when out of range.
rt::IntArray* menuRow(std::int32_t menu, std::int32_t row);
// The state item `item` of `menu` leads to; none when the item has no
// target (in the pause menus: back to the race) or is out of range.
std::optional<State> menuTarget(std::int32_t menu, std::int32_t item);
// A target row as the tables hold it: a state's number per item, -1 for
// an item without a target.
rt::IntArray* menuTargetRow(std::initializer_list<std::optional<State>> targets);

// A height of the 240 x 320 design on the configured screen: height * c /
// 320, truncated towards zero. The menu layout takes its area and item
// pitch from it.
std::int32_t layoutY(std::int32_t design);
// (c << fixed-point shift) / 1000, truncated.
std::int32_t tuning(std::int32_t thousandths);
// c * (1 << angle shift) / 360, truncated.
std::int32_t degrees(std::int32_t degrees);

// Everything after the constant strings, in order.
void initializeGameStatics();

} // namespace game
