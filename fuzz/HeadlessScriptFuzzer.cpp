// Parses the input as a headless host's script, checking what the parser
// promises: a failure names a line; a script's events and orientations come
// in time order; the script has no more entries than the text has lines; and
// a script written out again reads back equal, frame lines and seed included.

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
    check(script.events.size() + script.orientations.size() + script.answers.size() + script.faults.size() +
              script.frames.size() <=
          lines);
    check(std::is_sorted(script.events.begin(), script.events.end(),
                         [](const auto& a, const auto& b) { return a.time < b.time; }));
    check(std::is_sorted(script.orientations.begin(), script.orientations.end(),
                         [](const auto& a, const auto& b) { return a.time < b.time; }));
    host::Result<std::string> written = host::formatScript(script);
    check(written.ok());
    host::Result<host::Script> again = host::parseScript(written.value());
    check(again.ok());
    const host::Script& back = again.value();
    check(back.seed == script.seed && back.frames == script.frames && back.answers == script.answers &&
          back.faults == script.faults && back.orientations == script.orientations &&
          back.hashFrames == script.hashFrames && back.events.size() == script.events.size());
    for (std::size_t i = 0; i < script.events.size(); ++i)
        check(back.events[i].time == script.events[i].time && back.events[i].event == script.events[i].event);
    return 0;
}
