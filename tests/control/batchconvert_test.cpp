// Batches on the command line: the same files and messages as one conversion at a time, side
// files included; refusals; shards that split a list, also under GNU parallel; and `kru info` on
// plain files.
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path examples = KRU_SOURCE_DIR "/examples";

// nh3-freq has an imaginary mode: the Molden file, its weights and the displaced geometries.
const std::vector<fs::path> inputs{
    examples / "frequencies-to-displaced" / "nh3-freq.adfout",
    examples / "optimisation-to-molden" / "water-opt.adfout",
    examples / "xyz-to-zmatrix" / "water.xyz",
    examples / "pdb-to-report" / "ethanol.pdb",
};

std::map<std::string, std::string> filesin(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        files[e.path().filename().string()] = e.is_directory() ? "(folder)" : slurp(e.path());
    }
    return files;
}

class Batch : public testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::path(testing::TempDir()) / ("kru_batch_" + std::to_string(getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // A fresh folder holding the inputs.
    fs::path folder(const std::string& name) {
        const fs::path dir = root_ / name;
        fs::create_directories(dir);
        for (const fs::path& p : inputs) {
            fs::copy_file(p, dir / p.filename());
        }
        return dir;
    }
    static std::vector<std::string> names() {
        std::vector<std::string> list;
        for (const fs::path& p : inputs) {
            list.push_back(p.filename().string());
        }
        return list;
    }
    fs::path root_;
};

TEST_F(Batch, SameFilesAndMessagesAsOneAtATime) {
    const fs::path single = folder("single");
    fs::create_directories(single / "out");
    std::vector<std::string> printed;
    for (const std::string& name : names()) {
        const std::string output = "out/" + fs::path(name).stem().string() + ".molden";
        ASSERT_EQ(runbinary(KRU_BINARY, single, {"--to", "MOLDEN", name, "-o", output}), 0);
        printed.push_back(slurp(single / ".stdout"));
    }
    // A run cut before its end converts with a note, which the batch says with the file's name.
    const std::string water = slurp(single / "water-opt.adfout");
    spill(single / "cut.adfout", water.substr(0, water.find("NORMAL TERMINATION")));
    ASSERT_EQ(
        runbinary(KRU_BINARY, single, {"--to", "MOLDEN", "cut.adfout", "-o", "out/cut.molden"}), 0);
    const std::string note = slurp(single / ".stderr");
    ASSERT_TRUE(note.starts_with("kru: note: the run did not finish: ")) << note;

    const fs::path batch = folder("batch");
    fs::copy_file(single / "cut.adfout", batch / "cut.adfout");
    spill(batch / "corrupt.out", "no molecule here\n");
    std::vector<std::string> args{"convert", "--to", "MOLDEN", "-d", "out", "-j", "2"};
    for (const std::string& name : names()) {
        args.push_back(name);
    }
    args.push_back("cut.adfout");
    args.push_back("corrupt.out");
    EXPECT_EQ(runbinary(KRU_BINARY, batch, args), 1);

    const auto files = filesin(batch / "out");
    EXPECT_EQ(files, filesin(single / "out"));
    EXPECT_TRUE(files.contains("nh3-freq.molden-fwd.angs") &&
                files.contains("nh3-freq.molden-vib.weights"));
    const std::string out = slurp(batch / ".stdout");
    for (const std::string& text : printed) {
        EXPECT_NE(out.find(text), std::string::npos) << text;
    }
    const std::string err = slurp(batch / ".stderr");
    EXPECT_TRUE(err.starts_with("kru: note: cut.adfout: " + note.substr(11) +
                                "kru: 5 of 6 files converted; 1 failed:\n  corrupt.out: "))
        << err;
    EXPECT_EQ(filesin(batch).size(), names().size() + 5); // cut, corrupt, out/, .stdout, .stderr
}

// The progress line is for a terminal only (the other tests write standard error to a file).
TEST_F(Batch, ProgressOnATerminal) {
    const fs::path script = "/usr/bin/script";
    if (!fs::exists(script)) {
        GTEST_SKIP() << "script (util-linux) is needed for a terminal";
    }
    const fs::path dir = folder("terminal");
    const std::string command = std::string(KRU_BINARY) + " --to XYZ -d t water-opt.adfout";
    ASSERT_EQ(runbinary(script.c_str(), dir, {"-qec", command, "/dev/null"}), 0);
    const std::string screen = slurp(dir / ".stdout");
    EXPECT_NE(screen.find("\rkru: 0 of 1 files done, 0 failed, "), std::string::npos) << screen;
    EXPECT_TRUE(screen.ends_with("\r\033[Kkru: 1 of 1 files converted\r\n")) << screen;
}

TEST_F(Batch, Refusals) {
    const fs::path dir = folder("refusals");
    const std::string water = slurp(dir / "water.xyz");
    // The output would be the input itself.
    EXPECT_EQ(runbinary(KRU_BINARY, dir, {"--to", "XYZ", "water.xyz", "-j", "1"}), 1);
    EXPECT_EQ(slurp(dir / "water.xyz"), water);
    EXPECT_NE(slurp(dir / ".stderr").find("  water.xyz: Output file would overwrite an input"),
              std::string::npos)
        << slurp(dir / ".stderr");
    EXPECT_EQ(filesin(dir).size(), names().size() + 2);

    // Two inputs with one output: the second is not converted.
    fs::create_directories(dir / "b");
    fs::copy_file(dir / "water.xyz", dir / "b" / "water.xyz");
    EXPECT_EQ(runbinary(KRU_BINARY, dir, {"--to", "ZMAT", "water.xyz", "b/water.xyz", "-d", "z"}),
              1);
    EXPECT_NE(slurp(dir / ".stderr")
                  .find("  b/water.xyz: its output z/water.zmat is also that of water.xyz\n"),
              std::string::npos)
        << slurp(dir / ".stderr");
    EXPECT_EQ(filesin(dir / "z").size(), 1u);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--to", "XYZ", "--shard", "3/2", "water.xyz"},
          std::vector<std::string>{"--to", "XYZ", "--shard", "1", "water.xyz"},
          std::vector<std::string>{"-d", "out", "water.xyz", "w.pdb"},
          std::vector<std::string>{"--to", "XYZ", "-j", "0", "water.xyz"}}) {
        EXPECT_EQ(runbinary(KRU_BINARY, dir, args), 2) << args[2];
        EXPECT_TRUE(slurp(dir / ".stderr").starts_with("kru: error: ")) << args[2];
    }
}

