#pragma once

// Small pieces that runtime and library tests share: a stand-in exception
// class registered through the runtime's throwable hooks, and a buffer heap
// that compacts on every failed allocation and scribbles over the space it
// freed, so that a pointer kept across the allocation reads garbage (or, in
// sanitizer builds, is reported).

#include "runtime/Class.h"
#include "runtime/Exceptions.h"
#include "runtime/MemoryManager.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"

#include <cstring>

namespace testing_support {

// An exception object as the class library's will be: a message, a stack trace.
class TestThrowable final : public rt::Object {
public:
    TestThrowable(rt::ClassId id, rt::String* message)
        : Object(id)
        , m_message(message) {}
    rt::String* toString() override { return m_message; }

    rt::String* m_message = nullptr;
    rt::String* m_stackTrace = nullptr;
    RT_REFERENCE_FIELDS(TestThrowable, Object, m_message, m_stackTrace)
};

inline void installTestThrowables(rt::Runtime& runtime) {
    rt::ThrowableHooks hooks;
    hooks.newThrowable = [](rt::ClassId id, rt::String* message) -> rt::Object* {
        if (!rt::isSubclassOf(rt::toInt(id), rt::toInt(rt::ClassId::java_lang_Throwable)))
            return nullptr;
        return rt::makeAs<TestThrowable>(id, message);
    };
    hooks.setStackTrace = [](rt::Object* throwable, rt::String* trace) {
        static_cast<TestThrowable*>(throwable)->m_stackTrace = trace;
    };
    runtime.setThrowableHooks(hooks);
}

struct AllowAllMoves final : rt::BlockMovePolicy {
    bool mayMove(const void*, std::size_t) const override { return true; }
};

// On every failed allocation: a collection by `collector` when there is one
// (which compacts as it sees fit), else a compaction that may move any block;
// then every free block is filled with 0xDD (in sanitizer builds the heap
// poisons freed bytes instead, and a stale read is reported where it happens).
class ScrubbingCompactor final : public rt::AllocationFailureHandler {
public:
    explicit ScrubbingCompactor(rt::ObjectManager* collector = nullptr)
        : m_collector(collector) {}

    void onAllocationFailure(rt::MemoryManager& heap, std::size_t need) override {
        ++m_compactions;
        if (m_collector)
            m_collector->onAllocationFailure(heap, need);
        else
            heap.compact(rt::MemoryManager::blockSizeFor(need), AllowAllMoves{});
#if !defined(__SANITIZE_ADDRESS__)
        // Sanitizer builds need no scribbling: the heap poisons freed bytes itself.
        heap.forEachBlock([](const void* user, std::size_t size, bool isFree) {
            // The free list's links live in the first bytes after the header.
            if (isFree && size > 16)
                std::memset(static_cast<std::byte*>(const_cast<void*>(user)) + 16, 0xDD, size - 16);
        });
#endif
    }
    int compactions() const {
        return m_compactions;
    }

private:
    rt::ObjectManager* m_collector;
    int m_compactions = 0;
};

} // namespace testing_support
