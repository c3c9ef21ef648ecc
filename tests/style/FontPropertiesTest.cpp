// Font properties: weights as numbers and as bolder/lighter steps, widths,
// sizes relative to the parent's, the font shorthand in style attributes and
// sheets, and font-variation-settings.
#include "StyleTestUtil.h"

#include "style/SvgStyleSheet.h"
#include "style/SvgValueReaders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The innermost style of a chain of groups ending in a text element.
const SvgStyle& Innermost(StyleChain& chain) {
    return chain.Last();
}

// A text element's style under a sheet (the text has class "t").
std::unique_ptr<SvgStyle> UnderSheet(const std::string& sheet, const std::string& attributes) {
    TiXmlDocument doc;
    doc.Parse(
        ("<svg><style>" + sheet + "</style><text class='t' " + attributes + "/></svg>").c_str());
    std::unique_ptr<SvgStyleSheet> sheets = SvgStyleSheet::FromDocument(doc.RootElement());
    auto style = std::make_unique<SvgStyle>();
    style->ReadFromElement(doc.RootElement()->FirstChildElement("text"), sheets.get());
    return style;
}

} // namespace

TEST(FontWeight, NumbersKeywordsAndCssSteps) {
    // The weight in force, with bolder and lighter stepping from the parent's
    // through 100, 400, 700 and 900 as CSS computes them.
    // clang-format off
    const std::pair<const char*, unsigned> rows[] = {
        {"<g font-weight='450'><text/></g>", 450}, {"<text font-weight='1'/>", 1}, {"<text font-weight='1000'/>", 1000},
        {"<text font-weight='250.6'/>", 251}, {"<text font-weight='0'/>", 400}, {"<text font-weight='1001'/>", 400},
        {"<text font-weight='500px'/>", 400}, {"<text font-weight='Bold'/>", 400}, {"<text font-weight='bold'/>", 700},
        {"<g font-weight='300'><text font-weight='bolder'/></g>", 400}, {"<g font-weight='349'><text font-weight='bolder'/></g>", 400},
        {"<g font-weight='350'><text font-weight='bolder'/></g>", 700}, {"<g font-weight='600'><text font-weight='bolder'/></g>", 900},
        {"<g font-weight='950'><text font-weight='bolder'/></g>", 950}, {"<g font-weight='50'><text font-weight='lighter'/></g>", 50},
        {"<g font-weight='500'><text font-weight='lighter'/></g>", 100}, {"<g font-weight='600'><text font-weight='lighter'/></g>", 400},
        {"<g font-weight='800'><text font-weight='lighter'/></g>", 700}, {"<g font-weight='1000'><text font-weight='lighter'/></g>", 700},
        {"<g font-weight='200'><g font-weight='bolder'><text font-weight='bolder'/></g></g>", 700},
        {"<g font-weight='650'><text font-weight='inherit'/></g>", 650}, {"<text font-weight='lighter'/>", 100},
    };
    // clang-format on
    for (auto [xml, weight] : rows) {
        StyleChain chain(xml);
        EXPECT_EQ(Innermost(chain).fontWeight.weight, weight) << xml;
        EXPECT_EQ(Innermost(chain).fontWeight.computed, SvgFontWeight::NearestKeyword(weight))
            << xml;
    }
    EXPECT_EQ(SvgFontWeight::NearestKeyword(449), 3u);
    EXPECT_EQ(SvgFontWeight::NearestKeyword(450), 4u);
    EXPECT_EQ(SvgFontWeight::NearestKeyword(1), 0u);
    EXPECT_EQ(SvgFontWeight::NearestKeyword(1000), 8u);
}

TEST(FontStretchAndSize, PercentagesAndRelativeUnits) {
    // A width in percent reads as the keyword nearest to it.
    const std::pair<const char*, unsigned> widths[] = {
        {"50%", 0}, {"75%", 2}, {"81%", 2}, {"82%", 3}, {"100%", 4}, {"140%", 7}, {"1000%", 8}};
    for (auto [text, keyword] : widths) {
        SvgEnumValue stretch;
        EXPECT_TRUE(ReadFontStretch(stretch, text)) << text;
        EXPECT_EQ(stretch.value, keyword) << text;
    }
    for (const char* text : {"-5%", "75", "75 %", "wide"}) {
        SvgEnumValue stretch;
        EXPECT_FALSE(ReadFontStretch(stretch, text)) << text;
    }
    // em and ex are of the parent's size (an ex is half an em), like percentages.
    const std::pair<const char*, float> sizes[] = {
        {"<g font-size='16'><text font-size='1.5em'/></g>", 24},
        {"<g font-size='16'><text font-size='2ex'/></g>", 16},
        {"<g font-size='10'><g font-size='2em'><text font-size='50%'/></g></g>", 10},
        {"<g font-size='16'><text font-size='-1em'/></g>", 16},
        {"<text font-size='2em'/>", 24}};
    for (auto [xml, size] : sizes) {
        StyleChain chain(xml);
        EXPECT_NEAR(Innermost(chain).fontSize.computed, size, 0.001) << xml;
    }
}

