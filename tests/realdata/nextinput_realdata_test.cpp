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

// How often a piece stands in a text.
int count(const std::string& text, std::string_view piece) {
    int n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
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

        // A record per geometry; divinylbenzene's ten C-C and ten C-H bonds in each, every
        // carbon's valence 4 and every hydrogen's 1.
        const std::string records = sdf.str();
        EXPECT_EQ(count(records, "\nM  END\n> <ENERGY_HARTREE>\n"), s.ngeom);
        EXPECT_EQ(count(records, "\n$$$$\n"), s.ngeom);
        if (s.nat == 20) {
            EXPECT_EQ(count(records, "\n 20 20  0"), s.ngeom);
            EXPECT_EQ(count(records, " C   0  0  0  0  0  4  0"), 10 * s.ngeom);
            EXPECT_EQ(count(records, " H   0  0  0  0  0  1  0"), 10 * s.ngeom);
        }
        const std::size_t energy = records.rfind("<ENERGY_HARTREE>\n");
        EXPECT_NEAR(std::stod(records.substr(energy + 17)), s.egeo(s.ngeom), 1e-10);

        // One frame per geometry, the last with its energy in eV.
        const std::string frames = extxyz.str();
        EXPECT_EQ(count(frames, "\nProperties=species:S:1:pos:R:3 energy="), s.ngeom);
        const std::size_t last = frames.rfind("energy=");
        EXPECT_NEAR(std::stod(frames.substr(last + 7)), s.egeo(s.ngeom) * ev_per_hartree, 1e-7);
    }
}

} // namespace
