#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Pixel memory kept from one filter run to the next of the same draw: fresh
// memory costs a page fault per page, which for many small filters costs
// more than the filters. Used by one thread at a time.
class FilterPool {
public:
    // Memory kept, at most (in pixels).
    static constexpr size_t kMaxKept = size_t(1) << 24;

    // Memory for at least pixels pixels (its size in capacity), uncleared; a
    // kept piece that fits, else new; null when there is none.
    std::unique_ptr<uint32_t[]> Take(size_t pixels, size_t& capacity);
    // Keeps memory of capacity pixels for later, within the limit.
    void Give(std::unique_ptr<uint32_t[]> memory, size_t capacity);

private:
    std::vector<std::pair<size_t, std::unique_ptr<uint32_t[]>>> m_kept;
    size_t m_total = 0;
};
