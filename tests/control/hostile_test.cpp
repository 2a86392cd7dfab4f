// Hostile input for every input type: the input files of the end-to-end cases cut after every
// line, sprinkled with NUL bytes, given Windows line ends or lines far beyond the record length,
// and empty or binary files. Every run must end with a result or with the error banner and
// status 1, in bounded time; line ends and trailing blanks must not change the result.
#include "control/control.h"
#include "control/dispatch.h"
#include "store/runcontext.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A case's control input and the input file it names, with the other files of its folder.
struct Source {
    std::string name;
    std::string type; // as in the IN line, trimmed
    std::string control;
    std::string inputname;
    std::string input;
    std::map<std::string, std::string> others;
};

std::vector<Source> sources() {
    std::vector<Source> found;
    for (const fs::directory_entry& e :
         fs::directory_iterator(fs::path(KRU_SOURCE_DIR) / "tests" / "cases")) {
        Source src;
        src.name = e.path().filename().string();
        src.control = slurp(e.path() / "control");
        std::istringstream lines(src.control);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.starts_with("IN") && line.size() > 11) {
                src.type = std::string(trimright(trimleft(line.substr(4, 6))));
                src.inputname = std::string(trimright(trimleft(line.substr(11))));
            }
        }
        if (src.inputname.empty() || !fs::is_regular_file(e.path() / src.inputname) ||
            src.inputname.ends_with(".gz")) {
            continue;
        }
        src.input = slurp(e.path() / src.inputname);
        for (const fs::directory_entry& f : fs::directory_iterator(e.path())) {
            const std::string n = f.path().filename().string();
            if (f.is_regular_file() && n != "control" && n != src.inputname) {
                src.others[n] = slurp(f.path());
            }
        }
        found.push_back(src);
    }
    return found;
}

// What a run left: its exit status, standard output and error, and the files it wrote.
struct Outcome {
    int status = -1;
    std::string out, err;
    std::map<std::string, std::string> files;
    double seconds = 0.0;
    bool operator==(const Outcome& o) const {
        return status == o.status && out == o.out && err == o.err && files == o.files;
    }
};

// Runs the whole program in a fresh folder on the given control input and files.
Outcome runin(const std::string& control, const std::map<std::string, std::string>& files) {
    // Tests run side by side, each in a process of its own.
    const fs::path dir =
        fs::path(testing::TempDir()) / ("kru_hostile_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& [name, text] : files) {
        spill(dir / name, text);
    }
    std::ostringstream out, err;
    std::istringstream in(control);
    Outcome o;
    const auto start = std::chrono::steady_clock::now();
    o.status = run(in, RunContext(out, err, dir));
    o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    o.out = out.str();
    o.err = err.str();
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (!files.contains(n)) {
            o.files[n] = slurp(e.path());
        }
    }
    fs::remove_all(dir);
    return o;
}

Outcome runsource(const Source& src, const std::string& input) {
    std::map<std::string, std::string> files = src.others;
    files[src.inputname] = input;
    return runin(src.control, files);
}

// A result, or the orderly end: the banner last on standard output, the stop line, status 1.
void expectorderly(const Outcome& o, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_LT(o.seconds, 5.0);
    ASSERT_TRUE(o.status == 0 || o.status == 1) << o.status;
    if (o.status == 1) {
        const bool banner =
            o.out.find("Error in KRU program\n====================\n\nRoutine : ") !=
            std::string::npos;
        const bool plain = o.err.starts_with("STOP ") && !banner;
        EXPECT_TRUE(banner || plain) << o.out;
        if (banner) {
            // What was read may have been noted before the run failed.
            const std::size_t notes = o.err.rfind("kru: note: ") == std::string::npos
                                          ? 0
                                          : o.err.find('\n', o.err.rfind("kru: note: ")) + 1;
            EXPECT_EQ(o.err.substr(notes), "STOP End of program because of an error\n");
        }
    } else {
        // A converted run says on standard error only that the program did not finish.
        std::istringstream notes(o.err);
        std::string note;
        while (std::getline(notes, note)) {
            EXPECT_TRUE(note.starts_with("kru: note: ")) << note;
        }
    }
}

std::string crlf(const std::string& text) {
    std::string r;
    for (char c : text) {
        if (c == '\n' && !r.ends_with('\r')) {
            r += '\r';
        }
        r += c;
    }
    return r;
}

// Every line padded with blanks far beyond the record length.
std::string widened(const std::string& text) {
    std::string r;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const bool cr = line.ends_with('\r');
        if (cr) {
            line.pop_back();
        }
        r += line + std::string(line.size() < 400 ? 400 - line.size() : 0, ' ') +
             (cr ? "\r\n" : "\n");
    }
    return r;
}

