#pragma once

#include "engine/SvgInputDecoder.h"

#include <cstddef>
#include <string>

class TiXmlDocument;

// Reads an SVG file into a TinyXML document without ever handing the XML reader
// nesting deep enough to exhaust its recursion: elements nested deeper than
// kMaxXmlDepth are cut out of the bytes (with their subtrees) before parsing.
class SvgXmlReader {
public:
    // Top-level elements are at depth 1.
    static constexpr int kMaxXmlDepth = 1024;
    // An element with more attributes is left out with its subtree (the XML
    // reader takes time in the square of an element's attributes).
    static constexpr int kMaxXmlAttributes = 256;

    // Files larger than this are not read (a device or pipe may never end).
    static constexpr size_t kMaxFileSize = size_t(256) << 20;

    // Whole file into bytes; false when it cannot be opened or read, or holds
    // more than maxSize bytes (errno is then EFBIG).
    static bool ReadFile(const char* path, std::string& bytes, size_t maxSize = kMaxFileSize);

    // Line ends as the XML reader's own file loader leaves them ("\r\n" and a lone
    // "\r" become "\n").
    static void NormalizeLineEnds(std::string& bytes);

    // Deepest element nesting in the bytes, lexed the way the XML reader lexes
    // markup (comments, CDATA, "<!" and "<?" sections, quoted attribute values).
    static int MeasureDepth(const std::string& bytes);

    // Removes every element nested deeper than maxDepth or with more than
    // kMaxXmlAttributes attributes, with everything inside it, and the internal subset of a
    // document type declaration (the XML reader would stop at it; its line ends are kept; its
    // entities are expanded before). Returns the depth found before cutting.
    static int LimitDepth(std::string& bytes, int maxDepth);

    // Stands for a white-space character in the character data of a text
    // element: the XML reader trims and collapses white space, which text
    // needs as written. (A control character no well-formed file holds.)
    static constexpr char kTextSpace = '\x01';

    // Overwrites every space, tab and line end in the character data of text
    // elements (and of the elements inside them) with kTextSpace. Markup,
    // comments and CDATA sections are left as they are. hasStyle (may be
    // null) tells whether a `style` element starts in the bytes.
    static void MarkTextSpaces(std::string& bytes, bool* hasStyle = nullptr);

    // ReadFile, SvgInputDecoder::Decode (gzip, encodings), NormalizeLineEnds,
    // SvgXmlEntities::Expand, LimitDepth(kMaxXmlDepth), MarkTextSpaces, then
    // parse as UTF-8 and resolve namespaces (SvgXmlNamespaces).
    // False when the file cannot be read or is not well-formed XML (the document
    // then holds the reader's error).
    //
    // With rest given, a document of kPartSize bytes or more whose root is an
    // svg element, without style elements, is parsed in two parts at once on
    // two threads: doc gets the root with its children up to about the middle,
    // rest a copy of the root's start tag with the children after them and
    // what follows the root. The result is false when either part is not
    // well-formed. rest stays empty when the document is not cut.
    // hasUse (may be null) tells whether a `use` element starts in the file;
    // input (may be null) how decoding went (the document holds what it gave).
    static bool Load(const char* path, TiXmlDocument& doc, bool* hasStyle = nullptr,
                     TiXmlDocument* rest = nullptr, bool* hasUse = nullptr,
                     SvgInputStatus* input = nullptr);

    // The same, from bytes already in memory (taken by value: they are cut).
    static bool Parse(std::string bytes, TiXmlDocument& doc, bool* hasStyle = nullptr,
                      TiXmlDocument* rest = nullptr, bool* hasUse = nullptr,
                      SvgInputStatus* input = nullptr);
    // The same, from UTF-8 text that SvgInputDecoder has decoded.
    static bool ParseDecoded(std::string text, TiXmlDocument& doc, bool* hasStyle = nullptr,
                             TiXmlDocument* rest = nullptr, bool* hasUse = nullptr);

    // The smallest document (in bytes) Load and Parse cut in two.
    static constexpr size_t kPartSize = size_t(1) << 20;
};
