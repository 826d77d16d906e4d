// The race camera: where the start places it behind the player (the ring's
// wrap, the turned start of type 10), the racer tour's stops and labels,
// camera paths to their end (with two points on one segment), the heading
// inside a segment (with a bend whose scale is 0), the pull-back's limits
// and the aimed object it fires once at the racer behind, and the pinned
// values no data gives.

#include "game/race/RaceCamera.h"
#include "game/data/EventSlots.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceState.h"
#include "tests/game/race/DrivingFixture.h"
#include "tests/support/CosTable.h"
#include "tools/datakit/TrackRing.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

using race_testing::ints;

struct RaceCamera : race_testing::DrivingTest {
    RaceCamera() {
        testing_support::installCosTable();
        game::initEventSlots();
        loadRing(datakit::TrackRing().straight(20));
    }

    static void eventType(game::EventType type) { game::setSlotEventType(0, type); }

    // `n` cars, the last the player's; car i at (segment, position).
    static void racers(const std::vector<std::pair<std::int32_t, std::int32_t>>& places) {
        auto n = static_cast<std::int32_t>(places.size());
        game::raceStatics().s_racers = rt::newObjectArray(n);
        for (std::int32_t i = 0; i < n; ++i) {
            game::cEntity* car = makeCar(i == n - 1 ? 0 : 1, {0, 100, 200}, 4096);
            car->m_racerIndex = i;
            car->m_segment = places[static_cast<std::size_t>(i)].first;
            car->m_segmentPos = places[static_cast<std::size_t>(i)].second;
            rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
        }
        game::racerStatics().s_playerCar = game::racerAt(n - 1);
    }
};

TEST_F(RaceCamera, BehindThePlayerTakesTheSegmentBeforeWhenTheDistanceReachesBack) {
    struct Row {
        std::int32_t segment, position, wantSegment, wantPosition;
    };
    for (Row row : {Row{5, 100, 4, 674}, Row{0, 100, 19, 674}, Row{3, 600, 3, 150}, Row{7, 450, 7, 0}}) {
        racers({{row.segment, row.position}});
        game::racerStatics().s_playerCar->m_lateral = -120;
        game::placeCameraBehindPlayer();
        const game::CameraStatics& c = game::cameraStatics();
        EXPECT_EQ(c.s_cameraSegment, row.wantSegment) << row.segment << "/" << row.position;
        EXPECT_EQ(c.s_cameraSegmentPos, row.wantPosition) << row.segment << "/" << row.position;
        EXPECT_EQ(c.s_cameraLateral, -120);
        EXPECT_EQ(c.s_cameraHeading, 0);
    }
}

TEST_F(RaceCamera, TypeTenStartsTurnedThirtyDegreesAndOffsetByTheDistance) {
    eventType(game::EventType::StateJudged);
    racers({{4, 500}});
    game::racerStatics().s_playerCar->m_lateral = 300;
    game::placeCameraBehindPlayer();
    const game::CameraStatics& c = game::cameraStatics();
    EXPECT_EQ(c.s_cameraHeading, 170);
    EXPECT_EQ(c.s_cameraTrackAngle, 170);
    EXPECT_EQ(game::drivingStatics().s_steerInput, -4);
    const double offset = 450 * std::tan(170 * 2 * std::numbers::pi / 2048);
    EXPECT_NEAR(c.s_cameraLateral, 300 - offset, 1.0);
    EXPECT_EQ(c.s_cameraHeight, game::kCameraHeight);
    EXPECT_EQ(c.s_cameraDistance, game::kCameraDistance);
}

TEST_F(RaceCamera, RacerTourStopsAtEveryOtherRacerAndEndsAtTheCount) {
    // Seven cars two abreast behind the start line, the player last.
    std::vector<std::pair<std::int32_t, std::int32_t>> grid;
    for (std::int32_t i = 0; i < 7; ++i)
        grid.push_back({19 - i / 2, i % 2 ? 300 : 800});
    racers(grid);
    game::resetCamera();
    const game::CameraStatics& c = game::cameraStatics();
    ASSERT_EQ(c.s_tourRacer, 1);
    std::vector<std::int32_t> stops;
    std::vector<std::pair<std::int32_t, std::int32_t>> labels;
    bool ended = false;
    for (int step = 0; step < 2000 && !ended; ++step) {
        std::int32_t before = c.s_tourState;
        ended = game::stepCameraOverRacers(409);
        if (before == 0 && c.s_tourState == 1) {
            stops.push_back(c.s_tourRacer);
            labels.push_back({c.s_tourRacer - 1, c.s_tourRacer});
            const game::cEntity* racer = game::racerAt(c.s_tourRacer);
            std::int32_t behind = (racer->m_segment << 10) + racer->m_segmentPos - game::kCameraDistance;
            EXPECT_EQ((c.s_cameraSegment << 10) + c.s_cameraSegmentPos, behind);
        }
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(stops, (std::vector<std::int32_t>{1, 3, 5}));
    EXPECT_EQ(labels, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 1}, {2, 3}, {4, 5}}));
    EXPECT_EQ(c.s_tourRacer, 7);
}

