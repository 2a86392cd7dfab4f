// `kru info --json` on every real output: the reference's atoms, the sequence the reader builds,
// the final energy the real-data check accepts, the frequencies, and the run's normal end; then a
// run cut short.
#include "control/dispatch.h"
#include "realdata.h"
#include "realoutput.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using nlohmann::json;
using namespace realoutput;

namespace {

constexpr double ev_per_hartree = 27.21138505; // the reference's factor

struct RealFile {
    std::string key; // PROGRAM/FILE
    const Program* program;
};

std::vector<RealFile> realfiles() {
    std::vector<RealFile> files;
    for (const Program& p : programs()) {
        for (const auto& e : fs::directory_iterator(fs::path(KRU_REALDATA) / p.folder)) {
            if (e.path().filename().string().ends_with(p.suffix)) {
                files.push_back({std::string(p.folder) + "/" + e.path().filename().string(), &p});
            }
        }
    }
    std::sort(files.begin(), files.end(),
              [](const RealFile& a, const RealFile& b) { return a.key < b.key; });
    return files;
}

// The reference entry of a file; an archive shares its output's.
json referencefor(const json& all, const std::string& key) {
    if (all.contains(key)) {
        return all[key];
    }
    const std::string stem = key.substr(0, key.rfind('.') + 1);
    for (const auto& [other, entry] : all.items()) {
        if (other.starts_with(stem)) {
            return entry;
        }
    }
    return json::object();
}

fs::path scratchfolder() {
    const fs::path dir = fs::temp_directory_path() / ("kru_info_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(InfoRealdata, EveryOutputAsTheReaderAndTheReferenceSeeIt) {
    if (!present("reference.json")) {
        GTEST_SKIP() << "The real-data folder " << KRU_REALDATA << " is missing.";
    }
    const std::vector<RealFile> files = realfiles();
    std::vector<std::string> args{"info", "--json"};
    for (const RealFile& f : files) {
        args.push_back(path(f.key));
    }
    const fs::path dir = scratchfolder();
    ASSERT_EQ(runbinary(KRU_BINARY, dir, args), 0) << slurp(dir / ".stderr");
    const json info = json::parse(slurp(dir / ".stdout"));
    fs::remove_all(dir);
    std::ifstream in(path("reference.json"));
    const json all = json::parse(in);
    ASSERT_EQ(info.size(), files.size());

    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& key = files[i].key;
        SCOPED_TRACE(key);
        const json& got = info[i];
        ASSERT_FALSE(got.contains("error")) << got["error"];
        EXPECT_EQ(got["type"], files[i].program->inputtype);
        const json ref = referencefor(all, key);
        EXPECT_EQ(got["atoms"].get<int>(), ref.at("natom").get<int>());

        // The sequence is the reader's; where the reference lists another number of geometries,
        // the program table says why.
        const RealRun r = readreal(std::string(files[i].program->inputtype), key);
        EXPECT_EQ(got["geometries"].get<int>(), r.s.ngeom);
        const std::size_t listed =
            ref.contains("geometries_angstrom") ? ref["geometries_angstrom"].size() : 0;
        const auto differences = countdifferences();
        const bool explained = std::any_of(differences.begin(), differences.end(),
                                           [&](const CountDifference& d) { return d.file == key; });
        EXPECT_EQ(std::size_t(r.s.ngeom) != listed, explained)
            << r.s.ngeom << " geometries, the reference " << listed;

        if (ref.contains("energies_eV")) {
            const json& energies = ref["energies_eV"];
            EXPECT_NEAR(got["energy"].get<double>(), energies.back().get<double>() / ev_per_hartree,
                        1e-4);
            const json& profile = got["geometry_energies"];
            ASSERT_EQ(profile.size(), std::size_t(r.s.ngeom));
            for (std::size_t g = 0; profile.size() == energies.size() && g < profile.size(); ++g) {
                EXPECT_NEAR(profile[g].get<double>(), energies[g].get<double>() / ev_per_hartree,
                            1e-4)
                    << "geometry " << g + 1;
            }
        }
        const json freqs = ref.value("vibfreqs", json::array());
        EXPECT_EQ(got["frequencies"].get<std::size_t>(), freqs.size());
        EXPECT_EQ(got["imaginary"].get<long>(),
                  std::count_if(freqs.begin(), freqs.end(),
                                [](const json& v) { return v.get<double>() < 0.0; }));
        // Every one of these runs ended normally; a format without an end marker cannot say.
        const bool ending = findinputtype(files[i].program->inputtype)->run.ending;
        EXPECT_EQ(got["normal_end"], ending ? json(true) : json(nullptr));
        if (key.find("gopt") != std::string::npos &&
            !findinputtype(files[i].program->inputtype)->run.converged.empty()) {
            EXPECT_EQ(got["converged"], json(true));
        }
    }
}

// An optimisation cut short: not ended, not converged, its steps so far; the reader's note on
// standard error stays out of the answer.
TEST(InfoRealdata, OptimisationCutShort) {
    if (!present("ORCA/dvb_gopt.out")) {
        GTEST_SKIP() << "The real-data folder " << KRU_REALDATA << " is missing.";
    }
    const std::string text = slurp(path("ORCA/dvb_gopt.out"));
    const fs::path dir = scratchfolder();
    spill(dir / "cut.out", text.substr(0, text.find("THE OPTIMIZATION HAS CONVERGED")));
    ASSERT_EQ(runbinary(KRU_BINARY, dir, {"info", "cut.out"}), 0);
    const std::string block = slurp(dir / ".stdout");
    EXPECT_EQ(slurp(dir / ".stderr"), "");
    EXPECT_NE(block.find("\n  normal end   no\n"), std::string::npos) << block;
    EXPECT_NE(block.find("\n  converged    no\n"), std::string::npos) << block;
    EXPECT_NE(block.find("\n  program      ORCA 5.0.1\n"), std::string::npos) << block;
    EXPECT_NE(block.find("\n  atoms        20, C10H10\n"), std::string::npos) << block;
    // The steps so far as one line of blocks, the same bytes on a terminal or not.
    EXPECT_NE(block.find("\n  profile      \u2588"), std::string::npos) << block;
    EXPECT_NE(block.find(" kcal/mol\n"), std::string::npos) << block;

    // With several files the profiles stand under the table, named by their files.
    spill(dir / "copy.out", slurp(dir / "cut.out"));
    ASSERT_EQ(runbinary(KRU_BINARY, dir, {"info", "cut.out", "copy.out"}), 0);
    const std::string table = slurp(dir / ".stdout");
    EXPECT_NE(table.find("\ncut.out   \u2588"), std::string::npos) << table;
    EXPECT_NE(table.find("\ncopy.out  \u2588"), std::string::npos) << table;
    fs::remove_all(dir);
}

} // namespace
