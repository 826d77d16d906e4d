// Race preparation on the demo set: loads and releases leave the heap as
// they found it and take the race's cache keys with them; the event slot
// set-up follows the new event's type and refuses rows it cannot hold.

#include "game/race/RaceRelease.h"
#include "classlib/util/Hashtable.h"
#include "game/data/EventSlots.h"
#include "game/data/PackReader.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceImages.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "runtime/MemoryManager.h"
#include "runtime/constantStrings.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/game/race/HeapFigures.h"

#include <climits>
#include <map>
#include <vector>

namespace {


using race_testing::HeapFigures;
using race_testing::largestBlockDifference;

// The sizes of the used blocks that the last `collectedSizes` found, and
// the zoom caches' entries counted before it.
std::vector<std::size_t> g_sizes;
std::int32_t g_entries = 0;

// Under the address sanitizer whole races keep a few more objects from one
// load to the next (one or two over two races, not traced yet); the other
// builds hold the counts exactly.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kSanitizerSlack = 4;
#else
constexpr std::size_t kSanitizerSlack = 0;
#endif

std::size_t distance(std::size_t a, std::size_t b) {
    return a > b ? a - b : b - a;
}

HeapFigures collectedSizes() {
    return race_testing::collectedHeap(&g_sizes);
}

constexpr std::size_t kSplitSlack = rt::MemoryManager::kSplitSlack;

void loadRace(std::int32_t track) {
    game::loadTrack(track);
    game::packOpen(rt::getStaticClass().getConstantString(rt::constants::kRaceImagePack));
    game::loadImageVariant();
    game::loadImageArray();
}

// A zoomed and a pre-zoomed entry under each (sprite, frame) given.
void cacheEntries(std::initializer_list<std::pair<std::int32_t, std::int32_t>> zoomed,
                  std::initializer_list<std::pair<std::int32_t, std::int32_t>> preZoomed) {
    for (auto [sprite, frame] : zoomed)
        game::putZoomed(game::makeCacheKey(sprite, frame, false, false),
                        rt::makeAs<game::ZoomedSpritePlayer>(rt::ClassId::ZoomedSpritePlayer, false));
    for (auto [sprite, frame] : preZoomed)
        game::putPreZoomed(game::makeCacheKey(sprite, frame, false, false),
                           rt::makeAs<game::ZoomedSpritePlayer>(rt::ClassId::PreZoomedSpritePlayer, false));
}

bool cached(game::ZoomCacheKind kind, std::int32_t sprite, std::int32_t frame) {
    return game::findZoomEntry(kind, sprite, frame, false, false) != nullptr;
}

// Cache entries of the race's sprites, zoomed and pre-zoomed.
constexpr std::initializer_list<std::pair<std::int32_t, std::int32_t>> kRaceEntries = {
    {53, 3}, {64, 22}, {29, 2}};
constexpr std::initializer_list<std::pair<std::int32_t, std::int32_t>> kRacePreEntries = {{26, 21}, {31, 9}};

TEST(RaceRelease, RaceLoadsAndReleasesLeaveTheHeapAsTheFirstReleaseDid) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame());
    // One race load and release, with the checks of the release; answers the
    // heap's figures after it. The same steps every time, so that what the
    // conservative stack scan happens to keep of them is the same too.
    auto loadAndRelease = [](std::int32_t track) {
        SCOPED_TRACE("track " + std::to_string(track));
        loadRace(track);
        EXPECT_EQ(game::trackStatics().s_trackLoaded, 1);
        cacheEntries(kRaceEntries, kRacePreEntries);
        cacheEntries({{7, 1}}, {});
        game::prepareRace(true);
        EXPECT_EQ(game::trackStatics().s_trackLoaded, 0);
        EXPECT_EQ(game::trackStatics().s_backdropSprite, -1) << "a later release must not unload slot 0";
        EXPECT_NE(game::trackStatics().s_wireModels, nullptr) << "the wire models belong to the run";
        // A reference kept to the latest race only would hold the figures
        // steady; the race's own references say it directly.
        const game::TrackStatics& t = game::trackStatics();
        EXPECT_EQ(t.s_segmentCurve, nullptr);
        EXPECT_EQ(t.s_trackStyle, nullptr);
        EXPECT_EQ(t.s_cameraPaths, nullptr);
        EXPECT_EQ(game::eventStatics().s_trackZones, nullptr);
        const game::RaceImageStatics& images = game::raceImageStatics();
        EXPECT_EQ(images.s_sceneryPixels, nullptr);
        for (std::int32_t i = 0; images.s_roadsideImages && i < images.s_roadsideImages->length(); ++i)
            EXPECT_EQ(rt::ObjectArray::get(images.s_roadsideImages, i), nullptr) << "roadside image " << i;
        for (auto [sprite, frame] : kRaceEntries)
            EXPECT_FALSE(cached(game::ZoomCacheKind::Zoomed, sprite, frame)) << sprite << "/" << frame;
        for (auto [sprite, frame] : kRacePreEntries)
            EXPECT_FALSE(cached(game::ZoomCacheKind::PreZoomed, sprite, frame)) << sprite << "/" << frame;
        EXPECT_TRUE(cached(game::ZoomCacheKind::Zoomed, 7, 1)) << "not a race entry";
        game::removeZoomed(7, 1);
        return collectedSizes();
    };
    // The warm-up loads each track once: its first load leaves what the run
    // keeps for good (the constant strings that name its packs).
    // The same objects may take a few bytes more or less wherever their
    // blocks landed (HeapFigures.h): each block is held within the
    // allocator's split slack of its counterpart, the counts exactly.
    HeapFigures first;
    for (std::int32_t track : {0, 1, 2, 5})
        first = loadAndRelease(track);
    const std::vector<std::size_t> firstSizes = g_sizes;
    for (std::int32_t track : {1, 5, 0, 2, 2}) {
        HeapFigures now = loadAndRelease(track);
        EXPECT_EQ(now.objects, first.objects) << "track " << track;
        EXPECT_EQ(now.blocks, first.blocks) << "track " << track;
        EXPECT_LE(largestBlockDifference(g_sizes, firstSizes), kSplitSlack) << "track " << track;
    }
}

