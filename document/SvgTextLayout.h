#pragma once

#include "platform/gdiplus/GdiPlus.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class SvgElement;
class SvgFigure;
class SvgTextElement;

// Places the glyphs and runs of one text element (or of a tspan outside any
// text) and builds their paths. Pieces are taken in document order: the
// element's own run, its glyphs, and the runs and glyphs of its tspans. A
// pen carries the position from piece to piece; a piece's first character
// takes an absolute x, y and a dx, dy from the nearest enclosing element whose
// lists reach that character. Every absolute x starts a new chunk, which the
// text-anchor in force at its first piece aligns as a whole.
class SvgTextLayout {
public:
    static void LayOut(SvgTextElement& root);

private:
    struct Piece {
        SvgFigure* figure;
        bool glyph; // an SvgPositionGlyphFigure, else an SvgTextFigure
        float left, y, advance;
    };
    // An element whose lists apply, with the index of its first character.
    struct Scope {
        const SvgTextElement* element;
        size_t start;
    };

    void Walk(SvgTextElement& element);
    // How the piece's figure aligns its outline on its x.
    Gdiplus::StringAlignment Alignment(const Piece& piece);
    void Add(SvgFigure* figure, bool glyph, size_t characters);
    // Aligns the pieces from chunkStart on by the anchor of the first one.
    void EndChunk();
    void Build();
    float GlyphAdvance(SvgFigure* figure);

    std::vector<Piece> pieces;
    std::vector<Scope> scopes;
    size_t characters = 0; // characters placed so far
    float penX = 0.0f, penY = 0.0f;
    size_t chunkStart = 0;
    float chunkX = 0.0f;
    // Glyphs all have the text element's font: each character is measured once.
    std::unordered_map<uint32_t, float> glyphAdvances;
    bool glyphAlignmentKnown = false;
    Gdiplus::StringAlignment glyphAlignment = Gdiplus::StringAlignmentNear;
};
