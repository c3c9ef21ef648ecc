#include "document/SvgViewport.h"

#include "engine/GdiPath.h"
#include "style/SvgStyle.h"

#include <cmath>
#include <vector>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The words of text between white space.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !IsSpace(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// 0, 1, 2 for Min, Mid, Max; -1 for anything else.
int Alignment(const std::string& text) {
    if (text == "Min")
        return 0;
    if (text == "Mid")
        return 1;
    if (text == "Max")
        return 2;
    return -1;
}

// Keyword numbers of overflow="visible" and "auto".
const unsigned kOverflowVisible = 0;
const unsigned kOverflowAuto = 3;

} // namespace

bool SvgIsValidAspectRatio(const std::string& text) {
    std::vector<std::string> words = Words(text);
    if (words.empty() || words.size() > 2)
        return false;
    if (words.size() == 2 && words[1] != "meet" && words[1] != "slice")
        return false;
    const std::string& k = words[0];
    if (k == "none")
        return true;
    return k.size() == 8 && k[0] == 'x' && k[4] == 'Y' && Alignment(k.substr(1, 3)) >= 0 &&
           Alignment(k.substr(5, 3)) >= 0;
}

SvgViewportMapping SvgMapViewport(float sx, float sy, double W, double H, double vw, double vh,
                                  const std::string& preserveAspectRatio) {
    SvgViewportMapping m;
    // An alignment, then "meet" (the default) or "slice", between white space.
    std::vector<std::string> words = Words(preserveAspectRatio);
    bool valid =
        (words.size() == 1 || (words.size() == 2 && (words[1] == "meet" || words[1] == "slice")));
    if (preserveAspectRatio == "none" || (valid && words[0] == "none")) {
        m.scaleX = sx;
        m.scaleY = sy;
        return m;
    }
    bool slice = valid && words.size() == 2 && words[1] == "slice";
    // meet: the whole viewBox fits, the axis with room is aligned; slice: the
    // viewport is covered, the axis that overflows is aligned.
    float s = (sx < sy) != slice ? sx : sy;
    bool alignX = (sx > sy) != slice;
    m.scaleX = s;
    m.scaleY = s;

    // Keyword "x<X>Y<Y>": X and Y each Min, Mid or Max. Any other text scales
    // uniformly without offset.
    const std::string k = valid ? words[0] : std::string();
    if (k.size() != 8 || k[0] != 'x' || k[4] != 'Y')
        return m;
    int ax = Alignment(k.substr(1, 3));
    int ay = Alignment(k.substr(5, 3));
    if (ax < 0 || ay < 0)
        return m;
    double freeX = W - vw * s;
    double freeY = H - vh * s;
    if (alignX)
        m.translateX = static_cast<float>(freeX * 0.5 * ax);
    else
        m.translateY = static_cast<float>(freeY * 0.5 * ay);
    return m;
}

bool SvgClipsOverflow(const SvgStyle* style) {
    if (!style || !style->overflow.set || style->overflow.inherit)
        return true;
    unsigned value = style->overflow.value;
    return value != kOverflowVisible && value != kOverflowAuto;
}

void SvgClipToViewport(GdiGraphics& graphics, const SvgStyle* style,
                       const Gdiplus::RectF& viewport) {
    if (!SvgClipsOverflow(style))
        return;
    if (viewport.Width > 0 && viewport.Height > 0) {
        graphics.Record(Gdiplus::GdipSetClipRect(graphics.handle, viewport.X, viewport.Y,
                                                 viewport.Width, viewport.Height,
                                                 Gdiplus::CombineModeIntersect));
        return;
    }
    // An empty path: nothing shows.
    GdiPath* nothing = GdiPath::Create();
    if (nothing)
        graphics.Record(Gdiplus::GdipSetClipPath(graphics.handle, nothing->Get(),
                                                 Gdiplus::CombineModeIntersect));
    delete nothing;
}

bool SvgMapViewBox(const SvgRect& viewBox, double width, double height,
                   const std::string& preserveAspectRatio, SvgMatrix& matrix) {
    double vw = viewBox.getWidth(), vh = viewBox.getHeight();
    if (!(vw > 0 && vh > 0 && width > 0 && height > 0) || !std::isfinite(vw * vh * width * height))
        return false;
    SvgViewportMapping m = SvgMapViewport(
        static_cast<float>(width / vw), static_cast<float>(height / vh), width, height, vw, vh,
        preserveAspectRatio.empty() ? "xMidYMid meet" : preserveAspectRatio);
    matrix = SvgMatrix(m.scaleX, 0, 0, m.scaleY, m.translateX - viewBox.getX() * m.scaleX,
                       m.translateY - viewBox.getY() * m.scaleY);
    return true;
}
