#include "syntax/SvgPathScanner.h"

namespace {
const char emptyText[] = "";
}

SvgPathScanner::SvgPathScanner() {
    start(emptyText);
}

SvgPathScanner::~SvgPathScanner() = default;

bool SvgPathScanner::parse() {
    return true;
}

void SvgPathScanner::start(const char* text) {
    m_next = text ? text : emptyText;
    advance();
}

bool SvgPathScanner::run(const char* text) {
    // The caller's text is already zero-terminated and outlives the run, so it
    // is read in place rather than copied.
    start(text);
    const bool matched = parse() && atEnd();
    start(emptyText);
    return matched;
}

bool SvgPathScanner::run(const std::string& text) {
    return run(text.c_str());
}
