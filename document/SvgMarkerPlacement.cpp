#include "document/SvgMarkerPlacement.h"

#include "document/SvgFigureElement.h"
#include "document/SvgMarkerElement.h"
#include "document/SvgRenderContext.h"
#include "engine/SvgEngine.h"
#include "render/SvgFigure.h"
#include "render/SvgLineFigure.h"
#include "render/SvgPathFigure.h"
#include "render/SvgPointsFigure.h"
#include "style/SvgColorReaders.h"
#include "style/SvgStyle.h"

#include <cmath>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

struct Direction {
    double x = 0, y = 0;
    bool Zero() const { return x == 0 && y == 0; }
};

// The first of the vectors that has a length.
Direction FirstOf(std::initializer_list<Direction> candidates) {
    for (const Direction& d : candidates)
        if (!d.Zero())
            return d;
    return Direction();
}

struct Segment {
    Direction start, end; // no length: both zero
    double x, y;          // where it ends
};

struct Subpath {
    double x, y; // where it starts
    std::vector<Segment> segments;
    bool closed = false;
    // Begun by a segment after a close, without a move: its first vertex is
    // the closed subpath's last.
    bool implicit = false;
};

// An outline as subpaths of segments with their directions.
class Outline {
public:
    void MoveTo(double x, double y) {
        m_subpaths.push_back(Subpath{x, y, {}});
        m_x = x;
        m_y = y;
    }
    void LineTo(double x, double y) {
        Direction d{x - m_x, y - m_y};
        Add(Segment{d, d, x, y});
    }
    void CubicTo(double x1, double y1, double x2, double y2, double x, double y, bool continuing) {
        Direction a{x1 - m_x, y1 - m_y}, b{x2 - m_x, y2 - m_y}, c{x - m_x, y - m_y};
        Direction start = FirstOf({a, b, c});
        Direction end = FirstOf({{x - x2, y - y2}, {x - x1, y - y1}, c});
        if (continuing && !m_subpaths.empty() && !m_subpaths.back().segments.empty()) {
            // The next piece of an arc: the same segment goes on.
            Segment& last = m_subpaths.back().segments.back();
            last.end = end;
            last.x = x;
            last.y = y;
            m_x = x;
            m_y = y;
            return;
        }
        Add(Segment{start, end, x, y});
    }
    void Close() {
        if (m_subpaths.empty() || m_subpaths.back().closed)
            return;
        LineTo(m_subpaths.back().x, m_subpaths.back().y);
        m_subpaths.back().closed = true;
    }

    std::vector<SvgMarkerVertex> Vertices() const;

private:
    void Add(const Segment& segment) {
        if (m_subpaths.empty() || m_subpaths.back().closed) {
            m_subpaths.push_back(Subpath{m_x, m_y, {}});
            m_subpaths.back().implicit = m_subpaths.size() > 1;
        }
        m_subpaths.back().segments.push_back(segment);
        m_x = segment.x;
        m_y = segment.y;
    }

    std::vector<Subpath> m_subpaths;
    double m_x = 0, m_y = 0;
};

double Degrees(const Direction& d) {
    return std::atan2(d.y, d.x) * 180 / M_PI;
}

// Halfway between the directions in and out.
float Bisect(const Direction& in, const Direction& out) {
    double a = Degrees(in), b = Degrees(out);
    if (std::fabs(a - b) > 180)
        a += 360;
    return float((a + b) / 2);
}

std::vector<SvgMarkerVertex> Outline::Vertices() const {
    std::vector<SvgMarkerVertex> vertices;
    for (const Subpath& s : m_subpaths) {
        const std::vector<Segment>& segs = s.segments;
        size_t n = segs.size();
        if (n == 0)
            continue; // a subpath that only moves
        // The way into vertex k (the end of segment k - 1) and out of it (the
        // start of segment k). A segment of no length goes on in the
        // direction of the last segment before it that has one (none: 0°).
        auto in = [&](size_t k) {
            for (size_t j = k; j-- > 0;)
                if (!segs[j].end.Zero())
                    return segs[j].end;
            return Direction();
        };
        auto out = [&](size_t k) { return segs[k].start.Zero() ? in(k) : segs[k].start; };
        float ends = s.closed ? Bisect(in(n), out(0)) : 0;
        if (!s.implicit)
            vertices.push_back({float(s.x), float(s.y), s.closed ? ends : float(Degrees(out(0)))});
        for (size_t k = 1; k < n; ++k)
            vertices.push_back({float(segs[k - 1].x), float(segs[k - 1].y), Bisect(in(k), out(k))});
        vertices.push_back(
            {float(segs[n - 1].x), float(segs[n - 1].y), s.closed ? ends : float(Degrees(in(n)))});
    }
    return vertices;
}

// The marker a marker property names; null for none.
const SvgMarkerElement* Lookup(const SvgStringValue& value, SvgEngine& engine) {
    if (value.value.empty())
        return nullptr;
    std::optional<std::string> id = ReadUrl(value.value.c_str(), nullptr);
    if (!id || id->empty())
        return nullptr;
    const SvgElement* target = engine.FindElementById(id->c_str());
    if (!target || target->GetKind() != SvgKindMarker)
        return nullptr;
    return static_cast<const SvgMarkerElement*>(target);
}

