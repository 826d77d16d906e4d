#pragma once

#include "host/InstanceLock.h"

namespace host {

// A lock file in a folder, held with `flock` for the host's life: the system
// lets go of it when the process ends, however it ends. Without a folder, the
// lock is always ours (a headless run does not meet other instances).
class SystemInstanceLock final : public InstanceLock {
public:
    // Empty `folder`: every acquire answers `Only`.
    explicit SystemInstanceLock(std::string folder);
    ~SystemInstanceLock() override;
    SystemInstanceLock(const SystemInstanceLock&) = delete;
    SystemInstanceLock& operator=(const SystemInstanceLock&) = delete;

    Result<InstanceState> acquire(const std::string& className, const std::string& title) override;

    // Where the desktop keeps such locks: the user's runtime folder, else the
    // temporary folder.
    static std::string defaultFolder();

private:
    std::string m_folder;
    int m_descriptor = -1;
};

} // namespace host
