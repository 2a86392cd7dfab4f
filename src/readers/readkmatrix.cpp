// Reads the K-matrix file: line n, blank or not, belongs to atom n, and its first three
// integers are that atom's distance, angle and dihedral partners.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <climits>

void readkmatrix(Store& s, InputFile& in) {
    std::string_view line;
    while (in.getline(line)) {
        const long long a = in.lineno();
        // Lines beyond the last atom have no column in the table.
        if (a > s.nat) {
            break;
        }
        const FreeRead f = freerd(line);
        for (int k = 1; k <= std::min(3, f.nfndi); ++k) {
            // A partner beyond the last atom would send the arrangement step outside the
            // coordinates; 0 and below mean no partner and pass unchanged.
            if (f.fndintegers(k) > s.nat) {
                myexit("Error: reference atom out of range", "readkmatrix");
            }
            s.kmatrx(k, a) = int(std::max<long long>(f.fndintegers(k), INT_MIN));
        }
    }
}
