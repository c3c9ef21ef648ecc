#pragma once

#include "engine/GdiBrush.h"

#include <memory>
#include <utility>
#include <vector>

// Pattern tiles rendered during one draw, kept so that shapes painted with the
// same tile (a hatch shared by many shapes) take it without rendering it
// again. Bounded in number and in pixels; emptied when the draw ends.
class SvgTileCache {
public:
    static constexpr size_t kMaxTiles = 64;
    static constexpr double kMaxPixels = 16.0 * 1024 * 1024;

    // What makes a tile: its pattern, the numbers that place it and its
    // content, its size in pixels and its alpha.
    struct Key {
        const void* pattern = nullptr;
        double values[18] = {};
        int width = 0;
        int height = 0;
        unsigned alpha = 0;
        bool operator==(const Key& other) const;
    };

    // A copy of the brush kept for key; null when none is.
    GdiBrush* Find(const Key& key);
    // Keeps a copy of brush, whose tile has the given pixels, when the bounds allow.
    void Keep(const Key& key, const GdiBrush& brush);
    void Clear();

private:
    std::vector<std::pair<Key, std::unique_ptr<GdiBrush>>> m_tiles;
    double m_pixels = 0;
};
