// The tracks, the events and the racers.

#include "game/race/DrivingTuning.h"
#include "game/race/EventRowLayout.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "tools/datacheck/Rules.h"

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

} // namespace

void checkRaceData(Findings& findings) {
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
        rt::IntArray* row = game::eventRow(track, 0);
        std::int32_t cars = row ? rt::IntArray::get(row, game::kEventRacersField) : 0;
        if (cars < 1 || cars > racerCount)
            addFinding(findings, "events.pak entry " + std::to_string(track), "racer-count",
                       std::to_string(cars) + " racers; there are " + std::to_string(racerCount));
    }
}

} // namespace datacheck
