#include "classlib/io/PrintStream.h"
#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/ConsoleOutputStream.h"
#include "classlib/lang/Throwable.h"
#include "tests/classlib/ClassLibraryFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using lib::java_io_PrintStream;
using testing_support::bytesOf;
using testing_support::ScriptedOutputStream;

using Bytes = std::vector<std::uint8_t>;

struct PrintStreamTest : testing_support::ClassLibraryTest {
    static Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
};

TEST_F(PrintStreamTest, PrintsOneBytePerUnitAndLineFeeds) {
    struct Case {
        const char* name;
        std::function<void(java_io_PrintStream*)> print;
        Bytes bytes;
    };
    const Case cases[] = {
        {"println(String)", [](auto* p) { p->println(rt::String::newFromCString("abc")); }, {97, 98, 99, 10}},
        {"println(true)", [](auto* p) { p->println(true); },
         text(std::string(testing_support::kTrueText) + "\n")},
        {"print(false)", [](auto* p) { p->print(false); }, text(testing_support::kFalseText)},
        {"print(int)", [](auto* p) { p->print(std::int32_t{-42}); }, text("-42")},
        {"println(int)", [](auto* p) { p->println(std::int32_t{7}); }, text("7\n")},
        {"print(long)", [](auto* p) { p->print(std::int64_t{-9000000000}); }, text("-9000000000")},
        {"print(char)", [](auto* p) { p->print(u'\u20AC'); }, {0xAC}},
        {"println(char)", [](auto* p) { p->println(u'x'); }, text("x\n")},
        {"units of a String", [](auto* p) { p->print(rt::make<rt::String>(u"\u0141\u00E9")); }, {0x41, 0xE9}},
        {"print(char[])", [](auto* p) { p->print(rt::make<rt::String>(u"hi")->toCharArray()); }, text("hi")},
        {"print(Object)", [](auto* p) { p->print(lib::newThrowable(rt::ClassId::java_lang_Exception)); },
         text(testing_support::kDefaultMessageText)},
        {"println(Object) null", [](auto* p) { p->println(static_cast<rt::Object*>(nullptr)); },
         text("null\n")},
        {"print(String) null", [](auto* p) { p->print(static_cast<rt::String*>(nullptr)); }, text("null")},
        {"println()", [](auto* p) { p->println(); }, {10}},
        {"write(b, off, len)",
         [](auto* p) {
             p->write(testing_support::byteArray({1, 2, 3}), 1, 2);
         },
         {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* out = rt::make<lib::java_io_ByteArrayOutputStream>();
        c.print(rt::make<java_io_PrintStream>(out));
        EXPECT_EQ(bytesOf(out->toByteArray()), c.bytes);
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(PrintStreamTest, AnIOExceptionIsDroppedAndOthersStopThePrint) {
    auto* failing = rt::make<ScriptedOutputStream>();
    auto* print = rt::make<java_io_PrintStream>(failing);
    failing->m_failAt = 2;
    print->print(rt::make<rt::String>(u"ab")->toCharArray()); // the write of 'a' succeeds, that of 'b' fails
    print->println(std::int32_t{5});
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(failing->m_bytes, (Bytes{'a', '5', 10}));

    failing->m_bytes.clear();
    failing->m_writes = 0;
    failing->m_failWith = rt::ClassId::java_lang_IllegalStateException;
    print->print(rt::make<rt::String>(u"xyz")->toCharArray());
    EXPECT_EQ(failing->m_bytes, Bytes{'x'});
    EXPECT_NE(rt::catchException(rt::ClassId::java_lang_IllegalStateException), nullptr);

    failing->m_writes = 0;
    failing->m_failAt = 1;
    print->println(rt::String::newFromCString("lost"));
    EXPECT_EQ(failing->m_bytes, Bytes{'x'}) << "no line feed after a print that left an exception pending";
    EXPECT_TRUE(rt::exceptionPending());
}

TEST_F(PrintStreamTest, TheSystemStreamDiscardsEverything) {
    java_io_PrintStream* system = lib::ensureSystemStream();
    EXPECT_EQ(system, lib::ensureSystemStream());
    ASSERT_NE(system->wrapped(), nullptr);
    EXPECT_EQ(system->wrapped()->classId(), rt::ClassId::java_io_ConsoleOutputStream);
    system->println(rt::String::newFromCString("to nowhere"));
    system->flush();
    system->close();
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.lines().empty());

    auto* unwrapped = rt::make<java_io_PrintStream>(nullptr);
    unwrapped->println(true);
    EXPECT_TRUE(log.contains("NullPointer"));
}

} // namespace
