// kru: converts one molecule file into another, from the command line or from a control input
// (standard input, or the file named as the one argument).
#include "control/control.h"

int main(int argc, char** argv) {
    return commandline(argc, argv);
}
