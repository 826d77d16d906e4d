#include "classlib/io/streams.h"

#include "classlib/ClassLibrary.h"
#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/io/ByteArrayOutputStream.h"
#include "classlib/io/ConsoleOutputStream.h"
#include "classlib/io/DataInputStream.h"
#include "classlib/io/DataOutputStream.h"
#include "classlib/io/PrintStream.h"
#include "runtime/Runtime.h"

namespace lib {

void installStreams(rt::Runtime& runtime) {
    rt::ClassTable& classes = runtime.classTable();
    classes.setFactory(rt::ClassId::java_io_ByteArrayInputStream,
                       []() -> rt::Object* { return rt::make<java_io_ByteArrayInputStream>(); });
    classes.setFactory(rt::ClassId::java_io_ByteArrayOutputStream, []() -> rt::Object* {
        return rt::make<java_io_ByteArrayOutputStream>(NewInstance{});
    });
    classes.setFactory(rt::ClassId::java_io_ConsoleOutputStream,
                       []() -> rt::Object* { return rt::make<java_io_ConsoleOutputStream>(); });
    classes.setFactory(rt::ClassId::java_io_DataInputStream,
                       []() -> rt::Object* { return rt::make<java_io_DataInputStream>(); });
    classes.setFactory(rt::ClassId::java_io_DataOutputStream,
                       []() -> rt::Object* { return rt::make<java_io_DataOutputStream>(); });
    classes.setFactory(rt::ClassId::java_io_PrintStream,
                       []() -> rt::Object* { return rt::make<java_io_PrintStream>(nullptr); });
    // Made now, while only this thread runs, so that no two threads race to make it.
    ensureSystemStream();
}

} // namespace lib
