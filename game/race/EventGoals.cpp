#include "game/race/EventGoals.h"

#include "classlib/lang/System.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

namespace game {

EventGoalStatics& eventGoalStatics() {
    return rt::getStaticClass().statics<EventGoalStatics>();
}

namespace {

constexpr std::int32_t kFailedPosition = 3;
// The guided event is the variant of track 0 with the guided mode's number.
constexpr std::int32_t kGuidedVariant = gameModeNumber(GameMode::Guided);
constexpr std::int32_t kGuidedGoalText = 157;
constexpr std::int32_t kGuidedTitleText = 59;
constexpr std::int32_t kLapsFinishedSound = 10;

std::int32_t field(std::int32_t f) {
    return currentEventField(f, 0);
}

// Field 6 and field 7 + field 6, as the row stores them.
void readStretch(std::int32_t& start, std::int32_t& end) {
    start = field(6);
    end = static_cast<std::int32_t>(static_cast<std::uint32_t>(field(7)) + static_cast<std::uint32_t>(start));
}

// Field 6 with -1 as the segment before the start line; the end is one past
// field 7 (-1 a full lap) segments on from there.
void readLapStretch(std::int32_t& start, std::int32_t& end) {
    std::int32_t count = trackStatics().s_segmentCount;
    start = field(6) == -1 ? count - 1 : field(6);
    std::int32_t length = field(7) == -1 ? count : field(7);
    end = static_cast<std::int32_t>(static_cast<std::uint32_t>(length) + static_cast<std::uint32_t>(start) +
                                    1u);
}

void readTimes(std::int32_t (&times)[3], bool milliseconds) {
    for (std::int32_t i = 0; i < 3; ++i)
        times[i] = milliseconds ? msToTime(field(1 + i)) : field(1 + i);
}

void setupStretch(TimedStretch& stretch) {
    readStretch(stretch.start, stretch.end);
    readTimes(stretch.times, true);
    stretch.clock = 0;
}

// Reference value `value` of the chosen event decides whether this is a
// first run.
void takeReference(std::int32_t value, bool keepBest) {
    EventGoalStatics& g = eventGoalStatics();
    g.s_firstRun = value == 0 ? 1 : 0;
    if (value != 0 && keepBest)
        g.s_eventBestTime = value;
}

void fail(cEntity* player) {
    RaceStatics& race = raceStatics();
    race.s_raceFinished = 1;
    race.s_raceResult = 0;
    player->m_racePosition = kFailedPosition;
}

// Wins with the first place whose time `clock` meets; a clock that meets
// none leaves the position as it was.
void winWithPlace(cEntity* player, std::int32_t clock, const std::int32_t (&times)[3]) {
    RaceStatics& race = raceStatics();
    race.s_raceFinished = 1;
    race.s_raceResult = 1;
    for (std::int32_t i = 0; i < 3; ++i)
        if (clock <= times[i]) {
            player->m_racePosition = i;
            return;
        }
}

std::int32_t chosenBestTimeIndex(std::int32_t place) {
    return 3 * eventGoalStatics().s_chosenEvent + place;
}

void addClock(std::int32_t& clock, std::int32_t dt) {
    clock = static_cast<std::int32_t>(static_cast<std::uint32_t>(clock) + static_cast<std::uint32_t>(dt));
}

} // namespace

EventType currentEventType() {
    const EventSlotStatics& slots = eventSlotStatics();
    if (!slots.s_eventType || slots.s_currentEvent < 0 || slots.s_currentEvent >= slots.s_eventType->length())
        return EventType::None;
    return eventTypeFromNumber(rt::ByteArray::get(slots.s_eventType, slots.s_currentEvent));
}

void setSlotEventType(std::int32_t slot, EventType type) {
    rt::ByteArray::set(eventSlotStatics().s_eventType, slot, static_cast<std::int8_t>(eventTypeNumber(type)));
}

std::int32_t playerProgress(const cEntity* player) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(mulWrap(player->m_lap, trackStatics().s_segmentCount)) +
        static_cast<std::uint32_t>(player->m_segment));
}

void setupEventType1() {
    EventGoalStatics& g = eventGoalStatics();
    readLapStretch(g.s_targetStart, g.s_targetDistance);
    const rt::IntArray* best = saveRecordStatics().s_eventRecords;
    for (std::int32_t i = 0; i < 3; ++i)
        g.s_medalTimes[i] = intAt(best, chosenBestTimeIndex(i));
    g.s_eventClock = 0;
    takeReference(g.s_medalTimes[0], true);
}

void setupEventType3() {
    EventGoalStatics& g = eventGoalStatics();
    readLapStretch(g.s_scoreStart, g.s_scoreEnd);
    readTimes(g.s_scoreTargets, false);
    g.s_score = 0;
}

