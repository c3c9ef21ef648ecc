#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(CascadePaint, FillIsInherited) {
    StyleChain c("<g fill='red'><rect/></g>");
    EXPECT_TRUE(c[1].fill.colorSet);
    EXPECT_EQ(Packed(c[1].fill.color), kRed);
    EXPECT_FALSE(c[1].fill.set); // merging raises no flag

    StyleChain none("<g fill='none'><g><rect/></g></g>");
    EXPECT_TRUE(none.Last().fill.noneSet);
    EXPECT_FALSE(none.Last().fill.colorSet);

    StyleChain own("<g fill='red'><rect fill='blue'/></g>");
    EXPECT_EQ(Packed(own.Last().fill.color), kBlue);

    StyleChain inherit("<g fill='red'><rect fill='inherit'/></g>");
    EXPECT_EQ(Packed(inherit.Last().fill.color), kRed);
    EXPECT_TRUE(inherit.Last().fill.colorSet);

    // A rejected value falls back to the parent's.
    StyleChain bad("<g style='fill:red'><rect style='fill: none ;'/></g>");
    EXPECT_EQ(Packed(bad.Last().fill.color), kRed);
    EXPECT_FALSE(bad.Last().fill.noneSet);
}

TEST(CascadePaint, StrokeIsInheritedOnlyWhenTheParentHasOne) {
    StyleChain c("<g><rect/></g>");
    EXPECT_FALSE(c.Last().stroke.colorSet);
    StyleChain s("<g stroke='blue'><g><rect/></g></g>");
    EXPECT_TRUE(s.Last().stroke.colorSet);
    EXPECT_EQ(Packed(s.Last().stroke.color), kBlue);
}

TEST(CascadePaint, CurrentColorTakesTheElementsColor) {
    StyleChain c("<g color='green'><rect fill='currentColor' stroke='currentColor'/></g>");
    SvgStyle& r = c.Last();
    EXPECT_TRUE(r.fill.currentColor && r.fill.colorSet);
    EXPECT_EQ(Packed(r.fill.color), kGreen);
    EXPECT_EQ(Packed(r.stroke.color), kGreen);

    // The child's own color counts, after it is merged itself.
    StyleChain own("<g color='green'><rect color='red' fill='currentColor'/></g>");
    EXPECT_EQ(Packed(own.Last().fill.color), kRed);
    StyleChain inherited("<g color='green'><g><rect fill='currentColor'/></g></g>");
    EXPECT_EQ(Packed(inherited.Last().fill.color), kGreen);

    // A parent's currentColor is passed on as the keyword, resolved with the
    // child's colour.
    StyleChain keyword("<g><g color='green' fill='currentColor'><rect color='blue'/></g></g>");
    EXPECT_EQ(Packed(keyword[1].fill.color), kGreen);
    EXPECT_TRUE(keyword.Last().fill.currentColor);
    EXPECT_EQ(Packed(keyword.Last().fill.color), kBlue);

    // color in a style attribute.
    StyleChain styled("<g style='color:blue'><rect stroke='currentColor'/></g>");
    EXPECT_EQ(Packed(styled.Last().stroke.color), kBlue);
}

TEST(CascadePaint, CurrentColorWithoutParentGetsNoColour) {
    auto s = ReadElementStyle("<rect color='green' fill='currentColor'/>");
    EXPECT_TRUE(s->fill.currentColor);
    EXPECT_FALSE(s->fill.colorSet);
}

TEST(CascadePaint, ReferenceAndFallbackAreInheritedTogether) {
    StyleChain c("<g fill='url(#grad) blue' stroke='url(#grad) red'><rect/></g>");
    SvgStyle& r = c.Last();
    EXPECT_EQ(r.fill.uri, "grad");
    EXPECT_TRUE(r.fill.colorSet);
    EXPECT_EQ(Packed(r.fill.color), kBlue);
    // Strokes paint with the fallback colour, on the child as on the group.
    EXPECT_TRUE(r.stroke.colorSet);
    EXPECT_EQ(Packed(r.stroke.color), kRed);

    StyleChain bare("<g fill='url(#grad)'><rect/></g>");
    EXPECT_EQ(bare.Last().fill.uri, "grad");
    EXPECT_FALSE(bare.Last().fill.colorSet);
    StyleChain none("<g fill='url(#grad) none'><rect/></g>");
    EXPECT_TRUE(none.Last().fill.noneSet);
}

