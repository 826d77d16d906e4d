#pragma once
// What the race data harnesses share: a runtime with the platform, made once
// for the process (LLVMFuzzerInitialize) and lent to each input, the game's
// configuration, and the input as an entry reader. Each harness then runs one
// reader over the entry and checks what it promises: it never stands past the
// entry, and what it stored agrees with its counts.

#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/race/EntryReader.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"

#include <cstdint>
#include <vector>

namespace fuzzing {

// Entries larger than this say nothing new.
inline constexpr std::size_t kMaxRaceEntry = 1 << 18;

inline KeptRuntime& raceRuntime() {
    static KeptRuntime s_kept{rt::RuntimeOptions{1 << 23, 1 << 25}, &platform::installPlatform};
    return s_kept;
}

template <class Read>
int runRaceReader(const std::uint8_t* data, std::size_t size, Read read) {
    if (size > kMaxRaceEntry)
        return 0;
    QuietLog quiet;
    KeptRuntimeInput input(raceRuntime());
    game::OrvelLibConfig::staticInit();
    game::startupStatics().s_objectFlags = rt::newObjectArray(92);
    game::EntryReader reader(std::vector<std::uint8_t>(data, data + size), "pack");
    read(reader);
    check(reader.position() <= reader.size());
    return 0;
}

} // namespace fuzzing

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)fuzzing::raceRuntime();
    return 0;
}
