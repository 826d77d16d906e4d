#pragma once

// `ObjectManager`: the stop-the-world mark-and-sweep collector of the object heap.
//
// Where an object can be, and what keeps it alive:
//   - every object made for the collector (`allocObject`) is in the registry
//     from its allocation until the sweep frees it;
//   - roots: the static reference fields (`StaticClass`), registered handles
//     (`Handle<T>`: guest pointers kept off the stack), and whatever the root
//     sources add: each runtime thread's `java_lang_Thread`, its pending
//     exception, and its stack and saved registers, scanned conservatively;
//   - a conservative word keeps an object alive when it points anywhere inside
//     the object, and keeps a buffer-heap block's owner alive (and the block in
//     place) when it points anywhere inside the block.
//
// A collection, in order: stop the world; forget what was reached; mark from the roots
// (unless flag 2); mark the newest object (flag 8); sweep the registry from its
// end, running each dead object's destructor and freeing it; compact the buffer
// heap when an allocation (or `gcAndCompact`) asked for it; resume the world. Destructors run while
// the world is stopped: they free memory and release native resources, and
// must never wait for another runtime thread.
//
// During a collection an object of the object heap counts as reached by its
// bit in a bitmap of the collection's own (see `reach`), so that neither
// marking nor the sweep read a header to learn it; its header mark is set as
// well, and is not cleared between collections. Other objects count by their
// header mark. Between collections every live object may carry any mark value.
//
// The unlisted-reference check (on by default in builds with
// `VORLAX_VERIFY_REFERENCES`: debug and sanitizer builds, the stress run too)
// runs between mark and sweep. It reads every word of every surviving object
// and of every statics block that its reference list does not name (the two
// header words aside), and reports each that holds the start address of a
// registered object: a reference field left out of a list, which the sweep
// would leave dangling once nothing else reaches its object.

#include "runtime/Forward.h"
#include "runtime/MemoryManager.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace rt {

class ObjectManager;

enum class RootKind : std::uint8_t {
    Static,
    Handle,
    ThreadObject,
    PendingException,
    Stack,
    Registers,
    Newest,
};

const char* rootKindName(RootKind kind);

// What a root source hands its roots to during a collection.
class RootVisitor {
public:
    virtual ~RootVisitor() = default;
    virtual void visitObject(Object* object, RootKind kind) = 0;
    // Every aligned word in [from, to) is a candidate reference.
    virtual void visitRange(const void* from, const void* to, RootKind kind) = 0;
};

// Something that holds roots the collector cannot see by itself (the thread
// table, the per-thread states). Visited with the world stopped.
class RootSource {
public:
    virtual ~RootSource() = default;
    virtual void visitRoots(RootVisitor& visitor) = 0;
};

// Stops and restarts every runtime thread but the caller. Without one, the
// collector assumes the caller is the only runtime thread.
class WorldStopper {
public:
    virtual ~WorldStopper() = default;
    virtual void stopTheWorld() = 0;
    virtual void resumeTheWorld() = 0;
    // Around a wait that another collector may need to get past: while the
    // caller waits for the collection lock, it counts as stopped.
    virtual void enterSafeRegion() = 0;
    virtual void leaveSafeRegion() = 0;
};

// What the collector does with an unlisted reference it finds.
enum class UnlistedReferenceCheck : std::uint8_t {
    Off,
    Report, // logs a line naming the class or statics block and the offset, and counts it
    Abort,  // logs the same line, then fails the process through RT_VERIFY
};

struct CollectionStats {
    bool ran = false;
    std::size_t live = 0;
    std::size_t freed = 0;
    std::size_t pinnedBuffers = 0;
    std::size_t movedBuffers = 0; // buffer blocks the compaction moved
    std::uint32_t pauseMilliseconds = 0;
};

class ObjectManager final : public AllocationFailureHandler {
public:
    // Flags of `gc`.
    static constexpr std::uint32_t kOrdinary = 0;
    static constexpr std::uint32_t kImmediate = 1;         // runs whatever the interval; keeps nothing extra
    static constexpr std::uint32_t kNoRoots = 2;           // application close: free everything
    static constexpr std::uint32_t kMarkNewest = 8;        // also keep the newest registered object
    static constexpr std::uint32_t kAllocationFailure = 9; // what an allocation that found no block asks
    // An ordinary request within this many milliseconds of the last collection is skipped.
    static constexpr std::uint32_t kMinimumInterval = 2000;

    ObjectManager(MemoryManager& objectHeap, MemoryManager& bufferHeap, const ClassTable& classes,
                  StaticClass& statics);
    ~ObjectManager() override;
    ObjectManager(const ObjectManager&) = delete;
    ObjectManager& operator=(const ObjectManager&) = delete;

