#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgStyleSheet.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// One row per cascade rule: nested elements, and what the innermost record
// holds after the merge.
struct CascadeCase {
    const char* xml;
    bool (*check)(const SvgStyle&);
};

// clang-format off
const CascadeCase kCascade[] = {
    // Fill is inherited; merging raises no flag. A rejected value falls back to the parent's.
    {"<g fill='red'><rect/></g>", [](const SvgStyle& s) { return s.fill.colorSet && !s.fill.set && Packed(s.fill.color) == kRed; }},
    {"<g fill='none'><g><rect/></g></g>", [](const SvgStyle& s) { return s.fill.noneSet && !s.fill.colorSet; }},
    {"<g fill='red'><rect fill='blue'/></g>", [](const SvgStyle& s) { return Packed(s.fill.color) == kBlue; }},
    {"<g fill='red'><rect fill='inherit'/></g>", [](const SvgStyle& s) { return s.fill.colorSet && Packed(s.fill.color) == kRed; }},
    {"<g style='fill:red'><rect style='fill: none ;'/></g>", [](const SvgStyle& s) { return Packed(s.fill.color) == kRed && !s.fill.noneSet; }},
    // Stroke only when the parent has one.
    {"<g><rect/></g>", [](const SvgStyle& s) { return !s.stroke.colorSet && !s.strokeDash.dasharraySet; }},
    {"<g stroke='blue'><g><rect/></g></g>", [](const SvgStyle& s) { return s.stroke.colorSet && Packed(s.stroke.color) == kBlue; }},
    // currentColor takes the element's own colour, after it is merged itself.
    {"<g color='green'><rect fill='currentColor' stroke='currentColor'/></g>", [](const SvgStyle& s) { return s.fill.currentColor && s.fill.colorSet && Packed(s.fill.color) == kGreen && Packed(s.stroke.color) == kGreen; }},
    {"<g color='green'><rect color='red' fill='currentColor'/></g>", [](const SvgStyle& s) { return Packed(s.fill.color) == kRed; }},
    {"<g color='green'><g><rect fill='currentColor'/></g></g>", [](const SvgStyle& s) { return Packed(s.fill.color) == kGreen; }},
    {"<g><g color='green' fill='currentColor'><rect color='blue'/></g></g>", [](const SvgStyle& s) { return s.fill.currentColor && Packed(s.fill.color) == kBlue; }},
    {"<g style='color:blue'><rect stroke='currentColor'/></g>", [](const SvgStyle& s) { return Packed(s.stroke.color) == kBlue; }},
    // A reference and its fallback are inherited together; strokes paint with the fallback.
    {"<g fill='url(#grad) blue' stroke='url(#grad) red'><rect/></g>", [](const SvgStyle& s) { return s.fill.uri == "grad" && Packed(s.fill.color) == kBlue && s.stroke.colorSet && Packed(s.stroke.color) == kRed; }},
    {"<g fill='url(#grad)'><rect/></g>", [](const SvgStyle& s) { return s.fill.uri == "grad" && !s.fill.colorSet; }},
    {"<g fill='url(#grad) none'><rect/></g>", [](const SvgStyle& s) { return s.fill.noneSet != 0; }},
    {"<g color='green'><rect fill='url(#grad) currentColor'/></g>", [](const SvgStyle& s) { return s.fill.uri == "grad" && s.fill.currentColor && Packed(s.fill.color) == kGreen; }},
    // Opacity only when asked for; fill and stroke opacity always.
    {"<g opacity='0.5' fill-opacity='0.5' stroke-opacity='0'><rect/></g>", [](const SvgStyle& s) { return s.opacity.value == SvgScale24::One && s.fillOpacity.value == 8355840u && s.strokeOpacity.value == 0; }},
    {"<g opacity='0.5'><rect opacity='inherit'/></g>", [](const SvgStyle& s) { return s.opacity.value == 8355840u; }},
    // Weights and stretches inherited keep the keyword in value, unmarked.
    {"<g font-weight='bold'><text/></g>", [](const SvgStyle& s) { return !s.fontWeight.set && s.fontWeight.value == 9 && s.fontWeight.computed == 6; }},
    {"<g font-stretch='condensed'><text font-stretch='narrower'/></g>", [](const SvgStyle& s) { return s.fontStretch.computed == 1; }},
    {"<g font-stretch='ultra-condensed'><text font-stretch='narrower'/></g>", [](const SvgStyle& s) { return s.fontStretch.computed == 0; }},
    {"<g font-stretch='ultra-expanded'><text font-stretch='wider'/></g>", [](const SvgStyle& s) { return s.fontStretch.computed == 8; }},
    {"<g font-stretch='expanded'><text/></g>", [](const SvgStyle& s) { return s.fontStretch.computed == 6; }},
    // Text properties are inherited without being marked set; the font shorthand is not.
    {"<g font-family='Serif' font='bold 10px Serif'><text/></g>", [](const SvgStyle& s) { return s.text->fontFamily.value == "Serif" && !s.text->fontFamily.set && !s.text->font.set && s.text->font.value.empty(); }},
    {"<g font-family='Serif'><text font-family='Sans'/></g>", [](const SvgStyle& s) { return s.text->fontFamily.value == "Sans"; }},
    {"<g text-anchor='middle' text-decoration='underline'><text/></g>", [](const SvgStyle& s) { return s.textAnchor.computed == 1 && s.textAnchor.value == 0 && s.textDecoration.underline && !s.textDecoration.set; }},
    {"<g letter-spacing='2' text-indent='3'><text/></g>", [](const SvgStyle& s) { return s.letterSpacing.computed == 2.0f && !s.letterSpacing.normal && s.textIndent.computed == 3.0f; }},
    // Em and ex widths use the element's own font size; an inherited width is the length it computed to.
    {"<g font-size='20'><rect font-size='10' stroke-width='2em'/></g>", [](const SvgStyle& s) { return s.strokeWidth.computed == 20.0f; }},
    {"<g font-size='10'><rect stroke-width='1ex'/></g>", [](const SvgStyle& s) { return s.strokeWidth.computed == 5.0f; }},
    {"<g font-size='10' stroke-width='2em'><rect font-size='40'/></g>", [](const SvgStyle& s) { return s.strokeWidth.computed == 20.0f; }},
    // Painting reads value, which stays the element's own; computed is inherited.
    {"<g stroke-width='3' stroke-linecap='round' stroke-linejoin='bevel' stroke-miterlimit='9'><rect/></g>", [](const SvgStyle& s) { return s.strokeWidth.computed == 3.0f && !s.strokeWidth.set && s.strokeLinecap.value == 0 && s.strokeLinecap.computed == 1 && s.strokeLinejoin.computed == 2 && s.strokeMiterlimit.value == 9.0f; }},
    // A percentage is passed on as written, for the figure to resolve.
    {"<g stroke-width='10%'><rect/></g>", [](const SvgStyle& s) { return s.strokeWidth.unit == SvgUnitPercent && s.strokeWidth.value == 0.1f; }},
    // Dash arrays: a copy of its own, replaced, removed or inherited on request.
    {"<g stroke-dasharray='5,5' stroke-dashoffset='2'><g><rect/></g></g>", [](const SvgStyle& s) { return s.strokeDash.dasharraySet && s.strokeDash.dashCount == 2 && s.strokeDash.dashes[1] == 5.0 && s.strokeDash.dashOffset == 2.0; }},
    {"<g stroke-dasharray='5,5'><rect stroke-dasharray='1 2 3'/></g>", [](const SvgStyle& s) { return s.strokeDash.dashCount == 3; }},
    {"<g stroke-dasharray='5,5'><rect stroke-dasharray='none'/></g>", [](const SvgStyle& s) { return s.strokeDash.dashCount == 0; }},
    {"<g stroke-dasharray='5,5'><rect stroke-dasharray='inherit'/></g>", [](const SvgStyle& s) { return s.strokeDash.dashCount == 2 && s.strokeDash.dasharrayInherit; }},
    // Not inherited unless asked: display, overflow, filter, stop colour, enable-background;
    // visibility and markers are.
    {"<g display='none' visibility='hidden' overflow='hidden' filter='url(#f)' stop-color='red' enable-background='new' marker-start='url(#m)'><rect/></g>", [](const SvgStyle& s) { return s.display.computed == 1 && s.visibility.computed == 0 && s.overflow.value == 0 && !s.filter.set && !s.stopColor.colorSet && s.enableBackground.value == 0 && s.marker[SvgStyle::MarkerStart].value == "url(#m)"; }},
    {"<g enable-background='new'><rect enable-background='inherit'/></g>", [](const SvgStyle& s) { return s.enableBackground.value == 1; }},
};
// clang-format on

