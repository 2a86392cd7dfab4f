#include "analysis/analysis.h"
#include "geometrycheck.h"

#include <gtest/gtest.h>

namespace {

TEST(Zmat2c, PlacedAtomHasTheRequestedInternalCoordinates) {
    const Vec3 frames[][3] = {
        {{0.0, 0.0, 0.0}, {1.5, 0.0, 0.0}, {2.0, 1.3, 0.0}},
        {{0.3, -1.2, 2.0}, {-0.7, 0.4, 1.1}, {0.9, 1.7, -0.6}},
        {{10.0, 10.0, 10.0}, {10.0, 10.0, 12.0}, {11.0, 10.5, 12.5}},
    };
    const double rs[] = {1.0, 2.05};
    const double thetas[] = {0.3, 1.9106332362490186, 3.0};
    const double phis[] = {0.0, 1.0, 3.141592653589793, 4.2, 6.0};
    for (const auto& f : frames) {
        for (double r : rs) {
            for (double theta : thetas) {
                for (double phi : phis) {
                    const Vec3 d = zmat2c(f[0], f[1], f[2], r, theta, phi);
                    EXPECT_NEAR(check::distance(d, f[0]), r, 1e-12);
                    EXPECT_NEAR(check::angle(d, f[0], f[1]), theta, 1e-12);
                    EXPECT_NEAR(check::circulardiff(check::dihedral(d, f[0], f[1], f[2]), phi), 0.0,
                                1e-11)
                        << "theta " << theta << " phi " << phi;
                }
            }
        }
    }
}

TEST(Zmat2c, CollinearReferencesStillGiveDistanceAndAngle) {
    testing::internal::CaptureStdout();
    const Vec3 a{0.0, 0.0, 0.0};
    const Vec3 b{0.0, 0.0, 1.4};
    const Vec3 c{0.0, 0.0, 2.8};
    const Vec3 d = zmat2c(a, b, c, 1.1, 2.0, 1.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (double e : d) {
        EXPECT_TRUE(std::isfinite(e));
    }
    EXPECT_NEAR(check::distance(d, a), 1.1, 1e-12);
    EXPECT_NEAR(check::angle(d, a, b), 2.0, 1e-12);
}

} // namespace
