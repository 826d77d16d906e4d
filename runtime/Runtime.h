#pragma once

// `Runtime`: the object runtime of one running application: its two heaps, its
// class table, its statics, its collector, its monitors and thread table, the
// registry of the threads' states (pending exceptions, trace stacks) and the
// hooks through which the class library makes exceptions. One runtime exists
// at a time; translated code reaches it through `Runtime::current()` and the
// free functions below, which stand for the allocation calls every translated
// `new` makes.

#include "host/Clock.h"
#include "host/Device.h"
#include "host/Threads.h"
#include "host/stressSwitches.h"
#include "runtime/ClassTable.h"
#include "runtime/Exceptions.h"
#include "runtime/MemoryManager.h"
#include "runtime/Monitor.h"
#include "runtime/Object.h"
#include "runtime/ObjectManager.h"
#include "runtime/StaticClass.h"
#include "runtime/ThreadState.h"
#include "runtime/ThreadTable.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace rt {

struct RuntimeOptions {
    // Twice the phone's 3 MB and 8 MB: objects hold 8-byte references here.
    std::size_t objectHeapSize = 2 * 0x300000;
    std::size_t bufferHeapSize = 2 * 0x800000;
    // Threads and time. Without them the runtime serves only the thread that
    // made it: nothing can start a thread or block, and an ordinary collection
    // request never finds its interval passed.
    host::Threads* threads = nullptr;
    host::Clock* clock = nullptr;
    // Where `memoryStatus()` asks for the device's memory. Without one the
    // runtime answers the figures of its own two heaps.
    host::Device* device = nullptr;
    // Stress switches. Collect before every object allocation: only a runtime
    // with threads does, since only there the collector sees the stacks that
    // hold objects under construction. On by default when the environment
    // asks for collection stress (`host::collectionStressRequested`).
    bool collectOnEveryAllocation = host::collectionStressRequested();
    // Make the object heap refuse its Nth allocation (counted from 1; 0 never),
    // to test the out-of-store path.
    std::uint64_t failObjectAllocation = 0;
};

enum class ObjectLifetime : std::uint8_t {
    Collectable, // object heap, registered with the collector
    Permanent,   // buffer heap or malloc, never collected
};

class Runtime {
public:
    explicit Runtime(const RuntimeOptions& options = {});
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    static Runtime& current();
    static Runtime* currentOrNull();

    MemoryManager& objectHeap() { return m_objectHeap; }
    MemoryManager& bufferHeap() { return m_bufferHeap; }
    ClassTable& classTable() { return m_classTable; }
    StaticClass& staticClass() { return m_staticClass; }
    ObjectManager& objectManager() { return m_objectManager; }
    MonitorPool& monitors() { return m_monitors; }
    // Null for a runtime made without threads.
    ThreadTable* threadTable() { return m_threadTable.get(); }
    // The host's clock; null for a runtime made without one.
    host::Clock* clock() const { return m_clock; }
    // The clock's millisecond tick (wrapping at 2^32), 0 without a clock. Any thread.
    std::uint32_t tickCount() const { return m_clock ? m_clock->tickCount() : 0; }
    // Free and total physical memory: the device's when the runtime was given
    // one, else the free and total bytes of the object and buffer heaps
    // together (clamped to 32 bits). Any thread.
    host::MemoryStatus memoryStatus();
    // Every thread state attached to this runtime; a root source of the
    // collector (the pending exceptions).
    ThreadStateRegistry& threadStates() { return m_threadStates; }

    // Set by the class library at start-up, before other threads run.
    void setThrowableHooks(const ThrowableHooks& hooks) { m_throwableHooks = hooks; }
    const ThrowableHooks& throwableHooks() const { return m_throwableHooks; }

    // Zeroed memory for an object. A collectable object that the object heap
    // cannot hold ends the process through the out-of-store path.
    void* allocObject(std::size_t size, ObjectLifetime lifetime);
    // A zeroed buffer owned by the field `owner` (which receives the pointer);
    // from the buffer heap, else from malloc. A null owner: the buffer never moves.
    void* allocBuffer(std::size_t size, void** owner);
    // Frees an object's or a buffer's memory wherever it came from.
    void freeMemory(void* ptr);
    // Moves ownership of a buffer-heap block to another field.
    bool setOwner(void* ptr, void** ownerField) { return m_bufferHeap.setOwner(ptr, ownerField); }

private:
    RuntimeOptions m_options;
    std::atomic<std::uint64_t> m_objectAllocations{0};
    MemoryManager m_objectHeap;
    MemoryManager m_bufferHeap;
    ClassTable m_classTable;
    StaticClass m_staticClass;
    MonitorPool m_monitors;
    ObjectManager m_objectManager;
    std::unique_ptr<ThreadTable> m_threadTable;
    host::Clock* m_clock;
    host::Device* m_device;
    ThrowableHooks m_throwableHooks;
    // Last, so that it is destroyed first: the states it detaches forget
    // their objects before the heaps go.
    ThreadStateRegistry m_threadStates;
};

inline void* allocObject(std::size_t size, ObjectLifetime lifetime = ObjectLifetime::Collectable) {
    return Runtime::current().allocObject(size, lifetime);
}
inline void* allocBuffer(std::size_t size, void** owner) {
    return Runtime::current().allocBuffer(size, owner);
}
template <class T>
T* allocBuffer(std::size_t count, T** owner) {
    return static_cast<T*>(
        Runtime::current().allocBuffer(count * sizeof(T), reinterpret_cast<void**>(owner)));
}
inline void freeObject(void* ptr) {
    Runtime::current().freeMemory(ptr);
}
inline void freeBuffer(void* ptr) {
    Runtime::current().freeMemory(ptr);
}
inline bool setOwner(void* ptr, void** ownerField) {
    return Runtime::current().setOwner(ptr, ownerField);
}

// Records the reference fields of `T` for class `id`, unless they already are.
template <class T>
void ensureReferenceFields(ClassId id) {
    Runtime::current().classTable().registerReferenceFields(id, ReferenceFieldsOf<T>::table);
}

// What a translated `new` does: zeroed memory from the object heap, the class
// known to the class table, then the constructor. The class's reference fields
// are recorded before the constructor runs, so a collection during it traces
// the fields it has already set.
template <class T, class... Args>
T* make(Args&&... args) {
    ensureReferenceFields<T>(T::kClassId);
    void* memory = allocObject(sizeof(T));
    return ::new (memory) T(std::forward<Args>(args)...);
}

// The same for a C++ class that serves several class ids (its constructor takes the id first).
template <class T, class... Args>
T* makeAs(ClassId id, Args&&... args) {
    ensureReferenceFields<T>(id);
    void* memory = allocObject(sizeof(T));
    return ::new (memory) T(id, std::forward<Args>(args)...);
}

} // namespace rt