TEST(CascadePaint, ReferenceWithCurrentColorFallbackKeepsTheReference) {
    StyleChain c("<g color='green'><rect fill='url(#grad) currentColor'/></g>");
    EXPECT_EQ(c.Last().fill.uri, "grad");
    EXPECT_TRUE(c.Last().fill.currentColor && c.Last().fill.colorSet);
    EXPECT_EQ(Packed(c.Last().fill.color), kGreen);
}

TEST(CascadePaint, IccColourIsCopiedNotShared) {
    auto parent = std::make_unique<SvgStyle>();
    parent->ReadStyleAttribute("fill:red icc-color(p, 0.1, 0.2)");
    ASSERT_NE(parent->fill.color.icc, nullptr);
    SvgStyle child;
    child.parent = parent.get();
    child.ReadFromElement(nullptr);
    ASSERT_NE(child.fill.color.icc, nullptr);
    EXPECT_NE(child.fill.color.icc.get(), parent->fill.color.icc.get());
    parent.reset();
    EXPECT_EQ(child.fill.color.icc->components.size(), 2u);
}

TEST(CascadeOpacity, OpacityOnlyWhenAskedForButFillAndStrokeOpacityAlways) {
    StyleChain c("<g opacity='0.5' fill-opacity='0.5' stroke-opacity='0'><rect/></g>");
    EXPECT_EQ(c.Last().opacity.value, 16711680u);
    EXPECT_EQ(c.Last().fillOpacity.value, 8355840u);
    EXPECT_EQ(c.Last().strokeOpacity.value, 0u);
    StyleChain inherit("<g opacity='0.5'><rect opacity='inherit'/></g>");
    EXPECT_EQ(inherit.Last().opacity.value, 8355840u);
}

TEST(CascadeFontSize, KeywordsPercentagesAndLengths) {
    struct Case {
        const char* xml;
        float expected;
    };
    const Case cases[] = {
        {"<g font-size='20'><text font-size='50%'/></g>", 10.0f},
        {"<g font-size='20'><text font-size='larger'/></g>", 24.0f},
        {"<g font-size='24'><text font-size='smaller'/></g>", 20.0f},
        {"<g font-size='20'><text font-size='2em'/></g>", 20.0f}, // rejected: inherits
        {"<g font-size='20'><text font-size='inherit'/></g>", 20.0f},
        {"<g font-size='20'><text/></g>", 20.0f},
        {"<g font-size='20'><text font-size='xx-small'/></g>", 6.0f},
        {"<g font-size='20'><text font-size='x-small'/></g>", 8.0f},
        {"<g font-size='20'><text font-size='small'/></g>", 10.0f},
        {"<g font-size='20'><text font-size='medium'/></g>", 12.0f},
        {"<g font-size='20'><text font-size='large'/></g>", 14.0f},
        {"<g font-size='20'><text font-size='x-large'/></g>", 18.0f},
        {"<g font-size='20'><text font-size='xx-large'/></g>", 24.0f},
        {"<g font-size='20'><text font-size='1in'/></g>", 90.0f},
        {"<g font-size='20'><g font-size='150%'><text font-size='50%'/></g></g>", 15.0f},
        {"<g><text font-size='200%'/></g>", 24.0f},
        {"<g font-size='20'><text font-size='-100%'/></g>", 20.0f}, // rejected: inherits
        {"<g font-size='0.5'><text font-size='25600%'/></g>", 128.0f},
    };
    for (const Case& c : cases) {
        StyleChain chain(c.xml);
        // 100% is 65536/65536 exactly; other percentages carry the 65536.9999 rounding.
        EXPECT_NEAR(chain.Last().fontSize.computed, c.expected, 0.002) << c.xml;
        EXPECT_TRUE(chain.Last().fontSize.set) << c.xml; // inherited sizes count as set
    }
}

