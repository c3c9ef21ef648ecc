#include "SvgTestSupport.h"
#include "interface/SvgCommand.h"

#include <gtest/gtest.h>

#include "document/ElementRegistry.h"
#include "document/SvgSymbolElement.h"
#include "document/SvgUseElement.h"

#include <string>

namespace {

TEST(ElementTree, IdsChildrenAndParentsInDocumentOrder) {
    ParsedDocument doc("<g id=\"a\"><g id=\"\"/>text<!-- note --><desc/></g><defs><g/></defs>");
    SvgRootElement* root = doc.Engine().GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Outline(root), "svg(g#a(g# desc) defs(g))");
    const SvgElement* a = root->GetChildren()[0];
    EXPECT_EQ(a->GetParent(), root);
    EXPECT_EQ(a->GetChildren()[0]->GetParent(), a);
    EXPECT_EQ(a->GetChildren()[0]->GetId(), "");
    EXPECT_EQ(root->GetChildren()[1]->GetChildren()[0]->GetId(), "  ");
    EXPECT_EQ(a->GetOwner(), &doc.Engine());
    EXPECT_EQ(a->GetChildren()[1]->GetOwner(), &doc.Engine());
}

TEST(ElementTree, UnregisteredAndWronglyCasedTagsAreSkippedWithTheirSubtrees) {
    ParsedDocument doc("<foo><g id=\"inFoo\"/></foo><G id=\"upper\"><g/></G>"
                       "<SVG><g id=\"inSVG\"/></SVG><positionGlyph/><g id=\"kept\"/>");
    ASSERT_NE(doc.Engine().GetRoot(), nullptr);
    EXPECT_EQ(Outline(doc.Engine().GetRoot()), "svg(g#kept)");
    EXPECT_EQ(doc.Find("inFoo"), nullptr);
}

// A filter is an element of its own, whose primitives are never drawn.
TEST(ElementTree, ArcBecomesAViewportAndFilterAFilter) {
    ParsedDocument doc("<arc id=\"a\"/><filter id=\"f\"><feFlood id=\"p\"/></filter>");
    ASSERT_NE(doc.Engine().GetRoot(), nullptr);
    EXPECT_EQ(doc.Find("a")->GetKind(), SvgKindSvg);
    EXPECT_EQ(doc.Find("f")->GetKind(), SvgKindFilter);
    EXPECT_EQ(doc.Find("p")->GetTagName(), "feFlood");
    EXPECT_EQ(ElementRegistry::Instance()->CreateElement(nullptr), nullptr);
}

TEST(ElementTree, FindElementByIdTakesTheFirstInPreOrder) {
    ParsedDocument doc("<g id=\"x\"><g id=\"x\"/></g><g><g id=\"y\"/></g><g id=\"y\"/>"
                       "<g><g><g id=\"z\"/></g></g><g id=\"z\"/>");
    SvgRootElement* root = doc.Engine().GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(doc.Find("x"), root->GetChildren()[0]);
    EXPECT_EQ(doc.Find("y"), root->GetChildren()[1]->GetChildren()[0]);
    EXPECT_EQ(doc.Find("z"), root->GetChildren()[3]->GetChildren()[0]->GetChildren()[0]);
    EXPECT_EQ(doc.Find("X"), nullptr);
    // Elements without an id attribute are never found by the empty string.
    EXPECT_EQ(doc.Find(""), nullptr);
    EXPECT_EQ(doc.Find(nullptr), nullptr);
}

