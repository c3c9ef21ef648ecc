#include "filter/FilterPool.h"

#include <new>

std::unique_ptr<uint32_t[]> FilterPool::Take(size_t pixels, size_t& capacity) {
    size_t best = m_kept.size();
    for (size_t i = 0; i < m_kept.size(); ++i)
        if (m_kept[i].first >= pixels &&
            (best == m_kept.size() || m_kept[i].first < m_kept[best].first))
            best = i;
    if (best < m_kept.size()) {
        capacity = m_kept[best].first;
        std::unique_ptr<uint32_t[]> memory = std::move(m_kept[best].second);
        m_total -= capacity;
        m_kept.erase(m_kept.begin() + long(best));
        return memory;
    }
    capacity = pixels;
    return std::unique_ptr<uint32_t[]>(new (std::nothrow) uint32_t[pixels]);
}

void FilterPool::Give(std::unique_ptr<uint32_t[]> memory, size_t capacity) {
    if (!memory || m_total + capacity > kMaxKept)
        return;
    m_total += capacity;
    m_kept.emplace_back(capacity, std::move(memory));
}
