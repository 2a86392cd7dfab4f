#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

namespace {

// The setting is compared as stored, whole and with its case; the control input
// upper-cases it, so a lower-case setting can only come from elsewhere.
TEST(Writesystemheader, InterpreterLineByExactSetting) {
    const std::pair<const char*, const char*> cases[] = {
        {"LINUX", "#! /bin/bash\n\n"}, {"AIX", "#! /slocal/bin/zsh\n\n"},
        {"", "#! /bin/sh\n\n"},        {"linux", "#! /bin/sh\n\n"},
        {"EM LIN", "#! /bin/sh\n\n"},  {"LINUXX", "#! /bin/sh\n\n"},
        {"AIX L", "#! /bin/sh\n\n"},   {"AIXAIX", "#! /bin/sh\n\n"},
    };
    for (const auto& [setting, text] : cases) {
        Store s;
        s.systemtype = setting;
        OutputFile out;
        writesystemheader(s, out);
        EXPECT_EQ(out.str(), text) << '"' << setting << '"';
    }
}

} // namespace
