// The marked lines of a text, found by one scan and kept between passes, against reading every
// line and searching it: the same lines, markers and line numbers, whatever the reader reads
// itself in between, after a rewind, and when the kept list is let go.
#include "control/markedlines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct Step {
    bool ok;
    std::string line;
    std::uint64_t found;
    long long number;
};

// What the reader is handed when every line is read and searched.
Step plainnext(InputFile& in, const MarkerSet& set, bool everyline) {
    std::string_view line;
    while (in.getline(line)) {
        const std::uint64_t found = set.find(line);
        if (found != 0 || everyline) {
            return {true, std::string(line), found, in.lineno()};
        }
    }
    return {false, "", 0, in.lineno()};
}

std::string randomtext(std::mt19937& rng, const std::vector<std::string>& markers) {
    const std::string pieces[] = {" ", "  ", "x", "1.5", "-0.25", "ab", "\t", "Y", "\r"};
    std::string text;
    const int lines = int(rng() % 400);
    for (int k = 0; k < lines; ++k) {
        const std::size_t length = rng() % 8 == 0 ? 150 + rng() % 60 : rng() % 50;
        std::string line;
        while (line.size() < length) {
            line += rng() % 12 == 0 ? markers[rng() % markers.size()] : pieces[rng() % 9];
        }
        text += line;
        if (k + 1 < lines || rng() % 2 == 0) {
            text += rng() % 5 == 0 ? "\r\n" : "\n";
        }
    }
    return text;
}

// Two passes of a reader that takes marked lines, every line for a while after some of them,
// and now and then a few lines of its own.
void samereading(const MarkerSet& set, const std::vector<std::string>& markers, unsigned seed,
                 std::size_t kept, std::size_t longtext) {
    std::mt19937 rng(seed);
    const std::string text = randomtext(rng, markers);
    InputFile fast(text), plain(text);
    MarkedLines marked(fast, set, kept, longtext);
    for (int pass = 1; pass <= 2; ++pass) {
        fast.rewind();
        plain.rewind();
        int everylines = 0;
        for (int step = 0;; ++step) {
            if (rng() % 10 == 0) {
                std::string_view a, b;
                for (int n = int(rng() % 4); n > 0; --n) {
                    ASSERT_EQ(fast.getline(a), plain.getline(b));
                    ASSERT_EQ(a, b);
                }
            }
            const bool everyline = everylines > 0;
            everylines = everyline ? everylines - 1 : (rng() % 8 == 0 ? int(rng() % 5) : 0);
            std::string_view line;
            std::uint64_t found = 0;
            const bool ok = marked.next(line, found, everyline);
            const Step want = plainnext(plain, set, everyline);
            ASSERT_EQ(ok, want.ok) << seed << " pass " << pass << " step " << step;
            ASSERT_EQ(fast.lineno(), want.number) << seed << " pass " << pass << " step " << step;
            if (!ok) {
                break;
            }
            ASSERT_EQ(line, want.line) << seed << " step " << step;
            ASSERT_EQ(found, want.found) << seed << " step " << step;
        }
        ASSERT_EQ(fast.linecount(), plain.linecount()) << seed;
    }
}

TEST(MarkedLines, SameAsSearchingEveryLine) {
    const std::vector<std::string> markers = {
        "FINAL ENERGY", "Coordinates", "X Y Z   ", "ab", "new :", std::string(150, 'x') + "ab"};
    const MarkerSet set{markers[0], markers[1], markers[2], markers[3], markers[4], markers[5]};
    for (unsigned seed = 1; seed <= 300; ++seed) {
        // Kept lines let go, the text taken as long (scanned at once in halves by anchored
        // pairs), or both.
        samereading(set, markers, seed, seed % 3 == 0 ? 2 : std::size_t(1) << 20,
                    seed % 2 == 0 ? 0 : std::size_t(1) << 30);
    }
}

TEST(MarkedLines, MarkersOfOneCharacterOrOfBlanks) {
    // These cannot be anchored on a pair: every line is looked at.
    const std::vector<std::string> markers = {"Y", "   ", "Coordinates"};
    const MarkerSet set{markers[0], markers[1], markers[2]};
    for (unsigned seed = 1; seed <= 50; ++seed) {
        samereading(set, markers, seed, seed % 2 == 0 ? 1 : 100, seed % 4 < 2 ? 0 : 1000);
    }
}

} // namespace
