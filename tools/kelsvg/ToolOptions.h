#pragma once

#include "ToolOutput.h"

#include <cstdint>
#include <string>
#include <vector>

// The command line of kelsvg, parsed.
struct ToolOptions {
    int width = 0;   // 0: the document's
    int height = 0;  // 0: the document's
    double zoom = 0; // 0: none; scales the document's size when no side is given
    bool keepAspect = false;
    ImageFormat format = ImageFormat::Png;
    bool formatGiven = false; // else each output's extension names it
    double dpi = 96;          // pixels to the inch: of absolute units, and of vector pages
    bool hasBackground = false;
    uint32_t background = 0; // ARGB
    bool cache = false;
    bool dc = false;
    int quality = 0;                 // JPEG and WebP, 1 to 100; 0: the format's default
    std::string id;                  // draw only this element (empty: all)
    std::string baseDir;             // images resolve here (empty: beside each input)
    std::string styleSheetPath;      // --stylesheet
    std::string styleSheet;          // its text, read before rendering
    bool printRotations = false;     // the library's rotate lines (stdout, or stderr with OUTPUT -)
    std::string outDir;              // empty: one INPUT and one OUTPUT
    int jobs = 0;                    // inputs rendered at once with outDir; 0: one per processor
    std::vector<std::string> inputs; // "-": standard input
    std::string output;              // "-": standard output
    bool outputOption = false;       // given with -o: every positional argument is an input
    bool help = false;
    bool version = false;
};

// Largest window side the tool accepts or makes (the back end's bitmap limit).
const int kMaxImageSide = 32767;
// Largest side of a vector image (PDF, SVG, PostScript), which needs no bitmap.
const int kMaxVectorSide = 1000000;
// Largest image area the tool makes: the image, the bitmap cache and the PNG
// writer's copy then stay within a few hundred MB, whatever size a file asks for.
const long long kMaxImagePixels = 1LL << 25;

// Most inputs the tool renders at once.
const int kMaxJobs = 256;

// Parses argv; on a usage error returns false with a message in error.
bool ParseToolOptions(int argc, char** argv, ToolOptions& options, std::string& error);

// A colour as the library reads it (KelParseColor: keywords, #rgb, #rgba,
// rgb(), hsl() and the rest), to ARGB. False when the text is none of these.
bool ParseToolColor(const std::string& text, uint32_t& argb);

// The text of --help.
const char* ToolUsage();
