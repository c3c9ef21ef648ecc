// Drawing through a host's Cairo context: the same pixels as through a
// bitmap, the host's transform, clip and device scale respected, and its
// state as it was afterwards. (Vector surfaces: the tool's format tests.)

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>

#include "HostBitmap.h"
#include "SvgTestSupport.h"
#include "interface/KelSvg.h"

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

// A host's white image surface of width x height units at the device scale,
// read back as ARGB (opaque, so premultiplied and straight agree).
struct HostSurface {
    HostSurface(int width, int height, double scale = 1)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(width * scale),
                                             int(height * scale))),
          cr(cairo_create(surface)) {
        cairo_surface_set_device_scale(surface, scale, scale);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    ~HostSurface() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    uint32_t At(int x, int y) {
        cairo_surface_flush(surface);
        unsigned char* row =
            cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<uint32_t*>(row)[x];
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

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

class CairoHost : public ::testing::Test {
protected:
    // A picture of kPicture in the window x, y, width, height.
    CKelSvg& Picture(int x, int y, int width, int height) {
        pictures.emplace_back(new CKelSvg);
        pictures.back()->CommandParseSVGFile(file.PathBuffer());
        pictures.back()->CommandSetSVGWinRect(x, y, width, height);
        return *pictures.back();
    }
    TempSvgFile file{kPicture};
    std::vector<std::unique_ptr<CKelSvg>> pictures;
};

TEST_F(CairoHost, EveryDrawPathGivesTheBitmapsPixels) {
    for (bool cache : {false, true}) {
        for (Path path : {ThroughDc, ThroughGraphics}) {
            SCOPED_TRACE(std::to_string(cache) + " " + std::to_string(path));
            CKelSvg& picture = Picture(3, 4, 40, 30);
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
            EXPECT_EQ(0, differing);
            EXPECT_EQ(kRed, host.At(3 + 8, 4 + 8));
        }
    }
}

TEST_F(CairoHost, HostTransformAndClipPlaceThePictureAndTheStateComesBack) {
    for (Path path : {ThroughDc, ThroughGraphics}) {
        HostSurface host(100, 100);
        cairo_t* cr = host.cr;
        cairo_translate(cr, 20, 10);
        cairo_scale(cr, 2, 2);
        cairo_rectangle(cr, 0, 0, 10, 30); // the left quarter of the picture
        cairo_clip(cr);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_pattern_t* source = cairo_get_source(cr);
        cairo_set_line_width(cr, 7);
        cairo_set_operator(cr, CAIRO_OPERATOR_XOR);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(cr, 1, 2, 3, 4); // a path the host is building
        cairo_matrix_t before, after;
        cairo_get_matrix(cr, &before);

        DrawOnCairo(Picture(0, 0, 40, 30), cr, path);

        EXPECT_EQ(kRed, host.At(20 + 2 * 8, 10 + 2 * 8)) << "square: scaled and moved";
        EXPECT_EQ(kWhite, host.At(20 + 2 * 12, 10 + 2 * 8)) << "its right edge: clipped";
        EXPECT_EQ(kWhite, host.At(20 + 2 * 26, 10 + 2 * 15)) << "circle: clipped";
        EXPECT_EQ(kWhite, host.At(10, 5)) << "outside the host's transform";

        EXPECT_EQ(CAIRO_STATUS_SUCCESS, cairo_status(cr));
        cairo_get_matrix(cr, &after);
        EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
        EXPECT_EQ(source, cairo_get_source(cr));
        EXPECT_EQ(7, cairo_get_line_width(cr));
        EXPECT_EQ(CAIRO_OPERATOR_XOR, cairo_get_operator(cr));
        EXPECT_EQ(CAIRO_ANTIALIAS_NONE, cairo_get_antialias(cr));
        double x1, y1, x2, y2;
        cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
        EXPECT_EQ(10, x2 - x1);
        cairo_path_extents(cr, &x1, &y1, &x2, &y2);
        EXPECT_EQ(6, y2) << "the host's path is still there";
    }
}

TEST_F(CairoHost, DeviceScaleDrawsAtTheSurfacesResolution) {
    // At scale 2 a 40 x 30 window fills 80 x 60 pixels as an 80 x 60 window does at scale 1.
    HostSurface scaled(40, 30, 2), plain(80, 60);
    CKelSvg& picture = Picture(0, 0, 40, 30);
    DrawOnCairo(picture, scaled.cr, ThroughDc);
    DrawOnCairo(Picture(0, 0, 80, 60), plain.cr, ThroughDc);
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

TEST_F(CairoHost, UnusableContextsAreRefused) {
    EXPECT_EQ(nullptr, CreateCairoDC(nullptr));
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(InvalidParameter, KelCreateGraphicsFromCairo(nullptr, &graphics));
    HostSurface host(4, 4);
    cairo_t* broken = cairo_create(host.surface);
    cairo_restore(broken); // an error state
    EXPECT_EQ(nullptr, CreateCairoDC(broken));
    EXPECT_EQ(InvalidParameter, Graphics(broken).GetLastStatus());
    cairo_destroy(broken);

    // The device context keeps the host's context alive until DeleteDC.
    cairo_t* cr = cairo_create(host.surface);
    HDC hdc = CreateCairoDC(cr);
    cairo_destroy(cr);
    ASSERT_EQ(Ok, GdipCreateFromHDC(hdc, &graphics));
    EXPECT_EQ(Ok, GdipGraphicsClear(graphics, kGreen));
    GdipDeleteGraphics(graphics);
    EXPECT_TRUE(DeleteDC(hdc));
    EXPECT_EQ(kGreen, host.At(0, 0));
}

} // namespace

// What the library renders at the target's resolution (pattern tiles) sees
// the host's transform and device scale.
TEST(CairoHostPixels, PixelTransformTakesTheHostsTransformAndScale) {
    HostSurface host(20, 20, 2);
    cairo_translate(host.cr, 3, 0);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(Ok, KelCreateGraphicsFromCairo(host.cr, &graphics));
    GdipTranslateWorldTransform(graphics, 1, 0, MatrixOrderPrepend);
    GpMatrix* matrix = nullptr;
    GdipCreateMatrix(&matrix);
    ASSERT_EQ(Ok, KelGetPixelTransform(graphics, matrix));
    REAL e[6];
    GdipGetMatrixElements(matrix, e);
    EXPECT_EQ(e[0], 2);
    EXPECT_EQ(e[3], 2);
    EXPECT_EQ(e[4], 8);
    GdipDeleteMatrix(matrix);
    GdipDeleteGraphics(graphics);
}
