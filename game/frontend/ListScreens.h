#pragma once

// Two list screens reached from the menus.
//
// The racer list (state 14): a grid of the racers of the race data's
// record count table (its last entry), three to a row, in cells of 65 x 65
// pixels from (106, 85), the highlighted one on red and the locked ones
// (their bit clear in the first progress mask) covered; below it the
// highlighted racer's name, car and gauges. An unlocked racer is chosen by
// the keys, or by the stylus through the list's zones; it becomes the
// player's racer, a comment text 261 + 0..7 is drawn from the shared
// generator, and the championship's cup selection (16) follows when a
// championship was chosen, else the pre-race selection (12).
//
// The reference list (state 31): 21 entries browsed with the keys or the
// stylus on its two arrows, each a title text (entry + 52) x 2 and the body
// text that follows it, drawn in a clip 190 pixels high from y 117; nine
// of the bodies carry a picture.
//
// Game thread only.

#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The racer grid's cells.
inline constexpr std::int32_t kRacerCellX = 106;
inline constexpr std::int32_t kRacerCellY = 85;
inline constexpr std::int32_t kRacerCellSize = 65;
inline constexpr std::int32_t kRacerCellStepX = 106;
inline constexpr std::int32_t kRacerCellStepY = 88;
inline constexpr std::int32_t kRacerGridColumns = 3;
inline constexpr std::int32_t kHighlightCellColour = 0xFF0000;
inline constexpr std::int32_t kLockedCellCover = static_cast<std::int32_t>(0x90000000u);
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

// The entries of the racer list: the last entry of the record count table.
std::int32_t racerListCount();
// The picture frame of reference body text `body`; -1 for a body without.
std::int32_t referencePictureFrame(std::int32_t body);

void stateRacerList(std::int32_t message);
void stateReferenceList(std::int32_t message);
// Registers the handlers of states 14 and 31.
void registerListScreens();

} // namespace game
