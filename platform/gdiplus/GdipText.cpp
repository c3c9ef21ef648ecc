// The text group of the GDI+ layer: font families, fonts, string formats,
// GdipAddPathString and GdipMeasureString, over fontconfig, HarfBuzz and
// FreeType (FontCache, FontLayout). Glyph outlines reach the path through the
// public path functions.

#include "platform/gdiplus/FontCache.h"
#include "platform/gdiplus/FontColorGlyphs.h"
#include "platform/gdiplus/FontLayout.h"
#include "platform/gdiplus/GdiPlus.h"
#include "platform/gdiplus/GdipFontTraits.h"
#include "platform/gdiplus/GdipTextMeasure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace Gdiplus {

namespace {

enum : uint32_t {
    kFontFamilyTag = 0x46466D6C,   // "FFml"
    kFontTag = 0x466F6E74,         // "Font"
    kStringFormatTag = 0x53466D74, // "SFmt"
    kDeadTextTag = 0xDEADBEEF
};

// Longest family name looked up; longer names are no installed family.
constexpr size_t kMaxFamilyName = 1024;
// Longest string laid out; the rest of a longer one is cut.
constexpr size_t kMaxStringLength = 1 << 20;
// Coordinates kept in the scratch outline between calls.
constexpr size_t kMaxScratchPoints = 1 << 18;
// GDI+'s family name buffer (LF_FACESIZE).
constexpr size_t kFaceNameSize = 32;

bool IsHigh(uint32_t u) {
    return u >= 0xD800 && u < 0xDC00;
}
bool IsLow(uint32_t u) {
    return u >= 0xDC00 && u < 0xE000;
}

// UTF-16 to code points; unpaired surrogates become U+FFFD.
std::u32string ToUtf32(const WCHAR* s, size_t n) {
    std::u32string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = s[i];
        if (IsHigh(u) && i + 1 < n && IsLow(s[i + 1])) {
            out.push_back(0x10000 + ((u - 0xD800) << 10) + (uint32_t(s[i + 1]) - 0xDC00));
            ++i;
        } else if (IsHigh(u) || IsLow(u)) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(u);
        }
    }
    return out;
}

std::string ToUtf8(const std::u32string& s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// Length of a NUL-terminated string, looking no further than `limit` units.
size_t BoundedLength(const WCHAR* s, size_t limit) {
    size_t n = 0;
    while (n < limit && s[n] != 0)
        ++n;
    return n;
}

// The text of a string argument (length -1: up to its NUL) as code points, at
// most kMaxStringLength units, never cutting a surrogate pair in two; units
// (may be null) gets how many UTF-16 units it took.
std::u32string BoundedText(const WCHAR* string, INT length, size_t* units = nullptr) {
    size_t n = length == -1 ? BoundedLength(string, kMaxStringLength)
                            : std::min(size_t(length), kMaxStringLength);
    if (n == kMaxStringLength && IsHigh(string[n - 1]))
        --n;
    if (units)
        *units = n;
    return ToUtf32(string, n);
}

bool IsAlignment(StringAlignment a) {
    return a == StringAlignmentNear || a == StringAlignmentCenter || a == StringAlignmentFar;
}

} // namespace

class GpFontFamily {
public:
    uint32_t tag = kFontFamilyTag;
    std::shared_ptr<FontFamilyEntry> entry;
    ~GpFontFamily() { tag = kDeadTextTag; }
};

class GpFont {
public:
    uint32_t tag = kFontTag;
    std::shared_ptr<FontFamilyEntry> family;
    REAL size = 0;
    INT style = 0;
    Unit unit = UnitPixel;
    FontTraits traits;
    bool smallCaps = false;
    // The variations of traits as KelGetFontTraits hands them out.
    std::vector<UINT32> variationTags;
    std::vector<REAL> variationValues;
    ~GpFont() { tag = kDeadTextTag; }
};

class GpStringFormat {
public:
    uint32_t tag = kStringFormatTag;
    INT flags = 0;
    LANGID language = 0;
    StringAlignment align = StringAlignmentNear;
    StringAlignment lineAlign = StringAlignmentNear;
    ~GpStringFormat() { tag = kDeadTextTag; }
};

