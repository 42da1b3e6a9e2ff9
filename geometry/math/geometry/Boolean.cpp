#include "math/geometry/Boolean.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "corelib/Assert.h"
#include "math/geometry/BoxIndex.h"
#include "math/geometry/GeomStl.h"
#include "math/geometry/Intersections.h"
#include "math/geometry/PolyArcIntersectionGraph.h"

namespace geom {

namespace {

double GetNonNegative(Unit accuracy) {
    return accuracy > 0 ? double(accuracy) : 0.0;
}

/// The cascade pays when members overlap many others on average (counted up to
/// k_DegreeCap each): then most crossings lie buried under other members and are never
/// computed. With few overlaps it only reads the same boundaries again at every level, and
/// one graph is faster. On stroked traces the two break even at about 28.
constexpr int k_CascadeDegree = 24;
constexpr int k_DegreeCap = 64;

/// For each box, whether it meets no other box (grown by the accuracy); and the average
/// number of other boxes a box meets, each counted up to k_DegreeCap.
std::vector<char> FindIsolated(const std::vector<Box>& boxes, double accuracy,
                               double* average_degree) {
    std::vector<IndexedBox> items(boxes.size());
    for (int i = 0; i < int(boxes.size()); ++i) {
        items[i] = {i, boxes[i]};
    }
    const BoxIndex index = MakeBoxIndex_G(std::move(items));
    std::vector<char> ret(boxes.size(), 0);
    long total = 0;
    for (int i = 0; i < int(boxes.size()); ++i) {
        const Box& b = boxes[i];
        if (!b.Meets(b)) {
            continue;
        }
        int met = 0;
        index.VisitMeeting(b.GetExpanded(accuracy), [&](const IndexedBox& x, const Box&) {
            met += x.m_Id != i;
            return met < k_DegreeCap;
        });
        ret[i] = met == 0 && std::isfinite(b.GetXMin()) && std::isfinite(b.GetXMax())
                 && std::isfinite(b.GetYMin()) && std::isfinite(b.GetYMax());
        total += met;
    }
    *average_degree = boxes.empty() ? 0.0 : double(total) / double(boxes.size());
    return ret;
}

/// The members of one operand of a collection operation, split into those that may meet
/// another member of either operand and those that cannot.
struct MemberSplit {
    std::vector<PolygonWithHoles> m_Intersecting;
    std::vector<PolygonWithHoles> m_NonIntersecting;
};

MemberSplit SplitMembers(std::span<const PolygonWithHoles> members, const char* isolated,
                         bool add_intersecting, bool add_non_intersecting) {
    VCORE_ASSERT("PolygonWithHolesCollection", add_intersecting || add_non_intersecting);
    MemberSplit ret;
    for (size_t i = 0; i < members.size(); ++i) {
        if (isolated[i] && add_non_intersecting) {
            ret.m_NonIntersecting.push_back(members[i]);
        } else if (!isolated[i] && add_intersecting) {
            ret.m_Intersecting.push_back(members[i]);
        }
    }
    return ret;
}

double GetAreaOf(const std::vector<PolygonWithHoles>& members) {
    double sum = 0;
    for (const PolygonWithHoles& p : members) {
        sum += p.GetArea();
    }
    return sum;
}

/// A union or a difference of two collections.
PolygonWithHolesCollection Combine(const PolygonWithHolesCollection& a,
                                   const PolygonWithHolesCollection& b, BooleanOperation operation,
                                   Unit accuracy) {
    const char* source = "PolygonWithHolesCollection";
    VCORE_ASSERT(source, accuracy >= a.GetEpsilon() * 0.999);
    VCORE_ASSERT(source, accuracy >= b.GetEpsilon() * 0.999);
    const bool unite = operation == BooleanOperation::k_Union;
    if (a.empty()) {
        return unite ? b : a;
    }
    if (b.empty()) {
        return a;
    }
    const std::vector<PolygonWithHoles> ma = a.GetMembers();
    const std::vector<PolygonWithHoles> mb = b.GetMembers();
    std::vector<Box> boxes;
    boxes.reserve(ma.size() + mb.size());
    for (const PolygonWithHoles& p : ma) {
        boxes.push_back(p.GetBBox());
    }
    for (const PolygonWithHoles& p : mb) {
        boxes.push_back(p.GetBBox());
    }
    double degree = 0;
    const std::vector<char> isolated = FindIsolated(boxes, GetNonNegative(accuracy), &degree);
    const MemberSplit these = SplitMembers(ma, isolated.data(), true, true);
    const MemberSplit those = SplitMembers(mb, isolated.data() + ma.size(), true, unite);
    std::vector<PolygonWithHoles> result = these.m_NonIntersecting;
    if (unite) {
        result.insert(result.end(), those.m_NonIntersecting.begin(), those.m_NonIntersecting.end());
    }
    if (!these.m_Intersecting.empty() || (unite && !those.m_Intersecting.empty())) {
        PolyArcIntersectionGraph graph(these.m_Intersecting, those.m_Intersecting, accuracy);
        const PolygonWithHolesCollection ret = graph.GetResult(operation);
        if (unite) {
            VCORE_ASSERT(source, !ret.empty()
                                     || (!GetAreaOf(these.m_Intersecting)
                                         && !GetAreaOf(those.m_Intersecting)));
        }
        for (const PolygonWithHoles& p : ret.GetTree()) {
            result.push_back(p);
        }
    }
    return PolygonWithHolesCollection(result);
}

PolygonWithHolesCollection GraphResult(const PolygonWithHoles& a, const PolygonWithHoles& b,
                                       BooleanOperation operation, Unit accuracy) {
    const PolygonWithHoles first[] = {a};
    const PolygonWithHoles second[] = {b};
    return PolyArcIntersectionGraph(first, second, accuracy).GetResult(operation);
}

}  // namespace

bool DoBoundariesMeet_G(const PolyArc& a, const PolyArc& b, Unit accuracy) {
    if (a.IsEmpty() || b.IsEmpty()) {
        return false;
    }
    const double acc = GetNonNegative(accuracy);
    if (!a.GetBBox().GetExpanded(acc).Meets(b.GetBBox())) {
        return false;
    }
    // Each edge of the poly-arc with fewer edges is looked up in the other's edge tree.
    const bool a_smaller = a.GetEdgeCount() <= b.GetEdgeCount();
    const EdgeTree& few = (a_smaller ? a : b).GetEdgeTree();
    const EdgeTree& many = (a_smaller ? b : a).GetEdgeTree();
    const Box many_box = many.GetBBox().GetExpanded(acc);
    for (auto it = few.begin(); it != few.end(); ++it) {
        if (!it.GetBox().Meets(many_box)) {
            continue;
        }
        const Arc& e = *it;
        const bool met = !many.VisitMeeting(
            it.GetBox().GetExpanded(acc),
            [&](const Arc& f, const Box&) { return Arc::Intersect_G(e, f, acc).empty(); });
        if (met) {
            return true;
        }
    }
    return false;
}

PolygonRelation GetRelation_G(const Polygon& a, const Polygon& b, Unit accuracy) {
    const double acc = GetNonNegative(accuracy);
    if (a.IsEmpty() || b.IsEmpty() || !b.GetBBox().GetExpanded(acc).Meets(a.GetBBox())) {
        return k_Disjoint;
    }
    if (DoBoundariesMeet_G(a, b, accuracy)) {
        return k_Crossing;
    }
    if (a.Contains(b.GetFirstVertex(), accuracy)) {
        return k_SecondInsideFirst;
    }
    if (b.Contains(a.GetFirstVertex(), accuracy)) {
        return k_FirstInsideSecond;
    }
    return k_Disjoint;
}

PolygonWithHolesCollection Subtract_G(const Polygon& a, const Polygon& b, Unit accuracy) {
    VCORE_ASSERT("Polygon", accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon()));
    if (a.IsEmpty()) {
        return PolygonWithHolesCollection();
    }
    if (b.IsEmpty()) {
        return PolygonWithHolesCollection(a);
    }
    switch (GetRelation_G(a, b, accuracy)) {
    case k_Disjoint:
        return PolygonWithHolesCollection(a);
    case k_FirstInsideSecond:
        return PolygonWithHolesCollection();
    case k_SecondInsideFirst: {
        PolygonWithHoles ret(a);
        ret.AddHole(b);
        return PolygonWithHolesCollection(ret);
    }
    default:
        return GraphResult(PolygonWithHoles(a), PolygonWithHoles(b), BooleanOperation::k_Difference,
                           accuracy);
    }
}

