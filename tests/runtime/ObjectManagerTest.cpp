#include "runtime/ObjectManager.h"
#include "runtime/Array.h"
#include "runtime/OperandStack.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <span>
#include <unordered_set>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace object_manager_test {

namespace {

using rt::ClassId;
using rt::Object;
using rt::ObjectManager;

// A node with one reference, one owned buffer and a destructor that counts.
struct Node final : Object {
    static constexpr ClassId kClassId = ClassId::java_util_Vector;
    explicit Node(int* destroyed = nullptr)
        : Object(kClassId)
        , m_destroyed(destroyed) {}
    ~Node() override {
        if (m_data)
            rt::freeBuffer(m_data);
        if (m_destroyed)
            ++*m_destroyed;
    }
    Node* m_next = nullptr;
    char* m_data = nullptr;
    int* m_destroyed = nullptr;
    RT_REFERENCE_FIELDS(Node, Object, m_next)
};

struct NodeStatics {
    Node* m_root = nullptr;
    int m_counter = 0;
    RT_REFERENCE_FIELDS(NodeStatics, rt::NoReferenceBase, m_root)
};

// A node with two references, for graphs where marking meets objects more than once.
struct Pair final : Object {
    static constexpr ClassId kClassId = ClassId::java_util_Hashtable;
    Pair()
        : Object(kClassId) {}
    Object* m_first = nullptr;
    Object* m_second = nullptr;
    RT_REFERENCE_FIELDS(Pair, Object, m_first, m_second)
};

// A stand-in for a thread stack: a range of words the collector scans conservatively.
struct FakeStack final : rt::RootSource {
    std::vector<const void*> words;
    void visitRoots(rt::RootVisitor& visitor) override {
        visitor.visitRange(words.data(), words.data() + words.size(), rt::RootKind::Stack);
    }
};

// Runs whatever the clock says and keeps nothing but what the roots reach.
constexpr std::uint32_t kCollectNow = 1;

struct ObjectManagerTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 1 << 16}};
    ObjectManager& manager = runtime.objectManager();
    std::uint32_t now = 10000;
    FakeStack stack;

    ObjectManagerTest() {
        manager.setTickSource([this] { return now; });
        manager.addRootSource(&stack);
    }
    ~ObjectManagerTest() override { manager.removeRootSource(&stack); }

    Node* chain(int length, int* destroyed = nullptr) {
        Node* head = nullptr;
        for (int i = 0; i < length; ++i) {
            Node* node = rt::make<Node>(destroyed);
            node->m_next = head;
            head = node;
        }
        return head;
    }
};

TEST_F(ObjectManagerTest, UnreachableObjectsAreDestroyedAndFreed) {
    int destroyed = 0;
    Node* garbage = chain(5, &destroyed);
    auto stats = manager.gc(kCollectNow);
    EXPECT_TRUE(stats.ran);
    EXPECT_EQ(stats.freed, 5u);
    EXPECT_EQ(destroyed, 5);
    EXPECT_EQ(manager.objectCount(), 0u);
    EXPECT_EQ(Object::classIdAt(garbage),
              rt::kFreedClassId); // the arena is ours: the freed header is still readable
    EXPECT_EQ(runtime.objectHeap().stats().heapUsed, 0u);
}

TEST_F(ObjectManagerTest, StaticsHandlesAndDeepChainsKeepObjectsAlive) {
    int destroyed = 0;
    rt::getStaticClass().statics<NodeStatics>().m_root = chain(20000, &destroyed);
    rt::Handle<Node> handle(manager, chain(3, &destroyed));
    chain(7, &destroyed); // garbage

    auto stats = manager.gc(kCollectNow);
    EXPECT_EQ(stats.freed, 7u);
    EXPECT_EQ(destroyed, 7);
    EXPECT_EQ(manager.objectCount(), 20003u);
    EXPECT_EQ(manager.verifyHeap(), "");

    rt::getStaticClass().statics<NodeStatics>().m_root = nullptr;
    handle.set(nullptr);
    stats = manager.gc(ObjectManager::kOrdinary);
    EXPECT_FALSE(stats.ran) << "within the interval";
    now += ObjectManager::kMinimumInterval;
    stats = manager.gc(ObjectManager::kOrdinary);
    EXPECT_TRUE(stats.ran);
    EXPECT_EQ(manager.objectCount(), 0u);
}

TEST_F(ObjectManagerTest, OrdinaryRequestsRespectTheIntervalAndFailuresDoNot) {
    now += ObjectManager::kMinimumInterval;
    EXPECT_TRUE(manager.gc(ObjectManager::kOrdinary).ran);
    now += 100;
    EXPECT_FALSE(manager.gc(ObjectManager::kOrdinary).ran);
    EXPECT_TRUE(manager.gc(ObjectManager::kAllocationFailure).ran);
    now += ObjectManager::kMinimumInterval - 1;
    EXPECT_FALSE(manager.gc(ObjectManager::kOrdinary).ran) << "counted from the end of the last collection";
    now += 1;
    EXPECT_TRUE(manager.gc(ObjectManager::kOrdinary).ran);
}

