#include "game/frontend/StartupScreens.h"

#include "game/data/PackReader.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/data/TextPacks.h"
#include "game/framework/Anchors.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/MissingData.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/Blink.h"
#include "game/race/EventGoals.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteLoading.h"
#include "game/sprite/TextLayout.h"
#include "game/ui/ListZones.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "host/Log.h"
#include "platform/midlet/MIDlet.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

using rt::constants::kSpritePack;
constexpr std::int32_t kTitleSprites[] = {kTitleBackgroundSprite, kTitleLogoSprite};
constexpr std::int32_t kFontCount = 3;
// A font's character map follows the fonts in the font pack.
constexpr std::int32_t kCharMapEntry = 3;

// The splash's timetable, in ms of the state's time.
constexpr std::int32_t kSecondPictureAfter = 3000;
constexpr std::int32_t kTextsFrom = 6000;
constexpr std::int32_t kSecondTextFrom = 9000;
constexpr std::int32_t kSplashEnds = 11000;

constexpr std::int32_t kSplashLineHeight = 25;
constexpr std::int32_t kTextMargin = 20;

constexpr std::int32_t kNoTextId = 12;
constexpr std::int32_t kYesTextId = 11;
// Prompts blink half a second on, half off (fixed-point seconds).
constexpr std::int32_t kBlinkPeriod = 2048;

void playSound(std::int32_t sound) {
    requestSound(sound);
}

void startMenuLoad() {
    startLoading(kLoadMenus, State::Title);
}

rt::IntArray* yesNoTexts() {
    StartupScreenStatics& statics = startupScreenStatics();
    if (!statics.s_yesNoTexts) {
        statics.s_yesNoTexts = rt::newIntArray(2);
        rt::IntArray::set(statics.s_yesNoTexts, 0, kNoTextId);
        rt::IntArray::set(statics.s_yesNoTexts, 1, kYesTextId);
    }
    return statics.s_yesNoTexts;
}

// Opens the pack named by constant string `packConstant`; false when the
// data set does not name it or it cannot be opened (the pack reader has said
// why, once: no entry of it is asked for).
bool openNamedPack(std::int32_t packConstant) {
    rt::String* name = constantString(packConstant);
    if (!name) {
        host::logf(host::LogCategory::Game, "no pack named by constant string %d", packConstant);
        return false;
    }
    packOpen(name);
    if (packStatics().s_packHeaderRead != 0)
        return true;
    closeStream();
    return false;
}

// A resource of the front end that cannot be loaded: named once, and during
// start-up the end of the run as a broken data set.
void reportMissing(std::int32_t packConstant, std::int32_t entry, const char* what) {
    reportMissingData(constantString(packConstant), entry, what);
}

// Loads the sprites stored at entries `slots` of the sprite pack into the
// same slots of the sprite table. A pack that cannot be opened is reported
// at the first slot and nothing is loaded.
void loadFrontEndSprites(std::initializer_list<std::int32_t> slots) {
    if (!openNamedPack(kSpritePack)) {
        reportMissing(kSpritePack, *slots.begin(), "sprite");
        return;
    }
    for (std::int32_t slot : slots)
        if (!loadSpriteToTable(slot, 0))
            reportMissing(kSpritePack, slot, "sprite");
    closeStream();
}

// The font table's fonts, each with its character map, unless font 0 is
// loaded.
void loadFontTable() {
    rt::ObjectArray* fonts = startupStatics().s_fonts;
    if (!fonts || rt::ObjectArray::get(fonts, 0))
        return;
    if (!openNamedPack(rt::constants::kFontPack)) {
        reportMissing(rt::constants::kFontPack, 0, "font");
        return;
    }
    for (std::int32_t font = 0; font < kFontCount; ++font) {
        ASprite* sprite = loadSpritePlain(font, 0);
        if (!sprite) {
            reportMissing(rt::constants::kFontPack, font, "font");
            continue;
        }
        rt::Array::setRef(fonts, font, sprite);
        loadCharMap(font, kCharMapEntry + font);
    }
    closeStream();
}

