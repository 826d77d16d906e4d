#include "runtime/ObjectManager.h"

#include "runtime/Array.h"
#include "runtime/Class.h"
#include "runtime/ClassTable.h"
#include "runtime/Object.h"
#include "runtime/StaticClass.h"
#include "runtime/Verify.h"

#include "host/Log.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>

namespace rt {

const char* rootKindName(RootKind kind) {
    switch (kind) {
    case RootKind::Static:
        return "static field";
    case RootKind::Handle:
        return "handle";
    case RootKind::ThreadObject:
        return "thread object";
    case RootKind::PendingException:
        return "pending exception";
    case RootKind::Stack:
        return "thread stack";
    case RootKind::Registers:
        return "saved registers";
    case RootKind::Newest:
        return "newest object";
    }
    return "?";
}

ObjectManager::ObjectManager(MemoryManager& objectHeap, MemoryManager& bufferHeap, const ClassTable& classes,
                             StaticClass& statics)
    : m_objectHeap(objectHeap)
    , m_bufferHeap(bufferHeap)
    , m_classes(classes)
    , m_statics(statics)
    , m_tick([] { return std::uint32_t{0}; }) {
    m_registry.reserve(512);
}

ObjectManager::~ObjectManager() = default;

void ObjectManager::setTickSource(std::function<std::uint32_t()> tick) {
    m_tick = std::move(tick);
    m_lastCollection = m_tick();
}

void ObjectManager::addRootSource(RootSource* source) {
    std::lock_guard guard(m_registryLock);
    m_rootSources.push_back(source);
}

void ObjectManager::removeRootSource(RootSource* source) {
    std::lock_guard guard(m_registryLock);
    std::erase(m_rootSources, source);
}

void ObjectManager::addObject(Object* object) {
    bool elsewhere = !m_objectHeap.contains(object);
    std::lock_guard guard(m_registryLock);
    m_registry.push_back(object);
    m_registeredElsewhere += elsewhere ? 1 : 0;
}

std::size_t ObjectManager::objectCount() const {
    std::lock_guard guard(m_registryLock);
    return m_registry.size();
}

void ObjectManager::addHandle(Object** slot) {
    std::lock_guard guard(m_registryLock);
    m_handles.push_back(slot);
}

void ObjectManager::removeHandle(Object** slot) {
    std::lock_guard guard(m_registryLock);
    auto found = std::find(m_handles.rbegin(), m_handles.rend(), slot);
    RT_VERIFY(found != m_handles.rend());
    m_handles.erase(std::next(found).base());
}

// Every used block of the object heap holds a registered object (`allocObject`
// registers before any safepoint can be reached), so the block that contains
// the word is the object.
Object* ObjectManager::objectContaining(const void* word) const {
    void* user = m_objectHeap.blockContaining(word);
    if (!user)
        return nullptr;
    auto* object = static_cast<Object*>(user);
    return object->isFreed() ? nullptr : object;
}

// ---- What a collection has reached -----------------------------------------------

// An object of the object heap counts as reached by its bit in `m_reached`,
// one per alignment unit of the heap, so that neither marking nor the sweep
// need to read a header to know it (the header's mark is set as well). Other
// objects count by their header's mark.
bool ObjectManager::reach(Object* object) {
    if (!m_objectHeap.contains(object)) {
        if (object->isMarked())
            return false;
        object->setMarked();
        return true;
    }
    auto unit = static_cast<std::size_t>(reinterpret_cast<const std::byte*>(object) - m_objectHeap.arena()) /
                MemoryManager::kAlignment;
    std::uint64_t bit = std::uint64_t{1} << (unit % 64);
    std::uint64_t& word = m_reached[unit / 64];
    if (word & bit)
        return false;
    word |= bit;
    return true;
}

bool ObjectManager::isMarkedObject(const Object* object) {
    return object->isMarked();
}

// ---- Marking -----------------------------------------------------------------

// Marks from roots with an explicit, growing stack: no reference chain is too
// deep. An object is recorded as reached when it is pushed, which reads only
// the bitmap; its own bytes are read when it is visited. Between the stack and
// the visit lies a short queue: an object popped from the stack is fetched
// ahead and visited only after the queue's other objects, so that a heap whose
// objects lie in no particular order costs a few overlapping cache misses
// instead of one after another, however long the object waited on the stack.
class ObjectManager::Marker final : public RootVisitor {
public:
    explicit Marker(ObjectManager& manager)
        : m_manager(manager)
        , m_bitmap{reinterpret_cast<std::uintptr_t>(manager.m_objectHeap.arena()),
                   manager.m_objectHeap.stats().heapSize, manager.m_reached.data()}
        , m_stack(manager.m_markStack) {
        if (m_stack.size() < 1024)
            m_stack.resize(1024);
        // The reference fields of every class, looked up once: nothing
        // registers a class's fields while the world is stopped.
        for (int id = 0; id < kClassCount; ++id) {
            const Class* entry = manager.m_classes.getClassById(id);
            std::span<const std::uint32_t> offsets = entry->referenceOffsets();
            m_layouts[static_cast<std::size_t>(id)] = {offsets.data(),
                                                       static_cast<std::uint32_t>(offsets.size())};
        }
    }

