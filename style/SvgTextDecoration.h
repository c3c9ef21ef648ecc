#pragma once

struct SvgTextDecoration {
    SvgTextDecoration() : set(0), inherit(0), underline(0), overline(0), lineThrough(0), blink(0) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned underline : 1;
    unsigned overline : 1;
    unsigned lineThrough : 1;
    unsigned blink : 1;
};
