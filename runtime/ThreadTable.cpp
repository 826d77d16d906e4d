#include "runtime/ThreadTable.h"

#include "host/Log.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"
#include "runtime/Verify.h"

#include <algorithm>

namespace rt {

namespace {

thread_local ThreadRecord* t_record = nullptr;

// How many times the thread that holds the others at close yields to one that
// has not stopped yet before it starts sleeping a millisecond between looks.
constexpr int kYieldsBeforeSleeping = 64;

} // namespace

ThreadTable::ThreadTable(host::Threads& threads, host::Clock& clock)
    : m_threads(threads)
    , m_clock(clock)
    , m_allStopped(threads.createEvent()) {
    attachCurrentThread();
    // The main thread's object lives outside both heaps and is never collected.
    m_mainThread = new java_lang_Thread(java_lang_Thread::MainThread{});
    m_mainThread->m_priority = 9 - std::min(m_threads.currentPriority(), 7);
    m_slots[0].thread = m_mainThread;
    m_slots[0].id = m_threads.currentId();
}

// A thread whose run has returned still detaches itself after its slot is
// free; the table must outlive that. Threads still running guest code when
// the runtime ends are a bug of the program: they are reported and left.
ThreadTable::~ThreadTable() {
    for (int looks = 0; looks < kShutdownLooks && attachedOthers() > 0; ++looks)
        m_clock.sleep(1);
    if (std::size_t running = attachedOthers())
        host::logf(host::LogCategory::Runtime, "ThreadTable: %zu thread(s) still attached at shutdown",
                   running);
    {
        std::lock_guard guard(m_slotsLock);
        m_slots[0] = Slot{};
    }
    delete m_mainThread;
    detachCurrentThread();
}

std::size_t ThreadTable::attachedOthers() {
    std::lock_guard guard(m_recordsLock);
    return m_records.size() - (t_record ? 1 : 0);
}

ThreadRecord* ThreadTable::currentRecord() {
    return t_record;
}

void ThreadTable::attachCurrentThread() {
    RT_VERIFY_MSG(!t_record, "thread attached twice");
    auto record = std::make_unique<ThreadRecord>();
    host::StackBounds bounds = m_threads.currentStackBounds();
    record->id = m_threads.currentId();
    record->stackLow = bounds.low;
    record->stackHigh = bounds.high;
    record->wake = m_threads.createEvent();
    record->monitorWake = m_threads.createEvent();
    // It holds no reference yet: it counts as stopped, with nothing to scan,
    // until it leaves the region, which waits for a collection that started meanwhile.
    record->savedStackPointer = record->stackHigh;
    record->inSafeRegion.store(true);
    t_record = record.get();
    {
        std::lock_guard guard(m_recordsLock);
        m_records.push_back(std::move(record));
    }
    leaveSafeRegion();
}

// A collection may hold the record in its snapshot: the record stays, stopped
// for good with nothing to scan, until a collection ends and frees it.
void ThreadTable::detachCurrentThread() {
    ThreadRecord* record = t_record;
    RT_VERIFY(record);
    record->savedStackPointer = record->stackHigh;
    markStopped(record);
    {
        std::lock_guard guard(m_recordsLock);
        auto found =
            std::find_if(m_records.begin(), m_records.end(), [&](auto& r) { return r.get() == record; });
        RT_VERIFY(found != m_records.end());
        m_retired.push_back(std::move(*found));
        m_records.erase(found);
    }
    t_record = nullptr;
}

std::vector<ThreadRecord*> ThreadTable::snapshotRecords() {
    std::lock_guard guard(m_recordsLock);
    std::vector<ThreadRecord*> records;
    records.reserve(m_records.size());
    for (auto& record : m_records)
        records.push_back(record.get());
    return records;
}

// ---- Safe regions ---------------------------------------------------------------

// Not inlined: the registers it saves must be those of the code that blocks.
[[gnu::noinline]] void ThreadTable::enterSafeRegion() {
    ThreadRecord* record = t_record;
    if (!record)
        return;
    getcontext(&record->registers);
    record->savedStackPointer = static_cast<std::uintptr_t>(record->registers.uc_mcontext.gregs[REG_RSP]);
    markStopped(record);
}

void ThreadTable::leaveSafeRegion() {
    ThreadRecord* record = t_record;
    if (!record)
        return;
    // Paired with `stopTheWorld`: either the collector sees this thread
    // running, or this thread sees the collection and waits it out.
    record->inSafeRegion.store(false, std::memory_order_seq_cst);
    while (mustWait(record)) {
        markStopped(record);
        record->wake->wait(host::Event::kInfinite);
        record->inSafeRegion.store(false, std::memory_order_seq_cst);
    }
}

// Paired with `stopTheWorld`, which sets `awaited` and then reads
// `inSafeRegion`: with both sequentially consistent, at least one side sees
// the other's store, and the exchange lets exactly one of them uncount.
void ThreadTable::markStopped(ThreadRecord* record) {
    record->inSafeRegion.store(true, std::memory_order_seq_cst);
    if (record->awaited.load(std::memory_order_seq_cst) && record->awaited.exchange(false)) {
        if (m_stillRunning.fetch_sub(1, std::memory_order_seq_cst) == 1)
            m_allStopped->set();
    }
}

bool ThreadTable::mustWait(const ThreadRecord* record) const {
    if (m_gcRunning.load(std::memory_order_seq_cst))
        return true;
    return m_held.load(std::memory_order_seq_cst) && m_holder.load(std::memory_order_seq_cst) != record;
}

void ThreadTable::pollSlow() {
    enterSafeRegion();
    leaveSafeRegion();
}

SafeRegion::SafeRegion() {
    Runtime* runtime = Runtime::currentOrNull();
    m_table = runtime ? runtime->threadTable() : nullptr;
    if (m_table)
        m_table->enterSafeRegion();
}

SafeRegion::~SafeRegion() {
    if (m_table)
        m_table->leaveSafeRegion();
}

// ---- Stopping the world -------------------------------------------------------

// Every thread not yet in a safe region is counted as running; each one
// uncounts itself as it stops, and the one that brings the count to zero sets
// `m_allStopped`. The collector's own unit keeps the count above zero while
// it is still counting, so the event is set at most once per stop, and only
// when the collector will wait for it.
void ThreadTable::stopTheWorld() {
    m_gcRunning.store(true, std::memory_order_seq_cst);
    m_stillRunning.store(1, std::memory_order_seq_cst);
    for (ThreadRecord* record : snapshotRecords()) {
        if (record == t_record)
            continue;
        m_stillRunning.fetch_add(1, std::memory_order_seq_cst);
        record->awaited.store(true, std::memory_order_seq_cst);
        if (record->inSafeRegion.load(std::memory_order_seq_cst) && record->awaited.exchange(false))
            m_stillRunning.fetch_sub(1, std::memory_order_seq_cst);
    }
    if (m_stillRunning.fetch_sub(1, std::memory_order_seq_cst) != 1)
        m_allStopped->wait(host::Event::kInfinite);
}

// The holder waits as a stopped thread: a collection that another thread
// has begun meanwhile must be able to stop it, finish, and then find its own
// thread held at its next safepoint.
void ThreadTable::holdOtherThreads() {
    ThreadRecord* self = t_record;
    RT_VERIFY_MSG(self, "only an attached thread can hold the others");
    m_holder.store(self, std::memory_order_seq_cst);
    m_held.store(true, std::memory_order_seq_cst);
    enterSafeRegion();
    for (ThreadRecord* record : snapshotRecords()) {
        if (record == self)
            continue;
        for (int looks = 0; !record->inSafeRegion.load(std::memory_order_seq_cst); ++looks)
            m_clock.sleep(looks < kYieldsBeforeSleeping ? 0 : 1);
    }
    leaveSafeRegion();
}

void ThreadTable::resumeTheWorld() {
    m_gcRunning.store(false, std::memory_order_seq_cst);
    std::vector<std::unique_ptr<ThreadRecord>> retired;
    {
        std::lock_guard guard(m_recordsLock);
        retired.swap(m_retired);
    }
    for (ThreadRecord* record : snapshotRecords()) {
        if (record != t_record)
            record->wake->set();
    }
    // `retired` goes here: this collection was the last that could know its records.
}

// Runs with the world stopped: every other record is in a safe region and its
// saved registers and stack above the saved stack pointer hold still.
[[gnu::noinline]] void ThreadTable::visitRoots(RootVisitor& visitor) {
    {
        std::lock_guard guard(m_slotsLock);
        for (const Slot& slot : m_slots)
            visitor.visitObject(slot.thread, RootKind::ThreadObject);
    }
    // The collecting thread spills its own registers here, on its stack.
    ucontext_t own;
    getcontext(&own);
    for (ThreadRecord* record : snapshotRecords()) {
        if (record == t_record) {
            visitor.visitRange(&own, &own + 1, RootKind::Registers);
            auto here = reinterpret_cast<std::uintptr_t>(&own);
            visitor.visitRange(reinterpret_cast<const void*>(std::min(here, record->stackHigh)),
                               reinterpret_cast<const void*>(record->stackHigh), RootKind::Stack);
        } else {
            visitor.visitRange(&record->registers, &record->registers + 1, RootKind::Registers);
            visitor.visitRange(reinterpret_cast<const void*>(record->savedStackPointer),
                               reinterpret_cast<const void*>(record->stackHigh), RootKind::Stack);
        }
    }
}

// ---- Slots ------------------------------------------------------------------------

ThreadTable::SlotClaim ThreadTable::claimThreadSlot(java_lang_Thread* thread) {
    std::lock_guard guard(m_slotsLock);
    int free = -1;
    for (int i = 0; i < kSlotCount; ++i) {
        if (m_slots[i].thread == thread)
            return {i, false};
        if (!m_slots[i].thread && free < 0)
            free = i;
    }
    if (free >= 0)
        m_slots[free].thread = thread;
    return {free, free >= 0};
}

int ThreadTable::findThreadSlot(const java_lang_Thread* thread) {
    std::lock_guard guard(m_slotsLock);
    for (int i = 0; i < kSlotCount; ++i) {
        if (thread && m_slots[i].thread == thread)
            return i;
    }
    return -1;
}

int ThreadTable::findThreadSlotById(host::ThreadId id) {
    std::lock_guard guard(m_slotsLock);
    for (int i = 0; i < kSlotCount; ++i) {
        if (m_slots[i].thread && m_slots[i].id == id)
            return i;
    }
    return -1;
}

void ThreadTable::setSlotHandle(int slot, std::unique_ptr<host::Thread> handle) {
    std::lock_guard guard(m_slotsLock);
    m_slots[slot].id = handle->id();
    m_slots[slot].handle = std::move(handle);
}

host::Thread* ThreadTable::slotHandle(int slot) {
    std::lock_guard guard(m_slotsLock);
    return m_slots[slot].handle.get();
}

void ThreadTable::releaseThreadSlot(java_lang_Thread* thread) {
    std::unique_ptr<host::Thread> handle;
    {
        std::lock_guard guard(m_slotsLock);
        thread->setCollectable(true);
        for (Slot& slot : m_slots) {
            if (slot.thread == thread) {
                handle = std::move(slot.handle);
                slot = Slot{};
            }
        }
    }
    // Dropping the handle leaves the (ending) host thread to finish by itself.
}

java_lang_Thread* ThreadTable::currentThread() {
    host::ThreadId id = m_threads.currentId();
    std::lock_guard guard(m_slotsLock);
    for (const Slot& slot : m_slots) {
        if (slot.thread && slot.id == id)
            return slot.thread;
    }
    return nullptr;
}

int ThreadTable::activeCount() {
    std::lock_guard guard(m_slotsLock);
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.thread; }));
}

} // namespace rt
