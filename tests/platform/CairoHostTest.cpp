// Drawing through a host's Cairo context: the same pixels as through a
// bitmap, the host's transform, clip and device scale respected, its state
// as it was afterwards, and vector surfaces kept as vectors.

#include <gtest/gtest.h>

#include <cairo-svg.h>
#include <cairo.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostBitmap.h"
#include "SvgTestSupport.h"
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

using namespace Gdiplus;

namespace {

// 40 x 30 units: a red square, a gradient-filled circle, a stroked path.
const std::string kPicture =
    Svg("width=\"40\" height=\"30\" viewBox=\"0 0 40 30\"",
        "<defs><linearGradient id=\"g\" x1=\"5\" y1=\"0\" x2=\"35\" y2=\"30\" "
        "gradientUnits=\"userSpaceOnUse\"><stop offset=\"0\" stop-color=\"#00f\"/>"
        "<stop offset=\"1\" stop-color=\"#ff0\"/></linearGradient></defs>"
        "<rect x=\"2\" y=\"2\" width=\"12\" height=\"12\" fill=\"red\"/>"
        "<circle cx=\"26\" cy=\"15\" r=\"10\" fill=\"url(#g)\"/>"
        "<path d=\"M2 26 L38 20\" stroke=\"green\" stroke-width=\"3\"/>");

// An image surface the host draws on, filled white, with its pixels read
// back as ARGB (opaque, so premultiplied and straight agree).
class HostSurface {
public:
    HostSurface(int width, int height, double scale = 1)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(width * scale),
                                             int(height * scale))) {
        cairo_surface_set_device_scale(surface, scale, scale);
        cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    ~HostSurface() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    uint32_t At(int x, int y) {
        cairo_surface_flush(surface);
        auto row =
            cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<uint32_t*>(row)[x];
    }
    int Width() const { return cairo_image_surface_get_width(surface); }
    int Height() const { return cairo_image_surface_get_height(surface); }

    cairo_surface_t* surface;
    cairo_t* cr;
};

// Parses text into picture, with the window x, y, width, height.
void Load(CKelSvg& picture, TempSvgFile& file, int x, int y, int width, int height) {
    picture.CommandParseSVGFile(file.PathBuffer());
    picture.CommandSetSVGWinRect(x, y, width, height);
}

enum Path { ThroughDc, ThroughGraphics };

void DrawOnCairo(CKelSvg& picture, cairo_t* cr, Path path) {
    if (path == ThroughDc) {
        HDC hdc = CreateCairoDC(cr);
        CDC dc(hdc);
        picture.CommandDrawSVG(&dc);
        DeleteDC(hdc);
    } else {
        Graphics graphics(cr);
        picture.CommandDrawSVGGraphics(&graphics);
    }
}

TEST(CairoHost, EveryDrawPathGivesTheBitmapsPixels) {
    TempSvgFile file(kPicture);
    for (bool cache : {false, true}) {
        for (Path path : {ThroughDc, ThroughGraphics}) {
            CKelSvg picture;
            Load(picture, file, 3, 4, 40, 30);
            if (cache)
                picture.CommandCreateBitmapCache();
            HostBitmap bitmap(48, 36, kWhite);
            if (path == ThroughDc) {
                picture.CommandDrawSVG(bitmap.dc());
            } else {
                Graphics graphics(static_cast<GpImage*>(bitmap.bitmap()));
                picture.CommandDrawSVGGraphics(&graphics);
            }
            HostSurface host(48, 36);
            DrawOnCairo(picture, host.cr, path);
            int differing = 0;
            for (int y = 0; y < 36; ++y)
                for (int x = 0; x < 48; ++x)
                    differing += !NearArgb(host.At(x, y), bitmap.At(x, y), 1);
            EXPECT_EQ(0, differing) << "cache " << cache << ", path " << path;
            EXPECT_EQ(kRed, host.At(3 + 8, 4 + 8));
        }
    }
}

