// The program's entry. Until the device platform and the game are built, it
// answers --help and otherwise says plainly that the game cannot start.

#include "host/Log.h"

#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            host::logLine(host::LogCategory::Platform, "usage: vorlax [--help] [--headless] [--frames N] "
                                                       "[--screenshot FILE] [PROGRAM_FOLDER]");
            return 0;
        }
    }
    host::logLine(host::LogCategory::Platform,
                  "vorlax: the game cannot start yet: the device platform and the game are not built.");
    return 2;
}
