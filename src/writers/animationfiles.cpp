// The modes an animation writer animates and the names of their files, known before anything is
// written so that the overwrite guard can check every one of them.
#include "control/control.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

AnimationFiles animationfiles(const Store& s, std::string_view suffix, bool window) {
    AnimationFiles files;
    // The suffix counts only when a blank follows it, i.e. at the end of the name; the first
    // occurrence wins. A name that fills the whole 100-character field of the control input has
    // no blank after it, so its suffix stays.
    std::string name = s.outputfile;
    if (name.size() != 100) {
        name += ' ';
    }
    const std::size_t p = name.find(std::string(suffix) + ' ');
    files.base = trimright(p == std::string::npos ? name : name.substr(0, p));
    files.base += "_frq";

    if (window && s.rmaxfrq > s.rminfrq) {
        for (int i = 1; i <= s.nvib; ++i) {
            if (s.rminfrq < s.vibs(i) && s.vibs(i) < s.rmaxfrq) {
                files.modes.push_back({i, ""});
            }
        }
    } else {
        // MXVIBS may ask for more modes than the input has.
        const long long last = std::min<long long>(s.mxvibs, s.nvib);
        for (int i = 1; i <= last; ++i) {
            files.modes.push_back({i, ""});
        }
    }
    for (AnimationFiles::Mode& m : files.modes) {
        m.file = files.base;
        m.file += trimleft(fw::I(m.mode, 20));
        m.file += '_';
        m.file += trimleft(fw::F(s.vibs(m.mode), 40, 2));
        m.file += suffix;
    }
    return files;
}
