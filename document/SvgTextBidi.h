#pragma once

#include "style/SvgTextKeywords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Bidirectional text: the embedding levels of a run of characters by the
// Unicode bidirectional algorithm (FriBidi), with the embeddings, overrides
// and isolates that elements ask for through unicode-bidi and direction, and
// the visual order of pieces of text from their levels.
class SvgTextBidi {
public:
    SvgTextBidi();

    // The context of the characters of an element inside the element of
    // context parent (0: none) that asks for kind in direction rtl. Returns
    // the new context, or parent itself when kind asks for nothing.
    uint32_t AddContext(uint32_t parent, SvgUnicodeBidi kind, bool rtl);

    // Levels of count characters (codes, and the context of each) of one
    // paragraph whose base direction is rtl, or found from its first strong
    // character when automatic. Returns whether any level is odd.
    bool Levels(const char32_t* codes, const uint32_t* contexts, size_t count, bool rtl,
                bool automatic, uint8_t* levels) const;

    // Whether the character is a non-spacing mark (it goes on the one before).
    static bool IsMark(char32_t code);
    // Whether the character stands upright in vertical text (ideographs, kana,
    // Hangul, full-width forms, symbols and the like); the others lie sideways.
    static bool IsUpright(char32_t code);

    // The visual order of pieces of text with the given levels, in logical
    // order: order[k] is the piece shown k-th from the left.
    static void Reorder(const std::vector<uint8_t>& levels, std::vector<size_t>& order);

private:
    struct Context {
        uint32_t parent;
        uint32_t depth;   // contexts that open controls, this one included
        char32_t open[2]; // controls that open it (0: none)
        bool rtlish;      // it, or a context around it, may give odd levels
    };
    // Whether the characters, in their contexts, can only have even levels.
    bool AllLeftToRight(const char32_t* codes, const uint32_t* contexts, size_t count) const;

    std::vector<Context> contexts;
};
