#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

void ExpectNewRecordState(const SvgStyle& s) {
    ASSERT_NE(s.text, nullptr);
    EXPECT_TRUE(s.textPrivate);
    EXPECT_EQ(s.text->shareCount, 1u);
    EXPECT_FALSE(s.text->fontFamily.set);
    EXPECT_TRUE(s.text->fontFamily.value.empty());
    EXPECT_FALSE(s.text->fontSpecification.set);
    EXPECT_FALSE(s.text->font.set);
    EXPECT_TRUE(s.text->font.value.empty());

    EXPECT_FALSE(s.fontSize.set);
    EXPECT_EQ(s.fontSize.type, SvgFontSizeLiteral);
    EXPECT_EQ(s.fontSize.value, 3u);
    EXPECT_FLOAT_EQ(s.fontSize.computed, 12.0f);
    EXPECT_EQ(s.fontStyle.value, 0u);
    EXPECT_EQ(s.fontVariant.value, 0u);
    EXPECT_EQ(s.fontWeight.value, 9u);
    EXPECT_EQ(s.fontWeight.computed, 3u);
    EXPECT_EQ(s.fontStretch.value, 4u);
    EXPECT_EQ(s.fontStretch.computed, 4u);
    EXPECT_EQ(s.textIndent.unit, SvgUnitNone);
    EXPECT_FLOAT_EQ(s.textIndent.computed, 0.0f);
    EXPECT_FALSE(s.textDecoration.set || s.textDecoration.underline || s.textDecoration.overline ||
                 s.textDecoration.lineThrough || s.textDecoration.blink);
    EXPECT_TRUE(s.lineHeight.normal);
    EXPECT_EQ(s.lineHeight.unit, SvgUnitPercent);
    EXPECT_FLOAT_EQ(s.lineHeight.value, 1.0f);
    EXPECT_FLOAT_EQ(s.lineHeight.computed, 1.0f);
    EXPECT_TRUE(s.letterSpacing.normal);
    EXPECT_EQ(s.letterSpacing.unit, SvgUnitNone);
    EXPECT_TRUE(s.wordSpacing.normal);
    EXPECT_EQ(s.display.computed, 1u);
    EXPECT_EQ(s.visibility.computed, 2u);
    EXPECT_EQ(s.overflow.value, 0u);
    EXPECT_EQ(s.opacity.value, 16711680u);
    EXPECT_FALSE(s.opacity.set);

    EXPECT_FALSE(s.color.set);
    EXPECT_TRUE(s.color.colorSet);
    EXPECT_EQ(Packed(s.color.color), 0u);
    EXPECT_FALSE(s.stopColor.set || s.stopColor.colorSet || s.stopColor.noneSet);
    EXPECT_EQ(s.stopOpacity.value, 16711680u);
    EXPECT_FALSE(s.fill.set);
    EXPECT_TRUE(s.fill.colorSet);
    EXPECT_FALSE(s.fill.noneSet || s.fill.currentColor);
    EXPECT_TRUE(s.fill.uri.empty());
    EXPECT_EQ(s.fillOpacity.value, 16711680u);
    EXPECT_EQ(s.fillRule.value, 0u);
    EXPECT_FALSE(s.stroke.set || s.stroke.colorSet || s.stroke.noneSet);
    EXPECT_EQ(s.strokeWidth.unit, SvgUnitNone);
    EXPECT_FLOAT_EQ(s.strokeWidth.value, 1.0f);
    EXPECT_FLOAT_EQ(s.strokeWidth.computed, 1.0f);
    EXPECT_FALSE(s.strokeWidth.set);
    EXPECT_EQ(s.strokeLinecap.value, 0u);
    EXPECT_EQ(s.strokeLinejoin.value, 0u);
    EXPECT_FLOAT_EQ(s.strokeMiterlimit.value, 4.0f);
    EXPECT_EQ(s.strokeDash.dashCount, 0);
    EXPECT_EQ(s.strokeDash.dashes, nullptr);
    EXPECT_EQ(s.strokeDash.dashOffset, 0.0);
    EXPECT_FALSE(s.strokeDash.dasharraySet || s.strokeDash.dasharrayInherit ||
                 s.strokeDash.dashoffsetSet);
    EXPECT_EQ(s.strokeOpacity.value, 16711680u);
    for (const SvgStringValue& m : s.marker) {
        EXPECT_FALSE(m.set || m.inherit);
        EXPECT_TRUE(m.value.empty());
    }
    EXPECT_FALSE(s.filter.set);
    EXPECT_EQ(s.enableBackground.value, 0u);
    EXPECT_EQ(s.parent, nullptr);
}

TEST(StyleRecord, NewRecordHasTheInitialValues) {
    SvgStyle s;
    ExpectNewRecordState(s);
}

