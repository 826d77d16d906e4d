#pragma once

// The promotion tests' set-up: the platform over a program folder whose
// archive holds a promotion file and an app.jad of the test's, the demo
// set's constant strings, and a MIDlet that reads those properties.

#include "game/promo/PromoData.h"
#include "platform/midlet/MIDlet.h"
#include "tests/game/data/DataFixture.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/Constants.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/PromoWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <string>
#include <vector>

namespace promo_testing {

// A MIDlet that only carries the application properties.
class PropertyMidlet final : public platform::javax_microedition_midlet_MIDlet {
public:
    PropertyMidlet()
        : javax_microedition_midlet_MIDlet(rt::ClassId::Zelvora) {}
    void startApp() override {}
    void pauseApp() override {}
    void destroyApp(bool) override {}

    RT_NO_REFERENCE_FIELDS(PropertyMidlet, javax_microedition_midlet_MIDlet)
};

// A 1 x 1 opaque PNG of `argb`.
inline datakit::Bytes dot(std::uint32_t argb) {
    return datakit::writePng(1, 1, {argb});
}

// The characters 32 to 90 (space, digits, upper-case letters) rendered at 11 pixels.
inline datakit::PromoFont upperCaseFont() {
    std::vector<std::uint16_t> codes;
    for (std::uint16_t code = 32; code < 91; ++code)
        codes.push_back(code);
    return datakit::renderPromoFont(codes, 11);
}

struct PromoTest : data_testing::DataTest {
    PromoTest() {
        std::vector<std::u16string> texts = datakit::layOutConstants(mkdata::demoConstantTexts());
        rt::ObjectArray* table = rt::newObjectArray(static_cast<std::int32_t>(texts.size()));
        for (std::size_t i = 0; i < texts.size(); ++i)
            rt::Array::setRef(table, static_cast<std::int32_t>(i), rt::make<rt::String>(texts[i]));
        rt::getStaticClass().setConstantStrings(table);
    }

    // Puts `file` as the promotion file and `properties` as app.jad, then
    // runs the set-up on a 640 x 480 screen.
    void setUp(const datakit::Bytes& file, const std::vector<datakit::Property>& properties = {}) {
        putArchive({datakit::archiveEntry("promo.bin", file),
                    datakit::archiveEntry("app.jad", datakit::writeAppJad(properties))});
        rt::getStaticClass().statics<game::PromoStatics>() = game::PromoStatics{};
        midlet = rt::make<PropertyMidlet>();
        game::promo::setup(midlet, midlet, 640, 480);
    }

    static std::string text(rt::String* s) { return s ? s->toUtf8() : std::string("<null>"); }
    static std::vector<std::string> strings(rt::ObjectArray* array) {
        std::vector<std::string> out;
        for (std::int32_t i = 0; array && i < array->length(); ++i)
            out.push_back(text(static_cast<rt::String*>(rt::ObjectArray::get(array, i))));
        return out;
    }

    PropertyMidlet* midlet = nullptr;
};

} // namespace promo_testing
