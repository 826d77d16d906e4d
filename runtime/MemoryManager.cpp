#include "runtime/MemoryManager.h"

#include "host/Log.h"
#include "runtime/Verify.h"

#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define RT_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define RT_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define RT_POISON(address, size) ((void)(address), (void)(size))
#define RT_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace rt {

namespace {

constexpr std::size_t alignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) & ~(alignment - 1);
}

} // namespace

MemoryManager::MemoryManager(std::size_t size, HeapKind kind)
    : m_heapSize(size & ~(kAlignment - 1))
    , m_kind(kind) {
    RT_VERIFY(m_heapSize >= kMinBlockSize);
    m_arena = static_cast<std::byte*>(std::aligned_alloc(kAlignment, m_heapSize));
    if (!m_arena)
        throw std::bad_alloc();
    Block* whole = blockAt(m_arena);
    whole->size = static_cast<std::int64_t>(m_heapSize);
    whole->prevFree = nullptr;
    whole->nextFree = nullptr;
    m_freeHead = m_freeTail = whole;
    m_blockCount = m_freeBlockCount = 1;
    m_starts.assign((m_heapSize / kAlignment + 63) / 64, 0);
    markStart(whole);
    poisonFreeInterior(whole);
}

MemoryManager::~MemoryManager() {
    std::free(m_arena);
}

std::size_t MemoryManager::blockSizeFor(std::size_t size) {
    std::size_t need = alignUp(size, kAlignment) + kHeaderSize;
    return need < kMinBlockSize ? kMinBlockSize : need;
}

HeapStats MemoryManager::stats() const {
    std::lock_guard guard(m_lock);
    return HeapStats{m_heapSize, m_heapUsed, m_peakUsed, m_blockCount, m_freeBlockCount, m_movedBlocks};
}

// ---- Allocation ------------------------------------------------------------

void* MemoryManager::Alloc(std::size_t size, void** owner) {
    // Larger than the arena: no collection can help, and the size arithmetic
    // below must not wrap.
    if (size > m_heapSize) {
        logExhausted(size);
        return nullptr;
    }
    std::size_t need = blockSizeFor(size);
    std::unique_lock guard(m_lock);
    Block* found = findBestFit(need);
    if (!found && m_failureHandler) {
        guard.unlock();
        m_failureHandler->onAllocationFailure(*this, need);
        guard.lock();
        found = findBestFit(need);
    }
    if (!found) {
        guard.unlock();
        logExhausted(need);
        return nullptr;
    }
    void* user = take(found, need);
    if (owner) {
        if (isMovable())
            blockAt(static_cast<std::byte*>(user) - kHeaderSize)->owner = owner;
        *owner = user;
    }
    return user;
}

void MemoryManager::logExhausted(std::size_t need) const {
    HeapStats s = stats();
    host::logf(host::LogCategory::Runtime, "totalFragmentSizeNeeded=%d m_heapUsed=%d m_heapSize=%d",
               static_cast<int>(need), static_cast<int>(s.heapUsed), static_cast<int>(s.heapSize));
}

// Best fit: an exact fit at once, else the smallest block that is large
// enough, the first of equal sizes. The excluded blocks are skipped.
MemoryManager::Block* MemoryManager::findBestFit(std::size_t need, const Block* excludeA,
                                                 const Block* excludeB) const {
    Block* best = nullptr;
    for (Block* block = m_freeHead; block && block->size != 0; block = block->nextFree) {
        if (block == excludeA || block == excludeB)
            continue;
        std::size_t size = sizeOf(block);
        if (size < need)
            continue;
        if (size == need)
            return block;
        if (!best || size < sizeOf(best))
            best = block;
    }
    return best;
}

// Takes `need` bytes of free block `block`: the whole block when the rest
// would be too small to be worth a block of its own, else the front of it.
void* MemoryManager::take(Block* block, std::size_t need) {
    std::size_t size = sizeOf(block);
    RT_VERIFY(block->size > 0 && size >= need);
    std::size_t taken;
    if (size - need <= kSplitSlack) {
        unlinkFree(block);
        --m_freeBlockCount;
        taken = size;
    } else {
        Block* rest = blockAt(bytesOf(block) + need);
        RT_UNPOISON(rest, kFreeHeaderBytes);
        rest->size = static_cast<std::int64_t>(size - need);
        replaceFree(block, rest);
        markStart(rest);
        ++m_blockCount;
        taken = need;
    }
    RT_UNPOISON(block, taken);
    block->size = -static_cast<std::int64_t>(taken);
    block->owner = nullptr;
    m_heapUsed += taken;
    if (m_heapUsed > m_peakUsed)
        m_peakUsed = m_heapUsed;
    return userOf(block);
}

