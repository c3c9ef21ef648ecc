#pragma once

#include "engine/SvgInputDecoder.h"

#include <string>

// What kelsvg's own look at an input found.
struct ToolInput {
    bool ok = false;     // readable, XML, with a top-level svg element
    std::string problem; // why not, when !ok
};

// Reads the file (decompressing and decoding it as the library does) and
// checks that it is well-formed XML with a top-level svg element. The tool runs it only when the
// library found no picture in a file, to say why.
ToolInput InspectInput(const std::string& path);

// What the tool says of decoding that went wrong (empty for Ok).
std::string InputStatusText(SvgInputStatus status);

// The system's text for an errno value (safe on any thread).
std::string ErrorText(int error);

// A document that came from no file (standard input, text handed over in
// memory), kept in an anonymous in-memory file that the library and the check
// read through a path.
class InMemoryFile {
public:
    InMemoryFile() = default;
    ~InMemoryFile();
    InMemoryFile(const InMemoryFile&) = delete;
    InMemoryFile& operator=(const InMemoryFile&) = delete;

    // False, with errno set, when the file cannot be made.
    bool Open(const std::string& bytes);
    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};
