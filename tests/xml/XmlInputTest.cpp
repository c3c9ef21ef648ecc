// The XML reader's own steps: gzip data, encodings, entities and namespaces,
// each checked on the text or the tree it makes.
#include "XmlTestSupport.h"

#include "engine/SvgInputDecoder.h"
#include "engine/SvgXmlEntities.h"
#include "engine/SvgXmlReader.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

std::string Decoded(std::string bytes, SvgInputStatus expected = SvgInputStatus::Ok) {
    EXPECT_EQ(SvgInputDecoder::Decode(bytes), expected);
    return bytes;
}

TEST(SvgInputDecoder, InflatesGzipMembersAndKeepsWhatDamagedDataGives) {
    std::string text = "<svg>" + std::string(5000, 'x') + "</svg>";
    EXPECT_EQ(Decoded(Gzip(text)), text);
    // Members one after the other; bytes after the last one are left out.
    EXPECT_EQ(Decoded(Gzip("<svg>") + Gzip("</svg>") + "junk"), "<svg></svg>");
    // Past the limit: exactly the limit's worth of the start.
    std::string cut = Gzip(text);
    EXPECT_EQ(SvgInputDecoder::Inflate(cut, 100), SvgInputStatus::TooLarge);
    EXPECT_EQ(cut, text.substr(0, 100));
    // Cut short: the start. A wrong check sum: the data, reported damaged.
    std::string gz = Gzip(text);
    EXPECT_EQ(Decoded(gz.substr(0, gz.size() - 12), SvgInputStatus::Truncated).substr(0, 10),
              text.substr(0, 10));
    gz[gz.size() - 6] ^= 1;
    EXPECT_EQ(Decoded(gz, SvgInputStatus::Damaged), text);
    EXPECT_EQ(Decoded("\x1F\x8B" + std::string(30, 'z'), SvgInputStatus::Damaged), "");
}

TEST(SvgInputDecoder, ConvertsMarkedAndDeclaredEncodingsToUtf8) {
    const std::string decl = "<?xml version='1.0' encoding='";
    // Latin-1 is read as Windows-1252 (0x80 is the euro sign).
    EXPECT_EQ(Decoded(decl + "ISO-8859-1'?><a>\xE9\x80</a>"),
              decl + "ISO-8859-1'?><a>\xC3\xA9\xE2\x82\xAC</a>");
    EXPECT_EQ(Decoded(decl + "windows-1252'?>\x93"), decl + "windows-1252'?>\xE2\x80\x9C");
    EXPECT_EQ(Decoded(decl + "Shift_JIS'?>\x82\xA0"), decl + "Shift_JIS'?>\xE3\x81\x82");
    // UTF-16 by its byte-order mark or by how "<?" is written, and UTF-32.
    EXPECT_EQ(Decoded(std::string("\xFF\xFE<\0a\0\xE9\0", 8)), "<a\xC3\xA9");
    EXPECT_EQ(Decoded(std::string("\0<\0?\0x", 6)), "<?x");
    EXPECT_EQ(Decoded(std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Decoded(std::string("\xFF\xFE\0\0<\0\0\0", 8)), "<");
    // A lone surrogate and a last odd byte become U+FFFD.
    EXPECT_EQ(Decoded(std::string("\xFF\xFE\x00\xD8<\0\x41", 7)), "\xEF\xBF\xBD<\xEF\xBF\xBD");
    // UTF-8: a byte-order mark goes; a declaration of UTF-8, an unknown one or
    // none leave the bytes as they are (bad bytes too).
    EXPECT_EQ(Decoded("\xEF\xBB\xBF<a>\xE9</a>"), "<a>\xE9</a>");
    EXPECT_EQ(Decoded("\xEF\xBB\xBF" + decl + "latin1'?>\xC3\xA9"), decl + "latin1'?>\xC3\xA9");
    EXPECT_EQ(Decoded(decl + "UTF-8'?>\xE9"), decl + "UTF-8'?>\xE9");
    EXPECT_EQ(Decoded(decl + "x-unknown'?>\xE9"), decl + "x-unknown'?>\xE9");
    EXPECT_EQ(Decoded("<a>\xE9</a>"), "<a>\xE9</a>");
}

std::string Expanded(std::string text, size_t budget = SvgXmlEntities::kMaxExpansion) {
    SvgXmlEntities::Expand(text, budget);
    return text.substr(text.find("]>") + 2);
}

TEST(SvgXmlEntities, ExpandsInContentAndValuesButNotInCommentsOrCdata) {
    const std::string dtd = "<!DOCTYPE svg [<!-- it's -->\n<!ENTITY c \"r&#x65;d\">"
                            "<!ENTITY q '\"&lt;'><!ENTITY m \"<g fill='&c;'/>&amp;\">"
                            "<!ENTITY lt \"x\"><!ENTITY ext SYSTEM \"/etc/passwd\">"
                            "<!ENTITY % p \"z\"><!ENTITY c \"blue\">]>";
    EXPECT_EQ(Expanded(dtd + "<a v=\"&c;&q;\" w='&q;'>&m;&c;&lt;&#60;&u;&ext;</a>"),
              "<a v=\"red&quot;&lt;\" w='&quot;&lt;'><g fill='red'/>&amp;red&lt;&#60;&u;</a>");
    EXPECT_EQ(Expanded(dtd + "<!--&c;--><![CDATA[&c;]]><?p &c;?><a>&c;</a>"),
              "<!--&c;--><![CDATA[&c;]]><?p &c;?><a>red</a>");
    // A document without entities is left as it is.
    std::string plain = "<!DOCTYPE svg [<!ELEMENT svg ANY>]><svg>&c;</svg>";
    EXPECT_FALSE(SvgXmlEntities::Expand(plain));
}

TEST(SvgXmlEntities, CyclesBombsAndDeepNestingExpandToNothing) {
    EXPECT_EQ(Expanded("<!DOCTYPE s [<!ENTITY a \"1&b;\"><!ENTITY b \"2&a;\">]><s>&a;&b;.</s>"),
              "<s>.</s>");
    std::string bomb = "<!DOCTYPE s [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        bomb += "<!ENTITY l" + std::to_string(i) + " \"" +
                Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
    }
    bomb += "]><s>&l9;&l3;<r/></s>";
    std::string out = Expanded(bomb);
    EXPECT_EQ(out, "<s>" + Repeat("lol", 1000) + "<r/></s>");
    // The budget counts every element an entity makes.
    EXPECT_EQ(Expanded("<!DOCTYPE s [<!ENTITY e \"<g/>\">]><s>&e;&e;</s>", 300), "<s><g/></s>");
    std::string deep = "<!DOCTYPE s [<!ENTITY e0 \"x\">";
    for (int i = 1; i <= SvgXmlEntities::kMaxNesting; ++i)
        deep += "<!ENTITY e" + std::to_string(i) + " \"&e" + std::to_string(i - 1) + ";\">";
    EXPECT_EQ(Expanded(deep + "]><s>&e31;&e32;</s>"), "<s>x</s>");
}

