// Coordinate tables read ahead in a second thread against reading them in place: the same bits,
// tables passed over, a table the text ends inside, and a reader that stops early.
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double perbohr = 0.52917721067;

// A text of tables of `atoms` lines after a marker and one underline, with other lines between.
std::string tables(std::mt19937& rng, int count, int atoms, std::vector<std::size_t>& markers) {
    std::string text;
    for (int t = 0; t < count; ++t) {
        for (int other = int(rng() % 3); other > 0; --other) {
            text += "  some other line 1.5\n";
        }
        markers.push_back(text.size());
        text += "CARTESIAN COORDINATES (ANGSTROEM)\n---------\n";
        for (int a = 0; a < atoms; ++a) {
            text += "  C  " + std::to_string(int(rng() % 2000) - 1000) + "." +
                    std::to_string(rng() % 1000000) + " -0.25 " + std::to_string(rng() % 7) +
                    ".125e1 extra 1.5\n";
        }
    }
    return text;
}

void samecoordinates(const std::string& text, std::size_t marker, int atoms, const double* xyz) {
    std::size_t at = marker;
    linefrom(text, at, at);
    linefrom(text, at, at);
    for (int a = 0; a < atoms; ++a) {
        const FreeRead f = freerd(linefrom(text, at, at));
        for (int k = 1; k <= 3; ++k) {
            const double want = f.fndreals(k) / perbohr;
            ASSERT_EQ(std::memcmp(&want, &xyz[3 * a + k - 1], sizeof want), 0) << a;
        }
    }
}

TEST(TablesAhead, SameNumbersAsReadingInPlace) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 40; ++trial) {
        const int atoms = 1 + int(rng() % 50);
        std::vector<std::size_t> markers;
        std::string text = tables(rng, 1 + int(rng() % 30), atoms, markers);
        const bool cut = trial % 3 == 0;
        if (cut) {
            text.resize(text.size() - 1 - rng() % (20 * std::size_t(atoms)));
        }
        TablesAhead ahead(text, markers, 1, atoms, perbohr);
        for (std::size_t t = 0; t < markers.size(); ++t) {
            if (rng() % 4 == 0) {
                continue; // a table of another run, passed over
            }
            const double* xyz = ahead.coordinates(markers[t]);
            const bool whole = !cut || t + 1 < markers.size();
            if (!whole) {
                continue; // the last table may be cut: either null or whole
            }
            ASSERT_NE(xyz, nullptr) << trial << ' ' << t;
            samecoordinates(text, markers[t], atoms, xyz);
        }
        // A place that starts no table, past the last one.
        EXPECT_EQ(ahead.coordinates(text.size() + 1), nullptr);
    }
}

TEST(TablesAhead, ReaderStoppingEarly) {
    // The reader fails after the first table: the thread still reading ahead is stopped.
    std::mt19937 rng(9);
    std::vector<std::size_t> markers;
    const std::string text = tables(rng, 200, 30, markers);
    for (int k = 0; k < 20; ++k) {
        TablesAhead ahead(text, markers, 1, 30, perbohr);
        ASSERT_NE(ahead.coordinates(markers[0]), nullptr);
    }
}

} // namespace
