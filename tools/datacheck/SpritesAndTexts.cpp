// The sprite slots, the fonts and the texts they draw.

#include "game/data/PackReader.h"
#include "game/data/TextPacks.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Streams.h"
#include "game/framework/Texts.h"
#include "game/frontend/Championship.h"
#include "game/frontend/ListScreens.h"
#include "game/frontend/MenuScreens.h"
#include "game/frontend/PreRaceSelection.h"
#include "game/race/EventRowLayout.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/racepaint/ResultScreens.h"
#include "game/racescreens/RaceMenus.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextLayout.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tools/datacheck/Rules.h"

#include <algorithm>
#include <vector>

namespace datacheck {

namespace {

// What the painters of a run of sprite slots ask of each: the fewest frames,
// animations and palettes, and the box points of frames `boxFrom` on. The
// splash shows frames 0 and 1; the question box frame n for n answers (1 to
// 6) with its answers' and its title's points; the menu background frames 0
// and 1; the header frame 0, the gauge's 2, 3 and 5 and the emblem 6; the
// menu items frames 0 to 3; the other front-end slots at least one frame. A
// racer's sprite set shows steering frames 0 to 9, the player's car layers
// 23 and 43 to 48, and animations 2 to 5, in its racer's palette.
struct SlotNeed {
    std::int32_t first, last;
    std::int32_t frames, anims, palettes;
    const char* rule;
    std::int32_t boxFrom = 0, boxes = 0;
};
constexpr SlotNeed kSlotNeeds[] = {
    {0, 0, 2, 0, 0, "front-end-sprite"},   {1, 2, 1, 0, 0, "front-end-sprite"},
    {4, 4, 7, 0, 0, "question-box", 1, 2}, {5, 5, 2, 0, 0, "front-end-sprite"},
    {7, 7, 1, 0, 0, "front-end-sprite"},   {8, 8, 7, 0, 0, "front-end-sprite"},
    {10, 11, 1, 0, 0, "front-end-sprite"}, {14, 14, 1, 0, 0, "front-end-sprite"},
    {25, 26, 1, 0, 0, "front-end-sprite"}, {30, 30, 1, 0, 0, "front-end-sprite"},
    {43, 52, 49, 6, 1, "car-frames"},      {62, 63, 1, 0, 0, "front-end-sprite"},
    {65, 65, 4, 0, 0, "front-end-sprite"},
};
constexpr std::int32_t kFontCount = 3;
constexpr std::int32_t kFirstCharMap = 3;
// Fonts are drawn in palettes 0 to 3 and need frame 0 (metrics), frame 1
// (the missing glyph) and at least one glyph.
constexpr std::int32_t kFontPalettes = 4;
constexpr std::int32_t kTextTables = 4;

rt::String* constant(std::int32_t number) {
    return rt::getStaticClass().getConstantString(number);
}

game::ASprite* loadEntry(std::int32_t entry) {
    rt::ByteArray* bytes = game::packReadEntry(entry);
    if (!bytes || bytes->length() == 0)
        return nullptr;
    game::ASprite* sprite = game::ASprite::initDefaults();
    sprite->loadDefault(bytes, 0);
    return sprite;
}

// Image modules are decoded whole into the shared pixel buffer: one larger than
// its configured size only draws because the decoder grows the buffer.
void checkModuleSizes(Findings& findings, const std::string& resource, const game::ASprite* sprite) {
    const std::int32_t buffer = game::config().s_pixelBufferSize;
    for (std::int32_t m = 0; sprite && m < sprite->getModuleCount(); ++m) {
        // Rectangles and arcs are drawn, not decoded.
        if (sprite->m_moduleTypes && sprite->getModuleType(m) != 0)
            continue;
        const std::int64_t w = sprite->getModuleWidth(m), h = sprite->getModuleHeight(m);
        if (w * h > buffer)
            addFinding(findings, resource + " module " + std::to_string(m), "module-size",
                       std::to_string(w) + " x " + std::to_string(h) + " pixels; the pixel buffer holds " +
                           std::to_string(buffer));
    }
}

// The sprite of `entry` of the open pack reads whole and no index in its
// tables points outside them (what the game's sprite loader refuses).
void checkStructure(Findings& findings, const std::string& resource, std::int32_t entry) {
    rt::ByteArray* bytes = game::packReadEntry(entry);
    if (!bytes || bytes->length() == 0)
        return;
    game::ASprite* sprite = game::ASprite::initDefaults();
    const std::string problem =
        sprite->loadDefault(bytes, 0) ? sprite->structureProblem() : "the data ends inside a section";
    if (!problem.empty())
        addFinding(findings, resource, "sprite-structure", problem);
}

game::ASprite* font(std::int32_t f) {
    return static_cast<game::ASprite*>(rt::ObjectArray::get(game::startupStatics().s_fonts, f));
}

// The race plays these animations of the track effects' sprite: each gate
// by its track, the five under the car, the player's burst and sparks. An
// animation without frames shows nothing, and the timed gate shows its
// opening by the share of its frames that are open.
void checkTrackEffects(Findings& findings, const game::ASprite* sprite) {
    const std::string resource = "sprite " + std::to_string(game::kTrackEffectSprite);
    if (!sprite)
        return;
    std::vector<std::int32_t> needed = {game::kTimedGateAnim, game::kNitroBurstAnim, game::kKnockSparksAnim};
    for (std::int32_t a = game::kFirstGateAnim; a <= game::kLastPulseGateAnim; ++a)
        needed.push_back(a);
    for (std::int32_t i = 0; i < game::kUnderCarAnims; ++i)
        needed.push_back(game::kFirstUnderCarAnim + i);
    for (std::int32_t a : needed) {
        const std::int32_t frames = a < sprite->getAnimCount() ? sprite->getAFrameCount(a) : 0;
        if (frames < 1)
            addFinding(findings, resource + " animation " + std::to_string(a), "track-effects",
                       "no frames; the race plays it");
    }
    if (game::kTimedGateAnim < sprite->getAnimCount() &&
        sprite->getAFrameCount(game::kTimedGateAnim) != game::kTimedGateFrames)
        addFinding(findings, resource + " animation " + std::to_string(game::kTimedGateAnim), "track-effects",
                   std::to_string(sprite->getAFrameCount(game::kTimedGateAnim)) +
                       " frames; the timed gate shows its pass in " + std::to_string(game::kTimedGateFrames));
}

} // namespace

void checkSprites(Findings& findings) {
    game::spriteStatics().s_gcOnLoad = 0;
    openPack(rt::constants::kSpritePack);
    for (const SlotNeed& need : kSlotNeeds) {
        for (std::int32_t slot = need.first; slot <= need.last; ++slot) {
            game::ASprite* sprite = loadEntry(slot);
            std::string resource = "sprite " + std::to_string(slot);
            if (!sprite) {
                addFinding(findings, resource, need.rule, "the slot is empty");
                continue;
            }
            auto below = [&](const char* what, std::int32_t has, std::int32_t wanted) {
                if (has < wanted)
                    addFinding(findings, resource, need.rule,
                               std::to_string(has) + " " + what + "; its painters draw " +
                                   std::to_string(wanted));
            };
            below("frames", sprite->getFrameCount(), need.frames);
            below("animations", sprite->getAnimCount(), need.anims);
            below("palettes", sprite->m_paletteCount, need.palettes);
            for (std::int32_t frame = need.boxFrom; need.boxes > 0 && frame < sprite->getFrameCount();
                 ++frame) {
                const rt::ShortArray* first = sprite->m_frameFirstBox;
                std::int32_t boxes =
                    first && frame + 1 < first->length()
                        ? rt::ShortArray::get(first, frame + 1) - rt::ShortArray::get(first, frame)
                        : 0;
                if (boxes < need.boxes)
                    addFinding(findings, resource + " frame " + std::to_string(frame), need.rule,
                               std::to_string(boxes) + " box points; its painter reads " +
                                   std::to_string(need.boxes));
            }
        }
    }
    openPack(rt::constants::kSpritePack);
    checkTrackEffects(findings, loadEntry(game::kTrackEffectSprite));
    openPack(rt::constants::kSpritePack);
    for (std::int32_t slot = 0; slot < game::kSpriteCount; ++slot) {
        checkStructure(findings, "sprite " + std::to_string(slot), slot);
        checkModuleSizes(findings, "sprite " + std::to_string(slot), loadEntry(slot));
    }
    openPack(rt::constants::kFontPack);
    if (!game::startupStatics().s_fonts)
        game::startupStatics().s_fonts = rt::newObjectArray(6);
    for (std::int32_t f = 0; f < kFontCount; ++f) {
        std::string resource = "font " + std::to_string(f);
        checkStructure(findings, resource, f);
        game::ASprite* sprite = loadEntry(f);
        rt::ObjectArray::set(game::startupStatics().s_fonts, f, sprite);
        if (!sprite) {
            addFinding(findings, resource, "font", "the font's entry is empty");
            continue;
        }
        checkModuleSizes(findings, resource, sprite);
        game::loadCharMap(f, kFirstCharMap + f);
        if (sprite->getFrameCount() < 3)
            addFinding(findings, resource, "font", "has no glyph frames");
        if (sprite->m_paletteCount < kFontPalettes)
            addFinding(findings, resource, "font",
                       std::to_string(sprite->m_paletteCount) + " palettes; texts are drawn in 4");
    }
    game::closeStream();
}

namespace {

// Where the screens draw a text: the text table loaded while the screen
// shows, the ids, the font, the width of the box (0: a line of any width, as
// the scrolling help line) and the lines the box holds. Menus and questions
// come from the game's own menu tables; widths from the sprite the box is
// drawn with where there is one.
struct TextUse {
    std::string screen;
    std::int32_t table;
    std::vector<std::int32_t> ids;
    std::int32_t font;
    std::int32_t width;
    std::int32_t lines;
    // Texts of the same table drawn right after it on its line, one at a
    // time (the pause menu's sound item and its state).
    std::vector<std::int32_t> suffixes = {};
};

constexpr std::int32_t kStartTable = 0, kLoadingTable = 1, kMenuTable = 2, kRaceTable = 3;
constexpr std::int32_t kTitleFont = 0, kItemFont = 1, kTextFont = 2;
constexpr std::int32_t kReferencePictureSprite = 25;
constexpr std::int32_t kMenuItemSprite = 65, kItemFrame = 0, kAnswerFrame = 3, kLabelInset = 10;
constexpr std::int32_t kBoxTitleInset = 16;
// The car list's cells' border, and the least gap between the grid and the
// gauges' labels.
constexpr std::int32_t kGridBorder = 2;
constexpr std::int32_t kGaugeLabelGap = 8;
constexpr std::size_t kPauseSoundItem = 2;
constexpr std::int32_t kSoundOnSuffix = 63, kSoundOffSuffix = 64;
// The lines the help over a race has room for below its box's title.
constexpr std::int32_t kRaceHelpLines = 6;

std::vector<std::int32_t> idRange(std::int32_t first, std::int32_t count) {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < count; ++i)
        ids.push_back(first + i);
    return ids;
}

// Racer n's name: field 5 of its definition.
std::vector<std::int32_t> racerNameIds() {
    std::vector<std::int32_t> ids;
    const rt::ObjectArray* definitions = game::racerStatics().s_racerDefinitions;
    for (std::int32_t row = 0; definitions && row < definitions->length(); ++row) {
        const auto* definition = static_cast<const rt::IntArray*>(rt::ObjectArray::get(definitions, row));
        if (definition && definition->length() > 5)
            ids.push_back(rt::IntArray::get(definition, 5));
    }
    return ids;
}

// The name each event of each track shows: the track's name table (field 0
// of its path points) at the event row's name index.
std::vector<std::int32_t> eventNameIds() {
    std::vector<std::int32_t> ids;
    const game::EventStatics& events = game::eventStatics();
    for (std::int32_t track = 0; track < game::kTrackCount; ++track) {
        const auto* names =
            events.s_pathFields[0] && track < events.s_pathFields[0]->length()
                ? static_cast<const rt::IntArray*>(rt::ObjectArray::get(events.s_pathFields[0], track))
                : nullptr;
        const auto* variants =
            events.s_eventRows && track < events.s_eventRows->length()
                ? static_cast<const rt::ObjectArray*>(rt::ObjectArray::get(events.s_eventRows, track))
                : nullptr;
        for (std::int32_t v = 0; names && variants && v < variants->length(); ++v) {
            const auto* row = static_cast<const rt::IntArray*>(rt::ObjectArray::get(variants, v));
            const std::int32_t index = row && row->length() > game::kEventNameField
                                           ? rt::IntArray::get(row, game::kEventNameField)
                                           : -1;
            if (index >= 0 && index < names->length() &&
                std::find(ids.begin(), ids.end(), rt::IntArray::get(names, index)) == ids.end())
                ids.push_back(rt::IntArray::get(names, index));
        }
    }
    return ids;
}

// The width of `text` in font `f`, on one line.
std::int32_t lineWidth(std::int32_t f, const char* text) {
    game::ASprite* sprite = font(f);
    if (!sprite)
        return 0;
    const rt::ShortArray* breaks =
        game::computeLineBreaks(sprite, rt::String::newFromCString(text), INT16_MAX, 0);
    return rt::ShortArray::get(breaks, 0) > 0 ? rt::ShortArray::get(breaks, 2) : 0;
}

// The widest race time the results table shows ("59:59.999" in the widest
// digit of font `f`: a three-lap race of the championship runs past ten
// minutes).
std::int32_t widestTime(std::int32_t f) {
    char widest = '0';
    for (char digit = '0'; digit <= '9'; ++digit) {
        const char one[] = {digit, 0}, best[] = {widest, 0};
        if (lineWidth(f, one) > lineWidth(f, best))
            widest = digit;
    }
    const std::string time = std::string(2, widest) + ":" + widest + widest + "." + widest + widest + widest;
    return lineWidth(f, time.c_str());
}

std::int32_t widestFrame(const game::ASprite* sprite) {
    std::int32_t widest = 0;
    for (std::int32_t f = 0; sprite && f < sprite->getFrameCount(); ++f)
        widest = std::max(widest, game::getFrameWidth(const_cast<game::ASprite*>(sprite), f));
    return widest;
}

std::vector<std::int32_t> everyOther(std::int32_t first, std::int32_t count) {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < count; ++i)
        ids.push_back(first + 2 * i);
    return ids;
}

