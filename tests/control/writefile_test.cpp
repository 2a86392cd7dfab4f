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
    s.outputtype = "CONN  ";
    s.outputfile = fixedtext(file.string(), 100);
    writefile(s);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Connect\nATOM        1\nEnd\n");
    std::filesystem::remove_all(dir);
}

// A run whose side file would replace its input file stops before it writes anything.
TEST(Writefile, RefusesASideFileThatIsAnInputFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("kru_writefile_side_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path input = dir / "mol.molden-vib.weights";
    std::ofstream(input) << "kept\n";
    for (const char* type : {"MOLDEN", "MOLF  "}) {
        Store s;
        s.nat = 1;
        s.nvib = 1;
        allocstuff(s);
        s.iat(1) = 6;
        s.iorder(1, 1) = s.iorder(1, 2) = 1;
        s.inputfile = fixedtext(input.string(), 100);
        s.outputtype = type;
        s.outputfile = fixedtext((dir / "mol.molden").string(), 100);
        try {
            writefile(s);
            ADD_FAILURE() << type << ": writefile returned";
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "Output file would overwrite an input file");
            EXPECT_EQ(e.routine, "writefile");
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "mol.molden")) << type;
        std::ifstream in(input);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(), "kept\n") << type;
    }
    std::filesystem::remove_all(dir);
}

} // namespace