TEST(Cascade, WhatTheChildInherits) {
    for (const CascadeCase& c : kCascade)
        EXPECT_TRUE(c.check(StyleChain(c.xml).Last())) << c.xml;
    // The inherited dash array is a copy of its own.
    StyleChain c("<g stroke-dasharray='5,5'><rect/></g>");
    EXPECT_NE(c.Last().strokeDash.dashes, c[0].strokeDash.dashes);
}

TEST(Cascade, CopiesOwnTheirIccColourAndText) {
    auto parent = std::make_unique<SvgStyle>();
    parent->ReadStyleAttribute("fill:red icc-color(p, 0.1, 0.2);font-family:Serif");
    SvgStyle child;
    child.parent = parent.get();
    child.ReadFromElement(nullptr);
    ASSERT_NE(child.fill.color.icc, nullptr);
    EXPECT_TRUE(child.fill.color.icc != parent->fill.color.icc && child.text != parent->text);
    parent.reset();
    EXPECT_EQ(child.fill.color.icc->components.size(), 2u);

    // Inheriting into a shared text record copies it first.
    SvgStyle from, other, sharing;
    from.ReadPropertyById(SvgPropFontFamily, "Serif");
    sharing.ShareTextWith(other);
    sharing.MergeFromParent(&from);
    EXPECT_TRUE(sharing.text->fontFamily.value == "Serif" && other.text->fontFamily.value.empty());
}

