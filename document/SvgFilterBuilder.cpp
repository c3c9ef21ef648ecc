#include "document/SvgFilterBuilder.h"

#include "document/SvgFilterElement.h"
#include "document/SvgFilterPrimitiveElement.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"
#include "style/SvgValueReaders.h"
#include "syntax/SvgNumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <map>

using namespace Gdiplus;

namespace {

// Kernels of more cells are not applied.
constexpr size_t kMaxKernelCells = size_t(1) << 24;
// Links followed along a filter's href chain.
constexpr int kMaxChain = 16;

bool Is(const char* text, const char* word) {
    return text && std::strcmp(text, word) == 0;
}

// Numbers separated by white space and commas; at most max of them (one more
// tells that there were too many). False when other text is met.
bool Numbers(const char* text, std::vector<double>& out, size_t max) {
    out.clear();
    if (!text)
        return false;
    const char* p = text;
    const char* end = text + std::strlen(text);
    while (true) {
        while (p < end && (std::strchr(" \t\r\n,", *p)))
            ++p;
        if (p == end || out.size() > max)
            return true;
        double v;
        size_t n = SvgNumberText::Scan(p, end, v);
        if (n == 0)
            return false;
        out.push_back(v);
        p += n;
    }
}

// One or two numbers (the second defaults to the first); false when the text
// is neither.
bool NumberPair(const char* text, double& a, double& b) {
    std::vector<double> v;
    if (!Numbers(text, v, 2) || v.empty() || v.size() > 2)
        return false;
    a = v[0];
    b = v.size() > 1 ? v[1] : v[0];
    return true;
}

double NumberOr(const char* text, double fallback) {
    std::vector<double> v;
    return Numbers(text, v, 1) && v.size() == 1 ? v[0] : fallback;
}

// A coordinate of a region: in box units a fraction of the box (a number or a
// percentage); in user units a length, a percentage being of the viewport.
double Coordinate(const SvgLength& l, bool inBox, double origin, double size, double viewport) {
    bool percent = l.unit == SvgUnitPercent;
    if (inBox)
        return origin + (percent ? l.value : l.computed) * size;
    return percent ? l.value * viewport : double(l.computed);
}

SvgLength Fraction(float f) {
    SvgLength l;
    l.set = 1;
    l.unit = SvgUnitPercent;
    l.value = f;
    return l;
}

// The filter's attributes along its href chain: each from the first filter
// that gives it; the primitives of the first that has any.
struct Chain {
    const SvgFilterElement* primitives = nullptr;
    SvgLength x, y, width, height;
    int filterUnits = 0, primitiveUnits = 0;
};

Chain ChainOf(const SvgFilterElement& filter) {
    Chain c;
    std::vector<const SvgElement*> seen;
    SvgEngine* engine = filter.GetOwner();
    const SvgFilterElement* e = &filter;
    for (int depth = 0; e && depth < kMaxChain; ++depth) {
        seen.push_back(e);
        for (auto [mine, theirs] :
             {std::pair{&c.x, &e->X()}, std::pair{&c.y, &e->Y()}, std::pair{&c.width, &e->Width()},
              std::pair{&c.height, &e->Height()}})
            if (!mine->set && theirs->set)
                *mine = *theirs;
        if (!c.filterUnits)
            c.filterUnits = e->FilterUnits();
        if (!c.primitiveUnits)
            c.primitiveUnits = e->PrimitiveUnits();
        if (!c.primitives && e->HasPrimitives())
            c.primitives = e;
        const SvgElement* next =
            engine && !e->Href().empty() ? engine->FindElementById(e->Href().c_str()) : nullptr;
        if (!next || next->GetKind() != SvgKindFilter ||
            std::find(seen.begin(), seen.end(), next) != seen.end())
            break;
        e = static_cast<const SvgFilterElement*>(next);
    }
    if (!c.primitives)
        c.primitives = &filter;
    return c;
}

const SvgStyle* StyleOf(const SvgElement* e) {
    const SvgFigure* figure = e ? e->GetFigure() : nullptr;
    return figure ? figure->PeekStyle() : nullptr;
}

// The colour currentColor stands for at e: the nearest color given.
FilterColor CurrentColor(const SvgElement* e) {
    for (; e; e = e->GetParent()) {
        const SvgStyle* style = StyleOf(e);
        if (style && style->color.set && !style->color.inherit && style->color.colorSet)
            return FilterColor{style->color.color.r, style->color.color.g, style->color.color.b, 1};
    }
    return FilterColor{0, 0, 0, 1};
}

// flood-color with flood-opacity, or lighting-color, of a primitive; each
// "inherit" takes the parent element's value.
FilterColor PaintOf(const SvgElement* e, bool lighting) {
    FilterColor c = lighting ? FilterColor{1, 1, 1, 1} : FilterColor{0, 0, 0, 1};
    for (const SvgElement* at = e; at; at = at->GetParent()) {
        const SvgStyle* style = StyleOf(at);
        const SvgFilterStyle* f = style ? style->filterStyle.get() : nullptr;
        const SvgPaint* paint = f ? (lighting ? &f->lightingColor : &f->floodColor) : nullptr;
        if (!paint || !paint->set)
            break;
        if (paint->inherit)
            continue;
        if (paint->currentColor)
            c = CurrentColor(at);
        else if (paint->colorSet)
            c = FilterColor{paint->color.r, paint->color.g, paint->color.b, 1};
        break;
    }
    for (const SvgElement* at = e; !lighting && at; at = at->GetParent()) {
        const SvgStyle* style = StyleOf(at);
        const SvgFilterStyle* f = style ? style->filterStyle.get() : nullptr;
        if (!f || !f->floodOpacity.set)
            break;
        if (f->floodOpacity.inherit)
            continue;
        c.a = float(f->floodOpacity.value) / float(SvgScale24::One);
        break;
    }
    return c;
}

// color-interpolation-filters at e: the nearest given; linearRGB without.
FilterColorSpace SpaceOf(const SvgElement* e) {
    for (; e; e = e->GetParent()) {
        const SvgStyle* style = StyleOf(e);
        const SvgFilterStyle* f = style ? style->filterStyle.get() : nullptr;
        if (f && f->colorInterpolationFilters.set && !f->colorInterpolationFilters.inherit)
            return SvgColorInterpolation(f->colorInterpolationFilters.value) ==
                           SvgColorInterpolation::LinearRGB
                       ? FilterColorSpace::LinearRGB
                       : FilterColorSpace::SRGB;
    }
    return FilterColorSpace::LinearRGB;
}

// User space (or the box's units) onto the buffer's pixels.
class Space {
public:
    Space(const SvgFilterTarget& t, const FilterRect& box, bool boxUnits)
        : m_t(t), m_box(box), m_boxUnits(boxUnits) {
        const double* m = t.toPixels.m;
        m_sx = std::hypot(m[0], m[1]);
        m_sy = std::hypot(m[2], m[3]);
    }

