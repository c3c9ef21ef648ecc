#include "engine/SvgXmlReader.h"
#include "SvgTestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

int TreeDepth(const TiXmlNode* node) {
    int deepest = 0;
    for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        if (!child->ToElement())
            continue;
        int d = 1 + TreeDepth(child);
        if (d > deepest)
            deepest = d;
    }
    return deepest;
}

TEST(SvgXmlReader, MeasuresDepthAsTheXmlReaderNests) {
    EXPECT_EQ(SvgXmlReader::MeasureDepth(""), 0);
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<a><b><c/></b><d/></a>"), 3);
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<a/><b/>"), 1);
    // Markup inside comments, CDATA, quoted values and declarations is not nesting.
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<a><!-- <b><c> --></a>"), 1);
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<a><![CDATA[<b><c>]]></a>"), 1);
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<a t='>' u=\"/>\"><b/></a>"), 2);
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<?xml version=\"1.0\"?><!DOCTYPE svg><a/>"), 1);
    // Stray end tags never make the depth negative.
    EXPECT_EQ(SvgXmlReader::MeasureDepth("</x></y><a><b/></a>"), 2);
    // Text with a lone '<' that starts no tag.
    EXPECT_EQ(SvgXmlReader::MeasureDepth("<a>1 < 2</a>"), 1);
}

TEST(SvgXmlReader, CutsElementsDeeperThanTheLimitWithTheirSubtrees) {
    std::string bytes = "<a><b><c><d>deep</d></c><e/>after</b>tail</a>";
    EXPECT_EQ(SvgXmlReader::LimitDepth(bytes, 2), 4);
    EXPECT_EQ(bytes, "<a><b>after</b>tail</a>");

    std::string shallow = "<a><b/></a>";
    EXPECT_EQ(SvgXmlReader::LimitDepth(shallow, 2), 2);
    EXPECT_EQ(shallow, "<a><b/></a>");
}

TEST(SvgXmlReader, ParsesVeryDeepNestingAtTheLimit) {
    const int n = 100000;
    std::string bytes = "<svg>" + Repeat("<g>", n) + Repeat("</g>", n) + "<g id=\"last\"/></svg>";
    TiXmlDocument doc;
    ASSERT_TRUE(SvgXmlReader::Parse(bytes, doc)) << doc.ErrorDesc();
    EXPECT_EQ(TreeDepth(&doc), SvgXmlReader::kMaxXmlDepth);
    // What follows the deep part is kept.
    TiXmlElement* svg = doc.FirstChildElement("svg");
    ASSERT_NE(svg, nullptr);
    TiXmlElement* last = svg->FirstChildElement()->NextSiblingElement();
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last->Attribute("id"), "last");
}

TEST(SvgXmlReader, DeepNestingHiddenInMarkupIsStillCut) {
    const int n = 30000;
    std::string bytes = "<svg>" + Repeat("<g a=\"x>y\"><!-- <g> -->", n) + "<![CDATA[</g>]]>" +
                        Repeat("</g>", n) + "</svg>";
    TiXmlDocument doc;
    SvgXmlReader::Parse(bytes, doc);
    EXPECT_LE(TreeDepth(&doc), SvgXmlReader::kMaxXmlDepth);
}

TEST(SvgXmlReader, SkipsADoctypeWithAnInternalSubset) {
    std::string bytes = "<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                        "\"x.dtd\" [\n  <!ENTITY ns \"a>b\">\n]>\n<svg width=\"1\"><g></svg>";
    TiXmlDocument doc;
    EXPECT_FALSE(SvgXmlReader::Parse(bytes, doc));
    EXPECT_EQ(doc.ErrorRow(), 5); // line numbers are those of the file
    TiXmlDocument good;
    ASSERT_TRUE(SvgXmlReader::Parse(bytes.substr(0, bytes.size() - 9) + "</svg>", good));
    ASSERT_NE(good.FirstChildElement("svg"), nullptr);
    // Without a subset the declaration stays as it is.
    std::string plain = "<!DOCTYPE svg><svg/>";
    SvgXmlReader::LimitDepth(plain, 10);
    EXPECT_EQ(plain, "<!DOCTYPE svg><svg/>");
}

TEST(SvgXmlReader, MarksWhiteSpaceInTextContentOnly) {
    std::string bytes = "<svg> <g> a b </g><text x=' 1 2'> A\tB <tspan dy=' 3'> C\n</tspan>"
                        "<!-- c d --><![CDATA[ e ]]> </text><texts> f </texts>\n"
                        "<text/> g <text\n> h</text></svg>";
    SvgXmlReader::MarkTextSpaces(bytes);
    EXPECT_EQ(bytes, "<svg> <g> a b </g><text x=' 1 2'>\1A\1B\1<tspan dy=' 3'>\1C\1</tspan>"
                     "<!-- c d --><![CDATA[ e ]]>\1</text><texts> f </texts>\n"
                     "<text/> g <text\n>\1h</text></svg>");
    // The XML reader keeps the marks: no white space is trimmed or merged.
    TiXmlDocument doc;
    ASSERT_TRUE(SvgXmlReader::Parse("<svg><text>  a <tspan>b</tspan> </text></svg>", doc));
    const TiXmlElement* text = doc.FirstChildElement("svg")->FirstChildElement("text");
    EXPECT_STREQ(text->FirstChild()->Value(), "\1\1a\1");
    EXPECT_STREQ(text->LastChild()->Value(), "\1");
}

TEST(SvgXmlReader, NormalizesLineEnds) {
    std::string bytes = "a\r\nb\rc\n\r\n";
    SvgXmlReader::NormalizeLineEnds(bytes);
    EXPECT_EQ(bytes, "a\nb\nc\n\n");
}

TEST(SvgXmlReader, ReportsUnreadableAndBrokenInput) {
    TiXmlDocument missing;
    EXPECT_FALSE(SvgXmlReader::Load("/nonexistent/kelsvg/file.svg", missing));
    EXPECT_TRUE(missing.Error());

    // A file that never ends is not read past the limit.
    std::string bytes;
    EXPECT_FALSE(SvgXmlReader::ReadFile("/dev/zero", bytes, 1 << 20));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(SvgXmlReader::ReadFile("/", bytes));

    TiXmlDocument empty;
    EXPECT_FALSE(SvgXmlReader::Parse("", empty));
    TiXmlDocument broken;
    EXPECT_FALSE(SvgXmlReader::Parse("<svg><g></svg>", broken));
    TiXmlDocument binary;
    EXPECT_FALSE(SvgXmlReader::Parse(std::string("\x01\x02<\xff\xfe\x00 junk", 11), binary));
}

} // namespace
