// The pictures must plot the right numbers: every point and stick is read back from the SVG
// through the axes' own tick labels and compared with the energies and frequencies it came from.
// Then the text summary's profile line and imaginary-mode line.
#include "control/control.h"
#include "control/files.h"
#include "store/store.h"
#include "svgreadback.h"
#include "writers/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

using namespace svgreadback;

// A store of one atom with the given energies per geometry and modes.
void runstore(Store& s, const std::vector<double>& energies, const std::vector<double>& freqs = {},
              const std::vector<double>& intensities = {}) {
    s.nat = 1;
    s.ngeom = int(energies.size());
    s.nvib = int(freqs.size());
    allocstuff(s);
    s.iat(1) = 6;
    for (int g = 1; g <= s.ngeom; ++g) {
        s.egeo(g) = energies[std::size_t(g - 1)];
    }
    for (int m = 1; m <= s.nvib; ++m) {
        s.vibs(m) = freqs[std::size_t(m - 1)];
        s.frqintns(m) = intensities[std::size_t(m - 1)];
    }
    s.inputfile = "runs/opt&freq.out";
}

std::string drawn(Store& s) {
    OutputFile out;
    writeplot(s, out);
    return out.str();
}

TEST(Plot, ProfilePointsReadBackAsTheEnergiesOfTheSteps) {
    const std::vector<double> e{-76.0, -76.01, -76.012, -76.0121, -76.0119};
    Store s;
    runstore(s, e);
    const std::string svg = drawn(s);
    EXPECT_NE(svg.find(">opt&amp;freq.out</text>"), std::string::npos) << "title";
    EXPECT_EQ(group(svg, "spectrum"), "");
    const Values v = values(group(svg, "energy"), "profile");
    ASSERT_EQ(v.points.size(), e.size());
    for (std::size_t i = 0; i < e.size(); ++i) {
        EXPECT_NEAR(v.points[i].first, double(i + 1), 0.01 * v.dx) << i;
        EXPECT_NEAR(v.points[i].second, (e[i] - e[0]) * kcal_per_hartree, 0.01 * v.dy) << i;
    }
}

TEST(Plot, SticksAndCurveReadBackAsFrequenciesAndIntensities) {
    // A projected "-0.000" is a real mode at zero; -250.5 is imaginary.
    const std::vector<double> v{-250.5, -0.0, 1650.0, 3700.0, 1200.0};
    const std::vector<double> in{12.0, 5.0, 80.0, 20.0, 0.0};
    Store s;
    runstore(s, {-40.0}, v, in);
    const std::string svg = drawn(s);
    EXPECT_EQ(group(svg, "energy"), "") << "one geometry has no profile";
    const std::string panel = group(svg, "spectrum");
    const Axis x = axis(panel, "xtick");
    EXPECT_LT((x.v1 - x.v0) / (x.p1 - x.p0), 0.0) << "wavenumbers run from high to low";
    // Base and tip of a stick per real mode.
    const Values sticks = values(panel, "sticks");
    ASSERT_EQ(sticks.points.size(), 8U);
    for (std::size_t k = 0; k < 4; ++k) {
        const auto base = sticks.points[2 * k];
        const auto tip = sticks.points[2 * k + 1];
        EXPECT_EQ(base.first, tip.first);
        EXPECT_NEAR(base.first, std::abs(v[k + 1]), 0.01 * sticks.dx) << k;
        EXPECT_NEAR(base.second, 0.0, 0.01 * sticks.dy) << k;
        EXPECT_NEAR(tip.second, in[k + 1], 0.01 * sticks.dy) << k;
    }
    // The curve peaks at the tallest stick, at its wavenumber.
    const Values curve = values(panel, "curve");
    const auto peak = *std::max_element(curve.points.begin(), curve.points.end(),
                                        [](auto a, auto b) { return a.second < b.second; });
    EXPECT_NEAR(peak.first, 1650.0, 0.01 * curve.dx);
    EXPECT_NEAR(peak.second, 80.0, 0.01 * curve.dy);
    // The imaginary mode is marked at its magnitude, below the axis, and named.
    const Values marks = values(panel, "imaginary");
    ASSERT_FALSE(marks.points.empty());
    EXPECT_NEAR(marks.points[0].first, 250.5, 0.01 * marks.dx);
    EXPECT_LT(marks.points[0].second, 0.0) << "below the axis";
    EXPECT_EQ(labels(panel, "imaginary-note").at(0).text, "imaginary: 250.5i cm-1");
}