TEST(FontShorthand, SetsEveryPartInStyleAttributesAndSheets) {
    StyleChain chain("<g font-weight='bold' font-style='italic' line-height='3'><text "
                     "style=\"font: small-caps 600 condensed 20px/1.5 'Liberation Serif', "
                     "serif\"/></g>");
    const SvgStyle& s = Innermost(chain);
    EXPECT_EQ(s.fontWeight.weight, 600);
    EXPECT_EQ(s.fontVariant.computed, 1u);
    EXPECT_EQ(s.fontStretch.computed, 2u);
    EXPECT_EQ(s.fontSize.computed, 20.0f);
    EXPECT_EQ(s.lineHeight.computed, 1.5f);
    // The parts it leaves out are reset, not inherited.
    EXPECT_EQ(s.fontStyle.computed, 0u);
    EXPECT_EQ(s.text->fontFamily.value, "'Liberation Serif', serif");
    EXPECT_TRUE(s.text->font.set);

    // In a style attribute the first declaration of a part wins, as for any
    // property; in a sheet the last one, the shorthand's parts included.
    StyleChain first("<text style='font: bold 10px A; font-weight: 300; font-size: 30px'/>");
    EXPECT_EQ(Innermost(first).fontWeight.weight, 700);
    EXPECT_EQ(Innermost(first).fontSize.computed, 10.0f);
    StyleChain after("<text style='font-weight: 300; font: bold 10px A'/>");
    EXPECT_EQ(Innermost(after).fontWeight.weight, 300);
    EXPECT_EQ(Innermost(after).fontSize.computed, 10.0f);
    EXPECT_EQ(UnderSheet(".t{font: bold 10px A} text{font-weight: 300}", "")->fontWeight.weight,
              700);
    EXPECT_EQ(UnderSheet(".t{font-weight: 300} .t{font: italic 10px A}", "")->fontWeight.weight,
              400);
    EXPECT_EQ(UnderSheet(".t{font: bold 10px A; font-weight: 200}", "")->fontWeight.weight, 200);

    // A shorthand that is not valid sets nothing; "inherit" makes every part inherit.
    for (const char* bad : {"bold", "bold 12px", "12px/ A", "bold bold 12px A", "12pxx A",
                            "normal normal normal normal normal 12px A", "inherit 12px A", ""}) {
        StyleChain chain(
            ("<g font-size='7'><text style='font: " + std::string(bad) + "'/></g>").c_str());
        EXPECT_FALSE(Innermost(chain).fontWeight.set) << bad;
        EXPECT_EQ(Innermost(chain).fontSize.computed, 7.0f) << bad;
    }
    StyleChain inherit("<g font-weight='800' font-size='9'><text style='font: inherit'/></g>");
    EXPECT_EQ(Innermost(inherit).fontWeight.weight, 800);
    EXPECT_EQ(Innermost(inherit).fontSize.computed, 9.0f);
}

TEST(FontVariationSettings, ReadInheritedAndRefused) {
    std::vector<SvgFontVariation> v;
    ASSERT_TRUE(ReadFontVariations(" 'wght' 650, \"wdth\" 80.5 ,'wght' 700", v));
    ASSERT_EQ(v.size(), 2u); // the tag given twice keeps its last value
    EXPECT_EQ(std::string(v[0].tag, 4), "wght");
    EXPECT_EQ(v[0].value, 700.0f);
    EXPECT_EQ(v[1].value, 80.5f);
    EXPECT_TRUE(ReadFontVariations("normal", v) && v.empty());
    for (const char* bad : {"'wgh' 5", "'wght'", "wght 5", "'wght' 5,", "'wght' 5 'wdth' 3",
                            "'wg't' 5", "'wght' 1e39", "'wght' 5;"})
        EXPECT_FALSE(ReadFontVariations(bad, v) || !v.empty()) << bad;
    std::string many;
    for (int i = 0; i < 100; ++i)
        many +=
            (i ? "," : "") + std::string("'a") + char('A' + i / 26) + char('a' + i % 26) + "z' 1";
    EXPECT_TRUE(ReadFontVariations(many.c_str(), v));
    EXPECT_EQ(v.size(), 64u);

    StyleChain chain("<g style=\"font-variation-settings: 'wght' 300\"><g "
                     "style='font-variation-settings: bogus'><text/></g></g>");
    EXPECT_EQ(Innermost(chain).text->fontVariationSettings.value, "'wght' 300");
    EXPECT_FALSE(Innermost(chain).text->fontVariationSettings.set);
    EXPECT_EQ(UnderSheet("text{font-variation-settings:'opsz' 12}", "")
                  ->text->fontVariationSettings.value,
              "'opsz' 12");
}
