#include "SvgTestSupport.h"
#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = "/tmp/kelsvg-cli-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    // Runs the tool in the test's folder with args (shell words), after a shell
    // prefix such as a ulimit; exit code, standard output and standard error.
    ToolRun Tool(const std::string& args, const std::string& prefix = "") {
        ToolRun run;
        std::string out = dir + "/stdout", err = dir + "/stderr";
        std::string command = prefix + " '" + std::string(KELSVG_TOOL_PATH) + "' " + args + " >'" +
                              out + "' 2>'" + err + "'";
        int status = std::system(("cd '" + dir + "' && " + command).c_str());
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = Slurp(out);
        run.err = Slurp(err);
        return run;
    }

    std::string Write(const std::string& name, const std::string& text) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Standard output of a shell command run in the test's folder.
    std::string Shell(const std::string& command) {
        std::string out = dir + "/shell-out";
        std::system(("cd '" + dir + "' && " + command + " >'" + out + "' 2>/dev/null").c_str());
        std::string text = Slurp(out);
        std::remove(out.c_str());
        return text;
    }

    // The pixels of a PNG the tool wrote; none when it cannot be read.
    static Picture ReadPixels(const std::string& path) {
        Picture p;
        Gdiplus::GpBitmap* bitmap = nullptr;
        if (Gdiplus::GdipCreateBitmapFromPngFileA(path.c_str(), &bitmap) != Gdiplus::Ok)
            return p;
        Gdiplus::GdipGetImageWidth(bitmap, reinterpret_cast<UINT*>(&p.width));
        Gdiplus::GdipGetImageHeight(bitmap, reinterpret_cast<UINT*>(&p.height));
        p.pixels.resize(size_t(p.width) * p.height);
        for (size_t i = 0; i < p.pixels.size(); ++i)
            Gdiplus::GdipBitmapGetPixel(bitmap, int(i % p.width), int(i / p.width), &p.pixels[i]);
        Gdiplus::GdipDisposeImage(bitmap);
        return p;
    }

    void Square(const std::string& svgAttributes) {
        Write("square.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" " + svgAttributes +
                                "><rect width=\"10\" height=\"10\" fill=\"red\"/></svg>");
    }

    std::string dir;
};

TEST_F(ToolTest, HelpVersionAndUsageErrors) {
    ToolRun help = Tool("--help"), version = Tool("--version");
    EXPECT_EQ(help.code | version.code, 0);
    EXPECT_NE(help.out.find("--out-dir"), std::string::npos);
    EXPECT_NE(help.out.find("worst"), std::string::npos);
    EXPECT_EQ(version.out.rfind("kelsvg ", 0), 0u) << version.out;
    // Usage errors exit 1.
    Square("width=\"20\" height=\"20\"");
    // Argument lists separated by ";", the first one empty.
    std::istringstream usages(
        ";only.svg;a.svg b.png c.png;--bogus a.svg b.png;--width 0 a.svg b.png;-w abc a.svg b.png;"
        "-w;--background nocolour a b;--background '#12345' a b;--quality 0 a b;-o;"
        "a.svg b.svg -o c.png;a.svg x.gif;-f gif --out-dir o a.svg;--width=0x a b;"
        "--out-dir out;--cache=yes a b;-f gif a b;--format a b;-z 0 a b;--zoom 1e3 a b;"
        "--dpi 0 a b;--out-dir o -;-j 0 --out-dir o a.svg;--jobs x --out-dir o a.svg;"
        "--jobs=999 --out-dir o a.svg;--out-dir o a.svg -j");
    for (std::string args; std::getline(usages, args, ';');) {
        ToolRun run = Tool(args);
        EXPECT_EQ(run.code, 1) << args;
        EXPECT_EQ(run.err.rfind("kelsvg: ", 0), 0u) << args;
        // One line and a hint, not the whole help.
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
        EXPECT_NE(run.err.find("kelsvg --help"), std::string::npos) << args;
    }
}

