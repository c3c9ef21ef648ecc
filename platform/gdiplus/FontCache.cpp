#include "platform/gdiplus/FontCache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cmath>

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

// The font's family name that equals `name`, or null.
const FcChar8* FamilyCarried(FcPattern* font, const std::string& name) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        if (SameFamily(family, name))
            return family;
    }
    return nullptr;
}

bool FontCarries(FcPattern* font, const std::string& name) {
    return FamilyCarried(font, name) != nullptr;
}

// A value of a pattern that is a number or, for variable fonts, a range.
bool GetRange(FcPattern* font, const char* object, double& min, double& max) {
    FcValue v;
    if (FcPatternGet(font, object, 0, &v) != FcResultMatch)
        return false;
    if (v.type == FcTypeInteger) {
        min = max = v.u.i;
    } else if (v.type == FcTypeDouble) {
        min = max = v.u.d;
    } else if (v.type == FcTypeRange) {
        return FcRangeGetDouble(v.u.r, &min, &max) == FcTrue;
    } else {
        return false;
    }
    return true;
}

constexpr uint32_t Tag(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 |
           uint32_t(uint8_t(d));
}
constexpr uint32_t kWeightAxis = Tag('w', 'g', 'h', 't');
constexpr uint32_t kWidthAxis = Tag('w', 'd', 't', 'h');
constexpr uint32_t kSlantAxis = Tag('s', 'l', 'n', 't');
constexpr uint32_t kItalicAxis = Tag('i', 't', 'a', 'l');

// How far a range is from what is asked for, as CSS orders the candidates:
// 0 inside it, then those on the preferred side (nearest first), then those
// on the other side. `preferBelow` puts the side below the request first;
// `window` (weights from 400 to 500) is searched upwards before going below.
double MatchKey(double min, double max, double want, bool preferBelow, double window) {
    if (want >= min && want <= max)
        return 0;
    if (min > want && min <= window)
        return 1 + (min - want);
    bool below = max < want;
    double distance = below ? want - max : min - want;
    return (below == preferBelow ? 1e4 : 2e4) + distance;
}

double WeightKey(const FontFaceCandidate& c, double want) {
    // 400 to 500: heavier up to 500, then lighter, then heavier still; below
    // 400 lighter first; above 500 heavier first.
    bool preferBelow = want <= 500;
    double window = want >= 400 && want <= 500 ? 500 : -1;
    return MatchKey(c.weightMin, c.weightMax, want, preferBelow, window);
}

double WidthKey(const FontFaceCandidate& c, double want) {
    return MatchKey(c.widthMin, c.widthMax, want, want <= 100, -1);
}

// Slant classes in the order CSS tries them for each requested slant.
int SlantKey(int slant, int want) {
    static const int order[3][3] = {{0, 2, 1}, {1, 2, 0}, {2, 1, 0}};
    for (int k = 0; k < 3; ++k) {
        if (order[want][k] == slant)
            return k;
    }
    return 3;
}

int SlantClass(int fcSlant) {
    return fcSlant >= FC_SLANT_OBLIQUE ? 2 : fcSlant >= FC_SLANT_ITALIC ? 1 : 0;
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
        if (!entry.second->owner)
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
                // The family's faces are those that carry the name asked for
                // (a typographic family such as "DejaVu Sans Condensed"), or
                // else the matched font's first name (aliases, generics).
                const FcChar8* own = FamilyCarried(font.get(), name);
                entry->family = reinterpret_cast<const char*>(own ? own : matched);
                entry->first.face = face;
            }
        }
    }
    families_.emplace(key, entry);
    return entry;
}

FontTraits FontTraits::FromStyle(int style) {
    FontTraits traits;
    traits.weight = (style & 1) ? 700 : 400;
    traits.slant = (style & 2) ? 1 : 0;
    return traits;
}

