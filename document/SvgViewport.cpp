#include "document/SvgViewport.h"

#include <cstring>

SvgViewportMapping SvgMapViewport(float sx, float sy, double W, double H, double vw, double vh,
                                  const std::string& preserveAspectRatio) {
    SvgViewportMapping m;
    if (preserveAspectRatio == "none") {
        m.scaleX = sx;
        m.scaleY = sy;
        return m;
    }
    float s = sx < sy ? sx : sy;
    bool xHasRoom = sx > sy;
    m.scaleX = s;
    m.scaleY = s;

    // Keyword "x<X>Y<Y>": X and Y each Min, Mid or Max.
    const std::string& k = preserveAspectRatio;
    if (k.size() != 8 || k[0] != 'x' || k[4] != 'Y')
        return m;
    auto part = [](const std::string& text) -> int {
        if (text == "Min")
            return 0;
        if (text == "Mid")
            return 1;
        if (text == "Max")
            return 2;
        return -1;
    };
    int ax = part(k.substr(1, 3));
    int ay = part(k.substr(5, 3));
    if (ax < 0 || ay < 0)
        return m;
    double freeX = W - vw * s;
    double freeY = H - vh * s;
    if (xHasRoom) {
        if (ax == 1)
            m.translateX = static_cast<float>(freeX * 0.5);
        if (ax == 2)
            m.translateX = static_cast<float>(freeX);
    } else {
        if (ay == 1)
            m.translateY = static_cast<float>(freeY * 0.5);
        if (ay == 2)
            m.translateY = static_cast<float>(freeY);
    }
    return m;
}
