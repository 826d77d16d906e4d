#include "host/system/SystemDevice.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/sysinfo.h>

namespace host {

namespace {

std::uint32_t clampTo32(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, 0xFFFFFFFFu));
}

const char* localeFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(name); value && *value)
            return value;
    }
    return "";
}

} // namespace

SystemDevice::SystemDevice(LanguageId language)
    : m_language(language != 0 ? language : languageOfLocale(localeFromEnvironment())) {
}

LanguageId SystemDevice::languageOfLocale(const char* locale) {
    struct Known {
        const char* prefix;
        std::uint16_t primary;
    };
    static constexpr Known kKnown[] = {{"cs", 5}, {"de", 7}, {"es", 10}, {"fr", 12}, {"pt", 22}};
    for (const auto& known : kKnown) {
        std::size_t length = std::strlen(known.prefix);
        bool matches = std::strncmp(locale, known.prefix, length) == 0;
        char after = locale[std::min(std::strlen(locale), length)];
        if (matches && (after == '\0' || after == '_' || after == '.' || after == '@'))
            return makeLanguageId(known.primary);
    }
    return kEnglishUs;
}

MemoryStatus SystemDevice::memoryStatus() {
    // /proc/meminfo counts reclaimable caches as available, as a person would.
    std::ifstream meminfo("/proc/meminfo");
    std::uint64_t totalKb = 0;
    std::uint64_t availableKb = 0;
    std::string key;
    std::uint64_t value = 0;
    std::string unit;
    while (meminfo >> key >> value >> unit) {
        if (key == "MemTotal:")
            totalKb = value;
        else if (key == "MemAvailable:")
            availableKb = value;
    }
    if (totalKb != 0)
        return {clampTo32(availableKb * 1024), clampTo32(totalKb * 1024)};
    struct sysinfo info;
    if (::sysinfo(&info) != 0)
        return {};
    return {clampTo32(std::uint64_t{info.freeram} * info.mem_unit),
            clampTo32(std::uint64_t{info.totalram} * info.mem_unit)};
}

} // namespace host