// ---- The free list -----------------------------------------------------------

void MemoryManager::unlinkFree(Block* block) {
    (block->prevFree ? block->prevFree->nextFree : m_freeHead) = block->nextFree;
    (block->nextFree ? block->nextFree->prevFree : m_freeTail) = block->prevFree;
}

void MemoryManager::replaceFree(Block* old, Block* replacement) {
    replacement->prevFree = old->prevFree;
    replacement->nextFree = old->nextFree;
    (old->prevFree ? old->prevFree->nextFree : m_freeHead) = replacement;
    (old->nextFree ? old->nextFree->prevFree : m_freeTail) = replacement;
}

void MemoryManager::insertFree(Block* block) {
    Block* before = nullptr; // the last free block below `block`
    if (m_freeTail && m_freeTail < block) {
        before = m_freeTail;
    } else {
        for (Block* at = m_freeHead; at && at < block; at = at->nextFree)
            before = at;
    }
    block->prevFree = before;
    block->nextFree = before ? before->nextFree : m_freeHead;
    (before ? before->nextFree : m_freeHead) = block;
    (block->nextFree ? block->nextFree->prevFree : m_freeTail) = block;
}

// Returns a used block to the free list and merges it with free neighbours.
void MemoryManager::freeBlock(Block* block) {
    std::size_t size = sizeOf(block);
    poisonFreeInterior(block);
    block->size = static_cast<std::int64_t>(size);
    insertFree(block);
    ++m_freeBlockCount;
    m_heapUsed -= size;

    if (Block* next = block->nextFree; next && endOf(block) == next) {
        block->size += next->size;
        unlinkFree(next);
        clearStart(next);
        --m_blockCount;
        --m_freeBlockCount;
    }
    if (Block* prev = block->prevFree; prev && endOf(prev) == block) {
        prev->size += block->size;
        unlinkFree(block);
        clearStart(block);
        --m_blockCount;
        --m_freeBlockCount;
    }
}

// In sanitizer builds the bytes of a freed block past its first words are
// poisoned, so a stale pointer into freed or moved memory of this heap is
// reported where it is used. The first words stay readable, merged or not:
// they hold the free list's links and, in a freed object, the class id that
// says it was freed.
void MemoryManager::poisonFreeInterior(Block* block) {
    RT_POISON(bytesOf(block) + kFreeHeaderBytes, sizeOf(block) - kFreeHeaderBytes);
}

MemoryManager::Block* MemoryManager::usedBlockAt(void* ptr) const {
    if (!contains(ptr))
        return nullptr;
    auto* at = static_cast<std::byte*>(ptr) - kHeaderSize;
    RT_VERIFY_MSG(at >= m_arena && (static_cast<std::size_t>(at - m_arena) % kAlignment) == 0,
                  "pointer is not the start of a heap block");
    Block* block = blockAt(at);
    RT_VERIFY_MSG(block->size < 0, "block is not in use (freed twice?)");
    RT_VERIFY_MSG(sizeOf(block) <= static_cast<std::size_t>(arenaEnd() - at), "block header is corrupt");
    return block;
}

bool MemoryManager::Free(void* ptr) {
    if (!contains(ptr))
        return false;
    std::lock_guard guard(m_lock);
    freeBlock(usedBlockAt(ptr));
    return true;
}

bool MemoryManager::setOwner(void* ptr, void** ownerField) {
    if (!isMovable() || !contains(ptr))
        return false;
    std::lock_guard guard(m_lock);
    usedBlockAt(ptr)->owner = ownerField;
    return true;
}

std::size_t MemoryManager::userSize(const void* ptr) const {
    if (!contains(ptr))
        return 0;
    std::lock_guard guard(m_lock);
    Block* block = usedBlockAt(const_cast<void*>(ptr));
    return sizeOf(block) - kHeaderSize;
}

void* MemoryManager::blockContaining(const void* ptr) const {
    if (!contains(ptr))
        return nullptr;
    std::lock_guard guard(m_lock);
    Block* block = blockStartAtOrBefore(ptr);
    auto* p = static_cast<const std::byte*>(ptr);
    if (block->size >= 0 || p < userOf(block) || p >= bytesOf(block) + sizeOf(block))
        return nullptr;
    return userOf(block);
}