std::vector<std::int32_t> menuIds(std::int32_t menu, std::int32_t row) {
    std::vector<std::int32_t> ids;
    const rt::IntArray* texts = game::menuRow(menu, row);
    for (std::int32_t i = 0; texts && i < texts->length(); ++i)
        ids.push_back(rt::IntArray::get(texts, i));
    return ids;
}

std::vector<TextUse> textUses() {
    openPack(rt::constants::kSpritePack);
    game::ASprite* items = loadEntry(kMenuItemSprite);
    game::ASprite* pictures = loadEntry(kReferencePictureSprite);
    game::ASprite* box = loadEntry(game::kQuestionBoxSprite);
    game::ASprite* frames = loadEntry(game::kMenuFrameSprite);
    game::ASprite* badges = loadEntry(game::kRacerBadgeSprite);
    game::ASprite* arrows = loadEntry(game::kMenuArrowSprite);
    game::ASprite* careerPictures = loadEntry(game::kBonusPictureSprite);
    game::closeStream();
    // A reference text starts 60 px in, past its picture and a 20 px gap,
    // and stops 60 px before the right edge.
    std::int32_t widestPicture = 0;
    for (std::int32_t f = 0; pictures && f < pictures->getFrameCount(); ++f)
        widestPicture = std::max(widestPicture, game::getFrameWidth(pictures, f));
    const std::int32_t screen = game::config().s_gameScreenWidth;
    const std::int32_t item = items ? game::getFrameWidth(items, kItemFrame) - 2 * kLabelInset : screen;
    const std::int32_t answer = items ? game::getFrameWidth(items, kAnswerFrame) : screen;
    // A question's title is centred on its box, inside the box's rim; the
    // help over a race is broken to its box less a margin on each side.
    const std::int32_t boxWidth = box ? game::getFrameWidth(box, 2) : screen;
    const std::int32_t title = boxWidth - 2 * kBoxTitleInset;
    const std::int32_t raceHelp =
        box ? game::getFrameWidth(box, game::kRaceHelpBoxFrame) - 2 * game::kRaceHelpMargin : screen - 40;
    // The pause menu's third item switches the sound; its state follows it.
    const std::vector<std::int32_t> pauseItems = menuIds(game::kPauseMenu, game::kMenuTexts);
    const std::vector<std::int32_t> soundItem = pauseItems.size() > kPauseSoundItem
                                                    ? std::vector<std::int32_t>{pauseItems[kPauseSoundItem]}
                                                    : std::vector<std::int32_t>{};
    std::vector<TextUse> uses = {
        {"splash", kStartTable, {9, 10}, kTextFont, screen - 20, 2},
        {"soft keys", kStartTable, {0, 1, 2, 5}, kTextFont, 0, 1},
        {"loading screen", kLoadingTable, {0}, kItemFont, screen, 1},
        {"loading screen tip", kLoadingTable, {1}, kTextFont, screen, 2},
        {"loading screen prompt", kLoadingTable, {2}, kTextFont, screen, 1},
        {"loading screen event titles", kMenuTable, idRange(151, 7), kItemFont, screen, 1},
        {"soft keys", kMenuTable, {0, 1, 2, 5}, kTextFont, 0, 1},
        {"question answers", kMenuTable, {11, 12}, kTextFont, answer, 1},
        {"question titles", kMenuTable, {9, 25, 26}, kTextFont, title, 1},
        {"options items", kMenuTable, {300, 301, 302}, kItemFont, answer - 2 * kLabelInset, 1},
        {"options help lines", kMenuTable, {303, 304}, kTextFont, 0, 1},
        {"reset question header", kMenuTable, {270}, kTextFont, screen, 1},
        {"prompt", kMenuTable, {22}, kTextFont, screen, 1},
        {"screen titles", kMenuTable, {16, 31, 32, 33, 34, 46, 82, 199}, kTitleFont, screen, 1},
        {"notices",
         kMenuTable,
         {game::kPromotionNoticeText, game::kRaceLoadFailedText},
         kTextFont,
         game::kNoticeWidth,
         game::kNoticeLines},
        {"event types", kMenuTable, idRange(151, 7), kTextFont, screen, 1},
        {"event goals", kMenuTable, idRange(174, 3), kTextFont, screen, 1},
        {"event descriptions", kMenuTable, idRange(177, 7), kTextFont, screen, 1},
        {"one-off event title", kMenuTable, {59}, kTitleFont, screen, 1},
        {"reward screen", kMenuTable, {204}, kTextFont, game::kRewardLineWidth, 1},
        {"reward screen", kMenuTable, idRange(205, 4), kTextFont, game::kRewardLineWidth, 2},
        {"reference list titles", kMenuTable, everyOther(104, 21), kTextFont, screen, 1},
        {"reference list texts", kMenuTable, everyOther(105, 21), kTextFont,
         screen - 120 - (widestPicture > 0 ? widestPicture + 20 : 0), 6},
        {"text screen", kMenuTable, idRange(216, 44), kTextFont, screen, 1},
        {"racer comments", kMenuTable, idRange(261, 8), kTextFont, 0, 1},
        {"racer names", kMenuTable, racerNameIds(), kTextFont, 0, 1},
        {"pause menu", kRaceTable, menuIds(game::kPauseMenu, game::kMenuTexts), kTextFont, answer, 1},
        {"pause menu's sound item",
         kRaceTable,
         soundItem,
         kTextFont,
         answer,
         1,
         {kSoundOnSuffix, kSoundOffSuffix}},
        {"race questions", kRaceTable, {0, 2, 7, 14, 15, 62, 91}, kTextFont, title, 1},
        {"race answers", kRaceTable, {11, 12, 59, 60, 92, 93, 94}, kTextFont, answer, 1},
        {"race help", kRaceTable, {25}, kTextFont, raceHelp, kRaceHelpLines},
        {"head-up display", kRaceTable, {30, 45, 46, 47, 48, 81}, kTextFont, screen / 2, 1},
        {"item names", kRaceTable, idRange(82, 9), kTextFont, screen / 2, 1},
        {"results", kRaceTable, {46, 49, 54}, kTextFont, screen, 1},
        {"race prompts", kRaceTable, {50, 80}, kTextFont, screen, 1},
        {"guide", kRaceTable, {79}, kTextFont, 480, 3},
        {"soft keys", kRaceTable, {0, 1, 2, 5}, kTextFont, 0, 1},
    };
    // The event screen: the track's name and the type's description centred
    // on their bands; the goal's label from the band's left up to its value.
    const std::int32_t band = game::kEventBandWidth - 2 * game::kEventBandInset;
    std::vector<std::int32_t> goalLabels = idRange(151, 7);
    goalLabels.insert(goalLabels.end(), {174, 175});
    uses.push_back({"event screen's track band", kMenuTable, eventNameIds(), kTextFont, band, 1});
    uses.push_back({"event screen's type band", kMenuTable, idRange(177, 7), kTextFont, band, 1});
    uses.push_back({"event screen's goal band", kMenuTable, goalLabels, kTextFont,
                    band - widestTime(kTextFont) - game::kEventBandInset, 1});
    uses.push_back({"event screen's lock note", kMenuTable, {200}, kTextFont, 2 * game::kWireReach, 1});
    // The results table: a name runs from past its badge to the time's
    // column, nearest in a championship.
    const std::int32_t badge = widestFrame(badges);
    const std::int32_t nameLeft = game::kBadgeColumn + (badge > 0 ? badge + game::kResultsNameGap : 0);
    uses.push_back({"results table's name column", kMenuTable, racerNameIds(), kItemFont,
                    game::kCupTimeColumn - widestTime(kItemFont) - game::kResultsNameGap - nameLeft, 1});
    // The car list: the name on its plate, the gauges' labels between the
    // grid and the gauges, the locked note centred under the car.
    const std::int32_t plate =
        frames ? game::getFrameWidth(frames, game::kNamePlateFrame) - 2 * kLabelInset : screen;
    const std::int32_t gridRight = game::kRacerCellX + (game::kRacerGridColumns - 1) * game::kRacerCellStepX +
                                   game::kRacerCellSize + kGridBorder;
    uses.push_back({"car list's name plate", kMenuTable, racerNameIds(), kTextFont, plate, 1});
    uses.push_back({"car list's gauge labels", kMenuTable, idRange(game::kFirstGaugeLabelText, 3), kTextFont,
                    game::kGaugeLabelsX - gridRight - kGaugeLabelGap, 1});
    uses.push_back({"car list's lock note",
                    kMenuTable,
                    {game::kLockedRacerText},
                    kTextFont,
                    2 * (screen - game::kDetailX),
                    1});
    // The cup screen: the cup's name, tracks, goal and instruction (or lock
    // note) centred between the arrows at the screen's sides.
    std::vector<std::int32_t> cupTexts = idRange(47, game::kCupCount);
    for (std::int32_t id : idRange(68, game::kCupCount))
        cupTexts.push_back(id);
    cupTexts.insert(cupTexts.end(), {209, 210, 211});
    uses.push_back({"cup screen", kMenuTable, cupTexts, kTextFont, screen - 4 * widestFrame(arrows), 1});
    // The career screen: each cup's name centred over its picture.
    const std::vector<std::int32_t> careerNames = menuIds(game::kBonusMenu, game::kMenuTexts);
    for (std::size_t i = 0; careerPictures && i < careerNames.size(); ++i)
        if (static_cast<std::int32_t>(i) < careerPictures->getFrameCount())
            uses.push_back({"career screen's picture names",
                            kMenuTable,
                            {careerNames[i]},
                            kTextFont,
                            game::getFrameWidth(careerPictures, static_cast<std::int32_t>(i)),
                            1});
    for (std::int32_t menu = 0; menu < game::kPauseMenu; ++menu) {
        const std::string name = "menu " + std::to_string(menu);
        uses.push_back({name + " items", kMenuTable, menuIds(menu, game::kMenuTexts), kItemFont, item, 1});
        uses.push_back({name + " help lines", kMenuTable, menuIds(menu, game::kMenuThird), kTextFont, 0, 1});
    }
    return uses;
}

