// The gradient and stop elements as loaded from a file: geometry, units,
// transform, stop colours and offsets.

#include "SvgTestSupport.h"

#include "document/ElementRegistry.h"
#include "document/SvgLinearGradientElement.h"
#include "document/SvgRadialGradientElement.h"
#include "document/SvgStopElement.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Gdiplus;

namespace {

const unsigned kOpaque = 255;

// x1, y1, x2, y2 of a linear gradient; cx, cy, r, fx, fy of a radial one.
std::vector<float> Geometry(SvgLinearGradientElement* g) {
    return {g->GetX1().computed, g->GetY1().computed, g->GetX2().computed, g->GetY2().computed};
}
std::vector<float> Geometry(SvgRadialGradientElement* g) {
    return {g->GetCx().computed, g->GetCy().computed, g->GetR().computed, g->GetFx().computed,
            g->GetFy().computed};
}

} // namespace

TEST(GradientRegistry, TagsMakeTheirClasses) {
    ElementRegistry* registry = ElementRegistry::Instance();
    struct Row {
        const char* tag;
        int kind;
    } rows[] = {{"stop", SvgKindStop},
                {"linearGradient", SvgKindLinearGradient},
                {"radialGradient", SvgKindRadialGradient}};
    for (const Row& row : rows) {
        std::unique_ptr<SvgElement> element(registry->CreateElement(row.tag));
        ASSERT_NE(element, nullptr) << row.tag;
        EXPECT_EQ(element->GetKind(), row.kind);
        EXPECT_EQ(element->GetTagName(), row.tag);
    }
    EXPECT_EQ(registry->CreateElement("lineargradient"), nullptr);
    EXPECT_EQ(registry->CreateElement("Stop"), nullptr);
}

TEST(LinearGradientElement, GeometryDefaultsAndLengths) {
    ParsedDocument doc("<defs>"
                       "<linearGradient id=\"plain\"/>"
                       "<linearGradient id=\"set\" x1=\"10\" y1=\"5px\" x2=\"110\" y2=\"1in\"/>"
                       "<linearGradient id=\"relative\" x1=\"50%\" x2=\"100%\" y1=\"2em\" "
                       "y2=\"inherit\"/>"
                       "<linearGradient id=\"junk\" x1=\"abc\" x2=\"12q\"/>"
                       "</defs>");
    // Relative values and text that is no length keep the defaults.
    for (auto [id, geometry] : {std::make_pair("plain", std::vector<float>{0, 0, 1, 0}),
                                {"set", {10, 5, 110, 90}},
                                {"relative", {0, 0, 1, 0}},
                                {"junk", {0, 0, 1, 0}}}) {
        auto* g = doc.As<SvgLinearGradientElement>(id);
        ASSERT_NE(g, nullptr) << id;
        EXPECT_EQ(Geometry(g), geometry) << id;
    }
}

TEST(RadialGradientElement, GeometryMissingValuesAreZero) {
    ParsedDocument doc("<radialGradient id=\"plain\"/>"
                       "<radialGradient id=\"set\" cx=\"50\" cy=\"60\" r=\"40\" fx=\"45\" "
                       "fy=\"55\"/>"
                       "<radialGradient id=\"percent\" cx=\"50%\" cy=\"1em\" r=\"inherit\"/>");
    for (auto [id, geometry] : {std::make_pair("plain", std::vector<float>{0, 0, 0}),
                                {"percent", {0, 0, 0}},
                                {"set", {50, 60, 40, 45, 55}}}) {
        auto* g = doc.As<SvgRadialGradientElement>(id);
        ASSERT_NE(g, nullptr) << id;
        std::vector<float> got = Geometry(g);
        got.resize(geometry.size()); // the focus only where it is given
        EXPECT_EQ(got, geometry) << id;
    }
}

