// mkdata OUT: writes the demo data set as the program folder OUT (made beside
// it and renamed into place), unless OUT already holds this very set, which
// is then left as it is. Exit status 0 when OUT holds the set, 1 when it
// could not be written, 2 for wrong arguments.

#include "host/Log.h"
#include "tools/mkdata/DemoSet.h"

#include <string>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 2 || std::string_view(argv[1]).empty() || std::string_view(argv[1]).starts_with('-')) {
        host::logLine(host::LogCategory::Host, "usage: mkdata OUT (the program folder to write)");
        return 2;
    }
    mkdata::ProgramFolder demo = mkdata::makeDemoSet();
    if (mkdata::holdsProgramFolder(demo, argv[1])) {
        host::logLine(host::LogCategory::Host, std::string("mkdata: ") + argv[1] + " holds the current set");
        return 0;
    }
    auto written = mkdata::writeProgramFolder(demo, argv[1]);
    if (!written) {
        host::logLine(host::LogCategory::Host, "mkdata: " + written.error().message);
        return 1;
    }
    return 0;
}
