// Type detection: the input files of the end-to-end cases and the bundled examples as the type
// their control input names, ties and misses with their message, and the type-name hints.
#include "control/control.h"
#include "control/detect.h"
#include "control/dispatch.h"
#include "control/filehead.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

Detection detect(std::string_view name, std::string_view text) {
    return detectinputtype(name, FileHead(text));
}

// Cases whose input is detected otherwise, by the start of their names: what they give instead
// ("" for no type) and why.
struct Otherwise {
    std::string_view start;
    std::string_view gives;
    std::string_view why;
};
constexpr Otherwise otherwise[] = {
    {"hostile-empty-", "", "empty files"},
    {"hostile-binary-", "", "random bytes"},
    {"hostile-numbers-", "", "numbers no reader takes (inf, a count beyond 64 bits)"},
    {"hostile-movxyz-count-beyond-file", "XYZ", "a count line and nothing after it: one frame"},
    {"ams-", "", "fragments of AMS output without the AMS banner"},
    {"adf-geometry-cycles", "", "a fragment of ADF output without the banner"},
    {"anim-amv-mxvibs-above-nvib", "", "a fragment of ADF output without the banner"},
    {"mopout-bare-coordinate-table", "", "a MOPAC coordinate table without the banner"},
};

bool expectedotherwise(const std::string& name, std::string_view detected) {
    for (const Otherwise& o : otherwise) {
        if (name.starts_with(o.start) && detected == o.gives) {
            return true;
        }
    }
    return false;
}

TEST(Detect, CaseInputsAsTheirControlInputNamesThem) {
    int checked = 0;
    std::map<std::string, std::string> missed;
    for (const char* root : {KRU_SOURCE_DIR "/tests/cases", KRU_SOURCE_DIR "/examples"}) {
        ASSERT_TRUE(fs::is_directory(root)) << root;
        for (const fs::directory_entry& c : fs::directory_iterator(root)) {
            std::istringstream control(slurp(c.path() / "control"));
            std::string line;
            while (std::getline(control, line) && !line.starts_with("IN ")) {
            }
            if (line.size() < 12) {
                continue;
            }
            const std::string type(trimright(trimleft(upcase(line.substr(4, 6)))));
            const fs::path file = c.path() / std::string(trimright(trimleft(line.substr(11))));
            const ReaderEntry* row = findinputtype(type);
            if (row == nullptr || row->fit == nullptr || !fs::is_regular_file(file)) {
                continue; // unknown types, the alias, missing files: cases of their own
            }
            const Detection d = detectinputtype(file.string());
            ++checked;
            const std::string name = c.path().filename().string();
            if (d.type != type && !expectedotherwise(name, d.type)) {
                ADD_FAILURE() << name << ": " << type << " detected as \"" << d.type << "\"; "
                              << d.reason;
            }
        }
    }
    EXPECT_GT(checked, 200);
}

// The most specific fit wins over the program's banner or the plain layout.
TEST(Detect, MostSpecificFitWins) {
    const std::string nwchem = "  Northwest Computational Chemistry Package (NWChem) 7.0.0\n";
    EXPECT_EQ(detect("a.out", nwchem).type, "NWCHEM");
    EXPECT_EQ(detect("a.out", nwchem + " QM/MM interface\n").type, "NWQMMM");
    EXPECT_EQ(detect("a.out", nwchem + "qmmm\n eatoms -76.0\nend\n").type, "NWQMMM");
    const std::string mopac = " ** Cite this program as: MOPAC2016, Version: 16.093M **\n";
    EXPECT_EQ(detect("a.out", mopac).type, "MOPOUT");
    EXPECT_EQ(detect("a.out", mopac + "          FINAL GEOMETRY OBTAINED\n").type, "ARC");
    const std::string frame = "2\ntitle\nH 0 0 0\nH 0 0 0.74\n";
    EXPECT_EQ(detect("a.xyz", frame).type, "XYZ");
    EXPECT_EQ(detect("a.txt", frame + frame).type, "MOVXYZ");
    const std::string adf = " *   Amsterdam Density Functional  (ADF)   2019.1 *\n";
    EXPECT_EQ(detect("a.out", adf).type, "ADFOUT");
    EXPECT_EQ(detect("a.out", "*  Amsterdam Modeling Suite (AMS) *\n" + adf).type, "AMSOUT");
    // An ADF output echoes its input, ATOMS block and all.
    EXPECT_EQ(detect("a.out", "ATOMS\n O 0 0 0\nEND\n" + adf).type, "ADFOUT");
    EXPECT_EQ(detect("a.in", "ATOMS\n O 0 0 0\nEND\n").type, "ADFINP");
}

