// `kru plot INPUT... OUTPUT.svg`: reads each input as a conversion does (type found from its
// content) and draws the energy profiles of all of them together and their infrared spectra as
// one SVG picture; nothing else is written.
#include "analysis/analysis.h"
#include "control/commands.h"
#include "control/control.h"
#include "control/detect.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/plot.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

int usage(const std::string& reason) {
    return commandfailure("", reason + " (kru plot --help shows the command)");
}

int failed(const std::string& file, const std::string& reason) {
    std::cerr << "kru: error: " << file << ": " << reason << '\n';
    return 1;
}

// What the picture is asked to show that the run lacks, if anything.
std::string missing(const PlotSeries& run, PlotWhat what) {
    const bool profile = run.step.size() >= 2;
    const bool modes = !run.frequency.empty();
    if (what == PlotWhat::energy && !profile) {
        return "fewer than two geometries: no energy profile to draw";
    }
    if (what == PlotWhat::ir && !modes) {
        return "no vibrations: no spectrum to draw";
    }
    if (!profile && !modes) {
        return "one geometry and no vibrations: nothing to draw";
    }
    return {};
}

} // namespace

int plotcommand(const std::vector<std::string>& args) {
    CLI::App app{"kru plot: draws the energy profile (energy of each geometry relative to the "
                 "first, kcal/mol; one point per scan point of a relaxed scan) and the infrared "
                 "spectrum (sticks and a Lorentzian curve) of one or more runs as an SVG picture. "
                 "Several inputs share the energy profile, a colour each.",
                 "kru plot"};
    std::vector<std::string> files;
    std::string what = "both";
    double halfwidth = defaulthalfwidth;
    app.add_option("files", files, "INPUT... OUTPUT.svg")->type_name("FILE");
    app.add_option("--what", what, "energy, ir, or both: each the runs have (default both)")
        ->check(CLI::IsMember({"energy", "ir", "both"}))
        ->type_name("WHAT");
    app.add_option("--width", halfwidth, "half-width of the spectrum's bands, cm-1 (default 10)")
        ->check(CLI::PositiveNumber)
        ->type_name("W");
    if (const auto status =
            parsecommand(app, args, "kru plot", "kru plot --help shows the command")) {
        return *status;
    }
    if (files.size() < 2) {
        return usage("give the inputs and the picture's name, OUTPUT.svg");
    }
    const std::string output = files.back();
    files.pop_back();
    if (std::filesystem::path(output).extension() != ".svg") {
        return usage(output + ": the picture's name must end in .svg");
    }
    const PlotWhat shown = what == "energy" ? PlotWhat::energy
                           : what == "ir"   ? PlotWhat::ir
                                            : PlotWhat::both;

    std::vector<PlotSeries> runs;
    for (const std::string& input : files) {
        const Detection d = detectinputtype(input);
        if (d.type.empty()) {
            return failed(input, d.reason);
        }
        Options options;
        options.inputfile = input;
        options.inputtype = std::string(d.type);
        options.outputtype = "PLOT";
        RunContext context;
        context.errorline = true;
        Store s(options, context);
        try {
            refuseoverwrite(s, output);
            readasconversion(s);
        } catch (...) {
            return stoprun(s);
        }
        runs.push_back(plotseries(s));
        if (const std::string lack = missing(runs.back(), shown); !lack.empty()) {
            return failed(input, lack);
        }
    }
    std::string title;
    for (const PlotSeries& run : runs) {
        title += (title.empty() ? "" : ", ") + std::filesystem::path(run.name).filename().string();
    }
    if (title.size() > 80) {
        title = title.substr(0, 77) + "...";
    }
    OutputFile out;
    if (!out.open(output)) {
        return failed(output, "cannot be created");
    }
    out.write(svgdocument(title, runs, shown, halfwidth));
    if (!out.close()) {
        return failed(output, "could not be written");
    }
    return 0;
}
