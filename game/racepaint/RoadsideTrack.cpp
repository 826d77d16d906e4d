#include "game/racepaint/RoadsideTrack.h"

#include "game/race/RaceState.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

#include <algorithm>
#include <string>

namespace game {

namespace {

std::int32_t lengthOf(const rt::Array* array) {
    return array ? array->length() : 0;
}

} // namespace

RoadsideTrackStatics& roadsideTrack() {
    return rt::getStaticClass().statics<RoadsideTrackStatics>();
}

void setupRoadside() {
    const TrackStatics& track = trackStatics();
    RoadsideTrackStatics& r = roadsideTrack();
    r = RoadsideTrackStatics{};
    roadsideView().s_fogStart = track.s_trackHeaderValue;
    const std::int32_t ring = track.s_segmentCount;
    std::string cut;
    auto note = [&cut](const char* what) {
        cut += cut.empty() ? "" : "; ";
        cut += what;
    };

    r.s_segmentWalls = track.s_segmentBytesA;
    if (r.s_segmentWalls && lengthOf(r.s_segmentWalls) < ring) {
        r.s_segmentWalls = nullptr;
        note("the walls are shorter than the ring: none");
    }
    r.s_segmentBanks = track.s_segmentDecor;
    if (r.s_segmentBanks && lengthOf(r.s_segmentBanks) < ring) {
        r.s_segmentBanks = nullptr;
        note("the banks are shorter than the ring: none");
    }

    r.s_wallSides = track.s_spotBytes;
    r.s_wallHeight = track.s_spotValues;
    r.s_wallColours = track.s_trackIntPairs;
    const std::int32_t kinds = std::min({track.s_spotCount, lengthOf(r.s_wallSides), lengthOf(r.s_wallHeight),
                                         lengthOf(r.s_wallColours) / 2});
    r.s_wallKindCount = std::max(kinds, 0);
    if (r.s_wallKindCount < track.s_spotCount)
        note("some wall kinds have no height or colours");
    if (r.s_segmentWalls) {
        for (std::int32_t segment = 0; segment < ring; ++segment) {
            const std::int32_t wall = rt::ByteArray::get(r.s_segmentWalls, segment);
            if ((wall & wall_bits::kWallMask) == wall_bits::kWall &&
                (wall & wall_bits::kKindMask) >= r.s_wallKindCount) {
                note("a wall names a kind past the kinds: no wall there");
                break;
            }
        }
    }

    r.s_sectionModelSizes = track.s_objectShapeCounts;
    r.s_sectionModels = track.s_objectShapes;
    r.s_sectionModelCount =
        std::min({track.s_objectCount, lengthOf(r.s_sectionModelSizes), lengthOf(r.s_sectionModels)});
    if (!cut.empty())
        host::logf(host::LogCategory::Game, "track roadside: %s", cut.c_str());
}

std::int32_t segmentWall(std::int32_t segment) {
    const RoadsideTrackStatics& r = roadsideTrack();
    if (!r.s_segmentWalls)
        return 0;
    const std::int32_t wall = rt::ByteArray::get(r.s_segmentWalls, wrapSegment(segment)) & 0xFF;
    if ((wall & wall_bits::kWallMask) == wall_bits::kWall &&
        (wall & wall_bits::kKindMask) >= r.s_wallKindCount)
        return 0;
    return wall;
}

std::int32_t segmentBank(std::int32_t segment) {
    const RoadsideTrackStatics& r = roadsideTrack();
    return r.s_segmentBanks ? rt::ByteArray::get(r.s_segmentBanks, wrapSegment(segment)) & 0xFF : 0;
}

bool hasBanks() {
    return roadsideTrack().s_segmentBanks != nullptr;
}

WallKind wallKind(std::int32_t kind) {
    const RoadsideTrackStatics& r = roadsideTrack();
    WallKind out;
    if (kind < 0 || kind >= r.s_wallKindCount)
        return out;
    out.sides = rt::ByteArray::get(r.s_wallSides, kind);
    out.height = rt::ShortArray::get(r.s_wallHeight, kind);
    out.colours[0] = rt::IntArray::get(r.s_wallColours, 2 * kind);
    out.colours[1] = rt::IntArray::get(r.s_wallColours, 2 * kind + 1);
    return out;
}

rt::ObjectArray* sectionModel(std::int32_t model) {
    const RoadsideTrackStatics& r = roadsideTrack();
    if (model < 0 || model >= r.s_sectionModelCount)
        return nullptr;
    rt::Object* primitives = rt::ObjectArray::get(r.s_sectionModels, model);
    if (!primitives || primitives->classId() != rt::ClassId::ObjectArray)
        return nullptr;
    return static_cast<rt::ObjectArray*>(primitives);
}

} // namespace game
