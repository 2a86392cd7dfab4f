// Batches over the real outputs: every file converted as a single conversion converts it, a
// corrupt one named in the summary and leaving nothing; and a batch stopped by a signal leaves
// only complete files.
#include "realoutput.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path realdata = KRU_REALDATA;

// Every file of the programs' folders, linked into `into` under a name of its own
// ("ORCA_dvb_ir_out.out"): the folders share file names, and a folder stems.
std::vector<std::string> linkrealfiles(const fs::path& into) {
    std::vector<std::string> names;
    for (const auto& folder : fs::directory_iterator(realdata)) {
        if (!folder.is_directory()) {
            continue;
        }
        for (const auto& e : fs::directory_iterator(folder.path())) {
            const fs::path file = e.path().filename();
            const std::string name =
                folder.path().filename().string() + "_" + file.stem().string() + "_" +
                file.extension().string().substr(1) + file.extension().string();
            fs::create_symlink(e.path(), into / name);
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> filesin(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        files[e.path().filename().string()] = slurp(e.path());
    }
    return files;
}

class BatchRealdata : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::is_directory(realdata)) {
            GTEST_SKIP() << "The real-data folder " << realdata.string() << " is missing.";
        }
        dir_ = fs::temp_directory_path() / ("kru_batch_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!dir_.empty()) {
            fs::remove_all(dir_);
        }
    }
    fs::path dir_;
};

TEST_F(BatchRealdata, EveryFileButTheCorruptOne) {
    std::vector<std::string> names = linkrealfiles(dir_);
    ASSERT_GT(names.size(), 30u);
    spill(dir_ / "corrupt.out", "Program output\n\n 1 2 3\n");
    std::vector<std::string> args{"convert", "--to", "XYZ", "-d", "batch", "-j", "2"};
    args.insert(args.end(), names.begin(), names.end());
    args.push_back("corrupt.out");
    ASSERT_EQ(runbinary(KRU_BINARY, dir_, args), 1);
    const std::string summary = slurp(dir_ / ".stderr");

    // What converts on its own converts in the batch, to the same bytes.
    std::map<std::string, std::string> want;
    for (const std::string& name : names) {
        const std::string output = fs::path(name).stem().string() + ".xyz";
        if (runbinary(KRU_BINARY, dir_, {name, "single.xyz"}) == 0) {
            want[output] = slurp(dir_ / "single.xyz");
        } else {
            EXPECT_NE(summary.find("  " + name + ":"), std::string::npos) << name;
        }
    }
    EXPECT_GT(want.size(), 30u);
    const auto got = filesin(dir_ / "batch");
    EXPECT_EQ(got.size(), want.size());
    for (const auto& [name, text] : want) {
        EXPECT_TRUE(got.contains(name) && got.at(name) == text) << name;
    }
    EXPECT_NE(summary.find("  corrupt.out: "), std::string::npos) << summary;
    EXPECT_NE(summary.find("kru: " + std::to_string(want.size()) + " of " +
                           std::to_string(names.size() + 1) + " files converted; "),
              std::string::npos)
        << summary;
    EXPECT_EQ(summary.find('\r'), std::string::npos) << "a progress line off a terminal";
}

// Stopped as soon as its first output appears: no temporary folder stays, and every file left
// is a complete output.
TEST_F(BatchRealdata, StoppedBySignal) {
    const fs::path scan = realdata / "Gaussian" / "dvb_scan_relaxed.log";
    std::vector<std::string> args{KRU_BINARY, "--to", "MOLDEN", "-d", "out", "-j", "2"};
    for (int i = 1; i <= 40; ++i) {
        const std::string name = "scan" + std::to_string(i) + ".log";
        fs::create_symlink(scan, dir_ / name);
        args.push_back(name);
    }
    ASSERT_EQ(runbinary(KRU_BINARY, dir_, {"scan1.log", "whole.molden"}), 0);
    const std::string whole = slurp(dir_ / "whole.molden");

    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        const int err = open((dir_ / ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(dir_.c_str()) != 0 || null < 0 || err < 0) {
            _exit(127);
        }
        dup2(null, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv(KRU_BINARY, argv.data());
        _exit(127);
    }
    const auto anyoutput = [&] {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir_ / "out", ec)) {
            if (e.path().extension() == ".molden") {
                return true;
            }
        }
        return false;
    };
    int status = 0;
    bool ended = false;
    while (!anyoutput() && !(ended = waitpid(pid, &status, WNOHANG) == pid)) {
        usleep(1000);
    }
    if (!ended) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
    EXPECT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 0);
    const auto files = filesin(dir_ / "out");
    if (WIFSIGNALED(status)) {
        EXPECT_EQ(slurp(dir_ / ".stderr"), "kru: interrupted after " +
                                               std::to_string(files.size()) +
                                               " of 40 files; every output written is complete\n");
    }
    for (const auto& [name, text] : files) {
        EXPECT_TRUE(name.starts_with("scan") && name.ends_with(".molden")) << name;
        // The geometries' titles name the input.
        std::string want = whole;
        const std::string input = fs::path(name).stem().string() + ".log";
        for (std::size_t at = want.find("scan1.log"); at != std::string::npos;
             at = want.find("scan1.log", at + input.size())) {
            want.replace(at, 9, input);
        }
        EXPECT_EQ(text, want) << name;
    }
}

} // namespace
