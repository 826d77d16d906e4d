#include "game/frontend/ListScreens.h"

#include "game/data/Progress.h"
#include "game/framework/Anchors.h"
#include "game/framework/CarFrames.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/GameRandom.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SelectionZones.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"

#include <algorithm>
#include <iterator>

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kListTitle = 32;
constexpr std::int32_t kReferenceTitle = 34;
constexpr std::int32_t kBorder = 2;
constexpr std::int32_t kGridLayer = static_cast<std::int32_t>(0xCC000000u);
constexpr std::int32_t kReferenceLayer = static_cast<std::int32_t>(0xAA000000u);
// A racer definition's fields the list shows: its sprite set, its three
// values (gauges, in percent) and its name text.
constexpr std::int32_t kSpriteSetField = 1;
constexpr std::int32_t kFirstValueField = 2;
constexpr std::int32_t kNameField = 5;
// The detail column right of the grid.
constexpr std::int32_t kDetailX = 500;
constexpr std::int32_t kTextFont = 2;
constexpr std::int32_t kUnlockedFlags = kMenuMove | kMenuChoose | kMenuBack;
constexpr std::int32_t kLockedFlags = kMenuMove | kMenuBack;
constexpr std::int32_t kBrowseOnly = kMenuMove | kMenuBack;

// Frame `frame` of sprite `slot` when the sprite has it.
void paintFrameIfPresent(std::int32_t slot, std::int32_t frame, std::int32_t x, std::int32_t y) {
    if (frame >= 0 && frame < spriteFrameCount(slot))
        paintSpriteFrame(slot, frame, x, y);
}

bool racerUnlocked(std::int32_t entry) {
    return entry >= 0 && entry < 32 && hasProgressFlagA(entry);
}

rt::IntArray* racerDefinition(std::int32_t entry) {
    rt::ObjectArray* definitions = racerStatics().s_racerDefinitions;
    const std::int32_t row = getRecordShort(entry, 0);
    if (!definitions || row < 0 || row >= definitions->length())
        return nullptr;
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(definitions, row));
}

void racerListEnter() {
    resetMenu(racerListCount());
    std::int32_t& selection = touchStatics().s_selection;
    const std::int32_t remembered = rememberedSelection(State::RacerList);
    selection = remembered >= 0 && remembered < racerListCount() ? remembered : 0;
    menuStatics().s_titleText = getString(kListTitle);
    // The help line names the highlighted racer.
    rt::IntArray* names = rt::newIntArray(racerListCount());
    for (std::int32_t entry = 0; entry < names->length(); ++entry) {
        rt::IntArray* definition = racerDefinition(entry);
        rt::IntArray::set(names, entry, definition ? rt::IntArray::get(definition, kNameField) : -1);
    }
    setHelpTexts(names);
    setSoftKeys(1, 2);
    menuStatics().s_redraw = 1;
}

void chooseRacer(std::int32_t entry) {
    racerStatics().s_playerRacerId = entry;
    listScreenStatics().s_commentText = kFirstCommentText + getRandom(0, kCommentTexts);
    pushState(raceResultsStatics().s_championship ? State::CupSelect : State::PreRaceSelect);
}

void racerListUpdate() {
    const std::int32_t before = touchStatics().s_selection;
    const bool tapped = touchListScreen(kRacerBadgeSprite);
    const bool unlocked = racerUnlocked(touchStatics().s_selection);
    setSoftKeys(unlocked ? 1 : -1, 2);
    const std::int32_t flags = unlocked ? kUnlockedFlags : kLockedFlags;
    const bool chosen = handleMenuInput(1, -1, flags, flags, true);
    if (stateStatics().s_stateChangePending)
        return; // back
    if ((tapped || chosen) && racerUnlocked(touchStatics().s_selection)) {
        chooseRacer(touchStatics().s_selection);
        return;
    }
    if (touchStatics().s_selection != before)
        menuStatics().s_redraw = 1;
}

void paintRacerGrid(Graphics* g) {
    const std::int32_t count = racerListCount();
    const std::int32_t selection = touchStatics().s_selection;
    const std::int32_t w = config().s_gameScreenWidth;
    const std::int32_t h = config().s_gameScreenHeight;
    setFillColor(kGridLayer);
    fillRectAlpha(g, 0, 0, w, h);
    for (std::int32_t entry = 0; entry < count; ++entry) {
        const std::int32_t x = kRacerCellX + kRacerCellStepX * (entry % kRacerGridColumns);
        const std::int32_t y = kRacerCellY + kRacerCellStepY * (entry / kRacerGridColumns);
        g->setColor(0);
        for (std::int32_t i = 1; i <= kBorder; ++i)
            g->drawRect(x - i, y - i, kRacerCellSize + 2 * i - 1, kRacerCellSize + 2 * i - 1);
        if (entry == selection) {
            g->setColor(kHighlightCellColour);
            fillRect(g, x, y, kRacerCellSize, kRacerCellSize);
        }
        paintFrameIfPresent(kRacerBadgeSprite, entry, x, y);
        if (!racerUnlocked(entry)) {
            setFillColor(kLockedCellCover);
            fillRectAlpha(g, x, y, kRacerCellSize, kRacerCellSize);
        }
    }
    rt::IntArray* definition = racerDefinition(selection);
    if (!definition)
        return;
    paintSpriteFrame(kMenuFrameSprite, kNamePlateFrame, kDetailX, kRacerCellY);
    drawMenuText(kTextFont, 0, getString(rt::IntArray::get(definition, kNameField)), kDetailX, kRacerCellY,
                 kAnchorTopCentre);
    const std::int32_t car = rt::IntArray::get(definition, kSpriteSetField);
    paintFrameIfPresent(car, kFullLeftCarFrame, kDetailX - spriteFrameWidth(car, kFullLeftCarFrame) / 2,
                        kRacerCellY + 40);
    rt::IntArray* labels = rt::newIntArray(3);
    rt::IntArray* values = rt::newIntArray(3);
    for (std::int32_t i = 0; i < 3; ++i) {
        rt::IntArray::set(labels, i, -1);
        rt::IntArray::set(values, i, rt::IntArray::get(definition, kFirstValueField + i));
    }
    paintGaugePanel(kDetailX - 50, kRacerCellY + 160, labels, values);
}

