// The drawing log: what a painter asks of the wrappers and the sprite paint,
// with the clip and colour each call met, and nothing while no log listens.

#include "tests/support/DrawingLog.h"
#include "game/framework/GameGraphics.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/Paint.h"
#include "tests/game/sprite/PaintFixture.h"

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;
using game::DrawCall;

TEST_F(PaintTest, DrawingLogKeepsCallsWithTheirClipAndColourAndNestsSpritePaints) {
    SpriteModel model = paletteModel({0, 0xFFFF0000u});
    addFlatModule(model, 3, 2, 1);
    addFrame(model, {{.module = 0, .x = 1, .y = 1}, {.module = 0, .x = 5, .y = 1}});
    game::ASprite* sprite = loadSprite(datakit::writeSprite(model));

    testing_support::DrawingLog log;
    screen.graphics->setColor(0x3D2D47);
    game::setClip(screen.graphics, 2, 3, 40, 50);
    game::fillRect(screen.graphics, -5, 0, 20, 10);
    game::drawLine(1, 2, 30, 40);
    game::paintFrame(sprite, screen.graphics, 0, 10, 12, 1, 0, 0);
    // A measure has no target: it draws nothing and is not reported.
    game::getFrameWidth(sprite, 0);

    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "fillRect -5 0 20 10 clip 2 3 40 50 colour 3d2d47",
                               "drawLine 1 2 30 40 clip 2 3 40 50 colour 3d2d47",
                               "paintFrame 0 10 12 1 0 0 clip 2 3 40 50 colour 3d2d47",
                           }));
    // Inside the frame: both modules, each with the blit that draws it.
    std::int32_t modules = 0;
    for (const game::DrawRecord& r : log.records())
        if (r.call == DrawCall::PaintModule) {
            EXPECT_EQ(r.depth, 1) << "inside the frame";
            EXPECT_EQ(r.subject, sprite);
            ++modules;
        }
    EXPECT_EQ(modules, 2);
    EXPECT_EQ(log.records().back().depth, 2) << "the module's blit";
    // The pixels are drawn as before the log listened.
    EXPECT_EQ(screen.at(2, 3), on565(0xFF3D2D47u));
}

TEST_F(PaintTest, WithoutALogNothingIsReported) {
    { testing_support::DrawingLog log; }
    EXPECT_EQ(game::drawingTap(), nullptr);
    game::fillRect(screen.graphics, 0, 0, 4, 4); // must not reach a log that is gone
    EXPECT_EQ(screen.at(0, 0), on565(0xFF000000u));
}

} // namespace
