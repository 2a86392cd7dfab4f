#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

namespace {

// A Z-matrix input can name reference positions before the first atom (0 and below); they name
// no atom and are written as stored, sign included, while real atoms become output positions.
TEST(Writeadfz, ReferencesBeforeTheFirstAtomKeepTheirValue) {
    Store s;
    testing_store::peroxide(s, {1, 2, 3, 4});
    s.kmatrx(1, 1) = -1;
    s.kmatrx(2, 1) = -2;
    s.kmatrx(3, 1) = -3;
    s.kmatrx(1, 2) = 1;
    s.kmatrx(2, 2) = -1;
    s.kmatrx(3, 2) = -100; // too wide for its 3 columns
    s.zmat(1, 2) = 1.0 / angstrom_per_bohr;
    OutputFile out;
    writeadfz(s, out);
    const std::string& text = out.str();
    EXPECT_EQ(text.substr(0, text.find("  3.")), "Atoms Z-Matrix\n"
                                                 "  1.  H    -1   -2   -3\n"
                                                 "  2.  O     1   -1  ***        1.000000\n");
}

} // namespace
