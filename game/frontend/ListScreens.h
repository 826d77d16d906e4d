#pragma once

// Two list screens reached from the menus.
//
// The racer list (state 14): a grid of the cars of the player's block of
// racers (the first block of the record count table; the blocks after it
// are the computer drivers), three to a row. Each cell is the rectangle its
// touch zone answers (`buildGridZones`), with the racer's badge in its
// middle; the highlighted cell is red, a locked one (its bit clear in the
// first progress mask) covered. Beside the grid: the highlighted racer's
// name, its car (frame 0 of its sprite set, where a tap on it confirms) and
// three labelled gauges that compare its top speed, acceleration and
// handling with the other cars of the list; a locked car is covered and
// says so. An unlocked racer is chosen by the keys, or by the stylus
// through the list's zones; it becomes the player's racer, a comment text
// 261 + 0..7 is drawn from the shared generator, and the championship's cup
// selection (16) follows when a championship was chosen, else the pre-race
// selection (12).
//
// The reference list (state 31): 21 entries browsed with the keys or the
// stylus on its two arrows, each a title text (entry + 52) x 2 and the body
// text that follows it, drawn in a clip 190 pixels high from y 117; nine
// of the bodies carry a picture.
//
// Game thread only.

#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <array>
#include <cstdint>

namespace game {

// The racer grid's cells, each where its touch zone lies: entry i at
// (45 + 106 (i mod 3), 88 + 88 (i / 3)), 85 pixels square.
// The highlighted racer's name plate and locked note are centred on this
// column; the gauges' labels end at this one, right of the grid.
inline constexpr std::int32_t kDetailX = 500;
inline constexpr std::int32_t kGaugeLabelsX = 450;
inline constexpr std::int32_t kRacerCellX = 45;
inline constexpr std::int32_t kRacerCellY = 88;
inline constexpr std::int32_t kRacerCellSize = 85;
inline constexpr std::int32_t kRacerCellStepX = 106;
inline constexpr std::int32_t kRacerCellStepY = 88;
inline constexpr std::int32_t kRacerGridColumns = 3;
inline constexpr std::int32_t kCellColour = 0x1C2438;
inline constexpr std::int32_t kHighlightCellColour = 0xFF0000;
inline constexpr std::int32_t kLockedCellCover = static_cast<std::int32_t>(0x90000000u);
// The highlighted car's frame 0 stands with its bottom left corner here:
// the list's confirm rectangle.
inline constexpr std::int32_t kRacerCarX = 400;
inline constexpr std::int32_t kRacerCarBottom = 300;
// The gauges' labels (three texts from this one) and the locked car's note.
inline constexpr std::int32_t kFirstGaugeLabelText = 285;
inline constexpr std::int32_t kLockedRacerText = 288;
inline constexpr std::int32_t kFirstCommentText = 261;
inline constexpr std::int32_t kCommentTexts = 8;

// The reference list.
inline constexpr std::int32_t kReferenceEntries = 21;
inline constexpr std::int32_t kReferenceTitleBase = 52;
inline constexpr std::int32_t kReferenceClipY = 117;
inline constexpr std::int32_t kReferenceClipHeight = 190;
// The bodies 113, 115, ... 129 and the frame of their picture.
inline constexpr std::int32_t kFirstPicturedBody = 113;
inline constexpr std::int32_t kPicturedBodyFrames[] = {2, 3, 6, 7, 1, 0, 4, 5, 8};

struct ListScreenStatics {
    // The comment drawn at the racer list's last choice (a text id).
    std::int32_t s_commentText = -1;

    RT_NO_REFERENCE_FIELDS(ListScreenStatics, rt::NoReferenceBase)
};

ListScreenStatics& listScreenStatics();

// The entries of the racer list: the size of the first block of the record
// count table (0 while it is missing).
std::int32_t racerListCount();
// The sprite set of entry `entry` (its racer definition's field 1), -1 for
// none.
std::int32_t racerCarSprite(std::int32_t entry);
// The three gauge values of entry `entry`, in percent: its top speed, its
// acceleration (the shorter its gears' times, the more) and its handling
// (its turn), each placed between the least (20) and the most (100) of the
// list's entries; 60 where the entries are all alike.
std::array<std::int32_t, 3> racerGaugeValues(std::int32_t entry);
// The picture frame of reference body text `body`; -1 for a body without.
std::int32_t referencePictureFrame(std::int32_t body);

void stateRacerList(std::int32_t message);
void stateReferenceList(std::int32_t message);
// Registers the handlers of states 14 and 31.
void registerListScreens();

} // namespace game
