#include "math/geometry/Boolean.h"

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

/// For each box, whether it is a proper box that meets (grown by the accuracy) no other box
/// of the list: a member with such a box cannot meet any other member.
std::vector<char> FindIsolated(const std::vector<Box>& boxes, double accuracy) {
    std::vector<IndexedBox> items(boxes.size());
    for (int i = 0; i < int(boxes.size()); ++i) {
        items[i] = {i, boxes[i]};
    }
    const BoxIndex index = MakeBoxIndex_G(std::move(items));
    std::vector<char> ret(boxes.size(), 0);
    for (int i = 0; i < int(boxes.size()); ++i) {
        const Box& b = boxes[i];
        if (!b.Meets(b) || !std::isfinite(b.GetXMin()) || !std::isfinite(b.GetXMax())
            || !std::isfinite(b.GetYMin()) || !std::isfinite(b.GetYMax())) {
            continue;
        }
        ret[i] = index.VisitMeeting(b.GetExpanded(accuracy),
                                    [&](const IndexedBox& x, const Box&) { return x.m_Id == i; });
    }
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
    VCORE_ASSERT_TEXT("PolygonWithHolesCollection", add_intersecting || add_non_intersecting,
                      "add_intersecting || add_non_intersecting");
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

/// A union (code 0) or a difference (code 3) of two collections.
PolygonWithHolesCollection Combine(const PolygonWithHolesCollection& a,
                                   const PolygonWithHolesCollection& b, int code, Unit accuracy) {
    const char* source = "PolygonWithHolesCollection";
    VCORE_ASSERT_TEXT(source, accuracy >= a.GetEpsilon() * 0.999,
                      "accuracy >= pc.GetEpsilon() * 0.999");
    VCORE_ASSERT_TEXT(source, accuracy >= b.GetEpsilon() * 0.999,
                      "accuracy >= pc.GetEpsilon() * 0.999");
    const bool unite = code == k_Union;
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
    const std::vector<char> isolated = FindIsolated(boxes, GetNonNegative(accuracy));
    const MemberSplit these = SplitMembers(ma, isolated.data(), true, true);
    const MemberSplit those = SplitMembers(mb, isolated.data() + ma.size(), true, unite);
    std::vector<PolygonWithHoles> result = these.m_NonIntersecting;
    if (unite) {
        result.insert(result.end(), those.m_NonIntersecting.begin(), those.m_NonIntersecting.end());
    }
    if (!these.m_Intersecting.empty() || (unite && !those.m_Intersecting.empty())) {
        PolyArcIntersectionGraph graph(these.m_Intersecting, those.m_Intersecting, accuracy);
        const PolygonWithHolesCollection ret = graph.GetResult(code);
        if (unite) {
            VCORE_ASSERT_TEXT(
                source,
                !ret.empty()
                    || (!GetAreaOf(these.m_Intersecting) && !GetAreaOf(those.m_Intersecting)),
                "!ret.empty() || !this_split.m_Intersecting.GetArea() && "
                "!that_split.m_Intersecting.GetArea()");
        }
        for (const PolygonWithHoles& p : ret.GetTree()) {
            result.push_back(p);
        }
    }
    return PolygonWithHolesCollection(result);
}

PolygonWithHolesCollection GraphResult(const PolygonWithHoles& a, const PolygonWithHoles& b,
                                       int code, Unit accuracy) {
    const PolygonWithHoles first[] = {a};
    const PolygonWithHoles second[] = {b};
    return PolyArcIntersectionGraph(first, second, accuracy).GetResult(code);
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
    VCORE_ASSERT_TEXT("Polygon", accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon()),
                      "accuracy >= base::GetMaxOf_T (GetEpsilon(), poly.GetEpsilon())");
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
        return GraphResult(PolygonWithHoles(a), PolygonWithHoles(b), k_Difference, accuracy);
    }
}