// The question-box fields of a two-answer question titled `title`.
void setUpQuestion(std::int32_t title) {
    MenuStatics& menu = menuStatics();
    menu.s_questionAnswer = 0;
    menu.s_questionAnswerCount = 2;
    menu.s_questionTitleText = title;
    menu.s_questionSecondText = -1;
    menu.s_questionAnswerTexts = yesNoTexts();
    menu.s_questionPaintCount = 2;
    menu.s_redraw = 1;
    touchStatics().s_touchUsed = 0;
}

// The sound question's answer highlighted first: the player's last choice
// (answer 1 switches the sound on), else no.
std::int8_t firstSoundAnswer() {
    return savedSoundOption(false) ? 1 : 0;
}

// The left soft key's zone was tapped this frame.
bool leftSoftKeyTapped() {
    buildSoftKeyZones();
    rt::ObjectArray* zones = touchStatics().s_softKeyZones;
    return zones && isPressInRectArray(static_cast<rt::IntArray*>(rt::ObjectArray::get(zones, 0)));
}

void splashPaint() {
    std::int32_t time = stateStatics().s_stateTime;
    if (!mustRepaint() && time <= kSecondPictureAfter)
        return;
    if (time < kTextsFrom) {
        fillScreen(0xFFFFFF);
        paintSpriteFrame(kSplashSprite, time > kSecondPictureAfter ? kSplashPictureFrame : kStudioLogoFrame,
                         screenWidth() / 2, screenHeight() / 2);
    } else {
        fillScreen(0x000000);
        drawTextBlock(kMenuTextFont, 1, getString(time < kSecondTextFrom ? 9 : 10),
                      screenWidth() - kTextMargin, kSplashLineHeight, screenWidth() / 2, screenHeight() / 2,
                      kAnchorCentre);
    }
    menuStatics().s_redraw = 0;
}

void splashUpdate() {
    StartupStatics& startup = startupStatics();
    if (menuStatics().s_redraw == 0 && startup.s_startupLoaded == 0) {
        loadFrontEndResources();
        startup.s_startupLoaded = 1;
    }
    if (stateStatics().s_stateTime <= kSplashEnds || startup.s_startupLoaded == 0)
        return;
    if (startup.s_askSound == 0) {
        // Unasked, the sound is on unless the player has switched it off.
        const bool on = savedSoundOption(true);
        startupScreenStatics().s_soundAnswer = on ? 1 : 0;
        setSoundOption(on);
        startMenuLoad();
    } else {
        pushState(State::SoundQuestion);
    }
}

void soundPromptEnter() {
    updateLineHeight(loadedFont(kMenuTextFont));
    loadNeededTexts(kMenuTextEntry);
    setUpQuestion(9);
    setSoftKeys(1, -1);
    if (!spriteAt(kMenuBackgroundSprite))
        loadFrontEndSprites({kMenuBackgroundSprite});
    startupScreenStatics().s_soundAnswer = firstSoundAnswer();
}

void soundPromptUpdate() {
    StartupScreenStatics& statics = startupScreenStatics();
    MenuStatics& menu = menuStatics();
    // A tap that settled the question has sent the game on: the keys of
    // the same frame must not send it a second time.
    if (touchSoundPrompt())
        return;
    std::int32_t key = getReleasedKey();
    if (menu.s_fullRepaint != 0)
        statics.s_soundAnswer = firstSoundAnswer();
    if (key == kUpKey || key == kDownKey) {
        statics.s_soundAnswer = statics.s_soundAnswer != 0 ? 0 : 1;
        menu.s_redraw = 1;
    } else if (key == kLeftSoftKey || key == kFireKey || key == kSelectKey || leftSoftKeyTapped()) {
        setSoundOption(statics.s_soundAnswer != 0);
        playSound(kChooseSound);
        startMenuLoad();
    }
    menu.s_questionAnswer = statics.s_soundAnswer;
}

