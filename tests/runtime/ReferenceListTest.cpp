// Reference lists at scale and the collector's check for references that a
// list leaves out.

#include "host/headless/HeadlessHost.h"
#include "runtime/ClassTable.h"
#include "runtime/Object.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace reference_list_test {

namespace {

using rt::ClassId;
using rt::Object;

// Two classes that point at each other, each declared while the other is
// still incomplete.
class Rider;
class Mount final : public Object {
public:
    static constexpr ClassId kClassId = ClassId::java_util_Date;
    Mount()
        : Object(kClassId) {}
    Rider* m_rider = nullptr;
    RT_REFERENCE_FIELDS(Mount, Object, m_rider)
};
class Rider final : public Object {
public:
    static constexpr ClassId kClassId = ClassId::java_util_Hashtable;
    Rider()
        : Object(kClassId) {}
    Mount* m_mount = nullptr;
    RT_REFERENCE_FIELDS(Rider, Object, m_mount)
};

// A plain object to point at.
struct Leaf final : Object {
    static constexpr ClassId kClassId = ClassId::java_util_Stack;
    Leaf()
        : Object(kClassId) {}
    RT_NO_REFERENCE_FIELDS(Leaf, Object)
};

#define WIDE_FIELDS_10(n)                                                                                    \
    m_f##n##0, m_f##n##1, m_f##n##2, m_f##n##3, m_f##n##4, m_f##n##5, m_f##n##6, m_f##n##7, m_f##n##8,       \
        m_f##n##9
#define WIDE_DECLARE_10(n)                                                                                   \
    Leaf *m_f##n##0, *m_f##n##1, *m_f##n##2, *m_f##n##3, *m_f##n##4, *m_f##n##5, *m_f##n##6, *m_f##n##7,     \
        *m_f##n##8, *m_f##n##9;

// A hundred reference fields, with an int between the two halves so that the
// offsets are not simply consecutive.
class Wide final : public Object {
public:
    static constexpr ClassId kClassId = ClassId::cGame;
    Wide()
        : Object(kClassId) {}
    WIDE_DECLARE_10(0)
    WIDE_DECLARE_10(1)
    WIDE_DECLARE_10(2)
    WIDE_DECLARE_10(3)
    WIDE_DECLARE_10(4)
    std::int32_t m_count = 0;
    WIDE_DECLARE_10(5)
    WIDE_DECLARE_10(6)
    WIDE_DECLARE_10(7)
    WIDE_DECLARE_10(8)
    WIDE_DECLARE_10(9)
    RT_REFERENCE_FIELDS(Wide, Object, WIDE_FIELDS_10(0), WIDE_FIELDS_10(1), WIDE_FIELDS_10(2),
                        WIDE_FIELDS_10(3), WIDE_FIELDS_10(4), WIDE_FIELDS_10(5), WIDE_FIELDS_10(6),
                        WIDE_FIELDS_10(7), WIDE_FIELDS_10(8), WIDE_FIELDS_10(9))
};

// The mistakes the check must find, each beside its repaired form.
struct Forgetful final : Object {
    static constexpr ClassId kClassId = ClassId::java_util_Vector;
    Forgetful()
        : Object(kClassId) {}
    Leaf* m_listed = nullptr;
    Leaf* m_forgotten = nullptr;
    RT_REFERENCE_FIELDS(Forgetful, Object, m_listed)
};
struct Remembering final : Object {
    static constexpr ClassId kClassId = ClassId::java_util_Vector;
    Remembering()
        : Object(kClassId) {}
    Leaf* m_listed = nullptr;
    Leaf* m_forgotten = nullptr;
    RT_REFERENCE_FIELDS(Remembering, Object, m_listed, m_forgotten)
};

struct Base : Object {
    explicit Base(ClassId id)
        : Object(id) {}
    Leaf* m_base = nullptr;
    RT_REFERENCE_FIELDS(Base, Object, m_base)
};
// Made as `rt::make` made it before lists were required of every made type:
// under its own class id, with its base's list.
struct SubWithoutList final : Base {
    static constexpr ClassId kClassId = ClassId::java_util_Date;
    SubWithoutList()
        : Base(kClassId) {}
    Leaf* m_extra = nullptr;
};
struct SubWithList final : Base {
    static constexpr ClassId kClassId = ClassId::java_util_Date;
    SubWithList()
        : Base(kClassId) {}
    Leaf* m_extra = nullptr;
    RT_REFERENCE_FIELDS(SubWithList, Base, m_extra)
};

struct ForgetfulStatics {
    Leaf* m_listed = nullptr;
    std::int32_t m_count = 0;
    Leaf* m_forgotten = nullptr;
    RT_REFERENCE_FIELDS(ForgetfulStatics, rt::NoReferenceBase, m_listed)
};
struct RememberingStatics {
    Leaf* m_listed = nullptr;
    std::int32_t m_count = 0;
    Leaf* m_forgotten = nullptr;
    RT_REFERENCE_FIELDS(RememberingStatics, rt::NoReferenceBase, m_listed, m_forgotten)
};

constexpr std::uint32_t kCollectNow = rt::ObjectManager::kImmediate;

struct ReferenceListTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 16}};
    rt::ObjectManager& manager = runtime.objectManager();
    testing_support::LogCapture log;

    ReferenceListTest() { manager.setUnlistedReferenceCheck(rt::UnlistedReferenceCheck::Report); }
};

