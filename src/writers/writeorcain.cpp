// ORCA input of the final structure: the method line(s), "* xyz CHARGE MULT", the atoms in
// Angstrom in output order, and "*".
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writeorcainput(const Store& s, OutputFile& out, const NextInput& next,
                    const Table2<double>& bohr) {
    // Lines of ORCA's "!" echo come one per line.
    std::string_view method = next.method;
    while (!method.empty()) {
        const std::size_t end = method.find('\n');
        out.line(method.substr(0, end));
        method.remove_prefix(end == std::string_view::npos ? method.size() : end + 1);
    }
    out.line("");
    out.line("* xyz " + std::to_string(next.charge) + " " + std::to_string(next.mult));
    writeinputatoms(s, out, bohr);
    out.line("*");
}

void writeorcain(Store& s, OutputFile& out) {
    writeorcainput(s, out, nextinput(s, NextProgram::orca, true), s.xyz);
}
