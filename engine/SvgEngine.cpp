#include "engine/SvgEngine.h"

#include "document/ElementRegistry.h"
#include "document/SvgConditions.h"
#include "document/SvgMarkerPlacement.h"
#include "document/SvgRootElement.h"
#include "document/SvgTextLayout.h"
#include "document/SvgUseElement.h"
#include "document/SvgUseResolver.h"
#include "engine/GdiGraphics.h"
#include "engine/GdiImage.h"
#include "engine/SvgBandDraw.h"
#include "engine/SvgXmlReader.h"
#include "interface/SvgCommand.h"
#include "platform/mfc/Afx.h"
#include "render/SvgFigure.h"
#include "style/SvgStyle.h"
#include "style/SvgStyleSheet.h"
#include "style/SvgValueReaders.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <system_error>
#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

// Whether loading the elements under xml touches nothing but them: groups,
// shapes and descriptions (copies, text, images and paint servers look up
// other elements or the engine's state as they load; unknown elements are
// not loaded at all).
bool LoadsApart(const TiXmlElement* xml) {
    static const char* const kPlain[] = {"g",       "path",  "rect",     "circle",
                                         "ellipse", "line",  "polyline", "polygon",
                                         "desc",    "title", "metadata", "a"};
    std::vector<const TiXmlElement*> pending{xml};
    while (!pending.empty()) {
        const TiXmlElement* element = pending.back();
        pending.pop_back();
        for (const TiXmlElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            const char* name = child->Value();
            if (std::none_of(std::begin(kPlain), std::end(kPlain),
                             [name](const char* plain) { return std::strcmp(name, plain) == 0; }))
                return false;
            pending.push_back(child);
        }
    }
    return true;
}

// A window value truncated toward zero; values past the int range (a file's
// width may be 1e30) give the nearest int, and NaN gives 0.
int Truncate(float value) {
    double v = value;
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(v);
}

} // namespace

SvgEngine::SvgEngine() {
    ElementRegistry::Hold();
}

SvgEngine::~SvgEngine() {
    DeleteRoot();
    m_styleSheet.reset();
    ElementRegistry::Release();
    delete m_cache;
    m_cache = nullptr;
}

void SvgEngine::SetRect(const int* values) {
    m_x = static_cast<float>(values[0]);
    m_y = static_cast<float>(values[1]);
    m_width = static_cast<float>(values[2]);
    m_height = static_cast<float>(values[3]);
}

void SvgEngine::Dispatch(SvgCommand& command) {
    switch (command.code) {
    case SvgCommandSetWinRect:
        if (!command.intArray || command.intCount < 4)
            return;
        SetRect(command.intArray);
        if (m_root)
            m_root->SetSize(m_width, m_height);
        break;
    case SvgCommandParseFile:
        Parse(command.fileName);
        break;
    case SvgCommandGetWinRect:
        if (!command.intArray || command.intCount < 4)
            return;
        command.intArray[0] = Truncate(m_x);
        command.intArray[1] = Truncate(m_y);
        command.intArray[2] = Truncate(m_width);
        command.intArray[3] = Truncate(m_height);
        break;
    case SvgCommandCreateBitmapCache:
        BuildBitmapCache();
        break;
    case SvgCommandDraw:
        DrawToDeviceContext(command.dc);
        break;
    case SvgCommandDrawWinRect:
        if (!command.intArray || command.intCount < 4)
            return;
        SetRect(command.intArray);
        break;
    case SvgCommandDrawGraphics:
        DrawToGraphics(command.graphics);
        break;
    default:
        break;
    }
}

void SvgEngine::SetUnitsPerInch(double unitsPerInch) {
    if (unitsPerInch >= SvgResolution::kMinUnitsPerInch &&
        unitsPerInch <= SvgResolution::kMaxUnitsPerInch)
        m_unitsPerInch = unitsPerInch;
}

void SvgEngine::Parse(const char* fileName) {
    SvgRotationScope rotations(m_rotationCallback, m_rotationContext);
    SvgResolution resolution(m_unitsPerInch);
    m_language = SvgConditions::UserLanguage();
    TiXmlDocument doc, rest;
    // No line and column counting: the library reports none.
    doc.SetTabSize(0);
    rest.SetTabSize(0);
    // A partly read file still gives what it holds. A large one is read in
    // two parts on two threads when the engine may use them.
    bool hasStyle = false, hasUse = false;
    SvgInputStatus input = SvgInputStatus::Ok;
    bool wellFormed = SvgXmlReader::Load(fileName, doc, &hasStyle, m_threads > 1 ? &rest : nullptr,
                                         &hasUse, &input);
    m_images.Reset(m_baseDir.empty() ? fileName : (m_baseDir + "/document.svg").c_str());
    Build(doc, rest, wellFormed, hasStyle, hasUse, input);
}

