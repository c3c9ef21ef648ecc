// The gradient and stop elements as loaded from a file (stop offsets and
// children) and the brushes they make: the vector or circle in the gradient's
// own space, the transform into user space, the blend, the spread, what the
// href chain supplies, and what a gradient that cannot be made gives.

#include "SvgTestSupport.h"

#include "document/SvgLinearGradientElement.h"
#include "document/SvgRadialGradientElement.h"
#include "document/SvgStopElement.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Gdiplus;

namespace {

const RectF kBox(10, 20, 200, 100);

struct Blend {
    std::vector<ARGB> colors;
    std::vector<REAL> positions;
};

// The preset blend of a linear or a path gradient brush; empty when it has none.
template <class Gradient>
Blend ReadBlend(GpBrush* brush, Status (*count)(Gradient*, INT*),
                Status (*read)(Gradient*, ARGB*, REAL*, INT)) {
    Blend blend;
    INT n = 0;
    count(static_cast<Gradient*>(brush), &n);
    if (n < 2)
        return blend;
    blend.colors.resize(n);
    blend.positions.resize(n);
    read(static_cast<Gradient*>(brush), blend.colors.data(), blend.positions.data(), n);
    return blend;
}
Blend LineBlend(GpBrush* brush) {
    return ReadBlend(brush, GdipGetLinePresetBlendCount, GdipGetLinePresetBlend);
}
Blend PathBlend(GpBrush* brush) {
    return ReadBlend(brush, GdipGetPathGradientPresetBlendCount, GdipGetPathGradientPresetBlend);
}

// The six elements of a brush's transform.
std::vector<REAL> Transform(GpBrush* brush) {
    GpMatrix* m = nullptr;
    GdipCreateMatrix(&m);
    GpBrushType type;
    GdipGetBrushType(brush, &type);
    if (type == BrushTypeLinearGradient)
        GdipGetLineTransform(static_cast<GpLineGradient*>(brush), m);
    else
        GdipGetPathGradientTransform(static_cast<GpPathGradient*>(brush), m);
    std::vector<REAL> e(6);
    GdipGetMatrixElements(m, e.data());
    GdipDeleteMatrix(m);
    return e;
}

KelSpread Spread(GpBrush* brush) {
    KelSpread spread = KelSpreadNone;
    KelGetGradientSpread(brush, &spread);
    return spread;
}

// The brush of the gradient with the given id in a parsed body.
std::unique_ptr<GdiBrush> BrushOf(ParsedDocument& doc, const char* id, unsigned alpha = 255,
                                  const RectF& bounds = kBox) {
    auto* server = dynamic_cast<SvgPaintServer*>(doc.Find(id));
    EXPECT_NE(server, nullptr) << id;
    return std::unique_ptr<GdiBrush>(server ? server->CreateBrush(bounds, alpha) : nullptr);
}

ARGB SolidColor(const GdiBrush* brush) {
    ARGB color = 0;
    EXPECT_EQ(GdipGetSolidFillColor(static_cast<GpSolidFill*>(brush->Get()), &color), Ok);
    return color;
}

const std::string kRedBlue = "<stop offset=\"0\" stop-color=\"red\"/><stop offset=\"1\" "
                             "stop-color=\"blue\"/>";

} // namespace

// Offsets as numbers or percentages; text that is no position sits at 0; the
// brush clamps what lies beyond.
TEST(StopElement, OffsetsWithoutAUsablePositionSitAtZero) {
    ParsedDocument doc("<linearGradient><stop id=\"number\" offset=\"0.25\"/>"
                       "<stop id=\"percent\" offset=\"75%\"/><stop id=\"absent\"/>"
                       "<stop id=\"em\" offset=\"2em\"/><stop id=\"inherit\" offset=\"inherit\"/>"
                       "<stop id=\"junk\" offset=\"half\"/><stop id=\"beyond\" offset=\"1.5\"/>"
                       "</linearGradient>");
    // clang-format off
    for (auto [id, position] : {std::make_pair("number", 0.25f), {"percent", 0.75f}, {"absent", 0.0f},
                                {"em", 0.0f}, {"inherit", 0.0f}, {"junk", 0.0f}, {"beyond", 1.5f}}) {
        // clang-format on
        auto* stop = doc.As<SvgStopElement>(id);
        ASSERT_NE(stop, nullptr) << id;
        EXPECT_FLOAT_EQ(stop->GetPosition(), position) << id;
    }
}

TEST(LinearGradientBrush, StopsAreClampedOrderedAndCompleted) {
    ParsedDocument doc("<linearGradient id=\"g\">"
                       "<stop offset=\"0.2\" stop-color=\"red\" stop-opacity=\"0.5\"/>"
                       "<stop offset=\"0.1\" stop-color=\"lime\"/>"
                       "<stop offset=\"80%\" stop-color=\"blue\"/>"
                       "<stop offset=\"7\" stop-color=\"white\"/></linearGradient>");
    auto brush = BrushOf(doc, "g", 200);
    ASSERT_TRUE(brush && brush->GetLastStatus() == Ok);
    // The first colour repeated at 0; lime kept at 0.2 behind red; 7 becomes 1.
    Blend blend = LineBlend(brush->Get());
    EXPECT_EQ(blend.colors,
              (std::vector<ARGB>{0x64FF0000u, 0x64FF0000u, 0xC800FF00u, 0xC80000FFu, 0xC8FFFFFFu}));
    EXPECT_EQ(blend.positions, (std::vector<REAL>{0, 0.2f, 0.2f, 0.8f, 1}));
}

