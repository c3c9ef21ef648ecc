#pragma once

#include "syntax/SvgTransform.h"

#include <vector>

// An ordered list of transform items, held by value, with the operations of
// the SVG 1.1 DOM. Indices at or past the count change nothing and yield a
// new item (type 0, identity).
class SvgTransformList {
public:
    SvgTransformList() = default;
    virtual ~SvgTransformList() = default;

    virtual unsigned int numberOfItems() const { return static_cast<unsigned int>(m_items.size()); }
    virtual void clear() { m_items.clear(); }
    virtual SvgTransform initialize(const SvgTransform& item);
    virtual SvgTransform getItem(unsigned int index) const;
    // An index at or past the count appends.
    virtual SvgTransform insertItemBefore(const SvgTransform& item, unsigned int index);
    virtual SvgTransform replaceItem(const SvgTransform& item, unsigned int index);
    virtual SvgTransform removeItem(unsigned int index);
    virtual SvgTransform appendItem(const SvgTransform& item);
    // A new item of type matrix; the list is not touched.
    virtual SvgTransform createSVGTransformFromMatrix(const SvgMatrix& matrix) const;
    // Multiplies the items in list order (the first is the outermost) into one
    // matrix item, which then is the only item. An empty list gives the identity.
    virtual SvgTransform consolidate();

private:
    std::vector<SvgTransform> m_items;
};
