// Racer definitions load from datakit's entries in the game's units, go
// into a car as the race reads them, and broken racers are named.

#include "game/race/RacerData.h"
#include "game/framework/SpriteSlots.h"
#include "game/race/EntryReader.h"
#include "game/race/RaceTables.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"

namespace {

using datakit::Bytes;
using race_testing::RaceDataTest;
using race_testing::racerDefinition;
using race_testing::recordTables;

std::vector<std::int32_t> intValues(rt::IntArray* array) {
    auto span = rt::IntArray::span(array);
    return {span.begin(), span.end()};
}

TEST_F(RaceDataTest, ARacerGoesIntoACarInTheRaceUnits) {
    datakit::RacerDefinition second = racerDefinition();
    second.spriteSet = 47;
    putPacks({{"tables.pak", {recordTables(2)}},
              {"racers.pak", {datakit::writeRacer(racerDefinition()), datakit::writeRacer(second)}}});
    game::loadTablesFromPack157();
    game::racerStatics().s_carConstA = 21;
    game::racerStatics().s_carConstB = 22;
    // A car of the last run, somewhere on the track with an item.
    game::cEntity* car = game::cEntity::cEntityWithType(1);
    car->m_lap = 2;
    car->m_segment = 7;
    car->m_lateral = 300;
    car->m_speed = 5000;
    car->m_heldItem = 3;
    EXPECT_EQ(game::applyRacerDefinition(0, car), 0);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
    // 90 km/h is 102400; 1500 ms is 6144; a time of 0, and element 0, read 5000.
    EXPECT_EQ(intValues(car->m_stats), (std::vector<std::int32_t>{0, 34133, 68266, 102400}));
    EXPECT_EQ(intValues(car->m_gearTable), (std::vector<std::int32_t>{5000, 5000, 6144}));
    // Placed at the start, its race state cleared, its top speed the last
    // step at 100 percent.
    EXPECT_EQ((std::vector<std::int32_t>{car->m_lap, car->m_segment, car->m_segmentPos, car->m_lateral}),
              (std::vector<std::int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(car->m_speed, 0);
    EXPECT_EQ(car->m_heldItem, -1);
    EXPECT_EQ(car->m_gear, 1);
    EXPECT_EQ(car->m_maxSpeed, 102400);
    // 0x0180 is 6144; 90 degrees 512; braking and weight where the race reads them.
    EXPECT_EQ((std::vector<std::int32_t>(std::begin(car->m_defValues), std::end(car->m_defValues))),
              (std::vector<std::int32_t>{6144, 3 * 4096, 512, 1200, 21, 22, 11, 0}));
    EXPECT_EQ(intValues(car->m_widthProfile),
              (std::vector<std::int32_t>{100, 97, 93, 87, 82, 120, 82, 87, 93, 97, 100, 240}));
    auto* definition =
        static_cast<rt::IntArray*>(rt::ObjectArray::get(game::racerStatics().s_racerDefinitions, 0));
    EXPECT_EQ(rt::IntArray::get(definition, 0), 102400);

    // The player's car: record 1 names definition row 0, sprite set 44 is driver kind 0.
    game::racerStatics().s_playerRacerId = 1;
    game::createPlayerCar();
    game::cEntity* player = game::racerStatics().s_playerCar;
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->m_type, 0);
    EXPECT_EQ(player->m_carType, 0);
    EXPECT_EQ(player->m_spriteSet, 44);
    EXPECT_EQ(player->m_driverKind, 0);
    EXPECT_EQ(player->m_defField2, 7);
    EXPECT_EQ(game::racerStatics().s_playerRacerValue, 7);
    EXPECT_EQ(game::driverKindOf(47), 2);

    // The definitions load once.
    rt::ObjectArray* loaded = game::racerStatics().s_racerDefinitions;
    game::loadRacerDefinitions();
    EXPECT_EQ(game::racerStatics().s_racerDefinitions, loaded);
    EXPECT_EQ(game::racerDataProblem(), "");
}

TEST_F(RaceDataTest, BrokenRacersAreNamed) {
    datakit::RacerDefinition noSteps = racerDefinition();
    noSteps.speedSteps.clear();
    datakit::RacerDefinition noTimes = racerDefinition();
    noTimes.timesMs.clear();
    // Either set outside the cars' slots: the race and the menus draw both as cars.
    datakit::RacerDefinition firstNoCar = racerDefinition();
    firstNoCar.spriteSet = game::kCarSprite0 - 1;
    datakit::RacerDefinition secondNoCar = racerDefinition();
    secondNoCar.values[1] = game::kCarSprite9 + 1;
    const struct {
        std::vector<Bytes> entries;
        std::string problem;
    } cases[] = {
        {{datakit::writeRacer(racerDefinition()), datakit::writeRacer(noSteps)}, "racer 1 has no speed step"},
        {{datakit::writeRacer(noTimes), datakit::writeRacer(racerDefinition())}, "racer 0 has no time"},
        {{datakit::writeRacer(racerDefinition())}, "racer 1 has no entry in the racer pack"},
        {{datakit::writeRacer(firstNoCar), datakit::writeRacer(racerDefinition())},
         "racer 0 names a sprite set that holds no car"},
        {{datakit::writeRacer(racerDefinition()), datakit::writeRacer(secondNoCar)},
         "racer 1 names a sprite set that holds no car"}};
    std::vector<std::pair<std::string, std::vector<Bytes>>> packs = {{"tables.pak", {recordTables(2)}}};
    // One archive: each case its own racer pack, named by the constant string in turn.
    for (std::size_t i = 0; i < std::size(cases); ++i)
        packs.push_back({"racers" + std::to_string(i) + ".pak", cases[i].entries});
    putPacks(packs);
    game::loadTablesFromPack157();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "/racers" + std::to_string(i) + ".pak";
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""},
                                                 {rt::constants::kPackPartSeparator, "."},
                                                 {rt::constants::kRacerPack, name.c_str()}});
        game::RacerStatics& s = game::racerStatics();
        s.s_racerDefinitions = nullptr;
        s.s_brokenRacer = -1;
        game::loadRacerDefinitions();
        EXPECT_EQ(game::racerDataProblem(), cases[i].problem);
    }
}

