#pragma once

#include "document/SvgRenderContext.h"
#include "engine/SvgImageStore.h"
#include "syntax/SvgRotationReport.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CDC;
class GdiGraphics;
class GdiImage;
class SvgCommand;
class SvgElement;
class SvgRootElement;
class SvgStyleSheet;
class SvgTextElement;
class SvgUseElement;
class TiXmlDocument;
class TiXmlElement;
enum class SvgInputStatus;
namespace Gdiplus {
class Graphics;
}

// The object behind each CKelSvg: owns the document (the root element), the
// window rectangle and the bitmap cache; executes commands; finds elements by id.
class SvgEngine {
public:
    // Elements a document may create through deep copies (`use`), in all.
    static constexpr long kCopyBudget = 250000;
    // Largest bitmap cache, in pixels. Building one holds two bitmaps of its
    // size at once, and the size may come from the file: past this, no cache
    // is made and draws render the document directly.
    static constexpr long long kMaxCachePixels = 1LL << 25;

    SvgEngine();
    virtual ~SvgEngine();

    SvgEngine(const SvgEngine&) = delete;
    SvgEngine& operator=(const SvgEngine&) = delete;

    void Dispatch(SvgCommand& command);

    void Parse(const char* fileName);
    // Reads bytes as the document an `image` of the document parent belongs
    // to shows (path: the file it came from, empty for a `data:` URL).
    void ParseNested(std::string bytes, const SvgImageStore& parent, const std::string& path);
    // Draws the document read by ParseNested at the graphics' transform, its
    // size being its own, unless the outermost document has drawn too many
    // elements through pictures already.
    void RenderNested(GdiGraphics& graphics);
    // Whether an element of a document read by ParseNested has a blend mode.
    bool Blends() const { return m_blends; }
    void DrawToGraphics(Gdiplus::Graphics* graphics);
    void DrawToDeviceContext(CDC* dc);
    void BuildBitmapCache();

    // The first element, in pre-order, whose id equals id exactly; null when none.
    // Searches the tree as it stands: during a parse, what was loaded so far.
    SvgElement* FindElementById(const char* id);

    // Clears element's id; a look-up that found it before no longer does.
    void ClearId(SvgElement* element);

    // A use loaded with a reference: its copy is made once the whole
    // document is loaded, in the order the uses were handed over.
    void AddPendingUse(SvgUseElement* use);
    // A text whose textPath names an element not loaded yet: it is laid out
    // again once the whole document is loaded, before the uses are copied.
    void AddPendingText(SvgTextElement* text);

    // Takes count elements from the document's deep-copy budget; false (and
    // nothing taken) when fewer are left.
    bool TakeCopyBudget(long count = 1);

    // Whether style records keep what their element specified (for copies);
    // false for a document without `use` elements.
    bool KeepsSpecifiedStyle() const { return m_keepSpecified; }
    // The document's style sheets; null when it has none.
    SvgStyleSheet* GetStyleSheet() const { return m_styleSheet.get(); }
    // The user's language, for systemLanguage (SvgConditions), as found when
    // the latest parse began.
    const std::string& GetUserLanguage() const { return m_language; }
    // The raster images of the document being parsed and drawn.
    SvgImageStore& GetImages() { return m_images; }
    // Called as a marker element loads: the parse then places markers once
    // the document is read.
    void NoteMarkers() { m_hasMarkers = true; }

    SvgRootElement* GetRoot() const { return m_root; }
    GdiImage* GetBitmapCache() const { return m_cache; }
    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    long GetCopiesMade() const { return kCopyBudget - m_copyBudget; }
    // The state of the draw under way (clip paths and masks being applied).
    SvgRenderContext& GetRenderContext() { return m_renderContext; }

