#include "document/SvgTileCache.h"

bool SvgTileCache::Key::operator==(const Key& other) const {
    if (pattern != other.pattern || width != other.width || height != other.height ||
        alpha != other.alpha)
        return false;
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i)
        if (!(values[i] == other.values[i]))
            return false;
    return true;
}

GdiBrush* SvgTileCache::Find(const Key& key) {
    for (const auto& tile : m_tiles)
        if (tile.first == key)
            return tile.second->Clone();
    return nullptr;
}

void SvgTileCache::Keep(const Key& key, const GdiBrush& brush) {
    double pixels = double(key.width) * key.height;
    if (m_tiles.size() >= kMaxTiles || m_pixels + pixels > kMaxPixels)
        return;
    std::unique_ptr<GdiBrush> copy(brush.Clone());
    if (!copy || !copy->handle)
        return;
    m_tiles.emplace_back(key, std::move(copy));
    m_pixels += pixels;
}

void SvgTileCache::Clear() {
    m_tiles.clear();
    m_pixels = 0;
}
