#pragma once

// `MemoryManager`: one heap over one arena of our own, best fit with an
// address-ordered free list.
//
// The runtime has two: the object heap, whose blocks never move, and the
// buffer heap, whose blocks (array elements, string characters, pixels) may be
// moved by compaction. A movable block belongs to exactly one field of one
// object, its owner; when the block moves, the owner field is rewritten.
//
// Blocks tile the arena end to end:
//
//   +0   signed size of the whole block, header included: > 0 free, < 0 used
//   +8   free block: previous free block | used block: the owner field (movable heap) or null
//   +16  free block: next free block     | used block: the user's bytes start here
//
// Invariants between calls: blocks tile the arena exactly; the free list holds
// every free block, in address order; no two free blocks touch (freeing
// merges); counts and used bytes match the blocks.
//
// Moving is safe only while nothing else can touch a block: compaction runs
// only with the world stopped, and the caller says which blocks may move. A
// block moves only when it has an owner whose field still holds the block's
// pointer, the owner field lies outside this heap, and the caller's policy lets
// it (no thread's stack or register points into it).
//
// Every public operation takes the heap's lock, except that `Alloc` lets it go
// while it asks its failure handler for a collection.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace rt {

class MemoryManager;

enum class HeapKind : std::uint8_t {
    Fixed,
    Movable,
};

// Says which used blocks may move during one compaction.
class BlockMovePolicy {
public:
    virtual ~BlockMovePolicy() = default;
    virtual bool mayMove(const void* user, std::size_t blockSize) const = 0;
};

// Asked by `Alloc` when no free block fits. Typically runs a collection and,
// for the movable heap and with the world stopped, `heap.compact(need, policy)`.
// Called without the heap's lock held.
class AllocationFailureHandler {
public:
    virtual ~AllocationFailureHandler() = default;
    virtual void onAllocationFailure(MemoryManager& heap, std::size_t need) = 0;
};

struct HeapStats {
    std::size_t heapSize = 0;
    std::size_t heapUsed = 0; // bytes in used blocks, headers included
    std::size_t peakUsed = 0;
    std::size_t blockCount = 0;
    std::size_t freeBlockCount = 0;
    std::size_t movedBlocks = 0; // used blocks moved by compaction since the heap was made
};

class MemoryManager {
public:
    static constexpr std::size_t kAlignment = 16;
    static constexpr std::size_t kHeaderSize = 16;
    // The smallest block: a header and the free list's next link, aligned.
    static constexpr std::size_t kMinBlockSize = 32;
    // A free block is taken whole when no more than this would be left over.
    static constexpr std::size_t kSplitSlack = kHeaderSize + 32;
    static constexpr int kCompactionPasses = 20;

    // Makes a heap of `size` bytes (rounded down to the alignment) in one free block.
    MemoryManager(std::size_t size, HeapKind kind);
    ~MemoryManager();
    MemoryManager(const MemoryManager&) = delete;
    MemoryManager& operator=(const MemoryManager&) = delete;

    // A block of at least `size` bytes, or null when none can be had even after
    // the failure handler ran. In the movable heap, a non-null `owner` becomes
    // the block's owner and receives the pointer, both under the lock.
    void* Alloc(std::size_t size, void** owner = nullptr);
    // Frees the block at `ptr`. Answers false, changing nothing, when `ptr` is
    // not inside this heap.
    bool Free(void* ptr);
    // Makes `ownerField` the owner of the movable block at `ptr` (null: none).
    // Answers false when `ptr` is not a block of this movable heap.
    bool setOwner(void* ptr, void** ownerField);

    // Tries to make a free block of at least `need` bytes (block size) by moving
    // used blocks. The world must be stopped. Answers whether such a block exists now.
    bool compact(std::size_t need, const BlockMovePolicy& policy);

    void setFailureHandler(AllocationFailureHandler* handler) { m_failureHandler = handler; }

