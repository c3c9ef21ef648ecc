// Pens: colour or brush, width, caps, join, miter limit and dash pattern.

#include <new>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

namespace {

bool ValidCap(LineCap cap) {
    switch (cap) {
    case LineCapFlat:
    case LineCapSquare:
    case LineCapRound:
    case LineCapTriangle:
    case LineCapNoAnchor:
    case LineCapSquareAnchor:
    case LineCapRoundAnchor:
    case LineCapDiamondAnchor:
    case LineCapArrowAnchor:
        return true;
    default:
        return false;
    }
}

// The dash patterns of the named styles, in multiples of the width.
std::vector<REAL> StyleDashes(DashStyle style) {
    switch (style) {
    case DashStyleDash:
        return {3, 1};
    case DashStyleDot:
        return {1, 1};
    case DashStyleDashDot:
        return {3, 1, 1, 1};
    case DashStyleDashDotDot:
        return {3, 1, 1, 1, 1, 1};
    default:
        return {};
    }
}

} // namespace

extern "C" {

Status WINGDIPAPI GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen) {
    if (!pen)
        return InvalidParameter;
    *pen = nullptr;
    if (!std::isfinite(width) || (unit != UnitWorld && unit != UnitPixel))
        return InvalidParameter;
    GpPen* p = new (std::nothrow) GpPen;
    if (!p)
        return OutOfMemory;
    p->color = color;
    p->width = std::fabs(width);
    p->unit = unit;
    *pen = p;
    return Ok;
}

Status WINGDIPAPI GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen) {
    if (!pen)
        return InvalidParameter;
    *pen = nullptr;
    GpBrush* live = LiveBrush(brush);
    if (!live)
        return InvalidParameter;
    Status status = GdipCreatePen1(0xFF000000, width, unit, pen);
    if (status != Ok)
        return status;
    GpBrush* copy = CopyBrush(live);
    if (!copy) {
        delete *pen;
        *pen = nullptr;
        return OutOfMemory;
    }
    (*pen)->brush.reset(copy);
    return Ok;
}

Status WINGDIPAPI GdipClonePen(GpPen* pen, GpPen** clonepen) {
    if (!Valid(pen) || !clonepen)
        return InvalidParameter;
    GpPen* copy = new (std::nothrow) GpPen(*pen);
    if (copy && pen->brush.get() && !copy->brush.get()) {
        delete copy; // its brush could not be copied
        copy = nullptr;
    }
    *clonepen = copy;
    return copy ? Ok : OutOfMemory;
}

Status WINGDIPAPI GdipDeletePen(GpPen* pen) {
    if (!Valid(pen))
        return InvalidParameter;
    delete pen;
    return Ok;
}

Status WINGDIPAPI GdipSetPenWidth(GpPen* pen, REAL width) {
    if (!Valid(pen) || !std::isfinite(width))
        return InvalidParameter;
    pen->width = std::fabs(width);
    return Ok;
}

Status WINGDIPAPI GdipGetPenWidth(GpPen* pen, REAL* width) {
    if (!Valid(pen) || !width)
        return InvalidParameter;
    *width = pen->width;
    return Ok;
}

Status WINGDIPAPI GdipSetPenColor(GpPen* pen, ARGB argb) {
    if (!Valid(pen))
        return InvalidParameter;
    pen->color = argb;
    return Ok;
}

Status WINGDIPAPI GdipGetPenColor(GpPen* pen, ARGB* argb) {
    if (!Valid(pen) || !argb)
        return InvalidParameter;
    *argb = pen->color;
    return Ok;
}

Status WINGDIPAPI GdipSetPenStartCap(GpPen* pen, GpLineCap startCap) {
    if (!Valid(pen) || !ValidCap(startCap))
        return InvalidParameter;
    pen->startCap = startCap;
    return Ok;
}

Status WINGDIPAPI GdipGetPenStartCap(GpPen* pen, GpLineCap* startCap) {
    if (!Valid(pen) || !startCap)
        return InvalidParameter;
    *startCap = pen->startCap;
    return Ok;
}

Status WINGDIPAPI GdipSetPenEndCap(GpPen* pen, GpLineCap endCap) {
    if (!Valid(pen) || !ValidCap(endCap))
        return InvalidParameter;
    pen->endCap = endCap;
    return Ok;
}

