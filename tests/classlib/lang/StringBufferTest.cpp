#include "classlib/lang/StringBuffer.h"
#include "runtime/ObjectManager.h"
#include "runtime/checks.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using lib::StringBuffer;
using rt::String;

std::u16string textOf(const StringBuffer* buffer) {
    return std::u16string(buffer->units() ? buffer->units() : u"",
                          static_cast<std::size_t>(buffer->length()));
}

struct StringBufferTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};

    String* s(std::u16string_view text) { return rt::make<String>(text); }
    StringBuffer* buffer(std::u16string_view text, std::int32_t capacity = 16) {
        auto* b = rt::make<StringBuffer>(capacity);
        b->append(s(text));
        return b;
    }
};

TEST_F(StringBufferTest, GrowthAtLeastDoubles) {
    struct Case {
        std::int32_t capacity, length, appended, grownTo;
    };
    const Case cases[] = {
        {16, 15, 1, 32},  // need 17: twice 16
        {16, 10, 50, 61}, // need 61 is more than twice 16
        {16, 10, 5, 16},  // need 16 fits
        {0, 0, 1, 2},
    };
    for (const Case& c : cases) {
        StringBuffer* b = rt::make<StringBuffer>(c.capacity);
        b->append(s(std::u16string(static_cast<std::size_t>(c.length), u'x')));
        ASSERT_EQ(b->capacity(), c.capacity);
        b->append(s(std::u16string(static_cast<std::size_t>(c.appended), u'y')));
        EXPECT_EQ(b->capacity(), c.grownTo) << c.capacity << "/" << c.length << " + " << c.appended;
        EXPECT_EQ(b->length(), c.length + c.appended);
        if (b->capacity() > b->length()) {
            EXPECT_EQ(b->units()[b->length()], 0);
        }
    }
    StringBuffer* b = rt::make<StringBuffer>(10);
    b->ensureCapacity(11);
    EXPECT_EQ(b->capacity(), 20);
    b->ensureCapacity(5);
    EXPECT_EQ(b->capacity(), 20);
    EXPECT_EQ(rt::make<StringBuffer>(s(u"abc"))->capacity(), 4);
}

