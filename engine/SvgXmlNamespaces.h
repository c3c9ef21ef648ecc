#pragma once

class TiXmlDocument;

// Resolves XML namespaces in a document the XML reader has read (it knows
// none), so that the rest of the library finds elements and attributes by
// their SVG names however they are prefixed. Prefixes are bound by `xmlns:p`
// and the default namespace by `xmlns`, each inherited by the element's
// descendants.
//
// - An element in the SVG namespace takes its local name (`svg:rect` becomes
//   `rect`). An unprefixed element counts as SVG unless a default namespace
//   other than SVG's is in force: files that declare none are SVG.
// - An element of any other namespace, or with a prefix bound to none, is
//   removed with its subtree (editor metadata, RDF, foreign content); a
//   top-level one is kept under the name "{URI}local" (or as written when its
//   prefix is bound to none), which no SVG name matches.
// - An attribute in the XLink namespace is named `xlink:NAME` whatever its
//   prefix (`xlink:` itself counts as XLink when the document does not bind
//   it); one named `xlink:NAME` whose prefix is bound elsewhere is removed,
//   and so is an XLink `href` beside an unprefixed `href`, which wins.
class SvgXmlNamespaces {
public:
    static constexpr const char* kSvg = "http://www.w3.org/2000/svg";
    static constexpr const char* kXLink = "http://www.w3.org/1999/xlink";

    static void Resolve(TiXmlDocument& doc);
};
