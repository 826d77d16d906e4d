#include "tests/game/sprite/SpriteFixture.h"

namespace {

using namespace sprite_testing;
using datakit::SpriteModel;
using game::ASprite;

using SpriteLoad = SpriteTest;

TEST_F(SpriteLoad, SmallestSpriteLoadsWithEveryValue) {
    // One filled rectangle, one frame-module, one frame, nothing else.
    std::vector<std::uint8_t> bytes = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xFE, 0xFF,
                                       0x00, 0x00, 0xFF, 0x10, 0x08, 0x01, 0x00, 0x00, 0xFE, 0x03,
                                       0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    ASSERT_EQ(bytes.size(), 30u);
    ASprite* sprite = loadSprite(bytes);
    EXPECT_EQ(sprite->m_format, 0);
    EXPECT_EQ(sprite->getModuleCount(), 1);
    EXPECT_EQ(sprite->getModuleType(0), 2);
    EXPECT_EQ(static_cast<std::uint32_t>(sprite->getModuleColour(0)), 0xFF0000FFu);
    EXPECT_EQ(sprite->getModuleWidth(0), 16);
    EXPECT_EQ(sprite->getModuleHeight(0), 8);
    EXPECT_EQ(sprite->getFrameCount(), 1);
    EXPECT_EQ(sprite->getFModuleCount(0), 1);
    EXPECT_EQ(sprite->getFModuleModule(0, 0), 0);
    EXPECT_EQ(sprite->getFModuleX(0, 0), -2);
    EXPECT_EQ(sprite->getFModuleY(0, 0), 3);
    EXPECT_EQ(sprite->getFModuleFlags(0, 0), 0);
    EXPECT_EQ(sprite->m_aframeFrames, nullptr);
    EXPECT_EQ(sprite->getAnimCount(), 0);
    EXPECT_EQ(sprite->m_moduleData, nullptr);
    EXPECT_EQ(sprite->m_palettes, nullptr);
}

// Every query against the model it was written from.
void expectAnswersLikeModel(const ASprite& sprite, const SpriteModel& model) {
    ASSERT_EQ(sprite.getModuleCount(), static_cast<std::int32_t>(model.modules.size()));
    for (std::int32_t m = 0; m < sprite.getModuleCount(); ++m) {
        const datakit::SpriteModule& module = model.modules[static_cast<std::size_t>(m)];
        SCOPED_TRACE(testing::Message() << "module " << m << " type " << int(module.type));
        EXPECT_EQ(sprite.getModuleType(m), module.type);
        bool sized = module.type <= 5;
        EXPECT_EQ(sprite.getModuleWidth(m), sized ? module.width : 0);
        EXPECT_EQ(sprite.getModuleHeight(m), sized ? module.height : 0);
        bool coloured = module.type != 0 && module.type != 5;
        EXPECT_EQ(static_cast<std::uint32_t>(sprite.getModuleColour(m)), coloured ? module.colour : 0u);
        std::int32_t first = sprite.getModuleParamStart(m);
        ASSERT_EQ(first >= 0, !module.params.empty());
        for (std::size_t k = 0; k < module.params.size(); ++k)
            EXPECT_EQ(rt::ShortArray::get(sprite.m_moduleParams, first + static_cast<std::int32_t>(k)),
                      module.params[k]);
    }
    ASSERT_EQ(sprite.getFrameCount(), static_cast<std::int32_t>(model.frames.size()));
    rt::IntArray* box = rt::newIntArray(4);
    std::int32_t boxIndex = 0;
    for (std::int32_t f = 0; f < sprite.getFrameCount(); ++f) {
        const datakit::SpriteFrame& frame = model.frames[static_cast<std::size_t>(f)];
        ASSERT_EQ(sprite.getFModuleCount(f), frame.fmoduleCount);
        for (std::int32_t b = 0; b < frame.fmoduleCount; ++b) {
            const datakit::SpriteFModule& record =
                model.fmodules[static_cast<std::size_t>(frame.firstFModule + b)];
            EXPECT_EQ(sprite.getFModuleModule(f, b), record.module);
            EXPECT_EQ(sprite.getFModuleX(f, b), record.x);
            EXPECT_EQ(sprite.getFModuleY(f, b), record.y);
            EXPECT_EQ(sprite.getFModuleFlags(f, b), record.flags);
        }
        if (!(model.format & datakit::sprite_bits::kFrameBoxes))
            continue;
        for (std::int32_t i = 0; i <= frame.boxCount; ++i) {
            for (std::int32_t flags = 0; flags < 4; ++flags) {
                sprite.getFrameBox(f, i, box, flags);
                std::vector<std::int32_t> expected = {0, 0, 0, 0};
                if (i < frame.boxCount) {
                    const datakit::SpriteBox& b = model.boxes[static_cast<std::size_t>(boxIndex + i)];
                    expected = {b.x, b.y, b.width, b.height};
                    if (flags & 1)
                        expected[0] = -(b.x + b.width);
                    if (flags & 2)
                        expected[1] = -(b.y + b.height);
                }
                EXPECT_EQ(ints(box, 4), expected) << "frame " << f << " box " << i << " flags " << flags;
            }
        }
        boxIndex += frame.boxCount;
    }
    ASSERT_EQ(sprite.getAnimCount(), static_cast<std::int32_t>(model.anims.size()));
    for (std::int32_t a = 0; a < sprite.getAnimCount(); ++a) {
        const datakit::SpriteAnim& anim = model.anims[static_cast<std::size_t>(a)];
        ASSERT_EQ(sprite.getAFrameCount(a), anim.aframeCount);
        for (std::int32_t b = 0; b < anim.aframeCount; ++b) {
            std::int32_t record = anim.firstAFrame + b;
            const datakit::SpriteAFrame& aframe = model.aframes[static_cast<std::size_t>(record)];
            EXPECT_EQ(sprite.getAFrameFrame(a, b), aframe.frame);
            EXPECT_EQ(sprite.getAFrameTime(a, b), aframe.time);
            EXPECT_EQ(sprite.getAFrameOffsetX(record), aframe.x);
            EXPECT_EQ(sprite.getAFrameOffsetY(record), aframe.y);
            EXPECT_EQ(sprite.getAFrameFlags(a, b), aframe.flags);
        }
    }
}

TEST_F(SpriteLoad, RandomModelAnswersEveryQueryLikeTheModel) {
    using namespace datakit::sprite_bits;
    const std::uint32_t formats[] = {
        0,
        kModuleSizeShorts | kOffsetShorts | kFrameBoxes | kAFrameOffsetShorts | kModuleDataSizes32 |
            kPixelSection,
        kFrameBoxes | kPixelSection,
        kFrameBoxes | kOffsetShorts,
        kModuleSizeShorts | kAFrameOffsetShorts,
    };
    for (std::uint32_t format : formats) {
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(testing::Message()
                         << "format 0x" << std::hex << format << std::dec << " seed " << seed);
            SpriteModel model = datakit::randomSprite(seed, {.format = format});
            ASprite* sprite = loadSprite(datakit::writeSprite(model));
            expectAnswersLikeModel(*sprite, model);
            EXPECT_EQ(sprite->hasModuleData(0), (format & kPixelSection) != 0);
        }
    }
    EXPECT_FALSE(log.contains("NullPointer"));
    EXPECT_FALSE(log.contains("OutOfBounds"));
}

