#include "runtime/String.h"
#include "runtime/Class.h"
#include "runtime/charsets.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using rt::String;

struct StringTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};

    String* s(std::u16string_view text) { return rt::make<String>(text); }
    rt::ByteArray* bytes(std::vector<std::uint8_t> values) {
        rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            array->elements()[i] = static_cast<std::int8_t>(values[i]);
        return array;
    }
};

TEST_F(StringTest, ShortTextsStayInTheObject) {
    for (std::int32_t length : {0, 14, 15, 40}) {
        std::u16string text(static_cast<std::size_t>(length), u'q');
        String* string = s(text);
        EXPECT_EQ(string->length(), length);
        EXPECT_EQ(string->count(), length + 1);
        EXPECT_EQ(string->units()[length], 0);
        EXPECT_EQ(string->view(), text);
        bool inObject = string->units() >= reinterpret_cast<const char16_t*>(string) &&
                        string->units() < reinterpret_cast<const char16_t*>(string + 1);
        EXPECT_EQ(inObject, length <= 14) << length;
        EXPECT_EQ(runtime.bufferHeap().contains(string->units()), length >= 15) << length;
    }
}

TEST_F(StringTest, OrderAndHashCountTheTerminator) {
    struct Case {
        std::u16string_view a, b;
        std::int32_t compare;
    };
    const Case cases[] = {{u"ab", u"abc", -99}, {u"b", u"a", 1}, {u"abc", u"abc", 0}, {u"", u"a", -97}};
    for (const Case& c : cases) {
        EXPECT_EQ(s(c.a)->compareTo(s(c.b)), c.compare);
        EXPECT_EQ(s(c.a)->equals(s(c.b)), c.compare == 0);
    }
    EXPECT_EQ(s(u"")->hashCode(), 0);
    EXPECT_EQ(s(u"a")->hashCode(), 3007);
    EXPECT_EQ(s(u"ab")->hashCode(), 31 * (31 * 97 + 98));
    EXPECT_FALSE(s(u"a")->equals(nullptr));
    EXPECT_FALSE(s(u"a")->equals(rt::make<rt::Object>()));
}

