#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(Store, AllocstuffCreatesTablesWithTheirInitialValues) {
    Store s;
    s.nat = 3;
    allocstuff(s);
    EXPECT_EQ(s.moldescr(3), "MOL       ");
    EXPECT_EQ(s.atdescr(1), "          ");
    EXPECT_EQ(s.inear(0, 3), 0); // no near neighbours yet
    EXPECT_EQ(s.iconn(0, 2), 0);
    EXPECT_EQ(s.kmatrx(3, -3), 0); // reference positions before the first atom
    EXPECT_EQ(s.zmat(1, 0), 0.0);
    // Without a geometry sequence there is still room for one geometry.
    EXPECT_EQ(s.egeo.size(), 1);
    EXPECT_EQ(s.xgeo.extent3().hi, 1);
    EXPECT_TRUE(s.vibs.allocated());
    EXPECT_EQ(s.vibs.size(), 0);
    deallocstuff(s);
    EXPECT_FALSE(s.iat.allocated());
}

TEST(Store, SecondAllocstuffFails) {
    Store s;
    s.nat = 2;
    allocstuff(s);
    testing::internal::CaptureStdout();
    try {
        allocstuff(s);
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "ALLOCATE error for IAT");
        EXPECT_EQ(e.routine, "allocstuff");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n\nNot enough memory available for IAT of size          2\n");
}

// Counts announced by an input may be far beyond what memory holds; the store fails through
// allocexit, naming the first table past the limit, before any table is created.
TEST(Store, TablesBeyondTheLimitFailBeforeAnyIsCreated) {
    struct Case {
        int nat, ngeom, nvib;
        long long limit;
        const char* table;
        const char* size;
    };
    const Case cases[] = {
        {INT_MAX, 0, 0, 0, "IAT", "2147483647"},
        {3, INT_MAX, 0, 0, "EGEO", "2147483647"},
        {100000, 100000, 0, 0, "XGEO", "**********"}, // 3e10 elements, 11 digits
        {100000, 0, 100000, 0, "vibvec", "**********"},
        {1000, 0, 0, 100000, "ICONN", "     18000"}, // 32000 bytes before it, 76000 its own
    };
    for (const Case& c : cases) {
        Store s;
        s.nat = c.nat;
        s.ngeom = c.ngeom;
        s.nvib = c.nvib;
        s.tablelimit = c.limit;
        testing::internal::CaptureStdout();
        try {
            allocstuff(s);
            FAIL() << "no error for " << c.table;
        } catch (const RunError& e) {
            EXPECT_EQ(e.what(), "ALLOCATE error for " + std::string(c.table));
            EXPECT_EQ(e.routine, "allocstuff");
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n\nNot enough memory available for " +
                                                              std::string(c.table) + " of size " +
                                                              c.size + "\n");
        EXPECT_FALSE(s.iat.allocated()) << c.table;
    }
}

TEST(Store, TablesWithinTheLimitAreCreated) {
    Store s;
    s.nat = 1000;
    s.tablelimit = 1000 * 1000;
    allocstuff(s);
    EXPECT_TRUE(s.vibvec.allocated());
    EXPECT_EQ(s.iat.size(), 1000);
}

TEST(Store, DeallocstuffOfMissingTablesFails) {
    Store s;
    s.nvib = 4;
    s.nat = 2;
    testing::internal::CaptureStdout();
    EXPECT_THROW(deallocstuff(s), RunError);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n\nNot enough memory available for IAT of size          2\n");
}

TEST(Store, ErrorBanner) {
    const RunError e("Inputfile does not exist", "processinput");
    EXPECT_EQ(errorbanner(e),
              "\n====================\nError in KRU program\n====================\n\n"
              "Routine : processinput\nInputfile does not exist\n");
}

} // namespace
