#include "syntax/SvgRotationReport.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>

namespace {

thread_local SvgRotationCallback t_callback = nullptr;
thread_local void* t_context = nullptr;

// The "C" locale, made once, so that the line always has a full stop.
locale_t CLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

std::string FormatLine(double angle, double cx, double cy) {
    char line[1100];
    locale_t loc = CLocale();
    if (loc) {
        locale_t previous = uselocale(loc);
        std::snprintf(line, sizeof line, "rotate: %f %f %f\n", angle, cx, cy);
        uselocale(previous);
        return line;
    }
    // No locale object: format, then put the full stop back by hand.
    std::snprintf(line, sizeof line, "rotate: %f %f %f\n", angle, cx, cy);
    std::string text(line);
    const char* point = std::localeconv()->decimal_point;
    if (point && *point && std::strcmp(point, ".") != 0) {
        std::size_t len = std::strlen(point);
        for (std::size_t at = text.find(point); at != std::string::npos;
             at = text.find(point, at + 1))
            text.replace(at, len, ".");
    }
    return text;
}

} // namespace

SvgRotationScope::SvgRotationScope(SvgRotationCallback callback, void* context)
    : m_previous(t_callback), m_previousContext(t_context) {
    t_callback = callback;
    t_context = context;
}

SvgRotationScope::~SvgRotationScope() {
    t_callback = m_previous;
    t_context = m_previousContext;
}

bool SvgRotationScope::Active() {
    return t_callback != nullptr;
}

void SvgRotationScope::Collect(const char* line, void* lines) {
    try {
        static_cast<std::vector<std::string>*>(lines)->push_back(line);
    } catch (...) {
        // Out of memory: the line is lost, the parse goes on.
    }
}

void SvgReportRotation(double angle, double cx, double cy) {
    if (!t_callback)
        return;
    std::string line = FormatLine(angle, cx, cy);
    t_callback(line.c_str(), t_context);
}

void SvgReportRotationLine(const char* line) {
    if (t_callback)
        t_callback(line, t_context);
}