void SvgEngine::ParseNested(std::string bytes, const SvgImageStore& parent,
                            const std::string& path) {
    SvgResolution resolution(m_unitsPerInch);
    m_language = SvgConditions::UserLanguage();
    TiXmlDocument doc, rest;
    doc.SetTabSize(0);
    bool hasStyle = false, hasUse = false;
    SvgInputStatus input = SvgInputStatus::Ok;
    bool wellFormed =
        SvgXmlReader::Parse(std::move(bytes), doc, &hasStyle, nullptr, &hasUse, &input);
    m_images.Nest(parent, path);
    // The documents an outer one shows share one budget of copies.
    m_nested = true;
    Build(doc, rest, wellFormed, hasStyle, hasUse, input);
    m_images.SpendCopies(m_images.GetCopiesLeft() - m_copyBudget);
    m_elementCount = 0;
    m_blends = false;
    if (m_root)
        Survey(*m_root);
}

void SvgEngine::Survey(const SvgElement& element) {
    std::vector<const SvgElement*> pending{&element};
    while (!pending.empty()) {
        const SvgElement* e = pending.back();
        pending.pop_back();
        ++m_elementCount;
        const SvgFigure* figure = e->GetFigure();
        const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
        if (style && style->GetBlendMode() != SvgBlendMode::Normal)
            m_blends = true;
        pending.insert(pending.end(), e->GetChildren().begin(), e->GetChildren().end());
    }
}

void SvgEngine::RenderNested(GdiGraphics& graphics) {
    if (!m_root || !m_images.TakeDraw(m_elementCount + 16))
        return;
    graphics.Record(GdipSetSmoothingMode(graphics.handle, SmoothingModeAntiAlias));
    m_root->Render(graphics);
}

void SvgEngine::Build(TiXmlDocument& doc, TiXmlDocument& rest, bool wellFormed, bool hasStyle,
                      bool hasUse, SvgInputStatus input) {
    // Only copies read what an element specified again: without a `use`,
    // style records need not keep it.
    m_keepSpecified = hasUse;

    DeleteRoot();
    m_styleSheet.reset();
    ResetIndex();
    m_pendingUses.clear();
    m_pendingTexts.clear();
    m_hasMarkers = false;
    m_documentWidth = 0;
    m_documentHeight = 0;

    m_svgXml = doc.FirstChildElement("svg");
    if (!wellFormed)
        m_parseResult = doc.ErrorId() == TiXmlBase::TIXML_ERROR_OPENING_FILE ? Unreadable : NotXml;
    else
        m_parseResult = m_svgXml ? Parsed : NoSvgElement;
    if (input != SvgInputStatus::Ok)
        m_parseResult = DamagedInput; // what the data gave is still drawn
    if (!m_svgXml)
        return; // no document: later draws do nothing

    // Style sheets apply to the whole document, also before their element.
    if (hasStyle)
        m_styleSheet = SvgStyleSheet::FromDocument(m_svgXml);
    if (!m_userStyleSheet.empty()) {
        // A host's sheet comes last: at equal specificity its rules win.
        if (!m_styleSheet) {
            m_styleSheet.reset(new SvgStyleSheet());
            double width = 0, height = 0;
            SvgStyleSheet::MediaSizeOf(m_svgXml, width, height);
            m_styleSheet->SetMediaSize(width, height);
        }
        m_styleSheet->AddSheet(m_userStyleSheet);
    }
    m_root = new SvgRootElement();
    m_root->SetOwner(this);
    m_copyBudget = m_nested ? m_images.GetCopiesLeft() : kCopyBudget;
    m_root->LoadOwnXml(m_svgXml);
    // The children of the second part (none after a fault in the first) load
    // beside those of the first when their loading touches nothing else.
    TiXmlElement* more = doc.Error() ? nullptr : rest.FirstChildElement("svg");
    std::vector<SvgElement*> later;
    std::vector<std::string> laterRotations; // reported after the first part's
    const bool reporting = SvgRotationScope::Active();
    std::thread helper;
    // Selectors that look at siblings need the XML of those already loaded,
    // and matching is for one thread at a time.
    const bool freeXml = !m_styleSheet || !m_styleSheet->LooksAtSiblings();
    if (more && LoadsApart(more) && !m_styleSheet) {
        try {
            helper = std::thread([this, more, &later, &rest, &laterRotations, reporting] {
                SvgRotationScope collect(reporting ? &SvgRotationScope::Collect : nullptr,
                                         &laterRotations);
                SvgResolution helperResolution(m_unitsPerInch);
                try {
                    m_root->LoadChildren(more, later, true);
                    rest.Clear();
                } catch (...) {
                    // Out of memory: what was loaded stays.
                }
            });
        } catch (const std::system_error&) {
        }
    }
    // The XML of each child is freed once it is loaded: the elements that
    // follow take its memory.
    m_root->LoadChildrenFromXml(m_svgXml, freeXml);
    if (helper.joinable()) {
        // Each thread frees the XML tree of its part.
        m_svgXml = nullptr;
        doc.Clear();
        helper.join();
        for (const std::string& line : laterRotations)
            SvgReportRotationLine(line.c_str());
        if (!later.empty())
            m_firstAdopted = m_root->GetChildren().size();
        m_root->AdoptChildren(later);
    } else if (more) {
        m_root->LoadChildrenFromXml(more, freeXml);
    }
    for (SvgTextElement* text : m_pendingTexts)
        SvgTextLayout::LayOut(*text);
    m_pendingTexts.clear();
    m_pendingTexts.shrink_to_fit();
    if (!m_pendingUses.empty()) {
        // The uses' copies, once every element they may name is loaded; the
        // index is made whole first, so that copies are never searched.
        ExtendIndex();
        m_indexComplete = true;
        SvgUseResolver(*this).ResolveAll(m_pendingUses);
        m_pendingUses.clear();
        m_pendingUses.shrink_to_fit();
    }
    // Markers are placed once every element they may name is loaded.
    if (m_hasMarkers)
        SvgMarkerPlacement::PlaceAll(*m_root, *this);
    m_width = m_root->GetWidth();
    m_height = m_root->GetHeight();
    m_documentWidth = m_width;
    m_documentHeight = m_height;
    m_svgXml = nullptr;
}

