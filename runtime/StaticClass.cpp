#include "runtime/StaticClass.h"

#include "runtime/Runtime.h"

namespace rt {

std::size_t StaticClass::nextSlot() {
    static std::atomic<std::size_t> s_next{0};
    std::size_t slot = s_next.fetch_add(1);
    RT_VERIFY_MSG(slot < kMaxStaticsBlocks, "too many statics types: raise kMaxStaticsBlocks");
    return slot;
}

StaticClass::~StaticClass() {
    clearStatics();
}

void* StaticClass::createBlock(std::size_t slot, void* (*make)(), void (*destroy)(void*),
                               const ReferenceFieldTable& references) {
    std::lock_guard guard(m_createLock);
    Block& entry = m_blocks[slot];
    if (void* block = entry.block.load(std::memory_order_acquire))
        return block;
    void* block = make();
    entry.destroy = destroy;
    entry.references = references;
    entry.block.store(block, std::memory_order_release);
    return block;
}

void StaticClass::clearStatics() {
    std::lock_guard guard(m_createLock);
    for (Block& entry : m_blocks) {
        if (void* block = entry.block.exchange(nullptr, std::memory_order_acq_rel))
            entry.destroy(block);
    }
}

StaticClass& getStaticClass() {
    return Runtime::current().staticClass();
}

} // namespace rt
