#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Runs the tool with args (after an optional environment prefix); returns its
// standard output and sets the exit code.
std::string RunKelsvg(const std::string& env, const std::string& args, int* exitCode) {
    std::string out;
    std::string command = env + " '" + KELSVG_TOOL_PATH + "' " + args + " 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    int status = pclose(p);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    return lines;
}

// Whatever the locale, the two rotate functions of the file give exactly two
// lines, each with full stops.
TEST(RotateLines, OneLinePerRotateFunctionOnStandardOutput) {
    std::string png = testing::TempDir() + "two-rotates-" + std::to_string(getpid()) + ".png";
    std::string args = std::string("'") + KELSVG_TEST_DATA_DIR + "/two-rotates.svg' '" + png + "'";
    for (const char* env : {"", "LC_ALL=de_DE.UTF-8"}) {
        int code = -1;
        std::string out = RunKelsvg(env, args, &code);
        std::remove(png.c_str());
        EXPECT_EQ(code, 0) << env;
        std::vector<std::string> lines = LinesStartingWith(out, "rotate: ");
        ASSERT_EQ(lines.size(), 2u) << env << "\n" << out;
        EXPECT_EQ(lines[0], "rotate: 30.000000 50.000000 50.000000") << env;
        EXPECT_EQ(lines[1], "rotate: -15.500000 0.000000 0.000000") << env;
    }
}

} // namespace