bool TakesMarkers(int kind) {
    return kind == SvgKindPath || kind == SvgKindLine || kind == SvgKindPolyline ||
           kind == SvgKindPolygon;
}

} // namespace

std::vector<SvgMarkerVertex> SvgMarkerPlacement::PathVertices(const SvgPathData& data) {
    Outline outline;
    if (!data.data)
        return {};
    const float* c = data.coordinates();
    size_t used = 0;
    for (size_t i = 0; i < data.segmentCount; ++i) {
        int kind = data.segmentKind(i);
        size_t needed = kind == SvgPathSegmentCubic ? 6 : kind == SvgPathSegmentClose ? 0 : 2;
        if (data.coordinateCount - used < needed)
            break;
        const float* p = c + used;
        if (kind == SvgPathSegmentMove)
            outline.MoveTo(p[0], p[1]);
        else if (kind == SvgPathSegmentLine)
            outline.LineTo(p[0], p[1]);
        else if (kind == SvgPathSegmentCubic)
            outline.CubicTo(p[0], p[1], p[2], p[3], p[4], p[5], data.continuesArc(i));
        else if (kind == SvgPathSegmentClose)
            outline.Close();
        used += needed;
    }
    return outline.Vertices();
}

std::vector<SvgMarkerVertex> SvgMarkerPlacement::Vertices(const SvgElement& shape) {
    const SvgFigure* figure = shape.GetFigure();
    switch (shape.GetKind()) {
    case SvgKindPath:
        if (const auto* path = dynamic_cast<const SvgPathFigure*>(figure))
            return PathVertices(path->pathData);
        break;
    case SvgKindLine:
        if (const auto* line = dynamic_cast<const SvgLineFigure*>(figure)) {
            Outline outline;
            outline.MoveTo(line->x1, line->y1);
            outline.LineTo(line->x2, line->y2);
            return outline.Vertices();
        }
        break;
    case SvgKindPolyline:
    case SvgKindPolygon:
        if (const auto* points = dynamic_cast<const SvgPointsFigure*>(figure)) {
            Outline outline;
            size_t n = points->points.numberOfItems();
            for (size_t i = 0; i < n; ++i) {
                const SvgPoint* p = points->points.getItem(i);
                if (i == 0)
                    outline.MoveTo(p->getX(), p->getY());
                else
                    outline.LineTo(p->getX(), p->getY());
            }
            if (shape.GetKind() == SvgKindPolygon && n > 0)
                outline.Close();
            return outline.Vertices();
        }
        break;
    default:
        break;
    }
    return {};
}

void SvgMarkerPlacement::PlaceAll(SvgElement& root, SvgEngine& engine) {
    long budget = kMaxInstances;
    std::set<const SvgMarkerElement*> used;
    std::vector<SvgElement*> pending{&root};
    while (!pending.empty()) {
        SvgElement* element = pending.back();
        pending.pop_back();
        const auto& children = element->GetChildren();
        pending.insert(pending.end(), children.rbegin(), children.rend());
        auto* shape = dynamic_cast<SvgFigureElement*>(element);
        SvgFigure* figure = shape ? shape->GetFigure() : nullptr;
        const SvgStyle* style = figure ? figure->PeekStyle() : nullptr;
        if (!style || !TakesMarkers(element->GetKind()))
            continue;
        const SvgMarkerElement* start = Lookup(style->marker[SvgStyle::MarkerStart], engine);
        const SvgMarkerElement* mid = Lookup(style->marker[SvgStyle::MarkerMid], engine);
        const SvgMarkerElement* end = Lookup(style->marker[SvgStyle::MarkerEnd], engine);
        if (!start && !mid && !end)
            continue;
        std::vector<SvgMarkerVertex> vertices = Vertices(*element);
        if (vertices.empty())
            continue;
        figure->PrepareStyle();
        float strokeWidth = style->strokeWidth.computed;
        auto placement = std::make_unique<SvgMarkerPlacement>();
        auto add = [&](const SvgMarkerElement* marker, const SvgMarkerVertex& v, bool first) {
            if (!marker || budget <= 0)
                return;
            --budget;
            placement->m_instances.push_back({marker, v.x, v.y, marker->AngleAt(v.angle, first),
                                              marker->ScalesWithStroke() ? strokeWidth : 1.0f});
        };
        add(start, vertices.front(), true);
        for (size_t i = 1; i + 1 < vertices.size(); ++i)
            add(mid, vertices[i], false);
        add(end, vertices.back(), false);
        if (!placement->m_instances.empty())
            shape->SetMarkers(std::move(placement));
        for (const SvgMarkerElement* marker : {start, mid, end})
            if (marker)
                used.insert(marker);
    }
    // Once every shape has its markers, what each marker's content covers is known.
    for (const SvgMarkerElement* marker : used)
        marker->Prepare();
}

void SvgMarkerPlacement::Draw(GdiGraphics& graphics, const SvgElement& shape) const {
    SvgEngine* engine = shape.GetOwner();
    if (!engine)
        return;
    SvgRenderContext& context = engine->GetRenderContext();
    if (context.coverage > 0)
        return; // a clip path takes outlines only
    context.PushPaintContext(shape, graphics);
    for (const SvgMarkerInstance& instance : m_instances)
        instance.marker->Draw(graphics, instance, context);
    context.paintContext.pop_back();
}