// Shards of one list, run apart, make what one run makes, each input once.
TEST_F(Batch, ShardsSplitAList) {
    const fs::path dir = folder("shards");
    std::string list;
    for (const std::string& name : names()) {
        list += name + "\n";
    }
    spill(dir / "list", list + "\n");
    ASSERT_EQ(runbinary(KRU_BINARY, dir, {"--to", "PDB", "--files-from", "list", "-d", "all"}), 0);
    const auto all = filesin(dir / "all");
    EXPECT_EQ(all.size(), names().size() + 2); // nh3-freq's displaced geometries too
    std::map<std::string, std::string> together;
    for (const std::string k : {"1", "2", "3"}) {
        ASSERT_EQ(runbinary(KRU_BINARY, dir,
                            {"--to", "PDB", "--files-from", "list", "--shard", k + "/3", "-d",
                             "shard" + k}),
                  0);
        for (const auto& [name, text] : filesin(dir / ("shard" + k))) {
            EXPECT_TRUE(together.emplace(name, text).second) << name << " in two shards";
        }
    }
    EXPECT_EQ(together, all);

    // The same under GNU parallel, as on a cluster.
    const fs::path parallel = "/usr/bin/parallel";
    if (!fs::exists(parallel)) {
        GTEST_SKIP() << "GNU parallel is not installed (Debian package parallel)";
    }
    ASSERT_EQ(runbinary(parallel.c_str(), dir,
                        {"--will-cite", KRU_BINARY, "--to", "PDB", "--files-from", "list",
                         "--shard", "{}/2", "-d", "parallel", ":::", "1", "2"}),
              0)
        << slurp(dir / ".stderr");
    EXPECT_EQ(filesin(dir / "parallel"), all);
}

TEST_F(Batch, InfoOnPlainFiles) {
    const fs::path dir = folder("info");
    fs::copy_file(dir / "water.xyz", dir / "we\"ird.xyz");
    ASSERT_EQ(runbinary(KRU_BINARY, dir, {"info", "--json", "we\"ird.xyz", "ethanol.pdb"}), 0);
    const std::string json = slurp(dir / ".stdout");
    EXPECT_NE(json.find(R"("file": "we\"ird.xyz", "type": "XYZ", "program": null)"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("atoms": 3, "formula": "H2O", "geometries": 1, "energy": null, )"
                        R"("geometry_energies": [0], )"
                        R"("normal_end": null, "converged": null, "frequencies": 0, )"
                        R"("lowest_frequency": null, "imaginary": 0})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("formula": "C2H6NaO")"), std::string::npos) << json;

    // Several files make a table; one that cannot be read says why and fails the command.
    EXPECT_EQ(runbinary(KRU_BINARY, dir, {"info", "water.xyz", "missing.xyz", "nh3-freq.adfout"}),
              1);
    const std::string table = slurp(dir / ".stdout");
    EXPECT_TRUE(table.starts_with("file             type    version  atoms  formula")) << table;
    EXPECT_NE(table.find("\nmissing.xyz      error: no such file\n"), std::string::npos) << table;
    EXPECT_NE(table.find("\nnh3-freq.adfout  ADFOUT"), std::string::npos) << table;
}

} // namespace
