// Decoding PNG and JPEG images from memory, and drawing parts of bitmaps.

#include "Canvas.h"
#include "ImageBytes.h"
#include "SvgTestSupport.h"

#include <vector>

namespace {

// The decoded pixels, or none when decoding failed with the status given.
std::vector<ARGB> Decode(const Bytes& bytes, Status expected = Ok,
                         uint64_t maxPixels = uint64_t(1) << 24) {
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(expected, KelCreateBitmapFromMemory(bytes.data(), bytes.size(), maxPixels, &bitmap));
    std::vector<ARGB> pixels;
    UINT w = 0, h = 0;
    if (!bitmap || GdipGetImageWidth(bitmap, &w) != Ok || GdipGetImageHeight(bitmap, &h) != Ok)
        return pixels;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            ARGB c = 0;
            GdipBitmapGetPixel(bitmap, INT(x), INT(y), &c);
            pixels.push_back(c);
        }
    GdipDisposeImage(bitmap);
    return pixels;
}

struct PngCase {
    const char* name;
    uint32_t width, height;
    int depth, colorType;
    Bytes rows, palette, transparency;
    bool interlaced;
    std::vector<ARGB> expected;
};

TEST(ImageDecode, EveryPngColourTypeAndDepthBecomesStraightArgb) {
    const PngCase cases[] = {
        {"grey 8", 2, 1, 8, 0, {0, 0x00, 0xFF}, {}, {}, false, {kBlack, kWhite}},
        {"grey 16", 2, 1, 16, 0, {0, 0x12, 0x34, 0xFF, 0xFF}, {}, {}, false, {0xFF121212, kWhite}},
        {"grey 1", 2, 1, 1, 0, {0, 0x80}, {}, {}, false, {kWhite, kBlack}},
        {"grey alpha", 2, 1, 8, 4, {0, 0x80, 0x80, 0xFF, 0x00}, {}, {}, false, {0x80808080, 0}},
        {"rgb", 2, 1, 8, 2, {0, 255, 0, 0, 0, 0, 255}, {}, {}, false, {kRed, kBlue}},
        {"rgb, black transparent",
         2,
         1,
         8,
         2,
         {0, 0, 0, 0, 255, 0, 0},
         {},
         {0, 0, 0, 0, 0, 0},
         false,
         {0, kRed}},
        {"rgba",
         2,
         1,
         8,
         6,
         {0, 255, 0, 0, 0x80, 0, 255, 0, 255},
         {},
         {},
         false,
         {0x80FF0000, 0xFF00FF00}},
        {"rgba 16", 1, 1, 16, 6, {0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF}, {}, {}, false, {kRed}},
        {"palette 2 with alpha",
         2,
         1,
         2,
         3,
         {0, 0x40},
         {255, 0, 0, 0, 0, 255},
         {0x40},
         false,
         {kBlue, 0x40FF0000}},
        // Adam7 passes 1, 6 and 7 hold (0, 0), (1, 0) and the second row.
        {"interlaced rgb",
         2,
         2,
         8,
         2,
         {0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0},
         {},
         {},
         true,
         {kRed, 0xFF00FF00, kBlue, kBlack}},
    };
    for (const PngCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes png = PngBytes(c.width, c.height, c.depth, c.colorType, c.rows, c.interlaced,
                             c.palette, c.transparency);
        UINT w = 0, h = 0;
        EXPECT_EQ(Ok, KelGetImageSizeFromMemory(png.data(), png.size(), &w, &h));
        EXPECT_EQ(c.width, w);
        EXPECT_EQ(c.height, h);
        EXPECT_EQ(c.expected, Decode(png));
    }
}

TEST(ImageDecode, JpegBaselineProgressiveGreyAndAdobeCmyk) {
    for (JpegKind kind :
         {JpegKind::Rgb, JpegKind::Progressive, JpegKind::Gray, JpegKind::AdobeCmyk}) {
        SCOPED_TRACE(int(kind));
        std::vector<ARGB> pixels = Decode(JpegQuadrants(16, 16, kind));
        ASSERT_EQ(pixels.size(), 256u);
        bool gray = kind == JpegKind::Gray;
        const ARGB expected[4] = {gray ? kWhite : kRed, gray ? kBlack : 0xFF00FF00,
                                  gray ? kBlack : kBlue, kWhite};
        const int probes[4][2] = {{4, 4}, {12, 4}, {4, 12}, {12, 12}};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(NearArgb(pixels[probes[i][1] * 16 + probes[i][0]], expected[i], 8)) << i;
    }
}

