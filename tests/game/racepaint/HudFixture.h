#pragma once

// What the head-up display, overlay and result tests share: the race
// painting fixture with the game's registries filled, stand-in sprites in
// the sprite table (frame f of each is one flat module of (12 + f) x
// (8 + f % 5) pixels placed at (f % 3, f % 2)), the tiny font as fonts 0 to
// 2, texts "T0".."T99" (text 81 a comma), the constant strings the display
// reads, an event row, three racers with the player last, and the display
// shown in the race state; and a sound engine that keeps what it is asked
// to play.

#include "game/Game.h"
#include "game/data/EventSlots.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/framework/SoundEngine.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Texts.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/RaceScene.h"
#include "game/sprite/Paint.h"
#include "game/sprite/TextLayout.h"
#include "runtime/constantStrings.h"
#include "tests/game/racepaint/RacePaintFixture.h"
#include "tests/game/sprite/FontFixture.h"
#include "tests/support/ConstantStrings.h"
#include "tests/support/RaceSceneSetup.h"

#include <map>
#include <string>
#include <vector>

namespace hud_testing {

using namespace racepaint_testing;

inline constexpr std::int32_t kStandInFrames = 30;
inline constexpr std::int32_t kTexts = 100;
inline constexpr std::int32_t kRingSegments = 20;

// Box b of frame f of a stand-in sprite: (2 + b, 4 + b, 300 - 20 b, 150 - 10 b + f).
inline std::array<std::int32_t, 4> standInBox(std::int32_t frame, std::int32_t box) {
    return {2 + box, 4 + box, 300 - 20 * box, 150 - 10 * box + frame};
}

// A sprite of `kStandInFrames` frames in one opaque colour, each with three
// boxes.
inline datakit::SpriteModel standInModel(std::uint32_t colour) {
    datakit::SpriteModel model = sprite_testing::paletteModel({colour});
    model.format |= datakit::sprite_bits::kFrameBoxes;
    for (std::int32_t f = 0; f < kStandInFrames; ++f) {
        for (std::int32_t b = 0; b < 3; ++b) {
            const std::array<std::int32_t, 4> box = standInBox(f, b);
            model.boxes.push_back({.x = static_cast<std::int16_t>(box[0]),
                                   .y = static_cast<std::int16_t>(box[1]),
                                   .width = static_cast<std::uint16_t>(box[2]),
                                   .height = static_cast<std::uint16_t>(box[3])});
        }
        sprite_testing::addFlatModule(model, static_cast<std::uint16_t>(12 + f),
                                      static_cast<std::uint16_t>(8 + f % 5), 0);
        sprite_testing::addFrame(model, {{.module = static_cast<std::uint8_t>(f),
                                          .x = static_cast<std::int16_t>(f % 3),
                                          .y = static_cast<std::int16_t>(f % 2),
                                          .flags = 0}});
        model.frames.back().boxCount = 3;
    }
    return model;
}

inline std::int32_t standInWidth(std::int32_t frame) {
    return 12 + frame;
}
inline std::int32_t standInHeight(std::int32_t frame) {
    return 8 + frame % 5;
}

// The pause menu's two item lists: texts and the states they push.
inline void installPauseMenuTables() {
    rt::ObjectArray* menus = rt::newObjectArray(game::kMenuTableCount);
    auto table = [&](std::int32_t menu, const std::vector<std::int32_t>& texts,
                     std::initializer_list<std::optional<game::State>> targets) {
        rt::ObjectArray* rows = rt::newObjectArray(game::kMenuRowCount);
        rt::ObjectArray::set(rows, game::kMenuTexts, intArray(texts));
        rt::ObjectArray::set(rows, game::kMenuTargets, game::menuTargetRow(targets));
        rt::ObjectArray::set(menus, menu, rows);
    };
    using game::State;
    // The first item resumes the race: no target.
    table(game::kPauseMenu, {1, 5, 59, 3, 6, 8},
          {std::nullopt, State::RestartQuestion, State::RaceOptions, State::RaceHelp, State::QuitRaceQuestion,
           State::ExitQuestion});
    table(game::kPauseMenuShort, {1, 59, 3, 6, 8},
          {std::nullopt, State::RaceOptions, State::RaceHelp, State::QuitRaceQuestion, State::ExitQuestion});
    game::gameTables().s_menus = menus;
}

// The game's sounds go to a new sound engine without a thread of its own,
// with the sound option on; nothing drains its queue, so no sound counts as
// playing music (which would hold the start's count).
inline void listenToSounds() {
    auto* engine = rt::make<game::SoundEngine>();
    engine->init(32, false);
    game::soundDataStatics().s_soundEngine = engine;
    game::setSoundOption(true);
}
// The sound ids the engine was asked to play since `listenToSounds`, in order.
inline std::vector<std::int32_t> requestedSounds() {
    const game::SoundEngine* engine = game::soundDataStatics().s_soundEngine;
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; engine && i < engine->m_requestCount; ++i) {
        const auto* request = static_cast<rt::IntArray*>(rt::ObjectArray::get(engine->m_requests, i));
        EXPECT_EQ(rt::IntArray::get(request, 0), game::SoundEngine::kPlayRequest);
        ids.push_back(rt::IntArray::get(request, 1));
    }
    return ids;
}

