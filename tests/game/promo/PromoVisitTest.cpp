// A visit of the promotion screen in the started game, on the headless host:
// state 46 loads behind its bar, steps pages by key, chooses one, and the
// worker thread hands the address to the browser once and ends the game.
// Also leaving, coming back within a second and pausing during the loading.

#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "game/framework/Keys.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/promo/PromoData.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoScreen.h"
#include "runtime/Thread.h"
#include "tests/game/framework/GameFixture.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/PromoWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <filesystem>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace promo_visit_test {

namespace {

using datakit::Bytes;

Bytes dot(std::uint32_t argb) {
    return datakit::writePng(1, 1, {argb});
}

datakit::PromoModel visitModel() {
    datakit::PromoModel model;
    model.languages.push_back({"EN", {"DUNE RALLY", "REEF RUN"}, dot(0xFF0000AA)});
    model.pageNames = {"DUNE", "REEF"};
    model.font = datakit::renderPromoFont(mkdata::demoSansBoldFace(),
                                          {32, 'A', 'B', 'D', 'E', 'F', 'L', 'N', 'R', 'U', 'Y'}, 11);
    for (int i = 0; i < 14; ++i)
        model.screenImages.push_back(dot(0xFF00FF00));
    model.pagePictures = {dot(0xFF111111), dot(0xFF222222)};
    model.propertyPicture = dot(0xFF333333);
    model.portalPicture = dot(0xFF444444);
    return model;
}

const std::vector<datakit::Property> kProperties = {
    {"Vorlax-Promo-Base", "https://offers.example/%s?lang=xx"},
    {"Vorlax-Promo-Pages", "REEF=reef"},
    {"Vorlax-Promo-Featured", "https://featured.example/"},
};

struct PromoVisit : ::testing::Test {
    PromoVisit() {
        framework_testing::s_editDemoSet = [](mkdata::ProgramFolder& demo) {
            for (datakit::ArchiveEntry& entry : demo.archive) {
                if (entry.name == mkdata::kPromoFile)
                    entry = datakit::archiveEntry("promo.bin", datakit::writePromo(visitModel()));
            }
        };
        framework_testing::s_answers = {true};
        game = std::make_unique<framework_testing::StartedGame>(kProperties);
    }
    ~PromoVisit() override {
        // The worker ends at its next poll.
        game::promoScreenStatics().s_running.store(0);
        rt::java_lang_Thread::sleep(game::promo::kWorkerPeriod + 100);
    }

    static game::State state() { return game::stateStatics().s_state; }
    static game::PromoState screenState() {
        return static_cast<game::PromoState>(game::promoScreenStatics().s_state.load());
    }

    // Frames until the game is in `target`; false after `most` frames. The
    // promotion is then set up through the hook the menus' load calls.
    bool framesUntilState(game::State target, int most = 200) {
        for (int i = 0; i < most && state() != target; ++i)
            game->frame();
        if (state() != target || !game::seams().promotion.setup)
            return false;
        game::seams().promotion.setup();
        return game::seams().promotion.available();
    }
    // Opens state 46 as the menus do: pushed, then entered (and updated
    // once) in the next frame.
    void openPromotion() {
        game::pushState(game::State::Promotion);
        game->frame();
        game->frame();
    }
    // Frames until the screen browses; the number of its updates, counting
    // `done` updates that already ran.
    int loadingUpdates(int done = 1) {
        int updates = done;
        while (screenState() == game::PromoState::Loading && updates < 100) {
            game->frame();
            ++updates;
        }
        return updates;
    }
    // A digit key pressed and released, a frame each.
    void tap(std::int32_t keyCode) {
        game::keyPressed(keyCode);
        game->frame();
        game::keyReleased(keyCode);
        game->frame();
    }
    // Lets the worker run for `milliseconds` of virtual time while the game
    // keeps its frames coming, serving the window calls it makes meanwhile.
    void letWorkerRun(std::int64_t milliseconds) {
        for (std::int64_t t = 0; t < milliseconds; t += 50) {
            rt::java_lang_Thread::sleep(50);
            game->shell->pumpMessages();
            game->frame();
        }
    }