// Text `id` of the loaded table is there and fits the box `use` draws it in.
void checkTextUse(Findings& findings, const TextUse& use, std::int32_t id) {
    const std::string resource = "text table " + std::to_string(use.table) + " text " + std::to_string(id);
    const rt::String* text = id >= 0 && id < game::textStatics().s_textCount ? game::getString(id) : nullptr;
    if (!text || text->length() == 0) {
        addFinding(findings, resource, "text-missing", "drawn by the " + use.screen);
        return;
    }
    game::ASprite* sprite = font(use.font);
    if (!sprite)
        return; // the font's own finding says why
    const std::int32_t width = use.width > 0 ? use.width : INT16_MAX;
    const rt::ShortArray* breaks = game::computeLineBreaks(sprite, const_cast<rt::String*>(text), width, 0);
    const std::int32_t lines = rt::ShortArray::get(breaks, 0);
    if (lines > use.lines)
        addFinding(findings, resource, "text-lines",
                   std::to_string(lines) + " lines in font " + std::to_string(use.font) + " at " +
                       std::to_string(use.width) + " px; the " + use.screen + " hold " +
                       std::to_string(use.lines));
    const std::int32_t width0 = lines > 0 ? rt::ShortArray::get(breaks, 2) : 0;
    for (std::int32_t suffix : use.suffixes) {
        const rt::String* after =
            suffix >= 0 && suffix < game::textStatics().s_textCount ? game::getString(suffix) : nullptr;
        if (!after)
            continue;
        const rt::ShortArray* more =
            game::computeLineBreaks(sprite, const_cast<rt::String*>(after), INT16_MAX, 0);
        const std::int32_t pair =
            width0 + (rt::ShortArray::get(more, 0) > 0 ? rt::ShortArray::get(more, 2) : 0);
        if (pair > use.width)
            addFinding(findings, resource, "text-width",
                       "with text " + std::to_string(suffix) + " after it, " + std::to_string(pair) +
                           " px in font " + std::to_string(use.font) + "; its box in the " + use.screen +
                           " is " + std::to_string(use.width) + " px wide");
    }
    for (std::int32_t k = 0; use.width > 0 && k < lines; ++k) {
        const std::int32_t lineWidth = rt::ShortArray::get(breaks, 2 * k + 2);
        if (lineWidth > use.width)
            addFinding(findings, resource, "text-width",
                       "line " + std::to_string(k) + " is " + std::to_string(lineWidth) + " px in font " +
                           std::to_string(use.font) + "; its box in the " + use.screen + " is " +
                           std::to_string(use.width) + " px wide");
    }
}

} // namespace

