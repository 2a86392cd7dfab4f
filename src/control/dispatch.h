// The input and output types the program knows, each with the routine that handles it and what
// the drivers need to know about it. The same tables drive the dispatch, the type detection and
// the list of types that help texts and documents show.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Store;
class InputFile;
class OutputFile;
class FileHead;

/// How specifically a file's first lines fit an input type; the most specific fit wins.
enum class Fit {
    none,     // the lines do not fit
    shape,    // the lines have the type's layout (atom lines, records, a count line)
    program,  // a program's banner
    specific, // a banner or layout that only this type of that program's files has
};

/// What a program's output says about its run besides the molecule.
struct RunMarkers {
    std::string_view program; // whose output the type is ("an ORCA output"); empty for a format
    /// Text that starts the version line (after its blanks); the words with digits right after it
    /// are the version.
    std::string_view version;
    std::string_view converged; // text of the line that says an optimisation converged
    bool ending = false;        // the reader notes a run that did not end normally
};

struct ReaderEntry {
    std::string_view type; // as written in the control input, at most 6 characters
    void (*read)(Store&, InputFile&);
    std::string_view what;       // one line for help texts
    std::string_view extensions; // file-name endings, blank-separated, lower case
    Fit (*fit)(const FileHead&); // the content test; nullptr: never detected (an alias)
    bool frequencyscan = false;  // scanned frequencies replace the computed ones
    RunMarkers run{};
};

struct WriterEntry {
    std::string_view type;
    void (*write)(Store&, OutputFile&);
    std::string_view what;
    std::string_view extensions; // file-name endings that choose this type, blank-separated
    /// The files the writer writes besides the output file; nullptr: none.
    std::vector<std::string> (*sidefiles)(const Store&) = nullptr;
    bool nearlists = false; // reads the 20 nearest non-bonded atoms of each atom
    bool zmatrix = false;   // reads the Z-matrix: reference atoms and internal coordinates
};

/// What a keyword's values are, as its option on the command line takes them.
enum class ValueKind {
    none,    // a flag
    integer, // whole numbers, passed on as written
    real,    // numbers, passed on with a decimal point (the control input reads "2" as an integer)
    word,
    file,
    type,
    text, // the rest of the line, blanks included
};

struct KeywordValues {
    ValueKind kind = ValueKind::none;
    int count = 0;
};

struct KeywordEntry {
    std::string_view keyword;    // the leading characters compared, upper case, from column 1
    std::string_view longoption; // the command line's name for it, without the leading "--"
    KeywordValues values;        // what the long option takes
    std::string_view arguments;  // for help texts: the values and their columns
    std::string_view what;
    std::string_view byDefault;
    void (*apply)(Store&, std::string_view record);
};

/// The control-input keywords, in the order they are tried. A line "USER name" naming one of
/// the known identities is recognised after all of them.
std::span<const KeywordEntry> keywords();
/// The input types with their readers.
std::span<const ReaderEntry> inputtypes();
/// The output types with their writers.
std::span<const WriterEntry> outputtypes();
/// The row of an input type named in the fixed-width type field or as a plain name; nullptr when
/// there is none.
const ReaderEntry* findinputtype(std::string_view type);
/// The row of an output type; nullptr when there is none.
const WriterEntry* findoutputtype(std::string_view type);