TEST(SvgXmlReader, LeavesOutElementsWithTooManyAttributes) {
    auto attributes = [](int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += " a" + std::to_string(i) + "='='";
        return text;
    };
    std::string bytes = "<svg><g" + attributes(SvgXmlReader::kMaxXmlAttributes) + "/><g" +
                        attributes(SvgXmlReader::kMaxXmlAttributes + 1) + "><rect/></g><x/></svg>";
    SvgXmlReader::LimitDepth(bytes, 10);
    EXPECT_EQ(bytes, "<svg><g" + attributes(SvgXmlReader::kMaxXmlAttributes) + "/><x/></svg>");
}

// The tree the reader makes of text, namespaces resolved.
std::string Tree(const std::string& text) {
    TiXmlDocument doc;
    SvgXmlReader::Parse(text, doc);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    doc.Accept(&printer);
    return printer.CStr();
}

TEST(SvgXmlNamespaces, SvgElementsTakeTheirLocalNamesAndForeignOnesGo) {
    EXPECT_EQ(
        Tree("<s:svg xmlns:s='http://www.w3.org/2000/svg' xmlns:f='urn:f'>"
             "<s:g><f:g><s:rect/></f:g><rect/><f:x xmlns:f='http://www.w3.org/2000/svg'/><f:y/>"
             "<g xmlns='urn:f'><s:rect/></g><u:z/><s:a:b/><g xmlns=''/></s:g></s:svg>"),
        "<svg xmlns:s=\"http://www.w3.org/2000/svg\" xmlns:f=\"urn:f\"><g><rect /><x "
        "xmlns:f=\"http://www.w3.org/2000/svg\" /></g></svg>");
    EXPECT_EQ(Tree("<svg xmlns='urn:o'><rect/></svg>"),
              "<{urn:o}svg xmlns=\"urn:o\"><rect /></{urn:o}svg>");
    EXPECT_EQ(Tree("<svg><rect/></svg>"), "<svg><rect /></svg>");
}

TEST(SvgXmlNamespaces, XLinkAttributesGoByNamespaceAndPlainHrefWins) {
    EXPECT_EQ(Tree("<svg xmlns:l='http://www.w3.org/1999/xlink'><use l:href='#a' l:title='t'/>"
                   "<use xmlns:xlink='urn:x' xlink:href='#b' l:href='#c' xml:space='preserve'/>"
                   "<use xlink:href='#d' href='#e'/><use xlink:href='#f'/></svg>"),
              "<svg xmlns:l=\"http://www.w3.org/1999/xlink\"><use xlink:href=\"#a\" "
              "xlink:title=\"t\" /><use xmlns:xlink=\"urn:x\" {urn:x}href=\"#b\" "
              "xlink:href=\"#c\" xml:space=\"preserve\" /><use "
              "{http://www.w3.org/1999/xlink}href=\"#d\" href=\"#e\" /><use xlink:href=\"#f\" "
              "/></svg>");
}

} // namespace
