#include "host/headless/HeadlessScheduler.h"

#include "host/Log.h"
#include "host/Verify.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace host {

struct HeadlessScheduler::Task {
    enum class State : std::uint8_t {
        Suspended, // made, not yet started
        Ready,     // in the ready queue
        Running,   // holds the turn
        Sleeping,  // until `deadline`
        Waiting,   // on `waitingOn`, until `deadline` if it has one
        Ended,
    };

    ThreadId id = 0;
    State state = State::Suspended;
    std::uint64_t deadline = kNoDeadline;
    std::uint64_t waitSequence = 0;
    WaitList* waitingOn = nullptr;
    bool timedOut = false;
    // Whether the thread has had its first turn and entered its body.
    bool begun = false;
    int priority = kNormalThreadPriority;
    WaitList joiners;
    std::condition_variable turn;
};

namespace {

// The task of the calling thread and the scheduler it belongs to. A thread
// belongs to at most one headless host at a time.
thread_local HeadlessScheduler::Task* t_task = nullptr;
thread_local const HeadlessScheduler* t_owner = nullptr;

const char* stateName(HeadlessScheduler::Task& task);

} // namespace

std::shared_ptr<HeadlessScheduler> HeadlessScheduler::create() {
    return std::shared_ptr<HeadlessScheduler>(new HeadlessScheduler());
}

HeadlessScheduler::HeadlessScheduler() {
    HOST_VERIFY_MSG(t_task == nullptr, "a thread can belong to only one headless host at a time");
    m_creator = std::make_shared<Task>();
    m_creator->id = m_nextId++;
    m_creator->state = Task::State::Running;
    m_tasks.push_back(m_creator);
    m_running = m_creator.get();
    t_task = m_creator.get();
    t_owner = this;
}

HeadlessScheduler::~HeadlessScheduler() {
    // Only reached once no thread refers to the scheduler any more.
    if (t_owner == this) {
        t_task = nullptr;
        t_owner = nullptr;
    }
}

void HeadlessScheduler::stop() {
    std::unique_lock guard(m_lock);
    if (m_stopped)
        return;
    HOST_VERIFY_MSG(t_owner == this && t_task == m_creator.get(),
                    "only the thread that made the host stops it");
    m_stopped = true;
    m_running = nullptr;
    m_creator->state = Task::State::Ended;
    std::erase(m_tasks, m_creator);
    t_task = nullptr;
    t_owner = nullptr;
    // A thread that never had its turn ends now without running its body
    // (it holds the scheduler, and would wait for a turn for ever); one
    // parked inside its body stays there.
    std::size_t parked = 0;
    for (const auto& task : m_tasks) {
        if (task->begun)
            ++parked;
        else
            task->turn.notify_one();
    }
    if (parked > 0)
        logf(LogCategory::Host, "host: %zu threads left parked at shutdown", parked);
}

std::uint64_t HeadlessScheduler::now() const {
    std::lock_guard guard(m_lock);
    return m_now;
}

HeadlessScheduler::Task& HeadlessScheduler::current() {
    HOST_VERIFY_MSG(t_owner == this && t_task != nullptr,
                    "a thread that the headless host did not start called a blocking host service");
    return *t_task;
}

void HeadlessScheduler::makeReady(Task& task) {
    task.state = Task::State::Ready;
    m_ready.push_back(&task);
}

bool HeadlessScheduler::advanceTime() {
    std::uint64_t earliest = kNoDeadline;
    for (const auto& task : m_tasks) {
        bool timed = task->state == Task::State::Sleeping || task->state == Task::State::Waiting;
        if (timed && task->deadline < earliest)
            earliest = task->deadline;
    }
    if (earliest == kNoDeadline)
        return false;
    m_now = std::max(m_now, earliest);

    std::vector<Task*> due;
    for (const auto& task : m_tasks) {
        bool timed = task->state == Task::State::Sleeping || task->state == Task::State::Waiting;
        if (timed && task->deadline == earliest)
            due.push_back(task.get());
    }
    std::sort(due.begin(), due.end(), [](Task* a, Task* b) { return a->waitSequence < b->waitSequence; });
    for (Task* task : due) {
        if (task->state == Task::State::Waiting) {
            std::erase(*task->waitingOn, task);
            task->waitingOn = nullptr;
            task->timedOut = true;
        }
        task->deadline = kNoDeadline;
        makeReady(*task);
    }
    return true;
}

void HeadlessScheduler::handOn(std::unique_lock<std::mutex>& guard, Task& me) {
    if (m_ready.empty())
        advanceTime();
    if (m_ready.empty()) {
        m_running = nullptr;
        bool anyWaiting = std::any_of(m_tasks.begin(), m_tasks.end(), [](const auto& task) {
            return task->state == Task::State::Waiting || task->state == Task::State::Sleeping;
        });
        if (anyWaiting) {
            for (const auto& task : m_tasks)
                logf(LogCategory::Host, "host: thread %u is %s", task->id, stateName(*task));
            HOST_VERIFY_MSG(false,
                            "deadlock: every thread of the headless host waits and none has a deadline");
        }
        // Everything that is left was never started: nothing will run again.
        return;
    }
    Task* next = m_ready.front();
    m_ready.pop_front();
    next->state = Task::State::Running;
    m_running = next;
    if (next != &me)
        next->turn.notify_one();
    if (me.state == Task::State::Ended)
        return;
    me.turn.wait(guard, [&] { return m_running == &me; });
}

void HeadlessScheduler::waitOn(std::unique_lock<std::mutex>& guard, Task& me, WaitList& list,
                               std::uint64_t deadline) {
    list.push_back(&me);
    me.state = Task::State::Waiting;
    me.deadline = deadline;
    me.waitingOn = &list;
    me.waitSequence = m_waitSequence++;
    me.timedOut = false;
    handOn(guard, me);
}

