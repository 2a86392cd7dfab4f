// Releases the store's tables at the end of the run.
#include "control/control.h"
#include "store/store.h"

namespace {

template <class Table>
void release(std::ostream& log, Table& t, std::string_view name, long long count) {
    if (!t.allocated()) {
        allocexit(log, name, count, "deallocstuff");
    }
    t.deallocate();
}

} // namespace

void deallocstuff(Store& s) {
    const long long nat = s.nat;
    const long long ng = s.ngeom > 0 ? s.ngeom : 1;
    const long long nv = s.nvib;
    release(s.log(), s.iat, "IAT", nat);
    release(s.log(), s.idesp, "IDESP", nat);
    release(s.log(), s.iatmol, "IATMOL", nat);
    release(s.log(), s.iisotp, "IISOTP", nat);
    release(s.log(), s.risotp, "RISOTP", nat);
    release(s.log(), s.t4gen, "T4GEN", nat);
    release(s.log(), s.iorder, "IORDER", 2 * nat);
    release(s.log(), s.iconn, "ICONN", 18 * nat);
    release(s.log(), s.rnear, "RNEAR", 20 * nat);
    release(s.log(), s.rconn, "RCONN", 18 * nat);
    release(s.log(), s.inear, "INEAR", 20 * nat);
    release(s.log(), s.kmatrx, "KMATRX", 3 * nat);
    release(s.log(), s.xyz, "XYZ", 3 * nat);
    release(s.log(), s.egeo, "EGEO", ng);
    release(s.log(), s.xgeo, "XGEO", ng * nat * 3);
    release(s.log(), s.scanpoint, "SCANPOINT", ng);
    release(s.log(), s.scanend, "SCANEND", ng);
    release(s.log(), s.xyztmp, "XYZTMP", 3 * nat);
    release(s.log(), s.zmat, "ZMAT", 3 * nat);
    release(s.log(), s.chrg, "CHRG", nat);
    release(s.log(), s.atdescr, "ATDESCR", nat);
    release(s.log(), s.moldescr, "MOLDESCR", nat);
    release(s.log(), s.vibs, "vibs", nv);
    release(s.log(), s.fscanfreq, "frecalc", 2 * nv);
    release(s.log(), s.vibvec, "vibvec", 3 * nat * nv);
}
