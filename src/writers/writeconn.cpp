// Connectivity list: for each atom in output order its store number and its bond partners.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writeconn(Store& s, OutputFile& out) {
    // Ten numbers to a line: the atom and nine partners. Further partners continue on lines that
    // leave the atom's field blank, so no partner can be taken for an atom of its own.
    constexpr int perline = 9;
    out.line("Connect");
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        const int n = s.iconn(0, a);
        // cols 1-5 "ATOM " | 6-13 atom I8 (blank on continuation lines) | 14-21, 22-29, ...
        //      up to nine partners I8
        std::string line("ATOM ");
        fw::I(line, a, 8);
        for (int j = 1; j <= n; ++j) {
            fw::I(line, s.iconn(j, a), 8);
            if (j % perline == 0 && j < n) {
                out.line(line);
                line = "ATOM " + std::string(8, ' ');
            }
        }
        out.line(line);
    }
    out.line("End");
}
