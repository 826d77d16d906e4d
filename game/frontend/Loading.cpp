#include "game/frontend/Loading.h"

#include "game/data/EventSlots.h"
#include "game/data/PackReader.h"
#include "game/data/SoundData.h"
#include "game/data/SoundRequests.h"
#include "game/data/TextPacks.h"
#include "game/framework/Anchors.h"
#include "game/framework/CarFrames.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/HudFrames.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/MissingData.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SlotTables.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/MenuScreens.h"
#include "game/frontend/RaceLoader.h"
#include "game/frontend/SlidingMenus.h"
#include "game/frontend/StartupScreens.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/ImageCaches.h"
#include "game/sprite/SpriteLoading.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <algorithm>

namespace game {

namespace {

// Where the loading state goes at once when it is done; any other next
// state (a race) waits for the player.

constexpr std::int32_t kGreyTransform = 4;
// The image table's entry that the menus load.
constexpr std::int32_t kBadgeImage = 5;
constexpr std::int32_t kInterfaceImageCount = 8;
// Soft keys: none, and the label "Continue".
constexpr std::int32_t kNoSoftKey = -1;
constexpr std::int32_t kContinueSoftKey = 0;
// The prompt after a race load: half a period shown, half hidden.
constexpr std::int32_t kPromptHalfPeriodMs = 400;
// The loading screen's own texts, kept from the loading table while a race
// load swaps the tables: the title, the tip and the prompt that waits for
// the player once a race is loaded. Without them (a load of the menus
// alone) the menus' prompt stands in for the last.
constexpr std::int32_t kLoadingTextCount = 3;
constexpr std::int32_t kLoadingPrompt = 2;

// The loading screen's layout: a bar of kBarWidth x kBarHeight in the
// middle of the screen, its frame 2 px wide.
constexpr std::int32_t kBarWidth = 400;
constexpr std::int32_t kBarHeight = 22;
constexpr std::int32_t kBarBorder = 2;
constexpr std::int32_t kBackgroundColour = 0x0B1020;
constexpr std::int32_t kBarFrameColour = 0xB0B8C8;
constexpr std::int32_t kBarTrackColour = 0x1C2438;
constexpr std::int32_t kBarFillColour = 0xFFB020;

ASprite* font(std::int32_t n) {
    rt::Object* object = rt::ObjectArray::get(startupStatics().s_fonts, n);
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object) : nullptr;
}

// `loaded`, or null after the pack's entry has been reported missing.
ASprite* needed(ASprite* loaded, std::int32_t pack, std::int32_t entry, const char* what) {
    if (!loaded)
        reportMissingData(constantString(pack), entry, what);
    return loaded;
}

ASprite* neededSprite(ASprite* loaded, std::int32_t entry) {
    return needed(loaded, rt::constants::kSpritePack, entry, "sprite");
}

template <typename Visit>
void forEachRacer(Visit visit) {
    for (std::int32_t id = 0, n = managedRacerCount(); id < n; ++id)
        visit(racerField(id, 1), racerField(id, 3));
}

// The locked palette becomes the grey of the unlocked one: the locked look
// of the pictures, made for the racers' second sprite sets too.
void addGreyPalette(ASprite* s) {
    if (!s || !s->getPalette(kUnlockedPalette))
        return;
    s->setPalette(kLockedPalette,
                  ASprite::transformPaletteCopy(kGreyTransform, s->getPalette(kUnlockedPalette)));
    s->m_paletteCount = std::max(s->m_paletteCount, kLockedPalette + 1);
}

void keepLoadingTexts() {
    LoadingStatics& loading = loadingStatics();
    if (!loading.s_loadingTexts)
        loading.s_loadingTexts = rt::newObjectArray(kLoadingTextCount);
    for (std::int32_t text = 0; text < kLoadingTextCount; ++text)
        rt::ObjectArray::set(loading.s_loadingTexts, text, getString(text));
}

} // namespace

rt::String* constantString(std::int32_t n) {
    return rt::getStaticClass().getConstantString(n);
}

