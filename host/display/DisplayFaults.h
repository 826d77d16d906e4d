#pragma once

// Steps of the GDI and DirectDraw stand-ins that can be told to fail, so that
// every failure branch of a display back-end can be reached. Any thread may
// switch a fault on or off; the stand-ins read the switches at each step.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

namespace host {

enum class DisplayFault : std::uint8_t {
    NoWindowDc,            // the window's device context cannot be had
    NoDibSection,          // the drawing section cannot be made
    NoMemoryDc,            // the memory device context cannot be made
    NoDirectDrawLibrary,   // the DirectDraw library is not on the device
    NoDirectDrawCreate,    // the library has no create entry
    DirectDrawCreateFails, // the create entry fails
    CooperationFails,      // cooperation levels are refused
    NoPrimarySurface,      // the primary surface cannot be made
    PrimaryLockFails,      // the primary surface cannot be locked
    NoBackSurface,         // the back surface cannot be made
    BackLockFails,         // the back surface cannot be locked
    RestoreFails,          // a lost surface cannot be restored
    Count,
};

// The fault's script name ("no-ddraw-library" ...), and back.
std::string_view displayFaultName(DisplayFault fault);
std::optional<DisplayFault> displayFaultByName(std::string_view name);

class DisplayFaults {
public:
    void set(DisplayFault fault, bool on = true) { m_on[index(fault)].store(on, std::memory_order_relaxed); }
    bool has(DisplayFault fault) const { return m_on[index(fault)].load(std::memory_order_relaxed); }

    // Every DirectDraw surface that exists now counts as lost until restored,
    // as when another program took the display.
    void loseSurfaces() { m_lossGeneration.fetch_add(1, std::memory_order_relaxed); }
    std::uint32_t lossGeneration() const { return m_lossGeneration.load(std::memory_order_relaxed); }

private:
    static std::size_t index(DisplayFault fault) { return static_cast<std::size_t>(fault); }

    std::array<std::atomic<bool>, static_cast<std::size_t>(DisplayFault::Count)> m_on{};
    std::atomic<std::uint32_t> m_lossGeneration{0};
};

} // namespace host
