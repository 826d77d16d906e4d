#include "runtime/StaticClass.h"

#include "runtime/Array.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/checks.h"

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

void* StaticClass::createBlock(std::size_t slot, const BlockType& type) {
    std::lock_guard guard(m_createLock);
    Block& entry = m_blocks[slot];
    if (void* block = entry.block.load(std::memory_order_acquire))
        return block;
    void* block = type.make();
    entry.type = type;
    entry.block.store(block, std::memory_order_release);
    return block;
}

void StaticClass::setConstantStrings(ObjectArray* strings) {
    if (strings) {
        for (std::int32_t i = 0; i < strings->length(); ++i) {
            if (Object* text = strings->elements()[i])
                text->setCollectable(false);
        }
    }
    m_constantStrings = strings;
}

String* StaticClass::getConstantString(std::int32_t index) const {
    if (!m_constantStrings) {
        reportNullPointer();
        return nullptr;
    }
    if (index < 0 || index >= m_constantStrings->length()) {
        reportIndexOutOfBounds(IndexKind::Array, index, m_constantStrings->length());
        return nullptr;
    }
    return static_cast<String*>(m_constantStrings->elements()[index]);
}

void StaticClass::clearStatics() {
    m_constantStrings = nullptr;
    std::lock_guard guard(m_createLock);
    for (Block& entry : m_blocks) {
        if (void* block = entry.block.exchange(nullptr, std::memory_order_acq_rel))
            entry.type.destroy(block);
    }
}

StaticClass& getStaticClass() {
    return Runtime::current().staticClass();
}

} // namespace rt
