// The orderly end of a run that failed: what the user sees, and the exit status.
#include "control/control.h"
#include "store/store.h"

#include <ostream>

int stoprun(const Store& s) {
    try {
        throw;
    } catch (const RunError& e) {
        if (e.plain) {
            s.log().flush();
            s.err() << "STOP " << e.what() << '\n';
            return 1;
        }
        s.log() << errorbanner(e) << std::flush;
        s.err() << "STOP End of program because of an error\n";
        return 1;
    }
}
