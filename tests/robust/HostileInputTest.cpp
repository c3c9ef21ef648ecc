// Hostile and broken input, through the library and through the tool: nothing
// crashes, hangs or runs out of memory, and what can be drawn is drawn.
#include "RobustSupport.h"

#include "ImageBytes.h"
#include "SvgTestSupport.h"

#include "document/SvgFigureElement.h"
#include "document/SvgMarkerPlacement.h"
#include "interface/KelSvg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kHostileDir = std::string(KELSVG_TEST_DATA_DIR) + "/hostile";

// The library parses and draws the file, with and without the bitmap cache,
// in a child process whose peak memory is measured.
void ExpectLibrarySurvives(const std::string& path) {
    ExpectClean(RunInChild([&] {
                    DrawFile(path, 64, 64, false);
                    DrawFile(path, 64, 64, true);
                    return true;
                }),
                path);
}

// The tool either renders the file or refuses it with a message and exit 2.
void ExpectToolSurvives(const std::string& path, const std::vector<std::string>& options = {}) {
    TempSvgFile out("");
    std::vector<std::string> args = options;
    args.push_back(path);
    args.push_back(out.Path());
    ChildRun run = RunTool(args);
    EXPECT_TRUE(run.exited) << path << ": signal " << run.signal << "\n" << run.errors;
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 2) << path << ": exit " << run.exitCode << "\n"
                                                        << run.errors;
    if (run.exitCode != 0) {
        EXPECT_EQ(run.errors.rfind("kelsvg: ", 0), 0u) << run.errors;
    }
    EXPECT_LT(run.peakKb, kPeakMemoryKb) << path;
}

// The hostile files kept with the tests (deep nesting, use amplification,
// self reference, missing references, binary bytes, empty, not XML, not SVG),
// each measured on its own: through the library with and without the cache,
// and through the tool at a size of its own with the cache and a device context.
TEST(HostileFiles, LibraryAndToolSurviveEachWithinMemory) {
    std::vector<std::string> files = FilesIn(kHostileDir);
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ExpectLibrarySurvives(file);
        ExpectToolSurvives(file, {"--width", "40", "--height", "30", "--cache", "--dc"});
    }
    // All of them in one run of the tool, one at a time: memory stays bounded
    // across the files, the refusals give 2, and the deep nesting is drawn.
    char dir[] = "/tmp/kelsvg-robust-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::vector<std::string> args{"--jobs", "1", "--cache", "--out-dir", dir};
    args.insert(args.end(), files.begin(), files.end());
    ChildRun all = RunTool(args);
    EXPECT_EQ(all.exitCode, 2) << all.errors;
    EXPECT_LT(all.peakKb, kBatchPeakMemoryKb);
    EXPECT_FALSE(ReadBytes(std::string(dir) + "/deep-nesting.png").empty());
    std::system(("rm -rf '" + std::string(dir) + "'").c_str());
}

// Every prefix of a complete document: the library draws what it can, the
// tool refuses or renders, neither misbehaves.
TEST(TruncatedFiles, EveryPrefixOfADocument) {
    Bytes bytes = ReadBytes(std::string(KELSVG_SOURCE_DIR) + "/examples/shapes-house.svg");
    std::string whole(bytes.begin(), bytes.end());
    ASSERT_FALSE(whole.empty());
    for (size_t length = 0; length < whole.size(); length += 7) {
        TempSvgFile file(whole.substr(0, length));
        DrawFile(file.Path(), 16, 16, length % 2 == 1);
    }
    TempSvgFile half(whole.substr(0, whole.size() / 2));
    ExpectToolSurvives(half.Path(), {"--width", "20", "--height", "20"});
}

TEST(UnterminatedComments, InXmlStyleTransformAndLists) {
    // XML comment never closed: what came before it is drawn, no hang.
    EXPECT_EQ(Painted(DrawText(
                  "<svg width=\"8\" height=\"8\"><rect width=\"8\" height=\"8\"/><!-- ", 8, 8)),
              64);
    // Comments left open inside attribute syntaxes end that attribute only.
    std::string body =
        "<rect width=\"8\" height=\"8\" fill=\"red\" style=\"stroke: blue /* open\"/>"
        "<rect x=\"8\" width=\"8\" height=\"8\" fill=\"red\" transform=\"translate(0) /* open\"/>"
        "<polygon points=\"0,8 8,8 /* 8,16\" fill=\"red\"/>"
        "<svg x=\"16\" width=\"8\" height=\"8\" viewBox=\"0 0 8 /* 8\"><rect width=\"8\" "
        "height=\"8\"/></svg>";
    std::vector<uint32_t> pixels = DrawText(SvgDocument(24, 16, body), 24, 16);
    EXPECT_EQ(pixels[2 * 24 + 2] >> 24, 0xFFu); // the first rectangle is still drawn
    EXPECT_EQ(pixels[2 * 24 + 10] >> 24, 0xFFu);
}

