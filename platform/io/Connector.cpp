#include "platform/io/Connector.h"

#include "platform/io/ConnectionViews.h"
#include "platform/io/HttpConnection.h"
#include "platform/io/SocketConnection.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/checks.h"

namespace platform {

std::optional<ConnectionUrlParts> ParseConnectionURL(rt::String* url) {
    std::optional<ConnectionUrlParts> parts;
    if (url)
        parts = parseConnectionUrlText(url->view());
    if (!parts)
        rt::reportRuntimeError("ParseConnectionURL");
    return parts;
}

rt::Object* javax_microedition_io_Connector::open(rt::String* name) {
    return open(name, READ_WRITE);
}

rt::Object* javax_microedition_io_Connector::open(rt::String* name, std::int32_t mode) {
    return open(name, mode, false);
}

rt::Object* javax_microedition_io_Connector::open(rt::String* name, std::int32_t mode, bool timeouts) {
    if (!name) {
        rt::reportNullPointer();
        return nullptr;
    }
    bool http = name->view().starts_with(u"http");
    if (!http && !name->view().starts_with(u"socket"))
        return nullptr;
    std::optional<ConnectionUrlParts> parts = ParseConnectionURL(name);
    if (!parts)
        return nullptr;
    if (http)
        return rt::make<javax_microedition_io_HttpConnection>(name, *parts, mode, timeouts);
    return rt::make<javax_microedition_io_SocketConnection>(name, *parts, mode, timeouts);
}

lib::java_io_DataInputStream* javax_microedition_io_Connector::openDataInputStream(rt::String* name) {
    rt::Object* connection = open(name, READ);
    if (rt::exceptionPending()) {
        rt::clearPendingException();
        return nullptr;
    }
    auto* view = rt::interfaceOf<javax_microedition_io_InputConnection>(connection);
    if (!view)
        return nullptr;
    lib::java_io_DataInputStream* stream = view->openDataInputStream();
    if (rt::exceptionPending()) {
        rt::clearPendingException();
        return nullptr;
    }
    return stream;
}

lib::java_io_DataOutputStream* javax_microedition_io_Connector::openDataOutputStream(rt::String* name) {
    rt::Object* connection = open(name, WRITE);
    if (rt::exceptionPending()) {
        rt::clearPendingException();
        return nullptr;
    }
    auto* view = rt::interfaceOf<javax_microedition_io_OutputConnection>(connection);
    if (!view)
        return nullptr;
    lib::java_io_DataOutputStream* stream = view->openDataOutputStream();
    if (rt::exceptionPending()) {
        rt::clearPendingException();
        return nullptr;
    }
    return stream;
}

} // namespace platform
