#include "game/frontend/ListScreens.h"

#include "game/data/PackReader.h"
#include "game/data/Progress.h"
#include "game/framework/Anchors.h"
#include "game/framework/CarFrames.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/GameRandom.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/MissingData.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/framework/Touch.h"
#include "game/frontend/Loading.h"
#include "game/frontend/SelectionZones.h"
#include "game/frontend/SlidingMenus.h"
#include "game/race/RaceResults.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteLoading.h"
#include "game/sprite/SpriteStatics.h"
#include "game/ui/MenuInput.h"
#include "game/ui/MenuPaint.h"
#include "game/ui/MenuStatics.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace game {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kListTitle = 32;
constexpr std::int32_t kReferenceTitle = 34;
constexpr std::int32_t kBorder = 2;
constexpr std::int32_t kGridLayer = static_cast<std::int32_t>(0xCC000000u);
constexpr std::int32_t kReferenceLayer = static_cast<std::int32_t>(0xAA000000u);
// A racer definition's fields the list reads: its top speed, its sprite
// set, its name text and its turn.
constexpr std::int32_t kSpeedField = 0;
constexpr std::int32_t kSpriteSetField = 1;
constexpr std::int32_t kNameField = 5;
constexpr std::int32_t kTurnField = 9;
// A racer's lists: its gears' times are the second.
constexpr std::int32_t kTimesList = 1;
// The gauges' range, in percent.
constexpr std::int32_t kLeastGauge = 20;
constexpr std::int32_t kAlikeGauge = 60;
// The detail column right of the grid: the name plate's centre, the
// gauges' labels' right edge and their first row, the locked note's centre.
constexpr std::int32_t kNameY = 100;
constexpr std::int32_t kGaugesY = 318;
constexpr std::int32_t kLockedNoteY = 388;

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

// The sum of the racer's gears' times: how long it takes to its top speed.
std::int32_t gearTimes(std::int32_t entry) {
    rt::ObjectArray* lists = racerStatics().s_racerLists;
    const std::int32_t row = getRecordShort(entry, 0);
    if (!lists || row < 0 || row >= lists->length())
        return 0;
    auto* racer = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(lists, row));
    auto* times = racer && racer->length() > kTimesList
                      ? static_cast<rt::IntArray*>(rt::ObjectArray::get(racer, kTimesList))
                      : nullptr;
    std::int32_t sum = 0;
    for (std::int32_t i = 0; times && i < times->length(); ++i)
        sum = rt::iadd(sum, rt::IntArray::get(times, i));
    return sum;
}

// What gauge `gauge` of `entry` measures, the more the better.
std::int32_t gaugeMeasure(std::int32_t entry, std::int32_t gauge) {
    rt::IntArray* definition = racerDefinition(entry);
    if (!definition)
        return 0;
    switch (gauge) {
    case 0:
        return rt::IntArray::get(definition, kSpeedField);
    case 1:
        return rt::isub(0, gearTimes(entry));
    default:
        return rt::IntArray::get(definition, kTurnField);
    }
}

// The car of `entry`, loaded from the sprite pack when the list first shows
// it (the menus' load frees the race cars; a race's load frees them again).
void ensureRacerCar(std::int32_t entry) {
    const std::int32_t slot = racerCarSprite(entry);
    if (slot < 0 || slot >= kSpriteCount || spriteAt(slot))
        return;
    rt::String* pack = rt::getStaticClass().getConstantString(rt::constants::kSpritePack);
    packOpen(pack);
    if (!loadSpriteToTable(slot, 0))
        reportMissingData(pack, slot, "sprite");
    closeStream();
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
    ensureRacerCar(before);
    const bool tapped = touchListScreen(racerCarSprite(before));
    const bool unlocked = racerUnlocked(touchStatics().s_selection);
    setSoftKeys(unlocked ? 1 : -1, 2);
    const std::int32_t flags = unlocked ? kMenuChooseFlags : kMenuBrowseFlags;
    const bool chosen = handleMenuInput(1, -1, flags, flags, true);
    if (stateStatics().s_stateChangePending)
        return; // back
    if ((tapped || chosen) && racerUnlocked(touchStatics().s_selection)) {
        chooseRacer(touchStatics().s_selection);
        return;
    }
    if (touchStatics().s_selection != before) {
        ensureRacerCar(touchStatics().s_selection);
        menuStatics().s_redraw = 1;
    }
}

void paintRacerCell(Graphics* g, std::int32_t entry, bool highlighted) {
    const std::int32_t x = kRacerCellX + kRacerCellStepX * (entry % kRacerGridColumns);
    const std::int32_t y = kRacerCellY + kRacerCellStepY * (entry / kRacerGridColumns);
    g->setColor(0);
    for (std::int32_t i = 1; i <= kBorder; ++i)
        g->drawRect(x - i, y - i, kRacerCellSize + 2 * i - 1, kRacerCellSize + 2 * i - 1);
    g->setColor(highlighted ? kHighlightCellColour : kCellColour);
    fillRect(g, x, y, kRacerCellSize, kRacerCellSize);
    if (entry < spriteFrameCount(kRacerBadgeSprite))
        paintSpriteFrame(kRacerBadgeSprite, entry,
                         x + (kRacerCellSize - spriteFrameWidth(kRacerBadgeSprite, entry)) / 2,
                         y + (kRacerCellSize - spriteFrameHeight(kRacerBadgeSprite, entry)) / 2);
    if (!racerUnlocked(entry)) {
        setFillColor(kLockedCellCover);
        fillRectAlpha(g, x, y, kRacerCellSize, kRacerCellSize);
    }
}

