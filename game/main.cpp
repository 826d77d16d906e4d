// The program's entry: it chooses the host with a real window (SDL) for runs
// without --headless (none when there is no display) and hands the platform
// the game's start-up (game/Game.h): the data set and its constant strings,
// the game's static initialisation and its MIDlet.

#include "game/Game.h"
#include "host/sdl/SdlHost.h"
#include "platform/shell/Program.h"

#include <span>

int main(int argc, char** argv) {
    platform::ProgramParts parts;
    parts.startup = game::startupHooks();
    parts.makeWindowHost = [](const platform::ProgramOptions& options) {
        host::SdlOptions sdl;
        sdl.folders.programFolder = options.programFolder;
        return host::makeSdlHost(sdl);
    };
    parts.applyOptions = [](const platform::ProgramOptions& options) {
        if (options.raceRow >= 0)
            game::startWithQuickRace(options.raceRow);
    };
    return platform::runProgram(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), parts);
}
