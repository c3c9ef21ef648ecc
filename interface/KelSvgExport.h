#pragma once

// Marks what the shared library exports; everything else has hidden visibility.
#define KELSVG_API __attribute__((visibility("default")))
