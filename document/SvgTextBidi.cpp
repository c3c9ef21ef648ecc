#include "document/SvgTextBidi.h"

#include <fribidi.h>

#include <algorithm>

namespace {

enum : char32_t {
    kLRE = 0x202A,
    kRLE = 0x202B,
    kPDF = 0x202C,
    kLRO = 0x202D,
    kRLO = 0x202E,
    kLRI = 0x2066,
    kRLI = 0x2067,
    kFSI = 0x2068,
    kPDI = 0x2069,
};

// Embeddings deeper than this overflow in the algorithm and change nothing:
// they are not opened at all.
const uint32_t kMaxDepth = FRIBIDI_BIDI_MAX_EXPLICIT_LEVEL;

char32_t Closer(char32_t opener) {
    return opener == kLRI || opener == kRLI || opener == kFSI ? kPDI : kPDF;
}

} // namespace

SvgTextBidi::SvgTextBidi() {
    contexts.push_back({0, 0, {0, 0}, false});
}

uint32_t SvgTextBidi::AddContext(uint32_t parent, SvgUnicodeBidi kind, bool rtl) {
    if (parent >= contexts.size())
        parent = 0;
    Context made{parent, contexts[parent].depth + 1, {0, 0}, contexts[parent].rtlish};
    switch (kind) {
    case SvgUnicodeBidi::Embed:
        made.open[0] = rtl ? kRLE : kLRE;
        break;
    case SvgUnicodeBidi::Isolate:
        made.open[0] = rtl ? kRLI : kLRI;
        break;
    case SvgUnicodeBidi::BidiOverride:
        made.open[0] = rtl ? kRLO : kLRO;
        break;
    case SvgUnicodeBidi::IsolateOverride:
        made.open[0] = rtl ? kRLI : kLRI;
        made.open[1] = rtl ? kRLO : kLRO;
        break;
    case SvgUnicodeBidi::Plaintext:
        made.open[0] = kFSI;
        break;
    default:
        return parent;
    }
    made.rtlish = made.rtlish || rtl || kind == SvgUnicodeBidi::Plaintext;
    contexts.push_back(made);
    return uint32_t(contexts.size() - 1);
}

bool SvgTextBidi::AllLeftToRight(const char32_t* codes, const uint32_t* ctx, size_t count) const {
    for (size_t i = 0; i < count; ++i) {
        if (ctx[i] < contexts.size() && contexts[ctx[i]].rtlish)
            return false;
        FriBidiCharType type = fribidi_get_bidi_type(codes[i]);
        if (FRIBIDI_IS_RTL(type) || type == FRIBIDI_TYPE_AN || type == FRIBIDI_TYPE_FSI)
            return false;
    }
    return true;
}

bool SvgTextBidi::Levels(const char32_t* codes, const uint32_t* ctx, size_t count, bool rtl,
                         bool automatic, uint8_t* levels) const {
    if (count == 0)
        return false;
    if (!rtl && !automatic && AllLeftToRight(codes, ctx, count)) {
        std::fill(levels, levels + count, 0);
        return false;
    }
    // The paragraph with the controls of the contexts put in where they change.
    std::vector<FriBidiChar> text;
    std::vector<size_t> where(count);
    text.reserve(count + 8);
    std::vector<uint32_t> open;   // contexts open, outermost first
    std::vector<uint32_t> target; // the path to the next context
    uint32_t current = 0;
    for (size_t i = 0; i < count; ++i) {
        uint32_t next = ctx[i] < contexts.size() ? ctx[i] : 0;
        if (next != current) {
            target.clear();
            for (uint32_t c = next; c != 0; c = contexts[c].parent)
                target.push_back(c);
            std::reverse(target.begin(), target.end());
            size_t common = 0;
            while (common < open.size() && common < target.size() && open[common] == target[common])
                ++common;
            while (open.size() > common) {
                const Context& closing = contexts[open.back()];
                if (closing.depth <= kMaxDepth) {
                    for (int k = 1; k >= 0; --k) {
                        if (closing.open[k])
                            text.push_back(Closer(closing.open[k]));
                    }
                }
                open.pop_back();
            }
            for (size_t k = common; k < target.size(); ++k) {
                const Context& opening = contexts[target[k]];
                if (opening.depth <= kMaxDepth) {
                    for (char32_t code : opening.open) {
                        if (code)
                            text.push_back(code);
                    }
                }
                open.push_back(target[k]);
            }
            current = next;
        }
        where[i] = text.size();
        text.push_back(codes[i]);
    }

    FriBidiStrIndex length = FriBidiStrIndex(text.size());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    std::vector<FriBidiLevel> resolved(text.size());
    fribidi_get_bidi_types(text.data(), length, types.data());
    fribidi_get_bracket_types(text.data(), length, types.data(), brackets.data());
    FriBidiParType base = automatic ? FRIBIDI_PAR_ON : rtl ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    bool odd = false;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &base,
                                            resolved.data()) == 0) {
        std::fill(levels, levels + count, rtl ? 1 : 0);
        return rtl;
    }
    for (size_t i = 0; i < count; ++i) {
        levels[i] = uint8_t(resolved[where[i]]);
        odd = odd || (levels[i] & 1);
    }
    return odd;
}

bool SvgTextBidi::IsMark(char32_t code) {
    return fribidi_get_bidi_type(code) == FRIBIDI_TYPE_NSM;
}

void SvgTextBidi::Reorder(const std::vector<uint8_t>& levels, std::vector<size_t>& order) {
    order.resize(levels.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (levels.empty())
        return;
    uint8_t highest = 0, lowestOdd = 255;
    for (uint8_t level : levels) {
        highest = std::max(highest, level);
        if (level & 1)
            lowestOdd = std::min(lowestOdd, level);
    }
    // From the highest level down to the lowest odd one, every stretch at
    // that level or above turns round.
    for (int level = highest; level >= lowestOdd && level > 0; --level) {
        for (size_t i = 0; i < order.size();) {
            if (levels[order[i]] < level) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < order.size() && levels[order[end]] >= level)
                ++end;
            std::reverse(order.begin() + long(i), order.begin() + long(end));
            i = end;
        }
    }
}

bool SvgTextBidi::IsUpright(char32_t code) {
    static const char32_t kRanges[][2] = {
        {0x00A7, 0x00A7},   {0x00A9, 0x00A9}, {0x00AE, 0x00AE}, {0x00B1, 0x00B1},
        {0x00BC, 0x00BE},   {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x1100, 0x11FF},
        {0x2E80, 0x303F},   {0x3040, 0x4DBF}, {0x4DC0, 0x9FFF}, {0xA000, 0xA4CF},
        {0xA960, 0xA97F},   {0xAC00, 0xD7FF}, {0xF900, 0xFAFF}, {0xFE10, 0xFE1F},
        {0xFE30, 0xFE6F},   {0xFF01, 0xFF60}, {0xFFE0, 0xFFE7}, {0x1F000, 0x1FAFF},
        {0x20000, 0x3FFFF},
    };
    for (const auto& range : kRanges) {
        if (code < range[0])
            return false;
        if (code <= range[1])
            return true;
    }
    return false;
}