    void visitObject(Object* object, RootKind) override {
        push(object);
        drain();
    }

    // Conservative: a word that points inside an object marks it; one that
    // points inside a buffer block pins the block and marks its owner.
    [[gnu::no_sanitize_address, gnu::no_sanitize_thread]] void visitRange(const void* from, const void* to,
                                                                          RootKind) override {
        auto begin = (reinterpret_cast<std::uintptr_t>(from) + alignof(void*) - 1) & ~(alignof(void*) - 1);
        auto end = reinterpret_cast<std::uintptr_t>(to);
        for (std::uintptr_t at = begin; at + sizeof(void*) <= end; at += sizeof(void*)) {
            const void* word = *reinterpret_cast<const void* const*>(at);
            if (m_manager.m_objectHeap.contains(word)) {
                push(m_manager.objectContaining(word));
            } else if (m_manager.m_bufferHeap.contains(word)) {
                if (void* block = m_manager.m_bufferHeap.blockContaining(word)) {
                    m_pinned.push_back(block);
                    if (void** owner = m_manager.m_bufferHeap.ownerOf(block))
                        push(m_manager.objectContaining(owner));
                }
            }
        }
        drain();
    }

    std::vector<const void*>& pinned() { return m_pinned; }

private:
    struct Layout {
        const std::uint32_t* offsets = nullptr;
        std::uint32_t count = 0;
    };

    // What tells an object of the object heap reached. Copied into locals by
    // the marking loop: its words are written there, and have the type of
    // these fields, which the compiler would otherwise load again after each write.
    struct Bitmap {
        std::uintptr_t arena;
        std::size_t size;
        std::uint64_t* words;
    };

    void push(Object* object) {
        makeRoom(1);
        m_top = pushInto(m_bitmap, m_stack.data(), m_top, object);
    }

    // Makes room on the stack for `count` more pushes.
    void makeRoom(std::size_t count) {
        if (m_stack.size() - m_top < count)
            m_stack.resize(std::max(m_stack.size() * 2, m_top + count));
    }

    // Pushes `object` onto `stack`, whose first `top` entries are taken and
    // which has room for one more, unless it is null or already reached;
    // answers the new top. For an object of the object heap, the usual case,
    // whether its bit was set decides only whether the slot written counts:
    // the outcome is as good as random in a shuffled heap, and a branch on it
    // would be mispredicted about every other time.
    std::size_t pushInto(const Bitmap& bitmap, Object** stack, std::size_t top, Object* object) const {
        std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(object) - bitmap.arena;
        if (offset >= bitmap.size) [[unlikely]] {
            if (object && m_manager.reach(object))
                stack[top++] = object;
            return top;
        }
        std::size_t unit = offset / MemoryManager::kAlignment;
        std::uint64_t bit = std::uint64_t{1} << (unit % 64);
        std::uint64_t& word = bitmap.words[unit / 64];
        std::uint64_t before = word;
        word = before | bit;
        stack[top] = object;
        return top + ((before & bit) == 0 ? 1 : 0);
    }

    // Pushes the elements of the object array `object`.
    [[gnu::noinline]] void pushElements(Object* object) {
        std::span<Object* const> elements = Array::objectElementsAt(object);
        makeRoom(elements.size());
        for (Object* element : elements)
            m_top = pushInto(m_bitmap, m_stack.data(), m_top, element);
    }

