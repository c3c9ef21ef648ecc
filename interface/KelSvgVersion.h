#pragma once

#include "interface/KelSvgExport.h"

// The library's version as "MAJOR.MINOR.PATCH".
extern "C" KELSVG_API const char* KelSvgVersion();
