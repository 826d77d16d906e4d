#include "classlib/LangAndUtil.h"
#include "classlib/lang/System.h"
#include "tests/classlib/ClassLibraryFixture.h"

#include <string>

namespace {

using namespace testing_support;
using lib::java_lang_System;

using SystemPropertyTest = ClassLibraryTest;

TEST_F(SystemPropertyTest, AnswersTheMediaVersionAndTheTableByWholeKeys) {
    installConstantStrings({{rt::constants::kDefaultMessage, "no details"},
                            {rt::constants::kPlatformPropertyKey, "microedition.platform"},
                            {rt::constants::kPlatformPropertyValue, "Vorlax"}});
    lib::runLangStaticInitialisers();
    struct Case {
        const char* key;
        const char16_t* value;
    };
    const Case cases[] = {
        {"microedition.media.version", u"1.0"},
        {"microedition.platform", u"Vorlax"},
        {"microedition", u"PROPERTY VALUE EMPTY"}, // a leading part is another key
        {"", u"PROPERTY VALUE EMPTY"},
        {"microedition.media.version.x", u"PROPERTY VALUE EMPTY"},
        {"MIDlet-Name", u"PROPERTY VALUE EMPTY"}, // application properties are not asked
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::u16string(java_lang_System::getProperty(rt::String::newFromCString(c.key))->view()),
                  c.value)
            << c.key;
    EXPECT_EQ(std::u16string(java_lang_System::getProperty(nullptr)->view()), u"PROPERTY VALUE EMPTY");
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
