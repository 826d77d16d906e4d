// The tracks, the events and the racers.

#include "game/data/PackReader.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/Streams.h"
#include "game/frontend/RaceLoader.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventRowLayout.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/SpriteLoading.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tools/datacheck/Rules.h"

#include <set>

namespace datacheck {

namespace {

// Camera path points: segment, eye height, heading, speed.
constexpr std::int32_t kCameraPointShorts = 4;
constexpr std::int32_t kCameraSpeed = 3;

void checkCameraPaths(Findings& findings, const std::string& resource, const rt::ObjectArray* paths) {
    for (std::int32_t p = 0; paths && p < paths->length(); ++p) {
        const auto* path = static_cast<const rt::ShortArray*>(rt::ObjectArray::get(paths, p));
        std::string where = resource + " camera path " + std::to_string(p);
        std::int32_t points = path ? path->length() / kCameraPointShorts : 0;
        if (points < 2) {
            addFinding(findings, where, "camera-path", "has fewer than two points");
            continue;
        }
        auto value = [&](std::int32_t point, std::int32_t field) {
            return rt::ShortArray::get(path, point * kCameraPointShorts + field);
        };
        for (std::int32_t i = 0; i + 1 < points; ++i) {
            if (value(i, 0) == value(i + 1, 0))
                addFinding(findings, where, "camera-path",
                           "points " + std::to_string(i) + " and " + std::to_string(i + 1) +
                               " stand on one segment");
            if (value(i, kCameraSpeed) == 0 && value(i + 1, kCameraSpeed) == 0)
                addFinding(findings, where, "camera-path",
                           "points " + std::to_string(i) + " and " + std::to_string(i + 1) +
                               " both have speed 0: the camera would stand still");
        }
    }
}

std::string packEntry(std::int32_t number, std::int32_t entry) {
    return printable(rt::getStaticClass().getConstantString(number)).substr(1) + " entry " +
           std::to_string(entry);
}

// What the race load reads for the track just loaded: its backdrop sprites
// (step 7), a road picture for each of its image ids (step 9) and a sprite
// of the second table for each slot its objects mark (step 32). A missing
// one abandons the load. Slots already seen are skipped.
void checkTrackResources(Findings& findings, const std::string& resource,
                         std::set<std::int32_t>& objectSlots) {
    const game::TrackStatics& t = game::trackStatics();
    openPack(rt::constants::kSpritePack);
    for (std::int32_t slot : {t.s_backdropSprite, t.s_backdropSprite2}) {
        rt::ByteArray* bytes = slot > 0 && slot < game::kSpriteCount ? game::packReadEntry(slot) : nullptr;
        if (slot > 0 && slot < game::kSpriteCount && (!bytes || bytes->length() == 0))
            addFinding(findings, packEntry(rt::constants::kSpritePack, slot), "backdrop-sprite",
                       "empty; " + resource + " draws it as its backdrop");
    }
    openPack(rt::constants::kRaceImagePack);
    const rt::ShortArray* ids = t.s_trackImageIds;
    for (std::int32_t i = 0; ids && i < ids->length(); ++i) {
        const std::int32_t id = rt::ShortArray::get(ids, i);
        if (!game::loadImageFromPack(id))
            addFinding(findings, packEntry(rt::constants::kRaceImagePack, id), "road-picture",
                       "no image; " + resource + " names it as a road picture");
    }
    openPack(rt::constants::kObjectSpritePack);
    const rt::ObjectArray* marks = game::startupStatics().s_objectFlags;
    for (std::int32_t slot = 0; marks && slot < std::min(marks->length(), game::kObjectSpriteSlots); ++slot) {
        const auto* mark = static_cast<const rt::ByteArray*>(rt::ObjectArray::get(marks, slot));
        if (!mark || mark->length() == 0 || rt::ByteArray::get(mark, 0) == 0 ||
            !objectSlots.insert(slot).second)
            continue;
        if (!game::loadSpritePlain(slot, 0))
            addFinding(findings, packEntry(rt::constants::kObjectSpritePack, slot), "object-sprite",
                       "no sprite; " + resource + " marks the slot for its objects");
    }
    game::closeStream();
}

} // namespace

void checkRaceData(Findings& findings) {
    std::set<std::int32_t> objectSlots;
    if (std::string problem = game::racerDataProblem(); !problem.empty())
        addFinding(findings, "racers.pak", "racers", problem);
    const rt::ObjectArray* racers = game::racerStatics().s_racerDefinitions;
    std::int32_t racerCount = racers ? racers->length() : 0;
    for (std::int32_t track = 0; track < game::kTrackCount; ++track) {
        std::string resource = "tracks.pak entry " + std::to_string(track);
        game::loadTrack(track);
        const game::TrackStatics& t = game::trackStatics();
        if (t.s_trackLoaded != 1) {
            addFinding(findings, resource, "track-loads", "the track does not load");
            continue;
        }
        if (t.s_trackHeaderValue >= game::kFogEnd)
            addFinding(findings, resource, "fog-start",
                       "fog starts at " + std::to_string(t.s_trackHeaderValue) + ", not below " +
                           std::to_string(game::kFogEnd));
        for (std::int32_t s = 0; s < t.s_segmentCount; ++s) {
            std::int32_t surface = rt::ByteArray::get(t.s_segmentAttributes, 2 * s + 1);
            if (surface < 0 || surface >= game::kSurfaceCount) {
                addFinding(findings, resource, "surface-index",
                           "segment " + std::to_string(s) + " has surface " + std::to_string(surface));
                break;
            }
        }
        checkCameraPaths(findings, resource, t.s_cameraPaths);
        checkTrackResources(findings, resource, objectSlots);
        rt::IntArray* row = game::eventRow(track, 0);
        std::int32_t cars = row ? rt::IntArray::get(row, game::kEventRacersField) : 0;
        if (cars < 1 || cars > racerCount)
            addFinding(findings, "events.pak entry " + std::to_string(track), "racer-count",
                       std::to_string(cars) + " racers; there are " + std::to_string(racerCount));
    }
}

} // namespace datacheck
