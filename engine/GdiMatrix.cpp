#include "engine/GdiMatrix.h"

using namespace Gdiplus;

GdiMatrix::~GdiMatrix() {
    if (handle)
        GdipDeleteMatrix(handle);
}

GdiMatrix* GdiMatrix::Create() {
    GdiMatrix* m = new GdiMatrix;
    if (m)
        m->Record(GdipCreateMatrix(&m->handle));
    return m;
}

GdiMatrix* GdiMatrix::Create(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
    GdiMatrix* m = new GdiMatrix;
    if (m)
        m->Record(GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &m->handle));
    return m;
}

Status GdiMatrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
    return Record(GdipSetMatrixElements(handle, m11, m12, m21, m22, dx, dy));
}
