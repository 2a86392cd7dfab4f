#include "control/control.h"
#include "control/dispatch.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

// Every type is dispatched once and documented, so the tables and the README cannot drift.
TEST(Dispatch, EveryTypeOnceAndInTheReadme) {
    const std::string doc = slurp(KRU_SOURCE_DIR "/README.md");
    ASSERT_FALSE(doc.empty());
    std::set<std::string_view> seen;
    for (const ReaderEntry& r : inputtypes()) {
        EXPECT_TRUE(seen.insert(r.type).second) << r.type;
        EXPECT_LE(r.type.size(), 6u);
        EXPECT_FALSE(r.what.empty());
        EXPECT_NE(doc.find("| `" + std::string(r.type) + "` |"), std::string::npos) << r.type;
    }
    seen.clear();
    for (const WriterEntry& w : outputtypes()) {
        EXPECT_TRUE(seen.insert(w.type).second) << w.type;
        EXPECT_LE(w.type.size(), 6u);
        EXPECT_FALSE(w.what.empty());
        EXPECT_NE(doc.find("| `" + std::string(w.type) + "` |"), std::string::npos) << w.type;
    }
}

// The manual page names every keyword and every type.
TEST(Dispatch, EveryKeywordAndTypeInTheManual) {
    const std::string man = slurp(KRU_SOURCE_DIR "/kru.1");
    ASSERT_FALSE(man.empty());
    auto documented = [&](std::string_view name) {
        const std::string entry = "\n.B " + std::string(trimright(name));
        const std::size_t at = man.find(entry);
        return at != std::string::npos &&
               (man[at + entry.size()] == '\n' || man[at + entry.size()] == ' ');
    };
    for (const KeywordEntry& k : keywords()) {
        EXPECT_TRUE(documented(k.keyword)) << k.keyword;
    }
    for (const ReaderEntry& r : inputtypes()) {
        EXPECT_TRUE(documented(r.type)) << r.type;
    }
    for (const WriterEntry& w : outputtypes()) {
        EXPECT_TRUE(documented(w.type)) << w.type;
    }
}

// The README's and the manual's extension tables show every type's extensions as the rows hold
// them.
TEST(Dispatch, EveryTypesExtensionsDocumented) {
    const std::string doc = slurp(KRU_SOURCE_DIR "/README.md");
    const std::string man = slurp(KRU_SOURCE_DIR "/kru.1");
    auto check = [&](std::string_view type, std::string_view extensions) {
        std::string cells;
        std::istringstream list{std::string(extensions)};
        for (std::string e; list >> e;) {
            cells += cells.empty() ? "`" : " `";
            cells += e;
            cells += '`';
        }
        std::string row = "\n| `";
        row += type;
        row += "` | ";
        row += cells.empty() ? std::string("—") : cells;
        row += " |";
        EXPECT_NE(doc.find(row), std::string::npos) << row;
        std::string line = "\n";
        line += type;
        line.append(9 - type.size(), ' ');
        line += extensions.empty() ? "(never detected)" : std::string(extensions);
        EXPECT_NE(man.find(line + "\n"), std::string::npos) << line;
    };
    for (const ReaderEntry& r : inputtypes()) {
        check(r.type, r.extensions);
    }
    for (const WriterEntry& w : outputtypes()) {
        check(w.type, w.extensions);
    }
}

} // namespace
