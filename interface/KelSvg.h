#pragma once

#include "interface/KelSvgExport.h"
#include "platform/mfc/Afx.h"

class SvgEngine;
namespace Gdiplus {
class Graphics;
}

// What the latest parse of a CKelSvg found (KelGetParseResult).
enum KelSvgParseResult {
    KelSvgNotParsed = 0,    // no parse yet
    KelSvgParsed = 1,       // the file's top-level svg element is loaded
    KelSvgUnreadable = 2,   // the file could not be read
    KelSvgNotXml = 3,       // not well-formed XML; what came before the fault is loaded
    KelSvgNoSvgElement = 4, // well-formed, but without a top-level svg element
    KelSvgDamagedInput = 5, // gzip data damaged, cut short or too large once
                            // decompressed; what it gave is loaded
};

// Receives one "rotate: ..." line (see KelSetRotationCallback).
typedef void (*KelRotationCallback)(const char* line, void* context);

// One SVG picture. A host creates one per picture and drives it with the eight
// commands; nothing is returned except the rectangle of CommandGetSVGWinRect.
// Different objects may be used on different threads at once; one object is
// used by one thread at a time.
class KELSVG_API CKelSvg : public CObject {
public:
    CKelSvg();
    virtual ~CKelSvg();

    CKelSvg(const CKelSvg&) = delete;
    CKelSvg& operator=(const CKelSvg&) = delete;

    // Window rectangle: where the picture's origin lands, and its size. Also
    // resizes a loaded document's root.
    void CommandSetSVGWinRect(int x, int y, int width, int height);
    // Parses the file into a new document, replacing the previous one.
    void CommandParseSVGFile(char* fileName);
    // Accepted and ignored.
    void CommandSetSVGFileName(char* fileName);
    // The stored window rectangle, truncated toward zero.
    void CommandGetSVGWinRect(int& x, int& y, int& width, int& height);
    // Renders the document into an off-screen bitmap of the window's size;
    // later draws copy that bitmap.
    void CommandCreateBitmapCache();
    // Draws onto a device context.
    void CommandDrawSVG(CDC* dc);
    // Stores the window rectangle only: the root keeps its size, nothing is drawn.
    void CommandDrawSVGWinRect(CDC* dc, int x, int y, int width, int height);
    // Draws onto the host's graphics object.
    void CommandDrawSVGGraphics(Gdiplus::Graphics* graphics);

    // An extension of ours, not one of the eight commands (which report
    // nothing): how the latest CommandParseSVGFile went, for hosts that tell
    // their users why a picture stays empty. width and height get the
    // document's own size as that parse found it, untruncated and whatever
    // window was set since (0 when it has none).
    KelSvgParseResult KelGetParseResult(float& width, float& height) const;
    // Another extension: how many threads this object may use for a large
    // document (1, the default, does all on the calling thread):
    // CommandParseSVGFile reads a large file in two parts at once, and
    // CommandDrawSVGGraphics draws a large document of plain shapes into a
    // bitmap in bands, one per thread. The picture is the same whatever the
    // number.
    void KelSetThreads(int threads);
    // Another extension: the library writes nothing to standard output or
    // standard error. A host that wants the line "rotate: A X Y\n" (angle and
    // centre, "%f" each, a full stop whatever the locale) of every rotate
    // function a parse reads gives a callback here: CommandParseSVGFile calls
    // it on its own thread, once per line, in document order, with context
    // passed through. A null callback (the default) turns the lines off.
    // Printing them: KelSetRotationCallback([](const char* line, void*) {
    // std::fputs(line, stdout); }, nullptr).
    void KelSetRotationCallback(KelRotationCallback callback, void* context);
    // Another extension: the folder that later parses resolve image files in,
    // confined to it as to the SVG file's own folder (which null or "" brings
    // back): for documents that come from no file of their own.
    void KelSetBaseDir(const char* dir);
    // Another extension: CSS text that later parses apply after the
    // document's own style sheets (so at equal specificity it wins); null or
    // "" applies none.
    void KelSetUserStyleSheet(const char* css);
    // Another extension: later draws of the parsed document show only the
    // element whose id is given (and its content), on the whole canvas, under
    // its ancestors' transforms, opacities, clips and masks; the next parse
    // draws everything again. False, changing nothing, when no element of the
    // document has that id.
    bool KelDrawOnlyElement(const char* id);
    // Another extension: the resolution of the absolute units (in, cm, mm,
    // pt, pc) in the files parsed from now on, in pixels (user units) per
    // inch: 96 by default, as CSS fixes it. A value outside 1 to 100000 is
    // ignored.
    void KelSetDpi(double dpi);

private:
    SvgEngine* m_engine;
};

// An extension of ours for hosts: a whole text (white space around it
// allowed) read as a colour by the same reader as fill and stroke (keywords
// in any case, #rgb, #rgba, #rrggbb, #rrggbbaa, rgb(), hsl(), "transparent"
// and the rest it knows), into 0xAARRGGBB. False, argb untouched, when the
// text is anything else.
KELSVG_API bool KelParseColor(const char* text, unsigned int& argb);
