#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

// Every field of a record a draw reads, as text, so that two records compare whole.
std::string Fields(const SvgStyle& s) {
    std::ostringstream o;
    auto str = [&](const SvgStringValue& v) { o << v.set << v.inherit << v.value << '|'; };
    auto paint = [&](const SvgPaint& p) {
        o << p.set << p.inherit << p.currentColor << p.colorSet << p.noneSet << p.uri << '/'
          << Packed(p.color) << '|';
    };
    str(s.text->fontFamily), str(s.text->fontSpecification), str(s.text->font), str(s.filter);
    for (const SvgStringValue& m : s.marker)
        str(m);
    paint(s.color), paint(s.fill), paint(s.stroke), paint(s.stopColor);
    for (const SvgEnumValue* e :
         {&s.fontStyle, &s.fontVariant, &s.fontWeight, &s.fontStretch, &s.textAlign, &s.textAnchor,
          &s.overflow, &s.fillRule, &s.strokeLinecap, &s.strokeLinejoin, &s.enableBackground,
          &s.display, &s.visibility, &s.textTransform, &s.direction, &s.writingMode,
          &s.blockProgression})
        o << e->set << e->inherit << e->value << ',' << e->computed << '|';
    for (const SvgScale24* v : {&s.opacity, &s.fillOpacity, &s.strokeOpacity, &s.stopOpacity})
        o << v->set << v->inherit << v->value << '|';
    for (const SvgLengthOrNormal* l : {&s.lineHeight, &s.letterSpacing, &s.wordSpacing})
        o << l->set << l->inherit << l->normal << l->unit << l->value << ',' << l->computed << '|';
    const SvgTextDecoration& d = s.textDecoration;
    o << d.set << d.underline << d.overline << d.lineThrough << d.blink << '|';
    o << s.fontSize.set << s.fontSize.type << s.fontSize.value << ',' << s.fontSize.computed << '|'
      << s.strokeWidth.set << s.strokeWidth.unit << s.strokeWidth.computed << '|'
      << s.textIndent.set << s.textIndent.computed << '|' << s.strokeMiterlimit.set
      << s.strokeMiterlimit.value << '|' << s.strokeDash.dashCount << s.strokeDash.dasharraySet
      << s.strokeDash.dashoffsetSet << s.strokeDash.dashOffset;
    return o.str();
}

TEST(StyleRecord, ClearUndoesEverythingRead) {
    const std::string fresh = Fields(SvgStyle());
    SvgStyle parent;
    parent.ReadStyleAttribute("stroke:red;font-size:30;font-weight:bold;stroke-dasharray:3");
    SvgStyle s;
    s.parent = &parent;
    s.ReadStyleAttribute(
        "fill:red;stroke:blue;stroke-width:3;font-size:large;font-weight:bolder;"
        "font-family:'Serif';-inkscape-font-specification:x;font:bold 12px x;"
        "stroke-dasharray:5,5;stroke-dashoffset:2;marker:url(#a);marker-end:url(#m);"
        "filter:url(#f);opacity:0.5;fill-opacity:0;stroke-opacity:0;stop-opacity:0;"
        "display:none;visibility:hidden;line-height:2;letter-spacing:1;word-spacing:1;"
        "color:green;stop-color:red;font-style:italic;font-variant:small-caps;"
        "font-stretch:wider;text-align:center;text-anchor:end;overflow:hidden;"
        "fill-rule:evenodd;stroke-linecap:round;stroke-linejoin:bevel;stroke-miterlimit:9;"
        "enable-background:new;text-decoration:underline;text-indent:4;"
        "text-transform:none;direction:rtl;writing-mode:tb;block-progression:lr");
    s.MergeFromParent(&parent);
    ASSERT_NE(Fields(s), fresh);
    s.Clear();
    EXPECT_EQ(Fields(s), fresh);
    EXPECT_EQ(s.parent, nullptr);

    // Clearing a style whose text record is shared leaves the other holder alone.
    SvgStyle a, b;
    a.ReadPropertyById(SvgPropFontFamily, "Serif");
    b.ShareTextWith(a);
    b.Clear();
    EXPECT_EQ(Fields(b), fresh);
    EXPECT_EQ(a.text->fontFamily.value, "Serif");
    EXPECT_EQ(a.text->shareCount, 1u);
}

TEST(StyleRecord, SharedTextIsCopiedBeforeAWrite) {
    SvgStyle a, b;
    a.ReadPropertyById(SvgPropFontFamily, "Sans");
    b.ShareTextWith(a);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.text->shareCount, 2u);

    b.ReadPropertyById(SvgPropFontSpecification, "Sans Bold");
    EXPECT_NE(a.text, b.text);
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

    // The shared record outlives its first holder.
    auto first = std::make_unique<SvgStyle>();
    first->ReadPropertyById(SvgPropFontFamily, "Mono");
    SvgStyle d;
    d.ShareTextWith(*first);
    first.reset();
    EXPECT_EQ(d.text->shareCount, 1u);
    EXPECT_EQ(d.text->fontFamily.value, "Mono");
}

// Numbers and names as the attribute table lists them: spot values spread over
// the table, so a shifted or swapped row shows.
TEST(AttributeTable, NumbersAreThoseOfTheTable) {
    const std::pair<const char*, int> rows[] = {{"id", 1},
                                                {"style", 8},
                                                {"inkscape:layoutOptions", 222},
                                                {"-inkscape-font-specification", 223},
                                                {"stop-color", 265},
                                                {"fill", 272},
                                                {"stroke-width", 288},
                                                {"text-rendering", 289},
                                                {"systemLanguage", 290},
                                                {"effect", 293},
                                                // Listed twice: the style-property row counts.
                                                {"flood-color", 262},
                                                {"flood-opacity", 263}};
    for (auto [name, id] : rows) {
        EXPECT_EQ(LookupAttributeId(name), id) << name;
        EXPECT_STREQ(AttributeName(id), name) << id;
    }
    EXPECT_EQ(AttributeName(0), nullptr);
    EXPECT_EQ(AttributeName(294), nullptr);
}

TEST(AttributeTable, LookupIsExact) {
    for (const char* name : {"Fill", "", "fill ", "fil", "fills", "block_progression"})
        EXPECT_EQ(LookupAttributeId(name), 0) << name;
    EXPECT_EQ(LookupAttributeId(nullptr), 0);
    EXPECT_EQ(LookupAttributeId(std::string(1000, 'a').c_str()), 0);
    // The counted form reads only the given characters.
    EXPECT_EQ(LookupAttributeId("fill-rule", 4), 272);
    EXPECT_EQ(LookupAttributeId("fill-rule", 0), 0);
}

} // namespace