PolygonWithHolesCollection Unite_G(const Polygon& a, const Polygon& b, Unit accuracy) {
    VCORE_ASSERT("Polygon", accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon()));
    if (a.IsEmpty()) {
        return PolygonWithHolesCollection(b);
    }
    if (b.IsEmpty()) {
        return PolygonWithHolesCollection(a);
    }
    switch (GetRelation_G(a, b, accuracy)) {
    case k_Disjoint:
        VCORE_ASSERT("Polygon", !DoBoundariesMeet_G(a, b, accuracy));
        return PolygonWithHolesCollection(std::vector<Polygon>{a, b});
    case k_FirstInsideSecond:
        return PolygonWithHolesCollection(b);
    case k_SecondInsideFirst:
        return PolygonWithHolesCollection(a);
    default:
        return GraphResult(PolygonWithHoles(a), PolygonWithHoles(b), BooleanOperation::k_Union,
                           accuracy);
    }
}

PolygonWithHolesCollection Unite_G(const PolygonWithHoles& a, const PolygonWithHoles& b,
                                   Unit accuracy) {
    VCORE_ASSERT("PolygonWithHoles", accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon()));
    if (a.IsEmpty()) {
        return PolygonWithHolesCollection(b);
    }
    if (b.IsEmpty()) {
        return PolygonWithHolesCollection(a);
    }
    if (!a.GetBBox().GetExpanded(GetNonNegative(accuracy)).Meets(b.GetBBox())) {
        return PolygonWithHolesCollection(std::vector<PolygonWithHoles>{a, b});
    }
    return GraphResult(a, b, BooleanOperation::k_Union, accuracy);
}