TEST(CascadeFontSize, ResolvedWithoutParentFromTheInitialSize) {
    EXPECT_FLOAT_EQ(ReadElementStyle("<text font-size='large'/>")->fontSize.computed, 14.0f);
    EXPECT_NEAR(ReadElementStyle("<text font-size='150%'/>")->fontSize.computed, 18.0f, 0.001);
    EXPECT_FLOAT_EQ(ReadElementStyle("<text font-size='larger'/>")->fontSize.computed, 14.4f);
    EXPECT_FLOAT_EQ(ReadElementStyle("<text font-size='30'/>")->fontSize.computed, 30.0f);
    auto unset = ReadElementStyle("<text/>");
    EXPECT_FALSE(unset->fontSize.set);
    EXPECT_FLOAT_EQ(unset->fontSize.computed, 12.0f);
}

TEST(CascadeFontWeight, BolderLighterAndKeywords) {
    struct Case {
        const char* xml;
        unsigned expected;
    };
    const Case cases[] = {
        {"<g font-weight='bold'><text font-weight='bolder'/></g>", 8},
        {"<g font-weight='200'><text font-weight='lighter'/></g>", 0},
        {"<g font-weight='normal'><text font-weight='lighter'/></g>", 0},
        {"<g font-weight='normal'><text font-weight='bolder'/></g>", 6},
        {"<g font-weight='900'><text font-weight='bolder'/></g>", 8},
        {"<g font-weight='bold'><text/></g>", 6},
        {"<g font-weight='bold'><text font-weight='inherit'/></g>", 6},
        {"<g font-weight='bold'><text font-weight='normal'/></g>", 3},
        {"<g><text font-weight='bold'/></g>", 6},
        {"<g><text font-weight='500'/></g>", 4},
        {"<g font-weight='bold'><g font-weight='lighter'><text font-weight='bolder'/></g></g>", 6},
    };
    for (const Case& c : cases) {
        StyleChain chain(c.xml);
        EXPECT_EQ(chain.Last().fontWeight.computed, c.expected) << c.xml;
    }
    // The specified keyword stays in value; an inherited weight is not marked set.
    StyleChain chain("<g font-weight='bold'><text/></g>");
    EXPECT_FALSE(chain.Last().fontWeight.set);
    EXPECT_EQ(chain.Last().fontWeight.value, 9u);
    // Without a parent, bold still computes to 700.
    EXPECT_EQ(ReadElementStyle("<text font-weight='bold'/>")->fontWeight.computed, 6u);
    EXPECT_EQ(ReadElementStyle("<text font-weight='bolder'/>")->fontWeight.computed, 6u);
}

TEST(CascadeFontStretch, NarrowerAndWiderStayInRange) {
    const std::pair<const char*, unsigned> cases[] = {
        {"<g font-stretch='condensed'><text font-stretch='narrower'/></g>", 1},
        {"<g font-stretch='ultra-condensed'><text font-stretch='narrower'/></g>", 0},
        {"<g font-stretch='ultra-expanded'><text font-stretch='wider'/></g>", 8},
        {"<g font-stretch='expanded'><text/></g>", 6},
    };
    for (const auto& [xml, expected] : cases)
        EXPECT_EQ(StyleChain(xml).Last().fontStretch.computed, expected) << xml;
}

TEST(CascadeText, FamiliesAreInheritedWithoutBeingMarkedSet) {
    StyleChain c("<g font-family='Serif' font='bold 10px Serif' text-anchor='middle' "
                 "text-decoration='underline' letter-spacing='2' text-indent='3'><text/></g>");
    SvgStyle& t = c.Last();
    EXPECT_EQ(t.text->fontFamily.value, "Serif");
    EXPECT_FALSE(t.text->fontFamily.set);
    EXPECT_NE(t.text, c[0].text);
    EXPECT_FALSE(t.text->font.set); // the shorthand is not inherited
    EXPECT_EQ(t.text->font.value, "");
    EXPECT_EQ(t.textAnchor.computed, 1u);
    EXPECT_EQ(t.textAnchor.value, 0u);
    EXPECT_TRUE(t.textDecoration.underline);
    EXPECT_FALSE(t.textDecoration.set);
    EXPECT_FLOAT_EQ(t.letterSpacing.computed, 2.0f);
    EXPECT_FALSE(t.letterSpacing.normal);
    EXPECT_FLOAT_EQ(t.textIndent.computed, 3.0f);

    StyleChain own("<g font-family='Serif'><text font-family='Sans'/></g>");
    EXPECT_EQ(own.Last().text->fontFamily.value, "Sans");

    // Inheriting into a shared record copies it first.
    SvgStyle parent, other, child;
    parent.ReadPropertyById(SvgPropFontFamily, "Serif");
    child.ShareTextWith(other);
    child.MergeFromParent(&parent);
    EXPECT_EQ(child.text->fontFamily.value, "Serif");
    EXPECT_EQ(other.text->fontFamily.value, "");
}

