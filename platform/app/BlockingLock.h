#pragma once

// Holds a host mutex for a scope. The whole scope is a blocking call of the
// calling runtime thread (a safe region), so a collection never waits for a
// thread that waits for the lock; code inside must not touch guest objects.

#include "host/Threads.h"
#include "runtime/ThreadTable.h"

namespace platform {

class BlockingLock {
public:
    explicit BlockingLock(host::Mutex& lock)
        : m_lock(lock) {
        m_lock.lock();
    }
    ~BlockingLock() { m_lock.unlock(); }
    BlockingLock(const BlockingLock&) = delete;
    BlockingLock& operator=(const BlockingLock&) = delete;

private:
    rt::SafeRegion m_blocking;
    host::Mutex& m_lock;
};

} // namespace platform