    // The time source of the interval rule (milliseconds, wrapping); and the
    // collection's start counts as its first "last collection".
    void setTickSource(std::function<std::uint32_t()> tick);
    void setWorldStopper(WorldStopper* stopper) { m_worldStopper = stopper; }
    void addRootSource(RootSource* source);
    void removeRootSource(RootSource* source);

    void addObject(Object* object);
    std::size_t objectCount() const;

    CollectionStats gc(std::uint32_t flags);
    // The collection a failed allocation in the movable `heap` asks for: it
    // then compacts `heap` towards a free block of `need` bytes, moving the
    // blocks no stack or register points into.
    CollectionStats gcAndCompact(MemoryManager& heap, std::size_t need);

    // The live registered object whose bytes contain `word`, or null.
    Object* objectContaining(const void* word) const;

    // Guest references held off the stack. See `Handle`.
    void addHandle(Object** slot);
    void removeHandle(Object** slot);

    // Heap failure: collect, and compact a movable heap.
    void onAllocationFailure(MemoryManager& heap, std::size_t need) override;

    void setUnlistedReferenceCheck(UnlistedReferenceCheck check) { m_unlistedCheck = check; }
    UnlistedReferenceCheck unlistedReferenceCheck() const { return m_unlistedCheck; }
    // The unlisted references reported so far (`Report` mode).
    std::size_t unlistedReferenceReports() const { return m_unlistedReports; }

#if defined(VORLAX_VERIFY_REFERENCES)
    static constexpr UnlistedReferenceCheck kDefaultUnlistedReferenceCheck = UnlistedReferenceCheck::Abort;
#else
    static constexpr UnlistedReferenceCheck kDefaultUnlistedReferenceCheck = UnlistedReferenceCheck::Off;
#endif

    // Verification: every registered object's header is sane, every reference
    // field is null or a registered live object, no mark left after a sweep.
    std::string verifyHeap() const;

private:
    class Marker;

    CollectionStats collect(std::uint32_t flags, MemoryManager* compactHeap, std::size_t compactNeed);
    void sweep(CollectionStats& stats);
    // Whether this collection has reached `object`; `reach` also records it,
    // answering true only the first time.
    bool reach(Object* object);
    bool wasReached(const Object* object) const {
        if (!m_objectHeap.contains(object))
            return isMarkedObject(object);
        auto unit =
            static_cast<std::size_t>(reinterpret_cast<const std::byte*>(object) - m_objectHeap.arena()) /
            MemoryManager::kAlignment;
        return (m_reached[unit / 64] >> (unit % 64)) & 1;
    }
    static bool isMarkedObject(const Object* object);
    void checkUnlistedReferences();
    // Reports the words of [base, base + size) at offsets `listed` does not
    // name that hold a registered object's start: an object of class `entry`
    // (its header words aside), or the statics block named `staticsName`.
    void checkUnlistedWords(const std::byte* base, std::size_t size, std::span<const std::uint32_t> listed,
                            const Class* entry, const char* staticsName);

    MemoryManager& m_objectHeap;
    MemoryManager& m_bufferHeap;
    const ClassTable& m_classes;
    StaticClass& m_statics;
    std::function<std::uint32_t()> m_tick;
    WorldStopper* m_worldStopper = nullptr;
    std::vector<RootSource*> m_rootSources;
    std::vector<Object**> m_handles;

    mutable std::mutex m_registryLock;
    std::vector<Object*> m_registry;
    std::size_t m_registeredElsewhere = 0; // registered objects outside the object heap
    std::vector<void*> m_dead;             // the sweep's object-heap blocks, kept to spare reallocations
    std::vector<std::size_t> m_unreached;  // the sweep's registry places not reached, from the end down
    std::vector<std::uint64_t> m_reached;  // during a collection: see `reach`
    std::vector<Object*> m_markStack;      // the marking's stack, kept to spare reallocations

    std::mutex m_collectionLock;
    std::atomic<std::uint32_t> m_lastCollection{0}; // read without a lock by the interval rule

    UnlistedReferenceCheck m_unlistedCheck = kDefaultUnlistedReferenceCheck;
    std::size_t m_unlistedReports = 0;
    std::vector<std::uint8_t> m_listedWords; // scratch of the check: 1 for each listed word
};

// A guest reference kept where the collector cannot see it (a C++ container,
// a callback, a host-side structure): while the handle lives, its object does.
template <class T>
class Handle {
public:
    Handle(ObjectManager& manager, T* object = nullptr)
        : m_manager(manager)
        , m_object(object) {
        m_manager.addHandle(reinterpret_cast<Object**>(&m_object));
    }
    ~Handle() { m_manager.removeHandle(reinterpret_cast<Object**>(&m_object)); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    void set(T* object) { m_object = object; }

private:
    ObjectManager& m_manager;
    T* m_object;
};

} // namespace rt
