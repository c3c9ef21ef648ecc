#pragma once

#include "engine/GdiGraphics.h"
#include "engine/GdiMatrix.h"
#include "syntax/SvgRect.h"

#include <string>
#include <utility>
#include <vector>

class SvgEngine;
class SvgFigure;
class SvgStyle;
class TiXmlElement;
struct SvgLength;

// Kind numbers of the element classes.
enum SvgElementKind {
    SvgKindCircle = 0,
    SvgKindEllipse = 1,
    SvgKindRect = 2,
    SvgKindPolyline = 3,
    SvgKindImage = 4,
    SvgKindPolygon = 5,
    SvgKindLine = 6,
    SvgKindPath = 7,
    SvgKindText = 8,
    SvgKindTspan = 9,
    SvgKindPositionGlyph = 12,
    SvgKindSwitch = 27,
    SvgKindGroup = 28,
    SvgKindUse = 29,
    SvgKindDefs = 43,
    SvgKindSymbol = 44,
    SvgKindClipPath = 45,
    SvgKindMask = 46,
    SvgKindMarker = 47,
    SvgKindFilter = 60,
    SvgKindFilterPrimitive = 61,
    SvgKindSvg = 50,
    SvgKindDesc = 51,
    SvgKindStop = 69,
    SvgKindGradient = 70,
    SvgKindLinearGradient = 71,
    SvgKindRadialGradient = 72,
    SvgKindPattern = 73,
};

// The basic shapes, polylines, polygons and paths.
inline bool SvgIsShapeKind(int kind) {
    return kind == SvgKindCircle || kind == SvgKindEllipse || kind == SvgKindRect ||
           kind == SvgKindPolyline || kind == SvgKindPolygon || kind == SvgKindLine ||
           kind == SvgKindPath;
}

// Children inherit their parent's style below this kind, and from `svg`,
// `symbol`, `clipPath`, `mask`, `marker` and `pattern` (GetInheritableStyle).
const int kSvgKindInheritLimit = 30;
// An element's own transform is applied at render time only below this kind.
const int kSvgKindTransformLimit = 40;

// A node of the document tree: the plain layer of the element classes.
class SvgElement {
public:
    // Elements nested deeper than this (the root is at depth 1) are left out of
    // the tree, with their subtrees.
    static constexpr int kMaxDepth = 1024;

    SvgElement(int kind, const char* tagName);
    virtual ~SvgElement();

    SvgElement(const SvgElement&) = delete;
    SvgElement& operator=(const SvgElement&) = delete;

    // The eleven virtual operations, in slot order after the destructor.
    virtual bool ReadAttributes(TiXmlElement* xml) = 0;
    // A new, default-constructed element of this element's class.
    virtual SvgElement* Clone() const = 0;
    virtual void BuildGeometry() {}
    virtual void ReadStyle(TiXmlElement* /*xml*/) {}
    virtual void ReadTransform(TiXmlElement* /*xml*/) {}
    virtual void CopyFrom(const SvgElement* source) = 0;
    virtual SvgElement* DeepCopy() const;
    virtual void Render(GdiGraphics& graphics);
    virtual void Paint(GdiGraphics& /*graphics*/) {}
    // What an element paints over its children (a text's line-through).
    virtual void PaintOver(GdiGraphics& /*graphics*/) {}
    virtual bool LoadFromXml(TiXmlElement* xml);
    // The two steps of the plain load: the element's own id, style, transform
    // and attributes, then its children.
    void LoadOwnXml(TiXmlElement* xml);
    // With freeXml, each child's XML is freed once the child is loaded (for
    // a document read only to be loaded: its memory serves what follows).
    void LoadChildrenFromXml(TiXmlElement* xml, bool freeXml = false);
    // Creates and loads the elements among the children of xml as children
    // of this element, appending each to into before it loads: into is the
    // element's own list, or one kept apart (AdoptChildren appends it) for a
    // part of the document loaded on another thread.
    void LoadChildren(TiXmlElement* xml, std::vector<SvgElement*>& into, bool freeXml = false);
    void AdoptChildren(std::vector<SvgElement*>& children);
    // Moves the children from index first on to the end of out; they are no
    // longer this element's.
    void DetachChildren(size_t first, std::vector<SvgElement*>& out);