TEST_F(ReferenceListTest, AHundredFieldListTracesEveryField) {
    auto offsets = Wide::referenceFields();
    ASSERT_EQ(offsets.size(), 100u);
    EXPECT_EQ(offsets[0], offsetof(Wide, m_f00));
    EXPECT_EQ(offsets[50], offsetof(Wide, m_f50));
    EXPECT_EQ(offsets[99], offsetof(Wide, m_f99));

    rt::Handle<Wide> wide(manager, rt::make<Wide>());
    Leaf** first = &wide->m_f00;
    for (int i = 0; i < 50; ++i)
        first[i] = rt::make<Leaf>();
    Leaf** second = &wide->m_f50;
    for (int i = 0; i < 50; ++i)
        second[i] = rt::make<Leaf>();
    rt::make<Leaf>(); // garbage

    auto stats = manager.gc(kCollectNow);
    EXPECT_EQ(stats.freed, 1u);
    EXPECT_EQ(stats.live, 101u);
    EXPECT_EQ(manager.verifyHeap(), "");
    EXPECT_EQ(manager.unlistedReferenceReports(), 0u);
}

TEST_F(ReferenceListTest, MutuallyPointingClassesTraceEachOther) {
    rt::Handle<Mount> mount(manager, rt::make<Mount>());
    mount->m_rider = rt::make<Rider>();
    mount->m_rider->m_mount = rt::make<Mount>(); // a second mount, reached only through the rider
    mount->m_rider->m_mount->m_rider = mount->m_rider;

    auto stats = manager.gc(kCollectNow);
    EXPECT_EQ(stats.freed, 0u);
    EXPECT_EQ(stats.live, 3u);
    mount.set(nullptr);
    EXPECT_EQ(manager.gc(kCollectNow).live, 0u) << "a cycle without roots goes";
}

// Each case keeps one holder alive and points one of its fields at a leaf that
// nothing else reaches. With the field forgotten the check names the holder and
// the offset; with the list repaired the leaf survives and nothing is said.
struct UnlistedCase {
    const char* name;
    Leaf* (*hold)(rt::Runtime& runtime, rt::Handle<Object>& holder, Leaf* leaf);
    const char* expectedLine; // empty: no report
};

void PrintTo(const UnlistedCase& c, std::ostream* out) {
    *out << c.name;
}

template <class T>
Leaf* holdInField(rt::Runtime&, rt::Handle<Object>& holder, Leaf* leaf) {
    T* object = rt::make<T>();
    object->m_forgotten = leaf;
    holder.set(object);
    return leaf;
}

template <class T>
Leaf* holdInSubclass(rt::Runtime& runtime, rt::Handle<Object>& holder, Leaf* leaf) {
    T* object;
    if constexpr (rt::declaresOwnReferenceFields<T>) {
        object = rt::make<T>();
    } else {
        // The table `rt::make<T>` used to register: the base's offsets over the subclass's bytes.
        static constexpr auto inheritedOffsets = Base::referenceFields();
        static constexpr rt::ReferenceFieldTable inherited{
            inheritedOffsets.data(), static_cast<std::uint32_t>(inheritedOffsets.size()),
            static_cast<std::uint32_t>(sizeof(T))};
        runtime.classTable().registerReferenceFields(T::kClassId, inherited);
        object = ::new (rt::allocObject(sizeof(T))) T();
    }
    object->m_extra = leaf;
    holder.set(object);
    return leaf;
}

template <class T>
Leaf* holdInStatics(rt::Runtime& runtime, rt::Handle<Object>&, Leaf* leaf) {
    runtime.staticClass().statics<T>().m_forgotten = leaf;
    return leaf;
}

class UnlistedReferenceTest : public ReferenceListTest, public ::testing::WithParamInterface<UnlistedCase> {};

