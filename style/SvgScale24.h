#pragma once

// An opacity as 24-bit unsigned fixed point: SvgScale24::One (0xFF0000) is 1.0.
struct SvgScale24 {
    static constexpr unsigned One = 0xFF0000u;

    SvgScale24() : set(0), inherit(0), value(0) {}
    explicit SvgScale24(unsigned v) : set(0), inherit(0), value(v) {}

    unsigned set : 1;
    unsigned inherit : 1;
    unsigned value : 24;
};
