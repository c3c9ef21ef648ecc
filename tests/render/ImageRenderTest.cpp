// Raster images placed by x, y, width, height and preserveAspectRatio. The
// expected pixels are what rsvg-convert and resvg draw for the same files.

#include "ImageBytes.h"
#include "SvgTestSupport.h"

#include "document/SvgImageElement.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

const uint32_t kRed = 0xFFFF0000, kLime = 0xFF00FF00, kBlue = 0xFF0000FF, kHalfWhite = 0x80FFFFFF;

// 2 × 2: red, lime / blue, half-transparent white.
std::string Quad() {
    return DataUrl(PngFromArgb(2, 2, {kRed, kLime, kBlue, kHalfWhite}));
}
// 4 × 2: red left half, blue right half.
std::string Wide() {
    return DataUrl(PngFromArgb(4, 2, {kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}));
}

struct Probe {
    int x, y;
    uint32_t argb;
};

struct ImageCase {
    const char* name;
    std::string body;
    std::vector<Probe> probes;
};

TEST(ImageRender, PlacementMatchesOtherViewers) {
    const ImageCase cases[] = {
        {"meet, centred by default",
         "<image width='40' height='20' xlink:href='" + Quad() + "'/>",
         {{9, 10, 0},
          {10, 0, kRed},
          {29, 0, kLime},
          {10, 19, kBlue},
          {29, 19, kHalfWhite},
          {30, 10, 0}}},
        {"meet at the end",
         "<image width='40' height='20' preserveAspectRatio='xMaxYMax' href='" + Quad() + "'/>",
         {{19, 10, 0}, {20, 0, kRed}, {39, 0, kLime}, {20, 19, kBlue}}},
        {"slice keeps the viewport",
         "<image width='10' height='20' preserveAspectRatio='xMinYMid slice' href='" + Wide() +
             "'/>",
         {{0, 0, kRed}, {9, 19, kRed}, {10, 0, 0}, {12, 10, 0}}},
        {"none stretches",
         "<image width='10' height='20' preserveAspectRatio='none' href='" + Wide() + "'/>",
         {{1, 1, kRed}, {8, 18, kBlue}, {10, 0, 0}}},
        {"no size: the picture's own",
         "<image x='3' y='4' href='" + Quad() + "'/>",
         {{3, 4, kRed}, {4, 5, kHalfWhite}, {5, 5, 0}, {2, 4, 0}}},
        {"width only: the height is the picture's",
         "<image width='8' href='" + Wide() + "'/>",
         {{2, 0, kRed}, {5, 1, kBlue}, {1, 1, 0}, {6, 1, 0}}},
        {"an unknown keyword is the default",
         "<image width='20' height='20' preserveAspectRatio='foo' href='" + Wide() + "'/>",
         {{1, 6, kRed}, {19, 9, kBlue}, {1, 1, 0}}},
        {"transformed",
         "<image transform='translate(10 0) scale(2)' href='" + Quad() + "'/>",
         {{9, 0, 0}, {10, 0, kRed}, {13, 0, kLime}, {10, 3, kBlue}, {13, 3, kHalfWhite}}},
        {"nearest pixel when asked",
         "<image width='20' height='20' style='image-rendering:pixelated' href='" + Quad() +
             "'/>"
             "<g image-rendering='optimizeSpeed'><image x='20' width='20' height='20' href='" +
             Quad() + "'/></g>",
         {{9, 5, kRed}, {10, 5, kLime}, {9, 15, kBlue}, {29, 5, kRed}, {30, 5, kLime}}},
        {"hidden, undisplayed, and a visible one in a hidden group",
         "<image visibility='hidden' href='" + Quad() + "'/><image display='none' x='4' href='" +
             Quad() + "'/><g visibility='hidden'><image x='12' visibility='visible' href='" +
             Quad() + "'/></g>",
         {{0, 0, 0}, {4, 0, 0}, {12, 0, kRed}}},
        {"used elsewhere",
         "<image id='i' href='" + Quad() + "'/><use href='#i' x='20' y='10'/>",
         {{0, 0, kRed}, {20, 10, kRed}, {21, 11, kHalfWhite}}},
        {"JPEG",
         "<image width='16' height='16' href='" +
             DataUrl(JpegQuadrants(16, 16, JpegKind::Rgb), "image/jpeg") + "'/>",
         {{2, 2, kRed}, {13, 2, kLime}, {2, 13, kBlue}, {13, 13, 0xFFFFFFFF}}},
        {"damaged, empty, unknown and remote references draw nothing",
         "<image width='40' height='20' href='data:image/png;base64,iVBORw0KGgo='/>"
         "<image width='40' height='20' href=''/><image width='40' height='20' "
         "href='data:text/plain,hello'/><image width='40' height='20' "
         "href='http://example.com/a.png'/><image width='0' height='20' href='" +
             Quad() + "'/>",
         {{0, 0, 0}, {20, 10, 0}}},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture = RenderSvg(SvgDocument(40, 20, c.body), 40, 20);
        for (const Probe& p : c.probes)
            EXPECT_TRUE(NearArgb(picture.At(p.x, p.y), p.argb, 10)) << p.x << "," << p.y;
    }
}

