// One run from options set without a control input to the last output file.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <ostream>

int convert(const Options& options, const RunContext& context) {
    Store s(options, context);
    try {
        checkoptions(s);
        readfile(s);
        arrange(s);
        writefile(s);
        deallocstuff(s);
        s.log().flush();
        return 0;
    } catch (...) {
        return stoprun(s);
    }
}
