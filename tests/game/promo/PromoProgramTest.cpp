// More Games as a player meets it: the real program on the demo set, from
// the main menu into the promotion screen, every page reached by tapping the
// right page arrow where the frame drew it, and out by the drawn back key.

#include "game/promo/PromoScreenStatics.h"
#include "game/promo/PromoStatics.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/tour/Tour.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using game::State;
using namespace tour::steps;

// The promotion screen's own images: the right page arrow (lit, unlit) and
// the back key's frame (unpressed, pressed).
constexpr std::int32_t kRightArrowImages[] = {6, 7};
constexpr std::int32_t kBackKeyImages[] = {12, 13};

std::function<bool(const tour::Frame&, tour::Player&, std::string&)>
tapImage(std::span<const std::int32_t> images, const char* name) {
    return tapPromoImage(std::vector<std::int32_t>(images.begin(), images.end()), name);
}

bool browsing(const tour::Frame& frame) {
    return frame.state == State::Promotion && frame.stateTime > 1500 &&
           game::promoScreenStatics().s_state.load() == static_cast<std::int32_t>(game::PromoState::Browsing);
}

TEST(PromoProgram, EveryPageIsReachedByTheDrawnArrowAndTheDrawnBackKeyLeaves) {
    testing_support::TemporaryFolder root("vorlax-promo-program");
    const std::filesystem::path demo = root.path() / "demo";
    ASSERT_TRUE(mkdata::writeProgramFolder(testing_support::demoSet(), demo).ok());
    std::vector<std::int32_t> pages;
    std::int32_t available = -1;
    std::vector<tour::Step> steps = {
        step("the sound question", inState(State::SoundQuestion), press(tour::SoftKey::Left)),
        step("the title", inState(State::Title), tapAt(320, 240)),
        step("the main menu", showing(State::MainMenu, u"More Games", 900), tapText(u"More Games")),
        step("the notice", inState(State::PromotionNotice), tapAt(320, 240)),
    };
    // One step per page and one more, which finds the first page again.
    const std::size_t kMostPages = 12;
    for (std::size_t i = 0; i <= kMostPages; ++i)
        steps.push_back(step("a page and its right arrow", browsing,
                             [&](const tour::Frame& frame, tour::Player& player, std::string& problem) {
                                 available = game::promoStatics().s_availablePageCount;
                                 pages.push_back(game::promoScreenStatics().s_page);
                                 if (pages.size() > static_cast<std::size_t>(available))
                                     return true;
                                 return tapImage(kRightArrowImages, "right page arrow")(frame, player,
                                                                                        problem);
                             }));
    steps.push_back(step("the first page again", browsing, tapImage(kBackKeyImages, "back key")));
    steps.push_back(step("the main menu again", inState(State::MainMenu), nothing()));
    const tour::TourResult result = tour::runTour(demo, steps);
    EXPECT_TRUE(result.finished) << result.problem;
    ASSERT_GE(available, 2);
    ASSERT_GT(pages.size(), static_cast<std::size_t>(available));
    // Each tap showed a page not seen yet, until the arrow came round to the
    // first.
    const std::vector<std::int32_t> round(pages.begin(), pages.begin() + available);
    EXPECT_EQ(std::set<std::int32_t>(round.begin(), round.end()).size(), round.size());
    EXPECT_EQ(pages[static_cast<std::size_t>(available)], pages.front());
}

} // namespace
