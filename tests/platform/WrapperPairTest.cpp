// The back-end wrapper pairs: a handle and the last failed status.

#include <gtest/gtest.h>

#include "engine/GdiBrush.h"
#include "engine/GdiGraphics.h"
#include "engine/GdiImage.h"
#include "engine/GdiMatrix.h"
#include "engine/GdiPath.h"
#include "engine/GdiPen.h"

using namespace Gdiplus;

namespace {

TEST(WrapperPair, RecordKeepsTheLastFailure) {
    GdiPath* path = GdiPath::Create();
    ASSERT_NE(nullptr, path);
    EXPECT_NE(nullptr, path->handle);
    EXPECT_EQ(Ok, path->status);
    EXPECT_EQ(InvalidParameter, path->Record(GdipAddPathArc(path->handle, 0, 0, 0, 0, 0, 90)));
    EXPECT_EQ(InvalidParameter, path->status);
    EXPECT_EQ(Ok, path->Record(GdipAddPathLine(path->handle, 0, 0, 1, 1)));
    EXPECT_EQ(InvalidParameter, path->status) << "a success does not clear it";
    GdiPath* clone = path->Clone();
    INT n = 0;
    GdipGetPointCount(clone->handle, &n);
    EXPECT_EQ(2, n);
    delete clone;
    delete path;
}

TEST(WrapperPair, FailedCreationLeavesAUsableObject) {
    GdiImage* image = GdiImage::CreateBitmap(40000, 40000);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(nullptr, image->handle);
    EXPECT_NE(Ok, image->status);
    GdiGraphics* graphics = GdiGraphics::FromImage(image->handle);
    EXPECT_EQ(nullptr, graphics->handle);
    EXPECT_EQ(InvalidParameter, graphics->status);
    // Later calls on the empty handle simply fail.
    EXPECT_EQ(InvalidParameter,
              graphics->Record(GdipSetSmoothingMode(graphics->handle, SmoothingModeAntiAlias)));
    delete graphics;
    delete image;

    GdiBrush* brush = new GdiBrush;
    GpRect empty(0, 0, 0, 10);
    GpLineGradient* line = nullptr;
    brush->Record(GdipCreateLineBrushFromRectI(&empty, 0, 0, LinearGradientModeHorizontal,
                                               WrapModeTile, &line));
    brush->handle = line;
    EXPECT_EQ(OutOfMemory, brush->status);
    GdiBrush* clone = brush->Clone();
    EXPECT_EQ(nullptr, clone->handle);
    EXPECT_EQ(InvalidParameter, clone->status);
    delete clone;
    delete brush;
}

TEST(WrapperPair, OwnershipOfTheHandle) {
    GdiImage* image = GdiImage::CreateBitmap(4, 4);
    ASSERT_EQ(Ok, image->status);
    GpGraphics* native = nullptr;
    ASSERT_EQ(Ok, GdipGetImageGraphicsContext(image->handle, &native));
    delete new GdiGraphics(native, false); // a host's graphics stays alive
    EXPECT_EQ(Ok, GdipGraphicsClear(native, 0xFF00FF00));
    delete new GdiGraphics(native, true);

    GdiMatrix* m = GdiMatrix::Create(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(Ok, m->SetElements(2, 0, 0, 2, 0, 0));
    REAL e[6];
    GdipGetMatrixElements(m->handle, e);
    EXPECT_EQ(2, e[3]);
    GpMatrix* detached = m->Detach();
    delete m;
    EXPECT_EQ(Ok, GdipDeleteMatrix(detached));

    GdiPen* pen = GdiPen::Create(0xFF000000, 2);
    GdiPen* penClone = pen->Clone();
    REAL width = 0;
    GdipGetPenWidth(penClone->handle, &width);
    EXPECT_EQ(2, width);
    delete penClone;
    delete pen;
    GdiBrush* solid = GdiBrush::CreateSolid(0xFF112233);
    EXPECT_NE(nullptr, solid->handle);
    delete solid;
    delete image;
}

} // namespace

#include "engine/GdiText.h"

namespace {

TEST(WrapperPair, TextObjects) {
    GdiFontFamily* missing = GdiFontFamily::Create(u"No Such Family Anywhere");
    ASSERT_NE(nullptr, missing);
    EXPECT_EQ(nullptr, missing->handle);
    EXPECT_EQ(FontFamilyNotFound, missing->status);
    delete missing;

    GdiFontFamily* family = GdiFontFamily::Create(u"Times New Roman");
    ASSERT_EQ(Ok, family->status);
    GdiFont font;
    font.Record(GdipCreateFont(family->handle, 12, FontStyleBold, UnitPixel, &font.handle));
    GdiFont* clone = font.Clone();
    INT style = 0;
    GdipGetFontStyle(clone->handle, &style);
    EXPECT_EQ(FontStyleBold, style);
    delete clone;
    delete family;

    GdiStringFormat* format = GdiStringFormat::Create(StringFormatFlagsNoClip);
    format->Record(GdipSetStringFormatAlign(format->handle, StringAlignmentCenter));
    GdiStringFormat* copy = format->Clone();
    StringAlignment align = StringAlignmentNear;
    GdipGetStringFormatAlign(copy->handle, &align);
    EXPECT_EQ(StringAlignmentCenter, align);
    delete copy;
    delete format;
}

} // namespace
