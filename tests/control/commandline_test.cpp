// The command line is the control input's run under another name: every example and every case
// that converts is run both ways, and the two runs must write the same files, print the same and
// end with the same status. Then the front end's own answers: types found or named, the hints.
#include "control/control.h"
#include "control/dispatch.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
    std::map<std::string, std::string> files;
};

// Runs kru with the arguments (and the control input on standard input, if any) in a fresh
// copy of the folder's input files.
Outcome runin(const fs::path& source, const std::vector<std::string>& args, bool withcontrol) {
    const fs::path dir = fs::path(testing::TempDir()) /
                         ("kru_cli_" + std::to_string(::getpid()) + (withcontrol ? "_c" : "_a"));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& e : fs::directory_iterator(source)) {
        if (e.is_regular_file() && e.path().filename() != "control") {
            fs::copy_file(e.path(), dir / e.path().filename());
        }
    }
    Outcome o;
    o.status = runbinary(KRU_BINARY, dir, args, withcontrol ? source / "control" : fs::path());
    o.out = slurp(dir / ".stdout");
    o.err = slurp(dir / ".stderr");
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name != ".stdout" && name != ".stderr") {
            o.files[name] = slurp(e.path());
        }
    }
    fs::remove_all(dir);
    return o;
}

std::string field(const std::string& line, std::size_t from,
                  std::size_t count = std::string::npos) {
    return line.size() > from ? std::string(trimright(trimleft(line.substr(from, count)))) : "";
}

// The command line equivalent to a control input: --from, --to, the input, -o the output and an
// option per keyword line; none when a line has no option (USER), or holds an integer where the
// keyword wants a real (the control input passes over it, the command line reads it).
std::optional<std::vector<std::string>> commandfor(const std::string& control) {
    std::vector<std::string> args, options;
    std::string input, output;
    std::istringstream lines(control);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (line.starts_with("IN")) {
            args.insert(args.end(), {"--from", field(line, 4, 6)});
            input = field(line, 11);
            continue;
        }
        if (line.starts_with("OUT")) {
            args.insert(args.end(), {"--to", field(line, 4, 6)});
            output = field(line, 11);
            continue;
        }
        const KeywordEntry* keyword = nullptr;
        for (const KeywordEntry& k : keywords()) {
            if (keyword == nullptr && line.starts_with(k.keyword)) {
                keyword = &k;
            }
        }
        if (line.starts_with("USER")) {
            return std::nullopt;
        }
        if (keyword == nullptr) {
            continue;
        }
        options.push_back("--" + std::string(keyword->longoption));
        const std::string_view a = keyword->arguments;
        const std::size_t column = a.find("column ");
        if (a.find("file name from column") != std::string_view::npos) {
            options.push_back(field(line, std::stoul(std::string(a.substr(column + 7))) - 1));
        } else if (a.find("type in columns") != std::string_view::npos) {
            options.push_back(field(line, 4, 6));
        } else if (keyword->values.kind == ValueKind::text) {
            options.push_back(field(line, keyword->keyword.size()));
        } else if (keyword->values.count > 0) {
            std::istringstream words(line);
            std::string word;
            words >> word;
            for (int i = 0; i < keyword->values.count && words >> word; ++i) {
                if (keyword->values.kind == ValueKind::real &&
                    word.find('.') == std::string::npos) {
                    return std::nullopt;
                }
                options.push_back(word);
            }
        }
    }
    if (input.empty() || output.empty()) {
        return std::nullopt;
    }
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {input, "-o", output});
    return args;
}

