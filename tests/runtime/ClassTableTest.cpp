#include "runtime/ClassTable.h"
#include "runtime/Class.h"
#include "runtime/Object.h"
#include "runtime/Runtime.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using rt::ClassId;

// Small objects of the kinds the class table must tell apart.
class RunnableThing final : public rt::Object, public rt::java_lang_Runnable {
public:
    static constexpr ClassId kClassId = ClassId::cGame;
    RunnableThing()
        : Object(kClassId) {}
    void run() override { ++m_runs; }
    void* getInterface(ClassId id) override {
        return id == ClassId::java_lang_Runnable ? static_cast<rt::java_lang_Runnable*>(this) : nullptr;
    }
    int m_runs = 0;
    RT_NO_REFERENCE_FIELDS(RunnableThing, Object)
};

class Exceptionish : public rt::Object {
public:
    explicit Exceptionish(ClassId id)
        : Object(id) {}
    rt::Object* m_message = nullptr;
    rt::Object* m_trace = nullptr;
    RT_REFERENCE_FIELDS(Exceptionish, Object, m_message, m_trace)
};

class Derived final : public Exceptionish {
public:
    static constexpr ClassId kClassId = ClassId::java_util_Vector;
    Derived()
        : Exceptionish(kClassId) {}
    int m_count = 0;
    rt::Object* m_extra = nullptr;
    RT_REFERENCE_FIELDS(Derived, Exceptionish, m_extra)
};

struct ClassTableTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
};

TEST_F(ClassTableTest, EntriesCarryNamesIdsAndSuperClasses) {
    const auto& table = runtime.classTable();
    const rt::Class* object = table.getClassById(0);
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->name(), "java_lang_Object");
    EXPECT_EQ(object->superId(), rt::kNoSuperClass);
    EXPECT_STREQ(table.getClassById(68)->name(), "java_util_TimerThread");
    EXPECT_EQ(table.getClassById(68)->superId(), 51u);
    EXPECT_STREQ(table.getClassById(145)->name(), "ZoomedSpritePlayer");
    EXPECT_EQ(table.getClassById(146), nullptr);
    EXPECT_EQ(table.getClassById(-1), nullptr);
    for (int id = 1; id < rt::kClassCount; ++id)
        EXPECT_TRUE(rt::isSubclassOf(static_cast<std::uint32_t>(id), 0))
            << "class " << id << " reaches Object";
}

