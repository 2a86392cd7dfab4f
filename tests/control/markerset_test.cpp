// The marker set against the plain search in the padded record, on lines built to hold markers
// at every place: at the start, at the end, cut by the record length, with trailing blanks in
// the line or in the padding, overlapping, and markers of blanks only.
#include "control/files.h"
#include "control/markerset.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::uint64_t plain(const std::vector<std::string>& markers, std::string_view line) {
    const std::string rec = record(line);
    std::uint64_t found = 0;
    for (std::size_t i = 0; i < markers.size(); ++i) {
        if (rec.find(markers[i]) != std::string::npos) {
            found |= std::uint64_t(1) << i;
        }
    }
    return found;
}

TEST(MarkerSet, SameAsSearchingThePaddedRecord) {
    const std::vector<std::string> markers = {
        " O   R   C   A ",
        "Number of atoms",
        "    X Y Z    ",
        "ab",
        "b",
        "aab",
        "   ",
        "x  ",
        "a a ",
        std::string(158, 'a') + "  ",
        "",
    };
    const MarkerSet set{markers[0], markers[1], markers[2], markers[3], markers[4], markers[5],
                        markers[6], markers[7], markers[8], markers[9], markers[10]};
    std::mt19937 rng(5);
    const std::string pieces[] = {" ", "  ", "a", "b", "x", "ab", "aab", "\t"};
    for (int trial = 0; trial < 20000; ++trial) {
        std::string line;
        const std::size_t length = rng() % 3 == 0 ? 150 + rng() % 20 : rng() % 40;
        while (line.size() < length) {
            line += rng() % 10 == 0 ? markers[rng() % markers.size()] : pieces[rng() % 8];
        }
        line.resize(length);
        // As InputFile hands lines out: at most the record length.
        const std::string_view view = std::string_view(line).substr(0, recordlength);
        ASSERT_EQ(set.find(view), plain(markers, view)) << '"' << line << '"';
    }
}

TEST(MarkerSet, MarkerEndingInBlanksAtTheEndOfAShortLine) {
    const MarkerSet set{" O   R   C   A ", "X  "};
    EXPECT_EQ(set.find("  * O   R   C   A"), 1u);
    EXPECT_EQ(set.find("  * O   R   C   Ax"), 0u);
    EXPECT_EQ(set.find(std::string(157, ' ') + "X"), 2u);
    EXPECT_EQ(set.find(std::string(158, ' ') + "X"), 0u); // the blanks would pass column 160
}

} // namespace
