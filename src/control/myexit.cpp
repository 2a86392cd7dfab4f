// Orderly termination: every failure of the run travels up to main as one RunError.
#include "control/control.h"

void myexit(std::string_view message, std::string_view routine) {
    throw RunError(message, routine);
}

void plainstop(std::string_view message) {
    throw RunError(message, "", true);
}

std::string errorbanner(const RunError& e) {
    std::string b;
    b += "\n";
    b += "====================\n";
    b += "Error in KRU program\n";
    b += "====================\n";
    b += "\n";
    b += "Routine : " + e.routine + "\n";
    b += std::string(e.what()) + "\n";
    return b;
}
