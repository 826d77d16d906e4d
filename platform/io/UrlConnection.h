#pragma once

// What both kinds of connection hold: the URL, how it was opened, and its
// parts. A connection answers `getInterface` with its input view for the
// Connection and InputConnection ids and its kind's two ids, and with its
// output view for OutputConnection.

#include "platform/io/ConnectionUrl.h"
#include "platform/io/ConnectionViews.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {

class UrlConnection : public rt::Object,
                      public javax_microedition_io_InputConnection,
                      public javax_microedition_io_OutputConnection {
public:
    void* getInterface(rt::ClassId interfaceId) override;

    rt::String* getURL() { return m_url; }
    rt::String* getHost() { return m_host; }
    rt::String* getFile() { return m_path; }
    rt::String* getRef() { return m_ref; }
    rt::String* getQuery() { return m_query; }
    std::int32_t getPort() { return m_port; }

    RT_REFERENCE_FIELDS(UrlConnection, Object, m_url, m_scheme, m_host, m_path, m_query, m_ref)

protected:
    // `parts` are those of `url`; `kindId` and `otherKindId` the two interface
    // ids of the kind.
    UrlConnection(rt::ClassId classId, rt::String* url, const ConnectionUrlParts& parts, std::int32_t mode,
                  bool timeouts, rt::ClassId kindId, rt::ClassId otherKindId);

    // How the connection was opened (READ, WRITE or READ_WRITE), and whether
    // the caller asked for time-out exceptions; kept, not acted on.
    std::int32_t m_mode = 0;
    std::int32_t m_timeouts = 0;

private:
    rt::ClassId m_kindId;
    rt::ClassId m_otherKindId;
    rt::String* m_url = nullptr;
    rt::String* m_scheme = nullptr;
    rt::String* m_host = nullptr;
    std::int32_t m_port = 0;
    rt::String* m_path = nullptr;
    rt::String* m_query = nullptr;
    rt::String* m_ref = nullptr;
};

} // namespace platform
