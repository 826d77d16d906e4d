#pragma once

// The device service: what the shell and the class library ask of the device
// itself: its user-interface language, its memory, its display orientation and
// what kind of device it is.

#include <cstdint>

namespace host {

// A language id: the primary language in the low 10 bits, the sub-language
// above. Primary languages the program knows: 5 Czech, 7 German, 9 English,
// 10 Spanish, 12 French, 22 Portuguese.
using LanguageId = std::uint16_t;

inline constexpr LanguageId makeLanguageId(std::uint16_t primary, std::uint16_t sub = 1) {
    return static_cast<LanguageId>(primary | (sub << 10));
}
inline constexpr LanguageId kEnglishUs = makeLanguageId(9);

struct MemoryStatus {
    // Physical memory in bytes, clamped to 32 bits as the device counts it.
    std::uint32_t availablePhysical = 0;
    std::uint32_t totalPhysical = 0;
};

// Display orientations as the device numbers them.
inline constexpr std::int32_t kOrientation0 = 0;
inline constexpr std::int32_t kOrientation90 = 1;
inline constexpr std::int32_t kOrientation180 = 2;
inline constexpr std::int32_t kOrientation270 = 4;

class Device {
public:
    virtual ~Device() = default;

    // Any thread.
    virtual LanguageId uiLanguage() = 0;
    virtual void setUiLanguage(LanguageId language) = 0;

    virtual MemoryStatus memoryStatus() = 0;

    // The orientation the display shows. These devices never turn it by
    // themselves: it is 0, except while a headless script holds it turned.
    virtual std::int32_t displayOrientation() = 0;
    // Asks for `orientation`; true when the display shows it afterwards (only
    // 0, or the orientation a script holds).
    virtual bool setDisplayOrientation(std::int32_t orientation) = 0;

    // False: this is not a Pocket PC, so the collector asks threads to park
    // themselves instead of suspending them from outside.
    virtual bool isPocketPC() = 0;
};

} // namespace host
