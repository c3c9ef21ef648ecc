#pragma once

#include "style/SvgBlendMode.h"
#include "style/SvgDashArray.h"
#include "style/SvgEnumValue.h"
#include "style/SvgFilterStyle.h"
#include "style/SvgFontSize.h"
#include "style/SvgFontWeight.h"
#include "style/SvgLength.h"
#include "style/SvgLengthOrNormal.h"
#include "style/SvgNumber.h"
#include "style/SvgPaint.h"
#include "style/SvgScale24.h"
#include "style/SvgShapeRendering.h"
#include "style/SvgStringValue.h"
#include "style/SvgTextDecoration.h"
#include "style/SvgTextStyle.h"
#include "style/SvgTransformStyle.h"

#include <memory>

class SvgStyleSheet;
class TiXmlElement;
struct SvgSpecifiedStyle;

// The style record of one element: one field per supported property. Each
// field remembers whether the document specified it (set) and whether it said
// "inherit"; a reader writes only an unset field, so the first declaration
// wins, and the cascade (MergeFromParent) completes the rest from the parent's
// record. Painting reads the fields directly.
class SvgStyle {
public:
    // Indexes of the marker array.
    enum { MarkerAll = 0, MarkerStart = 1, MarkerMid = 2, MarkerEnd = 3, MarkerCount = 4 };

    SvgStyle();
    SvgStyle(const SvgStyle&) = delete;
    SvgStyle& operator=(const SvgStyle&) = delete;
    virtual ~SvgStyle();

    // Every property back to the state of a new record; parent null.
    void Clear();

    SvgShapeRendering GetShapeRendering() const {
        return SvgShapeRendering(shapeRendering.computed);
    }
    SvgBlendMode GetBlendMode() const { return SvgBlendMode(mixBlendMode.computed); }
    bool Isolates() const { return SvgIsolation(isolation.computed) == SvgIsolation::Isolate; }
    // Gives this style its own copy of a shared text record before it is written.
    void MakeTextPrivate();
    // Makes this style hold other's text record (shared, copied before a write).
    void ShareTextWith(SvgStyle& other);

    // Reading. ReadFromElement reads the style attribute, then the presentation
    // attributes, then runs the cascade from parent (when there is one). The
    // declarations of sheet (may be null) that apply to element are read
    // after the style attribute's (its important ones after the style
    // attribute's important ones) and before the presentation attributes.
    // keepSpecified false: what the element specified is read but not kept
    // (no copy will read it again).
    void ReadFromElement(const TiXmlElement* element, SvgStyleSheet* sheet = nullptr,
                         bool keepSpecified = true);
    // Reads again what source's element specified, under parentStyle (none:
    // the initial values), as for a copy of that element: the record first
    // returns to the state of a new one.
    void ReadCopyOf(const SvgStyle* source, const SvgStyle* parentStyle);
    // The declarations of a style attribute ("name: value; ..."), those marked
    // "!important" first.
    void ReadStyleAttribute(const char* text);
    // One declaration whose name has number id in the attribute table.
    void ReadPropertyById(int id, const char* value);

    // The cascade: completes every property this record did not specify from
    // parentStyle and resolves relative values. Nothing when parentStyle is null.
    void MergeFromParent(const SvgStyle* parentStyle);
    // The paint step of the cascade: child takes its paint from parentPaint, or
    // from this record's color when currentColor is involved.
    void MergePaint(SvgPaint& child, const SvgPaint& parentPaint) const;

