#pragma once

#include "document/SvgFigureElement.h"

#include <memory>
#include <string>

class GdiImage;

// The `image` element: a PNG, JPEG, GIF or WebP picture, or an SVG document,
// from a `data:` URL or a file beside the SVG file (SvgImageStore), decoded
// while the file loads and drawn into its viewport (x, y, width, height)
// after preserveAspectRatio. A missing width or height takes the picture's
// own (an SVG document's size). Its plain figure carries its style;
// its children (not valid SVG, but accepted) are drawn under its transform.
class SvgImageElement : public SvgFigureElement {
public:
    SvgImageElement();
    ~SvgImageElement() override;

    bool ReadAttributes(TiXmlElement* xml) override;
    SvgElement* Clone() const override { return new SvgImageElement(); }
    // Takes the source's placement and shares its decoded picture.
    void CopyFrom(const SvgElement* source) override;
    void Paint(GdiGraphics& graphics) override;

    // The decoded picture; null when there is none (or it is a document).
    const GdiImage* GetImage() const { return m_image.get(); }
    // The SVG document shown; null when there is none.
    const SvgEngine* GetDocument() const { return m_document.get(); }
    // Where the picture is drawn, in user units, and the part of it (in its
    // pixels, or a document's user units) drawn there; false when nothing is
    // drawn.
    bool GetPlacement(Gdiplus::RectF& destination, Gdiplus::RectF& source) const;

private:
    // The picture's own size; false when it has none.
    bool PictureSize(double& width, double& height) const;
    // Draws the document into destination, the part source of it.
    void PaintDocument(GdiGraphics& graphics, const Gdiplus::RectF& destination,
                       const Gdiplus::RectF& source);

    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    bool m_widthGiven = false;
    bool m_heightGiven = false;
    std::string m_preserveAspectRatio = "xMidYMid meet";
    std::shared_ptr<GdiImage> m_image;
    std::shared_ptr<SvgEngine> m_document;
};
