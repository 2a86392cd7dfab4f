// Start geometries for follow-up calculations when the structure has imaginary frequencies: the
// final structure displaced forward and backward along the imaginary normal modes, and, for a
// transition-state search, along all imaginary modes but the one the search should keep. Each
// pair of files is explained on standard output.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>
#include <ostream>
#include <string>

namespace {

// Grows from 0.1 with the size of an imaginary frequency and is capped at 1.
double distortfactor(double freq) {
    return std::min(freq / (-100.0) + 0.1, 1.0);
}

// Prints the mode's line and adds its vector, weighted by its factor, to the distortion d.
void addmode(const Store& s, long long mode, std::string_view label, Table2<double>& d) {
    const double f = distortfactor(s.vibs(mode));
    // "Imaginary frequency " | I5 mode | " Freq " | F10.4 frequency | label | F10.4 factor
    std::string line = "Imaginary frequency ";
    fw::I(line, mode, 5);
    line += " Freq ";
    fw::F(line, s.vibs(mode), 10, 4);
    line += label;
    fw::F(line, f, 10, 4);
    s.log() << line << '\n';
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            d(k, a) += f * s.vibvec(k, a, mode);
        }
    }
}

// Scales d to the length fdistort. A zero vector has no direction to scale, and false says so.
bool normalise(const Store& s, Table2<double>& d) {
    double sum = 0.0;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            sum += d(k, a) * d(k, a);
        }
    }
    const double length = std::sqrt(sum);
    if (length == 0.0) {
        return false;
    }
    const double scale = s.fdistort / length;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            d(k, a) *= scale;
        }
    }
    return true;
}

double atomlength(const Table2<double>& d, int a) {
    return std::sqrt(d(1, a) * d(1, a) + d(2, a) * d(2, a) + d(3, a) * d(3, a));
}

// The lowest-numbered of the atoms that move most: only a strictly longer displacement takes over.
int mostdisplaced(const Store& s, const Table2<double>& d) {
    int best = 1;
    for (int a = 2; a <= s.nat; ++a) {
        if (atomlength(d, a) > atomlength(d, best)) {
            best = a;
        }
    }
    return best;
}

std::array<double, 3> shifted(const Store& s, const Table2<double>& d, int a, double sign) {
    return {s.xyz(1, a) + sign * d(1, a), s.xyz(2, a) + sign * d(2, a),
            s.xyz(3, a) + sign * d(3, a)};
}

// +1 or -1: the forward geometry is the side on which the strongest bond of the most-displaced
// atom to a partner other than hydrogen is weaker, so that it leads away from the current
// structure. Without such a partner, or on a tie, forward is xyz + d.
double direction(const Store& s, const Table2<double>& d) {
    const int a = mostdisplaced(s, d);
    double splus = 0.0;
    double sminus = 0.0;
    for (int k = 1; k <= s.iconn(0, a); ++k) {
        const int b = s.iconn(k, a);
        if (s.iat(b) == 1) {
            continue; // bonds to hydrogen do not decide
        }
        double rho = 0.0;
        splus = std::max(splus, getrhoij2(shifted(s, d, a, 1.0), shifted(s, d, b, 1.0), s.iat(a),
                                          s.iat(b), rho));
        sminus = std::max(sminus, getrhoij2(shifted(s, d, a, -1.0), shifted(s, d, b, -1.0),
                                            s.iat(a), s.iat(b), rho));
    }
    return sminus < splus ? -1.0 : 1.0;
}

// Writes xyz + sign * d in Angstrom, atoms in output order, no header.
void writegeometry(const Store& s, const Table2<double>& d, double sign, const std::string& path,
                   std::string_view which) {
    OutputFile out;
    if (!out.open(s.path(path))) {
        myexit("Error opening outputfile" + std::string(which), "writefile");
    }
    for (int p = 1; p <= s.nat; ++p) {
        const int c = s.iorder(p, 2);
        // cols 1-10 label (2 for a bare symbol) | 11-12 blanks | 3 x (2 blanks, F10.5)
        std::string line = len_trim(s.atdescr(c)) > 0 ? fixedtext(s.atdescr(c), 10)
                                                      : std::string(atomsymbol(s.iat(c)));
        line += "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, (s.xyz(k, c) + sign * d(k, c)) * angstrom_per_bohr, 10, 5);
        }
        out.line(line);
    }
    if (!out.close()) {
        myexit("Error writing outputfile" + std::string(which), "writefile");
    }
    if (!displacedinputextension(s).empty()) {
        Table2<double> displaced;
        displaced.allocate(Extent{1, 3}, Extent{1, s.nat}, 0.0);
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                displaced(k, a) = s.xyz(k, a) + sign * d(k, a);
            }
        }
        writedisplacedinput(s, displaced, path);
    }
}

