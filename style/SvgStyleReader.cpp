#include "style/SvgStyleReader.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgColorReaders.h"
#include "style/SvgCssTransform.h"
#include "style/SvgFilterFunctions.h"
#include "style/SvgFontShorthand.h"
#include "style/SvgPaintOrder.h"
#include "style/SvgSpecifiedStyle.h"
#include "style/SvgStyle.h"
#include "style/SvgStyleSheet.h"
#include "style/SvgTextKeywords.h"
#include "style/SvgValueReaders.h"

#include <cstring>
#include <string>
#include <strings.h>
#include <tinyxml.h>

namespace {

// White space of the attribute syntaxes: tab to carriage return, 0x1C to 0x1F
// and the space.
inline bool IsSpace(unsigned char c) {
    return (c >= 9 && c <= 13) || (c >= 0x1C && c <= 0x20);
}

template <class T> inline bool Unset(const T& v) {
    return !v.set && !v.inherit;
}

inline bool IsInherit(const char* text) {
    return std::strcmp(text, "inherit") == 0;
}

// "inherit" or a font-variation-settings value.
bool ValidVariationSettings(const char* text) {
    std::vector<SvgFontVariation> settings;
    return IsInherit(text) || ReadFontVariations(text, settings);
}

// Which numbers of the attribute table are read as presentation attributes.
struct PresentationTable {
    bool accepted[kAttributeCount + 1] = {};
    PresentationTable() {
        static const int ids[] = {
            SvgPropVisibility,
            SvgPropDisplay,
            SvgPropOverflow,
            SvgPropFontSize,
            SvgPropFontStyle,
            SvgPropFontVariant,
            SvgPropFontWeight,
            SvgPropFontStretch,
            SvgPropTextIndent,
            SvgPropTextAlign,
            SvgPropTextDecoration,
            SvgPropLineHeight,
            SvgPropLetterSpacing,
            SvgPropWordSpacing,
            SvgPropTextTransform,
            SvgPropDirection,
            SvgPropWritingMode,
            SvgPropTextAnchor,
            SvgPropOpacity,
            SvgPropColor,
            SvgPropFill,
            SvgPropFillOpacity,
            SvgPropFillRule,
            SvgPropStroke,
            SvgPropStrokeWidth,
            SvgPropStrokeLinecap,
            SvgPropStrokeLinejoin,
            SvgPropStrokeMiterlimit,
            SvgPropMarker,
            SvgPropMarkerStart,
            SvgPropMarkerMid,
            SvgPropMarkerEnd,
            SvgPropStrokeOpacity,
            SvgPropStrokeDasharray,
            SvgPropStrokeDashoffset,
            SvgPropFontSpecification,
            SvgPropFontFamily,
            SvgPropFilter,
            SvgPropEnableBackground,
            SvgPropClipPath,
            SvgPropClipRule,
            SvgPropMask,
            SvgPropImageRendering,
            SvgPropTransformOrigin,
            SvgPropShapeRendering,
            SvgPropFloodColor,
            SvgPropFloodOpacity,
            SvgPropLightingColor,
            SvgPropColorInterpolationFilters,
            SvgPropUnicodeBidi,
            SvgPropFontKerning,
            SvgPropTextRendering,
            SvgPropAlignmentBaseline,
            SvgPropBaselineShift,
            SvgPropDominantBaseline,
            SvgPropGlyphOrientationVertical,
            // Accepted as attributes too, since users write them so.
            SvgPropStopColor,
            SvgPropStopOpacity,
            SvgPropPaintOrder,
        };
        for (int id : ids)
            accepted[id] = true;
    }
};

// A style attribute without its comments (outside quoted strings; an
// unclosed one runs to the end). Each becomes a space where it parts two
// words, and nothing next to white space or punctuation, so that
// "fill:none/*x*/" still reads "none".
std::string WithoutComments(const char* text) {
    std::string out;
    char quote = 0;
    for (const char* p = text; *p; ++p) {
        if (quote) {
            out += *p;
            if (*p == quote)
                quote = 0;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
            out += *p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char* close = std::strstr(p + 2, "*/");
            if (!close)
                break;
            char before = out.empty() ? ';' : out.back();
            char after = close[2];
            auto parts = [](char c) {
                return c && !IsSpace(static_cast<unsigned char>(c)) && !std::strchr(":;,()/", c);
            };
            if (parts(before) && parts(after))
                out += ' ';
            p = close + 1;
        } else {
            out += *p;
        }
    }
    return out;
}

const PresentationTable& Presentation() {
    static const PresentationTable table;
    return table;
}

} // namespace

