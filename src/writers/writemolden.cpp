// Molden file whose geometry sequence follows IDOFTL: first to last, or last to first.
#include "store/store.h"
#include "writers/writers.h"

void writemolden(Store& s, OutputFile& out) {
    writemoldenfile(s, out, s.idoftl != 1, "writemolden");
}
