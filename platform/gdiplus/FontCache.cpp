#include "platform/gdiplus/FontCache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>

#include <cctype>

namespace Gdiplus {

namespace {

// Fontconfig compares family names ignoring case and blanks; so does the cache.
std::string FamilyKey(const std::string& name) {
    std::string key;
    key.reserve(name.size());
    for (unsigned char c : name) {
        if (c != ' ')
            key.push_back(static_cast<char>(std::tolower(c)));
    }
    return key;
}

bool SameFamily(const FcChar8* a, const std::string& b) {
    return FamilyKey(reinterpret_cast<const char*>(a)) == FamilyKey(b);
}

// True when one of the font's family names equals `name`.
bool FontCarries(FcPattern* font, const std::string& name) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        if (SameFamily(family, name))
            return true;
    }
    return false;
}

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

Pattern SubstitutedPattern(FcConfig* config, const std::string& family, int weight, int slant) {
    Pattern p(FcPatternCreate());
    if (!p)
        return p;
    FcPatternAddString(p.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (weight >= 0)
        FcPatternAddInteger(p.get(), FC_WEIGHT, weight);
    if (slant >= 0)
        FcPatternAddInteger(p.get(), FC_SLANT, slant);
    FcPatternAddBool(p.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, p.get(), FcMatchPattern);
    FcDefaultSubstitute(p.get());
    return p;
}

Pattern Match(FcConfig* config, FcPattern* pattern) {
    FcResult result = FcResultNoMatch;
    return Pattern(FcFontMatch(config, pattern, &result));
}

// Outline decomposition into moves, lines and cubics (conics raised).
struct Decomposer {
    FontOutline* out;
    float cx = 0, cy = 0; // current point

    void Point(float x, float y) {
        out->pts.push_back(x);
        out->pts.push_back(y);
        cx = x;
        cy = y;
    }

    static int MoveTo(const FT_Vector* to, void* user) {
        auto* d = static_cast<Decomposer*>(user);
        d->out->ops.push_back(FontOutline::Move);
        d->Point(float(to->x), float(to->y));
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        auto* d = static_cast<Decomposer*>(user);
        d->out->ops.push_back(FontOutline::Line);
        d->Point(float(to->x), float(to->y));
        return 0;
    }
    static int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
        auto* d = static_cast<Decomposer*>(user);
        float x0 = d->cx, y0 = d->cy, x = float(to->x), y = float(to->y);
        float qx = float(c->x), qy = float(c->y);
        d->out->ops.push_back(FontOutline::Cubic);
        d->Point(x0 + 2.0f / 3.0f * (qx - x0), y0 + 2.0f / 3.0f * (qy - y0));
        d->Point(x + 2.0f / 3.0f * (qx - x), y + 2.0f / 3.0f * (qy - y));
        d->Point(x, y);
        return 0;
    }
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* d = static_cast<Decomposer*>(user);
        d->out->ops.push_back(FontOutline::Cubic);
        d->Point(float(c1->x), float(c1->y));
        d->Point(float(c2->x), float(c2->y));
        d->Point(float(to->x), float(to->y));
        return 0;
    }
};

// Drops the closing line each contour ends with when it only returns to the
// contour's start: figures are closed anyway.
void DropClosingLines(FontOutline& o) {
    FontOutline trimmed;
    trimmed.ops.reserve(o.ops.size());
    trimmed.pts.reserve(o.pts.size());
    size_t p = 0, start = 0;
    for (size_t i = 0; i < o.ops.size(); ++i) {
        uint8_t op = o.ops[i];
        size_t n = op == FontOutline::Cubic ? 6 : 2;
        if (op == FontOutline::Move)
            start = p;
        bool last = i + 1 == o.ops.size() || o.ops[i + 1] == FontOutline::Move;
        if (!(op == FontOutline::Line && last && o.pts[p] == o.pts[start] &&
              o.pts[p + 1] == o.pts[start + 1])) {
            trimmed.ops.push_back(op);
            trimmed.pts.insert(trimmed.pts.end(), o.pts.begin() + p, o.pts.begin() + p + n);
        }
        p += n;
    }
    o = std::move(trimmed);
}

} // namespace

OutlineTable::~OutlineTable() {
    for (std::atomic<Page*>& entry : pages_) {
        Page* page = entry.load(std::memory_order_relaxed);
        if (!page)
            continue;
        for (std::atomic<const FontOutline*>& slot : page->slots)
            delete slot.load(std::memory_order_relaxed);
        delete page;
    }
}

