// Replays the fuzzers' seed corpus and every input a fuzzer ever stopped on
// (tests/data/regress/<target>/) through the same code the fuzz targets run.
#include "ImageBytes.h"
#include "RobustSupport.h"

#include "fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

namespace {

using Target = bool (*)(const uint8_t*, size_t);

struct TargetCase {
    const char* name;
    Target run; // null for render, which reads a file
};

const TargetCase kTargets[] = {
    {"scanner", fuzz::Scanner}, {"transform", fuzz::Transform},
    {"path", fuzz::Path},       {"paint", fuzz::Paint},
    {"style", fuzz::Style},     {"sheet", fuzz::Sheet},
    {"image", fuzz::Image},     {"xml", fuzz::Xml},         {"filter", fuzz::Filter},
    {"render", nullptr},
};

std::vector<std::string> InputsOf(const std::string& target) {
    std::vector<std::string> files =
        FilesIn(std::string(KELSVG_SOURCE_DIR) + "/fuzz/corpus/" + target);
    std::vector<std::string> regress =
        FilesIn(std::string(KELSVG_TEST_DATA_DIR) + "/regress/" + target);
    files.insert(files.end(), regress.begin(), regress.end());
    return files;
}

// Test names and failure messages show the target's name.
void PrintTo(const TargetCase& target, std::ostream* os) {
    *os << target.name;
}

class FuzzReplay : public ::testing::TestWithParam<TargetCase> {};

TEST_P(FuzzReplay, EveryKeptInputRunsCleanly) {
    const TargetCase& target = GetParam();
    std::vector<std::string> files = InputsOf(target.name);
    ASSERT_FALSE(files.empty()) << "no corpus for " << target.name;
    for (const std::string& file : files) {
        Bytes bytes = ReadBytes(file);
        bool ok =
            target.run ? target.run(bytes.data(), bytes.size()) : fuzz::Render(file, bytes.size());
        EXPECT_TRUE(ok) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<TargetCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
