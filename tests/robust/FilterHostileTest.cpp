// Hostile filters at the size their files ask for (2000 x 2000): deviations,
// radii, kernel orders and octaves far past what changes a pixel, feImage
// cycles, hundreds of nested filtered groups. The tool draws each within
// about a gigabyte (what the sanitizer build allows it) and draws what it can.
#include "RobustSupport.h"

#include "ImageBytes.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const std::string kHostileDir = std::string(KELSVG_TEST_DATA_DIR) + "/hostile";

TEST(FilterHostileFiles, DrawAtTheirOwnSizeWithinMemory) {
    int files = 0;
    for (const std::string& path : FilesIn(kHostileDir)) {
        if (path.find("/filter-") == std::string::npos)
            continue;
        SCOPED_TRACE(path);
        ++files;
        std::string out = "/tmp/kelsvg-filter-hostile.png";
        ChildRun run = RunTool({"--jobs", "2", path, out});
        EXPECT_TRUE(run.exited) << "signal " << run.signal;
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_LT(run.peakKb, 1100 * 1024);
        EXPECT_GT(ReadBytes(out).size(), 100u);
        std::remove(out.c_str());
    }
    EXPECT_EQ(files, 6);
    // The nested groups are drawn: the budget leaves the inner filters out.
    std::vector<uint32_t> pixels = DrawFile(kHostileDir + "/filter-nested-300.svg", 200, 200);
    EXPECT_GT(Painted(pixels), 200 * 200 / 2);
}

} // namespace
