// The real outputs the suite reads, program by program. A new reader joins the suite with one
// entry in programs(); every file of its folder with the entry's suffix is then read and checked.
#pragma once

#include <span>
#include <string_view>

/// One program's outputs: where they lie and how KRU reads them.
struct Program {
    std::string_view folder;    // under the real-data folder; also the reference's key prefix
    std::string_view inputtype; // the type on the IN line
    std::string_view suffix;    // every file whose name ends in this is read
};

/// Every program whose outputs the suite reads.
std::span<const Program> programs();

/// A file whose geometry sequence in KRU has another length than the reference's list of
/// geometries, and why.
struct CountDifference {
    std::string_view file; // PROGRAM/FILE
    std::string_view why;
};

/// Every real output whose sequence length differs from the reference's geometry count.
std::span<const CountDifference> countdifferences();
