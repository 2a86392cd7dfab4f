// Fixed knowledge about the elements, entries 1 to 98, and the decoding of an atom line such as
// "C  0.000  1.397  0.000" into an atom of the store.
#pragma once

#include <iosfwd>
#include <string_view>

struct Store;

inline constexpr int nelements = 98;
inline constexpr int dummyatom = 94; // "XX"

/// Symbol in upper case, one-letter symbols followed by a blank ("C ", "CL").
std::string_view defatnam(int z);
/// Symbol as printed ("C ", "Cl").
std::string_view defatnamlow(int z);
/// Standard mass, amu.
double defatmass(int z);
/// Covalent radius, Angstrom; negative for elements that never bond.
double defcovrad(int z);
/// Atomic radius used by the ADF input reader; 999.9999 where none is defined.
double defatrad(int z);
/// Bond-valence radius, Angstrom.
double defokb_r(int z);
/// Bond-valence electronegativity.
double defokb_c(int z);

/// Entry number of an upper-cased symbol ("C", "CL", "J.C"), 0 when none matches. Only the first
/// two characters take part, four with the "J." prefix; the first matching entry wins.
int elementnumber(std::string_view uppersymbol);

/// Ends the run under `routine` for a symbol no element has: "Unknown atomtype found: " and its
/// first two characters, then "LINE: " and `echo` (the record the symbol was read from).
[[noreturn]] void unknownatomtype(std::ostream& log, std::string_view symbol, std::string_view echo,
                                  std::string_view routine);

/// Ends the run under `routine` for an atom label of an output table that names no element: `lead`
/// and "Unable to extract ATOMlabel from next line (tried with " and the label's first two
/// characters, then the whole record of `line`.
[[noreturn]] void unknownatomlabel(std::ostream& log, std::string_view lead, std::string_view label,
                                   std::string_view line, std::string_view routine);

/// How one reader's atom lines are written.
struct AtomLineOptions {
    bool angstrom = true;       // coordinates in Angstrom (else Bohr)
    bool elementnumber = false; // an integer may stand for the symbol
    bool integercoords = false; // integers count as coordinates
    bool prefixremoval = false; // "GH.C" reads as "C"
    bool zmatrix = false;       // six or more integers make an internal-coordinate line
};

/// Decodes one atom line and appends the atom to the store; ends the run on a line that is not
/// an atom, naming the calling reader.
void parseatomline(Store& s, std::string_view line, std::string_view routine,
                   const AtomLineOptions& options);
