// One run from the control input to the last output file.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <ostream>

int run(std::istream& control, const RunContext& context) {
    Store s(context);
    try {
        processinput(s, control);
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
