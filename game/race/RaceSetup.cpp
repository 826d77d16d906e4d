#include "game/race/RaceSetup.h"

#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/race/ComputerDriver.h"
#include "game/race/EventGoals.h"
#include "game/race/EventRowLayout.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/TextLayout.h"
#include "game/sprite/ZoomPlayers.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

#include <iterator>

namespace game {

RaceSetupStatics& raceSetupStatics() {
    return rt::getStaticClass().statics<RaceSetupStatics>();
}

namespace {

// Field 7 of a race row: the record value an opponent must carry (short 8
// of its record); this value or more lets every record of the block in.
constexpr std::int32_t kOpponentFilterField = 7;
constexpr std::int32_t kRecordFilterShort = 8;
constexpr std::int32_t kAnyOpponent = 65535;

struct Block {
    std::int32_t first = 0;
    std::int32_t count = 0;
    const rt::ShortArray* records = nullptr;
};

std::int32_t blockCount() {
    const rt::ShortArray* sizes = raceTableStatics().s_racerBlockSizes;
    return sizes ? sizes->length() - 1 : 0;
}

Block blockAt(std::int32_t block) {
    const RaceTableStatics& t = raceTableStatics();
    Block b;
    if (block < 0 || block >= blockCount())
        return b;
    for (std::int32_t i = 0; i < block; ++i)
        b.first += rt::ShortArray::get(t.s_racerBlockSizes, i);
    b.count = rt::ShortArray::get(t.s_racerBlockSizes, block);
    if (t.s_racerRecords && block < t.s_racerRecords->length())
        b.records = static_cast<const rt::ShortArray*>(rt::ObjectArray::get(t.s_racerRecords, block));
    return b;
}

std::int32_t opponentFilter() {
    const EventSlotStatics& slots = eventSlotStatics();
    if (!slots.s_eventRaceRow || slots.s_currentEvent < 0 ||
        slots.s_currentEvent >= slots.s_eventRaceRow->length())
        return kAnyOpponent;
    std::int32_t row = rt::ByteArray::get(slots.s_eventRaceRow, slots.s_currentEvent);
    if (row < 0 || row >= raceRowCount())
        return kAnyOpponent;
    return raceRowValue(row, kOpponentFilterField) & 0xFFFF;
}

bool inRace(std::int32_t id) {
    const rt::IntArray* ids = raceSetupStatics().s_opponentIds;
    for (std::int32_t i = 0; ids && i < ids->length(); ++i)
        if (rt::IntArray::get(ids, i) == id)
            return true;
    return false;
}

void addOpponent(std::int32_t id) {
    RaceSetupStatics& s = raceSetupStatics();
    if (s.s_opponentIds && s.s_opponentCount >= 0 && s.s_opponentCount < s.s_opponentIds->length())
        rt::IntArray::set(s.s_opponentIds, s.s_opponentCount, id);
    s.s_opponentCount += 1;
}

void clearTrackMarks() {
    TrackStatics& t = trackStatics();
    for (rt::ByteArray* flags : {t.s_segmentFlagsA, t.s_segmentFlagsB})
        for (std::int8_t& f : rt::ByteArray::span(flags))
            f = 0;
    for (std::int32_t& v : rt::IntArray::span(t.s_segmentState))
        v = 0;
    rt::ObjectArray* pool = raceStatics().s_raceObjects;
    for (std::int32_t i = 0; pool && i < pool->length(); ++i)
        if (auto* object = static_cast<cEntity*>(rt::ObjectArray::get(pool, i)))
            object->m_active = 0;
}

std::int32_t eventLaps() {
    std::int32_t laps = currentEventField(kEventLapsField, 1);
    if (currentEventType() == EventType::Laps && !isChampionship()) {
        std::int32_t option = raceSeams().lapOption();
        if (option >= 0)
            laps = option + 1;
    }
    // An event of no laps would have no lap to time.
    return laps < 1 ? 1 : laps;
}

// The track's reference lap time, which the loader keeps in seconds x 4096.
std::int32_t referenceLapTime() {
    const rt::IntArray* times = trackStatics().s_targetTimes;
    return times && times->length() > 0 ? rt::IntArray::get(times, 0) : INT32_MAX;
}

} // namespace

std::int32_t getRacerBlock(std::int32_t id) {
    const rt::ShortArray* sizes = raceTableStatics().s_racerBlockSizes;
    if (id < 0 || !sizes)
        return -1;
    for (std::int32_t block = 0; block < blockCount(); ++block) {
        std::int32_t size = rt::ShortArray::get(sizes, block);
        if (id < size)
            return block;
        id -= size;
    }
    return -1;
}

std::int32_t pickOpponent(std::int32_t block) {
    const Block b = blockAt(block);
    if (b.count <= 0)
        return -1;
    rt::IntArray* list = rt::newIntArray(b.count);
    const std::int32_t filter = opponentFilter();
    std::int32_t n = 0;
    for (std::int32_t i = 0; i < b.count; ++i) {
        std::int32_t at = kRecordShorts * i + kRecordFilterShort;
        if (filter >= kAnyOpponent || (b.records && at < b.records->length() &&
                                       (rt::ShortArray::get(b.records, at) & 0xFFFF) == filter))
            rt::IntArray::set(list, n++, i);
    }
    // The draw covers the matching records only: an unfilled entry of the
    // list would field the block's first record, whatever it carries. With
    // none matching the caller takes the block's free racers in order.
    if (n == 0)
        return -1;
    const std::int32_t span = n < kOpponentDrawSpan ? n : kOpponentDrawSpan;
    const std::int32_t id = b.first + rt::IntArray::get(list, raceRandom(span));
    if (inRace(id))
        return -1;
    addOpponent(id);
    return id;
}

std::int32_t drawOpponent(std::int32_t block) {
    for (std::int32_t draw = 0; draw < kOpponentDraws; ++draw)
        if (std::int32_t id = pickOpponent(block); id >= 0)
            return id;
    const Block b = blockAt(block);
    for (std::int32_t id = b.first; id < b.first + b.count; ++id) {
        if (!inRace(id)) {
            addOpponent(id);
            return id;
        }
    }
    const std::int32_t reused = b.count > 0 ? b.first : racerStatics().s_playerRacerId;
    host::logf(host::LogCategory::Game,
               "racer block %d has no racer left for the race: racer %d drives twice", block, reused);
    return reused;
}

std::int32_t eventRacerCount() {
    if (stateStatics().s_gameMode == GameMode::Guided)
        return kGuidedRacers;
    std::int32_t n = currentEventField(kEventRacersField, 1);
    return n < 1 ? 1 : (n > kMaxRacers ? kMaxRacers : n);
}

void createRacers() {
    const std::int32_t n = eventRacerCount();
    RaceStatics& race = raceStatics();
    race.s_racers = rt::newObjectArray(n);
    for (std::int32_t i = 0; i < n - 1; ++i) {
        cEntity* car = cEntity::cEntityWithType(-1);
        car->m_collected = 0;
        car->m_itemUses = 0;
        car->m_insideLine = 0;
        rt::ObjectArray::set(race.s_racers, i, car);
    }
}

void setupRacers() {
    RaceSetupStatics& s = raceSetupStatics();
    const RacerStatics& racers = racerStatics();
    s.s_opponentIds = rt::newIntArray(kOpponentSlots);
    for (std::int32_t& id : rt::IntArray::span(s.s_opponentIds))
        id = -1;
    rt::IntArray::set(s.s_opponentIds, 0, racers.s_playerRacerId);
    s.s_opponentCount = 1;
    const std::int32_t block = getRacerBlock(racers.s_playerRacerId);
    for (std::int32_t i = 0; i < racerCount() - 1; ++i) {
        cEntity* car = racerAt(i);
        if (!car)
            continue;
        car->m_racerIndex = i;
        car->m_carType = drawOpponent(block);
        const std::int32_t row = getRecordShort(car->m_carType, 0);
        const rt::ObjectArray* definitions = racers.s_racerDefinitions;
        const auto* definition =
            definitions && row >= 0 && row < definitions->length()
                ? static_cast<const rt::IntArray*>(rt::ObjectArray::get(definitions, row))
                : nullptr;
        if (definition) {
            car->m_spriteSet = rt::IntArray::get(definition, 1);
            car->m_defField2 = rt::IntArray::get(definition, 2);
            car->m_name = getString(rt::IntArray::get(definition, 5));
        }
        car->m_driverKind = driverKindOf(car->m_spriteSet);
        setupAiDriver(car, i);
        if (stateStatics().s_gameMode == GameMode::Guided)
            car->m_active = 0;
    }
}

void hudLayoutOf(EventType eventType, std::int32_t& kind, std::int32_t& flags) {
    struct Layout {
        std::int32_t kind, flags;
    };
    // By event type, in the types' order.
    static constexpr Layout kLayouts[] = {
        {0, 0x19002F},  {4, 0x190826}, {1, 0x100226}, {5, 0x191086}, {9, 0x1A0020},
        {10, 0x1D002F}, {0, 0x19002F}, {3, 0x110446}, {2, 0x110146}, {6, 0x12046},
        {7, 0x4000},    {8, 0x118006}, {11, 0x1002F},
    };
    const std::int32_t type = eventTypeNumber(eventType);
    const Layout layout =
        type >= 0 && type < static_cast<std::int32_t>(std::size(kLayouts)) ? kLayouts[type] : Layout{0, 0};
    kind = layout.kind;
    flags = layout.flags;
}

void setupRace() {
    RaceStatics& race = raceStatics();
    clearTrackMarks();
    // The scene paints the pool of zoomed animation players every frame:
    // made on the first race, emptied for each further one.
    initZoomAnimPool();
    race.s_laps = eventLaps();
    race.s_raceSetUp = 1;
    race.s_startPhase = 0;
    RaceStateStatics& outro = raceStateStatics();
    outro.s_outroTime = 0;
    hudStateStatics().s_finishPlayer = nullptr;
    resetRaceRun();
    // The race reset starts the best lap afresh; a new race measures it
    // against the track's reference time instead.
    raceFrameStatics().s_bestLapTime = referenceLapTime();
    // One view pass before the first update, so that the road slices and
    // the cars' screen places exist when the first state reads them.
    runRaceViewPass();
    // The head-up display of the event type, its intro started afresh.
    std::int32_t hudKind = 0;
    std::int32_t hudElements = 0;
    hudLayoutOf(currentEventType(), hudKind, hudElements);
    initHud(hudKind, hudElements);
    rankRacers();
    CameraStatics& camera = cameraStatics();
    camera.s_tourState = 0;
    camera.s_tourTimer = 0;
    camera.s_tourRacer = 1;
    race.s_totalSegments = trackStatics().s_segmentCount * race.s_laps;
}

void ensureRaceSetUp() {
    if (!raceStatics().s_raceSetUp)
        setupRace();
}

} // namespace game