bool SvgEngine::DrawOnly(const char* id) {
    SvgElement* only = m_root && id && *id ? FindElementById(id) : nullptr;
    if (!only || only == m_root)
        return only != nullptr;
    // Elements drawn only through references are left alone: a clip path or
    // gradient beside the path may be what the element uses.
    static const char* const kReferenced[] = {
        "defs",   "clipPath", "mask",           "symbol",         "pattern", "marker",
        "filter", "style",    "linearGradient", "radialGradient", "title",   "desc"};
    for (SvgElement* element = only; element->GetParent(); element = element->GetParent()) {
        SvgElement* parent = element->GetParent();
        parent->SetHostMark(SvgElement::HostMark::Path);
        for (SvgElement* sibling : parent->GetChildren()) {
            const std::string& tag = sibling->GetTagName();
            if (sibling != element &&
                std::none_of(std::begin(kReferenced), std::end(kReferenced),
                             [&tag](const char* name) { return tag == name; }))
                sibling->SetHostMark(SvgElement::HostMark::Hidden);
        }
    }
    return true;
}

void SvgEngine::DeleteRoot() {
    // The children loaded on another thread were made in memory of that
    // thread's: another thread frees them at the same time as this one frees
    // the rest.
    std::vector<SvgElement*> later;
    if (m_root && m_firstAdopted > 0)
        m_root->DetachChildren(m_firstAdopted, later);
    m_firstAdopted = 0;
    std::thread helper;
    if (!later.empty()) {
        try {
            helper = std::thread([&later] {
                for (SvgElement* element : later)
                    delete element;
                later.clear();
            });
        } catch (const std::system_error&) {
        }
    }
    delete m_root;
    m_root = nullptr;
    if (helper.joinable())
        helper.join();
    for (SvgElement* element : later)
        delete element; // when no thread was to be had
}

void SvgEngine::RenderRoot(GdiGraphics& graphics) {
    m_images.BeginDraw();
    m_renderContext.BeginDraw();
    graphics.Record(GdipSetSmoothingMode(graphics.handle, SmoothingModeAntiAlias));
    m_root->Render(graphics);
    m_renderContext.EndDraw();
}

void SvgEngine::DrawToGraphics(Gdiplus::Graphics* host) {
    if (!m_root || !host)
        return;
    GdiGraphics graphics(host->GetNativeGraphics(), false);
    GraphicsState state = 0;
    graphics.Record(GdipSaveGraphics(graphics.handle, &state));
    graphics.Record(GdipTranslateWorldTransform(graphics.handle, m_x, m_y, MatrixOrderPrepend));
    graphics.Record(GdipSetSmoothingMode(graphics.handle, SmoothingModeHighSpeed));
    if (m_cache) {
        graphics.Record(GdipDrawImageRectI(graphics.handle, m_cache->handle, 0, 0,
                                           Truncate(m_width), Truncate(m_height)));
    } else if (!SvgBandDraw::Draw(*m_root, graphics, m_threads,
                                  double(m_width) * double(m_height))) {
        RenderRoot(graphics);
    }
    graphics.Record(GdipRestoreGraphics(graphics.handle, state));
}

