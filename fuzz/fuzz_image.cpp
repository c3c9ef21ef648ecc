// Fuzz target: see fuzz::Image in FuzzTargets.h.
#include "fuzz/FuzzTargets.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::Image(data, size))
        std::abort();
    return 0;
}
