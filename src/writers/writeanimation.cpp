// The part both animation writers share: one file per selected mode, 40 frames of the final
// structure swinging along the mode's normalised pattern, and the output file replaced by a note
// that says where the mode files are.
#include "control/control.h"
#include "control/files.h"
#include "store/atominfo.h"
#include "store/store.h"
#include "writers/writers.h"

#include <cmath>
#include <filesystem>
#include <new>
#include <ostream>

namespace {

// 0.04 Angstrom in Bohr: the displacement per unit amplitude.
constexpr double step = 0.07558903961772992;

// Frames 1..40: 0; +1..+10; +9 down to -10; -9..-1, so that the loop closes smoothly.
int amplitude(int frame) {
    if (frame <= 11) {
        return frame - 1;
    }
    if (frame <= 31) {
        return 21 - frame;
    }
    return frame - 41;
}

double mass(int z) {
    return z >= 1 && z <= nelements ? defatmass(z) : 0.0;
}

// The mode's displacement pattern, mass-weighted and scaled to unit length over all atoms. An
// atom without mass (the dummy atom) cannot be divided by its mass and stays still; a pattern
// of length zero stays zero rather than becoming NaN.
void pattern(const Store& s, int mode, bool divide, Table2<double>& xdef) {
    double total = 0.0;
    for (int l = 1; l <= s.nat; ++l) {
        const int m = s.iorder(l, 2);
        const double root = std::sqrt(mass(s.iat(m)));
        double sum = 0.0;
        for (int k = 1; k <= 3; ++k) {
            if (!divide) {
                xdef(k, m) = s.vibvec(k, m, mode) * root;
            } else if (root > 0.0) {
                xdef(k, m) = s.vibvec(k, m, mode) / root;
            } else {
                xdef(k, m) = 0.0;
            }
            sum += xdef(k, m) * xdef(k, m);
        }
        total += sum;
    }
    if (total > 0.0) {
        const double length = std::sqrt(total);
        for (int m = 1; m <= s.nat; ++m) {
            for (int k = 1; k <= 3; ++k) {
                xdef(k, m) /= length;
            }
        }
    }
}

} // namespace

void writeanimation(Store& s, OutputFile& out, const AnimationKind& kind) {
    if (s.nvib < 1) {
        s.log() << "No vibrations found .. \n";
        return;
    }
    Table2<double> xdef;
    Table2<double> frame; // Angstrom
    try {
        xdef.allocate(Extent{1, 3}, Extent{1, s.nat}, 0.0);
        frame.allocate(Extent{1, 3}, Extent{1, s.nat}, 0.0);
    } catch (const std::bad_alloc&) {
        allocexit(s.log(), "XDEF", 3LL * s.nat, kind.routine);
    }

    // The animation goes to the mode files; the output file only gets the note at the end.
    const std::string outputfile = s.path(s.outputfile);
    out.close();
    std::error_code ec;
    std::filesystem::remove(outputfile, ec);

    const AnimationFiles files = animationfiles(s, kind.suffix, kind.window);
    for (const AnimationFiles::Mode& mode : files.modes) {
        pattern(s, mode.mode, kind.divide, xdef);
        if (!out.open(s.path(mode.file))) {
            myexit("Error opening outputfile", "writefile");
        }
        for (int f = 1; f <= 40; ++f) {
            const int a = amplitude(f);
            for (int m = 1; m <= s.nat; ++m) {
                for (int k = 1; k <= 3; ++k) {
                    frame(k, m) = a == 0
                                      ? s.xyz(k, m) * angstrom_per_bohr
                                      : (s.xyz(k, m) + a * step * xdef(k, m)) * angstrom_per_bohr;
                }
            }
            kind.frame(s, out, mode.mode, f, frame);
        }
        if (!out.close()) {
            myexit("Error writing outputfile", "writefile");
        }
    }

    if (!out.open(outputfile)) {
        myexit("Error opening outputfile", "writefile");
    }
    out.line("All " + std::string(kind.suffix.substr(1)) +
             " files have been created separately, look for");
    out.line(files.base + "*" + std::string(kind.suffix) + " files");
}
