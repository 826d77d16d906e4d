#pragma once

// The demo set as mkdata makes it, for tests and benchmarks. Making it takes
// seconds (minutes under the sanitizers) and most whole-game tests need it,
// each in a process of its own: a test run makes it once, into the file that
// VORLAX_TEST_DEMO_SET names (`write_demo_set`, the tests' shared set-up),
// and every test reads it from there. Without that file, or when it cannot
// be read, the set is made in the process.

#include "tools/mkdata/ProgramFolder.h"

#include <filesystem>

namespace testing_support {

// The demo set, made or read once per process.
const mkdata::ProgramFolder& demoSet();

// Writes `folder` to `file` whole, in the form `demoSet` reads.
bool writeDemoSetFile(const mkdata::ProgramFolder& folder, const std::filesystem::path& file);

} // namespace testing_support
