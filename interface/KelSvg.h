#pragma once

#include "interface/KelSvgExport.h"
#include "platform/mfc/Afx.h"

class SvgEngine;
namespace Gdiplus {
class Graphics;
}

// One SVG picture. A host creates one per picture and drives it with the eight
// commands; nothing is returned except the rectangle of CommandGetSVGWinRect.
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

private:
    SvgEngine* m_engine;
};
