// Opens the output file, hands it to the writer of its type, then writes the geometries
// displaced along imaginary modes.
#include "control/control.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

// In the order the types are tried; each type appears once.
constexpr std::array writers{
    WriterEntry{"ADFC", &writeadfc, "ADF single-point job script, Cartesian atoms"},
    WriterEntry{"ADFZ", &writeadfz, "ADF atoms block in Z-matrix form"},
    WriterEntry{"CONN", &writeconn, "connectivity list: each atom with its bond partners"},
    WriterEntry{"AMV", &writeamv, "one multi-frame coordinate file per normal mode"},
    WriterEntry{"ANGS", &writeangs, "bare atom list with labels, Angstrom"},
    WriterEntry{"BOHRS", &writebohrs, "bare atom list, Bohr"},
    WriterEntry{"C3D", &writec3d, "Chem3D-style coordinate table with bonds"},
    WriterEntry{"DAT", &writedat, "MOPAC input, Cartesian coordinates"},
    WriterEntry{"DATZ", &writedatz, "MOPAC input, Z-matrix"},
    WriterEntry{"FRQPDB", &writefrqpdb,
                "one multi-model PDB file per normal mode (FRQR or MXVIBS choose the modes)"},
    WriterEntry{"MOLF", &writemolf, "Molden file: atoms, normal modes, geometry sequence in order"},
    WriterEntry{"MOLDEN", &writemolden,
                "Molden file: atoms, normal modes, geometry sequence (IDOFTL sets the order)"},
    WriterEntry{"MOVPDB", &writemovpdb, "multi-model PDB file of the geometry sequence"},
    WriterEntry{"MOVXYZ", &writemovxyz, "XYZ trajectory of the geometry sequence"},
    WriterEntry{"OPTH", &writeopth,
                "ADF optimisation job script, Z-matrix with only hydrogen variables free"},
    WriterEntry{"PDB", &writepdb, "PDB file: HETATM and CONECT records"},
    WriterEntry{"QMMM", &writeqmmm, "ADF QM/MM job script, every atom in the MM region"},
    WriterEntry{"REP", &writerep, "structure report: composition, bonds, angles, coordination",
                true},
    WriterEntry{"XYZ", &writexyz, "XYZ file with the energy in the title"},
    WriterEntry{"ZMAT", &writezmat, "Z-matrix with variables, values grouped by kind"},
    WriterEntry{"ZMATSP", &writezmatsp, "Z-matrix with variables, values atom by atom"},
};

// The output file and the side files its writer will write.
std::vector<std::string> writtenfiles(const Store& s) {
    std::vector<std::string> files{s.outputfile};
    const std::string_view type = s.outputtype;
    if ((type == "MOLDEN" || type == "MOLF") && s.nvib > 0) {
        files.push_back(sidefilename(s, vibweightssuffix));
    }
    if (type == "FRQPDB" || type == "AMV") {
        const bool pdb = type == "FRQPDB";
        for (const AnimationFiles::Mode& m : animationfiles(s, pdb ? ".pdb" : ".amv", pdb).modes) {
            files.push_back(m.file);
        }
    }
    // The distortion writer runs after the output is written; its files are checked here too,
    // so that a clash stops the run before anything is written.
    long long nimag = 0;
    for (int k = 1; k <= s.nvib; ++k) {
        nimag += s.vibs(k) < 0.0 ? 1 : 0;
    }
    if (nimag > 0) {
        files.push_back(sidefilename(s, "-fwd.angs"));
        files.push_back(sidefilename(s, "-rev.angs"));
    }
    if (nimag > 1 || (nimag > 0 && s.idtsrc != 0)) {
        files.push_back(sidefilename(s, "-fwdTS.angs"));
        files.push_back(sidefilename(s, "-revTS.angs"));
    }
    return files;
}

} // namespace

std::span<const WriterEntry> outputtypes() {
    return writers;
}

void writefile(Store& s) {
    for (const std::string& file : writtenfiles(s)) {
        refuseoverwrite(s, file);
    }
    OutputFile out;
    if (!out.open(s.path(s.outputfile))) {
        myexit("Error opening outputfile", "writefile");
    }
    const WriterEntry* writer = nullptr;
    for (const WriterEntry& w : outputtypes()) {
        if (w.type == s.outputtype) {
            writer = &w;
        }
    }
    if (writer == nullptr) {
        const std::string type = padright(s.outputtype, 6);
        s.log() << "OutputType " << type << " not yet implemented. Sorry. Contact " << maintainer
                << '\n';
        myexit("OutputType " + type + "not yet implemented", "writefile");
    }
    writer->write(s, out);
    if (!out.close()) {
        myexit("Error writing outputfile", "writefile");
    }
    writedistort(s);
}

namespace {

// Both names as the run opens them, under its base folder.
bool samefile(const Store& s, std::string_view a, std::string_view b) {
    std::error_code ec;
    return !a.empty() && !b.empty() &&
           std::filesystem::equivalent(std::filesystem::path(s.path(a)),
                                       std::filesystem::path(s.path(b)), ec);
}

} // namespace

// Writing over a file the run reads would destroy the user's data.
void refuseoverwrite(const Store& s, std::string_view file) {
    if (samefile(s, file, s.inputfile) || (s.inporder && samefile(s, file, s.inporderfile)) ||
        (s.newkmatrix && samefile(s, file, s.kmatrixfile)) ||
        (s.lisotp && samefile(s, file, s.isotpfile))) {
        myexit("Output file would overwrite an input file", "writefile");
    }
}
