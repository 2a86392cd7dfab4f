// The input and output types the program knows, each with the routine that handles it. The same
// tables drive the dispatch and the list of types that help texts and documents show.
#pragma once

#include <span>
#include <string_view>

struct Store;
class InputFile;
class OutputFile;

struct ReaderEntry {
    std::string_view type; // as written in the control input, at most 6 characters
    void (*read)(Store&, InputFile&);
    std::string_view what; // one line for help texts
};

struct WriterEntry {
    std::string_view type;
    void (*write)(Store&, OutputFile&);
    std::string_view what;
    bool nearlists = false; // reads the 20 nearest non-bonded atoms of each atom
};

struct KeywordEntry {
    std::string_view keyword;   // the leading characters compared, upper case, from column 1
    std::string_view arguments; // for help texts
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
