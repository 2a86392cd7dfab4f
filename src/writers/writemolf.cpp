// Molden file whose geometry sequence is always written first to last, whatever IDOFTL says.
#include "writers/writers.h"

void writemolf(Store& s, OutputFile& out) {
    writemoldenfile(s, out, false, "writemolf");
}
