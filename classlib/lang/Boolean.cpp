#include "classlib/lang/Boolean.h"

#include "runtime/StaticClass.h"

namespace lib {

namespace {

struct BooleanStatics {
    java_lang_Boolean* m_true = nullptr;
    java_lang_Boolean* m_false = nullptr;
    RT_REFERENCE_FIELDS(BooleanStatics, rt::NoReferenceBase, m_true, m_false)
};

BooleanStatics& booleanStatics() {
    return rt::getStaticClass().statics<BooleanStatics>();
}

} // namespace

bool java_lang_Boolean::equals(rt::Object* other) {
    return rt::instanceOf(other, kClassId) &&
           static_cast<java_lang_Boolean*>(other)->booleanValue() == booleanValue();
}

rt::String* java_lang_Boolean::toString() {
    return rt::getStaticClass().getConstantString(booleanValue() ? kTrueText : kFalseText);
}

void java_lang_Boolean::staticInit() {
    BooleanStatics& shared = booleanStatics();
    if (!shared.m_true)
        shared.m_true = rt::make<java_lang_Boolean>(1);
    if (!shared.m_false)
        shared.m_false = rt::make<java_lang_Boolean>(0);
}

java_lang_Boolean* java_lang_Boolean::sharedTrue() {
    return booleanStatics().m_true;
}

java_lang_Boolean* java_lang_Boolean::sharedFalse() {
    return booleanStatics().m_false;
}

} // namespace lib
