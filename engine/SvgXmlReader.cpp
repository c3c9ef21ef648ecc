#include "engine/SvgXmlReader.h"

#include "engine/SvgXmlEntities.h"
#include "engine/SvgXmlNamespaces.h"

#include <tinyxml.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

namespace {

bool StartsWith(const char* p, const char* end, const char* lit) {
    size_t n = std::strlen(lit);
    return static_cast<size_t>(end - p) >= n && std::memcmp(p, lit, n) == 0;
}

// Position just after the first occurrence of lit at or after p, or end.
const char* After(const char* p, const char* end, const char* lit) {
    size_t n = std::strlen(lit);
    while (static_cast<size_t>(end - p) >= n) {
        const char* hit = static_cast<const char*>(std::memchr(p, lit[0], end - p - n + 1));
        if (!hit)
            break;
        if (std::memcmp(hit, lit, n) == 0)
            return hit + n;
        p = hit + 1;
    }
    return end;
}

// A start tag's name begins with a letter, an underscore or any byte of a
// multi-byte UTF-8 sequence, as the XML reader decides it.
bool StartsName(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 127;
}

// End of a document type declaration starting at p: the '>' outside quotes and
// outside its internal subset in brackets.
const char* DoctypeEnd(const char* p, const char* end, bool& hasSubset) {
    char quote = 0;
    int brackets = 0;
    hasSubset = false;
    for (; p < end; ++p) {
        char c = *p;
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (brackets > 0 && StartsWith(p, end, "<!--")) {
            p = After(p + 4, end, "-->") - 1; // quotes in comments mean nothing
        } else if (brackets > 0 && StartsWith(p, end, "<?")) {
            p = After(p + 2, end, "?>") - 1;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
            hasSubset = true;
        } else if (c == ']') {
            if (brackets > 0)
                --brackets;
        } else if (c == '>' && brackets == 0) {
            return p + 1;
        }
    }
    return end;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether the start tag at lt opens the element tag names, written with its
// "<" ("<text"), with or without a namespace prefix ("<svg:text").
bool IsTag(const char* lt, const char* end, const char* tag) {
    size_t n = std::strlen(tag) - 1;
    const char* name = lt + 1;
    const char* nameEnd = name;
    while (nameEnd < end && !IsXmlSpace(*nameEnd) && *nameEnd != '>' && *nameEnd != '/')
        ++nameEnd;
    const char* colon = static_cast<const char*>(std::memchr(name, ':', nameEnd - name));
    if (colon)
        name = colon + 1;
    return static_cast<size_t>(nameEnd - name) == n && std::memcmp(name, tag + 1, n) == 0;
}

// One pass over the markup. Counts element depth the way the XML reader nests;
// when out is given, copies everything except elements deeper than maxDepth, and
// a document type declaration with an internal subset (which the XML reader
// cannot skip) becomes as many line ends as it held, so line numbers stay.
// needsRewrite tells whether the copy would differ for a reason other than depth.
// When marks is given (the bytes of `in`, writable), white space in character
// data inside text elements is overwritten there with kTextSpace. When
// sawStyle is given, it is set if a style element starts, and sawUse if a
// use element does. When cut is given
// and the first element is an svg element, it gets the offset just past the
// first child of that element to end at or after the middle of the bytes
// (0 when none does), and rootTag the offsets of that element's start tag.
int Scan(const std::string& in, int maxDepth, std::string* out, bool* needsRewrite,
         char* marks = nullptr, bool* sawStyle = nullptr, size_t* cut = nullptr,
         bool* sawUse = nullptr, std::pair<size_t, size_t>* rootTag = nullptr) {
    const char* const begin = in.data();
    const char* const end = begin + in.size();
    const char* p = begin;
    int depth = 0;
    int deepest = 0;
    int dropFrom = 0; // depth of the element being cut out, 0 when copying
    int textFrom = 0; // depth of the text element around the data, 0 outside one
    bool svgRoot = false;
    if (cut)
        *cut = 0;
    // A child of the root ends at q: the first past the middle gives the cut.
    auto childEnds = [&](const char* q) {
        if (cut && *cut == 0 && svgRoot && depth == 1 && q - begin >= (end - begin) / 2)
            *cut = size_t(q - begin);
    };
    if (out) {
        out->clear();
        out->reserve(in.size() + 16); // room for the parse's padding
    }
    auto emit = [&](const char* from, const char* to) {
        if (out && dropFrom == 0)
            out->append(from, to);
    };
    auto emitData = [&](const char* from, const char* to) {
        if (marks && textFrom != 0) {
            for (const char* c = from; c < to; ++c) {
                if (IsXmlSpace(*c))
                    marks[c - begin] = SvgXmlReader::kTextSpace;
            }
        }
        emit(from, to);
    };
    while (p < end) {
        const char* lt = static_cast<const char*>(std::memchr(p, '<', end - p));
        if (!lt) {
            emitData(p, end);
            break;
        }
        emitData(p, lt);
        const char* q;
        bool hasSubset = false;
        if (StartsWith(lt, end, "<!DOCTYPE") &&
            (q = DoctypeEnd(lt + 9, end, hasSubset), hasSubset)) {
            if (needsRewrite)
                *needsRewrite = true;
            if (out && dropFrom == 0)
                out->append(std::count(lt, q, '\n'), '\n');
            p = q;
            continue;
        } else if (StartsWith(lt, end, "<!--")) {
            q = After(lt + 4, end, "-->");
        } else if (StartsWith(lt, end, "<![CDATA[")) {
            q = After(lt + 9, end, "]]>");
        } else if (lt + 1 < end && lt[1] == '/') {
            q = After(lt + 2, end, ">");
            if (depth > 0) {
                bool closesDropped = dropFrom != 0 && depth == dropFrom;
                if (depth == textFrom)
                    textFrom = 0;
                --depth;
                childEnds(q);
                if (closesDropped) {
                    dropFrom = 0;
                    p = q;
                    continue;
                }
            }
        } else if (lt + 1 < end && StartsName(static_cast<unsigned char>(lt[1]))) {
            // Start tag: runs to the first '>' outside a quoted value.
            q = lt + 1;
            char quote = 0;
            int attributes = 0;
            while (q < end) {
                char c = *q;
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    ++attributes;
                } else if (c == '>') {
                    break;
                }
                ++q;
            }
            // The XML reader compares each attribute with all before it.
            bool crowded = attributes > SvgXmlReader::kMaxXmlAttributes;
            if (crowded && needsRewrite)
                *needsRewrite = true;
            if (sawStyle && IsTag(lt, end, "<style"))
                *sawStyle = true;
            if (sawUse && IsTag(lt, end, "<use"))
                *sawUse = true;
            bool empty = q < end && q[-1] == '/';
            if (q < end)
                ++q;
            int level = depth + 1;
            if (level > deepest)
                deepest = level;
            if (dropFrom == 0 && (level > maxDepth || crowded)) {
                if (!empty)
                    dropFrom = level;
                if (!empty)
                    depth = level;
                p = q;
                continue;
            }
            if (level == 1 && deepest == 1) {
                svgRoot = IsTag(lt, end, "<svg");
                if (rootTag)
                    *rootTag = {size_t(lt - begin), size_t(q - begin)};
            }
            if (!empty) {
                depth = level;
                if (textFrom == 0 && IsTag(lt, end, "<text"))
                    textFrom = level;
            } else {
                childEnds(q);
            }
        } else {
            // "<!...", "<?..." and stray '<': up to the first '>'.
            q = After(lt + 1, end, ">");
        }
        emit(lt, q);
        p = q;
    }
    return deepest;
}

// Parses text as UTF-8. The XML reader steps over a multi-byte character by
// the length its first byte announces, also when the text ends sooner: zero
// bytes after the end keep such a step inside the buffer, where it stops.
void ParseUtf8(TiXmlDocument& doc, std::string& text) {
    text.append(8, '\0');
    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
}

} // namespace

