#pragma once

// For tests, benchmarks and harnesses that read application properties and
// constant strings as the game does, without starting the game: a MIDlet that
// only carries the properties of the archive's app.jad (read when it is made),
// and the demo set's constant strings installed as the loaded table.

#include "platform/midlet/MIDlet.h"
#include "runtime/Array.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "tools/datakit/Constants.h"
#include "tools/mkdata/DemoSet.h"

namespace testing_support {

class PropertyMidlet final : public platform::javax_microedition_midlet_MIDlet {
public:
    // Made under the MIDlet's own class id, whose reference fields (the
    // properties) `rt::make` records: under the game's id the collector
    // would trace it by another class's fields, or by none.
    PropertyMidlet() = default;
    void startApp() override {}
    void pauseApp() override {}
    void destroyApp(bool) override {}

    RT_NO_REFERENCE_FIELDS(PropertyMidlet, javax_microedition_midlet_MIDlet)
};

// The demo set's constant strings, as a table.
inline rt::ObjectArray* demoConstantStrings() {
    std::vector<std::u16string> texts = datakit::layOutConstants(mkdata::demoConstantTexts());
    rt::ObjectArray* table = rt::newObjectArray(static_cast<std::int32_t>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i)
        rt::Array::setRef(table, static_cast<std::int32_t>(i), rt::make<rt::String>(texts[i]));
    return table;
}

inline void installDemoConstantStrings() {
    rt::getStaticClass().setConstantStrings(demoConstantStrings());
}

} // namespace testing_support
