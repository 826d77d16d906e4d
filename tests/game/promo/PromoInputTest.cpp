// The promotion screen painted on a 640 x 480 image: the loading bar, the
// text measure, and the touch hit test on the places the painting recorded.

#include "game/promo/PromoLoading.h"
#include "game/promo/PromoPaint.h"
#include "game/promo/PromoScreen.h"
#include "platform/lcdui/Command.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/game/promo/PromoFixture.h"

namespace {

using datakit::Bytes;
using promo_testing::dot;
using promo_testing::PromoTest;
namespace promo = game::promo;
using Image = platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;

Bytes strip(std::uint32_t width, std::uint32_t height) {
    return datakit::writePng(width, height, std::vector<std::uint32_t>(width * height, 0xFF00FF00u));
}

datakit::PromoModel listModel() {
    datakit::PromoModel model;
    model.languages.push_back({"EN", {"PAGE"}, dot(0xFF0000AA)});
    model.pageNames = {"DUNE"};
    model.list0Names = {"KART", "BIKE", "MORE"};
    model.font = promo_testing::upperCaseFont();
    // Arrows 10 x 20, the soft-key frames 30 x 16, row pictures 20 x 30.
    for (int i = 0; i < 14; ++i)
        model.screenImages.push_back(i >= 4 && i <= 7 ? strip(10, 20)
                                     : i >= 12        ? strip(30, 16)
                                                      : dot(0xFF00FF00));
    model.pagePictures = {dot(0xFF111111)};
    model.propertyPicture = dot(0xFF222222);
    model.list0Pictures = {strip(20, 30), strip(20, 30)};
    model.portalPicture = dot(0xFF555555);
    return model;
}

struct PromoScreenTest : PromoTest {
    PromoScreenTest() {
        setUp(datakit::writePromo(listModel()),
              {{"Vorlax-Promo-Base", "https://o.example/%s"},
               {"Vorlax-Promo-List-1", "KART=kart;BIKE=bike"},
               {"Vorlax-Promo-Pages", "DUNE=dune"},
               {"Vorlax-Promo-Portal-Url", "https://p.example/"},
               {"Vorlax-Promo-Portal", "MORE=m;PORTAL=https://p.example/x"}});
        loadAndBrowse();
    }

