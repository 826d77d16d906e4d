#pragma once

// Section models: bridges, arches, signs, buildings and timing boards, each
// a short list of primitives placed relative to one road slice (between its
// near edge, slice k, and its far edge, slice k + 1) and drawn on the
// frame's Graphics in stored order. A primitive is a short[] with element 0
// its type:
//   0 colour      [1] red, [2] green, [3] blue: the current colour;
//   1 rectangle   [2] xA [3] tA [4] yA [5] xB [6] tB [7] yB [8] detail;
//   2 polygon     [1] flags, A, B, C as (x, t, y) from [2], [11] detail;
//   3 line        as the rectangle;
//   6 sprite      [2] xA [3] depth offset [4] lift [5] xB [6] t [8] sprite
//                 [9] detail [10] animation length [11] mode.
// x is lateral, t the position along the slice (0 near edge, 1024 far
// edge), y the height above the road. A primitive shorter than its type, or
// of another type, is skipped; so is a model the track does not have.
//
// Fogged rectangles and lines leave the faded colour current for the
// primitives after them; polygons fade for themselves only.
//
// Reads the view (RoadsideView.h), the road edges the verges pass wrote for
// the slice, the track's models (RoadsideTrack.h), and for sprites the
// frame clock, the start phase and the racers' times. Game thread only.
#include <cstdint>

namespace game {

namespace section_model_flags {
// Code bits that lower the model under the road.
inline constexpr std::int32_t kLowered = 0x300;
inline constexpr std::int32_t kFlipped = 0x400;
inline constexpr std::int32_t kMirrored = 0x800;
// Polygon flag: anchored on a road edge like the other types.
inline constexpr std::int32_t kAnchoredOnEdge = 0x4000;
} // namespace section_model_flags

// Whether a primitive of detail class `detail` shows at slice `slice`:
// class 2 nearer than slice 11, class 3 nearer than 7, class 4 from 11 on,
// any other class everywhere.
bool isInDetailClass(std::int32_t detail, std::int32_t slice);

// Digit 0..6 of the time `time` (seconds x 4096, sign dropped) as a timing
// board shows it: minutes tens and units, seconds tens and units, then the
// milliseconds' three digits.
std::int32_t timeDigit(std::int32_t time, std::int32_t digit);

// Draws model `code` & 255 at slice `slice` (0..14). `offset` 0 anchors it
// on the road's right edge (left when mirrored), any other value at that
// lateral position plus the road's half width. `flags` mirror the model
// and flip its sprites; code bits 0x300 lower it by 3/4 of the road's half
// width at the near edge and 5/4 at the far edge.
void drawTrackSection(std::int32_t code, std::int32_t slice, std::int32_t offset, std::int32_t flags);
// `drawTrackSection`(code, slice, offset, code & 0xC00), unless the slice's
// segment has surface attribute 6.
void drawSegmentSection(std::int32_t code, std::int32_t slice, std::int32_t offset);

// One eighth (`part` 0..7) of the segment that begins at slice `slice`, as
// a band across the road in `colour` with red squares half a lane wide,
// one row of them on every other part (a chequer over the eight parts).
// The band runs between the lanes the slice's segment has: a lane taken by
// an edge flag is left out. A lane narrower than two units gives the band
// only.
void paintStartLine(std::int32_t part, std::int32_t slice, std::int32_t colour);
// A coin of lane (code >> 16) & 15 standing on the road at slice `slice`,
// drawn by the first or (`second`) the second coin player at no more than
// 1.0; nothing when a player is missing, the point is not in view, or the
// coin of that lane of the slice's segment is taken.
void paintRoadSliceSprite(std::int32_t slice, std::int32_t code, bool second);
// The item box of lane (code >> 16) & 15 standing on the road at slice
// `slice`, drawn by the item-box player at no more than 1.0; nothing when
// the player is missing, the point is not in view, or the box of that lane
// of the slice's segment is taken. Its lane mark is the view pass's
// (DynamicTriggerView.h): this only paints.
void markRoadsideLane(std::int32_t slice, std::int32_t code);
// The painter of a dynamic trigger code at a slice: the current event's
// entry for the code, shown by lap and weather, drawn as a model, an item
// box (value 1), a coin (values 2 and 10), a lane object one or (11) two
// lanes wide (values 3 and 11), or a segment model (values 7, 8); the
// guided race shows each value from its own step (DynamicTriggerView.h).
void paintDynamicTrigger(std::int32_t code, std::int32_t slice);

} // namespace game
