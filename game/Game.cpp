#include "game/Game.h"

#include "game/data/MathTables.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundChannels.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/data/SoundThread.h"
#include "game/data/TextPacks.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Zelvora.h"
#include "game/frontend/Championship.h"
#include "game/frontend/ListScreens.h"
#include "game/frontend/Loading.h"
#include "game/frontend/MenuScreens.h"
#include "game/frontend/OptionScreens.h"
#include "game/frontend/PreRaceSelection.h"
#include "game/frontend/QuickRace.h"
#include "game/frontend/RaceLoader.h"
#include "game/frontend/SlidingMenus.h"
#include "game/frontend/StartupScreens.h"
#include "game/promo/PromoHooks.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/PlayerControl.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceHash.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePlacement.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RaceView.h"
#include "game/race/ViewPass.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/racepaint/RacePresentation.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadImages.h"
#include "game/racescreens/RaceMenus.h"
#include "game/racescreens/RaceStates.h"
#include "game/racescreens/ResultsScreen.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/OrvelLibPlayer.h"
#include "game/sprite/Paint.h"
#include "game/sprite/ZoomCache.h"
#include "platform/app/DataSet.h"
#include "runtime/Object.h"

#include <algorithm>

namespace game {

namespace {

// The framework hands sprites over as objects: a slot holding anything else
// counts as no sprite (reported by the painters as a null access).
ASprite* asSprite(rt::Object* object) {
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object) : nullptr;
}

void registerSpritePainters(SpriteHooks& hooks) {
    // A frame the sprite lacks measures 0, as a slot not loaded does.
    hooks.frameWidth = [](rt::Object* sprite, std::int32_t frame) {
        ASprite* s = asSprite(sprite);
        return s && frame >= 0 && frame < s->getFrameCount() ? getFrameWidth(s, frame) : 0;
    };
    hooks.frameHeight = [](rt::Object* sprite, std::int32_t frame) {
        ASprite* s = asSprite(sprite);
        return s && frame >= 0 && frame < s->getFrameCount() ? getFrameHeight(s, frame) : 0;
    };
    hooks.paintFrame = [](rt::Object* sprite, platform::javax_microedition_lcdui_Graphics* graphics,
                          std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t flags) {
        paintFrame(asSprite(sprite), graphics, frame, x, y, flags, 0, 0);
    };
    // Fonts not loaded yet draw nothing, without a report each frame.
    hooks.selectFontPalette = [](std::int32_t font, std::int32_t palette) {
        if (ASprite* loaded = asSprite(rt::ObjectArray::get(startupStatics().s_fonts, font)))
            loaded->setCurrentPalette(palette);
    };
    hooks.drawString = [](std::int32_t font, platform::javax_microedition_lcdui_Graphics* graphics,
                          rt::String* text, std::int32_t x, std::int32_t y, std::int32_t anchor) {
        if (ASprite* loaded = asSprite(rt::ObjectArray::get(startupStatics().s_fonts, font)))
            drawString(loaded, graphics, text, nullptr, x, y, anchor, false);
    };
}

void registerSound(SoundHooks& sound) {
    sound.playingMusic = playingMusic;
    sound.stopAllSounds = stopAllSoundsIfEnabled;
    sound.stopMusic = stopMusic;
    sound.queueFreeChannel = queueFreeChannel;
    sound.playSound = requestSound;
    sound.suspend = setSoundSuspended;
    sound.makeSoundRunner = []() -> rt::Object* { return rt::make<OrvelLibPlayer>(); };
    sound.endSoundThread = stopSoundThread;
}

// The race row of a quick race (`startWithQuickRace`); -1 none.
std::int32_t g_quickRaceRow = -1;

// The state after start-up in a quick race: the front end's texts (the
// racers' names), fonts and the sprites of the menus laid over a race (the
// question box, the items), then the race's load behind the loading screen.
void quickRaceStart(std::int32_t message) {
    if (message != kUpdate)
        return;
    loadFrontEndResources();
    if (!startQuickRace(g_quickRaceRow))
        requestState(State::Quit);
}

} // namespace

void startWithQuickRace(std::int32_t row) {
    g_quickRaceRow = row;
    setStateHandler(State::Splash, quickRaceStart);
}

void registerGame() {
    Seams& registry = seams();
    registry = Seams{};
    setStateHandler(State::StartupLoad, loadStartupData);
    // The game's class initialisers after the framework's: the sprite
    // engine's shared tables, the saved progress's arrays, the race's
    // tables and defaults, then the race presentation's fixed-size arrays and
    // pinned values.
    registry.loading.staticInit = [] {
        spriteStaticInit();
        initProgressStatics();
        raceStaticInit();
        roadImageStaticInit();
        roadBandStaticInit();
        raceSceneStaticInit();
        hudPaintStaticInit();
        weatherStaticInit();
    };
    // The start-up reads the unlock record (or writes the defaults in its place).
    registry.loading.loadRecord = [] { (void)loadRecordC(); };
    registry.loading.loadFixedPointTables = loadFixedPointTables;
    registry.loading.loadStartupPack = loadStartupPack;
    registry.loading.loadRaceTables = loadStartupRaceData;
    registry.loading.initZoomCaches = initZoomCaches;
    registry.frame.soundService = soundService;
    registerSound(registry.sound);
    registerSpritePainters(registry.sprites);
    registry.race.raceFinished = [] { return raceStatics().s_raceFinished != 0; };
    // The lap option the pre-race selection leaves for game mode 0, once an
    // event was chosen there: an event started without it (a quick race)
    // runs the laps of its row, not the option's unset 0 (one lap).
    raceSeams() = RaceSeams{};
    raceSeams().lapOption = [] {
        return stateStatics().s_gameMode == GameMode::LapRace && preRaceStatics().s_eventSelected
                   ? static_cast<std::int32_t>(rt::ShortArray::get(rememberedSelections(), kLapOptionSlot))
                   : -1;
    };
    registerMenuStates();
    registerStartupScreens();
    registerMenuScreens();
    registerRaceStates();
    registerRaceMenus();
    setStateHandler(State::RaceResults, stateRaceResults);
    registerLoadingState();
    registerPreRaceSelection();
    registerOptionScreens();
    registerListScreens();
    registerChampionshipScreens();
    registerPromotion();
}

std::string missingGameRegistration() {
    if (std::string missing = missingRegistration(); !missing.empty())
        return missing;
    const RaceSeams& race = raceSeams();
    if (!race.lapOption)
        return "race.lapOption";
    return {};
}

platform::StartupHooks startupHooks() {
    registerGame();
    platform::StartupHooks hooks;
    hooks.initializeStatics = [] {
        // A registration the game needs and lacks is a fault of this build:
        // start-up stops before anything could call it.
        if (std::string missing = missingGameRegistration(); !missing.empty())
            return platform::StartupResult::cannotStart("the game is not wired completely: " + missing +
                                                        " is not registered");
        platform::StartupResult loaded = platform::loadDataSet();
        if (!loaded.ok())
            return loaded;
        initializeGameStatics();
        // Race tables or racers the game cannot use end start-up here, named.
        if (RaceDataProblem problem = checkRaceData(); !problem.what.empty())
            return platform::StartupResult::broken(problem.file, problem.what);
        return platform::StartupResult::ready();
    };
    // A replay's state hash is the race's.
    hooks.stateHash = raceStateHash;
    hooks.makeMidlet = []() -> platform::javax_microedition_midlet_MIDlet* { return rt::make<Zelvora>(); };
    return hooks;
}

} // namespace game
