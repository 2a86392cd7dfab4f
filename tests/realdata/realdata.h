// The real outputs the suite reads, program by program, and what it compares for each. A new
// reader joins the suite with one entry in programs().
#pragma once

#include <span>
#include <string_view>

/// What the reader must make of one file where it differs from what the reference lists.
struct FileExpectation {
    std::string_view file;
    int ngeom;          // geometries in the sequence after the arrangement step
    bool energiesknown; // false: every geometry of the sequence carries energy 0
};

/// One program's outputs: where they lie, how KRU reads them, and what to compare.
struct Program {
    std::string_view folder;    // under the real-data folder; also the reference's key prefix
    std::string_view inputtype; // the type on the IN line
    std::string_view suffix;    // every file whose name ends in this is read
    bool energy;                // the final energy against the reference's last SCF energy
    bool frequencies;           // frequencies (cm-1)
    bool intensities;           // infrared intensities (km/mol)
    bool modes;                 // normal-mode displacements, up to sign and scale
    double geometrytol;         // Angstrom, from the printed precision of the coordinates
    double frequencytol;        // cm-1
    double intensitytol;        // km/mol
    double modetol;             // allowed 1 - |cos| between a mode and the reference's
    std::span<const FileExpectation> files;
};

/// Every program whose outputs the suite reads.
std::span<const Program> programs();
