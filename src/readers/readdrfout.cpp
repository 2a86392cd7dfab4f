// Reads every external-charge block of a DRF output: each closed block is one geometry of the
// sequence, and the last block gives the molecule with its charges, labels and group names.
#include "readers/readers.h"

void readdrfout(Store& s, InputFile& in) {
    readdrfblocks(s, in, "readdrfout", true);
}
