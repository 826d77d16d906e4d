#include "platform/io/SocketConnection.h"
#include "platform/io/Connector.h"
#include "tests/platform/io/ConnectionFixture.h"
#include "tests/platform/io/LocalServer.h"

#include <memory>
#include <string>

namespace {

using connection_testing::ConnectionTest;
using connection_testing::LocalServer;
using platform::javax_microedition_io_Connector;
using SocketConnection = platform::javax_microedition_io_SocketConnection;

// Sends back what it receives until the client closes (or 2 s of silence).
std::unique_ptr<LocalServer> echoServer() {
    return std::make_unique<LocalServer>([](int fd) {
        char chunk[4096];
        while (LocalServer::waitReadable(fd, 2000)) {
            ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return;
            LocalServer::sendAll(fd, std::string(chunk, static_cast<std::size_t>(n)));
        }
    });
}

struct SocketConnectionTest : ConnectionTest {
    SocketConnection* open(std::uint16_t port) {
        rt::Object* object =
            javax_microedition_io_Connector::open(text("socket://127.0.0.1:" + std::to_string(port)));
        EXPECT_NE(object, nullptr);
        return static_cast<SocketConnection*>(object);
    }

    static rt::ByteArray* bytes(const std::string& s) {
        rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(s.size()));
        for (std::size_t i = 0; i < s.size(); ++i)
            array->elements()[i] = static_cast<std::int8_t>(s[i]);
        return array;
    }

    // Reads exactly `n` bytes (fewer at the end of the stream).
    static std::string readBytes(lib::java_io_InputStream* in, std::size_t n) { return readAll(in, n); }
};

TEST_F(SocketConnectionTest, BytesWrittenBySlicesComeBack) {
    auto server = echoServer();
    SocketConnection* connection = open(server->port());
    EXPECT_EQ(connection->getPort(), server->port());
    lib::java_io_OutputStream* out = connection->openOutputStream();
    lib::java_io_InputStream* in = connection->openInputStream();
    rt::ByteArray* data = bytes("0123456789");
    out->write(data, 2, 3);
    out->write(data, 0, 2);
    out->write('!');
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(readBytes(in, 6), "23401!");

    // The data views read through the same socket.
    lib::java_io_DataOutputStream* dataOut = connection->openDataOutputStream();
    dataOut->writeInt(0x01020304);
    lib::java_io_DataInputStream* dataIn = connection->openDataInputStream();
    EXPECT_EQ(dataIn->readInt(), 0x01020304);
    EXPECT_TRUE(ui.errors.empty());

    connection->close();
    EXPECT_EQ(in->read(), -1);
    out->write(data, 0, 1);
    EXPECT_TRUE(takeException(rt::ClassId::java_io_IOException));
}

TEST_F(SocketConnectionTest, ClosingOneConnectionKeepsTheOtherWorking) {
    auto server = echoServer();
    SocketConnection* first = open(server->port());
    SocketConnection* second = open(server->port());
    // The server serves one connection at a time: the second is answered once
    // the first has gone.
    first->close();
    second->openOutputStream()->write(bytes("still here"));
    EXPECT_EQ(readBytes(second->openInputStream(), 10), "still here");
    EXPECT_TRUE(ui.errors.empty());
    second->close();
}

TEST_F(SocketConnectionTest, AFailedConnectionShowsTheErrorAndItsStreamsFail) {
    std::uint16_t closedPort;
    {
        LocalServer gone([](int) {});
        closedPort = gone.port();
    }
    SocketConnection* connection = open(closedPort);
    ASSERT_NE(connection, nullptr);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].first, "WinSocketClient::Connect");
    EXPECT_EQ(ui.errors[0].second, "Unable to connect: 6F / 111");
    EXPECT_EQ(connection->openInputStream()->read(), -1);
    EXPECT_TRUE(takeException(rt::ClassId::java_io_IOException));

    EXPECT_NE(javax_microedition_io_Connector::open(text("socket://:5000")), nullptr);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].first, "WinSocketClient::Connect-> Invalid address");
    EXPECT_EQ(ui.errors[1].second, "");
}

} // namespace
