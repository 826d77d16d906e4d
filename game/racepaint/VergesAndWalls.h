#pragma once

// The ground and the walls beside the road, painted slice by slice from the
// far end of the road to the camera before the road bands cover the road
// itself. Each slice gets its verges left and right of the road, flat or
// sloped by the segment's bank, or a wall on a side whose segment carries
// one: a band from the road edge out to the wall's outer edge, whose side
// face shows in the wall's colour where the outer edge leans toward the
// camera. Nothing is drawn beyond a wall's outer edge; the backdrop stays.
// Colours fade toward the fog colours with the slice's depth; a wall colour
// 0xFF00FF is never faded and a wall colour 0x123456 paints nothing on its
// side, not even the verge.
//
// On the way the pass writes, per slice, the clip span and the lateral
// edges of the drawn road for the road bands and the section models, and
// the verge colours of the slice that reaches the bottom of the drawing
// area (0xFF00FF without banks); see RoadsideView.h.
//
// Reads the view (RoadsideView.h) and the roadside track data
// (RoadsideTrack.h). Game thread only.
#include <cstdint>

namespace game {

// The main road's slices 0..14.
void paintVergesAndWalls();

// The ground beside one slice (screen pixels; banks as track bank bytes).
void paintVerges(bool leftWall, bool rightWall, std::int32_t nearX, std::int32_t farX, std::int32_t nearWidth,
                 std::int32_t farWidth, std::int32_t nearY, std::int32_t farY, std::int32_t clipLeft,
                 std::int32_t clipRight, std::int32_t leftColour, std::int32_t rightColour,
                 std::int32_t nearBank, std::int32_t farBank);

// The walls of one slice: outer edges from (far outer, farY) to (near
// outer, nearY), inner edges 8 px inside the road.
void paintLeftWall(std::int32_t nearOuterX, std::int32_t farOuterX, std::int32_t nearInnerX,
                   std::int32_t farInnerX, std::int32_t nearY, std::int32_t farY, std::int32_t clipLeft,
                   std::int32_t clipRight, std::int32_t vergeColour, std::int32_t wallColour, bool cap,
                   std::int32_t capColour);
void paintRightWall(std::int32_t nearOuterX, std::int32_t farOuterX, std::int32_t nearInnerX,
                    std::int32_t farInnerX, std::int32_t nearY, std::int32_t farY, std::int32_t leftLimit,
                    std::int32_t clipLeft, std::int32_t clipRight, std::int32_t vergeColour,
                    std::int32_t wallColour, bool cap, std::int32_t capColour);

} // namespace game