SvgDeclarationReader::SvgDeclarationReader(const char* text)
    : m_text(text ? text : ""), m_length(static_cast<long>(std::strlen(m_text))),
      m_done(m_length < 1) {
    m_name[0] = '\0';
}

long SvgDeclarationReader::SkipSpace(long pos) const {
    while (pos < m_length) {
        const char* p = m_text + pos;
        if (*p == '<' && std::strncmp(p, "<!--", 4) == 0) {
            const char* close = std::strstr(p + 4, "-->");
            if (!close)
                return -1;
            pos = (close - m_text) + 3;
        } else if (*p == '/' && p[1] == '*') {
            const char* close = std::strstr(p + 2, "*/");
            if (!close)
                return -1;
            pos = (close - m_text) + 2;
        } else if (IsSpace(static_cast<unsigned char>(*p))) {
            ++pos;
        } else {
            break;
        }
    }
    return pos;
}

bool SvgDeclarationReader::CutImportant(const char* value, size_t& length) {
    static const char kWord[] = "important";
    const size_t n = sizeof kWord - 1;
    size_t end = length;
    while (end > 0 && IsSpace(static_cast<unsigned char>(value[end - 1])))
        --end;
    if (end < n + 1 || strncasecmp(value + end - n, kWord, n) != 0)
        return false;
    end -= n;
    while (end > 0 && IsSpace(static_cast<unsigned char>(value[end - 1])))
        --end;
    if (end == 0 || value[end - 1] != '!')
        return false;
    --end;
    while (end > 0 && IsSpace(static_cast<unsigned char>(value[end - 1])))
        --end;
    length = end;
    return true;
}

bool SvgDeclarationReader::Next() {
    if (m_done)
        return false;
    long pos = SkipSpace(m_pos);
    if (pos < 0) {
        m_done = true;
        return false;
    }

    m_nameLength = 0;
    m_nameTooLong = false;
    while (pos < m_length) {
        unsigned char c = static_cast<unsigned char>(m_text[pos++]);
        if (c == ':')
            break;
        if (IsSpace(c))
            continue;
        if (m_nameLength < MaxName)
            m_name[m_nameLength++] = static_cast<char>(c);
        else
            m_nameTooLong = true;
    }
    m_name[m_nameLength] = '\0';

    pos = SkipSpace(pos);
    if (pos < 0) {
        m_done = true;
        return false;
    }
    m_value = m_text + pos;
    const void* semicolon = std::memchr(m_value, ';', static_cast<size_t>(m_length - pos));
    if (semicolon) {
        m_valueLength = static_cast<const char*>(semicolon) - m_value;
        pos += static_cast<long>(m_valueLength) + 1;
    } else {
        m_valueLength = static_cast<size_t>(m_length - pos);
        pos = m_length;
    }

    m_pos = pos;
    if (pos >= m_length)
        m_done = true;
    return true;
}

