#include "host/net/TcpSocket.h"

#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace host::net {

TcpSocket::~TcpSocket() {
    close();
}

TcpSocket::ConnectResult TcpSocket::connect(const std::string& host, std::uint16_t port) {
    close();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return ConnectResult::InvalidAddress;
    sockaddr_in address{};
    address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    freeaddrinfo(found);
    address.sin_port = htons(port);

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        m_lastError = errno;
        return ConnectResult::Failed;
    }
    // Bounds the connect; later sends are bounded the same way.
    timeval limit{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        m_lastError = errno;
        ::close(fd);
        return ConnectResult::Failed;
    }
    std::lock_guard guard(m_lock);
    m_fd = fd;
    return ConnectResult::Connected;
}

std::int64_t TcpSocket::send(const std::uint8_t* data, std::size_t length) {
    int fd;
    {
        std::lock_guard guard(m_lock);
        fd = m_fd;
    }
    if (fd < 0)
        return -1;
    std::size_t sent = 0;
    while (sent < length) {
        ssize_t n = ::send(fd, data + sent, length - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_lastError = errno;
            return -1;
        }
        sent += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(sent);
}

std::int64_t TcpSocket::receive(std::uint8_t* data, std::size_t capacity) {
    int fd;
    {
        std::lock_guard guard(m_lock);
        fd = m_fd;
    }
    if (fd < 0)
        return -1;
    for (;;) {
        ssize_t n = ::recv(fd, data, capacity, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            m_lastError = errno;
        return n;
    }
}

void TcpSocket::close() {
    std::lock_guard guard(m_lock);
    if (m_fd >= 0) {
        // Wakes a receive waiting on another thread before the descriptor goes.
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace host::net
