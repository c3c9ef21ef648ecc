// Fuzz target: the whole road from file bytes to pixels. The tool's own check
// of the input first, then the library (see fuzz::Render in FuzzTargets.h).
#include "fuzz/FuzzTargets.h"
#include "tools/kelsvg/ToolInput.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {
int g_file = -1;
std::string g_path;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::freopen("/dev/null", "w", stdout); // the line every rotate writes
    // The library reads files by name: the input goes to an in-memory file.
    g_file = memfd_create("fuzz-input.svg", 0);
    if (g_file < 0)
        std::abort();
    g_path = "/proc/self/fd/" + std::to_string(g_file);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ftruncate(g_file, 0) != 0 || pwrite(g_file, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    InspectInput(g_path);
    if (!fuzz::Render(g_path, size))
        std::abort();
    return 0;
}
