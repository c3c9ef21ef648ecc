// Raster images placed by x, y, width, height and preserveAspectRatio. The
// expected pixels are what rsvg-convert and resvg draw for the same files.

#include "ImageBytes.h"
#include "SvgTestSupport.h"

#include "document/SvgImageElement.h"

namespace {

const uint32_t kRed = 0xFFFF0000, kLime = 0xFF00FF00, kBlue = 0xFF0000FF, kHalfWhite = 0x80FFFFFF;
// 2 × 2: red, lime / blue, half-transparent white; 4 × 2: red left, blue right.
const std::string kQuad = DataUrl(PngFromArgb(2, 2, {kRed, kLime, kBlue, kHalfWhite}));
const std::string kWide =
    DataUrl(PngFromArgb(4, 2, {kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}));

std::string Data(const char* name) {
    return DataUrl(ReadBytes(std::string(KELSVG_TEST_DATA_DIR) + "/images/" + name));
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(ImageRender, PlacementMatchesOtherViewers) {
    const struct {
        const char* name;
        std::string body;
        std::vector<PixelProbe> probes;
    } cases[] = {
        {"meet, centred by default",
         "<image width='40' height='20' xlink:href='" + kQuad + "'/>",
         {Px(9, 10, 0), Px(10, 0, kRed), Px(29, 0, kLime), Px(10, 19, kBlue),
          Px(29, 19, kHalfWhite), Px(30, 10, 0)}},
        {"slice, cut to the box",
         "<image width='10' height='20' preserveAspectRatio='xMinYMid slice' href='" + kWide +
             "'/>",
         {Px(0, 0, kRed), Px(9, 19, kRed), Px(10, 0, 0), Px(12, 10, 0)}},
        {"none stretches",
         "<image width='10' height='20' preserveAspectRatio='none' href='" + kWide + "'/>",
         {Px(1, 1, kRed), Px(8, 18, kBlue), Px(10, 0, 0)}},
        {"no size: the picture's own",
         "<image x='3' y='4' href='" + kQuad + "'/>",
         {Px(3, 4, kRed), Px(4, 5, kHalfWhite), Px(5, 5, 0), Px(2, 4, 0)}},
        {"width only: the picture's height",
         "<image width='8' href='" + kWide + "'/>",
         {Px(2, 0, kRed), Px(5, 1, kBlue), Px(1, 1, 0), Px(6, 1, 0)}},
        {"an unknown keyword is the default",
         "<image width='20' height='20' preserveAspectRatio='foo' href='" + kWide + "'/>",
         {Px(1, 6, kRed), Px(19, 9, kBlue), Px(1, 1, 0)}},
        {"nearest pixel when asked, also inherited",
         "<image width='20' height='20' style='image-rendering:pixelated' href='" + kQuad +
             "'/><g image-rendering='optimizeSpeed'><image x='20' width='20' height='20' href='" +
             kQuad + "'/></g>",
         {Px(9, 5, kRed), Px(10, 5, kLime), Px(9, 15, kBlue), Px(29, 5, kRed), Px(30, 5, kLime)}},
        {"hidden, undisplayed, and visible in a hidden group",
         "<image visibility='hidden' href='" + kQuad + "'/><image display='none' x='4' href='" +
             kQuad + "'/><g visibility='hidden'><image x='12' visibility='visible' href='" + kQuad +
             "'/></g>",
         {Px(0, 0, 0), Px(4, 0, 0), Px(12, 0, kRed)}},
        {"used elsewhere",
         "<image id='i' href='" + kQuad + "'/><use href='#i' x='20' y='10'/>",
         {Px(0, 0, kRed), Px(20, 10, kRed), Px(21, 11, kHalfWhite)}},
        {"at scale 1 and a fractional offset: smoothed, not snapped",
         "<image x='10.5' href='" + kWide + "'/>",
         {Px(9, 0, 0), Px(10, 0, 0x80FF0000), Px(11, 0, kRed), Px(12, 1, 0xFF800080),
          Px(13, 1, kBlue), Px(14, 0, 0x800000FF)}},
        {"JPEG",
         "<image href='" +
             DataUrl(ReadBytes(std::string(KELSVG_TEST_DATA_DIR) + "/images/quadrants.jpg")) +
             "'/>",
         {Px(2, 2, kRed), Px(13, 2, kLime), Px(2, 13, kBlue), Px(13, 13, 0xFFFFFFFF)}},
        {"GIF, interlaced, with a transparent colour",
         "<image href='" + Data("quadrants.gif") + "'/>",
         {Px(2, 2, kRed), Px(13, 2, kLime), Px(2, 13, kBlue), Px(13, 13, 0)}},
        {"GIF: the first frame, where it lies on the screen",
         "<image href='" + Data("animated.gif") + "'/>",
         {Px(0, 0, 0), Px(5, 4, kLime), Px(5, 6, kRed), Px(12, 12, 0)}},
        {"WebP, lossless and lossy",
         "<image href='" + Data("quadrants.webp") + "'/><image x='20' href='" +
             Data("quadrants-lossy.webp") + "'/>",
         {Px(2, 2, kRed), Px(13, 2, kLime), Px(2, 13, kBlue), Px(13, 13, 0), Px(22, 2, kRed),
          Px(33, 13, 0xFFFFFFFF)}},
        {"WebP: the first frame of an animation",
         "<image href='" + Data("animated.webp") + "'/>",
         {Px(0, 0, 0), Px(5, 5, kRed), Px(12, 12, 0)}},
        {"SVG: its box fitted into the viewport, clipped to it",
         "<image width='40' height='20' href='" +
             DataUrl(Text("<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                          "<rect width='5' height='10' fill='red'/><rect x='5' width='5' "
                          "height='10' fill='blue'/><circle cx='-5' cy='5' r='5'/></svg>"),
                     "image/svg+xml") +
             "'/>",
         {Px(12, 10, kRed), Px(28, 10, kBlue), Px(5, 10, 0), Px(35, 10, 0)}},
        {"damaged, not an image, remote, or of no width: nothing",
         "<image width='40' height='20' href='data:image/png;base64,iVBORw0KGgo='/><image "
         "width='40' height='20' href='data:text/plain,hello'/><image width='40' height='20' "
         "href='http://example.com/a.png'/><image width='0' height='20' href='" +
             kQuad + "'/>",
         {Px(0, 0, 0), Px(20, 10, 0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPixels(Draw(c.body, 40, 20), c.probes, 10);
    }
}

TEST(ImageRender, CopiesShareTheDecodedPictureAndChildrenAreNotDrawn) {
    ParsedDocument doc("<image id='i' href='" + kQuad + "'/><use id='u' href='#i'/>");
    auto* image = doc.As<SvgImageElement>("i");
    ASSERT_TRUE(image && image->GetImage() && doc.Find("u")->GetChildren().size() == 1);
    auto* copy = dynamic_cast<SvgImageElement*>(doc.Find("u")->GetChildren()[0]);
    ASSERT_TRUE(copy);
    EXPECT_EQ(image->GetImage(), copy->GetImage());
    // Elements inside an image are not drawn, but can be used.
    Picture picture = Draw("<image x='8' transform='translate(10)' href='" + kQuad +
                               "'><rect id='in' x='20' width='4' height='4' fill='blue'/></image>"
                               "<use href='#in' y='10'/>",
                           40, 20);
    EXPECT_EQ(kRed, picture.At(18, 0));
    EXPECT_EQ(0u, picture.At(21, 1));
    EXPECT_EQ(kBlue, picture.At(21, 11));
}

} // namespace
