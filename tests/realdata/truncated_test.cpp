// Real outputs cut short, at line ends and within lines, all through the file: every cut goes
// through the reader, the arrangement step and the writers that use most of the store, and must
// end with a result or the orderly failure (a RunError), never with anything else. The
// sanitizer build runs this too, so a read past a table or a buffer is caught here.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/dispatch.h"
#include "store/store.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RealFile {
    const char* path; // under the real-data folder
    const char* type;
    bool readable = true; // whole; false for a file its reader refuses
};

constexpr RealFile realfiles[] = {
    {"ORCA/dvb_ir.out", "ORCA"},          {"ORCA/dvb_gopt.out", "ORCA"},
    {"ADF/NH3.adfout", "ADFOUT"},         {"ADF/dvb_ir.adfout", "ADFOUT"},
    {"ADF/dvb_gopt.adfout", "ADFOUT"},    {"ADF/dvb_ir.adfin", "ADFINP"},
    {"ADF/dvb_gopt.adfin", "ADFINP"},     {"Psi4/dvb_ir_rhf.out", "PSI4"},
    {"Psi4/dvb_gopt_rhf.out", "PSI4"},    {"NWChem/dvb_ir.out", "NWCHEM"},
    {"NWChem/dvb_gopt_ks.out", "NWCHEM"}, {"CFOUR/dvb_ir.c4", "CFOUR"},
    {"CFOUR/water_gopt.c4", "CFOUR"},     {"CFOUR/C_bigbasis.c4", "CFOUR"},
    {"MOPAC/dvb_gopt.out", "MOPOUT"},     {"MOPAC/h2o-force.out", "MOPOUT"},
    {"MOPAC/dvb_gopt.arc", "ARC"},        {"QChem/dvb_ir.out", "QCHEM"},
    {"QChem/dvb_gopt.out", "QCHEM"},
};

// Where to cut: after `count` line ends spread evenly over the file, and halfway into the line
// that follows each.
std::vector<std::size_t> cutpoints(const std::string& text, std::size_t count) {
    std::vector<std::size_t> ends;
    for (std::size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 1)) {
        ends.push_back(p + 1);
    }
    std::vector<std::size_t> cuts;
    const std::size_t step = std::max<std::size_t>(1, ends.size() / count);
    for (std::size_t k = 0; k < ends.size(); k += step) {
        cuts.push_back(ends[k]);
        const std::size_t next = k + 1 < ends.size() ? ends[k + 1] : text.size();
        cuts.push_back(ends[k] + (next - ends[k]) / 2);
    }
    return cuts;
}

// One run in `dir` on the file "in" there, its messages dropped: true for a result, false for
// the orderly failure; anything else escapes and fails the test.
bool convert(const fs::path& dir, const std::string& type, const std::string& output) {
    std::ostringstream log;
    Store s(RunContext(log, log, dir));
    std::istringstream control("IN  " + fixedtext(type, 6) + " in\nOUT " + fixedtext(output, 6) +
                               " out\n");
    try {
        processinput(s, control);
        readfile(s);
        arrange(s);
        writefile(s);
    } catch (const RunError&) {
        return false;
    }
    return true;
}

TEST(RealOutputsCutShort, EndWithAResultOrTheOrderlyFailure) {
    const fs::path realdata = KRU_REALDATA;
    if (!fs::exists(realdata)) {
        GTEST_SKIP() << "real outputs not found at " << realdata;
    }
    const fs::path scratch = fs::temp_directory_path() / ("kru-cut-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    for (const RealFile& real : realfiles) {
        const std::string text = slurp(realdata / real.path);
        ASSERT_FALSE(text.empty()) << real.path;
        for (const char* output : {"MOLDEN", "REP"}) {
            std::ofstream(scratch / "in", std::ios::binary) << text;
            EXPECT_EQ(convert(scratch, real.type, output), real.readable)
                << real.path << " to " << output;
            for (std::size_t cut : cutpoints(text, 60)) {
                std::ofstream(scratch / "in", std::ios::binary) << text.substr(0, cut);
                try {
                    convert(scratch, real.type, output);
                } catch (const std::exception& e) {
                    ADD_FAILURE() << real.path << " cut after byte " << cut << " to " << output
                                  << ": " << e.what();
                }
            }
        }
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

} // namespace
