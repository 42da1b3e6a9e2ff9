#include "prepare/RoutedAreas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <utility>

#include "math/geometry/Intersections.h"
#include "math/geometry/PointMerger.h"
#include "math/geometry/Segment.h"
#include "prepare/BoardShapes.h"

using namespace MentorBS;

namespace {

/// Points of the chain closer than this (in traces-file counts of 10 nm) are one node.
constexpr double k_NodeSnap = 0.1;
/// Edges closer than this meet.
constexpr double k_CrossingSnap = 0.01;
/// A vertex where the boundary turns by less than this is dropped.
constexpr double k_StraightTurnDegrees = 0.05;

struct Graph {
    std::vector<geom::Point> nodes;
    /// Undirected edges as node pairs, smaller index first, each once.
    std::vector<std::pair<int, int>> edges;
};

/// The planar graph of a closed chain: nodes merged, edges split where they cross or touch.
Graph buildGraph(const std::vector<geom::Point>& chain) {
    const std::size_t count = chain.size();
    std::vector<geom::Segment> segments;
    segments.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        segments.emplace_back(chain[i], chain[(i + 1) % count]);
    }
    // Every point where an edge has to be cut: its ends and where others meet it.
    std::vector<std::vector<geom::Point>> cuts(count);
    for (std::size_t i = 0; i < count; ++i) {
        cuts[i] = {segments[i].GetStart(), segments[i].GetEnd()};
    }
    // Pairs are found by sweeping the edges in the order of their left ends.
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = i;
    }
    const auto left = [&](std::size_t i) {
        return std::min(segments[i].GetStart().GetX(), segments[i].GetEnd().GetX());
    };
    const auto right = [&](std::size_t i) {
        return std::max(segments[i].GetStart().GetX(), segments[i].GetEnd().GetX());
    };
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return left(a) < left(b); });
    for (std::size_t a = 0; a < count; ++a) {
        const std::size_t i = order[a];
        for (std::size_t b = a + 1; b < count && left(order[b]) <= right(i) + k_NodeSnap; ++b) {
            const std::size_t j = order[b];
            for (const geom::EdgeIntersection& meeting :
                 geom::Segment::Intersect_G(segments[i], segments[j], k_CrossingSnap)) {
                for (const geom::Point& p :
                     {meeting.m_Value.GetStart(), meeting.m_Value.GetEnd()}) {
                    cuts[i].push_back(p);
                    cuts[j].push_back(p);
                }
            }
        }
    }
    geom::PointMerger merger;
    std::vector<std::vector<int>> cutIds(count);
    for (std::size_t i = 0; i < count; ++i) {
        // Along the edge from its start.
        const geom::Point start = segments[i].GetStart();
        std::sort(cuts[i].begin(), cuts[i].end(), [&](const geom::Point& p, const geom::Point& q) {
            return (p - start).GetLengthSquare() < (q - start).GetLengthSquare();
        });
        for (const geom::Point& p : cuts[i]) {
            cutIds[i].push_back(merger.Add(p));
        }
    }
    merger.Merge(k_NodeSnap);
    Graph graph;
    std::vector<int> nodeOf(merger.GetCount(), -1);
    const auto node = [&](int id) {
        const int group = merger.Find(id);
        if (nodeOf[group] < 0) {
            nodeOf[group] = static_cast<int>(graph.nodes.size());
            graph.nodes.push_back(merger.GetPoint(group));
        }
        return nodeOf[group];
    };
    std::set<std::pair<int, int>> seen;
    for (const std::vector<int>& ids : cutIds) {
        for (std::size_t k = 0; k + 1 < ids.size(); ++k) {
            const int a = node(ids[k]);
            const int b = node(ids[k + 1]);
            if (a != b && seen.emplace(std::min(a, b), std::max(a, b)).second) {
                graph.edges.emplace_back(std::min(a, b), std::max(a, b));
            }
        }
    }
    return graph;
}

double signedArea(const std::vector<geom::Point>& loop) {
    double twice = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const geom::Point& p = loop[i];
        const geom::Point& q = loop[(i + 1) % loop.size()];
        twice += p.GetX() * q.GetY() - q.GetX() * p.GetY();
    }
    return twice / 2;
}

