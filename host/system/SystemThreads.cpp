#include "host/system/SystemThreads.h"

#include "host/Verify.h"
#include "host/system/StackBounds.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace host {

namespace {

// What a thread and its handle share; the thread keeps it alive while it runs.
struct ThreadState {
    std::mutex lock;
    std::condition_variable changed;
    bool resumed = false;
    bool ended = false;
    ThreadId id = 0;
    std::atomic<int> priority{kNormalThreadPriority};
};

// The calling thread's id and state, for threads this host started; threads
// it did not start get an id on their first question.
thread_local ThreadId t_id = 0;
thread_local ThreadState* t_state = nullptr;

// Ids name threads of the process, whichever host asks, so they are counted
// process-wide.
std::atomic<ThreadId> s_nextId{1};

ThreadId nextId() {
    ThreadId id = s_nextId.fetch_add(1);
    if (id == 0)
        id = s_nextId.fetch_add(1);
    return id;
}

class SystemThread final : public Thread {
public:
    explicit SystemThread(std::shared_ptr<ThreadState> state)
        : m_state(std::move(state)) {}

    ThreadId id() const override { return m_state->id; }

    void resume() override {
        std::lock_guard guard(m_state->lock);
        m_state->resumed = true;
        m_state->changed.notify_all();
    }

    void join() override {
        HOST_VERIFY_MSG(t_state != m_state.get(), "a thread cannot wait for its own end");
        std::unique_lock guard(m_state->lock);
        m_state->changed.wait(guard, [&] { return m_state->ended; });
    }

    bool setPriority(int priority) override {
        if (priority < kHighestThreadPriority || priority > kLowestThreadPriority)
            return false;
        m_state->priority = priority;
        return true;
    }

    int priority() const override { return m_state->priority.load(); }

private:
    std::shared_ptr<ThreadState> m_state;
};

class SystemMutex final : public Mutex {
public:
    void lock() override { m_mutex.lock(); }
    void unlock() override { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

class SystemEvent final : public Event {
public:
    void set() override {
        std::lock_guard guard(m_lock);
        m_signalled = true;
        m_changed.notify_one();
    }

    bool wait(std::uint32_t timeoutMs) override {
        std::unique_lock guard(m_lock);
        auto signalled = [&] { return m_signalled; };
        if (timeoutMs == kInfinite)
            m_changed.wait(guard, signalled);
        else if (!m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), signalled))
            return false;
        m_signalled = false;
        return true;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_signalled = false;
};

} // namespace

Result<std::unique_ptr<Thread>> SystemThreads::create(std::function<void()> body) {
    auto state = std::make_shared<ThreadState>();
    state->id = nextId();
    try {
        std::thread([state, body = std::move(body)] {
            t_id = state->id;
            t_state = state.get();
            {
                std::unique_lock guard(state->lock);
                state->changed.wait(guard, [&] { return state->resumed; });
            }
            body();
            std::lock_guard guard(state->lock);
            state->ended = true;
            state->changed.notify_all();
        }).detach();
    } catch (const std::system_error& error) {
        return Error::withMessage("host: no thread could be started", error.code().value());
    }
    return std::unique_ptr<Thread>(std::make_unique<SystemThread>(std::move(state)));
}

ThreadId SystemThreads::currentId() {
    if (t_id == 0)
        t_id = nextId();
    return t_id;
}

int SystemThreads::currentPriority() {
    return t_state ? t_state->priority.load() : kNormalThreadPriority;
}

StackBounds SystemThreads::currentStackBounds() {
    return stackBoundsOfCallingThread();
}

std::unique_ptr<Mutex> SystemThreads::createMutex() {
    return std::make_unique<SystemMutex>();
}

std::unique_ptr<Event> SystemThreads::createEvent() {
    return std::make_unique<SystemEvent>();
}

} // namespace host
