#pragma once

#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include <memory>
#include <tinyxml.h>
#include <vector>

// Styles of a chain of nested elements (each element's first child element),
// read and merged as the element tree does: parents first, each child linked
// to its parent's record.
struct StyleChain {
    TiXmlDocument doc;
    std::vector<std::unique_ptr<SvgStyle>> styles;

    explicit StyleChain(const char* xml) {
        doc.Parse(xml);
        const SvgStyle* parent = nullptr;
        for (const TiXmlElement* e = doc.RootElement(); e; e = e->FirstChildElement()) {
            styles.push_back(std::make_unique<SvgStyle>());
            styles.back()->parent = parent;
            styles.back()->ReadFromElement(e);
            parent = styles.back().get();
        }
    }

    SvgStyle& operator[](size_t i) { return *styles.at(i); }
    SvgStyle& Last() { return *styles.back(); }
};

// One element's style read without a parent.
inline std::unique_ptr<SvgStyle> ReadElementStyle(const char* xml) {
    TiXmlDocument doc;
    doc.Parse(xml);
    auto style = std::make_unique<SvgStyle>();
    style->ReadFromElement(doc.RootElement());
    return style;
}

// Packed 0xRRGGBB00 of a colour.
inline unsigned Packed(const SvgColor& c) {
    return ToArgb(c, 0) << 8;
}
