#include "control/dispatch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string readme() {
    std::ifstream in(KRU_SOURCE_DIR "/README.md");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every type is dispatched once and documented, so the tables and the README cannot drift.
TEST(Dispatch, EveryTypeOnceAndInTheReadme) {
    const std::string doc = readme();
    ASSERT_FALSE(doc.empty());
    std::set<std::string_view> seen;
    for (const ReaderEntry& r : inputtypes()) {
        EXPECT_TRUE(seen.insert(r.type).second) << r.type;
        EXPECT_LE(r.type.size(), 6u);
        EXPECT_NE(r.read, nullptr);
        EXPECT_FALSE(r.what.empty());
        EXPECT_NE(doc.find("| `" + std::string(r.type) + "` |"), std::string::npos) << r.type;
    }
    seen.clear();
    for (const WriterEntry& w : outputtypes()) {
        EXPECT_TRUE(seen.insert(w.type).second) << w.type;
        EXPECT_LE(w.type.size(), 6u);
        EXPECT_NE(w.write, nullptr);
        EXPECT_FALSE(w.what.empty());
        EXPECT_NE(doc.find("| `" + std::string(w.type) + "` |"), std::string::npos) << w.type;
    }
}

} // namespace
