#pragma once

#include "host/Browser.h"

#include <mutex>
#include <string>
#include <vector>

namespace host {

// A browser that only records the addresses it was given.
class HeadlessBrowser final : public Browser {
public:
    Result<void> open(const std::string& address) override {
        std::lock_guard guard(m_lock);
        m_opened.push_back(address);
        return {};
    }

    std::vector<std::string> opened() const {
        std::lock_guard guard(m_lock);
        return m_opened;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_opened;
};

} // namespace host
