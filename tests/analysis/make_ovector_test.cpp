#include "analysis/analysis.h"
#include "geometrycheck.h"

#include <gtest/gtest.h>

namespace {

TEST(MakeOvector, CollinearPointsGiveAUnitPerpendicularInTheXyPlane) {
    struct Case {
        Vec3 a, b, c;
        Vec3 expected; // p - b
    };
    const double h = std::sqrt(0.5);
    const Case cases[] = {
        {{-1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {2.0, 0.0, 0.0}, {0.0, 1.0, 0.0}},
        // Along the z axis, either way round.
        {{1.0, 2.0, 0.0}, {1.0, 2.0, 3.0}, {1.0, 2.0, 5.0}, {0.0, 1.0, 0.0}},
        {{1.0, 2.0, 8.0}, {1.0, 2.0, 3.0}, {1.0, 2.0, -5.0}, {0.0, 1.0, 0.0}},
        {{-1.0, -1.0, -1.0}, {0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}, {-h, h, 0.0}},
        {{0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, -3.0, 0.0}, {1.0, 0.0, 0.0}},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        const Vec3 p = make_ovector(c.a, c.b, c.c);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        const Vec3 d = check::sub(p, c.b);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(d[std::size_t(i)], c.expected[std::size_t(i)], 1e-12);
        }
        EXPECT_NEAR(check::norm(d), 1.0, 1e-12);
        EXPECT_NEAR(check::dot(d, check::sub(c.c, c.b)), 0.0, 1e-12);
    }
}

TEST(MakeOvector, ThreePointsInGeneralGiveTheirPlaneNormal) {
    const Vec3 points[][3] = {
        {{1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}},
        {{0.3, -1.2, 2.0}, {-0.7, 0.4, 1.1}, {0.9, 1.7, -0.6}},
        {{2.0, 1.0, 0.5}, {0.0, 0.0, 0.0}, {0.0, 0.0, -4.0}},
    };
    for (const auto& pt : points) {
        testing::internal::CaptureStdout();
        const Vec3 d = check::sub(make_ovector(pt[0], pt[1], pt[2]), pt[1]);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_NEAR(check::norm(d), 1.0, 1e-12);
        EXPECT_NEAR(check::dot(d, check::sub(pt[0], pt[1])), 0.0, 1e-12);
        EXPECT_NEAR(check::dot(d, check::sub(pt[2], pt[1])), 0.0, 1e-12);
    }
}

TEST(MakeOvector, CoincidentPointsGiveNoNaN) {
    const Vec3 b{1.0, 1.0, 1.0};
    for (const Vec3& p : {make_ovector(b, b, Vec3{1.0, 1.0, 2.0}), make_ovector(b, b, b)}) {
        EXPECT_NEAR(check::distance(p, b), 1.0, 1e-12);
    }
}

} // namespace
