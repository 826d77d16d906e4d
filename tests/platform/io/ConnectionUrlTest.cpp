#include "platform/io/ConnectionUrl.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using platform::parseConnectionUrlText;
using platform::parseResponseHeaders;

struct UrlCase {
    const char16_t* url;
    const char16_t* scheme;
    const char16_t* host;
    std::int32_t port;
    const char16_t* path;
    const char16_t* query; // null: none
};

TEST(ConnectionUrlTest, CutsUrlsIntoTheirParts) {
    const UrlCase cases[] = {
        {u"http://h:8080/a/b?x=1", u"http", u"h", 8080, u"/a/b", u"?x=1"},
        {u"http://example.org", u"http", u"example.org", 0, u"", nullptr},
        {u"http://h/", u"http", u"h", 0, u"/", nullptr},
        {u"socket://10.0.0.1:5000", u"socket", u"10.0.0.1", 5000, u"", nullptr},
        {u"http://h?q", u"http", u"h?q", 0, u"", nullptr}, // without a '/' the '?' stays in the host
        {u"http://h/p?a?b", u"http", u"h", 0, u"/p", u"?a?b"},
        {u"http://h:65535/", u"http", u"h", 65535, u"/", nullptr},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(std::string(c.url, c.url + std::u16string_view(c.url).size()));
        auto parts = parseConnectionUrlText(c.url);
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->scheme, c.scheme);
        EXPECT_EQ(parts->host, c.host);
        EXPECT_EQ(parts->port, c.port);
        EXPECT_EQ(parts->path, c.path);
        if (c.query) {
            EXPECT_EQ(parts->query, std::u16string(c.query));
        } else {
            EXPECT_FALSE(parts->query);
        }
    }
}

TEST(ConnectionUrlTest, RefusesUrlsItCannotCut) {
    for (const char16_t* url : {u"http:/h/a", u"h:80/a", u"http://h/a:80", u"http://h:8x/", u"http://h:/",
                                u"http://h:70000/", u"http://h:123456/", u"http://h:-1/"}) {
        SCOPED_TRACE(std::string(url, url + std::u16string_view(url).size()));
        EXPECT_FALSE(parseConnectionUrlText(url));
    }
    std::u16string huge = u"http://h/" + std::u16string(platform::kMaxConnectionUrlLength, u'a');
    EXPECT_FALSE(parseConnectionUrlText(huge));
}

TEST(ConnectionUrlTest, ReadsStatusAndFieldsOfAResponse) {
    auto parsed = parseResponseHeaders("HTTP/1.0 404 Not Found Here\r\n"
                                       "Content-Type: text/plain\r\n"
                                       "X-Empty:\r\n"
                                       "x-twice: first\r\n"
                                       "X-Twice: second\r\n"
                                       "no colon line\r\n"
                                       "X-Bare:v\n"
                                       "\r\n");
    EXPECT_EQ(parsed.status, 404);
    EXPECT_EQ(parsed.statusText, "Not Found Here");
    EXPECT_EQ(parsed.fields.at("content-type"), "text/plain"); // the last character stays
    EXPECT_EQ(parsed.fields.at("X-EMPTY"), "");
    EXPECT_EQ(parsed.fields.at("X-TWICE"), "first");
    EXPECT_EQ(parsed.fields.at("x-bare"), "v");
    EXPECT_EQ(parsed.fields.size(), 4u);
}

TEST(ConnectionUrlTest, AStatusLineWithoutACodeGivesMinusOne) {
    for (const char* raw : {"", "garbage", "HTTP/1.0 abc OK\r\n", "HTTP/1.0 99999999999 OK\r\n"})
        EXPECT_EQ(parseResponseHeaders(raw).status, -1) << raw;
}

} // namespace