TEST(HugePaths, AMillionCommandsParseAndDrawWithinMemory) {
    for (const std::string& commands :
         {Repeat("l1 1 ", 1000000), Repeat("h1", 1000000), Repeat("c1 1 2 2 3 3", 1000000),
          Repeat("a1 1 0 0 1 1 1", 1000000), "l" + Repeat(" 1 1", 1000000)}) {
        TempSvgFile file(SvgDocument(64, 64, "<path d=\"M0 0" + commands + "\" stroke=\"red\"/>"));
        ExpectClean(RunInChild([&] { return Painted(DrawFile(file.Path(), 64, 64)) > 0; }),
                    commands.substr(0, 20));
    }
    // A million points in a polygon, too.
    TempSvgFile polygon(
        SvgDocument(64, 64, "<polygon points=\"" + Repeat("1,2 30,40 ", 500000) + "\"/>"));
    ExpectLibrarySurvives(polygon.Path());
}

// Numbers past the float range, and arithmetic on them that would overflow.
TEST(OverflowingNumbers, AreDroppedOrClampedAndTheRestIsDrawn) {
    const char* hostile[] = {
        "<rect x=\"1e39\" width=\"1e39\" height=\"1e400\"/>",
        "<rect width=\"3e38\" height=\"3e38\" rx=\"3e38\" ry=\"-3e38\" stroke=\"red\" "
        "stroke-width=\"3e38\"/>",
        "<circle cx=\"-3e38\" cy=\"3e38\" r=\"3e38\" stroke-dasharray=\"3e38 1e-38\"/>",
        "<ellipse rx=\"1e-45\" ry=\"3.4e38\" stroke=\"blue\" stroke-width=\"1e-45\"/>",
        "<line x1=\"-3e38\" y1=\"-3e38\" x2=\"3e38\" y2=\"3e38\" stroke=\"red\"/>",
        "<path d=\"M3e38 3e38 l3e38 3e38 3e38 3e38 h3e38 v-3e38 c3e38 3e38 3e38 3e38 3e38 "
        "3e38 s3e38 3e38 3e38 3e38 q3e38 0 3e38 0 t3e38 3e38 z\"/>",
        "<polyline points=\"3e38,3e38 -3e38,-3e38 1e999,1\" stroke=\"red\"/>",
        "<g transform=\"scale(3e38) translate(3e38) scale(3e38)\"><rect width=\"2\" "
        "height=\"2\"/></g>",
        "<g transform=\"rotate(3e38 3e38 3e38) skewX(90) skewY(3e38)\"><rect width=\"2\" "
        "height=\"2\"/></g>",
        "<g style=\"font-size:3e38px; stroke-width:3e38em; opacity:3e38\"><rect width=\"2\" "
        "height=\"2\" stroke=\"red\" stroke-width=\"3e38%\"/></g>",
        "<svg width=\"3e38\" height=\"3e38\" viewBox=\"-3e38 -3e38 1e-45 3e38\"><rect "
        "width=\"2\" height=\"2\"/></svg>",
        "<linearGradient id=\"g\" x1=\"3e38\" x2=\"-3e38\"><stop offset=\"3e38\" "
        "stop-color=\"red\"/></linearGradient><rect width=\"2\" height=\"2\" fill=\"url(#g)\"/>",
    };
    for (const char* body : hostile) {
        SCOPED_TRACE(body);
        // A plain square after the hostile element must still be drawn.
        std::string svg =
            SvgDocument(20, 20,
                        std::string(body) + "<rect x=\"12\" y=\"12\" width=\"8\" height=\"8\" "
                                            "fill=\"lime\"/>");
        std::vector<uint32_t> pixels = DrawText(svg, 20, 20, false);
        ASSERT_EQ(pixels.size(), 400u);
        EXPECT_EQ(pixels[16 * 20 + 16], 0xFF00FF00u);
        DrawText(svg, 20, 20, true);
    }
}

