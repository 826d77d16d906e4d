#include "game/race/RacerData.h"

#include "game/data/PackReader.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/race/EntryReader.h"
#include "game/race/RacePlacement.h"
#include "game/race/RaceTables.h"
#include "game/race/cEntity.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

constexpr const char* kRacerPackName = "racer pack";
// Every car's time table answers this for a 0 entry (and for entry 0).
constexpr std::int32_t kDefaultTime = 5000;

std::int32_t speedToUnits(std::int32_t speed, std::int32_t row) {
    if (speed >= kFirstOverflowingSpeed)
        host::logf(host::LogCategory::Game, "%s: racer %d has a speed of %d, over %d", kRacerPackName, row,
                   speed, kFirstOverflowingSpeed - 1);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(speed) * 4096 * 10 / 36);
}

// Null for a row without a definition.
rt::IntArray* definitionOf(std::int32_t row) {
    rt::ObjectArray* definitions = racerStatics().s_racerDefinitions;
    if (!definitions || row < 0 || row >= definitions->length())
        return nullptr;
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(definitions, row));
}

rt::IntArray* listOf(std::int32_t row, std::int32_t list) {
    auto* lists = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(racerStatics().s_racerLists, row));
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(lists, list));
}

// A list of `count` values read by `read` behind a leading 0.
template <class Read>
rt::IntArray* readList(EntryReader& reader, std::int32_t count, Read read) {
    rt::IntArray* list = rt::newIntArray(count + 1);
    for (std::int32_t i = 1; i <= count; ++i)
        rt::IntArray::set(list, i, read(reader.u16()));
    return list;
}

rt::IntArray* copyOf(rt::IntArray* source) {
    std::int32_t length = source ? source->length() : 0;
    rt::IntArray* copy = rt::newIntArray(length);
    rt::Array::copy(source, 0, copy, 0, length);
    return copy;
}

const char* faultText(RacerFault fault) {
    switch (fault) {
    case RacerFault::None:
        return "";
    case RacerFault::NoEntry:
        return "has no entry in the racer pack";
    case RacerFault::Cut:
        return "has a cut entry";
    case RacerFault::NoSpeedSteps:
        return "has no speed step";
    case RacerFault::NoTimes:
        return "has no time";
    case RacerFault::NotACar:
        return "names a sprite set that holds no car";
    }
    return "";
}

} // namespace

RacerStatics& racerStatics() {
    return rt::getStaticClass().statics<RacerStatics>();
}

std::int32_t driverKindOf(std::int32_t spriteSet) {
    switch (spriteSet) {
    case kCarSprite0:
        return 1;
    case kCarSprite2:
        return 5;
    case kCarSprite4:
        return 2;
    case kCarSprite6:
        return 4;
    case kCarSprite8:
        return 3;
    default:
        return 0;
    }
}

RacerFault readRacerDefinition(EntryReader& reader, std::int32_t row) {
    rt::IntArray* definition = definitionOf(row);
    auto set = [&](std::int32_t index, std::int32_t value) { rt::IntArray::set(definition, index, value); };
    set(1, reader.u8());
    set(2, reader.u8());
    set(3, reader.u8());
    set(4, reader.u8());
    set(5, reader.u16());
    set(6, reader.u16());
    set(0, speedToUnits(reader.u16(), row));
    auto* lists = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(racerStatics().s_racerLists, row));
    std::int32_t steps = reader.u8();
    if (!reader.fits(steps, 2, "speed steps"))
        return RacerFault::Cut;
    rt::ObjectArray::set(lists, 0,
                         readList(reader, steps, [&](std::int32_t v) { return speedToUnits(v, row); }));
    std::int32_t times = reader.u8();
    if (!reader.fits(times, 2, "times"))
        return RacerFault::Cut;
    rt::ObjectArray::set(lists, 1, readList(reader, times, [](std::int32_t t) { return (t * 4096) / 1000; }));
    set(7, reader.u16() * 4096);
    set(8, reader.u16() * 16);
    set(9, reader.u8() * 2048 / 360);
    set(10, reader.u16());
    set(11, reader.u8());
    for (std::int32_t i = 12; i <= 22; ++i)
        set(i, reader.u8());
    set(23, reader.u8() * 10);
    if (!reader.ok())
        return RacerFault::Cut;
    if (steps == 0)
        return RacerFault::NoSpeedSteps;
    if (times == 0)
        return RacerFault::NoTimes;
    // Both sets are drawn as cars: the race's car and the menus' second set.
    for (std::int32_t field : {1, 3}) {
        const std::int32_t set = rt::IntArray::get(definition, field);
        if (set < kCarSprite0 || set > kCarSprite9)
            return RacerFault::NotACar;
    }
    return RacerFault::None;
}

