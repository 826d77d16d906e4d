#include "game/promo/PromoScreen.h"

#include "classlib/lang/System.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/promo/PromoData.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoPaint.h"
#include "host/Log.h"
#include "platform/io/RecordStore.h"
#include "platform/lcdui/Command.h"
#include "platform/midlet/MIDlet.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/Thread.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

using namespace rt::constants;

// The text shown while the screen loads, and the main menu it returns to.
constexpr std::int32_t kLoadingText = 149;
// Game keys: directions, fire, the two soft keys.
constexpr std::int32_t kKeyUp = 1;
constexpr std::int32_t kKeyDown = 2;
constexpr std::int32_t kKeyLeft = 3;
constexpr std::int32_t kKeyRight = 4;
constexpr std::int32_t kKeyFire = 5;
constexpr std::int32_t kKeyLeftSoft = 18;
constexpr std::int32_t kKeyRightSoft = 19;

// The digit keys '2', '4', '6', '8', '5' and their game keys on this screen
// and in the menus.
constexpr std::int32_t kDigitKeys[] = {'2', '4', '6', '8', '5'};
constexpr std::int32_t kScreenKeys[] = {kKeyUp, kKeyLeft, kKeyRight, kKeyDown, kKeyFire};
constexpr std::int32_t kMenuKeys[] = {8, 10, 12, 14, 11};

void mapDigits(const std::int32_t (&gameKeys)[5]) {
    for (std::size_t i = 0; i < std::size(kDigitKeys); ++i)
        mapKey(0, kDigitKeys[i], gameKeys[i]);
}

std::int32_t actionOfKey(std::int32_t key) {
    switch (key) {
    case kKeyUp:
        return kPromoUp;
    case kKeyDown:
        return kPromoDown;
    case kKeyLeft:
        return kPromoPrevious;
    case kKeyRight:
        return kPromoNext;
    case kKeyFire:
    case kKeyLeftSoft:
        return kPromoSelect;
    case kKeyRightSoft:
        return kPromoBack;
    default:
        return 0;
    }
}

} // namespace

void* Ovix::getInterface(rt::ClassId interfaceId) {
    if (interfaceId == rt::java_lang_Runnable::kInterfaceId)
        return static_cast<rt::java_lang_Runnable*>(this);
    return nullptr;
}

void Ovix::run() {
    PromoScreenStatics& screen = promoScreenStatics();
    rt::java_lang_Thread* self = rt::java_lang_Thread::currentThread();
    for (;;) {
        rt::String* address = nullptr;
        {
            rt::MonitorScope lock(screen.s_lock);
            // Deciding to end and clearing the worker go together, so that a
            // visit starting now makes a new worker rather than count on this one.
            if (!screen.s_running.load() || screen.s_worker != self) {
                if (screen.s_worker == self)
                    screen.s_worker = nullptr;
                return;
            }
            address = screen.s_pendingAddress;
            screen.s_pendingAddress = nullptr;
        }
        if (address)
            promo::openLink(address);
        // A wait on the lock rather than a sleep, so that `stopWorker` wakes
        // the worker at once when the game ends.
        {
            rt::MonitorScope lock(screen.s_lock);
            if (screen.s_running.load())
                rt::Object::wait(screen.s_lock, promo::kWorkerPeriod);
        }
        if (rt::exceptionPending() && !rt::catchException(rt::ClassId::java_lang_Exception))
            return;
    }
}

void statePromotion(std::int32_t message) {
    switch (message) {
    case 0: {
        stopMusic();
        touchStatics().s_leftSoftKey = -1;
        touchStatics().s_rightSoftKey = -1;
        mapDigits(kScreenKeys);
        progressStatics().s_promotionPending = 0;
        (void)saveProgress();
        promo::enter(getString(kLoadingText), 0);
        break;
    }
    case 1:
        if (promo::update(actionOfKey(getReleasedKey())) == 1)
            backToState(State::MainMenu);
        break;
    case 2:
        promo::paint(loopStatics().s_graphics);
        break;
    case 3:
        mapDigits(kMenuKeys);
        break;
    case 4:
        promo::setPaused(false);
        break;
    case 5:
        promo::setPaused(true);
        break;
    default:
        break;
    }
}

} // namespace game

