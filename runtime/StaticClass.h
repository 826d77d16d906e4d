#pragma once

// `StaticClass`: the static fields of every class, and which of them hold
// references (the collector's static roots).
//
// Each class or subsystem keeps its statics in one plain struct of typed
// members that declares its reference fields once, the way classes do:
//
//     struct VectorStatics {
//         Object* m_empty = nullptr;
//         std::int32_t m_created = 0;
//         RT_REFERENCE_FIELDS(VectorStatics, rt::NoReferenceBase, m_empty)
//     };
//     getStaticClass().statics<VectorStatics>().m_created++;
//
// The first `statics<T>()` makes the block (members at their initialisers) and
// registers its reference fields; every later call answers the same block. The
// runtime knows no game or library statics type: each layer brings its own.
// Blocks live until the runtime ends (or `clearStatics()` at application close).

#include "runtime/Forward.h"
#include "runtime/ReferenceFields.h"
#include "runtime/Verify.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

namespace rt {

class StaticClass {
public:
    static constexpr std::size_t kMaxStaticsBlocks = 64;

    StaticClass() = default;
    ~StaticClass();
    StaticClass(const StaticClass&) = delete;
    StaticClass& operator=(const StaticClass&) = delete;

    template <class T>
    T& statics() {
        std::size_t slot = slotOf<T>();
        if (void* block = m_blocks[slot].block.load(std::memory_order_acquire))
            return *static_cast<T*>(block);
        return *static_cast<T*>(
            createBlock(slot, &makeBlock<T>, &destroyBlock<T>, ReferenceFieldsOf<T>::table));
    }

    // Calls `visit(Object** slot)` for every static reference field of every block.
    template <class Visit>
    void forEachStaticReference(Visit&& visit) const {
        for (const Block& entry : m_blocks) {
            auto* base = static_cast<std::byte*>(entry.block.load(std::memory_order_acquire));
            if (!base)
                continue;
            for (std::uint32_t i = 0; i < entry.references.count; ++i)
                visit(reinterpret_cast<Object**>(base + entry.references.offsets[i]));
        }
    }

    // Destroys every statics block (application close, before the final collection).
    void clearStatics();

private:
    struct Block {
        std::atomic<void*> block{nullptr};
        void (*destroy)(void*) = nullptr;
        ReferenceFieldTable references;
    };

    template <class T>
    static void* makeBlock() {
        return new T();
    }
    template <class T>
    static void destroyBlock(void* block) {
        delete static_cast<T*>(block);
    }
    template <class T>
    static std::size_t slotOf() {
        static const std::size_t s_slot = nextSlot();
        return s_slot;
    }
    static std::size_t nextSlot();

    void* createBlock(std::size_t slot, void* (*make)(), void (*destroy)(void*),
                      const ReferenceFieldTable& references);

    std::mutex m_createLock;
    std::array<Block, kMaxStaticsBlocks> m_blocks;
};

// The running runtime's statics.
StaticClass& getStaticClass();

} // namespace rt
