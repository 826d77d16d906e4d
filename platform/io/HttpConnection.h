#pragma once

// `javax_microedition_io_HttpConnection`: one GET of one resource. Opening
// brings up the link; the request goes out the first time a response is asked
// for, and again only after the method or a request property changed. The
// whole response body is kept in memory. No network failure throws by
// itself: a failed request has status -1, and the operations that need a
// response turn what is missing into `java_io_IOException`.

#include "platform/io/UrlConnection.h"
#include "runtime/String.h"

#include <cstdint>
#include <memory>

namespace platform {

class javax_microedition_io_HttpConnection final : public UrlConnection {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_io_HttpConnection;

    // `url` must have been accepted by `parseConnectionUrlText` (`parts`).
    javax_microedition_io_HttpConnection(rt::String* url, const ConnectionUrlParts& parts, std::int32_t mode,
                                         bool timeouts);
    ~javax_microedition_io_HttpConnection() override;

    void close() override;
    // The body of a 200 response as a byte-array stream; any other status, or
    // an empty body, throws `java_io_IOException`.
    lib::java_io_InputStream* openInputStream() override;
    lib::java_io_DataInputStream* openDataInputStream() override;
    // A request has no body: null, and a data stream over null.
    lib::java_io_OutputStream* openOutputStream() override { return nullptr; }
    lib::java_io_DataOutputStream* openDataOutputStream() override;

    rt::String* getType() { return getHeaderField(rt::String::newFromCString("content-type")); }
    rt::String* getEncoding() { return nullptr; }
    std::int64_t getLength();
    rt::String* getProtocol() { return rt::String::newFromCString("http"); }
    rt::String* getRequestMethod() { return m_method; }
    void setRequestMethod(rt::String* method);
    rt::String* getRequestProperty(rt::String*) { return nullptr; }
    // An empty name or value is ignored; a name already set keeps its first value.
    void setRequestProperty(rt::String* name, rt::String* value);
    std::int32_t getResponseCode();
    // The status text; none, or one over 1024 characters, throws `java_io_IOException`.
    rt::String* getResponseMessage();
    std::int64_t getExpiration() { return 0; }
    std::int64_t getDate() { return 0; }
    std::int64_t getLastModified() { return 0; }
    rt::String* getHeaderField(std::int32_t) { return nullptr; }
    // The value of a response header (name in any case); a missing one, or
    // one over 8192 characters, throws `java_io_IOException`.
    rt::String* getHeaderField(rt::String* name);
    std::int32_t getHeaderFieldInt(rt::String*, std::int32_t) { return 0; }
    std::int64_t getHeaderFieldDate(rt::String*, std::int64_t) { return 0; }
    rt::String* getHeaderFieldKey(std::int32_t) { return nullptr; }

    RT_REFERENCE_FIELDS(javax_microedition_io_HttpConnection, UrlConnection, m_method)

private:
    struct Client;

    // Sends the request unless it went out already; only "GET" is sent.
    void send();

    std::unique_ptr<Client> m_client;
    rt::String* m_method = nullptr;
    bool m_sent = false;
};

} // namespace platform