TEST_P(UnlistedReferenceTest, IsReportedWithItsPlaceOrTracedOnceListed) {
    const UnlistedCase& c = GetParam();
    rt::Handle<Object> holder(manager);
    Leaf* leaf = c.hold(runtime, holder, rt::make<Leaf>());

    manager.gc(kCollectNow);
    std::string expected = c.expectedLine;
    if (expected.empty()) {
        EXPECT_EQ(manager.unlistedReferenceReports(), 0u);
        EXPECT_EQ(Object::classIdAt(leaf), rt::toInt(ClassId::java_util_Stack)) << "the leaf stays alive";
        EXPECT_EQ(manager.verifyHeap(), "");
    } else {
        EXPECT_EQ(manager.unlistedReferenceReports(), 1u);
        EXPECT_TRUE(log.contains(expected)) << "expected: " << expected;
    }
}

std::string offsetText(std::size_t offset) {
    return ", offset " + std::to_string(offset) + ", holds an object of class java_util_Stack";
}

const std::string kForgottenField =
    "class java_util_Vector (id 71)" + offsetText(offsetof(Forgetful, m_forgotten));
const std::string kSubclass = "class java_util_Date (id 55)" + offsetText(offsetof(SubWithoutList, m_extra));
const std::string kStatics = "ForgetfulStatics" + offsetText(offsetof(ForgetfulStatics, m_forgotten));

INSTANTIATE_TEST_SUITE_P(
    Cases, UnlistedReferenceTest,
    ::testing::Values(UnlistedCase{"ForgottenField", &holdInField<Forgetful>, kForgottenField.c_str()},
                      UnlistedCase{"FieldListed", &holdInField<Remembering>, ""},
                      UnlistedCase{"SubclassWithoutList", &holdInSubclass<SubWithoutList>, kSubclass.c_str()},
                      UnlistedCase{"SubclassWithList", &holdInSubclass<SubWithList>, ""},
                      UnlistedCase{"StaticsFieldForgotten", &holdInStatics<ForgetfulStatics>,
                                   kStatics.c_str()},
                      UnlistedCase{"StaticsFieldListed", &holdInStatics<RememberingStatics>, ""}),
    [](const ::testing::TestParamInfo<UnlistedCase>& info) { return std::string(info.param.name); });

void collectOverAnUnlistedReference() {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 16}};
    runtime.objectManager().setUnlistedReferenceCheck(rt::UnlistedReferenceCheck::Abort);
    rt::Handle<Forgetful> holder(runtime.objectManager(), rt::make<Forgetful>());
    holder->m_forgotten = rt::make<Leaf>();
    runtime.objectManager().gc(kCollectNow);
}

void makeTwoTypesUnderOneClassId() {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 16}};
    rt::make<Forgetful>();
    rt::make<Remembering>(); // the same class id
}

TEST(ReferenceListDeathTest, UnlistedReferenceFailsTheProcessWhenAsked) {
    EXPECT_DEATH(collectOverAnUnlistedReference(), "reference field is missing");
}

// The environment's stress switch, read where a runtime's options are made:
// with it, the allocation after a forgotten reference is stored collects, and
// the check fails the process there; without it nothing collects.
void allocateAfterAnUnlistedReference(const char* stressSwitch) {
    if (stressSwitch)
        setenv("VORLAX_GC_STRESS", stressSwitch, 1);
    else
        unsetenv("VORLAX_GC_STRESS");
    auto host = host::makeHeadlessHost({});
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 16, &host->threads(), &host->clock()}};
    runtime.objectManager().setUnlistedReferenceCheck(rt::UnlistedReferenceCheck::Abort);
    rt::Handle<Forgetful> holder(runtime.objectManager(), rt::make<Forgetful>());
    holder->m_forgotten = rt::make<Leaf>();
    rt::make<Leaf>();
    std::fprintf(stderr, "no collection\n");
    std::_Exit(0);
}

TEST(ReferenceListDeathTest, TheStressSwitchCatchesAnUnlistedReferenceAtTheNextAllocation) {
    struct Case {
        const char* stressSwitch;
        bool collects;
    };
    for (const Case& c :
         {Case{"1", true}, Case{"yes", true}, Case{"0", false}, Case{"", false}, Case{nullptr, false}}) {
        SCOPED_TRACE(c.stressSwitch ? c.stressSwitch : "(unset)");
        if (c.collects)
            EXPECT_DEATH(allocateAfterAnUnlistedReference(c.stressSwitch), "reference field is missing");
        else
            EXPECT_EXIT(allocateAfterAnUnlistedReference(c.stressSwitch), ::testing::ExitedWithCode(0),
                        "no collection");
    }
}

TEST(ReferenceListDeathTest, TwoTypesUnderOneClassIdAreABug) {
    EXPECT_DEATH(makeTwoTypesUnderOneClassId(), "two C\\+\\+ types were made under one class id");
}

} // namespace

} // namespace reference_list_test