TEST(CascadeFontSize, KeywordsPercentagesAndLengths) {
    // clang-format off
    const std::pair<const char*, float> cases[] = {
        {"<g font-size='20'><text font-size='50%'/></g>", 10.0f}, {"<g font-size='20'><text font-size='larger'/></g>", 24.0f},
        {"<g font-size='24'><text font-size='smaller'/></g>", 20.0f}, {"<g font-size='20'><text font-size='inherit'/></g>", 20.0f},
        // Rejected sizes inherit.
        {"<g font-size='20'><text font-size='2em'/></g>", 40.0f}, {"<g font-size='20'><text font-size='-100%'/></g>", 20.0f},
        {"<g font-size='20'><text font-size='1.5ex'/></g>", 15.0f}, {"<g font-size='20'><text font-size='-1em'/></g>", 20.0f},
        {"<g font-size='20'><text font-size='Large'/></g>", 20.0f}, {"<g font-size='20'><text font-size='medium '/></g>", 20.0f},
        {"<g font-size='20'><text/></g>", 20.0f}, {"<g font-size='20'><text font-size='xx-small'/></g>", 6.0f},
        {"<g font-size='20'><text font-size='x-small'/></g>", 8.0f}, {"<g font-size='20'><text font-size='small'/></g>", 10.0f},
        {"<g font-size='20'><text font-size='medium'/></g>", 12.0f}, {"<g font-size='20'><text font-size='large'/></g>", 14.0f},
        {"<g font-size='20'><text font-size='x-large'/></g>", 18.0f}, {"<g font-size='20'><text font-size='xx-large'/></g>", 24.0f},
        {"<g font-size='20'><text font-size='1in'/></g>", 96.0f}, {"<g font-size='20'><text font-size='12pt'/></g>", 16.0f},
        {"<g font-size='20'><g font-size='150%'><text font-size='50%'/></g></g>", 15.0f}, {"<g><text font-size='200%'/></g>", 24.0f},
        {"<g font-size='0.5'><text font-size='25600%'/></g>", 128.0f}, {"<g font-size='0.5'><text font-size='1e300%'/></g>", 128.0f},
    };
    // clang-format on
    for (auto [xml, expected] : cases) {
        StyleChain chain(xml);
        // 100% is 65536/65536 exactly; other percentages carry the 65536.9999 rounding.
        EXPECT_NEAR(chain.Last().fontSize.computed, expected, 0.002) << xml;
        EXPECT_TRUE(chain.Last().fontSize.set) << xml; // inherited sizes count as set
    }
    // Without a parent, from the initial size.
    // clang-format off
    const std::pair<const char*, float> alone[] = {{"<text font-size='large'/>", 14.0f}, {"<text font-size='150%'/>", 18.0f},
        {"<text font-size='larger'/>", 14.4f}, {"<text font-size='30'/>", 30.0f}, {"<text/>", 12.0f}};
    // clang-format on
    for (auto [xml, expected] : alone)
        EXPECT_NEAR(ReadElementStyle(xml)->fontSize.computed, expected, 0.001) << xml;
    EXPECT_FLOAT_EQ(ReadElementStyle("<rect stroke-width='1ex'/>")->strokeWidth.computed, 6.0f);
}