void loadRacerDefinitions() {
    RacerStatics& s = racerStatics();
    if (s.s_racerDefinitions)
        return;
    const rt::ShortArray* sizes = raceTableStatics().s_racerBlockSizes;
    std::int32_t count = sizes && sizes->length() > 0 ? rt::ShortArray::get(sizes, sizes->length() - 1) : 0;
    if (count < 0)
        count = 0;
    s.s_racerDefinitions = rt::newObjectArray(count);
    s.s_racerLists = rt::newObjectArray(count);
    for (std::int32_t r = 0; r < count; ++r) {
        rt::ObjectArray::set(s.s_racerDefinitions, r, rt::newIntArray(kRacerDefinitionInts));
        rt::ObjectArray::set(s.s_racerLists, r, rt::newObjectArray(2));
    }
    packOpen(rt::getStaticClass().getConstantString(rt::constants::kRacerPack));
    for (std::int32_t r = 0; r < count; ++r) {
        RacerFault fault = RacerFault::NoEntry;
        if (r < packStatics().s_packEntryCount) {
            EntryReader reader = EntryReader::ofEntry(r, kRacerPackName);
            fault = readRacerDefinition(reader, r);
        }
        if (fault != RacerFault::None && s.s_brokenRacer < 0) {
            s.s_brokenRacer = r;
            s.s_racerFault = static_cast<std::int32_t>(fault);
            host::logf(host::LogCategory::Game, "%s: racer %d %s", kRacerPackName, r, faultText(fault));
        }
    }
    closeStream();
}

std::string racerDataProblem() {
    const RacerStatics& s = racerStatics();
    if (s.s_brokenRacer < 0)
        return {};
    return "racer " + std::to_string(s.s_brokenRacer) + " " +
           faultText(static_cast<RacerFault>(s.s_racerFault));
}

std::int32_t applyRacerDefinition(std::int32_t row, cEntity* car) {
    RacerStatics& s = racerStatics();
    if (!s.s_racerDefinitions)
        loadRacerDefinitions();
    rt::IntArray* definition = definitionOf(row);
    if (!definition || !car) {
        host::logf(host::LogCategory::Game, "%s: racer %d has no definition", kRacerPackName, row);
        return 0;
    }
    car->m_stats = copyOf(listOf(row, 0));
    std::int32_t steps = car->m_stats->length();
    std::int32_t top = steps > 0 ? rt::IntArray::get(car->m_stats, steps - 1) * s.s_speedPercent / 100 : 0;
    car->m_maxSpeed = top + top / 10;
    car->m_gearTable = copyOf(listOf(row, 1));
    for (std::int32_t& time : rt::IntArray::span(car->m_gearTable))
        if (time == 0)
            time = kDefaultTime;
    const std::int32_t fromDefinition[] = {8, 7, 9, 10};
    for (std::int32_t i = 0; i < 4; ++i)
        car->m_defValues[i] = rt::IntArray::get(definition, fromDefinition[i]);
    car->m_defValues[4] = s.s_carConstA;
    car->m_defValues[5] = s.s_carConstB;
    car->m_defValues[6] = rt::IntArray::get(definition, 11);
    car->m_defValues[7] = 0;
    car->m_widthProfile = rt::newIntArray(12);
    rt::Array::copy(definition, 12, car->m_widthProfile, 0, 12);
    return resetOnTrack(car, 0, 0, 0, 0, 0, 0);
}

void createPlayerCar() {
    RacerStatics& s = racerStatics();
    cEntity* car = cEntity::cEntityWithType(0);
    s.s_playerCar = car;
    std::int32_t row = getRecordShort(s.s_playerRacerId, 0);
    car->m_carType = row;
    (void)applyRacerDefinition(row, car);
    rt::IntArray* definition = definitionOf(row);
    if (!definition)
        return;
    car->m_spriteSet = s.s_playerSpriteSet = rt::IntArray::get(definition, 1);
    car->m_defField2 = s.s_playerRacerValue = rt::IntArray::get(definition, 2);
    car->m_name = getString(rt::IntArray::get(definition, 5));
    car->m_driverKind = driverKindOf(car->m_spriteSet);
}

} // namespace game
