#include "platform/gdiplus/FontLayout.h"

#include "platform/gdiplus/FontColorGlyphs.h"
#include "platform/gdiplus/FontSmallCaps.h"

#include <hb.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace Gdiplus {

namespace {

struct PlacedGlyph {
    FontFace* face;
    uint32_t glyph;
    float x;       // left of the glyph origin from the line start, world units
    float advance; // world units, synthetic bold included
    float offsetX; // of the glyph from its pen position, world units
    float rise;    // baseline shift, world units, up
    float scale;   // world units per font unit of this face
    bool bold;     // synthesise bold
    bool italic;   // synthesise italic
    uint32_t cluster;
};

struct Line {
    std::vector<PlacedGlyph> glyphs;
    float width = 0;
};

bool IsLineBreak(char32_t c) {
    return c == '\n' || c == '\r';
}

bool IsBreakingSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == 0x3000 || (c >= 0x2000 && c <= 0x200A);
}

// Characters that take the face of the character before them.
bool FollowsPrevious(char32_t c) {
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT:
    case HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR:
        return true;
    default:
        return false;
    }
}

bool IsMark(char32_t c) {
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
        return true;
    default:
        return false;
    }
}

class Shaper {
public:
    Shaper(FontCache& cache, const FontFaceChoice& main, const FontLayoutRequest& request,
           const FontTraits& wanted, int shapeFlags = kShapeGuessDirection)
        : cache_(cache), main_(main), request_(request), wanted_(wanted), shapeFlags_(shapeFlags) {}

    // Shapes text[from, to) of a line of `length` characters (the rest is
    // context) into `line`, glyph clusters counted from the line start.
    void Shape(const char32_t* text, size_t length, size_t from, size_t to, Line& line) {
        line.glyphs.clear();
        line.width = 0;
        // Pieces of one face each; right to left, the last piece comes first.
        struct Piece {
            size_t from, to;
            FontFace* face;
        };
        std::vector<Piece> pieces;
        size_t runStart = from;
        FontFace* runFace = nullptr;
        for (size_t i = from; i < to; ++i) {
            FontFace* face = FaceFor(text[i], runFace);
            if (face != runFace && i > runStart) {
                pieces.push_back({runStart, i, runFace});
                runStart = i;
            }
            runFace = face;
        }
        if (to > runStart)
            pieces.push_back({runStart, to, runFace});
        if (shapeFlags_ & kShapeRightToLeft)
            std::reverse(pieces.begin(), pieces.end());
        for (const Piece& piece : pieces)
            ShapeRun(text, length, piece.from, piece.to, piece.face, line);
    }

private:
    FontFace* FaceFor(char32_t c, FontFace* previous) {
        FontFace* main = main_.face;
        if (FontCache::HasGlyph(*main, c))
            return main;
        if (FollowsPrevious(c))
            return previous ? previous : main;
        if (request_.formatFlags & kFormatNoFontFallback)
            return main;
        FontFace* fallback = cache_.FallbackFace(*main, c);
        return fallback ? fallback : main;
    }

    // Small capitals: the face's own, or capitals made smaller for the
    // lowercase letters.
    void ShapeRun(const char32_t* text, size_t length, size_t from, size_t to, FontFace* face,
                  Line& line) {
        if (!request_.smallCaps || face->smallCaps) {
            ShapeRun(text, length, from, to, face, 1.0f, line);
            return;
        }
        if (capitalsOf_ != text || capitals_.size() != length) {
            capitals_.assign(text, length);
            for (char32_t& c : capitals_) {
                if (char32_t capital = CapitalOf(c))
                    c = capital;
            }
            capitalsOf_ = text;
        }
        size_t start = from;
        bool small = false;
        for (size_t i = from; i <= to; ++i) {
            bool isSmall = i < to && (capitals_[i] != text[i] || (small && IsMark(text[i])));
            if (i == to || (isSmall != small && i > start)) {
                ShapeRun(small ? capitals_.data() : text, length, start, i, face,
                         small ? kSmallCapScale : 1.0f, line);
                start = i;
            }
            small = isSmall;
        }
    }

