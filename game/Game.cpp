#include "game/Game.h"

#include "game/data/MathTables.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/data/SoundThread.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Zelvora.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SoundRunner.h"
#include "platform/app/DataSet.h"
#include "runtime/Object.h"

namespace game {

namespace {

void registerSound(Seams& registry) {
    registry.frame.soundService = soundService;
    SoundHooks& sound = registry.sound;
    sound.playingMusic = playingMusic;
    sound.stopAllSounds = stopAllSoundsIfEnabled;
    sound.stopMusic = stopMusic;
    sound.queueFreeChannel = queueFreeChannel;
    sound.playSound = [](std::int32_t id) { playSoundLooped(0, id, true); };
    sound.suspend = setSoundSuspended;
    sound.makeSoundRunner = []() -> rt::Object* { return rt::make<SoundRunner>(); };
    sound.endSoundThread = stopSoundThread;
}

} // namespace

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
    registry.loading.loadStartupPack = loadStartupPack;
    registerSound(registry);
    // The front end registers their steps, hooks and states here as
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
        return platform::StartupResult::ready();
    };
    hooks.makeMidlet = []() -> platform::javax_microedition_midlet_MIDlet* { return rt::make<Zelvora>(); };
    return hooks;
}

} // namespace game
