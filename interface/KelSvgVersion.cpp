#include "interface/KelSvgVersion.h"

extern "C" KELSVG_API const char* KelSvgVersion() {
    return "0.1.0";
}
