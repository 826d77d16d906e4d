#include "runtime/MemoryManager.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <tuple>
#include <vector>

namespace {

using rt::HeapKind;
using rt::MemoryManager;
constexpr std::size_t kHeader = MemoryManager::kHeaderSize;

struct AllowAll final : rt::BlockMovePolicy {
    bool mayMove(const void*, std::size_t) const override { return true; }
};

struct Layout {
    std::size_t blockSize;
    bool owned;
    bool freed;
};

// A heap laid out block by block from `layout` (sizes are whole block sizes);
// the last block takes whatever is left so nothing free trails the layout.
struct LaidOutHeap {
    explicit LaidOutHeap(std::vector<Layout> layout, std::size_t heapSize = 4096)
        : heap(heapSize, HeapKind::Movable)
        , owners(layout.size() + 1, nullptr)
        , blocks(layout.size() + 1) {
        std::size_t used = 0;
        for (std::size_t i = 0; i < layout.size(); ++i) {
            blocks[i] = heap.Alloc(layout[i].blockSize - kHeader, layout[i].owned ? &owners[i] : nullptr);
            EXPECT_NE(blocks[i], nullptr);
            std::memset(blocks[i], static_cast<int>(0x40 + i), layout[i].blockSize - kHeader);
            used += layout[i].blockSize;
        }
        blocks.back() = heap.Alloc(heapSize - used - kHeader);
        for (std::size_t i = 0; i < layout.size(); ++i) {
            if (layout[i].freed) {
                EXPECT_TRUE(heap.Free(blocks[i]));
                owners[i] = nullptr;
            }
        }
        EXPECT_EQ(heap.verify(), "");
    }

    // {offset from arena start, block size, free} for every block.
    std::vector<std::tuple<std::size_t, std::size_t, bool>> shape() const {
        std::vector<std::tuple<std::size_t, std::size_t, bool>> result;
        const auto* start = static_cast<const std::byte*>(blocks.front()) - kHeader;
        heap.forEachBlock([&](const void* user, std::size_t size, bool isFree) {
            result.emplace_back(static_cast<const std::byte*>(user) - kHeader - start, size + kHeader,
                                isFree);
        });
        return result;
    }

    bool holds(std::size_t index, std::size_t bytes) const {
        const auto* p = static_cast<const unsigned char*>(owners[index]);
        for (std::size_t i = 0; i < bytes; ++i) {
            if (p[i] != static_cast<unsigned char>(0x40 + index))
                return false;
        }
        return true;
    }

