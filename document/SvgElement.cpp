#include "document/SvgElement.h"

#include "document/ElementRegistry.h"
#include "document/SvgConditions.h"
#include "document/SvgLayerScope.h"
#include "document/SvgRenderState.h"
#include "document/SvgTransformableElement.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"
#include "style/SvgValueReaders.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>

namespace {

// Keyword number of display="none".
const unsigned kSvgDisplayNone = 0;

} // namespace

SvgElement::SvgElement(int kind, const char* tagName) : m_kind(kind), m_tagName(tagName) {}

SvgElement::~SvgElement() {
    for (SvgElement* child : m_children)
        delete child;
    m_children.clear();
}

void SvgElement::SetParent(SvgElement* parent) {
    m_parent = parent;
    m_depth = parent ? parent->m_depth + 1 : 1;
}

void SvgElement::AddChild(SvgElement* child) {
    child->SetParent(this);
    child->m_owner = m_owner;
    m_children.push_back(child);
}

bool SvgElement::LoadFromXml(TiXmlElement* xml) {
    LoadOwnXml(xml);
    LoadChildren(xml, m_children, false);
    return true;
}

void SvgElement::ReadIdAndConditions(TiXmlElement* xml) {
    if (const char* id = xml->Attribute("id"))
        m_id = id;
    m_conditionsPass = SvgConditions::Pass(xml, m_owner ? m_owner->GetUserLanguage()
                                                        : SvgConditions::UserLanguage());
}

void SvgElement::LoadOwnXml(TiXmlElement* xml) {
    ReadIdAndConditions(xml);
    ReadStyle(xml);
    ReadTransform(xml);
    ReadAttributes(xml);
    BuildGeometry();
}

void SvgElement::LoadChildrenFromXml(TiXmlElement* xml, bool freeXml) {
    LoadChildren(xml, m_children, freeXml);
}

void SvgElement::AdoptChildren(std::vector<SvgElement*>& children) {
    m_children.insert(m_children.end(), children.begin(), children.end());
    children.clear();
}

void SvgElement::DetachChildren(size_t first, std::vector<SvgElement*>& out) {
    if (first >= m_children.size())
        return;
    out.insert(out.end(), m_children.begin() + long(first), m_children.end());
    m_children.resize(first);
}

void SvgElement::LoadChildren(TiXmlElement* xml, std::vector<SvgElement*>& into, bool freeXml) {
    if (m_depth >= kMaxDepth)
        return; // children would lie too deep
    for (TiXmlNode *node = xml->FirstChild(), *next; node; node = next) {
        next = node->NextSibling();
        if (TiXmlElement* childXml = node->ToElement()) {
            if (SvgElement* child = ElementRegistry::Instance()->CreateElement(childXml->Value())) {
                // Attached before it loads: a look-up by id finds what came before.
                child->SetParent(this);
                child->m_owner = m_owner;
                into.push_back(child);
                child->LoadFromXml(childXml);
            }
        }
        if (freeXml)
            xml->RemoveChild(node);
    }
}

SvgElement* SvgElement::DeepCopy() const {
    return DeepCopyAt(1, nullptr);
}

SvgElement* SvgElement::DeepCopyAt(int depth, SvgElement* parent) const {
    if (depth > kMaxDepth)
        return nullptr;
    // A copy costs one element, and more when it holds a style record or a
    // long outline (CopyCost).
    SvgFigure* figure = GetFigure();
    if (m_owner && !m_owner->TakeCopyBudget(figure ? figure->CopyCost() : 1))
        return nullptr;
    SvgElement* copy = ElementRegistry::Instance()->CreateElement(m_tagName.c_str());
    if (!copy)
        return nullptr;
    copy->m_owner = m_owner;
    copy->m_depth = depth;
    copy->m_conditionsPass = m_conditionsPass;
    // The parent first: the copy's style is read again under it.
    copy->m_parent = parent;
    copy->CopyFrom(this);
    // The copy keeps the source's own transform.
    auto* transformable = dynamic_cast<SvgTransformableElement*>(copy);
    auto* sourceTransformable = dynamic_cast<const SvgTransformableElement*>(this);
    if (transformable && sourceTransformable)
        transformable->CopyTransformFrom(*sourceTransformable);
    for (const SvgElement* child : m_children) {
        SvgElement* childCopy = child->DeepCopyAt(depth + 1, copy);
        if (childCopy)
            copy->m_children.push_back(childCopy);
    }
    return copy;
}

void SvgElement::Render(GdiGraphics& graphics) {
    if (!IsDisplayed())
        return;
    Gdiplus::GraphicsState state = SvgRenderState::Save(graphics);
    if (m_kind < kSvgKindTransformLimit) {
        if (auto* self = dynamic_cast<SvgTransformableElement*>(this))
            self->ApplyTransform(graphics);
    }
    {
        SvgLayerScope layer(*this, graphics);
        if (layer.Draws()) {
            if (m_hostMark != HostMark::Path)
                Paint(graphics);
            RenderChildren(graphics);
            PaintOver(graphics);
        }
    }
    SvgRenderState::Restore(graphics, state);
}