namespace {

bool Valid(const GpFontFamily* f) {
    return f && f->tag == kFontFamilyTag && f->entry;
}
bool Valid(const GpFont* f) {
    return f && f->tag == kFontTag && f->family;
}
bool Valid(const GpStringFormat* f) {
    return f && f->tag == kStringFormatTag;
}

// One metric of the face a family draws a style with, rounded to design units.
Status FaceMetric(const GpFontFamily* family, INT style, UINT16* out, float FontFace::*metric) {
    if (!Valid(family) || !out)
        return InvalidParameter;
    FontFace* face = FontCache::Instance().Face(*family->entry, style).face;
    if (!face)
        return GenericError;
    float value = face->*metric;
    *out = UINT16(std::min(std::max(std::lround(value), 0L), 65535L));
    return Ok;
}

template <class T> Status Fail(T** out, Status status) {
    if (out)
        *out = nullptr;
    return status;
}

} // namespace

// Runs of lines go in one call, runs of curves in another.
Status AddOutlineFigures(GpPath* path, const FontOutline& o) {
    std::vector<GpPointF> run;
    size_t p = 0;
    size_t i = 0;
    while (i < o.ops.size()) {
        // o.ops[i] is a Move: the figure's start.
        GpPointF current(o.pts[p], o.pts[p + 1]);
        p += 2;
        ++i;
        Status status = Ok;
        bool any = false;
        while (status == Ok && i < o.ops.size() && o.ops[i] != FontOutline::Move) {
            uint8_t op = o.ops[i];
            run.assign(1, current);
            while (i < o.ops.size() && o.ops[i] == op) {
                size_t n = op == FontOutline::Cubic ? 3 : 1;
                for (size_t k = 0; k < n; ++k, p += 2)
                    run.emplace_back(o.pts[p], o.pts[p + 1]);
                ++i;
            }
            status = op == FontOutline::Cubic
                         ? GdipAddPathBeziers(path, run.data(), INT(run.size()))
                         : GdipAddPathLine2(path, run.data(), INT(run.size()));
            current = run.back();
            any = true;
        }
        if (status != Ok)
            return status;
        if (any)
            status = GdipClosePathFigure(path);
        if (status != Ok)
            return status;
    }
    return Ok;
}

FontFamilyEntry* FamilyEntryOf(const GpFontFamily* family) {
    return Valid(family) ? family->entry.get() : nullptr;
}

bool FontSettingsOf(const GpFont* font, FontFamilyEntry*& family, FontTraits& traits,
                    bool& smallCaps, float& emSize) {
    if (!Valid(font))
        return false;
    family = font->family.get();
    traits = font->traits;
    smallCaps = font->smallCaps;
    emSize = font->size;
    return true;
}

namespace {

// GdipAddPathString in a family with a style's decorations, a face's traits
// and small capitals.
Status AddString(GpPath* path, const WCHAR* string, INT length, FontFamilyEntry& family, INT style,
                 const FontTraits& traits, bool smallCaps, REAL emSize, const RectF* layoutRect,
                 const GpStringFormat* format, GpColorGlyphs** colorGlyphs = nullptr) {
    if (!path || !string || !layoutRect || length < -1 || (format && !Valid(format)))
        return InvalidParameter;
    if (!std::isfinite(emSize) || emSize <= 0 || !std::isfinite(layoutRect->X) ||
        !std::isfinite(layoutRect->Y) || !std::isfinite(layoutRect->Width) ||
        !std::isfinite(layoutRect->Height))
        return InvalidParameter;

    std::u32string text = BoundedText(string, length);

    FontLayoutRequest request;
    request.x = layoutRect->X;
    request.y = layoutRect->Y;
    request.width = std::max(layoutRect->Width, 0.0f);
    request.height = std::max(layoutRect->Height, 0.0f);
    request.style = style;
    request.emSize = emSize;
    request.traits = traits;
    request.smallCaps = smallCaps;
    if (format) {
        request.align = format->align;
        request.lineAlign = format->lineAlign;
        request.formatFlags = format->flags;
    }
    // The string's figures are its own: an open figure of the path stays open.
    Status status = GdipStartPathFigure(path);
    if (status != Ok)
        return status;
    // One scratch outline for every call on a thread, released when a long
    // string made it large.
    thread_local FontOutline figures;
    figures.ops.clear();
    figures.pts.clear();
    std::vector<FontColorPlacement> colors;
    status = LayoutString(family, text.data(), text.size(), request, figures,
                          colorGlyphs ? &colors : nullptr)
                 ? AddOutlineFigures(path, figures)
                 : InvalidParameter;
    if (status == Ok && !colors.empty()) {
        *colorGlyphs = new (std::nothrow) GpColorGlyphs;
        if (*colorGlyphs)
            (*colorGlyphs)->glyphs = std::move(colors);
    }
    if (figures.pts.capacity() > kMaxScratchPoints) {
        figures.ops = std::vector<uint8_t>();
        figures.pts = std::vector<float>();
    }
    return status;
}

} // namespace