void checkTexts(Findings& findings) {
    rt::String* pack = constant(rt::constants::kTextPack);
    const std::vector<TextUse> uses = textUses();
    for (std::int32_t table = 0; table < kTextTables; ++table) {
        if (!game::loadTextPack(pack, table))
            continue; // the loader has logged why
        for (std::int32_t id = 0; id < game::textStatics().s_textCount; ++id) {
            const rt::String* text = game::getString(id);
            if (!text)
                continue;
            std::u16string_view chars = text->view();
            for (std::size_t i = 0; i < chars.size(); ++i) {
                char16_t c = chars[i];
                if (c == u'\\' && i + 1 < chars.size()) {
                    ++i; // a style or palette code and its letter
                    continue;
                }
                if (c <= u' ')
                    continue;
                for (std::int32_t f = 0; f < kFontCount; ++f) {
                    if (font(f) && game::getCharIndex(font(f), c) == 1)
                        addFinding(findings,
                                   "text table " + std::to_string(table) + " text " + std::to_string(id),
                                   "font-coverage",
                                   "character " + std::to_string(static_cast<int>(c)) +
                                       " has no glyph in font " + std::to_string(f));
                }
            }
        }
        for (const TextUse& use : uses)
            if (use.table == table)
                for (std::int32_t id : use.ids)
                    checkTextUse(findings, use, id);
    }
}

} // namespace datacheck