TEST_F(ToolTest, NeverWritesOverItsInput) {
    Square("width=\"20\" height=\"20\"");
    std::string before = Slurp(dir + "/square.svg");
    ToolRun run = Tool("square.svg ./square.svg");
    EXPECT_TRUE(run.code == 1 && run.err.find("overwrite") != std::string::npos) << run.err;
    EXPECT_EQ(Tool("--out-dir . square.svg").code, 0); // square.png beside it
    std::rename((dir + "/square.svg").c_str(), (dir + "/square.png").c_str());
    EXPECT_EQ(Tool("--out-dir . square.png").code, 1);
    EXPECT_EQ(Slurp(dir + "/square.png"), before);
}

TEST_F(ToolTest, BadInputsExitTwoWithAClearMessage) {
    // The library draws what comes before the fault in cut.svg; the tool still refuses it.
    // clang-format off
    struct Case {
        const char* file;
        const char* text; // written unless null
        const char* message;
    } cases[] = {{"missing.svg", nullptr, "cannot read"}, {"/dev/zero", nullptr, "too large"},
                 {"empty.svg", "", "empty"}, {"text.svg", "just words", "not well-formed XML"},
                 {"html.svg", "<html><body/></html>", "<html>"},
                 {"broken.svg", "<svg width=\"5\" height=\"5\"><g></svg>", "line 1"},
                 {"nosize.svg", "<svg><rect width=\"5\" height=\"5\"/></svg>", "no size"},
                 {"zero.svg", "<svg width=\"0\" height=\"5\"/>", "no size"},
                 {"huge.svg", "<svg width=\"40000\" height=\"5\"/>", "32767"},
                 {"cut.svg", "<svg width=\"5\" height=\"5\"><rect width=\"5\" height=\"5\"/><g", "not well-formed XML"}};
    // clang-format on
    for (const Case& c : cases) {
        if (c.text)
            Write(c.file, c.text);
        ToolRun run = Tool(std::string(c.file) + " out.png");
        EXPECT_EQ(run.code, 2) << c.file;
        EXPECT_NE(run.err.find(c.file), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(Exists(dir + "/out.png")) << c.file;
    }
    // Given a size, a document without one renders, one unit to a pixel.
    EXPECT_EQ(Tool("-w 8 -h 6 nosize.svg out.png").code, 0);
    Picture out = ReadPixels(dir + "/out.png");
    ASSERT_EQ(out.width, 8);
    EXPECT_EQ(out.At(4, 4), 0xFF000000u);
    EXPECT_EQ(out.At(6, 4), 0u);
    EXPECT_EQ(Tool("-w 8 nosize.svg out2.png").code, 2);
}

TEST_F(ToolTest, UnwritableOutputExitsThree) {
    Square("width=\"20\" height=\"20\"");
    ToolRun run = Tool("square.svg /nonexistent/dir/out.png");
    EXPECT_TRUE(run.code == 3 && run.err.find("/nonexistent/dir/out.png") != std::string::npos)
        << run.err;
    Write("afile", "x");
    EXPECT_EQ(Tool("--out-dir afile square.svg").code, 3);
    // A directory in the way of a PDF: refused, and left as it was.
    std::system(("mkdir '" + dir + "/taken.pdf'").c_str());
    EXPECT_EQ(Tool("square.svg taken.pdf").code, 3);
    EXPECT_TRUE(Shell("ls -A taken.pdf").empty());
    EXPECT_EQ(Shell("ls -A | grep -c tmp"), "0\n"); // no temporary file left
}

// Links and devices given as outputs stay what they are: a link keeps naming
// its file, and a pipe (as /dev/stdout is) gets the image instead of being
// replaced by a plain file.
TEST_F(ToolTest, OutputsThroughLinksAndPipesKeepThem) {
    Square("width=\"20\" height=\"20\"");
    ASSERT_EQ(symlink("real.png", (dir + "/link.png").c_str()), 0);
    for (int round = 0; round < 2; ++round) { // a dangling link, then a link to a file
        ASSERT_EQ(Tool("square.svg link.png").code, 0);
        EXPECT_EQ(Shell("test -L link.png && readlink link.png"), "real.png\n");
        EXPECT_EQ(Slurp(dir + "/real.png").substr(1, 3), "PNG");
    }
    ASSERT_EQ(mkfifo((dir + "/pipe.png").c_str(), 0600), 0);
    std::string copy = dir + "/copied.png";
    ASSERT_EQ(std::system(("cat '" + dir + "/pipe.png' >'" + copy + "' &").c_str()), 0);
    ASSERT_EQ(Tool("square.svg pipe.png").code, 0);
    EXPECT_EQ(Shell("test -p pipe.png && echo fifo"), "fifo\n");
    for (int i = 0; i < 100 && Slurp(copy) != Slurp(dir + "/real.png"); ++i)
        usleep(20000);
    EXPECT_EQ(Slurp(copy), Slurp(dir + "/real.png"));
}

TEST_F(ToolTest, OutputHasTheWindowSize) {
    const struct {
        const char* svg;
        const char* options;
        int width, height;
    } rows[] = {
        {"width=\"99.6\" height=\"50.4\"", "", 100, 50},      // rounded, not truncated
        {"width=\"99.9\" height=\"50\"", "-w 999", 999, 500}, // the unrounded aspect ratio
        {"width=\"100\" height=\"50\"", "-w 40", 40, 20},
        {"width=\"100\" height=\"50\"", "--height=10", 20, 10},
        {"width=\"100\" height=\"50\"", "--width 30 --height 70", 30, 70},
        {"viewBox=\"0 0 24 16\"", "", 24, 16},
        {"viewBox=\"0 0 24 16\"", "-w 48", 48, 32}, // the other side from the viewBox
        {"viewBox=\"0 0 24 16\"", "-h 8", 12, 8},
        {"width=\"100\" height=\"50\"", "-z 0.5", 50, 25},
        {"width=\"99.9\" height=\"50\"", "--zoom=2", 200, 100},
        {"width=\"100\" height=\"50\"", "-z 3 -w 10", 10, 5}, // the sides given win
        {"width=\"100\" height=\"50\"", "-a -z 3 -w 10 -h 40", 10, 40},
        // Absolute units at 96 pixels to the inch, or --dpi's; pixels stay pixels.
        {"width=\"1in\" height=\"0.5in\"", "", 96, 48},
        {"width=\"1in\" height=\"0.5in\"", "--dpi 300", 300, 150},
        {"width=\"72pt\" height=\"2.54cm\"", "--dpi=72", 72, 72},
        {"width=\"100\" height=\"50\"", "--dpi 300", 100, 50},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.svg) + " " + row.options);
        Square(row.svg);
        ASSERT_EQ(Tool(std::string(row.options) + " square.svg out.png").code, 0);
        Picture out = ReadPixels(dir + "/out.png");
        EXPECT_EQ(out.width, row.width);
        EXPECT_EQ(out.height, row.height);
    }
}

