// Completes the store between reading and writing: geometry sequence, element counts, labels,
// bonds, output order, molecule numbers, Z-matrix table, four-coordination index, frequency-scan
// values, isotope recomputation of the vibrations and reorientation, in this order.
#include "analysis/analysis.h"
#include "analysis/cellgrid.h"
#include "control/control.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <vector>

namespace {

double distance2(const Store& s, int a, int b) {
    double d = 0.0;
    for (int k = 1; k <= 3; ++k) {
        const double diff = s.xyz(k, a) - s.xyz(k, b);
        d += diff * diff;
    }
    return d;
}

void copygeometry(Store& s) {
    if (s.ngeom != 0) {
        return;
    }
    s.ngeom = 1;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xgeo(k, a, 1) = s.xyz(k, a);
        }
    }
    // The molecule's own energy, where the reader found one.
    s.egeo(1) = s.energy;
}

void countelements(Store& s) {
    for (int a = 1; a <= s.nat; ++a) {
        if (s.iat(a) >= 1 && s.iat(a) <= nelements) {
            ++s.idatdef[std::size_t(s.iat(a))];
        }
    }
}

void labels(Store& s) {
    for (int a = 1; a <= s.nat; ++a) {
        if (trimright(s.atdescr(a)).empty()) {
            const int z = s.iat(a);
            s.atdescr(a) = fixedtext(z >= 1 && z <= nelements ? defatnamlow(z) : "dum", 10);
        }
    }
}

void setorder(Store& s, int atom, int position) {
    s.iorder(atom, 1) = position;
    s.iorder(position, 2) = atom;
}

// The order file holds one atom number per line, position by position; anything but a
// permutation of the atoms would leave atoms unwritten or written twice.
void readorder(Store& s) {
    InputFile in;
    if (!in.load(s.path(s.inporderfile))) {
        myexit("Error opening inporder file", "arrange");
    }
    std::vector<bool> seen(std::size_t(s.nat) + 1, false);
    std::string_view line;
    for (int k = 1; k <= s.nat; ++k) {
        if (!in.getline(line)) {
            myexit("Error reading inporder file", "arrange");
        }
        const FreeRead f = freerd(line);
        const long long a = f.fndintegers(1);
        if (f.nfndi < 1 || a < 1 || a > s.nat || seen[std::size_t(a)]) {
            myexit("Error reading inporder file", "arrange");
        }
        seen[std::size_t(a)] = true;
        setorder(s, int(a), k);
    }
}

// The earlier atom (output position below k) nearest to atom `to`, other than the excluded
// ones; the lowest position wins a tie. 0 when none lies within 1000 Bohr. Searched outward
// cell shell by cell shell until no farther cell can hold a nearer or equally near atom.
class NearestEarlier {
  public:
    explicit NearestEarlier(const Store& s) : s_(s) {
        // In output order, so that each cell lists its earlier atoms first.
        std::vector<int> order;
        for (int p = 1; p <= s.nat; ++p) {
            order.push_back(s.iorder(p, 2));
        }
        grid_ = finitegrid(s, order, 2.5);
    }

    int operator()(int k, int to, int not1, int not2) const {
        Best best;
        const std::array<double, 3> pto = point(s_.xyz, to);
        auto consider = [&](int e, const double* pe) {
            const int p = s_.iorder(e, 1);
            if (p >= k) {
                return false; // and so are the cell's further atoms
            }
            if (e == not1 || e == not2) {
                return true;
            }
            double d = 0.0;
            for (std::size_t c = 0; c < 3; ++c) {
                const double diff = pto[c] - pe[c];
                d += diff * diff;
            }
            if (d < best.d || (d == best.d && best.atom != 0 && p < best.position)) {
                best = {d, p, e};
            }
            return true;
        };
        if (!grid_ || !finite(to)) {
            for (int p = 1; p < k; ++p) {
                const int e = s_.iorder(p, 2);
                consider(e, &s_.xyz(1, e));
            }
            return best.atom;
        }
        // Most nearest earlier atoms are near: the atoms within a bond's length, then within a
        // neighbouring molecule's distance are taken first, which settles the search when one
        // of them qualifies.
        for (const double near : {2.5, 6.0}) {
            grid_->ball(pto, near, consider);
            if (best.atom != 0 && best.d <= near * near) {
                return best.atom;
            }
            best = {};
        }
        const std::array<int, 3> cell = grid_->cellof(s_, to);
        for (int m = 0; m <= grid_->span(); ++m) {
            grid_->shell(cell, m, consider);
            const double further = grid_->clearance(pto, cell, m);
            if (further >= 1000.0 || (best.atom != 0 && further * further > best.d)) {
                break;
            }
        }
        return best.atom;
    }