void SvgStyle::ReadFromElement(const TiXmlElement* element, SvgStyleSheet* sheet,
                               bool keepSpecified) {
    if (element) {
        // Each presentation attribute names a property of its own, so reading
        // them in document order in one pass gives the same record as looking
        // each name up in turn.
        SvgSpecifiedStyle given;
        if (const char* style = element->Attribute("style")) {
            given.hasStyleAttribute = true;
            given.styleAttribute = style;
        }
        for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
            const char* name = a->Name();
            int id = LookupAttributeId(name);
            if (id != 0) {
                if (Presentation().accepted[id])
                    given.attributes.emplace_back(id, a->Value());
            } else if (std::strcmp(name, "block_progression") == 0) {
                // As an attribute, block progression is spelled with an underscore.
                given.attributes.emplace_back(SvgPropBlockProgression, a->Value());
            }
        }
        if (sheet)
            sheet->Match(element, given);
        if (!given.Empty()) {
            ReadSpecified(given);
            if (keepSpecified)
                specified = std::make_shared<const SvgSpecifiedStyle>(std::move(given));
        }
    }
    if (parent)
        MergeFromParent(parent);
    else
        ResolveWithoutParent();
}

void SvgStyle::ReadCopyOf(const SvgStyle* source, const SvgStyle* parentStyle) {
    std::shared_ptr<const SvgSpecifiedStyle> given = source ? source->specified : nullptr;
    Clear();
    if (given) {
        ReadSpecified(*given);
        specified = std::move(given);
    }
    parent = parentStyle;
    if (parent)
        MergeFromParent(parent);
    else
        ResolveWithoutParent();
}

void SvgStyle::ReadSpecified(const SvgSpecifiedStyle& given) {
    // The first reading of a property wins: the style attribute's important
    // declarations, the sheets' important ones, the style attribute's others,
    // the sheets' others, the presentation attributes.
    const char* style = given.hasStyleAttribute ? given.styleAttribute.c_str() : nullptr;
    bool important = style && std::strchr(style, '!');
    if (important)
        ReadStyleDeclarations(style, true);
    for (const SvgCssDeclaration* declaration : given.sheetImportant)
        ReadPropertyById(declaration->id, declaration->value.c_str());
    if (style)
        ReadStyleDeclarations(style, false);
    for (const SvgCssDeclaration* declaration : given.sheetNormal)
        ReadPropertyById(declaration->id, declaration->value.c_str());
    for (const auto& attribute : given.attributes)
        ReadPresentationAttribute(attribute.first, attribute.second.c_str());
}

void SvgStyle::ReadStyleAttribute(const char* styleText) {
    if (!styleText)
        return;
    if (std::strchr(styleText, '!'))
        ReadStyleDeclarations(styleText, true);
    ReadStyleDeclarations(styleText, false);
}

void SvgStyle::ReadStyleDeclarations(const char* styleText, bool important) {
    std::string uncommented;
    if (std::strstr(styleText, "/*")) {
        uncommented = WithoutComments(styleText);
        styleText = uncommented.c_str();
    }
    SvgDeclarationReader reader(styleText);
    std::string longValue;
    char buffer[256];
    while (reader.Next()) {
        if (reader.NameTooLong())
            continue;
        int id = LookupAttributeId(reader.Name(), reader.NameLength());
        if (id == 0)
            continue;
        size_t length = reader.ValueLength();
        if (SvgDeclarationReader::CutImportant(reader.Value(), length) != important)
            continue;
        // The readers take terminated text.
        const char* value;
        if (length < sizeof buffer) {
            std::memcpy(buffer, reader.Value(), length);
            buffer[length] = '\0';
            value = buffer;
        } else {
            longValue.assign(reader.Value(), length);
            value = longValue.c_str();
        }
        ReadPropertyById(id, value);
        if (id == SvgPropFont)
            ReadFontShorthand(value);
    }
}

void SvgStyle::ReadFontShorthand(const char* value) {
    std::vector<SvgFontLonghand> longhands;
    if (ExpandFontShorthand(value, longhands)) {
        for (const SvgFontLonghand& longhand : longhands)
            ReadPropertyById(longhand.id, longhand.value.c_str());
    }
}

