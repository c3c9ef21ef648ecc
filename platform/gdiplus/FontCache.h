// Process-wide font state behind the text functions: family matching through
// fontconfig, faces loaded once per file and index (FreeType for outlines,
// HarfBuzz for shaping), and glyph outlines cached in font units.
//
// Threads: every fontconfig and FreeType call, and every change to the cache,
// happens under the cache's lock. What text layout does for each glyph takes
// none: a face's metrics and HarfBuzz font never change once it is open, its
// outlines are published once and never changed, and shaping buffers are per
// thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

struct FT_FaceRec_;
struct _FcConfig;
struct _FcFontSet;
struct _FcCharSet;
struct hb_font_t;
struct hb_buffer_t;

namespace Gdiplus {

// Outline commands in font units (y up). Each figure starts with Move and is
// implicitly closed; Cubic takes three points, Move and Line one.
struct FontOutline {
    enum Op : uint8_t { Move, Line, Cubic };
    std::vector<uint8_t> ops;
    std::vector<float> pts; // x, y pairs
};

// Outlines by key (glyph index * 2 + emboldened), each set once: lookups are
// lock-free, additions are made under the cache's lock.
class OutlineTable {
public:
    static constexpr uint32_t kMaxGlyphs = 65536; // glyph indices are 16-bit
    OutlineTable() = default;
    ~OutlineTable();
    OutlineTable(const OutlineTable&) = delete;
    OutlineTable& operator=(const OutlineTable&) = delete;

    const FontOutline* Find(uint32_t key) const;
    // Takes ownership; the key must be below kMaxGlyphs * 2 and not yet set.
    const FontOutline* Publish(uint32_t key, std::unique_ptr<FontOutline> outline);

private:
    static constexpr uint32_t kPageBits = 8;
    static constexpr uint32_t kPageSize = uint32_t(1) << kPageBits;
    struct Page {
        std::atomic<const FontOutline*> slots[kPageSize]{};
    };
    std::atomic<Page*> pages_[kMaxGlyphs * 2 / kPageSize]{};
};

// One axis setting of a variable font.
struct FontAxisValue {
    uint32_t tag; // four letters, the first in the top byte
    float value;
    bool operator==(const FontAxisValue& o) const { return tag == o.tag && value == o.value; }
};

// What a face is chosen by besides its family, as CSS matches fonts: first
// the width, then the slant, then the weight.
struct FontTraits {
    int weight = 400;    // 1 to 1000
    float stretch = 100; // width in percent of the normal width
    int slant = 0;       // 0 upright, 1 italic, 2 oblique
    // Axis settings (font-variation-settings), applied after those that the
    // weight, stretch and slant give a variable font.
    std::vector<FontAxisValue> variations;

    // The traits of GDI+ style bits: bold is the weight 700, italic the slant 1.
    static FontTraits FromStyle(int style);
    bool operator==(const FontTraits& o) const {
        return weight == o.weight && stretch == o.stretch && slant == o.slant &&
               variations == o.variations;
    }
};

// The colour picture of a glyph of a colour bitmap font: premultiplied ARGB
// rows, placed by the glyph origin at (left, top) in pixels of a strike of
// ppem pixels to the em (y down).
struct FontColorGlyph {
    int width = 0, height = 0;
    int left = 0, top = 0;
    float ppem = 0;
    std::vector<uint32_t> pixels;
};

// One face of one font file (at one point of its variation axes), opened once
// and kept for the process.
struct FontFace {
    uint32_t id = 0; // order of opening
    FT_FaceRec_* ft = nullptr;
    hb_font_t* hb = nullptr;
    std::string file;
    int index = 0;
    float upem = 1000;
    // Line box and decorations, in font units, y up from the baseline.
    float ascent = 0;  // above the baseline (positive)
    float descent = 0; // below the baseline (positive)
    float lineSpacing = 0;
    float underlinePosition = 0; // centre of the underline bar (usually negative)
    float underlineThickness = 0;
    float strikeoutPosition = 0; // top of the strikeout bar
    float strikeoutThickness = 0;
    bool bold = false;      // the face itself is bold
    bool italic = false;    // the face itself is italic or oblique
    float weight = 400;     // its weight class, or its weight axis's value
    bool color = false;     // glyphs are colour pictures, without outlines
    bool smallCaps = false; // has small capitals of its own (the smcp feature)
    // The axes of a variable font, and where on them this face lies.
    std::vector<uint32_t> axisTags;
    std::vector<float> axisMin, axisMax, coords;
    // A face at another point of a variable font's axes shares the FreeType
    // face of the face it was made from (owner), which is set to the point of
    // the face whose outline it loads last (current).
    FontFace* owner = nullptr;
    FontFace* current = nullptr;
    // Fonts for characters this face lacks, in preference order, and the
    // characters they cover together; looked up on first need (under the lock).
    bool fallbackSorted = false;
    _FcFontSet* fallbackFonts = nullptr;
    _FcCharSet* fallbackCoverage = nullptr;
    OutlineTable outlines;
    // Colour pictures by glyph (colour faces only); made under the cache's lock.
    std::unordered_map<uint32_t, std::unique_ptr<FontColorGlyph>> colorGlyphs;
};

// A face chosen for a family and traits, with what must be synthesised.
struct FontFaceChoice {
    FontFace* face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

// A face fontconfig lists for a family, with the weights, widths and slant
// it covers (ranges for variable fonts).
struct FontFaceCandidate {
    std::string file;
    int index = 0;
    double weightMin = 400, weightMax = 400; // CSS weights
    double widthMin = 100, widthMax = 100;   // percent
    int slant = 0;                           // 0 upright, 1 italic, 2 oblique
    bool variable = false;
};

// A family name that fontconfig resolved to an installed family.
struct FontFamilyEntry {
    std::string requested; // the name as asked for (UTF-8)
    std::string family;    // the installed family it resolved to
    FontFaceChoice first;  // the face matched for the name alone
    // Read and set under the cache's lock: the family's faces (listed on
    // first need) and the faces chosen for traits so far (a bounded list).
    bool listed = false;
    std::vector<FontFaceCandidate> candidates;
    std::vector<std::pair<FontTraits, FontFaceChoice>> chosen;
};

class FontCache {
public:
    static FontCache& Instance();

