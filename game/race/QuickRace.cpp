#include "game/race/QuickRace.h"

#include "game/data/EventSlots.h"
#include "game/data/PackReader.h"
#include "game/data/TextPacks.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/race/EventRowLayout.h"
#include "game/race/RaceImages.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceStates.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

// The one event slot of race row `row`: its track, first variant and type.
bool fillEventSlot(std::int32_t row) {
    if (row < 0 || row >= kTrackCount || row >= raceRowCount()) {
        host::logf(host::LogCategory::Game, "quick race: race row %d is not in the race table", row);
        return false;
    }
    const std::int32_t track = raceRowValue(row, 0);
    if (track < 0 || track >= kTrackCount) {
        host::logf(host::LogCategory::Game, "quick race: race row %d names track %d", row, track);
        return false;
    }
    initEventSlots();
    EventSlotStatics& slots = eventSlotStatics();
    slots.s_currentEvent = 0;
    rt::ByteArray::set(slots.s_eventRaceRow, 0, static_cast<std::int8_t>(row));
    rt::ByteArray::set(slots.s_eventTrack, 0, static_cast<std::int8_t>(track));
    rt::ByteArray::set(slots.s_eventVariant, 0, 0);
    const rt::IntArray* event = eventRow(track, 0);
    const std::int32_t type = event ? rt::IntArray::get(event, kEventTypeField) : 0;
    rt::ByteArray::set(slots.s_eventType, 0, static_cast<std::int8_t>(type));
    return true;
}

// The text tables the race loader leaves loaded: the menus' (the racers'
// names among them) and the race's.
constexpr std::int32_t kRacerTextEntry = 2;
constexpr std::int32_t kRaceTextEntry = 3;

void loadRaceTexts(std::int32_t entry) {
    unloadAllTexts();
    if (!loadTextPack(startupStatics().s_textPackName, entry))
        host::logf(host::LogCategory::Game, "quick race: text table %d did not load", entry);
}

} // namespace

bool loadQuickRace(std::int32_t row) {
    if (!fillEventSlot(row))
        return false;
    loadTablesFromPack161();
    const std::int32_t track = rt::ByteArray::get(eventSlotStatics().s_eventTrack, 0);
    loadTrack(track);
    if (!trackStatics().s_trackLoaded) {
        host::logf(host::LogCategory::Game, "quick race: track %d did not load", track);
        return false;
    }
    packOpen(rt::getStaticClass().getConstantString(rt::constants::kRaceImagePack));
    loadImageVariant();
    loadImageArray();
    closeStream();
    loadRaceTexts(kRacerTextEntry);
    createRacers();
    createPlayerCar();
    RaceStatics& race = raceStatics();
    const std::int32_t last = race.s_racers->length() - 1;
    cEntity* player = racerStatics().s_playerCar;
    player->m_racerIndex = last;
    rt::ObjectArray::set(race.s_racers, last, player);
    setupRacers();
    loadRaceTexts(kRaceTextEntry);
    // The effect players and their pool, which the race paints every frame.
    createAnimPlayers();
    race.s_raceSetUp = 0;
    return true;
}

std::int32_t quickRaceFirstState() {
    return stateStatics().s_gameMode == 0 ? kTrackFlyoverState : kRaceCountdownState;
}

} // namespace game