// Two bands 10 cm-1 apart with half-width 10 merge: L(1005) = 2 x 10 x 100/125 = 16 is the
// highest point and becomes the tallest stick, 10; L(1000) = 10 + 10 x 100/200 = 15.
TEST(Plot, LorentzCurveSumsTheBandsAndScalesToTheTallestStick) {
    PlotSeries run;
    run.frequency = {1000.0, 1010.0, -500.0};
    run.intensity = {10.0, 10.0, 99.0};
    std::vector<std::pair<double, double>> curve = lorentzcurve(run, 10.0, 990.0, 1020.0, 6);
    auto at = [&](double v) {
        for (const auto& [w, h] : curve) {
            if (w == v) {
                return h;
            }
        }
        return -1.0;
    };
    EXPECT_TRUE(std::is_sorted(curve.begin(), curve.end()));
    EXPECT_DOUBLE_EQ(at(1005.0), 10.0);
    EXPECT_DOUBLE_EQ(at(1000.0), 15.0 * 10.0 / 16.0);
    EXPECT_DOUBLE_EQ(at(990.0), (10.0 * 100 / 200 + 10.0 * 100 / 500) * 10.0 / 16.0);
    // Without intensities every mode stands as a unit stick.
    run.intensity = {0.0, 0.0, 0.0};
    curve = lorentzcurve(run, 10.0, 990.0, 1020.0, 6);
    EXPECT_DOUBLE_EQ(at(1005.0), 1.0);
}

// A relaxed scan shows each point's optimum; a point cut off shows its last step, and the
// geometry printed after the scan is no point.
TEST(Plot, RelaxedScanOnePointPerScanPoint) {
    Store s;
    runstore(s, {-1.0, -1.1, -1.2, -1.3, -1.4, -1.5, -1.6});
    const int point[] = {1, 1, 2, 2, 2, 3, 0};
    for (int g = 1; g <= 7; ++g) {
        s.scanpoint(g) = point[g - 1];
    }
    s.scanend(2) = 1;
    s.scanend(4) = 1; // an earlier step that completed, then more steps of the same point
    const PlotSeries run = plotseries(s);
    EXPECT_TRUE(run.scan);
    EXPECT_EQ(run.step, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(run.hartree, (std::vector<double>{-1.1, -1.3, -1.5}));
    EXPECT_NE(drawn(s).find(">scan point</text>"), std::string::npos);
}

TEST(Plot, NothingToDrawFails) {
    Store s;
    runstore(s, {-1.0});
    OutputFile out;
    try {
        writeplot(s, out);
        FAIL() << "a picture of nothing";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "Nothing to plot: one geometry and no vibrations");
        EXPECT_EQ(e.routine, "writeplot");
    }
}

TEST(Plot, AxisTicksAtRoundNumbers) {
    const PlotAxis e = plotaxis(-7.59, 0.0, 5, true);
    EXPECT_EQ(e.ticks, (std::vector<double>{-8, -6, -4, -2, 0}));
    EXPECT_EQ(e.lo, -8.0);
    EXPECT_EQ(e.decimals, 0);
    const PlotAxis small = plotaxis(0.0012, 0.0041, 5, false);
    EXPECT_EQ(small.decimals, 3);
    EXPECT_EQ(small.ticks.size(), 3U); // 0.002 0.003 0.004
    EXPECT_EQ(small.lo, 0.0012);
    const PlotAxis flat = plotaxis(3.0, 3.0, 5, true);
    EXPECT_LT(flat.lo, 3.0);
    EXPECT_GT(flat.hi, 3.0);
    // Energies a hostile file makes infinite or vast still give a few ticks.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(plotaxis(0.0, inf, 5, true).ticks.size(), 5U);
    EXPECT_EQ(plotaxis(-1e308, 1e308, 5, true).ticks.size(), 5U);
    EXPECT_LE(plotaxis(0.0, 1.7e308, 5, true).ticks.size(), 6U);
    std::string n;
    svgnumber(n, -0.004);
    EXPECT_EQ(n, "0.00");
}

TEST(Plot, SummaryLinesInUtf8Blocks) {
    Store s;
    runstore(s, {-1.0, -1.5, -1.25}, {-0.0, -120.456, 35.0, -3.0}, {0, 0, 0, 0});
    EXPECT_EQ(energyprofileline(s), "\u2588\u2581\u2585  first -1.000000 last -1.250000 Hartree, "
                                    "-156.88 kcal/mol");
    EXPECT_EQ(imaginarymodesline(s), "imaginary frequencies: 2 (-120.46, -3.00 cm-1)");

    // A long run is sampled to 60 blocks, its first and last point among them.
    std::vector<double> e;
    for (int g = 0; g < 100; ++g) {
        e.push_back(g == 99 ? -2.0 : -1.0 - 0.001 * g);
    }
    Store many;
    runstore(many, e, {12.0}, {1.0});
    const std::string line = energyprofileline(many);
    const std::string blocks = line.substr(0, line.find("  first"));
    ASSERT_EQ(blocks.size(), 60U * 3U);
    EXPECT_EQ(blocks.substr(0, 3), "\u2588");
    EXPECT_EQ(blocks.substr(177), "\u2581");
    EXPECT_EQ(imaginarymodesline(many), "imaginary frequencies: none");

    Store one;
    runstore(one, {-1.0});
    EXPECT_EQ(energyprofileline(one), "");
    EXPECT_EQ(imaginarymodesline(one), "");
}

} // namespace
