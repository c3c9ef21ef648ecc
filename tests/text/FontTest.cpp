// Font and string format building, the conversion buffers, and string measuring.

#include "SvgTestSupport.h"
#include "platform/gdiplus/GdipTextMeasure.h"
#include "render/SvgFontBuilder.h"
#include "render/SvgFontRun.h"
#include "render/SvgTextBuffer.h"
#include "style/SvgStyle.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Gdiplus;

namespace {

// A style record read from a style attribute, cascaded from parent (by
// default from a record in the initial state).
std::unique_ptr<SvgStyle> StyleOf(const char* declarations, SvgStyle* parent = nullptr) {
    static const SvgStyle initial;
    auto style = std::make_unique<SvgStyle>();
    style->ReadStyleAttribute(declarations);
    style->MergeFromParent(parent ? parent : &initial);
    return style;
}

std::u16string Units(const SvgTextBuffer& buffer) {
    return std::u16string(buffer.Get(), buffer.Length());
}

StringAlignment AlignOf(const GdiStringFormat* format) {
    StringAlignment align = StringAlignmentNear;
    GdipGetStringFormatAlign(format->Get(), &align);
    return align;
}

} // namespace

TEST(TextBuffer, ConvertsAndCutsSafely) {
    SvgTextBuffer utf8(8);
    EXPECT_TRUE(utf8.Convert(CP_UTF8, "caf\xC3\xA9"));
    EXPECT_EQ(Units(utf8), u"caf\u00E9");
    // Eight units hold seven and the terminator; a two-byte sequence is not split.
    EXPECT_FALSE(utf8.Convert(CP_UTF8, "abcdef\xC3\xA9xyz"));
    EXPECT_EQ(Units(utf8), u"abcdef\u00E9");
    EXPECT_FALSE(utf8.Convert(CP_UTF8, "abcdefg\xC3\xA9"));
    EXPECT_EQ(Units(utf8), u"abcdefg");
    // A character outside the BMP takes two units and is kept whole or not at all.
    EXPECT_FALSE(utf8.Convert(CP_UTF8, "abcdef\xF0\x9F\x98\x80"));
    EXPECT_EQ(Units(utf8), u"abcdef");
    EXPECT_TRUE(utf8.Convert(CP_UTF8, ""));
    EXPECT_EQ(utf8.Length(), 0u);
    EXPECT_EQ(utf8.Get()[0], 0);

    // The ANSI code page: one unit per byte.
    SvgTextBuffer ansi(SvgFontBuilder::kFamilyNameUnits);
    EXPECT_FALSE(ansi.Convert(CP_ACP, std::string(1000, 'A')));
    EXPECT_EQ(ansi.Length(), SvgFontBuilder::kFamilyNameUnits - 1);
}

TEST(FontBuilding, StyleBitsAndAlignmentFromKeywords) {
    auto normal = StyleOf("font-weight: normal");
    auto bold = StyleOf("font-weight: bold; text-anchor: middle");
    // Family, size, weight, style and anchor inherit; decoration does not.
    auto parent = StyleOf("font-family: DejaVu Sans; font-weight: bold; font-size: 20px; "
                          "text-anchor: middle; font-style: italic; text-decoration: underline");
    SvgFontRequest inherited = SvgFontBuilder::Request(*StyleOf("fill: red", parent.get()));
    EXPECT_EQ(inherited.family, "DejaVu Sans");
    EXPECT_EQ(inherited.size, 20.0f);
    SvgFontRequest none = SvgFontBuilder::Request(SvgStyle());
    EXPECT_EQ(none.size, 12.0f);
    EXPECT_EQ(none.family, "\xD0\xC2\xCB\xCE\xCC\xE5");
    struct {
        const char* declarations;
        SvgStyle* parent;
        INT style;
        StringAlignment align;
    } rows[] = {
        {"fill: red", parent.get(), FontStyleBold | FontStyleItalic, StringAlignmentCenter},
        {"", nullptr, 0, StringAlignmentNear},
        {"font-weight: bold", nullptr, FontStyleBold, StringAlignmentNear},
        {"font-weight: 500", nullptr, 0, StringAlignmentNear},
        {"font-weight: bolder", normal.get(), FontStyleBold, StringAlignmentNear},
        {"font-weight: lighter; text-anchor: end", bold.get(), 0, StringAlignmentFar},
        {"font-weight: lighter", nullptr, 0, StringAlignmentNear},
        {"font-style: oblique; text-anchor: start", bold.get(), FontStyleBold | FontStyleItalic,
         StringAlignmentNear},
        {"font-style: italic; text-anchor: middle", nullptr, FontStyleItalic,
         StringAlignmentCenter},
        {"text-decoration: underline line-through; text-anchor: left", nullptr,
         FontStyleUnderline | FontStyleStrikeout, StringAlignmentNear},
        {"text-decoration: overline blink", nullptr, 0, StringAlignmentNear},
    };
    for (auto& row : rows) {
        auto style = StyleOf(row.declarations, row.parent);
        EXPECT_EQ(SvgFontBuilder::Request(*style).style, row.style) << row.declarations;
        std::unique_ptr<GdiStringFormat> format(SvgFontBuilder::BuildStringFormat(*style));
        EXPECT_EQ(AlignOf(format.get()), row.align) << row.declarations;
    }
}

