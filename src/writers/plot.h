// The pictures of a run: its energy profile and its infrared spectrum drawn as an SVG document,
// and the one-line energy profile and imaginary-mode line of a text summary.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Store;
class OutputFile;

/// What a picture shows of one run.
struct PlotSeries {
    std::string name;              // the input file, as the title or legend shows it
    bool scan = false;             // a relaxed scan: one point per scan point
    std::vector<double> step;      // geometry (or scan-point) number of each point
    std::vector<double> hartree;   // its energy
    std::vector<double> frequency; // cm-1, imaginary modes negative
    std::vector<double> intensity; // km/mol
    /// Energy of point i (0-based) relative to the first, kcal/mol.
    double relative(std::size_t i) const;
    /// Height of mode m's stick (0-based): its intensity, or 1 for every mode of a run that
    /// has no intensities.
    double stick(std::size_t m) const;
};

/// The energy profile and the vibrations of a store: every geometry with its energy, or for a
/// relaxed scan the geometry that ends each scan point; every mode.
PlotSeries plotseries(const Store& s);

/// A linear axis: the range it maps and its labelled ticks.
struct PlotAxis {
    double lo = 0.0;
    double hi = 1.0;
    int decimals = 0; // of the tick labels
    std::vector<double> ticks;
    /// Position of v between a (at lo) and b (at hi).
    double map(double v, double a, double b) const { return a + (v - lo) / (hi - lo) * (b - a); }
};

/// An axis over lo..hi with at most about `count` ticks at 1, 2 or 5 times a power of ten;
/// `widen` moves the ends out to the next tick, else the range stays as given.
PlotAxis plotaxis(double lo, double hi, int count, bool widen);

/// The plot area of a panel, in pixels from the top left of the picture.
struct PlotFrame {
    double left, top, right, bottom;
};

/// Appends a number with a fixed count of decimals ("-0.00" written as "0.00"), the same on
/// every machine.
void svgnumber(std::string& svg, double v, int decimals = 2);
/// Appends a path step: the command letter, then x and y.
void svgpoint(std::string& d, char command, double x, double y);
/// Appends a text element at (x, y) with further attributes; the text is escaped for XML.
void svgtext(std::string& svg, double x, double y, std::string_view text,
             std::string_view attributes);
/// The colour of the i-th run (0-based) of a picture, as "#rrggbb".
std::string_view plotcolour(std::size_t i);
/// Draws the axes of a frame with their ticks, tick labels and titles; the x axis runs from
/// high to low when `reversed`.
void svgaxes(std::string& svg, const PlotFrame& f, const PlotAxis& x, const PlotAxis& y,
             bool reversed, std::string_view xtitle, std::string_view ytitle);
/// Height of the legend of n runs, pixels; none for one.
inline double legendheight(std::size_t n) {
    return n < 2 ? 0.0 : 14.0 + 16.0 * double(n);
}
/// The top of a value range that leaves room for the legend of n runs above values up to hi
/// in a frame of the given height.
inline double legendtop(double lo, double hi, std::size_t n, double height) {
    const double room = legendheight(n);
    return room > 0.0 && room < height ? hi + (hi - lo) * room / (height - room) : hi;
}
/// Draws the legend of several runs (nothing for one) in the frame's top right corner.
void svglegend(std::string& svg, const PlotFrame& f, std::span<const PlotSeries> runs);
/// Draws the energy profiles of the runs in one frame, a colour and a legend entry each when
/// there are several.
void svgprofile(std::string& svg, const PlotFrame& f, std::span<const PlotSeries> runs);
/// The Lorentzian curve of a run's real modes over lo..hi with half-width g, at `samples` even
/// steps and at each mode, scaled so that its highest point equals the tallest stick; pairs of
/// wavenumber and height, by rising wavenumber.
std::vector<std::pair<double, double>> lorentzcurve(const PlotSeries& run, double g, double lo,
                                                    double hi, int samples);
/// Draws the infrared spectra of the runs in one frame: sticks, the broadened curve of
/// half-width g, the imaginary modes marked below the axis.
void svgspectrum(std::string& svg, const PlotFrame& f, std::span<const PlotSeries> runs, double g);
/// What a picture draws: the energy profile, the spectrum, or each where the runs have one.
enum class PlotWhat { energy, ir, both };
/// The whole SVG document (800 x 500 pixels): the title, then the energy profile of the runs
/// with two or more points and the spectrum of the runs with modes, one above the other.
std::string svgdocument(std::string_view title, std::span<const PlotSeries> runs, PlotWhat what,
                        double g);
/// Half-width of the spectrum's broadening, cm-1, unless the command line names another.
inline constexpr double defaulthalfwidth = 10.0;
/// Picture of the energy profile and the infrared spectrum of the run.
void writeplot(Store& s, OutputFile& out);

/// The energy profile in one line of UTF-8 block characters, one per point (sampled to 60),
/// with the first and last energy and their difference in kcal/mol; empty for fewer than two
/// points.
std::string energyprofileline(const Store& s);
/// For a run with modes, the line naming its imaginary frequencies; empty without modes.
std::string imaginarymodesline(const Store& s);
