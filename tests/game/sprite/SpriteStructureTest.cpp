// A sprite whose tables point outside themselves is refused when it loads,
// so that no query and no painting of a frame, module or animation it
// counts fails a runtime check later: each case breaks one index of a sound
// sprite, and the sound sprite itself answers every query without one.

#include "runtime/checks.h"
#include "tests/game/sprite/SpriteFixture.h"

#include <functional>
#include <string>

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;

// Two rectangles, three frame-modules, two frames with boxes, an animation
// of two frames, and a pixel section with one palette.
SpriteModel soundModel() {
    SpriteModel model;
    model.format = datakit::sprite_bits::kFrameBoxes | datakit::sprite_bits::kPixelSection;
    model.modules.resize(2);
    model.modules[0].width = 2;
    model.modules[0].height = 1;
    model.modules[1].type = 2;
    model.modules[1].colour = 0xFF00FF00u;
    model.modules[1].width = 3;
    model.modules[1].height = 2;
    model.fmodules.resize(3);
    model.fmodules[1].module = 1;
    model.fmodules[1].x = 2;
    model.fmodules[2].module = 1;
    model.fmodules[2].y = 4;
    model.boxes.resize(2);
    model.boxes[0].width = model.boxes[0].height = 4;
    model.boxes[1].width = model.boxes[1].height = 2;
    model.frames.resize(2);
    model.frames[0].fmoduleCount = 2;
    model.frames[0].boxCount = 1;
    model.frames[1].fmoduleCount = 1;
    model.frames[1].firstFModule = 2;
    model.frames[1].boxCount = 1;
    model.aframes.resize(2);
    model.aframes[0].time = model.aframes[1].time = 2;
    model.aframes[1].frame = 1;
    model.anims.resize(1);
    model.anims[0].aframeCount = 2;
    datakit::SpritePixels pixels;
    pixels.colourCount = 2;
    pixels.palettes = {{0xFF000000u, 0xFFFFFFFFu}};
    pixels.indexes = {{0, 1}, {}};
    model.pixels = pixels;
    return model;
}

using SpriteStructure = SpriteTest;

TEST_F(SpriteStructure, ASoundSpriteAnswersEveryQueryWithoutARuntimeCheck) {
    game::ASprite* sprite = loadSprite(datakit::writeSprite(soundModel()));
    EXPECT_EQ(sprite->structureProblem(), "");
    rt::IntArray* box = rt::newIntArray(4);
    for (std::int32_t f = 0; f < sprite->getFrameCount(); ++f) {
        for (std::int32_t m = 0; m < sprite->getFModuleCount(f); ++m)
            (void)sprite->getModuleWidth(sprite->getFModuleModule(f, m));
        sprite->getFrameBox(f, 0, box, 0);
    }
    for (std::int32_t a = 0; a < sprite->getAnimCount(); ++a)
        for (std::int32_t k = 0; k < sprite->getAFrameCount(a); ++k)
            (void)sprite->getFModuleCount(sprite->getAFrameFrame(a, k));
    EXPECT_EQ(rt::runtimeReports().count, 0u) << rt::runtimeReports().first;
}

struct Breakage {
    const char* name;
    std::function<void(SpriteModel&)> apply;
    const char* said;
};

TEST_F(SpriteStructure, AnIndexOutsideItsTableIsNamed) {
    const Breakage cases[] = {
        {"frame-module names a missing module", [](SpriteModel& m) { m.fmodules[2].module = 2; },
         "frame-module 2 names module 2 of 2"},
        {"frame runs past the frame-modules", [](SpriteModel& m) { m.frames[1].fmoduleCount = 2; },
         "frame 1 takes frame-modules 2 to 3 of 3"},
        {"frame starts before the frame-modules", [](SpriteModel& m) { m.frames[0].firstFModule = -1; },
         "frame 0 takes frame-modules -1 to 0 of 3"},
        {"frame counts boxes past the box table", [](SpriteModel& m) { m.frames[1].boxCount = 2; },
         "frame 1 takes boxes 1 to 2 of 2"},
        {"frame counts boxes below zero", [](SpriteModel& m) { m.frames[0].boxCount = -1; },
         "frame 0 takes boxes 0 to -2 of 2"},
        {"animation frame shows a missing frame", [](SpriteModel& m) { m.aframes[1].frame = 2; },
         "animation frame 1 shows frame 2 of 2"},
        {"animation runs past its frames", [](SpriteModel& m) { m.anims[0].firstAFrame = 1; },
         "animation 0 takes animation frames 1 to 2 of 2"},
        {"pixel section without a palette", [](SpriteModel& m) { m.pixels->palettes.clear(); },
         "the pixel section holds no palette"},
    };
    for (const Breakage& breakage : cases) {
        SCOPED_TRACE(breakage.name);
        SpriteModel model = soundModel();
        breakage.apply(model);
        game::ASprite* sprite = loadSprite(datakit::writeSprite(model));
        EXPECT_EQ(sprite->structureProblem(), breakage.said);
    }
}

TEST_F(SpriteStructure, DataCutInsideASectionIsNotASoundLoad) {
    datakit::Bytes bytes = datakit::writeSprite(soundModel());
    game::ASprite* whole = game::ASprite::initDefaults();
    EXPECT_TRUE(whole->loadDefault(byteArray(bytes), 0));
    bytes.resize(bytes.size() / 2);
    game::ASprite* cut = game::ASprite::initDefaults();
    EXPECT_FALSE(cut->loadDefault(byteArray(bytes), 0));
}

} // namespace
