// Names of the Z-matrix variables: R, A or D followed by the atom's output position. The second
// and third atoms take the numbers 1 and 2, so there is no R3, A3 or D3 and every name occurs
// once.
#include "control/control.h"
#include "writers/writers.h"

std::string zmatvariable(char kind, int k) {
    const int number = k == 2 ? 1 : k == 3 ? 2 : k;
    return kind + getsuffix(number);
}