extern "C" {

Status WINGDIPAPI GdipCreateFontFamilyFromName(GDIPCONST WCHAR* name, GpFontCollection*,
                                               GpFontFamily** fontFamily) {
    if (!name || !fontFamily)
        return Fail(fontFamily, InvalidParameter);
    *fontFamily = nullptr;
    size_t length = BoundedLength(name, kMaxFamilyName + 1);
    if (length == 0 || length > kMaxFamilyName)
        return FontFamilyNotFound;
    std::shared_ptr<FontFamilyEntry> entry =
        FontCache::Instance().FindFamily(ToUtf8(ToUtf32(name, length)));
    if (!entry)
        return FontFamilyNotFound;
    auto* family = new (std::nothrow) GpFontFamily;
    if (!family)
        return OutOfMemory;
    family->entry = std::move(entry);
    *fontFamily = family;
    return Ok;
}

Status WINGDIPAPI GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily) {
    if (!Valid(fontFamily) || !clonedFontFamily)
        return Fail(clonedFontFamily, InvalidParameter);
    auto* clone = new (std::nothrow) GpFontFamily;
    if (!clone)
        return Fail(clonedFontFamily, OutOfMemory);
    clone->entry = fontFamily->entry;
    *clonedFontFamily = clone;
    return Ok;
}

Status WINGDIPAPI GdipDeleteFontFamily(GpFontFamily* fontFamily) {
    if (!Valid(fontFamily))
        return InvalidParameter;
    delete fontFamily;
    return Ok;
}