TEST(CascadeStroke, EmAndExWidthsUseTheOwnFontSize) {
    auto width = [](const char* xml) { return StyleChain(xml).Last().strokeWidth.computed; };
    EXPECT_FLOAT_EQ(width("<g font-size='20'><rect font-size='10' stroke-width='2em'/></g>"), 20);
    EXPECT_FLOAT_EQ(width("<g font-size='10'><rect stroke-width='1ex'/></g>"), 5);
    // A width in em on the group is inherited as the length it computed to.
    EXPECT_FLOAT_EQ(width("<g font-size='10' stroke-width='2em'><rect font-size='40'/></g>"), 20);
    EXPECT_FLOAT_EQ(ReadElementStyle("<rect stroke-width='1ex'/>")->strokeWidth.computed, 6.0f);
}

TEST(CascadeStroke, WidthsCapsJoinsAndMiter) {
    StyleChain c("<g stroke-width='3' stroke-linecap='round' stroke-linejoin='bevel' "
                 "stroke-miterlimit='9'><rect/></g>");
    SvgStyle& r = c.Last();
    EXPECT_FLOAT_EQ(r.strokeWidth.computed, 3.0f);
    EXPECT_FALSE(r.strokeWidth.set);
    // Painting reads value, which stays the element's own.
    EXPECT_EQ(r.strokeLinecap.value, 0u);
    EXPECT_EQ(r.strokeLinecap.computed, 1u);
    EXPECT_EQ(r.strokeLinejoin.computed, 2u);
    EXPECT_FLOAT_EQ(r.strokeMiterlimit.value, 9.0f);

    // A percentage is passed on as written, for the figure to resolve.
    StyleChain percent("<g stroke-width='10%'><rect/></g>");
    EXPECT_EQ(percent.Last().strokeWidth.unit, SvgUnitPercent);
    EXPECT_FLOAT_EQ(percent.Last().strokeWidth.value, 0.1f);
    SvgStyle other;
    other.ReadStyleAttribute("stroke-width:4");
    percent.Last().MergeFromParent(&other); // a second cascade from a plain width
    EXPECT_EQ(percent.Last().strokeWidth.unit, SvgUnitNone);
    EXPECT_FLOAT_EQ(percent.Last().strokeWidth.computed, 4.0f);
}

TEST(CascadeStroke, DashArraysAndOffsets) {
    StyleChain c("<g stroke-dasharray='5,5' stroke-dashoffset='2'><g><rect/></g></g>");
    const SvgDashArray& d = c.Last().strokeDash;
    EXPECT_TRUE(d.dasharraySet);
    ASSERT_EQ(d.dashCount, 2);
    EXPECT_EQ(d.dashes[0], 5.0);
    EXPECT_EQ(d.dashes[1], 5.0);
    EXPECT_NE(d.dashes, c[0].strokeDash.dashes); // a copy of its own
    EXPECT_EQ(c[1].strokeDash.dashOffset, 2.0);

    StyleChain own("<g stroke-dasharray='5,5'><rect stroke-dasharray='1 2 3'/></g>");
    EXPECT_EQ(own.Last().strokeDash.dashCount, 3);
    StyleChain none("<g stroke-dasharray='5,5'><rect stroke-dasharray='none'/></g>");
    EXPECT_EQ(none.Last().strokeDash.dashCount, 0);
    StyleChain inherit("<g stroke-dasharray='5,5'><rect stroke-dasharray='inherit'/></g>");
    EXPECT_EQ(inherit.Last().strokeDash.dashCount, 2);
    EXPECT_TRUE(inherit.Last().strokeDash.dasharrayInherit);
    StyleChain plain("<g><rect/></g>");
    EXPECT_FALSE(plain.Last().strokeDash.dasharraySet);
}

