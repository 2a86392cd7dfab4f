// One run from the control input to the last output file: the options the control input sets,
// then the same conversion the command line runs.
#include "control/control.h"
#include "store/store.h"

int run(std::istream& control, const RunContext& context) {
    Store s(context);
    try {
        processinput(s, control);
    } catch (...) {
        return stoprun(s);
    }
    return convert(s, context);
}
