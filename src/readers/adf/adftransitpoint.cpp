// The Cartesian table (Bohr) after "Final Geometry" of a linear-transit point: the next geometry
// of the sequence, with the energy known when it is printed, and the point's coordinate files.
#include "control/control.h"
#include "readers/adf/adfreaders.h"

#include <ostream>

void adftransitpoint(Store& s, InputFile& in, GeometrySequence& sequence, long long idlt,
                     long long nrlt) {
    const int end = adfcoordinates(s, in, 5, 1.0);
    if (end == 1) {
        s.log() << "premature end of ADF output file while reading Final.Geom. Continuing...\n";
    } else if (end == 2) {
        s.log() << "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
    } else {
        // A transit point's final geometry is printed once its energy is known.
        sequence.append(false);
        writeltpoint(s, getsuffix2(idlt, nrlt));
    }
}
