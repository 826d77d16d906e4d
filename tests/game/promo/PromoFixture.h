#pragma once

// The promotion tests' set-up: the platform over a program folder whose
// archive holds a promotion file and an app.jad of the test's, the demo
// set's constant strings, and a MIDlet that reads those properties.

#include "game/promo/PromoData.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoPaint.h"
#include "game/promo/PromoScreen.h"
#include "tests/game/data/DataFixture.h"
#include "tests/support/PropertyMidlet.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/PromoWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <string>
#include <vector>

namespace promo_testing {

// A 1 x 1 opaque PNG of `argb`.
inline datakit::Bytes dot(std::uint32_t argb) {
    return datakit::writePng(1, 1, {argb});
}

// The characters 32 to 90 (space, digits, upper-case letters) rendered at 11 pixels.
inline datakit::PromoFont upperCaseFont() {
    std::vector<std::uint16_t> codes;
    for (std::uint16_t code = 32; code < 91; ++code)
        codes.push_back(code);
    return datakit::renderPromoFont(mkdata::demoSansBoldFace(), codes, 11);
}

struct PromoTest : data_testing::DataTest {
    PromoTest() { testing_support::installDemoConstantStrings(); }

    // Puts `file` as the promotion file and `properties` as app.jad, then
    // runs the set-up on a 640 x 480 screen.
    void setUp(const datakit::Bytes& file, const std::vector<datakit::Property>& properties = {}) {
        putArchive({datakit::archiveEntry("promo.bin", file),
                    datakit::archiveEntry("app.jad", datakit::writeAppJad(properties))});
        rt::getStaticClass().statics<game::PromoStatics>() = game::PromoStatics{};
        midlet = rt::make<testing_support::PropertyMidlet>();
        game::promo::setup(midlet, midlet, 640, 480);
    }

    // Runs every loading step and the text layout, and leaves the screen
    // browsing with its worker counted as running, ready to paint.
    static void loadAndBrowse() {
        game::PromoStatics& statics = game::promoStatics();
        for (std::int32_t step = -1; step < statics.s_pageCount + 4; ++step)
            game::promo::loadResources(step);
        game::promo::layoutTexts();
        game::PromoScreenStatics& screen = game::promoScreenStatics();
        screen.s_state.store(static_cast<std::int32_t>(game::PromoState::Browsing));
        screen.s_running.store(1);
        screen.s_textLineWidths = rt::newIntArray(game::promo::kPromoLineWidthSlots);
    }

    static std::string text(rt::String* s) { return s ? s->toUtf8() : std::string("<null>"); }
    static std::vector<std::string> strings(rt::ObjectArray* array) {
        std::vector<std::string> out;
        for (std::int32_t i = 0; array && i < array->length(); ++i)
            out.push_back(text(static_cast<rt::String*>(rt::ObjectArray::get(array, i))));
        return out;
    }

    testing_support::PropertyMidlet* midlet = nullptr;
};

} // namespace promo_testing
