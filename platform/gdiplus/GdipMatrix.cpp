// Matrices: six elements with GDI+'s meaning, held as a Cairo matrix.

#include <new>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

bool IsUsableMatrix(const cairo_matrix_t& m) {
    const double v[6] = {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
    for (double e : v)
        if (!std::isfinite(e))
            return false;
    double det = m.xx * m.yy - m.yx * m.xy;
    if (!std::isfinite(det) || det == 0)
        return false;
    // The inverse must be finite too, or Cairo refuses it later.
    double inv = 1 / det;
    return std::isfinite(inv * m.xx) && std::isfinite(inv * m.yy) && std::isfinite(inv * m.xy) &&
           std::isfinite(inv * m.yx);
}

namespace {

void Combine(cairo_matrix_t* target, const cairo_matrix_t& other, MatrixOrder order) {
    cairo_matrix_t r;
    if (order == MatrixOrderPrepend)
        cairo_matrix_multiply(&r, &other, target); // other applies first
    else
        cairo_matrix_multiply(&r, target, &other);
    *target = r;
}

bool ValidOrder(MatrixOrder order) {
    return order == MatrixOrderPrepend || order == MatrixOrderAppend;
}

} // namespace

extern "C" {

Status WINGDIPAPI GdipCreateMatrix(GpMatrix** matrix) {
    if (!matrix)
        return InvalidParameter;
    *matrix = new (std::nothrow) GpMatrix;
    return *matrix ? Ok : OutOfMemory;
}

Status WINGDIPAPI GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy,
                                    GpMatrix** matrix) {
    if (!matrix)
        return InvalidParameter;
    *matrix = new (std::nothrow) GpMatrix;
    if (!*matrix)
        return OutOfMemory;
    cairo_matrix_init(&(*matrix)->m, m11, m12, m21, m22, dx, dy);
    return Ok;
}

Status WINGDIPAPI GdipCloneMatrix(GpMatrix* matrix, GpMatrix** cloneMatrix) {
    if (!Valid(matrix) || !cloneMatrix)
        return InvalidParameter;
    *cloneMatrix = new (std::nothrow) GpMatrix(*matrix);
    return *cloneMatrix ? Ok : OutOfMemory;
}

Status WINGDIPAPI GdipDeleteMatrix(GpMatrix* matrix) {
    if (!Valid(matrix))
        return InvalidParameter;
    delete matrix;
    return Ok;
}

Status WINGDIPAPI GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22,
                                        REAL dx, REAL dy) {
    if (!Valid(matrix))
        return InvalidParameter;
    cairo_matrix_init(&matrix->m, m11, m12, m21, m22, dx, dy);
    return Ok;
}

Status WINGDIPAPI GdipGetMatrixElements(GDIPCONST GpMatrix* matrix, REAL* out) {
    if (!Valid(matrix) || !out)
        return InvalidParameter;
    const cairo_matrix_t& m = matrix->m;
    out[0] = REAL(m.xx);
    out[1] = REAL(m.yx);
    out[2] = REAL(m.xy);
    out[3] = REAL(m.yy);
    out[4] = REAL(m.x0);
    out[5] = REAL(m.y0);
    return Ok;
}

Status WINGDIPAPI GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, GpMatrixOrder order) {
    if (!Valid(matrix) || !Valid(matrix2) || !ValidOrder(order))
        return InvalidParameter;
    Combine(&matrix->m, matrix2->m, order);
    return Ok;
}

Status WINGDIPAPI GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY,
                                      GpMatrixOrder order) {
    if (!Valid(matrix) || !ValidOrder(order))
        return InvalidParameter;
    cairo_matrix_t t;
    cairo_matrix_init_translate(&t, offsetX, offsetY);
    Combine(&matrix->m, t, order);
    return Ok;
}

Status WINGDIPAPI GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, GpMatrixOrder order) {
    if (!Valid(matrix) || !ValidOrder(order))
        return InvalidParameter;
    cairo_matrix_t t;
    cairo_matrix_init_scale(&t, scaleX, scaleY);
    Combine(&matrix->m, t, order);
    return Ok;
}

Status WINGDIPAPI GdipRotateMatrix(GpMatrix* matrix, REAL angle, GpMatrixOrder order) {
    if (!Valid(matrix) || !ValidOrder(order))
        return InvalidParameter;
    cairo_matrix_t t;
    cairo_matrix_init_rotate(&t, angle * M_PI / 180.0);
    Combine(&matrix->m, t, order);
    return Ok;
}

Status WINGDIPAPI GdipInvertMatrix(GpMatrix* matrix) {
    if (!Valid(matrix))
        return InvalidParameter;
    if (!IsUsableMatrix(matrix->m))
        return InvalidParameter;
    cairo_matrix_t m = matrix->m;
    if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS)
        return InvalidParameter;
    matrix->m = m;
    return Ok;
}

Status WINGDIPAPI GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count) {
    if (!Valid(matrix) || !pts || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i) {
        double x = pts[i].X, y = pts[i].Y;
        cairo_matrix_transform_point(&matrix->m, &x, &y);
        pts[i].X = REAL(x);
        pts[i].Y = REAL(y);
    }
    return Ok;
}

Status WINGDIPAPI GdipIsMatrixInvertible(GDIPCONST GpMatrix* matrix, BOOL* result) {
    if (!Valid(matrix) || !result)
        return InvalidParameter;
    *result = IsUsableMatrix(matrix->m) ? TRUE : FALSE;
    return Ok;
}

Status WINGDIPAPI GdipIsMatrixIdentity(GDIPCONST GpMatrix* matrix, BOOL* result) {
    if (!Valid(matrix) || !result)
        return InvalidParameter;
    const cairo_matrix_t& m = matrix->m;
    *result =
        (m.xx == 1 && m.yx == 0 && m.xy == 0 && m.yy == 1 && m.x0 == 0 && m.y0 == 0) ? TRUE : FALSE;
    return Ok;
}

} // extern "C"

} // namespace Gdiplus
