#pragma once

#include <string>

// One "name: value" pair of a style attribute, as readDeclarations found it.
struct SvgDeclaration {
    SvgDeclaration() = default;
    SvgDeclaration(std::string n, std::string v) : name(std::move(n)), value(std::move(v)) {}

    std::string name;
    std::string value;
};
