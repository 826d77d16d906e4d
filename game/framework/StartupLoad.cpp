#include "game/framework/StartupLoad.h"

#include "classlib/lang/StringBuffer.h"
#include "game/framework/MissingData.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <array>

namespace game {

namespace {

void makeTables(StartupStatics& startup) {
    startup.s_textBuffer = rt::make<lib::StringBuffer>(16);
    startup.s_spriteLoadFlags = rt::newBoolArray(kSpriteCount);
    startup.s_spriteCacheSpecs = rt::newIntArray(kSpriteCount);
    startup.s_flags368 = rt::newBoolArray(368);
    startup.s_flags24 = rt::newBoolArray(24);
}

void makeObjectTables(StartupStatics& startup) {
    startup.s_textEncoding = rt::getStaticClass().getConstantString(rt::constants::kTextEncoding);
    startup.s_objects22 = rt::newObjectArray(22);
    startup.s_fonts = rt::newObjectArray(6);
    startup.s_sprites = rt::newObjectArray(kSpriteCount);
    startup.s_objectFlags = rt::newObjectArray(92);
}

void resetViewAndCounters(StartupStatics& startup) {
    const OrvelLibConfig& settings = config();
    startup.s_soundOn = 0;
    startup.s_viewWidth = startup.s_clipWidth = settings.s_gameScreenWidth;
    startup.s_viewHeight = startup.s_clipHeight = settings.s_gameScreenHeight;
    const std::array<std::int32_t, 2> lengths = {10, 2};
    startup.s_pairs = static_cast<rt::ObjectArray*>(rt::newMultiArray("[[I", lengths));
    startup.s_pairCount = 0;
}

void enter() {
    StartupStatics& startup = startupStatics();
    const LoadingSteps& steps = seams().loading;
    // A step that leaves an exception pending or finds the data broken ends
    // the load there: the steps after it would read what it did not load.
    auto stopped = [] { return rt::exceptionPending() || runEnding(); };
    steps.loadRecord();
    if (stopped())
        return;
    makeTables(startup);
    steps.loadFixedPointTables(rt::constants::kFixedPointPack);
    if (stopped())
        return;
    makeObjectTables(startup);
    steps.loadStartupPack();
    if (stopped())
        return;
    steps.loadRaceTables();
    if (stopped())
        return;
    resetViewAndCounters(startup);
    steps.initZoomCaches();
    startup.s_zoomCount = startup.s_preZoomCount = 0;
    startup.s_zoomLastKey = startup.s_preZoomLastKey = -1;
    startup.s_shorts48 = rt::newShortArray(48);
}

} // namespace

StartupStatics& startupStatics() {
    return rt::getStaticClass().statics<StartupStatics>();
}

void loadStartupData(std::int32_t message) {
    if (message == kEnter) {
        enter();
    } else if (message == kUpdate && !runEnding()) {
        startupStatics().s_textPackName = rt::getStaticClass().getConstantString(rt::constants::kTextPack);
        pushState(State::Splash);
    }
}

void dropStartupPack() {
    startupStatics().s_startupPack = nullptr;
}

} // namespace game
