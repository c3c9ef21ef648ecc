#include "document/SvgTextLayout.h"

#include "document/SvgPathWalk.h"
#include "document/SvgTextElement.h"
#include "document/SvgTextPathElement.h"
#include "render/SvgFontBuilder.h"
#include "render/SvgFontRun.h"
#include "render/SvgGlyphSet.h"
#include "render/SvgPositionGlyphFigure.h"
#include "render/SvgTextBuffer.h"
#include "render/SvgTextFigure.h"
#include "style/SvgStyle.h"
#include "style/SvgTextKeywords.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Gdiplus;

namespace {

// Positions and scales beyond these draw nothing: such glyphs lie far outside
// any picture, and their outlines would not be exact in floats.
const double kMaxCoordinate = 1e8;
const double kMaxScale = 1e4;
const double kPi = 3.14159265358979323846;
// Marks in a row shaped with the character they go on, at most.
const size_t kMaxMarks = 32;

char32_t DecodeUtf8(const std::string& text, size_t at, size_t next) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = next - at;
    if (length == 1)
        return lead < 0x80 ? char32_t(lead) : char32_t(0xFFFD);
    char32_t code = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        code = code << 6 | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    bool overlong = (length == 2 && code < 0x80) || (length == 3 && code < 0x800) ||
                    (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        return 0xFFFD;
    return code;
}

// Characters that word-spacing widens.
bool IsWordSeparator(char32_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x1361 || c == 0x10100 || c == 0x10101 || c == 0x1039F ||
           c == 0x1091F;
}

bool Rtl(const SvgStyle* style) {
    return style && style->direction.computed == unsigned(SvgDirection::Rtl);
}

double Spacing(const SvgLengthOrNormal& spacing) {
    return spacing.normal || !std::isfinite(spacing.computed) ? 0.0 : spacing.computed;
}

bool Finite(double v) {
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

} // namespace

SvgTextLayout::SvgTextLayout(SvgTextElement& text) : root(text) {}

SvgTextLayout::~SvgTextLayout() = default;

bool SvgTextLayout::LayOut(SvgTextElement& root) {
    SvgTextLayout layout(root);
    const SvgStyle* style = root.GetFigure() ? root.GetFigure()->GetStyle() : nullptr;
    uint32_t context = 0;
    if (style && style->unicodeBidi.computed == unsigned(SvgUnicodeBidi::BidiOverride))
        context = layout.bidi.AddContext(0, SvgUnicodeBidi::BidiOverride, Rtl(style));
    if (style)
        layout.vertical = style->writingMode.computed == unsigned(SvgWritingMode::TbRl) ||
                          style->writingMode.computed == unsigned(SvgWritingMode::TbLr);
    // A textPath lays out only inside a text.
    if (dynamic_cast<SvgTextPathElement*>(&root))
        return true;
    layout.Walk(root, context, 0);
    layout.SplitChunks();
    for (Chunk& chunk : layout.chunks) {
        layout.Shape(chunk);
        layout.Space(chunk);
    }
    layout.FitLengths();
    for (Chunk& chunk : layout.chunks) {
        if (layout.vertical && layout.chars[chunk.first].path == 0)
            layout.PositionVertical(chunk);
        else
            layout.Position(chunk);
    }
    layout.Emit();
    return !layout.waiting;
}

SvgFontRun* SvgTextLayout::FontFor(const SvgStyle* style) {
    SvgFontRequest request = style ? SvgFontBuilder::Request(*style) : SvgFontRequest();
    // Decorations are drawn by the elements that set them, not by the font:
    // a decorated tspan is shaped with the text around it.
    request.style &= ~(FontStyleUnderline | FontStyleStrikeout);
    std::string key = request.family;
    key.append(reinterpret_cast<const char*>(&request.size), sizeof request.size);
    key.append(reinterpret_cast<const char*>(&request.style), sizeof request.style);
    // The face's traits, variations and small capitals.
    auto add = [&key](const auto& value) {
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    add(request.weight);
    add(request.stretch);
    add(request.slant);
    add(request.smallCaps);
    for (size_t i = 0; i < request.variationTags.size() && i < request.variationValues.size();
         ++i) {
        add(request.variationTags[i]);
        add(request.variationValues[i]);
    }
    auto found = fonts.find(key);
    if (found != fonts.end())
        return found->second.get();
    GdiFont* font = SvgFontBuilder::BuildFont(request);
    auto made = std::make_unique<SvgFontRun>(font, request);
    delete font;
    return fonts.emplace(key, std::move(made)).first->second.get();
}

size_t SvgTextLayout::AddSource(SvgFigure* figure, SvgGlyphSet* glyphs, const SvgStyle* style) {
    glyphs->Clear();
    int flags = 0;
    // text-rendering leaves kerning on, as browsers draw it.
    if (style && style->fontKerning.computed == unsigned(SvgFontKerning::None))
        flags |= KelShapeNoKerning;
    if (style && Spacing(style->letterSpacing) != 0)
        flags |= KelShapeNoLigatures; // spaced letters are not joined
    sources.push_back({figure, glyphs, style, FontFor(style), flags, currentShift});
    return sources.size() - 1;
}

bool SvgTextLayout::Find(std::vector<ListScope>& scopes, size_t index, float& value) {
    // The innermost list that reaches the character; a list that falls short
    // of it falls short of every later one too and goes.
    for (size_t k = scopes.size(); k-- > 0;) {
        const ListScope& scope = scopes[k];
        size_t at = index - scope.start;
        if (at < scope.values->size()) {
            value = (*scope.values)[at];
            return true;
        }
        scopes.erase(scopes.begin() + long(k));
    }
    return false;
}

void SvgTextLayout::PopScope(std::vector<ListScope>& scopes, const SvgTextElement* owner) {
    if (!scopes.empty() && scopes.back().owner == owner)
        scopes.pop_back();
}

void SvgTextLayout::Walk(SvgTextElement& element, uint32_t context, double shift) {
    size_t first = chars.size();
    uint32_t outerPath = currentPath;
    if (&element != &root) {
        shift += ShiftOf(element);
        if (auto* textPath = dynamic_cast<SvgTextPathElement*>(&element)) {
            // A textPath inside another draws nothing: SVG has no path on a path.
            PathScope scope{currentPath ? nullptr : textPath->GetWalk(), 0, textPath->rightSide};
            if (scope.walk)
                scope.offset = textPath->StartOffset(scope.walk->Length());
            else if (!currentPath && textPath->WaitsForPath())
                waiting = true;
            paths.push_back(std::move(scope));
            currentPath = uint32_t(paths.size());
        }
    }
    currentShift = shift;
    std::vector<float>* given[4] = {&element.x, &element.y, &element.dx, &element.dy};
    for (int k = 0; k < 4; ++k) {
        if (!given[k]->empty())
            lists[k].push_back({given[k], first, &element});
    }
    if (!element.rotate.empty())
        rotates.push_back({&element.rotate, first, &element});
    SvgFigure* figure = element.GetFigure();
    const SvgStyle* style = figure ? figure->GetStyle() : nullptr;
    if (&element != &root && style)
        context = bidi.AddContext(context, SvgUnicodeBidi(style->unicodeBidi.computed), Rtl(style));

    stretchSource = -1;
    if (SvgTextFigure* run = element.GetTextFigure()) {
        figures.push_back(run);
        size_t source = AddSource(run, &run->glyphs, style);
        AddText(run->text, source, context, SvgTextFigure::kMaxCharacters, nullptr);
    }
    for (SvgElement* child : element.GetChildren()) {
        if (child->GetKind() == SvgKindPositionGlyph) {
            auto* glyph = static_cast<SvgPositionGlyphFigure*>(child->GetFigure());
            figures.push_back(glyph);
            if (stretchSource < 0)
                stretchSource = long(AddSource(glyph, &glyph->glyphs, glyph->GetStyle()));
            else
                glyph->glyphs.Clear();
            AddText(glyph->text, size_t(stretchSource), context, 1, glyph);
        } else if (child->GetKind() == SvgKindTspan) {
            Walk(static_cast<SvgTextElement&>(*child), context, shift);
            currentShift = shift;
            stretchSource = -1;
        }
    }
    for (auto& scopes : lists)
        PopScope(scopes, &element);
    PopScope(rotates, &element);
    spans.push_back({&element, first, chars.size()});
    currentPath = outerPath;
}

double SvgTextLayout::ShiftOf(SvgTextElement& element) {
    SvgFigure* figure = element.GetFigure();
    const SvgStyle* style = figure ? figure->GetStyle() : nullptr;
    if (!style || !style->baselineShift.set)
        return 0;
    double size = style->fontSize.computed;
    const SvgLength& length = style->baselineShiftLength;
    double up = 0;
    switch (SvgBaselineShift(style->baselineShift.computed)) {
    case SvgBaselineShift::Sub:
    case SvgBaselineShift::Super: {
        Source probe{nullptr, nullptr, style, FontFor(style), 0, 0};
        const KelFontBaselines& b = Baselines(probe);
        up = style->baselineShift.computed == unsigned(SvgBaselineShift::Sub) ? -b.subscript
                                                                              : b.superscript;
        break;
    }
    case SvgBaselineShift::Length:
        // Percentages are of the line height, which is the font size here.
        if (length.unit == SvgUnitPercent || length.unit == SvgUnitEm)
            up = length.value * size;
        else if (length.unit == SvgUnitEx)
            up = length.value * size / 2;
        else
            up = length.computed;
        break;
    default:
        break;
    }
    return std::isfinite(up) && std::fabs(up) <= kMaxCoordinate ? -up : 0.0;
}

const KelFontBaselines& SvgTextLayout::Baselines(Source& source) {
    if (!source.known) {
        source.known = true;
        const uint32_t x = 'x';
        std::shared_ptr<GdiGlyphRun> run = source.font->Shape(&x, 1, 0, 1, 0);
        if (!run || KelGetGlyphRunBaselines(run->Get(), &source.baselines) != Ok) {
            // No face: the usual proportions of the em.
            double em = source.font->Size();
            source.baselines = {REAL(0.8 * em),  REAL(-0.2 * em), REAL(0.5 * em),
                                REAL(0.8 * em),  REAL(0.5 * em),  REAL(-0.2 * em),
                                REAL(0.34 * em), REAL(0.14 * em), REAL(em)};
        }
    }
    return source.baselines;
}

double SvgTextLayout::BaselineOffset(Source& source) {
    const SvgStyle* style = source.style;
    if (!style)
        return source.shift;
    // The element's own alignment-baseline, else the dominant baseline.
    unsigned which = style->alignmentBaseline.computed;
    if (which == unsigned(SvgBaseline::Auto))
        which = style->dominantBaseline.computed;
    if (which == unsigned(SvgBaseline::Auto) || which == unsigned(SvgBaseline::Alphabetic))
        return source.shift;
    const KelFontBaselines& b = Baselines(source);
    double up = 0;
    switch (SvgBaseline(which)) {
    case SvgBaseline::Middle:
        up = b.xHeight / 2;
        break;
    case SvgBaseline::Central:
        up = (b.ascent + b.descent) / 2;
        break;
    case SvgBaseline::Hanging:
        up = b.hanging;
        break;
    case SvgBaseline::Mathematical:
        up = b.mathematical;
        break;
    case SvgBaseline::Ideographic:
        up = b.ideographic;
        break;
    case SvgBaseline::TextBeforeEdge:
    case SvgBaseline::TextTop:
        up = b.ascent;
        break;
    case SvgBaseline::TextAfterEdge:
    case SvgBaseline::TextBottom:
        up = b.descent;
        break;
    default:
        break;
    }
    return source.shift + up;
}

void SvgTextLayout::AddText(const std::string& text, size_t source, uint32_t context, size_t limit,
                            SvgPositionGlyphFigure* glyphFigure) {
    size_t count = 0;
    for (size_t at = 0, next = 0; at < text.size() && count < limit; at = next, ++count) {
        next = SvgTextBuffer::NextCharacter(text, at);
        char32_t code = DecodeUtf8(text, at, next);
        if (code == 0)
            break; // text holding a NUL ends there
        AddCharacter(code, source, context, glyphFigure);
    }
}

void SvgTextLayout::AddCharacter(char32_t code, size_t source, uint32_t context,
                                 SvgPositionGlyphFigure* glyphFigure) {
    if (chars.size() >= kMaxCharacters)
        return;
    SvgTextCharacter c;
    // Control characters draw as spaces.
    c.code = code < 0x20 || (code >= 0x7F && code < 0xA0) ? char32_t(' ') : code;
    c.source = uint32_t(source);
    c.context = context;
    c.glyphFigure = glyphFigure;
    c.path = currentPath;
    size_t index = chars.size();
    float* values[4] = {&c.x, &c.y, &c.dx, &c.dy};
    const uint8_t flags[4] = {SvgTextCharacter::HasX, SvgTextCharacter::HasY,
                              SvgTextCharacter::HasDx, SvgTextCharacter::HasDy};
    for (int k = 0; k < 4; ++k) {
        if (Find(lists[k], index, *values[k]) && std::isfinite(*values[k]))
            c.given |= flags[k];
    }
    if (!c.Has(SvgTextCharacter::HasDx))
        c.dx = 0;
    if (!c.Has(SvgTextCharacter::HasDy))
        c.dy = 0;
    // The innermost rotate list applies; its last value repeats.
    if (!rotates.empty()) {
        const ListScope& scope = rotates.back();
        size_t at = std::min(index - scope.start, scope.values->size() - 1);
        float angle = (*scope.values)[at];
        if (std::isfinite(angle)) {
            c.rotate = std::fmod(angle, 360.0f);
            c.given |= SvgTextCharacter::HasRotate;
        }
    }
    chars.push_back(c);
}

void SvgTextLayout::SplitChunks() {
    for (size_t i = 0; i < chars.size(); ++i) {
        // A textPath's text is a chunk of its own, and so is what follows it.
        if (i == 0 || chars[i].Has(SvgTextCharacter::HasX) ||
            chars[i].Has(SvgTextCharacter::HasY) || chars[i].path != chars[i - 1].path)
            chunks.push_back({i, i, {}});
        chunks.back().end = i + 1;
        chars[i].chunk = uint32_t(chunks.size() - 1);
    }
}

void SvgTextLayout::Shape(Chunk& chunk) {
    size_t count = chunk.end - chunk.first;
    std::vector<uint32_t> codes(count), contexts(count);
    std::vector<uint8_t> levels(count, 0);
    for (size_t i = 0; i < count; ++i) {
        codes[i] = chars[chunk.first + i].code;
        contexts[i] = chars[chunk.first + i].context;
    }
    // The paragraph's direction: the text element's; plaintext finds it.
    const SvgStyle* rootStyle = root.GetFigure() ? root.GetFigure()->GetStyle() : nullptr;
    bool automatic =
        rootStyle && rootStyle->unicodeBidi.computed == unsigned(SvgUnicodeBidi::Plaintext);
    bidi.Levels(reinterpret_cast<const char32_t*>(codes.data()), contexts.data(), count,
                Rtl(rootStyle), automatic, levels.data());
    // Runs of one font, one way of shaping and one level, in logical order:
    // kerning and ligatures go on across tspans that only change the paint.
    // A long stretch of marks is cut into pieces: no real text stacks more
    // than a few on one letter, and shaping a great many at once is slow.
    auto same = [&](size_t a, size_t b) {
        const Source& x = sources[chars[chunk.first + a].source];
        const Source& y = sources[chars[chunk.first + b].source];
        return x.font == y.font && x.flags == y.flags && levels[a] == levels[b];
    };
    for (size_t i = 0; i < count;) {
        size_t end = i + 1, marks = 0;
        while (end < count && same(i, end)) {
            marks = SvgTextBidi::IsMark(codes[end]) ? marks + 1 : 0;
            if (marks > kMaxMarks)
                break;
            ++end;
        }
        for (size_t k = i; k < end; ++k)
            chars[chunk.first + k].level = levels[i];
        ShapeItem({chunk.first + i, chunk.first + end, levels[i], nullptr, {}}, codes, chunk.first,
                  chunk.items, true);
        i = end;
    }
}

void SvgTextLayout::ShapeItem(Item item, const std::vector<uint32_t>& codes, size_t chunkFirst,
                              std::vector<Item>& out, bool mayBreak) {
    const Source& source = sources[chars[item.first].source];
    INT flags = source.flags | (item.level & 1 ? KelShapeRightToLeft : 0);
    item.run = source.font->Shape(codes.data(), codes.size(), item.first - chunkFirst,
                                  item.end - chunkFirst, flags);
    INT count = 0;
    std::vector<KelShapedGlyph> glyphs;
    if (item.run && KelGetGlyphRunCount(item.run->Get(), &count) == Ok && count > 0) {
        glyphs.resize(size_t(count));
        if (KelGetGlyphRunGlyphs(item.run->Get(), glyphs.data(), count) != Ok)
            glyphs.clear();
    }
    for (size_t i = item.first; i < item.end; ++i)
        chars[i].clusterStart = false;
    for (const KelShapedGlyph& glyph : glyphs) {
        size_t c = chunkFirst + glyph.cluster;
        if (c >= item.first && c < item.end)
            chars[c].clusterStart = true;
    }
    // Characters taken into a ligature (or a base's cluster) that have a
    // position or rotation of their own: the run is shaped again in parts
    // that start at each of them, once.
    std::vector<size_t> breaks;
    for (size_t i = item.first, start = item.first; mayBreak && i < item.end; ++i) {
        const SvgTextCharacter& c = chars[i];
        if (c.clusterStart) {
            start = i;
            continue;
        }
        if ((c.Has(SvgTextCharacter::HasDx) && c.dx != 0) ||
            (c.Has(SvgTextCharacter::HasDy) && c.dy != 0) || c.rotate != chars[start].rotate)
            breaks.push_back(i);
    }
    if (!breaks.empty()) {
        breaks.push_back(item.end);
        size_t from = item.first;
        for (size_t to : breaks) {
            ShapeItem({from, to, item.level, nullptr, {}}, codes, chunkFirst, out, false);
            from = to;
        }
        return;
    }
    for (size_t i = item.first; i < item.end; ++i)
        chars[i].advance = 0;
    // Each glyph relative to the origin of its character's cluster.
    double pen = 0, origin = 0;
    size_t cluster = SIZE_MAX;
    item.glyphs.reserve(glyphs.size());
    for (size_t g = 0; g < glyphs.size(); ++g) {
        size_t c = chunkFirst + glyphs[g].cluster;
        if (c < item.first || c >= item.end) {
            pen += glyphs[g].advance;
            continue;
        }
        if (c != cluster) {
            cluster = c;
            origin = pen;
        }
        item.glyphs.push_back(
            {int(g), c, float(pen - origin + glyphs[g].offsetX), glyphs[g].offsetY});
        chars[c].advance += glyphs[g].advance;
        pen += glyphs[g].advance;
    }
    out.push_back(std::move(item));
}

void SvgTextLayout::Space(Chunk& chunk) {
    for (size_t i = chunk.first; i < chunk.end; ++i) {
        SvgTextCharacter& c = chars[i];
        if (!c.clusterStart)
            continue;
        const SvgStyle* style = sources[c.source].style;
        if (!style)
            continue;
        c.spacing = Spacing(style->letterSpacing);
        if (IsWordSeparator(c.code))
            c.spacing += Spacing(style->wordSpacing);
        c.advance += c.spacing;
    }
}

void SvgTextLayout::FitLengths() {
    for (const Span& span : spans) {
        double length = span.element->textLength;
        if (!(length > 0) || !std::isfinite(length) || span.first >= span.end)
            continue;
        bool glyphs = span.element->lengthAdjust == "spacingAndGlyphs";
        double advances = 0, others = 0; // what scales, and what does not
        size_t starts = 0, last = span.first;
        for (size_t i = span.first; i < span.end; ++i) {
            const SvgTextCharacter& c = chars[i];
            if (i > span.first)
                others += c.dx;
            if (!c.clusterStart)
                continue;
            advances += c.advance;
            others += c.extra;
            ++starts;
            last = i;
        }
        if (glyphs) {
            double scale = (length - others) / advances;
            if (!(advances > 0) || !std::isfinite(scale))
                continue;
            scale = std::clamp(scale, 0.0, kMaxScale);
            for (size_t i = span.first; i < span.end; ++i) {
                chars[i].scaleX = float(chars[i].scaleX * scale);
                chars[i].advance *= scale;
            }
        } else if (starts > 1) {
            // The difference spread over the gaps between its characters.
            double gap = (length - advances - others) / double(starts - 1);
            if (!std::isfinite(gap))
                continue;
            for (size_t i = span.first; i < last; ++i) {
                if (chars[i].clusterStart)
                    chars[i].extra += gap;
            }
        }
    }
}

void SvgTextLayout::Position(Chunk& chunk) {
    const SvgTextCharacter& head = chars[chunk.first];
    double startX = head.Has(SvgTextCharacter::HasX) ? head.x : penX;
    double startY = head.Has(SvgTextCharacter::HasY) ? head.y : penY;
    const PathScope* path = head.path ? &paths[head.path - 1] : nullptr;
    if (path) {
        // Along the path from its start offset, or on from the last chunk on
        // it; across it from the path.
        if (head.Has(SvgTextCharacter::HasX))
            startX = head.x + path->offset;
        else
            startX = alongPath == head.path ? alongPen : path->offset;
        startY = 0;
    }
    // Items left to right.
    std::vector<uint8_t> levels;
    for (const Item& item : chunk.items)
        levels.push_back(item.level);
    std::vector<size_t> order;
    SvgTextBidi::Reorder(levels, order);
    std::vector<double> left(chunk.end - chunk.first, 0.0);
    double pen = 0, trailing = 0;
    for (size_t k : order) {
        const Item& item = chunk.items[k];
        size_t cluster = SIZE_MAX;
        for (const GlyphRef& glyph : item.glyphs) {
            if (glyph.character == cluster)
                continue;
            cluster = glyph.character;
            left[cluster - chunk.first] = pen;
            pen += chars[cluster].advance + chars[cluster].extra;
            trailing = chars[cluster].spacing * chars[cluster].scaleX;
        }
    }
    // dx and dy move a character and all after it, in logical order.
    double shiftX = 0, shiftY = 0;
    size_t start = chunk.first;
    for (size_t i = chunk.first; i < chunk.end; ++i) {
        SvgTextCharacter& c = chars[i];
        shiftX += c.dx;
        shiftY += c.dy;
        if (c.clusterStart)
            start = i;
        c.posX = startX + left[start - chunk.first] + shiftX;
        c.posY = startY + shiftY + BaselineOffset(sources[c.source]);
        c.angle = chars[start].rotate;
    }
    double width = pen + shiftX;
    penX = startX + width;
    penY = startY + shiftY;
    // The chunk is aligned without the spacing after its last character, by
    // the anchor of its first character and the text's direction.
    const SvgStyle* style = sources[head.source].style;
    unsigned anchor = style ? style->textAnchor.computed : 0;
    bool rtl = Rtl(root.GetFigure() ? root.GetFigure()->GetStyle() : nullptr);
    double aligned = width - trailing, shift = 0;
    if (anchor == unsigned(SvgTextAnchor::Middle))
        shift = -aligned / 2;
    else if ((anchor == unsigned(SvgTextAnchor::End)) != rtl)
        shift = -aligned;
    for (size_t i = chunk.first; i < chunk.end; ++i)
        chars[i].posX += shift;
    if (path) {
        alongPath = head.path;
        alongPen = startX + width + shift;
        PlaceOnPath(chunk);
    }
}

void SvgTextLayout::PlaceOnPath(Chunk& chunk) {
    const PathScope& path = paths[chars[chunk.first].path - 1];
    double end = 0; // how far along the text reached
    bool any = false;
    for (size_t i = chunk.first; i < chunk.end; ++i) {
        SvgTextCharacter& c = chars[i];
        c.hidden = true;
        if (!path.walk || !c.clusterStart)
            continue;
        // The glyph's midpoint goes on the path, turned to its direction
        // there; a glyph whose midpoint is off the path is not drawn.
        double half = (c.advance - c.spacing * c.scaleX) / 2;
        if (!std::isfinite(half))
            continue;
        double x = 0, y = 0, angle = 0;
        double middle = c.posX + half;
        if (!path.walk->At(middle, x, y, angle, path.backwards))
            continue;
        double cs = std::cos(angle), sn = std::sin(angle), across = c.posY;
        c.posX = x - half * cs - across * sn;
        c.posY = y - half * sn + across * cs;
        c.angle = float(std::fmod(c.angle + angle * 180.0 / kPi, 360.0));
        c.hidden = false;
        end = std::max(end, middle + half + c.extra);
        any = true;
    }
    // The pieces of a cluster follow its first character.
    for (size_t i = chunk.first, start = chunk.first; i < chunk.end; ++i) {
        if (chars[i].clusterStart) {
            start = i;
            continue;
        }
        chars[i].posX = chars[start].posX;
        chars[i].posY = chars[start].posY;
        chars[i].angle = chars[start].angle;
        chars[i].hidden = chars[start].hidden;
    }
    // Text after the path goes on from where the path's text ended.
    double x = 0, y = 0, angle = 0;
    if (path.walk && path.walk->At(std::clamp(any ? end : path.offset, 0.0, path.walk->Length()), x,
                                   y, angle, path.backwards)) {
        penX = x;
        penY = y;
    }
}

void SvgTextLayout::PositionVertical(Chunk& chunk) {
    const SvgTextCharacter& head = chars[chunk.first];
    // The line runs down through x (its central baseline) from y.
    double lineX = head.Has(SvgTextCharacter::HasX) ? head.x : penX;
    double startY = head.Has(SvgTextCharacter::HasY) ? head.y : penY;
    double pen = 0, trailing = 0, shiftX = 0, shiftY = 0;
    size_t start = chunk.first;
    // The first glyph of each character, for its vertical metrics.
    std::vector<std::pair<const GdiGlyphRun*, int>> first(chunk.end - chunk.first, {nullptr, 0});
    for (const Item& item : chunk.items) {
        for (const GlyphRef& glyph : item.glyphs) {
            auto& slot = first[glyph.character - chunk.first];
            if (!slot.first)
                slot = {item.run.get(), glyph.index};
        }
    }
    for (size_t i = chunk.first; i < chunk.end; ++i) {
        SvgTextCharacter& c = chars[i];
        // dy moves along the line, dx across it.
        shiftX += c.dx;
        shiftY += c.dy;
        Source& source = sources[c.source];
        const KelFontBaselines& b = Baselines(source);
        if (c.clusterStart) {
            start = i;
            unsigned orientation = source.style ? source.style->glyphOrientation.computed : 0;
            c.upright = orientation == unsigned(SvgGlyphOrientation::Upright) ||
                        (orientation == unsigned(SvgGlyphOrientation::Auto) &&
                         SvgTextBidi::IsUpright(c.code));
            double along = c.upright ? (b.verticalAdvance + c.spacing) * c.scaleX : c.advance;
            double centre = (b.ascent + b.descent) / 2;
            const auto& glyph = first[i - chunk.first];
            REAL originX = 0, originY = 0, advance = 0;
            if (c.upright && glyph.first &&
                KelGetGlyphRunVertical(glyph.first->Get(), glyph.second, &originX, &originY,
                                       &advance) == Ok &&
                Finite(originX) && Finite(originY) && advance > 0 && Finite(advance)) {
                // Its vertical origin on the line at the pen, as the font's
                // vertical metrics place it.
                c.posX = lineX + shiftX - originX;
                c.posY = startY + pen + shiftY + originY;
                c.angle = c.rotate;
                along = (advance + c.spacing) * c.scaleX;
            } else if (c.upright) {
                // Centred on the line, its em box from the pen down.
                double width = c.advance - c.spacing * c.scaleX;
                c.posX = lineX + shiftX - width / 2;
                c.posY = startY + pen + shiftY + centre + b.verticalAdvance / 2;
                c.angle = c.rotate;
            } else {
                // Turned a quarter clockwise, its central baseline on the line.
                c.posX = lineX + shiftX - centre;
                c.posY = startY + pen + shiftY;
                c.angle = float(std::fmod(90.0f + c.rotate, 360.0f));
            }
            pen += along + c.extra;
            trailing = c.spacing * c.scaleX;
        } else {
            c.posX = chars[start].posX;
            c.posY = chars[start].posY;
            c.angle = chars[start].angle;
            c.upright = chars[start].upright;
        }
    }
    double length = pen + shiftY;
    penX = lineX + shiftX;
    penY = startY + length;
    const SvgStyle* style = sources[head.source].style;
    unsigned anchor = style ? style->textAnchor.computed : 0;
    double aligned = length - trailing, shift = 0;
    if (anchor == unsigned(SvgTextAnchor::Middle))
        shift = -aligned / 2;
    else if (anchor == unsigned(SvgTextAnchor::End))
        shift = -aligned;
    for (size_t i = chunk.first; i < chunk.end; ++i)
        chars[i].posY += shift;
    penY += shift;
}

void SvgTextLayout::Emit() {
    for (const Chunk& chunk : chunks) {
        for (const Item& item : chunk.items) {
            for (const GlyphRef& glyph : item.glyphs) {
                const SvgTextCharacter& c = chars[glyph.character];
                double size = sources[c.source].font->Size();
                if (c.hidden || !Finite(c.posX) || !Finite(c.posY) || !(c.scaleX <= kMaxScale) ||
                    !Finite(size * std::max(1.0f, c.scaleX)))
                    continue;
                double radians = c.angle * kPi / 180.0;
                double cs = std::cos(radians), sn = std::sin(radians);
                double sx = c.scaleX;
                KelGlyphPlacement place;
                place.index = glyph.index;
                place.matrix[0] = REAL(cs * sx);
                place.matrix[1] = REAL(sn * sx);
                place.matrix[2] = REAL(-sn);
                place.matrix[3] = REAL(cs);
                place.matrix[4] = REAL(c.posX + cs * sx * glyph.relX - sn * glyph.relY);
                place.matrix[5] = REAL(c.posY + sn * sx * glyph.relX + cs * glyph.relY);
                sources[c.source].glyphs->Add(item.run, place);
            }
        }
    }
    Decorate();
    // Where each glyph figure's character and each run's first one went.
    std::vector<bool> placed(sources.size(), false);
    for (const SvgTextCharacter& c : chars) {
        if (c.glyphFigure) {
            c.glyphFigure->x = float(c.posX);
            c.glyphFigure->y = float(c.posY);
        } else if (!placed[c.source]) {
            placed[c.source] = true;
            if (auto* run = dynamic_cast<SvgTextFigure*>(sources[c.source].figure)) {
                run->x = float(c.posX);
                run->y = float(c.posY);
            }
        }
    }
    for (SvgFigure* figure : figures)
        figure->BuildPath();
}

void SvgTextLayout::Decorate() {
    // Each element that sets decorations draws them across all its text, its
    // tspans' too, with its own paint and the metrics of its own font: a bar
    // for each stretch of characters placed one after the other on a line.
    // Vertical lines are not decorated.
    if (vertical)
        return;
    for (const Span& span : spans) {
        SvgTextFigure* figure = span.element->GetTextFigure();
        const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
        if (!style || !style->textDecoration.set || span.first >= span.end)
            continue;
        const SvgTextDecoration& lines = style->textDecoration;
        KelFontMetrics m;
        if (!(lines.underline || lines.overline || lines.lineThrough) ||
            !FontFor(style)->Metrics(m))
            continue;
        double under = m.underlineThickness;
        if (lines.underline)
            DecorateSpan(span, m.underlinePosition - under / 2, under, figure->glyphs, false);
        if (lines.overline)
            DecorateSpan(span, -m.ascent, under, figure->glyphs, false);
        if (lines.lineThrough)
            DecorateSpan(span, m.strikeoutPosition, m.strikeoutThickness, figure->glyphs, true);
    }
}

void SvgTextLayout::DecorateSpan(const Span& span, double top, double thickness,
                                 SvgGlyphSet& glyphs, bool over) {
    if (!(thickness > 0) || !Finite(top) || !Finite(thickness))
        return;
    bool open = false;
    double x0 = 0, x1 = 0, y = 0, angle = 0, origin = 0;
    auto flush = [&] {
        if (!open || !(x1 > x0) || !Finite(x0) || !Finite(x1) || !Finite(y))
            return;
        // The bar in the frame of its first character, turned with it.
        double radians = angle * kPi / 180.0;
        double cs = std::cos(radians), sn = std::sin(radians);
        auto at = [&](double u, double v) {
            return PointF(REAL(origin + cs * (u - origin) - sn * v),
                          REAL(y + sn * (u - origin) + cs * v));
        };
        PointF corners[4] = {at(x0, top), at(x1, top), at(x1, top + thickness),
                             at(x0, top + thickness)};
        glyphs.AddBar(corners, over);
    };
    for (size_t i = span.first; i < span.end; ++i) {
        const SvgTextCharacter& c = chars[i];
        if (!c.clusterStart)
            continue;
        if (c.hidden) { // off the end of its path
            flush();
            open = false;
            continue;
        }
        double width = c.advance + c.extra;
        double from = std::min(c.posX, c.posX + width), to = std::max(c.posX, c.posX + width);
        // Right to left, the next character lies to the left.
        if (open && angle == 0 && c.angle == 0 && c.posY == y) {
            if (std::fabs(from - x1) < 1e-3) {
                x1 = to;
                continue;
            }
            if (std::fabs(to - x0) < 1e-3) {
                x0 = from;
                continue;
            }
        }
        flush();
        open = true;
        x0 = from;
        x1 = to;
        y = c.posY;
        angle = c.angle;
        origin = c.posX;
    }
    flush();
}