TEST_F(RaceDataTest, RacerSpeedsFitIn64Bits) {
    datakit::RacerDefinition fast = racerDefinition();
    fast.speed = 52429;
    EXPECT_TRUE(datakit::writeRacer(fast).empty()) << "datakit refuses it";
    fast.speed = 52428;
    Bytes entry = datakit::writeRacer(fast);
    entry[8] = 0xFF; // speed 65535
    entry[9] = 0xFF;
    game::RacerStatics& s = game::racerStatics();
    s.s_racerDefinitions = rt::newObjectArray(1);
    s.s_racerLists = rt::newObjectArray(1);
    rt::ObjectArray::set(s.s_racerDefinitions, 0, rt::newIntArray(game::kRacerDefinitionInts));
    rt::ObjectArray::set(s.s_racerLists, 0, rt::newObjectArray(2));
    game::EntryReader reader(std::vector<std::uint8_t>(entry.begin(), entry.end()), "racer pack");
    EXPECT_EQ(game::readRacerDefinition(reader, 0), game::RacerFault::None);
    auto* definition = static_cast<rt::IntArray*>(rt::ObjectArray::get(s.s_racerDefinitions, 0));
    EXPECT_EQ(rt::IntArray::get(definition, 0), 74564266) << "65535 x 40960 / 36";
    EXPECT_TRUE(log.contains("racer 0 has a speed of 65535"));

    // Every prefix of the entry is cut, and read no further than its end.
    for (std::size_t n = 0; n < entry.size(); ++n) {
        game::EntryReader prefix(
            std::vector<std::uint8_t>(entry.begin(), entry.begin() + static_cast<long>(n)), "racer pack");
        EXPECT_EQ(game::readRacerDefinition(prefix, 0), game::RacerFault::Cut) << "prefix of " << n;
    }
}

} // namespace
