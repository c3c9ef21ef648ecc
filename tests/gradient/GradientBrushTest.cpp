// The brushes the gradients make: rectangle, colours, preset blend, wrap mode,
// and what a gradient that cannot be made gives.

#include "GradientHarness.h"

#include "document/SvgLinearGradientElement.h"
#include "document/SvgRadialGradientElement.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using namespace Gdiplus;

namespace {

const GpRect kNoBounds(0, 0, 0, 0);

struct Blend {
    std::vector<ARGB> colors;
    std::vector<REAL> positions;
};

Blend LineBlend(GpBrush* brush) {
    Blend blend;
    INT count = 0;
    GdipGetLinePresetBlendCount(static_cast<GpLineGradient*>(brush), &count);
    if (count < 2)
        return blend;
    blend.colors.resize(count);
    blend.positions.resize(count);
    GdipGetLinePresetBlend(static_cast<GpLineGradient*>(brush), blend.colors.data(),
                           blend.positions.data(), count);
    return blend;
}

Blend PathBlend(GpBrush* brush) {
    Blend blend;
    INT count = 0;
    GdipGetPathGradientPresetBlendCount(static_cast<GpPathGradient*>(brush), &count);
    if (count < 2)
        return blend;
    blend.colors.resize(count);
    blend.positions.resize(count);
    GdipGetPathGradientPresetBlend(static_cast<GpPathGradient*>(brush), blend.colors.data(),
                                   blend.positions.data(), count);
    return blend;
}

GpRect LineRect(GpBrush* brush) {
    GpRect rect(-1, -1, -1, -1);
    GdipGetLineRectI(static_cast<GpLineGradient*>(brush), &rect);
    return rect;
}

void ExpectRect(const GpRect& rect, INT x, INT y, INT width, INT height) {
    EXPECT_EQ(rect.X, x);
    EXPECT_EQ(rect.Y, y);
    EXPECT_EQ(rect.Width, width);
    EXPECT_EQ(rect.Height, height);
}

// The brush of the gradient with the given id in a parsed body.
std::unique_ptr<GdiBrush> BrushOf(ParsedDocument& doc, const char* id, unsigned alpha = 255,
                                  const GpRect& bounds = kNoBounds) {
    auto* server = dynamic_cast<SvgPaintServer*>(doc.Find(id));
    EXPECT_NE(server, nullptr) << id;
    return std::unique_ptr<GdiBrush>(server ? server->CreateBrush(bounds, alpha) : nullptr);
}

const char* kRedBlue = "<stop offset=\"0\" stop-color=\"red\"/><stop offset=\"1\" "
                       "stop-color=\"blue\"/>";

} // namespace

TEST(LinearGradientBrush, RedToBlueOverItsRectangle) {
    ParsedDocument doc(std::string("<linearGradient id=\"g\" x1=\"0\" y1=\"0\" x2=\"200\" "
                                   "y2=\"100\">") +
                       kRedBlue + "</linearGradient>");
    auto brush = BrushOf(doc, "g");
    ASSERT_NE(brush, nullptr);
    ASSERT_NE(brush->Get(), nullptr);
    EXPECT_EQ(brush->GetLastStatus(), Ok);
    GpBrushType type;
    GdipGetBrushType(brush->Get(), &type);
    EXPECT_EQ(type, BrushTypeLinearGradient);
    ExpectRect(LineRect(brush->Get()), 0, 0, 200, 100);
    ARGB colors[2] = {};
    GdipGetLineColors(static_cast<GpLineGradient*>(brush->Get()), colors);
    EXPECT_EQ(colors[0], 0xFFFF0000u);
    EXPECT_EQ(colors[1], 0xFF0000FFu);
    GpWrap wrap = WrapModeClamp;
    GdipGetLineWrapMode(static_cast<GpLineGradient*>(brush->Get()), &wrap);
    EXPECT_EQ(wrap, WrapModeTile);
    Blend blend = LineBlend(brush->Get());
    EXPECT_EQ(blend.colors, (std::vector<ARGB>{0xFFFF0000u, 0xFF0000FFu}));
    EXPECT_EQ(blend.positions, (std::vector<REAL>{0.0f, 1.0f}));
}

