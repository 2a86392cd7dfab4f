#include "control/control.h"
#include "control/dispatch.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

TEST(Writefile, DispatchesOnTheOutputType) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kru_writefile_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "mol.conn";
    Store s;
    s.nat = 1;
    allocstuff(s);
    s.iat(1) = 6;
    s.iorder(1, 1) = s.iorder(1, 2) = 1;
    s.outputtype = "CONN";
    s.outputfile = file.string();
    writefile(s);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Connect\nATOM        1\nEnd\n");
    std::filesystem::remove_all(dir);
}

// A run whose side file would replace its input file stops before it writes anything.
// The vibration weights of the Molden writers, and the inputs written beside the displaced
// geometries of a structure with an imaginary mode.
TEST(Writefile, RefusesASideFileThatIsAnInputFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("kru_writefile_side_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    struct Side {
        const char *type, *output, *side;
    };
    for (const Side& c : {Side{"MOLDEN", "mol.molden", "mol.molden-vib.weights"},
                          Side{"MOLF", "mol.molden", "mol.molden-vib.weights"},
                          Side{"ORCAIN", "mol.inp", "mol.inp-rev.inp"},
                          Side{"GJF", "mol.com", "mol.com-fwd.com"}}) {
        const std::filesystem::path input = dir / c.side;
        std::ofstream(input) << "kept\n";
        Store s;
        s.nat = 1;
        s.nvib = 1;
        allocstuff(s);
        s.iat(1) = 6;
        s.iorder(1, 1) = s.iorder(1, 2) = 1;
        s.vibs(1) = -100.0;
        s.vibvec(1, 1, 1) = 1.0;
        s.inputfile = input.string();
        s.outputtype = c.type;
        s.outputfile = (dir / c.output).string();
        try {
            writefile(s);
            ADD_FAILURE() << c.type << ": writefile returned";
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "Output file would overwrite an input file");
            EXPECT_EQ(e.routine, "writefile");
        }
        EXPECT_FALSE(std::filesystem::exists(dir / c.output)) << c.type;
        std::ifstream in(input);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(), "kept\n") << c.type;
        std::filesystem::remove(input);
    }
    std::filesystem::remove_all(dir);
}

// However the name is written, and whichever input it is, the same file is refused.
TEST(Writefile, RefusesEveryNameOfAFileTheRunReads) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kru_refuse_" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    const fs::path input = dir / "in.xyz";
    std::ofstream(input) << "kept\n";
    fs::create_symlink(input, dir / "link.xyz");
    fs::create_hard_link(input, dir / "hard.xyz");
    // Relative names count in the run's base folder.
    const RunContext here(std::cout, std::cerr, dir);
    const std::string names[] = {"in.xyz",   "./in.xyz", "sub/../in.xyz", input.string(),
                                 "link.xyz", "hard.xyz", ".//in.xyz"};
    void (*const as[])(Store&, const std::string&) = {
        [](Store& s, const std::string& f) { s.inputfile = f; },
        [](Store& s, const std::string& f) {
            s.inporder = true;
            s.inporderfile = f;
        },
        [](Store& s, const std::string& f) {
            s.newkmatrix = true;
            s.kmatrixfile = f;
        },
        [](Store& s, const std::string& f) {
            s.lisotp = true;
            s.isotpfile = f;
        },
    };
    for (auto set : as) {
        for (const std::string& name : names) {
            Store s(here);
            set(s, "in.xyz");
            EXPECT_THROW(refuseoverwrite(s, name), RunError) << name;
        }
        Store s(here);
        set(s, "in.xyz");
        EXPECT_NO_THROW(refuseoverwrite(s, "other.xyz"));
        EXPECT_NO_THROW(refuseoverwrite(s, "sub"));
    }
    // Side files the run does not read are nobody's input.
    Store s(here);
    s.inputfile = "other.xyz";
    s.inporderfile = "in.xyz";
    EXPECT_NO_THROW(refuseoverwrite(s, "in.xyz"));
    fs::remove_all(dir);
}

} // namespace