void SvgStyle::ReadPresentationAttribute(int id, const char* value) {
    switch (id) {
    case SvgPropMarker:
    case SvgPropMarkerStart:
    case SvgPropMarkerMid:
    case SvgPropMarkerEnd: {
        int index = id == SvgPropMarker        ? MarkerAll
                    : id == SvgPropMarkerStart ? MarkerStart
                    : id == SvgPropMarkerMid   ? MarkerMid
                                               : MarkerEnd;
        if (Unset(marker[index]))
            ReadStringValue(marker[index], value);
        break;
    }
    case SvgPropTransformOrigin:
        ReadPropertyById(id, SvgCssTransform::OriginFromAttribute(value).c_str());
        break;
    default:
        ReadPropertyById(id, value);
        break;
    }
}

void SvgStyle::ReadPropertyById(int id, const char* value) {
    if (!value)
        return;
    switch (id) {
    case SvgPropFontSpecification:
    case SvgPropFontFamily: {
        SvgStringValue& target =
            id == SvgPropFontFamily ? text->fontFamily : text->fontSpecification;
        if (!Unset(target))
            break;
        MakeTextPrivate();
        std::string dequoted = Dequote(value);
        ReadStringValue(id == SvgPropFontFamily ? text->fontFamily : text->fontSpecification,
                        dequoted.c_str());
        break;
    }
    case SvgPropFont:
        if (!Unset(text->font))
            break;
        MakeTextPrivate();
        text->font.value = value;
        text->font.set = 1;
        text->font.inherit = IsInherit(value);
        break;
    case SvgPropFontSize:
        if (Unset(fontSize))
            ReadFontSize(fontSize, value);
        break;
    case SvgPropFontStretch:
        if (Unset(fontStretch))
            ReadFontStretch(fontStretch, value);
        break;
    case SvgPropFontStyle:
        if (Unset(fontStyle))
            ReadEnum(fontStyle, value, kFontStyleKeywords, true);
        break;
    case SvgPropFontVariant:
        if (Unset(fontVariant))
            ReadEnum(fontVariant, value, kFontVariantKeywords, true);
        break;
    case SvgPropFontWeight:
        if (Unset(fontWeight))
            ReadFontWeight(fontWeight, value);
        break;
    case SvgPropFontVariationSettings:
        if (Unset(text->fontVariationSettings) && ValidVariationSettings(value)) {
            MakeTextPrivate();
            ReadStringValue(text->fontVariationSettings, value);
        }
        break;
    case SvgPropTextIndent:
        if (Unset(textIndent))
            ReadLength(textIndent, value);
        break;
    case SvgPropTextAlign:
        if (Unset(textAlign))
            ReadEnum(textAlign, value, kTextAlignKeywords, true);
        break;
    case SvgPropTextDecoration:
        if (Unset(textDecoration))
            ReadTextDecoration(textDecoration, value);
        break;
    case SvgPropLineHeight:
        if (Unset(lineHeight))
            ReadLengthOrNormal(lineHeight, value);
        break;
    case SvgPropLetterSpacing:
        if (Unset(letterSpacing))
            ReadLengthOrNormal(letterSpacing, value);
        break;
    case SvgPropWordSpacing:
        if (Unset(wordSpacing))
            ReadLengthOrNormal(wordSpacing, value);
        break;
    case SvgPropTextTransform:
        if (Unset(textTransform))
            ReadEnum(textTransform, value, kTextTransformKeywords, true);
        break;
    case SvgPropDirection:
        if (Unset(direction))
            ReadEnum(direction, value, kDirectionKeywords, true);
        break;
    case SvgPropBlockProgression:
        if (Unset(blockProgression))
            ReadEnum(blockProgression, value, kBlockProgressionKeywords, true);
        break;
    case SvgPropWritingMode:
        if (Unset(writingMode))
            ReadEnum(writingMode, value, kWritingModeKeywords, true);
        break;
    case SvgPropTextAnchor:
        if (Unset(textAnchor))
            ReadEnum(textAnchor, value, kTextAnchorKeywords, true);
        break;
    case SvgPropColor:
        if (Unset(color))
            ReadColorProperty(color, value);
        break;
    case SvgPropDisplay:
        if (Unset(display))
            ReadEnum(display, value, kDisplayKeywords, true);
        break;
    case SvgPropOverflow:
        if (Unset(overflow))
            ReadEnum(overflow, value, kOverflowKeywords, true);
        break;
    case SvgPropVisibility:
        if (Unset(visibility))
            ReadEnum(visibility, value, kVisibilityKeywords, true);
        break;
    case SvgPropOpacity:
        if (Unset(opacity))
            ReadScale24(opacity, value);
        break;
    case SvgPropEnableBackground:
        if (Unset(enableBackground))
            ReadEnum(enableBackground, value, kEnableBackgroundKeywords, true);
        break;
    case SvgPropImageRendering:
        if (Unset(imageRendering))
            ReadEnum(imageRendering, value, kImageRenderingKeywords, true);
        break;
    case SvgPropShapeRendering:
        if (Unset(shapeRendering))
            ReadEnum(shapeRendering, value, kShapeRenderingKeywords, true);
        break;
    case SvgPropMixBlendMode:
        if (Unset(mixBlendMode))
            ReadEnum(mixBlendMode, value, kMixBlendModeKeywords, true);
        break;
    case SvgPropIsolation:
        if (Unset(isolation))
            ReadEnum(isolation, value, kIsolationKeywords, true);
        break;
    case SvgPropUnicodeBidi:
        if (Unset(unicodeBidi))
            ReadEnum(unicodeBidi, value, kUnicodeBidiKeywords, true);
        break;
    case SvgPropFontKerning:
        if (Unset(fontKerning))
            ReadEnum(fontKerning, value, kFontKerningKeywords, true);
        break;
    case SvgPropTextRendering:
        if (Unset(textRendering))
            ReadEnum(textRendering, value, kTextRenderingKeywords, true);
        break;
    case SvgPropDominantBaseline:
        if (Unset(dominantBaseline))
            ReadEnum(dominantBaseline, value, kBaselineKeywords, true);
        break;
    case SvgPropAlignmentBaseline:
        if (Unset(alignmentBaseline))
            ReadEnum(alignmentBaseline, value, kBaselineKeywords, true);
        break;
    case SvgPropBaselineShift:
        if (Unset(baselineShift) && !ReadEnum(baselineShift, value, kBaselineShiftKeywords, true) &&
            ReadLength(baselineShiftLength, value) && !baselineShiftLength.inherit) {
            baselineShift.set = 1;
            baselineShift.value = baselineShift.computed = unsigned(SvgBaselineShift::Length);
        }
        break;
    case SvgPropGlyphOrientationVertical:
        if (Unset(glyphOrientation))
            ReadEnum(glyphOrientation, value, kGlyphOrientationKeywords, true);
        break;
    case SvgPropFilter:
        if (Unset(filter))
            ReadFilterProperty(filter, value);
        break;
    case SvgPropFloodColor:
        if (Unset(FilterStyle().floodColor))
            ReadPaint(filterStyle->floodColor, value);
        break;
    case SvgPropFloodOpacity:
        if (Unset(FilterStyle().floodOpacity))
            ReadScale24(filterStyle->floodOpacity, value);
        break;
    case SvgPropLightingColor:
        if (Unset(FilterStyle().lightingColor))
            ReadPaint(filterStyle->lightingColor, value);
        break;
    case SvgPropColorInterpolationFilters:
        if (Unset(FilterStyle().colorInterpolationFilters))
            ReadEnum(filterStyle->colorInterpolationFilters, value, kColorInterpolationKeywords,
                     true);
        break;
    case SvgPropClipPath:
        if (Unset(clipPath))
            ReadFilter(clipPath, value);
        break;
    case SvgPropMask:
        if (Unset(mask))
            ReadFilter(mask, value);
        break;
    case SvgPropClipRule:
        if (Unset(clipRule))
            ReadEnum(clipRule, value, kFillRuleKeywords, true);
        break;
    case SvgPropTransform:
    case SvgPropTransformOrigin: {
        // Kept as written once its syntax is known good (its lengths resolve later).
        SvgMatrix matrix;
        double x = 0, y = 0;
        bool origin = id == SvgPropTransformOrigin;
        SvgCssTransform::Context any;
        if (origin ? !SvgCssTransform::ParseOrigin(value, any, x, y)
                   : !SvgCssTransform::Parse(value, any, matrix))
            break;
        if (!transforms)
            transforms.reset(new SvgTransformStyle());
        SvgStringValue& target = origin ? transforms->origin : transforms->transform;
        if (Unset(target))
            ReadStringValue(target, value);
        break;
    }
    case SvgPropStopColor:
        if (Unset(stopColor))
            ReadPaint(stopColor, value);
        break;
    case SvgPropStopOpacity:
        if (Unset(stopOpacity))
            ReadScale24(stopOpacity, value);
        break;
    case SvgPropFill:
        if (Unset(fill))
            ReadPaint(fill, value);
        break;
    case SvgPropStroke:
        if (Unset(stroke))
            ReadPaint(stroke, value);
        break;
    case SvgPropFillOpacity:
        if (Unset(fillOpacity))
            ReadScale24(fillOpacity, value);
        break;
    case SvgPropStrokeOpacity:
        if (Unset(strokeOpacity))
            ReadScale24(strokeOpacity, value);
        break;
    case SvgPropFillRule:
        if (Unset(fillRule))
            ReadEnum(fillRule, value, kFillRuleKeywords, true);
        break;
    case SvgPropStrokeLinecap:
        if (Unset(strokeLinecap))
            ReadEnum(strokeLinecap, value, kStrokeLinecapKeywords, true);
        break;
    case SvgPropStrokeLinejoin:
        if (Unset(strokeLinejoin))
            ReadEnum(strokeLinejoin, value, kStrokeLinejoinKeywords, true);
        break;
    case SvgPropMarker:
    case SvgPropMarkerStart:
    case SvgPropMarkerMid:
    case SvgPropMarkerEnd: {
        SvgStringValue& m = marker[id == SvgPropMarker        ? MarkerAll
                                   : id == SvgPropMarkerStart ? MarkerStart
                                   : id == SvgPropMarkerMid   ? MarkerMid
                                                              : MarkerEnd];
        if (!Unset(m))
            break;
        m.value = value;
        m.set = 1;
        m.inherit = IsInherit(value);
        // The shorthand sets the three that are still unset.
        if (id == SvgPropMarker) {
            for (int i = MarkerStart; i <= MarkerEnd; ++i) {
                if (Unset(marker[i]))
                    marker[i] = m;
            }
        }
        break;
    }
    case SvgPropPaintOrder:
        if (Unset(paintOrder))
            SvgPaintOrder::Read(paintOrder, value);
        break;
    case SvgPropStrokeDasharray:
        if (!strokeDash.dasharraySet)
            ReadDashArray(strokeDash, value);
        break;
    case SvgPropStrokeDashoffset:
        if (!strokeDash.dashoffsetSet) {
            double offset = strokeDash.dashOffset;
            unsigned char unit = strokeDash.offsetUnit;
            bool found = ReadDashOffset(value, offset, unit);
            if (found) {
                strokeDash.dashOffset = offset;
                strokeDash.offsetUnit = unit;
            }
            strokeDash.dashoffsetSet = found;
        }
        break;
    case SvgPropStrokeMiterlimit:
        if (Unset(strokeMiterlimit)) {
            // A limit below 1 is invalid, as if not given.
            SvgNumber limit;
            if (ReadNumber(limit, value) && (limit.inherit || limit.value >= 1))
                strokeMiterlimit = limit;
        }
        break;
    case SvgPropStrokeWidth:
        if (Unset(strokeWidth))
            ReadLength(strokeWidth, value);
        break;
    default:
        // Names of the table that are no property, and properties that only
        // validate (the rendering hints) or are not supported.
        break;
    }
}
