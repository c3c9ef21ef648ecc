#include "HostBitmap.h"
#include "SvgTestSupport.h"
#include "interface/SvgCommand.h"

#include <gtest/gtest.h>

#include "document/SvgRootElement.h"
#include "engine/GdiGraphics.h"
#include "engine/GdiImage.h"
#include "engine/SvgBandDraw.h"

#include <string>

namespace {

void SendRect(SvgEngine& engine, int code, int x, int y, int width, int height) {
    SvgCommand command(code);
    command.AllocateRect();
    command.intArray[0] = x;
    command.intArray[1] = y;
    command.intArray[2] = width;
    command.intArray[3] = height;
    engine.Dispatch(command);
}

void Draw(SvgEngine& engine, HostBitmap& target) {
    Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(target.bitmap()));
    engine.DrawToGraphics(&graphics);
}

const char* kRedSquare = "<rect width=\"10\" height=\"10\" fill=\"#ff0000\"/>";

TEST(SvgEngine, DrawBeforeParseDrawsNothing) {
    SvgEngine engine;
    SendRect(engine, SvgCommandSetWinRect, 0, 0, 20, 20);
    HostBitmap target(20, 20, kBlue);
    Draw(engine, target);
    engine.DrawToDeviceContext(target.dc());
    engine.DrawToGraphics(nullptr);
    engine.DrawToDeviceContext(nullptr);
    EXPECT_EQ(target.At(5, 5), kBlue);
    EXPECT_EQ(engine.GetRoot(), nullptr);
}

TEST(SvgEngine, AFileWithoutADocumentLeavesNone) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"30\" height=\"20\"", kRedSquare));
    ASSERT_NE(engine.GetRoot(), nullptr);
    engine.Parse("/nonexistent/kelsvg.svg");
    EXPECT_EQ(engine.GetRoot(), nullptr);
    EXPECT_FLOAT_EQ(engine.GetWidth(), 30);
    EXPECT_FLOAT_EQ(engine.GetHeight(), 20);
    HostBitmap target(30, 20, kBlue);
    Draw(engine, target);
    EXPECT_EQ(target.At(5, 5), kBlue);
    ParseText(engine, "<html><svg width=\"5\" height=\"5\"/></html>");
    EXPECT_EQ(engine.GetRoot(), nullptr);
    engine.Parse(nullptr);
    EXPECT_EQ(engine.GetRoot(), nullptr);
}

TEST(SvgEngine, BothDrawPathsPutThePictureAtTheWindowOrigin) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"10\" height=\"10\"", kRedSquare));
    SendRect(engine, SvgCommandDrawWinRect, 20, 10, 10, 10);
    HostBitmap viaGraphics(40, 30, kBlue);
    Draw(engine, viaGraphics);
    HostBitmap viaDc(40, 30, kBlue);
    engine.DrawToDeviceContext(viaDc.dc());
    for (HostBitmap* target : {&viaGraphics, &viaDc}) {
        EXPECT_EQ(target->At(25, 15), kRed);
        EXPECT_EQ(target->At(15, 15), kBlue);
        EXPECT_EQ(target->At(25, 5), kBlue);
    }
}

TEST(SvgEngine, CacheHasTheWindowSizeAndTransparentWhitePixels) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"99.9\" height=\"50\"", kRedSquare));
    engine.BuildBitmapCache();
    ASSERT_NE(engine.GetBitmapCache(), nullptr);
    UINT width = 0, height = 0;
    Gdiplus::GdipGetImageWidth(engine.GetBitmapCache()->handle, &width);
    Gdiplus::GdipGetImageHeight(engine.GetBitmapCache()->handle, &height);
    EXPECT_EQ(width, 99u);
    EXPECT_EQ(height, 50u);
    Gdiplus::ARGB pixel = 0;
    Gdiplus::GdipBitmapGetPixel(engine.GetBitmapCache()->GetBitmap(), 60, 30, &pixel);
    EXPECT_EQ(pixel, 0x00FFFFFFu);
    Gdiplus::GdipBitmapGetPixel(engine.GetBitmapCache()->GetBitmap(), 5, 5, &pixel);
    EXPECT_EQ(pixel, kRed);
}

TEST(SvgEngine, CacheIsDrawnAtTheWindowOriginAndShowsTheWindowThrough) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"100\" height=\"50\"", kRedSquare));
    SendRect(engine, SvgCommandDrawWinRect, 20, 10, 100, 50);
    engine.BuildBitmapCache();
    // A later parse does not change what the cache shows.
    ParseText(engine, Svg("width=\"100\" height=\"50\"",
                          "<rect width=\"100\" height=\"50\" fill=\"#008000\"/>"));
    SendRect(engine, SvgCommandDrawWinRect, 20, 10, 100, 50);
    HostBitmap viaGraphics(200, 100, kBlue);
    Draw(engine, viaGraphics);
    HostBitmap viaDc(200, 100, kBlue);
    engine.DrawToDeviceContext(viaDc.dc());
    for (HostBitmap* target : {&viaGraphics, &viaDc}) {
        EXPECT_EQ(target->At(25, 15), kRed);
        EXPECT_EQ(target->At(15, 5), kBlue);
        EXPECT_EQ(target->At(80, 40), kBlue);
    }
}

