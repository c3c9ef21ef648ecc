#pragma once

#include "document/SvgElement.h"
#include "engine/SvgEngine.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cstdint>
#include <string>
#include <vector>

// Test support: SVG text written to a temporary file, parsed into an engine or
// drawn through the library onto a bitmap.

// A temporary file holding the given text; removed with the object.
class TempSvgFile {
public:
    explicit TempSvgFile(const std::string& text);
    ~TempSvgFile();
    TempSvgFile(const TempSvgFile&) = delete;
    TempSvgFile& operator=(const TempSvgFile&) = delete;

    const std::string& Path() const { return path; }

private:
    std::string path;
};

// A document of the given size around body.
std::string SvgDocument(int width, int height, const std::string& body);

// A parsed document whose elements are found by id.
class ParsedDocument {
public:
    explicit ParsedDocument(const std::string& body);

    SvgElement* Find(const char* id) { return engine.FindElementById(id); }
    template <class Element> Element* As(const char* id) {
        return dynamic_cast<Element*>(Find(id));
    }

private:
    TempSvgFile file;
    SvgEngine engine;
};

// A width × height picture of straight-alpha ARGB pixels.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    static unsigned Alpha(uint32_t argb) { return argb >> 24; }
    static unsigned Red(uint32_t argb) { return (argb >> 16) & 0xFF; }
    static unsigned Green(uint32_t argb) { return (argb >> 8) & 0xFF; }
    static unsigned Blue(uint32_t argb) { return argb & 0xFF; }
};

// Parses a width × height document around body and draws it once onto a
// transparent bitmap, through CKelSvg with the window rectangle 0, 0, width, height.
Picture Draw(const std::string& body, int width, int height);