TEST_F(ToolTest, KeepAspectRatioCentresThePicture) {
    Write("red.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">"
                     "<rect width=\"20\" height=\"20\" fill=\"red\"/></svg>");
    const struct {
        const char* options;
        int inX, inY, outX, outY; // a pixel of the picture, one beside it
    } rows[] = {{"-a -w 40 -h 10", 20, 5, 5, 5}, {"--keep-aspect-ratio -w 10 -h 40", 5, 20, 5, 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options);
        ASSERT_EQ(Tool(std::string(row.options) + " red.svg out.png").code, 0);
        Picture out = ReadPixels(dir + "/out.png");
        ASSERT_FALSE(out.pixels.empty());
        EXPECT_EQ(out.At(row.inX, row.inY), 0xFFFF0000u);
        EXPECT_EQ(out.At(row.outX, row.outY) >> 24, 0u);
    }
}

TEST_F(ToolTest, DrawPathsAgreeAndBackgroundFills) {
    Square("width=\"20\" height=\"20\"");
    for (const char* mode : {"", "--dc", "--cache", "--dc --cache"}) {
        SCOPED_TRACE(mode);
        ToolRun run = Tool(std::string(mode) + " --background '#0000ff' square.svg out.png");
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_TRUE(run.out.empty());
        Picture out = ReadPixels(dir + "/out.png");
        ASSERT_EQ(out.width, 20);
        EXPECT_EQ(out.At(5, 5), 0xFFFF0000u);
        EXPECT_EQ(out.At(15, 15), 0xFF0000FFu);
    }
    ASSERT_EQ(Tool("square.svg clear.png").code, 0);
    EXPECT_EQ(ReadPixels(dir + "/clear.png").At(15, 15) >> 24, 0u);
}