    void show(std::int32_t page) {
        game::promoScreenStatics().s_page = page;
        promo::selectPage();
        promo::paint(Image::createImage(kWidth, kHeight)->getGraphics());
    }
};

TEST_F(PromoScreenTest, TheBarAndTheTextMeasure) {
    // A step above the count draws the whole bar, step 0 one pixel.
    Image* canvas = Image::createImage(kWidth, kHeight);
    for (auto [step, red] : {std::pair{12, 477}, std::pair{0, 1}, std::pair{5, 476 * 5 / 10 + 1}}) {
        platform::javax_microedition_lcdui_Graphics* g = canvas->getGraphics();
        g->setColor(0);
        g->fillRect(0, 0, kWidth, kHeight);
        promo::paintProgressBar(g, 240, 480, step, 10);
        rt::IntArray* row = rt::newIntArray(kWidth);
        canvas->getRGB(row, 0, kWidth, 0, 242, kWidth, 1);
        std::int32_t count = 0;
        for (std::int32_t x = 0; x < kWidth; ++x)
            count += (rt::IntArray::get(row, x) & 0xFFFFFF) == 0xFF0000 ? 1 : 0;
        EXPECT_EQ(count, red) << "step " << step;
        EXPECT_EQ(rt::IntArray::get(row, 82) & 0xFFFFFF, 0xFF0000);
    }
    game::promoScreenStatics().s_fontHeight = 13;
    promo::measureText(rt::String::newFromCString("AB\nC\\ND"));
    EXPECT_EQ(game::promoScreenStatics().s_textHeight, 39);
    // Past the line table's ten lines the last line keeps the rest.
    promo::measureText(rt::String::newFromCString("A\nB\nC\nD\nE\nF\nG\nH\nI\nJ\nK\nLL"));
    EXPECT_EQ(game::promoScreenStatics().s_textHeight, 10 * 13);
    auto glyph = [](char16_t c) { return promo::getTableByte(c, game::promoStatics().s_glyphColW); };
    EXPECT_EQ(game::promoScreenStatics().s_textWidth,
              glyph('J') + glyph('K') + 2 * glyph('L') + 3 * game::promoScreenStatics().s_charSpacing);
}

TEST_F(PromoScreenTest, TapsAnswerTheActionUnderThePoint) {
    game::PromoStatics& statics = game::promoStatics();
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    show(statics.s_listPage0);
    ASSERT_EQ(screen.s_listRowCount, 3);
    std::int32_t rowX = screen.s_listBoxX + screen.s_listBoxWidth / 2;
    auto rowY = [&](std::int32_t k) { return screen.s_listFirstRowY + k * screen.s_listRowHeight + 1; };
    EXPECT_EQ(promo::actionAtPoint(0, rowY(2)), 0);
    EXPECT_EQ(promo::actionAtPoint(rowX, 0), 0);
    // A first tap on a row selects it, a second chooses it.
    EXPECT_EQ(promo::actionAtPoint(rowX, rowY(2)), 0);
    EXPECT_EQ(screen.s_listSelection, 2);
    EXPECT_EQ(promo::actionAtPoint(rowX, rowY(2)), game::kPromoSelect);
    // Page arrows in the band at mid-height; the back soft key at the corner.
    EXPECT_EQ(promo::actionAtPoint(5, kHeight / 2), game::kPromoPrevious);
    EXPECT_EQ(promo::actionAtPoint(kWidth - 5, kHeight / 2), game::kPromoNext);
    EXPECT_EQ(promo::actionAtPoint(5, kHeight / 2 + 20), 0);
    EXPECT_EQ(promo::actionAtPoint(kWidth - 10, kHeight - 5), game::kPromoBack);
    EXPECT_EQ(promo::actionAtPoint(10, kHeight - 5), 0);
    statics.s_useCommands = 1;
    EXPECT_EQ(promo::actionAtPoint(kWidth - 10, kHeight - 5), 0);
    statics.s_useCommands = 0;

    // The link button answers off list mode only.
    show(0);
    ASSERT_EQ(screen.s_hasLinkButton, 1);
    std::int32_t buttonX = screen.s_linkButtonX + screen.s_linkButtonWidth / 2;
    std::int32_t buttonY = screen.s_linkButtonY + screen.s_linkButtonHeight / 2;
    EXPECT_EQ(promo::actionAtPoint(buttonX, buttonY), game::kPromoLinkButton);
    screen.s_listMode = 1;
    EXPECT_NE(promo::actionAtPoint(buttonX, buttonY), game::kPromoLinkButton);
    screen.s_listMode = 0;
    // Nothing answers while loading or once the worker was stopped.
    screen.s_state.store(static_cast<std::int32_t>(game::PromoState::Loading));
    EXPECT_EQ(promo::actionAtPoint(buttonX, buttonY), 0);
    screen.s_state.store(static_cast<std::int32_t>(game::PromoState::Browsing));
    screen.s_running.store(0);
    EXPECT_EQ(promo::actionAtPoint(buttonX, buttonY), 0);
}

TEST_F(PromoScreenTest, CommandsAreMadeWithTheScreenAndDroppedWhenItIsLeft) {
    game::promoStatics().s_useCommands = 1;
    promo::loadResources(1);
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    ASSERT_NE(screen.s_selectCommand, nullptr);
    ASSERT_NE(screen.s_backCommand, nullptr);
    EXPECT_EQ(screen.s_selectCommand->commandType(), 4);
    EXPECT_EQ(screen.s_backCommand->commandType(), 2);
    show(0);
    screen.s_touchActionPending = 0;
    promo::update(game::kPromoBack);
    EXPECT_EQ(screen.s_state.load(), static_cast<std::int32_t>(game::PromoState::Leaving));
    EXPECT_EQ(promo::update(0), 1);
    EXPECT_EQ(screen.s_selectCommand, nullptr);
    EXPECT_EQ(screen.s_backCommand, nullptr);
}

// A page without an address cannot be chosen: the screen browses again
// rather than wait for ever for a hand-over.
TEST_F(PromoScreenTest, AnEmptyChosenAddressGoesBackToBrowsing) {
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    show(game::promoStatics().s_propertyPage);
    screen.s_touchActionPending = 0;
    promo::update(game::kPromoSelect);
    EXPECT_EQ(screen.s_state.load(), static_cast<std::int32_t>(game::PromoState::Choosing));
    promo::update(0);
    EXPECT_EQ(screen.s_state.load(), static_cast<std::int32_t>(game::PromoState::Browsing));
    EXPECT_EQ(screen.s_pendingAddress, nullptr);
}

TEST_F(PromoScreenTest, KeysStepPagesAndRows) {
    game::PromoStatics& statics = game::promoStatics();
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    // Pages 0 (regular), list 0 and the portal are available.
    ASSERT_EQ(statics.s_availablePageCount, 3);
    show(0);
    screen.s_touchActionPending = 0;
    struct Step {
        std::int32_t action;
        std::int32_t page;
        std::int32_t selection;
    };
    const Step steps[] = {
        {game::kPromoPrevious, statics.s_portalPage, 0}, // backward from 0 wraps, skipping unavailable pages
        {game::kPromoNext, statics.s_portalPage, 0},     // the previous arrow still lit: the page stays
    };
    for (const Step& step : steps) {
        promo::update(step.action);
        EXPECT_EQ(screen.s_page, step.page) << step.action;
    }
    screen.s_prevArrowFlash = 0;
    promo::update(game::kPromoNext);
    EXPECT_EQ(screen.s_page, 0);
    promo::update(game::kPromoNext);
    EXPECT_EQ(screen.s_page, statics.s_listPage0);
    promo::update(game::kPromoUp);
    EXPECT_EQ(screen.s_listSelection, 0);
    for (int i = 0; i < 4; ++i)
        promo::update(game::kPromoDown);
    EXPECT_EQ(screen.s_listSelection, 2);
    // A touch release wins over the key of the same update.
    promo::touchReleased();
    promo::touchHovered(game::kPromoUp);
    promo::update(game::kPromoDown);
    EXPECT_EQ(screen.s_listSelection, 1);
}

} // namespace
