#pragma once

#include "engine/GdiObject.h"

// A matrix and its last failed status. Owns its native matrix.
class GdiMatrix : public GdiObject<Gdiplus::GpMatrix> {
public:
    explicit GdiMatrix(Gdiplus::GpMatrix* handle = nullptr) : GdiObject(handle) {}
    ~GdiMatrix();

    // Identity (GdipCreateMatrix) or the six elements (GdipCreateMatrix2).
    // Null only when the wrapper cannot be allocated.
    static GdiMatrix* Create();
    static GdiMatrix* Create(Gdiplus::REAL m11, Gdiplus::REAL m12, Gdiplus::REAL m21,
                             Gdiplus::REAL m22, Gdiplus::REAL dx, Gdiplus::REAL dy);

    // GdipSetMatrixElements, status recorded.
    Gdiplus::Status SetElements(Gdiplus::REAL m11, Gdiplus::REAL m12, Gdiplus::REAL m21,
                                Gdiplus::REAL m22, Gdiplus::REAL dx, Gdiplus::REAL dy);
};
