#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string RunTool(const std::string& args, int* exitCode) {
    std::string out;
    FILE* p = popen((std::string(KELSVG_TOOL_PATH) + " " + args + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    int status = pclose(p);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

TEST(ToolVersion, PrintsVersionAndSucceeds) {
    int code = -1;
    std::string out = RunTool("--version", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out.rfind("kelsvg ", 0), 0u) << out;
}

} // namespace
