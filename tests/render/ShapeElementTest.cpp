// The shape elements as loaded from a file: attributes into their figures,
// copies, and what of the cascade their painting takes.

#include "SvgTestSupport.h"

#include "document/ElementRegistry.h"
#include "document/SvgCircleElement.h"
#include "document/SvgEllipseElement.h"
#include "document/SvgLineElement.h"
#include "document/SvgRectElement.h"
#include "document/SvgRootElement.h"
#include "engine/SvgEngine.h"
#include "render/SvgCircleFigure.h"
#include "render/SvgEllipseFigure.h"
#include "render/SvgLineFigure.h"
#include "render/SvgPaintServer.h"
#include "render/SvgRectFigure.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <tuple>

#include <memory>

using namespace Gdiplus;

namespace {

// Paints one figure onto a scratch bitmap, so that its brush and pen exist.
void PaintOnce(SvgFigure* figure) {
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(10, 10, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    std::unique_ptr<GdiGraphics> graphics(GdiGraphics::FromImage(bitmap));
    figure->Paint(*graphics);
    graphics.reset();
    GdipDisposeImage(bitmap);
}

float PenWidthOf(SvgFigure* figure) {
    PaintOnce(figure);
    REAL width = -1;
    if (figure->GetStrokePen())
        GdipGetPenWidth(figure->GetStrokePen()->Get(), &width);
    return width;
}

} // namespace

TEST(ShapeElements, RegisteredWithTheirKinds) {
    ElementRegistry* registry = ElementRegistry::Instance();
    struct {
        const char* tag;
        int kind;
    } rows[] = {{"circle", 0}, {"ellipse", 1}, {"rect", 2}, {"line", 6}};
    for (auto& row : rows) {
        std::unique_ptr<SvgElement> element(registry->CreateElement(row.tag));
        ASSERT_NE(element, nullptr) << row.tag;
        EXPECT_EQ(element->GetKind(), row.kind);
        EXPECT_EQ(element->GetTagName(), row.tag);
        ASSERT_NE(element->GetFigure(), nullptr);
        EXPECT_EQ(element->GetFigure()->GetOwner(), element.get());
    }
    EXPECT_EQ(std::unique_ptr<SvgElement>(registry->CreateElement("Rect")), nullptr);
}

TEST(ShapeElements, MissingAttributesKeepTheDefaults) {
    ParsedDocument doc("<circle/><ellipse ry=\"4\"/><rect width=\"10\"/><line x2=\"7\" y2=\"8\"/>");
    auto* circle = doc.FigureAt<SvgCircleFigure>({0});
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->cx, 0);
    EXPECT_EQ(circle->r, 0);
    auto* ellipse = doc.FigureAt<SvgEllipseFigure>({1});
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->rx, 4); // a missing radius takes the other
    EXPECT_EQ(ellipse->ry, 4);
    auto* rect = doc.FigureAt<SvgRectFigure>({2});
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->width, 10);
    EXPECT_EQ(rect->height, 0);
    EXPECT_EQ(rect->rx, -1);
    EXPECT_EQ(rect->ry, -1);
    auto* line = doc.FigureAt<SvgLineFigure>({3});
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x1, 0);
    EXPECT_EQ(line->y1, 0);
    EXPECT_EQ(line->x2, 7);
    EXPECT_EQ(line->y2, 8);
}

TEST(ShapeElements, LengthsInUnitsEmAndPercent) {
    ParsedDocument doc("<circle cx=\"1in\" cy=\"2pc\" r=\"1em\"/>"
                       "<circle r=\"1em\" style=\"font-size:20px\"/>"
                       "<rect x=\"50%\" y=\"-10%\" width=\"50%\" height=\"25%\" rx=\"2mm\"/>"
                       "<circle r=\"10%\"/>",
                       "width=\"300\" height=\"400\" viewBox=\"0 0 200 100\"");
    auto* circle = doc.FigureAt<SvgCircleFigure>({0});
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->cx, 90);
    EXPECT_FLOAT_EQ(circle->cy, 30);
    EXPECT_FLOAT_EQ(circle->r, 12);
    auto* big = doc.FigureAt<SvgCircleFigure>({1});
    ASSERT_NE(big, nullptr);
    EXPECT_FLOAT_EQ(big->r, 20);
    auto* rect = doc.FigureAt<SvgRectFigure>({2});
    ASSERT_NE(rect, nullptr);
    // Percentages of the viewBox: x and width of its width, y and height of
    // its height, a radius of its diagonal over sqrt(2).
    EXPECT_FLOAT_EQ(rect->x, 100);
    EXPECT_FLOAT_EQ(rect->y, -10);
    EXPECT_FLOAT_EQ(rect->width, 100);
    EXPECT_FLOAT_EQ(rect->height, 25);
    EXPECT_NEAR(rect->rx, 7.0866f, 1e-3);
    EXPECT_NEAR(rect->ry, 7.0866f, 1e-3); // set by the path building
    auto* ring = doc.FigureAt<SvgCircleFigure>({3});
    ASSERT_NE(ring, nullptr);
    EXPECT_NEAR(ring->r, 15.811f, 1e-3);
}

