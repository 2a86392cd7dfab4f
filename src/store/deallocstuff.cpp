// Releases the store's tables at the end of the run.
#include "control/control.h"
#include "store/store.h"

namespace {

template <class Table> void release(Table& t, std::string_view name, long long count) {
    if (!t.allocated()) {
        allocexit(name, count, "deallocstuff");
    }
    t.deallocate();
}

} // namespace

void deallocstuff(Store& s) {
    const long long nat = s.nat;
    const long long ng = s.ngeom > 0 ? s.ngeom : 1;
    const long long nv = s.nvib;
    release(s.iat, "IAT", nat);
    release(s.idesp, "IDESP", nat);
    release(s.iatmol, "IATMOL", nat);
    release(s.iisotp, "IISOTP", nat);
    release(s.risotp, "RISOTP", nat);
    release(s.t4gen, "T4GEN", nat);
    release(s.iorder, "IORDER", 2 * nat);
    release(s.iconn, "ICONN", 18 * nat);
    release(s.rnear, "RNEAR", 20 * nat);
    release(s.rconn, "RCONN", 18 * nat);
    release(s.inear, "INEAR", 20 * nat);
    release(s.kmatrx, "KMATRX", 3 * nat);
    release(s.xyz, "XYZ", 3 * nat);
    release(s.egeo, "EGEO", ng);
    release(s.xgeo, "XGEO", ng * nat * 3);
    release(s.scanpoint, "SCANPOINT", ng);
    release(s.scanend, "SCANEND", ng);
    release(s.xyztmp, "XYZTMP", 3 * nat);
    release(s.zmat, "ZMAT", 3 * nat);
    release(s.chrg, "CHRG", nat);
    release(s.atdescr, "ATDESCR", nat);
    release(s.moldescr, "MOLDESCR", nat);
    release(s.vibs, "vibs", nv);
    release(s.fscanfreq, "frecalc", 2 * nv);
    release(s.vibvec, "vibvec", 3 * nat * nv);
}
