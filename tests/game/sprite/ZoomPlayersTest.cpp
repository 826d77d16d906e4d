// The zoomed animation players: their loop rules, their paint around the
// painter statics, and the pool of 40 with its effect records and paint
// requests.

#include "game/sprite/ZoomPlayers.h"
#include "tests/game/sprite/ZoomFixture.h"

namespace {

using namespace sprite_testing;
using game::ZoomedAnimPlayer;
using game::zoomPoolStatics;

ZoomedAnimPlayer* newPlayer() {
    return rt::makeAs<ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
}

TEST_F(ZoomTest, PlayersLoopTheirCountAndStopAfterTheLast) {
    struct Case {
        const char* what;
        std::int32_t loops;
        std::vector<std::int32_t> steps; // dt of each update
        std::int32_t time, loopsLeft;
        bool stopped;
    };
    const Case cases[] = {
        {"loops 0 plays once", 0, {600, 500}, 0, 1, true},
        {"at the duration it has not passed it", 1, {1000}, 1000, 1, false},
        {"a finite player stops on its last loop with time 0", 2, {700, 400, 800, 300}, 0, 1, true},
        {"an endless player wraps by one duration", -1, {700, 400, 950}, 50, -1, false},
        {"one update subtracts one duration only", -1, {2500}, 1500, -1, false},
        {"and the next subtracts again", -1, {2500, 0}, 500, -1, false},
        {"loop counts below -1 never end or wrap", -3, {2500}, 2500, -3, false},
    };
    for (const Case& c : cases) {
        ZoomedAnimPlayer* player = newPlayer();
        player->start(7, 2, 1000, c.loops);
        for (std::int32_t dt : c.steps)
            player->update(dt);
        EXPECT_EQ(player->m_time, c.time) << c.what;
        EXPECT_EQ(player->m_loopsLeft, c.loopsLeft) << c.what;
        EXPECT_EQ(player->m_stopped != 0, c.stopped) << c.what;
        EXPECT_TRUE(player->m_inUse) << c.what;
    }
    ZoomedAnimPlayer* player = newPlayer();
    player->start(7, 2, 1000, 3);
    player->update(1500);
    player->update(1500);
    player->stop();
    player->update(400);
    EXPECT_EQ(player->m_time, 0) << "a stopped player does not count";
    player->restart();
    EXPECT_EQ(player->m_loopsLeft, 3);
    EXPECT_FALSE(player->m_stopped);
}

TEST_F(ZoomTest, PlayerPaintsWithItsPaletteAndAlphaThenResetsThePainterStatics) {
    datakit::SpriteModel model = patternModel();
    addAnim(model, {{.frame = 0, .time = 1}});
    inTable(6, loadSprite(datakit::writeSprite(model)));
    game::cacheZoomedAnim(6, 0, nullptr, -1, false, game::zoomStatics().s_zoomStepped != 0);
    game::ZoomStatics& z = game::zoomStatics();

    ZoomedAnimPlayer* player = newPlayer();
    player->start(6, 0, 1000, -1);
    player->m_palette = 1;
    player->m_alpha = 300;
    player->paint5(50, 50, 4096, 0);
    EXPECT_EQ(screen.at(44, 46), on565(0xFF00FFFFu)) << "module 0's first pixel in palette 1";
    EXPECT_EQ(z.s_zoomPalette, 0);
    EXPECT_EQ(z.s_zoomAlpha, -1);
    EXPECT_EQ(z.s_zoomAlphaPalette, 0);

    // A stopped player draws nothing and leaves the statics alone.
    clear();
    z.s_zoomPalette = 2;
    z.s_zoomAlpha = 77;
    player->stop();
    player->paint5(50, 50, 4096, 0);
    EXPECT_EQ(drawnBounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(z.s_zoomPalette, 2);
    EXPECT_EQ(z.s_zoomAlpha, 77);
}

TEST_F(ZoomTest, PoolFreesFinishedPlayersAndCutsTheirRecordsOut) {
    game::initZoomAnimPool();
    game::ZoomPoolStatics& p = zoomPoolStatics();
    ASSERT_EQ(p.s_zoomAnimPool->length(), 40);
    ASSERT_EQ(p.s_zoomAnimPoolRecords->length(), 160);
    p.s_poolRecordList = rt::newIntArray(16);
    for (std::int32_t i = 0; i < 16; ++i)
        rt::IntArray::set(p.s_poolRecordList, i, i);
    // Three effects with records at 8, 0 and 12; the first two finish.
    const std::int32_t offsets[3] = {8, 0, 12};
    std::int32_t slots[3] = {};
    for (std::int32_t e = 0; e < 3; ++e) {
        slots[e] = game::findFreeZoomAnim();
        auto* player = static_cast<ZoomedAnimPlayer*>(rt::ObjectArray::get(p.s_zoomAnimPool, slots[e]));
        player->start(1, 0, 100, e < 2 ? 1 : -1);
        player->m_recordOffset = offsets[e];
    }
    EXPECT_EQ((std::vector<std::int32_t>{slots[0], slots[1], slots[2]}),
              (std::vector<std::int32_t>{0, 1, 2}));
    game::updateZoomAnimPool(150); // the finite two stop
    EXPECT_EQ(p.s_poolRecordList->length(), 16) << "stopped players are freed on the next update";
    game::updateZoomAnimPool(10);
    EXPECT_EQ(ints(p.s_poolRecordList, 8), (std::vector<std::int32_t>{4, 5, 6, 7, 12, 13, 14, 15}));
    auto* third = static_cast<ZoomedAnimPlayer*>(rt::ObjectArray::get(p.s_zoomAnimPool, 2));
    EXPECT_EQ(third->m_recordOffset, 4);
    EXPECT_EQ(game::findFreeZoomAnim(), 0);

    // A full pool hands out slot 0; a new set-up frees every slot.
    for (std::int32_t i = 0; i < 40; ++i)
        static_cast<ZoomedAnimPlayer*>(rt::ObjectArray::get(p.s_zoomAnimPool, i))->start(1, 0, 100, 1);
    EXPECT_EQ(game::findFreeZoomAnim(), 0);
    game::setAnimPoolSlot(39, 1, 2, 3, true);
    rt::ObjectArray* pool = p.s_zoomAnimPool;
    game::initZoomAnimPool();
    EXPECT_EQ(p.s_zoomAnimPool, pool);
    EXPECT_EQ(third->m_stopped, 1);
    EXPECT_EQ(third->m_inUse, 0);
    EXPECT_EQ(rt::IntArray::get(p.s_zoomAnimPoolRecords, 39 * 4 + 3), 0);
}

TEST_F(ZoomTest, PoolPaintsOnlyRequestedPlayingSlotsAndClearsEveryRequest) {
    datakit::SpriteModel model = patternModel();
    addAnim(model, {{.frame = 0, .time = 1}});
    inTable(8, loadSprite(datakit::writeSprite(model)));
    game::cacheZoomedAnim(8, 0, nullptr, -1, false, game::zoomStatics().s_zoomStepped != 0);
    game::createAnimPlayers();
    game::ZoomPoolStatics& p = zoomPoolStatics();
    ASSERT_NE(p.s_fxPlayerF, nullptr);
    EXPECT_TRUE(p.s_fxPlayerA->isPreZoomed());
    EXPECT_FALSE(p.s_fxPlayerD->isPreZoomed());
    ASSERT_NE(p.s_fxTable, nullptr);

    auto* playing = static_cast<ZoomedAnimPlayer*>(rt::ObjectArray::get(p.s_zoomAnimPool, 3));
    auto* stopped = static_cast<ZoomedAnimPlayer*>(rt::ObjectArray::get(p.s_zoomAnimPool, 4));
    playing->start(8, 0, 1000, -1);
    stopped->start(8, 0, 1000, -1);
    stopped->stop();
    game::setAnimPoolSlot(3, 40, 40, 4096, true);
    game::setAnimPoolSlot(4, 100, 80, 4096, true);
    game::paintAnimPool();
    EXPECT_EQ(drawnBounds(), (std::vector<std::int32_t>{33, 36, 47, 49})) << "slot 3 only";
    EXPECT_EQ(rt::IntArray::get(p.s_zoomAnimPoolRecords, 4 * 4 + 3), 0)
        << "the stopped slot's request is cleared";
    // Not requested again: not drawn, though it still plays.
    clear();
    game::paintAnimPool();
    EXPECT_EQ(drawnBounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

} // namespace
