#include "style/SvgStyle.h"

#include "style/SvgColorReaders.h"
#include "style/SvgSpecifiedStyle.h"

SvgStyle::SvgStyle() : text(SvgTextStyle::Empty()), textPrivate(false), parent(nullptr) {
    // Strings, paints and dashes start empty; only the initial values that
    // differ from the value records' own need setting.
    SetInitialValues();
}

SvgStyle::~SvgStyle() {
    if (text)
        text->Release();
}

void SvgStyle::Clear() {
    if (textPrivate) {
        text->Clear();
    } else {
        text->Release();
        text = SvgTextStyle::Empty();
    }
    fontSize = SvgFontSize();
    fontStyle = SvgEnumValue();
    fontVariant = SvgEnumValue();
    textIndent = SvgLength();
    textAlign = SvgEnumValue();
    textDecoration = SvgTextDecoration();
    lineHeight = SvgLengthOrNormal();
    letterSpacing = SvgLengthOrNormal();
    wordSpacing = SvgLengthOrNormal();
    textTransform = SvgEnumValue();
    direction = SvgEnumValue();
    blockProgression = SvgEnumValue();
    writingMode = SvgEnumValue();
    textAnchor = SvgEnumValue();
    overflow = SvgEnumValue();
    ResetPaint(color);
    ResetPaint(stopColor);
    ResetPaint(fill);
    fillRule = SvgEnumValue();
    ResetPaint(stroke);
    strokeLinecap = SvgEnumValue();
    strokeLinejoin = SvgEnumValue();
    strokeDash.clearDashes();
    strokeDash.dashOffset = 0.0;
    strokeDash.offsetUnit = SvgDashArray::OffsetUser;
    strokeDash.dasharraySet = 0;
    strokeDash.dasharrayInherit = 0;
    strokeDash.dashoffsetSet = 0;
    for (SvgStringValue& m : marker) {
        m.set = 0;
        m.inherit = 0;
        m.value.clear();
    }
    filter.set = 0;
    filter.inherit = 0;
    filter.value.clear();
    enableBackground = SvgEnumValue();
    for (SvgStringValue* reference : {&clipPath, &mask}) {
        reference->set = 0;
        reference->inherit = 0;
        reference->value.clear();
    }
    clipRule = SvgEnumValue();
    imageRendering = SvgEnumValue();
    transforms.reset();
    shapeRendering = SvgEnumValue();
    mixBlendMode = SvgEnumValue();
    isolation = SvgEnumValue();
    paintOrder = SvgEnumValue();
    unicodeBidi = SvgEnumValue();
    fontKerning = SvgEnumValue();
    textRendering = SvgEnumValue();
    dominantBaseline = SvgEnumValue();
    alignmentBaseline = SvgEnumValue();
    baselineShift = SvgEnumValue();
    baselineShiftLength = SvgLength();
    glyphOrientation = SvgEnumValue();
    parent = nullptr;
    filterStyle.reset();
    specified.reset();
    SetInitialValues();
}

SvgFilterStyle& SvgStyle::FilterStyle() {
    if (!filterStyle) {
        filterStyle = std::make_unique<SvgFilterStyle>();
        filterStyle->floodOpacity = SvgScale24(SvgScale24::One);
    }
    return *filterStyle;
}

void SvgStyle::SetInitialValues() {
    fontSize.type = SvgFontSizeLiteral;
    fontSize.value = 3; // medium
    fontSize.computed = 12.0f;
    fontWeight = SvgFontWeight();  // normal, 400
    fontStretch = SvgEnumValue(4); // normal
    lineHeight.normal = 1;
    lineHeight.unit = SvgUnitPercent;
    lineHeight.value = 1.0f;
    lineHeight.computed = 1.0f;
    letterSpacing.normal = 1;
    wordSpacing.normal = 1;
    display = SvgEnumValue(1);    // inline
    visibility = SvgEnumValue(2); // visible
    opacity = SvgScale24(SvgScale24::One);
    color.colorSet = 1; // black
    stopOpacity = SvgScale24(SvgScale24::One);
    fill.colorSet = 1; // black
    fillOpacity = SvgScale24(SvgScale24::One);
    strokeWidth = SvgLength(1.0f);
    strokeMiterlimit = SvgNumber(4.0f);
    strokeOpacity = SvgScale24(SvgScale24::One);
}

void SvgStyle::MakeTextPrivate() {
    if (textPrivate)
        return;
    SvgTextStyle* copy = new SvgTextStyle(*text);
    text->Release();
    text = copy;
    textPrivate = true;
}

void SvgStyle::ShareTextWith(SvgStyle& other) {
    if (text == other.text)
        return;
    other.text->AddRef();
    text->Release();
    text = other.text;
    textPrivate = false;
    other.textPrivate = false;
}
