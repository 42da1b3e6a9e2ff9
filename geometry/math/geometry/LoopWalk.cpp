#include "math/geometry/LoopWalk.h"

#include <cstddef>

namespace geom {

LoopWalk WalkLoops_G(std::span<const int> next, std::span<const int> from, std::span<const int> to,
                     int vertex_count, std::vector<char>& used) {
    LoopWalk ret;
    // By vertex: where the walk's current path passed it (the number of edges before it),
    // or -1.
    std::vector<int> position(vertex_count, -1);
    std::vector<int> cycle;
    std::vector<int> path;
    for (int start = 0; start < int(next.size()); ++start) {
        if (used[start]) {
            continue;
        }
        cycle.clear();
        bool closed = false;
        for (int e = start; e >= 0 && !used[e]; e = next[e]) {
            used[e] = 1;
            cycle.push_back(e);
            closed = next[e] == start;
        }
        if (!closed) {
            ret.m_OpenWalks.push_back(cycle);
            continue;
        }
        path.clear();
        const int first = from[cycle.front()];
        position[first] = 0;
        for (const int e : cycle) {
            path.push_back(e);
            const int v = to[e];
            if (position[v] < 0) {
                position[v] = int(path.size());
                continue;
            }
            const std::size_t begin = std::size_t(position[v]);
            ret.m_Loops.emplace_back(path.begin() + std::ptrdiff_t(begin), path.end());
            for (std::size_t j = begin + 1; j < path.size(); ++j) {
                position[from[path[j]]] = -1;
            }
            path.resize(begin);
        }
        for (const int e : path) {
            position[from[e]] = -1;
            position[to[e]] = -1;
        }
        position[first] = -1;
    }
    return ret;
}

}  // namespace geom