void titleEnter() {
    restartBlink();
    menuStatics().s_redraw = 1;
    setSoftKeys(-1, -1);
    playSound(kMenuMusic);
    (void)saveProgress();
}

void titleUpdate() {
    if (advanceBlink())
        menuStatics().s_redraw = 1;
    std::int32_t key = getReleasedKey();
    if (key == kFireKey || key == kSelectKey || isPressOnScreen())
        pushState(State::MainMenu);
}

void titlePaint() {
    if (menuStatics().s_redraw == 0)
        return;
    for (std::int32_t sprite : kTitleSprites)
        paintSpriteFrame(sprite, kTitlePictureFrame, 0, 0);
    if (startupScreenStatics().s_blinkVisible != 0)
        drawTextBlock(kMenuItemFont, 2, getString(kPromptText), screenWidth(), 0, screenWidth() / 2,
                      screenHeight() - 36, kAnchorTopCentre);
    menuStatics().s_redraw = 0;
}

// States 10 and 45 share everything but their title, their choice and a
// part of their picture.
void questionEnter(std::int32_t title) {
    setUpQuestion(title);
    setSoftKeys(1, 2);
    setList(2, buildListZones(yesNoTexts()));
}

void questionRefresh() {
    MenuStatics& menu = menuStatics();
    menu.s_redraw = 1;
    menu.s_questionAnswer = 0;
}

void questionPaint(bool withHeader) {
    if (!mustRepaint())
        return;
    std::int32_t w = screenWidth();
    std::int32_t h = screenHeight();
    paintBackgroundPicture();
    if (withHeader) {
        paintScreenHeader();
        drawMenuText(kMenuTextFont, 1, getString(270), w / 2, 90, kAnchorCentre);
    }
    paintSpriteFrame(kMenuFrameSprite, kMenuBarFrame, w / 2, h - kMenuBarHeight);
    paintQuestionBox(menuStatics().s_questionAnswer, w / 2, h / 2);
    menuStatics().s_redraw = 0;
}

// The messages every question state handles alike; answers whether it was one.
bool questionMessage(std::int32_t message) {
    switch (message) {
    case kResume:
    case kPause:
        questionRefresh();
        return true;
    case kUpdate:
        if (menuStatics().s_fullRepaint != 0) {
            questionRefresh();
            menuStatics().s_fullRepaint = 0;
        }
        return false;
    default:
        return false;
    }
}

} // namespace

bool readAppPropertyFlag() {
    bool ask = true;
    if (platform::javax_microedition_midlet_MIDlet* midlet = loopStatics().s_midlet) {
        rt::String* value = midlet->getAppProperty(constantString(rt::constants::kSoundQuestionProperty));
        rt::String* skip = constantString(rt::constants::kZeroDigit);
        if (value && skip && value->trim()->compareTo(skip) == 0)
            ask = false;
    }
    startupStatics().s_askSound = ask ? 1 : 0;
    return ask;
}

StartupScreenStatics& startupScreenStatics() {
    return rt::getStaticClass().statics<StartupScreenStatics>();
}

void restartBlink() {
    startBlink(kBlinkPeriod);
    startupScreenStatics().s_blinkVisible = isBlinkOn() ? 1 : 0;
}

bool advanceBlink() {
    (void)advanceBlinkTimer((loopStatics().s_frameMs << 12) / 1000);
    std::int8_t visible = isBlinkOn() ? 1 : 0;
    StartupScreenStatics& statics = startupScreenStatics();
    if (visible == statics.s_blinkVisible)
        return false;
    statics.s_blinkVisible = visible;
    return true;
}

void loadFrontEndResources() {
    if (!spriteAt(kMenuHeaderSprite) || !spriteAt(kQuestionBoxSprite) || !spriteAt(kMenuHighlightSprite))
        loadFrontEndSprites(
            {kMenuHeaderSprite, kQuestionBoxSprite, kMenuItemSprite, kMenuHighlightSprite, kMenuArrowSprite});
    if (!loadFrontEndTexts())
        reportMissingData(startupStatics().s_textPackName, 0, "text table");
    loadFontTable();
}

