// Reads the input as a program of heap operations (allocate, free, hand over,
// compact) on a small movable heap and checks the heap's invariants and every
// block's bytes after each one.

#include "fuzz/Harness.h"
#include "host/Log.h"
#include "runtime/MemoryManager.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Quiet final : host::LogSink {
    void write(host::LogCategory, std::string_view) override {}
};

struct AllowAll final : rt::BlockMovePolicy {
    bool mayMove(const void*, std::size_t) const override { return true; }
};

using fuzzing::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Quiet quiet;
    host::LogSink* previous = host::setLogSink(&quiet);
    {
        constexpr std::size_t kSlots = 16;
        rt::MemoryManager heap(8192, rt::HeapKind::Movable);
        std::array<void*, kSlots> fields{};
        std::array<std::size_t, kSlots> sizes{};
        AllowAll allowAll;
        for (std::size_t at = 0; at + 2 < size; at += 3) {
            std::size_t slot = data[at + 1] % kSlots;
            std::size_t amount = static_cast<std::size_t>(data[at + 2]) * 8;
            switch (data[at] % 4) {
            case 0:
                if (!fields[slot] && heap.Alloc(amount, &fields[slot])) {
                    sizes[slot] = amount;
                    std::memset(fields[slot], static_cast<int>(slot + 1), amount);
                }
                break;
            case 1:
                if (fields[slot]) {
                    check(heap.Free(fields[slot]));
                    fields[slot] = nullptr;
                }
                break;
            case 2: {
                std::size_t other = (slot + 1 + amount) % kSlots;
                if (fields[slot] && !fields[other]) {
                    check(heap.setOwner(fields[slot], &fields[other]));
                    fields[other] = fields[slot];
                    sizes[other] = sizes[slot];
                    fields[slot] = nullptr;
                    std::memset(fields[other], static_cast<int>(other + 1), sizes[other]);
                }
                break;
            }
            default:
                (void)heap.compact(rt::MemoryManager::blockSizeFor(amount * 4), allowAll);
                break;
            }
            check(heap.verify().empty());
            for (std::size_t i = 0; i < kSlots; ++i) {
                auto* bytes = static_cast<const unsigned char*>(fields[i]);
                for (std::size_t b = 0; bytes && b < sizes[i]; ++b)
                    check(bytes[b] == i + 1);
            }
        }
    }
    host::setLogSink(previous);
    return 0;
}
