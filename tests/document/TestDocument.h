#pragma once

#include "document/SvgElement.h"
#include "document/SvgRootElement.h"
#include "engine/SvgEngine.h"
#include "interface/SvgCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

// A temporary file holding an SVG text, removed with the object.
class TempSvg {
public:
    explicit TempSvg(const std::string& text) {
        static int counter = 0;
        m_path = "/tmp/kelsvg-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
                 ".svg";
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~TempSvg() { std::remove(m_path.c_str()); }
    const char* path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

// Parses text into engine.
inline void ParseText(SvgEngine& engine, const std::string& text) {
    TempSvg file(text);
    engine.Parse(file.path());
}

// Wraps body in an svg element with the given attributes.
inline std::string Svg(const std::string& attributes, const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
           attributes + ">" + body + "</svg>";
}

// Tags of the subtree in pre-order, as "tag#id" with "(" and ")" around children.
inline std::string Outline(const SvgElement* element) {
    std::string out = element->GetTagName();
    if (element->GetId() != "  ")
        out += "#" + element->GetId();
    if (!element->GetChildren().empty()) {
        out += "(";
        bool first = true;
        for (const SvgElement* child : element->GetChildren()) {
            if (!first)
                out += " ";
            first = false;
            out += Outline(child);
        }
        out += ")";
    }
    return out;
}

inline int Depth(const SvgElement* element) {
    int deepest = 0;
    for (const SvgElement* child : element->GetChildren()) {
        int d = Depth(child);
        if (d > deepest)
            deepest = d;
    }
    return deepest + 1;
}
