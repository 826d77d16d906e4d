#pragma once

// Servers for the connection tests, on 127.0.0.1 only, at a port the system
// picks. Each runs on its own thread and stops when destroyed; every wait is
// bounded so a broken client cannot hang a test.

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace connection_testing {

class LocalServer {
public:
    // `serve(fd)` runs for each accepted connection, one at a time.
    explicit LocalServer(std::function<void(int)> serve)
        : m_serve(std::move(serve)) {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }

    ~LocalServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }

    std::uint16_t port() const { return m_port; }
    int accepted() const { return m_accepted; }

    // Reads until the blank line that ends a request's headers (or 2 s pass).
    static std::string readRequest(int fd) {
        std::string text;
        char chunk[1024];
        while (text.find("\r\n\r\n") == std::string::npos && waitReadable(fd, 2000)) {
            ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
        return text;
    }

    static void sendAll(int fd, const std::string& text) {
        std::size_t sent = 0;
        while (sent < text.size()) {
            ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<std::size_t>(n);
        }
    }

    static bool waitReadable(int fd, int ms) {
        pollfd entry{fd, POLLIN, 0};
        return ::poll(&entry, 1, ms) > 0;
    }

private:
    void run() {
        while (!m_stop) {
            if (!waitReadable(m_listener, 10))
                continue;
            int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                continue;
            ++m_accepted;
            m_serve(fd);
            ::close(fd);
        }
    }

    std::function<void(int)> m_serve;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    std::thread m_thread;
};

// Answers every request with `response` and keeps the requests it saw.
class HttpServer {
public:
    explicit HttpServer(std::string response)
        : m_response(std::move(response))
        , m_server([this](int fd) {
            std::string request = LocalServer::readRequest(fd);
            {
                std::lock_guard guard(m_lock);
                m_requests.push_back(request);
            }
            LocalServer::sendAll(fd, m_response);
        }) {}

    std::uint16_t port() const { return m_server.port(); }
    std::vector<std::string> requests() const {
        std::lock_guard guard(m_lock);
        return m_requests;
    }

private:
    std::string m_response;
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
    LocalServer m_server;
};

} // namespace connection_testing