Status WINGDIPAPI GdipGetFamilyName(GDIPCONST GpFontFamily* family, WCHAR* name, LANGID) {
    if (!Valid(family) || !name)
        return InvalidParameter;
    // The installed family's name, UTF-8 to UTF-16, cut to the buffer.
    const std::string& s = family->entry->family;
    size_t out = 0;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        uint32_t cp = 0xFFFD;
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (i + n <= s.size()) {
            cp = n == 1 ? c : c & (0x7F >> n);
            for (size_t k = 1; k < n; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += n;
        size_t units = cp >= 0x10000 ? 2 : 1;
        if (out + units >= kFaceNameSize)
            break;
        if (units == 2) {
            name[out++] = WCHAR(0xD800 + ((cp - 0x10000) >> 10));
            name[out++] = WCHAR(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            name[out++] = WCHAR(cp);
        }
    }
    name[out] = 0;
    return Ok;
}

Status WINGDIPAPI GdipGetEmHeight(GDIPCONST GpFontFamily* family, INT style, UINT16* emHeight) {
    return FaceMetric(family, style, emHeight, &FontFace::upem);
}

Status WINGDIPAPI GdipGetCellAscent(GDIPCONST GpFontFamily* family, INT style, UINT16* cellAscent) {
    return FaceMetric(family, style, cellAscent, &FontFace::ascent);
}

Status WINGDIPAPI GdipGetCellDescent(GDIPCONST GpFontFamily* family, INT style,
                                     UINT16* cellDescent) {
    return FaceMetric(family, style, cellDescent, &FontFace::descent);
}

Status WINGDIPAPI GdipGetLineSpacing(GDIPCONST GpFontFamily* family, INT style,
                                     UINT16* lineSpacing) {
    return FaceMetric(family, style, lineSpacing, &FontFace::lineSpacing);
}

Status WINGDIPAPI GdipCreateFont(GDIPCONST GpFontFamily* fontFamily, REAL emSize, INT style,
                                 Unit unit, GpFont** font) {
    if (!font)
        return InvalidParameter;
    *font = nullptr;
    if (!Valid(fontFamily) || !std::isfinite(emSize) || emSize <= 0 || unit == UnitDisplay ||
        unit < UnitWorld || unit > UnitMillimeter)
        return InvalidParameter;
    auto* f = new (std::nothrow) GpFont;
    if (!f)
        return OutOfMemory;
    f->family = fontFamily->entry;
    f->size = emSize;
    f->style = style;
    f->unit = unit;
    f->traits = FontTraits::FromStyle(style);
    *font = f;
    return Ok;
}

Status WINGDIPAPI KelCreateFontWithTraits(GDIPCONST GpFontFamily* fontFamily, REAL emSize,
                                          INT style, Unit unit, GDIPCONST KelFontTraits* traits,
                                          GpFont** font) {
    if (!font)
        return InvalidParameter;
    *font = nullptr;
    const UINT kMaxVariations = 64;
    if (!traits || traits->weight < 1 || traits->weight > 1000 || !std::isfinite(traits->stretch) ||
        traits->stretch <= 0 || traits->slant < 0 || traits->slant > 2 ||
        traits->variationCount > kMaxVariations ||
        (traits->variationCount > 0 && (!traits->variationTags || !traits->variationValues)))
        return InvalidParameter;
    for (UINT i = 0; i < traits->variationCount; ++i) {
        if (!std::isfinite(traits->variationValues[i]))
            return InvalidParameter;
    }
    INT bits = style & (FontStyleUnderline | FontStyleStrikeout);
    if (traits->weight >= 600)
        bits |= FontStyleBold;
    if (traits->slant != 0)
        bits |= FontStyleItalic;
    Status status = GdipCreateFont(fontFamily, emSize, bits, unit, font);
    if (status != Ok)
        return status;
    GpFont* f = *font;
    f->traits.weight = traits->weight;
    f->traits.stretch = traits->stretch;
    f->traits.slant = traits->slant;
    f->smallCaps = traits->smallCaps != 0;
    for (UINT i = 0; i < traits->variationCount; ++i)
        f->traits.variations.push_back({traits->variationTags[i], traits->variationValues[i]});
    f->variationTags.assign(traits->variationTags, traits->variationTags + traits->variationCount);
    f->variationValues.assign(traits->variationValues,
                              traits->variationValues + traits->variationCount);
    return Ok;
}

Status WINGDIPAPI KelGetFontCellMetrics(GDIPCONST GpFont* font, REAL* ascent, REAL* descent) {
    if (!Valid(font) || !ascent || !descent)
        return InvalidParameter;
    FontFace* face = FontCache::Instance().Face(*font->family, font->traits).face;
    if (!face)
        return GenericError;
    *ascent = font->size * face->ascent / face->upem;
    *descent = font->size * face->descent / face->upem;
    return Ok;
}

Status WINGDIPAPI KelGetFontTraits(GDIPCONST GpFont* font, KelFontTraits* traits) {
    if (!Valid(font) || !traits)
        return InvalidParameter;
    traits->weight = font->traits.weight;
    traits->stretch = font->traits.stretch;
    traits->slant = font->traits.slant;
    traits->smallCaps = font->smallCaps;
    traits->variationCount = UINT(font->variationTags.size());
    traits->variationTags = font->variationTags.data();
    traits->variationValues = font->variationValues.data();
    return Ok;
}

Status WINGDIPAPI GdipCloneFont(GpFont* font, GpFont** cloneFont) {
    if (!Valid(font) || !cloneFont)
        return Fail(cloneFont, InvalidParameter);
    auto* clone = new (std::nothrow) GpFont(*font);
    if (!clone)
        return Fail(cloneFont, OutOfMemory);
    *cloneFont = clone;
    return Ok;
}

Status WINGDIPAPI GdipDeleteFont(GpFont* font) {
    if (!Valid(font))
        return InvalidParameter;
    delete font;
    return Ok;
}

Status WINGDIPAPI GdipGetFamily(GpFont* font, GpFontFamily** family) {
    if (!Valid(font) || !family)
        return Fail(family, InvalidParameter);
    auto* f = new (std::nothrow) GpFontFamily;
    if (!f)
        return Fail(family, OutOfMemory);
    f->entry = font->family;
    *family = f;
    return Ok;
}

Status WINGDIPAPI GdipGetFontSize(GpFont* font, REAL* size) {
    if (!Valid(font) || !size)
        return InvalidParameter;
    *size = font->size;
    return Ok;
}

Status WINGDIPAPI GdipGetFontStyle(GpFont* font, INT* style) {
    if (!Valid(font) || !style)
        return InvalidParameter;
    *style = font->style;
    return Ok;
}

Status WINGDIPAPI GdipCreateStringFormat(INT formatAttributes, LANGID language,
                                         GpStringFormat** format) {
    if (!format)
        return InvalidParameter;
    auto* f = new (std::nothrow) GpStringFormat;
    if (!f)
        return Fail(format, OutOfMemory);
    f->flags = formatAttributes;
    f->language = language;
    *format = f;
    return Ok;
}

Status WINGDIPAPI GdipCloneStringFormat(GDIPCONST GpStringFormat* format,
                                        GpStringFormat** newFormat) {
    if (!Valid(format) || !newFormat)
        return Fail(newFormat, InvalidParameter);
    auto* clone = new (std::nothrow) GpStringFormat(*format);
    if (!clone)
        return Fail(newFormat, OutOfMemory);
    *newFormat = clone;
    return Ok;
}

Status WINGDIPAPI GdipDeleteStringFormat(GpStringFormat* format) {
    if (!Valid(format))
        return InvalidParameter;
    delete format;
    return Ok;
}

Status WINGDIPAPI GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align) {
    if (!Valid(format) || !IsAlignment(align))
        return InvalidParameter;
    format->align = align;
    return Ok;
}

Status WINGDIPAPI GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align) {
    if (!Valid(format) || !align)
        return InvalidParameter;
    *align = format->align;
    return Ok;
}

