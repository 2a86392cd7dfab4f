// The command line around the run: help, version, control input from a file.
#include "control/control.h"
#include "control/dispatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string capture(const std::string& command, int& status) {
    std::string out;
    std::FILE* p = ::popen(command.c_str(), "r");
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
        out.append(buf, n);
    }
    status = ::pclose(p);
    return out;
}

TEST(CommandLine, HelpListsEveryKeywordAndType) {
    int status = -1;
    const std::string help = capture(KRU_BINARY " --help", status);
    EXPECT_EQ(status, 0);
    for (const KeywordEntry& k : keywords()) {
        EXPECT_NE(help.find("\n  " + std::string(trimright(k.keyword)) + " "), std::string::npos)
            << k.keyword;
    }
    for (const ReaderEntry& r : inputtypes()) {
        EXPECT_NE(help.find("\n  " + std::string(r.type) + " "), std::string::npos) << r.type;
    }
    for (const WriterEntry& w : outputtypes()) {
        EXPECT_NE(help.find("\n  " + std::string(w.type) + " "), std::string::npos) << w.type;
    }
    // The commands, and the batch's options.
    for (const char* command :
         {"\n  kru [convert] INPUT OUTPUT", "\n  kru [convert] --to TYPE", "\n  kru info FILE...",
          "\n  --files-from LIST", "\n  --shard K/N", "\n  -d,--dir DIR", "\n  -j,--processes N"}) {
        EXPECT_NE(help.find(command), std::string::npos) << command;
    }
}

TEST(CommandLine, VersionAndControlFile) {
    int status = -1;
    EXPECT_EQ(capture(KRU_BINARY " --version", status).rfind("kru ", 0), 0u);
    EXPECT_EQ(status, 0);
    // A control file that names a missing input fails like the same control on standard input.
    const std::string file = testing::TempDir() + "kru_control_file";
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fputs("IN  XYZ    no-such-input.xyz\n", f);
    std::fclose(f);
    const std::string out = capture(std::string(KRU_BINARY " ") + file + " 2>/dev/null", status);
    EXPECT_NE(out.find("Inputfile no-such-input.xyz of type XYZ    does not exist"),
              std::string::npos);
    EXPECT_NE(status, 0);
    std::remove(file.c_str());
}

} // namespace
