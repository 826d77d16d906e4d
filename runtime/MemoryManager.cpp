#include "runtime/MemoryManager.h"

#include "host/Arena.h"
#include "host/Log.h"
#include "runtime/Verify.h"

#include <algorithm>
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
    m_arena = static_cast<std::byte*>(host::allocateArena(m_heapSize));
    if (!m_arena)
        throw std::bad_alloc();
    Block* whole = blockAt(m_arena);
    whole->size = static_cast<std::int64_t>(m_heapSize);
    m_blockCount = m_freeBlockCount = 1;
    const std::size_t words = (m_heapSize / kAlignment + 63) / 64;
    m_starts = Bitmap(words);
    m_startSummary = Bitmap((words + 63) / 64);
    m_dying = Bitmap(words);
    m_freeStarts = Bitmap(words);
    markStart(whole);
    indexInsert(whole);
    poisonFreeInterior(whole);
}

MemoryManager::~MemoryManager() {
    host::freeArena(m_arena);
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

// Best fit: the smallest free block of at least `need` bytes, the first by
// address of equal sizes (an exact fit is the smallest there is). The
// excluded blocks leave the index for the question.
MemoryManager::Block* MemoryManager::findBestFit(std::size_t need, Block* excludeA, Block* excludeB) {
    if (!excludeA && !excludeB)
        return smallestFit(need);
    for (Block* excluded : {excludeA, excludeB}) {
        if (excluded)
            indexRemove(excluded);
    }
    Block* found = smallestFit(need);
    for (Block* excluded : {excludeA, excludeB}) {
        if (excluded)
            indexInsert(excluded);
    }
    return found;
}

MemoryManager::Block* MemoryManager::smallestFit(std::size_t need) const {
    if (need < kSmallLimit) {
        std::size_t bin = need / kAlignment;
        std::size_t word = bin / 64;
        std::uint64_t bits = m_binsInUse[word] & (~std::uint64_t{0} << (bin % 64));
        while (bits == 0 && ++word < m_binsInUse.size())
            bits = m_binsInUse[word];
        if (bits != 0)
            return m_bins[word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits))].front();
    }
    auto found = m_large.lower_bound({need, nullptr});
    return found == m_large.end() ? nullptr : found->second;
}

const void* MemoryManager::bestFitFor(std::size_t blockSize) const {
    std::lock_guard guard(m_lock);
    Block* found = smallestFit(blockSize);
    return found ? userOf(found) : nullptr;
}

