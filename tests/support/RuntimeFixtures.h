#pragma once

// Small pieces that runtime and library tests share: a stand-in exception
// class registered through the runtime's throwable hooks, the collector's way
// of freeing one object, and a buffer heap that compacts on every failed
// allocation and scribbles over the space it freed, so that a pointer kept
// across the allocation reads garbage.

#include "runtime/Class.h"
#include "runtime/Exceptions.h"
#include "runtime/MemoryManager.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"

#include <cstring>
#include <memory>

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

// What the collector does to an object it frees: destructor, then memory.
inline void destroy(rt::Object* object) {
    std::destroy_at(object);
    rt::freeObject(object);
}

struct AllowAllMoves final : rt::BlockMovePolicy {
    bool mayMove(const void*, std::size_t) const override { return true; }
};

// Compacts the heap on every failed allocation, moving any block, then fills
// every free block with 0xDD.
class ScrubbingCompactor final : public rt::AllocationFailureHandler {
public:
    void onAllocationFailure(rt::MemoryManager& heap, std::size_t need) override {
        ++m_compactions;
        heap.compact(rt::MemoryManager::blockSizeFor(need), AllowAllMoves{});
        heap.forEachBlock([](const void* user, std::size_t size, bool isFree) {
            // The free list's links live in the first bytes after the header.
            if (isFree && size > 16)
                std::memset(static_cast<std::byte*>(const_cast<void*>(user)) + 16, 0xDD, size - 16);
        });
    }
    int compactions() const { return m_compactions; }

private:
    int m_compactions = 0;
};

} // namespace testing_support
