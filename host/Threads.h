#pragma once

// The threads service: threads that start suspended and are resumed, recursive
// mutexes, auto-reset events and the calling thread's stack bounds. The sdl
// back-end runs every thread freely on `std::thread`; the headless back-end
// runs one at a time in a fixed order so that a replayed script gives the same
// interleaving.
//
// Every blocking call here (and `Clock::sleep`) is made only by threads the
// host knows: the thread that made the host and the threads it started.

#include "host/Result.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace host {

// Nonzero and unique among the threads of one host while they live.
using ThreadId = std::uint32_t;

// Thread priorities on the device's scale: 0 is the most urgent, 7 the idle
// level, 3 the normal one. The host keeps the value a thread was given and
// answers it back; it does not change how threads are scheduled.
inline constexpr int kHighestThreadPriority = 0;
inline constexpr int kNormalThreadPriority = 3;
inline constexpr int kLowestThreadPriority = 7;

// The calling thread's stack: addresses in [low, high) belong to it; it grows
// down from `high`.
struct StackBounds {
    std::uintptr_t low = 0;
    std::uintptr_t high = 0;
};

// A handle on a started thread. Dropping the handle leaves the thread running.
class Thread {
public:
    virtual ~Thread() = default;

    virtual ThreadId id() const = 0;
    // Lets a thread made suspended run its body; later calls do nothing.
    virtual void resume() = 0;
    // Waits until the body has returned. Never called by the thread itself.
    virtual void join() = 0;
    // False (and nothing kept) for a value outside 0..7.
    virtual bool setPriority(int priority) = 0;
    virtual int priority() const = 0;
};

// A recursive lock: the owner may lock it again and must unlock as often.
class Mutex {
public:
    virtual ~Mutex() = default;
    virtual void lock() = 0;
    // Only by the owner.
    virtual void unlock() = 0;
};

// An auto-reset event, not signalled at first. `set` releases one waiter, or
// when none waits, leaves the event signalled for the next `wait`.
class Event {
public:
    static constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

    virtual ~Event() = default;
    virtual void set() = 0;
    // True when the event was set, false when `timeoutMs` passed first (0 tests
    // without waiting, `kInfinite` never times out).
    virtual bool wait(std::uint32_t timeoutMs) = 0;
};

class Threads {
public:
    virtual ~Threads() = default;

    // A new thread that will run `body` once resumed. Fails when the system
    // has no thread to give.
    virtual Result<std::unique_ptr<Thread>> create(std::function<void()> body) = 0;
    virtual ThreadId currentId() = 0;
    // The priority of the calling thread: what it was given, else normal.
    virtual int currentPriority() = 0;
    virtual StackBounds currentStackBounds() = 0;
    virtual std::unique_ptr<Mutex> createMutex() = 0;
    virtual std::unique_ptr<Event> createEvent() = 0;
};

} // namespace host
