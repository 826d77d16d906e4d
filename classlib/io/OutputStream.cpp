#include "classlib/io/OutputStream.h"

#include "runtime/checks.h"

namespace lib {

void java_io_OutputStream::close() {
}

void java_io_OutputStream::flush() {
}

void java_io_OutputStream::write(rt::ByteArray* b) {
    if (!b || b->isFreed()) {
        rt::reportNullPointer();
        return;
    }
    write(b, 0, b->length());
}

} // namespace lib