const FontOutline* OutlineTable::Find(uint32_t key) const {
    if (key >= kMaxGlyphs * 2)
        return nullptr;
    const Page* page = pages_[key >> kPageBits].load(std::memory_order_acquire);
    return page ? page->slots[key & (kPageSize - 1)].load(std::memory_order_acquire) : nullptr;
}

const FontOutline* OutlineTable::Publish(uint32_t key, std::unique_ptr<FontOutline> outline) {
    std::atomic<Page*>& entry = pages_[key >> kPageBits];
    Page* page = entry.load(std::memory_order_relaxed);
    if (!page) {
        page = new Page();
        entry.store(page, std::memory_order_release);
    }
    const FontOutline* published = outline.release();
    page->slots[key & (kPageSize - 1)].store(published, std::memory_order_release);
    return published;
}

FontCache& FontCache::Instance() {
    static FontCache cache;
    return cache;
}

FontCache::FontCache() {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) == 0)
        library_ = lib;
    // A configuration of our own: the host's fontconfig state is left alone,
    // and everything fontconfig allocated for us goes with the cache.
    config_ = FcInitLoadConfigAndFonts();
    // HarfBuzz makes its default language on first use and publishes it with
    // atomics of its own; made here, once, every thread that shapes sees it
    // made (ThreadSanitizer cannot see those atomics and reported the race).
    hb_language_get_default();
}

FontCache::~FontCache() {
    families_.clear();
    for (auto& entry : faces_) {
        if (!entry.second)
            continue;
        hb_font_destroy(entry.second->hb);
        FT_Done_Face(entry.second->ft);
        if (entry.second->fallbackFonts)
            FcFontSetDestroy(entry.second->fallbackFonts);
        if (entry.second->fallbackCoverage)
            FcCharSetDestroy(entry.second->fallbackCoverage);
    }
    faces_.clear();
    if (library_)
        FT_Done_FreeType(static_cast<FT_Library>(library_));
    if (config_)
        FcConfigDestroy(config_);
}

hb_buffer_t* FontCache::Buffer() {
    struct Holder {
        hb_buffer_t* buffer = hb_buffer_create();
        ~Holder() { hb_buffer_destroy(buffer); }
    };
    thread_local Holder holder;
    return holder.buffer;
}

size_t FontCache::FamilyCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return families_.size();
}

bool FontCache::HasGlyph(const FontFace& face, uint32_t codepoint) {
    hb_codepoint_t glyph = 0;
    return hb_font_get_nominal_glyph(face.hb, codepoint, &glyph) && glyph != 0;
}

FcConfig* FontCache::Config() {
    return config_;
}

// The first family each generic name expands to. A name's own aliases come
// before these in its substituted family list; the generic fallbacks after.
bool FontCache::IsGenericHead(const std::string& family) {
    if (!genericHeadsKnown_) {
        genericHeadsKnown_ = true;
        for (const char* generic : {"serif", "sans-serif", "monospace", "cursive", "fantasy",
                                    "system-ui", "emoji", "math"}) {
            Pattern p = SubstitutedPattern(Config(), generic, -1, -1);
            FcChar8* head = nullptr;
            if (p && FcPatternGetString(p.get(), FC_FAMILY, 0, &head) == FcResultMatch)
                genericHeads_.push_back(FamilyKey(reinterpret_cast<const char*>(head)));
        }
    }
    std::string key = FamilyKey(family);
    for (const std::string& head : genericHeads_) {
        if (head == key)
            return true;
    }
    return false;
}

