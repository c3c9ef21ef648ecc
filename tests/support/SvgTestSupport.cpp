#include "SvgTestSupport.h"
#include "HostBitmap.h"

#include "interface/KelSvg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace Gdiplus;

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name) {
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (old)
        m_old = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (m_had)
        setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

TempSvgFile::TempSvgFile(const std::string& text) {
    char name[] = "/tmp/kelsvg-test-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0)
        return;
    path = name;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    close(fd);
}

TempSvgFile::~TempSvgFile() {
    if (!path.empty())
        std::remove(path.c_str());
}

std::string Svg(const std::string& attributes, const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
           attributes + ">" + body + "</svg>";
}

std::string SvgDocument(int width, int height, const std::string& body) {
    return Svg("width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"",
               body);
}

std::string Repeat(const std::string& text, int count) {
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

std::string UseBomb(const std::string& first, const std::string& groupAttributes,
                    const std::string& useAttributes) {
    std::string defs = first;
    for (int level = 1; level <= 10; ++level) {
        defs += "<g id=\"l" + std::to_string(level) + "\"" + groupAttributes + ">";
        for (int i = 0; i < 10; ++i)
            defs +=
                "<use xlink:href=\"#l" + std::to_string(level - 1) + "\"" + useAttributes + "/>";
        defs += "</g>";
    }
    return "<defs>" + defs + "</defs><use xlink:href=\"#l10\"/>";
}

void ParseText(SvgEngine& engine, const std::string& text) {
    TempSvgFile file(text);
    engine.Parse(file.Path().c_str());
}

ParsedDocument::ParsedDocument(const std::string& body, int width, int height) {
    ParseText(engine, SvgDocument(width, height, body));
}

ParsedDocument::ParsedDocument(const std::string& body, const std::string& svgAttributes) {
    ParseText(engine, Svg(svgAttributes, body));
}

SvgElement* ParsedDocument::At(std::initializer_list<size_t> indexes) {
    SvgElement* element = engine.GetRoot();
    for (size_t i : indexes) {
        if (!element || i >= element->GetChildren().size())
            return nullptr;
        element = element->GetChildren()[i];
    }
    return element;
}

std::vector<Picture> RenderSvgTimes(const std::string& svgText, int width, int height,
                                    int renders) {
    TempSvgFile file(svgText);
    return RenderSvgFileTimes(file.Path(), width, height, renders);
}

Picture Snapshot(CKelSvg& svg, int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, 0);
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
        return picture;
    {
        Graphics graphics(static_cast<GpImage*>(bitmap));
        svg.CommandDrawSVGGraphics(&graphics);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            GdipBitmapGetPixel(bitmap, x, y, &picture.pixels[static_cast<size_t>(y) * width + x]);
    GdipDisposeImage(bitmap);
    return picture;
}

std::vector<Picture> RenderSvgFileTimes(std::string path, int width, int height, int renders) {
    CKelSvg svg;
    svg.CommandParseSVGFile(&path[0]);
    svg.CommandSetSVGWinRect(0, 0, width, height);
    std::vector<Picture> pictures;
    for (int i = 0; i < renders; ++i)
        pictures.push_back(Snapshot(svg, width, height));
    return pictures;
}

Picture RenderSvg(const std::string& svgText, int width, int height) {
    return RenderSvgTimes(svgText, width, height, 1).front();
}

Picture Draw(const std::string& body, int width, int height) {
    return RenderSvg(SvgDocument(width, height, body), width, height);
}

InkBox FindInk(const Picture& picture, unsigned minAlpha) {
    InkBox box;
    box.left = picture.width;
    box.top = picture.height;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            if (Picture::Alpha(picture.At(x, y)) < minAlpha)
                continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    return box;
}

::testing::AssertionResult NearArgb(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = (actual >> shift) & 0xFF;
        int e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance) {
            char text[48];
            std::snprintf(text, sizeof text, "0x%08X is not 0x%08X", unsigned(actual),
                          unsigned(expected));
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

void ExpectPixels(const Picture& picture, const std::vector<PixelProbe>& probes, int tolerance) {
    for (const PixelProbe& p : probes)
        EXPECT_TRUE(NearArgb(picture.At(p.x, p.y), p.argb, p.argb ? tolerance : 0))
            << "at " << p.x << ", " << p.y;
}

int DifferentPixels(const Picture& a, const Picture& b) {
    int n = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        n += a.pixels[i] != b.pixels[i];
    return n;
}

std::string Outline(const SvgElement* element) {
    std::string out = element->GetTagName();
    if (element->GetId() != "  ")
        out += "#" + element->GetId();
    if (!element->GetChildren().empty()) {
        out += "(";
        bool first = true;
        for (const SvgElement* child : element->GetChildren()) {
            if (!first)
                out += " ";
            first = false;
            out += Outline(child);
        }
        out += ")";
    }
    return out;
}

int Depth(const SvgElement* element) {
    int deepest = 0;
    for (const SvgElement* child : element->GetChildren())
        deepest = std::max(deepest, Depth(child));
    return deepest + 1;
}

void ExpectRows(const std::vector<PictureRow>& rows, int tolerance) {
    for (const PictureRow& row : rows) {
        SCOPED_TRACE(row.what);
        ExpectPixels(RenderSvg(Svg(row.svgAttributes, row.body), 100, 100), row.probes, tolerance);
    }
}

std::string RowsScaledDown(const std::vector<PictureRow>& rows) {
    std::string body;
    for (const PictureRow& row : rows)
        body += "<g transform='scale(0.3)'>" + row.body + "</g>";
    return body;
}

Picture ExpectEveryTargetDrawsTheSame(const std::string& svgText) {
    const int size = 100;
    TempSvgFile file(svgText);
    CKelSvg picture;
    picture.CommandParseSVGFile(file.PathBuffer());
    HostBitmap direct(size, size, kWhite), again(size, size, kWhite), dc(size, size, kWhite),
        cached(size, size, kWhite);
    for (HostBitmap* target : {&direct, &again}) {
        Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(target->bitmap()));
        picture.CommandDrawSVGGraphics(&graphics);
    }
    picture.CommandDrawSVG(dc.dc());
    picture.CommandCreateBitmapCache();
    picture.CommandDrawSVG(cached.dc());
    Picture drawn{size, size, std::vector<uint32_t>(size_t(size) * size)};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint32_t first = direct.At(x, y);
            drawn.pixels[size_t(y) * size + size_t(x)] = first;
            EXPECT_EQ(again.At(x, y), first) << "drawn again, at " << x << ", " << y;
            EXPECT_EQ(dc.At(x, y), first) << "device context, at " << x << ", " << y;
            EXPECT_TRUE(NearArgb(cached.At(x, y), first, 1))
                << "bitmap cache, at " << x << ", " << y;
            if (::testing::Test::HasFailure())
                return drawn; // one pixel tells enough
        }
    return drawn;
}

int PixelsNotOf(const Picture& picture, uint32_t argb) {
    return static_cast<int>(std::count_if(picture.pixels.begin(), picture.pixels.end(),
                                          [argb](uint32_t pixel) { return pixel != argb; }));
}
