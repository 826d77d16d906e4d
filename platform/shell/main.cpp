// The program's entry and composition root: it chooses the host with a real
// window (SDL) for runs without --headless, and the game's start-up. The game
// registers its MIDlet here; until it does, the program has nothing to run
// and says so.

#include "host/sdl/SdlHost.h"
#include "platform/shell/Program.h"

#include <span>

int main(int argc, char** argv) {
    platform::ProgramParts parts;
    parts.makeWindowHost = [](const platform::ProgramOptions& options) {
        host::SdlOptions sdl;
        sdl.folders.programFolder = options.programFolder;
        return host::makeSdlHost(sdl);
    };
    return platform::runProgram(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), parts);
}
