// Bitmaps: straight-alpha pixels, size limits, cloning, locking and PNG files.

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "Canvas.h"

namespace {

GpBitmap* NewBitmap(int w, int h) {
    GpBitmap* b = nullptr;
    EXPECT_EQ(Ok, GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &b));
    return b;
}

ARGB Get(GpBitmap* b, int x, int y) {
    ARGB c = 0xDEADBEEF;
    EXPECT_EQ(Ok, GdipBitmapGetPixel(b, x, y, &c));
    return c;
}

std::string TempPath(const char* name) {
    return std::string(::testing::TempDir()) + "kelsvg_" + std::to_string(::getpid()) + "_" + name;
}

TEST(BackendBitmap, PixelsReadBackAsSetIncludingTransparentColours) {
    GpBitmap* b = NewBitmap(4, 4);
    EXPECT_EQ(0u, Get(b, 0, 0)); // starts transparent black
    const ARGB values[] = {0x00FFFFFF, 0x00123456, 0x80402010, 0x01FF8040, 0xFF00FF00, 0};
    for (ARGB v : values) {
        ASSERT_EQ(Ok, GdipBitmapSetPixel(b, 1, 2, v));
        EXPECT_EQ(v, Get(b, 1, 2));
    }
    // Drawing over a transparent pixel replaces what was kept for it.
    GdipBitmapSetPixel(b, 0, 0, 0x00FFFFFF);
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(b, &g);
    GpSolidFill* red = nullptr;
    GdipCreateSolidFill(kRed, &red);
    GdipFillRectangleI(g, red, 0, 0, 1, 1);
    EXPECT_EQ(kRed, Get(b, 0, 0));
    // ...and pixels set after drawing are seen by the next drawing.
    GdipBitmapSetPixel(b, 3, 3, kBlue);
    GpBitmap* target = NewBitmap(4, 4);
    GpGraphics* tg = nullptr;
    GdipGetImageGraphicsContext(target, &tg);
    GdipDrawImageRectI(tg, b, 0, 0, 4, 4);
    EXPECT_EQ(kBlue, Get(target, 3, 3));
    EXPECT_EQ(kRed, Get(target, 0, 0));
    GdipDeleteGraphics(tg);
    GdipDisposeImage(target);
    GdipDeleteBrush(red);
    GdipDeleteGraphics(g);
    GdipDisposeImage(b);
}

TEST(BackendBitmap, OutOfRangePixelsAreRefused) {
    GpBitmap* b = NewBitmap(3, 3);
    ARGB c;
    for (auto xy : {std::make_pair(3, 0), {0, -1}, {-1, 0}, {0, 3}}) {
        EXPECT_EQ(InvalidParameter, GdipBitmapGetPixel(b, xy.first, xy.second, &c));
        EXPECT_EQ(InvalidParameter, GdipBitmapSetPixel(b, xy.first, xy.second, 0));
    }
    GdipDisposeImage(b);
}

TEST(BackendBitmap, SizesThatCannotBeMadeFailWithAStatus) {
    GpBitmap* b = reinterpret_cast<GpBitmap*>(1);
    EXPECT_NE(Ok, GdipCreateBitmapFromScan0(40000, 40000, 0, PixelFormat32bppARGB, nullptr, &b));
    EXPECT_EQ(nullptr, b);
    EXPECT_NE(Ok, GdipCreateBitmapFromScan0(32767, 32767, 0, PixelFormat32bppARGB, nullptr, &b));
    EXPECT_EQ(InvalidParameter,
              GdipCreateBitmapFromScan0(0, 10, 0, PixelFormat32bppARGB, nullptr, &b));
    EXPECT_EQ(InvalidParameter,
              GdipCreateBitmapFromScan0(10, -1, 0, PixelFormat32bppARGB, nullptr, &b));
    EXPECT_EQ(InvalidParameter, GdipCreateBitmapFromScan0(10, 10, 0, 0x12345, nullptr, &b));
    EXPECT_EQ(nullptr, b);
}