// The highlighted car with its bottom left corner at the confirm corner;
// a locked one under the locked cover.
void paintRacerCar(Graphics* g, std::int32_t entry) {
    const std::int32_t car = racerCarSprite(entry);
    auto* sprite = static_cast<ASprite*>(spriteAt(car));
    if (!sprite || sprite->classId() != ASprite::kClassId)
        return;
    rt::IntArray* box = spriteStatics().s_rect;
    getFrameRect(sprite, box, kFullLeftCarFrame, 0, 0, 0);
    const std::int32_t left = rt::IntArray::get(box, 0);
    const std::int32_t bottom = rt::IntArray::get(box, 3);
    const std::int32_t w = rt::IntArray::get(box, 2) - left;
    const std::int32_t h = bottom - rt::IntArray::get(box, 1);
    sprite->setCurrentPalette(kCarBodyPalette);
    paintSpriteFrame(car, kFullLeftCarFrame, kRacerCarX - left, kRacerCarBottom - bottom);
    if (!racerUnlocked(entry)) {
        setFillColor(kLockedCellCover);
        fillRectAlpha(g, kRacerCarX, kRacerCarBottom - h, w, h);
    }
}

void paintRacerGrid(Graphics* g) {
    const std::int32_t count = racerListCount();
    const std::int32_t selection = touchStatics().s_selection;
    const std::int32_t w = config().s_gameScreenWidth;
    const std::int32_t h = config().s_gameScreenHeight;
    setFillColor(kGridLayer);
    fillRectAlpha(g, 0, 0, w, h);
    for (std::int32_t entry = 0; entry < count; ++entry)
        paintRacerCell(g, entry, entry == selection);
    rt::IntArray* definition = racerDefinition(selection);
    if (!definition)
        return;
    paintSpriteFrame(kMenuFrameSprite, kNamePlateFrame, kDetailX, kNameY);
    drawMenuText(kMenuTextFont, 0, getString(rt::IntArray::get(definition, kNameField)), kDetailX, kNameY,
                 kAnchorCentre);
    paintRacerCar(g, selection);
    rt::IntArray* labels = rt::newIntArray(3);
    rt::IntArray* values = rt::newIntArray(3);
    const std::array<std::int32_t, 3> gauges = racerGaugeValues(selection);
    for (std::int32_t i = 0; i < 3; ++i) {
        rt::IntArray::set(labels, i, kFirstGaugeLabelText + i);
        rt::IntArray::set(values, i, gauges[static_cast<std::size_t>(i)]);
    }
    paintGaugePanel(kGaugeLabelsX, kGaugesY, labels, values);
    if (!racerUnlocked(selection))
        drawMenuText(kMenuTextFont, 1, getString(kLockedRacerText), kDetailX, kLockedNoteY, kAnchorCentre);
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
    (void)handleMenuInput(1, -1, kMenuBrowseFlags, kMenuBrowseFlags, true);
    if (touchStatics().s_selection != before) {
        ensureRacerCar(touchStatics().s_selection);
        menuStatics().s_redraw = 1;
    }
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
    drawMenuText(kMenuTextFont, 1, getString(title), w / 2, kReferenceClipY, kAnchorTopCentre);
    std::int32_t textX = 60;
    const std::int32_t picture = referencePictureFrame(body);
    if (picture >= 0) {
        paintFrameIfPresent(kReferencePictureSprite, picture, textX, kReferenceClipY + 40);
        textX += spriteFrameWidth(kReferencePictureSprite, picture) + 20;
    }
    drawTextBlock(kMenuTextFont, 0, getString(body), w - textX - 60, 0, textX, kReferenceClipY + 40,
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
    return std::clamp<std::int32_t>(rt::ShortArray::get(counts, 0), 0, kMenuItemCapacity);
}

std::int32_t racerCarSprite(std::int32_t entry) {
    rt::IntArray* definition = racerDefinition(entry);
    return definition ? rt::IntArray::get(definition, kSpriteSetField) : -1;
}

std::array<std::int32_t, 3> racerGaugeValues(std::int32_t entry) {
    std::array<std::int32_t, 3> values{};
    const std::int32_t count = racerListCount();
    for (std::int32_t gauge = 0; gauge < 3; ++gauge) {
        std::int32_t least = INT32_MAX;
        std::int32_t most = INT32_MIN;
        for (std::int32_t other = 0; other < count; ++other) {
            least = std::min(least, gaugeMeasure(other, gauge));
            most = std::max(most, gaugeMeasure(other, gauge));
        }
        const std::int64_t span = static_cast<std::int64_t>(most) - least;
        values[static_cast<std::size_t>(gauge)] =
            span <= 0
                ? kAlikeGauge
                : kLeastGauge + static_cast<std::int32_t>(
                                    (100 - kLeastGauge) *
                                    (static_cast<std::int64_t>(gaugeMeasure(entry, gauge)) - least) / span);
    }
    return values;
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