TEST(CascadeOther, NotInheritedUnlessAsked) {
    StyleChain c("<g display='none' visibility='hidden' overflow='hidden' filter='url(#f)' "
                 "stop-color='red' enable-background='new' marker-start='url(#m)'><rect/></g>");
    SvgStyle& r = c.Last();
    EXPECT_EQ(r.display.computed, 1u);
    EXPECT_EQ(r.visibility.computed, 0u); // visibility is inherited
    EXPECT_EQ(r.overflow.value, 0u);
    EXPECT_FALSE(r.filter.set);
    EXPECT_FALSE(r.stopColor.colorSet);
    EXPECT_EQ(r.enableBackground.value, 0u);
    EXPECT_EQ(r.marker[SvgStyle::MarkerStart].value, "url(#m)"); // markers are inherited

    StyleChain asked("<g enable-background='new'><rect enable-background='inherit'/></g>");
    EXPECT_EQ(asked.Last().enableBackground.value, 1u);
}

TEST(CascadeRepeat, SecondCascadeAfterACopy) {
    // A record merged from one parent, then re-pointed at another and merged
    // again, as a copied figure does.
    SvgStyle first, second;
    first.ReadStyleAttribute("font-size:20;fill:red;stroke-dasharray:4,4;font-weight:bold");
    second.ReadStyleAttribute("font-size:30;fill:blue;font-weight:100");
    SvgStyle copy;
    copy.parent = &first;
    copy.ReadFromElement(nullptr);
    EXPECT_FLOAT_EQ(copy.fontSize.computed, 20.0f);

    copy.parent = &second;
    copy.MergeFromParent(copy.parent);
    // The inherited size now counts as set: it computes from its own keyword, medium.
    EXPECT_FLOAT_EQ(copy.fontSize.computed, 12.0f);
    EXPECT_EQ(Packed(copy.fill.color), kBlue);
    EXPECT_EQ(copy.fontWeight.computed, 0u);
    // The dash array was marked set by the first cascade and stays.
    EXPECT_EQ(copy.strokeDash.dashCount, 2);

    // A record that specified its own size keeps computing it from the new parent.
    SvgStyle relative;
    relative.ReadStyleAttribute("font-size:50%");
    relative.MergeFromParent(&first);
    EXPECT_FLOAT_EQ(relative.fontSize.computed, 10.0f);
    relative.MergeFromParent(&second);
    EXPECT_FLOAT_EQ(relative.fontSize.computed, 15.0f);

    // Null parent: nothing happens.
    relative.MergeFromParent(nullptr);
    EXPECT_FLOAT_EQ(relative.fontSize.computed, 15.0f);
}

TEST(CascadeRepeat, DeepChainsMergeFromCompleteParents) {
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
}

TEST(CascadeRepeat, HugeSizesStayFinite) {
    // 25600% a level overflows a float after a few levels.
    std::string xml = "<g font-size='1e38'>";
    for (int i = 0; i < 20; ++i)
        xml += "<g font-size='25600%'>";
    xml += "<rect stroke-width='0em'/>";
    for (int i = 0; i < 21; ++i)
        xml += "</g>";
    StyleChain c(xml.c_str());
    EXPECT_FALSE(c.doc.Error());
    ASSERT_EQ(c.styles.size(), 22u);
    EXPECT_TRUE(std::isfinite(c.Last().fontSize.computed));
    EXPECT_EQ(c.Last().strokeWidth.computed, 0.0f);
    StyleChain larger(
        "<g font-size='3e38'><g font-size='larger'><rect stroke-width='2em'/></g></g>");
    EXPECT_TRUE(std::isfinite(larger.Last().fontSize.computed));
    EXPECT_TRUE(std::isfinite(larger.Last().strokeWidth.computed));
}

} // namespace