TEST(ElementTree, UseCopiesAnElementWrittenBeforeOrAfterIt) {
    ParsedDocument doc("<g id=\"early\"><desc/></g>"
                       "<use id=\"u1\" xlink:href=\"#early\" x=\"10\" y=\"20\"/>"
                       "<use id=\"u2\" xlink:href=\"#late\"/>"
                       "<use id=\"u3\" xlink:href=\"\"/><use id=\"u4\"/>"
                       "<use id=\"u5\" xlink:href=\"?early\"/><use id=\"u6\" href=\"#early\"/>"
                       "<use id=\"u7\" href=\"early\"/><use id=\"u8\" href=\"#\"/>"
                       "<use id=\"f1\" href=\"#f2\"/><g><use id=\"f2\" href=\"#late\"/></g>"
                       "<g id=\"late\"><desc/></g>");
    auto* u1 = dynamic_cast<SvgUseElement*>(doc.Find("u1"));
    ASSERT_NE(u1, nullptr);
    EXPECT_EQ(u1->GetHref(), "early");
    EXPECT_FLOAT_EQ(u1->GetX(), 10);
    EXPECT_FLOAT_EQ(u1->GetY(), 20);
    EXPECT_EQ(Outline(u1), "use#u1(g(desc))");
    EXPECT_EQ(u1->GetChildren()[0]->GetParent(), u1);
    EXPECT_EQ(Outline(doc.Find("u2")), "use#u2(g(desc))");
    EXPECT_EQ(doc.Find("u6")->GetChildren().size(), 1u); // href without xlink too
    // Only "#" and an id name an element: the rest copy nothing.
    for (const char* id : {"u3", "u4", "u5", "u7", "u8"})
        EXPECT_TRUE(doc.Find(id)->GetChildren().empty()) << id;
    // A use of a later use holds the copy that one makes.
    EXPECT_EQ(Outline(doc.Find("f1")), "use#f1(use(g(desc)))");
}

TEST(ElementTree, LookUpsDuringTheParseSeeTheTreeAsItGrows) {
    ParsedDocument doc("<g id=\"a\"><g id=\"deep\"><desc/></g>"
                       "<use id=\"u1\" xlink:href=\"#deep\"/></g>"
                       "<use id=\"u2\" xlink:href=\"#u1\"/>"
                       "<g><g><use id=\"u3\" xlink:href=\"#a\"/></g></g>"
                       "<use id=\"u4\" xlink:href=\"#u3\"/>");
    EXPECT_EQ(Outline(doc.Find("u2")), "use#u2(use(g(desc)))");
    EXPECT_EQ(Outline(doc.Find("u3")), "use#u3(g(g(desc) use(g(desc))))");
    EXPECT_EQ(Outline(doc.Find("u4")), "use#u4(use(g(g(desc) use(g(desc)))))");
}

TEST(ElementTree, UsesInACycleCopyNothing) {
    ParsedDocument doc("<g id=\"a\"><desc/><use id=\"u\" xlink:href=\"#a\"/><g id=\"after\"/></g>"
                       "<use id=\"m1\" href=\"#m2\"/><use id=\"m2\" href=\"#g1\"/>"
                       "<g id=\"g1\"><use id=\"m3\" href=\"#m1\"/></g>"
                       "<use id=\"self\" href=\"#self\"/>"
                       "<g id=\"b\"><desc/><g id=\"c\"><use id=\"inner\" href=\"#c\"/></g></g>"
                       "<use id=\"outer\" href=\"#b\"/>");
    for (const char* id : {"u", "m1", "m2", "m3", "self", "inner"}) {
        auto* use = dynamic_cast<SvgUseElement*>(doc.Find(id));
        ASSERT_NE(use, nullptr) << id;
        EXPECT_TRUE(use->GetChildren().empty()) << id;
        EXPECT_TRUE(use->IsCyclic()) << id;
    }
    // A use of a group whose own use is cyclic copies the rest of it.
    auto* outer = dynamic_cast<SvgUseElement*>(doc.Find("outer"));
    EXPECT_EQ(Outline(outer), "use#outer(g(desc g(use)))");
    EXPECT_FALSE(outer->IsCyclic());
}