TEST_F(SpriteLoad, CountsBelowOneEndTheirSectionAndTheRestIsStillRead) {
    // No modules (and so no pixel section despite its bit), then one frame-module.
    SpriteModel model;
    model.format = datakit::sprite_bits::kPixelSection;
    model.fmodules = {{7, -1, 2, 5}};
    model.frames = {{1, 0, 0}};
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    EXPECT_EQ(sprite->getModuleCount(), 0);
    EXPECT_EQ(sprite->m_moduleTypes, nullptr);
    EXPECT_EQ(sprite->m_palettes, nullptr);
    EXPECT_EQ(sprite->getFrameCount(), 1);
    EXPECT_EQ(sprite->getFModuleModule(0, 0), 7);
    EXPECT_EQ(sprite->getFModuleX(0, 0), -1);
    EXPECT_EQ(sprite->getFModuleFlags(0, 0), 5);
}

TEST_F(SpriteLoad, UnknownTypeByteIsNotConsumedAndTakesTheLayoutBefore) {
    // A filled rectangle (colour, width, height), then 0x42: read as type 0
    // with the rectangle's layout, starting at the 0x42 itself.
    std::vector<std::uint8_t> bytes = {0,    0,    0,    0,    0, 0, 2, 0, 0xFE, 1, 2, 3, 4, 5, 6,
                                       0x42, 0x11, 0x22, 0x33, 7, 8, 0, 0, 0,    0, 0, 0, 0, 0};
    ASprite* sprite = loadSprite(bytes);
    ASSERT_EQ(sprite->getModuleCount(), 2);
    EXPECT_EQ(sprite->getModuleType(1), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(sprite->getModuleColour(1)), 0x33221142u);
    EXPECT_EQ(sprite->getModuleWidth(1), 7);
    EXPECT_EQ(sprite->getModuleHeight(1), 8);
}

