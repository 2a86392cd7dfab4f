#include "readers/readers.h"
#include "store/store.h"
#include "testfiles.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;
constexpr double ev = 27.211386024367243;

Read run(std::string text, long long idgeo = -1) {
    Read r;
    r.s.idgeo = idgeo;
    readinto(r, &readmovxyz, std::move(text));
    return r;
}

std::string frame(const std::string& comment, double z, const std::string& last = "H") {
    return "3\n" + comment + "\nO 0.0 0.0 " + std::to_string(z) + "\nH 0.0 0.7572 -0.4692\n" +
           last + " 0.0 -0.7572 -0.4692\n";
}

TEST(Commentenergy, XtbAndExtendedXyzComments) {
    const std::string lattice = "Lattice=\"10.000000000000002 0.0 0.0 0.0 10.000000000000002 0.0 "
                                "0.0 0.0 10.000000000000002\" Properties=species:S:1:pos:R:3 ";
    const struct {
        std::string line;
        bool found;
        double hartree;
    } cases[] = {
        {" energy: -26.425939359008 gnorm: 0.088050967149 xtb: 6.6.1 (8d0f1dd)", true,
         -26.425939359008},
        {lattice + "free_energy=-5.0 energy=-27.211386024367243 pbc=\"T T T\"", true, -1.0},
        {"energy = -2.7211386024367243e+01", true, -1.0},
        {"energy=\"-27.211386024367243\"", true, -1.0},
        {"note=\"a \\\"quoted\\\" energy=5.0\" energy=-54.422772048734486", true, -2.0},
        {"energy=+54.422772048734486", true, 2.0},
        {lattice + "free_energy=-5.0 pbc=\"T T T\"", false, 0.0},
        {" XYZ file written by KRU", false, 0.0},
        {"energy=nan energy: inf energy= energy:", false, 0.0},
        {"energy=-5.0eV", false, 0.0},
        {"", false, 0.0},
    };
    for (const auto& c : cases) {
        double e = 0.0;
        EXPECT_EQ(commentenergy(c.line, e), c.found) << c.line;
        if (c.found) {
            EXPECT_NEAR(e, c.hartree, 1e-14) << c.line;
        }
    }
}

TEST(Readmovxyz, FramesWithTheirEnergiesAndSelection) {
    // Blank lines between frames and after the last are passed over.
    const std::string text = frame(" energy: -5.1 gnorm: 0.02 xtb: 6.6.1", 0.1) + "\n" +
                             frame(" energy: -5.2 gnorm: 0.01 xtb: 6.6.1", 0.2) +
                             frame(" energy: -5.3 gnorm: 0.001 xtb: 6.6.1", 0.3) + "\n\n";
    Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.nat, 3);
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.iat(1), 8);
    EXPECT_EQ(r.s.iat(3), 1);
    for (int g = 1; g <= 3; ++g) {
        EXPECT_DOUBLE_EQ(r.s.xgeo(3, 1, g), 0.1 * g / bohr);
        EXPECT_DOUBLE_EQ(r.s.egeo(g), -5.0 - 0.1 * g);
    }
    EXPECT_EQ(r.s.energy, -5.3);
    EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, 3));

    r = run(text, 2);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, 2));
    EXPECT_EQ(r.s.energy, -5.3);
}

TEST(Readmovxyz, ExtendedXyzWithForcesAndAnEnergyBeyondTheRecord) {
    const std::string comment =
        "Lattice=\"10.000000000000002 0.0 0.0 0.0 10.000000000000002 0.0 0.0 0.0 "
        "10.000000000000002\" Properties=species:S:1:pos:R:3:forces:R:3 free_energy=-2079.2 "
        "stress=\"0.1 0.0 0.0 0.0 0.1 0.0 0.0 0.0 0.1\" energy=-2079.1234567 pbc=\"T T T\"";
    ASSERT_GT(comment.find("energy=-2079.1234567"), 160u);
    const std::string text = "2\n" + comment +
                             "\nH 0.00000000 0.00000000 0.37000000 0.1 0.2 0.3"
                             "\nH 0.00000000 0.00000000 -0.37000000 -0.1 -0.2 -0.3\n";
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 1);
    EXPECT_DOUBLE_EQ(r.s.egeo(1), -2079.1234567 / ev);
    EXPECT_DOUBLE_EQ(r.s.xyz(3, 2), -0.37 / bohr);
    EXPECT_EQ(r.s.xyz(1, 2), 0.0);
}

