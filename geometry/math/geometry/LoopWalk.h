#pragma once

#include <span>
#include <vector>

namespace geom {

/// The loops found by walking a graph's edges from each to the one that follows it.
struct LoopWalk {
    /// Simple closed loops, as edge numbers in walking order.
    std::vector<std::vector<int>> m_Loops;
    /// Walks that stopped at an edge without a follower, or at one already walked, before
    /// coming back to their first edge: the edges as walked.
    std::vector<std::vector<int>> m_OpenWalks;
};

/// Splits the edges of a graph into simple loops. Edge e runs from vertex from[e] to vertex
/// to[e] (both below vertex_count) and is followed by edge next[e] (-1 for none). A walk
/// starts at each edge in turn that is not marked in `used`, marks every edge it takes and
/// closes when it comes back to its first edge. Whenever a closed walk comes back to a
/// vertex it has passed, the part since then is a loop of its own, so loops that touch at a
/// vertex are kept apart and every loop passes each of its vertices once. Edges marked in
/// `used` on entry are never walked.
LoopWalk WalkLoops_G(std::span<const int> next, std::span<const int> from, std::span<const int> to,
                     int vertex_count, std::vector<char>& used);

}  // namespace geom