TEST(CascadeFontWeight, BolderLighterAndKeywords) {
    // clang-format off
    const std::pair<const char*, unsigned> cases[] = {
        {"<g font-weight='bold'><text font-weight='bolder'/></g>", 8}, {"<g font-weight='200'><text font-weight='lighter'/></g>", 0},
        {"<g font-weight='normal'><text font-weight='lighter'/></g>", 0}, {"<g font-weight='normal'><text font-weight='bolder'/></g>", 6},
        {"<g font-weight='900'><text font-weight='bolder'/></g>", 8}, {"<g font-weight='bold'><text font-weight='inherit'/></g>", 6},
        {"<g font-weight='bold'><text font-weight='normal'/></g>", 3}, {"<g><text font-weight='bold'/></g>", 6},
        {"<g><text font-weight='500'/></g>", 4}, {"<text font-weight='bold'/>", 6}, {"<text font-weight='bolder'/>", 6},
        {"<g font-weight='bold'><g font-weight='lighter'><text font-weight='bolder'/></g></g>", 6},
    };
    // clang-format on
    for (auto [xml, expected] : cases)
        EXPECT_EQ(StyleChain(xml).Last().fontWeight.computed, expected) << xml;
}

TEST(CascadeRepeat, SecondCascadeAfterACopy) {
    // A record merged from one parent, then re-pointed at another and merged
    // again, as a copied figure does.
    SvgStyle first, second;
    first.ReadStyleAttribute(
        "font-size:20;fill:red;stroke-dasharray:4,4;font-weight:bold;stroke-width:10%");
    second.ReadStyleAttribute("font-size:30;fill:blue;font-weight:100;stroke-width:4");
    SvgStyle copy;
    copy.parent = &first;
    copy.ReadFromElement(nullptr);
    EXPECT_FLOAT_EQ(copy.fontSize.computed, 20.0f);

    copy.parent = &second;
    copy.MergeFromParent(copy.parent);
    // The inherited size now counts as set: it computes from its own keyword, medium.
    EXPECT_FLOAT_EQ(copy.fontSize.computed, 12.0f);
    EXPECT_TRUE(Packed(copy.fill.color) == kBlue && copy.fontWeight.computed == 0u);
    // No longer the first parent's percentage width; the dash array, marked set by
    // the first cascade, stays.
    EXPECT_TRUE(copy.strokeWidth.unit == SvgUnitNone && copy.strokeWidth.computed == 4.0f);
    EXPECT_EQ(copy.strokeDash.dashCount, 2);

    // A record that specified its own size keeps computing it from the new parent.
    SvgStyle relative;
    relative.ReadStyleAttribute("font-size:50%");
    relative.MergeFromParent(&first);
    EXPECT_FLOAT_EQ(relative.fontSize.computed, 10.0f);
    relative.MergeFromParent(&second);
    EXPECT_FLOAT_EQ(relative.fontSize.computed, 15.0f);
    relative.MergeFromParent(nullptr); // nothing happens
    EXPECT_FLOAT_EQ(relative.fontSize.computed, 15.0f);
}

