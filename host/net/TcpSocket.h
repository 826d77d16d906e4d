#pragma once

// The host's TCP client socket (POSIX). Every call blocks; a closed socket
// answers -1 to sends and receives. Thread-safe: `close` may run while
// another thread waits in `receive`, which then ends.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace host::net {

class TcpSocket {
public:
    enum class ConnectResult { Connected, InvalidAddress, Failed };

    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Resolves `host` (a name or a dotted IPv4 address) and connects within
    // 10 seconds. On `Failed`, `lastError` holds the system's error number.
    ConnectResult connect(const std::string& host, std::uint16_t port);
    // Bytes sent (all of them, or -1 on failure).
    std::int64_t send(const std::uint8_t* data, std::size_t length);
    // Bytes received, 0 at the end of the stream, -1 on failure.
    std::int64_t receive(std::uint8_t* data, std::size_t capacity);
    void close();
    int lastError() const { return m_lastError; }

private:
    std::mutex m_lock;
    int m_fd = -1;
    int m_lastError = 0;
};

} // namespace host::net
