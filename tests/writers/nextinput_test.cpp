#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The atom lines of both inputs for testing_store::peroxide, in its output order.
const std::string peroxideatoms = "O       0.00000000      0.70000000      0.00000000\n"
                                  "O       0.00000000     -0.70000000      0.00000000\n"
                                  "H       1.23456750      0.80000000      0.10000000\n"
                                  "H      -0.90000000     -0.80000000     -0.00000040\n";

// Charge, multiplicity and method line of each source, and the notes that name a default.
TEST(Nextinput, GivenThenTheRunsThenTheDefaults) {
    std::ostringstream notes;
    Store s(RunContext(std::cout, notes));
    NextInput n = nextinput(s, NextProgram::orca, true);
    EXPECT_EQ(n.charge, 0);
    EXPECT_EQ(n.mult, 1);
    EXPECT_EQ(n.method, "! r2SCAN-3c Opt");
    EXPECT_EQ(notes.str(), "kru: note: the run does not print its charge and multiplicity; the "
                           "input has charge 0 and multiplicity 1 (CHARGE and MULT set them)\n"
                           "kru: note: the run gives no method line; the input has the default ! "
                           "r2SCAN-3c Opt (METHOD sets another)\n");

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
                           "default ! r2SCAN-3c Opt (METHOD sets another)\n");
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

// Both inputs of one store: each program's own method line, the run's charge and
// multiplicity, the atoms in output order.
TEST(Writeorcain, OrcaAndGaussianInputLayouts) {
    Store s;
    testing_store::peroxide(s);
    s.outputfile = "runs/h2o2.opt.gjf";
    s.runcharge = 1;
    s.runmult = 2;
    s.runkeywords = "! UKS B3LYP def2-SVP Opt\n! TightSCF";
    s.runroute = "#p B3LYP/6-31G(d) Opt geom=check";
    OutputFile orca, gaussian;
    writeorcain(s, orca);
    writegjf(s, gaussian);
    EXPECT_EQ(orca.str(), "! UKS B3LYP def2-SVP Opt\n"
                          "! TightSCF\n"
                          "\n"
                          "* xyz 1 2\n" +
                              peroxideatoms + "*\n");
    EXPECT_EQ(gaussian.str(), "%chk=h2o2.opt.chk\n"
                              "#p B3LYP/6-31G(d) Opt\n"
                              "\n"
                              "Structure converted by KRU\n"
                              "\n"
                              "1 2\n" +
                                  peroxideatoms + "\n");
}

} // namespace