TEST(GradientElement, UnitsAndTransform) {
    ParsedDocument doc("<linearGradient id=\"absent\"/>"
                       "<linearGradient id=\"box\" gradientUnits=\"objectBoundingBox\" "
                       "gradientTransform=\"translate(5 6) scale(2)\"/>"
                       "<radialGradient id=\"odd\" gradientUnits=\" userSpaceOnUse\" "
                       "transform=\"scale(3)\"/>"
                       "<radialGradient id=\"empty\" gradientUnits=\"\" gradientTransform=\"\"/>");
    auto* absent = doc.As<SvgGradientElement>("absent");
    ASSERT_NE(absent, nullptr);
    EXPECT_EQ(absent->GetGradientUnits(), "objectBoundingBox");
    EXPECT_EQ(absent->GetGradientTransformList().numberOfItems(), 0u);

    auto* box = doc.As<SvgGradientElement>("box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetGradientUnits(), "objectBoundingBox");
    EXPECT_EQ(box->GetGradientTransformList().numberOfItems(), 1u); // consolidated
    SvgMatrix m = box->GetGradientTransform().getMatrix();
    EXPECT_DOUBLE_EQ(m.getA(), 2.0);
    EXPECT_DOUBLE_EQ(m.getD(), 2.0);
    EXPECT_DOUBLE_EQ(m.getE(), 5.0);
    EXPECT_DOUBLE_EQ(m.getF(), 6.0);

    // The text is kept as written; "transform" is not a gradient's transform.
    auto* odd = doc.As<SvgGradientElement>("odd");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->GetGradientUnits(), " userSpaceOnUse");
    EXPECT_EQ(odd->GetGradientTransformList().numberOfItems(), 0u);
    EXPECT_DOUBLE_EQ(odd->GetGradientTransform().getMatrix().getA(), 1.0);

    auto* empty = doc.As<SvgGradientElement>("empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetGradientUnits(), "");
}

TEST(StopElement, ColourFromStyleAttributeOrPresentationAttribute) {
    ParsedDocument doc("<linearGradient>"
                       "<stop id=\"style\" style=\"stop-color:#00ff00\"/>"
                       "<stop id=\"attr\" stop-color=\"blue\"/>"
                       "<stop id=\"both\" style=\"stop-color: red\" stop-color=\"blue\"/>"
                       "<stop id=\"none\"/>"
                       "<stop id=\"opacity\" stop-color=\"red\" stop-opacity=\"0.5\"/>"
                       "</linearGradient>");
    auto argb = [&](const char* id, unsigned alpha) {
        auto* stop = doc.As<SvgStopElement>(id);
        EXPECT_NE(stop, nullptr) << id;
        return stop ? stop->GetArgb(alpha) : 0u;
    };
    EXPECT_EQ(argb("style", kOpaque), 0xFF00FF00u);
    EXPECT_EQ(argb("attr", kOpaque), 0xFF0000FFu);
    EXPECT_EQ(argb("both", kOpaque), 0xFFFF0000u); // the style attribute wins
    EXPECT_EQ(argb("none", kOpaque), 0xFF000000u); // black without stop-color
    // The stop's own opacity scales the alpha asked for.
    EXPECT_EQ(argb("opacity", kOpaque), 0x7FFF0000u);
    EXPECT_EQ(argb("opacity", 127), 0x3FFF0000u);
    EXPECT_EQ(argb("attr", 127), 0x7F0000FFu);
    auto* withOpacity = doc.As<SvgStopElement>("opacity");
    ASSERT_NE(withOpacity, nullptr);
    EXPECT_TRUE(withOpacity->GetStyle()->stopOpacity.set);
}

TEST(StopElement, OffsetsWithoutAUsablePositionSitAtZero) {
    ParsedDocument doc("<linearGradient>"
                       "<stop id=\"number\" offset=\"0.25\"/>"
                       "<stop id=\"percent\" offset=\"75%\"/>"
                       "<stop id=\"absent\"/>"
                       "<stop id=\"em\" offset=\"2em\"/>"
                       "<stop id=\"inherit\" offset=\"inherit\"/>"
                       "<stop id=\"junk\" offset=\"half\"/>"
                       "<stop id=\"beyond\" offset=\"1.5\"/>"
                       "</linearGradient>");
    auto position = [&](const char* id) {
        auto* stop = doc.As<SvgStopElement>(id);
        EXPECT_NE(stop, nullptr) << id;
        return stop ? stop->GetPosition() : -1.0f;
    };
    EXPECT_FLOAT_EQ(position("number"), 0.25f);
    EXPECT_FLOAT_EQ(position("percent"), 0.75f);
    for (const char* id : {"absent", "em", "inherit", "junk"})
        EXPECT_EQ(position(id), 0.0f) << id;
    EXPECT_EQ(position("beyond"), 1.5f); // not clamped
}

TEST(GradientElement, StopsAreTheStopChildrenInOrder) {
    ParsedDocument doc("<linearGradient id=\"g\">"
                       "<stop offset=\"0\" stop-color=\"red\"/>"
                       "<desc>not a stop</desc>"
                       "<rect width=\"10\" height=\"10\"/>"
                       "<stop offset=\"0.5\" stop-color=\"lime\"/>"
                       "<g><stop offset=\"0.7\" stop-color=\"white\"/></g>"
                       "<stop offset=\"1\" stop-color=\"blue\"/>"
                       "</linearGradient>");
    auto* g = doc.As<SvgGradientElement>("g");
    ASSERT_NE(g, nullptr);
    std::vector<SvgGradientStop> stops = g->CollectStops(200);
    std::vector<std::pair<ARGB, float>> got;
    for (const SvgGradientStop& stop : stops)
        got.emplace_back(stop.color, stop.position);
    EXPECT_EQ(got, (std::vector<std::pair<ARGB, float>>{
                       {0xC8FF0000u, 0}, {0xC800FF00u, 0.5f}, {0xC80000FFu, 1}}));
}