void racerListPaint() {
    Graphics* g = loopStatics().s_graphics;
    if (!mustRepaint() || !g)
        return;
    paintBackgroundPicture();
    paintRacerGrid(g);
    paintScreenHeader();
    paintHelpLine();
    menuStatics().s_redraw = 0;
}

void referenceEnter() {
    resetMenu(kReferenceEntries);
    menuStatics().s_titleText = getString(kReferenceTitle);
    setHelpTexts(nullptr);
    setSoftKeys(-1, 2);
    menuStatics().s_redraw = 1;
}

void referenceUpdate() {
    const std::int32_t before = touchStatics().s_selection;
    // The menu input's touch test takes the stylus on these arrows
    // (`touchOptionArrows`), which step the selection on this screen.
    buildScreenZones();
    (void)handleMenuInput(1, -1, kBrowseOnly, kBrowseOnly, true);
    if (touchStatics().s_selection != before)
        menuStatics().s_redraw = 1;
}

void referencePaint() {
    Graphics* g = loopStatics().s_graphics;
    if (!mustRepaint() || !g)
        return;
    const std::int32_t w = config().s_gameScreenWidth;
    const std::int32_t h = config().s_gameScreenHeight;
    paintSpriteFrame(kMenuBackgroundSprite, kBackgroundFrame, 0, 0);
    setFillColor(kReferenceLayer);
    fillRectAlpha(g, 0, 0, w, h);
    paintScreenHeader();
    const std::int32_t entry = std::clamp(touchStatics().s_selection, 0, kReferenceEntries - 1);
    const std::int32_t title = (entry + kReferenceTitleBase) * 2;
    const std::int32_t body = title + 1;
    setClip(g, 0, kReferenceClipY, w, kReferenceClipHeight);
    drawMenuText(kTextFont, 1, getString(title), w / 2, kReferenceClipY, kAnchorTopCentre);
    std::int32_t textX = 60;
    const std::int32_t picture = referencePictureFrame(body);
    if (picture >= 0) {
        paintFrameIfPresent(kReferencePictureSprite, picture, textX, kReferenceClipY + 40);
        textX += spriteFrameWidth(kReferencePictureSprite, picture) + 20;
    }
    drawTextBlock(kTextFont, 0, getString(body), w - textX - 60, 0, textX, kReferenceClipY + 40,
                  kAnchorTopLeft);
    setClip(g, 0, 0, w, h);
    // The menu touch drops the zones after its test; the arrows stay.
    paintOptionArrows(buildScreenZones());
    paintHelpLine();
    menuStatics().s_redraw = 0;
}

} // namespace

ListScreenStatics& listScreenStatics() {
    return rt::getStaticClass().statics<ListScreenStatics>();
}

std::int32_t racerListCount() {
    rt::ShortArray* counts = raceTableStatics().s_racerBlockSizes;
    if (!counts || counts->length() == 0)
        return 0;
    return std::max<std::int32_t>(0, rt::ShortArray::get(counts, counts->length() - 1));
}

std::int32_t referencePictureFrame(std::int32_t body) {
    const std::int32_t step = body - kFirstPicturedBody;
    if (step < 0 || step % 2 != 0 || step / 2 >= static_cast<std::int32_t>(std::size(kPicturedBodyFrames)))
        return -1;
    return kPicturedBodyFrames[step / 2];
}

void stateRacerList(std::int32_t message) {
    switch (message) {
    case kEnter:
        racerListEnter();
        break;
    case kUpdate:
        racerListUpdate();
        break;
    case kPaint:
        racerListPaint();
        break;
    case kExit:
        rememberSelection(State::RacerList, touchStatics().s_selection);
        break;
    default:
        break;
    }
}

void stateReferenceList(std::int32_t message) {
    switch (message) {
    case kEnter:
        referenceEnter();
        break;
    case kUpdate:
        referenceUpdate();
        break;
    case kPaint:
        referencePaint();
        break;
    default:
        break;
    }
}

void registerListScreens() {
    setStateHandler(State::RacerList, stateRacerList);
    setStateHandler(State::ReferenceList, stateReferenceList);
}

} // namespace game
