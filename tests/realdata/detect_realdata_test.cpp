// Every real output is detected as the type the suite reads it with, from its first lines alone.
#include "control/detect.h"
#include "realdata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(DetectRealData, EveryFileAsTheTypeItIsReadWith) {
    const fs::path dir = KRU_REALDATA;
    if (!fs::is_directory(dir)) {
        GTEST_SKIP() << "real outputs not found at " << dir;
    }
    // The suite's programs, and the ADF inputs that the ADF input reader's test reads.
    std::vector<Program> rows(programs().begin(), programs().end());
    rows.push_back(Program{"ADF", "ADFINP", ".adfin"});
    int files = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(dir)) {
        if (!folder.is_directory()) {
            continue;
        }
        for (const fs::directory_entry& e : fs::directory_iterator(folder.path())) {
            const std::string name = e.path().filename().string();
            const std::string where = folder.path().filename().string() + "/" + name;
            const Program* row = nullptr;
            for (const Program& p : rows) {
                if (p.folder == folder.path().filename().string() && name.ends_with(p.suffix)) {
                    row = &p;
                }
            }
            if (row == nullptr) {
                ADD_FAILURE() << where << ": no reader type in the suite's table";
                continue;
            }
            const Detection d = detectinputtype(e.path().string());
            EXPECT_EQ(d.type, row->inputtype) << where << ": " << d.reason;
            ++files;
        }
    }
    EXPECT_GT(files, 0);
}

} // namespace
