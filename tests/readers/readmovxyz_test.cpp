#include "readers/readers.h"
#include "store/store.h"
#include "testfiles.h"

#include "readertest.h"

#include <gtest/gtest.h>

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
    const struct {
        std::string line;
        double hartree; // 0: none found
    } cases[] = {
        {" energy: -26.425939359008 gnorm: 0.088050967149 xtb: 6.6.1 (8d0f1dd)", -26.425939359008},
        {"Lattice=\"10.0 0.0 0.0 0.0 10.0 0.0 0.0 0.0 10.0\" free_energy=-5.0 "
         "energy = -2.7211386024367243e+01 pbc=\"T T T\"",
         -1.0},
        {"note=\"a \\\"quoted\\\" energy=5.0\" energy=\"+54.422772048734486\"", 2.0},
        {"free_energy=-5.0 energy=nan energy: inf energy=-5.0eV energy=", 0.0},
        {" XYZ file written by KRU", 0.0},
    };
    for (const auto& c : cases) {
        double e = 0.0;
        EXPECT_EQ(commentenergy(c.line, e), c.hartree != 0.0) << c.line;
        EXPECT_NEAR(e, c.hartree, 1e-14) << c.line;
    }
}

TEST(Readmovxyz, FramesEnergiesAndSelection) {
    // Blank lines around frames are passed over; a frame without an energy keeps the one before.
    const std::string text = "\n" + frame("", 0.1) + "\n" +
                             frame(" energy: -5.2 gnorm: 0.01 xtb: 6.6.1", 0.2) +
                             frame("step 3", 0.3) + "\n";
    for (const long long idgeo : {-1, 2}) {
        const Read r = run(text, idgeo);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.out, "");
        ASSERT_EQ(r.s.ngeom, 3);
        EXPECT_EQ(r.s.iat(1), 8);
        EXPECT_EQ(r.s.iat(3), 1);
        for (int g = 1; g <= 3; ++g) {
            EXPECT_DOUBLE_EQ(r.s.xgeo(3, 1, g), 0.1 * g / bohr);
            EXPECT_EQ(r.s.egeo(g), g == 1 ? 0.0 : -5.2);
        }
        EXPECT_EQ(r.s.energy, -5.2);
        EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, idgeo == 2 ? 2 : 3));
    }
}

TEST(Readmovxyz, FilesThatAreNoTrajectory) {
    const struct {
        std::string text, message;
    } cases[] = {
        // One atom line more than the count stands where frame 2's count should.
        {frame("a", 0.1) + "H 0.0 0.0 1.0\n" + frame("b", 0.2),
         "Frame 2 does not start with an atom count"},
        {"water\n" + frame("a", 0.1), "Frame 1 does not start with an atom count"},
        {"0\nempty\n" + frame("a", 0.1), "No atoms found"},
        {"", "No atoms found"},
        {frame("a", 0.1).substr(0, 20), "No atoms found"},
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
    // Cut after its count line, inside its comment, and inside its atom lines.
    for (const std::size_t keep : {2, 4, 30, 50}) {
        const std::string text = whole + frame("energy=-3.0", 0.3).substr(0, keep);
        const Read r = run(text);
        ASSERT_EQ(r.message, "") << text;
        EXPECT_EQ(r.out, " The last frame, frame 3, is incomplete and left out; the 2 complete "
                         "frames are read\n");
        ASSERT_EQ(r.s.ngeom, 2);
        EXPECT_DOUBLE_EQ(r.s.energy, -2.0 / ev);
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