// Equal fits go to the type whose extension the name has; otherwise the message lists them.
TEST(Detect, ExtensionDecidesTiesAndMissesSayWhatToDo) {
    const std::string atoms = "O 0.0 0.0 0.2216\nH 0.0 1.4309 -0.8866\n";
    EXPECT_EQ(detect("w.bohrs", atoms).type, "BOHRS");
    EXPECT_EQ(detect("w.ANGS.gz", atoms).type, "ANGS");
    const Detection tie = detect("w.txt", atoms);
    EXPECT_EQ(tie.type, "");
    EXPECT_EQ(tie.candidates, (std::vector<std::string_view>{"ANGS", "BOHRS"}));
    EXPECT_EQ(tie.reason, "its first lines fit ANGS and BOHRS alike and its name does not tell "
                          "them apart; name the type with --from ANGS or --from BOHRS");
    const std::string external = "$EXTERNAL\n O 1 7 -0.834 0.0 0.0 0.2\n$END\n";
    EXPECT_EQ(detect("w.drf", external).type, "DRF");
    EXPECT_EQ(detect("run.out", external).type, "DRFOUT");

    const Detection none = detect("empty.xyz", "");
    EXPECT_EQ(none.type, "");
    EXPECT_EQ(none.candidates, (std::vector<std::string_view>{"MOVXYZ", "XYZ"}));
    EXPECT_EQ(none.reason, "no known input type recognised in its first lines; by its name it "
                           "may be MOVXYZ or XYZ: name the type with --from MOVXYZ or --from XYZ");
    EXPECT_EQ(detect("notes.txt", "nothing to see\n").reason,
              "no known input type recognised in its first lines; name the type with --from "
              "TYPE (kru --help lists them)");
    EXPECT_EQ(detectinputtype("/nonexistent/file.out").reason, "no such file");
    EXPECT_EQ(detectinputtype(KRU_SOURCE_DIR "/src").reason, "cannot be read");
}

// Only the head is read: a marker past it does not count, and a huge file costs no more.
TEST(Detect, OnlyTheFirstLinesCount) {
    std::string text;
    for (std::size_t k = 0; k < FileHead::maxlines; ++k) {
        text += "filler\n";
    }
    EXPECT_EQ(detect("a.out", text + " Welcome to Q-Chem\n").type, "");
    EXPECT_EQ(detect("a.out", " Welcome to Q-Chem\n" + text).type, "QCHEM");
    EXPECT_EQ(FileHead(text + text).lines().size(), FileHead::maxlines);
    EXPECT_LE(FileHead(std::string(FileHead::maxbytes * 2, 'x')).lines().front().size(),
              FileHead::maxbytes);
}

TEST(Detect, UnknownTypeNamesGetTheNearestAndTheList) {
    EXPECT_EQ(nearesttypename("OCRA", TypeKind::input), "ORCA");
    EXPECT_EQ(nearesttypename("gaus", TypeKind::input), "GAUSS");
    EXPECT_EQ(nearesttypename("NWCEHM", TypeKind::input), "NWCHEM");
    EXPECT_EQ(nearesttypename("FOO", TypeKind::input), "");
    EXPECT_EQ(nearesttypename("MOLDN", TypeKind::output), "MOLDEN");
    const std::string hint = unknowntypehint("OCRA  ", TypeKind::input);
    EXPECT_TRUE(hint.starts_with("OCRA: unknown input type; did you mean ORCA? Input types: "))
        << hint;
    for (const ReaderEntry& r : inputtypes()) {
        std::string word(" ");
        word += r.type;
        EXPECT_NE(hint.find(word), std::string::npos) << r.type;
    }
    EXPECT_TRUE(unknowntypehint("FOO", TypeKind::output)
                    .starts_with("FOO: unknown output type; "
                                 "output types: ADFC "));
}

// Each extension chooses one output type; the usual ones choose the usual writer.
TEST(Detect, OutputTypeFromTheExtension) {
    std::set<std::string_view> seen;
    for (const WriterEntry& w : outputtypes()) {
        std::istringstream list{std::string(w.extensions)};
        std::string extension;
        int count = 0;
        while (list >> extension) {
            ++count;
            EXPECT_TRUE(extension.starts_with('.')) << w.type;
            EXPECT_EQ(outputtypeforname("m" + extension), w.type) << extension;
        }
        EXPECT_GE(count, 1) << w.type;
    }
    EXPECT_EQ(outputtypeforname("dir/water.XYZ"), "XYZ");
    EXPECT_EQ(outputtypeforname("water.pdb"), "PDB");
    EXPECT_EQ(outputtypeforname("water.molden"), "MOLDEN");
    EXPECT_EQ(outputtypeforname("water.zmat"), "ZMAT");
    EXPECT_EQ(outputtypeforname("water.mol2"), "");
    EXPECT_EQ(outputtypeforname(".xyz"), "");
    EXPECT_EQ(outputtypeforname("water"), "");
}

// The command line names every keyword but IN and OUT (its positionals) by a long option.
TEST(Detect, EveryKeywordHasOneLongOption) {
    std::set<std::string_view> seen;
    for (const KeywordEntry& k : keywords()) {
        if (k.keyword == "IN" || k.keyword == "OUT") {
            EXPECT_TRUE(k.longoption.empty()) << k.keyword;
            continue;
        }
        EXPECT_FALSE(k.longoption.empty()) << k.keyword;
        EXPECT_TRUE(seen.insert(k.longoption).second) << k.longoption;
        EXPECT_EQ(k.longoption.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"),
                  std::string_view::npos)
            << k.longoption;
    }
}

} // namespace
