// The failure of the output readers' atom-label decoding: the label names no element.
#include "control/control.h"
#include "control/files.h"
#include "store/atominfo.h"

#include <ostream>

void unknownatomlabel(std::ostream& log, std::string_view lead, std::string_view label,
                      std::string_view line, std::string_view routine) {
    log << lead << "Unable to extract ATOMlabel from next line (tried with " << label.substr(0, 2)
        << ")\n"
        << record(line) << '\n';
    myexit("Unable to find ATOMlabel", routine);
}
