// The whole program against damaged copies of the demo set: a seeded set of
// mutants (bytes flipped in an entry's head or anywhere, an entry cut, a run
// of bytes zeroed, two entries' bytes swapped, an entry removed), each run
// headless through a race. A mutant ends either as the sound set does (exit
// 0, the same frames and state hashes, nothing but progress lines in the
// log) or with the broken-data status and one line on standard error naming
// the archive entry at fault; never with a runtime-check report, an unnamed
// failure or a crash. A mutant that draws other frames with nothing said (a
// changed pixel or tuning value that is as valid as the original) is counted
// apart and printed.
//
// datacheck answers for the same mutants: every mutant the game refuses or
// reports a runtime check on, datacheck refuses too (it may refuse more: a
// check of what no race of this run reaches).
//
// The tables of outcomes are printed; VORLAX_MUTANT_PROGRAM runs another build
// of the program on the same mutants, for comparing builds, and
// VORLAX_MUTANT_COUNT and VORLAX_MUTANT_SEED draw a wider or another set.

#include "tests/support/BuildPaths.h"
#include "tests/support/Command.h"
#include "tests/support/DemoSet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datacheck/DataCheck.h"
#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The race loads behind the loading screen and waits for a tap, given at 2 s;
// 900 frames then run the flyover, the intro, the countdown and the race's
// first seconds.
constexpr const char* kPromptScript =
    "0 activate\n0 focus-gained\n2000 stylus-down 240 320\n+40 stylus-up 240 320\n";
constexpr int kFrames = 900;
constexpr int kRaceRows = 6;
constexpr int kMutants = 120;
constexpr std::uint64_t kSeed = 0x5eed0fda7aULL;
constexpr int kParallelRuns = 4;

// A small generator of our own, so the mutants are the same on every machine.
class Draw {
public:
    explicit Draw(std::uint64_t seed)
        : m_state(seed) {}
    std::uint64_t next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return m_state >> 33;
    }
    // A number in [0, bound), bound above 0.
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

private:
    std::uint64_t m_state;
};

enum class Kind { FlipHead, FlipAnywhere, Cut, Zero, Swap, Remove };
constexpr std::array kKindNames = {"flip head", "flip byte", "cut", "zero run", "swap", "remove"};

struct Mutant {
    int number = 0;
    int row = 0;
    Kind kind = Kind::FlipHead;
    std::string description;
    mkdata::ProgramFolder set;
};

std::string narrow(const std::u16string& name) {
    return {name.begin(), name.end()};
}

Mutant makeMutant(const mkdata::ProgramFolder& demo, int number, Draw& draw) {
    Mutant m;
    m.number = number;
    m.row = number % kRaceRows;
    m.kind = static_cast<Kind>(draw.below(kKindNames.size()));
    m.set = demo;
    std::vector<datakit::ArchiveEntry>& entries = m.set.archive;
    const std::size_t at = draw.below(entries.size());
    datakit::Bytes& bytes = entries[at].bytes;
    const std::string name = narrow(entries[at].name);
    std::ostringstream said;
    said << kKindNames[static_cast<std::size_t>(m.kind)] << " " << name;
    switch (m.kind) {
    case Kind::FlipHead:
    case Kind::FlipAnywhere: {
        if (bytes.empty())
            break;
        const std::size_t span =
            m.kind == Kind::FlipHead ? std::min<std::size_t>(bytes.size(), 16) : bytes.size();
        const int flips = m.kind == Kind::FlipHead ? 4 : 1;
        for (int i = 0; i < flips; ++i) {
            const std::size_t where = draw.below(span);
            bytes[where] = static_cast<std::uint8_t>(bytes[where] ^ (1u << draw.below(8)));
            said << " @" << where;
        }
        break;
    }
    case Kind::Cut: {
        const std::size_t keep = bytes.empty() ? 0 : draw.below(bytes.size());
        bytes.resize(keep);
        said << " to " << keep;
        break;
    }
    case Kind::Zero: {
        if (bytes.empty())
            break;
        const std::size_t from = draw.below(bytes.size());
        const std::size_t count = std::min<std::size_t>(1 + draw.below(16), bytes.size() - from);
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), count, std::uint8_t{0});
        said << " @" << from << "+" << count;
        break;
    }
    case Kind::Swap: {
        const std::size_t other = draw.below(entries.size());
        std::swap(bytes, entries[other].bytes);
        said << " with " << narrow(entries[other].name);
        break;
    }
    case Kind::Remove:
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(at));
        break;
    }
    said << " (row " << m.row << ")";
    m.description = said.str();
    return m;
}

