// The orderly end of a run that failed: what the user sees, and the exit status. A failure that
// is not a RunError (memory running out where no table is created, a library's exception) ends
// the same way, with the banner, rather than in std::terminate.
#include "control/control.h"
#include "store/store.h"

#include <exception>
#include <new>
#include <ostream>

namespace {

int banner(const Store& s, const RunError& e) {
    if (s.context.errorline) {
        s.log().flush();
        s.err() << "kru: error: ";
        if (!e.file.empty()) {
            s.err() << e.file;
            if (e.line > 0) {
                s.err() << ':' << e.line;
            }
            s.err() << ": ";
        }
        s.err() << e.what() << '\n';
        return 1;
    }
    s.log() << errorbanner(e) << std::flush;
    s.err() << "STOP End of program because of an error\n";
    return 1;
}

} // namespace

int stoprun(const Store& s) {
    try {
        throw;
    } catch (const RunError& e) {
        if (e.plain && !s.context.errorline) {
            s.log().flush();
            s.err() << "STOP " << e.what() << '\n';
            return 1;
        }
        return banner(s, e);
    } catch (const std::bad_alloc&) {
        return banner(s, RunError("Not enough memory available", "run"));
    } catch (const std::exception& e) {
        return banner(s, RunError(std::string("Unexpected failure: ") + e.what(), "run"));
    } catch (...) {
        return banner(s, RunError("Unexpected failure", "run"));
    }
}
