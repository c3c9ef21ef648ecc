#include "document/SvgTextLayout.h"

#include "document/SvgTextElement.h"
#include "render/SvgFontBuilder.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextBuffer.h"
#include "render/SvgTextFigure.h"

using namespace Gdiplus;

namespace {

size_t CountCharacters(const std::string& text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at = SvgTextBuffer::NextCharacter(text, at))
        ++count;
    return count;
}

} // namespace

void SvgTextLayout::LayOut(SvgTextElement& root) {
    SvgTextLayout layout;
    layout.Walk(root);
    layout.EndChunk();
    layout.Build();
}

void SvgTextLayout::Walk(SvgTextElement& element) {
    scopes.push_back({&element, characters});
    SvgTextFigure* run = element.GetTextFigure();
    if (run && !run->text.empty())
        Add(run, false, CountCharacters(run->text));
    for (SvgElement* child : element.GetChildren()) {
        if (child->GetKind() == SvgKindPositionGlyph)
            Add(child->GetFigure(), true, 1);
        else if (child->GetKind() == SvgKindTspan)
            Walk(static_cast<SvgTextElement&>(*child));
    }
    scopes.pop_back();
}

void SvgTextLayout::Add(SvgFigure* figure, bool glyph, size_t count) {
    // The value for the current character from the innermost list reaching it.
    auto find = [&](std::vector<float> SvgTextElement::*list, float& out) {
        for (auto it = scopes.rbegin(); it != scopes.rend(); ++it) {
            const std::vector<float>& values = it->element->*list;
            size_t index = characters - it->start;
            if (index < values.size()) {
                out = values[index];
                return true;
            }
        }
        return false;
    };
    float value = 0.0f;
    if (find(&SvgTextElement::x, value)) {
        EndChunk();
        chunkX = penX = value;
    }
    if (find(&SvgTextElement::y, value))
        penY = value;
    if (find(&SvgTextElement::dx, value))
        penX += value;
    if (find(&SvgTextElement::dy, value))
        penY += value;
    float advance = glyph ? GlyphAdvance(figure) : static_cast<SvgTextFigure*>(figure)->Advance();
    pieces.push_back({figure, glyph, penX, penY, advance});
    penX += advance;
    characters += count;
}

float SvgTextLayout::GlyphAdvance(SvgFigure* figure) {
    auto* glyph = static_cast<SvgPositionGlyphFigure*>(figure);
    uint32_t key = 0; // the character's bytes, at most four
    for (unsigned char byte : glyph->text)
        key = key << 8 | byte;
    auto found = glyphAdvances.find(key);
    if (found == glyphAdvances.end())
        found = glyphAdvances.emplace(key, glyph->Advance()).first;
    return found->second;
}

StringAlignment SvgTextLayout::Alignment(const Piece& piece) {
    if (!piece.glyph)
        return static_cast<SvgTextFigure*>(piece.figure)->Alignment();
    // Glyphs are only made by a text element for its own character data:
    // they all belong to the root and share its style.
    if (!glyphAlignmentKnown) {
        glyphAlignment = static_cast<SvgPositionGlyphFigure*>(piece.figure)->Alignment();
        glyphAlignmentKnown = true;
    }
    return glyphAlignment;
}

void SvgTextLayout::EndChunk() {
    if (chunkStart < pieces.size()) {
        StringAlignment align = Alignment(pieces[chunkStart]);
        float width = penX - chunkX;
        float shift = align == StringAlignmentCenter ? -width / 2
                      : align == StringAlignmentFar  ? -width
                                                     : 0.0f;
        for (size_t k = chunkStart; k < pieces.size(); ++k)
            pieces[k].left += shift;
    }
    chunkStart = pieces.size();
}

void SvgTextLayout::Build() {
    // Each figure aligns its outline on its x by its own format: the x that
    // puts its left edge where the layout placed it.
    for (const Piece& piece : pieces) {
        float x = SvgFontBuilder::AnchorX(Alignment(piece), piece.left, piece.advance);
        if (piece.glyph) {
            auto* glyph = static_cast<SvgPositionGlyphFigure*>(piece.figure);
            glyph->x = x;
            glyph->y = piece.y;
            glyph->BuildPath();
        } else {
            auto* run = static_cast<SvgTextFigure*>(piece.figure);
            run->x = x;
            run->y = piece.y;
            run->BuildPath();
        }
    }
}
