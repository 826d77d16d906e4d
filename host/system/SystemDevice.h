#pragma once

#include "host/Device.h"

#include <atomic>

namespace host {

// The machine as the device: the language of the user's locale unless told
// otherwise, the machine's memory.
class SystemDevice final : public Device {
public:
    // 0: take the language from the environment.
    explicit SystemDevice(LanguageId language = 0);

    LanguageId uiLanguage() override { return m_language.load(); }
    void setUiLanguage(LanguageId language) override { m_language = language; }
    MemoryStatus memoryStatus() override;
    std::int32_t displayOrientation() override { return kOrientation0; }
    bool setDisplayOrientation(std::int32_t orientation) override { return orientation == kOrientation0; }
    bool isPocketPC() override { return false; }

    // The language id of a locale name such as "de_DE.UTF-8"; English for
    // those the program does not know.
    static LanguageId languageOfLocale(const char* locale);

private:
    std::atomic<LanguageId> m_language;
};

} // namespace host
