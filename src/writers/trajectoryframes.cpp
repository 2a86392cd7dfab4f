// Which geometries a trajectory writes, in order: those within RANGE, walked first to last or,
// with IDOFTL other than 1, last to first.
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

std::vector<long long> trajectoryframes(const Store& s) {
    const long long ngeom = s.ngeom;
    // A negative first geometry would walk outside the sequence; the range starts at 1 at least.
    const long long first = s.idrange[0] != 0 ? std::max(1LL, std::min(s.idrange[0], ngeom)) : 1;
    const long long last = s.idrange[1] != 0 ? std::min(s.idrange[1], ngeom) : ngeom;
    std::vector<long long> frames;
    for (long long k = first; k <= last; ++k) {
        frames.push_back(s.idoftl == 1 ? k : ngeom - k + 1);
    }
    return frames;
}
