// Every front-end screen's touch zones against what it draws, on the demo
// set's own sprites: the game started as the shell starts it, each screen
// opened over the main menu and painted whole, its controls taken from the
// drawing log and its zones from the tables its touch code tests.

#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/frontend/ListScreens.h"
#include "game/frontend/PreRaceSelection.h"
#include "game/frontend/SelectionZones.h"
#include "game/frontend/StartupScreens.h"
#include "game/race/RaceResults.h"
#include "game/ui/MenuStatics.h"
#include "tests/game/framework/GameFixture.h"
#include "tests/support/DrawingLog.h"
#include "tests/support/ZoneCheck.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using game::State;
using testing_support::Rect;
using testing_support::ZoneItem;

std::vector<ZoneItem> s_noItems;

Rect rectOf(rt::IntArray* zone) {
    return {rt::IntArray::get(zone, 0), rt::IntArray::get(zone, 1), rt::IntArray::get(zone, 2),
            rt::IntArray::get(zone, 3)};
}

bool isEmpty(const Rect& rect) {
    return rect == Rect{};
}

// The zones of a table (int[n][4]), the first `count` of them (all when
// negative), an empty one left out: it stands for an item not shown.
void addZones(std::vector<ZoneItem>& out, const std::string& name, rt::ObjectArray* table,
              std::int32_t count = -1) {
    if (!table)
        return;
    const std::int32_t n = count < 0 ? table->length() : std::min(count, table->length());
    for (std::int32_t i = 0; i < n; ++i) {
        const Rect rect = rectOf(static_cast<rt::IntArray*>(rt::ObjectArray::get(table, i)));
        if (!isEmpty(rect))
            out.push_back({name + " " + std::to_string(i), rect});
    }
}

// The soft keys' zones that the screen's touch code tests: the right one in
// the soft-key menu states (the left key is touched only in the guided race).
void addSoftKeyZones(std::vector<ZoneItem>& out) {
    const game::TouchStatics& touch = game::touchStatics();
    if (!touch.s_softKeyZones || !game::isSoftKeyMenuState() || touch.s_rightSoftKey < 0)
        return;
    const Rect rect = rectOf(static_cast<rt::IntArray*>(rt::ObjectArray::get(touch.s_softKeyZones, 1)));
    if (!isEmpty(rect))
        out.push_back({"right soft key zone", rect});
}

// The painted frames of sprite `slot` among `frames`, named `name`.
void addFrames(std::vector<ZoneItem>& out, const testing_support::DrawingLog& log, const std::string& name,
               std::int32_t slot, std::initializer_list<std::int32_t> frames) {
    const rt::Object* sprite = game::spriteAt(slot);
    for (const game::DrawRecord& r : log.records()) {
        if (r.call != game::DrawCall::PaintFrame || r.subject != sprite || !sprite)
            continue;
        if (std::find(frames.begin(), frames.end(), r.args[0]) == frames.end())
            continue;
        // What shows of the frame: its box within the clip it was drawn in.
        const Rect shown = {std::max(r.box[0], r.clip[0]), std::max(r.box[1], r.clip[1]),
                            std::min(r.box[0] + r.box[2], r.clip[0] + r.clip[2]),
                            std::min(r.box[1] + r.box[3], r.clip[1] + r.clip[3])};
        if (shown[2] > shown[0] && shown[3] > shown[1])
            out.push_back({name + " frame " + std::to_string(r.args[0]),
                           {shown[0], shown[1], shown[2] - shown[0], shown[3] - shown[1]}});
    }
}

std::vector<ZoneItem> softKeys(const testing_support::DrawingLog& log) {
    std::vector<ZoneItem> out;
    addFrames(out, log, "soft key", game::kMenuItemSprite, {game::kSoftKeyFrame, game::kSoftKeyFrameOff});
    return out;
}

struct Screen {
    const char* name;
    State state;
    // Set before the screen is opened.
    std::function<void()> prepare;
    std::function<std::vector<ZoneItem>(const testing_support::DrawingLog&)> controls;
    std::function<std::vector<ZoneItem>()> zones;
    // How far a zone may reach beyond what it covers.
    std::int32_t slack = 2;
};

std::vector<ZoneItem> menuItems(const testing_support::DrawingLog& log) {
    std::vector<ZoneItem> out = softKeys(log);
    addFrames(out, log, "item", game::kMenuItemSprite, {game::kItemOnFrame, game::kItemFrame});
    return out;
}

std::vector<ZoneItem> answers(const testing_support::DrawingLog& log) {
    std::vector<ZoneItem> out = softKeys(log);
    addFrames(out, log, "answer", game::kMenuItemSprite, {game::kAnswerOnFrame, game::kAnswerFrame});
    return out;
}

std::vector<ZoneItem> menuZones() {
    std::vector<ZoneItem> out;
    addZones(out, "item zone", game::touchStatics().s_menuZones);
    addSoftKeyZones(out);
    return out;
}

std::vector<ZoneItem> listZones() {
    std::vector<ZoneItem> out;
    addZones(out, "answer zone", game::touchStatics().s_list, game::touchStatics().s_listCount);
    addSoftKeyZones(out);
    return out;
}

void lapRace() {
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::raceResultsStatics().s_championship = 0;
}

std::vector<ZoneItem> arrows(const testing_support::DrawingLog& log) {
    std::vector<ZoneItem> out = softKeys(log);
    addFrames(out, log, "arrow", game::kMenuArrowSprite, {game::kLeftArrowFrame, game::kRightArrowFrame});
    return out;
}

std::vector<ZoneItem> arrowZones() {
    std::vector<ZoneItem> out;
    addZones(out, "arrow zone", game::menuStatics().s_arrowZones);
    addSoftKeyZones(out);
    return out;
}

