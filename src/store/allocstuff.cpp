// Creates the store's tables once the reader has counted atoms, geometries and modes.
#include "control/control.h"
#include "store/store.h"

#include <new>
#include <stdexcept>

namespace {

// A table that exists already or cannot be created ends the run under its own name.
template <class Table, class... Args>
void create(Table& t, std::string_view name, long long count, Args&&... args) {
    if (t.allocated()) {
        allocexit(name, count, "allocstuff");
    }
    try {
        t.allocate(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        allocexit(name, count, "allocstuff");
    } catch (const std::length_error&) {
        allocexit(name, count, "allocstuff");
    }
}

} // namespace

void allocstuff(Store& s) {
    const long long nat = s.nat;
    const long long ng = s.ngeom > 0 ? s.ngeom : 1;
    const long long nv = s.nvib;
    const Extent atoms{1, nat};
    create(s.iat, "IAT", nat, atoms);
    create(s.idesp, "IDESP", nat, atoms);
    create(s.iatmol, "IATMOL", nat, atoms);
    create(s.iisotp, "IISOTP", nat, atoms);
    create(s.risotp, "RISOTP", nat, atoms);
    create(s.t4gen, "T4GEN", nat, atoms);
    create(s.iorder, "IORDER", 2 * nat, atoms, Extent{1, 2});
    create(s.iconn, "ICONN", 18 * nat, Extent{0, maxconn}, atoms);
    create(s.rnear, "RNEAR", 20 * nat, Extent{1, maxnear}, atoms, 1000000.0);
    create(s.rconn, "RCONN", 18 * nat, Extent{1, maxconn}, atoms);
    create(s.inear, "INEAR", 20 * nat, Extent{0, maxnear}, atoms);
    create(s.kmatrx, "KMATRX", 3 * nat, Extent{1, 3}, Extent{-3, nat});
    create(s.xyz, "XYZ", 3 * nat, Extent{1, 3}, atoms);
    create(s.egeo, "EGEO", ng, Extent{1, ng});
    create(s.xgeo, "XGEO", ng * nat * 3, Extent{1, 3}, atoms, Extent{1, ng});
    create(s.xyztmp, "XYZTMP", 3 * nat, Extent{1, 3}, atoms);
    create(s.zmat, "ZMAT", 3 * nat, Extent{1, 3}, Extent{-3, nat});
    create(s.chrg, "CHRG", nat, atoms);
    create(s.atdescr, "ATDESCR", nat, atoms, std::string(10, ' '));
    create(s.moldescr, "MOLDESCR", nat, atoms, std::string("MOL       "));
    create(s.vibs, "vibs", nv, Extent{1, nv});
    create(s.fscanfreq, "fscanfreq", 2 * nv, Extent{1, 2}, Extent{1, nv});
    create(s.frqintns, "frqintns", nv, Extent{1, nv});
    create(s.vibvec, "vibvec", 3 * nat * nv, Extent{1, 3}, atoms, Extent{1, nv});
}