TEST(Readmovxyz, FramesWithoutEnergies) {
    // KRU's own titles carry none; a frame without one keeps the energy read before it.
    Read r = run(frame(" XYZ file written by KRU", 0.1) + frame(" XYZ file written by KRU", 0.2));
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.egeo(1), 0.0);
    EXPECT_EQ(r.s.egeo(2), 0.0);
    EXPECT_EQ(r.s.energy, 0.0);

    r = run(frame("", 0.1) + frame("energy=-27.211386024367243", 0.2) + frame("step 3", 0.3));
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.egeo(1), 0.0);
    EXPECT_DOUBLE_EQ(r.s.egeo(2), -1.0);
    EXPECT_DOUBLE_EQ(r.s.egeo(3), -1.0);
    EXPECT_DOUBLE_EQ(r.s.energy, -1.0);
}

TEST(Readmovxyz, FramesThatDoNotFit) {
    const struct {
        std::string text, message;
    } cases[] = {
        {frame("a", 0.1) + "2\nb\nO 0.0 0.0 0.0\nH 0.0 0.0 1.0\n",
         "Frame 2 has 2 atoms, frame 1 has 3"},
        {frame("a", 0.1) + frame("b", 0.2, "Cl"), "Atom 3 of frame 2 is Cl where frame 1 has H"},
        // One atom line more than the count: it stands where frame 2's count should.
        {frame("a", 0.1) + "H 0.0 0.0 1.0\n" + frame("b", 0.2),
         "Frame 2 does not start with an atom count"},
        {"water\n" + frame("a", 0.1), "Frame 1 does not start with an atom count"},
        {"0\nempty\n" + frame("a", 0.1), "No atoms found"},
        {"", "No atoms found"},
        {"2000000000\n\n", "Atom count 2000000000 is more than the 2 lines of the file can hold"},
        {frame("a", 0.1).substr(0, 20), "No atoms found"},
        // An atom line the XYZ rules refuse.
        {frame("a", 0.1) + "3\nb\nO 0.0 0.0\nH 0.0 0.0 1.0\nH 0.0 1.0 0.0\n",
         "Not enough reals on line"},
    };
    for (const auto& c : cases) {
        const Read r = run(c.text);
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, "readmovxyz") << c.text;
    }
}

TEST(Readmovxyz, CutOffLastFrameIsLeftOut) {
    const std::string whole = frame("energy=-1.0", 0.1) + frame("energy=-2.0", 0.2);
    // Cut after its count line, after its comment, and inside its atom lines.
    for (const std::size_t keep : {2, 4, 30, 50}) {
        const std::string text = whole + frame("energy=-3.0", 0.3).substr(0, keep);
        const Read r = run(text);
        ASSERT_EQ(r.message, "") << text;
        EXPECT_EQ(r.out,
                  " The last frame, frame 3, is incomplete and left out; the 2 complete frames "
                  "are read\n");
        ASSERT_EQ(r.s.ngeom, 2);
        EXPECT_DOUBLE_EQ(r.s.energy, -2.0 / ev);
        EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, 2));
    }
}

// KRU's trajectory of a case's optimisation, read back and written again, gives the same bytes.
TEST(Readmovxyz, OwnTrajectoryReadsBackUnchanged) {
    const std::string cases = KRU_SOURCE_DIR "/tests/cases/";
    const std::string written = slurp(cases + "cfour-optimisation/expected/opt.movxyz");
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(slurp(cases + "movxyz-roundtrip/opt.movxyz"), written);
    EXPECT_EQ(slurp(cases + "movxyz-roundtrip/expected/again.movxyz"), written);
}

} // namespace
