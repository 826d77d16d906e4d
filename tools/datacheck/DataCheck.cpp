#include "tools/datacheck/DataCheck.h"

#include "game/Game.h"
#include "game/data/PackReader.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Streams.h"
#include "game/framework/cGame.h"
#include "host/Log.h"
#include "host/headless/HeadlessHost.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/shell/Shell.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "tools/datacheck/Rules.h"

#include <memory>
#include <mutex>
#include <string_view>

namespace datacheck {

namespace {

// Keeps every line logged while it lives; the checks turn them into findings.
class LogCollector final : public host::LogSink {
public:
    LogCollector()
        : m_previous(host::setLogSink(this)) {}
    ~LogCollector() override { host::setLogSink(m_previous); }
    LogCollector(const LogCollector&) = delete;
    LogCollector& operator=(const LogCollector&) = delete;

    void write(host::LogCategory, std::string_view line) override {
        std::lock_guard lock(m_lock);
        m_lines.emplace_back(line);
    }
    std::vector<std::string> take() {
        std::lock_guard lock(m_lock);
        return std::exchange(m_lines, {});
    }

private:
    host::LogSink* m_previous;
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

// The lines that tell how a sound start goes, as a start, an end and what
// stands between them (with the words "not" and "fault" nowhere); any other
// line is a loader or a runtime check saying what it skipped or replaced. A
// new progress line of the start-up joins this list.
struct ProgressLine {
    std::string_view start, end;
    bool exact = false;
    std::string_view middle = "";
};
constexpr ProgressLine kProgressLines[] = {
    {"", "", true},
    {"m_screenGraphics", "", true},
    {"InitInstance: SHFullscreen returned 1.", "", true},
    {"all sounds loaded", "", true},
    {"ApplicationImpl::openDisplay(GDI): ", ""},
    {"new ", ""},
    {"Application::", ""},
    {"state ", ""},
    {"fixed-point tables from ", " beside them"},
    {"sound: ", " sounds"},
    {"sounds ", "", false, " to "},
    {"sound engine: all ", " sounds stopped"},
    {"text pack ", " loaded"},
    {"race over: place ", "", false, ", time "},
};

} // namespace

bool isProgressLine(std::string_view line) {
    if (line.find("not ") != std::string_view::npos || line.find("fault") != std::string_view::npos)
        return false;
    for (const ProgressLine& progress : kProgressLines) {
        if (progress.exact ? line == progress.start
                           : line.starts_with(progress.start) && line.ends_with(progress.end) &&
                                 line.size() >= progress.start.size() + progress.end.size() &&
                                 line.substr(progress.start.size(),
                                             line.size() - progress.start.size() - progress.end.size())
                                         .find(progress.middle) != std::string_view::npos)
            return true;
    }
    return false;
}

namespace {

void addLogged(Findings& findings, LogCollector& log, const std::string& step) {
    for (std::string& line : log.take()) {
        while (!line.empty() && (line.front() == '\n' || line.front() == '\r'))
            line.erase(0, 1);
        if (!isProgressLine(line))
            addFinding(findings, step, "loads-without-fault", std::move(line));
    }
}

platform::StartupHooks ownLoopHooks() {
    platform::StartupHooks hooks = game::startupHooks();
    auto statics = hooks.initializeStatics;
    hooks.initializeStatics = [statics] {
        platform::StartupResult result = statics();
        // The checks drive the frames themselves, on this thread.
        game::config().s_noLoopThread = 1;
        return result;
    };
    return hooks;
}

} // namespace

void openPack(std::int32_t number) {
    game::closeStream();
    game::packStatics().s_packName = nullptr;
    game::packOpen(rt::getStaticClass().getConstantString(number));
}

std::string printable(const rt::String* text) {
    std::string out;
    for (char16_t c : text->view())
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string describe(const Finding& finding) {
    return finding.resource + ": " + finding.rule + ": " + finding.detail;
}

std::vector<Finding> checkDataSet(const std::filesystem::path& folder) {
    Findings findings;
    LogCollector log;
    host::HeadlessOptions options;
    options.folders.programFolder = folder.string();
    std::unique_ptr<host::HeadlessHost> host = host::makeHeadlessHost(std::move(options));
    platform::Shell shell(*host, ownLoopHooks());
    platform::ApplicationImpl& impl = shell.applicationImpl();
    bool started = host->window().open(platform::kWindowClass, platform::kWindowTitle).ok() &&
                   impl.openDisplay(u"GDI") && impl.init().ok();
    addLogged(findings, log, "start-up");
    game::cGame* game = started ? game::loopStatics().s_gameInstance : nullptr;
    if (!game) {
        addFinding(findings, folder.string(), "starts", "the game did not start on the set");
        shell.cleanup();
        return findings;
    }
    impl.setActive(true);
    // Frame 1 runs the start-up load (state 1): packs, tables, race data.
    if (!game->runFrame())
        addFinding(findings, "start-up", "starts", "the start-up load ended the game");
    addLogged(findings, log, "start-up load");

    struct Group {
        const char* name;
        void (*check)(Findings&);
    };
    constexpr Group kGroups[] = {
        {"constant strings and packs", checkConstantsAndPacks},
        {"sprites and fonts", checkSprites},
        {"texts", checkTexts},
        {"race data", checkRaceData},
        {"sounds", checkSounds},
        {"promotion", checkPromotion},
    };
    for (const Group& group : kGroups) {
        group.check(findings);
        addLogged(findings, log, group.name);
    }
    shell.cleanup();
    return findings;
}

} // namespace datacheck