// Writes the pair xyz + sign * d and xyz - sign * d, or says why there is nothing to write.
void writepair(const Store& s, const Table2<double>& d, bool nonzero, double sign,
               std::string_view suffix) {
    const std::string& base = s.outputfile;
    if (nonzero) {
        writegeometry(s, d, sign, base + "-fwd" + std::string(suffix) + ".angs", "-fwd");
        writegeometry(s, d, -sign, base + "-rev" + std::string(suffix) + ".angs", "-rev");
    }
    s.log() << '\n';
    if (nonzero) {
        s.log() << "Written distorted geometries to *fwd" << suffix << ".angs and *rev" << suffix
                << ".angs files respectively.\n";
        if (const std::string_view ext = displacedinputextension(s); !ext.empty()) {
            s.log() << "Written inputs of them to *fwd" << suffix << ext << " and *rev" << suffix
                    << ext << " files respectively.\n";
        }
    } else {
        s.log() << "No distortion along the remaining imaginary modes; no files written.\n";
    }
}

void allmodesexplanation(std::ostream& log) {
    log << '\n'
        << "Imaginary frequencies found, adding distortions along normal mode vectors,\n"
        << "that can be used as starting point for new geometry optimization;\n"
        << "first, we assume that a optimization is performed, and therefore that\n"
        << "there should be no imaginary frequencies at all.\n"
        << '\n';
}

void singlemodeexplanation(std::ostream& log, long long mode) {
    log << '\n'
        << "Imaginary frequencies found, adding distortions along the TSRC normal mode "
           "vector,\n"
        << "that can be used as starting point for a poor-man's IRC (fwd/rev optimization)\n"
        << "It is assumed that the TSRC frequency is number :" << fw::I(mode, 5) << '\n'
        << "you can set this with -ts ID option of kru\n";
}

void singleimaginarynote(std::ostream& log) {
    log << '\n'
        << "Please note, that if it is a Transition State you are after,\n"
        << "you should ignore the above distorted geometry;\n"
        << "there is already only ONE imaginary frequency,\n"
        << "which is what you need for a Transition State.\n"
        << '\n';
}

void tsexplanation(std::ostream& log, long long mode) {
    log << '\n'
        << "Assuming a Transition State search, e.g. one imaginary frequency\n"
        << "is wanted, assumed to be " << fw::I(mode, 2) << ", and distort along all\n"
        << "other imaginar frequency normal modes.\n"
        << '\n';
}

} // namespace

void writedistort(Store& s) {
    if (s.nvib < 1) {
        return;
    }
    int nimag = 0;
    long long lowest = 0;
    double lowestfreq = 100000.0;
    for (int k = 1; k <= s.nvib; ++k) {
        if (s.vibs(k) < 0.0) {
            ++nimag;
        }
        if (s.vibs(k) < lowestfreq) { // of equal lowest frequencies the first mode wins
            lowestfreq = s.vibs(k);
            lowest = k;
        }
    }
    if (nimag == 0) {
        return;
    }
    if (s.idtsrc < 0 || s.idtsrc > s.nvib) {
        myexit("IDTSRC is not a mode number", "writedistort");
    }
    const long long tsmode = s.idtsrc != 0 ? s.idtsrc : lowest;
    const bool tspart = nimag > 1 || s.idtsrc != 0;
    // writefile has checked these names; a direct caller is held to the same guard.
    for (const std::string& file : distortionfiles(s)) {
        refuseoverwrite(s, file);
    }

    Table2<double> d;
    try {
        d.allocate(Extent{1, 3}, Extent{1, s.nat}, 0.0);
    } catch (const std::bad_alloc&) {
        myexit("Error allocating XYZdistort", "writexyz");
    }

    if (s.distortsel == "ALL") {
        allmodesexplanation(s.log());
        for (int k = 1; k <= s.nvib; ++k) {
            if (s.vibs(k) < 0.0) {
                addmode(s, k, " Relative Factor ", d);
            }
        }
    } else {
        singlemodeexplanation(s.log(), tsmode);
        addmode(s, tsmode, " Relative Factor ", d);
    }
    const bool nonzero = normalise(s, d);
    s.log() << "Length of distortion vector: " << fw::F(s.fdistort, 10, 4) << '\n';
    writepair(s, d, nonzero, nonzero ? direction(s, d) : 1.0, "");

    if (!tspart) {
        singleimaginarynote(s.log());
        return;
    }
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            d(k, a) = 0.0;
        }
    }
    tsexplanation(s.log(), tsmode);
    for (int k = 1; k <= s.nvib; ++k) {
        if (s.vibs(k) < 0.0 && k != tsmode) {
            addmode(s, k, " Factor ", d);
        }
    }
    writepair(s, d, normalise(s, d), 1.0, "TS");
}