TEST(GradientBrush, DegenerateGradients) {
    auto with = [](const char* tag, const std::string& attributes) {
        return "<" + std::string(tag) + " " + attributes + ">" + kRedBlue + "</" + tag + ">";
    };
    ParsedDocument doc(
        "<linearGradient id=\"none\"/>"
        "<linearGradient id=\"others\"><desc/><g><stop offset=\"0\"/></g></linearGradient>"
        "<linearGradient id=\"one\"><stop offset=\"0.5\" stop-color=\"lime\" "
        "stop-opacity=\"0.5\"/></linearGradient>" +
        with("linearGradient", "id=\"point\" x1=\"0.3\" x2=\"0.3\"") +
        with("radialGradient", "id=\"flat\" r=\"0\"") +
        with("radialGradient", "id=\"negative\" r=\"-1\"") +
        with("linearGradient", "id=\"units\" gradientUnits=\"user\"") +
        with("linearGradient", "id=\"singular\" gradientTransform=\"scale(0)\""));
    // No stops: no brush (the fill's fallback colour, if any, paints).
    for (const char* id : {"none", "others"})
        EXPECT_EQ(BrushOf(doc, id), nullptr) << id;
    // One colour: a single stop's, or the last stop's for a vector without
    // length or a circle without area.
    const std::pair<const char*, ARGB> solid[] = {{"one", 0x7F00FF00u},
                                                  {"point", 0xFF0000FFu},
                                                  {"flat", 0xFF0000FFu},
                                                  {"negative", 0xFF0000FFu}};
    for (auto [id, color] : solid) {
        auto brush = BrushOf(doc, id);
        ASSERT_NE(brush, nullptr) << id;
        EXPECT_EQ(SolidColor(brush.get()), color) << id;
    }
    // Nothing painted: unknown units, a singular transform, a box without area.
    for (auto [id, box] : {std::make_pair("units", kBox),
                           {"singular", kBox},
                           {"point", RectF()},
                           {"flat", RectF(0, 0, 5, 0)}}) {
        auto brush = BrushOf(doc, id, 255, box);
        ASSERT_NE(brush, nullptr) << id;
        EXPECT_EQ(brush->Get(), nullptr) << id;
    }
}

TEST(GradientBrush, HrefChainSuppliesWhatIsNotGiven) {
    ParsedDocument doc(
        "<linearGradient id=\"base\" x1=\"0.25\" gradientUnits=\"userSpaceOnUse\" "
        "spreadMethod=\"repeat\" gradientTransform=\"scale(2)\">" +
        kRedBlue +
        "</linearGradient>"
        "<linearGradient id=\"middle\" xlink:href=\"#base\" x2=\"50\" "
        "spreadMethod=\"odd\"><stop offset=\"0\" stop-color=\"lime\"/>"
        "<stop offset=\"1\" stop-color=\"white\"/></linearGradient>"
        "<linearGradient id=\"top\" href=\"#middle\" y2=\"7\"/>"
        "<radialGradient id=\"radial\" href=\"#top\" gradientUnits=\"objectBoundingBox\"/>"
        "<linearGradient id=\"loop1\" href=\"#loop2\"/>"
        "<linearGradient id=\"loop2\" href=\"#loop1\"/>"
        "<linearGradient id=\"shape\" href=\"#r\"/><rect id=\"r\" width=\"1\" height=\"1\"/>");
    auto top = BrushOf(doc, "top");
    ASSERT_NE(top, nullptr);
    GpRectF line;
    GdipGetLineRect(static_cast<GpLineGradient*>(top->Get()), &line);
    EXPECT_EQ(std::vector<REAL>({line.X, line.Y, line.Width, line.Height}),
              std::vector<REAL>({0.25f, 0, 49.75f, 7}));
    EXPECT_EQ(Transform(top->Get()), std::vector<REAL>({2, 0, 0, 2, 0, 0}));
    EXPECT_EQ(Spread(top->Get()), KelSpreadRepeat); // "odd" is as if not given
    EXPECT_EQ(LineBlend(top->Get()).colors, (std::vector<ARGB>{0xFF00FF00u, 0xFFFFFFFFu}));

    // Another kind gives stops, units, spread and transform, not geometry.
    auto radial = BrushOf(doc, "radial");
    ASSERT_NE(radial, nullptr);
    GpRectF rect;
    GdipGetPathGradientRect(static_cast<GpPathGradient*>(radial->Get()), &rect);
    EXPECT_EQ(std::vector<REAL>({rect.X, rect.Width}), std::vector<REAL>({0, 1}));
    EXPECT_EQ(Transform(radial->Get()), std::vector<REAL>({400, 0, 0, 200, 10, 20}));
    EXPECT_EQ(PathBlend(radial->Get()).colors, (std::vector<ARGB>{0xFFFFFFFFu, 0xFF00FF00u}));

    // A cycle ends without stops; so does a reference to no gradient.
    EXPECT_TRUE(!BrushOf(doc, "loop1") && !BrushOf(doc, "shape"));
}

TEST(GradientBrush, LongHrefChainsAreCut) {
    // Stops only at the far end: g15 reaches them in 16 steps, g16 does not.
    std::string body = "<linearGradient id=\"g0\">" + kRedBlue + "</linearGradient>";
    const int length = SvgGradientElement::kMaxHrefChain;
    for (int i = 1; i <= length; ++i)
        body += "<linearGradient id=\"g" + std::to_string(i) + "\" href=\"#g" +
                std::to_string(i - 1) + "\"/>";
    ParsedDocument doc(body);
    EXPECT_NE(BrushOf(doc, ("g" + std::to_string(length - 1)).c_str()), nullptr);
    EXPECT_EQ(BrushOf(doc, ("g" + std::to_string(length)).c_str()), nullptr);
}
