#include "control/freeread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The order list written compactly: "s1 e i1" is string 1, equals sign, integer 1.
std::string order(const FreeRead& f) {
    std::string r;
    for (int i = 1; i <= f.nfndt; ++i) {
        const FieldRef o = f.fndorder(i);
        if (!r.empty()) {
            r += ' ';
        }
        switch (o.kind) {
        case FieldKind::real:
            r += 'r';
            r += std::to_string(o.index);
            break;
        case FieldKind::integer:
            r += 'i';
            r += std::to_string(o.index);
            break;
        case FieldKind::string:
            r += 's';
            r += std::to_string(o.index);
            break;
        case FieldKind::equals:
            r += "e";
            break;
        case FieldKind::none:
            r += "?";
            break;
        }
    }
    return r;
}

TEST(Freerd, AtomLines) {
    FreeRead f = freerd("C 0.0 1.5 -2.25");
    EXPECT_EQ(order(f), "s1 r1 r2 r3");
    EXPECT_EQ(f.fndstrings(1), "C");
    EXPECT_EQ(f.fndreals(3), -2.25);

    f = freerd("C 0 1 2");
    EXPECT_EQ(order(f), "s1 i1 i2 i3");
    EXPECT_EQ(f.nfndr, 0);
    EXPECT_EQ(f.fndintegers(3), 2);
}

TEST(Freerd, ExponentRealIsAlsoAString) {
    const FreeRead f = freerd("H  1.0e-1");
    EXPECT_EQ(order(f), "s1 r1 s2");
    EXPECT_DOUBLE_EQ(f.fndreals(1), 0.1);
    EXPECT_EQ(f.fndstrings(2), "1.0e-1");
}

TEST(Freerd, SeparatorsAndEquals) {
    FreeRead f = freerd("x,y=3");
    EXPECT_EQ(order(f), "s1 s2 e i1");
    f = freerd("A=5");
    EXPECT_EQ(order(f), "s1 e i1");
    f = freerd("a\tb\x01"
               "c");
    EXPECT_EQ(f.nfnds, 3);
    for (const char* empty : {"", "      ", ",,,,", "\t \r"}) {
        f = freerd(empty);
        EXPECT_EQ(f.nfndt + f.nfnds + f.nfndi + f.nfndr, 0) << empty;
    }
}

TEST(Freerd, Quotes) {
    FreeRead f = freerd("'two words' ab'cd");
    EXPECT_EQ(order(f), "s1 s2");
    EXPECT_EQ(f.fndstrings(1), "two words");
    EXPECT_EQ(f.fndstrings(2), "ab'cd");

    f = freerd("\"a,b='c'\"5 '' '7'");
    EXPECT_EQ(order(f), "s1 i1 s2 s3");
    EXPECT_EQ(f.fndstrings(1), "a,b='c'");
    EXPECT_EQ(f.fndstrings(2), "");
    EXPECT_EQ(f.fndstrings(3), "7");

    f = freerd("x 'never closed, = here   ");
    EXPECT_EQ(order(f), "s1 s2");
    EXPECT_EQ(f.fndstrings(2), "never closed, = here");
}

TEST(Freerd, NumbersReadLikeFortran) {
    struct Case {
        const char* field;
        const char* kinds;
        double value;
    };
    const Case cases[] = {
        {"1.2.3", "s1", 0},
        {".", "s1", 0},
        {"+.5", "r1", 0.5},
        {"-7", "i1", -7},
        {"+5", "i1", 5},
        {"5-", "s1", 0},
        {"-", "s1", 0},
        {"--5", "s1", 0},
        {"3.", "r1", 3},
        {"1E-5", "s1", 0},
        {"2.5D0", "r1 s1", 2.5},
        {"1.5Q2", "r1 s1", 150},
        {"1.5-3", "r1", 1.5e-3},
        {"1.5+3", "r1", 1500},
        {"1.5e", "s1", 0},
        {"-.", "s1", 0},
        {".e5", "s1", 0},
        {"1.5abc", "s1", 0},
        {"1./", "r1 s1", 1},
        {"1.5;x", "r1 s1", 1.5},
        {"1.5:", "s1", 0},
        {"1-.5", "s1", 0},
        {"+-1.5", "s1", 0},
        {"1.0E-400", "r1 s1", 0},
        {"9223372036854775807", "i1", 9223372036854775807.0},
        {"9223372036854775808", "s1", 0},
        {"-9223372036854775808", "i1", -9223372036854775808.0},
        {"\xc3\xa9.5", "s1", 0},
    };
    for (const Case& c : cases) {
        const FreeRead f = freerd(c.field);
        EXPECT_EQ(order(f), c.kinds) << c.field;
        if (f.nfndr == 1) {
            EXPECT_EQ(f.fndreals(1), c.value) << c.field;
        } else if (f.nfndi == 1) {
            EXPECT_EQ(double(f.fndintegers(1)), c.value) << c.field;
        } else {
            EXPECT_EQ(f.fndstrings(1), c.field) << c.field;
        }
    }
    EXPECT_TRUE(std::isinf(freerd("-1.0e999").fndreals(1)));
    EXPECT_LT(freerd("-1.0e999").fndreals(1), 0);
    EXPECT_EQ(freerd("0.1").fndreals(1), 0.1); // correctly rounded
}

TEST(Freerd, MissingEntriesReadAsZeroOrBlank) {
    const FreeRead f = freerd("FDISTORT 2");
    EXPECT_EQ(f.fndreals(1), 0.0);
    EXPECT_EQ(f.fndintegers(2), 0);
    EXPECT_EQ(f.fndstrings(2), "");
}

TEST(Freerd, SurplusFieldsAreIgnoredAndLongStringsCut) {
    std::string line;
    for (int i = 1; i <= 45; ++i) {
        line += std::to_string(i) + " ";
    }
    line += "1.5 " + std::string(100, 'a');
    FreeRead f = freerd(line);
    EXPECT_EQ(f.nfndi, 40);
    EXPECT_EQ(f.fndintegers(40), 40);
    EXPECT_EQ(f.nfndr, 1);
    EXPECT_EQ(f.fndstrings(1), std::string(80, 'a'));
    EXPECT_EQ(f.fndlength(1), 100);
    EXPECT_EQ(f.nfndt, 42);

    line.clear();
    for (int i = 0; i < 70; ++i) {
        line += "a=";
    }
    f = freerd(line);
    EXPECT_EQ(f.nfnds, 40);
    EXPECT_EQ(f.nfndt, 110); // 40 strings and 70 equals signs
    line += std::string(20, '=');
    EXPECT_EQ(freerd(line).nfndt, 120);
}

} // namespace
