// Layers under hostile input: deep nesting of opacity and masks at a large
// size, and clip paths and masks that refer to themselves or form long chains,
// draw within bounded memory.
#include "RobustSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kHostileDir = std::string(KELSVG_TEST_DATA_DIR) + "/hostile";

TEST(HostileLayers, DeepNestingAndReferenceCyclesDrawWithinMemory) {
    struct Case {
        const char* file;
        int size;
    } cases[] = {
        {"opacity-nesting.svg", 2000}, {"clip-chain.svg", 200}, {"clip-mask-cycles.svg", 200}};
    for (const Case& c : cases) {
        std::string path = kHostileDir + "/" + c.file;
        ChildRun run = RunInChild([&] {
            return Painted(DrawFile(path, c.size, c.size)) > 0 &&
                   Painted(DrawFile(path, c.size, c.size, true)) > 0;
        });
        EXPECT_TRUE(run.exited) << c.file << ": signal " << run.signal << "\n" << run.errors;
        EXPECT_EQ(run.exitCode, 0) << c.file << "\n" << run.errors;
        EXPECT_LT(run.peakKb, kPeakMemoryKb) << c.file;
    }
}

} // namespace