  private:
    struct Best {
        double d = 1000000.0; // only squared distances below this count
        int position = 0;
        int atom = 0;
    };
    bool finite(int a) const {
        return std::isfinite(s_.xyz(1, a)) && std::isfinite(s_.xyz(2, a)) &&
               std::isfinite(s_.xyz(3, a));
    }
    const Store& s_;
    std::optional<CellGrid> grid_;
};

// First bonded neighbour of `of` that is placed before position k and is not excluded.
int bondedearlier(const Store& s, int k, int of, int not1, int not2) {
    for (int j = 1; j <= s.iconn(0, of); ++j) {
        const int n = s.iconn(j, of);
        if (n != not1 && n != not2 && s.iorder(n, 1) < k) {
            return n;
        }
    }
    return 0;
}

void buildkmatrix(Store& s) {
    // Built from nothing: references a reader left behind (the Z-matrix lines of a file whose
    // last line is Cartesian) must not stay in the entries the first atoms leave empty.
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.kmatrx(k, a) = 0;
        }
    }
    const NearestEarlier nearestearlier(s);
    for (int k = 2; k <= s.nat; ++k) {
        const int a = s.iorder(k, 2);
        if (k == 2) {
            s.kmatrx(1, a) = s.iorder(1, 2);
            continue;
        }
        if (k == 3) {
            const int f = s.iorder(1, 2);
            const int second = s.iorder(2, 2);
            int b = 0;
            for (int j = 1; j <= s.iconn(0, a) && b == 0; ++j) {
                const int n = s.iconn(j, a);
                b = n == f || n == second ? n : 0;
            }
            if (b == 0) {
                b = distance2(s, a, f) <= distance2(s, a, second) ? f : second;
            }
            s.kmatrx(1, a) = b;
            s.kmatrx(2, a) = b == f ? second : f;
            continue;
        }
        int b = bondedearlier(s, k, a, 0, 0);
        if (b == 0 && (b = nearestearlier(k, a, 0, 0)) == 0) {
            myexit("rreeeeallllyyy impossible", "arrange");
        }
        int c = bondedearlier(s, k, b, a, 0);
        if (c == 0 && (c = nearestearlier(k, b, b, 0)) == 0) {
            myexit("rreeeeallllyyy impossible#2", "arrange");
        }
        int d = bondedearlier(s, k, c, b, a);
        if (d == 0 && (d = nearestearlier(k, c, b, c)) == 0) {
            myexit("rreeeeallllyyy impossible#3", "arrange");
        }
        s.kmatrx(1, a) = b;
        s.kmatrx(2, a) = c;
        s.kmatrx(3, a) = d;
    }
}

void internalcoordinates(Store& s) {
    for (int a = 1; a <= s.nat; ++a) {
        const int b = s.kmatrx(1, a);
        if (b <= 0) {
            continue;
        }
        s.zmat(1, a) = bond(point(s.xyz, a), point(s.xyz, b));
        const int c = s.kmatrx(2, a);
        if (c <= 0) {
            continue;
        }
        s.zmat(2, a) = angle(point(s.xyz, a), point(s.xyz, b), point(s.xyz, c));
        const int d = s.kmatrx(3, a);
        if (d <= 0) {
            continue;
        }
        s.zmat(3, a) = dihedral(point(s.xyz, a), point(s.xyz, b), point(s.xyz, c), point(s.xyz, d));
    }
}