namespace game::promo {

namespace {

using namespace rt::constants;

PromoState state() {
    return static_cast<PromoState>(promoScreenStatics().s_state.load());
}

void setState(PromoState next) {
    promoScreenStatics().s_state.store(static_cast<std::int32_t>(next));
}

rt::Object* ensureLock() {
    PromoScreenStatics& screen = promoScreenStatics();
    if (!screen.s_lock)
        screen.s_lock = rt::make<rt::Object>(rt::ClassId::Object);
    return screen.s_lock;
}

// Makes sure one worker runs: a live worker that has not decided to end is
// kept; else a new one starts.
void ensureWorker() {
    PromoScreenStatics& screen = promoScreenStatics();
    rt::MonitorScope lock(ensureLock());
    screen.s_running.store(1);
    if (screen.s_worker)
        return;
    auto* thread = rt::make<rt::java_lang_Thread>(rt::make<Ovix>());
    screen.s_worker = thread;
    if (thread->start() < 0) {
        host::logf(host::LogCategory::Game, "promotion: the worker thread could not start");
        screen.s_worker = nullptr;
    }
}

void stepPage(std::int32_t direction) {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    if (promo.s_pageCount <= 0)
        return;
    std::int32_t page = screen.s_page;
    for (std::int32_t tries = 0; tries < promo.s_pageCount; ++tries) {
        page = (page + direction + promo.s_pageCount) % promo.s_pageCount;
        if (rt::ByteArray::get(promo.s_pageAvailable, page) != 0)
            break;
    }
    screen.s_page = page;
}

void browse(std::int32_t action) {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    switch (action) {
    case kPromoUp:
        if (screen.s_listMode && screen.s_listSelection >= 1) {
            screen.s_listSelection -= 1;
            if (screen.s_listSelection < screen.s_listTop)
                screen.s_listTop -= 1;
        }
        break;
    case kPromoDown:
        if (screen.s_listMode && screen.s_listSelection < screen.s_listRowCount - 1) {
            screen.s_listSelection += 1;
            if (screen.s_listSelection - screen.s_listTop >= screen.s_listVisibleRows)
                screen.s_listTop += 1;
        }
        break;
    case kPromoPrevious:
        if (promo.s_availablePageCount >= 2) {
            stepPage(-1);
            screen.s_prevArrowFlash = 1;
            screen.s_listTop = screen.s_listSelection = 0;
            selectPage();
        }
        break;
    case kPromoNext:
        if (promo.s_availablePageCount >= 2) {
            // While the previous-page arrow still shows its press, the page stays.
            if (!screen.s_prevArrowFlash) {
                stepPage(1);
                screen.s_nextArrowFlash = 1;
            }
            screen.s_listTop = screen.s_listSelection = 0;
            selectPage();
        }
        break;
    case kPromoSelect:
    case kPromoLinkButton:
        screen.s_addressStored = 0;
        setState(PromoState::Choosing);
        break;
    case kPromoBack:
        setState(PromoState::Leaving);
        break;
    default:
        break;
    }
}

// The chosen address with the language code put in when the base asks for it.
rt::String* chosenAddress() {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    rt::Object* address = nullptr;
    if (screen.s_listMode) {
        auto* links = static_cast<rt::ObjectArray*>(
            screen.s_listIndex >= 0 && screen.s_listIndex < arrayLength(promo.s_listLinks)
                ? rt::ObjectArray::get(promo.s_listLinks, screen.s_listIndex)
                : nullptr);
        if (screen.s_listSelection >= 0 && screen.s_listSelection < arrayLength(links))
            address = rt::ObjectArray::get(links, screen.s_listSelection);
    } else if (screen.s_page >= 0 && screen.s_page < arrayLength(promo.s_pageLinks)) {
        address = rt::ObjectArray::get(promo.s_pageLinks, screen.s_page);
    }
    auto* text = static_cast<rt::String*>(address);
    if (!text || text->length() == 0)
        return nullptr;
    if (!promo.s_langInAddress || screen.s_langIndex >= arrayLength(promo.s_langCodes))
        return text;
    std::u16string code =
        unitsOf(static_cast<rt::String*>(rt::ObjectArray::get(promo.s_langCodes, screen.s_langIndex)))
            .value_or(u"");
    return makeString(putLanguage(unitsOf(text).value_or(u""),
                                  unitsOf(constant(kPromoLanguageParameter)).value_or(u""), code));
}

void choose() {
    PromoScreenStatics& screen = promoScreenStatics();
    if (screen.s_addressStored)
        return;
    rt::String* address = chosenAddress();
    if (!address) {
        // Nothing to hand over: choosing would never end.
        host::logf(host::LogCategory::Game, "promotion: the chosen page has no address");
        setState(PromoState::Browsing);
        return;
    }
    rt::MonitorScope lock(ensureLock());
    screen.s_pendingAddress = address;
    screen.s_addressStored = 1;
}

} // namespace

void resetInput() {
    PromoScreenStatics& screen = promoScreenStatics();
    screen.s_action = 0;
    screen.s_pressedAction = 0;
    screen.s_touchReleasing = 0;
    screen.s_touchActionPending = 1;
}

void enter(rt::String* text, std::int32_t langIndex) {
    resetInput();
    start(text, langIndex);
    promoScreenStatics().s_loadStepCount = promoStatics().s_pageCount + 4;
    noteVisit();
    promoScreenStatics().s_page = firstAvailablePage();
}

void start(rt::String* text, std::int32_t langIndex) {
    PromoScreenStatics& screen = promoScreenStatics();
    if (langIndex < 0 || langIndex >= arrayLength(promoStatics().s_langCodes))
        return;
    screen.s_loadStep = -1;
    screen.s_stateBeforePause = -1;
    screen.s_langIndex = langIndex;
    screen.s_callerText = text;
    setState(PromoState::Loading);
    screen.s_page = 0;
    screen.s_listTop = 0;
    screen.s_listSelection = 0;
    screen.s_textLineWidths = rt::newIntArray(kPromoLineWidthSlots);
    screen.s_softKeysShown = 0;
    screen.s_softKeyIconsShown = 0;
    screen.s_addressStored = 0;
    {
        rt::MonitorScope lock(ensureLock());
        screen.s_pendingAddress = nullptr;
    }
    ensureWorker();
}

std::int32_t update(std::int32_t action) {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    if (!promo.s_enabled)
        return 1;
    if (screen.s_touchActionPending)
        screen.s_touchActionPending = 0;
    else
        screen.s_action = action;
    switch (state()) {
    case PromoState::Loading:
        if (screen.s_loadStep < screen.s_loadStepCount) {
            loadResources(screen.s_loadStep);
        } else {
            layoutTexts();
            setState(PromoState::Browsing);
            selectPage();
        }
        screen.s_loadStep += 1;
        break;
    case PromoState::Browsing:
        if (screen.s_action >= kPromoUp && screen.s_action <= kPromoDown)
            browse(screen.s_action);
        break;
    case PromoState::Leaving:
        freeResources(true);
        if (promo.s_useCommands)
            removeCommands();
        screen.s_running.store(0);
        return 1;
    case PromoState::Paused:
        break;
    case PromoState::Choosing:
        choose();
        break;
    }
    return 0;
}

void setPaused(bool pause) {
    PromoScreenStatics& screen = promoScreenStatics();
    if (pause) {
        if (state() == PromoState::Loading) {
            screen.s_stateBeforePause = 0;
            setState(PromoState::Paused);
        }
        resetInput();
        return;
    }
    if (state() == PromoState::Paused) {
        screen.s_loadStep = -1;
        screen.s_state.store(screen.s_stateBeforePause);
    }
}

void selectPage() {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    std::int32_t page = screen.s_page;
    screen.s_listTop = screen.s_listSelection = screen.s_listRowCount = 0;
    screen.s_listMode = 0;
    rt::String* address = page >= 0 && page < arrayLength(promo.s_pageLinks)
                              ? static_cast<rt::String*>(rt::ObjectArray::get(promo.s_pageLinks, page))
                              : nullptr;
    bool hasAddress =
        address && address->length() > 0 && unitsOf(address) != unitsOf(constant(kPromoNoneWord));
    screen.s_hasLinkButton = hasAddress || page == promo.s_portalPage || page == promo.s_extraPage ? 1 : 0;
    bool regularPage = page >= 0 && page < arrayLength(promo.s_pageKinds) &&
                       rt::IntArray::get(promo.s_pageKinds, page) == kPromoKindRegular;
    screen.s_linkButtonText = promo.s_fixedTextBase + (regularPage ? 10 : 9);
    // The page's text: a regular page's own, else the text before the fixed ones.
    screen.s_pageTextIndex = page < promo.s_regularPageCount ? page : promo.s_fixedTextBase;
    if (page == promo.s_listPage0 || page == promo.s_listPage1) {
        screen.s_listMode = 1;
        screen.s_listIndex = page == promo.s_listPage0 ? 0 : 1;
        screen.s_listRowCount = rt::IntArray::get(promo.s_listRowCounts, screen.s_listIndex);
        screen.s_listVisibleRows = screen.s_listRowCount;
    }
}

void freeResources(bool all) {
    PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    screen.s_listRowImages = nullptr;
    screen.s_pageImages = nullptr;
    if (all) {
        closeDataFile();
        promo.s_glyphTable = nullptr;
        screen.s_screenImages = nullptr;
        screen.s_fontImages = nullptr;
        screen.s_languageImage = nullptr;
        screen.s_languageExtraImage = nullptr;
        screen.s_texts = nullptr;
        screen.s_textEnds = nullptr;
        screen.s_textLineWidths = nullptr;
        screen.s_callerText = nullptr;
    }
    lib::java_lang_System::gc();
}

void noteVisit() {
    rt::String* name = constant(kPromoVisitStore);
    platform::javax_microedition_rms_RecordStore* store =
        platform::javax_microedition_rms_RecordStore::openRecordStore(name, false);
    if (rt::catchException(rt::ClassId::java_lang_Exception) || !store) {
        store = platform::javax_microedition_rms_RecordStore::openRecordStore(name, true);
        if (rt::catchException(rt::ClassId::java_lang_Exception))
            store = nullptr;
    }
    if (!store)
        return;
    store->closeRecordStore();
    rt::catchException(rt::ClassId::java_lang_Exception);
}

void openLink(rt::String* address) {
    if (!address || address->length() == 0)
        return;
    platform::javax_microedition_midlet_MIDlet* midlet = promoStatics().s_midlet;
    if (midlet) {
        midlet->platformRequest(address);
        rt::catchException(rt::ClassId::java_lang_Exception);
    }
    rt::java_lang_Thread::sleep(kHandOverWait);
    rt::catchException(rt::ClassId::java_lang_Exception);
    setState(PromoState::Browsing);
    if (midlet)
        midlet->notifyDestroyed();
}

void removeCommands() {
    PromoScreenStatics& screen = promoScreenStatics();
    screen.s_backCommand = nullptr;
    screen.s_selectCommand = nullptr;
}

void stopWorker() {
    PromoScreenStatics& screen = promoScreenStatics();
    if (!screen.s_lock)
        return;
    rt::MonitorScope lock(screen.s_lock);
    screen.s_running.store(0);
    rt::Object::notifyAll(screen.s_lock);
}

void touchPressed(std::int32_t action) {
    PromoScreenStatics& screen = promoScreenStatics();
    screen.s_touchReleasing = 0;
    if (action == 0)
        return;
    screen.s_pressedAction = action;
    if (screen.s_listMode)
        screen.s_pressedRow = screen.s_listSelection;
}

void touchReleased() {
    PromoScreenStatics& screen = promoScreenStatics();
    screen.s_pressedAction = 0;
    screen.s_touchReleasing = 1;
}

void touchHovered(std::int32_t action) {
    PromoScreenStatics& screen = promoScreenStatics();
    if (screen.s_touchReleasing) {
        // The action under a release works in the next update.
        screen.s_touchReleasing = 0;
        screen.s_action = action;
        screen.s_touchActionPending = 1;
        return;
    }
    // A drag moves the press onto what is under the stylus now.
    screen.s_action = 0;
    screen.s_pressedAction = 0;
    touchPressed(action);
}

} // namespace game::promo
