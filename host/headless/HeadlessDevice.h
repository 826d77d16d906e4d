#pragma once

#include "host/Clock.h"
#include "host/Device.h"
#include "host/headless/HeadlessScript.h"

#include <atomic>
#include <vector>

namespace host {

// A device whose language and memory are what it was told, so that runs do
// not depend on the machine. Its display shows orientation 0 except while the
// script holds it turned: from each scripted time on it shows the scripted
// orientation, and asking for any other fails.
class HeadlessDevice final : public Device {
public:
    HeadlessDevice(LanguageId language, MemoryStatus memory, Clock* clock = nullptr,
                   std::vector<ScriptedOrientation> orientations = {})
        : m_language(language)
        , m_memory(memory)
        , m_clock(clock)
        , m_orientations(std::move(orientations)) {}

    LanguageId uiLanguage() override { return m_language.load(); }
    void setUiLanguage(LanguageId language) override { m_language = language; }
    MemoryStatus memoryStatus() override { return m_memory; }
    std::int32_t displayOrientation() override {
        std::int32_t shown = kOrientation0;
        std::uint64_t now = m_clock ? m_clock->tickCount() : 0;
        for (const ScriptedOrientation& scripted : m_orientations) {
            if (scripted.time > now)
                break;
            shown = scripted.orientation;
        }
        return shown;
    }
    bool setDisplayOrientation(std::int32_t orientation) override {
        return orientation == displayOrientation();
    }
    bool isPocketPC() override { return false; }

private:
    std::atomic<LanguageId> m_language;
    MemoryStatus m_memory;
    Clock* m_clock;
    std::vector<ScriptedOrientation> m_orientations;
};

} // namespace host
