#pragma once

#include "host/Threads.h"

namespace host {

// Threads that run freely on `std::thread`, with `std` locks and condition
// variables underneath.
class SystemThreads final : public Threads {
public:
    Result<std::unique_ptr<Thread>> create(std::function<void()> body) override;
    ThreadId currentId() override;
    int currentPriority() override;
    StackBounds currentStackBounds() override;
    std::unique_ptr<Mutex> createMutex() override;
    std::unique_ptr<Event> createEvent() override;
};

} // namespace host
