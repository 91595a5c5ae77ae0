// vorla-bench: the program's start-up, memory, GUI-thread stalls, upload cost
// and idle wake-ups against a bare window, printed as one table. See
// scripts/bench.sh, which builds it (also from the commit before a change)
// and runs it.

#include "children.h"

#include <cstring>

int main(int argc, char *argv[])
{
    if (argc > 2 && std::strcmp(argv[1], "--child") == 0) {
        if (std::strcmp(argv[2], "startup") == 0)
            return bench::programStartupChild(argc, argv);
        if (std::strcmp(argv[2], "stalls") == 0)
            return bench::stallsChild(argc, argv);
        return 2;
    }
    return bench::report(argc, argv);
}