ASprite* spriteInSlot(std::int32_t slot) {
    rt::ObjectArray* table = startupStatics().s_sprites;
    if (!table || slot < 0 || slot >= table->length())
        return nullptr;
    rt::Object* object = rt::ObjectArray::get(table, slot);
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object) : nullptr;
}

void loadNeededTexts(std::int32_t entry) {
    rt::String* pack = startupStatics().s_textPackName;
    if (!loadTextPack(pack, entry))
        reportMissingData(pack, entry, "text table");
}

std::int32_t racerField(std::int32_t id, std::int32_t field) {
    rt::ObjectArray* definitions = racerStatics().s_racerDefinitions;
    const std::int32_t row = getRecordShort(id, 0);
    if (!definitions || row < 0 || row >= definitions->length())
        return -1;
    auto* definition = static_cast<rt::IntArray*>(rt::ObjectArray::get(definitions, row));
    return definition ? rt::IntArray::get(definition, field) : -1;
}

std::string packEntryName(std::int32_t pack, std::int32_t entry) {
    rt::String* name = constantString(pack);
    return (name ? name->toUtf8() : std::string("(no pack)")) + " entry " + std::to_string(entry);
}

std::string carSpriteShortfall(std::int32_t slot, const ASprite* s) {
    if (!s || slot < kCarSprite0 || slot > kCarSprite9)
        return {};
    auto below = [](std::int32_t has, std::int32_t wanted, const char* what, const char* use) {
        return std::to_string(has) + " " + what + "; a car " + use + " " + std::to_string(wanted);
    };
    if (s->getFrameCount() <= kLastSlideFrame)
        return below(s->getFrameCount(), kLastSlideFrame + 1, "frames", "draws");
    if (s->getAnimCount() <= kCarFallAnim)
        return below(s->getAnimCount(), kCarFallAnim + 1, "animations", "plays");
    if (s->m_paletteCount <= kCarBodyPalette)
        return below(s->m_paletteCount, kCarBodyPalette + 1, "palettes", "is drawn in");
    return {};
}

std::int32_t managedRacerCount() {
    rt::ShortArray* sizes = raceTableStatics().s_racerBlockSizes;
    return sizes && sizes->length() > 0 ? rt::ShortArray::get(sizes, sizes->length() - 1) : 0;
}

void startLoad(bool raceKind) {
    packOpen(constantString(rt::constants::kSpritePack));
    if (ASprite* button = neededSprite(loadSpritePlain(kMenuFrameSprite, 1), kMenuFrameSprite)) {
        buildFrameCacheImages(button, 0, kMenuBarFrame, -1);
        buildFrameCacheImages(button, 0, kNamePlateFrame, -1);
        button->freePixelData();
        rt::ObjectArray::set(startupStatics().s_sprites, kMenuFrameSprite, button);
    }
    rt::ObjectArray::set(startupStatics().s_sprites, kMenuBackgroundSprite,
                         neededSprite(loadSpritePlain(kMenuBackgroundSprite, 1), kMenuBackgroundSprite));
    if (raceKind) {
        unloadSprite(kCupPictureSprite);
        ASprite* cups = neededSprite(loadSpritePlain(kCupPictureSprite, 1), kCupPictureSprite);
        rt::ObjectArray::set(startupStatics().s_sprites, kCupPictureSprite, cups);
        addGreyPalette(cups);
    }
    closeStream();
    if (!font(0)) {
        packOpen(constantString(rt::constants::kFontPack));
        rt::ObjectArray::set(startupStatics().s_fonts, 0,
                             needed(loadSprite(0, 0, 15, 255), rt::constants::kFontPack, 0, "font"));
        loadCharMap(0, 3);
        closeStream();
    }
    loadNeededTexts(kLoadingTextEntry);
    keepLoadingTexts();
}

