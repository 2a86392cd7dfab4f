// Checks, before the first transit-point file is written, that neither the output file nor any
// transit-point file the reader may write would replace a file the run reads.
#include "control/control.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

void refuseltpoints(const Store& s, long long first, long long count, long long nrlt) {
    refuseoverwrite(s, s.outputfile);
    // Points beyond nrlt end the run in getsuffix2 before anything is written.
    for (long long k = 0; k < count && first <= nrlt - k; ++k) {
        for (const std::string_view kind : {".xyz", ".angs"}) {
            refuseoverwrite(s, ltpointname(s, getsuffix2(first + k, nrlt), kind));
        }
    }
}
