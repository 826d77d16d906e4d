#pragma once

// `MemoryManager`: one heap over one arena of our own, best fit.
//
// The runtime has two: the object heap, whose blocks never move, and the
// buffer heap, whose blocks (array elements, string characters, pixels) may be
// moved by compaction. A movable block belongs to exactly one field of one
// object, its owner; when the block moves, the owner field is rewritten.
//
// Blocks tile the arena end to end:
//
//   +0   signed size of the whole block, header included: > 0 free, < 0 used
//   +8   free block: its place in the free index | used block: the owner field (movable heap) or null
//   +16  the user's bytes start here; a free block keeps its first 16 of them
//        (a freed object's header, which says it was freed)
//
// Address order is the blocks themselves, walked by size or, backwards, through
// the block-start bitmap (one bit per alignment unit, with a summary bit per
// bitmap word so that a walk back skips empty stretches at once). The free
// index orders the free blocks by size, then address, which is the order best
// fit asks for: free blocks smaller than `kSmallLimit` sit in one bin per size
// (a bitmap says which bins hold any, and each bin is a heap by address), the
// larger ones in one ordered set. Best fit, taking and freeing a block are
// therefore logarithmic, not walks of the free list.
//
// Invariants between calls: blocks tile the arena exactly; the free index holds
// every free block and nothing else; no two free blocks touch (freeing
// merges); the bitmaps mark exactly the block starts; counts and used bytes
// match the blocks.
//
// Moving is safe only while nothing else can touch a block: compaction runs
// only with the world stopped, and the caller says which blocks may move. A
// block moves only when it has an owner whose field still holds the block's
// pointer, the owner field lies outside this heap, and the caller's policy lets
// it (no thread's stack or register points into it).
//
// Every public operation takes the heap's lock, except that `Alloc` lets it go
// while it asks its failure handler for a collection.

#include "host/Arena.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <utility>
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
    // Frees every block of `blocks` (user pointers of used blocks of this heap,
    // each once) in one pass over the arena in address order, merging each run
    // of neighbours once: the heap ends as after `Free` of each, in any order.
    void freeAll(std::span<void* const> blocks);
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
    // The arena's first byte: offsets from it, over the alignment, number the
    // heap's units (`stats().heapSize / kAlignment` of them).
    const std::byte* arena() const { return m_arena; }
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

    // The user pointer of the free block `Alloc` would take for a block of
    // `blockSize` bytes (see `blockSizeFor`), or null: the smallest that fits,
    // the first by address of equal sizes. Changes nothing; for tests.
    const void* bestFitFor(std::size_t blockSize) const;

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
            std::size_t binSlot; // free, smaller than `kSmallLimit`: its index in its bin
            void** owner;
        };
    };
    static_assert(sizeof(Block) <= kMinBlockSize);
    // What stays readable of a free block: its header and a freed object's header.
    static constexpr std::size_t kFreeHeaderBytes = kMinBlockSize;
    // Free blocks below this size have a bin of their own size.
    static constexpr std::size_t kSmallLimit = 8192;
    static constexpr std::size_t kBinCount = kSmallLimit / kAlignment;

    static Block* blockAt(std::byte* at) { return reinterpret_cast<Block*>(at); }
    static const Block* blockAt(const std::byte* at) { return reinterpret_cast<const Block*>(at); }
    static std::byte* bytesOf(Block* block) { return reinterpret_cast<std::byte*>(block); }
    static std::size_t sizeOf(const Block* block) {
        return static_cast<std::size_t>(block->size < 0 ? -block->size : block->size);
    }
    static std::byte* userOf(Block* block) { return bytesOf(block) + kHeaderSize; }
    std::byte* arenaEnd() const { return m_arena + m_heapSize; }
    Block* endOf(Block* block) const { return blockAt(bytesOf(block) + sizeOf(block)); }
    // The first free block at or after `at` in address order, or null.
    Block* freeBlockFrom(std::byte* at) const;

    Block* findBestFit(std::size_t need, Block* excludeA = nullptr, Block* excludeB = nullptr);
    Block* smallestFit(std::size_t need) const;
    void* take(Block* block, std::size_t need);
    void freeBlock(Block* block);
    void mergeFreed(Block* block);
    void takeDying(Block* block);
    void poisonFreeInterior(Block* block);
    Block* usedBlockAt(void* ptr) const;

    // The free index. A block is indexed under the size it has when inserted
    // and must be removed before its size changes.
    void indexInsert(Block* block);
    void indexRemove(Block* block);
    void siftUp(std::vector<Block*>& bin, std::size_t slot);
    void siftDown(std::vector<Block*>& bin, std::size_t slot);

    // The block-start bitmap: one bit per alignment unit, set where a block
    // starts; its summary has one bit per bitmap word, set where the word is not 0.
    std::size_t unitOf(const void* at) const {
        return static_cast<std::size_t>(static_cast<const std::byte*>(at) - m_arena) / kAlignment;
    }
    void markStart(const Block* block);
    void clearStart(const Block* block);
    Block* blockStartAtOrBefore(const void* at) const;
    // Whether a free block starts at `block`, by the free-start bitmap (one bit
    // per alignment unit, set exactly where an indexed free block starts).
    bool isFreeStart(const Block* block) const {
        std::size_t unit = unitOf(block);
        return (m_freeStarts[unit / 64] >> (unit % 64)) & 1;
    }

    bool mayMove(Block* block, const BlockMovePolicy& policy) const;
    bool runMayMove(Block* from, Block* to, const BlockMovePolicy& policy) const;
    void moveRun(Block* run, std::size_t runSize, Block* target);
    Block* closeCheapestGap(std::size_t need, const BlockMovePolicy& policy);
    Block* growLargestBlock(std::size_t need, const BlockMovePolicy& policy);
    void logExhausted(std::size_t need) const;

    // Bitmaps over the whole arena, made zero without being written: a page
    // of them is committed only once a bit on it is set.
    using Bitmap = std::vector<std::uint64_t, host::ZeroedAllocator<std::uint64_t>>;

    std::byte* m_arena = nullptr;
    Bitmap m_starts;
    Bitmap m_startSummary;
    // Blocks `freeAll` is freeing, one bit per alignment unit; all 0 between calls.
    Bitmap m_dying;
    Bitmap m_freeStarts;
    std::array<std::vector<Block*>, kBinCount> m_bins;
    std::array<std::uint64_t, kBinCount / 64> m_binsInUse{};
    std::pmr::unsynchronized_pool_resource m_largePool;
    std::pmr::set<std::pair<std::size_t, Block*>> m_large{&m_largePool};
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