    // The entry for a family name (UTF-8), or null when no installed family or
    // fontconfig alias carries the name. Results are cached per name.
    std::shared_ptr<FontFamilyEntry> FindFamily(const std::string& name);

    // The face of a family that CSS font matching picks for the traits among
    // the faces fontconfig lists for it; a variable face is set to the
    // weight, width and axis values asked for (within its ranges).
    FontFaceChoice Face(FontFamilyEntry& family, const FontTraits& traits);
    // The face for GDI+ style bits (1 bold, 2 italic).
    FontFaceChoice Face(FontFamilyEntry& family, int style) {
        return Face(family, FontTraits::FromStyle(style));
    }

    // The glyph's outline in font units, or null when the glyph has none.
    const FontOutline* Outline(FontFace& face, uint32_t glyph, bool embolden);
    // The colour picture of a glyph of a colour face, or null when it has none.
    // Pictures are kept for the process, like outlines.
    const FontColorGlyph* ColorGlyph(FontFace& face, uint32_t glyph);

    // True when the face maps the character to a glyph of its own.
    static bool HasGlyph(const FontFace& face, uint32_t codepoint);

    // Extra advance and outline growth of synthetic bold, in font units.
    static float EmboldenStrength(const FontFace& face) { return face.upem / 24.0f; }
    // Horizontal shear of synthetic italic (about 12 degrees).
    static constexpr float kObliqueShear = 0.2126f;

    // A face for a character the given face lacks, or null.
    FontFace* FallbackFace(FontFace& face, uint32_t codepoint);

    // Shaping buffer reused between runs, one for each thread.
    hb_buffer_t* Buffer();

    size_t FamilyCount() const;

    // Bounds on cached family names and fallback lookups.
    static constexpr size_t kMaxFamilies = 256;
    static constexpr size_t kMaxFallbacks = 4096;
    // Faces opened at points of variation axes other than their own; past it,
    // a variable face is drawn at the nearest point made so far.
    static constexpr size_t kMaxInstances = 256;
    // Traits remembered per family, and colour pictures per face.
    static constexpr size_t kMaxChoices = 64;
    static constexpr size_t kMaxColorGlyphs = 4096;

    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

private:
    FontCache();
    ~FontCache();

    _FcConfig* Config();
    FontFace* OpenFace(const std::string& file, int index);
    // The face of file and index at the given axis values (others as the
    // face has them), or the face itself when they change nothing.
    FontFace* OpenInstance(FontFace* base, const std::vector<FontAxisValue>& values);
    void ListFaces(FontFamilyEntry& family);
    FontFaceChoice Choose(FontFamilyEntry& family, const FontTraits& traits);
    bool IsGenericHead(const std::string& family);

    mutable std::mutex lock_;
    void* library_ = nullptr;     // FT_Library
    _FcConfig* config_ = nullptr; // of our own, freed with the cache
    std::unordered_map<std::string, std::unique_ptr<FontFace>> faces_; // "index:file[@coords]"
    std::unordered_map<std::string, std::shared_ptr<FontFamilyEntry>> families_;
    std::unordered_map<uint64_t, FontFace*> fallbacks_; // (face id, codepoint)
    std::vector<std::string> genericHeads_;
    bool genericHeadsKnown_ = false;
    size_t instances_ = 0;
    std::unordered_map<std::string, std::vector<FontFace*>> instancesOf_; // by "index:file"
    size_t colorGlyphs_ = 0;
};

} // namespace Gdiplus
