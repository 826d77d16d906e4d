#pragma once

// `javax_microedition_io_SocketConnection`: a TCP client connection, made
// when it is opened. A connection that failed is still returned; its failure
// was shown in a message box, and its streams then fail. Its streams send and
// receive through the connection's socket, which `close` shuts for them too.

#include "platform/io/UrlConnection.h"
#include "runtime/String.h"

#include <cstdint>
#include <memory>

namespace host::net {
class TcpSocket;
}

namespace platform {

class javax_microedition_io_SocketConnection final : public UrlConnection {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_io_SocketConnection;

    javax_microedition_io_SocketConnection(rt::String* url, const ConnectionUrlParts& parts,
                                           std::int32_t mode, bool timeouts);
    ~javax_microedition_io_SocketConnection() override;

    void close() override;
    lib::java_io_InputStream* openInputStream() override;
    lib::java_io_DataInputStream* openDataInputStream() override;
    lib::java_io_OutputStream* openOutputStream() override;
    lib::java_io_DataOutputStream* openDataOutputStream() override;

    void setSocketOption(std::int8_t, std::int32_t) {}
    std::int32_t getSocketOption(std::int8_t) { return 0; }
    rt::String* getLocalAddress() { return nullptr; }
    std::int32_t getLocalPort() { return 0; }
    rt::String* getAddress() { return nullptr; }

    RT_NO_REFERENCE_FIELDS(javax_microedition_io_SocketConnection, UrlConnection)

private:
    std::shared_ptr<host::net::TcpSocket> m_socket;
};

} // namespace platform