namespace {

void markMenuSprites() {
    if (stateStatics().s_loadingNextState == State::Title)
        setSlotValue(kTitleBackgroundSprite, 0);
    // The pictures, the race's icons and coins and the badges load without
    // a cache request of their own.
    for (std::int32_t slot : {kTitleLogoSprite, kMenuHeaderSprite})
        setSlotValue(slot, 0);
    if (!spriteInSlot(kReferencePictureSprite))
        setSlotValue(kReferencePictureSprite, 0);
    for (std::int32_t slot : {kMenuSymbolSprite, kMenuItemPlateSprite, kMenuIconSprite})
        setSlotValue(slot, 0);
    for (std::int32_t slot :
         {kCupPictureSprite, kBonusPictureSprite, kRaceIconSprite, kCoinSprite, kRacerBadgeSprite})
        flagSlot(slot);
    forEachRacer([](std::int32_t first, std::int32_t second) {
        setSlotValue(first, 0);
        setSlotValue(second, 0);
    });
    releaseSpriteSlot(kMenuFrameSprite);
    setSlotValue(kMenuFrameSprite, 0);
    loadingStatics().s_loadingSubStep = 0;
    packOpen(constantString(rt::constants::kSpritePack));
}

// One marked slot per frame: unmarked slots on the way count on the bar;
// at a marked slot `work` runs and the step stays for the next frame. Once
// the walk has passed every slot it starts over for the next walking step.
template <typename Work>
void walkMarkedSlots(Work work) {
    LoadingStatics& overlay = loadingStatics();
    rt::BoolArray* marks = startupStatics().s_spriteLoadFlags;
    while (overlay.s_loadingSubStep < kSpriteCount) {
        const std::int32_t slot = overlay.s_loadingSubStep++;
        if (!rt::BoolArray::get(marks, slot)) {
            overlay.s_loadingProgress += 1;
            continue;
        }
        work(slot);
        overlay.s_loadingStep -= 1;
        return;
    }
    overlay.s_loadingSubStep = 0;
}

void makeGreyPalettes() {
    addGreyPalette(spriteInSlot(kCupPictureSprite));
    addGreyPalette(spriteInSlot(kBonusPictureSprite));
    forEachRacer([](std::int32_t, std::int32_t second) {
        if (second >= 0)
            addGreyPalette(spriteInSlot(second));
    });
    if (spriteInSlot(kMenuBackgroundSprite))
        buildSpriteFrameCache(kMenuBackgroundSprite, kBackgroundFrame);
    if (ASprite* button = spriteInSlot(kMenuFrameSprite)) {
        buildCacheImages(button, 0, 0, -1, -1);
        button->freePixelData();
    }
}

// The menus' text and item fonts with their palettes, each unless loaded.
void loadPalettedFonts() {
    for (std::int32_t n : {kMenuTextFont, kMenuItemFont})
        if (!font(n))
            rt::ObjectArray::set(
                startupStatics().s_fonts, n,
                needed(loadSpriteWithPalettes(n, 15, 255, 1, 1), rt::constants::kFontPack, n, "font"));
}

void raceStep(std::int32_t next) {
    loadingStatics().s_raceStepRan = 1;
    loadStep(loadingStatics().s_loadingStep, next);
}

void loadingEnter() {
    stopMusic();
    if (ASprite* f = font(kMenuTextFont))
        updateLineHeight(f);
    setSoftKeys(kNoSoftKey, kNoSoftKey);
    initLoadingBar(stateStatics().s_loadKind);
    LoadingStatics& loading = loadingStatics();
    loading.s_barShown = 0;
    loading.s_promptShown = 1;
    loading.s_raceLoadFailed = 0;
    menuStatics().s_redraw = 1;
}

// After a failed race load the menus are in: the notice waits for a tap or
// a key, with its soft key, and then the main menu follows.
void answerFailureNotice(std::int32_t released, State next) {
    setSoftKeys(kContinueSoftKey, kNoSoftKey);
    if (released != kSelectKey && released != kFireKey && released != kLeftSoftKey && !isPressOnScreen())
        return;
    loadingStatics().s_raceLoadFailed = 0;
    setSoftKeys(kNoSoftKey, kNoSoftKey);
    backToState(next);
}

void loadingUpdate() {
    loadingStep();
    if (rt::exceptionPending() || !loadingStatics().s_loadingDone)
        return;
    const State next = stateStatics().s_loadingNextState;
    const bool failed = loadingStatics().s_raceLoadFailed != 0;
    if (!failed && (next == State::RewardScreen || next == State::Title || next == State::MainMenu ||
                    next == State::RaceMenu)) {
        backToState(next);
        return;
    }
    const std::int32_t shownFor = stateStatics().s_stateTime;
    loadingStatics().s_promptShown = static_cast<std::int8_t>((shownFor / kPromptHalfPeriodMs) % 2 == 0);
    const std::int32_t released = getReleasedKey();
    if (failed) {
        answerFailureNotice(released, next);
        return;
    }
    if (released != kSelectKey && released != kFireKey && !isPressOnScreen())
        return;
    if (next == State::TrackFlyover || next == State::RaceCountdown)
        startRace(next);
    backToState(next);
}

void drawLine(platform::javax_microedition_lcdui_Graphics* g, std::int32_t fontNumber, std::int32_t palette,
              rt::String* string, std::int32_t y) {
    ASprite* f = font(fontNumber);
    if (!f || !string)
        return;
    f->setCurrentPalette(palette);
    drawString(f, g, string, nullptr, config().s_gameScreenWidth / 2, y, kAnchorCentre, false);
}

// Loading text `text`, or text `fallback` of the loaded table when none was
// kept.
rt::String* loadingText(std::int32_t text, std::int32_t fallback = -1) {
    rt::ObjectArray* texts = loadingStatics().s_loadingTexts;
    rt::String* kept = texts && text < texts->length()
                           ? static_cast<rt::String*>(rt::ObjectArray::get(texts, text))
                           : nullptr;
    return kept || fallback < 0 ? kept : getString(fallback);
}

void drawText(platform::javax_microedition_lcdui_Graphics* g, std::int32_t fontNumber, std::int32_t palette,
              std::int32_t text, std::int32_t y) {
    drawLine(g, fontNumber, palette, loadingText(text), y);
}

// The title of the event being loaded; null when its slot has none.
rt::String* eventTitle() {
    const EventSlotStatics& slots = eventSlotStatics();
    rt::ObjectArray* titles = slots.s_eventTitle;
    if (!titles || slots.s_currentEvent < 0 || slots.s_currentEvent >= titles->length())
        return nullptr;
    rt::Object* title = rt::ObjectArray::get(titles, slots.s_currentEvent);
    return title && title->classId() == rt::ClassId::String ? static_cast<rt::String*>(title) : nullptr;
}

std::int32_t runningKind() {
    const std::int32_t flags = loadingStatics().s_loadingStyle;
    for (std::int32_t kind : {kLoadRace, kLoadNextRace, kLoadMenus})
        if (flags & kind)
            return kind;
    return 0;
}

// After a failed step: a race load gives way to the menus' load, which goes
// back to the main menu; the menus' load, and a load whose failure ended the
// run, stop there.
void abandonLoad(std::int32_t kind) {
    loadingStatics().s_stepFailed = 0;
    closeStream();
    if (kind == kLoadMenus || runEnding())
        return;
    setLoadingTarget(kLoadMenus, State::MainMenu);
    initLoadingBar(kLoadMenus);
    loadingStatics().s_raceLoadFailed = 1;
}

} // namespace

