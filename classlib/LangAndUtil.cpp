#include "classlib/LangAndUtil.h"

#include "classlib/lang/Boolean.h"
#include "classlib/lang/Integer.h"
#include "classlib/lang/Runtime.h"
#include "classlib/lang/StringBuffer.h"
#include "classlib/lang/System.h"
#include "classlib/util/Hashtable.h"
#include "classlib/util/Random.h"
#include "classlib/util/Vector.h"

namespace lib {

namespace {

template <class T>
rt::Object* makeWithoutArguments() {
    return rt::make<T>();
}

template <class T>
rt::Object* makeNewInstance() {
    return rt::make<T>(NewInstance{});
}

// Capacity 0: no buffer until the first insertion grows one.
rt::Object* makeEmptyStringBuffer() {
    return rt::make<StringBuffer>(0);
}

} // namespace

void installLangAndUtil(rt::Runtime& runtime) {
    rt::ClassTable& classes = runtime.classTable();
    classes.setFactory(rt::ClassId::StringBuffer, &makeEmptyStringBuffer);
    classes.setFactory(rt::ClassId::java_lang_Boolean, &makeWithoutArguments<java_lang_Boolean>);
    classes.setFactory(rt::ClassId::java_lang_Integer, &makeWithoutArguments<java_lang_Integer>);
    classes.setFactory(rt::ClassId::java_lang_Runtime, &makeWithoutArguments<java_lang_Runtime>);
    classes.setFactory(rt::ClassId::java_util_Random, &makeNewInstance<java_util_Random>);
    classes.setFactory(rt::ClassId::java_util_Vector, &makeNewInstance<java_util_Vector>);
    classes.setFactory(rt::ClassId::java_util_Hashtable, &makeNewInstance<java_util_Hashtable>);
    classes.setFactory(rt::ClassId::java_util_HashtableEntry,
                       &makeWithoutArguments<java_util_HashtableEntry>);
    classes.setFactory(rt::ClassId::java_util_Hashtable_HashtableEnumerator,
                       &makeWithoutArguments<java_util_Hashtable_HashtableEnumerator>);
}

void runLangStaticInitialisers() {
    java_lang_Boolean::staticInit();
    java_lang_System::staticInit();
    java_lang_Runtime::staticInit();
}

} // namespace lib
