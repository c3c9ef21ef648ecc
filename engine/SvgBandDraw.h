#pragma once

class GdiGraphics;
class SvgRootElement;

// Draws a large document of plain shapes in horizontal bands of the bitmap,
// one thread per band. The figures' styles are readied on the calling thread
// first, and each figure's brush and pen by the first band to paint it, so
// that the bands otherwise only read the tree; documents whose drawing writes to
// the tree or to the engine (text, images, copies, clip paths, masks), or
// that paint with gradients, are left to the usual draw on one thread.
class SvgBandDraw {
public:
    // Smaller pictures (in pixels) and documents with fewer figures draw on
    // the calling thread: the threads would cost more than they save.
    static constexpr double kMinPixels = 1024.0 * 1024.0;
    static constexpr long kMinFigures = 2000;
    static constexpr int kMaxThreads = 16;

    // Draws root into graphics (a bitmap's, in its world transform) on up to
    // threads threads, for a picture of the given size in pixels. False, with
    // nothing drawn, when the document, the picture or the graphics do not
    // allow it: the caller then draws as usual.
    static bool Draw(SvgRootElement& root, GdiGraphics& graphics, int threads, double pixels);

private:
    // Readies the style of every figure a draw paints and counts them; false
    // at the first element whose drawing does more than read the tree.
    static bool Prepare(SvgRootElement& root, long& figures);
};
