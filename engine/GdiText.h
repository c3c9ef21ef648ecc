#pragma once

#include "engine/GdiObject.h"
#include "platform/gdiplus/GdipFontTraits.h"

// Text objects and their last failed status; each owns its native handle.

class GdiFontFamily : public GdiObject<Gdiplus::GpFontFamily> {
public:
    explicit GdiFontFamily(Gdiplus::GpFontFamily* handle = nullptr) : GdiObject(handle) {}
    ~GdiFontFamily();

    // The family named name (GdipCreateFontFamilyFromName, no collection).
    // Null only when the wrapper cannot be allocated.
    static GdiFontFamily* Create(const WCHAR* name);
};

class GdiFont : public GdiObject<Gdiplus::GpFont> {
public:
    explicit GdiFont(Gdiplus::GpFont* handle = nullptr) : GdiObject(handle) {}
    ~GdiFont();

    // A copy of this font (GdipCloneFont); the clone's status holds a failure.
    GdiFont* Clone() const;
};

class GdiStringFormat : public GdiObject<Gdiplus::GpStringFormat> {
public:
    explicit GdiStringFormat(Gdiplus::GpStringFormat* handle = nullptr) : GdiObject(handle) {}
    ~GdiStringFormat();

    // A format (GdipCreateStringFormat). Null only when the wrapper cannot be allocated.
    static GdiStringFormat* Create(INT flags, Gdiplus::LANGID language = 0);

    // A copy of this format (GdipCloneStringFormat); the clone's status holds a failure.
    GdiStringFormat* Clone() const;
};

// The colour glyph pictures of a run of text (KelAddPathStringFont), painted
// after its fill.
class GdiColorGlyphs : public GdiObject<Gdiplus::GpColorGlyphs> {
public:
    explicit GdiColorGlyphs(Gdiplus::GpColorGlyphs* handle = nullptr) : GdiObject(handle) {}
    ~GdiColorGlyphs();

    // Takes over replacement (may be null) in place of the pictures held.
    void Reset(Gdiplus::GpColorGlyphs* replacement);
    // Holds a copy of other's pictures in place of its own.
    void CopyFrom(const GdiColorGlyphs& other);
};