    void ShapeRun(const char32_t* text, size_t length, size_t from, size_t to, FontFace* face,
                  float sizeFactor, Line& line) {
        hb_buffer_t* buffer = cache_.Buffer();
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text), int(length),
                            unsigned(from), int(to - from));
        if (!(shapeFlags_ & kShapeGuessDirection))
            hb_buffer_set_direction(buffer, shapeFlags_ & kShapeRightToLeft ? HB_DIRECTION_RTL
                                                                            : HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(buffer);
        hb_feature_t features[7];
        unsigned featureCount = 0;
        auto set = [&](const char* tag, uint32_t value) {
            features[featureCount++] = {hb_tag_from_string(tag, 4), value, HB_FEATURE_GLOBAL_START,
                                        HB_FEATURE_GLOBAL_END};
        };
        if (shapeFlags_ & kShapeNoKerning)
            set("kern", 0);
        if (shapeFlags_ & kShapeNoLigatures) {
            for (const char* tag : {"liga", "clig", "dlig", "hlig", "calt"})
                set(tag, 0);
        }
        if (request_.smallCaps && face->smallCaps)
            set("smcp", 1);
        hb_shape(face->hb, buffer, features, featureCount);
        unsigned count = 0;
        hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, nullptr);

        // A fallback face is made bold and slanted by the same rules as the
        // chosen one (FontCache::Face).
        bool bold = face == main_.face ? main_.syntheticBold
                                       : wanted_.weight > face->weight + 200 && !face->color;
        bool italic =
            face == main_.face ? main_.syntheticItalic : wanted_.slant != 0 && !face->italic;
        float scale = request_.emSize * sizeFactor / face->upem;
        float extra = bold ? FontCache::EmboldenStrength(*face) : 0;
        for (unsigned g = 0; g < count; ++g) {
            PlacedGlyph placed;
            placed.face = face;
            placed.glyph = info[g].codepoint;
            placed.x = line.width + pos[g].x_offset * scale;
            placed.offsetX = pos[g].x_offset * scale;
            placed.rise = pos[g].y_offset * scale;
            placed.scale = scale;
            placed.bold = bold;
            placed.italic = italic;
            placed.cluster = info[g].cluster;
            line.glyphs.push_back(placed);
            float advance = float(pos[g].x_advance);
            if (advance != 0)
                advance += extra;
            line.glyphs.back().advance = advance * scale;
            line.width += advance * scale;
        }
    }

    FontCache& cache_;
    FontFaceChoice main_;
    const FontLayoutRequest& request_;
    const FontTraits& wanted_;
    int shapeFlags_;
    std::u32string capitals_; // the text with small letters made capitals
    const char32_t* capitalsOf_ = nullptr;
};

// The traits asked for: the request's, made bold and slanted by its style bits
// (a weight from 600 up is bold already).
FontTraits Wanted(const FontLayoutRequest& request) {
    FontTraits traits = request.traits;
    if ((request.style & 1) && traits.weight < 600)
        traits.weight = 700;
    if ((request.style & 2) && traits.slant == 0)
        traits.slant = 1;
    return traits;
}

size_t TrimTrailingSpaces(const char32_t* text, size_t from, size_t to, bool keep) {
    if (keep)
        return to;
    while (to > from && IsBreakingSpace(text[to - 1]))
        --to;
    return to;
}

// Splits one paragraph into lines no wider than `width` at spaces, or inside a
// word that does not fit on a line of its own. Returns [start, end) pairs.
std::vector<std::pair<size_t, size_t>> WrapParagraph(Shaper& shaper, const char32_t* text,
                                                     size_t length, float width,
                                                     std::vector<float>& advances) {
    Line whole;
    shaper.Shape(text, length, 0, length, whole);
    advances.assign(length + 1, 0.0f);
    float previousX = 0;
    for (size_t g = 0; g < whole.glyphs.size(); ++g) {
        // Glyph advances are the distances between glyph origins.
        float next = g + 1 < whole.glyphs.size() ? whole.glyphs[g + 1].x : whole.width;
        uint32_t cluster = whole.glyphs[g].cluster;
        if (cluster < length)
            advances[cluster] += next - previousX;
        previousX = next;
    }
    std::vector<std::pair<size_t, size_t>> lines;
    size_t start = 0;
    while (start < length) {
        float x = 0;
        size_t end = start, lastBreak = start;
        while (end < length) {
            if (IsBreakingSpace(text[end])) {
                x += advances[end];
                ++end;
                lastBreak = end;
                continue;
            }
            if (x + advances[end] > width && end > start)
                break;
            x += advances[end];
            ++end;
        }
        if (end < length && lastBreak > start)
            end = lastBreak;
        lines.emplace_back(start, end);
        start = end;
    }
    return lines;
}