void** MemoryManager::ownerOf(const void* user) const {
    if (!isMovable() || !contains(user))
        return nullptr;
    std::lock_guard guard(m_lock);
    return usedBlockAt(const_cast<void*>(user))->owner;
}

void MemoryManager::markStart(const Block* block) {
    std::size_t unit = unitOf(block);
    m_starts[unit / 64] |= std::uint64_t{1} << (unit % 64);
}

void MemoryManager::clearStart(const Block* block) {
    std::size_t unit = unitOf(block);
    m_starts[unit / 64] &= ~(std::uint64_t{1} << (unit % 64));
}

// The arena's first unit always starts a block, so the walk back ends.
MemoryManager::Block* MemoryManager::blockStartAtOrBefore(const void* at) const {
    std::size_t unit = unitOf(at);
    std::size_t word = unit / 64;
    // Bits 0..(unit % 64) of the first word; the shift wraps to all ones for bit 63.
    std::uint64_t bits = m_starts[word] & ((std::uint64_t{2} << (unit % 64)) - 1);
    while (bits == 0)
        bits = m_starts[--word];
    std::size_t start = word * 64 + 63 - static_cast<std::size_t>(__builtin_clzll(bits));
    return reinterpret_cast<Block*>(m_arena + start * kAlignment);
}

// ---- Compaction ---------------------------------------------------------------

bool MemoryManager::mayMove(Block* block, const BlockMovePolicy& policy) const {
    if (block->size >= 0 || !block->owner)
        return false;
    // An owner that lives in this heap could itself move, and an owner that no
    // longer holds the block's pointer is not its owner: either way, stay put.
    if (contains(block->owner) || *block->owner != userOf(block))
        return false;
    return policy.mayMove(userOf(block), sizeOf(block));
}

bool MemoryManager::runMayMove(Block* from, Block* to, const BlockMovePolicy& policy) const {
    for (Block* block = from; block < to; block = endOf(block)) {
        if (!mayMove(block, policy))
            return false;
    }
    return true;
}

// Moves the used blocks of [run, run + runSize) into free block `target`,
// rewrites their owners, and frees the old place.
void MemoryManager::moveRun(Block* run, std::size_t runSize, Block* target) {
    std::size_t targetSize = sizeOf(target);
    auto* destination = static_cast<std::byte*>(take(target, runSize)) - kHeaderSize;
    std::size_t taken = targetSize - runSize <= kSplitSlack ? targetSize : runSize;
    std::memcpy(destination, bytesOf(run), runSize);

    // The copies keep their sizes and owners; point each owner at its new place.
    Block* last = nullptr;
    for (std::byte* at = destination; at < destination + runSize;) {
        Block* copy = blockAt(at);
        *copy->owner = userOf(copy);
        markStart(copy);
        ++m_movedBlocks;
        last = copy;
        at += sizeOf(copy);
    }
    // `take` counted the target as one used block of `taken` bytes; it now
    // holds the run's blocks, the last one widened over any spare bytes.
    last->size -= static_cast<std::int64_t>(taken - runSize);

    // The old place becomes one used block, then free. (The block count stays:
    // the target gained the run's blocks less one, the old place lost as many.)
    for (std::byte* at = bytesOf(run) + sizeOf(run); at < bytesOf(run) + runSize; at += sizeOf(blockAt(at)))
        clearStart(blockAt(at));
    run->size = -static_cast<std::int64_t>(runSize);
    freeBlock(run);
}

// Strategy A: close the gap between two free neighbours whose used run is
// cheapest to move, judged by the space it would join, until a block of `need`
// bytes appears.
MemoryManager::Block* MemoryManager::closeCheapestGap(std::size_t need, const BlockMovePolicy& policy) {
    for (int pass = 0; pass < kCompactionPasses; ++pass) {
        Block* bestLeft = nullptr;
        Block* bestTarget = nullptr;
        std::int64_t bestGain = 0;
        for (Block* left = m_freeHead; left && left->nextFree; left = left->nextFree) {
            Block* right = left->nextFree;
            Block* run = endOf(left);
            auto runSize = static_cast<std::int64_t>(bytesOf(right) - bytesOf(run));
            std::int64_t gain = left->size + right->size - runSize;
            if (bestLeft && gain <= bestGain)
                continue;
            if (!runMayMove(run, right, policy))
                continue;
            Block* target = findBestFit(static_cast<std::size_t>(runSize), left, right);
            if (!target)
                continue;
            bestLeft = left;
            bestTarget = target;
            bestGain = gain;
        }
        if (!bestLeft)
            return nullptr;
        Block* run = endOf(bestLeft);
        moveRun(run, static_cast<std::size_t>(bytesOf(bestLeft->nextFree) - bytesOf(run)), bestTarget);
        if (sizeOf(bestLeft) >= need)
            return bestLeft;
    }
    return nullptr;
}

