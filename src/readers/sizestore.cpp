// Refuses counts of a first pass that the file cannot hold, before any table is sized: a few
// bytes that declare millions of atoms or modes must not cost gigabytes; then creates the tables
// and rewinds for the second pass.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <string>

void sizestore(Store& s, InputFile& in, std::string_view routine, long long declaredatoms) {
    const long long lines = in.linecount();
    const long long atoms = declaredatoms >= 0 ? declaredatoms : s.nat;
    if (atoms > lines) {
        myexit("Atom count " + std::to_string(atoms) + " is more than the " +
                   std::to_string(lines) + " lines of the file can hold",
               routine);
    }
    if (static_cast<long long>(s.nvib) > 3LL * s.nat) {
        myexit("Mode count " + std::to_string(s.nvib) + " is more than the " +
                   std::to_string(3LL * s.nat) + " modes of " + std::to_string(s.nat) + " atoms",
               routine);
    }
    allocstuff(s);
    in.rewind();
}
