#include "game/framework/StaticInit.h"

#include "game/framework/FixedPoint.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "platform/lcdui/Image.h"
#include "runtime/StaticClass.h"

#include <initializer_list>

namespace game {

namespace {

// The number a target row holds for an item without a target.
constexpr std::int32_t kNoTarget = -1;
// The pause menus' first item goes back to the race: it has no target.
constexpr std::optional<State> kResume = std::nullopt;

rt::IntArray* intArray(std::initializer_list<std::int32_t> values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    rt::Array::fill32(array, values);
    return array;
}

// The game's screen buffer: the configured size, drawn turned by a quarter
// until start-up reads the orientation property.
void initScreenBuffer() {
    LoopStatics& loop = loopStatics();
    const OrvelLibConfig& settings = config();
    loop.s_bufferWidth = settings.s_gameScreenWidth;
    loop.s_bufferHeight = settings.s_gameScreenHeight;
    loop.s_twiceBufferWidth = loop.s_bufferWidth * 2;
    loop.s_twiceBufferHeight = loop.s_bufferHeight * 2;
    loop.s_rotated = 1;
    loop.s_touchWidth = settings.s_gameScreenHeight;
    loop.s_touchHeight = settings.s_gameScreenWidth;
    loop.s_rowBuffer = rt::newIntArray(loop.s_bufferWidth);
    loop.s_wideRowBuffer = rt::newIntArray(loop.s_twiceBufferWidth);
    loop.s_screenBuffer = Image::createImage(loop.s_bufferWidth, loop.s_bufferHeight);
    loop.s_bufferGraphics = loop.s_screenBuffer ? loop.s_screenBuffer->getGraphics() : nullptr;
}

// The library's own statics: the loop's pacing, no key yet, the fixed-point
// and angle constants, the screen effects' parameter arrays.
void initLibraryStatics() {
    LoopStatics& loop = loopStatics();
    const OrvelLibConfig& settings = config();
    loop.s_frameTime = settings.s_playerThreadPeriod > 0 ? 1000 / settings.s_playerThreadPeriod : 1000;
    loop.s_fixedSleep = -1;
    loop.s_backBufferActive = 1;
    KeyStatics& keys = keyStatics();
    keys.s_lastKeyCode = kNoKeyCode;
    keys.s_downKeyCode = kNoKeyCode;
    initFixedPointConstants();
}

void initMenuTables() {
    struct Menu {
        std::initializer_list<std::int32_t> texts;
        std::initializer_list<std::optional<State>> targets;
        std::initializer_list<std::int32_t> third;
    };
    using enum State;
    const Menu menus[kMenuTableCount] = {
        // The main menu's promotion item leads to the promotion notice, not
        // straight to the promotion screen: the player reads the notice
        // first, and its soft key or a tap goes on to the screen.
        {{150, 35, 33, 34, 82, 41},
         {RaceMenu, PromotionNotice, Options, ReferenceList, TextScreen, ExitQuestion},
         {158, 160, 268, 162, 163, 164}},
        {{194, 195, 196, 198}, {RacerList, RacerList, RacerList, RacerList}, {170, 171, 172, 173}},
        // The race menu: the career's cups, then the car and the cup's own
        // screen; a single race and a time trial, each after the car.
        {{197, 30, 193, 192, 157},
         {BonusMenu, RacerList, RacerList, ModeMenu, StartQuestion},
         {166, 165, 167, 168, 169}},
        {{47, 48, 49}, {RacerList, RacerList, RacerList}, {68, 69, 70}},
        {{1, 5, 59, 3, 6, 8},
         {kResume, RestartQuestion, RaceOptions, RaceHelp, QuitRaceQuestion, ExitQuestion},
         {}},
        {{1, 59, 3, 6, 8}, {kResume, RaceOptions, RaceHelp, QuitRaceQuestion, ExitQuestion}, {}},
    };
    GameTables& tables = gameTables();
    tables.s_menus = rt::newObjectArray(kMenuTableCount);
    for (std::int32_t menu = 0; menu < kMenuTableCount; ++menu) {
        rt::ObjectArray* rows = rt::newObjectArray(kMenuRowCount);
        rt::Array::setRef(tables.s_menus, menu, rows);
        rt::Array::setRef(rows, kMenuTexts, intArray(menus[menu].texts));
        rt::Array::setRef(rows, kMenuTargets, menuTargetRow(menus[menu].targets));
        rt::Array::setRef(rows, kMenuThird, intArray(menus[menu].third));
    }
}

// `cGame`'s own initialiser: the buffer's Graphics, nothing paused, no
// music to resume, then its constant tables.
void cGameStaticInit() {
    LoopStatics& loop = loopStatics();
    loop.s_gamePaused = 0;
    loop.s_pausedMusic = -1;
    initMenuTables();
}

} // namespace

GameTables& gameTables() {
    return rt::getStaticClass().statics<GameTables>();
}

rt::IntArray* menuRow(std::int32_t menu, std::int32_t row) {
    auto* rows = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(gameTables().s_menus, menu));
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(rows, row));
}

std::optional<State> menuTarget(std::int32_t menu, std::int32_t item) {
    rt::IntArray* targets = menuRow(menu, kMenuTargets);
    if (!targets || item < 0 || item >= targets->length())
        return std::nullopt;
    const std::int32_t target = rt::IntArray::get(targets, item);
    if (target < 0)
        return std::nullopt;
    return stateFromNumber(target);
}

rt::IntArray* menuTargetRow(std::initializer_list<std::optional<State>> targets) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(targets.size()));
    std::int32_t item = 0;
    for (const std::optional<State>& target : targets)
        rt::IntArray::set(array, item++, target ? stateNumber(*target) : kNoTarget);
    return array;
}

std::int32_t layoutY(std::int32_t design) {
    return config().s_gameScreenHeight * design / 320;
}

std::int32_t tuning(std::int32_t thousandths) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(thousandths)
                                     << (config().s_fixedShift & 31)) /
           1000;
}

std::int32_t degrees(std::int32_t value) {
    return value * static_cast<std::int32_t>(1u << (config().s_angleShift & 31)) / 360;
}

void initializeGameStatics() {
    OrvelLibConfig::staticInit();
    initScreenBuffer();
    initLibraryStatics();
    cGameStaticInit();
    loopStatics().s_gameInstance = nullptr;
    seams().loading.staticInit();
}

} // namespace game
