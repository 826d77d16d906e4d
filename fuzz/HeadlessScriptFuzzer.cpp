// Parses the input as a headless host's script, checking what the parser
// promises: a failure names a line; a script's events and orientations come
// in time order; and the script has no more entries than the text has lines.

#include "fuzz/Harness.h"
#include "host/headless/HeadlessScript.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

using fuzzing::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    host::Result<host::Script> parsed = host::parseScript(text);
    if (!parsed.ok()) {
        check(!parsed.error().message.empty());
        return 0;
    }
    const host::Script& script = parsed.value();
    auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') + 1);
    check(script.events.size() + script.orientations.size() + script.answers.size() + script.faults.size() <=
          lines);
    check(std::is_sorted(script.events.begin(), script.events.end(),
                         [](const auto& a, const auto& b) { return a.time < b.time; }));
    check(std::is_sorted(script.orientations.begin(), script.orientations.end(),
                         [](const auto& a, const auto& b) { return a.time < b.time; }));
    return 0;
}
