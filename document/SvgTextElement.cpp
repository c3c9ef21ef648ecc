#include "document/SvgTextElement.h"

#include "document/ElementRegistry.h"
#include "document/SvgPositionGlyphElement.h"
#include "document/SvgTextLayout.h"
#include "document/SvgTextSpace.h"
#include "document/SvgTrefElement.h"
#include "engine/SvgEngine.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextBuffer.h"
#include "render/SvgTextFigure.h"
#include "style/SvgLength.h"
#include "style/SvgStyle.h"
#include "style/SvgValueReaders.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

#include <cfloat>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

SvgTextElement::SvgTextElement() : SvgTextElement(SvgKindText, "text") {}

SvgTextElement::SvgTextElement(int kind, const char* tagName) : SvgFigureElement(kind, tagName) {
    m_figure = new SvgTextFigure();
    m_figure->SetOwner(this);
}

SvgTextElement::~SvgTextElement() {
    // Glyphs borrow this element's style record: they go first.
    for (SvgElement* child : m_children)
        delete child;
    m_children.clear();
    delete m_figure;
}

bool SvgTextElement::IsTextRoot() const {
    return m_kind == SvgKindText || !m_parent ||
           (m_parent->GetKind() != SvgKindText && m_parent->GetKind() != SvgKindTspan);
}

SvgTextFigure* SvgTextElement::GetTextFigure() const {
    return static_cast<SvgTextFigure*>(m_figure);
}

void SvgTextElement::PaintOver(GdiGraphics& graphics) {
    SvgTextFigure* figure = GetTextFigure();
    const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
    const unsigned visible = 2; // keyword number of visibility="visible"
    if (!figure || !figure->HasOverlay() || (style && style->visibility.computed != visible))
        return;
    if (graphics.SkipsUnseen())
        figure->PrepareOnce(); // bands drawn on threads of their own
    figure->PaintOverlay(graphics, m_owner && m_owner->GetRenderContext().coverage > 0);
}

bool SvgTextElement::LoadFromXml(TiXmlElement* xml) {
    bool root = IsTextRoot();
    if (root) {
        SvgTrefElement::ResolveAll(xml, m_owner);
        SvgTextSpace::Normalize(xml);
    }
    ReadIdAndConditions(xml);
    ReadStyle(xml);
    ReadTransform(xml);
    ReadAttributes(xml);
    // Runs and glyphs are placed, and their paths built, once the whole text is read.
    if (root && !SvgTextLayout::LayOut(*this) && m_owner)
        m_owner->AddPendingText(this);
    return true;
}

void SvgTextElement::CopyFrom(const SvgElement* source) {
    SvgTextFigure* figure = new SvgTextFigure();
    figure->SetOwner(this);
    delete m_figure;
    m_figure = figure;
    const auto* text = dynamic_cast<const SvgTextElement*>(source);
    if (!text)
        return;
    // The run and the glyphs as the source laid them out, painted with this
    // copy's style. Glyphs are made by no registry, so they are copied here.
    figure->CopyFrom(text->m_figure);
    if (GetDepth() >= kMaxDepth)
        return;
    for (const SvgElement* child : text->m_children) {
        if (child->GetKind() != SvgKindPositionGlyph)
            continue;
        if (m_owner && !m_owner->TakeCopyBudget())
            return;
        SvgPositionGlyphElement* glyph = new SvgPositionGlyphElement();
        glyph->GetGlyphFigure()->CopyGlyph(
            *static_cast<const SvgPositionGlyphElement*>(child)->GetGlyphFigure());
        glyph->GetGlyphFigure()->BorrowStyle(figure->GetStyle());
        AddChild(glyph);
        glyph->SetId("");
    }
}

bool SvgTextElement::ReadAttributes(TiXmlElement* xml) {
    ReadPositionLists(xml);
    ReadStringAttribute(xml, "lengthAdjust", lengthAdjust);
    ReadResolvedLength(xml, "textLength", textLength);

    if (GetDepth() >= kMaxDepth)
        return true; // children would lie too deep
    size_t glyphs = 0;
    for (TiXmlNode* node = xml->FirstChild(); node; node = node->NextSibling()) {
        if (TiXmlText* text = node->ToText()) {
            if (text->Value())
                AddGlyphs(text->ValueStr(), glyphs);
        } else if (TiXmlElement* element = node->ToElement()) {
            AddElement(element);
        }
    }
    return true;
}

void SvgTextElement::ReadPositionLists(TiXmlElement* xml) {
    const char* names[] = {"x", "y", "dx", "dy"};
    std::vector<float>* lists[] = {&x, &y, &dx, &dy};
    SvgRect viewport;
    bool viewportKnown = false;
    for (int i = 0; i < 4; ++i) {
        const char* text = xml->Attribute(names[i]);
        if (!text)
            continue;
        // Lengths separated by white space or commas; the first that does not
        // read ends the list.
        std::string item;
        for (const char* p = text;; ++p) {
            if (*p && *p != ',' && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') {
                item += *p;
                continue;
            }
            if (!item.empty()) {
                SvgLength length;
                if (!ReadLength(length, item.c_str()) || length.inherit)
                    break;
                double value = length.computed;
                if (length.unit == SvgUnitEm || length.unit == SvgUnitEx) {
                    value = double(length.value) * GetFontSize();
                    if (length.unit == SvgUnitEx)
                        value /= 2;
                } else if (length.unit == SvgUnitPercent) {
                    if (!viewportKnown) {
                        viewport = GetViewportRect();
                        viewportKnown = true;
                    }
                    value =
                        length.value * (i % 2 == 0 ? viewport.getWidth() : viewport.getHeight());
                }
                if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
                    break;
                lists[i]->push_back(float(value));
                item.clear();
            }
            if (!*p)
                break;
        }
    }
    if (const char* text = xml->Attribute("rotate"))
        SvgScanner().readNumberList(rotate, SvgString(text));
}

void SvgTextElement::AddGlyphs(const std::string& text, size_t& glyphs) {
    for (size_t at = 0, next = 0; at < text.size(); at = next) {
        next = SvgTextBuffer::NextCharacter(text, at);
        // Glyphs also take from the document's element budget (which limits
        // use copies), and stop once a document's copies and glyphs reach
        // kMaxDocumentGlyphs: a glyph costs some 2 KB, one byte of the file.
        if (glyphs >= kMaxGlyphs)
            return;
        if (m_owner &&
            (m_owner->GetCopiesMade() >= kMaxDocumentGlyphs || !m_owner->TakeCopyBudget()))
            return;
        SvgPositionGlyphElement* glyph = new SvgPositionGlyphElement();
        SvgPositionGlyphFigure* figure = glyph->GetGlyphFigure();
        figure->text.assign(text, at, next - at);
        figure->BorrowStyle(m_figure->GetStyle());
        AddChild(glyph);
        glyph->SetId("");
        ++glyphs;
    }
}

void SvgTextElement::AddElement(TiXmlElement* xml) {
    // A link within text is a run of it.
    const char* tag = std::strcmp(xml->Value(), "a") == 0 ? "tspan" : xml->Value();
    SvgElement* child = ElementRegistry::Instance()->CreateElement(tag);
    if (!child)
        return;
    AddChild(child);
    child->LoadFromXml(xml);
    if (m_owner)
        m_owner->ClearId(child);
    else
        child->SetId("");
}
