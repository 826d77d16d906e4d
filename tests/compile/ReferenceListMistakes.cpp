// Mistakes in reference lists that must not compile. CTest compiles this file
// once per case (a `MISTAKE_...` define) and expects the named error; without
// a define it must compile.

#include "runtime/Runtime.h"

namespace {

struct Leaf final : rt::Object {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Stack;
    Leaf()
        : Object(kClassId) {}
    RT_NO_REFERENCE_FIELDS(Leaf, Object)
};

struct Base : rt::Object {
    explicit Base(rt::ClassId id)
        : Object(id) {}
    Leaf* m_leaf = nullptr;
    RT_REFERENCE_FIELDS(Base, Object, m_leaf)
};

struct Sub final : Base {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Date;
    Sub()
        : Base(kClassId) {}
    Leaf* m_extra = nullptr;
#if !defined(MISTAKE_SUBCLASS_WITHOUT_LIST)
    RT_REFERENCE_FIELDS(Sub, Base, m_extra)
#endif
};

struct Statics : rt::NoReferenceBase {
    Leaf* m_leaf = nullptr;
#if !defined(MISTAKE_STATICS_WITHOUT_LIST)
    RT_REFERENCE_FIELDS(Statics, rt::NoReferenceBase, m_leaf)
#endif
};

struct Counted final : rt::Object {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Vector;
    Counted()
        : Object(kClassId) {}
    Leaf* m_leaf = nullptr;
    std::int32_t m_count = 0;
#if defined(MISTAKE_NOT_A_REFERENCE)
    RT_REFERENCE_FIELDS(Counted, Object, m_leaf, m_count)
#elif defined(MISTAKE_NOT_A_BASE)
    RT_REFERENCE_FIELDS(Counted, Base, m_leaf)
#else
    RT_REFERENCE_FIELDS(Counted, Object, m_leaf)
#endif
};

} // namespace

void makeEveryKind() {
    rt::make<Sub>();
    rt::make<Counted>();
    rt::getStaticClass().statics<Statics>();
}
