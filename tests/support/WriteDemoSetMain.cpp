// write_demo_set FILE: makes the demo set and writes it to FILE for the
// tests of this build to read (tests/support/DemoSet.h).

#include "tests/support/DemoSet.h"
#include "tools/mkdata/DemoSet.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: write_demo_set FILE\n", stderr);
        return 2;
    }
    if (!testing_support::writeDemoSetFile(mkdata::makeDemoSet(), argv[1])) {
        std::fprintf(stderr, "write_demo_set: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