TEST_F(ToolTest, OutDirRendersEveryInputAndReportsTheWorst) {
    Write("one.svg", "<svg width=\"4\" height=\"4\"/>");
    Write("two.svg", "<svg width=\"6\" height=\"3\"/>");
    Write("bad.svg", "not xml");
    ToolRun run = Tool("--out-dir pngs one.svg bad.svg two.svg missing.svg");
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("bad.svg"), std::string::npos);
    EXPECT_NE(run.err.find("missing.svg"), std::string::npos);
    EXPECT_EQ(ReadPixels(dir + "/pngs/one.png").width, 4);
    Picture two = ReadPixels(dir + "/pngs/two.png");
    EXPECT_TRUE(two.width == 6 && two.height == 3);
    EXPECT_FALSE(Exists(dir + "/pngs/bad.png"));
    EXPECT_EQ(Tool("--out-dir pngs one.svg two.svg").code, 0);
    // A progress line only when standard error is a terminal.
    EXPECT_EQ(run.err.find("files done"), std::string::npos);
    std::string shown = Shell("script -qec \"'" + std::string(KELSVG_TOOL_PATH) +
                              "' --out-dir tty one.svg two.svg\" /dev/null </dev/null");
    EXPECT_NE(shown.find("2 of 2 files done, 0 failed"), std::string::npos) << shown;
    // A second input of the same name does not replace the first one's image.
    std::system(("mkdir -p '" + dir + "/sub' && cp '" + dir + "/two.svg' '" + dir + "/sub/one.svg'")
                    .c_str());
    EXPECT_EQ(Tool("--out-dir same one.svg sub/one.svg").code, 3);
    EXPECT_EQ(ReadPixels(dir + "/same/one.png").width, 4);
}

// Shapes, a stroke, a gradient and text, with a rotate transform.
const char* const kVectorPicture =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"60\" height=\"40\">"
    "<defs><linearGradient id=\"g\" x1=\"0\" y1=\"0\" x2=\"60\" y2=\"40\" "
    "gradientUnits=\"userSpaceOnUse\"><stop offset=\"0\" stop-color=\"#00f\"/>"
    "<stop offset=\"1\" stop-color=\"#fc0\"/></linearGradient></defs>"
    "<rect width=\"60\" height=\"40\" fill=\"url(#g)\"/>"
    "<rect x=\"8\" y=\"8\" width=\"20\" height=\"14\" fill=\"red\" stroke=\"black\" "
    "stroke-width=\"2\" transform=\"rotate(15 18 15)\"/>"
    "<text x=\"32\" y=\"34\" font-size=\"14\">Ab</text></svg>";