TEST(StyleRecord, ClearUndoesEverythingRead) {
    SvgStyle parent;
    SvgStyle s;
    s.parent = &parent;
    s.ReadStyleAttribute("fill:red;stroke:blue;stroke-width:3;font-size:large;font-weight:bold;"
                         "font-family:'Serif';font:bold 12px x;stroke-dasharray:5,5;"
                         "stroke-dashoffset:2;marker-end:url(#m);filter:url(#f);opacity:0.5;"
                         "display:none;visibility:hidden;line-height:2;color:green");
    s.MergeFromParent(&parent);
    s.Clear();
    ExpectNewRecordState(s);

    // Clearing a style whose text record is shared leaves the other holder alone.
    SvgStyle a, b;
    a.ReadPropertyById(SvgPropFontFamily, "Serif");
    b.ShareTextWith(a);
    b.Clear();
    ExpectNewRecordState(b);
    EXPECT_EQ(a.text->fontFamily.value, "Serif");
    EXPECT_EQ(a.text->shareCount, 1u);
}

TEST(StyleRecord, SharedTextIsCopiedBeforeAWrite) {
    SvgStyle a, b;
    a.ReadPropertyById(SvgPropFontFamily, "Sans");
    b.ShareTextWith(a);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.text->shareCount, 2u);
    EXPECT_FALSE(b.textPrivate);

    b.ReadPropertyById(SvgPropFontSpecification, "Sans Bold");
    EXPECT_NE(a.text, b.text);
    EXPECT_TRUE(b.textPrivate);
    EXPECT_EQ(a.text->shareCount, 1u);
    EXPECT_EQ(b.text->shareCount, 1u);
    EXPECT_EQ(b.text->fontFamily.value, "Sans"); // the copy keeps what was shared
    EXPECT_EQ(b.text->fontSpecification.value, "Sans Bold");
    EXPECT_FALSE(a.text->fontSpecification.set); // the other holder keeps the old value

    // A declaration that writes nothing (the family is already set) makes no copy.
    SvgStyle c;
    c.ShareTextWith(a);
    c.ReadPropertyById(SvgPropFontFamily, "Other");
    EXPECT_EQ(c.text, a.text);
    EXPECT_EQ(a.text->fontFamily.value, "Sans");
}

TEST(StyleRecord, SharedTextOutlivesItsFirstHolder) {
    auto a = std::make_unique<SvgStyle>();
    a->ReadPropertyById(SvgPropFontFamily, "Mono");
    SvgStyle b;
    b.ShareTextWith(*a);
    a.reset();
    EXPECT_EQ(b.text->shareCount, 1u);
    EXPECT_EQ(b.text->fontFamily.value, "Mono");
}

TEST(AttributeTable, NumbersAreThoseOfTheTable) {
    EXPECT_EQ(LookupAttributeId("id"), 1);
    EXPECT_EQ(LookupAttributeId("style"), 8);
    EXPECT_EQ(LookupAttributeId("inkscape:layoutOptions"), 222);
    EXPECT_EQ(LookupAttributeId("-inkscape-font-specification"), 223);
    EXPECT_EQ(LookupAttributeId("fill"), 272);
    EXPECT_EQ(LookupAttributeId("stop-color"), 265);
    EXPECT_EQ(LookupAttributeId("stroke-width"), 288);
    EXPECT_EQ(LookupAttributeId("text-rendering"), 289);
    EXPECT_EQ(LookupAttributeId("systemLanguage"), 290);
    EXPECT_EQ(LookupAttributeId("effect"), 293);
    // Listed twice: the style-property row counts.
    EXPECT_EQ(LookupAttributeId("flood-color"), 262);
    EXPECT_EQ(LookupAttributeId("flood-opacity"), 263);
}

TEST(AttributeTable, LookupIsExact) {
    EXPECT_EQ(LookupAttributeId("Fill"), 0);
    EXPECT_EQ(LookupAttributeId("FILL"), 0);
    EXPECT_EQ(LookupAttributeId(""), 0);
    EXPECT_EQ(LookupAttributeId(nullptr), 0);
    EXPECT_EQ(LookupAttributeId("fill "), 0);
    EXPECT_EQ(LookupAttributeId("fil"), 0);
    EXPECT_EQ(LookupAttributeId("fills"), 0);
    EXPECT_EQ(LookupAttributeId("block_progression"), 0);
    EXPECT_EQ(LookupAttributeId(std::string(1000, 'a').c_str()), 0);
    // The counted form reads only the given characters.
    EXPECT_EQ(LookupAttributeId("fill-rule", 4), 272);
    EXPECT_EQ(LookupAttributeId("fill-rule", 0), 0);
}

TEST(AttributeTable, EveryNameFindsItsOwnNumber) {
    EXPECT_EQ(AttributeName(0), nullptr);
    EXPECT_EQ(AttributeName(294), nullptr);
    int distinct = 0;
    for (int id = 1; id <= kAttributeCount; ++id) {
        const char* name = AttributeName(id);
        ASSERT_NE(name, nullptr) << id;
        int found = LookupAttributeId(name);
        if (found == id)
            ++distinct;
        else
            EXPECT_STREQ(AttributeName(found), name) << id; // a duplicate row
    }
    EXPECT_EQ(distinct, 291);
}

} // namespace
