#include "readers/readers.h"
#include "readertest.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

const std::string summary = "  SUMMARY\n          HEAT OF FORMATION = 51.2 KCAL/MOL\n\n";

TEST(ReadArc, CartesianBlockAfterTheMarker) {
    ReadResult r = runreader(readarc, summary + "          FINAL GEOMETRY OBTAINED\n"
                                                " PM7 BFGS PRECISE\n title\n comment\n"
                                                "  C     0.5 +1   1.5 +1  -0.25 +1\n"
                                                "  H     1.0 +1   2.0 +1   3.0 +1\n"
                                                "\n  O     9.0 +1   9.0 +1   9.0 +1\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.xyz(1, 1), 0.5 / bohr);
    EXPECT_EQ(r.s.xyz(3, 1), -0.25 / bohr);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.inpcoor, 1);
}

TEST(ReadArc, ZmatrixBlockOfTheFirstSectionOnly) {
    const std::string section = "FINAL GEOMETRY OBTAINED\nkeys\ntitle\ncomment\n"
                                "C 0.0 0 0.0 0 0.0 0 0 0 0\n"
                                "C 1.54 1 0.0 0 0.0 0 1 0 0\n"
                                "H 1.09 1 109.5 1 0.0 0 2 1 0\n"
                                "H 1.09 1 109.5 1 120.0 1 2 1 3\n";
    ReadResult r = runreader(readarc, summary + section + " , \n" + section + section);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.inpcoor, 2);
    EXPECT_EQ(r.s.kmatrx(1, 4), 2);
    EXPECT_EQ(r.s.kmatrx(2, 4), 1);
    EXPECT_EQ(r.s.kmatrx(3, 4), 3);
    EXPECT_EQ(r.s.zmat(1, 4), 1.09 / bohr);
    EXPECT_EQ(r.s.zmat(3, 4), 120.0 * 0.017453292519943295);
}

TEST(ReadArc, BlankTitleAndCommentLines) {
    for (const char* header : {"keys\n\n\n", "\n\n\n", "keys\ntitle\n   \n"}) {
        ReadResult r = runreader(readarc, "FINAL GEOMETRY OBTAINED\n" + std::string(header) +
                                              "C 0.0 +1 0.0 +1 1.0 +1\nH 0.0 +1 0.0 +1 2.0 +1\n");
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.nat, 2);
        EXPECT_EQ(r.s.xyz(3, 2), 2.0 / bohr);
    }
}

TEST(ReadArc, BlockEndsAtTheFirstLineWithoutAField) {
    for (const char* end : {"\n", "   \n", ",,,\n", "= =\n"}) {
        ReadResult r = runreader(readarc, "FINAL GEOMETRY OBTAINED\nk\nt\nc\nH 0.0 0.0 0.0\n" +
                                              std::string(end) + "H 0.0 0.0 1.0\n");
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.nat, 1) << end;
    }
}

TEST(ReadArc, NoAtoms) {
    for (const char* text :
         {"", "C 0.0 0.0 0.0\n", "FINAL GEOMETRY OBTAINED\n", "FINAL GEOMETRY OBTAINED\nk\nt\nc\n",
          "FINAL GEOMETRY OBTAINED\nk\nt\nc\n\nC 0.0 0.0 0.0\n"}) {
        ReadResult r = runreader(readarc, text);
        EXPECT_EQ(r.out, "") << text;
        EXPECT_EQ(r.message, "No atoms found") << text;
        EXPECT_EQ(r.routine, "readarc");
    }
}

// Element numbers and the last geometry of the run that wrote the archive, as an independent
// parser read them from its output.
struct Reference {
    std::vector<int> atomnos;
    std::vector<double> last; // x, y, z of every atom, Angstrom
};

std::vector<double> numbers(std::string_view text) {
    std::vector<double> v;
    std::size_t p = 0;
    while ((p = text.find_first_of("-0123456789", p)) != std::string_view::npos) {
        double x = 0.0;
        auto [end, ec] = std::from_chars(text.data() + p, text.data() + text.size(), x);
        EXPECT_EQ(ec, std::errc());
        v.push_back(x);
        p = std::size_t(end - text.data());
    }
    return v;
}

// Just enough JSON for reference.json: the named entry's "atomnos" list and the last geometry
// of its "geometries_angstrom" list of geometries.
Reference reference(const std::string& json, std::string_view key) {
    Reference r;
    const std::size_t entry = json.find("\"" + std::string(key) + "\":");
    if (entry == std::string::npos) {
        return r;
    }
    const std::size_t nos = json.find("\"atomnos\":[", entry);
    const std::size_t nosend = json.find(']', nos);
    for (double z : numbers(std::string_view(json).substr(nos + 11, nosend - nos - 11))) {
        r.atomnos.push_back(int(z));
    }
    std::size_t p = json.find("\"geometries_angstrom\":[", entry) + 22;
    int depth = 0;
    std::size_t geometry = p;
    do {
        if (json[p] == '[' && ++depth == 2) {
            geometry = p;
        } else if (json[p] == ']') {
            --depth;
        }
        ++p;
    } while (depth > 0);
    const std::size_t close = json.find("]]", geometry);
    r.last = numbers(std::string_view(json).substr(geometry, close - geometry));
    return r;
}

TEST(ReadArc, RealArchive) {
    const std::string dir = KRU_REALDATA;
    const std::string arc = dir + "/MOPAC/dvb_gopt.arc";
    if (!std::filesystem::exists(arc) || !std::filesystem::exists(dir + "/reference.json")) {
        GTEST_SKIP() << "real outputs not found at " << dir;
    }
    std::ostringstream text, json;
    text << std::ifstream(arc).rdbuf();
    json << std::ifstream(dir + "/reference.json").rdbuf();
    // The archive holds the final geometry of the optimisation in dvb_gopt.out.
    const Reference ref = reference(json.str(), "MOPAC/dvb_gopt.out");
    ASSERT_EQ(ref.atomnos.size(), 20u);
    ASSERT_EQ(ref.last.size(), 60u);

    ReadResult r = runreader(readarc, text.str());
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 20);
    EXPECT_EQ(r.s.inpcoor, 1);
    for (int a = 1; a <= 20; ++a) {
        EXPECT_EQ(r.s.iat(a), ref.atomnos[std::size_t(a - 1)]) << "atom " << a;
        for (int k = 1; k <= 3; ++k) {
            // The output prints 6 decimals, the archive 8.
            EXPECT_NEAR(r.s.xyz(k, a) * bohr, ref.last[std::size_t(3 * (a - 1) + k - 1)], 1e-6)
                << "atom " << a;
        }
    }
    EXPECT_EQ(r.s.xyz(1, 1), 0.28037282 / bohr);

    // Read as a DAT file, the same lines need their header at the top of the file.
    r = runreader(readdat, text.str());
    EXPECT_EQ(r.message, "Not enough reals on line");
    EXPECT_EQ(r.routine, "readdat");
}

TEST(ReadArc, BadAtomLineNamesTheReader) {
    ReadResult r = runreader(readarc, "FINAL GEOMETRY OBTAINED\nk\nt\nc\nC 0.0 0.0\n");
    EXPECT_EQ(r.out, "Not enough reals found:  2\n" + echoed("C 0.0 0.0"));
    EXPECT_EQ(r.message, "Not enough reals on line");
    EXPECT_EQ(r.routine, "readarc");
}

} // namespace
