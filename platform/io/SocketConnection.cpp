#include "platform/io/SocketConnection.h"

#include "classlib/io/InputStream.h"
#include "classlib/io/OutputStream.h"
#include "host/net/TcpSocket.h"
#include "platform/io/ConnectionUi.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/ThreadTable.h"
#include "runtime/checks.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// One receive asks for at most this many bytes.
constexpr std::size_t kReceiveChunk = 1 << 20;

bool rangeOutside(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (!b) {
        rt::reportNullPointer();
        return true;
    }
    return len < 0 || !rt::checkRange(rt::IndexKind::Array, off, len, b->length());
}

// Reads what the socket received, one chunk at a time: -1 at the end of the
// stream; a failed receive throws `java_io_IOException`.
class SocketInputStream final : public lib::java_io_InputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_InputStream;

    explicit SocketInputStream(std::shared_ptr<host::net::TcpSocket> socket)
        : java_io_InputStream(kClassId)
        , m_socket(std::move(socket)) {}

    using java_io_InputStream::read;

    std::int32_t read() override {
        rt::MonitorScope lock(this);
        if (!fill())
            return -1;
        return m_pending[m_next++];
    }

    std::int32_t read(rt::ByteArray* b, std::int32_t off, std::int32_t len) override {
        if (rangeOutside(b, off, len))
            return -1;
        rt::MonitorScope lock(this);
        if (len == 0)
            return 0;
        if (!fill())
            return -1;
        std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(len), m_pending.size() - m_next);
        std::memcpy(b->elements() + off, m_pending.data() + m_next, n);
        m_next += n;
        return static_cast<std::int32_t>(n);
    }

    std::int32_t available() override {
        rt::MonitorScope lock(this);
        return static_cast<std::int32_t>(m_pending.size() - m_next);
    }

    void close() override {
        rt::MonitorScope lock(this);
        m_pending.clear();
        m_next = 0;
        m_ended = true;
    }

    RT_NO_REFERENCE_FIELDS(SocketInputStream, java_io_InputStream)

private:
    // True when a byte is pending; false at the end or with an exception pending.
    bool fill() {
        if (m_next < m_pending.size())
            return true;
        if (m_ended)
            return false;
        m_pending.resize(kReceiveChunk);
        m_next = 0;
        std::int64_t received;
        {
            rt::SafeRegion blocking;
            received = m_socket->receive(m_pending.data(), m_pending.size());
        }
        if (received <= 0) {
            m_pending.clear();
            m_ended = true;
            if (received < 0)
                rt::raise(rt::ClassId::java_io_IOException);
            return false;
        }
        m_pending.resize(static_cast<std::size_t>(received));
        return true;
    }

    std::shared_ptr<host::net::TcpSocket> m_socket;
    std::vector<std::uint8_t> m_pending;
    std::size_t m_next = 0;
    bool m_ended = false;
};

// Sends every write at once; a failed send throws `java_io_IOException`.
class SocketOutputStream final : public lib::java_io_OutputStream {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_io_OutputStream;

    explicit SocketOutputStream(std::shared_ptr<host::net::TcpSocket> socket)
        : java_io_OutputStream(kClassId)
        , m_socket(std::move(socket)) {}

    using java_io_OutputStream::write;

    void write(std::int32_t b) override {
        std::uint8_t byte = static_cast<std::uint8_t>(b);
        sendBytes(std::vector<std::uint8_t>{byte});
    }

    void write(rt::ByteArray* b, std::int32_t off, std::int32_t len) override {
        if (rangeOutside(b, off, len) || len == 0)
            return;
        auto* first = reinterpret_cast<const std::uint8_t*>(b->elements()) + off;
        sendBytes(std::vector<std::uint8_t>(first, first + len));
    }

    RT_NO_REFERENCE_FIELDS(SocketOutputStream, java_io_OutputStream)

private:
    // The bytes are copied first: the array may move while the send blocks.
    void sendBytes(const std::vector<std::uint8_t>& bytes) {
        std::int64_t sent;
        {
            rt::SafeRegion blocking;
            sent = m_socket->send(bytes.data(), bytes.size());
        }
        if (sent < 0)
            rt::raise(rt::ClassId::java_io_IOException);
    }

    std::shared_ptr<host::net::TcpSocket> m_socket;
};

} // namespace

javax_microedition_io_SocketConnection::javax_microedition_io_SocketConnection(
    rt::String* url, const ConnectionUrlParts& parts, std::int32_t mode, bool timeouts)
    : UrlConnection(kClassId, url, parts, mode, timeouts, rt::ClassId::javax_microedition_io_SocketConnection,
                    rt::ClassId::javax_microedition_io_StreamConnection)
    , m_socket(std::make_shared<host::net::TcpSocket>()) {
    std::string host = getHost()->toUtf8();
    host::net::TcpSocket::ConnectResult result;
    {
        rt::SafeRegion blocking;
        result = m_socket->connect(host, static_cast<std::uint16_t>(parts.port));
    }
    if (result == host::net::TcpSocket::ConnectResult::InvalidAddress) {
        connectionUi().showError("WinSocketClient::Connect-> Invalid address", "");
    } else if (result == host::net::TcpSocket::ConnectResult::Failed) {
        char text[64];
        std::snprintf(text, sizeof text, "Unable to connect: %X / %d",
                      static_cast<unsigned>(m_socket->lastError()), m_socket->lastError());
        connectionUi().showError("WinSocketClient::Connect", text);
    }
}

javax_microedition_io_SocketConnection::~javax_microedition_io_SocketConnection() {
    close();
}

void javax_microedition_io_SocketConnection::close() {
    if (m_socket)
        m_socket->close();
}

lib::java_io_InputStream* javax_microedition_io_SocketConnection::openInputStream() {
    return rt::make<SocketInputStream>(m_socket);
}

lib::java_io_DataInputStream* javax_microedition_io_SocketConnection::openDataInputStream() {
    return rt::make<lib::java_io_DataInputStream>(openInputStream());
}

lib::java_io_OutputStream* javax_microedition_io_SocketConnection::openOutputStream() {
    return rt::make<SocketOutputStream>(m_socket);
}

lib::java_io_DataOutputStream* javax_microedition_io_SocketConnection::openDataOutputStream() {
    return rt::make<lib::java_io_DataOutputStream>(openOutputStream());
}

} // namespace platform