TEST(BackendBitmap, CloneAreaCopiesPixelsExactly) {
    GpBitmap* src = NewBitmap(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            GdipBitmapSetPixel(src, x, y, 0x00FFFFFF);
    GdipBitmapSetPixel(src, 3, 4, 0x80FF0000);
    GpBitmap* copy = nullptr;
    ASSERT_EQ(Ok, GdipCloneBitmapAreaI(2, 3, 5, 5, PixelFormat32bppARGB, src, &copy));
    EXPECT_EQ(0x80FF0000u, Get(copy, 1, 1));
    ARGB c;
    EXPECT_EQ(InvalidParameter, GdipBitmapGetPixel(copy, 5, 4, &c)); // 5 × 5
    EXPECT_EQ(0x00FFFFFFu, Get(copy, 4, 4));
    // The copy is independent of its source.
    GdipBitmapSetPixel(src, 3, 4, 0);
    EXPECT_EQ(0x80FF0000u, Get(copy, 1, 1));
    GpBitmap* bad = nullptr;
    EXPECT_EQ(InvalidParameter, GdipCloneBitmapAreaI(6, 6, 5, 5, PixelFormat32bppARGB, src, &bad));
    EXPECT_EQ(InvalidParameter, GdipCloneBitmapAreaI(0, 0, 0, 5, PixelFormat32bppARGB, src, &bad));
    EXPECT_EQ(nullptr, bad);
    GdipDisposeImage(copy);
    GdipDisposeImage(src);
}

TEST(BackendBitmap, FromCallerPixelsAndLockBits) {
    uint32_t pixels[2 * 3] = {0xFF000001, 0xFF000002, 0x00FFFFFF, 0x80808080, 0xFFFFFFFF, 0};
    GpBitmap* b = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(2, 3, 8, PixelFormat32bppARGB,
                                            reinterpret_cast<BYTE*>(pixels), &b));
    EXPECT_EQ(0x00FFFFFFu, Get(b, 0, 1));
    EXPECT_EQ(0x80808080u, Get(b, 1, 1));

    BitmapData data;
    GpRect rect(0, 1, 2, 2);
    ASSERT_EQ(Ok, GdipBitmapLockBits(b, &rect, ImageLockModeRead | ImageLockModeWrite,
                                     PixelFormat32bppARGB, &data));
    EXPECT_EQ(WrongState,
              GdipBitmapLockBits(b, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data));
    auto* row = static_cast<uint32_t*>(data.Scan0);
    EXPECT_EQ(0x00FFFFFFu, row[0]);
    EXPECT_EQ(0xFFFFFFFFu, static_cast<uint32_t*>(data.Scan0)[data.Stride / 4]);
    row[1] = 0xFF123456;
    ASSERT_EQ(Ok, GdipBitmapUnlockBits(b, &data));
    EXPECT_EQ(WrongState, GdipBitmapUnlockBits(b, &data));
    EXPECT_EQ(0xFF123456u, Get(b, 1, 1));
    EXPECT_EQ(0xFF000001u, Get(b, 0, 0));

    // Premultiplied and opaque caller formats read back straight.
    uint32_t premultiplied[1] = {0x80400000}, rgb[1] = {0x00112233};
    GpBitmap *p = nullptr, *r = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(1, 1, 4, PixelFormat32bppPARGB,
                                            reinterpret_cast<BYTE*>(premultiplied), &p));
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(1, 1, 4, PixelFormat32bppRGB,
                                            reinterpret_cast<BYTE*>(rgb), &r));
    EXPECT_EQ(0x80800000u, Get(p, 0, 0));
    EXPECT_EQ(0xFF112233u, Get(r, 0, 0));
    GdipDisposeImage(p);
    GdipDisposeImage(r);
    // A stride too small for the width is refused.
    GpBitmap* narrow = nullptr;
    EXPECT_EQ(InvalidParameter,
              GdipCreateBitmapFromScan0(2, 3, 4, PixelFormat32bppARGB,
                                        reinterpret_cast<BYTE*>(pixels), &narrow));
    EXPECT_EQ(nullptr, narrow);
    GdipDisposeImage(b);
}

TEST(BackendBitmap, PngRoundTrip) {
    GpBitmap* b = NewBitmap(3, 2);
    GdipBitmapSetPixel(b, 0, 0, kRed);
    GdipBitmapSetPixel(b, 2, 1, 0x80008000);
    std::string path = TempPath("round.png");
    ASSERT_EQ(Ok, GdipSaveImageToPngFileA(b, path.c_str()));
    GpBitmap* loaded = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromPngFileA(path.c_str(), &loaded));
    EXPECT_EQ(kRed, Get(loaded, 0, 0));
    EXPECT_EQ(0x80008000u, Get(loaded, 2, 1));
    EXPECT_EQ(0u, Get(loaded, 1, 0));

    // The same bytes handed to a writer; a writer that stops fails the save.
    std::string bytes;
    KelPngWriter append = [](void* to, const unsigned char* data, size_t length) {
        static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(data), length);
        return true;
    };
    EXPECT_EQ(Ok, KelSaveImageToPngWriter(b, append, &bytes));
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), bytes);
    KelPngWriter refuse = [](void*, const unsigned char*, size_t) { return false; };
    EXPECT_EQ(Win32Error, KelSaveImageToPngWriter(b, refuse, nullptr));
    EXPECT_EQ(InvalidParameter, KelSaveImageToPngWriter(nullptr, append, &bytes));
    std::remove(path.c_str());
    GdipDisposeImage(loaded);
    GdipDisposeImage(b);
}

TEST(BackendBitmap, UnwritablePngTargetsFailWithoutDamage) {
    GpBitmap* b = NewBitmap(2, 2);
    EXPECT_EQ(Win32Error, GdipSaveImageToPngFileA(b, "/nonexistent-dir/sub/out.png"));
    // A directory in the way: refused, and the directory is left alone.
    std::string dir = TempPath("dir.png");
    ASSERT_EQ(0, ::mkdir(dir.c_str(), 0700));
    EXPECT_EQ(Win32Error, GdipSaveImageToPngFileA(b, dir.c_str()));
    struct stat st;
    ASSERT_EQ(0, ::stat(dir.c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    ::rmdir(dir.c_str());
    EXPECT_EQ(InvalidParameter, GdipSaveImageToPngFileA(b, ""));
    EXPECT_EQ(InvalidParameter, GdipSaveImageToPngFileA(nullptr, "x.png"));

    GpBitmap* none = nullptr;
    EXPECT_EQ(FileNotFound, GdipCreateBitmapFromPngFileA("/nonexistent-dir/in.png", &none));
    std::string junk = TempPath("junk.png");
    std::ofstream(junk) << "not a png";
    EXPECT_EQ(UnknownImageFormat, GdipCreateBitmapFromPngFileA(junk.c_str(), &none));
    EXPECT_EQ(nullptr, none);
    std::remove(junk.c_str());
    GdipDisposeImage(b);
}

} // namespace
