// Every failure that reaches the end of a run ends it in order: banner on the log, STOP line on
// the error stream, exit status 1.
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>

namespace {

struct Stopped {
    int status = 0;
    std::string out, err;
};

template <class Failure> Stopped stopafter(const Failure& failure) {
    std::ostringstream out, err;
    const Store s(RunContext(out, err));
    Stopped r;
    try {
        throw failure;
    } catch (...) {
        r.status = stoprun(s);
    }
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string banner(const std::string& routine, const std::string& message) {
    return "\n====================\nError in KRU program\n====================\n\nRoutine : " +
           routine + "\n" + message + "\n";
}

TEST(Stoprun, EveryFailureEndsWithTheBannerAndStatusOne) {
    const std::string stop = "STOP End of program because of an error\n";
    Stopped r = stopafter(RunError("Error opening inputfile", "readfile"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner("readfile", "Error opening inputfile"));
    EXPECT_EQ(r.err, stop);

    r = stopafter(std::bad_alloc());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner("run", "Not enough memory available"));
    EXPECT_EQ(r.err, stop);

    r = stopafter(std::out_of_range("vector::at"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner("run", "Unexpected failure: vector::at"));
    EXPECT_EQ(r.err, stop);

    r = stopafter(42);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner("run", "Unexpected failure"));

    // A numeric routine's stop has no banner.
    r = stopafter(RunError("matrix sizes differ", "", true));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "STOP matrix sizes differ\n");
}

} // namespace