TEST_F(StringTest, CaseInsensitiveAndCStringComparisonsTakeWholeStrings) {
    struct Case {
        std::u16string_view a, b;
        bool equalsIgnoreCase;
    };
    const Case cases[] = {
        {u"abc", u"ABCDEF", false}, {u"ABCDEF", u"abc", false}, {u"", u"abc", false},
        {u"", u"", true},           {u"AbC", u"aBc", true},     {u"\u00C9", u"\u00E9", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s(c.a)->equalsIgnoreCase(s(c.b)), c.equalsIgnoreCase);
    EXPECT_FALSE(s(u"a")->equalsIgnoreCase(nullptr));

    struct CCase {
        std::u16string_view a;
        const char* b;
        bool equals, equalsIgnoreCase;
    };
    const CCase cCases[] = {
        {u"UTF-8", "UTF-8", true, true}, {u"utf-8", "UTF-8", false, true}, {u"UTF", "UTF-8", false, false},
        {u"UTF-8", "UTF", false, false}, {u"", "SJIS", false, false},      {u"", "", true, true},
        {u"\u00E9", "\xE9", true, true},
    };
    for (const CCase& c : cCases) {
        EXPECT_EQ(s(c.a)->equalsCString(c.b), c.equals) << c.b;
        EXPECT_EQ(s(c.a)->equalsIgnoreCaseCString(c.b), c.equalsIgnoreCase) << c.b;
    }
}

TEST_F(StringTest, Searches) {
    String* text = s(u"hello world");
    EXPECT_EQ(text->indexOf(u'o'), 4);
    EXPECT_EQ(text->indexOf(u'o', 5), 7);
    EXPECT_EQ(text->indexOf(u'o', -9), 4);
    EXPECT_EQ(text->indexOf(u'z'), -1);
    EXPECT_EQ(text->indexOf(0), -1);
    EXPECT_EQ(text->indexOf(s(u"wor")), 6);
    EXPECT_EQ(text->indexOf(s(u"o"), 5), 7);
    EXPECT_EQ(text->indexOf(s(u"world!")), -1);
    EXPECT_EQ(text->indexOf(s(u"ld"), 9), 9);
    EXPECT_EQ(text->indexOf(s(u""), 3), 3);
    EXPECT_EQ(text->indexOf(s(u""), 11), 11);
    EXPECT_EQ(text->indexOf(s(u""), 12), -1);
    EXPECT_EQ(text->lastIndexOf(u'o'), 7);
    EXPECT_EQ(text->lastIndexOf(u'o', 6), 4);
    EXPECT_EQ(text->lastIndexOf(0), 11); // the terminator
    EXPECT_EQ(text->lastIndexOf(u'h', -1), -1);

    EXPECT_TRUE(text->startsWith(s(u"hell")));
    EXPECT_TRUE(text->startsWith(s(u"")));
    EXPECT_FALSE(text->startsWith(s(u"hello world!")));
    EXPECT_FALSE(text->startsWith(nullptr));
    EXPECT_TRUE(text->startsWith(s(u"world"), 6));
    EXPECT_TRUE(text->startsWith(s(u""), 11));
    EXPECT_FALSE(text->startsWith(s(u""), 12));
    EXPECT_FALSE(text->startsWith(s(u"h"), -1));
    EXPECT_TRUE(text->endsWith(s(u"world")));
    EXPECT_FALSE(text->endsWith(s(u"xhello world")));
    EXPECT_FALSE(text->endsWith(nullptr));

    EXPECT_TRUE(text->regionMatches(false, 6, s(u"a world"), 2, 5));
    EXPECT_FALSE(text->regionMatches(false, 6, s(u"WORLD"), 0, 5));
    EXPECT_TRUE(text->regionMatches(true, 6, s(u"WORLD"), 0, 5));
    EXPECT_FALSE(text->regionMatches(true, 7, s(u"WORLD"), 0, 5));
    EXPECT_FALSE(text->regionMatches(true, -1, s(u"WORLD"), 0, 1));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(StringTest, DerivedStrings) {
    EXPECT_EQ(s(u"  x  ")->trim()->view(), u"x");
    EXPECT_EQ(s(u"   ")->trim()->view(), u"");
    EXPECT_EQ(s(u"hello")->substring(1, 3)->view(), u"el");
    EXPECT_EQ(s(u"hello")->substring(5)->view(), u"");
    EXPECT_EQ(s(u"MiXeD 1")->toLowerCase()->view(), u"mixed 1");
    EXPECT_EQ(s(u"MiXeD \u00e9")->toUpperCase()->view(), u"MIXED \u00e9");
    String* plain = s(u"abcabc");
    EXPECT_EQ(plain->replace(u'z', u'y'), plain);
    EXPECT_EQ(plain->replace(u'b', u'B')->view(), u"aBcaBc");
    EXPECT_EQ(plain->concat(s(u"")), plain);
    EXPECT_EQ(plain->concat(s(u"defghijklmnop"))->view(), u"abcabcdefghijklmnop");
    EXPECT_EQ(rt::make<String>(plain)->view(), u"abcabc");
    EXPECT_TRUE(log.lines().empty());

    for (auto [begin, end] : {std::pair{-1, 2}, std::pair{2, 1}, std::pair{0, 7}}) {
        log.clear();
        EXPECT_EQ(plain->substring(begin, end)->view(), u"");
        EXPECT_TRUE(log.contains("StringIndexOutOfBounds")) << begin << ", " << end;
    }
    log.clear();
    EXPECT_EQ(plain->charAt(6), 0);
    EXPECT_EQ(log.lines().front(), "StringIndexOutOfBounds index=6 length=6");
}

TEST_F(StringTest, CharArraysInAndOut) {
    String* text = s(u"a\u263Ab");
    rt::CharArray* chars = text->toCharArray();
    ASSERT_EQ(chars->length(), 3);
    EXPECT_EQ(chars->elements()[1], u'\u263A');
    EXPECT_EQ(rt::make<String>(chars, 1, 2)->view(), u"\u263Ab");
    // valueOf keeps whole units and stops at the first 0 unit.
    chars->elements()[2] = 0;
    EXPECT_EQ(String::valueOf(chars, 0, 3)->view(), u"a\u263A");

    rt::CharArray* into = rt::newCharArray(4);
    text->getChars(1, 3, into, 2);
    EXPECT_EQ(std::u16string_view(into->elements(), 4), std::u16string_view(u"\0\0\u263Ab", 4));
    EXPECT_TRUE(log.lines().empty());

    // Null arrays and bad ranges are reported and give nothing.
    EXPECT_EQ(rt::make<String>(static_cast<rt::CharArray*>(nullptr), 0, 2)->view(), u"");
    EXPECT_EQ(rt::make<String>(chars, 2, 2)->view(), u"");
    text->getChars(0, 3, into, 2);
    text->getChars(0, 1, nullptr, 0);
    EXPECT_EQ(std::u16string_view(into->elements(), 4), std::u16string_view(u"\0\0\u263Ab", 4));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"NullPointer",
                                                     "stacktrace:", "ArrayIndexOutOfBounds index=4 length=3",
                                                     "stacktrace:", "ArrayIndexOutOfBounds index=5 length=4",
                                                     "stacktrace:", "NullPointer", "stacktrace:"}));
}

