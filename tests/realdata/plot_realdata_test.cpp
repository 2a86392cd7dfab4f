// kru plot on every real output that has a geometry sequence or vibrations: the picture renders
// with ink in each panel, and its points and sticks, read back through the axes, are the run's
// energies and frequencies.
#include "realdata.h"
#include "realoutput.h"
#include "writers/plot.h"
#include "writers/svgrender.h"

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using namespace realoutput;

// The profile's points and the sticks against the run's own numbers.
void samenumbers(const std::string& svg, const PlotSeries& run) {
    using namespace svgreadback;
    if (run.step.size() >= 2) {
        const std::string panel = group(svg, "energy");
        const Axis x = axis(panel, "xtick");
        const Axis y = axis(panel, "ytick");
        const auto p = points(paths(panel, "profile").at(0));
        ASSERT_EQ(p.size(), run.step.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            EXPECT_NEAR(x.value(p[i].first), run.step[i], 0.01 * x.perpixel()) << i;
            EXPECT_NEAR(y.value(p[i].second), run.relative(i), 0.01 * y.perpixel()) << i;
        }
    }
    if (!run.frequency.empty()) {
        const std::string panel = group(svg, "spectrum");
        const Axis x = axis(panel, "xtick");
        const Axis y = axis(panel, "ytick");
        const std::vector<std::string> sticks = paths(panel, "sticks");
        const auto p = sticks.empty() ? decltype(points("")){} : points(sticks[0]);
        std::size_t k = 0;
        for (std::size_t m = 0; m < run.frequency.size(); ++m) {
            if (run.frequency[m] < 0.0) {
                continue;
            }
            ASSERT_LT(2 * k + 1, p.size());
            EXPECT_NEAR(x.value(p[2 * k].first), run.frequency[m], 0.01 * x.perpixel()) << m;
            EXPECT_NEAR(y.value(p[2 * k + 1].second), run.stick(m), 0.01 * y.perpixel()) << m;
            ++k;
        }
        EXPECT_EQ(2 * k, p.size());
    }
}

TEST(PlotRealdata, EveryRunWithASequenceOrModes) {
    if (!present("")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const fs::path dir =
        fs::path(testing::TempDir()) / ("kru_plot_realdata_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    int drawn = 0, refused = 0;
    for (const Program& program : programs()) {
        for (const auto& e : fs::directory_iterator(path(std::string(program.folder)))) {
            const std::string name = e.path().filename().string();
            if (!name.ends_with(program.suffix)) {
                continue;
            }
            SCOPED_TRACE(e.path().string());
            const RealRun r =
                readreal(std::string(program.inputtype), std::string(program.folder) + "/" + name);
            ASSERT_EQ(r.message, "") << r.out;
            const PlotSeries run = plotseries(r.s);
            const fs::path svg = dir / (std::string(program.folder) + "-" + name + ".svg");
            const int status = runbinary(KRU_BINARY, dir, {"plot", e.path().string(), svg});
            if (run.step.size() < 2 && run.frequency.empty()) {
                EXPECT_EQ(status, 1);
                ++refused;
                continue;
            }
            ASSERT_EQ(status, 0) << slurp(dir / ".stderr");
            samenumbers(slurp(svg), run);
            if (!std::string(KRU_RSVG).empty()) {
                EXPECT_EQ(rendercheck(svg), "");
            }
            ++drawn;
        }
    }
    EXPECT_GE(drawn, 20);
    EXPECT_GE(refused, 1);
    fs::remove_all(dir);
}

} // namespace
