#include "platform/io/HttpConnection.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "host/Log.h"
#include "host/net/HttpClient.h"
#include "platform/io/ConnectionUi.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/ThreadTable.h"

#include <cstring>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Extra request headers beyond this many bytes in all are dropped (logged).
constexpr std::size_t kMaxExtraHeaderBytes = 8192;
constexpr std::size_t kMaxStatusTextLength = 1024;
constexpr std::size_t kMaxHeaderValueLength = 8192;

std::string utf8Of(rt::String* s) {
    return s ? s->toUtf8() : std::string();
}

} // namespace

// The native side: host name, port, request headers, and the last response.
struct javax_microedition_io_HttpConnection::Client {
    bool connected = false;
    std::string host;
    std::uint16_t port = 80;
    std::map<std::string, std::string, HeaderNameLess> requestHeaders;
    ParsedResponseHeaders response;
    std::vector<std::uint8_t> content;

    void reset() {
        response = ParsedResponseHeaders{};
        content.clear();
    }

    void sendByGet(const std::string& target) {
        reset();
        if (!connected)
            return;
        host::net::HttpGetRequest request;
        request.host = host;
        request.port = port;
        request.target = target;
        // "Accept" stays in the map, so a request sent again asks the same.
        const auto accept = requestHeaders.find("Accept");
        if (accept != requestHeaders.end())
            request.accept = accept->second;
        std::size_t total = 0;
        for (auto header = requestHeaders.begin(); header != requestHeaders.end(); ++header) {
            if (header == accept)
                continue;
            const auto& [name, value] = *header;
            total += name.size() + value.size() + 4;
            if (total > kMaxExtraHeaderBytes) {
                host::logf(host::LogCategory::Library, "HttpConnection: request header %s dropped",
                           name.c_str());
                continue;
            }
            request.headers.emplace_back(name, value);
        }
        host::net::HttpGetResult result;
        {
            rt::SafeRegion blocking;
            result = host::net::httpGet(request);
        }
        if (!result.ok) {
            host::logf(host::LogCategory::Library, "HttpConnection: %s", result.error.c_str());
            return;
        }
        response = parseResponseHeaders(result.rawHeaders);
        // The client's reading of the status line decided which response it
        // took and whether it took one; the status text stays the parser's.
        response.status = result.status;
        content = std::move(result.body);
    }
};

javax_microedition_io_HttpConnection::javax_microedition_io_HttpConnection(rt::String* url,
                                                                           const ConnectionUrlParts& parts,
                                                                           std::int32_t mode, bool timeouts)
    : UrlConnection(kClassId, url, parts, mode, timeouts,
                    rt::ClassId::javax_microedition_io_ContentConnection,
                    rt::ClassId::javax_microedition_io_HttpConnection)
    , m_client(std::make_unique<Client>()) {
    m_method = rt::String::newFromCString("GET");
    m_client->host = getHost()->toUtf8();
    m_client->port = static_cast<std::uint16_t>(parts.port > 0 ? parts.port : 80);
    {
        rt::SafeRegion blocking;
        m_client->connected = host::net::ensureLink();
    }
}

javax_microedition_io_HttpConnection::~javax_microedition_io_HttpConnection() {
    close();
}

void javax_microedition_io_HttpConnection::close() {
    if (m_client) {
        m_client->reset();
        m_client->connected = false;
    }
}

void javax_microedition_io_HttpConnection::send() {
    if (m_sent)
        return;
    if (!m_method || !m_method->equalsIgnoreCaseCString("GET")) {
        m_client->reset();
        return;
    }
    std::string target = utf8Of(getFile()) + utf8Of(getQuery());
    connectionUi().beginWait();
    m_client->sendByGet(target);
    connectionUi().endWait();
    m_sent = true;
}

lib::java_io_InputStream* javax_microedition_io_HttpConnection::openInputStream() {
    send();
    if (m_client->response.status != 200)
        return rt::raise(rt::ClassId::java_io_IOException);
    const auto& content = m_client->content;
    if (content.empty() || content.size() > static_cast<std::size_t>(INT32_MAX))
        return rt::raise(rt::ClassId::java_io_IOException);
    rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(content.size()));
    if (!bytes)
        return nullptr;
    std::memcpy(bytes->elements(), content.data(), content.size());
    return rt::make<lib::java_io_ByteArrayInputStream>(bytes);
}

lib::java_io_DataInputStream* javax_microedition_io_HttpConnection::openDataInputStream() {
    lib::java_io_InputStream* in = openInputStream();
    if (rt::exceptionPending())
        return nullptr;
    return rt::make<lib::java_io_DataInputStream>(in);
}

lib::java_io_DataOutputStream* javax_microedition_io_HttpConnection::openDataOutputStream() {
    return rt::make<lib::java_io_DataOutputStream>(nullptr);
}

std::int64_t javax_microedition_io_HttpConnection::getLength() {
    send();
    return static_cast<std::int64_t>(m_client->content.size());
}

void javax_microedition_io_HttpConnection::setRequestMethod(rt::String* method) {
    m_method = method;
    m_sent = false;
}

void javax_microedition_io_HttpConnection::setRequestProperty(rt::String* name, rt::String* value) {
    m_sent = false;
    std::string key = utf8Of(name);
    std::string text = utf8Of(value);
    if (key.empty() || text.empty())
        return;
    // A line break in either would let the caller forge further header lines.
    if (key.find_first_of("\r\n:") != std::string::npos || text.find_first_of("\r\n") != std::string::npos) {
        host::logf(host::LogCategory::Library, "HttpConnection: bad request header %s ignored", key.c_str());
        return;
    }
    m_client->requestHeaders.emplace(std::move(key), std::move(text));
}

std::int32_t javax_microedition_io_HttpConnection::getResponseCode() {
    send();
    return m_client->response.status;
}

rt::String* javax_microedition_io_HttpConnection::getResponseMessage() {
    send();
    const std::string& text = m_client->response.statusText;
    if (text.empty() || text.size() > kMaxStatusTextLength)
        return rt::raise(rt::ClassId::java_io_IOException);
    return rt::String::newFromCString(text.c_str());
}

rt::String* javax_microedition_io_HttpConnection::getHeaderField(rt::String* name) {
    send();
    auto found = m_client->response.fields.find(utf8Of(name));
    if (found == m_client->response.fields.end() || found->second.size() > kMaxHeaderValueLength)
        return rt::raise(rt::ClassId::java_io_IOException);
    return rt::String::newFromCString(found->second.c_str());
}

} // namespace platform