bool SvgXmlReader::ReadFile(const char* path, std::string& bytes, size_t maxSize) {
    bytes.clear();
    if (!path)
        return false;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    char buf[65536];
    bool ok = true;
    for (;;) {
        size_t n = std::fread(buf, 1, sizeof buf, f);
        if (n > maxSize - bytes.size()) {
            errno = EFBIG;
            ok = false;
            break;
        }
        bytes.append(buf, n);
        if (n < sizeof buf) {
            ok = !std::ferror(f);
            break;
        }
    }
    int error = errno;
    std::fclose(f);
    errno = error; // the reason of a failed read survives the close
    if (!ok)
        bytes.clear();
    return ok;
}

void SvgXmlReader::NormalizeLineEnds(std::string& bytes) {
    if (bytes.find('\r') == std::string::npos)
        return;
    size_t w = 0;
    for (size_t r = 0; r < bytes.size(); ++r) {
        char c = bytes[r];
        if (c == '\r') {
            c = '\n';
            if (r + 1 < bytes.size() && bytes[r + 1] == '\n')
                ++r;
        }
        bytes[w++] = c;
    }
    bytes.resize(w);
}

int SvgXmlReader::MeasureDepth(const std::string& bytes) {
    return Scan(bytes, 0, nullptr, nullptr);
}