struct RaceRun {
    int status = -1;
    std::string out;
    std::vector<std::string> errors;
    std::string hashes;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string program() {
    const char* other = std::getenv("VORLAX_MUTANT_PROGRAM");
    return other && *other ? other : VORLAX_PROGRAM;
}

RaceRun runRace(const fs::path& folder, const fs::path& work, int row) {
    const fs::path script = work / "prompt.txt";
    std::ofstream(script) << kPromptScript;
    const fs::path out = work / "out.txt";
    const fs::path err = work / "err.txt";
    const fs::path hashes = work / "hashes.txt";
    const std::string command = "'" + program() + "' --headless --race " + std::to_string(row) +
                                " --script '" + script.string() + "' --frames " + std::to_string(kFrames) +
                                " --hashes '" + hashes.string() + "' '" + folder.string() + "' >'" +
                                out.string() + "' 2>'" + err.string() + "'";
    RaceRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(out);
    std::istringstream lines(readFile(err));
    for (std::string line; std::getline(lines, line);)
        run.errors.push_back(line);
    run.hashes = readFile(hashes);
    return run;
}

enum class Outcome { Same, Refused, SilentChange, LoggedOnly, RuntimeReport, Unnamed, Other };
constexpr std::array kOutcomeNames = {
    "exit 0, same frames",  "exit 3 naming a file", "exit 0, frames changed silently",
    "exit 0, logged only",  "runtime-check report", "failure naming no file",
    "other (crash, status)"};

bool anyReport(const RaceRun& run) {
    return run.status == 4 || run.out.find("stacktrace:") != std::string::npos;
}

bool onlyProgress(const RaceRun& run) {
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (!datacheck::isProgressLine(line))
            return false;
    return run.errors.empty();
}

bool namesAFile(const std::string& line, const mkdata::ProgramFolder& demo) {
    if (line.find("data.bar") != std::string::npos || line.find("app.jad") != std::string::npos)
        return true;
    return std::any_of(demo.archive.begin(), demo.archive.end(), [&](const datakit::ArchiveEntry& entry) {
        return line.find(narrow(entry.name)) != std::string::npos;
    });
}

Outcome classify(const RaceRun& run, const RaceRun& sound, const mkdata::ProgramFolder& demo) {
    if (anyReport(run))
        return Outcome::RuntimeReport;
    if (run.status == 3)
        return run.errors.size() == 1 && namesAFile(run.errors[0], demo) ? Outcome::Refused
                                                                         : Outcome::Unnamed;
    if (run.status != 0)
        return Outcome::Other;
    if (!onlyProgress(run))
        return Outcome::LoggedOnly;
    return run.hashes == sound.hashes ? Outcome::Same : Outcome::SilentChange;
}

// A knob of the environment: the number it holds, or `otherwise`.
std::uint64_t knob(const char* name, std::uint64_t otherwise) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 0) : otherwise;
}

// datacheck's verdict on a program folder: status 0 sound, 1 findings.
struct Verdict {
    int status = -1;
    std::string firstFinding;
};

Verdict runDatacheck(const fs::path& folder) {
    const testing_support::CommandResult ran =
        testing_support::runCommand("'" + std::string(VORLAX_DATACHECK) + "' '" + folder.string() + "' 2>&1");
    Verdict verdict{ran.status, {}};
    std::istringstream lines(ran.output);
    for (std::string line; std::getline(lines, line);)
        if (line.find("datacheck: ") != std::string::npos && line.find(" is sound") == std::string::npos) {
            verdict.firstFinding = line;
            break;
        }
    return verdict;
}

// Every mutant raced once, and checked by datacheck, for all the tests.
class DataMutants : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = std::make_unique<testing_support::TemporaryFolder>("vorlax-mutants");
        s_demo = testing_support::demoSet();
        for (int row = 0; row < kRaceRows; ++row) {
            const fs::path work = s_root->path() / ("sound-" + std::to_string(row));
            fs::create_directories(work);
            ASSERT_TRUE(mkdata::writeProgramFolder(s_demo, work / "set").ok());
            RaceRun& run = s_sound[static_cast<std::size_t>(row)];
            run = runRace(work / "set", work, row);
            ASSERT_EQ(run.status, 0) << run.out;
            ASSERT_TRUE(onlyProgress(run)) << run.out;
        }

        Draw draw(knob("VORLAX_MUTANT_SEED", kSeed));
        const auto count = static_cast<int>(knob("VORLAX_MUTANT_COUNT", kMutants));
        for (int number = 0; number < count; ++number)
            s_mutants.push_back(makeMutant(s_demo, number, draw));

        s_outcomes.assign(s_mutants.size(), Outcome::Other);
        s_runs.assign(s_mutants.size(), RaceRun{});
        s_verdicts.assign(s_mutants.size(), Verdict{});
        for (std::size_t first = 0; first < s_mutants.size(); first += kParallelRuns) {
            std::vector<std::future<void>> batch;
            for (std::size_t i = first; i < std::min(s_mutants.size(), first + kParallelRuns); ++i)
                batch.push_back(std::async(std::launch::async, [i] {
                    const fs::path work = s_root->path() / ("mutant-" + std::to_string(i));
                    fs::create_directories(work);
                    if (!mkdata::writeProgramFolder(s_mutants[i].set, work / "set").ok())
                        return;
                    s_runs[i] = runRace(work / "set", work, s_mutants[i].row);
                    s_outcomes[i] =
                        classify(s_runs[i], s_sound[static_cast<std::size_t>(s_mutants[i].row)], s_demo);
                    s_verdicts[i] = runDatacheck(work / "set");
                    fs::remove_all(work);
                }));
            for (auto& run : batch)
                run.get();
        }
    }
    static void TearDownTestSuite() {
        s_mutants.clear();
        s_root.reset();
    }

    static std::unique_ptr<testing_support::TemporaryFolder> s_root;
    static mkdata::ProgramFolder s_demo;
    static std::array<RaceRun, kRaceRows> s_sound;
    static std::vector<Mutant> s_mutants;
    static std::vector<Outcome> s_outcomes;
    static std::vector<RaceRun> s_runs;
    static std::vector<Verdict> s_verdicts;
};

