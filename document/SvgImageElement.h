#pragma once

#include "document/SvgFigureElement.h"

#include <memory>
#include <string>

class GdiImage;

// The `image` element: a PNG or JPEG picture from a `data:` URL or a file
// beside the SVG file (SvgImageStore), decoded while the file loads and drawn
// into its viewport (x, y, width, height) after preserveAspectRatio. A missing
// width or height takes the picture's own. Its plain figure carries its style;
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

    // The decoded picture; null when there is none.
    const GdiImage* GetImage() const { return m_image.get(); }
    // Where the picture is drawn, in user units, and the part of it (in its
    // pixels) drawn there; false when nothing is drawn.
    bool GetPlacement(Gdiplus::RectF& destination, Gdiplus::RectF& source) const;

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    bool m_widthGiven = false;
    bool m_heightGiven = false;
    std::string m_preserveAspectRatio = "xMidYMid meet";
    std::shared_ptr<GdiImage> m_image;
};
