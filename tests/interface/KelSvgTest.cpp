#include "interface/KelSvg.h"
#include "interface/SvgCommand.h"
#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class TempFile {
public:
    explicit TempFile(const std::string& text) {
        static int counter = 0;
        m_path =
            "/tmp/kelsvg-if-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".svg";
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    char* path() { return &m_path[0]; }

private:
    std::string m_path;
};

class Target {
public:
    Target(int width, int height, uint32_t fill) {
        Gdiplus::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr,
                                           &m_bitmap);
        Gdiplus::Graphics(static_cast<Gdiplus::GpImage*>(m_bitmap)).Clear(Gdiplus::Color(fill));
        m_hdc = CreateBitmapDC(m_bitmap);
        m_dc.Attach(m_hdc);
    }
    ~Target() {
        m_dc.Detach();
        DeleteDC(m_hdc);
        Gdiplus::GdipDisposeImage(m_bitmap);
    }
    CDC* dc() { return &m_dc; }
    Gdiplus::GpBitmap* bitmap() { return m_bitmap; }
    uint32_t At(int x, int y) {
        Gdiplus::ARGB argb = 0;
        Gdiplus::GdipBitmapGetPixel(m_bitmap, x, y, &argb);
        return argb;
    }

private:
    Gdiplus::GpBitmap* m_bitmap = nullptr;
    HDC m_hdc = nullptr;
    CDC m_dc;
};

const uint32_t kRed = 0xFFFF0000;
const uint32_t kBlue = 0xFF0000FF;

std::string RedSquare(const char* size) {
    return std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"") + size +
           "\" height=\"" + size + "\"><rect width=\"10\" height=\"10\" fill=\"red\"/></svg>";
}

TEST(KelSvg, WindowRectangleRoundTrips) {
    CKelSvg picture;
    int x = -1, y = -1, w = -1, h = -1;
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(w, 0);
    picture.CommandSetSVGWinRect(10, 20, 300, 200);
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
    picture.CommandSetSVGWinRect(-5, -6, 0, -1);
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(h, -1);
}

TEST(KelSvg, ParseReplacesTheSizeTruncatedAndKeepsTheOrigin) {
    CKelSvg picture;
    picture.CommandSetSVGWinRect(10, 20, 300, 200);
    TempFile file(RedSquare("99.9"));
    picture.CommandParseSVGFile(file.path());
    int x, y, w, h;
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(w, 99);
    EXPECT_EQ(h, 99);
}

TEST(KelSvg, SetFileNameChangesNothing) {
    CKelSvg picture;
    TempFile file(RedSquare("20"));
    picture.CommandParseSVGFile(file.path());
    char other[] = "/nonexistent/other.svg";
    picture.CommandSetSVGFileName(other);
    Target target(20, 20, kBlue);
    picture.CommandDrawSVG(target.dc());
    EXPECT_EQ(target.At(5, 5), kRed);
}

TEST(KelSvg, DrawWinRectOnlyMovesThePicture) {
    CKelSvg picture;
    TempFile file(RedSquare("20"));
    picture.CommandParseSVGFile(file.path());
    Target target(60, 60, kBlue);
    picture.CommandDrawSVGWinRect(target.dc(), 30, 30, 50, 50);
    EXPECT_EQ(target.At(5, 5), kBlue); // nothing drawn
    int x, y, w, h;
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(w, 50);
    picture.CommandDrawSVG(target.dc());
    EXPECT_EQ(target.At(5, 5), kBlue);
    EXPECT_EQ(target.At(35, 35), kRed);
    // The root kept its size: the 10 x 10 square was not scaled to the 50 x 50 window.
    EXPECT_EQ(target.At(45, 45), kBlue);
    picture.CommandDrawSVGWinRect(nullptr, 0, 0, 20, 20);
}

TEST(KelSvg, SetWinRectResizesTheDocument) {
    CKelSvg picture;
    TempFile file(RedSquare("20"));
    picture.CommandParseSVGFile(file.path());
    picture.CommandSetSVGWinRect(0, 0, 40, 40);
    Target target(40, 40, kBlue);
    picture.CommandDrawSVG(target.dc());
    EXPECT_EQ(target.At(15, 15), kRed);
    EXPECT_EQ(target.At(25, 25), kBlue);
}

TEST(KelSvg, CacheAndGraphicsDrawPaths) {
    CKelSvg picture;
    TempFile file(RedSquare("20"));
    picture.CommandParseSVGFile(file.path());
    picture.CommandCreateBitmapCache();
    picture.CommandSetSVGWinRect(5, 5, 20, 20);
    Target target(30, 30, kBlue);
    Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(target.bitmap()));
    picture.CommandDrawSVGGraphics(&graphics);
    picture.CommandDrawSVGGraphics(nullptr);
    picture.CommandDrawSVG(nullptr);
    EXPECT_EQ(target.At(2, 2), kBlue);
    EXPECT_EQ(target.At(8, 8), kRed);
    EXPECT_EQ(target.At(20, 20), kBlue);
}

TEST(KelSvg, ObjectsAreCreatedAndDestroyedInAnyOrder) {
    TempFile file(RedSquare("20"));
    CKelSvg* a = new CKelSvg();
    CKelSvg* b = new CKelSvg();
    a->CommandParseSVGFile(file.path());
    b->CommandParseSVGFile(file.path());
    delete a; // frees the shared registry; b's tree is untouched
    Target first(20, 20, kBlue);
    b->CommandDrawSVG(first.dc());
    EXPECT_EQ(first.At(5, 5), kRed);
    b->CommandParseSVGFile(file.path());
    CKelSvg* c = new CKelSvg();
    c->CommandParseSVGFile(file.path());
    delete b;
    Target second(20, 20, kBlue);
    c->CommandDrawSVG(second.dc());
    EXPECT_EQ(second.At(5, 5), kRed);
    delete c;
}

TEST(KelSvg, LoadingTheLibraryRegistersItsModule) {
    // The shared library sits two folders above the tool in the build tree.
    std::string tool = KELSVG_TOOL_PATH;
    std::string dir = tool.substr(0, tool.rfind('/'));
    dir = dir.substr(0, dir.rfind('/'));
    dir = dir.substr(0, dir.rfind('/'));
    void* library = dlopen((dir + "/libkelsvg.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using FirstFn = CDynLinkLibrary* (*)();
    auto first = reinterpret_cast<FirstFn>(dlsym(library, "_Z25AfxGetFirstDynLinkLibraryv"));
    ASSERT_NE(first, nullptr);
    CDynLinkLibrary* module = first();
    ASSERT_NE(module, nullptr);
    Dl_info info;
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(first), &info));
    EXPECT_EQ(static_cast<void*>(module->m_hModule), info.dli_fbase);
    dlclose(library);
}

} // namespace