    void drain() {
        const Bitmap bitmap = m_bitmap;
        Object** stack = m_stack.data();
        std::size_t room = m_stack.size();
        std::size_t top = m_top;
        std::size_t first = m_aheadFirst;
        std::size_t count = m_aheadCount;
        for (;;) {
            for (; count < kAhead && top != 0; ++count) {
                Object* object = stack[--top];
                __builtin_prefetch(object);
                m_ahead[(first + count) % kAhead] = object;
            }
            if (count == 0)
                break;
            Object* object = m_ahead[first];
            first = (first + 1) % kAhead;
            --count;
            // Reached objects keep their header mark; storing it only when it
            // is missing spares dirtying a line that is only read.
            if (!object->isMarked())
                object->setMarked();
            std::uint16_t id = object->rawClassId();
            if (!isValidClassId(id))
                continue;
            const Layout& layout = m_layouts[id];
            if (room - top < layout.count) {
                m_top = top;
                makeRoom(layout.count);
                stack = m_stack.data();
                room = m_stack.size();
            }
            auto* base = reinterpret_cast<std::byte*>(object);
            for (std::uint32_t i = 0; i < layout.count; ++i)
                top = pushInto(bitmap, stack, top, *reinterpret_cast<Object**>(base + layout.offsets[i]));
            // An array under construction may have its length before its
            // elements: the collection can come from the elements' own allocation.
            if (id == static_cast<std::uint16_t>(ClassId::ObjectArray)) [[unlikely]] {
                m_top = top;
                pushElements(object);
                stack = m_stack.data();
                room = m_stack.size();
                top = m_top;
            }
        }
        m_top = top;
        m_aheadFirst = first;
        m_aheadCount = count;
    }

