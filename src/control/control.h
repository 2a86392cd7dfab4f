// The run driver and the routines every other part of the program leans on: orderly
// termination, the control input, the dispatch to readers and writers, and the text utilities.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

struct Store;

/// The one error type of a run: `main` turns it into the error banner and exit status 1.
struct RunError : std::runtime_error {
    RunError(std::string_view message, std::string_view where, bool plainstop = false)
        : std::runtime_error(std::string(message)), routine(where), plain(plainstop) {}
    std::string routine;
    bool plain; // a numeric routine's stop: "STOP message" on standard error, no banner
};

/// Ends the run with a message and the name of the routine that met the failure.
[[noreturn]] void myexit(std::string_view message, std::string_view routine);
/// Ends the run without the banner: "STOP " and the message on standard error.
[[noreturn]] void plainstop(std::string_view message);
/// Reports a table that could not be created or released, then ends the run.
[[noreturn]] void allocexit(std::string_view name, long long size, std::string_view routine);
/// The error banner as printed on standard output, message and routine included.
std::string errorbanner(const RunError& e);

/// Reads the control input to its end and sets the run options; checks that the input file exists.
void processinput(Store& s, std::istream& control);
/// Opens the input file, runs the reader of its type, completes coordinates and reads the side
/// files.
void readfile(Store& s);
/// Opens the output file, runs the writer of its type, then the distortion writer.
void writefile(Store& s);
/// The usage text: control input, keywords, input and output types.
std::string helptext();
/// The whole run on one control input; returns the process exit status.
int run(std::istream& control);

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
/// A side file's name: the output file name without trailing blanks, then the suffix.
std::string sidefilename(const Store& s, std::string_view suffix);
/// Ends the run when writing the file would replace the input, order, K-matrix or isotope file.
void refuseoverwrite(const Store& s, std::string_view file);

/// Text padded with blanks, or cut, to exactly n characters: a fixed-length text field.
std::string fixedtext(std::string_view text, std::size_t n);
/// Text without its trailing blanks.
std::string_view trimright(std::string_view text);
/// Text without its leading blanks.
std::string_view trimleft(std::string_view text);

/// Where to write to users of the project about types not yet implemented.
inline constexpr std::string_view maintainer = "kru-maintainers@example.org";
