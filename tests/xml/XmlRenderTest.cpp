// Documents with namespaces, entities, gzip data and other encodings, drawn
// through the library and the tool.
#include "XmlTestSupport.h"

#include "interface/KelSvg.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

const uint32_t kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kClear = 0;
const std::string kHostile = std::string(KELSVG_TEST_DATA_DIR) + "/hostile/";

TEST(XmlRender, ElementsAreSvgByTheirNamespace) {
    Picture p = RenderSvg(
        "<s:svg xmlns:s='http://www.w3.org/2000/svg' xmlns:l='http://www.w3.org/1999/xlink' "
        "xmlns:f='urn:f' width='40' height='10'><s:style>.k{fill:#00ff00}</s:style>"
        "<s:defs><s:rect id='a' class='k' width='10' height='10'/></s:defs><s:use l:href='#a'/>"
        "<f:meta><s:rect x='10' width='10' height='10'/></f:meta>"
        "<rect x='20' width='10' height='10' fill='#0000ff'/>"
        "<g xmlns='urn:f'><rect x='30' width='10' height='10'/></g></s:svg>",
        40, 10);
    ExpectPixels(p, {Px(5, 5, kGreen), Px(15, 5, kClear), Px(25, 5, kBlue), Px(35, 5, kClear)});
}

TEST(XmlRender, EntitiesOfTheInternalSubsetAreExpanded) {
    Picture p = RenderSvg("<?xml version='1.0'?>\n<!DOCTYPE svg [\n<!ENTITY c '#0000ff'>\n"
                          "<!ENTITY sq \"<rect width='10' height='10' fill='&c;'/>\">\n]>\n"
                          "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>&sq;"
                          "<rect x='10' y='10' width='10' height='10' fill='&c;'/></svg>",
                          20, 20);
    ExpectPixels(p, {Px(5, 5, kBlue), Px(15, 15, kBlue), Px(15, 5, kClear)});
    // A document of entities that multiply one another still draws its own shape.
    Picture bomb = RenderSvgFileTimes(kHostile + "entity-bomb.svg", 64, 64, 1).front();
    ExpectPixels(bomb, {Px(50, 50, 0xFF008000)});
}

TEST(XmlRender, GzipDataAndOtherEncodingsDraw) {
    const std::string doc = "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>"
                            "<rect id='e' width='10' height='10' fill='#0000ff'/></svg>";
    Picture plain = RenderSvg(doc, 20, 20);
    ExpectPixels(plain, {Px(5, 5, kBlue), Px(15, 15, kClear)});
    EXPECT_EQ(DifferentPixels(RenderSvg(Gzip(doc), 20, 20), plain), 0);
    std::string utf16 = "\xFF\xFE";
    for (char c : doc)
        utf16 += std::string{c, '\0'};
    EXPECT_EQ(DifferentPixels(RenderSvg(Gzip(utf16), 20, 20), plain), 0);
    // A Latin-1 id reads as its UTF-8 characters.
    SvgEngine engine;
    ParseText(engine, "<?xml version='1.0' encoding='ISO-8859-1'?>" +
                          doc.substr(0, doc.find("'e'")) + "'\xE9'" +
                          doc.substr(doc.find("'e'") + 3));
    EXPECT_NE(engine.FindElementById("\xC3\xA9"), nullptr);

    // Damaged gzip data draws what it gave, and the parse says so.
    std::string gz = Gzip(doc + std::string(4000, ' '));
    TempSvgFile cut(gz.substr(0, gz.size() - 10));
    CKelSvg svg;
    svg.CommandParseSVGFile(cut.PathBuffer());
    float width = 0, height = 0;
    EXPECT_EQ(svg.KelGetParseResult(width, height), KelSvgDamagedInput);
    ExpectPixels(Snapshot(svg, 20, 20), {Px(5, 5, kBlue)});
}

TEST(XmlRender, TheSecondPartOfALargeFileKeepsTheRootsNamespaces) {
    const int n = 30000;
    std::string doc = "<s:svg xmlns:s='http://www.w3.org/2000/svg' width='10' height='10'>" +
                      Repeat("<s:rect width='1' height='1' fill='#123456'/>", n) + "</s:svg>";
    ASSERT_GT(doc.size(), size_t(1) << 20);
    SvgEngine engine;
    engine.SetThreads(2);
    ParseText(engine, doc);
    ASSERT_NE(engine.GetRoot(), nullptr);
    EXPECT_EQ(engine.GetRoot()->GetChildren().size(), size_t(n));
}

int RunTool(const std::string& command, std::string& errors) {
    char name[] = "/tmp/kelsvg-xml-XXXXXX";
    int fd = mkstemp(name);
    close(fd);
    int status = std::system((command + " 2>" + name).c_str());
    errors = Slurp(name);
    std::remove(name);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(XmlTool, ReadsGzipFromFilesAndStandardInputAndRefusesBombs) {
    const std::string tool = std::string("'") + KELSVG_TOOL_PATH + "' ";
    TempSvgFile svgz(Gzip(SvgDocument(4, 4, "<rect width='4' height='4'/>")));
    TempSvgFile out("");
    std::string errors;
    EXPECT_EQ(RunTool(tool + svgz.Path() + " " + out.Path(), errors), 0) << errors;
    EXPECT_EQ(RunTool(tool + "- " + out.Path() + " <" + svgz.Path(), errors), 0) << errors;
    EXPECT_EQ(RunTool(tool + kHostile + "gzip-bomb.svgz " + out.Path(), errors), 2);
    EXPECT_NE(errors.find("gzip-bomb.svgz: the document is larger than 256 MB"), std::string::npos)
        << errors;
    for (const char* file : {"gzip-truncated.svgz", "gzip-corrupt.svgz"}) {
        EXPECT_EQ(RunTool(tool + "- " + out.Path() + " <" + kHostile + file, errors), 2);
        EXPECT_EQ(errors.rfind("kelsvg: standard input: damaged gzip data: ", 0), 0u) << errors;
    }
}

} // namespace
