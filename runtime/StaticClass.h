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
#include <cstring>
#include <mutex>
#include <new>
#include <span>
#include <typeinfo>

namespace rt {

class StaticClass {
public:
    static constexpr std::size_t kMaxStaticsBlocks = 128;

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
            createBlock(slot, BlockType{&makeBlock<T>, &destroyBlock<T>, ReferenceFieldsOf<T>::table,
                                        sizeof(T), typeid(T).name()}));
    }

    // Makes `strings` (an array of `String`s, or null) the constant strings;
    // each string becomes uncollectable.
    void setConstantStrings(ObjectArray* strings);
    ObjectArray* constantStrings() const { return m_constantStrings; }
    // Constant string `index`; null, after reporting, when there are no
    // constant strings or no such index.
    String* getConstantString(std::int32_t index) const;

    // Calls `visit(Object** slot)` for every static reference field of every
    // block, and for the constant strings.
    template <class Visit>
    void forEachStaticReference(Visit&& visit) const {
        visit(reinterpret_cast<Object**>(const_cast<ObjectArray**>(&m_constantStrings)));
        for (const Block& entry : m_blocks) {
            auto* base = static_cast<std::byte*>(entry.block.load(std::memory_order_acquire));
            if (!base)
                continue;
            for (std::uint32_t i = 0; i < entry.type.references.count; ++i)
                visit(reinterpret_cast<Object**>(base + entry.type.references.offsets[i]));
        }
    }

    // Calls `visit(const std::byte* block, std::size_t size, std::span<const
    // std::uint32_t> referenceOffsets, const char* typeName)` for every block
    // (the collector's check for unlisted references).
    template <class Visit>
    void forEachBlock(Visit&& visit) const {
        for (const Block& entry : m_blocks) {
            if (auto* base = static_cast<const std::byte*>(entry.block.load(std::memory_order_acquire)))
                visit(base, entry.type.size,
                      std::span<const std::uint32_t>(entry.type.references.offsets,
                                                     entry.type.references.count),
                      entry.type.name);
        }
    }

    // Destroys every statics block (application close, before the final collection).
    void clearStatics();

private:
    // What the runtime knows of a statics type.
    struct BlockType {
        void* (*make)() = nullptr;
        void (*destroy)(void*) = nullptr;
        ReferenceFieldTable references;
        std::size_t size = 0;
        const char* name = ""; // the type's mangled name, for reports
    };
    struct Block {
        std::atomic<void*> block{nullptr};
        BlockType type;
    };

    // A block starts from zeroed memory, padding included: the race-state
    // hash reads a block's plain bytes, and a padding byte left as the
    // allocator found it would differ from one run to the next.
    template <class T>
    static void* makeBlock() {
        void* memory = ::operator new (sizeof(T), std::align_val_t{alignof(T)});
        std::memset(memory, 0, sizeof(T));
        return ::new (memory) T();
    }
    template <class T>
    static void destroyBlock(void* block) {
        static_cast<T*>(block)->~T();
        ::operator delete (block, std::align_val_t{alignof(T)});
    }
    template <class T>
    static std::size_t slotOf() {
        static const std::size_t s_slot = nextSlot();
        return s_slot;
    }
    static std::size_t nextSlot();

    void* createBlock(std::size_t slot, const BlockType& type);

    std::mutex m_createLock;
    std::array<Block, kMaxStaticsBlocks> m_blocks;
    ObjectArray* m_constantStrings = nullptr;
};

// The running runtime's statics.
StaticClass& getStaticClass();

} // namespace rt
