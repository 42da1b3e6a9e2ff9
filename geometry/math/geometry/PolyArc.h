#pragma once

#include <span>
#include <vector>

#include "base/RefCountedPtr.h"
#include "containers/AvlTree.h"
#include "math/geometry/Angle.h"
#include "math/geometry/Arc.h"
#include "math/geometry/Area.h"
#include "math/geometry/Box.h"
#include "math/geometry/Circle.h"
#include "math/geometry/Orientation.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"
#include "math/geometry/Vector.h"

namespace geom {

/// Whether every arc ends exactly where the next one starts (and, for k_Closed, the last
/// ends where the first starts). True for no arcs.
bool IsPolyArcSequence_G(std::span<const Arc> arcs, OpenClosed open_or_closed);

struct ArcBoxOf {
    Box operator()(const Arc& a) const { return a.GetBBox(); }
};

/// The edges of a poly-arc in sequence order, with their boxes for spatial queries.
using EdgeTree = containers::RangeAvlTree_T<Arc, ArcBoxOf>;

/// What poly-arc handles share; never changed once built.
struct PolyArcImpl {
    OpenClosed m_OpenClosed = k_Open;
    EdgeTree m_Edges;
};

/// A chain of arcs, open or closed: a handle to a shared, reference-counted
/// implementation that is never changed in place (every operation that changes a
/// poly-arc builds a new one). Copies are cheap. The empty poly-arc has no
/// implementation (or no edges); every query on it gives an empty result.
class PolyArc {
public:
    PolyArc() = default;
    /// One straight edge from each vertex to the next; for k_Closed a closing edge from
    /// the last vertex back to the first unless they are equal. A single vertex gives one
    /// zero-length edge.
    PolyArc(OpenClosed open_or_closed, const std::vector<Point>& vertices);
    /// The arcs as given.
    PolyArc(OpenClosed open_or_closed, const std::vector<Arc>& arcs);

    bool IsEmpty() const { return m_ImplRefCounter.IsNull() || m_ImplRefCounter->m_Edges.empty(); }
    bool empty() const { return IsEmpty(); }
    OpenClosed GetOpenClosed() const;
    int GetEdgeCount() const { return IsEmpty() ? 0 : int(m_ImplRefCounter->m_Edges.size()); }
    /// Edge count for a closed poly-arc, one more for an open one, 0 when empty.
    int GetVertexCount() const;

    std::vector<Arc> GetEdges() const;
    /// The j-th edge in logarithmic time.
    Arc GetEdge(int j) const;
    /// The start of every edge, and the last end for an open poly-arc.
    std::vector<Point> GetVertices() const;
    Point GetFirstVertex() const;
    Box GetBBox() const { return IsEmpty() ? Box() : m_ImplRefCounter->m_Edges.GetBBox(); }
    Unit GetEpsilon() const { return GetBBox().GetEpsilon(); }
    /// The edges with their boxes, for box queries (an empty tree when empty).
    const EdgeTree& GetEdgeTree() const;

    /// Edges in reverse order, each reversed; the same open/closed flag.
    PolyArc GetReversed() const;
    /// Every edge moved by v.
    PolyArc GetTranslated(const Vector& v) const;
    /// Every edge rotated about (centre_x, centre_y); angle 0 gives the same poly-arc.
    PolyArc GetRotated(Unit centre_x, Unit centre_y, Angle angle) const;

    /// Whether the poly-arc is a circle within accuracy: one whole-circle edge, or true
    /// arcs of one circle turning one way (an open one also ending near its start).
    bool IsCircle(Unit accuracy, Circle* circle = nullptr) const;
    /// Whether edges meet, under the accuracy, other than where consecutive edges join.
    bool IsSelfIntersecting(Unit accuracy) const;
    /// As IsSelfIntersecting, collecting the meeting points.
    bool GetSelfIntersections(Unit accuracy, std::vector<Point>* points) const;
    /// The same shape within accuracy: shared implementation, equal edges, or boxes and
    /// edges within accuracy (a closed poly-arc may start at a different edge).
    bool IsEqualTo(const PolyArc& other, Unit accuracy) const;
    /// Whether p lies within accuracy of an edge.
    bool IsOnBoundary(const Point& p, Unit accuracy) const;
    /// Signed area of a closed poly-arc, positive counter-clockwise; 0 when empty.
    Area GetArea() const;

    bool IsSameImplementation(const PolyArc& other) const {
        return m_ImplRefCounter.IsSameAs(other.m_ImplRefCounter);
    }

    /// Strict weak order: fewer edges first, then by box, open before closed, then edge
    /// by edge.
    static int Compare(const PolyArc& a, const PolyArc& b);
    friend bool operator<(const PolyArc& a, const PolyArc& b) { return Compare(a, b) < 0; }

protected:
    void Assign(OpenClosed open_or_closed, const std::vector<Arc>& arcs);

    base::RefCountedPtr_T<PolyArcImpl> m_ImplRefCounter;
};

}  // namespace geom