FontFaceChoice FontCache::Face(FontFamilyEntry& family, const FontTraits& traits) {
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& chosen : family.chosen) {
        if (chosen.first == traits)
            return chosen.second;
    }
    FontFaceChoice choice = Choose(family, traits);
    if (family.chosen.size() >= kMaxChoices)
        family.chosen.erase(family.chosen.begin());
    family.chosen.emplace_back(traits, choice);
    return choice;
}

void FontCache::ListFaces(FontFamilyEntry& family) {
    family.listed = true;
    Pattern pattern(FcPatternCreate());
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_WIDTH, FC_SLANT,
                                            FC_VARIABLE, FC_SCALABLE, FC_COLOR, nullptr);
    FcFontSet* fonts = nullptr;
    if (pattern && objects) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.family.c_str()));
        fonts = FcFontList(Config(), pattern.get(), objects);
    }
    if (objects)
        FcObjectSetDestroy(objects);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcChar8* file = nullptr;
        FcBool scalable = FcFalse, color = FcFalse, variable = FcFalse;
        FcPatternGetBool(font, FC_SCALABLE, 0, &scalable);
        FcPatternGetBool(font, FC_COLOR, 0, &color);
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !(scalable || color))
            continue;
        FontFaceCandidate c;
        c.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(font, FC_INDEX, 0, &c.index);
        FcPatternGetBool(font, FC_VARIABLE, 0, &variable);
        c.variable = variable == FcTrue;
        double min = 0, max = 0;
        if (GetRange(font, FC_WEIGHT, min, max)) {
            c.weightMin = FcWeightToOpenTypeDouble(min);
            c.weightMax = FcWeightToOpenTypeDouble(max);
        }
        if (GetRange(font, FC_WIDTH, min, max)) {
            c.widthMin = min;
            c.widthMax = max;
        }
        int slant = 0;
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        c.slant = SlantClass(slant);
        family.candidates.push_back(std::move(c));
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    // The same order whatever order fontconfig lists them in.
    std::sort(family.candidates.begin(), family.candidates.end(),
              [](const FontFaceCandidate& a, const FontFaceCandidate& b) {
                  return a.file != b.file ? a.file < b.file : a.index < b.index;
              });
}

FontFaceChoice FontCache::Choose(FontFamilyEntry& family, const FontTraits& traits) {
    if (!family.listed)
        ListFaces(family);
    double weight = std::clamp(traits.weight, 1, 1000);
    double width = std::isfinite(traits.stretch) ? std::clamp(traits.stretch, 1.0f, 1000.0f) : 100;
    int slant = std::clamp(traits.slant, 0, 2);

    // Width first, then slant, then weight; among equals a face of its own
    // (not a variable one set to the point), then the first listed.
    const FontFaceCandidate* best = nullptr;
    double bestWidth = 0, bestWeight = 0;
    int bestSlant = 0;
    for (const FontFaceCandidate& c : family.candidates) {
        double w = WidthKey(c, width), k = WeightKey(c, weight);
        int s = SlantKey(c.slant, slant);
        bool better =
            !best || w < bestWidth ||
            (w == bestWidth && (s < bestSlant || (s == bestSlant && k < bestWeight))) ||
            (w == bestWidth && s == bestSlant && k == bestWeight && best->variable && !c.variable);
        if (better) {
            best = &c;
            bestWidth = w;
            bestSlant = s;
            bestWeight = k;
        }
    }

    FontFaceChoice choice = family.first;
    double faceWeight = choice.face ? choice.face->weight : 400;
    int faceSlant = choice.face && choice.face->italic ? 1 : 0;
    FontFace* face = best ? OpenFace(best->file, best->index) : nullptr;
    if (face) {
        // A variable face is set to the weight and width asked for (within its
        // ranges), its slant axes to the slant, then to the settings given.
        std::vector<FontAxisValue> values;
        if (best->variable) {
            values.push_back(
                {kWeightAxis, float(std::clamp(weight, best->weightMin, best->weightMax))});
            values.push_back(
                {kWidthAxis, float(std::clamp(width, best->widthMin, best->widthMax))});
        }
        if (slant != 0 && best->slant == 0) {
            values.push_back({kItalicAxis, 1.0f});
            values.push_back({kSlantAxis, -14.0f});
        }
        values.insert(values.end(), traits.variations.begin(), traits.variations.end());
        choice.face = OpenInstance(face, values);
        faceWeight =
            best->variable ? std::clamp(weight, best->weightMin, best->weightMax) : best->weightMin;
        faceSlant = best->slant;
        for (size_t a = 0; a < choice.face->axisTags.size(); ++a) {
            uint32_t tag = choice.face->axisTags[a];
            if (tag == kWeightAxis)
                faceWeight = choice.face->coords[a];
            else if ((tag == kItalicAxis && choice.face->coords[a] >= 0.5f) ||
                     (tag == kSlantAxis && choice.face->coords[a] < 0))
                faceSlant = 1;
        }
    }
    // Bold is made up when the face is lighter than asked by more than 200,
    // a slant when the face is upright.
    choice.syntheticBold = choice.face && weight > faceWeight + 200;
    choice.syntheticItalic = choice.face && slant != 0 && faceSlant == 0;
    return choice;
}

