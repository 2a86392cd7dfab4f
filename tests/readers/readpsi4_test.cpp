#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double bohr = 0.5291772484779358;

Read run(std::string text, long long idgeo = -1) {
    Read r;
    r.s.idgeo = idgeo;
    readinto(r, &readpsi4, std::move(text));
    return r;
}

const std::string header =
    "       Center              X                  Y                   Z      "
    "         Mass       \n"
    "    ------------   -----------------  -----------------  ---------\n";
const std::string inbohr = "    Geometry (in Bohr), charge = 0, multiplicity = 1:\n\n";

// A table of two atoms at the origin and at distance d on z, in the length unit of its values.
std::string table(const std::string& a, const std::string& b, double d) {
    return header + "  " + a + "  0.0 0.0 0.0  15.99\n  " + b + "  0.0 0.0 " + std::to_string(d) +
           "  1.008\n\n";
}

TEST(Readpsi4, TableBeforeAnyUnitsLineIsInAngstrom) {
    const double d = 0.96;
    // Also when the last units line of the file is Bohr.
    const Read single = run(table("O", "H", d) + inbohr);
    ASSERT_EQ(single.message, "") << single.out;
    EXPECT_EQ(single.s.ngeom, 1);
    EXPECT_DOUBLE_EQ(single.s.xyz(3, 2), d / bohr);
    const Read first = run(inbohr + table("O", "H", 2.0));
    EXPECT_DOUBLE_EQ(first.s.xyz(3, 2), 2.0);
}

TEST(Readpsi4, GradientTableSkipped) {
    const std::string grad = "                 SCF GRAD\n";
    // A gradient before the first table: that table is skipped and the next one defines the
    // atoms and is the first geometry.
    const Read late =
        run(grad + table("O", "H", 7.0) + table("O", "H", 1.0) + table("O", "H", 1.2));
    ASSERT_EQ(late.message, "") << late.out;
    ASSERT_EQ(late.s.ngeom, 2);
    EXPECT_DOUBLE_EQ(late.s.xgeo(3, 2, 1), 1.0 / bohr);
    EXPECT_DOUBLE_EQ(late.s.xyz(3, 2), 1.2 / bohr);
}

TEST(Readpsi4, Labels) {
    const std::string text = header + "  J.N 0.0 0.0 0.0\n  GH.C 1.0 0.0 0.0\n  C.1 0.0 1.0 0.0\n"
                                      "  cl 0.0 0.0 1.0\n  Gh.He 1.0 1.0 1.0\n\n";
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 5);
    const int iat[] = {7, 6, 6, 17, 2};
    const int idesp[] = {1, 2, 0, 0, 2};
    for (int a = 1; a <= 5; ++a) {
        EXPECT_EQ(r.s.iat(a), iat[a - 1]) << a;
        EXPECT_EQ(r.s.idesp(a), idesp[a - 1]) << a;
    }
    EXPECT_EQ(r.s.inpcoor, 1);
}

const std::string freqheader = "  Index   Frequency (cm-1)   Intensity (km/mol)\n"
                               "  ---------------------------------------------\n";

std::string mode(int m, const std::string& lines) {
    return "   Mode " + std::to_string(m) + "   Frequency (cm-1):  1000.0\n" +
           "    Atom      ---- Displacements (x/y/z) ----\n" + lines;
}

