#include "tests/support/FreeThreads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace testing_support {

namespace {

std::atomic<host::ThreadId> s_nextId{1};
thread_local host::ThreadId t_id = 0;
thread_local int t_priority = host::kNormalThreadPriority;
const auto s_start = std::chrono::steady_clock::now();

host::ThreadId ensureId() {
    if (!t_id)
        t_id = s_nextId++;
    return t_id;
}

// The started thread shares this state, so a dropped handle never pulls it
// out from under the thread.
struct ThreadState {
    host::ThreadId id = s_nextId++;
    std::atomic<int> priority{host::kNormalThreadPriority};
    std::mutex lock;
    std::condition_variable resumed;
    bool running = false;
};

class FreeThread final : public host::Thread {
public:
    explicit FreeThread(std::function<void()> body)
        : m_state(std::make_shared<ThreadState>()) {
        m_thread = std::thread([state = m_state, body = std::move(body)] {
            {
                std::unique_lock lock(state->lock);
                state->resumed.wait(lock, [&] { return state->running; });
            }
            t_id = state->id;
            t_priority = state->priority;
            body();
        });
    }
    ~FreeThread() override {
        resume();
        if (m_thread.joinable())
            m_thread.detach();
    }
    host::ThreadId id() const override { return m_state->id; }
    void resume() override {
        std::lock_guard lock(m_state->lock);
        m_state->running = true;
        m_state->resumed.notify_all();
    }
    void join() override {
        if (m_thread.joinable())
            m_thread.join();
    }
    bool setPriority(int priority) override {
        if (priority < 0 || priority > 7)
            return false;
        m_state->priority = priority;
        return true;
    }
    int priority() const override { return m_state->priority; }

private:
    std::shared_ptr<ThreadState> m_state;
    std::thread m_thread;
};

class FreeMutex final : public host::Mutex {
public:
    void lock() override { m_mutex.lock(); }
    void unlock() override { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

class FreeEvent final : public host::Event {
public:
    void set() override {
        std::lock_guard lock(m_lock);
        m_signalled = true;
        m_changed.notify_one();
    }
    bool wait(std::uint32_t timeoutMs) override {
        std::unique_lock lock(m_lock);
        auto ready = [this] { return m_signalled; };
        bool got = timeoutMs == kInfinite
                       ? (m_changed.wait(lock, ready), true)
                       : m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
        if (got)
            m_signalled = false;
        return got;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_signalled = false;
};

} // namespace

FreeThreads::FreeThreads() {
    ensureId();
}

host::Result<std::unique_ptr<host::Thread>> FreeThreads::create(std::function<void()> body) {
    return std::unique_ptr<host::Thread>(std::make_unique<FreeThread>(std::move(body)));
}

host::ThreadId FreeThreads::currentId() {
    return ensureId();
}

int FreeThreads::currentPriority() {
    return t_priority;
}

host::StackBounds FreeThreads::currentStackBounds() {
    pthread_attr_t attributes;
    pthread_getattr_np(pthread_self(), &attributes);
    void* low = nullptr;
    std::size_t size = 0;
    pthread_attr_getstack(&attributes, &low, &size);
    pthread_attr_destroy(&attributes);
    auto base = reinterpret_cast<std::uintptr_t>(low);
    return {base, base + size};
}

std::unique_ptr<host::Mutex> FreeThreads::createMutex() {
    return std::make_unique<FreeMutex>();
}

std::unique_ptr<host::Event> FreeThreads::createEvent() {
    return std::make_unique<FreeEvent>();
}

std::uint32_t FreeThreads::tickCount() {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - s_start)
            .count());
}

void FreeThreads::sleep(std::uint32_t milliseconds) {
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace testing_support
