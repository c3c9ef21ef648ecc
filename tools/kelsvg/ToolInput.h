#pragma once

#include <string>

// What kelsvg's own look at an input found, before the library is called.
struct ToolInput {
    bool ok = false;     // readable, XML, with a top-level svg element
    std::string problem; // why not, when !ok
    double width = 0;    // the document's size as the library will take it
    double height = 0;
    bool HasSize() const { return width >= 1 && height >= 1; } // false for NaN
};

// Reads the file and checks that it is well-formed XML with a top-level svg
// element; finds its size from width, height and viewBox.
ToolInput InspectInput(const std::string& path);

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
