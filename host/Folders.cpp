#include "host/Folders.h"

#include <optional>

namespace host {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The device takes both slashes as separators.
bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// What follows `prefix` in `path` when `path` starts with it ignoring ASCII
// case and the match ends at a separator or at the end of `path`.
std::optional<std::string_view> restAfter(std::string_view path, std::string_view prefix) {
    if (path.size() < prefix.size())
        return std::nullopt;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lowerAscii(path[i]) != lowerAscii(prefix[i]))
            return std::nullopt;
    }
    std::string_view rest = path.substr(prefix.size());
    if (!rest.empty() && !isSeparator(rest.front()))
        return std::nullopt;
    return rest;
}

} // namespace

Result<std::string> Folders::deviceFolder(std::int32_t id) const {
    if (id == static_cast<std::int32_t>(SpecialFolder::ProgramFiles))
        return std::string(kDeviceProgramFiles);
    return Error::withMessage("host: no device folder for special folder " + std::to_string(id));
}

Result<std::string> Folders::hostPath(std::string_view devicePath) const {
    std::string folder;
    std::optional<std::string_view> rest;
    if ((rest = restAfter(devicePath, kDeviceProgramFolder))) {
        folder = programFolder();
    } else if ((rest = restAfter(devicePath, kDeviceProgramFiles))) {
        folder = HOST_TRY(specialFolder(static_cast<std::int32_t>(SpecialFolder::ProgramFiles)));
    } else if ((rest = restAfter(devicePath, kDeviceTemp))) {
        folder = tempFolder();
    } else {
        return Error::withMessage("host: no folder stands for the device path " + std::string(devicePath));
    }
    if (devicePath.find('\0') != std::string_view::npos)
        return Error::withMessage("host: a device path holds a NUL byte");
    // `folder` ends with '/'; each component of the rest follows it.
    std::string path = folder;
    std::string_view remaining = *rest;
    bool first = true;
    while (!remaining.empty()) {
        remaining.remove_prefix(1); // the separator
        std::size_t end = 0;
        while (end < remaining.size() && !isSeparator(remaining[end]))
            ++end;
        std::string_view component = remaining.substr(0, end);
        remaining.remove_prefix(end);
        if (component == "." || component == "..")
            return Error::withMessage("host: the device path " + std::string(devicePath) +
                                      " leaves its folder");
        if (!first)
            path += '/';
        path += component;
        first = false;
    }
    return path;
}

} // namespace host
