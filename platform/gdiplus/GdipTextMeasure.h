#pragma once

// Measuring a string, the counterpart of GdipAddPathString.

#include "platform/gdiplus/GdiPlus.h"

namespace Gdiplus {

extern "C" {

// The layout box of `string` (length -1: up to its NUL) in `font`, laid out in
// layoutRect by `format` exactly as GdipAddPathString lays it out: boundingBox
// receives the left of the widest line, the top of the line block, the widest
// line's advance width and the block's height; codepointsFitted the UTF-16
// units measured and linesFilled the lines holding text. Trailing spaces count
// only with StringFormatFlagsMeasureTrailingSpaces, as in GDI+. The graphics
// may be null: measures are in world units whatever the device. A string with
// no measured advance gives a box of width 0 and height 0 at the layout point.
KELSVG_API Status WINGDIPAPI GdipMeasureString(GpGraphics* graphics, GDIPCONST WCHAR* string,
                                               INT length, GDIPCONST GpFont* font,
                                               GDIPCONST RectF* layoutRect,
                                               GDIPCONST GpStringFormat* stringFormat,
                                               RectF* boundingBox, INT* codepointsFitted,
                                               INT* linesFilled);

} // extern "C"

} // namespace Gdiplus
