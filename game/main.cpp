// The program's entry and composition root: it chooses the host with a real
// window (SDL) for runs without --headless (none when there is no display),
// and the start-up: the data set and its constant strings, then (once the
// game exists) its static initialisation and its MIDlet, which the game
// registers here. Until it does, the program has nothing to run and says so.

#include "host/sdl/SdlHost.h"
#include "platform/app/DataSet.h"
#include "platform/shell/Program.h"

#include <span>

int main(int argc, char** argv) {
    platform::ProgramParts parts;
    parts.startup.initializeStatics = [] { return platform::loadDataSet(); };
    parts.makeWindowHost = [](const platform::ProgramOptions& options) {
        host::SdlOptions sdl;
        sdl.folders.programFolder = options.programFolder;
        return host::makeSdlHost(sdl);
    };
    return platform::runProgram(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), parts);
}
