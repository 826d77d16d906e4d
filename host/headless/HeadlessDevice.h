#pragma once

#include "host/Device.h"

#include <atomic>

namespace host {

// A device whose language and memory are what it was told, so that runs do
// not depend on the machine.
class HeadlessDevice final : public Device {
public:
    HeadlessDevice(LanguageId language, MemoryStatus memory)
        : m_language(language)
        , m_memory(memory) {}

    LanguageId uiLanguage() override { return m_language.load(); }
    void setUiLanguage(LanguageId language) override { m_language = language; }
    MemoryStatus memoryStatus() override { return m_memory; }
    std::int32_t displayOrientation() override { return kOrientation0; }
    bool setDisplayOrientation(std::int32_t orientation) override { return orientation == kOrientation0; }
    bool isPocketPC() override { return false; }

private:
    std::atomic<LanguageId> m_language;
    MemoryStatus m_memory;
};

} // namespace host