TEST(ImageRender, CopiesShareTheDecodedPictureAndChildrenStillDraw) {
    ParsedDocument doc("<image id='i' href='" + Quad() +
                       "'><rect id='r' width='4' height='4'/></image><use id='u' href='#i'/>");
    auto* image = doc.As<SvgImageElement>("i");
    ASSERT_TRUE(image && image->GetImage());
    SvgElement* use = doc.Find("u");
    ASSERT_EQ(1u, use->GetChildren().size());
    auto* copy = dynamic_cast<SvgImageElement*>(use->GetChildren()[0]);
    ASSERT_TRUE(copy);
    EXPECT_EQ(image->GetImage(), copy->GetImage());
    // The image's children are drawn under its transform, as before.
    Picture picture = Draw("<image x='8' transform='translate(10)' href='" + Quad() +
                               "'><rect x='20' width='4' height='4' fill='blue'/></image>",
                           40, 20);
    EXPECT_EQ(kRed, picture.At(18, 0));
    EXPECT_EQ(kBlue, picture.At(31, 1));
}

// A file beside the SVG file or below it draws; one above it, elsewhere on
// the machine, or reached through a link leading out, does not.
TEST(ImageRender, FilesAreConfinedToTheFolderOfTheSvgFile) {
    char pattern[] = "/tmp/kelsvg-image-render-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    std::string root = pattern, doc = root + "/doc";
    ASSERT_EQ(0, mkdir(doc.c_str(), 0700));
    ASSERT_EQ(0, mkdir((doc + "/sub").c_str(), 0700));
    Bytes png = PngFromArgb(1, 1, {kRed});
    for (const std::string& name : {root + "/up.png", doc + "/sub/in.png"})
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    ASSERT_EQ(0, symlink("../up.png", (doc + "/out.png").c_str()));
    std::string svg =
        SvgDocument(40, 10,
                    "<image width='10' height='10' href='sub/in.png'/>"
                    "<image x='10' width='10' height='10' href='../up.png'/>"
                    "<image x='20' width='10' height='10' xlink:href='" +
                        root + "/up.png'/><image x='30' width='10' height='10' href='out.png'/>");
    std::ofstream(doc + "/doc.svg") << svg;
    Picture picture = RenderSvgFileTimes(doc + "/doc.svg", 40, 10, 1).front();
    EXPECT_EQ(kRed, picture.At(5, 5));
    EXPECT_EQ(0u, picture.At(15, 5));
    EXPECT_EQ(0u, picture.At(25, 5));
    EXPECT_EQ(0u, picture.At(35, 5));
    std::system(("rm -rf '" + root + "'").c_str());
}

} // namespace