void AppendGlyph(FontCache& cache, const PlacedGlyph& g, float originX, float baseline,
                 FontOutline& out) {
    const FontOutline* outline = cache.Outline(*g.face, g.glyph, g.bold);
    if (!outline || outline->ops.empty())
        return;
    float shear = g.italic ? FontCache::kObliqueShear : 0.0f;
    float x0 = originX + g.x, y0 = baseline - g.rise;
    out.ops.insert(out.ops.end(), outline->ops.begin(), outline->ops.end());
    const std::vector<float>& p = outline->pts;
    for (size_t i = 0; i + 1 < p.size(); i += 2) {
        out.pts.push_back(x0 + (p[i] + p[i + 1] * shear) * g.scale);
        out.pts.push_back(y0 - p[i + 1] * g.scale);
    }
}

// A colour picture at the glyph's place, scaled from its strike to the em.
void AppendColorGlyph(FontCache& cache, const PlacedGlyph& g, float originX, float baseline,
                      std::vector<FontColorPlacement>* colors) {
    const FontColorGlyph* picture = colors ? cache.ColorGlyph(*g.face, g.glyph) : nullptr;
    if (!picture || picture->ppem <= 0)
        return;
    float pixel = g.scale * g.face->upem / picture->ppem;
    float left = originX + g.x + picture->left * pixel;
    float top = baseline - g.rise - picture->top * pixel;
    if (std::isfinite(left) && std::isfinite(top) && std::isfinite(pixel))
        colors->push_back({picture, left, top, pixel});
}

void AppendBar(float left, float top, float width, float height, FontOutline& out) {
    out.ops.push_back(FontOutline::Move);
    out.ops.push_back(FontOutline::Line);
    out.ops.push_back(FontOutline::Line);
    out.ops.push_back(FontOutline::Line);
    float pts[] = {left, top, left + width, top, left + width, top + height, left, top + height};
    out.pts.insert(out.pts.end(), std::begin(pts), std::end(pts));
}

// The lines of a string, shaped and placed: calls onLine(line, face, scale,
// left, baseline) for each line in order. Returns false when the family has
// no face.
template <class OnLine>
bool ForEachLine(FontFamilyEntry& family, const char32_t* text, size_t length,
                 const FontLayoutRequest& request, float& blockTop, float& blockHeight,
                 OnLine onLine) {
    FontCache& cache = FontCache::Instance();
    FontTraits wanted = Wanted(request);
    FontFaceChoice main = cache.Face(family, wanted);
    if (!main.face)
        return false;

    // Control characters other than line breaks are drawn as spaces.
    std::u32string clean(text, length);
    for (char32_t& c : clean) {
        if ((c < 0x20 && !IsLineBreak(c)) || (c >= 0x7F && c < 0xA0))
            c = ' ';
    }

    Shaper shaper(cache, main, request, wanted);
    bool keepTrailing = (request.formatFlags & kFormatMeasureTrailingSpaces) != 0;
    bool wrap = request.width > 0 && (request.formatFlags & kFormatNoWrap) == 0;

    // Lines as [start, end) of `clean`, split at CR, LF and CR LF.
    struct LineSpan {
        size_t start, end;         // the line
        size_t paraStart, paraEnd; // its paragraph, the shaping context
    };
    std::vector<LineSpan> lines;
    std::vector<float> advances;
    size_t start = 0;
    while (start <= clean.size()) {
        size_t end = start;
        while (end < clean.size() && !IsLineBreak(clean[end]))
            ++end;
        if (wrap && end > start) {
            auto wrapped =
                WrapParagraph(shaper, clean.data() + start, end - start, request.width, advances);
            for (auto& piece : wrapped)
                lines.push_back({start + piece.first, start + piece.second, start, end});
        } else {
            lines.push_back({start, end, start, end});
        }
        if (end >= clean.size())
            break;
        start =
            end + (clean[end] == '\r' && end + 1 < clean.size() && clean[end + 1] == '\n' ? 2 : 1);
    }

    const FontFace& metrics = *main.face;
    float scale = request.emSize / metrics.upem;
    float ascent = metrics.ascent * scale, descent = metrics.descent * scale;
    float spacing = metrics.lineSpacing * scale;
    blockHeight = float(lines.size() - 1) * spacing + ascent + descent;
    float top = request.y;
    if (request.lineAlign == 1)
        top += (request.height - blockHeight) / 2;
    else if (request.lineAlign == 2)
        top += request.height - blockHeight;

    blockTop = top;

    int align = request.align;
    if (request.formatFlags & kFormatRightToLeft)
        align = align == 0 ? 2 : align == 2 ? 0 : align;

    Line line;
    for (size_t i = 0; i < lines.size(); ++i) {
        size_t from = lines[i].start;
        size_t to = TrimTrailingSpaces(clean.data(), from, lines[i].end, keepTrailing);
        // The line's own text, with its paragraph as shaping context.
        size_t paraStart = lines[i].paraStart, paraEnd = lines[i].paraEnd;
        shaper.Shape(clean.data() + paraStart, paraEnd - paraStart, from - paraStart,
                     to - paraStart, line);

        float left = request.x;
        if (align == 1)
            left += (request.width - line.width) / 2;
        else if (align == 2)
            left += request.width - line.width;
        onLine(line, metrics, scale, left, top + ascent + float(i) * spacing);
    }
    return true;
}

} // namespace

