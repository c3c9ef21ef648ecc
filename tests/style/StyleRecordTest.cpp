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
    for (const SvgStringValue* v : std::initializer_list<const SvgStringValue*>{
             &s.text->fontFamily, &s.text->fontSpecification, &s.text->font, &s.marker[0],
             &s.marker[1], &s.marker[2], &s.marker[3], &s.filter})
        EXPECT_TRUE(!v->set && !v->inherit && v->value.empty());

    EXPECT_FALSE(s.fontSize.set);
    EXPECT_EQ(s.fontSize.type, SvgFontSizeLiteral);
    EXPECT_EQ(s.fontSize.value, 3u);
    EXPECT_FLOAT_EQ(s.fontSize.computed, 12.0f);
    EXPECT_EQ(s.fontWeight.value, 9u);
    EXPECT_EQ(s.fontWeight.computed, 3u);
    EXPECT_EQ(s.fontStretch.computed, 4u);
    EXPECT_EQ(s.fontStyle.value + s.fontVariant.value + s.textAlign.value + s.textAnchor.value +
                  s.overflow.value + s.fillRule.value + s.strokeLinecap.value +
                  s.strokeLinejoin.value + s.enableBackground.value,
              0u);
    EXPECT_FALSE(s.textDecoration.set || s.textDecoration.underline ||
                 s.textDecoration.lineThrough);
    EXPECT_TRUE(s.lineHeight.normal && s.letterSpacing.normal && s.wordSpacing.normal);
    EXPECT_EQ(s.lineHeight.unit, SvgUnitPercent);
    EXPECT_FLOAT_EQ(s.lineHeight.computed, 1.0f);
    EXPECT_EQ(s.display.computed, 1u);
    EXPECT_EQ(s.visibility.computed, 2u);
    for (const SvgScale24* o : {&s.opacity, &s.fillOpacity, &s.strokeOpacity, &s.stopOpacity})
        EXPECT_TRUE(!o->set && o->value == 16711680u);

    EXPECT_TRUE(!s.color.set && s.color.colorSet && Packed(s.color.color) == 0u);
    EXPECT_TRUE(!s.fill.set && s.fill.colorSet && Packed(s.fill.color) == 0u);
    EXPECT_TRUE(!s.fill.noneSet && !s.fill.currentColor && s.fill.uri.empty());
    EXPECT_FALSE(s.stroke.set || s.stroke.colorSet || s.stroke.noneSet);
    EXPECT_FALSE(s.stopColor.set || s.stopColor.colorSet || s.stopColor.noneSet);
    EXPECT_FALSE(s.strokeWidth.set);
    EXPECT_EQ(s.strokeWidth.unit, SvgUnitNone);
    EXPECT_FLOAT_EQ(s.strokeWidth.computed, 1.0f);
    EXPECT_FLOAT_EQ(s.strokeMiterlimit.value, 4.0f);
    EXPECT_TRUE(s.strokeDash.dashCount == 0 && s.strokeDash.dashes == nullptr &&
                s.strokeDash.dashOffset == 0.0);
    EXPECT_FALSE(s.strokeDash.dasharraySet || s.strokeDash.dasharrayInherit ||
                 s.strokeDash.dashoffsetSet);
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
