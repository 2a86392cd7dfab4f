// One run from the control input to the last output file.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <iostream>

int run(std::istream& control) {
    Store s;
    try {
        processinput(s, control);
        readfile(s);
        arrange(s);
        writefile(s);
        deallocstuff(s);
        std::cout.flush();
        return 0;
    } catch (const RunError& e) {
        if (e.plain) {
            std::cout.flush();
            std::cerr << "STOP " << e.what() << '\n';
            return 1;
        }
        std::cout << errorbanner(e) << std::flush;
        std::cerr << "STOP End of program because of an error\n";
        return 1;
    }
}