Status WINGDIPAPI GdipGetPenEndCap(GpPen* pen, GpLineCap* endCap) {
    if (!Valid(pen) || !endCap)
        return InvalidParameter;
    *endCap = pen->endCap;
    return Ok;
}

Status WINGDIPAPI GdipSetPenLineJoin(GpPen* pen, GpLineJoin lineJoin) {
    if (!Valid(pen) || lineJoin < LineJoinMiter || lineJoin > LineJoinMiterClipped)
        return InvalidParameter;
    pen->join = lineJoin;
    return Ok;
}

Status WINGDIPAPI GdipGetPenLineJoin(GpPen* pen, GpLineJoin* lineJoin) {
    if (!Valid(pen) || !lineJoin)
        return InvalidParameter;
    *lineJoin = pen->join;
    return Ok;
}

Status WINGDIPAPI GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit) {
    if (!Valid(pen) || !std::isfinite(miterLimit))
        return InvalidParameter;
    pen->miterLimit = miterLimit < 1 ? 1 : miterLimit;
    return Ok;
}

Status WINGDIPAPI GdipGetPenMiterLimit(GpPen* pen, REAL* miterLimit) {
    if (!Valid(pen) || !miterLimit)
        return InvalidParameter;
    *miterLimit = pen->miterLimit;
    return Ok;
}

Status WINGDIPAPI GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle) {
    if (!Valid(pen) || dashstyle < DashStyleSolid || dashstyle > DashStyleCustom)
        return InvalidParameter;
    if (dashstyle == DashStyleCustom) {
        if (pen->dashes.empty())
            pen->dashes = {1};
    } else {
        pen->dashes = StyleDashes(dashstyle);
    }
    pen->dashStyle = dashstyle;
    return Ok;
}

Status WINGDIPAPI GdipGetPenDashStyle(GpPen* pen, GpDashStyle* dashstyle) {
    if (!Valid(pen) || !dashstyle)
        return InvalidParameter;
    *dashstyle = pen->dashStyle;
    return Ok;
}

Status WINGDIPAPI GdipSetPenDashOffset(GpPen* pen, REAL offset) {
    if (!Valid(pen) || !std::isfinite(offset))
        return InvalidParameter;
    pen->dashOffset = offset;
    return Ok;
}

Status WINGDIPAPI GdipGetPenDashOffset(GpPen* pen, REAL* offset) {
    if (!Valid(pen) || !offset)
        return InvalidParameter;
    *offset = pen->dashOffset;
    return Ok;
}

Status WINGDIPAPI GdipSetPenDashArray(GpPen* pen, GDIPCONST REAL* dash, INT count) {
    if (!Valid(pen) || !dash || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!(dash[i] > 0) || !std::isfinite(dash[i]))
            return InvalidParameter;
    pen->dashes.assign(dash, dash + count);
    pen->dashStyle = DashStyleCustom;
    return Ok;
}

Status WINGDIPAPI GdipSetPenDashCap197819(GpPen* pen, GpDashCap dashCap) {
    if (!Valid(pen) || (dashCap != DashCapFlat && dashCap != DashCapRound &&
                        dashCap != DashCapTriangle && dashCap != KelDashCapSquare))
        return InvalidParameter;
    pen->dashCap = dashCap;
    return Ok;
}

Status WINGDIPAPI GdipGetPenDashCap197819(GpPen* pen, GpDashCap* dashCap) {
    if (!Valid(pen) || !dashCap)
        return InvalidParameter;
    *dashCap = pen->dashCap;
    return Ok;
}

Status WINGDIPAPI GdipGetPenDashCount(GpPen* pen, INT* count) {
    if (!Valid(pen) || !count)
        return InvalidParameter;
    *count = INT(pen->dashes.size());
    return Ok;
}

Status WINGDIPAPI GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count) {
    if (!Valid(pen) || !dash || count <= 0)
        return InvalidParameter;
    if (size_t(count) < pen->dashes.size())
        return InsufficientBuffer;
    std::copy(pen->dashes.begin(), pen->dashes.end(), dash);
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