void setupEventType4() {
    EventGoalStatics& g = eventGoalStatics();
    g.s_stopGoStage = 0;
    g.s_stopGoPenalised = 0;
    g.s_stopGoPenalties = 0;
    g.s_stopGoClock = 0;
    g.s_stopGoTimer = nextRandomDelay();
    g.s_stopGoLimit = intAt(saveRecordStatics().s_eventResults, g.s_chosenEvent);
    takeReference(g.s_stopGoLimit, true);
}

void setupEventType5(std::int64_t nowMs) {
    EventGoalStatics& g = eventGoalStatics();
    g.s_points = 0;
    g.s_pointsTick = nowMs;
    g.s_pointsReference = intAt(saveRecordStatics().s_eventProgress, g.s_chosenEvent);
    takeReference(g.s_pointsReference, false);
}

void setupEventType7() {
    setupStretch(eventGoalStatics().s_section);
}

void setupEventType8() {
    setupStretch(eventGoalStatics().s_stopZone);
}

void setupEventType9() {
    setupStretch(eventGoalStatics().s_secondSection);
}

void setupEventType10() {
    EventGoalStatics& g = eventGoalStatics();
    g.s_type10Clock = 0;
    g.s_type10ShowTimer = 0;
    g.s_type10Spare[0] = g.s_type10Spare[1] = 0;
    readTimes(g.s_type10Times, true);
    g.s_type10State = 0;
    host::logf(host::LogCategory::Game,
               "event type 10: nothing sets its result, it ends only by its time-out");
}

void setupEventType11() {
    EventGoalStatics& g = eventGoalStatics();
    readStretch(g.s_sprintStart, g.s_sprintEnd);
}

void setupEntryByType() {
    EventGoalStatics& g = eventGoalStatics();
    g.s_stopGoPenalised = 0;
    switch (currentEventType()) {
    case EventType::Laps:
    case EventType::Collection:
        g.s_eventTarget = field(1);
        break;
    case EventType::Distance:
    case EventType::OpenDistance:
        setupEventType1();
        break;
    case EventType::Score:
        setupEventType3();
        break;
    case EventType::StopAndGo:
        setupEventType4();
        break;
    case EventType::Points:
        setupEventType5(lib::java_lang_System::currentTimeMillis());
        break;
    case EventType::Section:
        setupEventType7();
        break;
    case EventType::StopZone:
        setupEventType8();
        break;
    case EventType::SecondSection:
        setupEventType9();
        break;
    case EventType::StateJudged:
        setupEventType10();
        break;
    case EventType::Sprint:
        setupEventType11();
        break;
    default:
        break;
    }
}

bool checkFinishDistance(cEntity* player, std::int32_t dt) {
    EventGoalStatics& g = eventGoalStatics();
    RaceStatics& race = raceStatics();
    if (g.s_firstRun)
        g.s_eventBestTime = g.s_eventClock;
    if (playerProgress(player) < g.s_targetDistance) {
        addClock(g.s_eventClock, dt);
        return false;
    }
    race.s_raceFinished = 1;
    race.s_raceResult = g.s_eventClock <= g.s_medalTimes[2] ? 1 : 0;
    if (race.s_raceResult) {
        winWithPlace(player, g.s_eventClock, g.s_medalTimes);
        recordBestTime(player->m_racePosition, g.s_eventClock);
        (void)saveRecordB();
    }
    if (g.s_firstRun) {
        race.s_raceResult = 1;
        player->m_racePosition = 0;
        recordBestTime(0, g.s_eventClock);
        (void)saveRecordB();
    }
    return true;
}

