#pragma once

#include "document/SvgTextBidi.h"
#include "document/SvgTextCharacter.h"
#include "engine/GdiText.h"
#include "platform/gdiplus/GdipGlyphRun.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class SvgElement;
class SvgFigure;
class SvgFontRun;
class SvgGlyphSet;
class SvgStyle;
class SvgPathWalk;
class SvgTextElement;

// Lays out one text element (or a tspan outside any text) and builds the
// paths of its pieces. Its characters are taken in document order, across
// tspans: each takes the x, y, dx, dy and rotate values that apply to it.
// Every absolute x or y starts an anchored chunk; a chunk is put in
// bidirectional order, shaped whole in runs of one piece and one direction
// (kerning, ligatures, joining), spaced (letter-spacing, word-spacing,
// textLength), moved by dx and dy, and aligned as a whole by the text-anchor
// and direction of its first character. Each glyph is then drawn by the
// figure of the piece its character belongs to.
class SvgTextLayout {
public:
    // False when a textPath names an element not loaded yet (the text is
    // laid out again once it is).
    static bool LayOut(SvgTextElement& root);

    // Characters of one text element laid out at most; the rest are dropped.
    static constexpr size_t kMaxCharacters = 1 << 18;

private:
    // A piece of text drawn by one figure in one style: a tspan's run, or a
    // stretch of a text element's character data.
    struct Source {
        SvgFigure* figure;
        SvgGlyphSet* glyphs;
        const SvgStyle* style;
        SvgFontRun* font;   // shared by the sources that ask for the same font
        int flags;          // how its text is shaped (KelShapeFlags)
        double shift;       // baseline-shift of it and its ancestors (y down)
        bool known = false; // baselines read
        Gdiplus::KelFontBaselines baselines{};
    };
    // The path of a textPath and where its text starts on it.
    struct PathScope {
        std::shared_ptr<const SvgPathWalk> walk; // null: the text is not drawn
        double offset;
        bool backwards; // side="right": the path is walked from its end
    };
    // The characters of an element, for textLength.
    struct Span {
        const SvgTextElement* element;
        size_t first, end;
    };
    // A list of values an element gives its characters from the start'th on.
    struct ListScope {
        const std::vector<float>* values;
        size_t start;
        const SvgTextElement* owner;
    };
    // One glyph of a shaped run and the character it stands for, placed
    // relative to that character's origin.
    struct GlyphRef {
        int index;
        size_t character;
        float relX, relY;
    };
    // A run shaped in one go: characters [first, end) of one font, one way of
    // shaping and one level (of one or more sources).
    struct Item {
        size_t first, end;
        uint8_t level;
        std::shared_ptr<GdiGlyphRun> run;
        std::vector<GlyphRef> glyphs; // visual order
    };
    struct Chunk {
        size_t first, end;
        std::vector<Item> items; // logical order
    };

    explicit SvgTextLayout(SvgTextElement& root);
    ~SvgTextLayout();

    void Walk(SvgTextElement& element, uint32_t context, double shift);
    // The baseline-shift an element adds to its parent's (y down).
    double ShiftOf(SvgTextElement& element);
    const Gdiplus::KelFontBaselines& Baselines(Source& source);
    // How far the glyphs of a source move down to sit on their baseline.
    double BaselineOffset(Source& source);
    void PlaceOnPath(Chunk& chunk);
    void PositionVertical(Chunk& chunk);
    void AddText(const std::string& text, size_t source, uint32_t context, size_t limit,
                 SvgPositionGlyphFigure* glyphFigure);
    void AddCharacter(char32_t code, size_t source, uint32_t context,
                      SvgPositionGlyphFigure* glyphFigure);
    size_t AddSource(SvgFigure* figure, SvgGlyphSet* glyphs, const SvgStyle* style);
    SvgFontRun* FontFor(const SvgStyle* style);
    static bool Find(std::vector<ListScope>& scopes, size_t index, float& value);
    static void PopScope(std::vector<ListScope>& scopes, const SvgTextElement* owner);

    void SplitChunks();
    void Shape(Chunk& chunk);
    // Shapes item, and when mayBreak, again in parts before each character
    // that a ligature took in while it has a position or rotation of its own.
    // Appends the items made.
    void ShapeItem(Item item, const std::vector<uint32_t>& codes, size_t chunkFirst,
                   std::vector<Item>& out, bool mayBreak);
    void Space(Chunk& chunk);
    void FitLengths();
    void Position(Chunk& chunk);
    void Emit();
    void Decorate();
    // Bars from top to top + thickness (down from the baseline) under the
    // characters of span, into glyphs (over the text when over).
    void DecorateSpan(const Span& span, double top, double thickness, SvgGlyphSet& glyphs,
                      bool over);

    SvgTextElement& root;
    SvgTextBidi bidi;
    std::vector<SvgTextCharacter> chars;
    std::vector<Source> sources;
    std::vector<Span> spans; // children before their parents
    std::vector<Chunk> chunks;
    std::vector<ListScope> lists[4]; // x, y, dx, dy
    std::vector<ListScope> rotates;
    std::vector<PathScope> paths;
    uint32_t currentPath = 0; // the path of the characters being read (index + 1)
    double currentShift = 0;  // the baseline-shift of the source being read
    bool vertical = false;    // the text is written top to bottom
    bool waiting = false;     // a textPath's path is not loaded yet
    // Where the last chunk on a path (alongPath, index + 1) ended along it.
    uint32_t alongPath = 0;
    double alongPen = 0;
    std::unordered_map<std::string, std::unique_ptr<SvgFontRun>> fonts; // by request
    std::vector<SvgFigure*> figures; // every figure to build, in order
    // The figure of the stretch of character data being read, if any.
    long stretchSource = -1;
    double penX = 0, penY = 0; // where a chunk without an absolute position starts
};