TEST_F(ClassTableTest, InstanceOfThroughInterfacesAndTheSuperClassChain) {
    RunnableThing* game = rt::make<RunnableThing>();
    auto* npe = rt::makeAs<Exceptionish>(ClassId::java_lang_NullPointerException);

    struct Case {
        rt::Object* object;
        int classId;
        bool expected;
    };
    const Case cases[] = {
        {nullptr, 0, false}, {nullptr, 46, false}, {game, 46, true}, {game, 121, true},
        {game, 125, true},   {game, 83, true},     {game, 87, true}, {game, 0, true},
        {game, 129, false},  {npe, 35, true},      {npe, 48, true},  {npe, 52, true},
        {npe, 44, true},     {npe, 22, false},     {npe, 46, false}, {npe, 999, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::instanceOf(c.object, c.classId), c.expected) << "class id " << c.classId;

    auto* runnable = rt::interfaceOf<rt::java_lang_Runnable>(game);
    ASSERT_NE(runnable, nullptr);
    runnable->run();
    EXPECT_EQ(game->m_runs, 1);
    EXPECT_TRUE(rt::Class::isInstance(runtime.classTable().getClassById(35), npe));
    EXPECT_TRUE(rt::Class::isSubclassOf(rt::Object::getClass(npe), runtime.classTable().getClassById(52)));
}

TEST_F(ClassTableTest, ForNameMatchesWholeNamesWithDotsReadAsUnderscores) {
    struct Case {
        const char* name;
        int expectedId; // -1: none
    };
    const Case cases[] = {
        {"java.lang.String", 2},
        {"java_lang_String", 2},
        {"java.lang.StringBuffer", 3},
        {"java.lang.Object", 0},
        {"java.util.Hashtable", 60},
        {"java_util_Hashtable", 60},
        {"java.util.Hashtable.Entry", 58},
        {"java.util.Hash", -1},
        {"java.lang.Thread", 51},
        {"cGame", 121},
        {"", -1},
    };
    for (const auto& c : cases) {
        const rt::Class* found = rt::Class::forName(c.name);
        if (c.expectedId < 0)
            EXPECT_EQ(found, nullptr) << c.name;
        else
            EXPECT_EQ(found ? static_cast<int>(found->id()) : -1, c.expectedId) << c.name;
    }
}

TEST_F(ClassTableTest, HeaderInitialiserSetsIdsCollectableAndMark) {
    rt::Object* plain = rt::make<rt::Object>();
    EXPECT_EQ(plain->classId(), ClassId::Object);
    EXPECT_TRUE(plain->isCollectable());
    EXPECT_TRUE(plain->isMarked());

    auto* thread = rt::makeAs<Exceptionish>(ClassId::java_lang_Thread);
    EXPECT_FALSE(thread->isCollectable());

    EXPECT_TRUE(plain->equals(plain));
    EXPECT_FALSE(plain->equals(thread));
    EXPECT_EQ(plain->getInterface(ClassId::java_lang_Runnable), nullptr);
}

TEST_F(ClassTableTest, CloneLogsAndAnswersNull) {
    testing_support::LogCapture log;
    rt::Object* plain = rt::make<rt::Object>();
    EXPECT_EQ(plain->clone(), nullptr);
    EXPECT_TRUE(log.contains("clone"));
}

TEST_F(ClassTableTest, ReferenceFieldsIncludeInheritedOnesAndAreRecordedOnce) {
    rt::make<Derived>();
    auto offsets = runtime.classTable().getClassById(71)->referenceOffsets();
    ASSERT_EQ(offsets.size(), 3u);
    EXPECT_EQ(offsets[0], offsetof(Derived, m_message));
    EXPECT_EQ(offsets[1], offsetof(Derived, m_trace));
    EXPECT_EQ(offsets[2], offsetof(Derived, m_extra));

    // The same type again changes nothing (another type is a bug: ReferenceListDeathTest).
    EXPECT_FALSE(runtime.classTable().registerReferenceFields(ClassId::java_util_Vector,
                                                              rt::ReferenceFieldsOf<Derived>::table));
    EXPECT_EQ(runtime.classTable().getClassById(71)->referenceOffsets().size(), 3u);

    runtime.classTable().freeReferenceFields();
    EXPECT_FALSE(runtime.classTable().getClassById(71)->hasReferenceFieldTable());
}

TEST_F(ClassTableTest, NewInstanceByIdMakesOnlyRegisteredInstantiableClasses) {
    rt::Object* made = rt::java_lang_Class::newInstanceById(0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->classId(), ClassId::Object);
    EXPECT_TRUE(runtime.objectHeap().contains(made));

    EXPECT_EQ(rt::java_lang_Class::newInstanceById(1), nullptr);   // Class: never instantiable
    EXPECT_EQ(rt::java_lang_Class::newInstanceById(146), nullptr); // beyond the table
    EXPECT_EQ(rt::java_lang_Class::newInstanceById(-5), nullptr);
    EXPECT_EQ(rt::java_lang_Class::newInstanceById(121), nullptr); // instantiable, not registered yet

    runtime.classTable().setFactory(ClassId::cGame,
                                    [] { return static_cast<rt::Object*>(rt::make<RunnableThing>()); });
    rt::Object* game = rt::java_lang_Class::newInstanceById(121);
    ASSERT_NE(game, nullptr);
    EXPECT_TRUE(rt::instanceOf(game, 46));
    EXPECT_EQ(rt::isInstantiableClassId(1), false);
    EXPECT_EQ(rt::kInstantiableClassIds.size(), 57u);
}

TEST(ClassTableDeathTest, FactoryForAClassThatCannotBeMadeIsABug) {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 16, 1 << 16}};
    EXPECT_DEATH(
        runtime.classTable().setFactory(ClassId::Class, [] { return static_cast<rt::Object*>(nullptr); }),
        "cannot be made");
}

} // namespace
