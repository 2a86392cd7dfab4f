// What the pictures and the summary show of a run: the energy of each geometry (or of each scan
// point's optimum) and the frequencies with their infrared intensities.
#include "store/store.h"
#include "writers/plot.h"

#include <algorithm>

double PlotSeries::relative(std::size_t i) const {
    return (hartree[i] - hartree[0]) * kcal_per_hartree;
}

double PlotSeries::stick(std::size_t m) const {
    const bool any =
        std::any_of(intensity.begin(), intensity.end(), [](double i) { return i != 0.0; });
    return any ? intensity[m] : 1.0;
}

PlotSeries plotseries(const Store& s) {
    PlotSeries run;
    run.name = s.inputfile;
    // The tables hold at least one geometry, also where the reader counted none.
    const int ngeom = std::min(s.ngeom, s.scanpoint.size());
    for (int g = 1; g <= ngeom; ++g) {
        run.scan = run.scan || s.scanpoint(g) > 0;
    }
    for (int g = 1; g <= ngeom; ++g) {
        if (!run.scan) {
            run.step.push_back(g);
            run.hartree.push_back(s.egeo(g));
            continue;
        }
        // A scan point's optimum is the step that completes it; a point the run left
        // unfinished shows its last step. Geometries outside the scan are not its points.
        const int point = s.scanpoint(g);
        const bool last = g == ngeom || s.scanpoint(g + 1) != point;
        const bool ended = s.scanend(g) == 1;
        if (point > 0 && (ended || last) && (run.step.empty() || run.step.back() != point)) {
            run.step.push_back(point);
            run.hartree.push_back(s.egeo(g));
        }
    }
    for (int m = 1; m <= s.nvib; ++m) {
        run.frequency.push_back(s.vibs(m));
        run.intensity.push_back(s.frqintns(m));
    }
    return run;
}
