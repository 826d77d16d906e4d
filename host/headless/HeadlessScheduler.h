#pragma once

// The headless host's virtual time and the order in which its threads run.
//
// Threads are real, but only one of them runs at a time: it holds the turn
// until it sleeps, waits, yields or ends, and then hands the turn on. The
// rule, which makes a replayed script give the same interleaving, the same
// tick readings and so the same frames:
//
//  1. Threads that become ready join the end of one ready queue: a thread
//     resumed, an event's waiter released by `set`, a mutex's next owner, a
//     joiner of a thread that ended, a thread that yielded (`sleep(0)`).
//  2. When the running thread stops, the turn goes to the head of the queue.
//  3. When the queue is empty, virtual time jumps to the earliest deadline of
//     a sleeping thread or a timed wait; every thread whose deadline is that
//     time becomes ready, in the order in which they began to wait, and a
//     timed wait that ends this way reports its timeout.
//  4. A yield with nobody else ready counts as waiting: time moves on as in 3
//     when anyone has a deadline, and the woken threads run before the
//     yielding one. A thread that spins on `sleep(0)` until another thread,
//     asleep, does something, therefore gets there.
//  5. When every thread is waiting without a deadline, nothing can ever run:
//     that is a deadlock of the program, and the host stops it with a
//     message rather than hang.
//
// Virtual time therefore moves only inside host calls: a thread that loops
// without sleeping, waiting or yielding never lets it move.
//
// Threads known to the scheduler are the one that made it and those it
// started. When the scheduler stops (the host goes), threads that have not
// ended stay parked for good and never run again.

#include "host/Threads.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace host {

class HeadlessScheduler : public std::enable_shared_from_this<HeadlessScheduler> {
public:
    static constexpr std::uint64_t kNoDeadline = ~std::uint64_t{0};

    struct Task;
    using WaitList = std::deque<Task*>;

    // Made by the thread that will be the first one known to it, which holds
    // the turn from then on.
    static std::shared_ptr<HeadlessScheduler> create();
    ~HeadlessScheduler();
    HeadlessScheduler(const HeadlessScheduler&) = delete;
    HeadlessScheduler& operator=(const HeadlessScheduler&) = delete;

    // Called by the creator thread when the host goes: it lets go of the turn
    // and every other thread stays where it is. Later calls do nothing.
    void stop();

    std::uint64_t now() const;

    void sleep(std::uint32_t milliseconds);

    // A thread made suspended; `start` lets it join the ready queue.
    std::shared_ptr<Task> spawn(std::function<void()> body);
    void start(Task& task);
    void join(Task& task);
    ThreadId currentId();
    int currentPriority();
    static ThreadId idOf(const Task& task);
    static int priorityOf(const Task& task);
    bool setPriority(Task& task, int priority);

    // Mutex and event state lives with the scheduler so that one lock guards
    // every decision about who runs.
    struct MutexState {
        Task* owner = nullptr;
        std::uint32_t count = 0;
        WaitList waiters;
    };
    struct EventState {
        bool signalled = false;
        WaitList waiters;
    };
    void lock(MutexState& mutex);
    void unlock(MutexState& mutex);
    void set(EventState& event);
    bool wait(EventState& event, std::uint32_t timeoutMs);

private:
    HeadlessScheduler();

    Task& current();
    // The calling task has put itself somewhere (ready queue, sleeping, a wait
    // list, ended); give the turn on and, unless it ended, wait to get it back.
    void handOn(std::unique_lock<std::mutex>& guard, Task& me);
    // Puts the running thread at the end of `list` until it is released or,
    // with a deadline, until then; returns when it runs again.
    void waitOn(std::unique_lock<std::mutex>& guard, Task& me, WaitList& list, std::uint64_t deadline);
    void makeReady(Task& task);
    // Rule 3: moves time to the earliest deadline and readies its threads.
    bool advanceTime();
    void threadMain(const std::shared_ptr<Task>& task, const std::function<void()>& body);

    mutable std::mutex m_lock;
    std::uint64_t m_now = 0;
    std::uint64_t m_waitSequence = 0;
    ThreadId m_nextId = 1;
    Task* m_running = nullptr;
    std::deque<Task*> m_ready;
    std::vector<std::shared_ptr<Task>> m_tasks; // every task that has not ended
    std::shared_ptr<Task> m_creator;
    bool m_stopped = false;
};

} // namespace host