// Takes `need` bytes of free block `block`: the whole block when the rest
// would be too small to be worth a block of its own, else the front of it.
void* MemoryManager::take(Block* block, std::size_t need) {
    std::size_t size = sizeOf(block);
    RT_VERIFY(block->size > 0 && size >= need);
    indexRemove(block);
    std::size_t taken;
    if (size - need <= kSplitSlack) {
        --m_freeBlockCount;
        taken = size;
    } else {
        Block* rest = blockAt(bytesOf(block) + need);
        RT_UNPOISON(rest, kFreeHeaderBytes);
        rest->size = static_cast<std::int64_t>(size - need);
        indexInsert(rest);
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

// ---- The free index ------------------------------------------------------------

void MemoryManager::indexInsert(Block* block) {
    std::size_t unit = unitOf(block);
    m_freeStarts[unit / 64] |= std::uint64_t{1} << (unit % 64);
    std::size_t size = sizeOf(block);
    if (size >= kSmallLimit) {
        m_large.emplace(size, block);
        return;
    }
    std::size_t index = size / kAlignment;
    std::vector<Block*>& bin = m_bins[index];
    if (bin.empty())
        m_binsInUse[index / 64] |= std::uint64_t{1} << (index % 64);
    bin.push_back(block);
    siftUp(bin, bin.size() - 1);
}

void MemoryManager::indexRemove(Block* block) {
    std::size_t unit = unitOf(block);
    m_freeStarts[unit / 64] &= ~(std::uint64_t{1} << (unit % 64));
    std::size_t size = sizeOf(block);
    if (size >= kSmallLimit) {
        m_large.erase({size, block});
        return;
    }
    std::size_t index = size / kAlignment;
    std::vector<Block*>& bin = m_bins[index];
    std::size_t slot = block->binSlot;
    Block* last = bin.back();
    bin.pop_back();
    if (last != block) {
        bin[slot] = last;
        last->binSlot = slot;
        if (slot > 0 && last < bin[(slot - 1) / 2])
            siftUp(bin, slot);
        else
            siftDown(bin, slot);
    }
    if (bin.empty())
        m_binsInUse[index / 64] &= ~(std::uint64_t{1} << (index % 64));
}

// A bin is a binary heap by address: its first entry is its lowest block.
void MemoryManager::siftUp(std::vector<Block*>& bin, std::size_t slot) {
    Block* block = bin[slot];
    while (slot > 0) {
        std::size_t parent = (slot - 1) / 2;
        if (bin[parent] < block)
            break;
        bin[slot] = bin[parent];
        bin[slot]->binSlot = slot;
        slot = parent;
    }
    bin[slot] = block;
    block->binSlot = slot;
}

void MemoryManager::siftDown(std::vector<Block*>& bin, std::size_t slot) {
    Block* block = bin[slot];
    std::size_t count = bin.size();
    for (;;) {
        std::size_t child = 2 * slot + 1;
        if (child >= count)
            break;
        if (child + 1 < count && bin[child + 1] < bin[child])
            ++child;
        if (block < bin[child])
            break;
        bin[slot] = bin[child];
        bin[slot]->binSlot = slot;
        slot = child;
    }
    bin[slot] = block;
    block->binSlot = slot;
}

// ---- Freeing -------------------------------------------------------------------

// Returns a used block to the free blocks, merged with free neighbours.
void MemoryManager::freeBlock(Block* block) {
    std::size_t size = sizeOf(block);
    poisonFreeInterior(block);
    block->size = static_cast<std::int64_t>(size);
    ++m_freeBlockCount;
    m_heapUsed -= size;
    mergeFreed(block);
}

// `block` has just become free and is not indexed yet: it absorbs the free
// block before it, and then every following block that is free or dying, and
// the whole run enters the index as one block. The bitmaps tell free and
// dying neighbours, so a used neighbour's header is not read.
void MemoryManager::mergeFreed(Block* block) {
    Block* run = block;
    if (bytesOf(block) != m_arena) {
        Block* previous = blockStartAtOrBefore(bytesOf(block) - 1);
        if (isFreeStart(previous)) {
            indexRemove(previous);
            previous->size += block->size;
            clearStart(block);
            --m_blockCount;
            --m_freeBlockCount;
            run = previous;
        }
    }
    for (std::byte* at = bytesOf(run) + sizeOf(run); at < arenaEnd();) {
        Block* next = blockAt(at);
        std::size_t unit = unitOf(next);
        std::uint64_t dyingBit = std::uint64_t{1} << (unit % 64);
        if (isFreeStart(next)) {
            indexRemove(next);
            --m_freeBlockCount;
        } else if (m_dying[unit / 64] & dyingBit) {
            m_dying[unit / 64] &= ~dyingBit;
            takeDying(next);
        } else {
            break;
        }
        run->size += next->size;
        clearStart(next);
        --m_blockCount;
        at = bytesOf(run) + sizeOf(run);
    }
    indexInsert(run);
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

// First every block is marked dying, told a used block's start by the
// bitmaps alone; then the dying bitmap is read once in address order. A dying
// block met there starts a run (or joins the free block before it) and
// `mergeFreed` takes in the free and dying blocks that follow, clearing their
// bits, so each run is indexed once, whatever the number of its blocks. Each
// dying block's header is read once, in that walk (`takeDying`): the blocks
// lie about the heap in no order, and a first pass that read them would miss
// the cache on each.
void MemoryManager::freeAll(std::span<void* const> blocks) {
    std::lock_guard guard(m_lock);
    // The walk covers only the bitmap words between the first and the last dying block.
    std::size_t firstWord = m_dying.size();
    std::size_t lastWord = 0;
    for (void* ptr : blocks) {
        RT_VERIFY(contains(ptr));
        auto* at = static_cast<std::byte*>(ptr) - kHeaderSize;
        RT_VERIFY_MSG(at >= m_arena && (static_cast<std::size_t>(at - m_arena) % kAlignment) == 0,
                      "pointer is not the start of a heap block");
        std::size_t unit = unitOf(at);
        std::uint64_t bit = std::uint64_t{1} << (unit % 64);
        RT_VERIFY_MSG((m_starts[unit / 64] & bit) != 0, "pointer is not the start of a heap block");
        RT_VERIFY_MSG((m_freeStarts[unit / 64] & bit) == 0, "block is not in use (freed twice?)");
        RT_VERIFY_MSG((m_dying[unit / 64] & bit) == 0, "block freed twice");
        m_dying[unit / 64] |= bit;
        firstWord = std::min(firstWord, unit / 64);
        lastWord = std::max(lastWord, unit / 64);
    }
    // The headers of dying blocks a few bitmap words on are fetched ahead.
    constexpr std::size_t kWordsAhead = 2;
    std::uint64_t* dying = m_dying.data();
    for (std::size_t word = firstWord; word <= lastWord; ++word) {
        if (word + kWordsAhead <= lastWord) {
            for (std::uint64_t ahead = dying[word + kWordsAhead]; ahead != 0; ahead &= ahead - 1) {
                auto bit = static_cast<std::size_t>(__builtin_ctzll(ahead));
                __builtin_prefetch(m_arena + ((word + kWordsAhead) * 64 + bit) * kAlignment, 1);
            }
        }
        while (dying[word] != 0) {
            auto bit = static_cast<std::size_t>(__builtin_ctzll(dying[word]));
            dying[word] &= dying[word] - 1;
            Block* block = blockAt(m_arena + (word * 64 + bit) * kAlignment);
            takeDying(block);
            ++m_freeBlockCount;
            mergeFreed(block);
        }
    }
}

// Makes dying `block` free, unindexed: its header is checked, its size
// counted out of the used bytes.
void MemoryManager::takeDying(Block* block) {
    RT_VERIFY_MSG(block->size < 0, "block is not in use (freed twice?)");
    std::size_t size = sizeOf(block);
    RT_VERIFY_MSG(size <= static_cast<std::size_t>(arenaEnd() - bytesOf(block)), "block header is corrupt");
    poisonFreeInterior(block);
    m_heapUsed -= size;
    block->size = static_cast<std::int64_t>(size);
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
    std::size_t word = unit / 64;
    m_starts[word] |= std::uint64_t{1} << (unit % 64);
    m_startSummary[word / 64] |= std::uint64_t{1} << (word % 64);
}

void MemoryManager::clearStart(const Block* block) {
    std::size_t unit = unitOf(block);
    std::size_t word = unit / 64;
    m_starts[word] &= ~(std::uint64_t{1} << (unit % 64));
    if (m_starts[word] == 0)
        m_startSummary[word / 64] &= ~(std::uint64_t{1} << (word % 64));
}

// The arena's first unit always starts a block, so the walk back ends. Past
// the first bitmap word it goes by the summary, 4096 units per summary word.
MemoryManager::Block* MemoryManager::blockStartAtOrBefore(const void* at) const {
    std::size_t unit = unitOf(at);
    std::size_t word = unit / 64;
    // Bits 0..(unit % 64) of the first word; the shift wraps to all ones for bit 63.
    std::uint64_t bits = m_starts[word] & ((std::uint64_t{2} << (unit % 64)) - 1);
    if (bits == 0) {
        std::size_t group = word / 64;
        std::uint64_t words = m_startSummary[group] & ((std::uint64_t{1} << (word % 64)) - 1);
        while (words == 0)
            words = m_startSummary[--group];
        word = group * 64 + 63 - static_cast<std::size_t>(__builtin_clzll(words));
        bits = m_starts[word];
    }
    std::size_t start = word * 64 + 63 - static_cast<std::size_t>(__builtin_clzll(bits));
    return reinterpret_cast<Block*>(m_arena + start * kAlignment);
}

MemoryManager::Block* MemoryManager::freeBlockFrom(std::byte* at) const {
    for (; at < arenaEnd(); at += sizeOf(blockAt(at))) {
        if (blockAt(at)->size > 0)
            return blockAt(at);
    }
    return nullptr;
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
        Block* right = nullptr;
        for (Block* left = freeBlockFrom(m_arena); left; left = right) {
            right = freeBlockFrom(bytesOf(endOf(left)));
            if (!right)
                break;
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
        Block* bestRight = freeBlockFrom(bytesOf(run));
        moveRun(run, static_cast<std::size_t>(bytesOf(bestRight) - bytesOf(run)), bestTarget);
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
        for (Block* block = freeBlockFrom(m_arena); block;) {
            if (!grown || sizeOf(block) > sizeOf(grown))
                grown = block;
            Block* next = freeBlockFrom(bytesOf(endOf(block)));
            block = next;
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
    std::size_t blocks = 0, freeBlocks = 0, used = 0, smallFree = 0;
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
            std::size_t size = sizeOf(block);
            if (size >= kSmallLimit) {
                if (!m_large.contains({size, const_cast<Block*>(block)}))
                    return "a free block is missing from the free index";
            } else {
                const std::vector<Block*>& bin = m_bins[size / kAlignment];
                if (block->binSlot >= bin.size() || bin[block->binSlot] != block)
                    return "a free block is missing from the free index";
                ++smallFree;
            }
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
    Bitmap starts(m_starts.size());
    Bitmap summary(m_startSummary.size());
    for (const std::byte* p = m_arena; p < arenaEnd(); p += sizeOf(blockAt(p))) {
        std::size_t unit = unitOf(p);
        starts[unit / 64] |= std::uint64_t{1} << (unit % 64);
        summary[unit / 64 / 64] |= std::uint64_t{1} << (unit / 64 % 64);
    }
    if (starts != m_starts)
        return "block-start bitmap does not match the blocks";
    if (summary != m_startSummary)
        return "block-start summary does not match the bitmap";
    Bitmap freeStarts(m_freeStarts.size());
    for (const std::byte* p = m_arena; p < arenaEnd(); p += sizeOf(blockAt(p))) {
        std::size_t unit = unitOf(p);
        if (blockAt(p)->size > 0)
            freeStarts[unit / 64] |= std::uint64_t{1} << (unit % 64);
    }
    if (freeStarts != m_freeStarts)
        return "free-start bitmap does not match the free blocks";
    std::size_t indexed = m_large.size();
    for (std::size_t index = 0; index < kBinCount; ++index) {
        const std::vector<Block*>& bin = m_bins[index];
        indexed += bin.size();
        if (bin.empty() == ((m_binsInUse[index / 64] >> (index % 64)) & 1))
            return "the bins-in-use bitmap is wrong";
        for (std::size_t slot = 1; slot < bin.size(); ++slot) {
            if (bin[slot] < bin[(slot - 1) / 2])
                return "a bin is out of address order";
        }
    }
    if (indexed != freeBlocks || m_large.size() != freeBlocks - smallFree)
        return "free index holds blocks that are not free";
    if (blocks != m_blockCount)
        return "block count is wrong";
    if (freeBlocks != m_freeBlockCount)
        return "free block count is wrong";
    if (used != m_heapUsed)
        return "used byte count is wrong";
    if (m_peakUsed < m_heapUsed)
        return "peak is below the used bytes";
    if (std::any_of(m_dying.begin(), m_dying.end(), [](std::uint64_t w) { return w != 0; }))
        return "a block is left marked dying";
    return {};
}

} // namespace rt
