#pragma once

// mix-blend-mode: how an element's drawing mixes with what lies below it
// within its nearest isolated group (the keyword numbers of its table).
enum class SvgBlendMode : unsigned char {
    Normal = 0,
    Multiply,
    Screen,
    Overlay,
    Darken,
    Lighten,
    ColorDodge,
    ColorBurn,
    HardLight,
    SoftLight,
    Difference,
    Exclusion,
    Hue,
    Saturation,
    Color,
    Luminosity,
};

// isolation: whether a group's children blend only with each other.
enum class SvgIsolation : unsigned char { Auto = 0, Isolate = 1 };