std::unique_ptr<testing_support::TemporaryFolder> DataMutants::s_root;
mkdata::ProgramFolder DataMutants::s_demo;
std::array<RaceRun, kRaceRows> DataMutants::s_sound;
std::vector<Mutant> DataMutants::s_mutants;
std::vector<Outcome> DataMutants::s_outcomes;
std::vector<RaceRun> DataMutants::s_runs;
std::vector<Verdict> DataMutants::s_verdicts;

TEST_F(DataMutants, EachEndsAsTheSoundSetOrRefusedNamingTheFile) {
    const std::vector<Mutant>& mutants = s_mutants;
    const std::vector<Outcome>& outcomes = s_outcomes;
    const std::vector<RaceRun>& runs = s_runs;
    std::map<Outcome, int> counts;
    std::map<std::pair<Kind, Outcome>, int> byKind;
    for (std::size_t i = 0; i < mutants.size(); ++i) {
        ++counts[outcomes[i]];
        ++byKind[{mutants[i].kind, outcomes[i]}];
        const RaceRun& run = runs[i];
        std::printf("mutant %3d %-60s -> %-32s %s\n", mutants[i].number, mutants[i].description.c_str(),
                    kOutcomeNames[static_cast<std::size_t>(outcomes[i])],
                    run.errors.empty() ? "" : run.errors.front().c_str());
    }
    std::printf("\n%-34s", "outcome");
    for (const char* kind : kKindNames)
        std::printf(" %9s", kind);
    std::printf(" %6s\n", "all");
    for (std::size_t o = 0; o < kOutcomeNames.size(); ++o) {
        std::printf("%-34s", kOutcomeNames[o]);
        for (std::size_t k = 0; k < kKindNames.size(); ++k)
            std::printf(" %9d", byKind[{static_cast<Kind>(k), static_cast<Outcome>(o)}]);
        std::printf(" %6d\n", counts[static_cast<Outcome>(o)]);
    }

    for (std::size_t i = 0; i < mutants.size(); ++i) {
        const Outcome outcome = outcomes[i];
        EXPECT_TRUE(outcome == Outcome::Same || outcome == Outcome::Refused ||
                    outcome == Outcome::SilentChange)
            << "mutant " << mutants[i].number << " (" << mutants[i].description
            << "): " << kOutcomeNames[static_cast<std::size_t>(outcome)] << ", status " << runs[i].status
            << "\n"
            << (runs[i].errors.empty() ? std::string() : runs[i].errors.front() + "\n")
            << runs[i].out.substr(0, 4000);
    }
}

// What the game refuses (exit 3) or reports at run time (status 4), datacheck
// refuses before a player meets it.
TEST_F(DataMutants, DatacheckRefusesEveryMutantTheGameRefusesOrReports) {
    std::map<std::pair<Outcome, bool>, int> table;
    for (std::size_t i = 0; i < s_mutants.size(); ++i) {
        const bool refused = s_verdicts[i].status == 1;
        ++table[{s_outcomes[i], refused}];
        EXPECT_TRUE(s_verdicts[i].status == 0 || refused)
            << "mutant " << s_mutants[i].number << " (" << s_mutants[i].description << "): datacheck status "
            << s_verdicts[i].status;
        const bool gameRefuses =
            s_runs[i].status == 3 || s_runs[i].status == 4 || s_outcomes[i] == Outcome::RuntimeReport;
        EXPECT_TRUE(!gameRefuses || refused)
            << "mutant " << s_mutants[i].number << " (" << s_mutants[i].description
            << "): the game ends with status " << s_runs[i].status << " ("
            << (s_runs[i].errors.empty() ? std::string("nothing on standard error")
                                         : s_runs[i].errors.front())
            << "), datacheck finds nothing";
    }
    std::printf("\n%-34s %9s %9s\n", "game's outcome", "refused", "accepted");
    for (std::size_t o = 0; o < kOutcomeNames.size(); ++o)
        std::printf("%-34s %9d %9d\n", kOutcomeNames[o], table[{static_cast<Outcome>(o), true}],
                    table[{static_cast<Outcome>(o), false}]);
}

} // namespace
