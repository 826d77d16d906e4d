#include "classlib/lang/Runtime.h"

#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"

namespace lib {

namespace {

struct RuntimeStatics {
    java_lang_Runtime* m_runtime = nullptr;
    RT_REFERENCE_FIELDS(RuntimeStatics, rt::NoReferenceBase, m_runtime)
};

} // namespace

void java_lang_Runtime::staticInit() {
    (void)getRuntime();
}

java_lang_Runtime* java_lang_Runtime::getRuntime() {
    RuntimeStatics& statics = rt::getStaticClass().statics<RuntimeStatics>();
    if (!statics.m_runtime)
        statics.m_runtime = rt::make<java_lang_Runtime>();
    return statics.m_runtime;
}

std::int64_t java_lang_Runtime::freeMemory() {
    return rt::Runtime::current().memoryStatus().availablePhysical;
}

std::int64_t java_lang_Runtime::totalMemory() {
    return rt::Runtime::current().memoryStatus().totalPhysical;
}

} // namespace lib
