// The text functions of the GDI+ layer as callers use them: families, fonts,
// string formats and GdipAddPathString into a path.
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct PathData {
    std::vector<GpPointF> points;
    std::vector<BYTE> types;

    size_t Figures() const {
        return std::count_if(types.begin(), types.end(), [](BYTE t) {
            return (t & PathPointTypePathTypeMask) == PathPointTypeStart;
        });
    }
    RectF Bounds() const {
        float l = INFINITY, t = INFINITY, r = -INFINITY, b = -INFINITY;
        for (const GpPointF& p : points) {
            l = std::min(l, p.X);
            r = std::max(r, p.X);
            t = std::min(t, p.Y);
            b = std::max(b, p.Y);
        }
        return RectF(l, t, r - l, b - t);
    }
    bool SamePoints(const PathData& o) const {
        if (points.size() != o.points.size())
            return false;
        for (size_t i = 0; i < points.size(); ++i) {
            if (points[i].X != o.points[i].X || points[i].Y != o.points[i].Y)
                return false;
        }
        return true;
    }
};

PathData Read(GpPath* path) {
    PathData d;
    INT n = 0;
    GdipGetPointCount(path, &n);
    d.points.resize(n);
    d.types.resize(n);
    if (n > 0) {
        GdipGetPathPoints(path, d.points.data(), n);
        GdipGetPathTypes(path, d.types.data(), n);
    }
    return d;
}

class TextPathString : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
        ASSERT_EQ(GdipCreateFontFamilyFromName(u"DejaVu Sans", nullptr, &family), Ok);
        ASSERT_EQ(GdipCreateStringFormat(0x4000, 0, &format), Ok);
    }
    void TearDown() override {
        GdipDeletePath(path);
        GdipDeleteFontFamily(family);
        GdipDeleteStringFormat(format);
    }

    // The outline of `text` laid out at (x, y) with the given alignments.
    PathData Run(const std::u16string& text, float x, float y, StringAlignment align,
                 StringAlignment lineAlign = StringAlignmentFar, INT style = 0, float em = 20,
                 GpFontFamily* fam = nullptr) {
        GdipResetPath(path);
        GdipSetStringFormatAlign(format, align);
        GdipSetStringFormatLineAlign(format, lineAlign);
        RectF rect(x, y, 0, 0);
        EXPECT_EQ(
            GdipAddPathString(path, text.c_str(), -1, fam ? fam : family, style, em, &rect, format),
            Ok);
        return Read(path);
    }

    GpPath* path = nullptr;
    GpFontFamily* family = nullptr;
    GpStringFormat* format = nullptr;
};

} // namespace

TEST(TextFontFamily, FoundRefusedAndAliased) {
    GpFontFamily* f = reinterpret_cast<GpFontFamily*>(1);
    for (const WCHAR* missing : {u"Nonexistent Family Name", u""}) {
        EXPECT_EQ(GdipCreateFontFamilyFromName(missing, nullptr, &f), FontFamilyNotFound);
        EXPECT_EQ(f, nullptr);
    }
    // "Times New Roman" is not installed; fontconfig's alias finds its stand-in,
    // which a clone keeps.
    EXPECT_EQ(GdipCreateFontFamilyFromName(u"Times New Roman", nullptr, &f), Ok);
    GpFontFamily* clone = nullptr;
    EXPECT_EQ(GdipCloneFontFamily(f, &clone), Ok);
    EXPECT_EQ(GdipDeleteFontFamily(f), Ok);
    WCHAR name[32] = {};
    EXPECT_EQ(GdipGetFamilyName(clone, name, 0), Ok);
    EXPECT_EQ(std::u16string(name), u"Liberation Serif");
    EXPECT_EQ(GdipDeleteFontFamily(clone), Ok);

    EXPECT_EQ(GdipCreateFontFamilyFromName(nullptr, nullptr, &f), InvalidParameter);
    EXPECT_EQ(GdipCreateFontFamilyFromName(u"DejaVu Sans", nullptr, nullptr), InvalidParameter);
    EXPECT_EQ(GdipGetFamilyName(nullptr, name, 0), InvalidParameter);
    // Long names are refused safely, a real family with a long tail too.
    std::u16string longName(10000, u'x'), tail = u"DejaVu Sans" + std::u16string(500, u' ') + u"x";
    for (const std::u16string& name : {longName, tail}) {
        EXPECT_EQ(GdipCreateFontFamilyFromName(name.c_str(), nullptr, &f), FontFamilyNotFound);
        EXPECT_EQ(f, nullptr);
    }
}