TEST(CascadeRepeat, DeepChainsAndHugeSizesStayFinite) {
    std::string xml;
    for (int i = 0; i < 200; ++i)
        xml += i == 0 ? "<g fill='red' font-size='10'>" : "<g font-size='110%'>";
    xml += "<rect/>";
    for (int i = 0; i < 200; ++i)
        xml += "</g>";
    StyleChain c(xml.c_str());
    ASSERT_EQ(c.styles.size(), 201u);
    EXPECT_EQ(Packed(c.Last().fill.color), kRed);
    EXPECT_TRUE(std::isfinite(c.Last().fontSize.computed));
    EXPECT_GT(c.Last().fontSize.computed, 1e9f);

    // 25600% a level overflows a float after a few levels.
    xml = "<g font-size='1e38'>";
    for (int i = 0; i < 20; ++i)
        xml += "<g font-size='25600%'>";
    xml += "<rect stroke-width='0em'/>";
    for (int i = 0; i < 21; ++i)
        xml += "</g>";
    StyleChain huge(xml.c_str());
    ASSERT_EQ(huge.styles.size(), 22u);
    EXPECT_TRUE(std::isfinite(huge.Last().fontSize.computed));
    EXPECT_EQ(huge.Last().strokeWidth.computed, 0.0f);
    StyleChain larger(
        "<g font-size='3e38'><g font-size='larger'><rect stroke-width='2em'/></g></g>");
    EXPECT_TRUE(std::isfinite(larger.Last().fontSize.computed));
    EXPECT_TRUE(std::isfinite(larger.Last().strokeWidth.computed));
}

} // namespace

// The marker shorthand sets the three markers still unset: in a style
// attribute the first declaration wins, in a sheet the last (more specific)
// one, each marker on its own; as an attribute it does nothing. paint-order
// and the context paints are inherited.
TEST(Cascade, MarkerShorthandPaintOrderAndContextPaints) {
    auto attribute = ReadElementStyle("<path style='marker-end:url(#e); marker:url(#m)' "
                                      "marker-start='url(#s)' marker='url(#x)'/>");
    EXPECT_EQ(attribute->marker[SvgStyle::MarkerStart].value, "url(#m)");
    EXPECT_EQ(attribute->marker[SvgStyle::MarkerEnd].value, "url(#e)");
    EXPECT_TRUE(
        ReadElementStyle("<path marker='url(#x)'/>")->marker[SvgStyle::MarkerMid].value.empty());
    TiXmlDocument doc;
    doc.Parse("<svg><style>path{marker:url(#m); marker-end:url(#e)} #p{marker:url(#n)} "
              "path{marker-start:url(#s)}</style><path id='p'/><path id='q'/></svg>");
    std::unique_ptr<SvgStyleSheet> sheet = SvgStyleSheet::FromDocument(doc.RootElement());
    SvgStyle p, q;
    p.ReadFromElement(doc.RootElement()->FirstChildElement("path"), sheet.get());
    q.ReadFromElement(doc.RootElement()->LastChild()->ToElement(), sheet.get());
    EXPECT_EQ(p.marker[SvgStyle::MarkerStart].value, "url(#n)");
    EXPECT_EQ(p.marker[SvgStyle::MarkerEnd].value, "url(#n)");
    EXPECT_EQ(q.marker[SvgStyle::MarkerStart].value, "url(#s)");
    EXPECT_EQ(q.marker[SvgStyle::MarkerMid].value, "url(#m)");
    EXPECT_EQ(q.marker[SvgStyle::MarkerEnd].value, "url(#e)");
    StyleChain chain("<g paint-order='stroke markers' fill='context-stroke' stroke='red'>"
                     "<path stroke='context-fill'/></g>");
    EXPECT_EQ(chain.Last().paintOrder.computed, 3u);
    EXPECT_EQ(chain.Last().fill.Context(), SvgContextPaint::Stroke);
    EXPECT_EQ(chain.Last().stroke.Context(), SvgContextPaint::Fill);
}
