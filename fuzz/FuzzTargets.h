#pragma once

// The bodies of the fuzz targets, shared by the libFuzzer programs in this
// folder and by the tests that replay the corpus and every input a fuzzer
// ever stopped on. Each returns false when the library broke one of its own
// promises about the result (the fuzzer then aborts, the test fails).

#include "engine/GdiMatrix.h"
#include "engine/SvgInputDecoder.h"
#include "engine/SvgXmlEntities.h"
#include "engine/SvgXmlReader.h"
#include "filter/FilterRunner.h"
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"
#include "platform/win32/Win32.h"
#include "render/SvgPathFigure.h"
#include "render/SvgPointList.h"
#include "style/SvgAttributeTable.h"
#include "style/SvgColorReaders.h"
#include "style/SvgCssTransform.h"
#include "style/SvgFilterFunctions.h"
#include "style/SvgSpecifiedStyle.h"
#include "style/SvgStringValue.h"
#include "style/SvgStyle.h"
#include "style/SvgStyleSheet.h"
#include "syntax/SvgDataUrl.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgMatrix.h"
#include "syntax/SvgPathBuilder.h"
#include "syntax/SvgRect.h"
#include "syntax/SvgScanner.h"
#include "syntax/SvgTransformList.h"

#include <cairo.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fuzz {

// The input as attribute text: cut at its first zero byte, as every reader
// sees a C string.
inline std::string Text(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    return text.substr(0, text.find('\0'));
}

// The first byte chooses an operation; the rest is its input.
inline unsigned Selector(const uint8_t*& data, size_t& size) {
    if (size == 0)
        return 0;
    unsigned selector = data[0];
    ++data;
    --size;
    return selector;
}

// The attribute scanner's read operations, and a walk with its primitives.
inline bool Scanner(const uint8_t* data, size_t size) {
    unsigned selector = Selector(data, size);
    SvgString text(Text(data, size));
    SvgScanner scanner;
    switch (selector % 4) {
    case 0: {
        std::vector<float> numbers;
        scanner.readNumberList(numbers, text);
        return numbers.size() <= size;
    }
    case 1: {
        SvgRect rect;
        scanner.readRect(rect, text);
        return true;
    }
    case 2: {
        std::vector<SvgDeclaration*> declarations;
        scanner.readDeclarations(declarations, text);
        bool bounded = declarations.size() <= size + 1;
        for (SvgDeclaration* declaration : declarations)
            delete declaration;
        return bounded;
    }
    default: {
        scanner.setText(text);
        int pos = 0;
        while (pos >= 0 && pos < scanner.length()) {
            int next = scanner.skipSpace(pos);
            if (next < 0)
                break;
            if (next < pos || next > scanner.length())
                return false;
            double number = 0;
            SvgString name;
            int after = scanner.readNumber(next, number);
            if (after == next)
                after = scanner.readName(next, name);
            if (after == next)
                after = scanner.readPropertyName(next, name);
            if (after == next)
                after = scanner.readPropertyValue(next, name);
            if (after < next || after > scanner.length())
                return false;
            if (after == next) {
                scanner.charAt(next);
                scanner.matchesAt(next, "/*");
                after = next + 1;
            }
            pos = after;
        }
        return true;
    }
    }
}

// The transform-list reader, the list operations and the matrix algebra, and
// the hand-over to the back end, which must refuse what it cannot use.
inline bool Transform(const uint8_t* data, size_t size) {
    SvgScanner scanner;
    SvgTransformList list;
    scanner.readTransformList(list, SvgString(Text(data, size)));
    if (list.numberOfItems() > size)
        return false;
    if (list.numberOfItems() > 1) {
        SvgTransform first = list.getItem(0);
        list.insertItemBefore(first, 1);
        list.removeItem(0);
    }
    SvgMatrix matrix = list.consolidate().getMatrix();
    // The same text as a CSS transform and transform-origin.
    SvgCssTransform::Context context;
    context.boxWidth = 100;
    context.boxHeight = 50;
    SvgMatrix css;
    double x = 0, y = 0;
    if (SvgCssTransform::Parse(Text(data, size).c_str(), context, css))
        matrix = matrix.multiply(css);
    SvgCssTransform::ParseOrigin(Text(data, size).c_str(), context, x, y);
    SvgMatrix product = matrix.multiply(matrix.inverse());
    if (GdiMatrix* native = GdiMatrix::Create()) {
        product.toGdiMatrix(*native);
        matrix.toGdiMatrix(*native);
        delete native;
    }
    return true;
}

