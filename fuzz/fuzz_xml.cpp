// Fuzz target: see fuzz::Xml in FuzzTargets.h.
#include "fuzz/FuzzTargets.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::Xml(data, size))
        std::abort();
    return 0;
}
