#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string firstlines(const std::string& text, int n) {
    std::size_t end = 0;
    for (int i = 0; i < n; ++i) {
        end = text.find('\n', end) + 1;
    }
    return text.substr(0, end);
}

// Hydrogen peroxide written O2 O3 H1 H4 with its partners as the arrangement step gives them,
// the last atom without a known element.
void peroxidezmatrix(Store& s) {
    testing_store::peroxide(s);
    s.kmatrx(1, 3) = 2;
    s.kmatrx(1, 1) = 2;
    s.kmatrx(2, 1) = 3;
    s.kmatrx(1, 4) = 3;
    s.kmatrx(2, 4) = 2;
    s.kmatrx(3, 4) = 1;
    s.iat(4) = 0;
}

TEST(Writezmat, BothWritersShareTheAtomBlockApartFromTheMarks) {
    Store s;
    peroxidezmatrix(s);
    OutputFile marked;
    writezmat(s, marked);
    OutputFile plain;
    writezmatsp(s, plain);

    const std::string block = firstlines(marked.str(), 6);
    EXPECT_EQ(block, "ZMAT made by KRU 2012.01\n"
                     "O \n"
                     "O 1 R1*\n"
                     "H 1 R2* 2 A2*\n"
                     "XX 2 R4* 1 A4* 3 D4*\n"
                     "\n");
    std::string unmarked = block;
    unmarked.erase(std::remove(unmarked.begin(), unmarked.end(), '*'), unmarked.end());
    EXPECT_EQ(firstlines(plain.str(), 6), unmarked);
}

TEST(Zmatvariable, NamesFollowThePositionWithoutR3A3D3) {
    const struct {
        char kind;
        int k;
        const char* name;
    } cases[] = {{'R', 2, "R1"}, {'R', 3, "R2"},   {'A', 3, "A2"},    {'R', 4, "R4"},
                 {'D', 4, "D4"}, {'A', 10, "A10"}, {'D', 123, "D123"}};
    for (const auto& c : cases) {
        EXPECT_EQ(zmatvariable(c.kind, c.k), c.name) << c.kind << c.k;
    }
}

} // namespace
