// The writers for the next calculation and for scripting tools on a real output of every
// program: the charge, multiplicity and method line each run prints, divinylbenzene's bonds
// with the valences of C10H10 in every SD record, and an extended XYZ frame per geometry.
#include "control/files.h"
#include "realoutput.h"
#include "writers/writers.h"

namespace {

using namespace realoutput;

struct Source {
    const char* type;
    const char* file;
    bool prints;        // the output states charge and multiplicity (0 and 1 for all of these)
    const char* method; // the method line for the same program's input; empty: the default
};

constexpr Source sources[] = {
    {"ORCA", "ORCA/dvb_ir.out", true, "! rks b3lyp sto-3g usesym freq"},
    {"ORCA", "ORCA/dvb_gopt.out", true, "! rks b3lyp sto-3g usesym opt"},
    {"GAUSS", "Gaussian/dvb_ir.out", true, "#p b3lyp/sto-3g freq=hpmodes"},
    {"GAUSS", "Gaussian/water_mp2.log", true, "#P MP2/STO-3G Density Pop=(Full,NaturalOrbitals)"},
    {"PSI4", "Psi4/dvb_ir_rks.out", true, ""},
    {"QCHEM", "QChem/dvb_gopt.out", true, ""},
    {"NWCHEM", "NWChem/dvb_gopt_ks.out", true, ""},
    {"NWCHEM", "NWChem/dvb_gopt_hf.out", false, ""}, // the HF module prints no multiplicity
    {"ADFOUT", "ADF/dvb_gopt.adfout", false, ""},
    {"CFOUR", "CFOUR/dvb_ir.c4", false, ""},
    {"MOPOUT", "MOPAC/dvb_gopt.out", false, ""},
    {"MOVXYZ", "XYZ/xtb_dvb_opt.xyz", false, ""},
};

// The V2000 records of an SD file: per record its counts and each atom's symbol and valence.
struct Record {
    int atoms = 0, bonds = 0;
    std::vector<std::pair<std::string, int>> valences;
    std::string energy;
};
std::vector<Record> records(const std::string& text) {
    std::vector<Record> got;
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    for (std::size_t i = 0; i + 3 < lines.size();) {
        Record r;
        r.atoms = std::stoi(lines[i + 3].substr(0, 3));
        r.bonds = std::stoi(lines[i + 3].substr(3, 3));
        for (int a = 0; a < r.atoms; ++a) {
            const std::string& atom = lines[i + 4 + std::size_t(a)];
            r.valences.emplace_back(std::string(trimright(atom.substr(31, 3))),
                                    std::stoi(atom.substr(48, 3)));
        }
        i += 4 + std::size_t(r.atoms + r.bonds);
        EXPECT_EQ(lines[i], "M  END");
        EXPECT_EQ(lines[i + 1], "> <ENERGY_HARTREE>");
        r.energy = lines[i + 2];
        EXPECT_EQ(lines[i + 4], "$$$$");
        i += 5;
        got.push_back(r);
    }
    return got;
}

TEST(NextinputRealdata, EveryProgramsRunGivesTheNewFiles) {
    for (const Source& src : sources) {
        if (!present(src.file)) {
            GTEST_SKIP() << "real outputs not found at " << path("");
        }
        SCOPED_TRACE(src.file);
        RealRun r = readreal(src.type, src.file);
        ASSERT_EQ(r.message, "") << r.out;
        Store& s = r.s;
        std::ostringstream notes;
        s.context.err = &notes;
        EXPECT_EQ(s.runmult, src.prints ? 1 : 0);
        EXPECT_EQ(s.runcharge, 0);

        const bool orca = std::string_view(src.type) == "ORCA";
        const bool gaussian = std::string_view(src.type) == "GAUSS";
        EXPECT_EQ(nextinput(s, NextProgram::orca, false).method,
                  orca ? src.method : "! r2SCAN-3c Opt");
        EXPECT_EQ(nextinput(s, NextProgram::gaussian, false).method,
                  gaussian ? src.method : "#p B3LYP/6-31G(d) Opt");

        OutputFile orcain, gjf, sdf, extxyz;
        writeorcain(s, orcain);
        writegjf(s, gjf);
        writesdf(s, sdf);
        writeextxyz(s, extxyz);
        // "* xyz 0 1", the atoms, "*"; the Gaussian input ends in its blank line.
        EXPECT_NE(orcain.str().find("\n* xyz 0 1\n"), std::string::npos);
        EXPECT_TRUE(orcain.str().ends_with("\n*\n"));
        EXPECT_NE(gjf.str().find("\n\n0 1\n"), std::string::npos);
        EXPECT_TRUE(gjf.str().ends_with("\n\n"));

        const std::vector<Record> recs = records(sdf.str());
        ASSERT_EQ(int(recs.size()), s.ngeom);
        const bool dvb = s.nat == 20;
        for (const Record& rec : recs) {
            EXPECT_EQ(rec.atoms, s.nat);
            // Divinylbenzene: ten C-C and ten C-H bonds, every carbon at 4 and hydrogen at 1.
            if (dvb) {
                EXPECT_EQ(rec.bonds, 20);
                for (const auto& [symbol, valence] : rec.valences) {
                    EXPECT_EQ(valence, symbol == "C" ? 4 : 1) << symbol;
                }
            }
        }
        EXPECT_NEAR(std::stod(recs.back().energy), s.egeo(s.ngeom), 1e-10);

        // One frame per geometry, the last with its energy in eV.
        const std::string text = extxyz.str();
        std::size_t frames = 0;
        for (std::size_t at = text.find("Properties="); at != std::string::npos;
             at = text.find("Properties=", at + 1)) {
            ++frames;
        }
        EXPECT_EQ(int(frames), s.ngeom);
        const std::size_t last = text.rfind("energy=");
        EXPECT_NEAR(std::stod(text.substr(last + 7)), s.egeo(s.ngeom) * ev_per_hartree, 1e-7);
    }
}

} // namespace