    // Threads a parse of a large document (SvgXmlReader) and a draw into a
    // bitmap (SvgBandDraw) may use; at least 1.
    void SetThreads(int threads) { m_threads = threads > 1 ? threads : 1; }
    // Draws only the element of this id (with what its ancestors do to it)
    // from now until the next parse; false when the document has none.
    bool DrawOnly(const char* id);
    // Folder that image files resolve in (empty: the SVG file's own).
    void SetBaseDir(const char* dir) { m_baseDir = dir ? dir : ""; }
    // Style sheet text applied after the document's own sheets.
    void SetUserStyleSheet(const char* css) { m_userStyleSheet = css ? css : ""; }
    // Where parses report their rotate functions (null: nowhere).
    void SetRotationCallback(SvgRotationCallback callback, void* context) {
        m_rotationCallback = callback;
        m_rotationContext = context;
    }
    // User units per inch of the absolute units in the documents parsed from
    // now on (SvgResolution); a value out of its range is ignored.
    void SetUnitsPerInch(double unitsPerInch);
    int GetThreads() const { return m_threads; }

    // How the latest parse went (KelSvgParseResult) and the size it found.
    enum ParseResult { NotParsed, Parsed, Unreadable, NotXml, NoSvgElement, DamagedInput };
    ParseResult GetParseResult() const { return m_parseResult; }
    float GetDocumentWidth() const { return m_documentWidth; }
    float GetDocumentHeight() const { return m_documentHeight; }

private:
    void SetRect(const int* values);
    // Builds the document from what the XML reader read (doc, and rest for
    // a document read in two parts).
    void Build(TiXmlDocument& doc, TiXmlDocument& rest, bool wellFormed, bool hasStyle,
               bool hasUse, SvgInputStatus input);
    // Counts the elements under element and notes whether any blends.
    void Survey(const SvgElement& element);
    // Deletes the document, if any.
    void DeleteRoot();
    void RenderRoot(GdiGraphics& graphics);
    // Brings the id index up to the tree as it stands.
    void ExtendIndex();
    void ResetIndex();

    float m_x = 0;
    float m_y = 0;
    float m_width = 0;
    float m_height = 0;
    TiXmlElement* m_svgXml = nullptr; // valid only while a parse runs
    SvgRootElement* m_root = nullptr;
    // The elements' styles point into it: it goes only after the root.
    std::unique_ptr<SvgStyleSheet> m_styleSheet;
    GdiImage* m_cache = nullptr;
    GdiGraphics* m_cacheGraphics = nullptr; // only while the cache is rendered

    long m_copyBudget = kCopyBudget;
    SvgImageStore m_images;
    ParseResult m_parseResult = NotParsed;
    float m_documentWidth = 0;
    float m_documentHeight = 0;

    // Index of ids, first element in pre-order for each. A tree only ever grows
    // at the end of its pre-order (children are attached and loaded in document
    // order, copies go to the element being loaded), so the index is extended
    // by resuming a pre-order walk along the tree's rightmost path.
    std::unordered_map<std::string, SvgElement*> m_ids;
    std::vector<std::pair<SvgElement*, size_t>> m_walk; // element, next child to visit
    // Set once the whole loaded tree is indexed: copies made afterwards (by
    // uses) are not searched.
    bool m_indexComplete = false;
    std::vector<SvgUseElement*> m_pendingUses;
    std::vector<SvgTextElement*> m_pendingTexts;

    SvgRenderContext m_renderContext;
    int m_threads = 1;
    std::string m_baseDir;
    std::string m_userStyleSheet;
    SvgRotationCallback m_rotationCallback = nullptr;
    void* m_rotationContext = nullptr;
    double m_unitsPerInch = 96;
    std::string m_language = "en";
    bool m_keepSpecified = true;
    bool m_nested = false;   // read by ParseNested
    long m_elementCount = 0; // of a nested document
    bool m_blends = false;   // of a nested document
    bool m_hasMarkers = false;
    // Children of the root from this index on were loaded on another thread
    // (0: none were).
    size_t m_firstAdopted = 0;
};
