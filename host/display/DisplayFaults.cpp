#include "host/display/DisplayFaults.h"

namespace host {

namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(DisplayFault::Count)> kNames = {
    "no-window-dc",       "no-dib-section",     "no-memory-dc",      "no-ddraw-library",
    "no-ddraw-create",    "ddraw-create-fails", "cooperation-fails", "no-primary-surface",
    "primary-lock-fails", "no-back-surface",    "back-lock-fails",   "restore-fails",
};

} // namespace

std::string_view displayFaultName(DisplayFault fault) {
    return kNames[static_cast<std::size_t>(fault)];
}

std::optional<DisplayFault> displayFaultByName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name)
            return static_cast<DisplayFault>(i);
    }
    return std::nullopt;
}

} // namespace host
