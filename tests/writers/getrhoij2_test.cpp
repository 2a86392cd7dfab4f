#include "store/store.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

namespace {

struct BondValenceCase {
    int ia, ib;
    double distance; // Angstrom, along z
    double rho;
};

TEST(Getrhoij2, BondValenceOfAPair) {
    const BondValenceCase cases[] = {
        {6, 8, 1.2, 1.6800812112539258},
        {8, 6, 1.2, 1.6800812112539258}, // symmetric in the two atoms
        {6, 6, 2 * double(0.78f), 1.0},  // at the pair's radius sum
        {1, 8, 0.0, 12.643776955194712}, // electronegativity shortens R0
    };
    for (const BondValenceCase& c : cases) {
        const std::array<double, 3> a{1.0, -2.0, 3.0};
        const std::array<double, 3> b{1.0, -2.0, 3.0 + c.distance / angstrom_per_bohr};
        double rho = -1.0;
        const double got = getrhoij2(a, b, c.ia, c.ib, rho);
        EXPECT_NEAR(got, c.rho, 1e-14 * c.rho) << c.ia << "-" << c.ib;
        EXPECT_EQ(rho, got);
    }
}

} // namespace
