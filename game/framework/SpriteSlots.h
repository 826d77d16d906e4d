#pragma once

// The sprite table's slots that more than one part of the game draws or
// measures, named once by what the slot holds. A slot that only one file
// uses keeps its name there. Some slots hold one thing in the menus and
// another in a race (the staged loader swaps them); those are named by
// each side where it uses them.

#include <cstdint>

namespace game {

// The question box: one frame per answer count, with the box points the
// answers are placed by.
inline constexpr std::int32_t kQuestionBoxSprite = 4;
// The menus' background picture.
inline constexpr std::int32_t kMenuBackgroundSprite = 5;
// The menus' arrows (options, lists, page turns).
inline constexpr std::int32_t kMenuArrowSprite = 7;
// The menus' frame pieces: header and footer bars, buttons, plates, the
// loading bar and the gauge.
inline constexpr std::int32_t kMenuFrameSprite = 8;
// In a race: the place and lap numbers, and the display panel's frame.
inline constexpr std::int32_t kHudNumberSprite = 12;
// In a race: the item icons, the item slot and the players' place markers.
inline constexpr std::int32_t kRaceIconSprite = 26;
// The racers' badges (list cells, result rows, the racer strip).
inline constexpr std::int32_t kRacerBadgeSprite = 63;
// Menu items, question answers and the soft keys with the pause button.
inline constexpr std::int32_t kMenuItemSprite = 65;
// The race's touch buttons: left, right and the action button.
inline constexpr std::int32_t kRaceTouchSprite = 66;

} // namespace game
