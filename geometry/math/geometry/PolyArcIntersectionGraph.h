#pragma once

#include <span>
#include <vector>

#include "math/geometry/Arc.h"
#include "math/geometry/Point.h"
#include "math/geometry/Polygon.h"
#include "math/geometry/PolygonWithHoles.h"
#include "math/geometry/PolygonWithHolesCollection.h"
#include "math/geometry/Unit.h"

namespace geom {

/// Where an edge of the graph lies relative to the other operand.
enum EdgeLocation : int {
    k_InsideOther = 0,   ///< the other operand covers both sides
    k_OutsideOther = 1,  ///< the other operand covers neither side
    k_CommonEdge = 2,    ///< the edge coincides with the other operand's boundary
};

/// The boolean operations a graph is read with: which edges the result's loops follow.
enum class BooleanOperation {
    k_Union,
    k_Intersection,
    k_ExclusiveOr,
    k_Difference,  ///< first minus second
};

/// The boundaries of two operands (or of all members of one collection) cut into edges
/// where they meet, so that edges meet only at vertices; each edge classified against the
/// other operand. Reading the graph with an operation gives the result's loops.
///
/// An operand is the union of its members, which may overlap. Only the pieces that bound
/// their own operand enter the graph (a piece inside another member of its operand, or
/// between two members, is dropped at once); each is turned so that its operand lies on
/// its left. Pieces are classified by locating the middle point of each against the other
/// members: a member whose boundary passes through that point covers the side its own
/// boundary runs along, any other member covers both sides or neither. Coinciding edges
/// are therefore resolved by what covers their two sides, so shared sides, stacked
/// identical shapes and holes touching their outline need no special case.
///
/// Loops are read so that each one is simple: where the boundary touches itself at a
/// vertex, the loops are split apart, and the edges at such a vertex are paired so that
/// each loop keeps to one connected part of the result's interior. Each member of the
/// result is therefore one connected region, bounded by simple loops that may touch one
/// another at single points: two shapes touching at one point stay two members, and a
/// hole touching its outline at a point stays a hole.
class PolyArcIntersectionGraph {
public:
    struct Vertex {
        Point m_Location;
    };
    struct Edge {
        /// Never a point; runs from m_StartVertex to m_EndVertex with its own operand on
        /// the left.
        Arc m_Arc;
        int m_StartVertex = -1;
        int m_EndVertex = -1;
        int m_Owner = 0;  ///< 0 for the first operand (or the collection), 1 for the second
        int m_InsideOther = k_OutsideOther;
        bool m_Visited = false;
        bool m_OtherOnLeft = false;   ///< the other operand covers the left side
        bool m_OtherOnRight = false;  ///< the other operand covers the right side
        int m_SourceEdge = -1;        ///< the operand edge it was cut from
        int m_Piece = 0;              ///< its place among that edge's pieces
        bool m_AlongSource = true;    ///< runs the way of that edge
    };
    /// A closed loop read from the graph.
    struct Loop {
        std::vector<Arc> m_Arcs;
    };

    /// The graph of two operands, each the union of its members.
    PolyArcIntersectionGraph(std::span<const PolygonWithHoles> first,
                             std::span<const PolygonWithHoles> second, Unit accuracy);
    /// The graph of all members of one collection, for their union.
    PolyArcIntersectionGraph(std::span<const Polygon> members, Unit accuracy);
    /// The graph of the members of several parts, for their union, where the members of
    /// each part have disjoint interiors (results of earlier unions): edges of one part
    /// are neither cut at each other nor located against each other.
    explicit PolyArcIntersectionGraph(std::span<const std::vector<PolygonWithHoles>> disjoint_parts,
                                      Unit accuracy);

    const std::vector<Vertex>& GetVertices() const { return m_Vertices; }
    const std::vector<Edge>& GetEdges() const { return m_Edges; }

    /// The closed loops of the result of `operation` (counter-clockwise around
    /// covered regions, clockwise around holes), without those whose area is below the
    /// accuracy squared. Marks the edges it uses, and those it cancels, as visited.
    std::vector<Loop> ReadLoops(BooleanOperation operation);
    /// The result of `operation`: counter-clockwise loops become outer polygons and
    /// clockwise loops the holes of the smallest outer polygon containing them.
    PolygonWithHolesCollection GetResult(BooleanOperation operation);

    /// A loop whose boundary meets no other loop's (nor itself): it is not cut into edges
    /// but taken into a result whole, or left out whole.
    struct WholeLoop {
        PolyArc m_Boundary;  ///< its own operand on the left
        double m_Area = 0;
        int m_Owner = 0;
        bool m_OtherOnLeft = false;
        bool m_OtherOnRight = false;
    };
    const std::vector<WholeLoop>& GetWholeLoops() const { return m_WholeLoops; }

private:
    /// The result's loops as boundaries, with their signed areas.
    std::vector<std::pair<PolyArc, double>> ReadBoundaries(BooleanOperation operation);
    /// Whether the result of `operation` follows a piece of boundary of `owner` whose own
    /// operand lies on its left: 1 forwards, -1 backwards, 0 not at all.
    int GetTravel(BooleanOperation operation, int owner, bool other_on_left,
                  bool other_on_right) const;
    /// For each edge: the way it is travelled in the result of `operation` (1 forwards,
    /// -1 backwards), or 0 when the result does not follow it.
    std::vector<signed char> SelectEdges(BooleanOperation operation) const;
    void CancelCoincidingEdges(std::vector<signed char>& travel);
    void MergeCoincidingPairs();

    double m_CalcAccuracy = 0;
    bool m_TwoOperands = true;
    std::vector<Vertex> m_Vertices;
    std::vector<Edge> m_Edges;
    std::vector<WholeLoop> m_WholeLoops;
    /// How many pieces each operand edge was cut into, and whether it closes on itself.
    std::vector<int> m_SourcePieceCount;
    std::vector<char> m_SourceIsClosed;
};

}  // namespace geom