    bool contains(const void* ptr) const {
        auto* p = static_cast<const std::byte*>(ptr);
        return p >= m_arena && p < m_arena + m_heapSize;
    }
    bool isMovable() const { return m_kind == HeapKind::Movable; }
    // The block size `Alloc(size)` looks for.
    static std::size_t blockSizeFor(std::size_t size);
    HeapStats stats() const;
    // The size of the used block at `ptr` (its user bytes), or 0 when `ptr` is not one.
    std::size_t userSize(const void* ptr) const;
    // The user pointer of the used block whose user bytes contain `ptr`, or
    // null (a free block, a block header, outside the heap). Found through the
    // block-start bitmap: cost grows with the block's size, not the heap's.
    void* blockContaining(const void* ptr) const;

    // The owner field of the movable used block at `user`, or null.
    void** ownerOf(const void* user) const;

    // Checks every invariant; answers a description of the first broken one, or "".
    std::string verify() const;

    // Calls `visit(user, userSize, isFree)` for every block in address order.
    // No allocation may run meanwhile.
    template <class Visit>
    void forEachBlock(Visit&& visit) const {
        std::lock_guard guard(m_lock);
        for (const std::byte* at = m_arena; at < m_arena + m_heapSize;) {
            auto size = blockAt(at)->size;
            std::size_t bytes = static_cast<std::size_t>(size < 0 ? -size : size);
            visit(static_cast<const void*>(at + kHeaderSize), bytes - kHeaderSize, size > 0);
            at += bytes;
        }
    }

private:
    struct Block {
        std::int64_t size;
        union {
            Block* prevFree;
            void** owner;
        };
        Block* nextFree;
    };
    static_assert(sizeof(Block) <= kMinBlockSize);
    // What stays readable of a free block: its links and a freed object's header.
    static constexpr std::size_t kFreeHeaderBytes = kMinBlockSize;

    static Block* blockAt(std::byte* at) { return reinterpret_cast<Block*>(at); }
    static const Block* blockAt(const std::byte* at) { return reinterpret_cast<const Block*>(at); }
    static std::byte* bytesOf(Block* block) { return reinterpret_cast<std::byte*>(block); }
    static std::size_t sizeOf(const Block* block) {
        return static_cast<std::size_t>(block->size < 0 ? -block->size : block->size);
    }
    static std::byte* userOf(Block* block) { return bytesOf(block) + kHeaderSize; }
    std::byte* arenaEnd() const { return m_arena + m_heapSize; }
    Block* endOf(Block* block) const { return blockAt(bytesOf(block) + sizeOf(block)); }

    Block* findBestFit(std::size_t need, const Block* excludeA = nullptr,
                       const Block* excludeB = nullptr) const;
    void* take(Block* block, std::size_t need);
    void unlinkFree(Block* block);
    void replaceFree(Block* old, Block* replacement);
    void insertFree(Block* block);
    void freeBlock(Block* block);
    void poisonFreeInterior(Block* block);
    Block* usedBlockAt(void* ptr) const;

    // The block-start bitmap: one bit per alignment unit, set where a block starts.
    std::size_t unitOf(const void* at) const {
        return static_cast<std::size_t>(static_cast<const std::byte*>(at) - m_arena) / kAlignment;
    }
    void markStart(const Block* block);
    void clearStart(const Block* block);
    Block* blockStartAtOrBefore(const void* at) const;

    bool mayMove(Block* block, const BlockMovePolicy& policy) const;
    bool runMayMove(Block* from, Block* to, const BlockMovePolicy& policy) const;
    void moveRun(Block* run, std::size_t runSize, Block* target);
    Block* closeCheapestGap(std::size_t need, const BlockMovePolicy& policy);
    Block* growLargestBlock(std::size_t need, const BlockMovePolicy& policy);
    void logExhausted(std::size_t need) const;

    std::byte* m_arena = nullptr;
    std::vector<std::uint64_t> m_starts;
    Block* m_freeHead = nullptr;
    Block* m_freeTail = nullptr;
    std::size_t m_heapSize = 0;
    std::size_t m_blockCount = 0;
    std::size_t m_freeBlockCount = 0;
    std::size_t m_heapUsed = 0;
    std::size_t m_peakUsed = 0;
    std::size_t m_movedBlocks = 0;
    HeapKind m_kind;
    AllocationFailureHandler* m_failureHandler = nullptr;
    mutable std::mutex m_lock;
};

} // namespace rt