TEST(ElementTree, UseOfASymbolGivesItTheViewportSize) {
    ParsedDocument doc("<symbol id=\"s\" viewBox=\"0 0 10 10\"><desc/></symbol>"
                       "<use id=\"sized\" xlink:href=\"#s\" width=\"50\" height=\"40\"/>"
                       "<use id=\"unsized\" xlink:href=\"#s\"/>"
                       "<use id=\"half\" xlink:href=\"#s\" width=\"50%\"/>");
    auto* source = dynamic_cast<SvgSymbolElement*>(doc.Find("s"));
    ASSERT_NE(source, nullptr);
    EXPECT_FALSE(source->IsInstantiated());
    auto* sized = dynamic_cast<SvgSymbolElement*>(doc.Find("sized")->GetChildren()[0]);
    ASSERT_NE(sized, nullptr);
    EXPECT_TRUE(sized->IsInstantiated());
    EXPECT_FLOAT_EQ(sized->GetWidth(), 50);
    EXPECT_FLOAT_EQ(sized->GetHeight(), 40);
    EXPECT_DOUBLE_EQ(sized->GetSymbolViewBox().getWidth(), 10);
    // Without a size, or in percentages: of the viewport around the use.
    auto* unsized = dynamic_cast<SvgSymbolElement*>(doc.Find("unsized")->GetChildren()[0]);
    ASSERT_NE(unsized, nullptr);
    EXPECT_FLOAT_EQ(unsized->GetWidth(), 100);
    EXPECT_FLOAT_EQ(unsized->GetHeight(), 100);
    auto* half = dynamic_cast<SvgSymbolElement*>(doc.Find("half")->GetChildren()[0]);
    ASSERT_NE(half, nullptr);
    EXPECT_FLOAT_EQ(half->GetWidth(), 50);
    EXPECT_FLOAT_EQ(half->GetHeight(), 100);
}

TEST(ElementTree, NestingDeeperThanTheLimitIsLeftOut) {
    ParsedDocument doc(Repeat("<g>", 3000) + Repeat("</g>", 3000) + "<g id=\"after\"/>");
    ASSERT_NE(doc.Engine().GetRoot(), nullptr);
    EXPECT_EQ(Depth(doc.Engine().GetRoot()), SvgElement::kMaxDepth);
    EXPECT_NE(doc.Find("after"), nullptr);
}

TEST(ElementTree, CopiesNeverReachPastTheDepthLimit) {
    // Each link of the chain nests the previous one a level deeper.
    std::string body = "<g id=\"c0\"/>";
    for (int k = 1; k < 700; ++k)
        body += "<g id=\"c" + std::to_string(k) + "\"><use xlink:href=\"#c" +
                std::to_string(k - 1) + "\"/></g>";
    ParsedDocument doc(body);
    ASSERT_NE(doc.Engine().GetRoot(), nullptr);
    EXPECT_LE(Depth(doc.Engine().GetRoot()), SvgElement::kMaxDepth);
}

TEST(ElementTree, UseAmplificationStopsAtTheCopyBudget) {
    ParsedDocument doc(UseBomb("<g id=\"l0\"><desc/></g>"));
    ASSERT_NE(doc.Engine().GetRoot(), nullptr);
    EXPECT_EQ(doc.Engine().GetCopiesMade(), SvgEngine::kCopyBudget);
}

TEST(ElementTree, ACopyCostsMoreWithAStyleOrALongOutline) {
    const std::pair<std::string, long> rows[] = {
        {"<g id=\"s\"/>", 1},
        {"<g id=\"s\" fill=\"red\"/>", 2},
        {"<rect id=\"s\"/>", 2},
        {"<polyline id=\"s\" points=\"" + Repeat("1 1 ", 33) + "\"/>", 4}};
    for (const auto& row : rows) {
        ParsedDocument doc(row.first + "<use xlink:href=\"#s\"/>");
        EXPECT_EQ(doc.Engine().GetCopiesMade(), row.second) << row.first;
    }
}

TEST(ElementTree, ReferencesIntoAHugeTreeDoNotHang) {
    std::string body = "<g id=\"c0\"><desc/></g>";
    for (int k = 1; k < 19; ++k)
        body += "<g id=\"c" + std::to_string(k) + "\"><use xlink:href=\"#c" +
                std::to_string(k - 1) + "\"/><use xlink:href=\"#c" + std::to_string(k - 1) +
                "\"/></g>";
    body += Repeat("<use xlink:href=\"#missing\"/>", 5000) + "<g id=\"end\"/>";
    ParsedDocument doc(body);
    ASSERT_NE(doc.Engine().GetRoot(), nullptr);
    // The tree itself is complete; only the look-ups were cut short.
    EXPECT_EQ(doc.Engine().GetRoot()->GetChildren().back()->GetId(), "end");
}

} // namespace
