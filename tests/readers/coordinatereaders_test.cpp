#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr double bohr = 0.5291772484779358;
using Reader = void (*)(Store&, InputFile&);

Read run(Reader reader, std::string text) {
    Read r;
    readinto(r, reader, std::move(text));
    return r;
}

TEST(CoordinateReaders, Atoms) {
    // XYZ: the title is ignored, blank lines too, integer coordinates are accepted, Windows
    // line ends read like Unix ones.
    Read r = run(readxyz, "3\r\nO 9.0 9.0 9.0\r\nO 0.0 0.0 0.1173\r\n\r\nh 0 -1 -2\r\n"
                          "Co 1.0 2.0 3.0\r\n   \r\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.xyz(3, 1), 0.1173 / bohr);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.xyz(3, 2), -2 / bohr);
    EXPECT_EQ(r.s.iat(3), 27);

    // ANGS: element numbers (never a coordinate themselves) and prefixed labels.
    r = run(readangs, "\n6 0.0 0.0 0.0\nGH.C 1.0 2.0 3.0\nJ.N 0 0 1\n8 1 2 3\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.iat(2), 6);
    EXPECT_EQ(r.s.iat(3), 7);
    EXPECT_EQ(r.s.iat(4), 8);
    EXPECT_EQ(r.s.xyz(1, 4), 1 / bohr);
    EXPECT_EQ(r.s.xyz(3, 4), 3 / bohr);

    r = run(readbohrs, "N 1.0 -2.5 3.25\n\nXX 0.0 0.0 1.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.xyz(2, 1), -2.5);
    EXPECT_EQ(r.s.iat(2), 94);

    // DAT: three header lines skipped whatever they hold.
    r = run(readdat, "C 9.0 9.0 9.0\n\nO 1.0 1.0 1.0\nC 1.0 2.0 3.0 1 1 1\n\nH 0.0 0.0 1.1\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.xyz(3, 1), 3.0 / bohr);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.inpcoor, 1);
}

TEST(CoordinateReaders, ZmatrixLines) {
    const std::string zmatrix = "C 0.0 0 0.0 0 0.0 0 0 0 0\n"
                                "C 1.54 1 0.0 0 0.0 0 1 0 0\n"
                                "H 1.09 1 109.5 1 0.0 0 2 1 0\n"
                                "H 1.09 1 109.5 1 120.0 1 2 1 3\n";
    // An archive is read from its first section only, up to the first line without a field;
    // the title and comment lines after the marker may be blank.
    const std::string section = "FINAL GEOMETRY OBTAINED\nkeys\n\n\n" + zmatrix;
    for (const auto& [reader, text] :
         {std::pair{&readdat, "\n\n\n" + zmatrix},
          std::pair{&readarc, "SUMMARY\n" + section + " = , \n" + section + section}}) {
        Read r = run(reader, text);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.nat, 4);
        EXPECT_EQ(r.s.inpcoor, 2);
        EXPECT_EQ(r.s.kmatrx(1, 4), 2);
        EXPECT_EQ(r.s.kmatrx(2, 4), 1);
        EXPECT_EQ(r.s.kmatrx(3, 4), 3);
        EXPECT_EQ(r.s.kmatrx(3, 3), 0);
        EXPECT_EQ(r.s.zmat(1, 4), 1.09 / bohr);
        EXPECT_EQ(r.s.zmat(3, 4), 120.0 * 0.017453292519943295);
    }
}

TEST(CoordinateReaders, Failures) {
    const auto echo = [](std::string_view line) { return "LINE: " + record(line) + "\n"; };
    struct Case {
        Reader reader;
        std::string text, out, message, routine;
    };
    const Case cases[] = {
        {readxyz, "3\n\nO 0.0 0.0 0.0\nH 0.0 0.0 1.0\nH 0.0 1.0 0.0\nH 1.0 0.0 0.0\n",
         "Need     3 atoms, found only     4 lines with ATOM info..\n", "Not enough ATOMS",
         "readxyz"},
        {readxyz, "3.0\n\nO 0.0 0.0 0.0\n",
         "Need     0 atoms, found only     1 lines with ATOM info..\n", "Not enough ATOMS",
         "readxyz"},
        {readxyz, "123456\n\n", "Need ***** atoms, found only     0 lines with ATOM info..\n",
         "Not enough ATOMS", "readxyz"},
        {readxyz, "0\ntitle\n\n", "", "No atoms found", "readxyz"},
        {readxyz, "2\n\nC 0.0 0.0 0.0\n1.0 2.0 3.0\n",
         "Not enough strings found:  0\n" + echo("1.0 2.0 3.0"), "Not enough strings on line",
         "readxyz"},
        {readangs, " \n\n", "", "No atoms found", "readangs"},
        {readangs, "99 0.0 0.0 0.0\n", "Unknown atomtype found: 99\n" + echo("99 0.0 0.0 0.0"),
         "Unknown atomtype found", "readangs"},
        {readbohrs, "", "", "No atoms found", "readbohrs"},
        {readbohrs, "O 0 0 1\n", "Not enough reals found:  0\n" + echo("O 0 0 1"),
         "Not enough reals on line", "readbohrs"},
        {readdat, "a\nb\nc\n \n", "", "No atoms found", "readdat"},
        {readdat, "\n\n\nC1 0.0 0.0 0.0\n", "Unknown atomtype found: C1\n" + echo("C1 0.0 0.0 0.0"),
         "Unknown atomtype found", "readdat"},
        {readarc, "C 0.0 0.0 0.0\n", "", "No atoms found", "readarc"},
        {readarc, "FINAL GEOMETRY OBTAINED\nk\nt\n", "", "No atoms found", "readarc"},
        {readarc, "FINAL GEOMETRY OBTAINED\nk\nt\nc\n\nC 0.0 0.0 0.0\n", "", "No atoms found",
         "readarc"},
        {readarc, "FINAL GEOMETRY OBTAINED\nk\nt\nc\nC 0.0 0.0\n",
         "Not enough reals found:  2\n" + echo("C 0.0 0.0"), "Not enough reals on line", "readarc"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.reader, c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, c.routine) << c.text;
    }
}

std::vector<double> numbers(std::string_view text) {
    std::vector<double> v;
    for (std::size_t p = 0; (p = text.find_first_of("-0123456789", p)) != text.npos;) {
        double x = 0.0;
        const char* end = std::from_chars(text.data() + p, text.data() + text.size(), x).ptr;
        v.push_back(x);
        p = std::size_t(end - text.data());
    }
    return v;
}

TEST(CoordinateReaders, RealArchive) {
    const std::string dir = KRU_REALDATA;
    if (!std::filesystem::exists(dir + "/MOPAC/dvb_gopt.arc")) {
        GTEST_SKIP() << "real outputs not found at " << dir;
    }
    std::ostringstream arc, json;
    arc << std::ifstream(dir + "/MOPAC/dvb_gopt.arc").rdbuf();
    json << std::ifstream(dir + "/reference.json").rdbuf();
    // The reference has no entry for the archive; it holds the final geometry of the run in
    // dvb_gopt.out that wrote it: element numbers, and the last of the geometries.
    const std::string js = json.str();
    const std::string_view j = js;
    const std::size_t entry = j.find("\"MOPAC/dvb_gopt.out\":");
    ASSERT_NE(entry, j.npos);
    const std::size_t nos = j.find("\"atomnos\":[", entry);
    const std::vector<double> atomnos = numbers(j.substr(nos, j.find(']', nos) - nos));
    const std::size_t end = j.find("]]]", j.find("\"geometries_angstrom\":", entry));
    const std::size_t last = j.rfind("[[", end);
    const std::vector<double> geometry = numbers(j.substr(last, end - last));
    ASSERT_EQ(atomnos.size(), 20u);
    ASSERT_EQ(geometry.size(), 60u);

    const Read r = run(readarc, arc.str());
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 20);
    for (int a = 1; a <= 20; ++a) {
        EXPECT_EQ(r.s.iat(a), atomnos[std::size_t(a - 1)]) << "atom " << a;
        for (int k = 1; k <= 3; ++k) {
            // The output prints 6 decimals, the archive 8.
            EXPECT_NEAR(r.s.xyz(k, a) * bohr, geometry[std::size_t(3 * a + k - 4)], 1e-6);
        }
    }
}

} // namespace
