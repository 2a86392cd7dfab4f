#include "control/control.h"
#include "store/store.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Store modes(const std::vector<double>& freqs) {
    Store s;
    s.nat = 1;
    s.nvib = int(freqs.size());
    allocstuff(s);
    for (int i = 1; i <= s.nvib; ++i) {
        s.vibs(i) = freqs[std::size_t(i - 1)];
    }
    return s;
}

TEST(Animationfiles, BaseNameDropsTheSuffixOnlyAtTheEnd) {
    struct Case {
        const char* output;
        const char* suffix;
        const char* base;
    };
    const Case cases[] = {
        {"mol.pdb", ".pdb", "mol_frq"},
        {"mol.out", ".pdb", "mol.out_frq"},
        {"run.txt", ".pdb", "run.txt_frq"},
        {"a.pdb.pdb", ".pdb", "a.pdb_frq"}, // only the suffix followed by a blank counts
        {"mol.pdbx", ".pdb", "mol.pdbx_frq"},
        {"mol.PDB", ".pdb", "mol.PDB_frq"},
        {"mol.pdb", ".amv", "mol.pdb_frq"},
        {"dir/mol.amv", ".amv", "dir/mol_frq"},
    };
    for (const Case& c : cases) {
        Store s = modes({100.0});
        s.outputfile = c.output;
        EXPECT_EQ(animationfiles(s, c.suffix, true).base, c.base) << c.output;
    }
    // A name that fills all 100 characters has no blank after its suffix.
    Store s = modes({100.0});
    s.outputfile = std::string(96, 'x') + ".pdb";
    EXPECT_EQ(animationfiles(s, ".pdb", true).base, s.outputfile + "_frq");
}

TEST(Animationfiles, ModesFromTheWindowOrTheFirstMxvibs) {
    struct Case {
        bool window;
        double rmin, rmax;
        long long mxvibs;
        std::vector<int> modes;
    };
    const Case cases[] = {
        {true, 1000.0, 2000.0, 3, {3}}, // both bounds strict
        {true, 999.99, 2000.01, 3, {2, 3, 4}},
        {true, -100.0, 0.0, 3, {1}},
        {true, 3000.0, 4000.0, 3, {}},
        {true, 1.0, 0.0, 3, {1, 2, 3}}, // the window is off by default
        {true, 1500.0, 1500.0, 2, {1, 2}},
        {false, 1000.0, 2000.0, 2, {1, 2}}, // AMV ignores the window
        {false, 1.0, 0.0, 9, {1, 2, 3, 4, 5}},
        {false, 1.0, 0.0, 0, {}},
        {false, 1.0, 0.0, -2, {}},
    };
    for (const Case& c : cases) {
        Store s = modes({-50.0, 1000.0, 1500.0, 2000.0, 2500.0});
        s.rminfrq = c.rmin;
        s.rmaxfrq = c.rmax;
        s.mxvibs = c.mxvibs;
        std::vector<int> got;
        for (const AnimationFiles::Mode& m : animationfiles(s, ".pdb", c.window).modes) {
            got.push_back(m.mode);
        }
        EXPECT_EQ(got, c.modes) << c.window << ' ' << c.rmin << ' ' << c.rmax << ' ' << c.mxvibs;
    }
}

TEST(Animationfiles, FileNamesCarryModeAndFrequency) {
    Store s = modes({-50.0, -0.001, 3.0, 99999.995, 1.0, 1.0, 1234.567, 1.0, 1.0, 1.0, 1.0, 7.5});
    s.outputfile = "mol.pdb";
    s.mxvibs = 12;
    std::vector<std::string> names;
    for (const AnimationFiles::Mode& m : animationfiles(s, ".pdb", true).modes) {
        names.push_back(m.file);
    }
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names[0], "mol_frq1_-50.00.pdb");
    EXPECT_EQ(names[1], "mol_frq2_-0.00.pdb"); // the sign of a value that rounds to zero stays
    EXPECT_EQ(names[2], "mol_frq3_3.00.pdb");
    EXPECT_EQ(names[3], "mol_frq4_99999.99.pdb"); // rounded from the binary value just below
    EXPECT_EQ(names[6], "mol_frq7_1234.57.pdb");
    EXPECT_EQ(names[11], "mol_frq12_7.50.pdb");
}

} // namespace
