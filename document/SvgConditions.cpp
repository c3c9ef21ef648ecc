#include "document/SvgConditions.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The SVG 1.1 features of what is drawn: structure, shapes, text, paint,
// gradients, patterns, markers, clipping, masks, filters, images, styles.
const char* const kFeatures[] = {
    "SVG-static",
    "CoreAttribute",
    "Structure",
    "BasicStructure",
    "ContainerAttribute",
    "ConditionalProcessing",
    "Image",
    "Style",
    "Shape",
    "Text",
    "BasicText",
    "PaintAttribute",
    "BasicPaintAttribute",
    "OpacityAttribute",
    "GraphicsAttribute",
    "BasicGraphicsAttribute",
    "Marker",
    "Gradient",
    "Pattern",
    "Clip",
    "BasicClip",
    "Mask",
    "Filter",
    "BasicFilter",
    "XlinkAttribute",
};

bool Supported(const std::string& feature) {
    static const char kPrefix[] = "http://www.w3.org/TR/SVG11/feature#";
    const size_t n = sizeof kPrefix - 1;
    if (feature.compare(0, n, kPrefix) != 0)
        return false;
    for (const char* name : kFeatures)
        if (feature.compare(n, std::string::npos, name) == 0)
            return true;
    return false;
}

// Calls take(word) for each word between white space; false when there is
// none or take refuses one.
template <class Take> bool EveryWord(const char* text, Take take) {
    bool any = false;
    for (const char* p = text; *p;) {
        while (IsSpace(*p))
            ++p;
        const char* start = p;
        while (*p && !IsSpace(*p))
            ++p;
        if (p == start)
            break;
        if (!take(std::string(start, p)))
            return false;
        any = true;
    }
    return any;
}

// The primary language of a tag: up to its first '-' or '_', lower case.
std::string Primary(const std::string& tag) {
    std::string primary;
    for (char c : tag) {
        if (c == '-' || c == '_')
            break;
        primary += Lower(c);
    }
    return primary;
}

} // namespace

namespace SvgConditions {

std::string UserLanguage() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = std::getenv(name);
        if (value && *value)
            break;
        value = nullptr;
    }
    if (!value || std::strcmp(value, "C") == 0 || std::strcmp(value, "POSIX") == 0 ||
        std::strncmp(value, "C.", 2) == 0)
        return "en";
    // "de_DE.UTF-8@euro": language and territory, before the code set and modifier.
    std::string tag;
    for (const char* p = value; *p && *p != '.' && *p != '@'; ++p)
        tag += *p == '_' ? '-' : Lower(*p);
    return tag.empty() ? "en" : tag;
}

bool LanguageMatches(const char* list, const std::string& language) {
    std::string wanted = Primary(language);
    for (const char* p = list;;) {
        while (IsSpace(*p) || *p == ',')
            ++p;
        if (!*p)
            return false;
        const char* start = p;
        while (*p && *p != ',' && !IsSpace(*p))
            ++p;
        if (!wanted.empty() && Primary(std::string(start, p)) == wanted)
            return true;
    }
}

bool Pass(const TiXmlElement* xml, const std::string& language) {
    if (const char* features = xml->Attribute("requiredFeatures")) {
        if (!EveryWord(features, [](const std::string& feature) { return Supported(feature); }))
            return false;
    }
    if (xml->Attribute("requiredExtensions"))
        return false; // an empty list fails too
    if (const char* languages = xml->Attribute("systemLanguage"))
        return LanguageMatches(languages, language);
    return true;
}

} // namespace SvgConditions