// The selection screens' choose key answers where it is drawn.
std::vector<ZoneItem> selectionZones() {
    std::vector<ZoneItem> out = arrowZones();
    if (const auto key = game::chooseKeyRect(); key[2] > 0)
        out.push_back({"choose key zone", {key[0], key[1], key[2], key[3]}});
    return out;
}

// An arrow's zone is four arrows wide and high, a wide margin for a small
// control; the options' items are answers in zones as high as a menu item.
constexpr std::int32_t kArrowMargin = 36;
constexpr std::int32_t kOptionsMargin = 4;

const Screen kScreens[] = {
    {"pre-race selection", State::PreRaceSelect, lapRace, arrows, selectionZones, kArrowMargin},
    {"cup selection", State::CupSelect, nullptr, arrows, selectionZones, kArrowMargin},
    {"reference list", State::ReferenceList, nullptr, arrows, arrowZones, kArrowMargin},
    {"main menu", State::MainMenu, nullptr, menuItems, menuZones},
    {"race menu", State::RaceMenu, nullptr, menuItems, menuZones},
    {"mode menu", State::ModeMenu, nullptr, menuItems, menuZones},
    {"options", State::Options, nullptr, answers, menuZones, kOptionsMargin},
    {"exit question", State::ExitQuestion, nullptr, answers, listZones},
    {"reset question", State::ResetQuestion, nullptr, answers, listZones},
    {"first-time question", State::StartQuestion, nullptr, answers, listZones},
    {"text screen", State::TextScreen, nullptr, softKeys,
     [] {
         std::vector<ZoneItem> out;
         addSoftKeyZones(out);
         return out;
     }},
    {"bonus menu", State::BonusMenu, nullptr,
     [](const testing_support::DrawingLog& log) {
         std::vector<ZoneItem> out = softKeys(log);
         addFrames(out, log, "picture", game::kBonusPictureSprite, {0, 1, 2});
         return out;
     },
     [] {
         std::vector<ZoneItem> out;
         addZones(out, "picture zone", game::touchStatics().s_rowZones);
         addSoftKeyZones(out);
         return out;
     }},
    {"racer list", State::RacerList, lapRace,
     [](const testing_support::DrawingLog& log) {
         std::vector<ZoneItem> out = softKeys(log);
         // A cell is the square filled behind its badge.
         for (const game::DrawRecord& r : log.outer(game::DrawCall::FillRect))
             if (r.args[2] == game::kRacerCellSize && r.args[3] == game::kRacerCellSize)
                 out.push_back({"cell", {r.args[0], r.args[1], r.args[2], r.args[3]}});
         addFrames(out, log, "car", game::racerCarSprite(game::touchStatics().s_selection), {0});
         return out;
     },
     [] {
         std::vector<ZoneItem> out;
         addZones(out, "cell zone", game::selectionZoneStatics().s_gridZones);
         if (rt::IntArray* confirm = game::selectionZoneStatics().s_confirmZone)
             out.push_back({"confirm zone", rectOf(confirm)});
         addSoftKeyZones(out);
         return out;
     }},
};

struct ScreenZones : ::testing::Test {
    // Runs frames until `state` has lasted `frames` frames.
    static bool settle(framework_testing::StartedGame& game, State state, int frames) {
        int inState = 0;
        for (int f = 0; f < 2000 && inState < frames; ++f) {
            game.host->clock().sleep(40);
            if (!game.frame())
                return false;
            inState = game::stateStatics().s_state == state ? inState + 1 : 0;
        }
        return inState >= frames;
    }
};

TEST_F(ScreenZones, EveryControlDrawnHasAZoneAndNoZoneAnswersWhereNothingIsDrawn) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    // The start-up's way to the main menu: the sound question answered by
    // its soft key, the title tapped.
    for (int f = 0; f < 2000 && game::stateStatics().s_state != State::MainMenu; ++f) {
        game.host->clock().sleep(40);
        ASSERT_TRUE(game.frame());
        const State state = game::stateStatics().s_state;
        if (state == State::SoundQuestion || state == State::Title) {
            if (state == State::SoundQuestion)
                game.canvas()->keyPressed(-6);
            else
                game.canvas()->pointerPressed(240, 320);
            game.host->clock().sleep(40);
            ASSERT_TRUE(game.frame());
            if (state == State::SoundQuestion)
                game.canvas()->keyReleased(-6);
            else
                game.canvas()->pointerReleased(240, 320);
        }
    }
    ASSERT_TRUE(settle(game, State::MainMenu, 30));
    for (const Screen& screen : kScreens) {
        SCOPED_TRACE(screen.name);
        if (screen.prepare)
            screen.prepare();
        if (screen.state != State::MainMenu)
            game::pushState(screen.state);
        ASSERT_TRUE(settle(game, screen.state, 30));
        testing_support::DrawingLog log;
        game::menuStatics().s_redraw = 1;
        ASSERT_TRUE(game.frame());
        const std::vector<ZoneItem> controls = screen.controls(log);
        const std::vector<ZoneItem> zones = screen.zones();
        EXPECT_FALSE(controls.empty());
        const std::vector<std::string> problems = testing_support::checkZones(controls, zones, screen.slack);
        for (const std::string& problem : problems)
            ADD_FAILURE() << problem;
        if (!problems.empty()) {
            std::string drawn;
            for (const ZoneItem& item : controls)
                drawn += "\n  " + testing_support::describe(item);
            for (const ZoneItem& item : zones)
                drawn += "\n  " + testing_support::describe(item);
            ADD_FAILURE() << "what was drawn and the zones:" << drawn;
        }
        game::backToState(State::MainMenu);
        ASSERT_TRUE(settle(game, State::MainMenu, 2));
    }
}

} // namespace
