#include "platform/io/HttpConnection.h"
#include "platform/io/Connector.h"
#include "tests/platform/io/ConnectionFixture.h"
#include "tests/platform/io/LocalServer.h"

#include <string>

namespace {

using connection_testing::ConnectionTest;
using connection_testing::HttpServer;
using connection_testing::LocalServer;
using platform::javax_microedition_io_Connector;
using HttpConnection = platform::javax_microedition_io_HttpConnection;

struct HttpConnectionTest : ConnectionTest {
    HttpConnection* open(std::uint16_t port, const std::string& rest) {
        rt::Object* object =
            javax_microedition_io_Connector::open(text("http://127.0.0.1:" + std::to_string(port) + rest));
        EXPECT_NE(object, nullptr);
        EXPECT_EQ(object ? object->classId() : rt::ClassId::Object,
                  rt::ClassId::javax_microedition_io_HttpConnection);
        return static_cast<HttpConnection*>(object);
    }
};

TEST_F(HttpConnectionTest, SendsOneGetWithQueryAcceptAndExtraHeadersToTheUrlsPort) {
    HttpServer server(
        "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nX-Mixed-Case: Value\r\nContent-Length: 5\r\n\r\n"
        "hello");
    HttpConnection* connection = open(server.port(), "/a/b?x=1&y=2");
    connection->setRequestProperty(text("Accept"), text("text/plain"));
    connection->setRequestProperty(text("X-One"), text("1"));
    connection->setRequestProperty(text("X-Two"), text("two words"));
    connection->setRequestProperty(text("X-One"), text("ignored, the first value stays"));
    connection->setRequestProperty(text(""), text("no name"));
    connection->setRequestProperty(text("X-Bad"), text("a\r\nInjected: yes"));

    EXPECT_EQ(connection->getResponseCode(), 200);
    EXPECT_EQ(connection->getResponseCode(), 200);
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string request = server.requests()[0];
    EXPECT_EQ(request.rfind("GET /a/b?x=1&y=2 HTTP/1.0\r\n", 0), 0u) << request;
    for (const char* line : {"\r\nUser-Agent: CeHttp\r\n", "\r\nAccept: text/plain\r\n", "\r\nX-One: 1\r\n",
                             "\r\nX-Two: two words\r\n"})
        EXPECT_NE(request.find(line), std::string::npos) << line << " in " << request;
    EXPECT_EQ(request.find("Injected"), std::string::npos);
    EXPECT_EQ(request.find("ignored"), std::string::npos);

    EXPECT_EQ(connection->getResponseMessage()->toUtf8(), "OK");
    EXPECT_EQ(connection->getType()->toUtf8(), "text/plain");
    EXPECT_EQ(connection->getHeaderField(text("x-MIXED-case"))->toUtf8(), "Value");
    EXPECT_EQ(connection->getLength(), 5);
    EXPECT_EQ(connection->getPort(), server.port());
    EXPECT_EQ(connection->getFile()->toUtf8(), "/a/b");
    EXPECT_EQ(connection->getQuery()->toUtf8(), "?x=1&y=2");
    EXPECT_EQ(readAll(connection->openInputStream()), "hello");
    EXPECT_EQ(ui.waits, 1);
    EXPECT_EQ(ui.ends, 1);

    EXPECT_EQ(connection->getHeaderField(text("X-Missing")), nullptr);
    EXPECT_TRUE(takeException(rt::ClassId::java_io_IOException));

    // A changed request property sends again, with "Accept" still set.
    connection->setRequestProperty(text("X-Three"), text("3"));
    EXPECT_EQ(connection->getResponseCode(), 200);
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_NE(server.requests()[1].find("\r\nAccept: text/plain\r\n"), std::string::npos);
}

TEST_F(HttpConnectionTest, ReadsABodyWithoutLengthToTheEndOfTheConnection) {
    std::string body(100000, 'z');
    body.front() = 'a';
    HttpServer server("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n" + body);
    HttpConnection* connection = open(server.port(), "/");
    EXPECT_EQ(readAll(connection->openInputStream(), body.size() + 10), body);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(HttpConnectionTest, AFailedOrRefusedRequestEndsInAnIOException) {
    struct Case {
        const char* name;
        std::string response;
        std::int32_t status;
    };
    const Case cases[] = {
        {"not found", "HTTP/1.0 404 Not Found\r\nContent-Length: 3\r\n\r\nnope", 404},
        {"empty body", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", 200},
        {"closed mid-body", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly a part", -1},
        {"garbage headers", "\x01\x02 what is this\r\n\r\nbody", -1},
        {"huge length", "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999\r\n\r\nabc", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpServer server(c.response);
        HttpConnection* connection = open(server.port(), "/x");
        EXPECT_EQ(connection->openInputStream(), nullptr);
        EXPECT_TRUE(takeException(rt::ClassId::java_io_IOException));
        EXPECT_EQ(connection->getResponseCode(), c.status);
        EXPECT_EQ(server.requests().size(), 1u);
    }
}

// The status and headers answered are those of the response whose body the
// connection holds: the final one after interim responses, with the code as
// the client read it.
TEST_F(HttpConnectionTest, AnswersTheStatusAndHeadersOfTheResponseItTookTheBodyFrom) {
    struct Case {
        const char* name;
        std::string response;
        std::int32_t status;
        std::string body;
    };
    const Case cases[] = {
        {"interim response first",
         "HTTP/1.1 100 Continue\r\nContent-Type: text/wrong\r\n\r\n"
         "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok",
         200, "ok"},
        {"two blanks before the code", "HTTP/1.0  200 OK\r\nContent-Type: text/plain\r\n\r\nok", 200, "ok"},
        {"code followed by a carriage return",
         "HTTP/1.0 200\rK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok", 200, "ok"},
        {"signed code", "HTTP/1.0 -20 Odd\r\nContent-Type: text/plain\r\n\r\nbody", -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpServer server(c.response);
        HttpConnection* connection = open(server.port(), "/x");
        EXPECT_EQ(connection->getResponseCode(), c.status);
        if (c.status == 200) {
            EXPECT_EQ(connection->getType()->toUtf8(), "text/plain");
            lib::java_io_InputStream* in = connection->openInputStream();
            EXPECT_NE(in, nullptr);
            EXPECT_EQ(in ? readAll(in) : "(no stream)", c.body);
        } else {
            EXPECT_EQ(connection->getLength(), 0);
            EXPECT_EQ(connection->openInputStream(), nullptr);
        }
        takeException(rt::ClassId::java_io_IOException);
        EXPECT_FALSE(rt::exceptionPending());
    }
}

TEST_F(HttpConnectionTest, AMethodOtherThanGetSendsNothing) {
    HttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    HttpConnection* connection = open(server.port(), "/");
    connection->setRequestMethod(text("POST"));
    EXPECT_EQ(connection->getResponseCode(), -1);
    EXPECT_TRUE(server.requests().empty());
    connection->setRequestMethod(text("get"));
    EXPECT_EQ(connection->getResponseCode(), 200);
}

TEST_F(HttpConnectionTest, ConnectorAnswersNullForOtherNamesAndUncutUrls) {
    EXPECT_EQ(javax_microedition_io_Connector::open(text("file://x/y")), nullptr);
    EXPECT_EQ(javax_microedition_io_Connector::open(text("HTTP://127.0.0.1/")), nullptr);
    for (const char* url : {"http:127.0.0.1/a", "http://127.0.0.1/a:80", "http://127.0.0.1:port/"}) {
        log.clear();
        EXPECT_EQ(javax_microedition_io_Connector::open(text(url)), nullptr) << url;
        EXPECT_TRUE(log.contains("ParseConnectionURL")) << url;
    }
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(HttpConnectionTest, ConnectorStreamsAnswerNullOnFailure) {
    HttpServer server("HTTP/1.0 500 Broken\r\n\r\n");
    std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
    EXPECT_EQ(javax_microedition_io_Connector::openDataInputStream(text(url)), nullptr);
    EXPECT_FALSE(rt::exceptionPending());
    HttpServer good("HTTP/1.0 200 OK\r\n\r\n\x01\x02");
    url = "http://127.0.0.1:" + std::to_string(good.port()) + "/";
    lib::java_io_DataInputStream* in = javax_microedition_io_Connector::openDataInputStream(text(url));
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->readShort(), 0x0102);
}

} // namespace