    bool BoxUnits() const { return m_boxUnits; }
    // A primitive's number along x, y, or neither, as user units.
    double X(double v) const { return m_boxUnits ? v * m_t.box.Width : v; }
    double Y(double v) const { return m_boxUnits ? v * m_t.box.Height : v; }
    double Diagonal(double v) const {
        double w = m_t.box.Width, h = m_t.box.Height;
        return m_boxUnits ? v * std::sqrt((w * w + h * h) / 2) : v;
    }
    // A point of the primitive's units as a pixel of the buffer.
    void Point(double x, double y, float& px, float& py) const {
        double ux = m_boxUnits ? m_t.box.X + x * m_t.box.Width : x;
        double uy = m_boxUnits ? m_t.box.Y + y * m_t.box.Height : y;
        m_t.toPixels.Apply(ux, uy);
        px = Narrow(ux - m_box.x0);
        py = Narrow(uy - m_box.y0);
    }
    // A user-space vector in pixels.
    void Vector(double x, double y, float& px, float& py) const {
        const double* m = m_t.toPixels.m;
        px = Narrow(m[0] * x + m[2] * y);
        py = Narrow(m[1] * x + m[3] * y);
    }
    // Deviations (or radii) along user x and y, as pixels along x and y.
    void Spread(double x, double y, float& px, float& py) const {
        const double* m = m_t.toPixels.m;
        px = Narrow(std::hypot(m[0] * x, m[2] * y));
        py = Narrow(std::hypot(m[1] * x, m[3] * y));
    }
    double Scale() const { return std::sqrt(m_sx * m_sy); }
    // A rectangle of user space as the pixels of the buffer it touches.
    FilterRect Pixels(const RectF& r) const {
        double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
        for (int i = 0; i < 4; ++i) {
            double x = r.X + (i & 1 ? double(r.Width) : 0.0);
            double y = r.Y + (i & 2 ? double(r.Height) : 0.0);
            m_t.toPixels.Apply(x, y);
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
        if (!(x1 >= x0 && y1 >= y0))
            return FilterRect();
        auto clamp = [](double v) { return int(std::max(-1e9, std::min(1e9, v))); };
        FilterRect p{
            clamp(std::floor(x0 + 1e-3) - m_box.x0), clamp(std::floor(y0 + 1e-3) - m_box.y0),
            clamp(std::ceil(x1 - 1e-3) - m_box.x0), clamp(std::ceil(y1 - 1e-3) - m_box.y0)};
        return p.Intersect({0, 0, m_box.Width(), m_box.Height()});
    }
    // The map from the buffer's pixels (their corners) to the primitive's units.
    SvgFilterMatrix FromPixels() const {
        const double* m = m_t.toPixels.m;
        double det = m[0] * m[3] - m[1] * m[2];
        SvgFilterMatrix r;
        if (!(std::fabs(det) > 1e-12) || !std::isfinite(det))
            return r;
        // The inverse of toPixels, after the buffer's offset.
        double a = m[3] / det, b = -m[1] / det, c = -m[2] / det, d = m[0] / det;
        double e = -(a * m[4] + c * m[5]), f = -(b * m[4] + d * m[5]);
        e += a * m_box.x0 + c * m_box.y0;
        f += b * m_box.x0 + d * m_box.y0;
        r.m[0] = a, r.m[1] = b, r.m[2] = c, r.m[3] = d, r.m[4] = e, r.m[5] = f;
        if (m_boxUnits && m_t.box.Width > 0 && m_t.box.Height > 0) {
            double w = m_t.box.Width, h = m_t.box.Height;
            for (int i : {0, 2, 4})
                r.m[i] /= w;
            for (int i : {1, 3, 5})
                r.m[i] /= h;
            r.m[4] -= m_t.box.X / w;
            r.m[5] -= m_t.box.Y / h;
        }
        return r;
    }

private:
    static float Narrow(double v) {
        return float(std::max(-1e9, std::min(1e9, std::isfinite(v) ? v : 0.0)));
    }

    const SvgFilterTarget& m_t;
    FilterRect m_box;
    bool m_boxUnits;
    double m_sx = 1, m_sy = 1;
};

FilterBlendMode BlendMode(const char* text) {
    static const std::pair<const char*, FilterBlendMode> kModes[] = {
        {"normal", FilterBlendMode::Normal},
        {"multiply", FilterBlendMode::Multiply},
        {"screen", FilterBlendMode::Screen},
        {"overlay", FilterBlendMode::Overlay},
        {"darken", FilterBlendMode::Darken},
        {"lighten", FilterBlendMode::Lighten},
        {"color-dodge", FilterBlendMode::ColorDodge},
        {"color-burn", FilterBlendMode::ColorBurn},
        {"hard-light", FilterBlendMode::HardLight},
        {"soft-light", FilterBlendMode::SoftLight},
        {"difference", FilterBlendMode::Difference},
        {"exclusion", FilterBlendMode::Exclusion},
        {"hue", FilterBlendMode::Hue},
        {"saturation", FilterBlendMode::Saturation},
        {"color", FilterBlendMode::Color},
        {"luminosity", FilterBlendMode::Luminosity}};
    for (const auto& mode : kModes)
        if (Is(text, mode.first))
            return mode.second;
    return FilterBlendMode::Normal;
}

FilterEdgeMode EdgeMode(const char* text, FilterEdgeMode fallback) {
    if (Is(text, "none"))
        return FilterEdgeMode::None;
    if (Is(text, "duplicate"))
        return FilterEdgeMode::Duplicate;
    if (Is(text, "wrap"))
        return FilterEdgeMode::Wrap;
    return fallback;
}

FilterChannel Channel(const char* text) {
    if (Is(text, "R"))
        return FilterChannel::R;
    if (Is(text, "G"))
        return FilterChannel::G;
    if (Is(text, "B"))
        return FilterChannel::B;
    return FilterChannel::A;
}

void Saturate(FilterColorMatrix& c, double s) {
    const float v[20] = {float(0.213 + 0.787 * s),
                         float(0.715 - 0.715 * s),
                         float(0.072 - 0.072 * s),
                         0,
                         0,
                         float(0.213 - 0.213 * s),
                         float(0.715 + 0.285 * s),
                         float(0.072 - 0.072 * s),
                         0,
                         0,
                         float(0.213 - 0.213 * s),
                         float(0.715 - 0.715 * s),
                         float(0.072 + 0.928 * s),
                         0,
                         0,
                         0,
                         0,
                         0,
                         1,
                         0};
    std::copy(v, v + 20, c.m);
}

void HueRotate(FilterColorMatrix& c, double degrees) {
    double a = degrees * M_PI / 180, cs = std::cos(a), sn = std::sin(a);
    const float v[20] = {float(0.213 + cs * 0.787 - sn * 0.213),
                         float(0.715 - cs * 0.715 - sn * 0.715),
                         float(0.072 - cs * 0.072 + sn * 0.928),
                         0,
                         0,
                         float(0.213 - cs * 0.213 + sn * 0.143),
                         float(0.715 + cs * 0.285 + sn * 0.140),
                         float(0.072 - cs * 0.072 - sn * 0.283),
                         0,
                         0,
                         float(0.213 - cs * 0.213 - sn * 0.787),
                         float(0.715 - cs * 0.715 + sn * 0.715),
                         float(0.072 + cs * 0.928 + sn * 0.072),
                         0,
                         0,
                         0,
                         0,
                         0,
                         1,
                         0};
    std::copy(v, v + 20, c.m);
}

FilterColorMatrix ColorMatrixOf(const SvgFilterPrimitiveElement& e) {
    FilterColorMatrix c;
    const char* type = e.Attribute("type");
    const char* values = e.Attribute("values");
    std::vector<double> v;
    bool read = values && Numbers(values, v, 20);
    if (Is(type, "saturate")) {
        Saturate(c, read && v.size() == 1 ? v[0] : 1);
    } else if (Is(type, "hueRotate")) {
        HueRotate(c, read && v.size() == 1 ? v[0] : 0);
    } else if (Is(type, "luminanceToAlpha")) {
        float l[20] = {0, 0, 0, 0, 0, 0,       0,       0,       0, 0,
                       0, 0, 0, 0, 0, 0.2125f, 0.7154f, 0.0721f, 0, 0};
        std::copy(l, l + 20, c.m);
    } else if (read && v.size() == 20 && (!type || Is(type, "matrix"))) {
        for (int i = 0; i < 20; ++i)
            c.m[i] = float(v[size_t(i)]);
    }
    return c;
}

FilterTransferFunction TransferOf(const SvgFilterPrimitiveElement& f) {
    FilterTransferFunction t;
    const char* type = f.Attribute("type");
    std::vector<double> v;
    if (Numbers(f.Attribute("tableValues"), v, 1 << 16))
        for (double d : v)
            t.table.push_back(float(d));
    if (Is(type, "table"))
        t.type = FilterTransferType::Table;
    else if (Is(type, "discrete"))
        t.type = FilterTransferType::Discrete;
    else if (Is(type, "linear"))
        t.type = FilterTransferType::Linear;
    else if (Is(type, "gamma"))
        t.type = FilterTransferType::Gamma;
    t.slope = float(NumberOr(f.Attribute("slope"), 1));
    t.intercept = float(NumberOr(f.Attribute("intercept"), 0));
    t.amplitude = float(NumberOr(f.Attribute("amplitude"), 1));
    t.exponent = float(NumberOr(f.Attribute("exponent"), 1));
    t.offset = float(NumberOr(f.Attribute("offset"), 0));
    return t;
}

// feConvolveMatrix; false when its values are not usable (the primitive then
// passes its input through).
bool ConvolveOf(const SvgFilterPrimitiveElement& e, FilterConvolveMatrix& c) {
    double ox = 3, oy = 3;
    if (const char* order = e.Attribute("order"))
        if (!NumberPair(order, ox, oy))
            return false;
    if (!(ox >= 1 && oy >= 1) || ox != std::floor(ox) || oy != std::floor(oy) ||
        ox * oy > double(kMaxKernelCells))
        return false;
    c.orderX = int(ox);
    c.orderY = int(oy);
    size_t cells = size_t(c.orderX) * size_t(c.orderY);
    std::vector<double> v;
    if (!Numbers(e.Attribute("kernelMatrix"), v, cells) || v.size() != cells)
        return false;
    c.kernel.assign(v.begin(), v.end());
    double sum = 0;
    for (double d : v)
        sum += d;
    double divisor = NumberOr(e.Attribute("divisor"), 0);
    c.divisor = float(divisor != 0 ? divisor : sum != 0 ? sum : 1);
    c.bias = float(NumberOr(e.Attribute("bias"), 0));
    double tx = NumberOr(e.Attribute("targetX"), std::floor(ox / 2));
    double ty = NumberOr(e.Attribute("targetY"), std::floor(oy / 2));
    if (!(tx >= 0 && tx < ox && ty >= 0 && ty < oy))
        return false;
    c.targetX = int(tx);
    c.targetY = int(ty);
    c.edge = EdgeMode(e.Attribute("edgeMode"), FilterEdgeMode::Duplicate);
    c.preserveAlpha = Is(e.Attribute("preserveAlpha"), "true");
    return true;
}

FilterLight LightOf(const SvgFilterPrimitiveElement& e, const Space& space) {
    FilterLight light;
    for (const SvgElement* child : e.GetChildren()) {
        if (child->GetKind() != SvgKindFilterPrimitive)
            continue;
        const auto& node = static_cast<const SvgFilterPrimitiveElement&>(*child);
        const std::string& tag = node.GetTagName();
        if (tag == "feDistantLight") {
            light.type = FilterLightType::Distant;
            light.azimuth = float(NumberOr(node.Attribute("azimuth"), 0));
            light.elevation = float(NumberOr(node.Attribute("elevation"), 0));
        } else if (tag == "fePointLight" || tag == "feSpotLight") {
            light.type = tag == "fePointLight" ? FilterLightType::Point : FilterLightType::Spot;
            space.Point(NumberOr(node.Attribute("x"), 0), NumberOr(node.Attribute("y"), 0), light.x,
                        light.y);
            light.z = float(space.Diagonal(NumberOr(node.Attribute("z"), 0)) * space.Scale());
            space.Point(NumberOr(node.Attribute("pointsAtX"), 0),
                        NumberOr(node.Attribute("pointsAtY"), 0), light.pointsAtX, light.pointsAtY);
            light.pointsAtZ =
                float(space.Diagonal(NumberOr(node.Attribute("pointsAtZ"), 0)) * space.Scale());
            light.specularExponent = float(NumberOr(node.Attribute("specularExponent"), 1));
            const char* cone = node.Attribute("limitingConeAngle");
            light.hasCone = cone && std::isfinite(NumberOr(cone, NAN));
            light.coneAngle = float(NumberOr(cone, 90));
        } else {
            continue;
        }
        break; // the first light counts
    }
    return light;
}

// Reads one primitive's parameters; false when it has none that make sense
// (it then passes its input through).
bool ParametersOf(const SvgFilterPrimitiveElement& e, const Space& space, FilterPrimitive& p) {
    const std::string& tag = e.GetTagName();
    if (tag == "feBlend") {
        p.parameters = FilterBlend{BlendMode(e.Attribute("mode"))};
    } else if (tag == "feColorMatrix") {
        p.parameters = ColorMatrixOf(e);
    } else if (tag == "feComponentTransfer") {
        FilterComponentTransfer t;
        static const char* const kFunctions[] = {"feFuncR", "feFuncG", "feFuncB", "feFuncA"};
        for (const SvgElement* child : e.GetChildren())
            for (int i = 0; i < 4; ++i)
                if (child->GetKind() == SvgKindFilterPrimitive &&
                    child->GetTagName() == kFunctions[i])
                    t.functions[i] =
                        TransferOf(static_cast<const SvgFilterPrimitiveElement&>(*child));
        p.parameters = std::move(t);
    } else if (tag == "feComposite") {
        FilterComposite c;
        const char* op = e.Attribute("operator");
        static const std::pair<const char*, FilterCompositeOperator> kOps[] = {
            {"in", FilterCompositeOperator::In},
            {"out", FilterCompositeOperator::Out},
            {"atop", FilterCompositeOperator::Atop},
            {"xor", FilterCompositeOperator::Xor},
            {"lighter", FilterCompositeOperator::Lighter},
            {"arithmetic", FilterCompositeOperator::Arithmetic}};
        for (const auto& entry : kOps)
            if (Is(op, entry.first))
                c.op = entry.second;
        c.k1 = float(NumberOr(e.Attribute("k1"), 0));
        c.k2 = float(NumberOr(e.Attribute("k2"), 0));
        c.k3 = float(NumberOr(e.Attribute("k3"), 0));
        c.k4 = float(NumberOr(e.Attribute("k4"), 0));
        p.parameters = c;
    } else if (tag == "feConvolveMatrix") {
        FilterConvolveMatrix c;
        if (!ConvolveOf(e, c))
            return false;
        p.parameters = std::move(c);
    } else if (tag == "feDiffuseLighting" || tag == "feSpecularLighting") {
        FilterLighting l;
        l.specular = tag == "feSpecularLighting";
        l.surfaceScale = float(NumberOr(e.Attribute("surfaceScale"), 1));
        l.constant =
            float(NumberOr(e.Attribute(l.specular ? "specularConstant" : "diffuseConstant"), 1));
        l.specularExponent =
            float(std::min(128.0, std::max(1.0, NumberOr(e.Attribute("specularExponent"), 1))));
        if (!(l.constant >= 0))
            return false;
        l.color = PaintOf(&e, true);
        l.light = LightOf(e, space);
        p.parameters = l;
    } else if (tag == "feDisplacementMap") {
        FilterDisplacementMap d;
        double scale = NumberOr(e.Attribute("scale"), 0);
        space.Spread(space.X(scale), space.Y(scale), d.scaleX, d.scaleY);
        d.scaleX = std::copysign(d.scaleX, float(scale));
        d.scaleY = std::copysign(d.scaleY, float(scale));
        d.xChannel = Channel(e.Attribute("xChannelSelector"));
        d.yChannel = Channel(e.Attribute("yChannelSelector"));
        p.parameters = d;
    } else if (tag == "feDropShadow") {
        FilterDropShadow s;
        double sx = 2, sy = 2;
        if (const char* deviation = e.Attribute("stdDeviation"))
            if (!NumberPair(deviation, sx, sy) || sx < 0 || sy < 0)
                sx = sy = 0;
        space.Spread(space.X(sx), space.Y(sy), s.stdDevX, s.stdDevY);
        space.Vector(space.X(NumberOr(e.Attribute("dx"), 2)),
                     space.Y(NumberOr(e.Attribute("dy"), 2)), s.dx, s.dy);
        s.color = PaintOf(&e, false);
        p.parameters = s;
    } else if (tag == "feFlood") {
        p.parameters = FilterFlood{PaintOf(&e, false)};
    } else if (tag == "feGaussianBlur") {
        FilterGaussianBlur b;
        double sx = 0, sy = 0;
        if (!NumberPair(e.Attribute("stdDeviation"), sx, sy) || sx < 0 || sy < 0)
            sx = sy = 0;
        space.Spread(space.X(sx), space.Y(sy), b.stdDevX, b.stdDevY);
        b.edge = EdgeMode(e.Attribute("edgeMode"), FilterEdgeMode::None);
        if (!(b.stdDevX > 0) && !(b.stdDevY > 0))
            return false;
        p.parameters = b;
    } else if (tag == "feImage") {
        p.parameters = FilterImageInput{};
    } else if (tag == "feMerge") {
        p.parameters = FilterMerge{};
    } else if (tag == "feMorphology") {
        FilterMorphology m;
        m.op = Is(e.Attribute("operator"), "dilate") ? FilterMorphologyOperator::Dilate
                                                     : FilterMorphologyOperator::Erode;
        double rx = 0, ry = 0;
        if (!NumberPair(e.Attribute("radius"), rx, ry) || !(rx > 0) || !(ry > 0))
            return false;
        space.Spread(space.X(rx), space.Y(ry), m.radiusX, m.radiusY);
        m.radiusX = std::round(m.radiusX);
        m.radiusY = std::round(m.radiusY);
        p.parameters = m;
    } else if (tag == "feOffset") {
        FilterOffset o;
        space.Vector(space.X(NumberOr(e.Attribute("dx"), 0)),
                     space.Y(NumberOr(e.Attribute("dy"), 0)), o.dx, o.dy);
        p.parameters = o;
    } else if (tag == "feTile") {
        p.parameters = FilterTile{};
    } else if (tag == "feTurbulence") {
        FilterTurbulence t;
        double fx = 0, fy = 0;
        if (const char* frequency = e.Attribute("baseFrequency"))
            if (!NumberPair(frequency, fx, fy) || fx < 0 || fy < 0)
                fx = fy = 0;
        t.baseFrequencyX = fx;
        t.baseFrequencyY = fy;
        double octaves = NumberOr(e.Attribute("numOctaves"), 1);
        t.octaves = int(std::max(0.0, std::min(1e6, octaves)));
        t.seed = NumberOr(e.Attribute("seed"), 0);
        t.stitchTiles = Is(e.Attribute("stitchTiles"), "stitch");
        t.fractalNoise = Is(e.Attribute("type"), "fractalNoise");
        SvgFilterMatrix m = space.FromPixels();
        std::copy(m.m, m.m + 6, t.toUser);
        p.parameters = t;
    } else {
        return false;
    }
    return true;
}

// A primitive's input named by text: a standard input, the latest result of
// that name, or (not given, or naming nothing) the previous result.
int InputOf(const char* text, const std::map<std::string, int>& results, int previous) {
    static const std::pair<const char*, int> kStandard[] = {
        {"SourceGraphic", kFilterSourceGraphic},
        {"SourceAlpha", kFilterSourceAlpha},
        {"BackgroundImage", kFilterBackgroundImage},
        {"BackgroundAlpha", kFilterBackgroundAlpha},
        {"FillPaint", kFilterFillPaint},
        {"StrokePaint", kFilterStrokePaint}};
    if (text) {
        std::string name = text;
        name.erase(0, name.find_first_not_of(" \t\r\n"));
        name.erase(name.find_last_not_of(" \t\r\n") + 1);
        for (const auto& s : kStandard)
            if (name == s.first)
                return s.second;
        auto it = results.find(name);
        if (it != results.end())
            return it->second;
    }
    return previous >= 0 ? previous : kFilterSourceGraphic;
}

} // namespace

const SvgFilterElement* SvgFilterBuilder::Find(SvgEngine& engine, const std::string& id) {
    const SvgElement* e = id.empty() ? nullptr : engine.FindElementById(id.c_str());
    return e && e->GetKind() == SvgKindFilter ? static_cast<const SvgFilterElement*>(e) : nullptr;
}

bool SvgFilterBuilder::Region(const SvgFilterElement& filter, const SvgFilterTarget& target,
                              RectF& region) {
    Chain c = ChainOf(filter);
    bool inBox = c.filterUnits != 1;
    if (inBox && !target.hasBox)
        return false;
    const RectF& b = target.box;
    double x =
        Coordinate(c.x.set ? c.x : Fraction(-0.1f), inBox, b.X, b.Width, target.viewportWidth);
    double y =
        Coordinate(c.y.set ? c.y : Fraction(-0.1f), inBox, b.Y, b.Height, target.viewportHeight);
    double w =
        Coordinate(c.width.set ? c.width : Fraction(1.2f), inBox, 0, b.Width, target.viewportWidth);
    double h = Coordinate(c.height.set ? c.height : Fraction(1.2f), inBox, 0, b.Height,
                          target.viewportHeight);
    if (!(w > 0 && h > 0) || !std::isfinite(x + y + w + h))
        return false;
    auto narrow = [](double v) {
        return REAL(std::max(-double(FLT_MAX), std::min(double(FLT_MAX), v)));
    };
    region = RectF(narrow(x), narrow(y), narrow(w), narrow(h));
    return true;
}

void SvgFilterBuilder::Region(const SvgFilterFunction& f, const SvgFilterTarget& /*target*/,
                              const RectF& source, RectF& region) {
    // What the function can spread the content to.
    double gx = 0, gy = 0;
    if (f.type == SvgFilterFunction::Blur || f.type == SvgFilterFunction::DropShadow) {
        gx = gy = 3 * f.amount + 1;
        if (f.type == SvgFilterFunction::DropShadow) {
            gx += std::fabs(f.dx);
            gy += std::fabs(f.dy);
        }
    }
    double x0 = source.X - gx, y0 = source.Y - gy;
    double x1 = double(source.X) + source.Width + gx, y1 = double(source.Y) + source.Height + gy;
    auto narrow = [](double v) {
        return REAL(std::max(-double(FLT_MAX), std::min(double(FLT_MAX), v)));
    };
    region = RectF(narrow(x0), narrow(y0), narrow(x1 - x0), narrow(y1 - y0));
}

void SvgFilterBuilder::Build(const SvgFilterElement& filter, const SvgFilterTarget& target,
                             const RectF& region, const FilterRect& box, FilterDescription& out,
                             std::vector<SvgFilterPicture>& pictures) {
    out = FilterDescription();
    out.width = box.Width();
    out.height = box.Height();
    out.fillPaint = target.fill;
    out.strokePaint = target.stroke;
    Chain c = ChainOf(filter);
    const bool boxUnits = c.primitiveUnits == 2;
    if (boxUnits && !target.hasBox)
        return; // no primitive can be placed: transparent
    Space space(target, box, boxUnits);
    const FilterRect whole = space.Pixels(region);
    std::map<std::string, int> results;
    std::vector<RectF> subregions; // in user space, per primitive
    const RectF& b = target.box;
    for (const SvgElement* child : c.primitives->GetChildren()) {
        if (child->GetKind() != SvgKindFilterPrimitive)
            continue;
        const auto& e = static_cast<const SvgFilterPrimitiveElement&>(*child);
        const std::string& tag = e.GetTagName();
        if (tag.compare(0, 6, "feFunc") == 0 || tag == "feMergeNode" || tag == "feDistantLight" ||
            tag == "fePointLight" || tag == "feSpotLight")
            continue; // nodes, not primitives
        const int index = int(out.primitives.size());
        const int previous = index - 1;
        FilterPrimitive p;
        p.space = SpaceOf(&e);
        // Inputs.
        if (tag == "feMerge") {
            for (const SvgElement* node : e.GetChildren())
                if (node->GetTagName() == "feMergeNode" &&
                    node->GetKind() == SvgKindFilterPrimitive)
                    p.inputs.push_back(InputOf(
                        static_cast<const SvgFilterPrimitiveElement*>(node)->Attribute("in"),
                        results, previous));
        } else if (tag != "feFlood" && tag != "feImage" && tag != "feTurbulence") {
            p.inputs.push_back(InputOf(e.Attribute("in"), results, previous));
            if (tag == "feBlend" || tag == "feComposite" || tag == "feDisplacementMap")
                p.inputs.push_back(InputOf(e.Attribute("in2"), results, previous));
        }
        bool usable = ParametersOf(e, space, p);
        // The subregion: given, else the inputs' (the whole region for standard
        // inputs, none, and tiles).
        RectF sub = region;
        bool standard = p.inputs.empty() || tag == "feTile";
        for (int k : p.inputs)
            standard = standard || k < 0;
        if (!standard) {
            double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
            for (int k : p.inputs) {
                const RectF& r = subregions[size_t(k)];
                x0 = std::min(x0, double(r.X));
                y0 = std::min(y0, double(r.Y));
                x1 = std::max(x1, double(r.X) + r.Width);
                y1 = std::max(y1, double(r.Y) + r.Height);
            }
            sub = RectF(REAL(x0), REAL(y0), REAL(x1 - x0), REAL(y1 - y0));
        }
        double sx = sub.X, sy = sub.Y, sw = sub.Width, sh = sub.Height;
        auto length = [&](const char* name, double& v, bool horizontal, bool position) {
            const char* text = e.Attribute(name);
            if (!text)
                return;
            SvgLength l;
            if (!ReadLength(l, text) || l.inherit)
                return;
            double origin = position ? (horizontal ? b.X : b.Y) : 0;
            v = Coordinate(l, boxUnits, origin, horizontal ? b.Width : b.Height,
                           horizontal ? target.viewportWidth : target.viewportHeight);
        };
        length("x", sx, true, true);
        length("y", sy, false, true);
        length("width", sw, true, false);
        length("height", sh, false, false);
        if (!(sw > 0 && sh > 0))
            sw = sh = 0;
        sub = RectF(REAL(sx), REAL(sy), REAL(sw), REAL(sh));
        subregions.push_back(sub);
        p.subregion = sw > 0 ? space.Pixels(sub).Intersect(whole) : FilterRect();
        if (auto* turbulence = std::get_if<FilterTurbulence>(&p.parameters)) {
            // Stitched tiles fit the subregion, in the units noise is taken in.
            turbulence->tileX = boxUnits ? (sx - b.X) / b.Width : sx;
            turbulence->tileY = boxUnits ? (sy - b.Y) / b.Height : sy;
            turbulence->tileWidth = boxUnits ? sw / b.Width : sw;
            turbulence->tileHeight = boxUnits ? sh / b.Height : sh;
        }
        if (!usable) {
            // Passes its input through (or, without one, gives nothing).
            p.parameters = FilterOffset{};
            if (p.inputs.size() > 1)
                p.inputs.resize(1);
            if (p.inputs.empty())
                p.subregion = FilterRect();
        }
        if (tag == "feImage" && usable) {
            SvgFilterPicture picture;
            picture.primitive = size_t(index);
            picture.area = sub;
            const char* href = e.Attribute("xlink:href");
            if (!href)
                href = e.Attribute("href");
            const char* ratio = e.Attribute("preserveAspectRatio");
            picture.preserveAspectRatio = ratio ? ratio : "xMidYMid meet";
            SvgEngine* engine = e.GetOwner();
            if (href && engine) {
                if (href[0] == '#')
                    picture.element = engine->FindElementById(href + 1);
                else
                    picture.image = engine->GetImages().Load(href);
            }
            if (picture.element || picture.image)
                pictures.push_back(picture);
        }
        if (const char* name = e.Attribute("result"))
            if (*name)
                results[name] = index;
        out.primitives.push_back(std::move(p));
    }
}

void SvgFilterBuilder::Build(const SvgFilterFunction& f, const SvgFilterTarget& target,
                             const FilterRect& box, FilterDescription& out) {
    out = FilterDescription();
    out.width = box.Width();
    out.height = box.Height();
    Space space(target, box, false);
    FilterPrimitive p;
    p.space = FilterColorSpace::SRGB;
    p.inputs.push_back(kFilterSourceGraphic);
    p.subregion = {0, 0, out.width, out.height};
    const double a = f.amount;
    auto linear = [&](double slope, double intercept) {
        FilterComponentTransfer t;
        for (int i = 0; i < 3; ++i) {
            t.functions[i].type = FilterTransferType::Linear;
            t.functions[i].slope = float(slope);
            t.functions[i].intercept = float(intercept);
        }
        return t;
    };
    auto matrix = [&](const double rows[3][3]) {
        FilterColorMatrix m;
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k)
                m.m[r * 5 + k] = float(rows[r][k]);
        return m;
    };
    switch (f.type) {
    case SvgFilterFunction::Blur: {
        FilterGaussianBlur b;
        space.Spread(a, a, b.stdDevX, b.stdDevY);
        p.parameters = b;
        break;
    }
    case SvgFilterFunction::DropShadow: {
        FilterDropShadow s;
        space.Spread(a, a, s.stdDevX, s.stdDevY);
        space.Vector(f.dx, f.dy, s.dx, s.dy);
        s.color = f.currentColor
                      ? target.color
                      : FilterColor{(f.color >> 24) / 255.0f, ((f.color >> 16) & 0xFF) / 255.0f,
                                    ((f.color >> 8) & 0xFF) / 255.0f, 1};
        p.parameters = s;
        break;
    }
    case SvgFilterFunction::Brightness:
        p.parameters = linear(a, 0);
        break;
    case SvgFilterFunction::Contrast:
        p.parameters = linear(a, 0.5 - 0.5 * a);
        break;
    case SvgFilterFunction::Grayscale: {
        double k = 1 - a;
        const double rows[3][3] = {{0.2126 + 0.7874 * k, 0.7152 - 0.7152 * k, 0.0722 - 0.0722 * k},
                                   {0.2126 - 0.2126 * k, 0.7152 + 0.2848 * k, 0.0722 - 0.0722 * k},
                                   {0.2126 - 0.2126 * k, 0.7152 - 0.7152 * k, 0.0722 + 0.9278 * k}};
        p.parameters = matrix(rows);
        break;
    }
    case SvgFilterFunction::Sepia: {
        double k = 1 - a;
        const double rows[3][3] = {{0.393 + 0.607 * k, 0.769 - 0.769 * k, 0.189 - 0.189 * k},
                                   {0.349 - 0.349 * k, 0.686 + 0.314 * k, 0.168 - 0.168 * k},
                                   {0.272 - 0.272 * k, 0.534 - 0.534 * k, 0.131 + 0.869 * k}};
        p.parameters = matrix(rows);
        break;
    }
    case SvgFilterFunction::Saturate: {
        FilterColorMatrix m;
        Saturate(m, a);
        p.parameters = m;
        break;
    }
    case SvgFilterFunction::HueRotate: {
        FilterColorMatrix m;
        HueRotate(m, a);
        p.parameters = m;
        break;
    }
    case SvgFilterFunction::Invert: {
        FilterComponentTransfer t;
        for (int i = 0; i < 3; ++i) {
            t.functions[i].type = FilterTransferType::Table;
            t.functions[i].table = {float(a), float(1 - a)};
        }
        p.parameters = t;
        break;
    }
    case SvgFilterFunction::Opacity: {
        FilterComponentTransfer t;
        t.functions[3].type = FilterTransferType::Table;
        t.functions[3].table = {0, float(a)};
        p.parameters = t;
        break;
    }
    default:
        p.parameters = FilterOffset{};
        break;
    }
    out.primitives.push_back(std::move(p));
}