TEST(ShapeElements, DeepCopiesThroughUse) {
    ParsedDocument doc("<g fill=\"green\"><circle id=\"c\" cx=\"5\" cy=\"6\" r=\"7\" fill=\"red\"/>"
                       "<line id=\"l\" x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\" stroke=\"red\"/>"
                       "<rect id=\"r\" width=\"9\" height=\"8\" rx=\"1\"/></g>"
                       "<use xlink:href=\"#c\"/><use xlink:href=\"#l\"/><use xlink:href=\"#r\"/>");
    auto* circle = doc.FigureAt<SvgCircleFigure>({1, 0});
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->cx, 5);
    EXPECT_EQ(circle->cy, 6);
    EXPECT_EQ(circle->r, 7);
    EXPECT_EQ(circle->GetOwner(), doc.At({1, 0}));
    // The copy's style: the source's own, inheriting from the use.
    EXPECT_EQ(circle->GetStyle()->parent, doc.At({1})->GetFigure()->GetStyle());
    EXPECT_TRUE(circle->GetStyle()->fill.set);
    EXPECT_FLOAT_EQ(circle->GetStyle()->fill.color.r, 1.0f);

    auto* line = doc.FigureAt<SvgLineFigure>({2, 0});
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x2, 3);
    EXPECT_EQ(line->y2, 4);

    auto* rect = doc.FigureAt<SvgRectFigure>({3, 0});
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->width, 9);
    EXPECT_EQ(rect->rx, 1);
    EXPECT_EQ(rect->ry, 1);
}

TEST(ShapeElements, FillRuleCapAndJoinInForceWhereverGiven) {
    ParsedDocument doc(
        "<g fill-rule=\"evenodd\" stroke-linecap=\"round\" stroke-linejoin=\"bevel\" "
        "stroke=\"red\"><rect width=\"10\" height=\"10\"/>"
        "<rect width=\"10\" height=\"10\" fill-rule=\"nonzero\" stroke-linecap=\"square\" "
        "stroke-linejoin=\"round\"/><g><rect width=\"10\" height=\"10\"/></g></g>");
    const struct {
        std::initializer_list<size_t> at;
        GpFillMode mode;
        LineCap cap;
        DashCap dashCap;
        LineJoin join;
    } rows[] = {{{0, 0}, FillModeAlternate, LineCapRound, DashCapRound, LineJoinBevel},
                {{0, 1}, FillModeWinding, LineCapSquare, KelDashCapSquare, LineJoinRound},
                {{0, 2, 0}, FillModeAlternate, LineCapRound, DashCapRound, LineJoinBevel}};
    for (const auto& row : rows) {
        auto* figure = doc.FigureAt<SvgRectFigure>(row.at);
        ASSERT_NE(figure, nullptr);
        PaintOnce(figure);
        GpFillMode mode;
        GdipGetPathFillMode(figure->GetPath()->Get(), &mode);
        EXPECT_EQ(mode, row.mode);
        ASSERT_NE(figure->GetStrokePen(), nullptr); // the colour is inherited
        GpPen* pen = figure->GetStrokePen()->Get();
        LineCap start, end;
        DashCap dashCap;
        LineJoin join;
        GdipGetPenStartCap(pen, &start);
        GdipGetPenEndCap(pen, &end);
        GdipGetPenDashCap197819(pen, &dashCap);
        GdipGetPenLineJoin(pen, &join);
        EXPECT_EQ(std::make_tuple(start, end, dashCap, join),
                  std::make_tuple(row.cap, row.cap, row.dashCap, row.join));
    }
}