TEST(Readpsi4, FrequenciesAndModes) {
    // The first table lists more modes than the last one, which gives the count: its mode 3 is
    // passed over. Lines after the zero-point energy are not modes.
    const std::string text = table("O", "H", 1.0) + freqheader +
                             "   1   100.5   1.5\n   2   200.5   2.5\n   3   300.5   3.5\n\n" +
                             freqheader + "   1   110.5   11.5\n   2   220.5   22.5\n" +
                             "   Zero-point energy   0.01\n   3   999.0   9.0\n" +
                             mode(2, "  1 O  0.1 0.2 0.3\n  2 H  -0.4 -0.5 -0.6\n") +
                             mode(1, "  1 O  1.0 0.0 0.0\n");
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 2);
    EXPECT_EQ(r.s.vibs(1), 110.5);
    EXPECT_EQ(r.s.vibs(2), 220.5);
    EXPECT_EQ(r.s.frqintns(1), 11.5);
    EXPECT_EQ(r.s.frqintns(2), 22.5);
    EXPECT_EQ(r.s.vibvec(1, 1, 2), 0.1);
    EXPECT_EQ(r.s.vibvec(3, 2, 2), -0.6);
    // The file ends inside the last displacement table: the atoms read so far keep theirs.
    EXPECT_EQ(r.s.vibvec(1, 1, 1), 1.0);
    EXPECT_EQ(r.s.vibvec(1, 2, 1), 0.0);

    // A frequency table left open at the end of the file does not reach into its first lines.
    const Read open =
        run("  1   5.0   6.0\n" + table("O", "H", 1.0) + freqheader + "   2   200.5   2.5\n");
    ASSERT_EQ(open.message, "") << open.out;
    ASSERT_EQ(open.s.nvib, 2);
    EXPECT_EQ(open.s.vibs(1), 0.0);
    EXPECT_EQ(open.s.vibs(2), 200.5);
}

// A group of the harmonic analysis: the numbers, the frequency row, maybe the intensity row,
// the rule and one row of x y z per mode for each atom.
std::string group(const std::string& numbers, const std::string& freqs, const std::string& irs,
                  const std::vector<std::string>& rows) {
    std::string text =
        "  Vibration   " + numbers + "\n  Freq [cm^-1]   " + freqs + "\n  Irrep   A1  A1  B2\n";
    if (!irs.empty()) {
        text += "  IR activ [km/mol]   " + irs + "\n";
    }
    text += "  Char temp [K]   1.0  2.0  3.0\n  -------------------------------\n";
    for (std::size_t a = 0; a < rows.size(); ++a) {
        text += "   " + std::to_string(a + 1) + "   X   " + rows[a] + "\n";
    }
    return text + "\n";
}

const std::string harmonic = "  ==> Harmonic Vibrational Analysis <==\n\n";

TEST(Readpsi4, HarmonicAnalysis) {
    // Translations and rotations listed among the modes are dropped, nearest 0 cm-1 first,
    // down to 3N-6; an imaginary frequency ("i") is negative and is kept.
    const std::string bent = header + "  O 0.0 0.0 0.0\n  H 0.0 0.8 0.6\n  H 0.0 -0.8 0.6\n\n";
    const std::string zeros = "0.00 0.00 0.00  0.00 0.00 0.00  0.00 0.00 0.00";
    const std::string text = bent + harmonic +
                             group("1 2 3", "0.0000i 0.0000 12.5000i", "", {zeros, zeros, zeros}) +
                             group("4 5 6", "0.0001 1234.5678i 3.0000", "", {zeros, zeros, zeros}) +
                             group("7 8 9", "3800.1000 3900.2000 0.0002i", "",
                                   {"0.01 0.02 0.03  0.04 0.05 0.06  0.00 0.00 0.00",
                                    "0.11 0.12 0.13  0.14 0.15 0.16  0.00 0.00 0.00",
                                    "0.21 0.22 0.23  0.24 0.25 0.26  0.00 0.00 0.00"});
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), -1234.5678);
    EXPECT_EQ(r.s.vibs(2), 3800.1);
    EXPECT_EQ(r.s.vibs(3), 3900.2);
    EXPECT_EQ(r.s.vibvec(1, 1, 2), 0.01);
    EXPECT_EQ(r.s.vibvec(3, 3, 3), 0.26);
    EXPECT_EQ(r.s.frqintns(2), 0.0);

    // A linear molecule keeps 3N-5; intensities where printed; the last block is the one read.
    const std::string line = header + "  O 0.0 0.0 -1.1\n  C 0.0 0.0 0.0\n  O 0.0 0.0 1.1\n\n";
    const std::string linear =
        line + harmonic + group("1", "999.0", "", {"1.0 0 0"}) + harmonic +
        group("1 2 3", "0.0000 0.0000i 0.0000", "0.1 0.2 0.3", {zeros, zeros, zeros}) +
        group("4 5 6", "0.0000 640.5 640.5", "0.4 30.5 30.6", {zeros, zeros, zeros}) +
        group("7 8 9", "1380.2 2450.7 0.0001", "0.0 700.1 0.9", {zeros, zeros, zeros});
    const Read l = run(linear);
    ASSERT_EQ(l.message, "") << l.out;
    ASSERT_EQ(l.s.nvib, 4);
    EXPECT_EQ(l.s.vibs(1), 640.5);
    EXPECT_EQ(l.s.vibs(4), 2450.7);
    EXPECT_EQ(l.s.frqintns(2), 30.6);
    EXPECT_EQ(l.s.frqintns(4), 700.1);

    // A group cut off before its frequencies adds no modes.
    const std::string cut = bent + harmonic +
                            group("1 2 3", "1600.0 3700.0 3800.0", "", {zeros, zeros, zeros}) +
                            "  Vibration   4 5 6\n  Irrep   A1\n";
    const Read c = run(cut);
    ASSERT_EQ(c.message, "") << c.out;
    EXPECT_EQ(c.s.nvib, 3);

    // A mode number beyond 3N is refused before any table is sized.
    const Read huge = run(table("O", "H", 1.0) + harmonic +
                          group("184449", "1.0", "", {"0.0 0.0 0.0", "0.0 0.0 0.0"}));
    EXPECT_EQ(huge.message, "Mode count 184449 is more than the 6 modes of 2 atoms");
    EXPECT_EQ(huge.routine, "readpsi4");
}