bool checkFinishStopGo(cEntity* player, std::int32_t dt) {
    EventGoalStatics& g = eventGoalStatics();
    RaceStatics& race = raceStatics();
    if (g.s_firstRun)
        g.s_eventBestTime = g.s_stopGoClock;
    if (player->m_lap > race.s_laps) {
        fail(player);
        if (g.s_stopGoClock > g.s_stopGoLimit && !g.s_firstRun)
            return true;
        race.s_raceResult = 1;
        player->m_racePosition = 0;
        setIntAt(saveRecordStatics().s_eventResults, g.s_chosenEvent, g.s_stopGoClock);
        (void)saveRecordA();
        return true;
    }
    addClock(g.s_stopGoTimer, -dt);
    switch (g.s_stopGoStage) {
    case 0:
        if (g.s_stopGoTimer <= 0) {
            g.s_stopGoStage = 1;
            g.s_stopGoTimer = g.s_stopGoStageTimes[0];
        }
        break;
    case 1:
        if (g.s_stopGoTimer <= 0) {
            g.s_stopGoStage = 2;
            g.s_stopGoTimer = g.s_stopGoStageTimes[1];
        }
        break;
    default:
        if (player->m_speed != 0 && !g.s_stopGoPenalised) {
            addClock(g.s_stopGoClock, g.s_stopGoPenalty);
            ++g.s_stopGoPenalties;
            g.s_stopGoPenalised = 1;
            applyImpact(player, ImpactFlag::KnockOut, player->m_speed, nullptr);
            g.s_stopGoTimer = g.s_stopGoStageTimes[2];
        }
        if (g.s_stopGoTimer <= 0) {
            if (!g.s_stopGoPenalised) {
                player->m_itemSlot = 2;
                player->m_itemUses = 1;
            }
            g.s_stopGoPenalised = 0;
            g.s_stopGoStage = 0;
            g.s_stopGoTimer = g.s_stopGoStageTimes[1];
        }
        break;
    }
    addClock(g.s_stopGoClock, dt);
    return false;
}

bool checkFinishPoints(cEntity* player, std::int64_t nowMs) {
    EventGoalStatics& g = eventGoalStatics();
    RaceStatics& race = raceStatics();
    if (player->m_lap <= race.s_laps) {
        if (nowMs - g.s_pointsTick > 1000 && player->m_lap != 0) {
            g.s_pointsTick = nowMs;
            std::int32_t place = player->m_racePosition;
            place = place < 0 ? 0 : (place >= kPointsPlaces ? kPointsPlaces - 1 : place);
            addClock(g.s_points, g.s_pointsPerPosition[place]);
        }
        return false;
    }
    race.s_raceFinished = 1;
    if (g.s_firstRun)
        g.s_pointsReference = g.s_points;
    if (player->m_racePosition != 0) {
        race.s_raceResult = 0;
        return true;
    }
    SaveRecordStatics& records = saveRecordStatics();
    if (g.s_points > intAt(records.s_eventProgress, g.s_chosenEvent)) {
        setIntAt(records.s_eventProgress, g.s_chosenEvent, g.s_points);
        (void)saveRecordA();
    }
    race.s_raceResult = 1;
    return true;
}

bool checkFinishScore(cEntity* player, std::int32_t dt) {
    EventGoalStatics& g = eventGoalStatics();
    if (playerProgress(player) < g.s_scoreEnd) {
        if (player->m_sideContact != 0 && player->m_speed != 0)
            addClock(g.s_score, dt / 10);
        return false;
    }
    fail(player);
    for (std::int32_t i = 0; i < 3; ++i)
        if (g.s_score >= g.s_scoreTargets[i]) {
            player->m_racePosition = i;
            raceStatics().s_raceResult = 1;
            break;
        }
    return true;
}

bool checkFinishSection(cEntity* player, TimedStretch& stretch, std::int32_t dt) {
    if ((player->m_offRoad != 0 && player->m_offRoad != 3) || player->m_spinning) {
        fail(player);
        return true;
    }
    if (stretch.clock > stretch.times[2]) {
        stretch.clock = stretch.times[2];
        fail(player);
        return true;
    }
    if (playerProgress(player) < stretch.end) {
        addClock(stretch.clock, dt);
        return false;
    }
    winWithPlace(player, stretch.clock, stretch.times);
    return true;
}

bool checkFinishStopZone(cEntity* player, std::int32_t dt) {
    TimedStretch& zone = eventGoalStatics().s_stopZone;
    if (zone.clock > zone.times[2] || player->m_offRoad == 2) {
        zone.clock = zone.times[2];
        fail(player);
        return true;
    }
    std::int32_t d = playerProgress(player);
    if (static_cast<std::int64_t>(d) >= std::int64_t{zone.end} + 2) {
        fail(player);
        return true;
    }
    if (d < zone.end || player->m_speed != 0) {
        addClock(zone.clock, dt);
        return false;
    }
    winWithPlace(player, zone.clock, zone.times);
    return true;
}

bool checkFinishType10(cEntity* player, std::int32_t dt) {
    EventGoalStatics& g = eventGoalStatics();
    if (g.s_type10Clock > g.s_type10Times[2]) {
        g.s_type10Clock = g.s_type10Times[2];
        fail(player);
        return true;
    }
    switch (g.s_type10State) {
    case 2:
        fail(player);
        return true;
    case 3:
        g.s_type10ShowTimer = g.s_type10ShowTime;
        winWithPlace(player, g.s_type10Clock, g.s_type10Times);
        return true;
    default:
        addClock(g.s_type10Clock, dt);
        return false;
    }
}