bool LayoutString(FontFamilyEntry& family, const char32_t* text, size_t length,
                  const FontLayoutRequest& request, FontOutline& out,
                  std::vector<FontColorPlacement>* colors) {
    // Figures go straight into `out`; on failure it is cut back to this size.
    const size_t opsBefore = out.ops.size(), ptsBefore = out.pts.size();
    FontCache& cache = FontCache::Instance();
    float top = 0, height = 0;
    bool laidOut = ForEachLine(
        family, text, length, request, top, height,
        [&](const Line& line, const FontFace& metrics, float scale, float left, float baseline) {
            for (const PlacedGlyph& g : line.glyphs) {
                if (g.face->color)
                    AppendColorGlyph(cache, g, left, baseline, colors);
                else
                    AppendGlyph(cache, g, left, baseline, out);
            }
            if (line.width > 0 && (request.style & 4)) {
                float thickness = metrics.underlineThickness * scale;
                AppendBar(left, baseline - metrics.underlinePosition * scale - thickness / 2,
                          line.width, thickness, out);
            }
            if (line.width > 0 && (request.style & 8)) {
                AppendBar(left, baseline - metrics.strikeoutPosition * scale, line.width,
                          metrics.strikeoutThickness * scale, out);
            }
        });
    if (!laidOut)
        return false;
    for (size_t i = ptsBefore; i < out.pts.size(); ++i) {
        if (!std::isfinite(out.pts[i])) {
            out.ops.resize(opsBefore);
            out.pts.resize(ptsBefore);
            return false;
        }
    }
    return true;
}

bool MeasureString(FontFamilyEntry& family, const char32_t* text, size_t length,
                   const FontLayoutRequest& request, FontMeasure& out) {
    FontMeasure m;
    m.left = request.x;
    m.top = request.y;
    float top = 0, height = 0;
    bool laidOut = ForEachLine(family, text, length, request, top, height,
                               [&](const Line& line, const FontFace&, float, float left, float) {
                                   if (line.width <= 0)
                                       return;
                                   if (m.lines == 0 || line.width > m.width) {
                                       m.left = left;
                                       m.width = line.width;
                                   }
                                   ++m.lines;
                               });
    if (!laidOut)
        return false;
    if (m.lines > 0) {
        m.top = top;
        m.height = height;
    }
    if (!std::isfinite(m.left) || !std::isfinite(m.top) || !std::isfinite(m.width) ||
        !std::isfinite(m.height))
        return false;
    out = m;
    return true;
}

namespace {

// Shaped runs by font, flags and text with its context: the same word in the
// same font is shaped once. Bounded in glyphs; emptied when full.
class ShapeCache {
public:
    static constexpr size_t kMaxGlyphs = 1 << 20;

    std::shared_ptr<const ShapedRun> Find(const std::u32string& key) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = runs_.find(key);
        return found == runs_.end() ? nullptr : found->second;
    }