/// The faces of a planar graph, each as its cycle of nodes: every directed edge lies on
/// exactly one face, which lies on its left.
std::vector<std::vector<geom::Point>> facesOf(const Graph& graph) {
    // Outgoing directed edges of every node, counter-clockwise by direction.
    std::vector<std::vector<int>> around(graph.nodes.size());
    for (const auto& [a, b] : graph.edges) {
        around[a].push_back(b);
        around[b].push_back(a);
    }
    const auto direction = [&](int from, int to) {
        const geom::Point& p = graph.nodes[from];
        const geom::Point& q = graph.nodes[to];
        return std::atan2(q.GetY() - p.GetY(), q.GetX() - p.GetX());
    };
    for (std::size_t n = 0; n < around.size(); ++n) {
        std::sort(around[n].begin(), around[n].end(), [&](int a, int b) {
            return direction(static_cast<int>(n), a) < direction(static_cast<int>(n), b);
        });
    }
    std::set<std::pair<int, int>> used;
    std::vector<std::vector<geom::Point>> faces;
    for (std::size_t start = 0; start < around.size(); ++start) {
        for (const int first : around[start]) {
            if (used.contains({static_cast<int>(start), first})) {
                continue;
            }
            std::vector<geom::Point> face;
            int from = static_cast<int>(start);
            int to = first;
            while (used.emplace(from, to).second) {
                face.push_back(graph.nodes[from]);
                // Arriving at `to`, turn to the edge just clockwise of the way back.
                const std::vector<int>& out = around[to];
                const auto back = std::find(out.begin(), out.end(), from);
                const std::size_t index = static_cast<std::size_t>(back - out.begin());
                const int next = out[(index + out.size() - 1) % out.size()];
                from = to;
                to = next;
            }
            faces.push_back(std::move(face));
        }
    }
    return faces;
}

/// Drops the vertices where the loop goes on (or turns back) within the straight-turn
/// limit, the closing pair of edges included.
std::vector<geom::Point> withoutStraightTurns(const std::vector<geom::Point>& loop) {
    const double limit = std::sin(k_StraightTurnDegrees * std::numbers::pi / 180);
    const auto straight = [&](const geom::Point& a, const geom::Point& b, const geom::Point& c) {
        const double ux = b.GetX() - a.GetX();
        const double uy = b.GetY() - a.GetY();
        const double vx = c.GetX() - b.GetX();
        const double vy = c.GetY() - b.GetY();
        const double lengths = std::hypot(ux, uy) * std::hypot(vx, vy);
        return lengths == 0 || std::min(1.0, std::abs(ux * vy - uy * vx) / lengths) < limit;
    };
    std::vector<geom::Point> kept;
    for (const geom::Point& p : loop) {
        if (kept.size() >= 2 && straight(kept[kept.size() - 2], kept.back(), p)) {
            kept.back() = p;
        } else {
            kept.push_back(p);
        }
    }
    while (kept.size() >= 3 && straight(kept[kept.size() - 2], kept.back(), kept.front())) {
        kept.pop_back();
    }
    while (kept.size() >= 3 && straight(kept.back(), kept.front(), kept[1])) {
        kept.erase(kept.begin());
    }
    return kept;
}

AreaRecord scaled(const std::string& layer, const CoordinateList& vertices, double width,
                  double factor) {
    AreaRecord area{layer, vertices, width};
    for (double& value : area.vertices) {
        value *= factor;
    }
    return area;
}

}  // namespace

std::vector<CoordinateList> splitAreaOutline(const CoordinateList& vertices) {
    std::vector<geom::Point> chain;
    for (std::size_t i = 0; i + 1 < vertices.size(); i += 2) {
        if (!std::isfinite(vertices[i]) || !std::isfinite(vertices[i + 1])) {
            return {};
        }
        chain.emplace_back(vertices[i], vertices[i + 1]);
    }
    if (chain.size() < 3) {
        return {};
    }
    std::vector<std::vector<geom::Point>> faces = facesOf(buildGraph(chain));
    std::vector<double> areas;
    std::vector<std::size_t> order(faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        order[i] = i;
        areas.push_back(signedArea(faces[i]));
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::abs(areas[a]) > std::abs(areas[b]);
    });
    std::vector<CoordinateList> loops;
    // The largest face is the outer boundary of the whole chain.
    for (std::size_t k = 1; k < order.size(); ++k) {
        std::vector<geom::Point>& face = faces[order[k]];
        if (areas[order[k]] > 0) {
            std::reverse(face.begin(), face.end());
        }
        const std::vector<geom::Point> loop = withoutStraightTurns(face);
        if (loop.size() < 3) {
            continue;
        }
        CoordinateList& values = loops.emplace_back();
        for (const geom::Point& p : loop) {
            values.push_back(p.GetX());
            values.push_back(p.GetY());
        }
    }
    return loops;
}

void prepareRoutedAreas(BoardModel& model) {
    const double factor = tracesCoordinateFactor(model);
    for (LayoutNet* net : model.layoutElements) {
        std::vector<const AreaRecord*> areas;
        for (const AreaRecord& area : net->rawAreas) {
            if (area.vertices.size() >= 6) {
                areas.push_back(&area);
            }
        }
        if (areas.size() == 1) {
            const AreaRecord& area = *areas.front();
            net->preparedAreas.push_back(scaled(mapLayerName(model, area.layer), area.vertices,
                                                area.width * factor, factor));
            continue;
        }
        for (const AreaRecord* area : areas) {
            const std::string layer = mapLayerName(model, area->layer);
            const double width = area->width * factor;
            std::vector<AreaRecord> loops;
            for (const CoordinateList& loop : splitAreaOutline(area->vertices)) {
                loops.push_back(scaled(layer, loop, width, factor));
            }
            if (loops.size() == 1) {
                net->preparedAreas.push_back(std::move(loops.front()));
            } else if (loops.size() > 1) {
                net->splitAreaGroups.push_back(std::move(loops));
            }
        }
    }
}
