// The broadened spectrum L(v) = sum over the modes of I g^2 / ((v - v_k)^2 + g^2), sampled
// evenly and at every mode (where its peaks are), scaled to the tallest stick.
#include "writers/plot.h"

#include <algorithm>

std::vector<std::pair<double, double>> lorentzcurve(const PlotSeries& run, double g, double lo,
                                                    double hi, int samples) {
    std::vector<double> at;
    for (int i = 0; i <= samples; ++i) {
        at.push_back(lo + (hi - lo) * double(i) / double(samples));
    }
    // Imaginary modes are no absorption; they are marked apart.
    std::vector<double> height(run.frequency.size(), 0.0);
    double tallest = 0.0;
    for (std::size_t m = 0; m < run.frequency.size(); ++m) {
        const double v = run.frequency[m];
        if (v >= 0.0) {
            height[m] = run.stick(m);
            tallest = std::max(tallest, height[m]);
        }
        if (v >= lo && v <= hi) {
            at.push_back(v);
        }
    }
    std::sort(at.begin(), at.end());
    std::vector<std::pair<double, double>> curve;
    double highest = 0.0;
    for (const double v : at) {
        double sum = 0.0;
        for (std::size_t m = 0; m < run.frequency.size(); ++m) {
            const double d = v - run.frequency[m];
            sum += height[m] * g * g / (d * d + g * g);
        }
        highest = std::max(highest, sum);
        curve.emplace_back(v, sum);
    }
    for (auto& point : curve) {
        point.second = highest > 0.0 ? point.second * tallest / highest : 0.0;
    }
    return curve;
}
