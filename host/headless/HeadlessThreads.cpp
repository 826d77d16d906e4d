#include "host/headless/HeadlessThreads.h"

#include "host/Verify.h"
#include "host/system/StackBounds.h"

namespace host {

namespace {

class HeadlessThread final : public Thread {
public:
    HeadlessThread(std::shared_ptr<HeadlessScheduler> scheduler,
                   std::shared_ptr<HeadlessScheduler::Task> task)
        : m_scheduler(std::move(scheduler))
        , m_task(std::move(task)) {}

    ThreadId id() const override { return HeadlessScheduler::idOf(*m_task); }
    void resume() override { m_scheduler->start(*m_task); }
    void join() override { m_scheduler->join(*m_task); }
    bool setPriority(int priority) override { return m_scheduler->setPriority(*m_task, priority); }
    int priority() const override { return HeadlessScheduler::priorityOf(*m_task); }

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
    std::shared_ptr<HeadlessScheduler::Task> m_task;
};

class HeadlessMutex final : public Mutex {
public:
    explicit HeadlessMutex(std::shared_ptr<HeadlessScheduler> scheduler)
        : m_scheduler(std::move(scheduler)) {}
    ~HeadlessMutex() override {
        HOST_VERIFY_MSG(m_state.waiters.empty(), "a mutex is destroyed while waited for");
    }

    void lock() override { m_scheduler->lock(m_state); }
    void unlock() override { m_scheduler->unlock(m_state); }

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
    HeadlessScheduler::MutexState m_state;
};

class HeadlessEvent final : public Event {
public:
    explicit HeadlessEvent(std::shared_ptr<HeadlessScheduler> scheduler)
        : m_scheduler(std::move(scheduler)) {}
    ~HeadlessEvent() override {
        HOST_VERIFY_MSG(m_state.waiters.empty(), "an event is destroyed while waited on");
    }

    void set() override { m_scheduler->set(m_state); }
    bool wait(std::uint32_t timeoutMs) override { return m_scheduler->wait(m_state, timeoutMs); }

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
    HeadlessScheduler::EventState m_state;
};

} // namespace

Result<std::unique_ptr<Thread>> HeadlessThreads::create(std::function<void()> body) {
    auto task = m_scheduler->spawn(std::move(body));
    if (!task)
        return Error::withMessage("host: no thread could be started");
    return std::unique_ptr<Thread>(std::make_unique<HeadlessThread>(m_scheduler, std::move(task)));
}

StackBounds HeadlessThreads::currentStackBounds() {
    return stackBoundsOfCallingThread();
}

std::unique_ptr<Mutex> HeadlessThreads::createMutex() {
    return std::make_unique<HeadlessMutex>(m_scheduler);
}

std::unique_ptr<Event> HeadlessThreads::createEvent() {
    return std::make_unique<HeadlessEvent>(m_scheduler);
}

} // namespace host
