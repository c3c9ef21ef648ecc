#pragma once

#include "engine/GdiBrush.h"
#include "engine/GdiGraphics.h"
#include "engine/GdiPath.h"
#include "engine/GdiPen.h"

#include <atomic>
#include <string>

class SvgElement;
class SvgGlyphSet;
class SvgMatrix;
class SvgPaintServer;
class SvgStyle;
struct SvgDashArray;
struct SvgPaint;
enum class SvgContextPaint : unsigned;

// What a drawable element paints with: its style record, its outline as a
// back-end path, and the fill (a colour, or a paint server's brush) and pen
// made ready at the first paint and reused on every later one. A group owns
// a plain SvgFigure only to hold its style.
class SvgFigure {
public:
    SvgFigure();
    // A plain figure that only holds the style of a group, `use`, `svg` or
    // `symbol`. A copy of one whose source gave no style holds no record: its
    // children inherit through it (SvgElement::GetInheritableStyle).
    static SvgFigure* CreateStyleHolder();
    SvgFigure(const SvgFigure&) = delete;
    SvgFigure& operator=(const SvgFigure&) = delete;

    // Virtual operations, in slot order.
    virtual ~SvgFigure();
    // Rebuilds the path from the geometry; nothing for a plain figure.
    virtual Gdiplus::Status BuildPath();
    // Takes source's path, and reads the style source's element specified
    // again under the style this figure's element inherits (not its brush and
    // pen). Subclasses also copy their geometry.
    virtual void CopyFrom(const SvgFigure* source);
    virtual Gdiplus::Status Fill(GdiGraphics& graphics);
    virtual Gdiplus::Status Stroke(GdiGraphics& graphics);

    // Makes the brush and pen of the first paint now, so that later paints
    // only read the figure: then several threads may paint it at once.
    void PrepareToPaint();
    // PrepareToPaint once, whichever of several threads painting the figure
    // comes first (the others wait for it). The style must have been
    // prepared (PrepareStyle) before the threads start.
    void PrepareOnce();
    // Resolves in the style record what the first paint would (stroke widths
    // in em and percent), so that threads painting the figure only read it.
    void PrepareStyle();

    // Whether neither fill nor stroke can show within what graphics shows.
    bool OutsideView(GdiGraphics& graphics) const;

    // Fills the outline, opaque, by the clip-rule: the figure's share of a
    // clip path's coverage.
    Gdiplus::Status PaintCoverage(GdiGraphics& graphics);
    // Whether the element's own opacity is drawn by multiplying it into the
    // fill's or the stroke's alpha, as for a shape that paints only one of
    // them and no markers (the two would otherwise show through each other).
    // Else the element is drawn in a layer.
    bool AbsorbsOpacity() const;

    // What copying this figure costs in elements of a document's copy budget,
    // roughly in proportion to the memory the copy takes: one, one more when
    // the copy holds a style record, and one for every 16 points of its outline.
    long CopyCost() const;

    void SetOwner(SvgElement* element) { owner = element; }
    SvgElement* GetOwner() const { return owner; }
    // The style record, created empty on first request.
    SvgStyle* GetStyle();
    const SvgStyle* PeekStyle() const { return style; }
    GdiPath* GetPath() const { return path; }
    const GdiPen* GetStrokePen() const { return strokePen; }

    // The alpha byte of a 24-bit opacity (0xFF0000 is 1.0): 1.0 gives 255, 0.5 gives 127.
    static unsigned AlphaFromScale24(unsigned value);
    // Back-end caps and join for the keyword numbers of stroke-linecap and stroke-linejoin.
    static Gdiplus::LineCap CapFromKeyword(unsigned keyword);
    static Gdiplus::DashCap DashCapFromKeyword(unsigned keyword);
    static Gdiplus::LineJoin JoinFromKeyword(unsigned keyword);

protected:
    // The box paint servers in box units are mapped onto: the outline's.
    virtual Gdiplus::RectF PaintBox() const;
    // The paint server (gradient or pattern) an id names; null for none.
    const SvgPaintServer* FindPaintServer(const std::string& id) const;
    // A brush for a paint that references another element (a gradient);
    // null when the reference leads to no paint server, or to one without
    // stops.
    virtual GdiBrush* CreateReferencedBrush(const std::string& id, unsigned alpha);
    // Fill, Stroke and PaintCoverage of another outline, with this figure's
    // brush and pen (a text's decorations drawn over it).
    Gdiplus::Status FillPath(GdiGraphics& graphics, GdiPath* outline);
    Gdiplus::Status StrokePath(GdiGraphics& graphics, GdiPath* outline);
    Gdiplus::Status PaintCoverageOf(GdiGraphics& graphics, GdiPath* outline);
    // Fill of a text's figure: on a vector target its glyphs stay text; the
    // pictures of colour glyphs go over the fill.
    Gdiplus::Status FillText(GdiGraphics& graphics, const SvgGlyphSet& glyphs);
    Gdiplus::Status FillGlyphs(GdiGraphics& graphics, const SvgGlyphSet& glyphs);
    // A brush made for one paint through graphics: for a paint server whose
    // brush holds pixels of one resolution (server), or for context-fill and
    // context-stroke (context). Null when nothing is to be painted.
    GdiBrush* BrushForPaint(GdiGraphics& graphics, const SvgPaintServer* server,
                            SvgContextPaint context, unsigned scale24);
    // Readies the fill at the first request: fillColor, or fillBrush for a
    // paint server. False when the fill paints nothing.
    bool ReadyFill();
    // The stroke's pen, made at the first request; strokes tells whether a
    // stroke is to be drawn (its pen may still be null, out of memory).
    GdiPen* StrokePen(bool& strokes);
    // Resolves em and percentage stroke widths into the style; the computed width.
    float ResolveStrokeWidth(SvgStyle& style) const;
    // Appends map to the brush's own transform (its space to the one it
    // paints in), whatever kind of brush it is.
    static void AppendToBrush(GdiBrush& brush, const SvgMatrix& map);
    // Sets the dash array and offset, given in user units (percentages of
    // percentBase), on a pen of the given width.
    static void SetDashes(GdiPen& pen, const SvgDashArray& dash, float width, double percentBase);
    // Sets the style's dashes, caps, join and miter limit on a pen of the
    // given width.
    void SetUpPen(GdiPen& pen, float width);
    // What 100% of a length that is neither horizontal nor vertical is: the
    // diagonal of the viewport over the square root of 2.
    double PercentBase() const;
    // The alpha byte of an opacity of the style, times the element's own
    // opacity when the figure absorbs it.
    unsigned PaintAlpha(unsigned scale24) const;

    SvgStyle* style;             // owned, created by GetStyle
    SvgElement* owner;           // not owned
    GdiPath* path;               // owned, rebuilt by BuildPath
    GdiBrush* fillBrush;         // owned: a paint server's brush, made by the first fill
    Gdiplus::ARGB fillColor = 0; // the fill's colour, when without fillBrush
    GdiPen* strokePen;           // owned, made by the first stroke that paints

private:
    bool fillReady = false;         // ReadyFill has run
    bool fillPaints = false;        // and found a fill to paint
    bool strokeUnpaintable = false; // the stroke references nothing paintable
    bool styleHolder = false;       // made by CreateStyleHolder
    // Paint servers whose brush is made at each paint, for the resolution
    // painted at (patterns): not kept in fillBrush and strokePen.
    const SvgPaintServer* fillServer = nullptr;
    const SvgPaintServer* strokeServer = nullptr;
    // PrepareOnce: 0 not yet, 1 under way on some thread, 2 done.
    std::atomic<unsigned char> prepared{0};
};
