// The element symbol the writers print for an atom. A reader that stops early can leave atoms
// without an element; they are written as dummy atoms rather than read from outside the table.
#include "store/atominfo.h"
#include "writers/writers.h"

std::string_view atomsymbol(int z) {
    return defatnamlow(z >= 1 && z <= nelements ? z : dummyatom);
}