TEST_F(StringBufferTest, TextsOfAppendedValues) {
    StringBuffer* b = rt::make<StringBuffer>();
    b->append(static_cast<String*>(nullptr))
        ->append(static_cast<rt::Object*>(nullptr))
        ->append(true)
        ->append(false)
        ->append(u'\u00E9')
        ->append(INT32_MIN)
        ->append(std::int64_t{INT64_MAX})
        ->append(0.5f)
        ->append(-2.0)
        ->append(static_cast<rt::Object*>(s(u"!")));
    EXPECT_EQ(textOf(b), u"nullnulltruefalse\u00E9-21474836489223372036854775807"
                         u"0.500000-2.000000!");
    EXPECT_EQ(b->toString()->view(), textOf(b));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(StringBufferTest, EditsInPlace) {
    StringBuffer* b = buffer(u"cd");
    b->insert(0, s(u"ab"));
    EXPECT_EQ(textOf(b), u"abcd");
    b->insert(2, 42)->insert(4, u'-')->insert(0, true);
    EXPECT_EQ(textOf(b), u"trueab42-cd");
    b->insertCString(b->length(), "\xE9z");
    EXPECT_EQ(textOf(b), u"trueab42-cd\u00E9z");
    b->delete_(1, 100);
    EXPECT_EQ(textOf(b), u"t");
    b->delete_(1, 1)->delete_(5, 9);
    EXPECT_EQ(textOf(b), u"t");

    StringBuffer* r = buffer(u"a\u00E9\u263A");
    r->reverse();
    EXPECT_EQ(textOf(r), u"\u263A\u00E9a");
    r->deleteCharAt(1);
    EXPECT_EQ(textOf(r), u"\u263Aa");

    // Lengthening exposes 0 units, never old text.
    StringBuffer* l = buffer(u"abcdef");
    l->setLength(2);
    EXPECT_EQ(textOf(l), u"ab");
    l->setLength(4);
    EXPECT_EQ(textOf(l), std::u16string(u"ab\0\0", 4));
    l->setLength(40);
    EXPECT_EQ(l->capacity(), 40);
    EXPECT_EQ(l->length(), 40);

    rt::CharArray* into = rt::newCharArray(3);
    r->getChars(0, 2, into, 1);
    EXPECT_EQ(std::u16string_view(into->elements(), 3), std::u16string_view(u"\0\u263Aa", 3));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(StringBufferTest, BadOffsetsAreReportedAndChangeNothing) {
    StringBuffer* b = buffer(u"abc");
    b->insert(4, s(u"x"));
    b->insert(-1, 7);
    b->insertCString(9, "x");
    b->setLength(-1);
    b->deleteCharAt(3);
    // The log holds the first five reports of a kind; a fresh tally logs the
    // rest, so every call's report can be read below.
    rt::resetRuntimeReports();
    b->deleteCharAt(-1);
    b->delete_(-1, 2);
    b->getChars(1, 4, rt::newCharArray(8), 0);
    b->getChars(0, 2, rt::newCharArray(1), 0);
    b->getChars(0, 1, nullptr, 0);
    EXPECT_EQ(textOf(b), u"abc");
    EXPECT_EQ(b->capacity(), 16);
    std::vector<std::string> reported;
    for (const std::string& line : log.lines()) {
        if (line.rfind("stacktrace:", 0) != 0)
            reported.push_back(line);
    }
    EXPECT_EQ(reported, (std::vector<std::string>{
                            "StringIndexOutOfBounds index=4 length=3",
                            "StringIndexOutOfBounds index=-1 length=3",
                            "StringIndexOutOfBounds index=9 length=3",
                            "StringIndexOutOfBounds index=-1 length=3",
                            "StringIndexOutOfBounds index=3 length=3",
                            "StringIndexOutOfBounds index=-1 length=3",
                            "StringIndexOutOfBounds index=-1 length=3",
                            "StringIndexOutOfBounds index=4 length=3",
                            "ArrayIndexOutOfBounds index=2 length=1",
                            "NullPointer",
                        }));
}

TEST_F(StringBufferTest, InsertingItsOwnTextWorksWhetherOrNotItGrows) {
    StringBuffer* b = buffer(u"abcd", 64);
    b->insertChars(0, b->units() + 2, 2);
    EXPECT_EQ(textOf(b), u"cdabcd");
    StringBuffer* full = buffer(u"abcd", 5);
    full->insertChars(1, full->units(), 4);
    EXPECT_EQ(full->capacity(), 10);
    EXPECT_EQ(textOf(full), u"aabcdbcd");
}

// Strings longer than the inline buffer appended and inserted into a buffer
// while a small buffer heap collects and compacts (moving every block no stack
// pins: this test registers no stack) whenever an allocation fails, with freed
// space scribbled over: a pointer to units kept across an allocation would
// copy garbage. What the test holds, it holds through handles.
TEST(StringBufferCompaction, TextSurvivesBlocksMovingUnderEveryEdit) {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 4 * 1024}};
    rt::ObjectManager& collector = runtime.objectManager();
    testing_support::ScrubbingCompactor compactor(&collector);
    runtime.bufferHeap().setFailureHandler(&compactor);

    std::mt19937 random(7);
    std::vector<std::unique_ptr<rt::Handle<String>>> live;
    rt::Handle<StringBuffer> target(collector, rt::make<StringBuffer>(16));
    std::u16string model;
    int sourcesMoved = 0;
    for (int step = 0; step < 1000; ++step) {
        std::u16string text(16 + random() % 40, u'a');
        for (char16_t& unit : text)
            unit = static_cast<char16_t>(u'A' + random() % 50);
        live.push_back(std::make_unique<rt::Handle<String>>(collector, rt::make<String>(text)));
        // Older strings become garbage: their blocks leave holes.
        if (live.size() > 24)
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(random() % live.size()));
        String* appended = live[random() % live.size()]->get();
        const char16_t* before = appended->units();
        bool append = step % 2;
        auto offset = static_cast<std::int32_t>(append ? model.size() : random() % (model.size() + 1));
        model.insert(static_cast<std::size_t>(offset), appended->view());
        if (append)
            target->append(appended);
        else
            target->insert(offset, appended);
        sourcesMoved += appended->units() != before;
        ASSERT_EQ(textOf(target.get()), model) << "step " << step;

        // Start over from the tail in a buffer with no room to spare, so
        // that the next edits grow it again.
        if (model.size() > 300) {
            rt::Handle<String> whole(collector, target->toString());
            ASSERT_EQ(whole->view(), model);
            rt::Handle<String> tail(collector, whole->substring(250));
            target.set(rt::make<StringBuffer>(tail.get()));
            model.erase(0, 250);
            ASSERT_EQ(textOf(target.get()), model);
        }
    }
    EXPECT_GT(compactor.compactions(), 10);
    // Some edits really did run while their source moved.
    EXPECT_GT(sourcesMoved, 0);
    EXPECT_EQ(runtime.bufferHeap().verify(), "");
    EXPECT_EQ(collector.verifyHeap(), "");
}

} // namespace
