// Reads the molecule from an ADF input file: the ATOMS block, Cartesian or as a Z-matrix, the
// UNITS block and the GEOVAR variables a Z-matrix may name. Keywords are found anywhere in the
// upper-cased line; everything outside these three blocks is passed over.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::string_view routine = "readadfinp";

// Angstrom to Bohr: the double nearest to 1/angstrom_per_bohr. This reader multiplies by it where
// the other readers divide by angstrom_per_bohr, which can differ in the last bit.
constexpr double bohr_per_angstrom = 1.889725990443248;

struct GeoVar {
    std::string name; // upper-cased, without trailing blanks
    double value = 0.0;
};

bool contains(std::string_view line, std::string_view word) {
    return line.find(word) != std::string_view::npos;
}

[[noreturn]] void reject(std::ostream& log, std::string_view what, std::string_view line,
                         std::string_view message) {
    log << what << '\n' << "LINE: " << record(line) << '\n';
    myexit(message, routine);
}

// The GEOVAR block as passes 1 and 2 see it: raw upper-cased lines, comments and blank lines
// included, so both passes meet the same variable lines.
struct GeovarBlock {
    bool open = false;
    // True for a variable line.
    bool variable(std::string_view up) {
        if (open) {
            if (contains(up, "END")) { // also a name such as "BEND1"
                open = false;
                return false;
            }
            return true;
        }
        if (contains(up, "GEOVAR")) {
            open = true;
        }
        return false;
    }
};

// The line as passes 3 and 4 examine it: upper-cased, a "!" comment blanked; empty when nothing
// is left.
std::string cleaned(std::string_view line) {
    std::string up = upcase(line);
    cleanupline(up);
    return len_trim(up) > 0 ? up : std::string();
}

enum class AtomsRule { atom, done, other };

// The ATOMS block rules that passes 3 and 4 share, so that both meet the same atom lines. "ATOMS
// ALL" and a line such as "ATOMS 1 2 3" belong to other blocks and open nothing. Only a line
// that begins with END closes the block: an atom line naming a variable such as "BEND1", or a
// fragment "F=LEGEND", would otherwise end it there and lose the atoms that follow.
AtomsRule atomsblock(std::string_view up, bool& inatoms, bool& zmatrix) {
    if (inatoms) {
        if (trimleft(up).starts_with("END")) {
            inatoms = false;
            return AtomsRule::done;
        }
        return AtomsRule::atom;
    }
    if (contains(up, "ATOMS")) {
        if (!contains(up, " ALL") && freerd(up).nfndi == 0) {
            inatoms = true;
            if (contains(up, "Z-MAT") || contains(up, "INTERNAL")) {
                zmatrix = true;
            }
        }
        return AtomsRule::done;
    }
    return AtomsRule::other;
}

std::vector<GeoVar> readgeovars(InputFile& in, std::ostream& log) {
    std::string_view line;
    long long count = 0;
    GeovarBlock block;
    in.rewind();
    while (in.getline(line)) {
        if (block.variable(upcase(line))) {
            ++count;
        }
    }
    std::vector<GeoVar> vars;
    if (count == 0) {
        return vars;
    }
    try {
        vars.reserve(std::size_t(count));
    } catch (const std::bad_alloc&) {
        myexit("Unable to allocate GEOVAR arrays", routine);
    } catch (const std::length_error&) {
        myexit("Unable to allocate GEOVAR arrays", routine);
    }
    block = GeovarBlock{};
    in.rewind();
    while (in.getline(line)) {
        const std::string up = upcase(line);
        if (!block.variable(up)) {
            continue;
        }
        const FreeRead f = freerd(up);
        if (f.nfndr == 0 && f.nfndi == 0) {
            log << "Error on line:\n" << record(up) << '\n';
            myexit("Error reading GEOVAR block", routine);
        }
        const double value = f.nfndr > 0 ? f.fndreals(1) : double(f.fndintegers(1));
        vars.push_back({std::string(trimright(f.fndstrings(1))), value});
    }
    return vars;
}

// The value a variable name stands for: the first variable of that name, else the negated value
// of the first variable whose name follows the "-". A name defined twice gives one value, so the
// values after it keep their places.
bool variablevalue(const std::vector<GeoVar>& vars, std::string_view name, double& value) {
    for (const GeoVar& v : vars) {
        if (v.name == name) {
            value = v.value;
            return true;
        }
    }
    for (const GeoVar& v : vars) {
        if (name.size() == v.name.size() + 1 && name.front() == '-' && name.substr(1) == v.name) {
            value = -v.value;
            return true;
        }
    }
    return false;
}

// Position, in the order of all fields, of the field that holds the element.
int elementfield(const FreeRead& f, std::string& symbol) {
    symbol = upcase(f.fndstrings(1));
    if (contains(symbol, "J.")) {
        return 1;
    }
    const std::size_t point = symbol.find('.');
    if (point != std::string::npos) {
        symbol.resize(point); // "C.1" is carbon
        for (int i = 1; i <= f.nfndt; ++i) {
            const FieldRef r = f.fndorder(i);
            if (r.kind == FieldKind::string && r.index == 1) {
                return i;
            }
        }
        return 1;
    }
    return f.fndorder(1).kind == FieldKind::real ? 2 : 1;
}