TEST_F(ToolTest, FormatsFromTheOptionOrTheExtension) {
    Write("pic.svg", kVectorPicture);
    const struct {
        const char* args;
        const char* file;
        const char* start; // the file's first bytes
    } rows[] = {
        {"pic.svg a.png", "a.png", "\x89PNG"},
        {"pic.svg a.pdf", "a.pdf", "%PDF-"},
        {"pic.svg a.SVG", "a.SVG", "<?xml"},
        {"pic.svg a.ps", "a.ps", "%!PS-Adobe"},
        {"-f png pic.svg b.pdf", "b.pdf", "\x89PNG"},
        {"--format=svg pic.svg b", "b", "<?xml"},
        {"-f pdf --out-dir pdfs pic.svg", "pdfs/pic.pdf", "%PDF-"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        ToolRun run = Tool(row.args);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(Slurp(dir + "/" + row.file).rfind(row.start, 0), 0u);
    }
    // Vectors only: paths and a gradient, no image.
    std::string svg = Slurp(dir + "/a.SVG");
    EXPECT_NE(svg.find("<path"), std::string::npos);
    EXPECT_NE(svg.find("<linearGradient"), std::string::npos);
    EXPECT_EQ(svg.find("<image"), std::string::npos);
    // 96 pixels to the inch, a pixel 3/4 of a point, or as --dpi says.
    ASSERT_EQ(Tool("--dpi 144 pic.svg half.pdf").code, 0);
    ASSERT_EQ(Tool("--dpi 72 pic.svg whole.pdf").code, 0);
    EXPECT_NE(Shell("pdfinfo a.pdf").find("45 x 30 pts"), std::string::npos);
    EXPECT_NE(Shell("pdfinfo half.pdf").find("30 x 20 pts"), std::string::npos);
    EXPECT_NE(Shell("pdfinfo whole.pdf").find("60 x 40 pts"), std::string::npos);
}

// JPEG and WebP, value forms, vector sizes past the bitmap limit, and several
// inputs as the pages of one PDF.
TEST_F(ToolTest, RasterFormatsOptionFormsAndBooks) {
    Square("width=\"20\" height=\"20\"");
    ASSERT_EQ(Tool("-w 40 square.svg ref.png").code, 0);
    for (const char* args :
         {"-w40 -fPNG square.svg x.png", "--width=40 --format=Png square.svg x.png",
          "-w 40 -o x.png square.svg", "-ox.png -w40 square.svg"}) {
        ASSERT_EQ(Tool(args).code, 0) << args;
        EXPECT_EQ(Slurp(dir + "/x.png"), Slurp(dir + "/ref.png")) << args;
    }
    // JPEG has no alpha: the transparent part over white. Read back through an image.
    ASSERT_EQ(Tool("-f JPEG --quality 95 square.svg sq.jpeg").code, 0);
    EXPECT_EQ(Slurp(dir + "/sq.jpeg").rfind("\xFF\xD8\xFF", 0), 0u);
    Write("show.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">"
                      "<image href=\"sq.jpeg\" width=\"20\" height=\"20\"/></svg>");
    ASSERT_EQ(Tool("show.svg shown.png").code, 0);
    Picture shown = ReadPixels(dir + "/shown.png");
    EXPECT_TRUE(NearArgb(shown.At(4, 4), 0xFFFF0000u, 12)) << std::hex << shown.At(4, 4);
    EXPECT_TRUE(NearArgb(shown.At(15, 15), 0xFFFFFFFFu, 12)) << std::hex << shown.At(15, 15);
    // WebP: lossless by default, lossy with a quality.
    ASSERT_EQ(Tool("square.svg sq.webp").code | Tool("--quality 50 square.svg lossy.WEBP").code, 0);
    EXPECT_EQ(Slurp(dir + "/sq.webp").substr(8, 8), "WEBPVP8L");
    EXPECT_EQ(Slurp(dir + "/lossy.WEBP").substr(8, 7), "WEBPVP8");
    EXPECT_NE(Slurp(dir + "/lossy.WEBP").substr(8, 8), "WEBPVP8L");
    ASSERT_EQ(Tool("square.svg sq.eps").code, 0);
    EXPECT_NE(Slurp(dir + "/sq.eps").find("EPSF-3.0"), std::string::npos);
    // An extension the tool cannot write is refused, not PNG under that name.
    EXPECT_EQ(Tool("square.svg sq.gif").code, 1);
    EXPECT_FALSE(Exists(dir + "/sq.gif"));
    // Vector output is not bound by the bitmap limit; a bitmap is.
    EXPECT_EQ(Tool("--dpi 72 -w 40000 square.svg big.pdf").code, 0);
    EXPECT_NE(Shell("pdfinfo big.pdf").find("40000 x 40000 pts"), std::string::npos);
    EXPECT_EQ(Tool("-w 40000 square.svg big.png").code, 2);
    // One page per input, each of its own size; nothing written when one fails.
    Write("wide.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30\" height=\"10\"/>");
    ASSERT_EQ(Tool("--dpi 72 square.svg wide.svg square.svg -o book.pdf").code, 0);
    std::string info = Shell("pdfinfo -f 1 -l 3 book.pdf");
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    2 size:  30 x 10 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    3 size:  20 x 20 pts"), std::string::npos) << info;
    ToolRun bad = Tool("square.svg missing.svg -o book2.pdf");
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("missing.svg"), std::string::npos);
    EXPECT_FALSE(Exists(dir + "/book2.pdf"));
}

