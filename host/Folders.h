#pragma once

// The folders service: the program folder and the device's special folders,
// mapped onto Linux folders. Paths are UTF-8 and end with '/'.
//
// An install is laid out as `<program files>/Brivanta/Vorlax Rally/`, which is
// the program folder; each folder can be given, and the other one follows
// from it when it is not.
//
// The platform builds device paths the way the phone did: absolute, with
// backslashes, rooted at the name the device gives a special folder
// ("\Program Files") or at "\temp". `hostPath` turns such a path into the
// Linux path of the same file.

#include "host/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

enum class SpecialFolder : std::int32_t {
    ProgramFiles = 38,
};

class Folders {
public:
    // The device's names of the folders it maps.
    static constexpr std::string_view kDeviceProgramFiles = "\\Program Files";
    static constexpr std::string_view kDeviceProgramFolder = "\\Program Files\\Brivanta\\Vorlax Rally";
    static constexpr std::string_view kDeviceTemp = "\\temp";

    virtual ~Folders() = default;

    // The folder the program runs from. Any thread.
    virtual const std::string& programFolder() const = 0;
    // The Linux folder standing for a special folder of the device; fails for
    // an id the host does not map.
    virtual Result<std::string> specialFolder(std::int32_t id) const = 0;
    // The Linux folder standing for the device's "\temp".
    virtual const std::string& tempFolder() const = 0;

    // The device's own name of special folder `id` ("\Program Files" for 38,
    // no trailing backslash); fails for an id the host does not map.
    Result<std::string> deviceFolder(std::int32_t id) const;

    // The Linux path of the device path `devicePath`: its device part (the
    // program folder "\Program Files\Brivanta\Vorlax Rally", else "\Program
    // Files", else "\temp", matched ignoring ASCII case and ending at a
    // separator or at the end) becomes the Linux folder standing for it, and
    // the rest follows with '/' for each separator ('\' and '/', as on the
    // device), unchanged otherwise: only the device part is matched without
    // case. Fails for a path under no mapped folder, for one with a "." or ".."
    // component, which could leave the folder, and for one holding a NUL byte.
    // Any thread.
    Result<std::string> hostPath(std::string_view devicePath) const;
};

} // namespace host