TEST_F(RaceCamera, PathsRunToTheirEndThroughTwoPointsOnOneSegment) {
    racers({{2, 0}});
    game::TrackStatics& t = game::trackStatics();
    t.s_cameraPaths = rt::newObjectArray(2);
    auto path = [](std::vector<std::int16_t> shorts) {
        rt::ShortArray* a = rt::newShortArray(static_cast<std::int32_t>(shorts.size()));
        for (std::size_t i = 0; i < shorts.size(); ++i)
            rt::ShortArray::set(a, static_cast<std::int32_t>(i), shorts[i]);
        return a;
    };
    // Path 0 holds a pair of points on segment 3; path 1 runs on.
    rt::ObjectArray::set(t.s_cameraPaths, 0,
                         path({2, 300, 0, 200, 3, 400, 36, 200, 3, 600, 72, 200, 6, 300, 0, 100}));
    rt::ObjectArray::set(t.s_cameraPaths, 1, path({8, 350, 0, 150, 12, 350, 0, 150}));
    game::startCameraPath(0);
    const game::CameraStatics& c = game::cameraStatics();
    EXPECT_EQ(c.s_cameraSegment, 2);
    EXPECT_EQ(c.s_cameraHeight, 300);
    bool ended = false;
    bool sawSecondPath = false;
    bool sawPair = false;
    std::int32_t steps = 0;
    for (; steps < 5000 && !ended; ++steps) {
        const bool onPair =
            game::cameraStatics().s_cameraPath == 0 && game::cameraStatics().s_cameraPathPoint == 1;
        const std::int32_t segment = c.s_cameraSegment;
        const std::int32_t position = c.s_cameraSegmentPos;
        ended = game::stepCameraPath(409);
        if (onPair) {
            // The pair spans nothing: no step, the first point's values, and
            // the path moves on to the next point.
            sawPair = true;
            EXPECT_EQ(c.s_cameraSegment, segment);
            EXPECT_EQ(c.s_cameraSegmentPos, position);
            EXPECT_EQ(c.s_cameraHeading, 36 * 2048 / 360);
            EXPECT_EQ(c.s_cameraHeight, 400);
            EXPECT_EQ(game::cameraStatics().s_cameraPathPoint, 2);
        }
        sawSecondPath |= game::cameraStatics().s_cameraPath == 1;
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(sawSecondPath);
    EXPECT_TRUE(sawPair);
    EXPECT_GE(c.s_cameraSegment, 12);
    EXPECT_TRUE(game::stepCameraPath(409)) << "an ended path stays ended";
    t.s_cameraPaths = nullptr;
    EXPECT_TRUE(game::stepCameraPath(409));
}

TEST_F(RaceCamera, HeadingInsideASegmentFollowsItsCurvature) {
    loadRing(datakit::TrackRing().straight(4).left(45, 1).straight(1).left(45, 1).straight(13));
    racers({{0, 0}});
    game::CameraStatics& c = game::cameraStatics();
    const std::int32_t curve = game::segmentCurveAt(4);
    ASSERT_GT(curve, 0);
    // The next segment is straight: the full curvature at 0, none at the end.
    for (std::int32_t position : {0, 512, 1000}) {
        c.s_cameraSegment = 4;
        c.s_cameraSegmentPos = position;
        c.s_cameraLateral = 0;
        game::moveCamera(0, 0, false);
        ASSERT_EQ(c.s_cameraSegment, 4);
        EXPECT_NEAR(c.s_cameraSegmentPos, position, 1);
        EXPECT_EQ(c.s_cameraHeading, curve * (1024 - c.s_cameraSegmentPos) / 1024) << position;
    }
    c.s_cameraSegmentPos = 0;
    game::moveCamera(0, 0, false);
    EXPECT_EQ(c.s_cameraHeading, curve);
    // The next segment bends by 45 degrees and the camera stands where its
    // scale is 0: the turn starts from the segment's start, no division.
    c.s_cameraSegment = 5;
    c.s_cameraSegmentPos = 300;
    c.s_cameraLateral = -game::trackStatics().s_roadHalfWidth - 1024;
    game::moveCamera(0, 0, false);
    EXPECT_EQ(c.s_cameraHeading, 0);
    EXPECT_EQ(c.s_cameraSegmentPos, 300);
}

// The player leads a rival; with a target, the pulled-back camera fires
// one aimed object from the player's car at the rival (one place behind),
// held there, and spends one of the player's charges.
TEST_F(RaceCamera, PullBackGrowsToItsLimitAndFiresTheTargetOnce) {
    struct Row {
        bool target, contact, hidden;
        std::int32_t want;
    };
    for (Row row : {Row{true, false, false, 3200}, Row{false, false, false, 300},
                    Row{false, true, false, 100}, Row{true, false, true, 123}}) {
        SCOPED_TRACE(testing::Message() << row.target << row.contact << row.hidden);
        racers({{7, 0}, {10, 0}});
        game::cEntity* rival = game::racerAt(0);
        rival->m_racePosition = 1;
        game::cEntity* p = game::racerStatics().s_playerCar;
        p->m_racePosition = 0;
        p->m_heldItem = 4;
        p->m_itemCharges = 2;
        p->m_speed = p->m_prevSpeed = game::kmhToSpeed(150);
        p->m_boostTimer = 1 << 20;
        p->m_hasTarget = row.target;
        p->m_sideContact = row.contact ? 1 : 0;
        game::raceStatics().s_raceObjects = rt::newObjectArray(2);
        for (std::int32_t i = 0; i < 2; ++i)
            rt::ObjectArray::set(game::raceStatics().s_raceObjects, i, game::cEntity::cEntityWithType(2));
        game::drivingStatics().s_playerGear = 2;
        game::cameraStatics().s_hidePlayerCar = row.hidden;
        game::placeCameraBehindPlayer();
        game::cameraStatics().s_hidePlayerCar = row.hidden;
        game::cameraStatics().s_cameraExtraDistance = row.hidden ? 123 : 0;
        for (int step = 0; step < 400; ++step)
            game::updateCamera(409);
        EXPECT_EQ(game::cameraStatics().s_cameraExtraDistance, row.want);
        const bool fired = row.target && !row.hidden;
        std::vector<const game::cEntity*> active;
        for (std::int32_t i = 0; i < 2; ++i)
            if (auto* o = static_cast<const game::cEntity*>(
                    rt::ObjectArray::get(game::raceStatics().s_raceObjects, i));
                o->m_active)
                active.push_back(o);
        ASSERT_EQ(active.size(), fired ? 1u : 0u);
        EXPECT_EQ(p->m_targetFired, fired ? 1 : 0);
        EXPECT_EQ(p->m_itemCharges, fired ? 1 : 2);
        EXPECT_EQ(p->m_heldItem, 4) << "a charge is left";
        EXPECT_EQ(rival->m_targeted, fired ? 1 : 0);
        if (!fired)
            continue;
        const game::cEntity* aimed = active[0];
        EXPECT_EQ(aimed->m_itemSlot, game::kObjectAimed);
        EXPECT_EQ(aimed->m_owner, p->m_racerIndex);
        EXPECT_EQ(aimed->m_targetIndex, rival->m_racerIndex);
        EXPECT_EQ(aimed->m_fixed, 1) << "held at the owner's car";
        EXPECT_EQ(aimed->m_segment, p->m_segment);
        EXPECT_EQ(aimed->m_lateral, p->m_lateral);
    }
}

TEST_F(RaceCamera, ChosenValuesArePinned) {
    const game::CameraStatics c;
    EXPECT_EQ(c.s_tourDwell, 6144);
    EXPECT_EQ(c.s_headingDivisors[0], 1024);
    EXPECT_EQ(c.s_headingDivisors[1], 2048);
    EXPECT_EQ(c.s_headingStepLimits[0], 57);
    EXPECT_EQ(c.s_headingStepLimits[1], 28);
    EXPECT_EQ(c.s_contactHeadingOffset, 28);
    EXPECT_EQ(c.s_sliceAngleLimit, 512);
    EXPECT_EQ(c.s_blinkStartPeriod, 2048);
    EXPECT_EQ(c.s_defaultHorizonY, 287);
}

} // namespace
