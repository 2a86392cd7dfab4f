#include "control/control.h"

#include <gtest/gtest.h>

namespace {

TEST(TextUtils, UpcaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(upcase("Cl 1.0 z\xc3\xa9"), "CL 1.0 Z\xc3\xa9");
}

TEST(TextUtils, LenTrimCountsOnlyBlanks) {
    EXPECT_EQ(len_trim("ab  "), 2);
    EXPECT_EQ(len_trim("    "), 0);
    EXPECT_EQ(len_trim("ab\t"), 3);
}

TEST(TextUtils, CleanuplineBlanksFromTheFirstBang) {
    std::string line = "C 1.0 ! comment ! more";
    cleanupline(line);
    EXPECT_EQ(line, "C 1.0                 ");
    line = "no comment";
    cleanupline(line);
    EXPECT_EQ(line, "no comment");
}

TEST(TextUtils, Suffixes) {
    EXPECT_EQ(getsuffix(0), "0");
    EXPECT_EQ(getsuffix(1207), "1207");
    EXPECT_EQ(getsuffix2(7, 120), "007");
    EXPECT_EQ(getsuffix2(120, 120), "120");
    EXPECT_EQ(getsuffix2(0, 9), "0");
    try {
        getsuffix2(10, 9);
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "itid > mxtid : impossible");
        EXPECT_EQ(e.routine, "getsuffix2");
    }
}

} // namespace