TEST(SvgEngine, CacheIsStretchedAfterASizeChange) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"100\" height=\"50\"", kRedSquare));
    engine.BuildBitmapCache();
    SendRect(engine, SvgCommandDrawWinRect, 0, 0, 200, 100);
    HostBitmap target(200, 100, kBlue);
    Draw(engine, target);
    EXPECT_EQ(target.At(15, 15), kRed);
    EXPECT_EQ(target.At(25, 25), kBlue);
}

TEST(SvgEngine, NoCacheBelowOnePixel) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"0.5\" height=\"50\"", ""));
    engine.BuildBitmapCache();
    EXPECT_EQ(engine.GetBitmapCache(), nullptr);
    // Without a document the cache is still made, and stays transparent.
    SvgEngine empty;
    SendRect(empty, SvgCommandSetWinRect, 0, 0, 4, 4);
    empty.BuildBitmapCache();
    ASSERT_NE(empty.GetBitmapCache(), nullptr);
}

TEST(SvgEngine, UnknownCommandsAreIgnored) {
    SvgEngine engine;
    SendRect(engine, SvgCommandSetWinRect, 1, 2, 3, 4);
    for (int code : {0, 7, 99, -1}) {
        SvgCommand command(code);
        command.AllocateRect();
        engine.Dispatch(command);
    }
    SvgCommand noArray(SvgCommandSetWinRect);
    engine.Dispatch(noArray);
    EXPECT_FLOAT_EQ(engine.GetX(), 1);
    EXPECT_FLOAT_EQ(engine.GetHeight(), 4);
}

TEST(SvgEngine, StructureDecidesWhatIsDrawn) {
    SvgEngine engine;
    ParseText(engine,
              Svg("width=\"60\" height=\"20\"",
                  "<defs><rect id=\"r\" x=\"0\" width=\"10\" height=\"10\" fill=\"red\"/></defs>"
                  "<desc><rect x=\"10\" width=\"10\" height=\"10\" fill=\"red\"/></desc>"
                  "<symbol id=\"s\" viewBox=\"0 0 2 2\"><rect width=\"1\" height=\"1\" "
                  "fill=\"red\"/></symbol>"
                  "<use xlink:href=\"#s\" x=\"20\" width=\"20\" height=\"20\"/>"
                  "<image x=\"40\"><rect x=\"40\" width=\"10\" height=\"10\" fill=\"red\"/></image>"
                  "<use xlink:href=\"#r\" x=\"50\" y=\"10\"/>"));
    HostBitmap target(60, 20, kWhite);
    Draw(engine, target);
    EXPECT_EQ(target.At(5, 5), kWhite); // defs: not drawn
    EXPECT_EQ(target.At(15, 5), kRed);  // desc: drawn
    // The symbol through use, scaled by 10, with its own fill.
    EXPECT_EQ(target.At(25, 5), kRed);
    EXPECT_EQ(target.At(35, 5), kWhite); // only its 1 x 1 square
    EXPECT_EQ(target.At(45, 5), kWhite); // children of image: not drawn
    // A use copy keeps its own style.
    EXPECT_EQ(target.At(55, 15), kRed);
}

TEST(SvgEngine, GroupTransformsNestAndRenderRestoresTheState) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"40\" height=\"40\"",
                          "<g transform=\"translate(10 10)\"><g transform=\"scale(2)\">" +
                              std::string(kRedSquare) + "</g></g>"));
    HostBitmap target(40, 40, kWhite);
    Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(target.bitmap()));
    Gdiplus::GpMatrix* before = nullptr;
    Gdiplus::GpMatrix* after = nullptr;
    Gdiplus::GdipCreateMatrix(&before);
    Gdiplus::GdipCreateMatrix(&after);
    graphics.TranslateTransform(1, 0);
    Gdiplus::GdipGetWorldTransform(graphics.GetNativeGraphics(), before);
    engine.DrawToGraphics(&graphics);
    Gdiplus::GdipGetWorldTransform(graphics.GetNativeGraphics(), after);
    float e1[6], e2[6];
    Gdiplus::GdipGetMatrixElements(before, e1);
    Gdiplus::GdipGetMatrixElements(after, e2);
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(e1[i], e2[i]);
    Gdiplus::GdipDeleteMatrix(before);
    Gdiplus::GdipDeleteMatrix(after);
    // 10 x 10 scaled by 2 at (10, 10), moved right by the host's own translation.
    EXPECT_EQ(target.At(10, 12), kWhite);
    EXPECT_EQ(target.At(12, 12), kRed);
    EXPECT_EQ(target.At(30, 28), kRed);
    EXPECT_EQ(target.At(32, 32), kWhite);
}