Status WINGDIPAPI GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align) {
    if (!Valid(format) || !IsAlignment(align))
        return InvalidParameter;
    format->lineAlign = align;
    return Ok;
}

Status WINGDIPAPI GdipGetStringFormatLineAlign(GpStringFormat* format, StringAlignment* align) {
    if (!Valid(format) || !align)
        return InvalidParameter;
    *align = format->lineAlign;
    return Ok;
}

Status WINGDIPAPI GdipAddPathString(GpPath* path, GDIPCONST WCHAR* string, INT length,
                                    GDIPCONST GpFontFamily* family, INT style, REAL emSize,
                                    GDIPCONST RectF* layoutRect, GDIPCONST GpStringFormat* format) {
    if (!Valid(family))
        return InvalidParameter;
    return AddString(path, string, length, *family->entry, style, FontTraits::FromStyle(style),
                     false, emSize, layoutRect, format);
}

Status WINGDIPAPI KelAddPathStringFont(GpPath* path, GDIPCONST WCHAR* string, INT length,
                                       GDIPCONST GpFont* font, GDIPCONST RectF* layoutRect,
                                       GDIPCONST GpStringFormat* format,
                                       GpColorGlyphs** colorGlyphs) {
    if (colorGlyphs)
        *colorGlyphs = nullptr;
    if (!Valid(font))
        return InvalidParameter;
    // The traits give the face; the style bits only the decorations.
    return AddString(path, string, length, *font->family,
                     font->style & (FontStyleUnderline | FontStyleStrikeout), font->traits,
                     font->smallCaps, font->size, layoutRect, format, colorGlyphs);
}

Status WINGDIPAPI GdipMeasureString(GpGraphics*, GDIPCONST WCHAR* string, INT length,
                                    GDIPCONST GpFont* font, GDIPCONST RectF* layoutRect,
                                    GDIPCONST GpStringFormat* stringFormat, RectF* boundingBox,
                                    INT* codepointsFitted, INT* linesFilled) {
    if (!string || !Valid(font) || !layoutRect || !boundingBox || length < -1 ||
        (stringFormat && !Valid(stringFormat)))
        return InvalidParameter;
    if (!std::isfinite(layoutRect->X) || !std::isfinite(layoutRect->Y) ||
        !std::isfinite(layoutRect->Width) || !std::isfinite(layoutRect->Height))
        return InvalidParameter;
    size_t n = 0;
    std::u32string text = BoundedText(string, length, &n);

    // Laid out as GdipAddPathString lays it out; the decorations change nothing.
    FontLayoutRequest request;
    request.x = layoutRect->X;
    request.y = layoutRect->Y;
    request.width = std::max(layoutRect->Width, 0.0f);
    request.height = std::max(layoutRect->Height, 0.0f);
    request.emSize = font->size;
    request.traits = font->traits;
    request.smallCaps = font->smallCaps;
    if (stringFormat) {
        request.align = stringFormat->align;
        request.lineAlign = stringFormat->lineAlign;
        request.formatFlags = stringFormat->flags;
    }
    FontMeasure measure;
    if (!MeasureString(*font->family, text.data(), text.size(), request, measure))
        return InvalidParameter;
    *boundingBox = RectF(measure.left, measure.top, measure.width, measure.height);
    if (codepointsFitted)
        *codepointsFitted = INT(n);
    if (linesFilled)
        *linesFilled = measure.lines;
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