TEST(CommandLine, SameRunAsTheControlInput) {
    std::vector<fs::path> folders;
    for (const char* root : {KRU_SOURCE_DIR "/examples", KRU_SOURCE_DIR "/tests/cases"}) {
        for (const auto& e : fs::directory_iterator(root)) {
            const std::string status = slurp(e.path() / "expected" / "status");
            if (fs::exists(e.path() / "control") && status == "0\n") {
                folders.push_back(e.path());
            }
        }
    }
    ASSERT_GT(folders.size(), 100u);
    int compared = 0;
    for (const fs::path& folder : folders) {
        const auto args = commandfor(slurp(folder / "control"));
        if (!args) {
            continue;
        }
        SCOPED_TRACE(folder.filename().string());
        const Outcome control = runin(folder, {}, true);
        const Outcome line = runin(folder, *args, false);
        EXPECT_EQ(line.status, control.status);
        EXPECT_EQ(line.out, control.out);
        EXPECT_EQ(line.err, control.err);
        EXPECT_EQ(line.files, control.files);
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

// Numbers reach the run as the control input would read them: a real option's whole number gets
// its decimal point (else the run would pass over it), and what is no number is refused.
TEST(CommandLine, KeywordNumbersAsTheControlInputReadsThem) {
    const fs::path example = KRU_SOURCE_DIR "/examples/frequencies-to-displaced";
    const std::vector<std::string> base{"nh3-freq.adfout", "nh3.xyz", "--distort-length"};
    auto whole = base, decimal = base, half = base;
    whole.push_back("2");
    decimal.push_back("2.0");
    half.push_back("0.5");
    const Outcome w = runin(example, whole, false);
    EXPECT_EQ(w.status, 0) << w.err;
    EXPECT_EQ(w.files, runin(example, decimal, false).files);
    EXPECT_NE(w.files, runin(example, half, false).files);

    const Outcome notwhole =
        runin(example, {"nh3-freq.adfout", "a.xyz", "--range", "1", "x"}, false);
    EXPECT_EQ(notwhole.status, 2);
    EXPECT_NE(notwhole.err.find("--range takes whole numbers: x"), std::string::npos);
    const Outcome notreal =
        runin(example, {"nh3-freq.adfout", "a.xyz", "--freq-range", "1", "1e"}, false);
    EXPECT_EQ(notreal.status, 2);
    EXPECT_NE(notreal.err.find("--freq-range takes numbers: 1e"), std::string::npos);
}

TEST(CommandLine, TypesFoundOrNamedAndTheHints) {
    const fs::path example = KRU_SOURCE_DIR "/examples/optimisation-to-molden";
    // The input's type from its content, the output's from its extension.
    const Outcome found = runin(example, {"water-opt.adfout", "water.molden"}, false);
    const Outcome named = runin(
        example, {"--from", "ADFOUT", "--to", "MOLDEN", "water-opt.adfout", "-o", "water.molden"},
        false);
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.files, named.files);
    EXPECT_EQ(found.files.at("water.molden"), slurp(example / "expected" / "water-opt.molden"));

    const Outcome typo = runin(example, {"--from", "ADFOTU", "water-opt.adfout", "w.xyz"}, false);
    EXPECT_EQ(typo.status, 2);
    EXPECT_TRUE(
        typo.err.starts_with("kru: error: ADFOTU: unknown input type; did you mean ADFOUT?"))
        << typo.err;
    const Outcome alone = runin(example, {"water-opt.adfout"}, false);
    EXPECT_EQ(alone.status, 2);
    EXPECT_EQ(alone.err, "kru: water-opt.adfout looks like an ADF output; to convert it: kru "
                         "water-opt.adfout water-opt.xyz\n");
    const Outcome extension = runin(example, {"water-opt.adfout", "water.unknown"}, false);
    EXPECT_EQ(extension.status, 2);
    EXPECT_TRUE(extension.err.starts_with("kru: error: water.unknown: no output type"))
        << extension.err;
    // A failed conversion is one line naming the file and the line the reader had reached.
    const Outcome failed = runin(example, {"--from", "PSI4", "water-opt.adfout", "w.xyz"}, false);
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.starts_with("kru: error: water-opt.adfout:")) << failed.err;
    EXPECT_EQ(failed.out.find("Error in KRU program"), std::string::npos);
}

} // namespace
