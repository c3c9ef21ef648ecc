// The PNG encoder: files libpng reads, whose pixels match Cairo's own PNG writer's.

#include "platform/gdiplus/PngWriter.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using Gdiplus::WritePng;

namespace {

using Bytes = std::vector<unsigned char>;

bool Append(void* closure, const unsigned char* data, size_t length) {
    auto* out = static_cast<Bytes*>(closure);
    out->insert(out->end(), data, data + length);
    return true;
}

cairo_status_t AppendCairo(void* closure, const unsigned char* data, unsigned int length) {
    Append(closure, data, length);
    return CAIRO_STATUS_SUCCESS;
}

uint32_t Big32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The file as libpng reads it, in straight RGBA bytes: it checks every CRC,
// the zlib stream and the filters. Empty when it refuses the file.
Bytes ReadRgba(const Bytes& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return {};
    image.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr))
        rgba.clear();
    png_image_free(&image);
    return rgba;
}

// The image encoded by the encoder under test and by Cairo, both read back;
// the same pixels, our colour type as expected. Gives our chunks' types.
std::vector<std::string> ExpectSameAsCairo(cairo_surface_t* surface, int expectedColorType) {
    cairo_surface_flush(surface);
    Bytes ours;
    EXPECT_TRUE(WritePng(cairo_image_surface_get_data(surface),
                         cairo_image_surface_get_width(surface),
                         cairo_image_surface_get_height(surface),
                         cairo_image_surface_get_stride(surface), Append, &ours));
    Bytes theirs;
    EXPECT_EQ(CAIRO_STATUS_SUCCESS,
              cairo_surface_write_to_png_stream(surface, AppendCairo, &theirs));
    Bytes a = ReadRgba(ours), b = ReadRgba(theirs);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(size_t(cairo_image_surface_get_width(surface)) *
                  cairo_image_surface_get_height(surface) * 4,
              b.size());
    EXPECT_TRUE(a == b);
    // IHDR first, its colour type at byte 25; the chunks end with IEND at the end.
    EXPECT_EQ(expectedColorType, ours.size() > 25 ? ours[25] : -1);
    std::vector<std::string> chunks;
    size_t at = 8;
    for (; at + 12 <= ours.size(); at += 12 + Big32(&ours[at]))
        chunks.emplace_back(reinterpret_cast<const char*>(&ours[at + 4]), 4);
    EXPECT_EQ(at, ours.size());
    EXPECT_EQ("IEND", chunks.empty() ? "" : chunks.back());
    return chunks;
}

void Check(cairo_surface_t* surface, int expectedColorType) {
    ExpectSameAsCairo(surface, expectedColorType);
    cairo_surface_destroy(surface);
}

// A w × h surface whose premultiplied pixels are pixel(x, y), asked row by row.
template <class Pixel> cairo_surface_t* Surface(int w, int h, Pixel pixel) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(data + size_t(y) * cairo_image_surface_get_stride(s))[x] =
                pixel(x, y);
    cairo_surface_mark_dirty(s);
    return s;
}

// Pixels of every alpha value with colour channels up to alpha.
cairo_surface_t* EveryAlpha(int w, int h, unsigned seed) {
    std::mt19937 random(seed);
    return Surface(w, h, [&](int x, int y) {
        uint32_t a = uint32_t(x + y * w) % 256;
        uint32_t r = random() % (a + 1), g = random() % (a + 1), b = random() % (a + 1);
        return a << 24 | r << 16 | g << 8 | b;
    });
}

TEST(PngWriter, MatchesCairoOnDrawnPictures) {
    // Transparent with an anti-aliased shape: few colours, so a palette with
    // alphas; long runs, edges.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 300, 200);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgba(cr, 0.2, 0.5, 0.9, 0.7);
    cairo_arc(cr, 150, 100, 80.3, 0, 6.283);
    cairo_fill(cr);
    EXPECT_EQ(ExpectSameAsCairo(s, 3),
              (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));

    // Opaque: a palette without alphas.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.9, 0.1, 0.3);
    cairo_rectangle(cr, 10.5, 20.25, 200, 90);
    cairo_fill(cr);
    EXPECT_EQ(ExpectSameAsCairo(s, 3), (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));

    // A gradient has too many colours for a palette.
    cairo_pattern_t* ramp = cairo_pattern_create_linear(0, 0, 300, 200);
    cairo_pattern_add_color_stop_rgb(ramp, 0, 1, 0, 0);
    cairo_pattern_add_color_stop_rgb(ramp, 1, 0, 0.5, 1);
    cairo_set_source(cr, ramp);
    cairo_paint(cr);
    ExpectSameAsCairo(s, 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, 0, 0, 100, 50);
    cairo_fill(cr);
    ExpectSameAsCairo(s, 6);
    cairo_pattern_destroy(ramp);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    Check(Surface(64, 64, [](int, int) { return 0u; }), 3); // entirely transparent
}

