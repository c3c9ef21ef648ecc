#include "HostBitmap.h"
#include "SvgTestSupport.h"
#include "interface/SvgCommand.h"

#include <gtest/gtest.h>

#include "engine/GdiImage.h"

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
    EXPECT_EQ(target.At(45, 5), kRed);   // children of image
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

} // namespace
