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

// One face of one font file, opened once and kept for the process.
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
    bool bold = false;   // the face itself is bold
    bool italic = false; // the face itself is italic or oblique
    // Fonts for characters this face lacks, in preference order, and the
    // characters they cover together; looked up on first need (under the lock).
    bool fallbackSorted = false;
    _FcFontSet* fallbackFonts = nullptr;
    _FcCharSet* fallbackCoverage = nullptr;
    OutlineTable outlines;
};

// A face chosen for a family and style, with what must be synthesised.
struct FontFaceChoice {
    FontFace* face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

// A family name that fontconfig resolved to an installed family.
struct FontFamilyEntry {
    std::string requested;    // the name as asked for (UTF-8)
    std::string family;       // the installed family it resolved to
    FontFaceChoice styles[4]; // by bold | italic bits; read and set under the lock
    bool resolved[4] = {false, false, false, false};
};

class FontCache {
public:
    static FontCache& Instance();

    // The entry for a family name (UTF-8), or null when no installed family or
    // fontconfig alias carries the name. Results are cached per name.
    std::shared_ptr<FontFamilyEntry> FindFamily(const std::string& name);

    // The face for a style (bit 1 bold, bit 2 italic) of a family.
    FontFaceChoice Face(FontFamilyEntry& family, int style);

    // The glyph's outline in font units, or null when the glyph has none.
    const FontOutline* Outline(FontFace& face, uint32_t glyph, bool embolden);

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

    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

private:
    FontCache();
    ~FontCache();

    _FcConfig* Config();
    FontFace* OpenFace(const std::string& file, int index);
    bool IsGenericHead(const std::string& family);

    mutable std::mutex lock_;
    void* library_ = nullptr;     // FT_Library
    _FcConfig* config_ = nullptr; // of our own, freed with the cache
    std::unordered_map<std::string, std::unique_ptr<FontFace>> faces_; // "index:file"
    std::unordered_map<std::string, std::shared_ptr<FontFamilyEntry>> families_;
    std::unordered_map<uint64_t, FontFace*> fallbacks_; // (face id, codepoint)
    std::vector<std::string> genericHeads_;
    bool genericHeadsKnown_ = false;
};

} // namespace Gdiplus
