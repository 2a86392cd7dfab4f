// The normal-mode block of ADF and VESKO outputs: groups of at most three modes, each a line of
// frequencies, a line passed over and a line per atom with x, y, z of every mode of the group.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"

#include <array>
#include <ostream>

void adfnormalmodes(Store& s, InputFile& in, std::string_view reader, bool strict) {
    int ivib = 0;
    std::string_view line;
    while (in.getline(line)) {
        const FreeRead f = freerd(line);
        // An atom line begins with a label such as 1.C and is never taken for frequencies.
        if (f.nfndr >= 1 && f.nfndr == f.nfndt) {
            const int modes = f.nfndr;
            if (modes > 3) {
                myexit("More than three modes on a frequency line", reader);
            }
            if (ivib + modes > s.nvib) {
                myexit("More modes than counted", reader);
            }
            const std::array<double, 3> freq{f.fndreals(1), f.fndreals(2), f.fndreals(3)};
            if (!in.getline(line)) {
                return;
            }
            for (int a = 1; a <= s.nat; ++a) {
                if (!in.getline(line)) {
                    return;
                }
                const FreeRead d = freerd(line);
                if (d.nfndr != 3 * modes) {
                    s.log() << "Error reading normal mode vectors\n";
                    if (strict) {
                        s.log() << "Reading from " << record(line) << '\n';
                        plainstop("Baggerzooi");
                    }
                    continue;
                }
                for (int m = 1; m <= modes; ++m) {
                    for (int k = 1; k <= 3; ++k) {
                        s.vibvec(k, a, ivib + m) = d.fndreals(3 * (m - 1) + k);
                    }
                }
            }
            for (int m = 1; m <= modes; ++m) {
                s.vibs(ivib + m) = freq[std::size_t(m - 1)];
            }
            ivib += modes;
        }
        if (ivib == s.nvib) {
            return;
        }
    }
}
