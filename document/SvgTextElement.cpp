#include "document/SvgTextElement.h"

#include "document/ElementRegistry.h"
#include "document/SvgPositionGlyphElement.h"
#include "document/SvgTextSpace.h"
#include "engine/SvgEngine.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextBuffer.h"
#include "render/SvgTextFigure.h"
#include "syntax/SvgScanner.h"

#include <tinyxml.h>

#include <cmath>
#include <unordered_map>

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

bool SvgTextElement::LoadFromXml(TiXmlElement* xml) {
    if (IsTextRoot())
        SvgTextSpace::Normalize(xml);
    if (const char* id = xml->Attribute("id"))
        m_id = id;
    ReadStyle(xml);
    ReadTransform(xml);
    ReadAttributes(xml);
    BuildGeometry();
    return true;
}

void SvgTextElement::CopyFrom(const SvgElement*) {
    SvgTextFigure* figure = new SvgTextFigure();
    figure->SetOwner(this);
    delete m_figure;
    m_figure = figure;
}

bool SvgTextElement::ReadAttributes(TiXmlElement* xml) {
    SvgScanner scanner;
    const char* names[] = {"x", "y", "dx", "dy", "rotate"};
    std::vector<float>* lists[] = {&x, &y, &dx, &dy, &rotate};
    for (int i = 0; i < 5; ++i) {
        if (const char* text = xml->Attribute(names[i]))
            scanner.readNumberList(*lists[i], SvgString(text));
    }
    ReadStringAttribute(xml, "lengthAdjust", lengthAdjust);
    ReadResolvedLength(xml, "textLength", textLength);

    if (GetDepth() >= kMaxDepth)
        return true; // children would lie too deep
    std::vector<SvgPositionGlyphElement*> glyphs;
    for (TiXmlNode* node = xml->FirstChild(); node; node = node->NextSibling()) {
        if (TiXmlText* text = node->ToText()) {
            if (text->Value())
                AddGlyphs(text->Value(), glyphs);
        } else if (TiXmlElement* element = node->ToElement()) {
            AddElement(element);
        }
    }
    LayOutGlyphs(glyphs);
    return true;
}

void SvgTextElement::AddGlyphs(const std::string& text,
                               std::vector<SvgPositionGlyphElement*>& glyphs) {
    for (size_t at = 0, next = 0; at < text.size(); at = next) {
        next = SvgTextBuffer::NextCharacter(text, at);
        // Glyphs also take from the document's element budget (which limits
        // use copies), and stop once a document's copies and glyphs reach
        // kMaxDocumentGlyphs: a glyph costs some 2 KB, one byte of the file.
        if (glyphs.size() >= kMaxGlyphs)
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
        glyphs.push_back(glyph);
    }
}

void SvgTextElement::AddElement(TiXmlElement* xml) {
    SvgElement* child = ElementRegistry::Instance()->CreateElement(xml->Value());
    if (!child)
        return;
    AddChild(child);
    child->LoadFromXml(xml);
    child->SetId("");
}

void SvgTextElement::LayOutGlyphs(const std::vector<SvgPositionGlyphElement*>& glyphs) {
    if (glyphs.empty())
        return;
    // Pen positions: absolute where a list gives one, else after the previous
    // glyph's advance. Every absolute x starts a new chunk, which the
    // text-anchor aligns as a whole.
    std::vector<float> lefts(glyphs.size()), advances(glyphs.size());
    StringAlignment align = glyphs[0]->GetGlyphFigure()->Alignment();
    // Every glyph has the same font: each character is measured once.
    std::unordered_map<uint32_t, float> measured;
    float penX = 0.0f, penY = 0.0f;
    size_t chunkStart = 0;
    float chunkX = 0.0f;
    auto alignChunk = [&](size_t end, float endX) {
        float width = endX - chunkX;
        float shift = align == StringAlignmentCenter ? -width / 2
                      : align == StringAlignmentFar  ? -width
                                                     : 0.0f;
        for (size_t k = chunkStart; k < end; ++k)
            lefts[k] += shift;
    };
    for (size_t i = 0; i < glyphs.size(); ++i) {
        SvgPositionGlyphFigure* figure = glyphs[i]->GetGlyphFigure();
        if (i < x.size()) {
            if (i > 0)
                alignChunk(i, penX);
            chunkStart = i;
            chunkX = penX = x[i];
        }
        if (i < y.size())
            penY = y[i];
        if (i < dx.size())
            penX += dx[i];
        if (i < dy.size())
            penY += dy[i];
        lefts[i] = penX;
        figure->y = penY;
        uint32_t key = 0; // the character's bytes, at most four
        for (unsigned char byte : figure->text)
            key = key << 8 | byte;
        auto found = measured.find(key);
        if (found == measured.end())
            found = measured.emplace(key, figure->Advance()).first;
        advances[i] = found->second;
        penX += advances[i];
    }
    alignChunk(glyphs.size(), penX);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        SvgPositionGlyphFigure* figure = glyphs[i]->GetGlyphFigure();
        figure->x = figure->AnchorFor(lefts[i], advances[i]);
        figure->BuildPath();
    }
}