bool touchSoundPrompt() {
    StartupScreenStatics& statics = startupScreenStatics();
    if (!statics.s_soundZones)
        statics.s_soundZones = buildListZones(yesNoTexts());
    for (std::int32_t i = 0; i < statics.s_soundZones->length(); ++i) {
        auto* zone = static_cast<rt::IntArray*>(rt::ObjectArray::get(statics.s_soundZones, i));
        if (isPointerInRectArray(zone) && statics.s_soundAnswer != i) {
            statics.s_soundAnswer = static_cast<std::int8_t>(i);
            menuStatics().s_redraw = 1;
        }
        if (isPressInRectArray(zone)) {
            statics.s_soundAnswer = static_cast<std::int8_t>(i);
            setSoundOption(i != 0);
            startMenuLoad();
            return true;
        }
    }
    return false;
}

void stateSplash(std::int32_t message) {
    switch (message) {
    case kEnter:
        loadFrontEndSprites({kSplashSprite});
        startupStatics().s_askSound = readAppPropertyFlag() ? 1 : 0;
        menuStatics().s_redraw = 1;
        startupStatics().s_startupLoaded = 0;
        setSoftKeys(-1, -1);
        break;
    case kUpdate:
        splashUpdate();
        break;
    case kPaint:
        splashPaint();
        break;
    case kExit:
        unloadSprite(kSplashSprite);
        break;
    default:
        break;
    }
}

void stateSoundPrompt(std::int32_t message) {
    switch (message) {
    case kEnter:
        soundPromptEnter();
        break;
    case kUpdate:
        soundPromptUpdate();
        break;
    case kPaint:
        if (!mustRepaint())
            break;
        paintBackgroundPicture();
        paintQuestionBox(startupScreenStatics().s_soundAnswer, screenWidth() / 2, screenHeight() / 2);
        menuStatics().s_redraw = 0;
        break;
    default:
        break;
    }
}

void stateTitle(std::int32_t message) {
    switch (message) {
    case kEnter:
        titleEnter();
        break;
    case kUpdate:
        titleUpdate();
        break;
    case kPaint:
        titlePaint();
        break;
    default:
        break;
    }
}

void stateConfirm(std::int32_t message) {
    if (questionMessage(message))
        return;
    switch (message) {
    case kEnter:
        questionEnter(25);
        menuStatics().s_titleText = getString(16);
        break;
    case kUpdate:
        if (!handleQuestionInput(kMenuChooseFlags, kMenuChooseFlags))
            break;
        if (menuStatics().s_questionAnswer == 1) {
            resetUnlocks();
            (void)saveRecordB();
            (void)saveRecordA();
            (void)saveProgress();
        }
        popState();
        break;
    case kPaint:
        questionPaint(true);
        break;
    default:
        break;
    }
}

void stateStartQuestion(std::int32_t message) {
    if (questionMessage(message))
        return;
    switch (message) {
    case kEnter:
        questionEnter(26);
        break;
    case kUpdate:
        if (!handleQuestionInput(kMenuChooseFlags, kMenuChooseFlags))
            break;
        popState();
        setProgressFlagC(kStartQuestionAnsweredBit);
        (void)saveProgress();
        if (menuStatics().s_questionAnswer == 1) {
            setupMode6Event();
            startLoading(kLoadRace, State::RaceCountdown);
        } else {
            backToState(State::RaceMenu);
        }
        break;
    case kPaint:
        questionPaint(false);
        break;
    default:
        break;
    }
}

void registerStartupScreens() {
    setStateHandler(State::Splash, stateSplash);
    setStateHandler(State::SoundQuestion, stateSoundPrompt);
    setStateHandler(State::Title, stateTitle);
    setStateHandler(State::ResetQuestion, stateConfirm);
    setStateHandler(State::StartQuestion, stateStartQuestion);
}

} // namespace game
