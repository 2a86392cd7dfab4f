// The CONECT records of a run of atoms in store order, from the connectivity as it stands.
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void pdbconect(const Store& s, std::string& text, int first, int last) {
    // Up to three records of four partners each; partners past the twelfth are not written.
    // An atom without partners still gets one record with its own number.
    // cols 1-6 "CONECT" | 7-11 atom I5 | 12-16, 17-21, 22-26, 27-31 partners I5
    constexpr int perrecord = 4;
    constexpr int maxpartners = 12;
    for (int a = first; a <= last; ++a) {
        const int n = std::min(s.iconn(0, a), maxpartners);
        int j = 1;
        do {
            text += "CONECT";
            fw::I(text, a, 5);
            for (int k = 0; k < perrecord && j <= n; ++k, ++j) {
                fw::I(text, s.iconn(j, a), 5);
            }
            text += '\n';
        } while (j <= n);
    }
}