TEST(PngWriter, EveryAlphaChannelsAboveAlphaAndNoise) {
    // Noise of every alpha makes well over one data chunk. A few channels above
    // alpha, which only a careless direct write can leave: each channel keeps
    // to itself.
    cairo_surface_t* s = EveryAlpha(600, 500, 3);
    auto* first = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    first[1] = 0x01FFFFFF;
    first[2] = 0x80FF00FF;
    first[3] = 0x10FF2000;
    cairo_surface_mark_dirty(s);
    std::vector<std::string> chunks = ExpectSameAsCairo(s, 6);
    EXPECT_GT(std::count(chunks.begin(), chunks.end(), "IDAT"), 1);
    cairo_surface_destroy(s);
    // Opaque noise: nothing but literals.
    std::mt19937 random(7);
    Check(Surface(97, 33, [&](int, int) { return 0xFF000000 | (random() & 0xFFFFFF); }), 2);
}

TEST(PngWriter, PaletteHoldsUpTo256StraightColours) {
    // count opaque colours, then transparent pixels whose (invalid) channels
    // differ but which all mean the one colour "transparent".
    const struct {
        int count, junk, type;
    } rows[] = {{256, 0, 3}, {257, 0, 2}, {255, 400, 3}, {256, 1, 6}, {1, 0, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.count) + " colours, " + std::to_string(row.junk));
        auto pixel = [&](int x, int) {
            return x < row.count ? 0xFF000040 | uint32_t(x & 0xFF) << 16 | uint32_t(x >> 8) << 8
                                 : uint32_t(x - row.count + 1);
        };
        Check(Surface(row.count + row.junk, 1, pixel), row.type);
    }
}

TEST(PngWriter, OddSizes) {
    for (int w : {1, 2, 3})
        for (int h : {1, 2, 700})
            Check(EveryAlpha(w, h, unsigned(w * 1000 + h)), w * h > 256 ? 6 : 3);
}

TEST(PngWriter, RowsThatChangeInPlaces) {
    // Each row repeats the one above but for one pixel (or none), at every
    // position modulo four and more, in colour with and without transparency;
    // a first row of 301 colours (no palette) or of one (a palette).
    for (int w : {301, 11}) {
        for (uint32_t alpha : {0xFF000000u, 0x7F000000u}) {
            SCOPED_TRACE(std::to_string(w) + " wide, alpha " + std::to_string(alpha >> 24));
            auto pixel = [&](int x, int y) {
                for (int k = y; k > 0; --k)
                    if (k % 3 != 0 && (k * 37) % w == x)
                        return alpha | uint32_t(k * 0x00050301);
                return alpha | (w > 256 ? uint32_t(x) * 0x010101 : 0x302010);
            };
            Check(Surface(w, 3 * 11, pixel), w < 256 ? 3 : alpha == 0xFF000000u ? 2 : 6);
        }
    }
}

struct Refusing {
    int calls = 0;
    int refuseAt = 0;
};

bool Refuse(void* closure, const unsigned char*, size_t) {
    auto* r = static_cast<Refusing*>(closure);
    return ++r->calls < r->refuseAt;
}

TEST(PngWriter, FailuresAreReported) {
    cairo_surface_t* s = EveryAlpha(400, 400, 5);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    // A sink that fails: reported, and not written to again.
    for (int at : {1, 2, 5}) {
        Refusing r;
        r.refuseAt = at;
        EXPECT_FALSE(WritePng(data, 400, 400, stride, Refuse, &r));
        EXPECT_EQ(at, r.calls);
    }
    Bytes out;
    EXPECT_FALSE(WritePng(nullptr, 4, 4, 16, Append, &out));
    EXPECT_FALSE(WritePng(data, 0, 4, stride, Append, &out));
    EXPECT_FALSE(WritePng(data, 4, -1, stride, Append, &out));
    EXPECT_FALSE(WritePng(data, 400, 4, 100, Append, &out)); // stride shorter than a row
    EXPECT_FALSE(WritePng(data, 4, 4, stride, nullptr, nullptr));
    EXPECT_TRUE(out.empty());
    cairo_surface_destroy(s);
}

} // namespace
