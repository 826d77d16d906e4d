#include "platform/io/UrlConnection.h"

#include "runtime/Runtime.h"

namespace platform {

UrlConnection::UrlConnection(rt::ClassId classId, rt::String* url, const ConnectionUrlParts& parts,
                             std::int32_t mode, bool timeouts, rt::ClassId kindId, rt::ClassId otherKindId)
    : Object(classId)
    , m_mode(mode)
    , m_timeouts(timeouts ? 1 : 0)
    , m_kindId(kindId)
    , m_otherKindId(otherKindId)
    , m_url(url)
    , m_port(parts.port) {
    m_scheme = rt::make<rt::String>(std::u16string_view(parts.scheme));
    m_host = rt::make<rt::String>(std::u16string_view(parts.host));
    m_path = rt::make<rt::String>(std::u16string_view(parts.path));
    if (parts.query)
        m_query = rt::make<rt::String>(std::u16string_view(*parts.query));
}

void* UrlConnection::getInterface(rt::ClassId interfaceId) {
    if (interfaceId == rt::ClassId::javax_microedition_io_OutputConnection)
        return static_cast<javax_microedition_io_OutputConnection*>(this);
    if (interfaceId == rt::ClassId::javax_microedition_io_Connection ||
        interfaceId == rt::ClassId::javax_microedition_io_InputConnection || interfaceId == m_kindId ||
        interfaceId == m_otherKindId)
        return static_cast<javax_microedition_io_InputConnection*>(this);
    return nullptr;
}

} // namespace platform
