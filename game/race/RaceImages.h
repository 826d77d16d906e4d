#pragma once
// The race's images from the image pack (constant string 154), which the
// race loader has opened: the three roadside images, and the track's
// scenery image (style slot `SceneryImage` of the loaded track) as a
// translucent pixel array: each pixel and-ed with 0x70FFFFFF, so an opaque
// pixel gets alpha 0x70 and one below 0x10 becomes transparent.
//
// A roadside image that fails ends the loads after it (the ones before
// stay); a scenery image that fails leaves the scenery as it was. Both are
// logged. Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <span>

namespace game {

struct RaceImageStatics {
    // Object[3] of images: entries 1, 2 and 0.
    rt::ObjectArray* s_roadsideImages = nullptr;
    // Object[3], filled by the race presentation.
    rt::ObjectArray* s_roadsideImages2 = nullptr;
    std::int32_t s_sceneryWidth = 0;
    std::int32_t s_sceneryHeight = 0;
    rt::IntArray* s_sceneryPixels = nullptr;

    RT_REFERENCE_FIELDS(RaceImageStatics, rt::NoReferenceBase, s_roadsideImages, s_roadsideImages2,
                        s_sceneryPixels)
};

RaceImageStatics& raceImageStatics();

void loadImageArray();
void loadImageVariant();
// The scenery's alpha mask, in place.
void maskSceneryPixels(std::span<std::int32_t> pixels);

} // namespace game