int SvgXmlReader::LimitDepth(std::string& bytes, int maxDepth) {
    bool rewrite = false;
    int deepest = Scan(bytes, maxDepth, nullptr, &rewrite);
    if (deepest <= maxDepth && !rewrite)
        return deepest;
    std::string cut;
    Scan(bytes, maxDepth, &cut, nullptr);
    bytes.swap(cut);
    return deepest;
}

void SvgXmlReader::MarkTextSpaces(std::string& bytes, bool* hasStyle) {
    if (hasStyle)
        *hasStyle = false;
    Scan(bytes, kMaxXmlDepth, nullptr, nullptr, &bytes[0], hasStyle);
}

bool SvgXmlReader::Load(const char* path, TiXmlDocument& doc, bool* hasStyle, TiXmlDocument* rest,
                        bool* hasUse, SvgInputStatus* input) {
    std::string bytes;
    if (hasStyle)
        *hasStyle = false;
    if (hasUse)
        *hasUse = false;
    if (input)
        *input = SvgInputStatus::Ok;
    if (!ReadFile(path, bytes)) {
        doc.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    return Parse(std::move(bytes), doc, hasStyle, rest, hasUse, input);
}

bool SvgXmlReader::Parse(std::string bytes, TiXmlDocument& doc, bool* hasStyle, TiXmlDocument* rest,
                         bool* hasUse, SvgInputStatus* input) {
    SvgInputStatus status = SvgInputDecoder::Decode(bytes);
    if (input)
        *input = status;
    return ParseDecoded(std::move(bytes), doc, hasStyle, rest, hasUse);
}

bool SvgXmlReader::ParseDecoded(std::string bytes, TiXmlDocument& doc, bool* hasStyle,
                                TiXmlDocument* rest, bool* hasUse) {
    NormalizeLineEnds(bytes);
    SvgXmlEntities::Expand(bytes);
    LimitDepth(bytes, kMaxXmlDepth);
    bool sawStyle = false, sawUse = false;
    size_t cut = 0;
    std::pair<size_t, size_t> rootTag{0, 0};
    Scan(bytes, kMaxXmlDepth, nullptr, nullptr, &bytes[0], &sawStyle,
         rest && bytes.size() >= kPartSize ? &cut : nullptr, &sawUse, &rootTag);
    if (hasStyle)
        *hasStyle = sawStyle;
    if (hasUse)
        *hasUse = sawUse;
    if (cut > 0 && !sawStyle && rootTag.second > rootTag.first && rootTag.second <= cut) {
        // The second part opens with a copy of the root's start tag (its
        // namespaces and xml:space hold there too) and ends with the root's
        // own end tag.
        const char* tag = bytes.data() + rootTag.first;
        size_t nameLength = 1;
        while (rootTag.first + nameLength < rootTag.second && !IsXmlSpace(tag[nameLength]) &&
               tag[nameLength] != '>' && tag[nameLength] != '/')
            ++nameLength;
        std::string endTag = "</" + bytes.substr(rootTag.first + 1, nameLength - 1) + ">";
        std::string second;
        second.reserve(rootTag.second - rootTag.first + bytes.size() - cut + 16);
        second.append(bytes, rootTag.first, rootTag.second - rootTag.first).append(bytes, cut);
        std::thread helper;
        try {
            helper = std::thread([rest, &second] {
                ParseUtf8(*rest, second);
                SvgXmlNamespaces::Resolve(*rest);
            });
        } catch (const std::system_error&) {
        }
        if (helper.joinable()) {
            bytes.resize(cut);
            bytes += endTag;
            ParseUtf8(doc, bytes);
            SvgXmlNamespaces::Resolve(doc);
            helper.join();
            return !doc.Error() && !rest->Error();
        }
    }
    ParseUtf8(doc, bytes);
    SvgXmlNamespaces::Resolve(doc);
    return !doc.Error();
}
