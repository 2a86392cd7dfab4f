// Gaussian input of the final structure: the checkpoint file named after the input file, the
// route, the title, charge and multiplicity, the atoms in Angstrom in output order, and the
// blank line that ends the molecule.
#include "control/control.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

#include <filesystem>

void writegaussianinput(const Store& s, OutputFile& out, const NextInput& next,
                        const Table2<double>& bohr, std::string_view file) {
    out.line("%chk=" + std::filesystem::path(file).stem().string() + ".chk");
    out.line(next.method);
    out.line("");
    // Gaussian reserves some characters in the title ("-", "_", "@", "#", ...); this one has none.
    out.line("Structure converted by KRU");
    out.line("");
    out.line(std::to_string(next.charge) + " " + std::to_string(next.mult));
    writeinputatoms(s, out, bohr);
    out.line("");
}

void writegjf(Store& s, OutputFile& out) {
    writegaussianinput(s, out, nextinput(s, NextProgram::gaussian, true), s.xyz, s.outputfile);
}
