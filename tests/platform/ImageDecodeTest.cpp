// Decoding PNG and JPEG images from memory, and drawing parts of bitmaps.

#include "Canvas.h"
#include "ImageBytes.h"
#include "SvgTestSupport.h"

namespace {

// The decoded pixels; none when decoding failed (with the status expected).
std::vector<ARGB> Decode(const Bytes& bytes, Status expected = Ok, uint64_t limit = 1 << 24) {
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(expected, KelCreateBitmapFromMemory(bytes.data(), bytes.size(), limit, &bitmap));
    std::vector<ARGB> pixels;
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    for (UINT i = 0; i < w * h; ++i) {
        pixels.push_back(0);
        GdipBitmapGetPixel(bitmap, INT(i % w), INT(i / w), &pixels.back());
    }
    GdipDisposeImage(bitmap);
    return pixels;
}

TEST(ImageDecode, EveryPngColourTypeAndDepthBecomesStraightArgb) {
    // One or two rows of pixels (the height follows from the expected pixels);
    // scanlines start with their filter byte 0.
    struct {
        const char* name;
        uint32_t width;
        int depth, colorType;
        Bytes rows, palette, transparency;
        std::vector<ARGB> expected;
    } const cases[] = {
        {"grey 8", 2, 8, 0, {0, 0x00, 0xFF}, {}, {}, {kBlack, kWhite}},
        {"grey 16", 2, 16, 0, {0, 0x12, 0x34, 0xFF, 0xFF}, {}, {}, {0xFF121212, kWhite}},
        {"grey 1", 2, 1, 0, {0, 0x80}, {}, {}, {kWhite, kBlack}},
        {"grey alpha", 2, 8, 4, {0, 0x80, 0x80, 0xFF, 0x00}, {}, {}, {0x80808080, 0}},
        {"rgb, black clear", 2, 8, 2, {0, 0, 0, 0, 255, 0, 0}, {}, {0, 0, 0, 0, 0, 0}, {0, kRed}},
        {"rgba", 2, 8, 6, {0, 255, 0, 0, 0x80, 0, 0, 255, 255}, {}, {}, {0x80FF0000, kBlue}},
        {"rgba 16", 1, 16, 6, {0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF}, {}, {}, {kRed}},
        {"palette 2", 2, 2, 3, {0, 0x40}, {255, 0, 0, 0, 0, 255}, {0x40}, {kBlue, 0x40FF0000}},
        // Adam7 passes 1, 6 and 7 hold (0, 0), (1, 0) and the second row.
        {"interlaced",
         2,
         8,
         2,
         {0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0},
         {},
         {},
         {kRed, 0xFF00FF00, kBlue, kBlack}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t height = uint32_t(c.expected.size()) / c.width;
        Bytes png =
            PngBytes(c.width, height, c.depth, c.colorType, c.rows,
                     std::string(c.name).rfind("interlaced", 0) == 0, c.palette, c.transparency);
        UINT w = 0, h = 0;
        EXPECT_EQ(Ok, KelGetImageSizeFromMemory(png.data(), png.size(), &w, &h));
        EXPECT_EQ(c.width * 1000 + height, w * 1000 + h);
        EXPECT_EQ(c.expected, Decode(png));
    }
}

TEST(ImageDecode, JpegBaselineProgressiveGreyAndAdobeCmyk) {
    const ARGB colours[] = {kRed, 0xFF00FF00, kBlue, kWhite},
               greys[] = {kWhite, kBlack, kBlack, kWhite};
    for (const char* name :
         {"quadrants", "quadrants-progressive", "quadrants-grey", "quadrants-cmyk"}) {
        SCOPED_TRACE(name);
        std::vector<ARGB> pixels =
            Decode(ReadBytes(std::string(KELSVG_TEST_DATA_DIR) + "/images/" + name + ".jpg"));
        ASSERT_EQ(pixels.size(), 256u);
        const ARGB* expected =
            std::string(name).find("grey") != std::string::npos ? greys : colours;
        for (int i = 0; i < 4; ++i) // the middle of each quadrant
            EXPECT_TRUE(NearArgb(pixels[(i / 2 * 8 + 4) * 16 + i % 2 * 8 + 4], expected[i], 8));
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
    Bytes jpeg = ReadBytes(std::string(KELSVG_TEST_DATA_DIR) + "/images/quadrants.jpg");
    EXPECT_TRUE(Decode(jpeg, ValueOverflow, 255).empty());
    EXPECT_EQ(256u, Decode(jpeg, Ok, 256).size());
}

TEST(ImageDecode, DamagedDataDecodesToNothingAndPrintsNothing) {
    Bytes png = PngFromArgb(8, 8, std::vector<ARGB>(64, kRed));
    Bytes jpeg = ReadBytes(std::string(KELSVG_TEST_DATA_DIR) + "/images/quadrants-progressive.jpg");
    testing::internal::CaptureStderr();
    // Every prefix that stops before the end marker (IEND, EOI).
    for (const Bytes* whole : {&png, &jpeg})
        for (size_t length = 0; length < whole->size() - (whole == &png ? 12 : 2); ++length)
            EXPECT_TRUE(
                Decode(Bytes(whole->begin(), whole->begin() + long(length)), UnknownImageFormat)
                    .empty())
                << length;
    Bytes corrupt = png;
    corrupt[corrupt.size() - 20] ^= 0x55; // inside the compressed data
    EXPECT_TRUE(Decode(corrupt, UnknownImageFormat).empty());
    EXPECT_TRUE(Decode(Bytes{'G', 'I', 'F', '8', '9', 'a'}, UnknownImageFormat).empty());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(InvalidParameter, KelCreateBitmapFromMemory(nullptr, 4, 100, &bitmap));
    EXPECT_EQ(InvalidParameter, KelCreateBitmapFromMemory(png.data(), png.size(), 100, nullptr));
}

TEST(DrawImageRectRect, APartStretchedWithTheNearestPixelUntilTheStateIsRestored) {
    GpBitmap* image = nullptr;
    Bytes png = PngFromArgb(2, 1, {kRed, kBlue});
    ASSERT_EQ(Ok, KelCreateBitmapFromMemory(png.data(), png.size(), 16, &image));
    Canvas canvas(8, 8, 0);
    GraphicsState state = 0;
    GdipSaveGraphics(canvas.graphics, &state);
    EXPECT_EQ(Ok, GdipSetInterpolationMode(canvas.graphics, InterpolationModeNearestNeighbor));
    // The right pixel alone, over the left half.
    EXPECT_EQ(Ok, GdipDrawImageRectRect(canvas.graphics, image, 0, 0, 4, 8, 1, 0, 1, 1, UnitPixel,
                                        nullptr, nullptr, nullptr));
    EXPECT_EQ(0, canvas.CountNot(kBlue, 0, 0, 4, 8));
    EXPECT_EQ(0, canvas.CountNot(0, 4, 0, 8, 8));
    GdipRestoreGraphics(canvas.graphics, state);
    // Smooth again: the whole image blends its two pixels in the middle.
    EXPECT_EQ(Ok, GdipDrawImageRect(canvas.graphics, image, 0, 0, 8, 8));
    EXPECT_NE(kRed, canvas.Pixel(3, 2));
    EXPECT_EQ(InvalidParameter, GdipDrawImageRectRect(canvas.graphics, image, 0, 0, 1, 1, 0, 0, 1,
                                                      1, UnitWorld, nullptr, nullptr, nullptr));
    GdipDisposeImage(image);
}

} // namespace