TEST(CairoHost, HostTransformAndClipPlaceThePictureAndTheStateComesBack) {
    TempSvgFile file(kPicture);
    for (Path path : {ThroughDc, ThroughGraphics}) {
        CKelSvg picture;
        Load(picture, file, 0, 0, 40, 30);
        HostSurface host(100, 100);
        cairo_t* cr = host.cr;
        cairo_translate(cr, 20, 10);
        cairo_scale(cr, 2, 2);
        cairo_rectangle(cr, 0, 0, 10, 30); // only the left quarter of the picture
        cairo_clip(cr);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_pattern_t* source = cairo_get_source(cr);
        cairo_set_line_width(cr, 7);
        cairo_set_operator(cr, CAIRO_OPERATOR_XOR);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(cr, 1, 2, 3, 4); // a path the host is building
        cairo_matrix_t before;
        cairo_get_matrix(cr, &before);

        DrawOnCairo(picture, cr, path);

        EXPECT_EQ(kRed, host.At(20 + 2 * 8, 10 + 2 * 8)) << "square: scaled and moved";
        EXPECT_EQ(kWhite, host.At(20 + 2 * 12, 10 + 2 * 8)) << "square's right edge: clipped";
        EXPECT_EQ(kWhite, host.At(20 + 2 * 26, 10 + 2 * 15)) << "circle: clipped";
        EXPECT_EQ(kWhite, host.At(10, 5)) << "outside the host's transform";

        EXPECT_EQ(CAIRO_STATUS_SUCCESS, cairo_status(cr));
        cairo_matrix_t after;
        cairo_get_matrix(cr, &after);
        EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
        EXPECT_EQ(source, cairo_get_source(cr));
        EXPECT_EQ(7, cairo_get_line_width(cr));
        EXPECT_EQ(CAIRO_OPERATOR_XOR, cairo_get_operator(cr));
        EXPECT_EQ(CAIRO_ANTIALIAS_NONE, cairo_get_antialias(cr));
        double x1, y1, x2, y2;
        cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
        EXPECT_EQ(0, x1);
        EXPECT_EQ(10, x2);
        cairo_path_extents(cr, &x1, &y1, &x2, &y2);
        EXPECT_EQ(1, x1);
        EXPECT_EQ(6, y2) << "the host's path is still there";
    }
}

TEST(CairoHost, DeviceScaleDrawsAtTheSurfacesResolution) {
    TempSvgFile file(kPicture);
    // At scale 2 the 40 x 30 window fills 80 x 80 pixels as an 80 x 60 window does at scale 1.
    CKelSvg picture;
    Load(picture, file, 0, 0, 40, 30);
    HostSurface scaled(40, 30, 2);
    DrawOnCairo(picture, scaled.cr, ThroughDc);
    CKelSvg large;
    Load(large, file, 0, 0, 80, 60);
    HostSurface plain(80, 60);
    DrawOnCairo(large, plain.cr, ThroughDc);
    ASSERT_EQ(80, scaled.Width());
    int differing = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            differing += !NearArgb(scaled.At(x, y), plain.At(x, y), 2);
    EXPECT_EQ(0, differing);

    // A cache of the window's size is stretched over the scaled surface.
    picture.CommandCreateBitmapCache();
    HostSurface cached(40, 30, 2);
    DrawOnCairo(picture, cached.cr, ThroughGraphics);
    EXPECT_EQ(kRed, cached.At(8, 8));
    EXPECT_EQ(kRed, cached.At(26, 26));
}

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

TEST(CairoHost, VectorSurfacesGetPathsAndGradients) {
    TempSvgFile file(kPicture);
    CKelSvg picture;
    Load(picture, file, 0, 0, 40, 30);
    std::string svg;
    cairo_surface_t* surface = cairo_svg_surface_create_for_stream(Append, &svg, 40, 30);
    cairo_t* cr = cairo_create(surface);
    DrawOnCairo(picture, cr, ThroughDc);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    EXPECT_NE(std::string::npos, svg.find("<path"));
    EXPECT_NE(std::string::npos, svg.find("<linearGradient")) << svg;
    EXPECT_EQ(std::string::npos, svg.find("<image")) << svg;
}

TEST(CairoHost, UnusableContextsAreRefused) {
    EXPECT_EQ(nullptr, CreateCairoDC(nullptr));
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(InvalidParameter, KelCreateGraphicsFromCairo(nullptr, &graphics));
    EXPECT_EQ(nullptr, graphics);

    // A context in an error state.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_t* broken = cairo_create(surface);
    cairo_restore(broken);
    ASSERT_NE(CAIRO_STATUS_SUCCESS, cairo_status(broken));
    EXPECT_EQ(nullptr, CreateCairoDC(broken));
    Graphics refused(broken);
    EXPECT_EQ(InvalidParameter, refused.GetLastStatus());
    cairo_destroy(broken);

    // The device context keeps the host's context alive until DeleteDC.
    cairo_t* cr = cairo_create(surface);
    HDC hdc = CreateCairoDC(cr);
    cairo_destroy(cr);
    GpGraphics* late = nullptr;
    EXPECT_EQ(Ok, GdipCreateFromHDC(hdc, &late));
    EXPECT_EQ(Ok, GdipGraphicsClear(late, 0xFF00FF00));
    GdipDeleteGraphics(late);
    EXPECT_TRUE(DeleteDC(hdc));
    cairo_surface_flush(surface);
    EXPECT_EQ(0xFF00FF00u, *reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface)));
    cairo_surface_destroy(surface);
}

} // namespace
