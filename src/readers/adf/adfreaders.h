// The pieces the ADF, AMS and VESKO output readers share: their atom tables, coordinate blocks,
// normal-mode and frequency-scan blocks and the files of linear-transit points.
#pragma once

#include "readers/readers.h"

#include <string>
#include <string_view>
#include <vector>

/// The layout of an ADF, AMS or VESKO atom table.
struct AtomTable {
    int headers = 0;          // lines before the first atom
    std::string_view routine; // the end of the file among the headers ends the run under it;
                              // when empty it is only said
    bool (*ends)(std::string_view line) = nullptr;           // the line after the last atom
    void (*atom)(Store& s, std::string_view line) = nullptr; // decodes one atom
};
/// Reads an atom table: counts its atoms into nat, or with `store` decodes them too. The end of
/// the file among the atoms is said, and the atoms read so far stay.
void readatomtable(Store& s, InputFile& in, bool store, const AtomTable& table);

/// ADF atom table after its "X Y Z" header line: counts its atoms into nat, or stores them too.
void readadfoutxyz(Store& s, InputFile& in, bool store);
/// ADF atom table after a "Coordinates in Geometry Cycle" line: counts or stores its atoms.
void readadflogxyz(Store& s, InputFile& in, bool store);
/// Decodes one atom line of an ADF atom table into a new atom nat + 1 (the label's element and
/// "J." or "Gh." kind, Angstrom coordinates into xyz, or into xgeo's `geometry` when above 0);
/// `cycletable` selects the geometry-cycle variant, `reader` names the reader in failures.
void adfatomline(Store& s, std::string_view line, bool cycletable,
                 std::string_view reader = "readadfout", int geometry = 0);
/// Writes the two coordinate files of linear-transit point `suffix` from xyztmp.
void writeltpoint(Store& s, std::string_view suffix);
/// Reads `skip` header lines and one line per atom (x, y, z in units of `unitsperbohr` per Bohr)
/// into xyztmp; 0 when complete, 1 at the end of the file among the headers, 2 among the atoms.
int adfcoordinates(Store& s, InputFile& in, int skip, double unitsperbohr);
/// A coordinate table printed once the atoms are known.
struct AdfGeometryTable {
    int headers;                // lines before the first atom
    double unitsperbohr;        // 1 for Bohr, angstrom_per_bohr for Angstrom
    bool awaitsenergy;          // pairs with the energy printed after it, else the one known
    std::string_view premature; // what the end of the file inside it says it was reading
};
/// Reads such a table into the next geometry of the sequence; when the file ends inside it,
/// says so and stores nothing.
void adfgeometry(Store& s, InputFile& in, GeometrySequence& sequence,
                 const AdfGeometryTable& table);
/// The Cartesian table after "Final Geometry" of linear-transit point `idlt` of `nrlt`: the next
/// geometry, with the energy known, and the point's coordinate files.
void adftransitpoint(Store& s, InputFile& in, GeometrySequence& sequence, long long idlt,
                     long long nrlt);
/// Normal-mode block: groups of at most three modes (a line of frequencies, a line passed over,
/// a line per atom with x, y, z of each mode) until as many modes are stored as were counted. A
/// line without three reals per mode is said and passed over, or with `strict` stops the run.
void adfnormalmodes(Store& s, InputFile& in, std::string_view reader, bool strict);
/// Frequency-scan table: each mode whose frequency matches an old value takes the new one.
void adffrequencyscan(Store& s, InputFile& in);

/// AMS atom table after its "X Y Z" header line, into geometry ngeom: counts or stores its atoms.
void readamsoutxyz(Store& s, InputFile& in, bool store);
/// AMS atom table right after its "Index Symbol" line, into geometry ngeom: counts or stores.
void readamsoutxyz2(Store& s, InputFile& in, bool store);
/// AMS atom table after a "Coordinates in Geometry Cycle" line, into geometry ngeom.
void readamslogxyz(Store& s, InputFile& in, bool store);
/// Atom lines of a linear-transit point's coordinate files: symbol and xyztmp in Angstrom.
std::vector<std::string> ltatomlines(const Store& s);

/// VESKO atom table after "Info read from ATOMS block": counts its atoms into nat, or stores them.
void readveskostart(Store& s, InputFile& in, bool store);
/// VESKO atom table after its one-line Bohr coordinate header: counts or stores its atoms.
void readveskostart2(Store& s, InputFile& in, bool store);
/// Decodes one VESKO atom line into a new atom nat + 1: element and label from the first field,
/// Bohr coordinates.
void veskoatomline(Store& s, std::string_view line);
/// Name of a transit-point file: the output file, ".lt", the point's suffix, then `kind`.
std::string ltpointname(const Store& s, std::string_view suffix, std::string_view kind);
/// Ends the run when the output file, or a file of the `count` transit points from `first`
/// (numbered up to nrlt), would replace a file the run reads.
void refuseltpoints(const Store& s, long long first, long long count, long long nrlt);
