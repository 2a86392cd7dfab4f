// The commands that only look at a file (info, plot) read it as a conversion reads it. Readers of
// linear transits write the points' files beside the output, so the run's output is named in a
// scratch folder that is removed afterwards: such a command leaves nothing behind.
#include "analysis/analysis.h"
#include "control/commands.h"
#include "control/control.h"
#include "store/store.h"

#include <cstdlib>
#include <filesystem>

namespace {

class ScratchFolder {
  public:
    ScratchFolder() : path_((std::filesystem::temp_directory_path() / "kru-XXXXXX").string()) {
        if (mkdtemp(path_.data()) == nullptr) {
            myexit("Cannot create a scratch folder in " +
                       std::filesystem::temp_directory_path().string(),
                   "readasconversion");
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

void readasconversion(Store& s) {
    const ScratchFolder scratch;
    s.outputfile = (std::filesystem::path(scratch.path()) / "output").string();
    checkoptions(s);
    readfile(s);
    arrange(s);
}
