#include "render/SvgPointList.h"

#include "syntax/SvgNumberText.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The leading number of the token [first, last) as a float; 0 when it has
// none. False when the number does not fit a float.
bool TokenValue(const char* first, const char* last, float& out) {
    double value = 0.0;
    out = 0.0f;
    if (SvgNumberText::Scan(first, last, value) == 0)
        return true;
    if (std::fabs(value) > FLT_MAX)
        return false;
    out = static_cast<float>(value);
    return true;
}

} // namespace

SvgPoint* SvgPointList::getItem(std::size_t index) {
    return index < m_points.size() ? &m_points[index] : nullptr;
}

const SvgPoint* SvgPointList::getItem(std::size_t index) const {
    return index < m_points.size() ? &m_points[index] : nullptr;
}

bool SvgPointList::replaceItem(const SvgPoint& point, std::size_t index) {
    if (index >= m_points.size())
        return false;
    m_points[index] = point;
    return true;
}

bool SvgPointList::removeItem(std::size_t index) {
    if (index >= m_points.size())
        return false;
    m_points.erase(m_points.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void SvgPointList::appendFromText(const char* text) {
    if (!text)
        return;
    const char* p = text;
    const char* end = text + std::strlen(text);
    bool haveX = false;
    float x = 0.0f;
    while (true) {
        while (p < end && IsSeparator(*p))
            ++p;
        if (p == end)
            break;
        const char* tokenStart = p;
        while (p < end && !IsSeparator(*p))
            ++p;
        float value = 0.0f;
        if (!TokenValue(tokenStart, p, value))
            break; // the points before it are kept
        if (haveX)
            m_points.emplace_back(x, value);
        else
            x = value;
        haveX = !haveX;
    }
}
