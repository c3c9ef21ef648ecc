#include "style/SvgStyle.h"

#include "style/SvgColorReaders.h"

SvgStyle::SvgStyle() : text(new SvgTextStyle), textPrivate(true), parent(nullptr) {
    Clear();
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
        text = new SvgTextStyle;
        textPrivate = true;
    }

    fontSize = SvgFontSize();
    fontSize.type = SvgFontSizeLiteral;
    fontSize.value = 3; // medium
    fontSize.computed = 12.0f;
    fontStyle = SvgEnumValue(0);   // normal
    fontVariant = SvgEnumValue(0); // normal
    fontWeight = SvgEnumValue(9);  // normal
    fontWeight.computed = 3;       // 400
    fontStretch = SvgEnumValue(4); // normal
    textIndent = SvgLength(0.0f);
    textAlign = SvgEnumValue(0); // start
    textDecoration = SvgTextDecoration();
    lineHeight = SvgLengthOrNormal();
    lineHeight.normal = 1;
    lineHeight.unit = SvgUnitPercent;
    lineHeight.value = 1.0f;
    lineHeight.computed = 1.0f;
    letterSpacing = SvgLengthOrNormal();
    letterSpacing.normal = 1;
    wordSpacing = SvgLengthOrNormal();
    wordSpacing.normal = 1;
    textTransform = SvgEnumValue(0);
    direction = SvgEnumValue(0);        // ltr
    blockProgression = SvgEnumValue(0); // tb
    writingMode = SvgEnumValue(0);      // lr-tb
    textAnchor = SvgEnumValue(0);       // start
    display = SvgEnumValue(1);          // inline
    overflow = SvgEnumValue(0);         // visible
    visibility = SvgEnumValue(2);       // visible
    opacity = SvgScale24(SvgScale24::One);

    ResetPaint(color);
    color.colorSet = 1; // black
    ResetPaint(stopColor);
    stopOpacity = SvgScale24(SvgScale24::One);
    ResetPaint(fill);
    fill.colorSet = 1; // black
    fillOpacity = SvgScale24(SvgScale24::One);
    fillRule = SvgEnumValue(0); // nonzero
    ResetPaint(stroke);         // not stroked
    strokeWidth = SvgLength(1.0f);
    strokeLinecap = SvgEnumValue(0);  // butt
    strokeLinejoin = SvgEnumValue(0); // miter
    strokeMiterlimit = SvgNumber(4.0f);
    strokeDash.clearDashes();
    strokeDash.dashOffset = 0.0;
    strokeDash.dasharraySet = 0;
    strokeDash.dasharrayInherit = 0;
    strokeDash.dashoffsetSet = 0;
    strokeOpacity = SvgScale24(SvgScale24::One);
    for (SvgStringValue& m : marker)
        m = SvgStringValue();
    filter = SvgStringValue();
    enableBackground = SvgEnumValue(0); // accumulate
    parent = nullptr;
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