// A step of a run: the table, then the energies its modules print.
std::string step(double d, const std::string& energies) {
    return table("O", "H", d) + energies;
}
std::string scf(const std::string& e) {
    return "    Total Energy =                        " + e + "\n";
}

TEST(Readpsi4, EnergyOfEachGeometry) {
    // SCF: the first energy after a table; later ones before the next table only become the
    // run's energy; a table without one takes the run's last energy.
    const Read r = run(step(1.0, scf("-76.01") + scf("-76.02")) + step(1.1, scf("-76.03")) +
                       step(1.2, "") + "*** Psi4 exiting successfully.\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.egeo(1), -76.01);
    EXPECT_EQ(r.s.egeo(2), -76.03);
    EXPECT_EQ(r.s.egeo(3), -76.03);
    EXPECT_EQ(r.s.energy, -76.03);

    // Correlated methods: the method's total, whichever module prints it; spin-scaled totals
    // and the lower methods printed on the way are not the method's.
    using Energies = std::string (*)(const std::string&);
    const Energies cc = [](const std::string& e) -> std::string {
        return "      * MP2 total energy                      =  -76.2\n"
               "      * CCSD total energy                     =  -76.3\n"
               "      * CCSD(T) total energy                  =  " +
               e + "\n";
    };
    const Energies fno = [](const std::string& e) -> std::string {
        return "      * MP2 total energy:               -76.2\n"
               "      * CCSD(T) total energy:          " +
               e + "\n";
    };
    const Energies occ = [](const std::string& e) -> std::string {
        return "\tSCS-MP2 Total Energy (a.u.)        :   -76.9\n"
               "\tMP2 Total Energy (a.u.)            :   " +
               e + "\n\tSOS-MP2 Total Energy (a.u.)        :   -76.8\n";
    };
    const Energies dfmp2 = [](const std::string& e) -> std::string {
        return "\t Total Energy              =    " + e +
               " [Eh]\n\t SCS Total Energy          =    -76.9 [Eh]\n";
    };
    const std::pair<const char*, Energies> layouts[] = {
        {"cc", cc}, {"fno", fno}, {"occ", occ}, {"dfmp2", dfmp2}};
    for (const auto& [name, energies] : layouts) {
        const Read m =
            run(step(1.0, scf("-76.01") + energies("-76.41")) +
                step(1.1, scf("-76.02") + energies("-76.42")) + step(1.2, scf("-76.03")));
        ASSERT_EQ(m.message, "") << name << m.out;
        ASSERT_EQ(m.s.ngeom, 3) << name;
        EXPECT_EQ(m.s.egeo(1), -76.41) << name;
        EXPECT_EQ(m.s.egeo(2), -76.42) << name;
        EXPECT_EQ(m.s.egeo(3), -76.42) << name;
        EXPECT_EQ(m.s.energy, -76.42) << name;
    }
}

TEST(Readpsi4, FiniteDifferencePoints) {
    const std::string findif =
        "  Using finite-differences of gradients to determine vibrational frequencies and\n";
    const std::string points = step(1.01, scf("-76.11")) + step(0.99, scf("-76.12"));
    // The header before or after the reference table; the displaced points up to the harmonic
    // analysis are neither geometries nor energies; optimisation steps before them stay.
    for (const std::string& text :
         {findif + step(1.0, scf("-76.10")) + points + harmonic,
          step(1.0, scf("-76.10")) + findif + points + harmonic,
          step(1.3, scf("-76.00")) + step(1.0, scf("-76.10")) + findif + points + harmonic}) {
        const Read r = run(text);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.xyz(3, 2), 1.0 / bohr) << text;
        EXPECT_EQ(r.s.egeo(r.s.ngeom), -76.10) << text;
        EXPECT_EQ(r.s.energy, -76.10) << text;
    }
    // After the harmonic analysis tables are geometries again.
    const Read after =
        run(findif + step(1.0, scf("-76.10")) + points + harmonic + step(1.2, scf("-76.20")));
    ASSERT_EQ(after.s.ngeom, 2);
    EXPECT_EQ(after.s.energy, -76.20);
}