TEST_F(ObjectManagerTest, NewestObjectSurvivesAnAllocationFailureCollection) {
    chain(3);
    Node* newest = rt::make<Node>();
    auto stats = manager.gc(ObjectManager::kAllocationFailure);
    EXPECT_EQ(stats.freed, 3u);
    EXPECT_NE(Object::classIdAt(newest), rt::kFreedClassId);
    EXPECT_EQ(manager.objectCount(), 1u);
}

TEST_F(ObjectManagerTest, ConservativeWordsAnywhereInsideAnObjectOrItsBufferKeepIt) {
    Node* byStart = rt::make<Node>();
    Node* byInterior = rt::make<Node>();
    Node* byBuffer = rt::make<Node>();
    rt::allocBuffer<char>(64, &byBuffer->m_data);
    Node* dead = rt::make<Node>();
    int onTheStack = 0;
    stack.words = {byStart,     reinterpret_cast<char*>(byInterior) + 12, byBuffer->m_data + 40,
                   &onTheStack, reinterpret_cast<char*>(dead) - 8,        nullptr};

    auto stats = manager.gc(kCollectNow);
    EXPECT_EQ(stats.freed, 1u);
    EXPECT_EQ(Object::classIdAt(dead), rt::kFreedClassId);
    for (Node* alive : {byStart, byInterior, byBuffer})
        EXPECT_NE(Object::classIdAt(alive), rt::kFreedClassId);
}

TEST_F(ObjectManagerTest, CompactionOnBufferExhaustionMovesOnlyUnpinnedBuffers) {
    testing_support::LogCapture quiet;
    rt::Handle<Node> keep(manager, rt::make<Node>());
    // Fill the buffer heap with alternating kept and dropped buffers, so that
    // only compaction can make room for a large one.
    std::vector<Node*> kept;
    Node* tail = keep.get();
    for (int i = 0; i < 63; ++i) {
        Node* node = rt::make<Node>();
        rt::allocBuffer<char>(1000, &node->m_data);
        std::memset(node->m_data, 'a' + i % 26, 1000);
        if (i % 2 == 0) {
            tail->m_next = node;
            tail = node;
            kept.push_back(node);
        }
    }
    char* pinnedData = kept[5]->m_data;
    stack.words = {pinnedData + 3};
    std::vector<char*> before;
    for (Node* node : kept)
        before.push_back(node->m_data);

    // Large enough that the dropped buffers alone, scattered, cannot hold it.
    Node* big = rt::make<Node>();
    tail->m_next = big;
    char* bigData = rt::allocBuffer<char>(4000, &big->m_data);
    EXPECT_TRUE(runtime.bufferHeap().contains(bigData)) << "served from the compacted heap, not malloc";
    EXPECT_EQ(kept[5]->m_data, pinnedData) << "a buffer a stack word points into never moves";
    bool anyMoved = false;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        for (int b = 0; b < 1000; ++b)
            ASSERT_EQ(kept[i]->m_data[b], 'a' + static_cast<int>(2 * i) % 26);
    }
    for (std::size_t i = 0; i < kept.size(); ++i)
        anyMoved |= kept[i]->m_data != before[i];
    EXPECT_TRUE(anyMoved);
    EXPECT_EQ(runtime.bufferHeap().verify(), "");
}

TEST_F(ObjectManagerTest, FinalCollectionFreesEvenUncollectableObjects) {
    rt::getStaticClass().statics<NodeStatics>().m_root = chain(4);
    Node* permanent = rt::make<Node>();
    permanent->setCollectable(false);
    EXPECT_EQ(manager.gc(ObjectManager::kAllocationFailure).freed, 0u);
    auto stats = manager.gc(ObjectManager::kNoRoots);
    EXPECT_EQ(stats.freed, 5u);
    EXPECT_EQ(manager.objectCount(), 0u);
    EXPECT_EQ(Object::classIdAt(permanent), rt::kFreedClassId);
}

TEST_F(ObjectManagerTest, ObjectArraysNestedTenThousandDeepAreFullyMarked) {
    rt::Handle<rt::ObjectArray> chain(manager, rt::newObjectArray(1));
    rt::ObjectArray* last = chain.get();
    for (int depth = 0; depth < 10000; ++depth) {
        rt::ObjectArray* next = rt::newObjectArray(2);
        last->elements()[0] = next;
        last = next;
    }
    last->elements()[1] = rt::make<Node>();
    rt::newObjectArray(1); // garbage
    auto stats = manager.gc(kCollectNow);
    EXPECT_EQ(stats.freed, 1u);
    EXPECT_EQ(stats.live, 10002u);
}

