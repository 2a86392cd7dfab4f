// The marker set against the plain search in the padded record, on lines built to hold markers
// at every place: at the start, at the end, cut by the record length, with trailing blanks in
// the line or in the padding, overlapping, and markers of blanks only; the vector scan and the
// portable one alike.
#include "control/files.h"
#include "control/markerset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
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
        const std::uint64_t expected = plain(markers, view);
        ASSERT_EQ(set.find(view), expected) << '"' << line << '"';
        ASSERT_EQ(set.findportable(view), expected) << '"' << line << '"';
    }
}

TEST(MarkerSet, ManyMarkersOfAWideAlphabet) {
    // More markers than the vector scan has groups, over bytes whose half-bytes collide, met
    // whole, cut short or with one byte changed, on every place of 32-byte blocks.
    std::mt19937 rng(11);
    const std::string alphabet = "  .-0123456789:=ABCDEFGHXYZabcdexyz()*\x90\xc3\xe9\x7f";
    auto text = [&](std::size_t n) {
        std::string s;
        while (s.size() < n) {
            s += alphabet[rng() % alphabet.size()];
        }
        return s;
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> markers;
        for (int k = 0; k < 40; ++k) {
            markers.push_back(text(1 + rng() % 24) + (rng() % 4 == 0 ? "   " : ""));
        }
        const MarkerSet set{markers[0],  markers[1],  markers[2],  markers[3],  markers[4],
                            markers[5],  markers[6],  markers[7],  markers[8],  markers[9],
                            markers[10], markers[11], markers[12], markers[13], markers[14],
                            markers[15], markers[16], markers[17], markers[18], markers[19],
                            markers[20], markers[21], markers[22], markers[23], markers[24],
                            markers[25], markers[26], markers[27], markers[28], markers[29],
                            markers[30], markers[31], markers[32], markers[33], markers[34],
                            markers[35], markers[36], markers[37], markers[38], markers[39]};
        // Anchored on other pairs, as counted in some text: the same markers are found.
        MarkerSet::PairCounts counts(65536);
        for (std::uint32_t& c : counts) {
            c = rng() % 4 == 0 ? 0 : std::uint32_t(rng() % 1000);
        }
        const MarkerSet anchored = set.anchoredin(counts);
        for (int trial = 0; trial < 2000; ++trial) {
            std::string line = text(rng() % 70);
            while (rng() % 3 != 0) {
                std::string m = markers[rng() % markers.size()];
                if (rng() % 3 == 0) {
                    m[rng() % m.size()] = alphabet[rng() % alphabet.size()];
                } else if (rng() % 3 == 0) {
                    m.resize(rng() % m.size());
                }
                line += m + text(rng() % 3);
            }
            line.resize(std::min<std::size_t>(line.size(), 40 + rng() % 130));
            const std::string_view view = std::string_view(line).substr(0, recordlength);
            const std::uint64_t expected = plain(markers, view);
            ASSERT_EQ(set.find(view), expected) << '"' << line << '"';
            ASSERT_EQ(set.findportable(view), expected) << '"' << line << '"';
            ASSERT_EQ(anchored.find(view), expected) << '"' << line << '"';
        }
    }
}

TEST(MarkerSet, LineEndingWhereReadableMemoryEnds) {
    // A mapped file's last line may end on the last byte before a page that cannot be read.
    const long page = sysconf(_SC_PAGESIZE);
    void* mem = mmap(nullptr, std::size_t(2 * page), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mem, MAP_FAILED);
    char* end = static_cast<char*>(mem) + page;
    ASSERT_EQ(mprotect(end, std::size_t(page), PROT_NONE), 0);
    const MarkerSet set{"FINAL ENERGY", "Y  "};
    const std::string text = "  xx FINAL ENERGY  -76.0 Y";
    for (std::size_t n = 0; n <= text.size(); ++n) {
        std::memcpy(end - n, text.data() + text.size() - n, n);
        const std::string_view line(end - n, n);
        EXPECT_EQ(set.find(line), plain({"FINAL ENERGY", "Y  "}, line)) << n;
    }
    munmap(mem, std::size_t(2 * page));
}

TEST(MarkerSet, MarkerEndingInBlanksAtTheEndOfAShortLine) {
    const MarkerSet set{" O   R   C   A ", "X  "};
    EXPECT_EQ(set.find("  * O   R   C   A"), 1u);
    EXPECT_EQ(set.find("  * O   R   C   Ax"), 0u);
    EXPECT_EQ(set.find(std::string(157, ' ') + "X"), 2u);
    EXPECT_EQ(set.find(std::string(158, ' ') + "X"), 0u); // the blanks would pass column 160
}

} // namespace