TEST(LinearGradientBrush, RectangleIsTruncatedAndStopsKeepTheirOrder) {
    ParsedDocument doc("<linearGradient id=\"g\" x1=\"10.9\" y1=\"-3.7\" x2=\"110.2\" y2=\"20\">"
                       "<stop offset=\"0\" stop-color=\"red\"/>"
                       "<stop offset=\"0.5\" stop-color=\"lime\"/>"
                       "<stop offset=\"1\" stop-color=\"blue\"/></linearGradient>");
    auto brush = BrushOf(doc, "g", 127);
    ASSERT_NE(brush, nullptr);
    ExpectRect(LineRect(brush->Get()), 10, -3, 99, 23);
    Blend blend = LineBlend(brush->Get());
    EXPECT_EQ(blend.colors, (std::vector<ARGB>{0x7FFF0000u, 0x7F00FF00u, 0x7F0000FFu}));
    EXPECT_EQ(blend.positions, (std::vector<REAL>{0.0f, 0.5f, 1.0f}));
}

TEST(LinearGradientBrush, BlendNotFromZeroToOneIsRefused) {
    ParsedDocument doc("<linearGradient id=\"inner\" x2=\"200\" y2=\"100\">"
                       "<stop offset=\"0.2\" stop-color=\"red\"/>"
                       "<stop offset=\"0.8\" stop-color=\"blue\"/></linearGradient>"
                       "<linearGradient id=\"single\" x2=\"200\" y2=\"100\">"
                       "<stop offset=\"0\" stop-color=\"lime\"/></linearGradient>");
    for (const char* id : {"inner", "single"}) {
        auto brush = BrushOf(doc, id);
        ASSERT_NE(brush, nullptr) << id;
        ASSERT_NE(brush->Get(), nullptr) << id;
        // The refusal is kept with the brush, which keeps its two colours.
        EXPECT_EQ(brush->GetLastStatus(), InvalidParameter) << id;
        EXPECT_TRUE(LineBlend(brush->Get()).colors.empty()) << id;
    }
    auto inner = BrushOf(doc, "inner");
    ARGB colors[2] = {};
    GdipGetLineColors(static_cast<GpLineGradient*>(inner->Get()), colors);
    EXPECT_EQ(colors[0], 0xFFFF0000u);
    EXPECT_EQ(colors[1], 0xFF0000FFu);
}

TEST(LinearGradientBrush, EmptyRectanglesGiveABrushWithoutHandle) {
    ParsedDocument doc(std::string("<linearGradient id=\"defaults\">") + kRedBlue +
                       "</linearGradient>"
                       "<linearGradient id=\"vertical\" x1=\"50\" y1=\"0\" x2=\"50\" y2=\"100\">" +
                       kRedBlue +
                       "</linearGradient>"
                       "<linearGradient id=\"thin\" x1=\"0\" y1=\"0.2\" x2=\"100\" y2=\"0.9\">" +
                       kRedBlue +
                       "</linearGradient>"
                       "<linearGradient id=\"box\" gradientUnits=\"objectBoundingBox\" "
                       "x2=\"100\" y2=\"100\">" +
                       kRedBlue +
                       "</linearGradient>"
                       "<linearGradient id=\"other\" gradientUnits=\"userspaceonuse\" "
                       "x2=\"100\" y2=\"100\">" +
                       kRedBlue + "</linearGradient>");
    for (const char* id : {"defaults", "vertical", "thin", "box", "other"}) {
        auto brush = BrushOf(doc, id);
        ASSERT_NE(brush, nullptr) << id;
        EXPECT_EQ(brush->Get(), nullptr) << id;
        EXPECT_NE(brush->GetLastStatus(), Ok) << id;
    }
    // In object units the rectangle is the bounds the caller gives.
    auto box = BrushOf(doc, "box", 255, GpRect(5, 6, 70, 80));
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->Get(), nullptr);
    ExpectRect(LineRect(box->Get()), 5, 6, 70, 80);
}

TEST(LinearGradientBrush, WithoutStopsThereIsNoBrush) {
    ParsedDocument doc("<linearGradient id=\"empty\" x2=\"100\" y2=\"100\"/>"
                       "<linearGradient id=\"others\" x2=\"100\" y2=\"100\"><desc/>"
                       "<g><stop offset=\"0\"/></g></linearGradient>"
                       "<radialGradient id=\"radial\" r=\"10\"/>");
    for (const char* id : {"empty", "others", "radial"})
        EXPECT_EQ(BrushOf(doc, id), nullptr) << id;
}