std::shared_ptr<FontFamilyEntry> FontCache::FindFamily(const std::string& name) {
    std::string key = FamilyKey(name);
    if (key.empty())
        return nullptr;
    std::lock_guard<std::mutex> guard(lock_);
    auto found = families_.find(key);
    if (found != families_.end())
        return found->second;
    if (families_.size() >= kMaxFamilies)
        families_.clear(); // handles keep their own entries alive

    std::shared_ptr<FontFamilyEntry> entry;
    Pattern pattern = SubstitutedPattern(Config(), name, -1, -1);
    Pattern font = pattern ? Match(Config(), pattern.get()) : nullptr;
    FcChar8* matched = nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    if (font && FcPatternGetString(font.get(), FC_FAMILY, 0, &matched) == FcResultMatch &&
        FcPatternGetString(font.get(), FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(font.get(), FC_INDEX, 0, &index);
        // Known: the font carries the name, or the name is a generic family, or
        // the font came from the aliases of the name itself (those listed before
        // the generic fallbacks that fontconfig appends to every name).
        bool known = FontCarries(font.get(), name);
        static const char* const generics[] = {"serif", "sans-serif", "monospace", "cursive",
                                               "fantasy"};
        for (const char* generic : generics) {
            if (!known && FamilyKey(generic) == key)
                known = true;
        }
        FcChar8* alias = nullptr;
        for (int i = 1;
             !known && FcPatternGetString(pattern.get(), FC_FAMILY, i, &alias) == FcResultMatch;
             ++i) {
            std::string aliasName = reinterpret_cast<const char*>(alias);
            if (IsGenericHead(aliasName))
                break;
            if (FontCarries(font.get(), aliasName))
                known = true;
        }
        if (known) {
            FontFace* face = OpenFace(reinterpret_cast<const char*>(file), index);
            if (face) {
                entry = std::make_shared<FontFamilyEntry>();
                entry->requested = name;
                entry->family = reinterpret_cast<const char*>(matched);
                entry->styles[0].face = face;
                entry->styles[0].syntheticBold = false;
                entry->styles[0].syntheticItalic = false;
                entry->resolved[0] = true;
            }
        }
    }
    families_.emplace(key, entry);
    return entry;
}

FontFaceChoice FontCache::Face(FontFamilyEntry& family, int style) {
    style &= 3;
    std::lock_guard<std::mutex> guard(lock_);
    if (family.resolved[style])
        return family.styles[style];
    bool bold = (style & 1) != 0, italic = (style & 2) != 0;
    FontFaceChoice choice = family.styles[0];
    Pattern pattern =
        SubstitutedPattern(Config(), family.requested, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR,
                           italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    Pattern font = pattern ? Match(Config(), pattern.get()) : nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    // Take the styled face only when it belongs to the same family.
    if (font && FontCarries(font.get(), family.family) &&
        FcPatternGetString(font.get(), FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(font.get(), FC_INDEX, 0, &index);
        if (FontFace* face = OpenFace(reinterpret_cast<const char*>(file), index))
            choice.face = face;
    }
    if (choice.face) {
        choice.syntheticBold = bold && !choice.face->bold;
        choice.syntheticItalic = italic && !choice.face->italic;
    }
    family.styles[style] = choice;
    family.resolved[style] = true;
    return choice;
}

FontFace* FontCache::OpenFace(const std::string& file, int index) {
    std::string key = std::to_string(index) + ":" + file;
    auto found = faces_.find(key);
    if (found != faces_.end())
        return found->second.get();
    FontFace* result = nullptr;
    FT_Face ft = nullptr;
    if (library_ && FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), index, &ft) == 0) {
        if (FT_IS_SCALABLE(ft) && ft->units_per_EM > 0) {
            auto face = std::make_unique<FontFace>();
            face->id = uint32_t(faces_.size());
            face->ft = ft;
            face->file = file;
            face->index = index;
            face->upem = float(ft->units_per_EM);
            face->bold = (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0;
            face->italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;

            // Cell ascent and descent as the system's text layout uses them:
            // the Windows metrics of the OS/2 table, else the horizontal header.
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
            if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
                face->ascent = os2->usWinAscent;
                face->descent = os2->usWinDescent;
            } else {
                face->ascent = ft->ascender;
                face->descent = -float(ft->descender);
            }
            if (face->ascent + face->descent <= 0) {
                face->ascent = face->upem * 0.8f;
                face->descent = face->upem * 0.2f;
            }
            face->lineSpacing = ft->height;
            if (face->lineSpacing < face->ascent + face->descent)
                face->lineSpacing = face->ascent + face->descent;

            face->underlineThickness = ft->underline_thickness;
            face->underlinePosition = ft->underline_position;
            if (face->underlineThickness <= 0) {
                face->underlineThickness = face->upem / 14.0f;
                face->underlinePosition = -face->upem / 10.0f;
            }
            if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
                face->strikeoutPosition = os2->yStrikeoutPosition;
                face->strikeoutThickness = os2->yStrikeoutSize;
            } else {
                face->strikeoutThickness = face->underlineThickness;
                face->strikeoutPosition = face->upem * 0.26f + face->strikeoutThickness / 2;
            }

            hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
            // The index's high bits name an instance of a variable font.
            hb_face_t* hbFace = hb_face_create(blob, unsigned(index) & 0xFFFF);
            hb_blob_destroy(blob);
            face->hb = hb_font_create(hbFace);
            hb_face_destroy(hbFace);
            if (index >> 16)
                hb_font_set_var_named_instance(face->hb, unsigned(index >> 16) - 1);
            hb_font_set_scale(face->hb, int(ft->units_per_EM), int(ft->units_per_EM));
            hb_ot_font_set_funcs(face->hb);
            result = face.get();
            faces_.emplace(key, std::move(face));
        } else {
            FT_Done_Face(ft);
        }
    }
    if (!result)
        faces_.emplace(key, nullptr); // remember the failure
    return result;
}