TEST(Arcs, NonFiniteOrDegenerateArcsAreDroppedNotLoopedOn) {
    const char* paths[] = {
        "M0 0 A1e38 1e38 0 1 1 3e38 -3e38",   // radii scaled past the float range
        "M0 0 A1e-40 1e-40 0 1 1 10 10",      // denormal radii
        "M0 0 A3e38 1e-45 45 0 0 -3e38 3e38", // extreme ratio, rotated
        "M0 0 A0 5 0 0 0 10 10",              // zero radius: a line
        "M5 5 A5 5 0 0 0 5 5",                // end point equals start
        "M0 0 A5 5 1e38 1 1 10 0",            // huge rotation angle
        "M-3e38 0 A3e38 3e38 0 1 0 3e38 0",   // centre computation overflows
        "M0 0 a5 5 0 1 1 1e-45 0",            // almost a full circle
    };
    for (const char* d : paths) {
        SCOPED_TRACE(d);
        std::string svg = SvgDocument(20, 20,
                                      std::string("<path d=\"") + d +
                                          " M12 12 L20 12\" stroke=\"red\" fill=\"none\"/>"
                                          "<rect x=\"12\" y=\"14\" width=\"8\" height=\"6\" "
                                          "fill=\"lime\"/>");
        std::vector<uint32_t> pixels = DrawText(svg, 20, 20);
        ASSERT_EQ(pixels.size(), 400u);
        EXPECT_EQ(pixels[17 * 20 + 16], 0xFF00FF00u);
    }
}

TEST(SingularTransforms, DrawNothingAndDoNotSpoilLaterDrawing) {
    for (const char* transform :
         {"scale(0)", "scale(0, 1)", "matrix(0 0 0 0 0 0)", "matrix(1 2 2 4 0 0)",
          "matrix(1e-30 0 0 1e-30 0 0)", "scale(1e-45)", "matrix(3e38 3e38 3e38 3e38 0 0)"}) {
        SCOPED_TRACE(transform);
        std::string svg = SvgDocument(20, 10,
                                      std::string("<g transform=\"") + transform +
                                          "\"><rect width=\"10\" height=\"10\" fill=\"red\" "
                                          "stroke=\"red\"/></g><rect x=\"10\" width=\"10\" "
                                          "height=\"10\" fill=\"lime\"/>");
        for (bool cache : {false, true}) {
            std::vector<uint32_t> pixels = DrawText(svg, 20, 10, cache);
            ASSERT_EQ(pixels.size(), 200u);
            EXPECT_EQ(pixels[5 * 20 + 15], 0xFF00FF00u) << "cache " << cache;
            EXPECT_EQ(pixels[5 * 20 + 5] >> 24, 0u) << "cache " << cache;
        }
    }
}

TEST(HugeSizes, DocumentSizesPastWhatCanBeAllocated) {
    for (const char* size :
         {"width=\"1e9\" height=\"1e9\"", "width=\"100000\" height=\"100000\"",
          "width=\"3e38\" height=\"1\"", "width=\"-5\" height=\"1e39\"",
          "width=\"32767\" height=\"32767\"", "width=\"16000\" height=\"16000\""}) {
        SCOPED_TRACE(size);
        TempSvgFile file(std::string("<svg ") + size +
                         "><rect width=\"100%\" height=\"100%\" fill=\"red\"/></svg>");
        ExpectClean(RunInChild([&] {
                        CKelSvg picture;
                        picture.CommandParseSVGFile(file.PathBuffer());
                        picture.CommandCreateBitmapCache(); // the document's own size
                        return true;
                    }),
                    size);
        ExpectToolSurvives(file.Path());
        ExpectToolSurvives(file.Path(), {"--cache"});
    }
}

