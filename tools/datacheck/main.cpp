// datacheck DIR: checks the data set in the program folder DIR through the
// game's own readers. Prints one line per finding ("resource: rule: what")
// and exits 0 when there is none, 1 when there is, 2 for wrong arguments.

#include "host/Log.h"
#include "tools/datacheck/DataCheck.h"

#include <string>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 2 || std::string_view(argv[1]).empty() || std::string_view(argv[1]).starts_with('-')) {
        host::logFailure(host::LogCategory::Host, "usage: datacheck DIR (the program folder to check)");
        return 2;
    }
    std::vector<datacheck::Finding> findings = datacheck::checkDataSet(argv[1]);
    for (const datacheck::Finding& finding : findings)
        host::logFailure(host::LogCategory::Host, "datacheck: " + datacheck::describe(finding));
    if (!findings.empty())
        return 1;
    host::logLine(host::LogCategory::Host, std::string("datacheck: ") + argv[1] + " is sound");
    return 0;
}
