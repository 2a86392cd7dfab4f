// The commands of the command line besides the control input: conversions one by one or as a
// batch, what a file holds (`kru info`), and its pictures (`kru plot`).
#pragma once

#include "store/runcontext.h"
#include "store/store.h"

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// A conversion command as the command line gives it, its keyword options already set.
struct ConvertRequest {
    std::vector<std::string> inputs; // positional inputs, then those of the list file
    std::string from, to, output;    // types as given; the output of a single input
    std::string listfile;            // --files-from: a file naming an input a line; "-" stdin
    std::string folder;              // -d: where a batch writes its outputs
    int processes = 0;               // -j: conversions at once; 0 the number of processors
    int shard = 1, shards = 1;       // --shard K/N: every N-th input from the K-th
    bool batch = false;              // -d, -j, --files-from or --shard given
    Options settings;                // the keywords' options
};

/// One file of a batch: the input and the output it becomes.
struct BatchFile {
    std::string input;
    std::string output;
};

namespace CLI {
class App;
}

/// Parses a command's arguments (those after the program's name, or after the command's word)
/// with its declaration; the exit status when that ends the command (help or version printed,
/// or arguments it cannot take, said in one line that ends with the hint), else nothing.
std::optional<int> parsecommand(CLI::App& app, const std::vector<std::string>& args,
                                const std::string& program, const std::string& hint);
/// A command line that cannot be run, or a file it cannot start on: "kru: error: WHERE: reason"
/// on standard error; returns the exit status 2.
int commandfailure(const std::string& where, const std::string& reason);
/// Runs the conversions a command line asks for, one by one or as a batch; returns the exit
/// status.
int convertcommand(const ConvertRequest& request);
/// Converts the files `processes` at a time, each in a process of its own, the output and side
/// files written under temporary names and renamed once complete; a progress line on a terminal
/// and a summary naming each failed file on standard error; returns 1 when any file failed.
int batchconvert(const std::vector<BatchFile>& files, const Options& settings, int processes);

/// What `kru info` tells about one file.
struct FileFacts {
    std::string file;
    std::string error;   // why the file could not be read; empty when it was
    std::string type;    // the input type it was read as
    std::string program; // the program whose output it is; empty for a plain file format
    std::string version; // as the program prints it; empty when not found
    int atoms = 0;
    std::string formula;          // Hill order
    int geometries = 0;           // in the geometry sequence
    std::optional<double> energy; // the run's final energy, Hartree
    std::vector<double> energies; // of each geometry of the sequence, Hartree
    Tristate ended = Tristate::unknown;
    Tristate converged = Tristate::unknown;
    int frequencies = 0;
    std::optional<double> lowest; // cm-1
    int imaginary = 0;            // frequencies below zero
    std::string profile;          // the energies as one line of block characters; empty for one
    std::string imaginarylist;    // the imaginary frequencies named; empty without modes
};

/// `kru plot INPUT... OUTPUT.svg [--what energy|ir|both] [--width W]`: the energy profiles and
/// infrared spectra of the inputs as one picture; returns the process exit status.
int plotcommand(const std::vector<std::string>& args);
/// `kru info FILE... [--json]`: a block per file, or a table row each for several, or JSON;
/// the arguments after "info"; returns the exit status.
int infocommand(const std::vector<std::string>& args);
/// Reads a file as a conversion reads it (its type found from its content) and gathers its facts;
/// the reader's messages go nowhere.
FileFacts readfacts(const std::string& path);
/// Reads the store's input as a conversion to its output type reads it (checkoptions, the
/// reader, the arrangement), the files readers write beside the output going into a scratch
/// folder that is removed afterwards; fails as a run fails.
void readasconversion(Store& s);
/// The facts of one file as a block of "label  value" lines.
std::string infoblock(const FileFacts& facts);
/// The facts of several files as a table, a row each.
std::string infotable(std::span<const FileFacts> facts);
/// The facts as a JSON array, an object per file.
std::string infojson(std::span<const FileFacts> facts);
/// The formula in Hill order: C, then H, then the other elements alphabetically (all
/// alphabetically without carbon); a count of one is left out.
std::string hillformula(const Store& s);

/// A number with a fixed count of decimals and no padding, as the summaries print them.
inline std::string fixeddecimals(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

inline std::string_view tristatename(Tristate t) {
    return t == Tristate::yes ? "yes" : t == Tristate::no ? "no" : "unknown";
}
