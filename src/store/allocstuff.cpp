// Creates the store's tables once the reader has counted atoms, geometries and modes.
#include "control/control.h"
#include "store/store.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <unistd.h>

namespace {

// Counts announced by an input can be anything up to the largest integer; their products
// saturate instead of wrapping round to a small, harmless-looking size.
long long times(long long a, long long b) {
    if (a <= 0 || b <= 0) {
        return 0;
    }
    return a > LLONG_MAX / b ? LLONG_MAX : a * b;
}

// A request beyond what the machine can hold would otherwise get the process killed by the
// system, with no message, once the tables are filled: the tables may take half the memory,
// which leaves room for the input text and the connectivity's work space, and at most 7 GiB.
// The tables take 684 bytes per atom of a single geometry, so ten million atoms (6.8 GB) fit.
long long defaultlimit() {
    constexpr long long cap = 7LL << 30;
    const long long pages = sysconf(_SC_PHYS_PAGES);
    const long long pagesize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pagesize <= 0) {
        return cap;
    }
    return std::min(cap, times(pages, pagesize) / 2);
}

template <class A> long long extentsize(const A& a) {
    if constexpr (std::is_same_v<A, Extent>) {
        return a.size();
    } else {
        return 1;
    }
}

// One table: in the first round only what it would take is counted against the limit, so
// that a store that cannot fit fails before any table is filled; in the second it is created.
// A table that exists already, would take the store beyond its limit, or cannot be created
// ends the run under its own name. `left` is what the limit still allows, in bytes.
template <class Table, class... Args>
void create(std::ostream& log, bool fill, Table& t, std::string_view name, long long count,
            long long& left, Args&&... args) {
    if (t.allocated()) {
        allocexit(log, name, count, "allocstuff");
    }
    long long elements = 1;
    ((elements = times(elements, extentsize(args))), ...);
    const long long bytes = times(elements, sizeof(typename Table::value_type));
    if (bytes > left) {
        allocexit(log, name, count, "allocstuff");
    }
    left -= bytes;
    if (!fill) {
        return;
    }
    try {
        t.allocate(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        allocexit(log, name, count, "allocstuff");
    } catch (const std::length_error&) {
        allocexit(log, name, count, "allocstuff");
    }
}

} // namespace

void allocstuff(Store& s) {
    const long long nat = s.nat;
    const long long ng = s.ngeom > 0 ? s.ngeom : 1;
    const long long nv = s.nvib;
    const long long limit = s.tablelimit > 0 ? s.tablelimit : defaultlimit();
    const Extent atoms{1, nat};
    for (const bool fill : {false, true}) {
        long long left = limit;
        create(s.log(), fill, s.iat, "IAT", nat, left, atoms);
        create(s.log(), fill, s.idesp, "IDESP", nat, left, atoms);
        create(s.log(), fill, s.iatmol, "IATMOL", nat, left, atoms);
        create(s.log(), fill, s.iisotp, "IISOTP", nat, left, atoms);
        create(s.log(), fill, s.risotp, "RISOTP", nat, left, atoms);
        create(s.log(), fill, s.t4gen, "T4GEN", nat, left, atoms);
        create(s.log(), fill, s.iorder, "IORDER", times(2, nat), left, atoms, Extent{1, 2});
        create(s.log(), fill, s.iconn, "ICONN", times(18, nat), left, Extent{0, maxconn}, atoms);
        create(s.log(), fill, s.rnear, "RNEAR", times(20, nat), left, Extent{1, maxnear}, atoms);
        create(s.log(), fill, s.rconn, "RCONN", times(18, nat), left, Extent{1, maxconn}, atoms);
        create(s.log(), fill, s.inear, "INEAR", times(20, nat), left, Extent{0, maxnear}, atoms);
        create(s.log(), fill, s.kmatrx, "KMATRX", times(3, nat), left, Extent{1, 3},
               Extent{-3, nat});
        create(s.log(), fill, s.xyz, "XYZ", times(3, nat), left, Extent{1, 3}, atoms);
        create(s.log(), fill, s.egeo, "EGEO", ng, left, Extent{1, ng});
        create(s.log(), fill, s.xgeo, "XGEO", times(times(ng, nat), 3), left, Extent{1, 3}, atoms,
               Extent{1, ng});
        create(s.log(), fill, s.scanpoint, "SCANPOINT", ng, left, Extent{1, ng});
        create(s.log(), fill, s.scanend, "SCANEND", ng, left, Extent{1, ng});
        create(s.log(), fill, s.xyztmp, "XYZTMP", times(3, nat), left, Extent{1, 3}, atoms);
        create(s.log(), fill, s.zmat, "ZMAT", times(3, nat), left, Extent{1, 3}, Extent{-3, nat});
        create(s.log(), fill, s.chrg, "CHRG", nat, left, atoms);
        create(s.log(), fill, s.atdescr, "ATDESCR", nat, left, atoms, std::string(10, ' '));
        create(s.log(), fill, s.moldescr, "MOLDESCR", nat, left, atoms, std::string("MOL       "));
        create(s.log(), fill, s.vibs, "vibs", nv, left, Extent{1, nv});
        create(s.log(), fill, s.fscanfreq, "fscanfreq", times(2, nv), left, Extent{1, 2},
               Extent{1, nv});
        create(s.log(), fill, s.frqintns, "frqintns", nv, left, Extent{1, nv});
        create(s.log(), fill, s.vibvec, "vibvec", times(times(3, nat), nv), left, Extent{1, 3},
               atoms, Extent{1, nv});
    }
}
