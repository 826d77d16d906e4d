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
#include "game/race/RaceMenus.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePlacement.h"
#include "game/race/RacePrepare.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceSetup.h"
#include "game/race/RaceStartup.h"
#include "game/race/RaceState.h"
#include "game/race/RaceStates.h"
#include "game/race/RaceView.h"
#include "game/race/ViewPass.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/racepaint/RacePresentation.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadImages.h"
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
    hooks.frameWidth = [](rt::Object* sprite, std::int32_t frame) {
        return getFrameWidth(asSprite(sprite), frame);
    };
    hooks.frameHeight = [](rt::Object* sprite, std::int32_t frame) {
        return getFrameHeight(asSprite(sprite), frame);
    };
    hooks.paintFrame = [](rt::Object* sprite, platform::javax_microedition_lcdui_Graphics* graphics,
                          std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t flags) {
        paintFrame(asSprite(sprite), graphics, frame, x, y, flags, 0, 0);
    };
    hooks.freeImages = [](rt::Object* sprite) {
        if (ASprite* loaded = asSprite(sprite))
            loaded->freeModuleData();
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

void registerSound(Seams& registry) {
    registry.frame.soundService = soundService;
    SoundHooks& sound = registry.sound;
    sound.playingMusic = playingMusic;
    sound.stopAllSounds = stopAllSoundsIfEnabled;
    sound.stopMusic = stopMusic;
    sound.queueFreeChannel = queueFreeChannel;
    sound.playSound = [](std::int32_t id) { playSoundLooped(0, id, true); };
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
    // The game's own class initialisers after the framework's: the sprite
    // engine's shared tables, then the saved progress's arrays, the road
    // painter's fixed-size arrays, the driving tables, the computer drivers',
    // the view pass's slice bins, the race scene's pinned values, and the
    // head-up display's, the weather's and the results' tables.
    registry.loading.staticInit = [] {
        spriteStaticInit();
        initProgressStatics();
        roadImageStaticInit();
        roadBandStaticInit();
        initDrivingTables();
        cameraStaticInit();
        viewPassStaticInit();
        raceSceneStaticInit();
        initDriverTables();
        hudPaintStaticInit();
        weatherStaticInit();
        raceResultsStaticInit();
    };
    // The start-up reads the unlock record (or writes the defaults in its place).
    registry.loading.loadRecord = [] { (void)loadRecordC(); };
    registry.loading.loadFixedPointTables = loadFixedPointTables;
    registry.loading.initZoomCaches = initZoomCaches;
    registerSpritePainters(registry.sprites);
    registry.loading.loadStartupPack = loadStartupPack;
    registerSound(registry);
    registry.loading.loadRaceTables = loadStartupRaceData;
    // The race model's seams: the steps other work owns (driving, opponents,
    // effects, camera) and the race's view pass and painter stay empty until
    // they land; the race data places cars through the race model.
    raceSteps() = RaceSteps{};
    // The view pass, fed by the race camera, and the race scene painter run
    // on a race state's paint.
    raceViewHooks() = RaceViewHooks{};
    raceViewHooks().viewPass = [] {
        runRaceViewPass();
        raceHudViewPass();
    };
    raceViewHooks().painter = paintRacePicture;
    raceViewHooks().afterPaint = [] {
        finishViewPass();
        raceHudClosingPass();
    };
    installRacePainters();
    raceSceneHooks().paintRaceNotice = paintRaceNotice;
    raceSceneHooks().paintHud = paintHud;
    registerRaceModelHooks();
    // The menus set up the guided race's event through the race model, and
    // the loading state releases the last race before the menus load (mode
    // 1, everything) or before the next race (mode 0, the racers stay).
    registry.race.setupMode6Event = setupMode6Event;
    registry.raceLoad.prepareRace = [](std::int32_t mode) { prepareRace(mode != 0); };
    // The front end registers its steps, hooks and states here as
    // they land; until then the framework's least behaviour stands (Seams.h).
    registerMenuStates();
    registerStartupScreens();
    registerMenuScreens();
    installDrivingSteps();
    // The driving step's sounds (gear changes, landings, walls) go to the
    // sound layer like every other game sound.
    drivingHooks().playSound = [](std::int32_t sound) {
        if (const auto play = seams().sound.playSound)
            play(sound);
    };
    installCamera();
    // The race set-up asks the front end whether a championship runs and
    // which lap option was chosen; the computer drivers come in as they land.
    raceSetupHooks() = RaceSetupHooks{};
    raceSetupHooks().championship = [] { return frontEndStatics().s_championship != 0; };
    // The pre-race selection leaves the lap option of game mode 0.
    raceSetupHooks().lapOption = [] {
        return stateStatics().s_gameMode == GameMode::LapRace
                   ? static_cast<std::int32_t>(rt::ShortArray::get(rememberedSelections(), kLapOptionSlot))
                   : -1;
    };
    // The race states, the menus over a race and the results, and what the
    // framework asks of the race; the menus read the championship the front
    // end chose.
    registerRaceStates();
    registerRaceMenus();
    setStateHandler(State::RaceResults, stateRaceResults);
    raceMenuHooks() = RaceMenuHooks{};
    raceMenuHooks().championship = [] { return frontEndStatics().s_championship != 0; };
    raceMenuHooks().endChampionship = [] { frontEndStatics().s_championship = 0; };
    registry.race.raceType = currentEventType;
    registry.race.raceFinished = [] { return raceStatics().s_raceFinished != 0; };
    registerLoadingState();
    registerRaceLoader();
    registerPreRaceSelection();
    registerOptionScreens();
    registerListScreens();
    registerChampionshipScreens();
    // A championship runs the races of the chosen cup.
    raceMenuHooks().championshipRaces = cupRaceCount;
    installOpponentSteps();
    registerPromotion();
    // The menus' load sets the promotion up (its page table, once) before
    // the main menu asks whether to offer it.
    registry.promotion.setup = setupPromotion;
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
    // A replay's state hash is the race's.
    hooks.stateHash = raceStateHash;
    hooks.makeMidlet = []() -> platform::javax_microedition_midlet_MIDlet* { return rt::make<Zelvora>(); };
    return hooks;
}

} // namespace game