void HeadlessScheduler::sleep(std::uint32_t milliseconds) {
    std::unique_lock guard(m_lock);
    Task& me = current();
    if (milliseconds == 0) {
        if (m_ready.empty() && !advanceTime())
            return;
        makeReady(me);
        handOn(guard, me);
        return;
    }
    me.state = Task::State::Sleeping;
    me.deadline = m_now + milliseconds;
    me.waitSequence = m_waitSequence++;
    handOn(guard, me);
}

std::shared_ptr<HeadlessScheduler::Task> HeadlessScheduler::spawn(std::function<void()> body) {
    auto task = std::make_shared<Task>();
    {
        std::lock_guard guard(m_lock);
        current();
        task->id = m_nextId++;
        if (m_nextId == 0)
            m_nextId = 1;
        m_tasks.push_back(task);
    }
    try {
        std::thread([self = shared_from_this(), task, body = std::move(body)] {
            self->threadMain(task, body);
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard guard(m_lock);
        std::erase(m_tasks, task);
        return nullptr;
    }
    return task;
}

void HeadlessScheduler::threadMain(const std::shared_ptr<Task>& task, const std::function<void()>& body) {
    {
        std::unique_lock guard(m_lock);
        task->turn.wait(guard, [&] { return m_running == task.get() || m_stopped; });
        if (m_running != task.get()) {
            // The host stopped before this thread's first turn.
            task->state = Task::State::Ended;
            std::erase(m_ready, task.get());
            std::erase(m_tasks, task);
            return;
        }
        task->begun = true;
        t_task = task.get();
        t_owner = this;
    }
    body();
    std::unique_lock guard(m_lock);
    task->state = Task::State::Ended;
    for (Task* joiner : task->joiners) {
        joiner->waitingOn = nullptr;
        makeReady(*joiner);
    }
    task->joiners.clear();
    auto keep = task;
    std::erase(m_tasks, task);
    handOn(guard, *keep);
    t_task = nullptr;
    t_owner = nullptr;
}

void HeadlessScheduler::start(Task& task) {
    std::lock_guard guard(m_lock);
    current();
    if (task.state == Task::State::Suspended)
        makeReady(task);
}

void HeadlessScheduler::join(Task& task) {
    std::unique_lock guard(m_lock);
    Task& me = current();
    if (task.state == Task::State::Ended)
        return;
    HOST_VERIFY_MSG(&task != &me, "a thread cannot wait for its own end");
    waitOn(guard, me, task.joiners, kNoDeadline);
}

ThreadId HeadlessScheduler::currentId() {
    std::lock_guard guard(m_lock);
    return current().id;
}

int HeadlessScheduler::currentPriority() {
    std::lock_guard guard(m_lock);
    return current().priority;
}

ThreadId HeadlessScheduler::idOf(const Task& task) {
    return task.id;
}

int HeadlessScheduler::priorityOf(const Task& task) {
    return task.priority;
}

bool HeadlessScheduler::setPriority(Task& task, int priority) {
    if (priority < kHighestThreadPriority || priority > kLowestThreadPriority)
        return false;
    std::lock_guard guard(m_lock);
    task.priority = priority;
    return true;
}

void HeadlessScheduler::lock(MutexState& mutex) {
    std::unique_lock guard(m_lock);
    Task& me = current();
    if (!mutex.owner) {
        mutex.owner = &me;
        mutex.count = 1;
        return;
    }
    if (mutex.owner == &me) {
        ++mutex.count;
        return;
    }
    waitOn(guard, me, mutex.waiters, kNoDeadline);
    HOST_VERIFY(mutex.owner == &me);
}

void HeadlessScheduler::unlock(MutexState& mutex) {
    std::lock_guard guard(m_lock);
    Task& me = current();
    HOST_VERIFY_MSG(mutex.owner == &me && mutex.count > 0,
                    "a mutex is unlocked by a thread that does not hold it");
    if (--mutex.count > 0)
        return;
    mutex.owner = nullptr;
    if (mutex.waiters.empty())
        return;
    // The lock goes straight to the first waiter, so that it cannot be taken
    // by whoever happens to run first.
    Task* next = mutex.waiters.front();
    mutex.waiters.pop_front();
    next->waitingOn = nullptr;
    mutex.owner = next;
    mutex.count = 1;
    makeReady(*next);
}

void HeadlessScheduler::set(EventState& event) {
    std::lock_guard guard(m_lock);
    current();
    if (event.waiters.empty()) {
        event.signalled = true;
        return;
    }
    Task* waiter = event.waiters.front();
    event.waiters.pop_front();
    waiter->waitingOn = nullptr;
    waiter->deadline = kNoDeadline;
    waiter->timedOut = false;
    makeReady(*waiter);
}

bool HeadlessScheduler::wait(EventState& event, std::uint32_t timeoutMs) {
    std::unique_lock guard(m_lock);
    Task& me = current();
    if (event.signalled) {
        event.signalled = false;
        return true;
    }
    if (timeoutMs == 0)
        return false;
    waitOn(guard, me, event.waiters, timeoutMs == Event::kInfinite ? kNoDeadline : m_now + timeoutMs);
    return !me.timedOut;
}

namespace {

const char* stateName(HeadlessScheduler::Task& task) {
    using State = HeadlessScheduler::Task::State;
    switch (task.state) {
    case State::Suspended:
        return "not started";
    case State::Ready:
        return "ready";
    case State::Running:
        return "running";
    case State::Sleeping:
        return "sleeping";
    case State::Waiting:
        return "waiting";
    case State::Ended:
        return "ended";
    }
    return "?";
}

} // namespace

} // namespace host
