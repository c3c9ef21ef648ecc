#pragma once

#include <string>

class TiXmlElement;

// The conditional attributes of an element: requiredFeatures (each a feature
// string of SVG 1.1 that names something this library draws),
// requiredExtensions (none is supported) and systemLanguage (a comma-separated
// list of language tags, one of which must have the user's primary
// language). An empty list fails; an absent attribute passes.
namespace SvgConditions {

// The user's language from the environment (LC_ALL, LC_MESSAGES, then LANG,
// the first one set) as a lower-case tag such as "en-us"; "en" when none is
// set, or it is "C" or "POSIX".
std::string UserLanguage();

// Whether the element's conditional attributes all pass for a user of the
// given language (as UserLanguage gives it).
bool Pass(const TiXmlElement* xml, const std::string& language);

// Whether a systemLanguage value has a tag of the same primary language as
// language (case-insensitive: "en" and "EN-gb" match "en-us").
bool LanguageMatches(const char* list, const std::string& language);

} // namespace SvgConditions
