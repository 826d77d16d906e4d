#include "runtime/Runtime.h"

#include "host/Arena.h"
#include "runtime/OutOfStore.h"
#include "runtime/String.h"
#include "runtime/Thread.h"
#include "runtime/Verify.h"
#include "runtime/checks.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace rt {

namespace {

std::atomic<Runtime*> s_current{nullptr};

// Buffers from this size on have their pages committed in one step.
constexpr std::size_t kCommitAtOnce = std::size_t{64} << 10;

// The factories of the runtime's own instantiable classes: every field zero.
Object* makePlainObject() {
    return make<Object>();
}

Object* makeEmptyString() {
    return make<String>();
}

Object* makeUnstartedThread() {
    return make<java_lang_Thread>(java_lang_Thread::ZeroFields{});
}

} // namespace

Runtime::Runtime(const RuntimeOptions& options)
    : m_options(options)
    , m_objectHeap(options.objectHeapSize, HeapKind::Fixed)
    , m_bufferHeap(options.bufferHeapSize, HeapKind::Movable)
    , m_objectManager(m_objectHeap, m_bufferHeap, m_classTable, m_staticClass)
    , m_clock(options.clock)
    , m_device(options.device) {
    Runtime* expected = nullptr;
    RT_VERIFY_MSG(s_current.compare_exchange_strong(expected, this), "a runtime is already running");
    // The reports counted are this runtime's.
    resetRuntimeReports();
    m_classTable.setFactory(ClassId::Object, &makePlainObject);
    m_classTable.setFactory(ClassId::String, &makeEmptyString);
    m_classTable.setFactory(ClassId::java_lang_Thread, &makeUnstartedThread);
    m_objectHeap.setFailureHandler(&m_objectManager);
    m_bufferHeap.setFailureHandler(&m_objectManager);
    if (options.threads && options.clock) {
        m_threadTable = std::make_unique<ThreadTable>(*options.threads, *options.clock);
        m_objectManager.setWorldStopper(m_threadTable.get());
        m_objectManager.addRootSource(m_threadTable.get());
        m_objectManager.setTickSource([clock = options.clock] { return clock->tickCount(); });
    }
    m_objectManager.addRootSource(&m_threadStates);
}

// Application close: statics go first, then a collection without roots frees
// every object (running its destructor) while the heaps still stand.
Runtime::~Runtime() {
    m_staticClass.clearStatics();
    m_objectManager.removeRootSource(&m_threadStates);
    m_objectManager.gc(ObjectManager::kNoRoots);
    m_classTable.freeReferenceFields();
    m_objectHeap.setFailureHandler(nullptr);
    m_bufferHeap.setFailureHandler(nullptr);
    if (m_threadTable) {
        m_objectManager.removeRootSource(m_threadTable.get());
        m_objectManager.setWorldStopper(nullptr);
        m_threadTable.reset();
    }
    s_current.store(nullptr);
}

Runtime& Runtime::current() {
    Runtime* runtime = s_current.load(std::memory_order_acquire);
    RT_VERIFY_MSG(runtime, "no runtime is running");
    return *runtime;
}

Runtime* Runtime::currentOrNull() {
    return s_current.load(std::memory_order_acquire);
}

host::MemoryStatus Runtime::memoryStatus() {
    if (m_device)
        return m_device->memoryStatus();
    auto clamp = [](std::size_t bytes) {
        return static_cast<std::uint32_t>(std::min<std::size_t>(bytes, UINT32_MAX));
    };
    HeapStats objects = m_objectHeap.stats();
    HeapStats buffers = m_bufferHeap.stats();
    host::MemoryStatus status;
    status.totalPhysical = clamp(objects.heapSize + buffers.heapSize);
    status.availablePhysical =
        clamp(objects.heapSize - objects.heapUsed + buffers.heapSize - buffers.heapUsed);
    return status;
}

void* Runtime::allocObject(std::size_t size, ObjectLifetime lifetime) {
    if (lifetime == ObjectLifetime::Permanent) {
        void* memory = m_bufferHeap.Alloc(size);
        if (!memory) {
            memory = std::calloc(1, size);
            if (!memory)
                outOfStore();
            return memory;
        }
        std::memset(memory, 0, size);
        return memory;
    }
    if (m_threadTable) {
        m_threadTable->safepoint();
        if (m_options.collectOnEveryAllocation)
            m_objectManager.gc(ObjectManager::kImmediate);
    }
    std::uint64_t number = ++m_objectAllocations;
    void* memory = number == m_options.failObjectAllocation ? nullptr : m_objectHeap.Alloc(size);
    if (!memory)
        outOfStore(); // the heap has logged its line; every caller writes to the object at once
    // The whole block, not only `size`: a type sharing its class id with a
    // larger one is checked for unlisted references over the larger size.
    std::memset(memory, 0, m_objectHeap.userSize(memory));
    m_objectManager.addObject(static_cast<Object*>(memory));
    return memory;
}

void* Runtime::allocBuffer(std::size_t size, void** owner) {
    void* memory = m_bufferHeap.Alloc(size, owner);
    if (memory) {
        // A large buffer's pages in one step rather than a fault each as
        // they are cleared.
        if (size >= kCommitAtOnce)
            host::commitNow(memory, size);
        std::memset(memory, 0, size);
        return memory;
    }
    memory = std::calloc(1, size ? size : 1);
    if (!memory)
        outOfStore();
    if (owner)
        *owner = memory;
    return memory;
}

void Runtime::freeMemory(void* ptr) {
    if (!ptr)
        return;
    if (m_bufferHeap.Free(ptr) || m_objectHeap.Free(ptr))
        return;
    std::free(ptr);
}

} // namespace rt