TEST_F(StringTest, DecodingByCharset) {
    struct Case {
        const char16_t* charset; // null: no name
        std::vector<std::uint8_t> bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {nullptr, {0x41, 0xE9, 0xFF}, u"A\u00E9\u00FF"},
        {u"ISO-8859-1", {0xC3, 0xA9}, u"\u00C3\u00A9"},
        {u"utf-8", {0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}, u"A\u00E9\u20AC"},
        {u"UTF8", {0xC0, 0x80, 0x7F}, std::u16string(u"\0\x7F", 2)},
        {u"SJIS",
         {0x82, 0xA0, 0x41, 0xE0},
         u"\x82A0"
         u"A\xFFFD"},
        {u"KOI8-R", {0xC3, 0xA9}, u"\u00C3\u00A9"}, // unknown: ISO-8859-1
        {u"sjis", {0x82, 0xA0}, u"\u0082\u00A0"},   // the SJIS name is exact
    };
    for (const Case& c : cases) {
        String* name = c.charset ? s(c.charset) : nullptr;
        SCOPED_TRACE(name ? name->toUtf8() : "(null)");
        String* decoded = rt::make<String>(bytes(c.bytes), name);
        EXPECT_EQ(decoded->view(), c.expected);
    }
    EXPECT_EQ(rt::make<String>(bytes({0x61, 0x62, 0x63, 0x64}), 1, 2, s(u"UTF-8"))->view(), u"bc");
    EXPECT_EQ(rt::make<String>(bytes({0xE9, 0x41}))->view(), u"\u00E9A");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(rt::make<String>(bytes({0x61}), 1, 1)->view(), u"");
    EXPECT_TRUE(log.contains("ArrayIndexOutOfBounds index=2 length=1"));
}