const FontOutline* FontCache::Outline(FontFace& face, uint32_t glyph, bool embolden) {
    if (glyph >= OutlineTable::kMaxGlyphs) {
        static const FontOutline none; // no face has such a glyph
        return &none;
    }
    uint32_t key = glyph * 2 + (embolden ? 1 : 0);
    if (const FontOutline* found = face.outlines.Find(key))
        return found;
    std::lock_guard<std::mutex> guard(lock_);
    if (const FontOutline* found = face.outlines.Find(key))
        return found; // another thread made it meanwhile
    auto made = std::make_unique<FontOutline>();
    FontOutline& outline = *made;
    FT_Face ft = face.ft;
    if (FT_Load_Glyph(ft, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0 &&
        ft->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline* source = &ft->glyph->outline;
        if (embolden) {
            FT_Pos strength = FT_Pos(EmboldenStrength(face));
            FT_Outline_Embolden(source, strength);
            // Keep the glyph's left edge where it was.
            FT_Outline_Translate(source, strength / 2, 0);
        }
        FT_Outline_Funcs funcs = {};
        funcs.move_to = &Decomposer::MoveTo;
        funcs.line_to = &Decomposer::LineTo;
        funcs.conic_to = &Decomposer::ConicTo;
        funcs.cubic_to = &Decomposer::CubicTo;
        Decomposer d{&outline};
        if (FT_Outline_Decompose(source, &funcs, &d) != 0) {
            outline.ops.clear();
            outline.pts.clear();
        }
        DropClosingLines(outline);
        outline.ops.shrink_to_fit();
        outline.pts.shrink_to_fit();
    }
    return face.outlines.Publish(key, std::move(made));
}

// Fallback fonts for a face: fontconfig's preference order after the face's
// own family, trimmed to fonts that add characters, asked for once per face.
// A lookup is then a walk over coverage sets, never a new match.
FontFace* FontCache::FallbackFace(FontFace& face, uint32_t codepoint) {
    uint64_t key = (uint64_t(face.id) << 32) | codepoint;
    std::lock_guard<std::mutex> guard(lock_);
    auto found = fallbacks_.find(key);
    if (found != fallbacks_.end())
        return found->second;
    if (fallbacks_.size() >= kMaxFallbacks)
        fallbacks_.clear();

    if (!face.fallbackSorted) {
        face.fallbackSorted = true;
        Pattern pattern(FcPatternCreate());
        if (pattern) {
            if (face.ft->family_name)
                FcPatternAddString(pattern.get(), FC_FAMILY,
                                   reinterpret_cast<const FcChar8*>(face.ft->family_name));
            FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                                face.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
            FcPatternAddInteger(pattern.get(), FC_SLANT,
                                face.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
            FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
            FcConfigSubstitute(Config(), pattern.get(), FcMatchPattern);
            FcDefaultSubstitute(pattern.get());
            FcResult result = FcResultNoMatch;
            face.fallbackFonts =
                FcFontSort(Config(), pattern.get(), FcTrue, &face.fallbackCoverage, &result);
        }
    }

    FontFace* result = nullptr;
    FcFontSet* fonts = face.fallbackFonts;
    if (fonts && face.fallbackCoverage && FcCharSetHasChar(face.fallbackCoverage, codepoint)) {
        for (int i = 0; i < fonts->nfont && !result; ++i) {
            FcCharSet* chars = nullptr;
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch ||
                !FcCharSetHasChar(chars, codepoint) ||
                FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
                continue;
            FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
            FontFace* candidate = OpenFace(reinterpret_cast<const char*>(file), index);
            if (candidate && candidate != &face && HasGlyph(*candidate, codepoint))
                result = candidate;
        }
    }
    fallbacks_.emplace(key, result);
    return result;
}

} // namespace Gdiplus
