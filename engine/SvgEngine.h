#pragma once

#include <cstddef>

class CDC;
class GdiGraphics;
class GdiImage;
class SvgCommand;
class SvgElement;
class SvgRootElement;
class TiXmlElement;
namespace Gdiplus {
class Graphics;
}

// The object behind each CKelSvg: owns the document (the root element), the
// window rectangle and the bitmap cache; executes commands; finds elements by id.
class SvgEngine {
public:
    // Elements a document may create through deep copies (`use`), in all.
    static const long kCopyBudget = 1000000;
    // Elements the id look-ups of one parse may visit, in all.
    static const long long kParseSearchBudget = 100000000;

    SvgEngine();
    virtual ~SvgEngine();

    SvgEngine(const SvgEngine&) = delete;
    SvgEngine& operator=(const SvgEngine&) = delete;

    void Dispatch(SvgCommand& command);

    void Parse(const char* fileName);
    void DrawToGraphics(Gdiplus::Graphics* graphics);
    void DrawToDeviceContext(CDC* dc);
    void BuildBitmapCache();

    // The first element, in pre-order, whose id equals id exactly; null when none.
    SvgElement* FindElementById(const char* id);

    // Takes one element from the document's deep-copy budget; false when spent.
    bool TakeCopyBudget();

    SvgRootElement* GetRoot() const { return m_root; }
    GdiImage* GetBitmapCache() const { return m_cache; }
    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    long GetCopiesMade() const { return kCopyBudget - m_copyBudget; }

private:
    void SetRect(const int* values);
    void RenderRoot(GdiGraphics& graphics);
    SvgElement* Search(SvgElement* element, const char* id);

    float m_x = 0;
    float m_y = 0;
    float m_width = 0;
    float m_height = 0;
    TiXmlElement* m_svgXml = nullptr; // valid only while a parse runs
    SvgRootElement* m_root = nullptr;
    GdiImage* m_cache = nullptr;
    GdiGraphics* m_cacheGraphics = nullptr; // only while the cache is rendered

    long m_copyBudget = kCopyBudget;
    bool m_parsing = false;
    long long m_searchBudget = kParseSearchBudget;
};
