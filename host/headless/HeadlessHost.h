#pragma once

// The headless host: no window and no display. Its clock is virtual (see
// HeadlessScheduler.h for how time moves), its input a script, every
// presented frame is counted, hashed when the run asks for hashes (an option
// or the script's `hash-frames`) and optionally written as PNG, questions
// are answered by the script and browser requests recorded. Nothing depends
// on the machine it runs on, so the same script gives the same frames.
//
// The thread that makes the host is its window thread: it polls the window
// and is the first thread the virtual clock knows.

#include "host/Host.h"
#include "host/headless/HeadlessAudio.h"
#include "host/headless/HeadlessBrowser.h"
#include "host/headless/HeadlessClock.h"
#include "host/headless/HeadlessDialogs.h"
#include "host/headless/HeadlessScreen.h"
#include "host/headless/HeadlessScript.h"
#include "host/headless/HeadlessWindow.h"
#include "host/system/SystemFolders.h"
#include "host/system/SystemMediaGraph.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace host {

class HeadlessScheduler;

struct HeadlessOptions {
    Script script;
    ScreenSize screenSize;
    std::string frameFolder; // when set, every frame is written there as PNG
    // When both are set, the first frame and then the first frame of every
    // `shotPeriod` virtual milliseconds are written there as PNG.
    std::string shotFolder;
    std::uint32_t shotPeriod = 0;
    WindowTurn shotTurn = WindowTurn::AsDevice; // as HeadlessScreen's
    bool hashFrames = false;                    // when set (or the script says so), every frame is hashed
    std::uint32_t quitAfterFrames = 0;          // when set, a quit arrives after that many frames
    LanguageId language = kEnglishUs;
    MemoryStatus memory{32u << 20, 64u << 20};
    FolderOptions folders;
    std::string instanceLockFolder; // empty: the instance lock is always ours
    // The calendar time at virtual time 0, in seconds since 1970 (2009-01-01 00:00 UTC).
    std::int64_t wallClockEpoch = 1230768000;
    HeadlessAudioOptions audio;
    MediaGraphOptions mediaGraphs;
    // When set, runs after each presented frame on the presenting thread (the
    // program's, which has just painted it) with the frame's pixels and the
    // virtual time; the events it answers are posted to the window, ahead of
    // scripted events still due. A tool that drives the program by what it
    // shows (the screen tour) answers here.
    std::function<std::vector<WindowEvent>(std::span<const std::uint16_t> frame, std::uint64_t now)>
        afterPresent;
};

class HeadlessHost final : public Host {
public:
    HeadlessHost(HostServices services, std::shared_ptr<HeadlessScheduler> scheduler);
    ~HeadlessHost() override;

    HeadlessScreen& headlessScreen() { return static_cast<HeadlessScreen&>(screen()); }
    HeadlessWindow& headlessWindow() { return static_cast<HeadlessWindow&>(window()); }
    HeadlessDialogs& headlessDialogs() { return static_cast<HeadlessDialogs&>(dialogs()); }
    HeadlessBrowser& headlessBrowser() { return static_cast<HeadlessBrowser&>(browser()); }
    HeadlessClock& headlessClock() { return static_cast<HeadlessClock&>(clock()); }
    HeadlessAudio& headlessAudio() { return static_cast<HeadlessAudio&>(audio()); }

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
};

std::unique_ptr<HeadlessHost> makeHeadlessHost(HeadlessOptions options);

} // namespace host