void failLoadStep(const std::string& resource, const std::string& why) {
    LoadingStatics& loading = loadingStatics();
    if (loading.s_stepFailed)
        return;
    loading.s_stepFailed = 1;
    const std::int32_t kind = runningKind();
    host::logf(host::LogCategory::Game, "load of kind %d abandoned at step %d: %s %s", kind,
               loadingStatics().s_loadingStep, resource.c_str(), why.c_str());
    if (kind == kLoadMenus || loading.s_raceFailureEndsRun)
        endRunWithBrokenData(resource, why);
}

LoadingStatics& loadingStatics() {
    return rt::getStaticClass().statics<LoadingStatics>();
}

// The kinds run in the order race, next race, menus: the total and the end
// value are those of the first kind that runs.
std::int32_t loadingBarHeight(std::int32_t style) {
    if (style & (kLoadRace | kLoadNextRace))
        return 40;
    return (style & kLoadMenus) ? 24 : 0;
}

std::int32_t loadingBarWidth(std::int32_t style) {
    if (style & (kLoadRace | kLoadNextRace))
        return 231;
    return (style & kLoadMenus) ? 182 : 0;
}

void initLoadingBar(std::int32_t style) {
    LoadingStatics& overlay = loadingStatics();
    overlay.s_loadingProgress = 0;
    overlay.s_loadingStep = 0;
    overlay.s_loadingSubStep = 0;
    overlay.s_loadingDone = 0;
    overlay.s_loadingStyle = style;
    overlay.s_loadingBarHeight = loadingBarHeight(style);
    overlay.s_loadingBarWidth = loadingBarWidth(style);
}

