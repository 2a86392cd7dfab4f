// Reads the ATOM and HETATM records of a Protein Data Bank file: element, coordinates, atom name,
// residue name and residue number of every atom. The records are split into fields, not cut at
// columns; only the element symbol comes from its fixed columns 77-78.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace {

// Residues whose atom names are looked up in the amino-acid table before the element table.
constexpr std::array<std::string_view, 21> residues{
    "ALA", "GLY", "SER", "THR", "LEU", "ILE", "VAL", "ASN", "GLN", "ARG", "HIS",
    "TRP", "PHE", "TYR", "GLU", "ASP", "LYS", "PRO", "CYS", "MET", "SOL"};

struct AminoAtom {
    std::string_view name;
    int z;
};

// Atom names of the standard residues: "CA" is the alpha carbon and "HG1" a hydrogen, where the
// element table would read calcium and mercury.
constexpr std::array<AminoAtom, 84> aminoatoms{{
    {"C", 6},    {"CA", 6},   {"CB", 6},   {"CD", 6},   {"CD1", 6},  {"CD2", 6},  {"CE", 6},
    {"CE1", 6},  {"CE2", 6},  {"CE3", 6},  {"CG", 6},   {"CG1", 6},  {"CG2", 6},  {"CH2", 6},
    {"CZ", 6},   {"CZ2", 6},  {"CZ3", 6},  {"H", 1},    {"H1", 1},   {"H2", 1},   {"H3", 1},
    {"HA", 1},   {"HA2", 1},  {"HA3", 1},  {"HB", 1},   {"HB1", 1},  {"HB2", 1},  {"HB3", 1},
    {"HD1", 1},  {"HD11", 1}, {"HD12", 1}, {"HD13", 1}, {"HD2", 1},  {"HD21", 1}, {"HD22", 1},
    {"HD23", 1}, {"HD3", 1},  {"HE", 1},   {"HE1", 1},  {"HE2", 1},  {"HE21", 1}, {"HE22", 1},
    {"HE3", 1},  {"HG", 1},   {"HG1", 1},  {"HG11", 1}, {"HG12", 1}, {"HG13", 1}, {"HG2", 1},
    {"HG21", 1}, {"HG22", 1}, {"HG23", 1}, {"HG3", 1},  {"HH", 1},   {"HH11", 1}, {"HH12", 1},
    {"HH2", 1},  {"HH21", 1}, {"HH22", 1}, {"HN", 1},   {"HZ", 1},   {"HZ1", 1},  {"HZ2", 1},
    {"HZ3", 1},  {"N", 7},    {"ND1", 7},  {"ND2", 7},  {"NE", 7},   {"NE1", 7},  {"NE2", 7},
    {"NH1", 7},  {"NH2", 7},  {"NZ", 7},   {"O", 8},    {"OD1", 8},  {"OD2", 8},  {"OE1", 8},
    {"OE2", 8},  {"OG", 8},   {"OG1", 8},  {"OH", 8},   {"OXT", 8},  {"SD", 16},  {"SG", 16},
}};

enum class Record { other, atom, mergedserial };

