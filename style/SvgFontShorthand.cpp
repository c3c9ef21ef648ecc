#include "style/SvgFontShorthand.h"

#include "style/SvgAttributeTable.h"
#include "style/SvgKeyword.h"
#include "style/SvgValueReaders.h"

#include <cstring>

namespace {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool InTable(const SvgKeyword* table, const std::string& word) {
    for (; table->name; ++table) {
        if (word == table->name)
            return true;
    }
    return false;
}

// The properties before the size, in the order they are written out.
enum Part { Style, Variant, Weight, Stretch, PartCount };

// Which property a word before the size sets, or PartCount when it names none
// (then it is the size). "normal" is taken apart: it sets nothing.
Part PartOf(const std::string& word) {
    if (word == "italic" || word == "oblique")
        return Style;
    if (word == "small-caps")
        return Variant;
    SvgFontWeight weight;
    if (word != "inherit" && ReadFontWeight(weight, word.c_str()))
        return Weight;
    if (word != "narrower" && word != "wider" && InTable(kFontStretchKeywords, word))
        return Stretch;
    return PartCount;
}

} // namespace

bool ExpandFontShorthand(const char* text, std::vector<SvgFontLonghand>& out) {
    out.clear();
    if (!text)
        return false;
    static const int kIds[] = {SvgPropFontStyle,   SvgPropFontVariant, SvgPropFontWeight,
                               SvgPropFontStretch, SvgPropFontSize,    SvgPropLineHeight,
                               SvgPropFontFamily};
    std::string whole(text);
    size_t first = whole.find_first_not_of(" \t\n\r\f");
    size_t last = whole.find_last_not_of(" \t\n\r\f");
    if (first == std::string::npos)
        return false;
    whole = whole.substr(first, last - first + 1);
    if (whole == "inherit") {
        for (int id : kIds)
            out.push_back({id, "inherit"});
        return true;
    }

    std::string parts[PartCount];
    size_t pos = 0;
    std::string word;
    int normals = 0;
    for (;;) {
        size_t end = pos;
        while (end < whole.size() && !IsSpace(whole[end]) && whole[end] != '/')
            ++end;
        word = whole.substr(pos, end - pos);
        if (word.empty())
            return false;
        Part part = word == "normal" ? PartCount : PartOf(word);
        if (word != "normal" && part == PartCount)
            break; // the size
        if (word == "normal")
            ++normals;
        else if (!parts[part].empty())
            return false; // given twice
        else
            parts[part] = word;
        int given = normals;
        for (const std::string& p : parts)
            given += p.empty() ? 0 : 1;
        if (given > PartCount)
            return false;
        pos = end;
        while (pos < whole.size() && IsSpace(whole[pos]))
            ++pos;
        if (pos >= whole.size())
            return false; // no size
    }

    // The size, then "/ line-height", then the family list.
    std::string size = word;
    SvgFontSize sizeCheck;
    if (size == "inherit" || !ReadFontSize(sizeCheck, size.c_str()))
        return false;
    pos += size.size();
    while (pos < whole.size() && IsSpace(whole[pos]))
        ++pos;
    std::string lineHeight = "normal";
    if (pos < whole.size() && whole[pos] == '/') {
        ++pos;
        while (pos < whole.size() && IsSpace(whole[pos]))
            ++pos;
        size_t end = pos;
        while (end < whole.size() && !IsSpace(whole[end]))
            ++end;
        lineHeight = whole.substr(pos, end - pos);
        SvgLengthOrNormal check;
        if (lineHeight == "inherit" || !ReadLengthOrNormal(check, lineHeight.c_str()))
            return false;
        pos = end;
        while (pos < whole.size() && IsSpace(whole[pos]))
            ++pos;
    }
    std::string family = whole.substr(pos);
    if (family.empty() || family == "inherit")
        return false;

    for (int k = 0; k < PartCount; ++k)
        out.push_back({kIds[k], parts[k].empty() ? "normal" : parts[k]});
    out.push_back({SvgPropFontSize, size});
    out.push_back({SvgPropLineHeight, lineHeight});
    out.push_back({SvgPropFontFamily, family});
    return true;
}
