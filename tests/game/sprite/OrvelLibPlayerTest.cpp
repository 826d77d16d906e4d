// The animation player: stepping by elapsed time, passes and loops, held
// frames, the idle player, and painting only while playing.

#include "game/sprite/OrvelLibPlayer.h"
#include "game/sprite/Paint.h"
#include "tests/game/sprite/PaintFixture.h"

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;
using game::ASprite;
using game::OrvelLibPlayer;

struct Player : PaintTest {
    // Animation 0: two frames of time 2 (80 ms each); animation 1: a frame
    // of time 0, then one of time 2. Frame i is a pixel at x = i.
    ASprite* sprite = nullptr;
    OrvelLibPlayer* player = nullptr;

    Player() {
        SpriteModel model = paletteModel({0, 0xFFFF0000u});
        addFlatModule(model, 1, 1, 1);
        std::uint8_t f0 = addFrame(model, {{.module = 0}});
        std::uint8_t f1 = addFrame(model, {{.module = 0, .x = 1}});
        addAnim(model, {{.frame = f0, .time = 2}, {.frame = f1, .time = 2}});
        addAnim(model, {{.frame = f0, .time = 0}, {.frame = f1, .time = 2}});
        sprite = loadSprite(datakit::writeSprite(model));
        player = rt::make<OrvelLibPlayer>();
        player->initWithSprite(sprite, 10, 10);
    }
    void start(std::int32_t anim, std::int32_t loops) {
        player->m_anim = anim;
        player->m_aframe = 0;
        player->m_time = 0;
        player->m_loops = loops;
        player->m_stopped = 0;
    }
};

TEST_F(Player, StepsFramesByAccumulatedTimeAndStopsAfterItsPasses) {
    struct Step {
        std::int32_t dt;
        std::int32_t aframe, time;
        bool stopped;
    };
    struct Case {
        std::int32_t loops;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {0,
         {{50, 0, 50, false},
          {50, 0, 100, false},
          {50, 1, 70, false},
          {50, 1, 120, false},
          {50, 1, 90, true}}},
        // A second pass, then the stop.
        {1,
         {{50, 0, 50, false},
          {50, 0, 100, false},
          {50, 1, 70, false},
          {50, 1, 120, false},
          {50, 0, 90, false},
          {50, 1, 60, false},
          {50, 1, 110, false},
          {50, 1, 80, true},
          {50, 1, 80, true}}},
        // A large step is added after the stepping; the next update then runs
        // through every pass it covers: 1000 ms is 12 frames of 80 ms, and
        // three further passes end after 8 of them with 360 ms left.
        {3, {{1000, 0, 1000, false}, {10, 1, 370, true}}},
        // Forever: 25 updates never stop it.
        {-2, std::vector<Step>(25, Step{40, -1, -1, false})},
    };
    for (const Case& c : cases) {
        start(0, c.loops);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            player->update(s.dt);
            SCOPED_TRACE(testing::Message() << "loops " << c.loops << " update " << i + 1);
            if (s.aframe >= 0) {
                EXPECT_EQ(player->m_aframe, s.aframe);
                EXPECT_EQ(player->m_time, s.time);
            }
            EXPECT_EQ(player->m_stopped != 0, s.stopped);
            EXPECT_EQ(player->isOver(), s.stopped);
        }
    }
}

TEST_F(Player, FrameOfTimeZeroHoldsThePlayer) {
    start(1, 0);
    for (int i = 0; i < 3; ++i)
        player->update(500);
    EXPECT_EQ(player->m_aframe, 0);
    EXPECT_EQ(player->m_time, 0);
    EXPECT_EQ(player->getFrameDuration(), 0);
}

TEST_F(Player, IdlePlayerAnswersOverAndPaintsNothing) {
    EXPECT_EQ(player->m_loops, -2);
    EXPECT_TRUE(player->isOver());
    EXPECT_EQ(player->getAFrameCount(), -1);
    EXPECT_EQ(player->getFrameDuration(), 0);
    player->update(1000);
    EXPECT_EQ(player->m_time, 0);
    player->render();
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
    player->reset();
    EXPECT_EQ(player->m_sprite, nullptr);
    EXPECT_TRUE(player->m_stopped);
    EXPECT_NE(rt::interfaceOf<rt::java_lang_Runnable>(player), nullptr);
}

TEST_F(Player, RendersTheCurrentFrameOnlyWhilePlaying) {
    start(0, 0);
    EXPECT_EQ(player->getAFrameCount(), 2);
    EXPECT_EQ(player->getFrameDuration(), 80);
    player->update(80);
    player->update(0); // steps to frame 1
    player->render();
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{11, 10, 12, 11}));
    player->m_stopped = 1;
    Canvas after(32, 32);
    game::loopStatics().s_graphics = after.graphics;
    player->render();
    EXPECT_EQ(after.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

} // namespace
