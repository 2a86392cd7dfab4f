// Opens the output file, hands it to the writer of its type, then writes the geometries
// displaced along imaginary modes.
#include "control/control.h"
#include "control/detect.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/plot.h"
#include "writers/writers.h"

#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The vibration-weights file of the Molden writers.
std::vector<std::string> vibweightsfile(const Store& s) {
    if (s.nvib < 1) {
        return {};
    }
    return {sidefilename(s, vibweightssuffix)};
}

std::vector<std::string> modefiles(const Store& s, std::string_view suffix, bool window) {
    std::vector<std::string> files;
    for (const AnimationFiles::Mode& m : animationfiles(s, suffix, window).modes) {
        files.push_back(m.file);
    }
    return files;
}

// In the order the types are tried; each type appears once, and so does each extension.
constexpr std::array writers{
    WriterEntry{"ADFC", &writeadfc, "ADF single-point job script, Cartesian atoms", ".adfc"},
    WriterEntry{"ADFZ", &writeadfz, "ADF atoms block in Z-matrix form", ".adfz", nullptr, false,
                true},
    WriterEntry{"CONN", &writeconn, "connectivity list: each atom with its bond partners", ".conn"},
    WriterEntry{"AMV", &writeamv, "one multi-frame coordinate file per normal mode", ".amv",
                [](const Store& s) { return modefiles(s, ".amv", false); }},
    WriterEntry{"ANGS", &writeangs, "bare atom list with labels, Angstrom", ".angs"},
    WriterEntry{"BOHRS", &writebohrs, "bare atom list, Bohr", ".bohrs .bohr"},
    WriterEntry{"C3D", &writec3d, "Chem3D-style coordinate table with bonds", ".c3d"},
    WriterEntry{"DAT", &writedat, "MOPAC input, Cartesian coordinates", ".dat .mop"},
    WriterEntry{"DATZ", &writedatz, "MOPAC input, Z-matrix", ".datz", nullptr, false, true},
    WriterEntry{"EXTXYZ", &writeextxyz, "extended XYZ trajectory with each geometry's energy (eV)",
                ".extxyz"},
    WriterEntry{"FRQPDB", &writefrqpdb,
                "one multi-model PDB file per normal mode (FRQR or MXVIBS choose the modes)",
                ".frqpdb", [](const Store& s) { return modefiles(s, ".pdb", true); }},
    WriterEntry{"GJF", &writegjf, "Gaussian input: route, charge and multiplicity, atoms",
                ".gjf .com", &displacedinputfiles},
    WriterEntry{"MOLF", &writemolf, "Molden file: atoms, normal modes, geometry sequence in order",
                ".molf", &vibweightsfile},
    WriterEntry{"MOLDEN", &writemolden,
                "Molden file: atoms, normal modes, geometry sequence (IDOFTL sets the order)",
                ".molden", &vibweightsfile},
    WriterEntry{"MOVPDB", &writemovpdb, "multi-model PDB file of the geometry sequence", ".movpdb"},
    WriterEntry{"MOVXYZ", &writemovxyz, "XYZ trajectory of the geometry sequence", ".movxyz"},
    WriterEntry{"OPTH", &writeopth,
                "ADF optimisation job script, Z-matrix with only hydrogen variables free", ".opth",
                nullptr, false, true},
    WriterEntry{"ORCAIN", &writeorcain, "ORCA input: method line, charge and multiplicity, atoms",
                ".inp", &displacedinputfiles},
    WriterEntry{"PLOT", &writeplot,
                "SVG picture: energy profile of the geometry sequence, infrared spectrum", ".svg"},
    WriterEntry{"PDB", &writepdb, "PDB file: HETATM and CONECT records", ".pdb .ent"},
    WriterEntry{"QMMM", &writeqmmm, "ADF QM/MM job script, every atom in the MM region", ".qmmm"},
    WriterEntry{"REP", &writerep, "structure report: composition, bonds, angles, coordination",
                ".rep", nullptr, true},
    WriterEntry{"SDF", &writesdf,
                "SD file: a molfile with bonds and energy per geometry of the sequence",
                ".sdf .sd .mol"},
    WriterEntry{"XYZ", &writexyz, "XYZ file with the energy in the title", ".xyz"},
    WriterEntry{"ZMAT", &writezmat, "Z-matrix with variables, values grouped by kind", ".zmat",
                nullptr, false, true},
    WriterEntry{"ZMATSP", &writezmatsp, "Z-matrix with variables, values atom by atom", ".zmatsp",
                nullptr, false, true},
};

} // namespace

std::span<const WriterEntry> outputtypes() {
    return writers;
}

const WriterEntry* findoutputtype(std::string_view type) {
    const std::string_view name = trimright(type);
    for (const WriterEntry& w : writers) {
        if (w.type == name) {
            return &w;
        }
    }
    return nullptr;
}

void writefile(Store& s) {
    const WriterEntry* writer = findoutputtype(s.outputtype);
    // The output file, the writer's side files and the displaced geometries: nothing is written
    // when one of them is a file the run reads.
    refuseoverwrite(s, trimright(s.outputfile));
    if (writer != nullptr && writer->sidefiles != nullptr) {
        for (const std::string& file : writer->sidefiles(s)) {
            refuseoverwrite(s, file);
        }
    }
    for (const std::string& file : distortionfiles(s)) {
        refuseoverwrite(s, file);
    }
    OutputFile out;
    if (!out.open(s.path(s.outputfile))) {
        myexit("Error opening outputfile", "writefile");
    }
    if (writer == nullptr) {
        const std::string type = padright(s.outputtype, 6);
        s.err() << "kru: note: " << unknowntypehint(s.outputtype, TypeKind::output) << '\n';
        s.log() << "OutputType " << type << " not yet implemented. Sorry. Contact " << maintainer
                << '\n';
        myexit("OutputType " + type + "not yet implemented", "writefile");
    }
    try {
        writer->write(s, out);
    } catch (RunError& e) {
        e.file = s.outputfile;
        throw;
    }
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
