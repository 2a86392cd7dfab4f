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

// The profile's points and the stick tips against the run's own numbers, to a hundredth of a
// pixel (the coordinates' last decimal).
void samenumbers(const std::string& svg, const PlotSeries& run) {
    using namespace svgreadback;
    if (run.step.size() >= 2) {
        const Values v = values(group(svg, "energy"), "profile");
        ASSERT_EQ(v.points.size(), run.step.size());
        for (std::size_t i = 0; i < run.step.size(); ++i) {
            EXPECT_NEAR(v.points[i].first, run.step[i], 0.01 * v.dx) << i;
            EXPECT_NEAR(v.points[i].second, run.relative(i), 0.01 * v.dy) << i;
        }
    }
    const Values sticks = values(group(svg, "spectrum"), "sticks");
    std::size_t tip = 1;
    for (std::size_t m = 0; m < run.frequency.size(); ++m) {
        if (run.frequency[m] >= 0.0) {
            ASSERT_LT(tip, sticks.points.size());
            EXPECT_NEAR(sticks.points[tip].first, run.frequency[m], 0.01 * sticks.dx) << m;
            EXPECT_NEAR(sticks.points[tip].second, run.stick(m), 0.01 * sticks.dy) << m;
            tip += 2;
        }
    }
    EXPECT_EQ(tip - 1, sticks.points.size());
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