void startLoading(std::int32_t kind, State nextState) {
    setLoadingTarget(kind, nextState);
    pushState(State::Loading);
}

void loadingStep() {
    LoadingStatics& overlay = loadingStatics();
    if (overlay.s_loadingDone)
        return;
    const std::int32_t flags = overlay.s_loadingStyle;
    std::int32_t running = 0;
    if (flags & kLoadRace) {
        running = kLoadRace;
        raceStep(0);
    } else if (flags & kLoadNextRace) {
        running = kLoadNextRace;
        raceStep(1);
    } else if (flags & kLoadMenus) {
        running = kLoadMenus;
        loadMenuStep();
    } else {
        // Nothing asked: nothing to wait for.
        overlay.s_loadingDone = 1;
        return;
    }
    if (rt::exceptionPending()) {
        // A step that throws would throw again: it is not run twice.
        rt::clearPendingException();
        failLoadStep("loading step " + std::to_string(overlay.s_loadingStep), "left an exception pending");
    }
    if (loadingStatics().s_stepFailed) {
        abandonLoad(running);
        return;
    }
    overlay.s_loadingStep += 1;
    overlay.s_loadingProgress += 1;
    if (overlay.s_loadingStep < overlay.s_loadingBarHeight)
        return;
    overlay.s_loadingProgress = overlay.s_loadingBarWidth;
    overlay.s_loadingStyle = flags & ~running;
    if (overlay.s_loadingStyle & (kLoadRace | kLoadMenus | kLoadNextRace)) {
        overlay.s_loadingStep = 0;
        overlay.s_loadingBarHeight = loadingBarHeight(overlay.s_loadingStyle);
    } else {
        overlay.s_loadingDone = 1;
    }
}

void loadMenuStep() {
    loadingStatics().s_raceStepRan = 0;
    LoadingStatics& overlay = loadingStatics();
    const std::int32_t step = overlay.s_loadingStep;
    switch (step) {
    case 0:
        prepareRace(true);
        if (rt::exceptionPending())
            return;
        mapMenuDigits();
        startLoad(false);
        break;
    case 1:
        loadNeededTexts(kMenuTextEntry);
        loadStartupRaceData();
        break;
    case 2: {
        StartupStatics& startup = startupStatics();
        if (!startup.s_interfaceImages)
            startup.s_interfaceImages = rt::newObjectArray(kInterfaceImageCount);
        packOpen(constantString(rt::constants::kRaceImagePack));
        rt::ObjectArray::set(startup.s_interfaceImages, kBadgeImage, loadImageFromPack(kBadgeImage));
        closeStream();
        break;
    }
    case 3:
        markMenuSprites();
        break;
    case 4:
        walkMarkedSlots([](std::int32_t slot) {
            const ASprite* loaded = neededSprite(loadSpriteToTable(slot, 0), slot);
            if (const std::string lack = carSpriteShortfall(slot, loaded); !lack.empty())
                failLoadStep(packEntryName(rt::constants::kSpritePack, slot), lack);
        });
        break;
    case 5:
        if (ASprite* badge = spriteInSlot(kRacerBadgeSprite))
            for (std::int32_t f = kFirstRacerBadgeFrame; f < kDriverBadgeFrames; ++f)
                buildFrameCacheImages(badge, 0, f, -1);
        closeStream();
        break;
    case 6:
        walkMarkedSlots([](std::int32_t slot) {
            // A slot whose load failed was reported in its step.
            if (spriteInSlot(slot))
                buildSpriteCache(slot);
            rt::BoolArray::set(startupStatics().s_spriteLoadFlags, slot, 0);
        });
        break;
    case 7:
        makeGreyPalettes();
        break;
    case 8:
        forEachRacer([](std::int32_t first, std::int32_t) {
            if (first >= 0)
                unloadSprite(first);
        });
        break;
    case 10:
        packOpen(constantString(rt::constants::kFontPack));
        break;
    case 11:
        loadPalettedFonts();
        break;
    case 12:
        loadCharMap(2, 5);
        loadCharMap(1, 4);
        break;
    case 13:
    case 22:
        closeStream();
        break;
    case 14:
        packOpen(constantString(rt::constants::kSoundPack));
        break;
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        loadSounds(step - 15);
        break;
    case 23:
        seams().promotion.setup();
        break;
    default:
        break;
    }
}