struct HudTest : RacePaintTest {
    std::map<const void*, std::int32_t> spriteNumbers;
    game::cEntity* player = nullptr;

    HudTest() {
        // The race's view pass and painters run whole: the scene's statics
        // and a flat ring under the cars.
        testing_support::setUpRaceScene();
        installFlatRing(kRingSegments);
        rt::ObjectArray* sprites = rt::newObjectArray(game::kSpriteCount);
        game::startupStatics().s_sprites = sprites;
        for (std::int32_t n : {4, 12, 14, 15, 26, 30, 39, 59, 60, 61, 63, 64, 65, 66}) {
            datakit::SpriteModel model = standInModel(0xFF000000u | static_cast<std::uint32_t>(n * 0x030201));
            // The start count's four animations of eleven frames.
            if (n == game::kStartSprite)
                for (std::int32_t a = 0; a < 4; ++a) {
                    std::vector<datakit::SpriteAFrame> aframes;
                    for (std::uint8_t f = 0; f < 11; ++f)
                        aframes.push_back({.frame = f, .time = 1});
                    sprite_testing::addAnim(model, aframes);
                }
            game::ASprite* sprite = sprite_testing::loadSprite(datakit::writeSprite(model));
            rt::Array::setRef(sprites, n, sprite);
            spriteNumbers[sprite] = n;
        }
        rt::ObjectArray* fonts = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i)
            rt::Array::setRef(fonts, i, sprite_testing::loadTinyFont());
        game::startupStatics().s_fonts = fonts;
        rt::ObjectArray* texts = rt::newObjectArray(kTexts);
        for (std::int32_t i = 0; i < kTexts; ++i)
            rt::Array::setRef(texts, i,
                              rt::String::newFromCString(i == 81 ? "," : ("T" + std::to_string(i)).c_str()));
        game::textStatics().s_textCache = texts;
        game::textStatics().s_textCount = kTexts;
        testing_support::installConstantStrings({{rt::constants::kHudCountSeparator, "/"},
                                                 {rt::constants::kGuideCollectedLabel, "G"},
                                                 {rt::constants::kHudCollectedLabel, "x"},
                                                 {rt::constants::kWeatherFailed, "W"}});
        game::initEventSlots();
        event(game::EventType::Laps, {10, 60000, 600000, 30000, 3});
        rt::ObjectArray* racers = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(i == 2 ? 0 : 1);
            car->m_racePosition = i;
            car->m_carType = 4 + i;
            rt::Array::setRef(racers, i, car);
            player = car;
        }
        game::raceStatics().s_racers = racers;
        game::raceStatics().s_laps = 3;
        game::racerStatics().s_playerCar = player;
        player->m_driverKind = 2;
        player->m_lap = 1;
        game::hudPaintStaticInit();
        // The game's registries: the framework's touch zones measure these
        // sprites, and the race's paint message calls the race's painter.
        game::registerGame();
        game::HudStatics& hud = game::hudStatics();
        hud.s_hudPhase = 2;
        hud.s_hudElements = 0;
        game::initStateMachine();
        game::stateStatics().s_state = game::State::Race;
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
    }
    // The registries as the game fills them, whatever a test replaced.
    ~HudTest() override {
        game::registerGame();
        game::racerStatics().s_playerCar = nullptr;
        game::raceStatics().s_racers = nullptr;
    }

    // The current event's row: its type, and `fields` from field 1 on.
    static void event(game::EventType type, const std::vector<std::int32_t>& fields = {}) {
        std::vector<std::int32_t> row(17, 0);
        row[0] = game::eventTypeNumber(type);
        std::copy(fields.begin(), fields.end(), row.begin() + 1);
        rt::ObjectArray* variants = rt::newObjectArray(1);
        rt::ObjectArray::set(variants, 0, intArray(row));
        game::eventStatics().s_eventRows = rt::newObjectArray(1);
        rt::ObjectArray::set(game::eventStatics().s_eventRows, 0, variants);
        game::setSlotEventType(0, type);
    }

    // "frame S:F @x,y" for a sprite frame, "text 'T' @x,y aA pP" for a
    // text, else the drawing log's own line of the call.
    std::string describe(const game::DrawRecord& r) const {
        auto at = [&](std::int32_t x, std::int32_t y) {
            return " @" + std::to_string(x) + "," + std::to_string(y);
        };
        if (r.call == game::DrawCall::PaintFrame) {
            auto found = spriteNumbers.find(r.subject);
            const std::int32_t number = found == spriteNumbers.end() ? -1 : found->second;
            return "frame " + std::to_string(number) + ":" + std::to_string(r.args[0]) +
                   at(r.args[1], r.args[2]);
        }
        if (r.call == game::DrawCall::DrawText) {
            std::string text;
            for (char16_t c : r.text)
                text += static_cast<char>(c);
            return "text '" + text + "'" + at(r.args[0], r.args[1]) + " a" + std::to_string(r.args[2]) +
                   " p" + std::to_string(r.args[3]);
        }
        return testing_support::DrawingLog::call(r);
    }
    std::vector<std::string> described(const testing_support::DrawingLog& log) const {
        std::vector<std::string> out;
        for (const game::DrawRecord& r : log.outer())
            out.push_back(describe(r));
        return out;
    }
};

} // namespace hud_testing
