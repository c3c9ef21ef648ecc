#include "interface/KelSvg.h"
#include "HostBitmap.h"
#include "SvgTestSupport.h"
#include "interface/SvgCommand.h"
#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string RedSquare(const char* size) {
    return std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"") + size +
           "\" height=\"" + size + "\"><rect width=\"10\" height=\"10\" fill=\"red\"/></svg>";
}

TEST(KelSvg, ParseReplacesTheSizeTruncatedAndKeepsTheOrigin) {
    CKelSvg picture;
    picture.CommandSetSVGWinRect(10, 20, 300, 200);
    TempSvgFile file(RedSquare("99.9"));
    picture.CommandParseSVGFile(file.PathBuffer());
    int x, y, w, h;
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(w, 99);
    EXPECT_EQ(h, 99);
}

TEST(KelSvg, DrawWinRectOnlyMovesThePicture) {
    CKelSvg picture;
    TempSvgFile file(RedSquare("20"));
    picture.CommandParseSVGFile(file.PathBuffer());
    HostBitmap target(60, 60, kBlue);
    picture.CommandDrawSVGWinRect(target.dc(), 30, 20, 50, 40);
    EXPECT_EQ(target.At(5, 5), kBlue); // nothing drawn
    int x, y, w, h;
    picture.CommandGetSVGWinRect(x, y, w, h);
    EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({30, 20, 50, 40}));
    picture.CommandDrawSVG(target.dc());
    EXPECT_EQ(target.At(5, 5), kBlue);
    EXPECT_EQ(target.At(35, 25), kRed);
    // The root kept its size: the 10 x 10 square was not scaled to the 50 x 40 window.
    EXPECT_EQ(target.At(45, 35), kBlue);
    picture.CommandDrawSVGWinRect(nullptr, 0, 0, 20, 20);
    picture.CommandDrawSVGGraphics(nullptr);
    picture.CommandDrawSVG(nullptr);
}

TEST(KelSvg, SetWinRectResizesTheDocumentAndSetFileNameChangesNothing) {
    CKelSvg picture;
    TempSvgFile file(RedSquare("20"));
    picture.CommandParseSVGFile(file.PathBuffer());
    picture.CommandSetSVGWinRect(0, 0, 40, 40);
    char other[] = "/nonexistent/other.svg";
    picture.CommandSetSVGFileName(other);
    HostBitmap target(40, 40, kBlue);
    picture.CommandDrawSVG(target.dc());
    EXPECT_EQ(target.At(15, 15), kRed);
    EXPECT_EQ(target.At(25, 25), kBlue);
}

TEST(KelSvg, ObjectsAreCreatedAndDestroyedInAnyOrder) {
    TempSvgFile file(RedSquare("20"));
    CKelSvg* a = new CKelSvg();
    CKelSvg* b = new CKelSvg();
    a->CommandParseSVGFile(file.PathBuffer());
    b->CommandParseSVGFile(file.PathBuffer());
    delete a; // frees the shared registry; b's tree is untouched
    HostBitmap first(20, 20, kBlue);
    b->CommandDrawSVG(first.dc());
    EXPECT_EQ(first.At(5, 5), kRed);
    b->CommandParseSVGFile(file.PathBuffer());
    CKelSvg* c = new CKelSvg();
    c->CommandParseSVGFile(file.PathBuffer());
    delete b;
    HostBitmap second(20, 20, kBlue);
    c->CommandDrawSVG(second.dc());
    EXPECT_EQ(second.At(5, 5), kRed);
    delete c;
}

TEST(KelSvg, ParseResultTellsWhatTheLatestParseFound) {
    CKelSvg picture;
    float w = -1, h = -1;
    EXPECT_EQ(picture.KelGetParseResult(w, h), KelSvgNotParsed);
    EXPECT_EQ(w, 0.0f);
    const struct {
        std::string text;
        KelSvgParseResult result;
        float width, height;
        Gdiplus::ARGB pixel;
    } rows[] = {
        {RedSquare("99.9"), KelSvgParsed, 99.9f, 99.9f, kRed},
        // No size of its own: drawn one unit a pixel in the window.
        {"<svg><rect width='5' height='5'/></svg>", KelSvgParsed, 0, 0, 0xFF000000},
        // What precedes the fault is drawn, but the parse tells of it.
        {RedSquare("20").substr(0, 107), KelSvgNotXml, 20, 20, kRed},
        {"", KelSvgNotXml, 0, 0, kBlue},
        {"<html/>", KelSvgNoSvgElement, 0, 0, kBlue},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        TempSvgFile file(row.text);
        picture.CommandParseSVGFile(file.PathBuffer());
        picture.CommandSetSVGWinRect(0, 0, 30, 30);
        EXPECT_EQ(picture.KelGetParseResult(w, h), row.result);
        EXPECT_EQ(w, row.width);
        EXPECT_EQ(h, row.height);
        HostBitmap target(30, 30, kBlue);
        picture.CommandDrawSVG(target.dc());
        EXPECT_EQ(target.At(2, 2), row.pixel);
    }
    char missing[] = "/nonexistent/file.svg";
    picture.CommandParseSVGFile(missing);
    EXPECT_EQ(picture.KelGetParseResult(w, h), KelSvgUnreadable);
    EXPECT_EQ(w, 0.0f);
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

void Keep(const char* line, void* lines) {
    static_cast<std::vector<std::string>*>(lines)->push_back(line);
}

// Nothing on standard output or error, with or without a callback; the
// callback gets every rotate line in document order, also when a large file
// is read in two parts on two threads.
TEST(KelSvg, RotateLinesGoOnlyToTheHostsCallbackInOrder) {
    std::string big = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">";
    std::vector<std::string> expected;
    for (int i = 0; big.size() < (3u << 20); ++i) {
        big += "<rect width=\"1\" height=\"1\" transform=\"rotate(" + std::to_string(i % 360) +
               " 1 2)\"/><path d=\"M0 0h1v1z\"/>" + std::string(200, ' ');
        expected.push_back("rotate: " + std::to_string(i % 360) + ".000000 1.000000 2.000000\n");
    }
    TempSvgFile file(big + "</svg>");
    std::vector<std::string> lines;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (int threads : {1, 2}) {
        CKelSvg picture;
        picture.KelSetThreads(threads);
        picture.CommandParseSVGFile(file.PathBuffer()); // no callback
        picture.KelSetRotationCallback(Keep, &lines);
        picture.CommandParseSVGFile(file.PathBuffer());
        HostBitmap target(20, 20, kBlue);
        picture.CommandDrawSVG(target.dc());
        EXPECT_EQ(lines, expected) << threads << " threads";
        lines.clear();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
