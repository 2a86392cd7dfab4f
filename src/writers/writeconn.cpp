// Connectivity list: for each atom in output order its store number and its bond partners.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writeconn(Store& s, OutputFile& out) {
    // Ten numbers to a line, each line starting "ATOM ": the first holds the atom and nine
    // partners, every further line the next ten partners.
    // cols 1-5 "ATOM " | 6-13, 14-21, ... up to ten numbers I8
    constexpr int perline = 10;
    out.line("Connect");
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        const int n = s.iconn(0, a);
        std::string line("ATOM ");
        fw::I(line, a, 8);
        int onthisline = 1;
        for (int j = 1; j <= n; ++j) {
            if (onthisline == perline) {
                out.line(line);
                line = "ATOM ";
                onthisline = 0;
            }
            fw::I(line, s.iconn(j, a), 8);
            ++onthisline;
        }
        out.line(line);
    }
    out.line("End");
}
