// mkdata OUT: writes the demo data set as the program folder OUT (made beside
// it and renamed into place). Exit status 0 when written, 1 when it could not
// be, 2 for wrong arguments.

#include "host/Log.h"
#include "tools/mkdata/DemoSet.h"

#include <string_view>

int main(int argc, char** argv) {
    if (argc != 2 || std::string_view(argv[1]).empty() || std::string_view(argv[1]).starts_with('-')) {
        host::logLine(host::LogCategory::Host, "usage: mkdata OUT (the program folder to write)");
        return 2;
    }
    auto written = mkdata::writeProgramFolder(mkdata::makeDemoSet(), argv[1]);
    if (!written) {
        host::logLine(host::LogCategory::Host, "mkdata: " + written.error().message);
        return 1;
    }
    return 0;
}
