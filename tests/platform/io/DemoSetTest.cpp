// The demo data set, as mkdata writes it, read back through the platform's
// own readers: the archive index, the constant strings and the application
// properties.

#include "tools/mkdata/DemoSet.h"
#include "classlib/util/Hashtable.h"
#include "platform/io/ApplicationProperties.h"
#include "platform/io/Class.h"
#include "platform/io/File.h"
#include "platform/io/constants.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tests/platform/io/IoFixture.h"
#include "tests/support/DemoSet.h"

namespace {

using namespace io_testing;

struct DemoSetTest : IoTest {
    DemoSetTest() {
        rt::getStaticClass().setConstantStrings(nullptr);
        auto written = mkdata::writeProgramFolder(testing_support::demoSet(), programFolder());
        EXPECT_TRUE(written.ok()) << (written.ok() ? "" : written.error().message);
    }
};

TEST_F(DemoSetTest, EveryArchiveEntryIsServedWhole) {
    mkdata::ProgramFolder demo = testing_support::demoSet();
    ASSERT_FALSE(demo.archive.empty());
    for (const datakit::ArchiveEntry& entry : demo.archive) {
        std::string name(entry.name.begin(), entry.name.end());
        lib::java_io_InputStream* in = platform::Class::getResourceAsStream(text(("/" + name).c_str()));
        ASSERT_NE(in, nullptr) << name;
        EXPECT_EQ(bytesOf(platform::readAllBytes(in)), entry.bytes) << name;
    }
    for (const auto& [name, bytes] : demo.files)
        EXPECT_EQ(fileContent(name), bytes) << name;
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(DemoSetTest, ConstantStringsLoadWithATextForEveryCataloguedNumber) {
    ASSERT_TRUE(platform::loadConstants());
    rt::ObjectArray* strings = rt::getStaticClass().constantStrings();
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(strings->length(), rt::constants::tableLength());
    for (const datakit::ConstantText& entry : mkdata::demoConstantTexts()) {
        rt::String* loaded = rt::getStaticClass().getConstantString(entry.number);
        ASSERT_NE(loaded, nullptr) << entry.number;
        EXPECT_EQ(loaded->view(), entry.text) << entry.number;
    }
    EXPECT_TRUE(datakit::missingConstants(mkdata::demoConstantTexts()).empty());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DemoSetTest, ApplicationPropertiesNameTheGame) {
    lib::java_util_Hashtable* properties = platform::readApplicationProperties();
    rt::String* name = platform::getApplicationProperty(properties, text("MIDlet-Name"));
    EXPECT_EQ(name->view(), u"Vorlax Rally");
    EXPECT_EQ(properties->size(), 5 + static_cast<std::int32_t>(mkdata::demoPromoProperties().size()));
}

} // namespace
