#include "engine/GdiText.h"

using namespace Gdiplus;

GdiFontFamily::~GdiFontFamily() {
    if (handle)
        GdipDeleteFontFamily(handle);
}

GdiFontFamily* GdiFontFamily::Create(const WCHAR* name) {
    GdiFontFamily* f = new GdiFontFamily;
    if (f)
        f->Record(GdipCreateFontFamilyFromName(name, nullptr, &f->handle));
    return f;
}

GdiFont::~GdiFont() {
    if (handle)
        GdipDeleteFont(handle);
}

GdiFont* GdiFont::Clone() const {
    GdiFont* f = new GdiFont;
    if (f)
        f->Record(GdipCloneFont(handle, &f->handle));
    return f;
}

GdiStringFormat::~GdiStringFormat() {
    if (handle)
        GdipDeleteStringFormat(handle);
}

GdiStringFormat* GdiStringFormat::Create(INT flags, LANGID language) {
    GdiStringFormat* f = new GdiStringFormat;
    if (f)
        f->Record(GdipCreateStringFormat(flags, language, &f->handle));
    return f;
}

GdiStringFormat* GdiStringFormat::Clone() const {
    GdiStringFormat* f = new GdiStringFormat;
    if (f)
        f->Record(GdipCloneStringFormat(handle, &f->handle));
    return f;
}

GdiColorGlyphs::~GdiColorGlyphs() {
    if (handle)
        KelDeleteColorGlyphs(handle);
}

void GdiColorGlyphs::Reset(GpColorGlyphs* replacement) {
    if (handle)
        KelDeleteColorGlyphs(handle);
    handle = replacement;
}

void GdiColorGlyphs::CopyFrom(const GdiColorGlyphs& other) {
    GpColorGlyphs* copy = nullptr;
    if (other.handle)
        Record(KelCloneColorGlyphs(other.handle, &copy));
    Reset(copy);
}
