#include "classlib/lang/System.h"

#include "runtime/checks.h"

namespace lib {

void java_lang_System::arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
                                 std::int32_t length) {
    // A freed object goes on to the copy, which reports it as null.
    auto asArray = [](rt::Object* object) -> rt::Array* {
        bool usable = object && (object->isFreed() || rt::Array::isArrayClass(object->rawClassId()));
        return usable ? static_cast<rt::Array*>(object) : nullptr;
    };
    rt::Array* from = asArray(src);
    rt::Array* to = asArray(dst);
    if ((src && !from) || (dst && !to)) {
        rt::reportRuntimeError("ArrayStore: arraycopy of an object that is not an array");
        return;
    }
    rt::Array::copy(from, srcPos, to, dstPos, length);
}

} // namespace lib