    static constexpr std::size_t kAhead = 16;
    ObjectManager& m_manager;
    Bitmap m_bitmap;
    std::array<Layout, kClassCount> m_layouts;
    // The first `m_top` are the objects reached and not yet visited; the
    // rest is left from earlier collections.
    std::vector<Object*>& m_stack;
    std::size_t m_top = 0;
    std::array<Object*, kAhead> m_ahead{};
    std::size_t m_aheadFirst = 0;
    std::size_t m_aheadCount = 0;
    std::vector<const void*> m_pinned;
};

// ---- Collection ----------------------------------------------------------------

CollectionStats ObjectManager::gc(std::uint32_t flags) {
    if (flags == kOrdinary && m_tick() - m_lastCollection < kMinimumInterval)
        return {};
    return collect(flags, nullptr, 0);
}

CollectionStats ObjectManager::gcAndCompact(MemoryManager& heap, std::size_t need) {
    return collect(kAllocationFailure, heap.isMovable() ? &heap : nullptr, need);
}

void ObjectManager::onAllocationFailure(MemoryManager& heap, std::size_t need) {
    (void)gcAndCompact(heap, need);
}

CollectionStats ObjectManager::collect(std::uint32_t flags, MemoryManager* compactHeap,
                                       std::size_t compactNeed) {
    std::uint32_t start = m_tick();
    m_lastCollection = start;
    // Another thread may be collecting: wait for it as a stopped thread would.
    std::unique_lock collection(m_collectionLock, std::defer_lock);
    if (!collection.try_lock()) {
        if (m_worldStopper)
            m_worldStopper->enterSafeRegion();
        collection.lock();
        if (m_worldStopper)
            m_worldStopper->leaveSafeRegion();
    }
    if (m_worldStopper)
        m_worldStopper->stopTheWorld();

    CollectionStats stats;
    stats.ran = true;
    // Objects of the object heap are told reached by `m_reached`, not by
    // their marks (which stay set from their birth or the last collection).
    // Cleared as one block: an element loop is what an instrumented build
    // keeps, at the cost of a check for every word of a large heap.
    m_reached.resize((m_objectHeap.stats().heapSize / MemoryManager::kAlignment + 63) / 64);
    std::memset(m_reached.data(), 0, m_reached.size() * sizeof m_reached[0]);
    if (m_registeredElsewhere != 0) {
        for (Object* object : m_registry) {
            if (!m_objectHeap.contains(object))
                object->clearMark();
        }
    }

    Marker marker(*this);
    if ((flags & kNoRoots) == 0) {
        m_statics.forEachStaticReference([&](Object** slot) { marker.visitObject(*slot, RootKind::Static); });
        for (Object** slot : m_handles)
            marker.visitObject(*slot, RootKind::Handle);
        for (RootSource* source : m_rootSources)
            source->visitRoots(marker);
        if ((flags & kMarkNewest) == kMarkNewest && !m_registry.empty())
            marker.visitObject(m_registry.back(), RootKind::Newest);
        if (m_unlistedCheck != UnlistedReferenceCheck::Off)
            checkUnlistedReferences();
    } else {
        for (Object* object : m_registry)
            object->setCollectable(true);
    }

    sweep(stats);

    if (compactHeap) {
        struct Unpinned final : BlockMovePolicy {
            std::vector<const void*>* pinned;
            bool mayMove(const void* user, std::size_t) const override {
                return !std::binary_search(pinned->begin(), pinned->end(), user);
            }
        } policy;
        auto& pinned = marker.pinned();
        std::sort(pinned.begin(), pinned.end());
        pinned.erase(std::unique(pinned.begin(), pinned.end()), pinned.end());
        policy.pinned = &pinned;
        stats.pinnedBuffers = pinned.size();
        std::size_t movedBefore = compactHeap->stats().movedBlocks;
        (void)compactHeap->compact(compactNeed, policy);
        stats.movedBuffers = compactHeap->stats().movedBlocks - movedBefore;
    }

    m_lastCollection = m_tick();
    stats.pauseMilliseconds = m_lastCollection.load() - start;
    if (m_worldStopper)
        m_worldStopper->resumeTheWorld();
    return stats;
}

// From the registry's end down: a dead object's entry takes the last entry,
// so entries not yet visited never move. The object heap's dead blocks are
// freed together at the end, in one pass over the heap, rather than one
// merge at a time; until then a dead object's bytes stay where a later
// destructor may still look.
//
// The entries not reached are listed first, from the bitmap alone, so that
// the headers of those a few places on can be fetched ahead while one is
// destroyed: they lie about the heap in no order a prefetcher could guess.
// Entries not yet visited never move, so the listed places still hold the
// same objects when their turn comes.
void ObjectManager::sweep(CollectionStats& stats) {
    // Whether an entry was reached is as good as random here: the place is
    // written either way and counted only when it was not.
    // The heap's bounds and the bitmap stay in locals, which the writes of
    // the list (of their type) would otherwise make the compiler load again.
    // The list only grows: shrinking it to the count would have the next
    // collection clear the places again.
    if (m_unreached.size() < m_registry.size())
        m_unreached.resize(m_registry.size());
    const auto arena = reinterpret_cast<std::uintptr_t>(m_objectHeap.arena());
    const std::size_t heapSize = m_objectHeap.stats().heapSize;
    const std::uint64_t* reached = m_reached.data();
    Object* const* registry = m_registry.data();
    std::size_t* list = m_unreached.data();
    std::size_t unreached = 0;
    for (std::size_t i = m_registry.size(); i-- > 0;) {
        std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(registry[i]) - arena;
        bool isReached;
        if (offset < heapSize) [[likely]] {
            std::size_t unit = offset / MemoryManager::kAlignment;
            isReached = (reached[unit / 64] >> (unit % 64)) & 1;
        } else {
            isReached = isMarkedObject(registry[i]);
        }
        list[unreached] = i;
        unreached += isReached ? 0 : 1;
    }
    constexpr std::size_t kAhead = 8;
    m_dead.clear();
    for (std::size_t k = 0; k < unreached; ++k) {
        if (k + kAhead < unreached) {
            const auto* ahead = reinterpret_cast<const std::byte*>(m_registry[m_unreached[k + kAhead]]);
            __builtin_prefetch(ahead, 1);
            // The heap block's header, which freeing reads, may begin on the line before.
            __builtin_prefetch(ahead - MemoryManager::kHeaderSize, 1);
        }
        std::size_t i = m_unreached[k];
        Object* object = m_registry[i];
        if (!object->isCollectable())
            continue;
        m_registry[i] = m_registry.back();
        m_registry.pop_back();
        // Memory whose constructor never ran (it failed, or nobody called it)
        // has no table of virtual operations: there is no destructor to run.
        if (*reinterpret_cast<void* const*>(object) != nullptr)
            object->~Object();
        object->markFreed();
        if (m_objectHeap.contains(object)) {
            m_dead.push_back(object);
        } else {
            --m_registeredElsewhere;
            if (!m_bufferHeap.Free(object))
                std::free(object);
        }
        ++stats.freed;
    }
    m_objectHeap.freeAll(m_dead);
    stats.live = m_registry.size();
}

// ---- Verification ----------------------------------------------------------

// Only survivors are read: a dead object's unlisted words cannot dangle after
// the sweep, since nothing reaches them. Targets are every registered object,
// reached or not; an unreached one is the case that matters, since the sweep is
// about to free it under a live reference.
void ObjectManager::checkUnlistedReferences() {
    for (Object* object : m_registry) {
        if (!wasReached(object) && object->isCollectable())
            continue;
        const Class* entry = m_classes.getClassById(object->rawClassId());
        if (!entry)
            continue;
        // Only the type's own bytes: a block's tail past them may hold a freed object's words.
        std::size_t size = std::min<std::size_t>(entry->objectSize(), m_objectHeap.userSize(object));
        checkUnlistedWords(reinterpret_cast<const std::byte*>(object), size, entry->referenceOffsets(), entry,
                           nullptr);
    }
    m_statics.forEachBlock(
        [&](const std::byte* block, std::size_t size, std::span<const std::uint32_t> listed,
            const char* typeName) { checkUnlistedWords(block, size, listed, nullptr, typeName); });
}

static void reportUnlistedStatics(const char* mangledName, std::size_t offset, const char* targetName) {
    int status = 0;
    char* name = abi::__cxa_demangle(mangledName, nullptr, nullptr, &status);
    host::logf(host::LogCategory::Runtime,
               "unlisted reference: statics block %s, offset %zu, holds an object of class %s",
               name ? name : mangledName, offset, targetName);
    std::free(name);
}

void ObjectManager::checkUnlistedWords(const std::byte* base, std::size_t size,
                                       std::span<const std::uint32_t> listed, const Class* entry,
                                       const char* staticsName) {
    constexpr std::size_t kWord = sizeof(void*);
    std::size_t words = size / kWord;
    // The scratch stays all zeros between calls: only the listed words are
    // set, and cleared again on the way out, which spares clearing a whole
    // object's worth for every object checked.
    if (m_listedWords.size() < words)
        m_listedWords.resize(words, 0);
    const auto markListed = [&](std::uint8_t value) {
        for (std::uint32_t offset : listed) {
            if (offset % kWord == 0 && offset / kWord < words)
                m_listedWords[offset / kWord] = value;
        }
    };
    markListed(1);
    // An object's first two words are its header; a statics block has none.
    std::size_t first = entry ? 2 : 0;
    for (std::size_t i = first; i < words; ++i) {
        if (m_listedWords[i])
            continue;
        const void* word;
        std::memcpy(&word, base + i * kWord, kWord);
        if (!m_objectHeap.contains(word) || objectContaining(word) != word)
            continue;
        const Class* target = m_classes.getClassById(static_cast<const Object*>(word)->rawClassId());
        ++m_unlistedReports;
        const char* targetName = target ? target->name() : "?";
        if (entry)
            host::logf(host::LogCategory::Runtime,
                       "unlisted reference: class %s (id %u), offset %zu, holds an object of class %s",
                       entry->name(), entry->id(), i * kWord, targetName);
        else
            reportUnlistedStatics(staticsName, i * kWord, targetName);
        RT_VERIFY_MSG(m_unlistedCheck != UnlistedReferenceCheck::Abort,
                      "a reference field is missing from its class's or statics block's list");
    }
    markListed(0);
}

std::string ObjectManager::verifyHeap() const {
    std::lock_guard guard(m_registryLock);
    for (Object* object : m_registry) {
        if (object->isFreed())
            return "a freed object is still registered";
        if (!isValidClassId(object->rawClassId()))
            return "a registered object has a bad class id";
        if (objectContaining(object) != object)
            return "a registered object is not an object-heap block";
        if (!object->isMarked())
            return "a live object lost its mark";
        auto* base = reinterpret_cast<std::byte*>(object);
        for (std::uint32_t offset : m_classes.getClassById(object->rawClassId())->referenceOffsets()) {
            Object* target = *reinterpret_cast<Object**>(base + offset);
            if (target && objectContaining(target) != target)
                return "a reference field points at something that is not a live object";
        }
    }
    return m_objectHeap.verify();
}

} // namespace rt
