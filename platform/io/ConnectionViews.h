#pragma once

// The interface views of the connection classes: reading (also the view of
// Connection and of each kind's own interfaces) and writing. `UrlConnection`
// says which id gives which.

#include "classlib/io/DataInputStream.h"
#include "classlib/io/DataOutputStream.h"
#include "classlib/io/InputStream.h"
#include "classlib/io/OutputStream.h"
#include "runtime/ClassId.h"

namespace platform {

class javax_microedition_io_InputConnection {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_io_InputConnection;
    virtual void close() = 0;
    // Null, or with an exception pending, when the connection has no data.
    virtual lib::java_io_InputStream* openInputStream() = 0;
    virtual lib::java_io_DataInputStream* openDataInputStream() = 0;

protected:
    ~javax_microedition_io_InputConnection() = default;
};

class javax_microedition_io_OutputConnection {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_io_OutputConnection;
    virtual void close() = 0;
    virtual lib::java_io_OutputStream* openOutputStream() = 0;
    virtual lib::java_io_DataOutputStream* openDataOutputStream() = 0;

protected:
    ~javax_microedition_io_OutputConnection() = default;
};

} // namespace platform