// Objects in shuffled address order, each referring to two others at random
// (or to nothing, or to a wide array), some reached from a static and some
// not: what survives is exactly what a plain walk of the same graph reaches,
// collection after collection.
TEST_F(ObjectManagerTest, ShuffledGraphsKeepExactlyWhatTheRootsReach) {
    std::mt19937 random(7);
    std::vector<Object*> objects;
    for (int i = 0; i < 6000; ++i) {
        objects.push_back(rt::make<Pair>());
        if (random() % 3 == 0)
            rt::make<Node>(); // holes between the pairs once collected
    }
    // Wider than the marking stack starts, so that it grows in the middle of an object.
    constexpr std::size_t kWide = 3000;
    rt::ObjectArray* wide = rt::newObjectArray(kWide);
    objects.push_back(wide);
    std::shuffle(objects.begin(), objects.end(), random);
    auto pick = [&]() -> Object* { return random() % 5 == 0 ? nullptr : objects[random() % objects.size()]; };
    for (Object* object : objects) {
        if (object == wide) {
            for (Object*& element : std::span(wide->elements(), kWide))
                element = pick();
        } else {
            static_cast<Pair*>(object)->m_first = pick();
            static_cast<Pair*>(object)->m_second = pick();
        }
    }

    rt::Handle<Object> root(manager);
    auto expectReached = [&](Object* from) {
        std::vector<Object*> reached, pending{from};
        std::unordered_set<Object*> seen;
        while (!pending.empty()) {
            Object* object = pending.back();
            pending.pop_back();
            if (!object || !seen.insert(object).second)
                continue;
            reached.push_back(object);
            if (object == wide) {
                pending.insert(pending.end(), wide->elements(), wide->elements() + kWide);
            } else {
                pending.push_back(static_cast<Pair*>(object)->m_first);
                pending.push_back(static_cast<Pair*>(object)->m_second);
            }
        }
        root.set(from);
        std::size_t before = manager.objectCount();
        auto stats = manager.gc(kCollectNow);
        EXPECT_EQ(stats.live, reached.size());
        EXPECT_EQ(stats.freed, before - reached.size());
        for (Object* object : reached)
            EXPECT_NE(Object::classIdAt(object), rt::kFreedClassId);
        EXPECT_EQ(manager.verifyHeap(), "");
        objects = reached;
    };
    // The array, which reaches much, then, twice, a survivor that reaches less.
    expectReached(wide);
    expectReached(objects[objects.size() / 2]);
    expectReached(objects[objects.size() / 3]);
}

// An object registered from memory outside the object heap counts as reached
// by its header mark: kept while something refers to it, however often the
// collector runs, and freed the first collection after nothing does.
TEST_F(ObjectManagerTest, ObjectsRegisteredFromOutsideTheHeapAreKeptWhileReachedThenFreed) {
    int destroyed = 0;
    void* memory = std::calloc(1, sizeof(Node));
    ASSERT_NE(memory, nullptr);
    auto* outside = new (memory) Node(&destroyed);
    manager.addObject(outside);
    Node* holder = rt::make<Node>();
    holder->m_next = outside;
    rt::getStaticClass().statics<NodeStatics>().m_root = holder;

    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(manager.gc(kCollectNow).freed, 0u) << "round " << round;
    EXPECT_EQ(destroyed, 0);

    holder->m_next = nullptr;
    auto stats = manager.gc(kCollectNow);
    EXPECT_EQ(stats.freed, 1u);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager.objectCount(), 1u);
}

TEST_F(ObjectManagerTest, ConstantStringsLiveUntilTheFinalCollection) {
    testing_support::LogCapture log;
    EXPECT_EQ(rt::getStaticClass().getConstantString(0), nullptr);
    EXPECT_TRUE(log.contains("NullPointer"));

    rt::ObjectArray* strings = rt::newObjectArray(3);
    const char* texts[] = {"Vorlax", "", "PROPERTY VALUE EMPTY"};
    for (int i = 0; i < 3; ++i)
        strings->elements()[i] = rt::String::newFromCString(texts[i]);
    rt::getStaticClass().setConstantStrings(strings);

    EXPECT_EQ(manager.gc(kCollectNow).freed, 0u);
    EXPECT_TRUE(rt::getStaticClass().getConstantString(2)->equalsCString("PROPERTY VALUE EMPTY"));
    rt::OperandFrame<2> frame;
    frame.pushConstantString(0);
    EXPECT_TRUE(static_cast<rt::String*>(frame.popRef())->equalsCString("Vorlax"));

    log.clear();
    EXPECT_EQ(rt::getStaticClass().getConstantString(3), nullptr);
    EXPECT_EQ(rt::getStaticClass().getConstantString(-1), nullptr);
    EXPECT_TRUE(log.contains("index=3 length=3"));

    // Dropping the array frees it, but not the uncollectable strings; the final collection frees all.
    rt::String* first = rt::getStaticClass().getConstantString(0);
    rt::getStaticClass().setConstantStrings(nullptr);
    EXPECT_EQ(manager.gc(kCollectNow).freed, 1u);
    EXPECT_NE(Object::classIdAt(first), rt::kFreedClassId);
    EXPECT_GE(manager.gc(ObjectManager::kNoRoots).freed, 3u);
    EXPECT_EQ(manager.objectCount(), 0u);
}

} // namespace

} // namespace object_manager_test
