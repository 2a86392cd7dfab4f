// The names of the displaced-geometry files, for the overwrite guard before anything is written.
#include "control/control.h"
#include "store/store.h"
#include "writers/writers.h"

std::vector<std::string> distortionfiles(const Store& s) {
    long long nimag = 0;
    for (int k = 1; k <= s.nvib; ++k) {
        nimag += s.vibs(k) < 0.0 ? 1 : 0;
    }
    std::vector<std::string> files;
    if (nimag > 0) {
        files.push_back(sidefilename(s, "-fwd.angs"));
        files.push_back(sidefilename(s, "-rev.angs"));
    }
    // The second pair, along the other imaginary modes of a transition state.
    if (nimag > 1 || (nimag > 0 && s.idtsrc != 0)) {
        files.push_back(sidefilename(s, "-fwdTS.angs"));
        files.push_back(sidefilename(s, "-revTS.angs"));
    }
    return files;
}
