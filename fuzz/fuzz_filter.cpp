// Fuzz target: the filter engine over graphs and parameters made from the
// bytes, and the filter property's reader (see fuzz::Filter in FuzzTargets.h).
#include "fuzz/FuzzTargets.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::Filter(data, size))
        std::abort();
    return 0;
}