// --id draws one element under its ancestors' transform and clip; --base-dir
// is where images of a document from standard input resolve (and only
// there); --stylesheet's rules come after the document's.
TEST_F(ToolTest, IdBaseDirAndStyleSheet) {
    Write("pic.svg",
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><style>.a{fill:red}"
          "</style><defs><clipPath id=\"c\"><rect width=\"20\" height=\"20\"/></clipPath></defs>"
          "<rect width=\"40\" height=\"40\" fill=\"blue\"/><g transform=\"translate(10 10)\" "
          "clip-path=\"url(#c)\"><rect id=\"r\" class=\"a\" width=\"30\" height=\"30\"/>"
          "<circle r=\"5\" fill=\"green\"/></g></svg>");
    ASSERT_EQ(Tool("--id r pic.svg only.png").code, 0);
    Picture only = ReadPixels(dir + "/only.png");
    EXPECT_EQ(only.At(5, 5) >> 24, 0u);      // the blue rectangle left out
    EXPECT_EQ(only.At(12, 12), 0xFFFF0000u); // the circle left out, the element moved
    EXPECT_EQ(only.At(35, 35) >> 24, 0u);    // and clipped
    EXPECT_EQ(Tool("--id nothing pic.svg none.png").code, 2);
    Write("sheet.css", ".a { fill: lime }");
    ASSERT_EQ(Tool("--stylesheet sheet.css pic.svg sheet.png").code, 0);
    EXPECT_EQ(ReadPixels(dir + "/sheet.png").At(25, 25), 0xFF00FF00u);
    EXPECT_EQ(Tool("--stylesheet missing.css pic.svg sheet.png").code, 2);
    // Its media queries see the document's size when the document has no sheet.
    Write("plain.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><rect "
                       "width=\"40\" height=\"40\"/></svg>");
    Write("media.css", "@media (width: 40px) { rect { fill: lime } }");
    ASSERT_EQ(Tool("--stylesheet media.css plain.svg media.png").code, 0);
    EXPECT_EQ(ReadPixels(dir + "/media.png").At(20, 20), 0xFF00FF00u);

    ASSERT_EQ(Tool("--id r pic.svg images/red.png", "mkdir -p images &&").code, 0);
    const std::string picture =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" "
        "height=\"40\"><image href=\"HREF\" width=\"40\" height=\"40\"/></svg>";
    for (const char* href : {"red.png", "../images/red.png", "../only.png"}) {
        std::string text = picture;
        text.replace(text.find("HREF"), 4, href);
        Write("in.svg", text);
        ASSERT_EQ(Tool("--base-dir images - out.png <in.svg").code, 0) << href;
        bool inside = std::string(href) == "red.png" || href[3] == 'i';
        EXPECT_EQ(ReadPixels(dir + "/out.png").At(15, 15) >> 24, inside ? 0xFFu : 0u) << href;
    }
}

// Every colour the library reads, through its own reader.
TEST_F(ToolTest, BackgroundTakesTheLibrarysColours) {
    Square("width=\"20\" height=\"20\"");
    const struct {
        const char* colour;
        uint32_t argb;
    } rows[] = {{"MediumSeaGreen", 0xFF3CB371},
                {"rgb(0, 128, 255)", 0xFF0080FF},
                {"rgb(100%,0%,20%)", 0xFFFF0033},
                {"#0f0", 0xFF00FF00},
                {"#00FF0080", 0x8000FF00}};
    for (const auto& row : rows) {
        ASSERT_EQ(Tool("--background '" + std::string(row.colour) + "' square.svg b.png").code, 0)
            << row.colour;
        EXPECT_EQ(ReadPixels(dir + "/b.png").At(15, 15), row.argb) << row.colour;
    }
}

