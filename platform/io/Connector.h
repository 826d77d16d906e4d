#pragma once

// `javax_microedition_io_Connector`: opens a connection by URL. A name that
// begins with "http" gives an HTTP connection, one that begins with "socket" a
// socket connection, anything else null. A URL that cannot be cut into its
// parts is logged ("ParseConnectionURL" and the stack trace) and answers null,
// as a failed connection.

#include "classlib/io/DataInputStream.h"
#include "classlib/io/DataOutputStream.h"
#include "platform/io/ConnectionUrl.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>
#include <optional>

namespace platform {

class javax_microedition_io_Connector {
public:
    static constexpr std::int32_t READ = 1;
    static constexpr std::int32_t WRITE = 2;
    static constexpr std::int32_t READ_WRITE = 3;

    static rt::Object* open(rt::String* name);
    static rt::Object* open(rt::String* name, std::int32_t mode);
    static rt::Object* open(rt::String* name, std::int32_t mode, bool timeouts);
    // The connection's data stream, or null when opening or the stream failed
    // (no exception is left pending). The connection stays open.
    static lib::java_io_DataInputStream* openDataInputStream(rt::String* name);
    static lib::java_io_DataOutputStream* openDataOutputStream(rt::String* name);
    static lib::java_io_InputStream* openInputStream(rt::String* name) { return openDataInputStream(name); }
    static lib::java_io_OutputStream* openOutputStream(rt::String* name) {
        return openDataOutputStream(name);
    }
};

// The parts of a connection URL; a URL that cannot be cut is logged and gives
// nothing.
std::optional<ConnectionUrlParts> ParseConnectionURL(rt::String* url);

} // namespace platform