TEST(TextFont, KeepsItsFamilyAndRefusesBadArguments) {
    GpFontFamily* family = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(u"DejaVu Serif", nullptr, &family), Ok);
    GpFont* font = reinterpret_cast<GpFont*>(1);
    for (REAL size : {0.0f, -3.0f, REAL(NAN)})
        EXPECT_EQ(GdipCreateFont(family, size, 0, UnitPixel, &font), InvalidParameter);
    EXPECT_EQ(GdipCreateFont(family, 12, 0, UnitDisplay, &font), InvalidParameter);
    EXPECT_EQ(GdipCreateFont(nullptr, 12, 0, UnitPixel, &font), InvalidParameter);
    EXPECT_EQ(font, nullptr);
    // A handle of another kind is refused, not misread.
    REAL size = 0;
    EXPECT_EQ(GdipGetFontSize(reinterpret_cast<GpFont*>(family), &size), InvalidParameter);

    // A clone of a font whose family was deleted still holds the family.
    ASSERT_EQ(GdipCreateFont(family, 18.5f, FontStyleBold, UnitPixel, &font), Ok);
    EXPECT_EQ(GdipDeleteFontFamily(family), Ok);
    GpFont* clone = nullptr;
    ASSERT_EQ(GdipCloneFont(font, &clone), Ok);
    EXPECT_EQ(GdipDeleteFont(font), Ok);
    GpFontFamily* own = nullptr;
    ASSERT_EQ(GdipGetFamily(clone, &own), Ok);
    WCHAR name[32];
    EXPECT_EQ(GdipGetFamilyName(own, name, 0), Ok);
    EXPECT_EQ(std::u16string(name), u"DejaVu Serif");
    EXPECT_EQ(GdipDeleteFontFamily(own), Ok);
    EXPECT_EQ(GdipDeleteFont(clone), Ok);
}

TEST_F(TextPathString, CellMetricsPlaceTheBaseline) {
    UINT16 em = 0, ascent = 0, descent = 0, spacing = 0;
    ASSERT_EQ(GdipGetEmHeight(family, 0, &em), Ok);
    ASSERT_EQ(GdipGetCellAscent(family, FontStyleBold, &ascent), Ok);
    ASSERT_EQ(GdipGetCellDescent(family, FontStyleBold, &descent), Ok);
    ASSERT_EQ(GdipGetLineSpacing(family, 0, &spacing), Ok);
    EXPECT_EQ(em, 2048);
    EXPECT_GT(ascent, em * 3 / 4);
    EXPECT_GT(descent, em / 10);
    EXPECT_GE(spacing, ascent + descent);
    // Far line alignment puts the line box's bottom on y: "H" stands on y - descent.
    float baseline = 50 - 20.0f * descent / em;
    RectF h = Run(u"H", 10, 50, StringAlignmentNear, StringAlignmentFar, FontStyleBold).Bounds();
    EXPECT_NEAR(h.Y + h.Height, baseline, 0.01f);

    UINT16 out = 7;
    EXPECT_EQ(GdipGetEmHeight(nullptr, 0, &out), InvalidParameter);
    EXPECT_EQ(GdipGetCellAscent(family, 0, nullptr), InvalidParameter);
    EXPECT_EQ(GdipGetCellDescent(reinterpret_cast<GpFontFamily*>(path), 0, &out), InvalidParameter);
    EXPECT_EQ(out, 7);
}

TEST_F(TextPathString, AlignmentPlacesTheRunOnX) {
    RectF near = Run(u"Hello", 100, 50, StringAlignmentNear).Bounds();
    RectF center = Run(u"Hello", 100, 50, StringAlignmentCenter).Bounds();
    RectF far = Run(u"Hello", 100, 50, StringAlignmentFar).Bounds();
    EXPECT_NEAR(near.X, 100, 3);
    EXPECT_NEAR(center.X + center.Width / 2, 100, 3);
    EXPECT_NEAR(far.X + far.Width, 100, 3);
    EXPECT_NEAR(near.Width, far.Width, 0.01);
    // Line alignment far: the whole run, descenders included, lies above y.
    RectF deep = Run(u"Hgjpq", 100, 50, StringAlignmentNear).Bounds();
    EXPECT_LE(deep.Y + deep.Height, 50.01);
    EXPECT_GT(deep.Y + deep.Height, 45);
    EXPECT_GT(deep.Y, 50 - 25);
    // Line alignment near: below y.
    EXPECT_GE(Run(u"Hgjpq", 100, 50, StringAlignmentNear, StringAlignmentNear).Bounds().Y, 50);
}