void paintLoadingScreen(platform::javax_microedition_lcdui_Graphics* g) {
    if (!g)
        return;
    const LoadingStatics& loaded = loadingStatics();
    if (loaded.s_raceLoadFailed && loaded.s_loadingDone) {
        paintNotice(kRaceLoadFailedText, loaded.s_promptShown != 0);
        return;
    }
    const std::int32_t width = config().s_gameScreenWidth;
    const std::int32_t height = config().s_gameScreenHeight;
    g->setColor(kBackgroundColour);
    fillRect(g, 0, 0, width, height);
    const std::int32_t barX = (width - kBarWidth) / 2;
    const std::int32_t barY = height / 2;
    g->setColor(kBarFrameColour);
    fillRect(g, barX, barY, kBarWidth, kBarHeight);
    const std::int32_t innerWidth = kBarWidth - 2 * kBarBorder;
    g->setColor(kBarTrackColour);
    fillRect(g, barX + kBarBorder, barY + kBarBorder, innerWidth, kBarHeight - 2 * kBarBorder);
    // The bar follows the progress but never goes back and never past full.
    const LoadingStatics& overlay = loadingStatics();
    const std::int32_t end = overlay.s_loadingBarWidth;
    const std::int32_t progress = std::clamp(overlay.s_loadingProgress, 0, std::max(end, 0));
    const std::int32_t filled =
        end > 0 ? static_cast<std::int32_t>(static_cast<std::int64_t>(innerWidth) * progress / end) : 0;
    LoadingStatics& loading = loadingStatics();
    loading.s_barShown = std::max(loading.s_barShown, filled);
    g->setColor(kBarFillColour);
    fillRect(g, barX + kBarBorder, barY + kBarBorder, loading.s_barShown, kBarHeight - 2 * kBarBorder);
    drawText(g, kMenuItemFont, 1, 0, barY - 40);
    const bool race = (stateStatics().s_loadKind & (kLoadRace | kLoadNextRace)) != 0;
    if (race)
        drawLine(g, kMenuItemFont, 0, eventTitle(), barY - 90);
    if (!overlay.s_loadingDone)
        drawText(g, kMenuTextFont, 0, 1, barY + kBarHeight + 30);
    else if (loading.s_promptShown)
        drawLine(g, kMenuTextFont, 0, loadingText(kLoadingPrompt, kPromptText), barY + kBarHeight + 30);
}

void stateLoading(std::int32_t message) {
    switch (message) {
    case kEnter:
        loadingEnter();
        break;
    case kUpdate:
        loadingUpdate();
        break;
    case kPaint:
        paintLoadingScreen(loopStatics().s_graphics);
        menuStatics().s_redraw = 0;
        break;
    case kExit:
        stateStatics().s_loadKind = 0;
        collectAfterUnload();
        break;
    default:
        break;
    }
}

void registerLoadingState() {
    setStateHandler(State::Loading, stateLoading);
}

} // namespace game