// Only a record whose first field is ATOM or HETATM is an atom, not every line that mentions
// the word. A five-digit serial number fills columns 7-11 and runs into "HETATM", so
// "HETATM10000" is an atom record too, its serial number glued to its name.
Record namekind(std::string_view name) {
    if (name == "ATOM" || name == "HETATM") {
        return Record::atom;
    }
    if (name.size() > 6 && name.starts_with("HETATM") &&
        std::all_of(name.begin() + 6, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return Record::mergedserial;
    }
    return Record::other;
}

Record recordkind(const FreeRead& f) {
    return f.fndorder(1).kind == FieldKind::string ? namekind(f.fndstrings(1)) : Record::other;
}

// recordkind of a line's fields, found from the first field alone: the counting pass meets
// every line of the file and needs no number of it. The first entry is a string only when the
// line's first field is quoted, or is unquoted and not a number; an unquoted ATOM or HETATM
// record name is never a number, so its text alone decides.
Record firstfieldkind(std::string_view line) {
    std::size_t p = 0;
    while (p < line.size() && (static_cast<unsigned char>(line[p]) < 33 || line[p] == ',')) {
        ++p;
    }
    if (p == line.size() || line[p] == '=') {
        return Record::other;
    }
    std::string_view name;
    if (line[p] == '"' || line[p] == '\'') {
        const std::size_t close = line.find(line[p], p + 1);
        name = line.substr(p + 1, close == std::string_view::npos ? std::string_view::npos
                                                                  : close - p - 1);
        name = name.substr(0, FreeRead::maxstring);
        while (!name.empty() && name.back() == ' ') {
            name.remove_suffix(1);
        }
    } else {
        std::size_t end = p;
        while (end < line.size() && static_cast<unsigned char>(line[end]) >= 33 &&
               line[end] != ',' && line[end] != '=') {
            ++end;
        }
        name = line.substr(p, end - p).substr(0, FreeRead::maxstring);
    }
    return namekind(name);
}

// First matching entry of the element table for the first two characters of the atom name, or
// for the element columns.
int elementof(std::string_view name2, std::string_view element) {
    for (int z = 1; z <= nelements; ++z) {
        const std::string_view nam = defatnam(z);
        if (name2 == nam || element == trimright(nam)) {
            return z;
        }
    }
    return 0;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Every atom goes through here: the names are compared in small buffers, not new strings.
int lookup(std::ostream& log, std::string_view name, std::string_view residue,
           std::string_view line) {
    if (std::find(residues.begin(), residues.end(), residue) != residues.end()) {
        const std::string upname = upcase(name);
        for (const AminoAtom& a : aminoatoms) {
            if (a.name == upname) {
                return a.z;
            }
        }
    }
    // Columns 77-78 of the record, which is padded with blanks.
    const std::array<char, 2> columns{upper(line.size() > 76 ? line[76] : ' '),
                                      upper(line.size() > 77 ? line[77] : ' ')};
    const std::string_view element =
        trimleft(trimright(std::string_view(columns.data(), columns.size())));
    // The atom name as written: a lower-case name does not spell an element.
    std::array<char, 2> name2{name.size() > 0 ? name[0] : ' ', name.size() > 1 ? name[1] : ' '};
    auto tried = [&] { return elementof(std::string_view(name2.data(), name2.size()), element); };
    int z = tried();
    if (z == 0 && name2[1] >= '0' && name2[1] <= '9') {
        name2[1] = ' '; // "H1" is tried as "H"
        z = tried();
    }
    if (z == 0) {
        unknownatomtype(log, name, record(line), "readpdb");
    }
    return z;
}

void storeatom(Store& s, const FreeRead& f, Record kind, std::string_view line) {
    if (f.nfndr < 3) {
        s.log() << "Not enough reals found: " << fw::I(f.nfndr, 2) << '\n'
                << "LINE: " << record(line) << '\n';
        myexit("Not enough reals on line", "readpdb");
    }
    const std::string_view name = f.fndstrings(2);
    const std::string residue = upcase(f.fndstrings(3));
    const int z = lookup(s.log(), name, residue, line);
    if (s.nat + 1 > s.iat.hi()) {
        myexit("More atoms than counted", "readpdb");
    }
    const int a = ++s.nat;
    s.iat(a) = z;
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = f.fndreals(k) / angstrom_per_bohr;
    }
    s.atdescr(a) = fixedtext(upcase(name), 10);
    s.moldescr(a) = fixedtext(residue, 10);
    // The residue number is the integer after the serial number, or the first integer when the
    // serial number came glued to the record name.
    s.iatmol(a) = clampint(f.fndintegers(kind == Record::mergedserial ? 1 : 2));
}

} // namespace

void readpdb(Store& s, InputFile& in) {
    int count = 0;
    std::string_view line;
    in.rewind();
    while (in.getline(line)) {
        if (firstfieldkind(line) != Record::other) {
            ++count;
        }
    }
    if (count == 0) {
        myexit("No atoms found", "readpdb");
    }
    s.nat = count;
    sizestore(s, in, "readpdb");
    s.nat = 0;
    s.inpcoor = 1;
    while (in.getline(line)) {
        const FreeRead f = freerd(line);
        const Record kind = recordkind(f);
        if (kind != Record::other) {
            storeatom(s, f, kind, line);
        }
    }
}