PolygonWithHolesCollection Unite_G(const PolygonWithHolesCollection& a,
                                   const PolygonWithHolesCollection& b, Unit accuracy) {
    return Combine(a, b, BooleanOperation::k_Union, accuracy);
}

PolygonWithHolesCollection Subtract_G(const PolygonWithHolesCollection& a,
                                      const PolygonWithHolesCollection& b, Unit accuracy) {
    return Combine(a, b, BooleanOperation::k_Difference, accuracy);
}

PolygonWithHolesCollection Subtract_G(const PolygonWithHolesCollection& a,
                                      const PolygonCollection& b, Unit accuracy) {
    if (b.empty()) {
        return a;
    }
    return Combine(a, PolygonWithHolesCollection(b.GetPolygons()), BooleanOperation::k_Difference,
                   accuracy);
}

namespace {

/// Members united at the bottom of a cascade, and parts united at once above it.
constexpr int k_LeafSize = 32;
constexpr int k_FanIn = 16;
/// The union of parts whose own members have disjoint interiors. A member whose box meets
/// no box of another part's members is passed on unchanged.
std::vector<PolygonWithHoles> UniteDisjointParts(
    std::span<const std::vector<PolygonWithHoles>> parts, Unit accuracy) {
    std::vector<IndexedBox> items;
    std::vector<int> part_of;
    for (int g = 0; g < int(parts.size()); ++g) {
        for (const PolygonWithHoles& p : parts[g]) {
            items.push_back({int(part_of.size()), p.GetBBox()});
            part_of.push_back(g);
        }
    }
    const std::vector<IndexedBox> boxes = items;
    const BoxIndex index = MakeBoxIndex_G(std::move(items));
    const double acc = GetNonNegative(accuracy);
    std::vector<PolygonWithHoles> result;
    std::vector<std::vector<PolygonWithHoles>> meeting(parts.size());
    bool any = false;
    int k = 0;
    for (int g = 0; g < int(parts.size()); ++g) {
        for (const PolygonWithHoles& p : parts[g]) {
            const Box& b = boxes[k].m_Box;
            const bool alone =
                b.Meets(b)
                && index.VisitMeeting(b.GetExpanded(acc), [&](const IndexedBox& x, const Box&) {
                       return part_of[x.m_Id] == g;
                   });
            if (alone) {
                result.push_back(p);
            } else {
                meeting[g].push_back(p);
                any = true;
            }
            ++k;
        }
    }
    if (any) {
        PolyArcIntersectionGraph graph(meeting, accuracy);
        const PolygonWithHolesCollection united = graph.GetResult(BooleanOperation::k_Union);
        for (const PolygonWithHoles& p : united.GetTree()) {
            result.push_back(p);
        }
    }
    return result;
}

/// The union of many overlapping polygons as a cascade: groups of neighbours along a
/// Hilbert curve are united first, then their results a few at a time. Edges deep inside
/// a group's union never reach the upper levels, so the crossings of shapes buried under
/// others are mostly never computed.
std::vector<PolygonWithHoles> UniteCascaded(const std::vector<Polygon>& members, Unit accuracy) {
    Box frame;
    for (const Polygon& p : members) {
        frame |= p.GetBBox();
    }
    std::vector<std::pair<std::uint64_t, int>> order;
    order.reserve(members.size());
    for (int i = 0; i < int(members.size()); ++i) {
        order.emplace_back(GetHilbertKey_G(frame, members[i].GetBBox().GetCentre()), i);
    }
    std::sort(order.begin(), order.end());
    std::vector<std::vector<PolygonWithHoles>> parts;
    std::vector<Polygon> leaf;
    for (size_t b = 0; b < order.size(); b += size_t(k_LeafSize)) {
        leaf.clear();
        for (size_t i = b; i < std::min(order.size(), b + size_t(k_LeafSize)); ++i) {
            leaf.push_back(members[order[i].second]);
        }
        PolyArcIntersectionGraph graph(leaf, accuracy);
        parts.push_back(graph.GetResult(BooleanOperation::k_Union).GetMembers());
    }
    while (parts.size() > 1) {
        std::vector<std::vector<PolygonWithHoles>> next;
        for (size_t b = 0; b < parts.size(); b += size_t(k_FanIn)) {
            const size_t e = std::min(parts.size(), b + size_t(k_FanIn));
            next.push_back(UniteDisjointParts(
                std::span<const std::vector<PolygonWithHoles>>(parts.data() + b, e - b), accuracy));
        }
        parts.swap(next);
    }
    return parts.empty() ? std::vector<PolygonWithHoles>() : parts.front();
}

}  // namespace