// Each bad sequence at every position of an ASCII text, decoded from a buffer
// of exactly its size (the sanitizer build catches any read past it).
TEST(Utf8Decoding, BadBytesBecomeOneReplacementEachAndNothingReadsPastTheInput) {
    struct Case {
        std::vector<std::uint8_t> bad;
        std::u16string replacement; // what the sequence decodes to before ASCII
        std::u16string atEnd;       // what it decodes to at the end of the input
    };
    const std::u16string r(1, rt::kReplacementUnit);
    const Case cases[] = {
        {{0x80}, r, r},
        {{0xBF}, r, r},
        {{0xF0}, r, r},
        {{0xF8, 0x88, 0x80}, r + r + r, r + r + r},
        {{0xFF}, r, r},
        {{0xC3}, r, r},
        {{0xE2, 0x82}, r + r, r + r},
        {{0xC3, 0xC3}, r + r, r + r},
        {{0xE2, 0x41}, r + u"A", r + u"A"},
    };
    const std::string ascii = "abcdef";
    for (const Case& c : cases) {
        for (std::size_t at = 0; at <= ascii.size(); ++at) {
            std::vector<std::uint8_t> input(ascii.begin(), ascii.begin() + static_cast<std::ptrdiff_t>(at));
            input.insert(input.end(), c.bad.begin(), c.bad.end());
            input.insert(input.end(), ascii.begin() + static_cast<std::ptrdiff_t>(at), ascii.end());
            auto exact = std::make_unique<std::uint8_t[]>(input.size());
            std::copy(input.begin(), input.end(), exact.get());

            std::u16string decoded;
            rt::decodeBytes(std::span(exact.get(), input.size()), rt::Charset::Utf8, decoded);
            std::u16string expected(ascii.begin(), ascii.begin() + static_cast<std::ptrdiff_t>(at));
            expected += at == ascii.size() ? c.atEnd : c.replacement;
            expected.append(ascii.begin() + static_cast<std::ptrdiff_t>(at), ascii.end());
            EXPECT_EQ(decoded, expected) << "bad byte 0x" << std::hex << int{c.bad[0]} << " at " << at;
        }
    }
}

TEST_F(StringTest, Encoding) {
    String* text = s(std::u16string(u"\0A\u00E9\u20AC", 4));
    rt::ByteArray* utf8 = text->getBytes(s(u"utf-8"));
    ASSERT_NE(utf8, nullptr);
    std::vector<std::uint8_t> encoded(utf8->elements(), utf8->elements() + utf8->length());
    EXPECT_EQ(encoded, (std::vector<std::uint8_t>{0xC0, 0x80, 0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
    EXPECT_EQ(text->getBytes(s(u"ISO-8859-1")), nullptr);
    EXPECT_EQ(text->getBytes(nullptr), nullptr);

    rt::ByteArray* low = text->getBytes();
    std::vector<std::uint8_t> lowBytes(low->elements(), low->elements() + low->length());
    EXPECT_EQ(lowBytes, (std::vector<std::uint8_t>{0x00, 0x41, 0xE9, 0xAC}));
}

TEST_F(StringTest, TextsOfValues) {
    EXPECT_EQ(String::valueOf(INT32_MIN)->toUtf8(), "-2147483648");
    EXPECT_EQ(String::valueOf(std::int64_t{INT64_MIN})->toUtf8(), "-9223372036854775808");
    EXPECT_EQ(String::valueOf(1.5f)->toUtf8(), "1.500000");
    EXPECT_EQ(String::valueOf(-0.25)->toUtf8(), "-0.250000");
    EXPECT_EQ(String::valueOf(u'\u263A')->view(), u"\u263A");
    EXPECT_EQ(String::valueOf(true)->toUtf8(), "true");
    EXPECT_EQ(String::valueOf(static_cast<rt::Object*>(nullptr))->toUtf8(), "null");
    EXPECT_EQ(String::valueOf(1e300)->length(), 308);

    rt::Object* object = rt::make<rt::Object>();
    char expected[64];
    std::snprintf(expected, sizeof expected, "Object_id=0 @0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(object)));
    EXPECT_EQ(String::valueOf(object)->toUtf8(), expected);
    String* text = s(u"self");
    EXPECT_EQ(String::valueOf(text), text);
}

TEST_F(StringTest, ClassNamesAsStrings) {
    const rt::Class* entry = rt::Class::forName(s(u"java.util.Hashtable"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->id(), 60u);
    EXPECT_EQ(rt::Class::getName(entry)->toUtf8(), "java_util_Hashtable");
    EXPECT_EQ(rt::Class::forName(s(u"java.lang.String"))->id(), 2u);
    EXPECT_EQ(rt::Class::forName(s(u"java.util.Hashtable\u0100")), nullptr);
    EXPECT_EQ(rt::Class::forName(static_cast<String*>(nullptr)), nullptr);
}

TEST(StringDeathTest, UnitsThatCanMoveMustBeReadAfterTheAllocation) {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    String* moving = rt::make<String>(std::u16string(30, u'm'));
    EXPECT_DEATH(rt::make<String>(moving->view()), "read after the string's allocation");
}

} // namespace
