#include "style/SvgStyle.h"

#include "style/SvgColorReaders.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

template <class T> inline bool UnsetOrInherit(const T& v) {
    return !v.set || v.inherit;
}

// Products of huge sizes stay finite (and 0 x infinity is 0), so that nothing
// later divides or draws with infinities.
float Finite(double v) {
    if (std::isnan(v))
        return 0.0f;
    return static_cast<float>(
        std::clamp(v, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

// Sizes of the keywords xx-small to xx-large.
const float kFontSizeKeywordSizes[7] = {6, 8, 10, 12, 14, 18, 24};

enum : unsigned {
    kStretchNarrower = 9,
    kStretchWider = 10,
    kFontSizeSmaller = 7,
    kFontSizeLarger = 8,
};

// What a specified font-size computes to, given the parent's computed size.
float ComputeFontSize(const SvgFontSize& size, float parentSize) {
    switch (size.type) {
    case SvgFontSizeLiteral:
        if (size.value <= 6)
            return kFontSizeKeywordSizes[size.value];
        if (size.value == kFontSizeSmaller)
            return Finite(parentSize * 0.8333333333333334);
        if (size.value == kFontSizeLarger)
            return Finite(parentSize * 1.2);
        return size.computed;
    case SvgFontSizePercentage:
        return Finite(size.value / 65536.0 * parentSize);
    default:
        return Finite(size.computed);
    }
}

// What a specified font-weight computes to, given the parent's weight.
// bolder and lighter step to the next of the common weights 100, 400, 700
// and 900, as CSS computes them.
unsigned ComputeFontWeight(const SvgFontWeight& weight, unsigned parentWeight) {
    switch (weight.value) {
    case SvgFontWeightNormal:
        return 400;
    case SvgFontWeightBold:
        return 700;
    case SvgFontWeightLighter:
        return parentWeight < 100   ? parentWeight
               : parentWeight < 550 ? 100
               : parentWeight < 750 ? 400
                                    : 700;
    case SvgFontWeightBolder:
        return parentWeight < 350   ? 400
               : parentWeight < 550 ? 700
               : parentWeight < 900 ? 900
                                    : parentWeight;
    case SvgFontWeightNumber:
        return weight.number;
    default:
        return (weight.value + 1) * 100;
    }
}

void SetWeight(SvgFontWeight& weight, unsigned value) {
    weight.weight = static_cast<uint16_t>(value);
    weight.computed = SvgFontWeight::NearestKeyword(value);
}

unsigned ComputeFontStretch(unsigned value, unsigned parentStretch) {
    switch (value) {
    case kStretchNarrower:
        return parentStretch >= 1 ? parentStretch - 1 : 0;
    case kStretchWider:
        return std::min(parentStretch + 1, 8u);
    default:
        return value;
    }
}

// em and ex stroke widths from the record's own font size.
void ComputeStrokeWidth(SvgLength& width, float fontSize) {
    if (width.unit == SvgUnitEm)
        width.computed = Finite(static_cast<double>(width.value) * fontSize);
    else if (width.unit == SvgUnitEx)
        width.computed = Finite(static_cast<double>(width.value) * 0.5 * fontSize);
}

// letter-spacing and word-spacing in em, ex and percent (of the font size)
// from the record's own font size.
void ComputeSpacing(SvgLengthOrNormal& spacing, float fontSize) {
    if (!spacing.set || spacing.inherit || spacing.normal)
        return;
    if (spacing.unit == SvgUnitEm || spacing.unit == SvgUnitPercent)
        spacing.computed = Finite(static_cast<double>(spacing.value) * fontSize);
    else if (spacing.unit == SvgUnitEx)
        spacing.computed = Finite(static_cast<double>(spacing.value) * 0.5 * fontSize);
}

inline void InheritComputed(SvgEnumValue& v, const SvgEnumValue& p) {
    if (UnsetOrInherit(v))
        v.computed = p.computed;
}

inline void InheritSpacing(SvgLengthOrNormal& v, const SvgLengthOrNormal& p) {
    if (UnsetOrInherit(v)) {
        v.computed = p.computed;
        v.normal = p.normal;
    }
}

inline void InheritValue(SvgScale24& v, const SvgScale24& p) {
    if (UnsetOrInherit(v))
        v.value = p.value;
}

inline void InheritString(SvgStringValue& v, const SvgStringValue& p) {
    if (UnsetOrInherit(v) && v.value != p.value)
        v.value = p.value;
}

} // namespace

void SvgStyle::MergeFromParent(const SvgStyle* p) {
    if (!p)
        return;

    // 1. font-size: an inherited size counts as set from now on.
    if (UnsetOrInherit(fontSize)) {
        fontSize.computed = p->fontSize.computed;
        fontSize.set = 1;
    } else {
        fontSize.computed = ComputeFontSize(fontSize, p->fontSize.computed);
    }

    // 2. to 4. font-style, font-variant, font-weight, font-stretch
    InheritComputed(fontStyle, p->fontStyle);
    InheritComputed(fontVariant, p->fontVariant);
    if (UnsetOrInherit(fontWeight))
        SetWeight(fontWeight, p->fontWeight.weight);
    else
        SetWeight(fontWeight, ComputeFontWeight(fontWeight, p->fontWeight.weight));
    if (UnsetOrInherit(fontStretch))
        fontStretch.computed = p->fontStretch.computed;
    else
        fontStretch.computed = ComputeFontStretch(fontStretch.value, p->fontStretch.computed);

    // 5. to 9. text layout
    if (UnsetOrInherit(textIndent))
        textIndent.computed = p->textIndent.computed;
    InheritComputed(textAlign, p->textAlign);
    if (UnsetOrInherit(textDecoration)) {
        textDecoration.underline = p->textDecoration.underline;
        textDecoration.overline = p->textDecoration.overline;
        textDecoration.lineThrough = p->textDecoration.lineThrough;
        textDecoration.blink = p->textDecoration.blink;
    }
    InheritSpacing(lineHeight, p->lineHeight);
    InheritSpacing(letterSpacing, p->letterSpacing);
    InheritSpacing(wordSpacing, p->wordSpacing);
    ComputeSpacing(letterSpacing, fontSize.computed);
    ComputeSpacing(wordSpacing, fontSize.computed);
    InheritComputed(textTransform, p->textTransform);
    InheritComputed(direction, p->direction);
    InheritComputed(blockProgression, p->blockProgression);
    InheritComputed(writingMode, p->writingMode);
    InheritComputed(textAnchor, p->textAnchor);

    // visibility inherits, so that a visible child of a hidden group draws.
    InheritComputed(visibility, p->visibility);

    InheritComputed(imageRendering, p->imageRendering);
    InheritComputed(shapeRendering, p->shapeRendering);
    // mix-blend-mode and isolation apply to the element alone.
    if (mixBlendMode.inherit)
        mixBlendMode.computed = p->mixBlendMode.computed;
    if (isolation.inherit)
        isolation.computed = p->isolation.computed;
    InheritComputed(paintOrder, p->paintOrder);
    InheritComputed(fontKerning, p->fontKerning);
    InheritComputed(textRendering, p->textRendering);
    if (unicodeBidi.inherit)
        unicodeBidi.computed = p->unicodeBidi.computed;
    InheritComputed(dominantBaseline, p->dominantBaseline);
    InheritComputed(glyphOrientation, p->glyphOrientation);
    // alignment-baseline and baseline-shift are not inherited; the layout adds
    // up the shifts of nested elements.
    if (alignmentBaseline.inherit)
        alignmentBaseline.computed = p->alignmentBaseline.computed;
    if (baselineShift.inherit) {
        baselineShift.computed = p->baselineShift.computed;
        baselineShiftLength = p->baselineShiftLength;
    }

    // 10. opacity is inherited only when asked for.
    if (opacity.inherit)
        opacity.value = p->opacity.value;

    // 11. to 15. colour and fill; color first, since currentColor uses it.
    if (UnsetOrInherit(color))
        MergePaint(color, p->color);
    if (UnsetOrInherit(fill) || fill.currentColor)
        MergePaint(fill, p->fill);
    InheritValue(fillOpacity, p->fillOpacity);
    InheritComputed(fillRule, p->fillRule);
    InheritComputed(clipRule, p->clipRule);
    if (UnsetOrInherit(stroke) || stroke.currentColor)
        MergePaint(stroke, p->stroke);

    // stop-color and stop-opacity are not inherited unless asked for.
    if (stopColor.inherit) {
        ResetPaint(stopColor);
        stopColor.set = 1;
        stopColor.color = p->stopColor.color;
        stopColor.colorSet = p->stopColor.colorSet;
    }
    if (stopOpacity.inherit)
        stopOpacity.value = p->stopOpacity.value;
    ResolveStopColor();

    // 16. stroke-width
    if (UnsetOrInherit(strokeWidth)) {
        strokeWidth.computed = p->strokeWidth.computed;
        // A percentage is resolved by the figure against its own viewport, so
        // it is passed on as written rather than as a computed value it lacks.
        if (p->strokeWidth.unit == SvgUnitPercent) {
            strokeWidth.unit = SvgUnitPercent;
            strokeWidth.value = p->strokeWidth.value;
        } else if (strokeWidth.unit == SvgUnitPercent) {
            strokeWidth.unit = SvgUnitNone; // taken from an earlier parent
        }
    } else {
        ComputeStrokeWidth(strokeWidth, fontSize.computed);
    }

    // 17. to 21. the rest of the stroke
    InheritComputed(strokeLinecap, p->strokeLinecap);
    InheritComputed(strokeLinejoin, p->strokeLinejoin);
    if (UnsetOrInherit(strokeMiterlimit))
        strokeMiterlimit.value = p->strokeMiterlimit.value;
    // Dashes in em and ex are of this element's font size; percentages are
    // passed on as written, as stroke widths are.
    strokeDash.resolveFontRelative(fontSize.computed);
    if ((!strokeDash.dasharraySet || strokeDash.dasharrayInherit) && p->strokeDash.dasharraySet) {
        strokeDash.setDashes(p->strokeDash.dashes, p->strokeDash.dashCount);
        strokeDash.percentMask = p->strokeDash.percentMask;
        strokeDash.dasharraySet = 1;
    }
    if (!strokeDash.dashoffsetSet) {
        strokeDash.dashOffset = p->strokeDash.dashOffset;
        strokeDash.offsetUnit = p->strokeDash.offsetUnit;
    }
    InheritValue(strokeOpacity, p->strokeOpacity);

    // 22. font-family and -inkscape-font-specification (not the font shorthand)
    if (text && p->text) {
        const SvgTextStyle& pt = *p->text;
        if (UnsetOrInherit(text->fontFamily) && text->fontFamily.value != pt.fontFamily.value) {
            MakeTextPrivate();
            text->fontFamily.value = pt.fontFamily.value;
        }
        if (UnsetOrInherit(text->fontSpecification) &&
            text->fontSpecification.value != pt.fontSpecification.value) {
            MakeTextPrivate();
            text->fontSpecification.value = pt.fontSpecification.value;
        }
        if (UnsetOrInherit(text->fontVariationSettings) &&
            text->fontVariationSettings.value != pt.fontVariationSettings.value) {
            MakeTextPrivate();
            text->fontVariationSettings.value = pt.fontVariationSettings.value;
        }
    }

    // 23. markers
    for (int i = 0; i < MarkerCount; ++i)
        InheritString(marker[i], p->marker[i]);

    // 24. enable-background is inherited only when asked for.
    if (enableBackground.inherit)
        enableBackground.value = p->enableBackground.value;

    // clip-path and mask apply to the element that names them, and are
    // inherited only when asked for.
    if (clipPath.inherit)
        clipPath.value = p->clipPath.value;
    if (mask.inherit)
        mask.value = p->mask.value;
}

void SvgStyle::MergePaint(SvgPaint& child, const SvgPaint& parentPaint) const {
    if ((child.set && child.currentColor) || parentPaint.currentColor) {
        // A reference written before currentColor stays the child's own.
        SvgCompactString uri;
        if (child.set && child.currentColor)
            uri.swap(child.uri);
        ResetPaint(child);
        child.uri.swap(uri);
        child.currentColor = 1;
        child.color = color.color;
        child.colorSet = 1;
        return;
    }
    ResetPaint(child);
    // The reference and its fallback are passed on together, so an inherited
    // "url(#g) red" paints as it does on the parent.
    child.uri = parentPaint.uri;
    child.context = parentPaint.context;
    if (parentPaint.colorSet) {
        child.color = parentPaint.color;
        child.colorSet = 1;
    } else if (parentPaint.noneSet) {
        child.noneSet = 1;
    }
}

void SvgStyle::ResolveStopColor() {
    if (stopColor.currentColor) {
        stopColor.color = color.color;
        stopColor.colorSet = 1;
    }
}

void SvgStyle::ResolveWithoutParent() {
    ResolveStopColor();
    // The values a parent in the initial state would give: medium (12), weight
    // 400, stretch normal.
    if (fontSize.set && !fontSize.inherit)
        fontSize.computed = ComputeFontSize(fontSize, 12.0f);
    if (fontWeight.set && !fontWeight.inherit)
        SetWeight(fontWeight, ComputeFontWeight(fontWeight, 400));
    if (fontStretch.set && !fontStretch.inherit)
        fontStretch.computed = ComputeFontStretch(fontStretch.value, 4);
    if (strokeWidth.set && !strokeWidth.inherit)
        ComputeStrokeWidth(strokeWidth, fontSize.computed);
    strokeDash.resolveFontRelative(fontSize.computed);
    ComputeSpacing(letterSpacing, fontSize.computed);
    ComputeSpacing(wordSpacing, fontSize.computed);
}
