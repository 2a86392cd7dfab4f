// Runs kru on one end-to-end case and compares, byte for byte, its standard output, standard
// error, exit status and every expected file. A case folder holds the control input ("control"),
// the files the run reads, and expected/ with "stdout", "status", optionally "stderr", and the
// files the run must write; a file the run writes that expected/ does not list fails the case, and
// so does a change to any file of the case.
// With KRU_UPDATE_CASES=1 the expected files are rewritten from the run instead.
#include "testfiles.h"
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int runkru(const fs::path& kru, const fs::path& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(work.c_str()) != 0) {
            _exit(127);
        }
        const int in = open("control", O_RDONLY);
        const int out = open(".stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) {
            _exit(127);
        }
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execl(kru.c_str(), kru.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Shows where two texts first differ.
void showdiff(const std::string& name, const std::string& want, const std::string& got) {
    std::size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i]) {
        ++i;
    }
    const std::size_t from = want.rfind('\n', i == 0 ? 0 : i - 1);
    const std::size_t start = from == std::string::npos ? 0 : from + 1;
    std::cerr << "MISMATCH in " << name << " at byte " << i << "\n--- expected:\n"
              << want.substr(start, 400) << "\n--- got:\n"
              << got.substr(start, 400) << "\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: run_case KRU CASEDIR WORKDIR\n";
        return 2;
    }
    const fs::path kru = fs::absolute(argv[1]);
    const fs::path casedir = argv[2];
    const fs::path work = argv[3];
    const fs::path expected = casedir / "expected";
    const bool update = std::getenv("KRU_UPDATE_CASES") != nullptr &&
                        std::string(std::getenv("KRU_UPDATE_CASES")) == "1";

    fs::remove_all(work);
    fs::create_directories(work);
    std::set<std::string> inputs;
    for (const auto& e : fs::directory_iterator(casedir)) {
        if (e.path().filename() != "expected") {
            fs::copy(e.path(), work / e.path().filename(), fs::copy_options::recursive);
            inputs.insert(e.path().filename().string());
        }
    }
    const int status = runkru(kru, work);

    std::set<std::string> written;
    for (const auto& e : fs::directory_iterator(work)) {
        const std::string name = e.path().filename().string();
        if (!inputs.count(name) && name != ".stdout" && name != ".stderr") {
            written.insert(name);
        }
    }
    if (update) {
        fs::remove_all(expected);
        fs::create_directories(expected);
        spill(expected / "stdout", slurp(work / ".stdout"));
        spill(expected / "status", std::to_string(status) + "\n");
        const std::string err = slurp(work / ".stderr");
        if (!err.empty()) {
            spill(expected / "stderr", err);
        }
        for (const auto& name : written) {
            fs::copy(work / name, expected / name);
        }
        std::cout << "updated " << expected << "\n";
        return 0;
    }

    bool ok = true;
    auto compare = [&](const std::string& name, const std::string& want, const std::string& got) {
        if (want != got) {
            showdiff(name, want, got);
            ok = false;
        }
    };
    compare("stdout", slurp(expected / "stdout"), slurp(work / ".stdout"));
    compare("status", slurp(expected / "status"), std::to_string(status) + "\n");
    compare("stderr", fs::exists(expected / "stderr") ? slurp(expected / "stderr") : "",
            slurp(work / ".stderr"));
    for (const auto& e : fs::directory_iterator(expected)) {
        const std::string name = e.path().filename().string();
        if (name == "stdout" || name == "status" || name == "stderr") {
            continue;
        }
        if (!fs::exists(work / name)) {
            std::cerr << "MISSING output file " << name << "\n";
            ok = false;
            continue;
        }
        compare(name, slurp(e.path()), slurp(work / name));
        written.erase(name);
    }
    for (const auto& name : written) {
        std::cerr << "UNEXPECTED output file " << name << "\n";
        ok = false;
    }
    // A run never changes the files it reads.
    for (const auto& e : fs::recursive_directory_iterator(casedir)) {
        const fs::path rel = fs::relative(e.path(), casedir);
        if (*rel.begin() == "expected" || !e.is_regular_file()) {
            continue;
        }
        if (slurp(e.path()) != slurp(work / rel)) {
            std::cerr << "CHANGED input file " << rel.string() << "\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
