#pragma once

#include "RenderHarness.h"

#include "document/SvgRootElement.h"
#include "engine/SvgEngine.h"

#include <algorithm>
#include <string>

// The box of pixels whose alpha exceeds a threshold; empty when none does.
struct InkBox {
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive
    bool Empty() const { return right < left; }
    int Width() const { return Empty() ? 0 : right - left + 1; }
    int Height() const { return Empty() ? 0 : bottom - top + 1; }
    float CenterX() const { return (left + right + 1) / 2.0f; }
};

inline InkBox FindInk(const Picture& picture, unsigned minAlpha = 128) {
    InkBox box;
    box.left = picture.width;
    box.top = picture.height;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            if (Picture::Alpha(picture.At(x, y)) < minAlpha)
                continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    return box;
}

// Pixels that differ between two pictures of the same size.
inline int DifferentPixels(const Picture& a, const Picture& b) {
    int n = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        n += a.pixels[i] != b.pixels[i];
    return n;
}

// A parsed document; elements are reached by their path of child indexes.
class ParsedSvg {
public:
    explicit ParsedSvg(const std::string& body) : file(SvgDocument(200, 100, body)) {
        engine.Parse(file.Path().c_str());
    }

    SvgElement* At(std::initializer_list<size_t> indexes) {
        SvgElement* element = engine.GetRoot();
        for (size_t i : indexes) {
            if (!element || i >= element->GetChildren().size())
                return nullptr;
            element = element->GetChildren()[i];
        }
        return element;
    }
    SvgEngine& Engine() { return engine; }

private:
    TempSvgFile file;
    SvgEngine engine;
};