TEST(Hostile, CasesCutAfterEveryLineEndInOrder) {
    const std::vector<Source> all = sources();
    ASSERT_GT(all.size(), 100u);
    for (const Source& src : all) {
        std::string cut;
        std::istringstream lines(src.input);
        std::string line;
        int n = 0;
        expectorderly(runsource(src, ""), src.name + " cut before line 1");
        while (std::getline(lines, line)) {
            cut += line + '\n';
            ++n;
            expectorderly(runsource(src, cut), src.name + " cut after line " + std::to_string(n));
            // The same line cut in its middle, without a line end.
            expectorderly(runsource(src, cut.substr(0, cut.size() - 1 - line.size() / 2)),
                          src.name + " cut inside line " + std::to_string(n));
        }
    }
}

TEST(Hostile, NulBytesEndInOrder) {
    const std::vector<Source> all = sources();
    ASSERT_GT(all.size(), 100u);
    for (const Source& src : all) {
        std::string withnul = src.input;
        for (std::size_t at = 7; at < withnul.size(); at += 97) {
            withnul[at] = '\0';
        }
        expectorderly(runsource(src, withnul), src.name + " with NUL bytes");
    }
}

TEST(Hostile, WindowsLineEndsAndLongLinesReadLikeTheOriginal) {
    const std::vector<Source> all = sources();
    ASSERT_GT(all.size(), 100u);
    for (const Source& src : all) {
        const Outcome original = runsource(src, src.input);
        expectorderly(original, src.name);
        const Outcome windows = runsource(src, crlf(src.input));
        EXPECT_TRUE(windows == original) << src.name << " with Windows line ends:\n" << windows.out;
        const Outcome wide = runsource(src, widened(src.input));
        EXPECT_TRUE(wide == original) << src.name << " with 400-character lines:\n" << wide.out;
    }
}

TEST(Hostile, EmptyAndBinaryFilesOfEveryType) {
    std::string binary;
    unsigned state = 12345;
    for (int k = 0; k < 4096; ++k) {
        state = state * 1103515245u + 12345u;
        binary += char(state >> 16);
    }
    for (const ReaderEntry& r : inputtypes()) {
        const std::string control = "IN  " + fixedtext(r.type, 6) + " in\nOUT XYZ    out.xyz\n";
        expectorderly(runin(control, {{"in", ""}}), std::string(r.type) + " empty");
        expectorderly(runin(control, {{"in", binary}}), std::string(r.type) + " binary");
        expectorderly(runin(control, {{"in", std::string(1000, '\0')}}),
                      std::string(r.type) + " NUL bytes only");
    }
}

// A file far larger than any record, without a single line end, through the real command.
TEST(Hostile, HundredMegabytesWithoutALineEnd) {
    const fs::path dir =
        fs::path(testing::TempDir()) / ("kru_hostile_big_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
        std::ofstream big(dir / "big.xyz", std::ios::binary);
        const std::string chunk = "3 O 0.0 0.0 0.0 H 0.0 0.7 0.5 " + std::string(994, 'x');
        for (int k = 0; k < 100 * 1024; ++k) {
            big << chunk;
        }
    }
    spill(dir / "control", "IN  XYZ    big.xyz\nOUT XYZ    out.xyz\n");
    const std::string command =
        "cd " + dir.string() + " && " KRU_BINARY " < control > stdout 2> stderr";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 30.0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string out = slurp(dir / "stdout");
    // One record: the count 3, and neither title nor atom lines after it.
    EXPECT_TRUE(out.starts_with("Need     3 atoms, found only     0 lines with ATOM info..\n"));
    EXPECT_TRUE(out.ends_with("Routine : readxyz\nNot enough ATOMS\n")) << out;
    EXPECT_FALSE(fs::exists(dir / "out.xyz"));

    // The same bytes for every input type: a result (the coordinate types take the first
    // numbers as an atom), or the banner and status 1 with nothing written; in bounded time.
    for (const ReaderEntry& r : inputtypes()) {
        SCOPED_TRACE(std::string(r.type));
        fs::remove(dir / "out.xyz");
        spill(dir / "control", "IN  " + fixedtext(r.type, 6) + " big.xyz\nOUT XYZ    out.xyz\n");
        const auto from = std::chrono::steady_clock::now();
        const int code = std::system(command.c_str());
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count(),
                  30.0);
        ASSERT_TRUE(WIFEXITED(code));
        ASSERT_TRUE(WEXITSTATUS(code) == 0 || WEXITSTATUS(code) == 1) << WEXITSTATUS(code);
        if (WEXITSTATUS(code) == 1) {
            EXPECT_NE(slurp(dir / "stdout").find("Error in KRU program"), std::string::npos);
            EXPECT_FALSE(fs::exists(dir / "out.xyz"));
        } else {
            EXPECT_TRUE(fs::exists(dir / "out.xyz"));
        }
    }
    fs::remove_all(dir);
}

} // namespace