TEST(FontBuilding, FamilyListsAreTriedInOrder) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(SvgFontBuilder::FamilyNames("\"Helvetica Neue\", Arial, sans-serif"),
              (Names{"Helvetica Neue", "Arial", "sans-serif"}));
    // The reader strips one pair of quotes around the whole value: the names
    // keep a quote at one end, which goes too.
    EXPECT_EQ(SvgFontBuilder::FamilyNames("Helvetica Neue\", Arial, 'DejaVu Serif"),
              (Names{"Helvetica Neue", "Arial", "DejaVu Serif"}));
    EXPECT_EQ(SvgFontBuilder::FamilyNames(" , ,serif,"), (Names{"serif"}));
    EXPECT_EQ(SvgFontBuilder::FamilyNames(""), Names{});
    EXPECT_EQ(SvgFontBuilder::FamilyNames(std::string(100, ',') + "x").size(), 1u);
    EXPECT_EQ(SvgFontBuilder::FamilyNames(Repeat("a,", 100)).size(), 16u);

    struct {
        const char* list;
        const WCHAR* family;
    } rows[] = {
        {"Helvetica Neue, DejaVu Serif, DejaVu Sans", u"DejaVu Serif"},
        {"'No Such Font', monospace", u"DejaVu Sans Mono"},
        {"No Such Font, sans-serif", u"DejaVu Sans"},
        {"Arial", u"Liberation Sans"},
    };
    for (auto& row : rows) {
        SvgFontRequest request;
        request.family = row.list;
        std::unique_ptr<GdiFont> font(SvgFontBuilder::BuildFont(request));
        ASSERT_NE(font->Get(), nullptr) << row.list;
        GpFontFamily* family = nullptr;
        ASSERT_EQ(GdipGetFamily(font->Get(), &family), Ok);
        WCHAR name[32] = {};
        GdipGetFamilyName(family, name, 0);
        GdipDeleteFontFamily(family);
        EXPECT_EQ(std::u16string(name), row.family) << row.list;
    }
}

TEST(FontBuilding, UnknownFamiliesFallBackToTimesNewRoman) {
    // The default name reads as Windows-1252 here and names no font.
    SvgFontRequest request;
    request.family = SvgFontBuilder::kDefaultFamily;
    request.size = 17;
    request.style = FontStyleItalic;
    std::unique_ptr<GdiFont> refused(SvgFontBuilder::BuildFont(request));
    ASSERT_NE(refused, nullptr);
    EXPECT_TRUE(refused->Get() == nullptr && refused->GetLastStatus() != Ok);
    SvgFontRun fallback(refused.get(), request);
    EXPECT_TRUE(fallback.Size() == 17.0f && fallback.Style() == FontStyleItalic);
    EXPECT_GT(fallback.Advance(u"W"), 5.0f);

    // A very long name is cut, not overrun, and names nothing either.
    request.family = std::string(100000, 'Q');
    std::unique_ptr<GdiFont> tooLong(SvgFontBuilder::BuildFont(request));
    EXPECT_TRUE(tooLong && !tooLong->Get());

    request.family = "DejaVu Sans";
    request.size = 30;
    request.style = FontStyleBold;
    std::unique_ptr<GdiFont> found(SvgFontBuilder::BuildFont(request));
    ASSERT_NE(found->Get(), nullptr);
    SvgFontRun run(found.get(), SvgFontRequest());
    EXPECT_TRUE(run.Size() == 30.0f && run.Style() == FontStyleBold);
}

TEST(MeasureString, RefusesBadArguments) {
    SvgFontRequest request;
    request.family = "DejaVu Sans";
    std::unique_ptr<GdiFont> owner(SvgFontBuilder::BuildFont(request));
    GpFont* font = owner->Get();
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    RectF layout(0, 0, 0, 0), infinite(1.0f / 0.0f, 0, 0, 0), box;
    struct {
        const WCHAR* text;
        INT length;
        GpFont* font;
        RectF* layout;
        RectF* box;
    } rows[] = {
        {nullptr, -1, font, &layout, &box},
        {u"a", -1, nullptr, &layout, &box},
        {u"a", -1, font, nullptr, &box},
        {u"a", -1, font, &layout, nullptr},
        {u"a", -2, font, &layout, &box},
        {u"a", -1, font, &infinite, &box},
        // A handle of another kind is refused, not misread.
        {u"a", -1, reinterpret_cast<GpFont*>(path), &layout, &box},
    };
    for (auto& row : rows)
        EXPECT_EQ(GdipMeasureString(nullptr, row.text, row.length, row.font, row.layout, nullptr,
                                    row.box, nullptr, nullptr),
                  InvalidParameter);
    GdipDeletePath(path);
}