TEST_F(TextPathString, GlyphsAreClosedFigures) {
    PathData d = Run(u"O", 0, 0, StringAlignmentNear);
    EXPECT_EQ(d.Figures(), 2u); // outer and inner contour of the O
    for (size_t i = 0; i < d.types.size(); ++i) {
        bool last = i + 1 == d.types.size() || d.types[i + 1] == PathPointTypeStart;
        EXPECT_EQ((d.types[i] & PathPointTypeCloseSubpath) != 0, last) << i;
    }
    // An open figure already in the path is not joined to the string.
    GdipResetPath(path);
    GdipAddPathLine(path, 0, 0, 10, 10);
    RectF rect(0, 0, 0, 0);
    EXPECT_EQ(GdipAddPathString(path, u"O", -1, family, 0, 20, &rect, format), Ok);
    PathData mixed = Read(path);
    EXPECT_EQ(mixed.Figures(), 3u);
    EXPECT_EQ(mixed.types[2], PathPointTypeStart);
}

TEST_F(TextPathString, LengthAndEmptyText) {
    RectF rect(0, 20, 0, 0);
    GdipResetPath(path);
    EXPECT_EQ(GdipAddPathString(path, u"abc", 2, family, 0, 20, &rect, format), Ok);
    PathData two = Read(path);
    EXPECT_TRUE(two.SamePoints(Run(u"ab", 0, 20, StringAlignmentNear, StringAlignmentNear)));
    EXPECT_EQ(Run(u"", 0, 20, StringAlignmentNear).points.size(), 0u);
    EXPECT_EQ(Run(u"   ", 0, 20, StringAlignmentNear).points.size(), 0u);
    // Without a format: near, near.
    GdipResetPath(path);
    EXPECT_EQ(GdipAddPathString(path, u"ab", -1, family, 0, 20, &rect, nullptr), Ok);
    EXPECT_TRUE(Read(path).SamePoints(two));
}

TEST_F(TextPathString, RefusesBadArgumentsAndLeavesThePath) {
    RectF rect(0, 0, 0, 0);
    GdipResetPath(path);
    GdipAddPathLine(path, 0, 0, 5, 5);
    EXPECT_EQ(GdipAddPathString(nullptr, u"a", -1, family, 0, 20, &rect, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, nullptr, -1, family, 0, 20, &rect, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, nullptr, 0, 20, &rect, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, family, 0, 20, nullptr, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -2, family, 0, 20, &rect, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, family, 0, NAN, &rect, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, family, 0, 0, &rect, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, family, 0, 3e38f, &rect, format), InvalidParameter);
    RectF bad(INFINITY, 0, 0, 0);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, family, 0, 20, &bad, format), InvalidParameter);
    EXPECT_EQ(GdipAddPathString(path, u"a", -1, family, 0, 20, &rect,
                                reinterpret_cast<GpStringFormat*>(family)),
              InvalidParameter);
    EXPECT_EQ(Read(path).points.size(), 2u);
    // Unpaired surrogates are drawn as replacement characters.
    const WCHAR broken[] = {0xD800, u'a', 0xDC00, 0};
    EXPECT_EQ(GdipAddPathString(path, broken, -1, family, 0, 20, &rect, format), Ok);
}

TEST_F(TextPathString, LongTextIsLaidOutSafely) {
    std::u16string text(100000, u'a');
    PathData single = Run(u"a", 0, 0, StringAlignmentNear);
    RectF rect(0, 0, 0, 0);
    GdipResetPath(path);
    EXPECT_EQ(GdipAddPathString(path, text.c_str(), -1, family, 0, 10, &rect, format), Ok);
    PathData all = Read(path);
    EXPECT_EQ(all.Figures(), 100000 * single.Figures());
    // Many different characters that no installed font has, and a string whose
    // end falls inside a surrogate pair.
    std::u16string missing;
    for (int i = 0; i < 100000; ++i)
        missing.push_back(char16_t(0x4E00 + i % 20000));
    missing.push_back(char16_t(0xD83D));
    EXPECT_EQ(GdipAddPathString(path, missing.c_str(), -1, family, 0, 10, &rect, format), Ok);
}

TEST_F(TextPathString, FilledTextPaintsPixels) {
    Canvas c(120, 40, 0);
    Run(u"\u2588\u2588", 10, 35, StringAlignmentNear, StringAlignmentFar, 0, 30); // full blocks
    c.Fill(path, kBlack);
    RectF b = Read(path).Bounds();
    EXPECT_EQ(c.Pixel(int(b.X + b.Width / 2), int(b.Y + b.Height / 2)), kBlack);
    EXPECT_EQ(c.Pixel(115, 2) >> 24, 0u);
}
