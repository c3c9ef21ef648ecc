#pragma once

#include <vector>

// `data:` URLs: "data:[media type][;base64],data". The media type is not
// looked at (images are told apart by their first bytes).
namespace SvgDataUrl {

// Whether text starts with the scheme "data:" (in any case).
bool IsDataUrl(const char* text);

// The bytes a data URL holds. Base64 data is read as browsers do: white space
// is skipped, one or two '=' may end it, any other character outside the
// alphabet makes it unreadable. Other data is taken as it is, with %XX escapes
// decoded. False, with out empty, for text that is no data URL or data that
// cannot be read.
bool Decode(const char* text, std::vector<unsigned char>& out);

} // namespace SvgDataUrl
