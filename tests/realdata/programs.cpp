// The programs whose real outputs the suite reads.
#include "realdata.h"

#include <array>

namespace {

constexpr std::array table{
    Program{"ADF", "ADFOUT", ".adfout"},  // ADF 2013
    Program{"CFOUR", "CFOUR", ".c4"},     // CFOUR 2.1
    Program{"Gaussian", "GAUSS", ".out"}, // Gaussian 16, and xtb's Gaussian-98-style file
    Program{"Gaussian", "GAUSS", ".log"}, // Gaussian 16
    Program{"MOPAC", "MOPOUT", ".out"},   // MOPAC2016
    Program{"MOPAC", "ARC", ".arc"},      // the same run's archive
    Program{"NWChem", "NWCHEM", ".out"},  // NWChem 7.0
    Program{"ORCA", "ORCA", ".out"},      // ORCA 5.0, 6.0
    Program{"Psi4", "PSI4", ".out"},      // Psi4 1.3.1, 1.7
    Program{"QChem", "QCHEM", ".out"},    // Q-Chem 5.4
    Program{"XYZ", "MOVXYZ", ".xyz"},     // an xtb optimisation log
};

constexpr std::array differences{
    CountDifference{"ADF/dvb_gopt.adfout",
                    "the reference lists the start geometry twice (atom table and first cycle)"},
    CountDifference{"ADF/dvb_ir.adfout",
                    "the reference lists every displaced point of the numerical frequencies"},
    CountDifference{"Gaussian/dvb_gopt.out", "the converged geometry printed once more is kept"},
    CountDifference{"Gaussian/dvb_scan_relaxed.log",
                    "the converged geometry printed after the scan is kept"},
    CountDifference{"MOPAC/dvb_gopt.out", "the input table is a geometry too"},
    CountDifference{"MOPAC/h2o-force.out", "the input table and the FORCE orientation"},
};

} // namespace

std::span<const Program> programs() {
    return table;
}

std::span<const CountDifference> countdifferences() {
    return differences;
}