PolygonWithHolesCollection Unite_G(const PolygonCollection& members, Unit accuracy) {
    VCORE_ASSERT("PolygonCollection", accuracy >= members.GetEpsilon() * 0.999);
    const std::vector<Polygon> all = members.GetPolygons();
    std::vector<Box> boxes;
    boxes.reserve(all.size());
    for (const Polygon& p : all) {
        boxes.push_back(p.GetBBox());
    }
    double degree = 0;
    const std::vector<char> isolated = FindIsolated(boxes, GetNonNegative(accuracy), &degree);
    std::vector<PolygonWithHoles> result;
    std::vector<Polygon> meeting;
    for (size_t i = 0; i < all.size(); ++i) {
        if (isolated[i]) {
            result.emplace_back(all[i]);
        } else {
            meeting.push_back(all[i]);
        }
    }
    if (int(meeting.size()) > k_LeafSize && degree > k_CascadeDegree) {
        const std::vector<PolygonWithHoles> united = UniteCascaded(meeting, accuracy);
        result.insert(result.end(), united.begin(), united.end());
    } else if (!meeting.empty()) {
        PolyArcIntersectionGraph graph(meeting, accuracy);
        const PolygonWithHolesCollection united = graph.GetResult(BooleanOperation::k_Union);
        for (const PolygonWithHoles& p : united.GetTree()) {
            result.push_back(p);
        }
    }
    return PolygonWithHolesCollection(result);
}

}  // namespace geom