    MemoryManager heap;
    std::vector<void*> owners;
    std::vector<void*> blocks;
};

TEST(MemoryManager, BlockSizesRoundUpAndHaveAFloor) {
    struct Case {
        std::size_t request, block;
    };
    const Case cases[] = {{0, 32}, {1, 32}, {16, 32}, {17, 48}, {32, 48}, {100, 128}};
    for (const auto& c : cases)
        EXPECT_EQ(MemoryManager::blockSizeFor(c.request), c.block) << c.request;

    MemoryManager heap(1024, HeapKind::Fixed);
    void* p = heap.Alloc(1);
    EXPECT_EQ(heap.stats().heapUsed, 32u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % MemoryManager::kAlignment, 0u);
}

TEST(MemoryManager, SplitOnlyWhenTheRestIsWorthABlock) {
    // A free block of 160 bytes at the front, held apart from the rest by a fence.
    for (std::size_t extra : {std::size_t{0}, std::size_t{16}}) {
        std::size_t need = 160 - MemoryManager::kSplitSlack - extra;
        LaidOutHeap h({{160, false, true}, {32, false, false}});
        auto before = h.heap.stats();
        void* p = h.heap.Alloc(need - kHeader);
        ASSERT_EQ(p, static_cast<std::byte*>(h.blocks[0]));
        auto after = h.heap.stats();
        if (extra == 0) { // the rest would be exactly the slack: the whole block is taken
            EXPECT_EQ(after.blockCount, before.blockCount);
            EXPECT_EQ(after.freeBlockCount, before.freeBlockCount - 1);
            EXPECT_EQ(after.heapUsed, before.heapUsed + 160);
        } else { // one alignment step more: split
            EXPECT_EQ(after.blockCount, before.blockCount + 1);
            EXPECT_EQ(after.freeBlockCount, before.freeBlockCount);
            EXPECT_EQ(after.heapUsed, before.heapUsed + need);
        }
        EXPECT_EQ(h.heap.verify(), "");
    }
}

TEST(MemoryManager, BestFitPrefersExactThenSmallestThenFirst) {
    // Free blocks of 128, 96, 96 and 64 bytes, fenced apart.
    struct Case {
        std::size_t need;
        std::size_t expectedBlock;
    };
    // Each row allocates from a fresh copy of the layout.
    const Case cases[] = {{64, 6}, {96, 2}, {80, 2}, {128, 0}, {112, 0}};
    for (const auto& c : cases) {
        LaidOutHeap fresh({{128, false, true},
                           {32, false, false},
                           {96, false, true},
                           {32, false, false},
                           {96, false, true},
                           {32, false, false},
                           {64, false, true},
                           {32, false, false}});
        EXPECT_EQ(fresh.heap.Alloc(c.need - kHeader), fresh.blocks[c.expectedBlock]) << "need " << c.need;
    }
}

TEST(MemoryManager, FreeingNeighboursInAnyOrderMergesThemAndRestoresCounts) {
    MemoryManager heap(1024, HeapKind::Fixed);
    auto empty = heap.stats();
    void* left = heap.Alloc(40);
    void* middle = heap.Alloc(40);
    void* right = heap.Alloc(40);
    EXPECT_TRUE(heap.Free(middle));
    EXPECT_TRUE(heap.Free(left));
    EXPECT_TRUE(heap.Free(right));
    auto after = heap.stats();
    EXPECT_EQ(after.blockCount, empty.blockCount);
    EXPECT_EQ(after.freeBlockCount, empty.freeBlockCount);
    EXPECT_EQ(after.heapUsed, 0u);
    EXPECT_EQ(after.peakUsed, 3u * 64);
    EXPECT_EQ(heap.verify(), "");
}

TEST(MemoryManager, ForeignPointersAreNotFreed) {
    MemoryManager heap(1024, HeapKind::Movable);
    void* outside = std::malloc(16);
    int local = 0;
    EXPECT_FALSE(heap.Free(outside));
    EXPECT_FALSE(heap.Free(&local));
    EXPECT_FALSE(heap.setOwner(outside, nullptr));
    EXPECT_EQ(heap.verify(), "");
    std::free(outside);
}

TEST(MemoryManager, ExhaustionLogsAndAnswersNull) {
    testing_support::LogCapture log;
    MemoryManager heap(1024, HeapKind::Fixed);
    EXPECT_EQ(heap.Alloc(2000), nullptr);
    EXPECT_NE(heap.Alloc(900), nullptr);
    EXPECT_EQ(heap.Alloc(200), nullptr);
    EXPECT_TRUE(log.contains("totalFragmentSizeNeeded=224 m_heapUsed=928 m_heapSize=1024"));
}

TEST(MemoryManager, OwnerIsSetAndFilledInTheAllocatingCall) {
    MemoryManager heap(1024, HeapKind::Movable);
    void* field = nullptr;
    void* p = heap.Alloc(24, &field);
    EXPECT_EQ(field, p);
}

TEST(MemoryManager, BlockContainingMapsInteriorPointersToTheirBlock) {
    // a(48 bytes)  free(64)  b(32 bytes)  rest
    LaidOutHeap h({{64, false, false}, {64, false, true}, {48, false, false}});
    auto* a = static_cast<std::byte*>(h.blocks[0]);
    auto* b = static_cast<std::byte*>(h.blocks[2]);
    int local = 0;
    struct Case {
        const void* pointer;
        const void* expected;
    };
    const Case cases[] = {
        {a, a},
        {a + 1, a},
        {a + 47, a},
        {a - 1, nullptr}, // a's header
        {a - 16, nullptr},
        {a + 48, nullptr},
        {a + 70, nullptr},
        {b, b}, // inside the free block
        {b + 31, b},
        {&local, nullptr},
        {b - 16, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(h.heap.blockContaining(c.pointer), c.expected)
            << static_cast<const std::byte*>(c.pointer) - a;
}

TEST(MemoryManagerCompaction, ClosesTheGapWithTheLargestGain) {
    // T  P(pinned: no owner)  F1  a(96)  F2  b(32)  F3  rest
    LaidOutHeap h({{128, false, true},
                   {32, false, false},
                   {64, false, true},
                   {96, true, false},
                   {64, false, true},
                   {32, true, false},
                   {64, false, true}});
    void* b = h.owners[5];
    ASSERT_TRUE(h.heap.compact(160, AllowAll{}));
    EXPECT_EQ(h.heap.verify(), "");
    EXPECT_EQ(h.heap.stats().movedBlocks, 1u);

    // The pair around b gains most (64 + 64 - 32); b moved into F1, the
    // smallest free block that holds it, and F1's spare went to b.
    auto shape = h.shape();
    using Row = std::tuple<std::size_t, std::size_t, bool>;
    const std::vector<Row> expected = {
        {0, 128, true},   {128, 32, false}, {160, 64, false},
        {224, 96, false}, {320, 160, true}, {480, 4096 - 480, false},
    };
    EXPECT_EQ(shape, expected);
    EXPECT_NE(h.owners[5], b);
    EXPECT_EQ(h.owners[5], static_cast<std::byte*>(h.blocks[2]));
    EXPECT_TRUE(h.holds(5, 16));
    EXPECT_TRUE(h.holds(3, 80));
}

TEST(MemoryManagerCompaction, GrowsTheLargestBlockWhenNoRunFitsWhole) {
    // G(96)  u1 u2 u3 (32 each, owned)  F(48)  X(pinned)  H(48)  Y(pinned)  J(48)  rest
    LaidOutHeap h({{96, false, true},
                   {32, true, false},
                   {32, true, false},
                   {32, true, false},
                   {48, false, true},
                   {32, false, false},
                   {48, false, true},
                   {32, false, false},
                   {48, false, true},
                   {32, false, false}});
    ASSERT_TRUE(h.heap.compact(192, AllowAll{}));
    EXPECT_EQ(h.heap.verify(), "");
    auto shape = h.shape();
    ASSERT_FALSE(shape.empty());
    EXPECT_EQ(shape[0], std::make_tuple(std::size_t{0}, std::size_t{192}, true));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(h.holds(static_cast<std::size_t>(i), 16)) << i;
        EXPECT_GE(static_cast<std::byte*>(h.owners[i]), static_cast<std::byte*>(h.blocks[4])) << i;
    }
}

TEST(MemoryManagerCompaction, NeverMovesPinnedOwnerlessOrDisownedBlocks) {
    struct PinOne final : rt::BlockMovePolicy {
        const void* pinned;
        bool mayMove(const void* user, std::size_t) const override { return user != pinned; }
    };
    // F  a(owned, pinned)  F  b(owned, but its field was overwritten)  F  c(no owner)  F  rest
    LaidOutHeap h({{64, false, true},
                   {32, true, false},
                   {64, false, true},
                   {32, true, false},
                   {64, false, true},
                   {32, false, false},
                   {64, false, true}});
    h.owners[3] = nullptr; // the field no longer holds b
    PinOne policy;
    policy.pinned = h.blocks[1];
    auto before = h.shape();
    EXPECT_FALSE(h.heap.compact(160, policy));
    EXPECT_EQ(h.shape(), before);
    EXPECT_EQ(h.heap.stats().movedBlocks, 0u);
    EXPECT_EQ(h.owners[1], h.blocks[1]);
}

// The reference best fit: a walk over every block in address order that keeps
// the smallest free block of at least `need` bytes, the first of equal sizes.
// Answers the block's user pointer, or null.
const void* linearBestFit(const MemoryManager& heap, std::size_t need) {
    const void* best = nullptr;
    std::size_t bestSize = 0;
    heap.forEachBlock([&](const void* user, std::size_t size, bool isFree) {
        std::size_t blockSize = size + kHeader;
        if (isFree && blockSize >= need && (!best || blockSize < bestSize)) {
            best = user;
            bestSize = blockSize;
        }
    });
    return best;
}

// Random allocate, free, set-owner and compact steps against a model of what
// must hold: the heap's own invariants, every owner field pointing at its
// block's intact bytes, pinned or owner-less blocks staying where they were,
// and every allocation taking the block the linear best fit names.
TEST(MemoryManagerProperty, RandomStepsKeepEveryInvariant) {
    constexpr std::size_t kHeapSize = 16 * 1024;
    constexpr int kSteps = 100000;
    constexpr std::size_t kSlots = 96;

    struct Live {
        void* where = nullptr; // the address while it has no owner
        std::size_t bytes = 0; // requested size
        unsigned char fill = 0;
        bool owned = false;
        bool live = false;
    };
    struct Pins final : rt::BlockMovePolicy {
        std::set<const void*> pinned;
        bool mayMove(const void* user, std::size_t) const override { return !pinned.count(user); }
    };
    struct CompactOnFailure final : rt::AllocationFailureHandler {
        const rt::BlockMovePolicy* policy = nullptr;
        int calls = 0;
        void onAllocationFailure(MemoryManager& heap, std::size_t need) override {
            ++calls;
            (void)heap.compact(need, *policy);
        }
    };

    testing_support::LogCapture quiet; // exhaustion lines are expected here
    MemoryManager heap(kHeapSize, HeapKind::Movable);
    std::vector<void*> fields(kSlots, nullptr);
    std::vector<Live> slots(kSlots);
    Pins pins;
    CompactOnFailure handler;
    handler.policy = &pins;
    heap.setFailureHandler(&handler);
    std::mt19937 random(1234);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto address = [&](std::size_t i) { return slots[i].owned ? fields[i] : slots[i].where; };
    unsigned char nextFill = 1;
    int compactions = 0;
    int reference = 0; // allocations checked against the linear best fit

    auto checkContents = [&] {
        for (std::size_t i = 0; i < kSlots; ++i) {
            if (!slots[i].live)
                continue;
            const auto* p = static_cast<const unsigned char*>(address(i));
            for (std::size_t b = 0; b < slots[i].bytes; ++b)
                ASSERT_EQ(p[b], slots[i].fill) << "slot " << i << " byte " << b;
        }
    };
    auto pinSome = [&] {
        pins.pinned.clear();
        for (std::size_t i = 0; i < kSlots; ++i) {
            if (slots[i].live && pick(5) == 0)
                pins.pinned.insert(address(i));
        }
    };
    int moves = 0;
    auto checkUnmoved = [&](const std::vector<void*>& before) {
        for (std::size_t i = 0; i < kSlots; ++i) {
            if (slots[i].live && before[i] && address(i) != before[i])
                ++moves;
            if (slots[i].live && before[i] && (!slots[i].owned || pins.pinned.count(before[i]))) {
                ASSERT_EQ(address(i), before[i]) << "slot " << i << " moved";
            }
        }
    };
    auto snapshot = [&] {
        std::vector<void*> result(kSlots, nullptr);
        for (std::size_t i = 0; i < kSlots; ++i)
            result[i] = slots[i].live ? address(i) : nullptr;
        return result;
    };

    for (int step = 0; step < kSteps; ++step) {
        std::size_t i = pick(kSlots);
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
        case 3: { // allocate, perhaps compacting through the handler
            if (slots[i].live)
                break;
            std::size_t bytes = pick(4) == 0 ? pick(2000) : pick(200);
            bool owned = pick(4) != 0;
            pinSome();
            auto before = snapshot();
            const void* expected = linearBestFit(heap, MemoryManager::blockSizeFor(bytes));
            int callsBefore = handler.calls;
            void* p = heap.Alloc(bytes, owned ? &fields[i] : nullptr);
            checkUnmoved(before);
            if (handler.calls == callsBefore) {
                ASSERT_EQ(p, expected) << "step " << step;
                ++reference;
            }
            if (!p)
                break;
            slots[i] = Live{owned ? nullptr : p, bytes, nextFill++, owned, true};
            if (nextFill == 0)
                nextFill = 1;
            std::memset(p, slots[i].fill, bytes);
            ASSERT_GE(heap.userSize(p), bytes);
            break;
        }
        case 4:
        case 5:
        case 6: // free
            if (!slots[i].live)
                break;
            ASSERT_TRUE(heap.Free(address(i)));
            slots[i] = Live{};
            fields[i] = nullptr;
            break;
        case 7:
        case 8: { // hand an owned block to another field
            std::size_t j = pick(kSlots);
            if (!slots[i].live || !slots[i].owned || slots[j].live)
                break;
            void* p = fields[i];
            ASSERT_TRUE(heap.setOwner(p, &fields[j]));
            fields[j] = p;
            fields[i] = nullptr;
            slots[j] = slots[i];
            slots[i] = Live{};
            break;
        }
        case 9: { // compact on request
            pinSome();
            auto before = snapshot();
            (void)heap.compact(MemoryManager::blockSizeFor(pick(6000)), pins);
            ++compactions;
            checkUnmoved(before);
            checkContents();
            break;
        }
        }
        ASSERT_EQ(heap.verify(), "") << "step " << step;
        for (std::size_t need :
             {MemoryManager::blockSizeFor(pick(200)), MemoryManager::blockSizeFor(pick(3000)),
              MemoryManager::blockSizeFor(8000 + pick(8000))}) {
            ASSERT_EQ(heap.bestFitFor(need), linearBestFit(heap, need))
                << "step " << step << " need " << need;
        }
        if (slots[i].live && slots[i].bytes > 0) {
            auto* p = static_cast<std::byte*>(address(i));
            ASSERT_EQ(heap.blockContaining(p + pick(slots[i].bytes)), p);
        }
        if (HasFatalFailure())
            return;

        // Counts against the model.
        std::size_t live = 0, used = 0;
        for (std::size_t k = 0; k < kSlots; ++k) {
            if (!slots[k].live)
                continue;
            ++live;
            used += heap.userSize(address(k)) + kHeader;
            if (slots[k].owned) {
                ASSERT_EQ(fields[k], address(k));
            }
        }
        auto stats = heap.stats();
        ASSERT_EQ(stats.blockCount - stats.freeBlockCount, live) << "step " << step;
        ASSERT_EQ(stats.heapUsed, used) << "step " << step;
    }
    checkContents();
    EXPECT_GT(compactions, 1000);
    EXPECT_GT(reference, 10000);
    EXPECT_GT(handler.calls, 100);
    EXPECT_GT(moves, 1000) << "compaction must really move blocks for this test to mean anything";
}

// Freeing a set of blocks at once leaves the heap exactly as freeing them one
// by one does: the same blocks, counts and best-fit answers. Twin heaps take
// the same allocations; one frees a random subset block by block in random
// order, the other in one `freeAll`.
TEST(MemoryManager, FreeAllEndsAsFreeingOneByOne) {
    constexpr std::size_t kHeapSize = 256 * 1024;
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        MemoryManager single(kHeapSize, HeapKind::Fixed);
        MemoryManager batch(kHeapSize, HeapKind::Fixed);
        std::vector<void*> singleBlocks, batchBlocks;
        for (;;) {
            std::size_t bytes = random() % 4 == 0 ? random() % 12000 : random() % 300;
            void* a = single.Alloc(bytes);
            if (!a)
                break;
            singleBlocks.push_back(a);
            batchBlocks.push_back(batch.Alloc(bytes));
        }
        // Some holes first, so that the freed runs meet free neighbours too.
        std::vector<std::size_t> order(singleBlocks.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        std::size_t holes = order.size() / 5, dying = order.size() / 2;
        for (std::size_t k = 0; k < holes; ++k) {
            single.Free(singleBlocks[order[k]]);
            batch.Free(batchBlocks[order[k]]);
        }
        std::vector<void*> doomed;
        for (std::size_t k = holes; k < holes + dying; ++k) {
            single.Free(singleBlocks[order[k]]);
            doomed.push_back(batchBlocks[order[k]]);
        }
        batch.freeAll(doomed);

        ASSERT_EQ(batch.verify(), "") << "seed " << seed;
        auto shape = [](const MemoryManager& heap, const void* base) {
            std::vector<std::tuple<std::ptrdiff_t, std::size_t, bool>> blocks;
            heap.forEachBlock([&](const void* user, std::size_t size, bool isFree) {
                blocks.emplace_back(static_cast<const std::byte*>(user) - static_cast<const std::byte*>(base),
                                    size, isFree);
            });
            return blocks;
        };
        EXPECT_EQ(shape(batch, batchBlocks.front()), shape(single, singleBlocks.front())) << "seed " << seed;
        auto a = single.stats(), b = batch.stats();
        EXPECT_EQ(std::tie(a.heapUsed, a.blockCount, a.freeBlockCount),
                  std::tie(b.heapUsed, b.blockCount, b.freeBlockCount))
            << "seed " << seed;
        for (std::size_t need = 32; need < 40000; need += 16 * (1 + random() % 40)) {
            ASSERT_EQ(batch.bestFitFor(need), linearBestFit(batch, need))
                << "seed " << seed << " need " << need;
        }
    }
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer build sees into our arenas: a stale pointer into a freed or
// moved block is reported where it is used.
TEST(MemoryManagerDeathTest, FreedBytesArePoisonedInSanitizerBuilds) {
    MemoryManager heap(4096, HeapKind::Movable);
    auto* p = static_cast<volatile char*>(heap.Alloc(200));
    p[100] = 1;
    ASSERT_TRUE(heap.Free(const_cast<char*>(p)));
    EXPECT_DEATH(p[100] = 2, "use-after-poison");
}
#endif