    std::unique_ptr<framework_testing::StartedGame> game;
};

TEST_F(PromoVisit, ChoosingHandsTheAddressOverOnceAndEndsTheGame) {
    ASSERT_TRUE(game->started);
    ASSERT_TRUE(framesUntilState(game::State::Splash));
    game::progressStatics().s_promotionPending = 1;
    openPromotion();
    ASSERT_EQ(state(), game::State::Promotion);
    EXPECT_EQ(game::progressStatics().s_promotionPending, 0);
    // Pages 1 (regular) and 2 (property) are available: 6 pages, loading steps -1 to 9.
    EXPECT_EQ(loadingUpdates(), 6 + 4 + 2);
    EXPECT_EQ(game::promoScreenStatics().s_page, 1);
    tap('6');
    EXPECT_EQ(game::promoScreenStatics().s_page, 2);
    tap('6');
    EXPECT_EQ(game::promoScreenStatics().s_page, 1);
    tap('5');
    EXPECT_EQ(screenState(), game::PromoState::Choosing);
    // More updates while choosing store nothing more.
    game->frame();
    game->frame();
    letWorkerRun(3 * game::promo::kWorkerPeriod);
    EXPECT_EQ(game->host->headlessBrowser().opened(),
              std::vector<std::string>{"https://offers.example/reef?lang=EN&page=01"});
    EXPECT_EQ(screenState(), game::PromoState::Browsing);
    EXPECT_FALSE(game->impl().isRunning());
    // The visit is recorded in a store of its own; the menu's badge is saved off.
    bool recorded = false;
    for (const auto& entry : std::filesystem::directory_iterator(game->folder.path()))
        recorded = recorded || entry.path().filename() == "rms_vorlaxpromoseen.dat";
    EXPECT_TRUE(recorded);
    game::progressStatics().s_promotionPending = 1;
    EXPECT_EQ(game::loadRecordC(), 1);
    EXPECT_EQ(game::progressStatics().s_promotionPending, 0);
}

TEST_F(PromoVisit, BackLeavesOnTheSecondUpdateAndTheWorkerEnds) {
    ASSERT_TRUE(game->started);
    ASSERT_TRUE(framesUntilState(game::State::Splash));
    openPromotion();
    loadingUpdates();
    game::promo::update(game::kPromoBack);
    EXPECT_EQ(screenState(), game::PromoState::Leaving);
    EXPECT_EQ(game::promo::update(0), 1);
    rt::java_lang_Thread* worker = game::promoScreenStatics().s_worker;
    ASSERT_NE(worker, nullptr);
    rt::java_lang_Thread::sleep(game::promo::kWorkerPeriod);
    EXPECT_FALSE(worker->isAlive());
    EXPECT_EQ(game::promoScreenStatics().s_worker, nullptr);
}

TEST_F(PromoVisit, OutAndInWithinASecondKeepsOneWorker) {
    ASSERT_TRUE(game->started);
    ASSERT_TRUE(framesUntilState(game::State::Splash));
    std::int32_t threadsBefore = rt::java_lang_Thread::activeCount();
    // Each visit's worker has polled once before the screen is left, and the
    // next visit comes before that worker polls again.
    for (int visit = 0; visit < 5; ++visit) {
        openPromotion();
        rt::java_lang_Thread::sleep(20);
        loadingUpdates();
        game::promo::update(game::kPromoBack);
        EXPECT_EQ(game::promo::update(0), 1);
        game->frame();
        rt::java_lang_Thread::sleep(20);
    }
    EXPECT_LE(rt::java_lang_Thread::activeCount(), threadsBefore + 1);
    openPromotion();
    rt::java_lang_Thread::sleep(20);
    loadingUpdates();
    tap('5');
    game->frame();
    letWorkerRun(3 * game::promo::kWorkerPeriod);
    EXPECT_EQ(game->host->headlessBrowser().opened().size(), 1u);
}

TEST_F(PromoVisit, APauseDuringLoadingRestartsIt) {
    ASSERT_TRUE(game->started);
    ASSERT_TRUE(framesUntilState(game::State::Splash));
    openPromotion();
    game->frame();
    game->frame();
    EXPECT_GT(game::promoScreenStatics().s_loadStep, 0);
    game::promo::setPaused(true);
    EXPECT_EQ(screenState(), game::PromoState::Paused);
    game::promo::update(0);
    EXPECT_EQ(screenState(), game::PromoState::Paused);
    game::promo::setPaused(false);
    EXPECT_EQ(screenState(), game::PromoState::Loading);
    EXPECT_EQ(game::promoScreenStatics().s_loadStep, -1);
    EXPECT_EQ(loadingUpdates(0), 6 + 4 + 2);
}

} // namespace

} // namespace promo_visit_test
