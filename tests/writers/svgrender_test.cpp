// Every picture of the end-to-end cases, rendered as a person would see it: it renders, at 800 x
// 500 pixels, with ink in each panel. Then the command line's picture of several runs.
#include "svgrender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
    const fs::path dir =
        fs::path(testing::TempDir()) / ("kru_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(SvgRender, EveryPictureOfTheCasesRendersWithInk) {
    if (std::string(KRU_RSVG).empty()) {
        GTEST_SKIP() << "rsvg-convert not found (Debian librsvg2-bin)";
    }
    const fs::path dir = scratch("render");
    int rendered = 0;
    for (const auto& c : fs::directory_iterator(KRU_SOURCE_DIR "/tests/cases")) {
        if (!fs::is_directory(c.path() / "expected")) {
            continue;
        }
        for (const auto& e : fs::directory_iterator(c.path() / "expected")) {
            if (e.path().extension() != ".svg" || fs::file_size(e.path()) == 0) {
                continue;
            }
            SCOPED_TRACE(e.path().string());
            const fs::path copy = dir / e.path().filename();
            fs::copy_file(e.path(), copy, fs::copy_options::overwrite_existing);
            EXPECT_EQ(rendercheck(copy), "");
            ++rendered;
        }
    }
    EXPECT_GE(rendered, 4);

    // The same picture without its data is blank: the check sees what is drawn, not the frame.
    std::string svg = slurp(KRU_SOURCE_DIR "/tests/cases/plot-optimisation/expected/water_opt.svg");
    for (const std::string cls : {"profile", "dots"}) {
        const std::size_t at = svg.find("<path class=\"" + cls + "\"");
        ASSERT_NE(at, std::string::npos);
        svg.erase(at, svg.find('\n', at) + 1 - at);
    }
    spill(dir / "empty.svg", svg);
    EXPECT_EQ(rendercheck(dir / "empty.svg").substr(0, 13), "panel 1 blank");
    fs::remove_all(dir);
}

// kru plot: several inputs in one profile, the options, and the refusals.
TEST(PlotCommand, SeveralRunsOnePictureAndItsRefusals) {
    const fs::path dir = scratch("plotcommand");
    const fs::path cases = KRU_SOURCE_DIR "/tests/cases";
    for (const char* file :
         {"plot-optimisation/water_opt.log", "plot-optimisation-frequencies/water_optfreq.log",
          "plot-single-point/water.xyz"}) {
        fs::copy_file(cases / file, dir / fs::path(file).filename());
    }
    auto run = [&](const std::vector<std::string>& args) {
        std::vector<std::string> all{"plot"};
        all.insert(all.end(), args.begin(), args.end());
        return runbinary(KRU_BINARY, dir, all);
    };
    ASSERT_EQ(run({"water_opt.log", "water_optfreq.log", "both.svg"}), 0) << slurp(dir / ".stderr");
    const std::string both = slurp(dir / "both.svg");
    const std::string energy = svgreadback::group(both, "energy");
    const std::size_t first = energy.find("<path class=\"profile\"");
    const std::size_t second = energy.find("<path class=\"profile\"", first + 1);
    ASSERT_NE(second, std::string::npos) << "a profile per run";
    EXPECT_NE(svgreadback::attribute(energy, first, "stroke"),
              svgreadback::attribute(energy, second, "stroke"));
    EXPECT_NE(energy.find(">water_opt.log</text>"), std::string::npos) << "legend";
    EXPECT_EQ(svgreadback::paths(svgreadback::group(both, "spectrum"), "sticks").size(), 1U);
    if (!std::string(KRU_RSVG).empty()) {
        EXPECT_EQ(rendercheck(dir / "both.svg"), "");
    }

    // A wider band gives another curve on the same sticks.
    ASSERT_EQ(run({"--what", "ir", "--width", "40", "water_optfreq.log", "wide.svg"}), 0);
    const std::string wide = slurp(dir / "wide.svg");
    EXPECT_EQ(svgreadback::group(wide, "energy"), "");
    const std::string spectrum = svgreadback::group(both, "spectrum");
    const std::string widespectrum = svgreadback::group(wide, "spectrum");
    // Stick tips as wavenumber and height, read through each picture's own axes.
    auto tips = [](const std::string& panel) {
        std::vector<long> found;
        const auto p = svgreadback::values(panel, "sticks").points;
        for (std::size_t i = 1; i < p.size(); i += 2) {
            found.push_back(std::lround(p[i].first));
            found.push_back(std::lround(p[i].second * 10));
        }
        return found;
    };
    EXPECT_EQ(tips(widespectrum), tips(spectrum));
    EXPECT_EQ(tips(spectrum), (std::vector<long>{1627, 683, 3805, 39, 3913, 196}));
    EXPECT_NE(svgreadback::paths(widespectrum, "curve"), svgreadback::paths(spectrum, "curve"));

    EXPECT_EQ(run({"--what", "ir", "water_opt.log", "ir.svg"}), 1);
    EXPECT_EQ(slurp(dir / ".stderr"),
              "kru: error: water_opt.log: no vibrations: no spectrum to draw\n");
    EXPECT_FALSE(fs::exists(dir / "ir.svg"));
    EXPECT_EQ(run({"water.xyz", "one.svg"}), 1);
    EXPECT_EQ(slurp(dir / ".stderr"),
              "kru: error: water.xyz: one geometry and no vibrations: nothing to draw\n");
    EXPECT_EQ(run({"water_opt.log", "water_optfreq.log"}), 2) << "no picture named";
    EXPECT_FALSE(fs::exists(dir / "water_optfreq.log.svg"));
    EXPECT_EQ(run({"--what", "spectrum", "water_opt.log", "x.svg"}), 2);
    EXPECT_EQ(run({"--width", "0", "water_opt.log", "x.svg"}), 2);

    // A linear transit's reader writes the points' files beside its output: plot leaves only the
    // picture, and info nothing at all.
    fs::copy_file(cases / "adf-linear-transit/lt.out", dir / "lt.out");
    const auto before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
    ASSERT_EQ(run({"lt.out", "lt.svg"}), 0) << slurp(dir / ".stderr");
    ASSERT_EQ(runbinary(KRU_BINARY, dir, {"info", "lt.out"}), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), before + 1);
    fs::remove_all(dir);
}

} // namespace
