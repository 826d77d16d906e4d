#pragma once

// `ThreadTable`: the runtime's threads, how the collector stops them, and the
// 8 slots of started `java_lang_Thread`s.
//
// Every host thread that touches guest objects is attached: it has a
// `ThreadRecord` with its stack bounds and the registers it saved last. The
// collector stops the world by raising `gcRunning` and waiting until every
// other attached thread is in a safe region:
//   - a thread is in a safe region for the whole of any blocking call (sleep,
//     monitor waits, a contended monitor, blocking host calls): before it
//     blocks it saves its registers and stack pointer, after it wakes it waits
//     while a collection runs;
//   - allocation is a safepoint: a thread that allocates while a collection
//     is pending steps into a safe region and out again.
// So a collection starts as soon as every running thread reaches its next
// blocking call or allocation, whatever the others are waiting for. The
// collector does not poll: it counts the threads still running, and the last
// of them to step into a safe region wakes it through an event.
//
// At application close the first thread holds every other thread the same
// way, for good (`holdOtherThreads`): each stops at its next safe region or
// allocation and never runs guest code again, while the holder goes on
// alone, collections included.
//
// Nothing here holds a C++ lock across a host call: the headless host runs
// one thread at a time and switches only inside its own calls.

#include "host/Clock.h"
#include "host/Threads.h"
#include "runtime/Forward.h"
#include "runtime/ObjectManager.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ucontext.h>
#include <vector>

namespace rt {

class java_lang_Thread;

// One attached thread, as the collector sees it.
struct ThreadRecord {
    host::ThreadId id = 0;
    std::uintptr_t stackLow = 0;
    std::uintptr_t stackHigh = 0;
    // While `inSafeRegion`: the stack pointer and registers at entry.
    std::uintptr_t savedStackPointer = 0;
    ucontext_t registers{};
    std::atomic<bool> inSafeRegion{false};
    // Set while a collector stopping the world counts this thread as still
    // running; whichever of the two clears it takes the thread off the count.
    std::atomic<bool> awaited{false};
    // Set by the collector when it resumes the world.
    std::unique_ptr<host::Event> wake;
    // Set when a monitor hands this thread its ownership.
    std::unique_ptr<host::Event> monitorWake;
};

class ThreadTable final : public WorldStopper, public RootSource {
public:
    static constexpr int kSlotCount = 8;

    // Attaches the calling thread as the main thread, in slot 0.
    ThreadTable(host::Threads& threads, host::Clock& clock);
    ~ThreadTable() override;
    ThreadTable(const ThreadTable&) = delete;
    ThreadTable& operator=(const ThreadTable&) = delete;

    host::Threads& threads() { return m_threads; }
    host::Clock& clock() { return m_clock; }

    // Attaches or detaches the calling host thread (one record per thread).
    void attachCurrentThread();
    void detachCurrentThread();
    // The calling thread's record, or null when it is not attached.
    static ThreadRecord* currentRecord();

    // Safe regions and the allocation safepoint; see the file comment.
    void enterSafeRegion() override;
    void leaveSafeRegion() override;
    void safepoint() {
        if (m_gcRunning.load(std::memory_order_relaxed) || m_held.load(std::memory_order_relaxed))
            [[unlikely]]
            pollSlow();
    }

    // Stops every other attached thread for good, waiting (as stopped itself)
    // until each is in a safe region; threads that attach later stop at once.
    // Only the calling thread runs guest code from then on. Called once, at
    // application close.
    void holdOtherThreads();
    // Attached threads other than the caller. A thread that has ended its
    // run has left this count once it no longer touches the table.
    std::size_t attachedOthers();

    // WorldStopper and RootSource, for the collector.
    void stopTheWorld() override;
    void resumeTheWorld() override;
    void visitRoots(RootVisitor& visitor) override;

    // The slots.
    struct SlotClaim {
        int slot = -1;      // -1: the table is full
        bool taken = false; // whether this call took the slot (else `thread` had it already)
    };
    // Looks up `thread`'s slot and, when it has none, takes a free one for it,
    // in one step: of two threads starting one thread at once, one takes the
    // slot and the other finds it.
    SlotClaim claimThreadSlot(java_lang_Thread* thread);
    int findThreadSlot(const java_lang_Thread* thread);
    int findThreadSlotById(host::ThreadId id);
    void setSlotHandle(int slot, std::unique_ptr<host::Thread> handle);
    host::Thread* slotHandle(int slot);
    // Ends the slot of a thread whose run has returned; the object becomes collectable.
    void releaseThreadSlot(java_lang_Thread* thread);
    java_lang_Thread* currentThread();
    int activeCount();
    java_lang_Thread* mainThread() { return m_mainThread; }

private:
    struct Slot {
        java_lang_Thread* thread = nullptr;
        host::ThreadId id = 0;
        std::unique_ptr<host::Thread> handle;
    };

    void pollSlow();
    // Puts `record` in its safe region and, when it is the last thread a
    // stopping collector waits for, wakes the collector.
    void markStopped(ThreadRecord* record);
    // Whether `record` must wait in its safe region: a collection runs, or
    // the threads are held and it is not the holder.
    bool mustWait(const ThreadRecord* record) const;
    // How long (in 1 ms sleeps) the end of the runtime waits for ending threads to detach.
    static constexpr int kShutdownLooks = 5000;
    std::vector<ThreadRecord*> snapshotRecords();

    host::Threads& m_threads;
    host::Clock& m_clock;
    std::atomic<bool> m_gcRunning{false};
    std::atomic<bool> m_held{false};
    std::atomic<const ThreadRecord*> m_holder{nullptr};
    // While the world stops: the awaited threads still running, plus one for
    // the collector until it has counted them all. Only one collector stops
    // the world at a time (the collection lock).
    std::atomic<int> m_stillRunning{0};
    std::unique_ptr<host::Event> m_allStopped;

    std::mutex m_recordsLock;
    std::vector<std::unique_ptr<ThreadRecord>> m_records;
    std::vector<std::unique_ptr<ThreadRecord>> m_retired; // detached, freed when a collection ends

    std::mutex m_slotsLock;
    std::array<Slot, kSlotCount> m_slots;
    java_lang_Thread* m_mainThread = nullptr;
};

// Marks the enclosing scope as a blocking call of the current thread (a no-op
// for a thread the runtime does not know).
class SafeRegion {
public:
    SafeRegion();
    ~SafeRegion();
    SafeRegion(const SafeRegion&) = delete;
    SafeRegion& operator=(const SafeRegion&) = delete;

private:
    ThreadTable* m_table;
};

} // namespace rt