bool checkFinishSprint(cEntity* player) {
    if (playerProgress(player) < eventGoalStatics().s_sprintEnd)
        return false;
    RaceStatics& race = raceStatics();
    race.s_raceFinished = 1;
    race.s_raceResult = player->m_racePosition == 0 ? 1 : 0;
    return true;
}

bool applyFinishRule(cEntity* player, std::int32_t dt, std::int64_t nowMs) {
    RaceStatics& race = raceStatics();
    EventGoalStatics& g = eventGoalStatics();
    switch (currentEventType()) {
    case EventType::Laps:
        if (player->m_lap <= race.s_laps)
            return false;
        race.s_raceFinished = 1;
        race.s_raceResult = player->m_racePosition < 3 ? 1 : 0;
        requestSound(kLapsFinishedSound);
        return true;
    case EventType::Distance:
        return checkFinishDistance(player, dt);
    case EventType::Collection:
        if (player->m_lap <= race.s_laps)
            return false;
        race.s_raceFinished = 1;
        race.s_raceResult = player->m_collected >= currentEventField(1, 0) ? 1 : 0;
        return true;
    case EventType::Score:
        return checkFinishScore(player, dt);
    case EventType::StopAndGo:
        return checkFinishStopGo(player, dt);
    case EventType::Points:
        return checkFinishPoints(player, nowMs);
    case EventType::Guided:
        // The guided race ends by its steps, never by a rule, and is won.
        if (!updateGuideSteps(dt))
            return false;
        race.s_raceFinished = 1;
        race.s_raceResult = 1;
        return true;
    case EventType::Section:
        return checkFinishSection(player, g.s_section, dt);
    case EventType::StopZone:
        return checkFinishStopZone(player, dt);
    case EventType::SecondSection:
        return checkFinishSection(player, g.s_secondSection, dt);
    case EventType::StateJudged:
        return checkFinishType10(player, dt);
    case EventType::Sprint:
        return checkFinishSprint(player);
    default:
        return false;
    }
}

void recordBestTime(std::int32_t place, std::int32_t time) {
    if (place < 0 || place > 2)
        return;
    rt::IntArray* best = saveRecordStatics().s_eventRecords;
    if (intAt(best, chosenBestTimeIndex(0)) == 0) {
        for (std::int32_t i = 0; i < 3; ++i)
            setIntAt(best, chosenBestTimeIndex(i), time);
        return;
    }
    for (std::int32_t i = 2; i > place; --i)
        setIntAt(best, chosenBestTimeIndex(i), intAt(best, chosenBestTimeIndex(i - 1)));
    setIntAt(best, chosenBestTimeIndex(place), time);
}

std::int32_t nextRandomDelay() {
    return (raceRandom(4) + 8) * kRaceOne;
}

void setupMode6Event() {
    stateStatics().s_gameMode = GameMode::Guided;
    EventSlotStatics& slots = eventSlotStatics();
    initEventSlots();
    std::int32_t slot = slots.s_currentEvent;
    rt::ByteArray::set(slots.s_eventRaceRow, slot, 0);
    rt::ByteArray::set(slots.s_eventTrack, slot, 0);
    rt::ByteArray::set(slots.s_eventVariant, slot, kGuidedVariant);
    const rt::ShortArray* themes = raceTableStatics().s_themeTable;
    bool hasTheme = themes && themes->length() > 3;
    rt::ByteArray::set(slots.s_eventIcon, slot,
                       static_cast<std::int8_t>(hasTheme ? rt::ShortArray::get(themes, 2) : 0));
    rt::ByteArray::set(slots.s_eventIcon2, slot,
                       static_cast<std::int8_t>(hasTheme ? rt::ShortArray::get(themes, 3) : 0));
    const rt::IntArray* row = eventRow(0, kGuidedVariant);
    rt::ByteArray::set(slots.s_eventType, slot,
                       static_cast<std::int8_t>(row && row->length() > 0 ? rt::IntArray::get(row, 0) : 0));
    std::int32_t type = rt::ByteArray::get(slots.s_eventType, slot);
    rt::ObjectArray::set(slots.s_eventName, slot, getString(kGuidedGoalText));
    rt::ObjectArray::set(slots.s_eventTypeText, slot, getString(kFirstEventTypeText + type));
    rt::ObjectArray::set(slots.s_eventTitle, slot, getString(kGuidedTitleText));
    racerStatics().s_playerRacerId = 0;
    EventGoalStatics& g = eventGoalStatics();
    g.s_guideStep = 0;
    g.s_guideTimer = 0;
    g.s_guideValue = 0;
    g.s_guideTip = kFirstTipText + raceRandom(kTipTexts);
}

} // namespace game