// A tiny file may ask for an image of gigabytes: the tool refuses it before
// allocating, and renders it at a size given on the command line.
TEST(HugeSizes, TheToolRefusesImagesPastItsAreaLimit) {
    TempSvgFile file(
        "<svg width=\"16000\" height=\"16000\"><rect width=\"100%\" height=\"100%\"/></svg>");
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>>{{}, {"--cache"}, {"--width", "8000"}}) {
        TempSvgFile out("");
        std::vector<std::string> args = options;
        args.push_back(file.Path());
        args.push_back(out.Path());
        ChildRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << run.errors;
        EXPECT_NE(run.errors.find("pixels, more than"), std::string::npos) << run.errors;
        EXPECT_LT(run.peakKb, 100 * 1024 + (kPeakMemoryKb - 400 * 1024));
    }
    TempSvgFile out("");
    ChildRun run = RunTool({"--width", "64", file.Path(), out.Path()});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
}

TEST(HugeSizes, WindowOfAHundredThousandSquaredThenACacheRequest) {
    TempSvgFile file(SvgDocument(10, 10, "<rect width=\"10\" height=\"10\" fill=\"lime\"/>"));
    ChildRun run = RunInChild([&] {
        CKelSvg picture;
        picture.CommandParseSVGFile(file.PathBuffer());
        picture.CommandSetSVGWinRect(0, 0, 100000, 100000);
        picture.CommandCreateBitmapCache();
        int x, y, width, height;
        picture.CommandGetSVGWinRect(x, y, width, height);
        if (width != 100000 || height != 100000)
            return false;
        // A window that could be allocated but would take gigabytes gets no
        // cache either; draws then render the document directly.
        picture.CommandSetSVGWinRect(0, 0, 16000, 16000);
        picture.CommandCreateBitmapCache();
        std::vector<uint32_t> pixels = Snapshot(picture, 10, 10).pixels;
        if (pixels.size() != 100 || pixels[55] != 0xFF00FF00u)
            return false;
        // The ordinary cache still works afterwards.
        picture.CommandSetSVGWinRect(0, 0, 10, 10);
        picture.CommandCreateBitmapCache();
        pixels = Snapshot(picture, 10, 10).pixels;
        return pixels.size() == 100 && pixels[55] == 0xFF00FF00u;
    });
    ExpectClean(run, "window");

    for (int side : {100000, -100000, 0, 2147483647}) {
        CKelSvg picture;
        picture.CommandParseSVGFile(file.PathBuffer());
        picture.CommandSetSVGWinRect(side, side, side, side);
        picture.CommandCreateBitmapCache();
        picture.CommandSetSVGWinRect(-2147483647 - 1, 2147483647, side, -side);
        picture.CommandCreateBitmapCache();
    }
}

// A size past the int range is reported as the nearest int, and a draw with
// a cache request at that size neither misbehaves nor allocates.
TEST(HugeSizes, DocumentSizePastTheIntRange) {
    TempSvgFile file("<svg width=\"1e30\" height=\"-5e19\"><rect width=\"5\" height=\"5\"/></svg>");
    CKelSvg picture;
    picture.CommandParseSVGFile(file.PathBuffer());
    int x = 1, y = 1, width = 0, height = 0;
    picture.CommandGetSVGWinRect(x, y, width, height);
    EXPECT_EQ(width, 2147483647);
    EXPECT_EQ(height, -2147483647 - 1);
    picture.CommandCreateBitmapCache();
    Snapshot(picture, 4, 4);
}

// Copies of copies; then each with a style record and l0 a long path.
TEST(UseAmplification, CopiesAreBoundedInMemory) {
    TempSvgFile file(SvgDocument(10, 10, UseBomb("<rect id=\"l0\" width=\"1\" height=\"1\"/>")));
    ExpectLibrarySurvives(file.Path());
    ExpectToolSurvives(file.Path());
    TempSvgFile styled(SvgDocument(
        10, 10,
        UseBomb("<path id=\"l0\" fill=\"red\" d=\"M0 0" + Repeat(" l1 1", 5000) + "\"/>",
                " fill=\"green\"", " stroke=\"red\"")));
    ExpectLibrarySurvives(styled.Path());
}

TEST(BinaryBytes, EveryByteValueInsideAttributesAndText) {
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        if (c != '"' && c != '<' && c != '&')
            bytes += static_cast<char>(c);
    std::string body;
    for (const char* attribute : {"d", "points", "transform", "style", "fill", "stroke-width",
                                  "viewBox", "width", "xlink:href", "id"})
        body += std::string("<path ") + attribute + "=\"" + bytes + "\"/>";
    body += "<text>" + bytes + "</text>";
    TempSvgFile file(SvgDocument(10, 10, body));
    ExpectLibrarySurvives(file.Path());
    ExpectToolSurvives(file.Path());
}

