#include "syntax/SvgTransformList.h"

SvgTransform SvgTransformList::initialize(const SvgTransform& item) {
    m_items.clear();
    m_items.push_back(item);
    return item;
}

SvgTransform SvgTransformList::getItem(unsigned int index) const {
    if (index >= m_items.size())
        return SvgTransform();
    return m_items[index];
}

SvgTransform SvgTransformList::insertItemBefore(const SvgTransform& item, unsigned int index) {
    if (index >= m_items.size())
        m_items.push_back(item);
    else
        m_items.insert(m_items.begin() + index, item);
    return item;
}

SvgTransform SvgTransformList::replaceItem(const SvgTransform& item, unsigned int index) {
    if (index >= m_items.size())
        return SvgTransform();
    m_items[index] = item;
    return item;
}

SvgTransform SvgTransformList::removeItem(unsigned int index) {
    if (index >= m_items.size())
        return SvgTransform();
    SvgTransform removed = m_items[index];
    m_items.erase(m_items.begin() + index);
    return removed;
}

SvgTransform SvgTransformList::appendItem(const SvgTransform& item) {
    m_items.push_back(item);
    return item;
}

SvgTransform SvgTransformList::createSVGTransformFromMatrix(const SvgMatrix& matrix) const {
    SvgTransform item;
    item.setMatrix(matrix);
    return item;
}

SvgTransform SvgTransformList::consolidate() {
    SvgMatrix total;
    for (const SvgTransform& item : m_items)
        total = total.multiply(item.getMatrix());
    m_items.clear();
    return appendItem(createSVGTransformFromMatrix(total));
}
