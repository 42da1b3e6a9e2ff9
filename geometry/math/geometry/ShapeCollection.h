#pragma once

#include <algorithm>
#include <vector>

#include "base/RefCountedPtr.h"
#include "containers/AvlTree.h"
#include "corelib/Assert.h"
#include "math/geometry/Angle.h"
#include "math/geometry/Area.h"
#include "math/geometry/Box.h"
#include "math/geometry/Point.h"
#include "math/geometry/Unit.h"
#include "math/geometry/Vector.h"

namespace geom {

/// What the polygon collections share: a handle to a spatial container of shapes kept in
/// order of their bounding boxes (ties by the shapes' own order), never changed in place
/// once shared (adding to a shared collection copies it first). Empty when there is no
/// container or no member.
template <class Shape>
class ShapeCollection_T {
public:
    struct BoxOf {
        Box operator()(const Shape& s) const { return s.GetBBox(); }
    };
    using Tree = containers::RangeAvlTree_T<Shape, BoxOf>;

    bool IsEmpty() const { return m_ImplRefCounter.IsNull() || m_ImplRefCounter->empty(); }
    bool empty() const { return IsEmpty(); }
    int GetCount() const { return IsEmpty() ? 0 : int(m_ImplRefCounter->size()); }
    int size() const { return GetCount(); }

    /// The members in the container's order.
    std::vector<Shape> GetMembers() const {
        const Tree& tree = GetTree();
        return std::vector<Shape>(tree.begin(), tree.end());
    }
    /// The members in order, with their boxes, for box queries.
    const Tree& GetTree() const {
        static const Tree k_None;
        return m_ImplRefCounter.IsNull() ? k_None : *m_ImplRefCounter;
    }
    Box GetBBox() const { return GetTree().GetBBox(); }
    Unit GetEpsilon() const { return GetBBox().GetEpsilon(); }
    Area GetArea() const {
        double sum = 0;
        for (const Shape& s : GetTree()) {
            sum += s.GetArea();
        }
        return sum;
    }
    /// Whether some member contains p (within accuracy).
    bool Contains(const Point& p, Unit accuracy) const {
        const double a = accuracy > 0 ? double(accuracy) : 0.0;
        const Box query = Box::FromBounds(p.GetX() - a, p.GetY() - a, p.GetX() + a, p.GetY() + a);
        return !GetTree().VisitMeeting(
            query, [&](const Shape& s, const Box&) { return !s.Contains(p, accuracy); });
    }

    static bool IsOrderedBefore(const Shape& a, const Shape& b) {
        const int c = Box::Compare(a.GetBBox(), b.GetBBox());
        return c != 0 ? c < 0 : Shape::Compare(a, b) < 0;
    }

protected:
    /// Adds a non-empty shape in order; an empty one is reported under `source` and
    /// skipped.
    void AddMember(const Shape& shape, const char* source) {
        VCORE_ASSERT(source, !shape.empty());
        if (shape.empty()) {
            return;
        }
        if (m_ImplRefCounter.IsNull() || m_ImplRefCounter.GetUseCount() > 1) {
            m_ImplRefCounter = m_ImplRefCounter.IsNull()
                                   ? base::RefCountedPtr_T<Tree>::Make_T()
                                   : base::RefCountedPtr_T<Tree>::Make_T(*m_ImplRefCounter);
        }
        m_ImplRefCounter.GetUniqueMutable()->InsertSorted(shape, &IsOrderedBefore);
    }
    /// Replaces the members by the non-empty shapes of a list, sorted once.
    void AssignMembers(std::vector<Shape> shapes) {
        shapes.erase(
            std::remove_if(shapes.begin(), shapes.end(), [](const Shape& s) { return s.empty(); }),
            shapes.end());
        m_ImplRefCounter = {};
        if (shapes.empty()) {
            return;
        }
        std::stable_sort(shapes.begin(), shapes.end(), &IsOrderedBefore);
        m_ImplRefCounter = base::RefCountedPtr_T<Tree>::Make_T(shapes.begin(), shapes.end());
    }
    static int CompareMembers(const ShapeCollection_T& a, const ShapeCollection_T& b) {
        if (a.GetCount() != b.GetCount()) {
            return a.GetCount() < b.GetCount() ? -1 : 1;
        }
        const Tree& ta = a.GetTree();
        const Tree& tb = b.GetTree();
        for (auto ia = ta.begin(), ib = tb.begin(); ia != ta.end(); ++ia, ++ib) {
            if (const int c = Shape::Compare(*ia, *ib)) {
                return c;
            }
        }
        return 0;
    }
    bool HasEqualMembers(const ShapeCollection_T& other, Unit accuracy) const {
        if (m_ImplRefCounter.IsSameAs(other.m_ImplRefCounter)) {
            return true;
        }
        if (GetCount() != other.GetCount()) {
            return false;
        }
        const Tree& ta = GetTree();
        const Tree& tb = other.GetTree();
        return std::equal(ta.begin(), ta.end(), tb.begin(),
                          [&](const Shape& x, const Shape& y) { return x.IsEqualTo(y, accuracy); });
    }

    base::RefCountedPtr_T<Tree> m_ImplRefCounter;
};

}  // namespace geom