void SvgElement::RenderChildren(GdiGraphics& graphics) {
    std::pair<size_t, size_t> drawn = DrawnChildren();
    for (size_t i = drawn.first; i < drawn.second; ++i)
        m_children[i]->Render(graphics);
}

std::pair<size_t, size_t> SvgElement::DrawnChildren() const {
    if (SvgIsShapeKind(m_kind) || m_kind == SvgKindImage || m_kind == SvgKindStop ||
        (m_kind >= SvgKindGradient && m_kind <= SvgKindRadialGradient))
        return {0, 0};
    return {0, m_children.size()};
}

void SvgElement::ReadLengthAttribute(SvgLength& length, TiXmlElement* xml, const char* name) {
    if (const char* text = xml->Attribute(name))
        ReadLength(length, text);
}

bool SvgElement::ReadResolvedLength(TiXmlElement* xml, const char* name, float& out) {
    const char* text = xml->Attribute(name);
    if (!text)
        return false;
    SvgLength length; // an unresolved value reads as 0
    ReadLength(length, text);
    float resolved = length.computed;
    if (!length.inherit) {
        if (length.unit == SvgUnitEm) {
            resolved = length.value * GetFontSize();
        } else if (length.unit == SvgUnitPercent) {
            // Against the viewport's width for horizontal lengths, its height
            // for vertical ones, and its normalized diagonal for radii.
            SvgRect viewport = GetViewportRect();
            double w = viewport.getWidth(), h = viewport.getHeight();
            double base = std::sqrt((w * w + h * h) / 2);
            if (name[0] == 'x' || name[0] == 'w' || (name[0] && name[1] == 'x') ||
                std::strcmp(name, "textLength") == 0)
                base = w;
            else if (name[0] == 'y' || name[0] == 'h' || (name[0] && name[1] == 'y'))
                base = h;
            resolved = static_cast<float>(length.value * base);
        } else if (length.unit == SvgUnitEx) {
            resolved = 0.0f;
        }
    } else {
        resolved = 0.0f;
    }
    out = resolved;
    return true;
}

bool SvgElement::ReadRadius(TiXmlElement* xml, const char* name, float& out) {
    const char* text = xml->Attribute(name);
    if (text && std::strcmp(text, "auto") == 0)
        return false;
    return ReadResolvedLength(xml, name, out);
}

bool SvgElement::ReadStringAttribute(TiXmlElement* xml, const char* name, std::string& out) {
    const char* text = xml->Attribute(name);
    if (!text)
        return false;
    out = text;
    return true;
}

SvgRect SvgElement::GetViewportRect() const {
    for (const SvgElement* e = this; e; e = e->m_parent) {
        if (e->m_kind == SvgKindSvg)
            return e->GetViewBox();
    }
    return SvgRect(0, 0, 0, 0);
}

bool SvgElement::IsDisplayed() const {
    if (m_hostMark == HostMark::Hidden)
        return false;
    const SvgFigure* figure = GetFigure();
    const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
    if (!m_conditionsPass)
        return false;
    // "inherit" can only take a parent's value that is not none.
    return !style || !style->display.set || style->display.inherit ||
           style->display.value != kSvgDisplayNone;
}

SvgStyle* SvgElement::GetInheritableStyle() const {
    // A copied style holder without a record of its own passes its parent's
    // on, and so does `defs`, which has none.
    for (const SvgElement* e = this; e; e = e->m_parent) {
        if (e->m_kind == SvgKindDefs)
            continue;
        SvgFigure* figure = e->GetFigure();
        if (!figure || !(e->m_kind < kSvgKindInheritLimit || e->m_kind == SvgKindSvg ||
                         e->m_kind == SvgKindSymbol || e->m_kind == SvgKindClipPath ||
                         e->m_kind == SvgKindMask || e->m_kind == SvgKindMarker ||
                         e->m_kind == SvgKindPattern))
            return nullptr;
        if (figure->PeekStyle())
            return figure->GetStyle();
    }
    return nullptr;
}

void SvgElement::ReadStyleInto(SvgFigure* figure, TiXmlElement* xml) {
    if (!figure)
        return;
    SvgStyle* style = figure->GetStyle();
    if (m_parent)
        style->parent = m_parent->GetInheritableStyle();
    style->ReadFromElement(xml, m_owner ? m_owner->GetStyleSheet() : nullptr,
                           !m_owner || m_owner->KeepsSpecifiedStyle());
}

float SvgElement::GetFontSize() {
    if (SvgFigure* figure = GetFigure())
        return figure->GetStyle()->fontSize.computed;
    return 12.0f;
}
