#pragma once

#include <string>

// What kelsvg's own look at an input found.
struct ToolInput {
    bool ok = false;     // readable, XML, with a top-level svg element
    std::string problem; // why not, when !ok
};

// Reads the file and checks that it is well-formed XML with a top-level svg
// element. The tool runs it only when the library found no picture in a file,
// to say why.
ToolInput InspectInput(const std::string& path);

// The system's text for an errno value (safe on any thread).
std::string ErrorText(int error);