    SvgTextStyle* text;                 // font-family, -inkscape-font-specification, font,
                                        // font-variation-settings
    bool textPrivate;                   // text belongs to this style alone
    SvgFontSize fontSize;               // font-size
    SvgEnumValue fontStyle;             // font-style
    SvgEnumValue fontVariant;           // font-variant
    SvgFontWeight fontWeight;           // font-weight
    SvgEnumValue fontStretch;           // font-stretch
    SvgLength textIndent;               // text-indent
    SvgEnumValue textAlign;             // text-align
    SvgTextDecoration textDecoration;   // text-decoration
    SvgLengthOrNormal lineHeight;       // line-height
    SvgLengthOrNormal letterSpacing;    // letter-spacing
    SvgLengthOrNormal wordSpacing;      // word-spacing
    SvgEnumValue textTransform;         // text-transform
    SvgEnumValue direction;             // direction
    SvgEnumValue blockProgression;      // block-progression
    SvgEnumValue writingMode;           // writing-mode
    SvgEnumValue textAnchor;            // text-anchor
    SvgEnumValue display;               // display
    SvgEnumValue overflow;              // overflow
    SvgEnumValue visibility;            // visibility
    SvgScale24 opacity;                 // opacity
    SvgPaint color;                     // color
    SvgPaint stopColor;                 // stop-color
    SvgScale24 stopOpacity;             // stop-opacity (kept, not inherited)
    SvgPaint fill;                      // fill
    SvgScale24 fillOpacity;             // fill-opacity
    SvgEnumValue fillRule;              // fill-rule
    SvgPaint stroke;                    // stroke
    SvgLength strokeWidth;              // stroke-width
    SvgEnumValue strokeLinecap;         // stroke-linecap
    SvgEnumValue strokeLinejoin;        // stroke-linejoin
    SvgNumber strokeMiterlimit;         // stroke-miterlimit
    SvgDashArray strokeDash;            // stroke-dasharray, stroke-dashoffset
    SvgScale24 strokeOpacity;           // stroke-opacity
    SvgStringValue marker[MarkerCount]; // marker, marker-start, marker-mid, marker-end
    SvgStringValue filter;              // filter: the referenced id
    SvgEnumValue enableBackground;      // enable-background
    SvgStringValue clipPath;            // clip-path: the referenced id (not inherited)
    SvgEnumValue clipRule;              // clip-rule
    SvgStringValue mask;                // mask: the referenced id (not inherited)
    SvgEnumValue imageRendering;        // image-rendering
    // transform (as a property) and transform-origin; null when neither is given.
    std::unique_ptr<SvgTransformStyle> transforms;
    SvgEnumValue shapeRendering;        // shape-rendering (SvgShapeRendering)
    SvgEnumValue mixBlendMode;          // mix-blend-mode (SvgBlendMode, not inherited)
    SvgEnumValue isolation;             // isolation (SvgIsolation, not inherited)
    SvgEnumValue paintOrder;            // paint-order (SvgPaintOrder)
    SvgEnumValue unicodeBidi;           // unicode-bidi (SvgUnicodeBidi, not inherited)
    SvgEnumValue fontKerning;           // font-kerning (SvgFontKerning)
    SvgEnumValue textRendering;         // text-rendering (SvgTextRendering)
    SvgEnumValue dominantBaseline;      // dominant-baseline (SvgBaseline)
    SvgEnumValue alignmentBaseline;     // alignment-baseline (SvgBaseline, not inherited)
    SvgEnumValue baselineShift;         // baseline-shift (SvgBaselineShift, not inherited)
    SvgLength baselineShiftLength;      // baseline-shift as a length
    SvgEnumValue glyphOrientation;      // glyph-orientation-vertical (SvgGlyphOrientation)
    const SvgStyle* parent;             // the parent element's record, not owned
    // flood-color, flood-opacity, lighting-color, color-interpolation-filters:
    // null until the element gives one of them.
    std::unique_ptr<SvgFilterStyle> filterStyle;
    // What the element gave, shared with the records of its copies; null for nothing.
    std::shared_ptr<const SvgSpecifiedStyle> specified;

    // The filter properties, made on first use.
    SvgFilterStyle& FilterStyle();

private:
    // The initial values that differ from those of a default value record.
    void SetInitialValues();
    // Reads a style attribute and presentation attributes as given.
    void ReadSpecified(const SvgSpecifiedStyle& given);
    // The declarations of a style attribute marked "!important" (without the
    // mark), or those not marked.
    void ReadStyleDeclarations(const char* text, bool important);
    // Reads one presentation attribute whose name has number id.
    void ReadPresentationAttribute(int id, const char* value);
    // Reads the properties a font shorthand stands for (when it is valid).
    void ReadFontShorthand(const char* value);
    // Resolves this record's own relative values (font-size keywords and
    // percentages, bolder/lighter, narrower/wider, em/ex stroke widths) against
    // the initial values, for a record that has no parent to merge from.
    void ResolveWithoutParent();
    // A stop-color of currentColor takes this record's color.
    void ResolveStopColor();
};
