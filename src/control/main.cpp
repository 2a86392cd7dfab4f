// kru: reads the control input on standard input and converts one molecule file into another.
#include "control/control.h"

#include <iostream>

int main() {
    std::ios::sync_with_stdio(false);
    return run(std::cin);
}