TEST(Readpsi4, PrematureEnds) {
    const std::string xyz = "premature end of Psi4 output file while reading XYZ\n";
    // Each pass meets the end inside the first table; the atoms read so far stay.
    Read r = run(header + "  O 0.0 0.0 0.0\n  H 0.0 0.0 1.0");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, xyz + xyz);
    EXPECT_EQ(r.s.nat, 2);

    r = run(table("O", "H", 1.0) + table("O", "H", 1.1) + header + "  O 0.0 0.0 0.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "premature end of Psi4 output file while reading Geom.Upd. Continuing...\n");
    EXPECT_EQ(r.s.ngeom, 2);

    r = run(header.substr(0, header.find('\n') + 1));
    EXPECT_EQ(r.out, xyz);
    EXPECT_EQ(r.message, "premature end of Psi4 output");
    EXPECT_EQ(r.routine, "readpsi4");
}

TEST(Readpsi4, Failures) {
    const std::string bad = "  Q1  0.0 0.0 0.0";
    struct Case {
        std::string text, out, message, routine;
    };
    const Case cases[] = {
        {"no table here\n", "NAT is 0 (zerooooo!!!) stopping now ...\n", "No ATOMS found",
         "readpsi4"},
        {header + bad + "\n\n",
         "2Unable to extract ATOMlabel from next line (tried with Q1)\n" + record(bad) + "\n",
         "Unable to find ATOMlabel", "readpsi4->xyz"},
        {table("O", "H", 1.0) + "  Atom      ---- Displacements (x/y/z) ----\n", "",
         "IDMODE cannot be 0", "readpsi4"},
        {table("O", "H", 1.0) + freqheader + "  1  100.0  1.0\n\n" + mode(2, "  1 O 0.0 0.0 1.0\n"),
         "", "Mode number outside the counted modes", "readpsi4"},
        // A table shorter than the atoms swallows the gradient line in the storing pass only, so
        // the table after it would be one geometry more than counted.
        {table("O", "H", 1.0) + header + "  O 0.0 0.0 0.0\n SCF GRAD\n" + table("O", "H", 1.1), "",
         "More geometries than counted", "readpsi4"},
        // A line with both markers counts as a units line but stores as a gradient line, so the
        // only table is skipped when storing.
        {"SCF GRAD Geometry (in Bohr)\n" + table("O", "H", 1.0), "", "No atoms found", "readpsi4"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, c.routine) << c.text;
    }
}

} // namespace
