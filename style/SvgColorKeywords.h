#pragma once

#include <cstddef>
#include <cstdint>

// One row of the colour keyword table: a lower-case name and its packed
// 0xRRGGBB00 value.
struct SvgColorKeyword {
    const char* name;
    uint32_t packed;
};

// The colour keywords of CSS (both spellings of gray), in table order.
extern const SvgColorKeyword kSvgColorKeywords[];
extern const std::size_t kSvgColorKeywordCount;
