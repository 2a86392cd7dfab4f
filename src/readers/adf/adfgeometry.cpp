// A coordinate table of an ADF-style output printed once the atoms are known: the next geometry
// of the sequence, or a message and nothing stored when the file ends inside it.
#include "readers/adf/adfreaders.h"

#include <ostream>

void adfgeometry(Store& s, InputFile& in, GeometrySequence& sequence,
                 const AdfGeometryTable& table) {
    if (adfcoordinates(s, in, table.headers, table.unitsperbohr) != 0) {
        s.log() << "premature end of ADF output file while reading " << table.premature
                << " Continuing...\n";
        return;
    }
    sequence.append(table.awaitsenergy);
}
