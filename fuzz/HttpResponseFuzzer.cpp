// Sends the input as the raw response of a loopback HTTP server and reads it
// through the platform's HTTP connection, the way a MIDlet does: response
// code, status text, a few headers, the length and the whole body stream.
// The input's first byte is the size of the slices the server writes it in
// (0: all at once), the rest the response's bytes. Checks what the connection
// promises: a status of -1 or 0..999, a length that is the body read and
// never above the client's body limit or the bytes sent, an IOException
// rather than a stream for anything but a 200 with a body, and, for a head
// whose one Content-Length is plain, exactly the body the input carried after
// the head (or a failed request when the input carried fewer bytes).

#include "classlib/io/InputStream.h"
#include "fuzz/PlatformFiles.h"
#include "host/net/HttpClient.h"
#include "platform/io/Connector.h"
#include "platform/io/HttpConnection.h"
#include "runtime/Array.h"
#include "tests/platform/io/LocalServer.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzzing::check;
using HttpConnection = platform::javax_microedition_io_HttpConnection;

constexpr std::size_t kMaxInput = 256u << 10;

// The process's one server, on 127.0.0.1 at a port the system picks. Each
// connection gets the request's head read, then the response set last, and
// is closed; the server stops when the process ends.
class ResponseServer {
public:
    static ResponseServer& get() {
        static ResponseServer s_server;
        return s_server;
    }

    std::uint16_t port() const { return m_server.port(); }

    // The response of the next connection, written in slices of `slice`
    // bytes (0: at once).
    void setResponse(std::string_view bytes, std::size_t slice) {
        std::lock_guard guard(m_lock);
        m_response.assign(bytes);
        m_slice = slice == 0 ? bytes.size() : slice;
    }

private:
    ResponseServer()
        : m_server([this](int fd) { serve(fd); }) {}

    void serve(int fd) {
        connection_testing::LocalServer::readRequest(fd);
        std::string response;
        std::size_t slice = 0;
        {
            std::lock_guard guard(m_lock);
            response = m_response;
            slice = std::max<std::size_t>(m_slice, 1);
        }
        // Every slice its own segment, so that the client may see a head or
        // a body in pieces.
        int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (std::size_t sent = 0; sent < response.size();) {
            ssize_t n =
                ::send(fd, response.data() + sent, std::min(slice, response.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<std::size_t>(n);
        }
    }

    std::mutex m_lock;
    std::string m_response;
    std::size_t m_slice = 0;
    connection_testing::LocalServer m_server;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// What the body must be when the head is plain enough that every reading
// agrees on it: a "HTTP/1.x 200 " status line, CRLF lines with no other
// control characters than tabs (the client takes a head with a NUL byte as
// ending early), no folded line, no Transfer-Encoding, and one Content-Length
// of decimal digits. Its value says how many of the bytes after the head are the
// body; `cut` when the input carried fewer.
struct ExpectedBody {
    std::string_view bytes;
    bool cut = false;
};

std::optional<ExpectedBody> expectedBody(std::string_view response) {
    std::size_t headEnd = response.find("\r\n\r\n");
    if (headEnd == std::string_view::npos)
        return std::nullopt;
    std::string_view head = response.substr(0, headEnd + 2);
    std::string_view rest = response.substr(headEnd + 4);
    if (!(head.starts_with("HTTP/1.0 200 ") || head.starts_with("HTTP/1.1 200 ")))
        return std::nullopt;
    std::optional<std::uint64_t> length;
    bool first = true;
    while (!head.empty()) {
        std::size_t end = head.find("\r\n");
        std::string_view line = head.substr(0, end);
        head.remove_prefix(end + 2);
        if (std::any_of(line.begin(), line.end(),
                        [](char c) { return (c >= 0 && c < ' ' && c != '\t') || c == 0x7f; }))
            return std::nullopt;
        if (std::exchange(first, false))
            continue;
        std::size_t colon = line.find(':');
        if (line.empty() || line.front() == ' ' || line.front() == '\t' || colon == std::string_view::npos)
            return std::nullopt;
        std::string_view name = line.substr(0, colon);
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        if (equalsIgnoringCase(name, "transfer-encoding"))
            return std::nullopt;
        if (!equalsIgnoringCase(name, "content-length"))
            continue;
        if (length || value.empty() || value.size() > 15 ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        length = std::stoull(std::string(value));
    }
    if (!length)
        return std::nullopt;
    if (*length > rest.size())
        return ExpectedBody{{}, true};
    return ExpectedBody{rest.substr(0, *length), false};
}

rt::String* text(const std::string& s) {
    return rt::String::newFromCString(s.c_str());
}

// The IOException the connection may leave instead of an answer; no other.
bool tookIoException() {
    int pending = fuzzing::takePending();
    check(pending == 0 || pending == rt::toInt(rt::ClassId::java_io_IOException));
    return pending != 0;
}

std::string readAll(lib::java_io_InputStream* stream) {
    std::string body;
    rt::ByteArray* buffer = rt::newByteArray(4096);
    for (;;) {
        std::int32_t n = stream->read(buffer, 0, buffer->length());
        check(!rt::exceptionPending() && n >= -1 && n <= buffer->length());
        if (n < 0)
            return body;
        body.append(reinterpret_cast<const char*>(buffer->elements()), static_cast<std::size_t>(n));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > kMaxInput)
        return 0;
    std::string_view response(reinterpret_cast<const char*>(data + 1), size - 1);
    ResponseServer& server = ResponseServer::get();
    server.setResponse(response, data[0]);
    fuzzing::PlatformFiles platform;

    rt::Object* opened = platform::javax_microedition_io_Connector::open(
        text("http://127.0.0.1:" + std::to_string(server.port()) + "/r"));
    check(opened && opened->classId() == rt::ClassId::javax_microedition_io_HttpConnection &&
          !rt::exceptionPending());
    auto* connection = static_cast<HttpConnection*>(opened);

    std::int32_t status = connection->getResponseCode();
    check(!rt::exceptionPending() && status >= -1 && status <= 999);
    // The request went out once: asking again answers the same.
    check(connection->getResponseCode() == status);

    if (rt::String* message = connection->getResponseMessage(); !tookIoException())
        check(message && message->length() > 0 && message->length() <= 1024);
    for (const char* name : {"content-type", "Content-Length", "Transfer-Encoding", "X-Long"}) {
        if (rt::String* value = connection->getHeaderField(text(name)); !tookIoException())
            check(value && value->length() <= 8192 && value->indexOf(u'\n') < 0);
    }

    std::int64_t length = connection->getLength();
    check(length >= 0 && static_cast<std::uint64_t>(length) <= host::net::HttpLimits{}.maxBody &&
          static_cast<std::uint64_t>(length) <= response.size());
    // A failed request keeps no body.
    check(status != -1 || length == 0);

    lib::java_io_InputStream* in = connection->openInputStream();
    std::optional<std::string> body;
    if (tookIoException()) {
        check(!in && (status != 200 || length == 0));
    } else {
        check(in && status == 200 && length > 0);
        body = readAll(in);
        check(body->size() == static_cast<std::size_t>(length));
    }

    if (std::optional<ExpectedBody> expected = expectedBody(response)) {
        if (expected->cut)
            check(status == -1);
        else if (status == 200)
            check(body.value_or(std::string()) == expected->bytes);
    }

    connection->close();
    check(!rt::exceptionPending());
    return 0;
}
