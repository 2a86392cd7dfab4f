// The one failure of every atom-line decoding that meets a symbol no element has.
#include "control/control.h"
#include "store/atominfo.h"

#include <iostream>
#include <string>

void unknownatomtype(std::string_view symbol, std::string_view echo, std::string_view routine) {
    std::cout << "Unknown atomtype found: " << fixedtext(symbol, 2) << '\n'
              << "LINE: " << echo << '\n';
    myexit("Unknown atomtype found", routine);
}
