// kru: reads the control input (standard input, or the file named as the one argument) and
// converts one molecule file into another.
#include "control/control.h"
#include "store/runcontext.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc > 2) {
        std::cerr << "Usage: kru [CONTROL | --help | --version]\n";
        return 2;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << helptext();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "kru " << KRU_VERSION << '\n';
        return 0;
    }
    if (argc == 2) {
        std::ifstream control(argv[1]);
        if (!control) {
            std::cerr << "kru: cannot read the control input " << argv[1] << '\n';
            return 1;
        }
        return run(control, RunContext{});
    }
    if (isatty(STDIN_FILENO) != 0) {
        std::cerr << "kru: reading the control input from standard input; end it with Ctrl-D "
                     "(kru --help shows the keywords)\n";
    }
    return run(std::cin, RunContext{});
}