// Id, element, order, K-matrix with its values in Angstrom and degrees, and the bonded
// neighbours, ten to a line:
// cols 1-3 id, 6-8 iat, 9-16 iorder(i,1..2), 23-34 kmatrx, 43-66 zmat, 73-75 count, 81- 10I5
void listconnections(const Store& s) {
    std::string out = "Connection Matrix\n";
    out += " Id" + std::string(2, ' ') + "Iat" + std::string(3, ' ') + "Iorder" +
           std::string(9, ' ') + "K-matrix" + std::string(10, ' ') + "Connections\n";
    for (int i = 1; i <= s.nat; ++i) {
        std::string line;
        fw::I(line, i, 3);
        line += "  ";
        fw::I(line, s.iat(i), 3);
        line += "  ";
        fw::I(line, s.iorder(i, 1), 4);
        fw::I(line, s.iorder(i, 2), 4);
        line += "      ";
        for (int k = 1; k <= 3; ++k) {
            fw::I(line, s.kmatrx(k, i), 4);
        }
        line += "        ";
        fw::F(line, s.zmat(1, i) * angstrom_per_bohr, 8, 3);
        fw::F(line, s.zmat(2, i) / radians_per_degree, 8, 3);
        fw::F(line, s.zmat(3, i) / radians_per_degree, 8, 3);
        line += "      ";
        fw::I(line, s.iconn(0, i), 3);
        const std::size_t lead = line.size() + 5;
        for (int j = 1; j <= s.iconn(0, i); ++j) {
            if (j > 1 && (j - 1) % 10 == 0) {
                out += line + "\n";
                line.assign(lead, ' ');
            } else if (j == 1) {
                line += "     ";
            }
            fw::I(line, s.iconn(j, i), 5);
        }
        out += line + "\n";
    }
    s.log() << out;
}

// Whether the output's writer reads the Z-matrix; an unknown type keeps the full work, so that
// the run fails as it always did.
bool readszmatrix(const Store& s) {
    const WriterEntry* writer = findoutputtype(s.outputtype);
    return writer == nullptr || writer->zmatrix;
}

void zmatrix(Store& s) {
    if (!s.inputkmatrix && !s.newkmatrix) {
        // The reference table's nearest-atom search is most of the work on a large structure.
        if (!readszmatrix(s)) {
            return;
        }
        buildkmatrix(s);
        internalcoordinates(s);
        return;
    }
    if (s.newkmatrix) {
        internalcoordinates(s);
    }
    if (s.verbose) {
        listconnections(s);
    }
}

// Shape of four-coordinated centres: about 1 for a tetrahedron, 0 for a square plane.
void fourcoordination(Store& s) {
    for (int a = 1; a <= s.nat; ++a) {
        s.t4gen(a) = 0.0;
        if (s.iconn(0, a) != 4) {
            continue;
        }
        const Vec3 centre = point(s.xyz, a);
        auto theta = [&](int x, int y) {
            return angle(point(s.xyz, s.iconn(x, a)), centre, point(s.xyz, s.iconn(y, a)));
        };
        const double s1 = theta(1, 2) + theta(3, 4);
        const double s2 = theta(1, 3) + theta(2, 4);
        const double s3 = theta(1, 4) + theta(2, 3);
        double smax = s1;
        if (s2 > smax) {
            smax = s2;
        }
        if (s3 > smax) {
            smax = s3;
        }
        s.t4gen(a) = (360.0 - smax / radians_per_degree) / 141.0;
    }
}

// A frequency scan replaces the frequencies by the scanned ones.
void scannedfrequencies(Store& s) {
    const ReaderEntry* reader = findinputtype(s.inputtype);
    if (reader == nullptr || !reader->frequencyscan || !s.lscanfreq) {
        return;
    }
    const long long modes = s.fscanfreq.extent2().size();
    if (s.vibs.size() != modes) {
        s.vibs.allocate(Extent{1, modes});
    }
    for (long long m = 1; m <= modes; ++m) {
        s.vibs(m) = s.fscanfreq(2, m);
    }
}

void reorient(Store& s) {
    if (!s.reorient) {
        return;
    }
    reorient_coordinates(s, s.xyz.column(1));
    for (int g = 1; g <= s.ngeom; ++g) {
        reorient_coordinates(s, &s.xgeo(1, 1, g));
    }
}

// Whether the output's writer reads the 20 nearest non-bonded atoms of each atom: other runs are
// spared their search, the larger part of the connectivity's work on a large structure.
bool readsnearlists(const Store& s) {
    const WriterEntry* writer = findoutputtype(s.outputtype);
    return writer != nullptr && writer->nearlists;
}

} // namespace

void arrange(Store& s) {
    copygeometry(s);
    countelements(s);
    labels(s);
    make_iconn(s, readsnearlists(s));
    if (s.inporder) {
        readorder(s);
        numbermolecules(s);
    } else if (s.reorder) {
        chemicalorder(s);
    } else {
        for (int k = 1; k <= s.nat; ++k) {
            setorder(s, k, k);
        }
        numbermolecules(s);
    }
    zmatrix(s);
    fourcoordination(s);
    scannedfrequencies(s);
    if (s.lisotp) {
        remakevibs(s);
    }
    reorient(s);
}
