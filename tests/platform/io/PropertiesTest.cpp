#include "classlib/util/Hashtable.h"
#include "platform/io/ApplicationProperties.h"
#include "tests/platform/io/IoFixture.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/Archive.h"

#include <chrono>
#include <map>

namespace {

using namespace io_testing;
using lib::java_util_Hashtable;

struct PropertiesTest : IoTest {
    // The properties of a descriptor of these bytes, as (key, value) pairs.
    static std::map<std::u16string, std::u16string> parsed(std::string_view bytes) {
        rt::String* descriptor = rt::make<rt::String>(byteArray(asBytes(bytes)));
        java_util_Hashtable* table = platform::parseApplicationProperties(descriptor);
        std::map<std::u16string, std::u16string> pairs;
        auto* keys = table->keys();
        while (keys->hasMoreElements()) {
            auto* key = static_cast<rt::String*>(keys->nextElement());
            pairs[std::u16string(key->view())] = static_cast<rt::String*>(table->get(key))->view();
        }
        return pairs;
    }
    static std::u16string property(java_util_Hashtable* table, const char* key) {
        return std::u16string(platform::getApplicationProperty(table, text(key))->view());
    }
};

using Pairs = std::map<std::u16string, std::u16string>;

TEST_F(PropertiesTest, LinesSplitAtTheirFirstColonAndAreTrimmed) {
    struct Case {
        const char* what;
        std::string_view bytes;
        Pairs pairs;
    };
    const Case cases[] = {
        {"CR LF and a last line without an end", "A: 1\r\nB:x:y", {{u"A", u"1"}, {u"B", u"x:y"}}},
        {"blanks around key and value", "  Key Name \t:  two  words \t\n", {{u"Key Name", u"two  words"}}},
        {"a key and a colon only", "Empty:\nLast:\r\n", {{u"Empty", u""}, {u"Last", u""}}},
        {"the later value wins", "K: first\nK: second\n", {{u"K", u"second"}}},
        {"keys keep their case", "k: small\nK: capital", {{u"k", u"small"}, {u"K", u"capital"}}},
        {"lines without a colon are skipped",
         "no colon\n\nA: 1\r\n\r\nplain\nB: 2",
         {{u"A", u"1"}, {u"B", u"2"}}},
        {"a colon only on a later line", "first line\nZ: z", {{u"Z", u"z"}}},
        {"an empty key", ": v", {{u"", u"v"}}},
        {"Latin-1 bytes", "N\xE9: \xFF", {{u"N\u00e9", u"\u00ff"}}},
        {"nothing", "", {}},
        {"line ends only", "\n\r\n\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsed(c.bytes), c.pairs) << c.what;
    EXPECT_TRUE(platform::parseApplicationProperties(nullptr)->isEmpty());
}

TEST_F(PropertiesTest, ParsingTakesTimeInProportionToTheText) {
    // Lines without ':' are where a search for it could run on to the end of
    // the text, once per line.
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "x\n";
    bytes += "Last: 1";
    rt::String* descriptor = rt::make<rt::String>(byteArray(asBytes(bytes)));
    auto began = std::chrono::steady_clock::now();
    java_util_Hashtable* table = platform::parseApplicationProperties(descriptor);
    auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(table->size(), 1);
    EXPECT_EQ(property(table, "Last"), u"1");
    EXPECT_LT(took, std::chrono::milliseconds(500)) << "100,000 lines";
}

struct BoundedAppJad {
    const char* what;
    std::string bytes;
    const char* logged; // null: read
};

struct BoundedAppJadTest : PropertiesTest, ::testing::WithParamInterface<BoundedAppJad> {};

std::string lines(std::int32_t count, const std::string& line) {
    std::string text;
    for (std::int32_t i = 0; i < count; ++i)
        text += line;
    return text;
}

const BoundedAppJad kBoundedAppJads[] = {
    {"the most lines", lines(platform::kMaxAppDescriptorLines - 1, "Key: value\n") + "A: 1", nullptr},
    {"the most bytes", std::string(platform::kMaxAppDescriptorBytes - 4, 'x') + "\nA:1", nullptr},
    {"a line too many", lines(platform::kMaxAppDescriptorLines, "Key: value\n") + "A: 1",
     "app.jad: 1025 lines, more than the 1024"},
    {"30000 short lines", lines(30000, "\n"), "app.jad: 30001 lines, more than the 1024"},
    {"a byte too many", std::string(platform::kMaxAppDescriptorBytes + 1, 'x'),
     "app.jad: 65537 bytes, more than the 65536"},
};

TEST_P(BoundedAppJadTest, IsReadOnlyWithinItsBounds) {
    const BoundedAppJad& c = GetParam();
    put("data.bar", datakit::writeArchive({datakit::archiveEntry("app.jad", c.bytes)}));
    EXPECT_EQ(platform::checkAppDescriptor(), c.logged == nullptr);
    java_util_Hashtable* table = platform::readApplicationProperties();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(rt::exceptionPending());
    if (!c.logged) {
        EXPECT_EQ(property(table, "A"), u"1");
        EXPECT_TRUE(log.lines().empty());
        return;
    }
    EXPECT_TRUE(table->isEmpty());
    EXPECT_EQ(platform::readAppDescriptor(), nullptr);
    ASSERT_EQ(log.lines().size(), 3u) << "one line per read";
    EXPECT_NE(log.lines()[0].find(c.logged), std::string::npos) << log.lines()[0];
}

INSTANTIATE_TEST_SUITE_P(Properties, BoundedAppJadTest, ::testing::ValuesIn(kBoundedAppJads), NameByWhat{});

TEST_F(PropertiesTest, TheMidletsPropertiesComeFromAppJadInTheArchive) {
    put("data.bar", datakit::writeArchive({datakit::archiveEntry(
                        "APP.JAD", datakit::writeAppJad({{"MIDlet-Name", "Vorlax Rally"},
                                                         {"Orientation", ""},
                                                         {"URL", "http://example.org:80/"}}))}));
    java_util_Hashtable* table = platform::readApplicationProperties();
    EXPECT_EQ(table->size(), 3);
    EXPECT_EQ(table->bucketCount(), 11);
    EXPECT_EQ(table->threshold(), 8);
    EXPECT_EQ(property(table, "MIDlet-Name"), u"Vorlax Rally");
    EXPECT_EQ(property(table, "URL"), u"http://example.org:80/");
    EXPECT_EQ(property(table, "Orientation"), u"") << "present, if empty";
    EXPECT_EQ(property(table, "midlet-name"), u"PROPERTY VALUE EMPTY");
    EXPECT_EQ(property(table, "Missing"), u"PROPERTY VALUE EMPTY");
    EXPECT_NE(platform::getApplicationProperty(table, text("Missing")),
              platform::getApplicationProperty(table, text("Missing")))
        << "a new String each time";
    EXPECT_EQ(std::u16string(platform::readAppDescriptor()->view().substr(0, 13)), u"MIDlet-Name: ");
}

TEST_F(PropertiesTest, WithoutAppJadThereAreNoProperties) {
    put("data.bar", datakit::writeArchive({datakit::archiveEntry("app.jad.old", "A: 1")}));
    EXPECT_EQ(platform::readAppDescriptor(), nullptr);
    java_util_Hashtable* table = platform::readApplicationProperties();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isEmpty());
    EXPECT_EQ(property(table, "A"), u"PROPERTY VALUE EMPTY");

    log.clear();
    EXPECT_EQ(std::u16string(platform::getApplicationProperty(table, nullptr)->view()),
              u"PROPERTY VALUE EMPTY");
    EXPECT_TRUE(log.contains("NullPointer"));
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