TEST(ImageDecode, SizesPastTheLimitAreRefusedFromTheHeader) {
    Bytes small = PngFromArgb(2, 2, {kRed, kRed, kRed, kRed});
    // A hundred thousand squared: the size is reported, nothing is allocated.
    Bytes huge = WithDeclaredSize(small, 100000, 100000);
    UINT w = 0, h = 0;
    EXPECT_EQ(Ok, KelGetImageSizeFromMemory(huge.data(), huge.size(), &w, &h));
    EXPECT_EQ(100000u, w);
    EXPECT_TRUE(Decode(huge, ValueOverflow, uint64_t(1) << 40).empty());
    // Within a bitmap's sides but over the caller's limit.
    EXPECT_TRUE(Decode(WithDeclaredSize(small, 3000, 3000), ValueOverflow, 1000000).empty());
    Bytes jpeg = JpegQuadrants(64, 32, JpegKind::Rgb);
    EXPECT_TRUE(Decode(jpeg, ValueOverflow, 64 * 32 - 1).empty());
    EXPECT_EQ(64u * 32u, Decode(jpeg, Ok, 64 * 32).size());
}

TEST(ImageDecode, DamagedDataDecodesToNothingAndPrintsNothing) {
    Bytes png = PngFromArgb(8, 8, std::vector<ARGB>(64, kRed));
    Bytes jpeg = JpegQuadrants(32, 32, JpegKind::Progressive);
    testing::internal::CaptureStderr();
    // Every prefix that stops inside the image data.
    for (const Bytes* whole : {&png, &jpeg}) {
        size_t end = whole->size() - (whole == &png ? 12 : 2); // IEND, EOI
        for (size_t length = 0; length < end; ++length) {
            Bytes part(whole->begin(), whole->begin() + long(length));
            EXPECT_TRUE(Decode(part, UnknownImageFormat).empty()) << length;
        }
    }
    // A flipped byte inside the compressed data, and bytes of no known kind.
    Bytes corrupt = png;
    corrupt[corrupt.size() - 20] ^= 0x55;
    EXPECT_TRUE(Decode(corrupt, UnknownImageFormat).empty());
    EXPECT_TRUE(Decode(Bytes{'G', 'I', 'F', '8', '9', 'a'}, UnknownImageFormat).empty());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());

    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(InvalidParameter, KelCreateBitmapFromMemory(nullptr, 4, 100, &bitmap));
    EXPECT_EQ(InvalidParameter, KelCreateBitmapFromMemory(png.data(), png.size(), 100, nullptr));
    UINT w = 0;
    EXPECT_EQ(InvalidParameter, KelGetImageSizeFromMemory(png.data(), png.size(), &w, nullptr));
}

TEST(DrawImageRectRect, DrawsAPartUnderTheWorldTransformWithTheChosenSampling) {
    GpBitmap* image = nullptr;
    Bytes png = PngFromArgb(2, 1, {kRed, kBlue});
    ASSERT_EQ(Ok, KelCreateBitmapFromMemory(png.data(), png.size(), 16, &image));
    Canvas canvas(8, 8, 0);
    // The nearest pixel is taken when asked, until the saved state returns.
    GraphicsState state = 0;
    GdipSaveGraphics(canvas.graphics, &state);
    EXPECT_EQ(Ok, GdipSetInterpolationMode(canvas.graphics, InterpolationModeNearestNeighbor));
    // The right pixel alone, stretched over the left half.
    EXPECT_EQ(Ok, GdipDrawImageRectRect(canvas.graphics, image, 0, 0, 4, 8, 1, 0, 1, 1, UnitPixel,
                                        nullptr, nullptr, nullptr));
    EXPECT_EQ(0, canvas.CountNot(kBlue, 0, 0, 4, 8));
    EXPECT_EQ(0, canvas.CountNot(0, 4, 0, 8, 8));
    // Whole, moved by the world transform.
    GdipTranslateWorldTransform(canvas.graphics, 0, 4, MatrixOrderPrepend);
    EXPECT_EQ(Ok, GdipDrawImageRect(canvas.graphics, image, 0, 0, 8, 4));
    EXPECT_EQ(kRed, canvas.Pixel(3, 6));
    EXPECT_EQ(kBlue, canvas.Pixel(4, 6));
    GdipRestoreGraphics(canvas.graphics, state);
    InterpolationMode mode = InterpolationModeInvalid;
    EXPECT_EQ(Ok, GdipGetInterpolationMode(canvas.graphics, &mode));
    EXPECT_EQ(InterpolationModeDefault, mode);
    // Smooth by default: blended with its neighbour.
    EXPECT_EQ(Ok, GdipDrawImageRect(canvas.graphics, image, 0, 0, 8, 4));
    EXPECT_NE(kRed, canvas.Pixel(3, 2));
    EXPECT_GT(Red(canvas.Pixel(3, 2)), Blue(canvas.Pixel(3, 2)));

    EXPECT_EQ(InvalidParameter, GdipDrawImageRectRect(canvas.graphics, image, 0, 0, 1, 1, 0, 0, 1,
                                                      1, UnitWorld, nullptr, nullptr, nullptr));
    EXPECT_EQ(InvalidParameter, GdipSetInterpolationMode(canvas.graphics, InterpolationMode(8)));
    GdipDisposeImage(image);
}

} // namespace
