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

} // namespace