// A large document of plain shapes drawn in bands on several threads: exactly
// the pixels of one thread, across the seams between bands. Documents whose
// drawing goes through the engine (a clip path, text) stay on one thread.
TEST(SvgEngine, BandsOnThreadsDrawThePictureOfOneThread) {
    const int w = 1024, h = 1100;
    std::string body = "<g opacity='0.9' transform='rotate(2 512 550)'>";
    for (int i = 0; i < 2400; ++i) {
        std::string x = std::to_string(i * 37 % 1000), y = std::to_string(i * 91 % 1090);
        if (i % 3 == 0)
            body += "<path d='M" + x + " " + y + "c30 8 9 9-12 20z' stroke='tan'/>";
        else if (i % 3 == 1)
            body += "<circle cx='" + x + "' cy='" + y + "' r='9' fill='#" +
                    std::to_string(100000 + i * 7) + "' stroke='black' stroke-width='3'/>";
        else
            body += "<rect x='" + x + "' y='" + y + "' width='14' height='5' opacity='0.5'/>";
    }
    // A thick stroke whose outline ends above the second band reaches into it.
    std::string plain = SvgDocument(w, h,
                                    body + "</g><rect x='100' y='290' width='800' height='40' "
                                           "fill='none' stroke='navy' stroke-width='90'/>");
    auto draw = [&](const std::string& text, int threads, bool expectBands) {
        SvgEngine engine;
        ParseText(engine, text);
        auto target = std::make_unique<HostBitmap>(w, h, 0);
        if (threads == 1) {
            Draw(engine, *target);
        } else {
            Gdiplus::GpGraphics* native = nullptr;
            Gdiplus::GdipGetImageGraphicsContext(target->bitmap(), &native);
            GdiGraphics graphics(native);
            EXPECT_EQ(SvgBandDraw::Draw(*engine.GetRoot(), graphics, threads, double(w) * h),
                      expectBands);
        }
        return target;
    };
    auto one = draw(plain, 1, false);
    auto bands = draw(plain, 3, true);
    int differing = 0, ink = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            differing += one->At(x, y) != bands->At(x, y);
            ink += one->At(x, y) != 0;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(ink, w * h / 4);
    std::string clip = "<clipPath id='c'><rect width='500' height='500'/></clipPath>";
    draw(SvgDocument(w, h, clip + "<g clip-path='url(#c)'>" + body + "</g></g>"), 2, false);
    draw(SvgDocument(w, h, body + "<text y='40'>A</text></g>"), 2, false);
    std::string gradient = "<linearGradient id='g'><stop offset='0' stop-color='red'/>"
                           "<stop offset='1' stop-color='blue'/></linearGradient>";
    draw(SvgDocument(w, h, gradient + body + "<rect width='5' height='5' fill='url(#g)'/></g>"), 2,
         false);
}

// A large file read in two parts on two threads gives the document (and the
// picture) read on one: the children of the second part loaded beside the
// first's, or after them when they refer back to it (a `use`); a fault in
// either part keeps what comes before it; a style sheet in the second half
// applies to the whole.
TEST(SvgEngine, ALargeFileReadInTwoPartsIsTheFileReadWhole) {
    std::string shapes;
    for (int i = 0; i < 12000; ++i)
        shapes += "<g transform='translate(" + std::to_string(i % 97) + ")'><path d='M0 0h9v" +
                  std::to_string(i % 13 + 1) + "z' fill='#" +
                  std::to_string(100000 + i * 53 % 800000) + "'/></g>\n";
    std::string first = "<rect id='r' width='8' height='8' fill='red'/>" + shapes;
    std::vector<std::string> documents = {
        SvgDocument(120, 120, first + shapes),
        SvgDocument(120, 120, first + shapes + "<use href='#r' x='100' y='100'/>"),
        SvgDocument(120, 120, first + shapes + "<circle r='50'>" + shapes),
        SvgDocument(120, 120, "<circle r='50'>" + first + shapes),
        SvgDocument(120, 120, first + shapes + shapes + "<style>path{fill:lime}</style>"),
    };
    for (size_t d = 0; d < documents.size(); ++d) {
        SvgEngine whole, parts;
        parts.SetThreads(2);
        ParseText(whole, documents[d]);
        ParseText(parts, documents[d]);
        ASSERT_NE(whole.GetRoot(), nullptr);
        ASSERT_NE(parts.GetRoot(), nullptr);
        EXPECT_EQ(whole.GetParseResult(), parts.GetParseResult()) << d;
        EXPECT_EQ(whole.GetRoot()->GetChildren().size(), parts.GetRoot()->GetChildren().size());
        HostBitmap one(120, 120, kWhite), two(120, 120, kWhite);
        Draw(whole, one);
        Draw(parts, two);
        int differing = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x)
                differing += one.At(x, y) != two.At(x, y);
        EXPECT_EQ(differing, 0) << "document " << d;
    }
}

} // namespace