TEST_F(SpriteLoad, BadIndexesInTheDataAreReportedAndAnswerZero) {
    // A frame whose first frame-module lies past the table, an animation
    // whose frame count reaches past its records.
    SpriteModel model;
    model.modules = {{0, 0, 2, 2, {}}};
    model.fmodules = {{0, 4, 4, 0}};
    model.frames = {{3, 100, 0}};
    model.aframes = {{0, 1, 0, 0, 0}};
    model.anims = {{5, 0}};
    ASprite* sprite = loadSprite(datakit::writeSprite(model));
    EXPECT_EQ(sprite->getFModuleModule(0, 2), 0);
    EXPECT_EQ(sprite->getFModuleX(0, 2), 0);
    EXPECT_EQ(sprite->getAFrameTime(0, 4), 0);
    EXPECT_TRUE(log.contains("OutOfBounds"));
}

TEST_F(SpriteLoad, EveryPrefixLeavesAUsableSprite) {
    using namespace datakit::sprite_bits;
    SpriteModel model = datakit::randomSprite(
        11,
        {.format = kModuleSizeShorts | kFrameBoxes | kModuleDataSizes32 | kPixelSection, .encoding = 0xA256});
    std::vector<std::uint8_t> whole = datakit::writeSprite(model);
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        ASprite* sprite = loadSprite(prefix);
        // Either empty, or whole sections with pixel data cut to what is there.
        if (sprite->getModuleCount() == 0) {
            EXPECT_EQ(sprite->getFrameCount(), 0) << length;
            EXPECT_EQ(sprite->getAnimCount(), 0) << length;
        }
        for (std::int32_t p = 0; p < sprite->m_paletteCount; ++p) {
            sprite->setCurrentPalette(p);
            for (std::int32_t m = 0; m < sprite->getModuleCount(); ++m)
                sprite->decodeModule(m);
        }
    }
    EXPECT_EQ(loadSprite(whole)->getModuleCount(), static_cast<std::int32_t>(model.modules.size()));
}

TEST_F(SpriteLoad, NullDataAndOffsetsOutsideTheDataLeaveTheSpriteEmpty) {
    ASprite* sprite = ASprite::initDefaults();
    sprite->loadDefault(nullptr, 0);
    EXPECT_EQ(sprite->getModuleCount(), 0);
    std::vector<std::uint8_t> bytes = datakit::writeSprite(datakit::randomSprite(3, {}));
    for (std::int32_t offset : {-1, static_cast<std::int32_t>(bytes.size()) + 1, 0x7FFFFFFF}) {
        sprite->loadDefault(byteArray(bytes), offset);
        EXPECT_EQ(sprite->getModuleCount(), 0);
        EXPECT_EQ(sprite->getFrameCount(), 0);
    }
}

} // namespace