    void Add(const std::u32string& key, std::shared_ptr<const ShapedRun> run) {
        std::lock_guard<std::mutex> guard(lock_);
        if (glyphs_ + run->glyphs.size() > kMaxGlyphs) {
            runs_.clear();
            glyphs_ = 0;
        }
        glyphs_ += run->glyphs.size();
        runs_.emplace(key, std::move(run));
    }

private:
    std::mutex lock_;
    std::unordered_map<std::u32string, std::shared_ptr<const ShapedRun>> runs_;
    size_t glyphs_ = 0;
};

ShapeCache& Shapes() {
    static ShapeCache cache;
    return cache;
}

// Characters of context on each side that take part in the key: what
// HarfBuzz looks at across a run's ends.
constexpr size_t kKeyContext = 5;

} // namespace

std::shared_ptr<const ShapedRun> ShapeText(FontFamilyEntry& family, const FontTraits& traits,
                                           bool smallCaps, const char32_t* text, size_t length,
                                           size_t from, size_t to, int flags) {
    if (from > to || to > length)
        return nullptr;
    FontCache& cache = FontCache::Instance();
    FontFaceChoice main = cache.Face(family, traits);
    if (!main.face)
        return nullptr;
    flags &= kShapeRightToLeft | kShapeNoKerning | kShapeNoLigatures;
    size_t before = std::min(from, kKeyContext), after = std::min(length - to, kKeyContext);
    std::u32string key;
    key.reserve(5 + before + (to - from) + after);
    // The main face (a point of a variable font's axes is a face of its own);
    // the weight and slant asked for make fallback faces bold or slanted.
    key += char32_t(main.face->id);
    key += char32_t((main.syntheticBold ? 1 : 0) | (main.syntheticItalic ? 2 : 0) |
                    (smallCaps ? 4 : 0) | flags << 3 | uint32_t(traits.slant & 3) << 8);
    key += char32_t(traits.weight);
    key += char32_t(before);
    key += char32_t(after);
    key.append(text + from - before, text + to + after);
    if (std::shared_ptr<const ShapedRun> found = Shapes().Find(key))
        return found;

    FontLayoutRequest request;
    request.emSize = 1; // em units
    request.traits = traits;
    request.smallCaps = smallCaps;
    Shaper shaper(cache, main, request, traits, flags);
    Line line;
    shaper.Shape(text, length, from, to, line);
    auto run = std::make_shared<ShapedRun>();
    run->metrics = main.face;
    run->glyphs.reserve(line.glyphs.size());
    for (const PlacedGlyph& g : line.glyphs) {
        ShapedGlyph out;
        out.face = g.face;
        out.glyph = g.glyph;
        out.cluster = g.cluster;
        out.advance = g.advance;
        out.offsetX = g.offsetX;
        out.offsetY = g.rise;
        out.bold = g.bold;
        out.italic = g.italic;
        out.size = g.scale * g.face->upem;
        run->glyphs.push_back(out);
    }
    Shapes().Add(key, run);
    return run;
}

bool AppendGlyphOutline(const ShapedGlyph& glyph, float emSize, const float m[6],
                        FontOutline& out) {
    FontCache& cache = FontCache::Instance();
    const FontOutline* outline = cache.Outline(*glyph.face, glyph.glyph, glyph.bold);
    if (!outline || outline->ops.empty())
        return true;
    float scale = emSize * glyph.size / glyph.face->upem;
    float shear = glyph.italic ? FontCache::kObliqueShear : 0.0f;
    size_t ptsBefore = out.pts.size();
    out.ops.insert(out.ops.end(), outline->ops.begin(), outline->ops.end());
    const std::vector<float>& p = outline->pts;
    for (size_t i = 0; i + 1 < p.size(); i += 2) {
        // Glyph space: origin on the pen position, y down, world units.
        float gx = (p[i] + p[i + 1] * shear) * scale, gy = -p[i + 1] * scale;
        out.pts.push_back(m[0] * gx + m[2] * gy + m[4]);
        out.pts.push_back(m[1] * gx + m[3] * gy + m[5]);
    }
    for (size_t i = ptsBefore; i < out.pts.size(); ++i) {
        if (!std::isfinite(out.pts[i])) {
            out.ops.resize(out.ops.size() - outline->ops.size());
            out.pts.resize(ptsBefore);
            return false;
        }
    }
    return true;
}

} // namespace Gdiplus
