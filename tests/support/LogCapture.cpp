#include "tests/support/LogCapture.h"

#include "runtime/checks.h"

namespace testing_support {

LogCapture::LogCapture()
    : m_previous(host::setLogSink(this)) {
    // The runtime logs only the first few reports of a kind; a capture
    // starts a fresh tally, so the reports a test expects are logged.
    rt::resetRuntimeReports();
}

LogCapture::~LogCapture() {
    host::setLogSink(m_previous);
}

void LogCapture::write(host::LogCategory, std::string_view line) {
    std::lock_guard guard(m_lock);
    m_lines.emplace_back(line);
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard guard(m_lock);
    return m_lines;
}

bool LogCapture::contains(std::string_view text) const {
    std::lock_guard guard(m_lock);
    for (const auto& line : m_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

void LogCapture::clear() {
    std::lock_guard guard(m_lock);
    m_lines.clear();
    rt::resetRuntimeReports();
}

} // namespace testing_support
