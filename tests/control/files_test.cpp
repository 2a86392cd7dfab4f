// The input file's lines are the same whether the text comes from memory, from a plain file on
// disk (mapped) or from a compressed one; a second pass after rewind sees them again.
#include "control/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

std::vector<std::string> lines(InputFile& in) {
    std::vector<std::string> all;
    std::string_view line;
    while (in.getline(line)) {
        all.emplace_back(line);
        EXPECT_EQ(in.lineno(), static_cast<long long>(all.size()));
    }
    return all;
}

TEST(InputFile, SameLinesFromMemoryAPlainFileAndACompressedFile) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kru_inputfile_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    struct Case {
        std::string text;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"\r\n\n\r", {"", "", ""}},
        {"x\ry\n", {"x\ry"}},
        {std::string(200, 'c') + "\nd\n", {std::string(160, 'c'), "d"}},
    };
    int k = 0;
    for (const Case& c : cases) {
        std::filesystem::path base = dir / std::to_string(k++);
        const std::string plain = base.replace_extension(".txt").string();
        const std::string packed = base.replace_extension(".txt.gz").string();
        std::ofstream(plain, std::ios::binary) << c.text;
        gzFile gz = gzopen(packed.c_str(), "wb");
        gzwrite(gz, c.text.data(), unsigned(c.text.size()));
        gzclose(gz);

        InputFile memory(c.text);
        // Counted before any pass, and as a pass that reached the end counted them.
        EXPECT_EQ(memory.linecount(), static_cast<long long>(c.want.size()));
        EXPECT_EQ(lines(memory), c.want);
        EXPECT_EQ(memory.linecount(), static_cast<long long>(c.want.size()));
        for (const std::string& path : {plain, packed}) {
            InputFile in;
            ASSERT_TRUE(in.load(path)) << path;
            EXPECT_EQ(lines(in), c.want) << path;
            in.rewind();
            EXPECT_EQ(in.lineno(), 0);
            EXPECT_EQ(lines(in), c.want) << path << " after rewind";
        }
    }
    InputFile missing;
    EXPECT_FALSE(missing.load((dir / "none.txt").string()));
    EXPECT_FALSE(missing.load(dir.string()));
    std::filesystem::remove_all(dir);
}

} // namespace
