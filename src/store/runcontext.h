// What a run is told apart from the molecule: the options of the conversion, and the context it
// runs in (where it prints, where its relative file names start). Neither holds state shared
// with another run, so conversions can run one after another or side by side.
#pragma once

#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

/// The options of one conversion, as the control input sets them. Types are upper case and file
/// names as given, both without surrounding blanks.
struct Options {
    std::string inputtype;
    std::string outputtype;
    std::string systemtype;
    std::string distortsel = "ALL"; // at most 6 characters count
    std::string inputfile;
    std::string outputfile;
    std::string kmatrixfile;
    std::string isotpfile;
    std::string inporderfile;
    long long idgeo = -1; // geometry that becomes the final structure; outside 1..ngeom the last
    long long job = 0;    // run of a multi-run output to read; 0 the last
    long long modelstart = 0; // first model number of a multi-model PDB file
    long long mxvibs = 3;     // modes to animate
    long long idtsrc = 0;     // the transition-state mode; 0 the mode with the lowest frequency
    long long idoftl = 1;     // 1 walks the geometries first to last, 0 last to first
    std::array<long long, 2> idrange{0, 0};     // first and last geometry written; 0 no limit
    std::array<long long, 3> idorient{0, 0, 0}; // atoms of the reorientation
    double rminfrq = 1.0;
    double rmaxfrq = 0.0;
    double fdistort = 1.0;
    bool verbose = false;
    bool debug = false;
    bool reorient = false;
    bool reorder = false;
    bool inporder = false;
    bool newkmatrix = false;
    bool lisotp = false;
    bool nolt = false;
    bool massie = false;
    // The next calculation's inputs; unset, the run's own values or the defaults.
    std::optional<long long> charge;
    std::optional<long long> mult;
    std::string method;
};

/// Where a run prints its messages and where its relative file names start. The streams are not
/// owned; they must outlive the run.
struct RunContext {
    RunContext() = default;
    explicit RunContext(std::ostream& logto, std::ostream& errto = std::cerr,
                        std::filesystem::path folder = {})
        : log(&logto), err(&errto), base(std::move(folder)) {}

    std::ostream* log = &std::cout; // messages, and the error banner
    std::ostream* err = &std::cerr; // notes and the closing STOP line
    std::filesystem::path base;     // folder of relative file names; empty: the working folder
    // A failure is one line on err, "kru: error: FILE:LINE: reason", instead of the banner and
    // the STOP line: the command line's way; the control input keeps the banner.
    bool errorline = false;

    /// A file name as the run opens it: a relative name under the base folder; an absolute or
    /// empty name, or any name without a base folder, as it is.
    std::string path(std::string_view name) const;
};
