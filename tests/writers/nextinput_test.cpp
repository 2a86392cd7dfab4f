#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Charge, multiplicity and method line of each source, and the notes that name a default.
TEST(Nextinput, GivenThenTheRunsThenTheDefaults) {
    std::ostringstream notes;
    Store s(RunContext(std::cout, notes));
    NextInput n = nextinput(s, NextProgram::orca, true);
    EXPECT_EQ(n.charge, 0);
    EXPECT_EQ(n.mult, 1);
    EXPECT_EQ(n.method, "! r2SCAN-3c Opt");
    EXPECT_EQ(
        notes.str(),
        "kru: note: the run does not print its charge and multiplicity; the "
        "input has charge 0 and multiplicity 1 (CHARGE and MULT, --charge and --mult, set them)\n"
        "kru: note: the run gives no method line; the input has the default ! "
        "r2SCAN-3c Opt (METHOD, --method, sets another)\n");

    // The run's values; a route printed over lines, its checkpoint words in any spelling dropped.
    notes.str("");
    s.runcharge = -1;
    s.runmult = 2;
    s.runroute = "#P B3LYP/6-31G(d) Opt Geom=AllCheck guess(read) Guess=Check geom=check Freq";
    n = nextinput(s, NextProgram::gaussian, true);
    EXPECT_EQ(n.charge, -1);
    EXPECT_EQ(n.mult, 2);
    EXPECT_EQ(n.method, "#P B3LYP/6-31G(d) Opt Freq");
    EXPECT_EQ(notes.str(), "");

    // A Gaussian route is no ORCA line: the default, and the note says why.
    n = nextinput(s, NextProgram::orca, true);
    EXPECT_EQ(n.method, "! r2SCAN-3c Opt");
    EXPECT_EQ(notes.str(), "kru: note: a Gaussian route is no ORCA method line; the input has the "
                           "default ! r2SCAN-3c Opt (METHOD, --method, sets another)\n");
    notes.str("");
    s.runroute.clear();
    s.runkeywords = "! B3LYP def2-SVP\n! TightSCF";
    EXPECT_EQ(nextinput(s, NextProgram::orca, true).method, "! B3LYP def2-SVP\n! TightSCF");
    EXPECT_EQ(nextinput(s, NextProgram::gaussian, false).method, "#p B3LYP/6-31G(d) Opt");
    EXPECT_EQ(notes.str(), ""); // quiet when asked

    // Given values win; a METHOD without its program's mark gets one.
    s.charge = 2;
    s.mult = 3;
    s.method = "PBE0 def2-TZVP";
    n = nextinput(s, NextProgram::orca, true);
    EXPECT_EQ(n.charge, 2);
    EXPECT_EQ(n.mult, 3);
    EXPECT_EQ(n.method, "! PBE0 def2-TZVP");
    EXPECT_EQ(nextinput(s, NextProgram::gaussian, true).method, "#p PBE0 def2-TZVP");
    s.method = "#n HF/STO-3G SP";
    EXPECT_EQ(nextinput(s, NextProgram::gaussian, true).method, "#n HF/STO-3G SP");
    EXPECT_EQ(notes.str(), "");
}

} // namespace