// Path data through the parser and builder, replayed into a back-end path as
// the path figure does; or a points list of a polygon or polyline.
inline bool Path(const uint8_t* data, size_t size) {
    unsigned selector = Selector(data, size);
    std::string text = Text(data, size);
    if (selector % 8 == 7) {
        SvgPointList points;
        points.appendFromText(text.c_str());
        return points.numberOfItems() <= text.size();
    }
    SvgPathFigure figure;
    SvgPathBuilder builder(&figure.pathData);
    builder.parseData(text);
    // The record must be self-consistent: known kinds, finite coordinates,
    // exactly as many as the kinds call for.
    const SvgPathData& path = figure.pathData;
    std::size_t needed = 0;
    for (std::size_t i = 0; i < path.segmentCount; ++i) {
        int kind = path.segmentKind(i);
        if (kind < SvgPathSegmentMove || kind > SvgPathSegmentClose)
            return false;
        needed += kind == SvgPathSegmentCubic ? 6 : kind == SvgPathSegmentClose ? 0 : 2;
    }
    if (needed != path.coordinateCount)
        return false;
    for (std::size_t i = 0; i < path.coordinateCount; ++i)
        if (!std::isfinite(path.coordinates()[i]))
            return false;
    if (selector % 2)
        figure.BuildPath();
    return true;
}

// The colour and paint readers.
inline bool Paint(const uint8_t* data, size_t size) {
    unsigned selector = Selector(data, size);
    std::string text = Text(data, size);
    const char* begin = text.c_str();
    const char* end = begin;
    SvgPaint paint;
    switch (selector % 6) {
    case 0:
        ReadPaint(paint, begin);
        break;
    case 1:
        ReadColorProperty(paint, begin);
        break;
    case 2: {
        SvgStringValue filter;
        ReadFilter(filter, begin);
        break;
    }
    case 3: {
        uint32_t packed = ParseColor(begin, &end, kNoColor);
        if (packed != kNoColor)
            SetPacked(paint.color, packed);
        uint32_t argb = 0;
        ParseColorArgb(begin, argb);
        break;
    }
    case 4: {
        SvgIccColor icc;
        ReadIccColor(begin, &end, &icc);
        break;
    }
    default:
        ReadUrl(begin, &end);
        break;
    }
    ToArgb(paint.color, selector);
    // A reader that says where it stopped must stop inside the text.
    return end >= begin && end <= begin + text.size();
}

