// The programs whose real outputs the suite reads.
#include "realdata.h"

#include <array>

namespace {

constexpr std::array table{
    Program{"ADF", "ADFOUT", ".adfout"},  Program{"CFOUR", "CFOUR", ".c4"},
    Program{"Gaussian", "GAUSS", ".out"}, Program{"Gaussian", "GAUSS", ".log"},
    Program{"MOPAC", "MOPOUT", ".out"},   Program{"MOPAC", "ARC", ".arc"},
    Program{"NWChem", "NWCHEM", ".out"},  Program{"ORCA", "ORCA", ".out"},
    Program{"Psi4", "PSI4", ".out"},
};

} // namespace

std::span<const Program> programs() {
    return table;
}
