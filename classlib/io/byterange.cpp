#include "classlib/io/byterange.h"

#include "runtime/checks.h"

namespace lib {

bool checkByteRange(const rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (!b || b->isFreed()) {
        rt::reportNullPointer();
        return false;
    }
    return rt::checkRange(rt::IndexKind::Array, off, len, b->length());
}

} // namespace lib
