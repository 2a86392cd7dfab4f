// The input file's lines are the same whether the text comes from memory, from a plain file on
// disk (mapped) or from a compressed one; a second pass after rewind sees them again.
#include "control/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
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

TEST(InputFile, LinesOfRandomLengthsAsSplitOneByteAtATime) {
    // Line ends at every place of the sixteen-byte blocks the search takes, and near the end.
    std::mt19937 rng(3);
    for (int trial = 0; trial < 300; ++trial) {
        std::string text;
        std::vector<std::string> want;
        const int count = int(rng() % 30);
        for (int k = 0; k < count; ++k) {
            std::string line(rng() % 3 == 0 ? rng() % 200 : rng() % 40, 'a');
            for (char& c : line) {
                c = " x\r\t1"[rng() % 5];
            }
            text += line;
            const bool last = k + 1 == count && rng() % 2 == 0;
            if (!last) {
                text += '\n';
            } else if (line.empty()) {
                break; // the text ends with the line end before: no further line
            }
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            want.push_back(line.substr(0, recordlength));
        }
        InputFile in(text);
        ASSERT_EQ(lines(in), want) << trial;
    }
}

} // namespace