// Style reading: zero bytes separate a parent's style attribute, a child's,
// and the value of the presentation attribute the selector names; then the
// cascade, and a third record sharing the child's text record.
inline bool Style(const uint8_t* data, size_t size) {
    unsigned selector = Selector(data, size);
    std::string all(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    size_t start = 0;
    for (int i = 0; i < 3 && start <= all.size(); ++i) {
        size_t stop = all.find('\0', start);
        if (stop == std::string::npos)
            stop = all.size();
        parts[i] = all.substr(start, stop - start);
        start = stop + 1;
    }

    SvgStyle parent;
    TiXmlElement parentElement("g");
    parentElement.SetAttribute("style", parts[0].c_str());
    parent.ReadFromElement(&parentElement);

    SvgStyle child;
    child.parent = &parent;
    TiXmlElement childElement("rect");
    childElement.SetAttribute("style", parts[1].c_str());
    if (const char* name = AttributeName(1 + static_cast<int>(selector % kAttributeCount)))
        if (*name)
            childElement.SetAttribute(name, parts[2].c_str());
    child.ReadFromElement(&childElement);

    SvgStyle third;
    third.ShareTextWith(child);
    third.ReadStyleAttribute(parts[2].c_str());
    third.MergeFromParent(&child);
    return std::isfinite(third.strokeWidth.computed) && std::isfinite(third.fontSize.computed);
}

// Style sheets: the input as the text of a style element, matched against
// every element of a small document, whose styles are then read with what
// applies, parents first.
inline bool Sheet(const uint8_t* data, size_t size) {
    SvgStyleSheet sheet;
    sheet.AddSheet(std::string(reinterpret_cast<const char*>(data), size));
    if (sheet.SelectorCount() > SvgStyleSheet::kMaxSelectors ||
        sheet.DeclarationCount() > SvgStyleSheet::kMaxDeclarations)
        return false;
    TiXmlDocument doc;
    doc.Parse("<svg id='s' class='x y'><g class='x' fill='red' lang='en-us'><rect id='r' "
              "class='y z' data-k='v w'/><text class='t'>t<tspan id='u'/></text></g><use "
              "class='x'/><linearGradient><stop class='s'/></linearGradient></svg>");
    std::vector<std::pair<const TiXmlElement*, std::unique_ptr<SvgStyle>>> read;
    std::vector<const TiXmlElement*> pending{doc.RootElement()};
    while (!pending.empty()) {
        const TiXmlElement* element = pending.back();
        pending.pop_back();
        SvgSpecifiedStyle given;
        sheet.Match(element, given);
        // One winner per property, important and normal apart.
        if (given.sheetImportant.size() > kAttributeCount ||
            given.sheetNormal.size() > kAttributeCount)
            return false;
        auto style = std::make_unique<SvgStyle>();
        for (const auto& earlier : read)
            if (earlier.first == element->Parent())
                style->parent = earlier.second.get();
        style->ReadFromElement(element, &sheet);
        if (!std::isfinite(style->strokeWidth.computed) || !std::isfinite(style->fontSize.computed))
            return false;
        read.emplace_back(element, std::move(style));
        for (const TiXmlElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement())
            pending.push_back(child);
    }
    return true;
}

// The image decoders: the size a header declares, then the pixels (within a
// limit that keeps runs fast), drawn scaled and in part; and the same bytes
// read as a data: URL.
inline bool Image(const uint8_t* data, size_t size) {
    using namespace Gdiplus;
    constexpr uint64_t kLimit = uint64_t(1) << 22;
    std::vector<unsigned char> bytes;
    if (SvgDataUrl::Decode(Text(data, size).c_str(), bytes) && bytes.size() > size)
        return false;
    UINT width = 0, height = 0;
    Status sized = KelGetImageSizeFromMemory(data, size, &width, &height);
    GpBitmap* bitmap = nullptr;
    if (KelCreateBitmapFromMemory(data, size, kLimit, &bitmap) != Ok)
        return bitmap == nullptr;
    // What was decoded is what the header declared, within the limit.
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    bool consistent = sized == Ok && w == width && h == height && uint64_t(w) * h <= kLimit;
    GpBitmap* target = nullptr;
    if (GdipCreateBitmapFromScan0(16, 16, 0, PixelFormat32bppARGB, nullptr, &target) == Ok) {
        GpGraphics* graphics = nullptr;
        if (GdipGetImageGraphicsContext(target, &graphics) == Ok) {
            GdipDrawImageRect(graphics, bitmap, 1, 1, 14, 14);
            GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
            GdipDrawImageRectRect(graphics, bitmap, 0, 0, 16, 8, REAL(w) / 3, 0, REAL(w) / 2,
                                  REAL(h), UnitPixel, nullptr, nullptr, nullptr);
            GdipDeleteGraphics(graphics);
        }
        GdipDisposeImage(target);
    }
    GdipDisposeImage(bitmap);
    return consistent;
}

// Whether the namespaces of a read document are resolved: below the top level
// no element keeps a prefix or an expanded name, and only XLink's attributes
// are named xlink:.
inline bool NamesResolved(const TiXmlElement* top) {
    std::vector<const TiXmlElement*> pending;
    for (const TiXmlElement* child = top->FirstChildElement(); child;
         child = child->NextSiblingElement())
        pending.push_back(child);
    while (!pending.empty()) {
        const TiXmlElement* element = pending.back();
        pending.pop_back();
        const char* name = element->Value();
        if (std::strchr(name, ':') || name[0] == '{')
            return false;
        for (const TiXmlElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement())
            pending.push_back(child);
    }
    return true;
}

// XML input: the first byte picks gzip data, text in an encoding, entity
// expansion or the whole reader (namespaces included); each keeps within its
// bounds.
inline bool Xml(const uint8_t* data, size_t size) {
    constexpr size_t kLimit = size_t(1) << 16;
    unsigned selector = Selector(data, size);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    switch (selector % 4) {
    case 0: {
        SvgInputDecoder::Inflate(bytes, kLimit);
        return bytes.size() <= kLimit;
    }
    case 1: {
        static const char* const kEncodings[] = {"WINDOWS-1252", "UTF-16LE",  "UTF-16BE",
                                                 "UTF-32LE",     "SHIFT_JIS", "GB18030",
                                                 "ISO-8859-7",   "EUC-KR"};
        std::string encoding = kEncodings[(selector / 4) % 8];
        bool whole = SvgInputDecoder::ConvertToUtf8(bytes, encoding, selector / 32 % 3, kLimit);
        return bytes.size() <= kLimit && (whole || bytes.size() == kLimit);
    }
    case 2: {
        // Every byte an entity adds is paid from the budget, at most six
        // over for a character escaped in an attribute value.
        SvgXmlEntities::Expand(bytes, kLimit);
        return bytes.size() <= size + 6 * kLimit;
    }
    default: {
        TiXmlDocument doc;
        bool hasStyle = false, hasUse = false;
        SvgInputStatus input = SvgInputStatus::Ok;
        SvgXmlReader::Parse(bytes, doc, &hasStyle, nullptr, &hasUse, &input);
        // Below a top-level element of another namespace nothing is resolved.
        for (const TiXmlElement* top = doc.FirstChildElement(); top;
             top = top->NextSiblingElement()) {
            const char* name = top->Value();
            if (!std::strchr(name, ':') && name[0] != '{' && !NamesResolved(top))
                return false;
        }
        return true;
    }
    }
}

// Draws the picture into a bitmap a little larger than the window, through a
// graphics object or a device context.
inline void DrawInto(CKelSvg& picture, int width, int height, bool throughDc) {
    using namespace Gdiplus;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
        return;
    if (throughDc) {
        HDC hdc = CreateBitmapDC(bitmap);
        CDC dc(hdc);
        picture.CommandDrawSVG(&dc);
        DeleteDC(hdc);
    } else {
        Graphics graphics(static_cast<GpImage*>(bitmap));
        picture.CommandDrawSVGGraphics(&graphics);
    }
    GdipDisposeImage(bitmap);
}

// Draws the picture through a device context over a host's Cairo context,
// which must come back usable and with its own transform.
inline bool DrawIntoCairo(CKelSvg& picture, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_translate(cr, 1, 2);
    HDC hdc = CreateCairoDC(cr);
    CDC dc(hdc);
    picture.CommandDrawSVG(&dc);
    DeleteDC(hdc);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    bool kept = cairo_status(cr) == CAIRO_STATUS_SUCCESS && m.xx == 1 && m.yy == 1 && m.xy == 0 &&
                m.yx == 0 && m.x0 == 1 && m.y0 == 2;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return kept;
}

// The library's whole road for a file that already holds the input: parse,
// a small window shaped like the document, draw (onto a bitmap and through a
// host's Cairo context), and on odd sizes a bitmap cache copied through a
// device context.
inline bool Render(const std::string& path, size_t size) {
    CKelSvg picture;
    std::string name = path;
    picture.CommandParseSVGFile(&name[0]);
    int x = 0, y = 0, width = 0, height = 0;
    picture.CommandGetSVGWinRect(x, y, width, height);
    int w = std::clamp(width, 1, 48);
    int h = std::clamp(height, 1, 48);
    picture.CommandSetSVGWinRect(static_cast<int>(size % 3), static_cast<int>(size % 5), w, h);
    DrawInto(picture, w + 4, h + 4, false);
    bool kept = DrawIntoCairo(picture, w + 4, h + 4);
    if (size % 2) {
        picture.CommandCreateBitmapCache();
        DrawInto(picture, w + 4, h + 4, true);
        kept = DrawIntoCairo(picture, w + 4, h + 4) && kept;
    }
    return kept;
}

// The filter engine: the bytes make a source picture and a graph of
// primitives (inputs, subregions, colour spaces and parameters, some of them
// absurd), run within small limits; or, with an odd first byte, a filter
// property's text. Every result pixel must stay premultiplied.
class FilterBytes {
public:
    FilterBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    unsigned Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A value from the next byte: small numbers mostly, now and then a
    // negative, a huge or an invalid one.
    float Value(float scale) {
        unsigned b = Byte();
        switch (b) {
        case 255:
            return 1e9f;
        case 254:
            return -1e9f;
        case 253:
            return NAN;
        case 252:
            return INFINITY;
        default:
            return (float(b) - 32) * scale;
        }
    }
    bool Done() const { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

inline FilterParameters FuzzParameters(FilterBytes& in) {
    switch (in.Byte() % 16) {
    case 0:
        return FilterBlend{FilterBlendMode(in.Byte() % 16)};
    case 1: {
        FilterColorMatrix m;
        for (float& v : m.m)
            v = in.Value(0.05f);
        return m;
    }
    case 2: {
        FilterComponentTransfer t;
        for (auto& f : t.functions) {
            f.type = FilterTransferType(in.Byte() % 5);
            for (unsigned n = in.Byte() % 5; n > 0; --n)
                f.table.push_back(in.Value(0.02f));
            f.slope = in.Value(0.1f), f.intercept = in.Value(0.02f);
            f.amplitude = in.Value(0.1f), f.exponent = in.Value(0.1f), f.offset = in.Value(0.02f);
        }
        return t;
    }
    case 3:
        return FilterComposite{FilterCompositeOperator(in.Byte() % 7), in.Value(0.1f),
                               in.Value(0.1f), in.Value(0.1f), in.Value(0.1f)};
    case 4: {
        FilterConvolveMatrix c;
        c.orderX = 1 + int(in.Byte() % 5), c.orderY = 1 + int(in.Byte() % 5);
        for (int i = 0; i < c.orderX * c.orderY; ++i)
            c.kernel.push_back(in.Value(0.1f));
        c.divisor = in.Value(0.1f), c.bias = in.Value(0.02f);
        c.targetX = int(in.Byte()) % c.orderX, c.targetY = int(in.Byte()) % c.orderY;
        c.edge = FilterEdgeMode(in.Byte() % 3);
        c.preserveAlpha = in.Byte() % 2;
        return c;
    }
    case 5: {
        FilterLighting l;
        l.specular = in.Byte() % 2;
        l.surfaceScale = in.Value(0.2f), l.constant = in.Value(0.1f);
        l.specularExponent = in.Value(0.5f);
        l.color = FilterColor{in.Value(0.01f), in.Value(0.01f), in.Value(0.01f), 1};
        l.light = FilterLight{FilterLightType(in.Byte() % 3),
                              in.Value(3),
                              in.Value(3),
                              in.Value(0.5f),
                              in.Value(0.5f),
                              in.Value(1),
                              in.Value(0.5f),
                              in.Value(0.5f),
                              in.Value(1),
                              in.Value(0.2f),
                              in.Byte() % 2 == 1,
                              in.Value(1)};
        return l;
    }
    case 6:
        return FilterDisplacementMap{in.Value(0.5f), in.Value(0.5f), FilterChannel(in.Byte() % 4),
                                     FilterChannel(in.Byte() % 4)};
    case 7:
        return FilterDropShadow{in.Value(0.3f), in.Value(0.3f), in.Value(0.1f), in.Value(0.1f),
                                FilterColor{0.2f, 0.4f, 0.6f, in.Value(0.02f)}};
    case 8:
        return FilterFlood{FilterColor{in.Value(0.01f), 0.5f, in.Value(0.01f), in.Value(0.01f)}};
    case 9:
        return FilterGaussianBlur{in.Value(0.1f), in.Value(0.1f), FilterEdgeMode(in.Byte() % 3)};
    case 10:
        return FilterMerge{};
    case 11:
        return FilterMorphology{FilterMorphologyOperator(in.Byte() % 2), in.Value(0.1f),
                                in.Value(0.1f)};
    case 12:
        return FilterOffset{in.Value(0.25f), in.Value(0.25f)};
    case 13:
        return FilterTile{};
    case 14: {
        FilterTurbulence t;
        t.fractalNoise = in.Byte() % 2;
        t.baseFrequencyX = in.Value(0.01f), t.baseFrequencyY = in.Value(0.01f);
        t.octaves = int(in.Byte()) - 8;
        t.seed = in.Value(1);
        t.stitchTiles = in.Byte() % 2;
        t.tileX = in.Value(1), t.tileY = in.Value(1);
        t.tileWidth = in.Value(1), t.tileHeight = in.Value(1);
        t.toUser[0] = in.Value(0.1f), t.toUser[3] = in.Value(0.1f);
        return t;
    }
    default:
        return FilterImageInput{};
    }
}

inline bool Filter(const uint8_t* data, size_t size) {
    unsigned selector = Selector(data, size);
    if (selector % 2) {
        std::vector<SvgFilterFunction> functions;
        ParseFilterFunctions(Text(data, size).c_str(), functions);
        SvgStringValue value;
        ReadFilterProperty(value, Text(data, size).c_str());
        return functions.size() <= size;
    }
    FilterBytes in(data, size);
    FilterDescription d;
    d.width = 1 + int(in.Byte() % 24);
    d.height = 1 + int(in.Byte() % 24);
    FilterImage image;
    if (!image.Allocate(d.width, d.height, false))
        return false;
    for (size_t i = 0; i < image.PixelCount(); ++i) {
        uint32_t a = in.Byte(), c = a ? in.Byte() % (a + 1) : 0;
        image.Data()[i] = a << 24 | c << 16 | (c / 3) << 8 | c / 2;
    }
    for (int i = 0, n = int(selector / 2 % 8); i < n && !in.Done(); ++i) {
        FilterPrimitive p;
        p.parameters = FuzzParameters(in);
        for (unsigned k = 1 + in.Byte() % 3; k > 0; --k)
            p.inputs.push_back(int(in.Byte() % unsigned(i + 6)) - 6);
        p.subregion = {int(in.Byte() % 30) - 3, int(in.Byte() % 30) - 3, int(in.Byte() % 30),
                       int(in.Byte() % 30)};
        p.space = FilterColorSpace(in.Byte() % 2);
        if (auto* picture = std::get_if<FilterImageInput>(&p.parameters)) {
            auto copy = std::make_shared<FilterImage>();
            if (copy->Allocate(d.width, d.height, true))
                picture->image = copy;
        }
        d.primitives.push_back(std::move(p));
    }
    FilterLimits limits;
    limits.maxPixels = size_t(d.width) * size_t(d.height) * 12;
    limits.threads = 1 + int(selector % 3);
    FilterRun(d, image, limits);
    for (size_t i = 0; i < image.PixelCount(); ++i) {
        uint32_t p = image.Data()[i], a = p >> 24;
        if (((p >> 16) & 0xFF) > a || ((p >> 8) & 0xFF) > a || (p & 0xFF) > a)
            return false;
    }
    return true;
}

} // namespace fuzz