namespace {

bool HasFeature(hb_face_t* face, hb_tag_t table, hb_tag_t feature) {
    hb_tag_t tags[64];
    unsigned start = 0;
    for (;;) {
        unsigned count = 64;
        hb_ot_layout_table_get_feature_tags(face, table, start, &count, tags);
        for (unsigned i = 0; i < count; ++i) {
            if (tags[i] == feature)
                return true;
        }
        if (count < 64)
            return false;
        start += count;
    }
}

// Opens a face of a font file and reads its metrics; null when FreeType cannot,
// or when the face has neither outlines nor colour pictures.
std::unique_ptr<FontFace> LoadFace(FT_Library library, const std::string& file, int index) {
    FT_Face ft = nullptr;
    if (!library || FT_New_Face(library, file.c_str(), index, &ft) != 0)
        return nullptr;
    hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
    // The index's high bits name an instance of a variable font.
    hb_face_t* hbFace = hb_face_create(blob, unsigned(index) & 0xFFFF);
    hb_blob_destroy(blob);
    bool color = FT_HAS_COLOR(ft) && FT_HAS_FIXED_SIZES(ft) && !FT_IS_SCALABLE(ft);
    // Bitmap-only colour fonts have their em in the font header too.
    unsigned upem = color ? hb_face_get_upem(hbFace) : ft->units_per_EM;
    if (!(FT_IS_SCALABLE(ft) || color) || upem == 0 || upem > 16384) {
        hb_face_destroy(hbFace);
        FT_Done_Face(ft);
        return nullptr;
    }
    auto face = std::make_unique<FontFace>();
    face->ft = ft;
    face->file = file;
    face->index = index;
    face->upem = float(upem);
    face->color = color;
    face->bold = (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    face->italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;

    // Cell ascent and descent as the system's text layout uses them:
    // the Windows metrics of the OS/2 table, else the horizontal header.
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    bool hasOs2 = os2 && os2->version != 0xFFFF;
    if (hasOs2 && os2->usWinAscent + os2->usWinDescent > 0) {
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
    if (hasOs2 && os2->yStrikeoutSize > 0) {
        face->strikeoutPosition = os2->yStrikeoutPosition;
        face->strikeoutThickness = os2->yStrikeoutSize;
    } else {
        face->strikeoutThickness = face->underlineThickness;
        face->strikeoutPosition = face->upem * 0.26f + face->strikeoutThickness / 2;
    }
    face->weight = hasOs2 && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000
                       ? float(os2->usWeightClass)
                   : face->bold ? 700.0f
                                : 400.0f;
    face->smallCaps = HasFeature(hbFace, HB_OT_TAG_GSUB, HB_TAG('s', 'm', 'c', 'p'));

    // The axes of a variable font, and the point of this face on them.
    FT_MM_Var* mm = nullptr;
    if (FT_HAS_MULTIPLE_MASTERS(ft) && FT_Get_MM_Var(ft, &mm) == 0) {
        std::vector<FT_Fixed> coords(mm->num_axis);
        if (FT_Get_Var_Design_Coordinates(ft, mm->num_axis, coords.data()) == 0) {
            for (FT_UInt a = 0; a < mm->num_axis; ++a) {
                face->axisTags.push_back(uint32_t(mm->axis[a].tag));
                face->axisMin.push_back(float(mm->axis[a].minimum) / 65536.0f);
                face->axisMax.push_back(float(mm->axis[a].maximum) / 65536.0f);
                face->coords.push_back(float(coords[a]) / 65536.0f);
                if (mm->axis[a].tag == kWeightAxis)
                    face->weight = face->coords.back();
            }
        }
        FT_Done_MM_Var(library, mm);
    }

    face->hb = hb_font_create(hbFace);
    hb_face_destroy(hbFace);
    if (index >> 16)
        hb_font_set_var_named_instance(face->hb, unsigned(index >> 16) - 1);
    hb_font_set_scale(face->hb, int(upem), int(upem));
    hb_ot_font_set_funcs(face->hb);
    return face;
}

} // namespace

FontFace* FontCache::OpenFace(const std::string& file, int index) {
    std::string key = std::to_string(index) + ":" + file;
    auto found = faces_.find(key);
    if (found != faces_.end())
        return found->second.get();
    std::unique_ptr<FontFace> face = LoadFace(static_cast<FT_Library>(library_), file, index);
    FontFace* result = face.get();
    if (face)
        face->id = uint32_t(faces_.size());
    faces_.emplace(key, std::move(face)); // a failure is remembered too
    return result;
}

FontFace* FontCache::OpenInstance(FontFace* base, const std::vector<FontAxisValue>& values) {
    if (!base || base->axisTags.empty() || values.empty())
        return base;
    std::vector<float> coords = base->coords;
    for (const FontAxisValue& v : values) {
        for (size_t a = 0; a < coords.size(); ++a) {
            if (base->axisTags[a] == v.tag && std::isfinite(v.value))
                coords[a] = std::clamp(v.value, base->axisMin[a], base->axisMax[a]);
        }
    }
    if (coords == base->coords)
        return base;
    // Named instances of a file and points set here are the same faces when
    // their coordinates are.
    int index = base->index & 0xFFFF;
    std::string fileKey = std::to_string(index) + ":" + base->file;
    std::string key = fileKey + "@";
    for (float c : coords)
        key += std::to_string(long(std::lround(c * 65536.0f))) + ",";
    auto found = faces_.find(key);
    if (found != faces_.end())
        return found->second ? found->second.get() : base;
    std::vector<FontFace*>& made = instancesOf_[fileKey];
    if (instances_ >= kMaxInstances) {
        // Past the bound, the nearest point made so far (each axis counted in
        // parts of its range).
        FontFace* nearest = base;
        double best = INFINITY;
        for (FontFace* candidate : made) {
            double distance = 0;
            for (size_t a = 0; a < coords.size(); ++a) {
                double range = std::max(1e-3f, base->axisMax[a] - base->axisMin[a]);
                distance += std::pow((candidate->coords[a] - coords[a]) / range, 2);
            }
            if (distance < best) {
                best = distance;
                nearest = candidate;
            }
        }
        return nearest;
    }
    ++instances_;
    // The point's face: the base's metrics, FreeType face and HarfBuzz face;
    // a HarfBuzz font of its own set to the point.
    FontFace& owner = base->owner ? *base->owner : *base;
    auto face = std::make_unique<FontFace>();
    face->ft = owner.ft;
    face->owner = &owner;
    face->file = base->file;
    face->index = index;
    face->upem = base->upem;
    face->ascent = base->ascent;
    face->descent = base->descent;
    face->lineSpacing = base->lineSpacing;
    face->underlinePosition = base->underlinePosition;
    face->underlineThickness = base->underlineThickness;
    face->strikeoutPosition = base->strikeoutPosition;
    face->strikeoutThickness = base->strikeoutThickness;
    face->bold = base->bold;
    face->italic = base->italic;
    face->smallCaps = base->smallCaps;
    face->axisTags = base->axisTags;
    face->axisMin = base->axisMin;
    face->axisMax = base->axisMax;
    face->coords = coords;
    face->weight = base->weight;
    for (size_t a = 0; a < coords.size(); ++a) {
        if (face->axisTags[a] == kWeightAxis)
            face->weight = coords[a];
    }
    face->hb = hb_font_create(hb_font_get_face(base->hb));
    hb_font_set_scale(face->hb, int(face->upem), int(face->upem));
    hb_ot_font_set_funcs(face->hb);
    hb_font_set_var_coords_design(face->hb, coords.data(), unsigned(coords.size()));
    face->id = uint32_t(faces_.size());
    FontFace* result = face.get();
    made.push_back(result);
    faces_.emplace(key, std::move(face));
    return result;
}

const FontColorGlyph* FontCache::ColorGlyph(FontFace& face, uint32_t glyph) {
    if (!face.color)
        return nullptr;
    std::lock_guard<std::mutex> guard(lock_);
    auto found = face.colorGlyphs.find(glyph);
    if (found != face.colorGlyphs.end())
        return found->second.get();
    if (colorGlyphs_ >= kMaxColorGlyphs)
        return nullptr;
    ++colorGlyphs_;
    FT_Face ft = face.ft;
    std::unique_ptr<FontColorGlyph> made;
    // The largest strike gives the sharpest picture.
    int strike = 0;
    for (int i = 1; i < ft->num_fixed_sizes; ++i) {
        if (ft->available_sizes[i].y_ppem > ft->available_sizes[strike].y_ppem)
            strike = i;
    }
    if (ft->num_fixed_sizes > 0 && FT_Select_Size(ft, strike) == 0 &&
        FT_Load_Glyph(ft, glyph, FT_LOAD_COLOR) == 0 &&
        ft->glyph->format == FT_GLYPH_FORMAT_BITMAP &&
        ft->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_BGRA && ft->glyph->bitmap.width > 0 &&
        ft->glyph->bitmap.rows > 0) {
        const FT_Bitmap& bitmap = ft->glyph->bitmap;
        made = std::make_unique<FontColorGlyph>();
        made->width = int(bitmap.width);
        made->height = int(bitmap.rows);
        made->left = ft->glyph->bitmap_left;
        made->top = ft->glyph->bitmap_top;
        made->ppem = float(ft->available_sizes[strike].y_ppem) / 64.0f;
        made->pixels.resize(size_t(bitmap.width) * bitmap.rows);
        // FreeType's BGRA is premultiplied blue, green, red, alpha in memory:
        // a little-endian 32-bit ARGB word.
        for (unsigned y = 0; y < bitmap.rows; ++y) {
            const unsigned char* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
            for (unsigned x = 0; x < bitmap.width; ++x) {
                const unsigned char* p = row + 4 * x;
                made->pixels[size_t(y) * bitmap.width + x] =
                    uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
    }
    const FontColorGlyph* result = made.get();
    face.colorGlyphs.emplace(glyph, std::move(made));
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
    // A FreeType face shared by points of a variable font is set to this one's.
    FontFace& owner = face.owner ? *face.owner : face;
    if (!face.coords.empty() && owner.current != &face) {
        std::vector<FT_Fixed> fixed;
        for (float c : face.coords)
            fixed.push_back(FT_Fixed(std::lround(c * 65536.0f)));
        FT_Set_Var_Design_Coordinates(ft, FT_UInt(fixed.size()), fixed.data());
        owner.current = &face;
    }
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
            FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(face.weight));
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
