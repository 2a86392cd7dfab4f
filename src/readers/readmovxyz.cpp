// Reads a multi-frame XYZ file (an optimisation log or trajectory): every frame, an atom count, a
// comment line and its atom lines in Angstrom, is one geometry of the sequence, with the energy
// its comment line holds. All frames have the first frame's atoms; a cut-off last frame is left
// out. The selected frame becomes the final structure.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <climits>
#include <ostream>
#include <string>

namespace {

constexpr std::string_view routine = "readmovxyz";

// The line that opens the next frame, past blank lines; false at the end of the file.
bool framehead(InputFile& in, std::string_view& line) {
    while (in.getline(line)) {
        if (len_trim(line) > 0) {
            return true;
        }
    }
    return false;
}

// The atom count a frame opens with: the first field of its line, an integer.
long long atomcount(std::ostream& log, std::string_view line, int frame) {
    const FreeRead f = freerd(line);
    if (f.fndorder(1).kind != FieldKind::integer) {
        log << "LINE: " << record(line) << '\n';
        myexit("Frame " + std::to_string(frame) + " does not start with an atom count", routine);
    }
    return f.fndintegers(1);
}

// Passes over a frame's comment and atom lines; false when the file ends first.
bool skipframe(InputFile& in, long long atoms) {
    std::string_view line;
    for (long long k = 0; k <= atoms; ++k) {
        if (!in.getline(line)) {
            return false;
        }
    }
    return true;
}

std::string symbol(int z) {
    return std::string(trimright(defatnamlow(z)));
}

} // namespace

void readmovxyz(Store& s, InputFile& in) {
    // First pass: the complete frames, which all have the first frame's atom count.
    in.rewind();
    std::string_view line;
    long long declaredatoms = 0;
    int frames = 0;
    bool cutoff = false;
    while (framehead(in, line)) {
        const int frame = frames + 1;
        const long long atoms = atomcount(s.log(), line, frame);
        if (frame == 1) {
            declaredatoms = atoms;
            // An empty first frame has no atoms to compare the others with.
            if (atoms <= 0) {
                break;
            }
        }
        if (!skipframe(in, atoms)) {
            cutoff = true;
            break;
        }
        if (atoms != declaredatoms) {
            myexit("Frame " + std::to_string(frame) + " has " + std::to_string(atoms) +
                       " atoms, frame 1 has " + std::to_string(declaredatoms),
                   routine);
        }
        frames = frame;
    }
    if (declaredatoms <= 0) {
        myexit("No atoms found", routine);
    }
    s.nat = int(std::min<long long>(declaredatoms, INT_MAX));
    s.ngeom = frames;
    sizestore(s, in, routine, declaredatoms);
    if (cutoff) {
        s.log() << " The last frame, frame " << frames + 1 << ", is incomplete and left out; the "
                << frames << " complete frames are read\n";
    }
    if (frames == 0) {
        myexit("No atoms found", routine);
    }

    // Second pass: the atoms of each frame through the XYZ atom-line rules into xyz, then into
    // the sequence; a later frame must repeat the first frame's elements.
    AtomLineOptions options;
    options.integercoords = true;
    const int nat = s.nat;
    GeometrySequence seq(s, routine);
    s.ngeom = 0;
    for (int frame = 1; frame <= frames; ++frame) {
        framehead(in, line);
        in.getline(line, std::string_view::npos);
        double energy = 0.0;
        if (commentenergy(line, energy)) {
            seq.energy(energy);
        }
        s.nat = 0;
        for (int a = 1; a <= nat; ++a) {
            in.getline(line);
            const int first = s.iat(a);
            parseatomline(s, line, routine, options);
            if (frame > 1 && s.iat(a) != first) {
                myexit("Atom " + std::to_string(a) + " of frame " + std::to_string(frame) + " is " +
                           symbol(s.iat(a)) + " where frame 1 has " + symbol(first),
                       routine);
            }
        }
        const int g = seq.open(false);
        for (int a = 1; a <= nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xgeo(k, a, g) = s.xyz(k, a);
            }
        }
    }
    selectgeometry(s);
}
