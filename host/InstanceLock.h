#pragma once

// The single-instance lock: at most one running program per window class and
// title, among all processes of the user. It stands in for looking for the
// window of another instance.

#include "host/Result.h"

#include <string>

namespace host {

enum class InstanceState {
    Only,    // the lock is ours until the host goes
    Another, // another instance holds it
};

class InstanceLock {
public:
    virtual ~InstanceLock() = default;

    // Takes the lock named by `className` and `title`. Fails when the lock
    // file cannot be made at all. Asking again after `Only` answers `Only`.
    virtual Result<InstanceState> acquire(const std::string& className, const std::string& title) = 0;
};

} // namespace host
