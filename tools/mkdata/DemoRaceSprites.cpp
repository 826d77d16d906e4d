// What the race load reads of the demo set beyond its front end and its
// cars: the race's own sprites, a backdrop for each track, the second
// sprite table's slots that the tracks' objects mark, and each track's two
// road pictures, which its image ids name, after the painted race images. The race
// sprites and the marked objects come from the datakit race set, which is
// shaped to what every load step reads; the demo's own sprite in a slot
// always wins.

#include "tools/datakit/PackWriter.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/RacePictures.h"
#include "tools/datakit/RaceSet.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <set>

namespace mkdata {

namespace {

// Second-table slots the tracks' objects mark: a kind-6 shape's first
// value, and the last kind-0 shape's third value under a kind-2 banner that
// carries 0x1000.
std::set<int> markedObjectSlots() {
    std::set<int> slots;
    for (int track = 0; track < kDemoTrackCount; ++track) {
        for (const datakit::TrackObject& object : demoTrack(track).objects) {
            int lastPost = 0;
            for (const datakit::TrackShape& shape : object.shapes) {
                if (shape.type == 0 && shape.values.size() > 2)
                    lastPost = shape.values[2];
                else if (shape.type == 2 && shape.values.size() > 10 && (shape.values[10] & 0x1000))
                    slots.insert(lastPost & 255);
                else if (shape.type == 6 && !shape.values.empty())
                    slots.insert(shape.values[0] & 255);
            }
        }
    }
    return slots;
}

} // namespace

void addDemoRaceSprites(std::vector<std::optional<datakit::PaintedSprite>>& sprites) {
    const datakit::RaceSet set = datakit::makeRaceSet();
    for (std::size_t slot = 0; slot < sprites.size() && slot < set.sprites.size(); ++slot)
        if (!sprites[slot] && set.sprites[slot] && slot != datakit::kRaceSetBackdropSprite)
            sprites[slot] = set.sprites[slot];
    for (int track = 0; track < kDemoTrackCount; ++track)
        if (const auto slot = static_cast<std::size_t>(demoBackdropSlot(track)); slot < sprites.size())
            sprites[slot] = demoBackdrop(track);
}

void produceObjectSprites(ProgramFolder& folder) {
    const datakit::RaceSet set = datakit::makeRaceSet();
    const datakit::PaintedSprite& object = *set.objectSprites[datakit::kRaceSetMarkedSlots[0]];
    std::vector<std::optional<datakit::PaintedSprite>> slots(datakit::kRaceSetObjectSlots);
    for (int slot : markedObjectSlots())
        if (slot < datakit::kRaceSetObjectSlots)
            slots[static_cast<std::size_t>(slot)] = object;
    for (datakit::ArchiveEntry& part :
         datakit::packArchiveEntries(kObjectSpritePackFile, kPackPartSeparatorText,
                                     datakit::writePack(datakit::spritePackEntries(slots))))
        folder.archive.push_back(std::move(part));
}

void produceRaceImagePack(ProgramFolder& folder) {
    std::vector<datakit::Bytes> payloads;
    for (const DemoImage& image : demoRaceImages())
        payloads.push_back(datakit::writePng(image.width, image.height, image.pixels));
    // Each track's two road pictures, in its own tarmac, kerbs and lanes.
    for (int track = 0; track < kDemoTrackCount; ++track)
        for (const datakit::Picture& road :
             datakit::kerbSurfacePictures(demoRoadLook(track), kRoadPictureWidth, kRoadPictureHeight))
            payloads.push_back(datakit::writePng(road.width, road.height, road.pixels));
    addPack(folder, kRaceImagePackFile, payloads);
}

} // namespace mkdata