PolygonWithHolesCollection Unite_G(const Polygon& a, const Polygon& b, Unit accuracy) {
    VCORE_ASSERT_TEXT("Polygon", accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon()),
                      "accuracy >= base::GetMaxOf_T (GetEpsilon(), poly.GetEpsilon())");
    if (a.IsEmpty()) {
        return PolygonWithHolesCollection(b);
    }
    if (b.IsEmpty()) {
        return PolygonWithHolesCollection(a);
    }
    switch (GetRelation_G(a, b, accuracy)) {
    case k_Disjoint:
        VCORE_ASSERT_TEXT("Polygon", !DoBoundariesMeet_G(a, b, accuracy),
                          "!IntersectsWith (poly, accuracy)");
        return PolygonWithHolesCollection(std::vector<Polygon>{a, b});
    case k_FirstInsideSecond:
        return PolygonWithHolesCollection(b);
    case k_SecondInsideFirst:
        return PolygonWithHolesCollection(a);
    default:
        return GraphResult(PolygonWithHoles(a), PolygonWithHoles(b), k_Union, accuracy);
    }
}

PolygonWithHolesCollection Unite_G(const PolygonWithHoles& a, const PolygonWithHoles& b,
                                   Unit accuracy) {
    VCORE_ASSERT_TEXT("PolygonWithHoles",
                      accuracy >= base::GetMaxOf_T(a.GetEpsilon(), b.GetEpsilon()),
                      "accuracy >= base::GetMaxOf_T (GetEpsilon(), poly.GetEpsilon())");
    if (a.IsEmpty()) {
        return PolygonWithHolesCollection(b);
    }
    if (b.IsEmpty()) {
        return PolygonWithHolesCollection(a);
    }
    if (!a.GetBBox().GetExpanded(GetNonNegative(accuracy)).Meets(b.GetBBox())) {
        return PolygonWithHolesCollection(std::vector<PolygonWithHoles>{a, b});
    }
    return GraphResult(a, b, k_Union, accuracy);
}

PolygonWithHolesCollection Unite_G(const PolygonWithHolesCollection& a,
                                   const PolygonWithHolesCollection& b, Unit accuracy) {
    return Combine(a, b, k_Union, accuracy);
}

PolygonWithHolesCollection Subtract_G(const PolygonWithHolesCollection& a,
                                      const PolygonWithHolesCollection& b, Unit accuracy) {
    return Combine(a, b, k_Difference, accuracy);
}

PolygonWithHolesCollection Subtract_G(const PolygonWithHolesCollection& a,
                                      const PolygonCollection& b, Unit accuracy) {
    if (b.empty()) {
        return a;
    }
    return Combine(a, PolygonWithHolesCollection(b.GetPolygons()), k_Difference, accuracy);
}

PolygonWithHolesCollection Unite_G(const PolygonCollection& members, Unit accuracy) {
    VCORE_ASSERT_TEXT("PolygonCollection", accuracy >= members.GetEpsilon() * 0.999,
                      "accuracy >= pc.GetEpsilon() * 0.999");
    const std::vector<Polygon> all = members.GetPolygons();
    std::vector<Box> boxes;
    boxes.reserve(all.size());
    for (const Polygon& p : all) {
        boxes.push_back(p.GetBBox());
    }
    const std::vector<char> isolated = FindIsolated(boxes, GetNonNegative(accuracy));
    std::vector<PolygonWithHoles> result;
    std::vector<Polygon> meeting;
    for (size_t i = 0; i < all.size(); ++i) {
        if (isolated[i]) {
            result.emplace_back(all[i]);
        } else {
            meeting.push_back(all[i]);
        }
    }
    if (!meeting.empty()) {
        PolyArcIntersectionGraph graph(meeting, accuracy);
        const PolygonWithHolesCollection united = graph.GetResult(k_Union);
        for (const PolygonWithHoles& p : united.GetTree()) {
            result.push_back(p);
        }
    }
    return PolygonWithHolesCollection(result);
}

}  // namespace geom
