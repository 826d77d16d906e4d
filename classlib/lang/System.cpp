#include "classlib/lang/System.h"

#include "classlib/io/PrintStream.h"
#include "classlib/util/Hashtable.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "runtime/checks.h"

namespace lib {

namespace {

struct SystemStatics {
    java_io_PrintStream* m_out = nullptr;
    java_io_PrintStream* m_err = nullptr;
    java_util_Hashtable* m_properties = nullptr;
    RT_REFERENCE_FIELDS(SystemStatics, rt::NoReferenceBase, m_out, m_err, m_properties)
};

SystemStatics& systemStatics() {
    return rt::getStaticClass().statics<SystemStatics>();
}

} // namespace

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

void java_lang_System::staticInit() {
    SystemStatics& system = systemStatics();
    if (system.m_properties)
        return;
    system.m_out = ensureSystemStream();
    system.m_err = system.m_out;
    java_util_Hashtable* properties = rt::make<java_util_Hashtable>();
    system.m_properties = properties;
    rt::StaticClass& constants = rt::getStaticClass();
    rt::String* key = constants.getConstantString(kPropertyKey);
    rt::String* value = constants.getConstantString(kPropertyValue);
    // Without its constant strings (reported above) the table stays empty.
    if (key && value)
        (void)properties->put(key, value);
}

java_io_PrintStream* java_lang_System::out() {
    return systemStatics().m_out;
}

java_io_PrintStream* java_lang_System::err() {
    return systemStatics().m_err;
}

java_util_Hashtable* java_lang_System::properties() {
    return systemStatics().m_properties;
}

rt::String* java_lang_System::getProperty(rt::String* key) {
    if (!key || key->isFreed()) {
        rt::reportNullPointer();
        return rt::String::newFromCString(kPropertyValueEmpty);
    }
    // The whole key: a leading part of the name ("microedition") is another key.
    if (key->equalsCString("microedition.media.version"))
        return rt::String::newFromCString("1.0");
    if (java_util_Hashtable* table = properties()) {
        if (auto* value = static_cast<rt::String*>(table->get(key)))
            return value;
    }
    return rt::String::newFromCString(kPropertyValueEmpty);
}

std::int64_t java_lang_System::currentTimeMillis() {
    return static_cast<std::int64_t>(rt::Runtime::current().tickCount());
}

void java_lang_System::gc() {
    rt::Runtime::current().objectManager().gc(rt::ObjectManager::kOrdinary);
}

} // namespace lib
