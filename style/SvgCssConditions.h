#pragma once

#include <functional>
#include <string>

// The conditions of @media and @supports rules, evaluated for a picture: a
// screen in light mode, without motion, of a given size in pixels. Text is
// as the sheet reader cleans it (comments gone, white space single spaces).
namespace SvgCssConditions {

// Whether a media query list holds; an empty list holds, a malformed query
// does not (the others of its list still count).
bool MediaHolds(const std::string& queries, double width, double height);

// Whether a supports condition holds: declaration(name, value) tells whether
// a "(name: value)" is accepted, selector(text) whether "selector(text)" is.
bool SupportsHolds(const std::string& condition,
                   const std::function<bool(const std::string&, const std::string&)>& declaration,
                   const std::function<bool(const std::string&)>& selector);

} // namespace SvgCssConditions