TEST(ShapeElements, StrokeWidthsResolvedForThePen) {
    ParsedDocument doc(
        "<line stroke=\"red\" stroke-width=\"10%\"/>"
        "<g stroke-width=\"10%\"><line stroke=\"red\"/></g>"
        "<line stroke=\"red\" stroke-width=\"2.9\"/>"
        "<line stroke=\"red\" stroke-width=\"0.5\"/>"
        "<line stroke=\"red\" stroke-width=\"1em\" font-size=\"20\"/>"
        "<svg width=\"30\" height=\"40\"><line stroke=\"red\" stroke-width=\"10%\"/></svg>"
        "<line stroke=\"red\" stroke-width=\"0\"/>"
        "<line stroke=\"red\" stroke-width=\"-2\"/>",
        "width=\"300\" height=\"400\"");
    // As computed, not cut to whole numbers.
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({0})->GetFigure()), 35.355339f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({1, 0})->GetFigure()), 35.355339f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({2})->GetFigure()), 2.9f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({3})->GetFigure()), 0.5f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({4})->GetFigure()), 20.0f);
    EXPECT_FLOAT_EQ(PenWidthOf(doc.At({5, 0})->GetFigure()), 3.5355339f); // the nearest viewport
    // No width, no stroke (and no pen).
    EXPECT_EQ(PenWidthOf(doc.At({6})->GetFigure()), -1.0f);
    EXPECT_EQ(PenWidthOf(doc.At({7})->GetFigure()), -1.0f);
}

namespace {

// Stands in for a gradient: hands out a solid brush and notes what it was asked.
class FakeGradient : public SvgElement, public SvgPaintServer {
public:
    FakeGradient() : SvgElement(SvgKindLinearGradient, "linearGradient") {}
    bool ReadAttributes(TiXmlElement*) override { return true; }
    SvgElement* Clone() const override { return new FakeGradient(); }
    void CopyFrom(const SvgElement*) override {}
    GdiBrush* CreateBrush(const RectF& bounds, unsigned alpha) const override {
        ++calls;
        lastBounds = bounds;
        lastAlpha = alpha;
        return GdiBrush::CreateSolid((alpha << 24) | 0x00FFFF);
    }
    mutable int calls = 0;
    mutable RectF lastBounds{1, 1, 1, 1};
    mutable unsigned lastAlpha = 0;
};

} // namespace

TEST(ShapeElements, FillReferenceAsksThePaintServerOnce) {
    ParsedDocument doc("<rect id=\"r1\" x=\"2\" y=\"3\" width=\"10\" height=\"10\" "
                       "fill=\"url(#grad) red\" fill-opacity=\"0.5\"/>"
                       "<rect width=\"10\" height=\"10\" fill=\"url(#r1) red\"/>");
    FakeGradient* gradient = new FakeGradient();
    gradient->SetId("grad");
    doc.At({})->AddChild(gradient);
    auto* first = doc.FigureAt<SvgRectFigure>({0});
    PaintOnce(first);
    PaintOnce(first);
    EXPECT_EQ(gradient->calls, 1);
    EXPECT_EQ(gradient->lastAlpha, 127u);
    // The outline's box, for gradients in box units.
    EXPECT_EQ(std::vector<REAL>({gradient->lastBounds.X, gradient->lastBounds.Y,
                                 gradient->lastBounds.Width, gradient->lastBounds.Height}),
              std::vector<REAL>({2, 3, 10, 10}));
    ARGB color = 0;
    GdipGetSolidFillColor(static_cast<GpSolidFill*>(first->GetFillBrush()->Get()), &color);
    EXPECT_EQ(color, 0x7F00FFFFu);

    // A reference to an element that is no paint server: the fallback colour.
    auto* second = doc.FigureAt<SvgRectFigure>({1});
    PaintOnce(second);
    ASSERT_NE(second->GetFillBrush(), nullptr);
    GdipGetSolidFillColor(static_cast<GpSolidFill*>(second->GetFillBrush()->Get()), &color);
    EXPECT_EQ(color, 0xFFFF0000u);
}
