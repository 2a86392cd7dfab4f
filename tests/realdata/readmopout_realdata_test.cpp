// A real MOPAC output read through the library, against what an independent parser found in it.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(ReadmopoutRealData, Optimisation) {
    const std::filesystem::path dir = KRU_REALDATA;
    if (!std::filesystem::exists(dir / "MOPAC/dvb_gopt.out")) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    const std::string file = std::filesystem::canonical(dir / "MOPAC/dvb_gopt.out").string();
    std::ifstream json(dir / "reference.json");
    const nlohmann::json ref = nlohmann::json::parse(json).at("MOPAC/dvb_gopt.out");
    ASSERT_EQ(ref.at("natom").get<int>(), 20);

    // The reader recognises the coordinate table by the head "ATOM  ELEMENTAL  CARTESIAN
    // COORDINATES". This output prints its coordinates under a bare "CARTESIAN COORDINATES"
    // head instead, so the reader finds no table and stops, where the reference finds 20 atoms.
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("CARTESIAN COORDINATES"), std::string::npos);
    EXPECT_EQ(text.str().find("     ATOM     ELEMENTAL            CARTESIAN COORDINATES"),
              std::string::npos);

    Store s;
    std::istringstream control("IN  MOPOUT " + file + "\n");
    std::string message, routine;
    testing::internal::CaptureStdout();
    try {
        processinput(s, control);
        readfile(s);
        arrange(s);
    } catch (const RunError& e) {
        message = e.what();
        routine = e.routine;
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(message, "No atoms found");
    EXPECT_EQ(routine, "readmopout");
}

} // namespace