void SvgEngine::DrawToDeviceContext(CDC* dc) {
    if (!dc)
        return;
    int saved = dc->SaveDC();
    GdiGraphics* graphics = GdiGraphics::FromHDC(dc->m_hDC);
    if (graphics && m_root) {
        graphics->Record(
            GdipTranslateWorldTransform(graphics->handle, m_x, m_y, MatrixOrderPrepend));
        if (m_cache) {
            graphics->Record(GdipDrawImageRectI(graphics->handle, m_cache->handle, 0, 0,
                                                Truncate(m_width), Truncate(m_height)));
        } else {
            RenderRoot(*graphics);
        }
    }
    dc->RestoreDC(saved);
    delete graphics;
}

void SvgEngine::BuildBitmapCache() {
    delete m_cache;
    m_cache = nullptr;
    INT w = Truncate(m_width);
    INT h = Truncate(m_height);
    if (static_cast<long long>(w) * h > kMaxCachePixels)
        return;
    GdiImage* scratch = GdiImage::CreateBitmap(w, h, PixelFormat32bppARGB);
    if (scratch && scratch->handle) {
        GpBitmap* copy = nullptr;
        if (GdipCloneBitmapAreaI(0, 0, w, h, PixelFormat32bppARGB, scratch->GetBitmap(), &copy) ==
                Ok &&
            copy) {
            m_cache = new GdiImage(copy);
            if (!m_cache)
                GdipDisposeImage(copy);
        }
    }
    delete scratch;
    if (!m_cache)
        return;

    // Transparent white, so the window shows through what the picture leaves.
    GpBitmap* bitmap = m_cache->GetBitmap();
    for (INT y = 0; y < h; ++y)
        for (INT x = 0; x < w; ++x)
            GdipBitmapSetPixel(bitmap, x, y, 0x00FFFFFF);

    m_cacheGraphics = GdiGraphics::FromImage(m_cache->handle);
    if (m_cacheGraphics) {
        m_cacheGraphics->Record(
            GdipSetSmoothingMode(m_cacheGraphics->handle, SmoothingModeAntiAlias));
        m_images.BeginDraw();
        m_renderContext.BeginDraw();
        if (m_root)
            m_root->Render(*m_cacheGraphics);
        m_renderContext.EndDraw();
    }
    delete m_cacheGraphics;
    m_cacheGraphics = nullptr;
}

bool SvgEngine::TakeCopyBudget(long count) {
    if (count < 0 || m_copyBudget < count)
        return false;
    m_copyBudget -= count;
    return true;
}

SvgElement* SvgEngine::FindElementById(const char* id) {
    if (!id || !m_root)
        return nullptr;
    ExtendIndex();
    auto it = m_ids.find(id);
    return it == m_ids.end() ? nullptr : it->second;
}

void SvgEngine::ClearId(SvgElement* element) {
    auto it = m_ids.find(element->GetId());
    element->SetId("");
    // The index may hold the element under its old id and have passed over
    // later elements of that id: it is made again on the next look-up.
    if (it != m_ids.end() && it->second == element)
        ResetIndex();
}

void SvgEngine::ResetIndex() {
    m_ids.clear();
    m_walk.clear();
    m_indexComplete = false;
}

void SvgEngine::AddPendingText(SvgTextElement* text) {
    m_pendingTexts.push_back(text);
}

void SvgEngine::AddPendingUse(SvgUseElement* use) {
    m_pendingUses.push_back(use);
    for (SvgElement* e = use; e && !e->HoldsPendingUse(); e = e->GetParent())
        e->SetHoldsPendingUse(true);
}

void SvgEngine::ExtendIndex() {
    if (m_indexComplete)
        return;
    if (m_walk.empty()) {
        m_ids.emplace(m_root->GetId(), m_root);
        m_walk.emplace_back(m_root, 0);
    }
    size_t level = m_walk.size() - 1;
    for (;;) {
        SvgElement* element = m_walk[level].first;
        size_t next = m_walk[level].second;
        if (next < element->GetChildren().size()) {
            SvgElement* child = element->GetChildren()[next];
            m_walk[level].second = next + 1;
            // A later sibling exists, so the subtrees below this level are complete.
            m_walk.resize(level + 1);
            m_ids.emplace(child->GetId(), child);
            m_walk.emplace_back(child, 0);
            level = m_walk.size() - 1;
        } else if (level == 0) {
            break;
        } else {
            --level;
        }
    }
}
