#include "control/control.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <gtest/gtest.h>

namespace {

TEST(ElementTable, ValuesAreSinglePrecisionWidened) {
    EXPECT_EQ(defatmass(1), 1.0078999996185303);
    EXPECT_EQ(defatmass(6), double(12.011f));
    EXPECT_EQ(defcovrad(86), double(-99.999f));
    EXPECT_EQ(defcovrad(94), -99.0);
    EXPECT_EQ(defatrad(2), double(999.9999f));
    EXPECT_EQ(defokb_r(98), double(1.86f));
    EXPECT_EQ(defokb_c(2), 5.5);
    EXPECT_EQ(defatmass(93), 0.0);
    EXPECT_EQ(defatnam(17), "CL");
    EXPECT_EQ(defatnamlow(17), "Cl");
    EXPECT_EQ(defatnamlow(94), "XX");
    EXPECT_EQ(defatnamlow(97), "C ");
    EXPECT_EQ(defatmass(97), defatmass(6));
}

TEST(ElementTable, SymbolLookup) {
    EXPECT_EQ(elementnumber("C"), 6);
    EXPECT_EQ(elementnumber("CL"), 17);
    EXPECT_EQ(elementnumber("CO"), 27);
    EXPECT_EQ(elementnumber("CA1"), 20);
    EXPECT_EQ(elementnumber("C1"), 0);
    EXPECT_EQ(elementnumber("J.C"), 6);
    EXPECT_EQ(elementnumber("J.CL"), 17);
    EXPECT_EQ(elementnumber("J.C1"), 0);
    EXPECT_EQ(elementnumber("XX"), 94);
    EXPECT_EQ(elementnumber("H"), 1); // never the second hydrogen entry 95
    EXPECT_EQ(elementnumber(""), 0);
}

struct Parsed {
    Store s;
    std::string out;
    std::string message;
    std::string routine;
};

// Decodes lines into a store with room for them, capturing messages and the failure.
Parsed parse(std::initializer_list<std::string_view> lines, const AtomLineOptions& o) {
    Parsed p;
    p.s.nat = int(lines.size());
    allocstuff(p.s);
    p.s.nat = 0;
    testing::internal::CaptureStdout();
    try {
        for (std::string_view line : lines) {
            parseatomline(p.s, line, "readtest", o);
        }
    } catch (const RunError& e) {
        p.message = e.what();
        p.routine = e.routine;
    }
    p.out = testing::internal::GetCapturedStdout();
    return p;
}

std::string echo(std::string_view line) {
    return "LINE: " + fixedtext(line, 160) + "\n";
}

TEST(ParseAtomLine, SymbolAndAngstrom) {
    Parsed p = parse({"h 0.0 0.0 0.74", "Co 1.0 2.0 3.0", "XX 0.0 0.0 0.0"}, {});
    ASSERT_EQ(p.message, "");
    EXPECT_EQ(p.s.nat, 3);
    EXPECT_EQ(p.s.iat(1), 1);
    EXPECT_EQ(p.s.xyz(3, 1), 0.74 / 0.5291772484779358);
    EXPECT_EQ(p.s.iat(2), 27);
    EXPECT_EQ(p.s.iat(3), 94);
    EXPECT_EQ(p.s.inpcoor, 1);
}

TEST(ParseAtomLine, Failures) {
    Parsed p = parse({"C 0 0 0"}, {});
    EXPECT_EQ(p.out, "Not enough reals found:  0\n" + echo("C 0 0 0"));
    EXPECT_EQ(p.message, "Not enough reals on line");
    EXPECT_EQ(p.routine, "readtest");

    p = parse({"C 1.0 2.0"}, {});
    EXPECT_EQ(p.out, "Not enough reals found:  2\n" + echo("C 1.0 2.0"));

    p = parse({"1.0 2.0 3.0"}, {});
    EXPECT_EQ(p.out, "Not enough strings found:  0\n" + echo("1.0 2.0 3.0"));
    EXPECT_EQ(p.message, "Not enough strings on line");

    p = parse({"J.C1 0.0 0.0 0.0"}, {});
    EXPECT_EQ(p.out, "Unknown atomtype found: J.\n" + echo("J.C1 0.0 0.0 0.0"));
    EXPECT_EQ(p.message, "Unknown atomtype found");

    p = parse({"Q 0.0 0.0 0.0"}, {});
    EXPECT_EQ(p.out, "Unknown atomtype found: Q \n" + echo("Q 0.0 0.0 0.0"));
}

TEST(ParseAtomLine, IntegerCoordinatesAndElementNumbers) {
    AtomLineOptions o;
    o.integercoords = true;
    Parsed p = parse({"C 0 1 2", "O 1.5 2 3.5"}, o);
    ASSERT_EQ(p.message, "");
    EXPECT_EQ(p.s.xyz(2, 1), 1 / 0.5291772484779358);
    // Numbers in order of appearance, reals and integers alike.
    EXPECT_EQ(p.s.xyz(2, 2), 2 / 0.5291772484779358);
    EXPECT_EQ(p.s.xyz(3, 2), 3.5 / 0.5291772484779358);

    o.elementnumber = true;
    p = parse({"6 0.0 0.0 0.0", "8 1 2 3", "97 0.0 0.0 1.0"}, o);
    ASSERT_EQ(p.message, "");
    EXPECT_EQ(p.s.iat(1), 6);
    EXPECT_EQ(p.s.iat(2), 8);
    // The element number is never a coordinate.
    EXPECT_EQ(p.s.xyz(1, 2), 1 / 0.5291772484779358);
    EXPECT_EQ(p.s.xyz(3, 2), 3 / 0.5291772484779358);
    EXPECT_EQ(p.s.iat(3), 97);

    p = parse({"99 0.0 0.0 0.0"}, o);
    EXPECT_EQ(p.out, "Unknown atomtype found: 99\n" + echo("99 0.0 0.0 0.0"));
    p = parse({"6 1 2"}, o);
    EXPECT_EQ(p.message, "Not enough reals on line");
}

TEST(ParseAtomLine, PrefixRemoval) {
    AtomLineOptions o;
    o.prefixremoval = true;
    Parsed p = parse({"GH.C 0.0 0.0 0.0", "J.N 0.0 0.0 0.0", "Gh.Cl.x 0.0 0.0 0.0"}, o);
    ASSERT_EQ(p.message, "");
    EXPECT_EQ(p.s.iat(1), 6);
    EXPECT_EQ(p.s.iat(2), 7);
    EXPECT_EQ(p.s.iat(3), 17);
}

TEST(ParseAtomLine, BohrAndZmatrix) {
    AtomLineOptions o;
    o.angstrom = false;
    Parsed p = parse({"N 1.0 2.0 3.0"}, o);
    EXPECT_EQ(p.s.xyz(3, 1), 3.0);

    o = {};
    o.zmatrix = true;
    p = parse({"C 1.0 2.0 3.0 1 1 1", "C 1.5 109.5 180.0 1 1 1 2 1 3"}, o);
    ASSERT_EQ(p.message, "");
    EXPECT_EQ(p.s.xyz(1, 1), 1.0 / 0.5291772484779358);
    EXPECT_EQ(p.s.kmatrx(1, 2), 2);
    EXPECT_EQ(p.s.kmatrx(2, 2), 1);
    EXPECT_EQ(p.s.kmatrx(3, 2), 3);
    EXPECT_EQ(p.s.zmat(1, 2), 1.5 / 0.5291772484779358);
    EXPECT_EQ(p.s.zmat(2, 2), 109.5 * 0.017453292519943295);
    EXPECT_EQ(p.s.inpcoor, 2);
}

TEST(ParseAtomLine, NeverWritesPastTheCountedAtoms) {
    Store s;
    s.nat = 1;
    allocstuff(s);
    s.nat = 1;
    try {
        parseatomline(s, "C 0.0 0.0 0.0", "readxyz", {});
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "More atoms than counted");
        EXPECT_EQ(e.routine, "readxyz");
    }
}

} // namespace
