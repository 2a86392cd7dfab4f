// Conversions side by side: each run in its own context (log, error stream, base folder) writes
// exactly what it writes alone.
#include "control/control.h"
#include "store/runcontext.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What one run left behind: status, messages and every file in its folder.
struct Result {
    int status = -1;
    std::string out, err;
    std::map<std::string, std::string> files;
    bool operator==(const Result&) const = default;
};

// Copies a case's inputs (everything but expected/) into `dir`.
void stage(const fs::path& source, const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const fs::directory_entry& e : fs::directory_iterator(source)) {
        if (e.is_regular_file()) {
            fs::copy_file(e.path(), dir / e.path().filename());
        }
    }
}

Result collect(const fs::path& dir, int status, const std::ostringstream& out,
               const std::ostringstream& err) {
    Result r{status, out.str(), err.str(), {}};
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        r.files[e.path().filename().string()] = slurp(e.path());
    }
    return r;
}

TEST(RunContext, ConversionsSideBySideWriteWhatTheyWriteAlone) {
    // Distortion files, transit-point files, animation files and a failure.
    const std::vector<std::string> cases = {"gauss-two-imaginary-modes", "adf-linear-transit",
                                            "vesko-linear-transit", "adfinp-unknown-atom"};
    const fs::path casefolder = fs::path(KRU_SOURCE_DIR) / "tests" / "cases";
    const fs::path scratch =
        fs::temp_directory_path() / ("kru_sidebyside_" + std::to_string(::getpid()));
    std::vector<Result> alone, together(cases.size());
    std::vector<std::ostringstream> outs(cases.size()), errs(cases.size());
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const fs::path source = casefolder / cases[k];
        ASSERT_TRUE(fs::exists(source / "control")) << source;
        const fs::path first = scratch / ("alone-" + cases[k]);
        stage(source, first);
        std::ostringstream out, err;
        std::istringstream control(slurp(source / "control"));
        const int status = run(control, RunContext(out, err, first));
        alone.push_back(collect(first, status, out, err));
        // Alone, each run is the end-to-end case: its messages and files in its own folder.
        EXPECT_EQ(std::to_string(status) + "\n", slurp(source / "expected" / "status"));
        EXPECT_EQ(out.str(), slurp(source / "expected" / "stdout")) << cases[k];
        for (const fs::directory_entry& e : fs::directory_iterator(source / "expected")) {
            const std::string name = e.path().filename().string();
            if (name == "stderr") {
                EXPECT_EQ(err.str(), slurp(e.path())) << cases[k];
            } else if (name != "stdout" && name != "status") {
                EXPECT_EQ(alone.back().files[name], slurp(e.path())) << cases[k] << ": " << name;
            }
        }
        stage(source, scratch / ("together-" + cases[k]));
    }
    for (std::size_t k = 0; k < cases.size(); ++k) {
        threads.emplace_back([&, k] {
            const fs::path dir = scratch / ("together-" + cases[k]);
            std::istringstream control(slurp(casefolder / cases[k] / "control"));
            const int status = run(control, RunContext(outs[k], errs[k], dir));
            together[k] = collect(dir, status, outs[k], errs[k]);
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (std::size_t k = 0; k < cases.size(); ++k) {
        EXPECT_EQ(together[k], alone[k]) << cases[k];
    }
    fs::remove_all(scratch);
}

} // namespace