    // Attaches child as the last child; it takes this element's engine.
    void AddChild(SvgElement* child);
    // Renders every child in document order.
    void RenderChildren(GdiGraphics& graphics);

    // DeepCopy for a copy that will sit at the given depth under parent (which
    // the copy's style inherits from; its children list is not touched): parts
    // of the copy that would lie deeper than kMaxDepth, and elements beyond the
    // engine's copy budget, are left out. Null when nothing could be made.
    SvgElement* DeepCopyAt(int depth, SvgElement* parent) const;

    // Helpers for the element classes.
    void ReadLengthAttribute(SvgLength& length, TiXmlElement* xml, const char* name);
    bool ReadResolvedLength(TiXmlElement* xml, const char* name, float& out);
    // ReadResolvedLength for a radius, where "auto" counts as absent.
    bool ReadRadius(TiXmlElement* xml, const char* name, float& out);
    static bool ReadStringAttribute(TiXmlElement* xml, const char* name, std::string& out);
    SvgRect GetViewportRect() const;
    float GetFontSize();

    // The figure of a figure element (and the style holder of `svg` and
    // `symbol`); null for the others.
    virtual SvgFigure* GetFigure() const { return nullptr; }
    // Whether the element draws markers beside its figure's fill and stroke.
    virtual bool PaintsMarkers() const { return false; }
    // False when the element's own style says display="none", or one of its
    // conditional attributes fails: neither it nor its subtree is drawn.
    bool IsDisplayed() const;
    // Whether the conditional attributes (SvgConditions) passed.
    bool ConditionsPass() const { return m_conditionsPass; }
    // The children drawn with this element, as indexes [first, last) into
    // the children: all of them; none for shapes, images, gradients and
    // stops, whatever they hold.
    virtual std::pair<size_t, size_t> DrawnChildren() const;
    // The style record this element's children inherit from: its figure's,
    // for kinds below 30 and for `svg`, `symbol`, `clipPath`, `mask`,
    // `marker` and `pattern`; `defs` passes its parent's on (a
    // copied one without a record of its own passes its parent's on); null
    // for the others.
    SvgStyle* GetInheritableStyle() const;

    SvgEngine* GetOwner() const { return m_owner; }
    void SetOwner(SvgEngine* owner) { m_owner = owner; }
    int GetKind() const { return m_kind; }
    const std::string& GetTagName() const { return m_tagName; }
    const std::string& GetId() const { return m_id; }
    void SetId(const std::string& id) { m_id = id; }
    SvgElement* GetParent() const { return m_parent; }
    void SetParent(SvgElement* parent);
    const std::vector<SvgElement*>& GetChildren() const { return m_children; }
    // Appends without touching the child's parent or engine (deep copies).
    void AppendChild(SvgElement* child) { m_children.push_back(child); }
    int GetDepth() const { return m_depth; }
    // Whether a `use` in this subtree (this element included) still waits
    // for its copy (SvgUseResolver).
    bool HoldsPendingUse() const { return m_holdsPendingUse; }
    void SetHoldsPendingUse(bool holds) { m_holdsPendingUse = holds; }

    // A host's choice of one element to draw (KelDrawOnlyElement): an element
    // beside the path to it is not displayed, one on the path draws its
    // children but not its own painting.
    enum class HostMark : unsigned char { None, Path, Hidden };
    void SetHostMark(HostMark mark) { m_hostMark = mark; }

    // The viewBox of an svg-class element (kind 50); others have none.
    virtual SvgRect GetViewBox() const { return SvgRect(); }

protected:
    // Links figure's style to the parent's inheritable style and reads the
    // style attributes into it.
    void ReadStyleInto(SvgFigure* figure, TiXmlElement* xml);
    // Reads the id and evaluates the conditional attributes.
    void ReadIdAndConditions(TiXmlElement* xml);

    SvgEngine* m_owner = nullptr;
    const int m_kind;
    std::string m_tagName;
    std::string m_id = "  ";
    SvgElement* m_parent = nullptr;
    std::vector<SvgElement*> m_children;

private:
    void SetDepth(int depth) { m_depth = depth; }

    int m_depth = 1;
    HostMark m_hostMark = HostMark::None;
    bool m_holdsPendingUse = false;
    bool m_conditionsPass = true;
};