// --background paints its colour on PDF, SVG and PostScript pages too (the
// SVG page read back by the tool itself).
TEST_F(ToolTest, VectorPagesTakeTheBackground) {
    Square("width=\"20\" height=\"20\"");
    for (std::string format : {"pdf", "svg", "ps"})
        ASSERT_EQ(Tool("--background '#0080ff' square.svg back." + format).code, 0) << format;
    Shell("pdftoppm -singlefile -png -r 96 back.pdf pdf");
    ASSERT_EQ(Tool("-w 20 -h 20 back.svg svg.png").code, 0); // a page of 20 pt
    for (std::string png : {"pdf.png", "svg.png"}) {
        Picture page = ReadPixels(dir + "/" + png);
        ASSERT_EQ(page.width, 20) << png;
        EXPECT_TRUE(NearArgb(page.At(15, 15), 0xFF0080FF, 2)) << png;
        EXPECT_TRUE(NearArgb(page.At(5, 5), 0xFFFF0000, 2)) << png;
    }
    EXPECT_NE(Slurp(dir + "/back.ps").find("0 0.501961 1 rg"), std::string::npos);
}

// With the machine's own fonts (its fontconfig set-up, not the tests'), each
// generic family is drawn in the family fontconfig names for it.
TEST_F(ToolTest, GenericFamiliesAreTheMachinesFontconfigAnswer) {
    const std::string machine = "env -u FONTCONFIG_FILE";
    for (std::string generic : {"serif", "sans-serif", "monospace"}) {
        // A font name for fc-match: "sans-serif" would be "sans" at size "serif".
        std::string escaped = generic == "sans-serif" ? "'sans\\-serif'" : generic;
        std::string family = Shell(machine + " fc-match -f '%{family[0]}' " + escaped);
        ASSERT_FALSE(family.empty()) << generic;
        SCOPED_TRACE(generic + " is " + family);
        for (std::string name : {generic, family})
            Write(name + ".svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"90\" "
                                 "height=\"40\"><text x=\"4\" y=\"30\" font-size=\"24\" "
                                 "font-family=\"" +
                                     name + "\">Mgl1</text></svg>");
        ASSERT_EQ(Tool("'" + generic + ".svg' generic.png", machine).code, 0);
        ASSERT_EQ(Tool("'" + family + ".svg' family.png", machine).code, 0);
        EXPECT_FALSE(FindInk(ReadPixels(dir + "/generic.png")).Empty());
        EXPECT_EQ(Slurp(dir + "/generic.png"), Slurp(dir + "/family.png"));
    }
}

// A PDF turned back into pixels looks like the PNG, at its own size and at
// four times it (a picture put in as an image would blur there), and holds
// no image.
TEST_F(ToolTest, PdfMatchesThePngAndStaysVector) {
    Write("pic.svg", kVectorPicture);
    ASSERT_EQ(Tool("-f pdf pic.svg pic.pdf").code, 0);
    for (int zoom : {1, 4}) {
        SCOPED_TRACE(zoom);
        std::string z = std::to_string(zoom);
        ASSERT_EQ(Tool("--background white -z " + z + " pic.svg png" + z + ".png").code, 0);
        Shell("pdftoppm -singlefile -png -r " + std::to_string(96 * zoom) + " pic.pdf pdf" + z);
        Picture png = ReadPixels(dir + "/png" + z + ".png");
        Picture pdf = ReadPixels(dir + "/pdf" + z + ".png");
        ASSERT_EQ(png.width, 60 * zoom);
        ASSERT_EQ(pdf.width, png.width);
        ASSERT_EQ(pdf.height, png.height);
        size_t differing = 0;
        for (size_t i = 0; i < png.pixels.size(); ++i)
            differing += !NearArgb(png.pixels[i], pdf.pixels[i], 48);
        EXPECT_LT(differing, png.pixels.size() / 50);
    }
    std::string images = Shell("pdfimages -list pic.pdf");
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2) << images; // the heading only
}

