#include "math/geometry/PolyArc.h"

#include <algorithm>
#include <cmath>

#include "corelib/Assert.h"
#include "math/geometry/GeomStl.h"
#include "math/geometry/Intersections.h"

namespace geom {

bool IsPolyArcSequence_G(std::span<const Arc> arcs, OpenClosed open_or_closed) {
    for (size_t i = 0; i + 1 < arcs.size(); ++i) {
        if (!(arcs[i].GetEnd() == arcs[i + 1].GetStart())) {
            return false;
        }
    }
    return open_or_closed != k_Closed || arcs.empty()
           || arcs.back().GetEnd() == arcs.front().GetStart();
}

PolyArc::PolyArc(OpenClosed open_or_closed, const std::vector<Point>& vertices) {
    VCORE_ASSERT("PolyArc", vertices.size() > 0);
    if (vertices.empty()) {
        return;
    }
    std::vector<Arc> edges;
    edges.reserve(vertices.size() + 1);
    if (vertices.size() == 1) {
        edges.emplace_back(vertices[0], vertices[0]);
    } else {
        for (size_t i = 0; i + 1 < vertices.size(); ++i) {
            edges.emplace_back(vertices[i], vertices[i + 1]);
        }
        if (open_or_closed == k_Closed && !(vertices.back() == vertices.front())) {
            edges.emplace_back(vertices.back(), vertices.front());
        }
    }
    Assign(open_or_closed, edges);
}

PolyArc::PolyArc(OpenClosed open_or_closed, const std::vector<Arc>& arcs) {
    Assign(open_or_closed, arcs);
}

void PolyArc::Assign(OpenClosed open_or_closed, const std::vector<Arc>& arcs) {
    if (arcs.empty()) {
        m_ImplRefCounter = {};
        return;
    }
    auto impl = base::RefCountedPtr_T<PolyArcImpl>::Make_T();
    PolyArcImpl* data = impl.GetUniqueMutable();
    data->m_OpenClosed = open_or_closed;
    data->m_Edges.Assign(arcs.begin(), arcs.end());
    m_ImplRefCounter = std::move(impl);
}

OpenClosed PolyArc::GetOpenClosed() const {
    VCORE_ASSERT("PolyArc", !m_ImplRefCounter.IsNull());
    return m_ImplRefCounter.IsNull() ? k_Open : m_ImplRefCounter->m_OpenClosed;
}

int PolyArc::GetVertexCount() const {
    if (IsEmpty()) {
        return 0;
    }
    return GetEdgeCount() + (m_ImplRefCounter->m_OpenClosed == k_Open ? 1 : 0);
}

const EdgeTree& PolyArc::GetEdgeTree() const {
    static const EdgeTree k_NoEdges;
    return m_ImplRefCounter.IsNull() ? k_NoEdges : m_ImplRefCounter->m_Edges;
}

std::vector<Arc> PolyArc::GetEdges() const {
    const EdgeTree& edges = GetEdgeTree();
    return std::vector<Arc>(edges.begin(), edges.end());
}

Arc PolyArc::GetEdge(int j) const {
    const EdgeTree& edges = GetEdgeTree();
    const auto it = edges.GetAt(j);
    return it == edges.end() ? Arc() : *it;
}

std::vector<Point> PolyArc::GetVertices() const {
    std::vector<Point> ret;
    if (IsEmpty()) {
        return ret;
    }
    const EdgeTree& edges = m_ImplRefCounter->m_Edges;
    ret.reserve(edges.size() + 1);
    for (const Arc& a : edges) {
        ret.push_back(a.GetStart());
    }
    if (m_ImplRefCounter->m_OpenClosed == k_Open) {
        ret.push_back(edges.back().GetEnd());
    }
    return ret;
}

Point PolyArc::GetFirstVertex() const {
    VCORE_ASSERT("PolyArc", !empty());
    return IsEmpty() ? Point() : m_ImplRefCounter->m_Edges.front().GetStart();
}

PolyArc PolyArc::GetReversed() const {
    if (IsEmpty()) {
        return *this;
    }
    std::vector<Arc> edges;
    edges.reserve(GetEdgeCount());
    const EdgeTree& tree = m_ImplRefCounter->m_Edges;
    for (auto it = tree.end(); it != tree.begin();) {
        --it;
        edges.push_back(it->GetReversed());
    }
    return PolyArc(m_ImplRefCounter->m_OpenClosed, edges);
}

PolyArc PolyArc::GetTranslated(const Vector& v) const {
    if (IsEmpty() || v.IsNull()) {
        return *this;
    }
    std::vector<Arc> edges;
    edges.reserve(GetEdgeCount());
    for (const Arc& a : m_ImplRefCounter->m_Edges) {
        edges.push_back(a.GetTranslated(v));
    }
    return PolyArc(m_ImplRefCounter->m_OpenClosed, edges);
}

PolyArc PolyArc::GetRotated(Unit centre_x, Unit centre_y, Angle angle) const {
    if (IsEmpty() || angle.GetValue() == 0) {
        return *this;
    }
    const Point centre(centre_x, centre_y);
    std::vector<Arc> edges;
    edges.reserve(GetEdgeCount());
    for (const Arc& a : m_ImplRefCounter->m_Edges) {
        edges.push_back(a.GetRotated(centre, angle));
    }
    return PolyArc(m_ImplRefCounter->m_OpenClosed, edges);
}

bool PolyArc::IsCircle(Unit accuracy, Circle* circle) const {
    if (IsEmpty()) {
        return false;
    }
    const EdgeTree& edges = m_ImplRefCounter->m_Edges;
    Circumference c;
    if (edges.size() == 1) {
        if (!edges.front().IsCircumference(&c)) {
            return false;
        }
    } else {
        const Arc& first = edges.front();
        if (first.GetHeight() == 0) {
            return false;
        }
        c = first.GetCircumference();
        for (const Arc& a : edges) {
            if (a.GetHeight() == 0 || a.GetOrientation() != first.GetOrientation()) {
                return false;
            }
            const Circumference ca = a.GetCircumference();
            if (!ca.GetCentre().IsEqualTo(c.GetCentre(), accuracy)
                || !(std::fabs(ca.GetRadius() - c.GetRadius()) <= accuracy)) {
                return false;
            }
        }
        if (m_ImplRefCounter->m_OpenClosed == k_Open
            && !edges.back().GetEnd().IsEqualTo(first.GetStart(), accuracy)) {
            return false;
        }
    }
    if (circle) {
        *circle = c.GetCircle();
    }
    return true;
}

bool PolyArc::IsSelfIntersecting(Unit accuracy) const {
    return GetSelfIntersections(accuracy, nullptr);
}

bool PolyArc::GetSelfIntersections(Unit accuracy, std::vector<Point>* points) const {
    if (IsEmpty()) {
        return false;
    }
    const double acc = accuracy > 0 ? double(accuracy) : 0.0;
    const EdgeTree& tree = m_ImplRefCounter->m_Edges;
    const std::ptrdiff_t n = tree.size();
    const bool closed = m_ImplRefCounter->m_OpenClosed == k_Closed;
    bool found = false;
    std::ptrdiff_t i = 0;
    for (auto it = tree.begin(); it != tree.end() && (!found || points); ++it, ++i) {
        const Arc& ei = *it;
        tree.VisitMeetingIndexed(
            it.GetBox().GetExpanded(acc), [&](std::ptrdiff_t j, const Arc& ej, const Box&) {
                if (j <= i) {
                    return true;
                }
                // Consecutive edges meet where they join; that is not a self-intersection.
                Point shared[2];
                int shared_count = 0;
                if (j == i + 1) {
                    shared[shared_count++] = ei.GetEnd();
                }
                if (closed && i == 0 && j == n - 1) {
                    shared[shared_count++] = ei.GetStart();
                }
                for (const EdgeIntersection& x : Arc::Intersect_G(ei, ej, acc)) {
                    if (x.IsPoint()) {
                        bool at_joint = false;
                        for (int k = 0; k < shared_count; ++k) {
                            at_joint = at_joint || shared[k].GetDistanceTo(x.GetPoint()) <= acc;
                        }
                        if (at_joint) {
                            continue;
                        }
                        found = true;
                        if (points) {
                            points->push_back(x.GetPoint());
                        }
                    } else {
                        found = true;
                        if (points) {
                            points->push_back(x.m_Value.GetStart());
                            points->push_back(x.m_Value.GetEnd());
                        }
                    }
                }
                return !found || points != nullptr;
            });
    }
    return found;
}

bool PolyArc::IsEqualTo(const PolyArc& other, Unit accuracy) const {
    if (IsSameImplementation(other) || (IsEmpty() && other.IsEmpty())) {
        return true;
    }
    // The open/closed flag is not compared: equal edges make equal poly-arcs.
    if (IsEmpty() || other.IsEmpty() || GetEdgeCount() != other.GetEdgeCount()) {
        return false;
    }
    const EdgeTree& a = m_ImplRefCounter->m_Edges;
    const EdgeTree& b = other.m_ImplRefCounter->m_Edges;
    if (std::equal(a.begin(), a.end(), b.begin())) {
        return true;
    }
    const Box ba = a.GetBBox();
    const Box bb = b.GetBBox();
    if (ba.IsEmpty() != bb.IsEmpty()) {
        return false;
    }
    if (!ba.IsEmpty()
        && !(std::fabs(ba.GetXMin() - bb.GetXMin()) <= accuracy
             && std::fabs(ba.GetXMax() - bb.GetXMax()) <= accuracy
             && std::fabs(ba.GetYMin() - bb.GetYMin()) <= accuracy
             && std::fabs(ba.GetYMax() - bb.GetYMax()) <= accuracy)) {
        return false;
    }
    const std::vector<Arc> ea = GetEdges();
    const std::vector<Arc> eb = other.GetEdges();
    const std::ptrdiff_t n = std::ptrdiff_t(ea.size());
    const auto matches_from = [&](std::ptrdiff_t shift) {
        for (std::ptrdiff_t k = 0; k < n; ++k) {
            if (!ea[k].IsEqualTo(eb[(k + shift) % n], accuracy)) {
                return false;
            }
        }
        return true;
    };
    if (m_ImplRefCounter->m_OpenClosed == k_Open
        || other.m_ImplRefCounter->m_OpenClosed == k_Open) {
        return matches_from(0);
    }
    // A closed poly-arc may start anywhere: try each edge of the other that matches the
    // first edge here, found through the box query.
    const double acc = accuracy > 0 ? double(accuracy) : 0.0;
    bool equal = false;
    b.VisitMeetingIndexed(GetQueryBox_T(ea[0], acc),
                          [&](std::ptrdiff_t j, const Arc& e, const Box&) {
                              equal = e.IsEqualTo(ea[0], accuracy) && matches_from(j);
                              return !equal;
                          });
    return equal;
}

bool PolyArc::IsOnBoundary(const Point& p, Unit accuracy) const {
    VCORE_ASSERT("PolyArc", accuracy >= 0);
    if (IsEmpty()) {
        return false;
    }
    const double acc = accuracy > 0 ? double(accuracy) : 0.0;
    const Box query = GetQueryBox_G(p, acc);
    if (!query.Meets(GetBBox())) {
        return false;
    }
    return !m_ImplRefCounter->m_Edges.VisitMeeting(
        query, [&](const Arc& a, const Box&) { return !(a.GetDistanceTo(p) <= acc); });
}

namespace {

/// Signed area between an arc and its chord: positive when the arc bulges to the right
/// of its direction (counter-clockwise), so that it adds to a counter-clockwise polygon.
double GetSliceArea(const Arc& arc) {
    double ret;
    if (arc.IsSegment(arc.GetEpsilon())) {
        // Too flat for its circle: the triangle to the middle point.
        ret = 0.5 * (arc.GetMiddlePoint() - arc.GetStart()).Cross(arc.GetEnd() - arc.GetStart());
    } else {
        // The sector minus the triangle (start, end, centre), that is r^2 (t - sin t) / 2,
        // with t - sin t from its series when small: the difference of the two areas
        // would lose all precision for a nearly flat arc with a huge radius.
        const Angle sweep = arc.GetSweepAngle();
        const double t = sweep.GetValue();
        const double r = arc.GetStart() == arc.GetEnd()
                             ? std::fabs(arc.GetHeight()) * 0.5
                             : double(arc.GetCircumference().GetRadius());
        double t_minus_sin;
        if (std::fabs(t) < 0.1) {
            const double t2 = t * t;
            t_minus_sin = t * t2 / 6 * (1 - t2 / 20 * (1 - t2 / 42 * (1 - t2 / 72)));
        } else {
            t_minus_sin = t - sweep.Sin();
        }
        ret = 0.5 * r * r * t_minus_sin;
        VCORE_ASSERT("PolyArc",
                     arc.IsBig() || std::fabs(ret) <= arc.GetStartEndSegment().GetLengthSquare());
    }
    return ret;
}

}  // namespace

Area PolyArc::GetArea() const {
    if (IsEmpty()) {
        return k_Area_0;
    }
    VCORE_ASSERT("PolyArc", GetOpenClosed() == k_Closed);
    const EdgeTree& edges = m_ImplRefCounter->m_Edges;
    const Point p0 = edges.front().GetStart();
    double sum = 0;
    for (const Arc& a : edges) {
        sum += 0.5 * (a.GetStart() - p0).Cross(a.GetEnd() - p0);
        if (!a.IsSegment(0)) {
            sum += GetSliceArea(a);
        }
    }
    return sum;
}

int PolyArc::Compare(const PolyArc& a, const PolyArc& b) {
    const int na = a.GetEdgeCount();
    const int nb = b.GetEdgeCount();
    if (na != nb) {
        return na < nb ? -1 : 1;
    }
    if (const int c = Box::Compare(a.GetBBox(), b.GetBBox())) {
        return c;
    }
    const OpenClosed fa = a.IsEmpty() ? k_Open : a.m_ImplRefCounter->m_OpenClosed;
    const OpenClosed fb = b.IsEmpty() ? k_Open : b.m_ImplRefCounter->m_OpenClosed;
    if (fa != fb) {
        return fa == k_Open ? -1 : 1;
    }
    if (a.IsSameImplementation(b)) {
        return 0;
    }
    const EdgeTree& ea = a.GetEdgeTree();
    const EdgeTree& eb = b.GetEdgeTree();
    for (auto ia = ea.begin(), ib = eb.begin(); ia != ea.end() && ib != eb.end(); ++ia, ++ib) {
        if (const int c = Arc::Compare(*ia, *ib)) {
            return c;
        }
    }
    return 0;
}

}  // namespace geom
