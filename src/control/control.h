// The run driver and the routines every other part of the program leans on: orderly
// termination, the control input, the dispatch to readers and writers, and the text utilities.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct Store;
struct Options;
struct RunContext;

/// The one error type of a run: `main` turns it into the error banner and exit status 1.
struct RunError : std::runtime_error {
    RunError(std::string_view message, std::string_view where, bool plainstop = false)
        : std::runtime_error(std::string(message)), routine(where), plain(plainstop) {}
    std::string routine;
    bool plain;         // a numeric routine's stop: "STOP message" on standard error, no banner
    std::string file;   // the file being read or written when the run failed, if any
    long long line = 0; // the line of the input file a reader had reached; 0 none
};

/// Ends the run with a message and the name of the routine that met the failure.
[[noreturn]] void myexit(std::string_view message, std::string_view routine);
/// Ends the run without the banner: "STOP " and the message on standard error.
[[noreturn]] void plainstop(std::string_view message);
/// Reports a table that could not be created or released, then ends the run.
[[noreturn]] void allocexit(std::ostream& log, std::string_view name, long long size,
                            std::string_view routine);
/// The error banner as printed on standard output, message and routine included.
std::string errorbanner(const RunError& e);

/// Reads the control input to its end, sets the run options and settles them (checkoptions).
void processinput(Store& s, std::istream& control);
/// Sets the options one line of the control input sets (a 160-character record): the first
/// keyword that starts it, or a USER identity.
void applycontrolline(Store& s, std::string_view record);
/// Settles the options once all are set: a K-matrix file cancels REORDER; the input file must
/// exist.
void checkoptions(Store& s);
/// Opens the input file, runs the reader of its type, completes coordinates and reads the side
/// files.
void readfile(Store& s);
/// Opens the output file, runs the writer of its type, then the distortion writer.
void writefile(Store& s);
/// The usage text: control input, keywords, input and output types.
std::string helptext();
/// The command line: a conversion of INPUT to OUTPUT with options named after the keywords, a
/// control file, or the control input on standard input; returns the process exit status.
int commandline(int argc, char** argv);
/// `kru plot INPUT... OUTPUT.svg [--what energy|ir|both] [--width W]`: the energy profiles and
/// infrared spectra of the inputs as one picture; returns the process exit status.
int plotcommand(const std::vector<std::string>& args);
/// The whole run on one control input; returns the process exit status.
int run(std::istream& control, const RunContext& context);
/// The whole run on options set as processinput sets them, without a control input; returns the
/// process exit status.
int convert(const Options& options, const RunContext& context);
/// The end of a run whose stage threw, called in the handler of a catch: the error banner on
/// the log, or the plain STOP line; any exception, a failed allocation included; returns the
/// exit status 1.
int stoprun(const Store& s);

/// Copy of text with a to z upper-cased; every other byte unchanged.
std::string upcase(std::string_view text);
/// Position of the last character that is not a blank; 0 for an all-blank text.
int len_trim(std::string_view text);
/// Blanks out the first "!" and everything after it.
void cleanupline(std::string& line);
/// Decimal digits of a non-negative number, without leading zeros.
std::string getsuffix(long long number);
/// Digits of itid zero-padded to the number of digits of mxtid ("007" for 7 of 120).
std::string getsuffix2(long long itid, long long mxtid);
/// A side file's name: the output file name, then the suffix.
std::string sidefilename(const Store& s, std::string_view suffix);
/// Ends the run when writing the file would replace the input, order, K-matrix or isotope file;
/// relative names count under the run's base folder.
void refuseoverwrite(const Store& s, std::string_view file);

/// Text padded with blanks, or cut, to exactly n characters: a fixed-length text field.
std::string fixedtext(std::string_view text, std::size_t n);
/// Text padded with blanks to at least n characters; a longer text stays whole. A type of the
/// options shows in messages as the 6-character field of the control input.
std::string padright(std::string_view text, std::size_t n);
/// Text without its trailing blanks.
std::string_view trimright(std::string_view text);
/// Text without the blanks and tabs before and after it.
std::string_view trimblanks(std::string_view text);
/// Text without its leading blanks.
std::string_view trimleft(std::string_view text);

/// Where to write to users of the project about types not yet implemented.
inline constexpr std::string_view maintainer = "kru-maintainers@example.org";
