// Picture of a run: its energy profile when it has two or more geometries and its infrared
// spectrum when it has modes, as an SVG document titled with the input file's name.
#include "control/control.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/plot.h"

#include <filesystem>

void writeplot(Store& s, OutputFile& out) {
    const PlotSeries run = plotseries(s);
    const std::string title = std::filesystem::path(run.name).filename().string();
    const std::string svg =
        svgdocument(title, std::span(&run, 1), PlotWhat::both, defaulthalfwidth);
    if (svg.empty()) {
        myexit("Nothing to plot: one geometry and no vibrations", "writeplot");
    }
    out.write(svg);
}
