// Reads the external-charge block of a DRF input: elements, point charges, Bohr coordinates,
// labels and group names; a later block replaces an earlier one.
#include "readers/readers.h"

void readdrf(Store& s, InputFile& in) {
    readdrfblocks(s, in, "readdrf", false);
}