// A line for each rotate function only with --print-rotations, with full
// stops whatever the locale, on standard output; on standard error when the
// image goes there, the same image as from and to files.
TEST_F(ToolTest, RotateLinesAndPipesCarryTheImageAlone) {
    std::string svg = std::string(KELSVG_TEST_DATA_DIR) + "/two-rotates.svg";
    const std::string lines = "rotate: 30.000000 50.000000 50.000000\n"
                              "rotate: -15.500000 0.000000 0.000000\n";
    ToolRun quiet = Tool("'" + svg + "' file.png");
    EXPECT_TRUE(quiet.code == 0 && quiet.out.empty() && quiet.err.empty()) << quiet.out;
    for (const char* env : {"", "LC_ALL=de_DE.UTF-8"}) {
        ToolRun file = Tool("--print-rotations '" + svg + "' file.png", env);
        ASSERT_EQ(file.code, 0) << env;
        EXPECT_EQ(file.out, lines) << env;
    }
    ToolRun piped = Tool("--print-rotations - - <'" + svg + "'");
    ASSERT_EQ(piped.code, 0) << piped.err;
    EXPECT_EQ(piped.out, Slurp(dir + "/file.png"));
    EXPECT_EQ(piped.err, lines);
    ToolRun pdf = Tool("-f pdf - - <'" + svg + "'");
    EXPECT_EQ(pdf.out.rfind("%PDF-", 0), 0u);

    Write("bad.svg", "<svg");
    ToolRun bad = Tool("- - <bad.svg");
    EXPECT_TRUE(bad.code == 2 && bad.out.empty());
    EXPECT_EQ(bad.err.rfind("kelsvg: standard input: not well-formed XML", 0), 0u) << bad.err;
}

TEST_F(ToolTest, JobsChangeNeitherImagesNorMessagesNorTheExitCode) {
    // Good inputs of different sizes, each with rotations (a line each on
    // standard output), among bad ones and a name given twice.
    std::string args;
    for (int i = 0; i < 14; ++i) {
        std::string name = "in" + std::to_string(i) + ".svg";
        if (i % 5 == 3) {
            Write(name, i % 2 ? "not xml" : "<svg width=\"4\"/>");
        } else {
            int side = 8 + 9 * i;
            Write(name, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                            std::to_string(side) + "\" height=\"30\"><rect width=\"6\" height=\"" +
                            std::to_string(i + 1) + "\" transform=\"rotate(" + std::to_string(i) +
                            ") rotate(2 3 4)\"/></svg>");
        }
        args += " " + name + (i == 6 ? " in6.svg" : "");
    }
    ToolRun one = Tool("--print-rotations -j 1 --out-dir one" + args);
    EXPECT_EQ(one.code, 3) << one.err;
    for (const char* jobs : {"--jobs 4", "-j 3", "--jobs=16", ""}) {
        SCOPED_TRACE(jobs);
        ToolRun many = Tool("--print-rotations " + std::string(jobs) + " --out-dir many" + args);
        EXPECT_EQ(many.code, one.code);
        std::string err = many.err;
        for (size_t at; (at = err.find("many/")) != std::string::npos;)
            err.replace(at, 5, "one/");
        EXPECT_EQ(err, one.err) << "messages whole and in input order";
        // Rotation lines in input order, as the messages.
        EXPECT_EQ(many.out, one.out);
        EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 22) << one.out;
        for (int i = 0; i < 14; ++i) {
            std::string png = "/in" + std::to_string(i) + ".png";
            EXPECT_EQ(Exists(dir + "/one" + png), i % 5 != 3) << png;
            EXPECT_EQ(Slurp(dir + "/many" + png), Slurp(dir + "/one" + png)) << png;
        }
    }
}

} // namespace
