#include "game/racepaint/SpeedLines.h"
#include "game/race/RaceFrame.h"

#include "game/framework/FixedPoint.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RoadsideView.h"
#include "tests/game/racepaint/RoadsideFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using sprite_testing::on565;

struct SpeedLinesTest : roadside_testing::RoadsideTest {
    SpeedLinesTest() {
        roadside_testing::installCosTable();
        game::racerStatics().s_playerCar = game::cEntity::cEntityWithType(0);
    }
    ~SpeedLinesTest() override { game::racerStatics().s_playerCar = nullptr; }

    static void setLine(std::int32_t i, std::int32_t direction, std::int32_t lengthOffset) {
        game::raceFrameStatics().s_speedLines[i][0] = direction;
        game::raceFrameStatics().s_speedLines[i][1] = lengthOffset;
    }
};

TEST_F(SpeedLinesTest, LinesTakeTheirColourByDirectionAndRunFrom320PxInward) {
    game::roadsideView().s_roadBend = 7;
    struct Case {
        std::int32_t line, direction, lengthOffset;
        bool sideContact, drawn;
        std::int32_t colour;
    };
    const Case cases[] = {
        {0, 0, 0, false, true, 0xFFFFFF},    {0, 0, 49, false, true, 0xFFFFFF},
        {2, 512, 0, false, true, 0xFFFFFF},  {2, 623, 9, false, true, 0xFFFFFF},
        {2, 624, 9, false, true, 0xD0CCC8},  {2, 1416, 30, false, true, 0xD0CCC8},
        {2, 1417, 0, false, true, 0xFFFFFF}, {1, 0, 0, false, false, 0},
        {1, 0, 0, true, true, 0xFF5400},     {3, 1000, 0, true, true, 0xFF7200},
        {3, 2047, 20, true, true, 0xFF5400},
    };
    for (const Case& c : cases) {
        setLine(c.line, c.direction, c.lengthOffset);
        const game::SpeedLine line = game::speedLine(c.line, c.sideContact);
        ASSERT_EQ(line.drawn, c.drawn) << c.line << " " << c.direction;
        if (!c.drawn)
            continue;
        EXPECT_EQ(line.colour, c.colour) << c.direction;
        // The outer end 320 px from the centre, the inner one 96 to 160 px
        // (16 px per length unit 6..10) and moved left by the bend.
        const double angle = c.direction * 2 * std::numbers::pi / 2048;
        const double inner = 16.0 * ((c.lengthOffset + 60) / 10);
        EXPECT_NEAR(line.outerX, 320 + 320 * std::sin(angle), 1.01) << c.direction;
        EXPECT_NEAR(line.outerY, 240 + 320 * std::cos(angle), 1.01) << c.direction;
        EXPECT_NEAR(line.innerX, 320 + inner * std::sin(angle) - 7, 1.01) << c.direction;
        EXPECT_NEAR(line.innerY, 240 + inner * std::cos(angle), 1.01) << c.direction;
    }
}

TEST_F(SpeedLinesTest, FiveLinesOrTenInASideContactWhileBoostingOutsideWeatherTwo) {
    // Line i points at 200 i units; its middle lies 208 px out.
    for (std::int32_t i = 0; i < game::kSpeedLines; ++i)
        setLine(i, 200 * i + 30, 0);
    auto linesShown = [&] {
        std::int32_t shown = 0;
        for (std::int32_t i = 0; i < game::kSpeedLines; ++i) {
            const game::SpeedLine line = game::speedLine(i, true);
            const std::int32_t x = (line.outerX + line.innerX) / 2;
            const std::int32_t y = (line.outerY + line.innerY) / 2;
            bool hit = false;
            for (std::int32_t dy = -1; dy <= 1; ++dy)
                for (std::int32_t dx = -1; dx <= 1; ++dx)
                    hit = hit || screen.at(x + dx, y + dy) != 0;
            shown += hit ? 1 : 0;
        }
        return shown;
    };
    struct Case {
        std::int32_t boost, sideContact, weather, shown;
    };
    const Case cases[] = {{1, 0, 0, 5}, {1, 1, 0, 10}, {1, 1, 1, 10},
                          {1, 1, 2, 0}, {0, 1, 0, 0},  {-5, 0, 0, 0}};
    for (const Case& c : cases) {
        screen.graphics->setColor(0);
        screen.graphics->fillRect(0, 0, 640, 480);
        game::racerStatics().s_playerCar->m_boostTimer = c.boost;
        game::racerStatics().s_playerCar->m_sideContact = c.sideContact;
        game::roadsideView().s_weatherMode = c.weather;
        game::paintSpeedLines();
        EXPECT_EQ(linesShown(), c.shown) << c.boost << " " << c.sideContact << " " << c.weather;
        EXPECT_EQ(screen.graphics->getClipWidth(), 640);
        EXPECT_EQ(screen.graphics->getClipHeight(), 480);
    }
    // The inset: nothing on the screen's outer ring of pixels.
    for (std::int32_t x = 0; x < 640; ++x)
        EXPECT_EQ(screen.at(x, 0), 0);
}

} // namespace