TEST(LinearGradientBrush, RectangleOfHugeCoordinatesSaturates) {
    // Truncating these into whole numbers must not overflow.
    GpRect huge =
        SvgGradientBrush::LinearRect("userSpaceOnUse", -3e38f, 1e10f, 3e38f, -1e10f, kNoBounds);
    ExpectRect(huge, INT_MIN, INT_MAX, INT_MAX, INT_MIN);
    GpRect small =
        SvgGradientBrush::LinearRect("userSpaceOnUse", -0.9f, 2.5f, -10.5f, 7.9f, kNoBounds);
    ExpectRect(small, 0, 2, -9, 5);
    ExpectRect(SvgGradientBrush::LinearRect(nullptr, 1, 2, 3, 4, kNoBounds), 0, 0, 0, 0);

    ParsedDocument doc(std::string("<linearGradient id=\"g\" x1=\"-3e38\" x2=\"3e38\" "
                                   "y2=\"1e30\">") +
                       kRedBlue + "</linearGradient>");
    auto brush = BrushOf(doc, "g");
    ASSERT_NE(brush, nullptr);
}

TEST(RadialGradientBrush, CircleWithReversedStops) {
    ParsedDocument doc("<radialGradient id=\"g\" cx=\"50\" cy=\"50\" r=\"40\" fx=\"10\" "
                       "gradientUnits=\"objectBoundingBox\">"
                       "<stop offset=\"0\" stop-color=\"white\"/>"
                       "<stop offset=\"0.25\" stop-color=\"red\"/>"
                       "<stop offset=\"1\" stop-color=\"black\"/></radialGradient>");
    auto brush = BrushOf(doc, "g", 255, GpRect(1, 2, 3, 4));
    ASSERT_NE(brush, nullptr);
    ASSERT_NE(brush->Get(), nullptr);
    EXPECT_EQ(brush->GetLastStatus(), Ok);
    GpBrushType type;
    GdipGetBrushType(brush->Get(), &type);
    EXPECT_EQ(type, BrushTypePathGradient);
    auto* gradient = static_cast<GpPathGradient*>(brush->Get());
    GpRectF rect;
    GdipGetPathGradientRect(gradient, &rect);
    EXPECT_FLOAT_EQ(rect.X, 10.0f);
    EXPECT_FLOAT_EQ(rect.Y, 10.0f);
    EXPECT_FLOAT_EQ(rect.Width, 80.0f);
    EXPECT_FLOAT_EQ(rect.Height, 80.0f);
    GpPointF centre;
    GdipGetPathGradientCenterPoint(gradient, &centre);
    EXPECT_FLOAT_EQ(centre.X, 50.0f); // fx is not used
    GpWrap wrap = WrapModeClamp;
    GdipGetPathGradientWrapMode(gradient, &wrap);
    EXPECT_EQ(wrap, WrapModeTileFlipXY);
    Blend blend = PathBlend(brush->Get());
    EXPECT_EQ(blend.colors, (std::vector<ARGB>{0xFF000000u, 0xFFFF0000u, 0xFFFFFFFFu}));
    EXPECT_EQ(blend.positions, (std::vector<REAL>{0.0f, 0.75f, 1.0f}));
}

TEST(RadialGradientBrush, RefusedBlendAndEmptyCircle) {
    ParsedDocument doc("<radialGradient id=\"inner\" cx=\"50\" cy=\"50\" r=\"40\">"
                       "<stop offset=\"0.2\" stop-color=\"white\"/>"
                       "<stop offset=\"0.8\" stop-color=\"black\"/></radialGradient>"
                       "<radialGradient id=\"zero\" cx=\"50\" cy=\"50\">"
                       "<stop offset=\"0\" stop-color=\"white\"/>"
                       "<stop offset=\"1\" stop-color=\"black\"/></radialGradient>"
                       "<radialGradient id=\"negative\" r=\"-5\">"
                       "<stop offset=\"0\" stop-color=\"white\"/></radialGradient>");
    auto inner = BrushOf(doc, "inner", 100);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(inner->Get(), nullptr);
    EXPECT_EQ(inner->GetLastStatus(), InvalidParameter);
    EXPECT_TRUE(PathBlend(inner->Get()).colors.empty());

    // A circle without area still gives a brush; it paints nothing (see the
    // rendering tests).
    for (const char* id : {"zero", "negative"})
        EXPECT_NE(BrushOf(doc, id), nullptr) << id;
}
