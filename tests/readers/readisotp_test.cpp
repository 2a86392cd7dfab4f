#include "readers/readers.h"
#include "readertest.h"

#include "control/fixedwidth.h"
#include "store/atominfo.h"

namespace {

// Water: O, H, H.
ReadResult water(std::string_view file = "isotopes.txt") {
    ReadResult r;
    r.s.nat = 3;
    allocstuff(r.s);
    r.s.iat(1) = 8;
    r.s.iat(2) = 1;
    r.s.iat(3) = 1;
    r.s.isotpfile = fixedtext(file, 100);
    r.s.nisotp = 7; // reset by the reader
    return r;
}

TEST(ReadIsotp, PairsByPositionAndSkippedLines) {
    ReadResult r = runreader(readisotp,
                             "2 2.0141\n"
                             "2 2\n"        // no real: skipped
                             "1 2.0141 3\n" // two integers, one real: skipped
                             "\n"
                             "text only\n"
                             "3 1 2.014 17.999 deuterium\n", // pairs (3, 2.014) and (1, 17.999)
                             water());
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.nisotp, 3);
    EXPECT_EQ(r.s.iisotp(1), 2);
    EXPECT_EQ(r.s.risotp(1), 2.0141);
    EXPECT_EQ(r.s.iisotp(2), 3);
    EXPECT_EQ(r.s.risotp(2), 2.014);
    EXPECT_EQ(r.s.iisotp(3), 1);
    EXPECT_EQ(r.s.risotp(3), 17.999);
}

TEST(ReadIsotp, ImplausibleMassIsKeptWithAWarning) {
    ReadResult r = runreader(readisotp, "  2 5000.0   \n", water("dir/iso file.txt"));
    ASSERT_EQ(r.message, "");
    EXPECT_EQ(r.out, "Are you sure?\n"
                     "isotp file \"dir/iso file.txt\" line:   2 5000.0\n"
                     "Atom    2 is with mass  " +
                         fw::F(defatmass(1), 12, 3) +
                         "\n"
                         "You want to change it to     5000.000\n");
    ASSERT_EQ(r.s.nisotp, 1);
    EXPECT_EQ(r.s.risotp(1), 5000.0);

    // A difference of exactly 2000 is no warning; a light mass far off is one.
    r = runreader(readisotp, "1 2015.9994\n3 -2000.0\n", water());
    EXPECT_EQ(r.out, "Are you sure?\n"
                     "isotp file \"isotopes.txt\" line: 3 -2000.0\n"
                     "Atom    3 is with mass         1.008\n"
                     "You want to change it to    -2000.000\n");
    EXPECT_EQ(r.s.nisotp, 2);
}

TEST(ReadIsotp, AtomsBeyondTheMoleculeAreLeftOut) {
    ReadResult r = runreader(readisotp, "4 2.0 2 2.0141\n0 5.0\n-1 5.0\n", water());
    ASSERT_EQ(r.message, "");
    EXPECT_EQ(r.out, " Warning, isotp number > NAT\n"
                     " Warning, isotp number < 1\n"
                     " Warning, isotp number < 1\n");
    ASSERT_EQ(r.s.nisotp, 1);
    EXPECT_EQ(r.s.iisotp(1), 2);
}

TEST(ReadIsotp, NoMoreEntriesThanAtoms) {
    ReadResult r = runreader(readisotp, "1 17.0 2 2.0 3 2.0\n2 3.0\n9 1.0\n", water());
    ASSERT_EQ(r.message, "");
    EXPECT_EQ(r.out, " Warning, isotp number > NAT\n");
    ASSERT_EQ(r.s.nisotp, 3);
    EXPECT_EQ(r.s.iisotp(3), 3);
    EXPECT_EQ(r.s.risotp(3), 2.0);
}

} // namespace