void cartesian(Store& s, const FreeRead& f, int a, int j, double lengthfactor) {
    std::vector<double> coords;
    if (f.nfndr > j + 1) {
        coords = {f.fndreals(j), f.fndreals(j + 1), f.fndreals(j + 2)};
    } else {
        for (int i = j; i <= f.nfndt && coords.size() < 3; ++i) {
            const FieldRef r = f.fndorder(i);
            if (r.kind == FieldKind::real) {
                coords.push_back(f.fndreals(r.index));
            } else if (r.kind == FieldKind::integer) {
                coords.push_back(double(f.fndintegers(r.index)));
            }
        }
    }
    if (coords.size() < 3) {
        myexit("Internal error#571", routine);
    }
    s.inpcoor = 1;
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = coords[std::size_t(k - 1)] * lengthfactor;
    }
}

// A Z-matrix line after its element: three references (0 for none), then as many values, as
// numbers or variable names, as the references ask for.
void internal(Store& s, const FreeRead& f, std::string_view up, int a, int j,
              const std::vector<GeoVar>& vars, double lengthfactor, double anglefactor) {
    s.inpcoor = 2;
    int ni = 0; // integers met
    int nv = 0; // values stored
    int nz = 0; // zero references
    auto store = [&](double value) {
        ++nv;
        if (nv == 1) {
            s.zmat(1, a) = value * lengthfactor;
        } else if (nv <= 3) {
            s.zmat(nv, a) = value * anglefactor;
        }
    };
    for (int i = j + 1; i <= f.nfndt; ++i) {
        const FieldRef r = f.fndorder(i);
        if (r.kind == FieldKind::integer) {
            const long long n = f.fndintegers(r.index);
            ++ni;
            if (ni <= 3) {
                s.kmatrx(ni, a) = clampint(n);
                if (n == 0) {
                    ++nz;
                }
            } else {
                store(double(n));
            }
            if (ni == 6 - nz) {
                break;
            }
        } else if (r.kind == FieldKind::real) {
            store(f.fndreals(r.index));
            if (nv == 3 - nz) {
                break;
            }
        } else if (r.kind == FieldKind::string) {
            double value = 0.0;
            if (!variablevalue(vars, trimright(f.fndstrings(r.index)), value)) {
                s.log() << "Error on line: \n" << record(up) << '\n';
                myexit("Error reading Z-matrix", routine);
            }
            store(value);
        }
    }
    if (ni <= 2) {
        myexit("Internal error#571", routine);
    }
}

void storeatom(Store& s, std::string_view up, bool zmatrix, const std::vector<GeoVar>& vars,
               double lengthfactor, double anglefactor) {
    const FreeRead f = freerd(up);
    if (f.nfnds < 1) {
        reject(s.log(), "Not enough strings found: " + fw::I(f.nfnds, 2), up,
               "Not enough strings on line");
    }
    if (!zmatrix && f.nfndr + f.nfndi < 3) {
        reject(s.log(), "Not enough reals found: " + fw::I(f.nfndr, 2), up,
               "Not enough reals on line");
    }
    std::string symbol;
    const int j = elementfield(f, symbol);
    const int z = elementnumber(symbol);
    if (z == 0) {
        unknownatomtype(s.log(), symbol, record(up), routine);
    }
    if (s.nat + 1 > s.iat.hi()) {
        myexit("More atoms than counted", routine);
    }
    const int a = ++s.nat;
    s.iat(a) = z;
    if (zmatrix) {
        internal(s, f, up, a, j, vars, lengthfactor, anglefactor);
    } else {
        cartesian(s, f, a, j, lengthfactor);
    }
}

} // namespace

void readadfinp(Store& s, InputFile& in) {
    const std::vector<GeoVar> vars = readgeovars(in, s.log());

    double lengthfactor = bohr_per_angstrom;
    double anglefactor = radians_per_degree;
    bool zmatrix = false;
    bool inatoms = false;
    bool inunits = false;
    std::string_view line;
    int count = 0;
    in.rewind();
    while (in.getline(line)) {
        const std::string up = cleaned(line);
        if (up.empty()) {
            continue;
        }
        const AtomsRule rule = atomsblock(up, inatoms, zmatrix);
        if (rule == AtomsRule::atom) {
            ++count;
        } else if (rule == AtomsRule::done) {
            continue;
        } else if (inunits) {
            if (contains(up, "END")) {
                inunits = false;
            } else if (contains(up, "LENGTH") && contains(up, "BOHR")) {
                lengthfactor = 1.0;
            } else if (contains(up, "ANGLE") && contains(up, "RAD")) {
                anglefactor = 1.0;
            }
        } else if (contains(up, "UNITS")) {
            inunits = true;
        }
    }
    if (count == 0) {
        myexit("No atoms found", routine);
    }
    s.nat = count;
    sizestore(s, in, routine);
    s.nat = 0;
    inatoms = false;
    while (in.getline(line)) {
        const std::string up = cleaned(line);
        if (!up.empty() && atomsblock(up, inatoms, zmatrix) == AtomsRule::atom) {
            storeatom(s, up, zmatrix, vars, lengthfactor, anglefactor);
        }
    }
}