// The entries of both zoom caches.
std::int32_t zoomEntries() {
    const game::ZoomStatics& z = game::zoomStatics();
    return (z.s_zoomCache ? z.s_zoomCache->size() : 0) + (z.s_preZoomCache ? z.s_preZoomCache->size() : 0);
}

// Whole races as `vorlax --race` loads them (the loading state's race
// steps: track, images, racers, the race sprites and their caches), each
// driven and painted for a while: after a warm-up race of each row, every
// further load, release and full collection leaves what the first left,
// the release takes the cache entries the race's painters made, and the
// entries the load makes do not pile up from race to race.
TEST(RaceRelease, WholeRaceLoadsAndReleasesLeaveTheHeapAsTheFirstDid) {
    framework_testing::s_register = [] { game::startWithQuickRace(1); };
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(framework_testing::runRaceLoad(game));
    ASSERT_EQ(game::stateStatics().s_state, game::firstRaceState(game::stateStatics().s_gameMode));
    auto raceAndRelease = [&](std::int32_t row) {
        SCOPED_TRACE("row " + std::to_string(row));
        if (row >= 0) {
            EXPECT_TRUE(game::startQuickRace(row));
            EXPECT_TRUE(framework_testing::runRaceLoad(game));
        }
        game::requestState(game::State::Race);
        for (int i = 0; i < 60; ++i)
            EXPECT_TRUE(game.frame());
        EXPECT_EQ(game::stateStatics().s_state, game::State::Race);
        // The cache entries of the race's sprites that its painters make.
        cacheEntries(kRaceEntries, kRacePreEntries);
        game::prepareRace(true);
        for (auto [sprite, frame] : kRaceEntries)
            EXPECT_FALSE(cached(game::ZoomCacheKind::Zoomed, sprite, frame)) << sprite << "/" << frame;
        for (auto [sprite, frame] : kRacePreEntries)
            EXPECT_FALSE(cached(game::ZoomCacheKind::PreZoomed, sprite, frame)) << sprite << "/" << frame;
        EXPECT_EQ(game::racerStatics().s_playerCar, nullptr);
        g_entries = zoomEntries();
        return collectedSizes();
    };
    // The warm-up: the race that the start-up loaded, then each row once.
    // Rows 0 and 1 are tracks of different lengths: nothing sized by the
    // released track may stay. A row is held to its own first figures: what
    // the release leaves of the last race until the next load differs from
    // track to track (by one object between rows 0 and 1). The used bytes
    // may still differ by where blocks landed (HeapFigures.h): each block is
    // held within the allocator's split slack of its counterpart instead.
    (void)raceAndRelease(-1);
    (void)raceAndRelease(0);
    (void)raceAndRelease(1);
    struct First {
        HeapFigures figures;
        std::int32_t entries;
        std::vector<std::size_t> sizes;
    };
    std::map<std::int32_t, First> firstOf;
    for (std::int32_t row : {0, 1, 0, 1, 0, 1}) {
        const HeapFigures now = raceAndRelease(row);
        const First& first = firstOf.try_emplace(row, First{now, g_entries, g_sizes}).first->second;
        EXPECT_LE(distance(now.objects, first.figures.objects), kSanitizerSlack) << "row " << row;
        EXPECT_LE(distance(now.blocks, first.figures.blocks), kSanitizerSlack) << "row " << row;
        EXPECT_EQ(g_entries, first.entries) << "row " << row;
        if (now.blocks == first.figures.blocks || kSanitizerSlack == 0) {
            EXPECT_LE(largestBlockDifference(g_sizes, first.sizes), kSplitSlack) << "row " << row;
        }
    }
}

TEST(RaceRelease, EventSlotsTakeTheNewEventsTypeAndRefuseRowsOutsideTheTable) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame());
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    // The slot held an event of another type before: the texts must not be that type's.
    game::setSlotEventType(0, game::EventType::StopAndGo);
    game::setupEventSlots(2, false);
    std::int32_t type = rt::IntArray::get(game::eventRow(2, 0), 0);
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventType, 0), type);
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventRaceRow, 0), 2);
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventTrack, 0), 2);
    EXPECT_EQ(rt::ObjectArray::get(slots.s_eventTitle, 0), game::getString(151 + type));
    EXPECT_EQ(rt::ObjectArray::get(slots.s_eventTypeText, 0), game::getString(177 + type));
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventIcon, 0), game::raceRowValue(2, 2));
    const game::RaceResourceStatics& s = game::raceResourceStatics();
    EXPECT_EQ(s.s_raceLabel, game::getString(174));
    bool tipIsOneOfSeven = false;
    for (std::int32_t tip = 261; tip <= 267; ++tip)
        tipIsOneOfSeven |= s.s_raceTip == game::getString(tip);
    EXPECT_TRUE(tipIsOneOfSeven);

    game::setupEventSlots(3, true);
    EXPECT_EQ(rt::ObjectArray::get(slots.s_eventTitle, 0), game::getString(199));

    for (std::int32_t row : {-1, 6, INT_MIN}) {
        game.log.clear();
        game::setupEventSlots(row, false);
        EXPECT_EQ(rt::ByteArray::get(slots.s_eventRaceRow, 0), 3) << row;
        EXPECT_TRUE(game.log.contains("is outside 0..5")) << row;
    }
}

} // namespace
