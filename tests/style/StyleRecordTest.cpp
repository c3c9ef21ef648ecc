#include "StyleTestUtil.h"

#include "style/SvgAttributeTable.h"

#include <gtest/gtest.h>
#include <string>

namespace {

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

    // Clearing a style whose text record is shared leaves the other holder alone.
    SvgStyle e, f;
    f.ReadPropertyById(SvgPropFontFamily, "Serif");
    e.ShareTextWith(f);
    e.Clear();
    EXPECT_FALSE(e.text->fontFamily.set);
    EXPECT_EQ(f.text->fontFamily.value, "Serif");
    EXPECT_EQ(f.text->shareCount, 1u);
}

// Numbers and names as the attribute table lists them: spot values spread over
// the table, so a shifted or swapped row shows.
TEST(AttributeTable, NumbersAreThoseOfTheTable) {
    // clang-format off
    const std::pair<const char*, int> rows[] = {
        {"id", 1}, {"style", 8}, {"inkscape:layoutOptions", 222}, {"-inkscape-font-specification", 223},
        {"stop-color", 265}, {"fill", 272}, {"stroke-width", 288}, {"text-rendering", 289},
        {"systemLanguage", 290}, {"effect", 293}, {"transform-origin", 294}, {"isolation", 296},
        {"font-kerning", 298}, {"font-variation-settings", 299},
        {"flood-color", 262}, {"flood-opacity", 263}}; // listed twice: the style-property row counts
    // clang-format on
    for (auto [name, id] : rows) {
        EXPECT_EQ(LookupAttributeId(name), id) << name;
        EXPECT_STREQ(AttributeName(id), name) << id;
    }
    EXPECT_EQ(AttributeName(0), nullptr);
    EXPECT_EQ(AttributeName(kAttributeCount + 1), nullptr);
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
