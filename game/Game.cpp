#include "game/Game.h"

#include "game/data/MathTables.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Zelvora.h"
#include "game/race/RaceStartup.h"
#include "game/sprite/ASprite.h"
#include "platform/app/DataSet.h"
#include "runtime/Object.h"

namespace game {

void registerGame() {
    Seams& registry = seams();
    registry = Seams{};
    setStateHandler(1, loadStartupData);
    // The game's own class initialisers after the framework's: the sprite
    // engine's shared tables, then the saved progress's arrays.
    registry.loading.staticInit = [] {
        spriteStaticInit();
        initProgressStatics();
    };
    // The start-up reads the unlock record (or writes the defaults in its place).
    registry.loading.loadRecord = [] { (void)loadRecordC(); };
    registry.loading.loadFixedPointTables = loadFixedPointTables;
    registry.loading.loadRaceTables = loadStartupRaceData;
    // Sound and the front end register their steps, hooks and states here as
    // they land; until then the framework's least behaviour stands (Seams.h).
}

platform::StartupHooks startupHooks() {
    registerGame();
    platform::StartupHooks hooks;
    hooks.initializeStatics = [] {
        platform::StartupResult loaded = platform::loadDataSet();
        if (!loaded.ok())
            return loaded;
        initializeGameStatics();
        // Racers the game cannot drive end start-up here, named.
        std::string problem = checkRaceData();
        if (!problem.empty())
            return platform::StartupResult::broken("racer pack", problem);
        return platform::StartupResult::ready();
    };
    hooks.makeMidlet = []() -> platform::javax_microedition_midlet_MIDlet* { return rt::make<Zelvora>(); };
    return hooks;
}

} // namespace game