// Images refused from their header, damaged, a bomb within the limits, and
// references that leave the folder: the rest of the document is drawn.
TEST(HostileImages, TheRestOfTheDocumentIsDrawn) {
    for (const char* name :
         {"image-huge-header.svg", "image-damaged.svg", "image-escape.svg", "image-bomb.svg"}) {
        SCOPED_TRACE(name);
        std::vector<uint32_t> pixels = DrawFile(kHostileDir + "/" + name, 40, 40);
        ASSERT_EQ(pixels.size(), 1600u);
        EXPECT_EQ(pixels[35 * 40 + 35], 0xFF00FF00u);
        bool bomb = std::string(name) == "image-bomb.svg";
        EXPECT_EQ(pixels[5 * 40 + 5], bomb ? 0xFF000000u : 0u);
    }
}

// 50 MB of base64 (a 2 × 2 picture carrying a private chunk) is decoded within
// a bounded multiple of its size, and drawn.
TEST(HostileImages, AFiftyMegabyteDataUrl) {
    std::unique_ptr<TempSvgFile> file;
    {
        Bytes red = {0, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0};
        Bytes png = PngBytes(2, 2, 8, 2, red, false, {}, {}, size_t(75) << 19);
        std::string svg =
            SvgDocument(40, 40, "<image width='40' height='40' href='" + DataUrl(png) + "'/>");
        ASSERT_GT(svg.size(), 50u << 20);
        file.reset(new TempSvgFile(svg));
    }
    ExpectClean(RunInChild([&] { return Painted(DrawFile(file->Path(), 40, 40)) == 1600; }),
                "data URL");
    ExpectToolSurvives(file->Path());
}

// Deep nesting of opacity and masks at a large size, and clip paths and masks
// that refer to themselves or form long chains.
TEST(HostileLayers, DeepNestingAndReferenceCyclesDrawWithinMemory) {
    struct Case {
        const char* file;
        int size;
    } cases[] = {
        {"opacity-nesting.svg", 2000}, {"clip-chain.svg", 200}, {"clip-mask-cycles.svg", 200}};
    for (const Case& c : cases) {
        std::string path = kHostileDir + "/" + c.file;
        ExpectClean(RunInChild([&] {
                        return Painted(DrawFile(path, c.size, c.size)) > 0 &&
                               Painted(DrawFile(path, c.size, c.size, true)) > 0;
                    }),
                    c.file);
    }
}

} // namespace

// Patterns and markers past their budgets: a tile of a thousandth of a unit
// over a large picture is rendered once, as its average colour; 100,000
// markers on one path are all placed, a document places 250,000 at most, and
// markers inside themselves end.
TEST(HostileServers, TinyTilesAndManyMarkersStayWithinBudgets) {
    ExpectClean(RunInChild([&] {
                    std::vector<uint32_t> tiles =
                        DrawFile(kHostileDir + "/pattern-tiny-tile.svg", 500, 500);
                    return (tiles[250 * 500 + 250] >> 24) > 0x80 && Painted(tiles) == 500 * 500;
                }),
                "pattern-tiny-tile.svg");
    ExpectClean(RunInChild([&] {
                    return Painted(DrawFile(kHostileDir + "/marker-self.svg", 300, 300)) > 0;
                }),
                "marker-self.svg");
    auto placed = [](const std::string& path) {
        ParsedDocument doc(path);
        const auto* shape = dynamic_cast<const SvgFigureElement*>(doc.At({1}));
        return shape && shape->GetMarkers() ? shape->GetMarkers()->Instances().size() : 0;
    };
    EXPECT_EQ(placed("<defs><marker id='m'><rect width='3' height='3'/></marker></defs><path "
                     "d='M0 0" +
                     Repeat("h1v1", 50000) +
                     "' marker-start='url(#m)' "
                     "marker-mid='url(#m)' marker-end='url(#m)'/>"),
              100001u);
    EXPECT_EQ(placed("<defs><marker id='m'/></defs><path d='M0 0" + Repeat("h1v1", 150000) +
                     "' marker-mid='url(#m)'/>"),
              size_t(SvgMarkerPlacement::kMaxInstances));
}
