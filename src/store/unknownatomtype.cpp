// The one failure of every atom-line decoding that meets a symbol no element has.
#include "control/control.h"
#include "store/atominfo.h"

#include <ostream>
#include <string>

void unknownatomtype(std::ostream& log, std::string_view symbol, std::string_view echo,
                     std::string_view routine) {
    log << "Unknown atomtype found: " << fixedtext(symbol, 2) << '\n' << "LINE: " << echo << '\n';
    myexit("Unknown atomtype found", routine);
}
