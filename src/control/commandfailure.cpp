// How the command line says that it cannot run what it was given.
#include "control/commands.h"

#include <iostream>

int commandfailure(const std::string& where, const std::string& reason) {
    std::cerr << "kru: error: " << (where.empty() ? "" : where + ": ") << reason << '\n';
    return 2;
}
