#pragma once

// The folders service: the program folder and the device's special folders,
// mapped onto Linux folders. Paths are UTF-8 and end with '/'.
//
// An install is laid out as `<program files>/Brivanta/Vorlax Rally/`, which is
// the program folder; each folder can be given, and the other one follows
// from it when it is not.

#include "host/Result.h"

#include <cstdint>
#include <string>

namespace host {

enum class SpecialFolder : std::int32_t {
    ProgramFiles = 38,
};

class Folders {
public:
    virtual ~Folders() = default;

    // The folder the program runs from. Any thread.
    virtual const std::string& programFolder() const = 0;
    // The Linux folder standing for a special folder of the device; fails for
    // an id the host does not map.
    virtual Result<std::string> specialFolder(std::int32_t id) const = 0;
};

} // namespace host
