// The orderly end of a run that failed: what the user sees, and the exit status.
#include "control/control.h"
#include "store/store.h"

#include <iostream>

int stoprun(const Store&) {
    try {
        throw;
    } catch (const RunError& e) {
        if (e.plain) {
            std::cout.flush();
            std::cerr << "STOP " << e.what() << '\n';
            return 1;
        }
        std::cout << errorbanner(e) << std::flush;
        std::cerr << "STOP End of program because of an error\n";
        return 1;
    }
}