// Strategy B: grow the largest free block by moving the used blocks that
// follow it elsewhere, one at a time.
MemoryManager::Block* MemoryManager::growLargestBlock(std::size_t need, const BlockMovePolicy& policy) {
    for (int pass = 0; pass < kCompactionPasses; ++pass) {
        Block* grown = nullptr;
        for (Block* block = m_freeHead; block; block = block->nextFree) {
            if (!grown || sizeOf(block) > sizeOf(grown))
                grown = block;
            Block* next = block->nextFree;
            if (!next || static_cast<std::size_t>(arenaEnd() - bytesOf(next)) <= need)
                break;
        }
        if (!grown)
            return nullptr;
        bool moved = false;
        while (sizeOf(grown) < need) {
            Block* following = endOf(grown);
            if (bytesOf(following) >= arenaEnd() || !mayMove(following, policy))
                break;
            Block* target = findBestFit(sizeOf(following), grown);
            if (!target)
                break;
            moveRun(following, sizeOf(following), target);
            moved = true;
        }
        if (sizeOf(grown) >= need)
            return grown;
        // Nothing moved: every further pass would find the same block and stop at the same place.
        if (!moved)
            return nullptr;
    }
    return nullptr;
}

bool MemoryManager::compact(std::size_t need, const BlockMovePolicy& policy) {
    std::lock_guard guard(m_lock);
    if (!isMovable() || m_heapUsed + need >= m_heapSize)
        return false;
    if (findBestFit(need))
        return true;
    return closeCheapestGap(need, policy) || growLargestBlock(need, policy);
}

// ---- Verification ----------------------------------------------------------

std::string MemoryManager::verify() const {
    std::lock_guard guard(m_lock);
    std::size_t blocks = 0, freeBlocks = 0, used = 0;
    const Block* expectedFree = m_freeHead;
    const Block* previousFree = nullptr;
    bool previousWasFree = false;
    const std::byte* at = m_arena;
    while (at < arenaEnd()) {
        const Block* block = blockAt(at);
        if (block->size == 0 || (sizeOf(block) % kAlignment) != 0 || sizeOf(block) < kMinBlockSize)
            return "block with a bad size";
        if (sizeOf(block) > static_cast<std::size_t>(arenaEnd() - at))
            return "block runs past the arena's end";
        ++blocks;
        if (block->size > 0) {
            if (previousWasFree)
                return "two free blocks touch";
            if (block != expectedFree)
                return "free list is not the free blocks in address order";
            if (block->prevFree != previousFree)
                return "free list back link is wrong";
            previousFree = block;
            expectedFree = block->nextFree;
            ++freeBlocks;
            previousWasFree = true;
        } else {
            used += sizeOf(block);
            previousWasFree = false;
        }
        at += sizeOf(block);
    }
    if (at != arenaEnd())
        return "blocks do not tile the arena";
    std::vector<std::uint64_t> starts(m_starts.size(), 0);
    for (const std::byte* p = m_arena; p < arenaEnd(); p += sizeOf(blockAt(p))) {
        std::size_t unit = unitOf(p);
        starts[unit / 64] |= std::uint64_t{1} << (unit % 64);
    }
    if (starts != m_starts)
        return "block-start bitmap does not match the blocks";
    if (expectedFree != nullptr || m_freeTail != previousFree)
        return "free list holds blocks that are not free";
    if (blocks != m_blockCount)
        return "block count is wrong";
    if (freeBlocks != m_freeBlockCount)
        return "free block count is wrong";
    if (used != m_heapUsed)
        return "used byte count is wrong";
    if (m_peakUsed < m_heapUsed)
        return "peak is below the used bytes";
    return {};
}

} // namespace rt
