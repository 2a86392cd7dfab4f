// Reports a table of the store that could not be created or released.
#include "control/control.h"
#include "control/fixedwidth.h"

#include <ostream>

void allocexit(std::ostream& log, std::string_view name, long long size, std::string_view routine) {
    log << "\n\nNot enough memory available for " << name << " of size " << fw::I(size, 10) << '\n';
    myexit("ALLOCATE error for " + std::string(name), routine);
}
