// With an ORCA or Gaussian input as output, every displaced geometry also becomes such an input
// beside its coordinate file ("o.inp-fwd.inp" beside "o.inp-fwd.angs"), so that the follow-up
// optimisation or transition-state search starts at once.
#include "control/control.h"
#include "control/detect.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

#include <optional>

namespace {

std::optional<NextProgram> displacedprogram(const Store& s) {
    if (s.outputtype == "ORCAIN") {
        return NextProgram::orca;
    }
    if (s.outputtype == "GJF") {
        return NextProgram::gaussian;
    }
    return std::nullopt;
}

std::string inputname(std::string_view angsfile, std::string_view extension) {
    std::string name(angsfile.substr(0, angsfile.size() - std::string_view(".angs").size()));
    return name + std::string(extension);
}

} // namespace

std::string_view displacedinputextension(const Store& s) {
    const std::optional<NextProgram> program = displacedprogram(s);
    if (!program) {
        return {};
    }
    if (*program == NextProgram::orca) {
        return ".inp";
    }
    // The output's own ending where it is one of the type's: "o.com-fwd.com".
    return namehasextension(s.outputfile, ".com") ? ".com" : ".gjf";
}

std::vector<std::string> displacedinputfiles(const Store& s) {
    std::vector<std::string> files;
    const std::string_view extension = displacedinputextension(s);
    if (!extension.empty()) {
        for (const std::string& angs : distortionfiles(s)) {
            files.push_back(inputname(angs, extension));
        }
    }
    return files;
}

void writedisplacedinput(const Store& s, const Table2<double>& bohr, const std::string& angsfile) {
    const std::optional<NextProgram> program = displacedprogram(s);
    if (!program) {
        return;
    }
    const std::string file = inputname(angsfile, displacedinputextension(s));
    OutputFile out;
    if (!out.open(s.path(file))) {
        myexit("Error opening outputfile " + file, "writedistort");
    }
    // The output file's own writer has given the notes already.
    const NextInput next = nextinput(s, *program, false);
    if (*program == NextProgram::orca) {
        writeorcainput(s, out, next, bohr);
    } else {
        writegaussianinput(s, out, next, bohr, file);
    }
    if (!out.close()) {
        myexit("Error writing outputfile " + file, "writedistort");
    }
}
