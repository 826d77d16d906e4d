// The race's small shared operations and the race-state queries: shake precedence
// and its end, blinking, time and number texts, start-phase times, the
// streak lines, the colour blend, the int-array edits, the ring's segment
// wrap, the racers in race order and whether music plays.

#include "classlib/lang/StringBuffer.h"
#include "classlib/util/Random.h"
#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/framework/SoundEngine.h"
#include "game/race/Blink.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/race/TimeTexts.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RoadsideView.h"
#include "platform/media/Player.h"
#include "tests/game/data/SoundFixture.h"
#include "tests/game/race/HeardSounds.h"
#include "tests/game/race/RaceDataFixture.h"

#include <climits>
#include <vector>

namespace {

using race_testing::ints;
using race_testing::values;

using race_testing::RaceDataTest;

std::string shown(lib::StringBuffer* buffer) {
    return buffer->toString()->toUtf8();
}

TEST_F(RaceDataTest, AShakeGivesWayOnlyToOneAtLeastAsStrong) {
    struct Row {
        std::int32_t runningLeft, runningStrength, newStrength;
        bool finished, replaced;
    };
    const Row rows[] = {
        {4096, 3, 2, false, false},                         // weaker during a stronger one: dropped
        {4096, 3, 3, false, true},                          // equal strength replaces it
        {4096, 3, 5, false, true},  {0, 3, 1, false, true}, // nothing runs
        {0, 0, 5, true, false},                             // a finished race takes none
    };
    for (const Row& r : rows) {
        game::ShakeStatics& u = game::shakeStatics();
        u.s_shakeLeft = r.runningLeft;
        u.s_shakeStrength = r.runningStrength;
        u.s_shakeDuration = 4096;
        game::raceStatics().s_raceFinished = r.finished;
        game::requestShake(2048, 6, 4, r.newStrength);
        EXPECT_EQ(u.s_shakeDuration == 2048, r.replaced) << r.runningStrength << " then " << r.newStrength;
        if (r.replaced) {
            EXPECT_EQ(u.s_shakeLeft, 2048);
        }
    }
}

TEST_F(RaceDataTest, AShakeSwingsFadesAndEndsAtRest) {
    game::ShakeStatics& u = game::shakeStatics();
    game::requestShake(4096, 10, 6, 1);
    game::updateShake(2048); // full strength: f = 4096
    EXPECT_EQ(u.s_shakeX, 10);
    EXPECT_EQ(u.s_shakeY, 6);
    game::updateShake(2047); // half left, sign flipped
    EXPECT_EQ(u.s_shakeX, -5);
    EXPECT_EQ(u.s_shakeY, -3);
    game::updateShake(1); // a twelfth of a 4096 shake left: then over
    EXPECT_EQ(u.s_shakeLeft, 0);
    EXPECT_EQ(u.s_shakeX, 0);
    EXPECT_EQ(u.s_shakeY, 0);

    // A shake of no length ends at once instead of dividing by zero.
    game::requestShake(0, 10, 6, 1);
    u.s_shakeLeft = 5;
    u.s_shakeX = 3;
    game::updateShake(40);
    EXPECT_EQ(u.s_shakeLeft, 0);
    EXPECT_EQ(u.s_shakeX, 0);
}

TEST_F(RaceDataTest, BlinkingLoopsOrEndsOnce) {
    game::BlinkStatics& u = game::blinkStatics();
    u.s_blinkPeriod = 100;
    u.s_blinkLoop = 1;
    u.s_blinkTimer = 150;
    EXPECT_TRUE(game::isBlinkOn());
    EXPECT_FALSE(game::advanceBlinkTimer(100));
    EXPECT_FALSE(game::isBlinkOn());
    EXPECT_FALSE(game::advanceBlinkTimer(60)); // below 0: back by two halves
    EXPECT_EQ(u.s_blinkTimer, 190);

    u.s_blinkLoop = 0;
    u.s_blinkTimer = 250; // 250 / 100 = 2, even
    EXPECT_TRUE(game::isBlinkOn());
    u.s_blinkTimer = 150;
    EXPECT_FALSE(game::isBlinkOn());
    EXPECT_TRUE(game::advanceBlinkTimer(200));
    EXPECT_EQ(u.s_blinkTimer, 0);
    EXPECT_FALSE(game::isBlinkOn());
    u.s_blinkPeriod = 0; // no period: no division by zero
    u.s_blinkTimer = 10;
    EXPECT_TRUE(game::isBlinkOn());
}

TEST_F(RaceDataTest, TimesAndNumbersReadAsTheHudShowsThem) {
    struct Time {
        std::int32_t t;
        bool minutes, fraction, sign;
        const char* out;
    };
    const Time times[] = {
        {65 * 4096 + 2048, false, true, false, "1:05.500"},
        {5 * 4096, false, false, false, "05"},
        {5 * 4096, true, false, false, "0:05"},
        {-(3 * 4096 + 410), false, true, true, "-03.100"},
        {0, false, false, true, "-00"},
        {4096 * 600, false, false, true, "+10:00"},
        {INT_MIN, false, false, false, "8738:08"}, // 2^19 s, not a negative time
    };
    for (const Time& r : times)
        EXPECT_EQ(shown(game::formatTime(r.t, r.minutes, r.fraction, r.sign)), r.out);
    game::timeTextStatics().s_timeFractionColon = 1;
    EXPECT_EQ(shown(game::formatTime(4096 + 41, false, true, false)), "01:010");

    struct Number {
        std::int32_t value;
        bool keepFour;
        const char* out;
    };
    const Number numbers[] = {
        {1234, true, "1234"},
        {1234, false, "1,234"},
        {12345, true, "12,345"},
        {123456, false, "123,456"},
        {7, false, "7"},
        {0, false, "0"},
        {-1234567, false, "-1,234,567"},
        {INT_MIN, false, "-2,147,483,648"},
    };
    for (const Number& r : numbers)
        EXPECT_EQ(shown(game::formatNumber(r.value, u',', r.keepFour)), r.out);
}

TEST_F(RaceDataTest, StartPhasesSetTheirTimesAndStreakLinesDrawFromTheSharedRandom) {
    const game::StartSequenceStatics& u = game::startSequenceStatics();
    for (std::int32_t phase = 2; phase <= 6; ++phase) {
        game::setStartPhase(phase);
        EXPECT_EQ(game::raceStatics().s_startPhase, phase);
        EXPECT_EQ(u.s_startPhaseTimer, 1000);
        EXPECT_EQ(u.s_startCount, (6 - phase) * 1000);
        EXPECT_EQ(u.s_startMusicWait, 1000);
    }
    game::setStartPhase(7);
    EXPECT_EQ(u.s_startCount, 0);

    lib::java_util_Random::seedSharedRandom(99);
    rt::Handle<lib::java_util_Random> twin(runtime.objectManager(), rt::make<lib::java_util_Random>(99));
    game::randomizeSpeedLines();
    for (const auto& line : game::raceFrameStatics().s_speedLines) {
        EXPECT_EQ(line[0], game::magnitudeMod(twin->next(32), 2048));
        EXPECT_EQ(line[1], game::magnitudeMod(twin->next(32), 50));
    }
}

TEST(RaceUtilities, BlendMixesEachChannelOpaque) {
    EXPECT_EQ(game::blendColor(0xFFFFFF, 0x000000, 0), 0x000000);
    EXPECT_EQ(game::blendColor(0x123456, 0x000000, 256), 0x123456);
    EXPECT_EQ(static_cast<std::uint32_t>(game::blendColor(0xFF8000, 0x0080FF, 128)), 0xFF7F807Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(game::blendColor(0xFFFFFF, 0x000000, 64)), 0xFF3F3F3Fu);
}

TEST_F(RaceDataTest, IntArrayEditsKeepInsideTheirArrays) {
    EXPECT_EQ(values(game::growIntArray(ints({1, 2}), 2)), (std::vector<std::int32_t>{1, 2, -1, -1}));
    EXPECT_EQ(values(game::growIntArray(ints({1, 2, 3}), -1)), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(game::growIntArray(ints({1, 2}), -5)->length(), 0);
    EXPECT_EQ(values(game::growIntArray(nullptr, 2)), (std::vector<std::int32_t>{-1, -1}));
    EXPECT_EQ(game::growIntArray(nullptr, -2)->length(), 0);

    rt::IntArray* five = ints({1, 2, 3, 4, 5});
    EXPECT_EQ(values(game::removeIntRange(five, 1, 2)), (std::vector<std::int32_t>{1, 4, 5}));
    EXPECT_EQ(values(game::removeIntRange(five, 4, 1)), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(game::removeIntRange(five, 0, 5)->length(), 0);
    for (auto [from, count] : {std::pair{4, 2}, {5, 0}, {-1, 1}, {0, 6}, {2, -1}, {1, INT_MAX}})
        EXPECT_EQ(game::removeIntRange(five, from, count), nullptr) << from << "+" << count;
    EXPECT_EQ(game::removeIntRange(nullptr, 0, 0), nullptr);
}

TEST_F(RaceDataTest, SegmentsWrapAndCarsRankAcrossTheStartLine) {
    game::TrackStatics& t = game::trackStatics();
    t.s_segmentCount = 37;
    t.s_segmentCurve = rt::newIntArray(37);
    rt::IntArray::set(t.s_segmentCurve, 36, -728);
    for (auto [in, out] : {std::pair{0, 0}, {36, 36}, {37, 0}, {-1, 36}, {-38, 36}, {80, 6}, {INT_MIN, 15}})
        EXPECT_EQ(game::wrapSegment(in), out) << in;
    EXPECT_EQ(game::segmentCurveAt(-1), -728);

    game::RaceStatics& race = game::raceStatics();
    race.s_laps = 3;
    race.s_racers = rt::newObjectArray(3);
    std::int32_t lap[] = {2, 1, 4}, seg[] = {0, 36, 0};
    for (std::int32_t i = 0; i < 3; ++i) {
        game::cEntity* car = game::cEntity::cEntityWithType(i == 2 ? 0 : 1);
        car->m_racerIndex = 10 + i;
        car->m_driverKind = i % 2;
        car->m_racePosition = i;
        car->m_lap = lap[i];
        car->m_segment = seg[i];
        rt::ObjectArray::set(race.s_racers, i, car);
    }
    game::cEntity* a = game::racerAt(0);
    game::cEntity* b = game::racerAt(1);
    a->m_segmentPos = 100;
    b->m_segmentPos = 900;
    EXPECT_EQ(game::carGap(a, b), 1024 - 800);
    EXPECT_EQ(game::carGap(b, a), -(1024 - 800));
    EXPECT_FALSE(game::hasFinished(a));
    EXPECT_TRUE(game::hasFinished(game::racerAt(2)));

    EXPECT_TRUE(game::racersInRaceOrder());
    b->m_racePosition = 2;
    EXPECT_FALSE(game::racersInRaceOrder());
    EXPECT_EQ(game::findRacerByIndex(12), game::racerAt(2));
    EXPECT_EQ(game::findRacerByIndex(9), nullptr);
    EXPECT_EQ(game::findRacerByKind(1), b);
    game::setRacersAiMode(4);
    EXPECT_EQ(game::racerAt(2)->m_aiMode, 4);
    EXPECT_EQ(game::racerAt(3), nullptr);
    rt::ObjectArray::set(race.s_racers, 1, nullptr);
    EXPECT_FALSE(game::racersInRaceOrder());
}

} // namespace

namespace {

TEST_F(RaceDataTest, SideProfilesCameraPathsAndMusicAreReadSafely) {
    game::TrackStatics& t = game::trackStatics();
    t.s_segmentCount = 3;
    t.s_segmentLaneProfileA = ints({1, 0, 5}); // left: row 5 does not exist
    t.s_segmentLaneProfileB = ints({0, 1, 1});
    std::vector<std::int32_t> profiles(26);
    for (std::size_t i = 0; i < profiles.size(); ++i)
        profiles[i] = 100 + static_cast<std::int32_t>(i);
    t.s_sideProfiles = ints(profiles);
    struct Row {
        std::int32_t side, seg, field, value;
    };
    const Row rows[] = {
        {2, 0, 0, 113},  {2, 0, 12, 125}, {1, 0, 12, 112}, {1, 4, 0, 113}, // segment 4 is segment 1
        {2, -3, 1, 114}, {2, 2, 0, 0},    {2, 0, 13, 0},   {2, 0, -1, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(game::getLaneProfileValue(r.side, r.seg, r.field), r.value)
            << r.side << " " << r.seg << " " << r.field;

    t.s_cameraPaths = rt::newObjectArray(2);
    rt::ShortArray* path = rt::newShortArray(8);
    const std::int16_t points[] = {3, 40, 90, 45, 9, 50, -180, 360};
    for (std::int32_t i = 0; i < 8; ++i)
        rt::ShortArray::set(path, i, points[i]);
    rt::ObjectArray::set(t.s_cameraPaths, 1, path);
    game::cameraStatics().s_cameraPath = 1;
    EXPECT_EQ(game::getCamPathNodeX(1), 9);
    EXPECT_EQ(game::getCamPathNodeY(1), 50);
    EXPECT_EQ(game::getCamPathNodeAngle(0), 512);
    EXPECT_EQ(game::getCamPathNodeAngle2(0), 256);
    EXPECT_EQ(game::getCamPathNodeAngle(1), -1024);
    EXPECT_EQ(game::getCamPathNodeX(2), 0);
    game::cameraStatics().s_cameraPath = 0;
    EXPECT_EQ(game::getCamPathNodeX(0), 0);
    game::releaseCamPath();
    EXPECT_EQ(t.s_cameraPaths, nullptr);
    EXPECT_EQ(game::getCamPathNodeY(0), 0);

    EXPECT_EQ(game::getCurrentMusic(), -1);
    EXPECT_FALSE(game::isMusicActive());
    race_testing::HeardSounds sounds;
    sounds.play(4);
    EXPECT_EQ(game::getCurrentMusic(), 4);
    EXPECT_TRUE(game::isMusicActive());
}

using MusicTest = sound_testing::SoundTest;

// Outside channel mode the music is active while a player of the sound
// engine plays, not while the engine only still names its last sound.
TEST_F(MusicTest, MusicIsActiveWhileAPlayerOfTheEnginePlays) {
    auto* engine = rt::make<game::SoundEngine>();
    engine->init(8, false);
    game::SoundEngineStatics& statics = game::soundEngineStatics();
    statics.s_soundData = rt::newObjectArray(8);
    statics.s_players = rt::newObjectArray(8);
    engine->setSound(4, toneWave(4), 0, true);
    game::soundDataStatics().s_soundEngine = engine;
    game::soundChannelStatics().s_channelMode = 0;
    game::setSoundOption(true);
    engine->startPlayer(4, 1);
    EXPECT_EQ(game::getCurrentMusic(), 4);
    EXPECT_TRUE(game::isMusicActive());

    rt::interfaceOf<platform::javax_microedition_media_Player>(rt::ObjectArray::get(statics.s_players, 4))
        ->stop();
    EXPECT_EQ(game::getCurrentMusic(), 4) << "the engine still names it";
    EXPECT_FALSE(game::isMusicActive());

    engine->startPlayer(4, 1);
    game::setSoundOption(false);
    EXPECT_FALSE(game::isMusicActive());
    engine->stopAll();
}

} // namespace
