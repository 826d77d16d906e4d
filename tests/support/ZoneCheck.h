#pragma once

// Holds a screen's touch zones to what the screen draws. A control is a
// rectangle the player sees as something to tap (an item bar, an answer, a
// cell, an arrow, a soft key), taken from the drawing log; a zone is a
// rectangle the screen's touch code answers, taken from its zone table.
// Rectangles are {x, y, w, h}: a drawn one covers w x h pixels. A zone (a
// `TouchRect`) answers the points x..x+w and y..y+h, but its far edges are
// the near edges of the next zone in a stacked table, where the later zone
// wins, so here a zone counts as its w x h pixels too. Both are held to the
// screen: what lies beyond it can neither be seen nor tapped.
//
// The rules, each broken one a line of the answer:
// - every control lies inside a zone (the player's tap on any of its
//   pixels is answered);
// - every zone covers a control, and reaches no further beyond the
//   controls it covers than `slack` pixels on any side (no zone answers
//   where nothing is drawn);
// - no zone reaches into a control it does not cover (a tap on one control
//   never answers as another).

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using Rect = std::array<std::int32_t, 4>;

struct ZoneItem {
    std::string name;
    Rect rect{};
};

inline std::string describe(const ZoneItem& item) {
    return item.name + " (" + std::to_string(item.rect[0]) + ", " + std::to_string(item.rect[1]) + ", " +
           std::to_string(item.rect[2]) + " x " + std::to_string(item.rect[3]) + ")";
}

inline constexpr Rect kScreen = {0, 0, 640, 480};

// The pixels of `rect` on the screen, half-open: {left, top, right, bottom}.
inline Rect onScreen(const Rect& rect) {
    return {std::max(rect[0], kScreen[0]), std::max(rect[1], kScreen[1]),
            std::min(rect[0] + rect[2], kScreen[0] + kScreen[2]),
            std::min(rect[1] + rect[3], kScreen[1] + kScreen[3])};
}

inline bool contains(const Rect& outer, const Rect& inner) {
    return inner[0] >= outer[0] && inner[1] >= outer[1] && inner[2] <= outer[2] && inner[3] <= outer[3];
}
inline bool overlaps(const Rect& a, const Rect& b) {
    return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

inline std::vector<std::string> checkZones(const std::vector<ZoneItem>& controls,
                                           const std::vector<ZoneItem>& zones, std::int32_t slack) {
    std::vector<std::string> problems;
    for (const ZoneItem& control : controls) {
        const Rect drawn = onScreen(control.rect);
        const bool covered = std::any_of(zones.begin(), zones.end(), [&](const ZoneItem& zone) {
            return contains(onScreen(zone.rect), drawn);
        });
        if (!covered)
            problems.push_back(describe(control) + " is drawn with no zone covering it");
    }
    for (const ZoneItem& zone : zones) {
        const Rect answered = onScreen(zone.rect);
        // What the zone covers, as one bounding rectangle.
        Rect reach{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (const ZoneItem& control : controls) {
            const Rect drawn = onScreen(control.rect);
            if (contains(answered, drawn)) {
                reach = {std::min(reach[0], drawn[0]), std::min(reach[1], drawn[1]),
                         std::max(reach[2], drawn[2]), std::max(reach[3], drawn[3])};
            } else if (overlaps(answered, drawn)) {
                problems.push_back(describe(zone) + " answers over part of " + describe(control));
            }
        }
        if (reach[0] > reach[2]) {
            problems.push_back(describe(zone) + " answers where nothing is drawn");
            continue;
        }
        const std::int32_t beyond = std::max(
            {reach[0] - answered[0], reach[1] - answered[1], answered[2] - reach[2], answered[3] - reach[3]});
        if (beyond > slack)
            problems.push_back(describe(zone) + " reaches " + std::to_string(beyond) +
                               " px beyond what it covers");
    }
    return problems;
}

} // namespace testing_support
