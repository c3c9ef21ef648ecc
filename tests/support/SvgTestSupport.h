#pragma once

// Test support shared by every test program: SVG text in temporary files,
// parsed documents, and pictures drawn through the library onto a bitmap.

#include "document/SvgElement.h"
#include "document/SvgRootElement.h"
#include "engine/SvgEngine.h"
#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// An environment variable set (or, with null, unset) for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had;
};

// A temporary file holding the given text; removed with the object.
class TempSvgFile {
public:
    explicit TempSvgFile(const std::string& text);
    ~TempSvgFile();
    TempSvgFile(const TempSvgFile&) = delete;
    TempSvgFile& operator=(const TempSvgFile&) = delete;

    const std::string& Path() const { return path; }
    // The path as the library's parse command takes it.
    char* PathBuffer() { return &path[0]; }

private:
    std::string path;
};

// An svg element with the given attributes around body.
std::string Svg(const std::string& attributes, const std::string& body);
// A document of the given size around body.
std::string SvgDocument(int width, int height, const std::string& body);
// count copies of text, one after the other.
std::string Repeat(const std::string& text, int count);
// Defs of ten levels l1..l10, each a group of ten uses of the level before,
// over first (id l0), and a use of l10: 10^10 copies if nothing stopped them.
std::string UseBomb(const std::string& first, const std::string& groupAttributes = "",
                    const std::string& useAttributes = "");
// Parses text into engine.
void ParseText(SvgEngine& engine, const std::string& text);

// A parsed document around body, of the given size or svg attributes;
// elements are found by id or by their path of child indexes.
class ParsedDocument {
public:
    explicit ParsedDocument(const std::string& body, int width = 100, int height = 100);
    ParsedDocument(const std::string& body, const std::string& svgAttributes);

    SvgElement* Find(const char* id) { return engine.FindElementById(id); }
    template <class Element> Element* As(const char* id) {
        return dynamic_cast<Element*>(Find(id));
    }
    SvgElement* At(std::initializer_list<size_t> indexes);
    template <class Figure> Figure* FigureAt(std::initializer_list<size_t> indexes) {
        SvgElement* element = At(indexes);
        return element ? dynamic_cast<Figure*>(element->GetFigure()) : nullptr;
    }
    SvgEngine& Engine() { return engine; }

private:
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

class CKelSvg;
// Draws the picture as it stands onto a fresh transparent width × height bitmap.
Picture Snapshot(CKelSvg& svg, int width, int height);
// Parses svgText and draws it `renders` times (each onto a fresh transparent
// bitmap, through CKelSvg with the window rectangle 0, 0, width, height);
// returns every picture in order.
std::vector<Picture> RenderSvgTimes(const std::string& svgText, int width, int height, int renders);
// The same for a file that is already written.
std::vector<Picture> RenderSvgFileTimes(std::string path, int width, int height, int renders);
Picture RenderSvg(const std::string& svgText, int width, int height);
// Draws a width × height document around body once.
Picture Draw(const std::string& body, int width = 100, int height = 100);

// The box of pixels whose alpha reaches a threshold; empty when none does.
struct InkBox {
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive
    bool Empty() const { return right < left; }
    int Width() const { return Empty() ? 0 : right - left + 1; }
    int Height() const { return Empty() ? 0 : bottom - top + 1; }
    float CenterX() const { return (left + right + 1) / 2.0f; }
};
InkBox FindInk(const Picture& picture, unsigned minAlpha = 128);
// Whether two ARGB colours differ by at most tolerance in every channel.
::testing::AssertionResult NearArgb(uint32_t actual, uint32_t expected, int tolerance);
// A pixel and the colour expected there.
struct PixelProbe {
    int x, y;
    uint32_t argb;
};
// The same as a call, which packs several to a line in long lists.
inline PixelProbe Px(int x, int y, uint32_t argb) {
    return {x, y, argb};
}
// Checks every probe: each channel within tolerance, a clear pixel exactly clear.
void ExpectPixels(const Picture& picture, const std::vector<PixelProbe>& probes, int tolerance = 1);
// Pixels that differ between two pictures of the same size.
int DifferentPixels(const Picture& a, const Picture& b);
// Pixels of another colour than argb.
int PixelsNotOf(const Picture& picture, uint32_t argb);

// A document and the pixels its 100 × 100 picture must show.
struct PictureRow {
    const char* what;
    std::string body;
    std::vector<PixelProbe> probes;
    const char* svgAttributes = "width='100' height='100'";
};
// Draws every row 100 × 100 pixels and checks its probes within tolerance.
void ExpectRows(const std::vector<PictureRow>& rows, int tolerance);
// Every row's body at three tenths of its size, for one 100 × 100 document.
std::string RowsScaledDown(const std::vector<PictureRow>& rows);
// Draws svgText 100 × 100 onto a graphics (twice), a device context and the
// bitmap cache, each over white, and expects the same pixels from all (the
// cache within 1 per channel, as it is blended once more). Returns the first.
Picture ExpectEveryTargetDrawsTheSame(const std::string& svgText);

// Tags of the subtree in pre-order, as "tag#id" with "(" and ")" around children.
std::string Outline(const SvgElement* element);
// Levels of the subtree, the element itself counting one.
int Depth(const SvgElement* element);
